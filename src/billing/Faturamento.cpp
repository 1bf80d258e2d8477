#include "billing/Faturamento.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/RegistraLog.h"
#include "core/UFunc.h"

namespace vx {

namespace {

const QString kMascaraBruto = QStringLiteral("#####0.00");
const QString kMascaraValor = QStringLiteral("####0.00");

Decimal cents(qint64 c) { return Decimal::cents(c); }

// base × percent / 100, rounded to cents.
Decimal percentual(const Decimal& base, const Decimal& percent)
{
    const Decimal p = base * percent;
    return Decimal(p.unscaled(), p.scale() + 2).rescaled(2);
}

bool temCodigo(const LinhaGrade& l) { return !l.value(0).trimmed().isEmpty(); }

void garanteColunas(LinhaGrade& l, int n)
{
    while (l.size() < n)
        l.append(QString());
}

// A text cell that must fit its column: a longer one fails the save, naming the row.
QString textoLimitado(const LinhaGrade& l, int coluna, int maximo, const QString& titulo)
{
    const QString t = l.value(coluna);
    if (t.size() > maximo)
        throw ErroValor(QStringLiteral("%1 de %2 - %3 tem mais de %4 caracteres.")
                            .arg(titulo, l.value(0).trimmed(), l.value(1).trimmed())
                            .arg(maximo));
    return t;
}

QString literalTimestamp(const QDateTime& dt)
{
    return QLatin1Char('\'') + dt.toString(QStringLiteral("MM/dd/yyyy hh:mm")) + QLatin1Char('\'');
}

} // namespace

RegrasFaturamento RegrasFaturamento::DoPerfil(const QString& perfil)
{
    const QString p = perfil.toUpper();
    RegrasFaturamento r;
    r.cune = p.contains(QLatin1String("CUNE"));
    r.culvar = p.contains(QLatin1String("CULVAR"));
    r.cumbel = p.contains(QLatin1String("CUMBEL"));
    return r;
}

QStringList TitulosGradeFaturamento(ModoFaturamento modo)
{
    if (modo == ModoFaturamento::Municipio)
        return {QStringLiteral("Código"), QStringLiteral("Município"), QStringLiteral("Vlr.Bruto"),
                QStringLiteral("Desc.SUS"), QStringLiteral("Desc.Pop"), QStringLiteral("Acr/Desc.Livre"),
                QStringLiteral("Vlr.Liq."), QStringLiteral("Observações")};
    return {QStringLiteral("Código"), QStringLiteral("Nome"), QStringLiteral("Vlr.Bruto"), QStringLiteral("Acr/Desc."),
            QStringLiteral("IRRF"), QStringLiteral("COFINS"), QStringLiteral("TARIFA"), QStringLiteral("ISSQN"),
            QStringLiteral("PIS"), QStringLiteral("CSLL"), QStringLiteral("NF"), QStringLiteral("Observações")};
}

QString CelulaBruto(const Decimal& v) { return FormataValor(v, kMascaraBruto); }
QString CelulaValor(const Decimal& v) { return FormataValor(v, kMascaraValor); }

Decimal ValorCelula(const QString& texto)
{
    QString t = texto.trimmed();
    t.remove(QLatin1Char('.'));
    return DecimalTexto(t);
}

QDateTime InicioJanela(const QDate& inicio) { return QDateTime(inicio, QTime(0, 1)); }
QDateTime FimJanela(const QDate& fim) { return QDateTime(fim, QTime(23, 59)); }

QString SqlProducao(ModoFaturamento modo)
{
    const bool mun = modo == ModoFaturamento::Municipio;
    const QString codigo = mun ? QStringLiteral("MP.cli_origem") : QStringLiteral("M.codentidade");
    const QString nome = mun ? QStringLiteral("C.nome") : QStringLiteral("E.RazaoSocial");
    const QString juncao = mun ? QStringLiteral("left outer join clientes C on MP.CLI_ORIGEM=C.CODIGO")
                               : QStringLiteral("left outer join Entidades E on M.CodEntidade=E.CODIGO");
    return QStringLiteral("SELECT ") + codigo + QStringLiteral(" as CODIGO, ") + nome
           + QStringLiteral(" AS NOME, sum(MP.VALORTOTAL) AS VALOR, COALESCE(SUM(MP.VALORSUS1),0) AS VALORSUS1, "
                            "COALESCE(SUM(MP.VALORSUS2),0) AS VALORSUS2, COALESCE(SUM(MP.VALORPOPULAR),0) AS VALORPOPULAR "
                            "FROM MARCACAO_PROCEDS MP "
                            "INNER JOIN MARCACAO M ON MP.CLI_ORIGEM=M.CLI_ORIGEM AND MP.ID_MARCACAO=M.ID_MARCACAO "
                            "AND MP.DATA_IMP_ADM=M.DATA_IMP_ADM "
                            "inner join Procedimentos PR on MP.CodProcedimento=PR.Codigo ")
           + juncao
           + QStringLiteral(" WHERE M.DATA_IMPORTACAO >= ? AND M.DATA_IMPORTACAO <= ? AND MP.REALIZADO='S' "
                            "AND M.databloqueio is null GROUP BY ")
           + codigo + QStringLiteral(", ") + nome + QStringLiteral(" ORDER BY ") + nome;
}

QVector<ProducaoPeriodo> ConsultaProducao(Transacao& tr, ModoFaturamento modo, const QDate& inicio, const QDate& fim)
{
    QVector<ProducaoPeriodo> r;
    Consulta q(tr);
    q.abre(SqlProducao(modo), {InicioJanela(inicio), FimJanela(fim)});
    for (; !q.eof(); q.proximo())
        r.append({q.campo(QStringLiteral("CODIGO")).texto().trimmed(), q.campo(QStringLiteral("NOME")).texto(),
                  q.campo(QStringLiteral("VALOR")).decimal(), q.campo(QStringLiteral("VALORSUS1")).decimal(),
                  q.campo(QStringLiteral("VALORSUS2")).decimal(), q.campo(QStringLiteral("VALORPOPULAR")).decimal()});
    return r;
}

QHash<QString, DadosFiscaisEntidade> LeDadosFiscais(Transacao& tr)
{
    QHash<QString, DadosFiscaisEntidade> r;
    Lendo(tr, [&] {
        Consulta q(tr);
        q.abre(QStringLiteral("select CODIGO, ISENTOIR, SIMPLESNAC, ISSQN, PIS, COFINS, CSLL from ENTIDADES"));
        for (; !q.eof(); q.proximo()) {
            DadosFiscaisEntidade d;
            d.isentoIr = q.campo(1).texto().trimmed() == QLatin1String("S");
            d.simplesNac = q.campo(2).texto().trimmed() == QLatin1String("S");
            d.issqn = q.campo(3).decimal();
            d.pis = q.campo(4).decimal();
            d.cofins = q.campo(5).decimal();
            d.csll = q.campo(6).decimal();
            r.insert(q.campo(0).texto().trimmed(), d);
        }
        return 0;
    });
    return r;
}

Retencoes CalculaRetencao(const Decimal& bruto, const Decimal& acrescDesc, const DadosFiscaisEntidade& e,
                          const RegrasFaturamento& regras, const QDate& fimPeriodo)
{
    Retencoes r{cents(0), cents(0), cents(0), cents(0), cents(0), cents(0)};
    const Decimal base = (bruto + acrescDesc).rescaled(2);
    if (!e.isentoIr && !e.simplesNac) {
        const Decimal irrf = base * Decimal(15, 3);
        // The CUNE floor looks at the computed value, before it is rounded into its cell.
        r.irrf = (regras.cune && irrf < cents(1000)) ? cents(0) : irrf.rescaled(2);
        if (regras.culvar)
            r.cofins = percentual(base, e.cofins);
        else if (bruto >= cents(500000) && !regras.cune)
            r.cofins = (base * Decimal(465, 4)).rescaled(2);
    }
    if (regras.cune)
        r.tarifa = (base * Decimal(1, 2)).rescaled(2);
    r.issqn = percentual(base, e.issqn);
    if (regras.culvar && fimPeriodo >= QDate(2015, 8, 20)) {
        r.pis = percentual(base, e.pis);
        r.csll = percentual(base, e.csll);
    }
    return r;
}

CelulasInvalidas RecalculaLiquidos(GradeFaturamento& g)
{
    CelulasInvalidas ruins;
    for (int i = 0; i < g.size(); ++i) {
        LinhaGrade& l = g[i];
        if (!temCodigo(l))
            continue;
        garanteColunas(l, colmun::Total);
        Decimal v[4];
        const int cols[4] = {colmun::Bruto, colmun::DescSus, colmun::DescPop, colmun::AcrescDesc};
        bool ok = true;
        for (int k = 0; k < 4; ++k) {
            try {
                v[k] = ValorCelula(l[cols[k]]);
            } catch (const ErroValor&) {
                ruins.append(QPoint(cols[k], i));
                ok = false;
            }
        }
        if (!ok)
            continue;
        // Typed values are kept as their cells show them.
        for (int k = 0; k < 4; ++k) {
            v[k] = v[k].rescaled(2);
            l[cols[k]] = k == 0 ? CelulaBruto(v[k]) : CelulaValor(v[k]);
        }
        l[colmun::Liquido] = CelulaValor(v[0] - v[1] - v[2] + v[3]);
    }
    return ruins;
}

CelulasInvalidas CalculaRetencoes(GradeFaturamento& g, const QHash<QString, DadosFiscaisEntidade>& entidades,
                                  const RegrasFaturamento& regras, const QDate& fimPeriodo)
{
    CelulasInvalidas ruins;
    for (int i = 0; i < g.size(); ++i) {
        LinhaGrade& l = g[i];
        if (!temCodigo(l))
            continue;
        garanteColunas(l, colent::Total);
        Decimal bruto, acresc;
        bool ok = true;
        try {
            bruto = ValorCelula(l[colent::Bruto]);
        } catch (const ErroValor&) {
            ruins.append(QPoint(colent::Bruto, i));
            ok = false;
        }
        try {
            acresc = ValorCelula(l[colent::AcrescDesc]);
        } catch (const ErroValor&) {
            ruins.append(QPoint(colent::AcrescDesc, i));
            ok = false;
        }
        if (!ok)
            continue;
        bruto = bruto.rescaled(2);
        acresc = acresc.rescaled(2);
        l[colent::Bruto] = CelulaBruto(bruto);
        l[colent::AcrescDesc] = CelulaValor(acresc);
        const Retencoes r = CalculaRetencao(bruto, acresc, entidades.value(l[colent::Codigo].trimmed()), regras,
                                            fimPeriodo);
        l[colent::Irrf] = CelulaValor(r.irrf);
        l[colent::Cofins] = CelulaValor(r.cofins);
        l[colent::Tarifa] = CelulaValor(r.tarifa);
        l[colent::Issqn] = CelulaValor(r.issqn);
        l[colent::Pis] = CelulaValor(r.pis);
        l[colent::Csll] = CelulaValor(r.csll);
    }
    return ruins;
}

Decimal LiquidoMunicipio(const Decimal& bruto, const Decimal& acrescDesc, const Decimal& descSus,
                         const Decimal& descCune, const Decimal& descPpc)
{
    return bruto + acrescDesc - descSus + descCune - descPpc;
}

namespace {

// Stored rows of the period by code.
QHash<QString, LinhaCadastro> armazenadas(Transacao& tr, const QString& sql)
{
    QHash<QString, LinhaCadastro> r;
    Consulta q(tr);
    q.abre(sql);
    for (; !q.eof(); q.proximo()) {
        LinhaCadastro l(q);
        r.insert(l.texto(QStringLiteral("CODIGO")).trimmed(), l);
    }
    return r;
}

QString periodoSql(const QDate& inicio, const QDate& fim)
{
    return QStringLiteral(" AND DATAINI=") + SqlData(inicio) + QStringLiteral(" AND DATAFIM=") + SqlData(fim);
}

template <class F>
auto emLeitura(Transacao& tr, F&& f)
{
    tr.inicia();
    try {
        auto r = f();
        tr.commit();
        return r;
    } catch (...) {
        tr.rollback();
        throw;
    }
}

} // namespace

GradeFaturamento ListaFatura(Transacao& tr, const PedidoFatura& p)
{
    const bool mun = p.modo == ModoFaturamento::Municipio;
    const int ncol = mun ? int(colmun::Total) : int(colent::Total);
    return emLeitura(tr, [&] {
        const QVector<ProducaoPeriodo> prod = ConsultaProducao(tr, p.modo, p.inicio, p.fim);
        GradeFaturamento g;
        g.reserve(prod.size());
        QHash<QString, LinhaCadastro> guardadas;
        if (!p.recalcular)
            guardadas = armazenadas(
                tr, mun ? QStringLiteral("SELECT CODCLIENTE AS CODIGO, F.* FROM FAT_MUNICIPIO F WHERE TIPO='FAT'")
                              + periodoSql(p.inicio, p.fim)
                        : QStringLiteral("SELECT CODENTIDADE AS CODIGO, F.* FROM FAT_ENTIDADE F WHERE 1=1")
                              + periodoSql(p.inicio, p.fim));
        for (const ProducaoPeriodo& pr : prod) {
            LinhaGrade l(ncol);
            l[0] = pr.codigo;
            l[1] = pr.nome;
            l[2] = CelulaBruto(pr.valor);
            if (mun) {
                if (p.recalcular) {
                    l[colmun::DescSus] = CelulaValor(p.regras.culvar ? pr.sus1 + pr.sus2 : cents(0));
                    l[colmun::DescPop] = CelulaValor(p.regras.culvar ? pr.popular : cents(0));
                    l[colmun::AcrescDesc] = CelulaValor(cents(0));
                } else {
                    const auto it = guardadas.constFind(pr.codigo);
                    if (it == guardadas.constEnd()) {
                        for (int c : {int(colmun::Bruto), int(colmun::DescSus), int(colmun::DescPop),
                                      int(colmun::AcrescDesc), int(colmun::Liquido)})
                            l[c] = c == colmun::Bruto ? CelulaBruto(cents(0)) : CelulaValor(cents(0));
                    } else {
                        const LinhaCadastro& f = *it;
                        const auto d = [&](const char* c) { return f[QString::fromLatin1(c)].decimal(); };
                        l[colmun::Bruto] = CelulaBruto(d("VALORBRUTO"));
                        l[colmun::DescSus] = CelulaValor(d("DESCSUS"));
                        l[colmun::DescPop] = CelulaValor(d("DESCPPC"));
                        l[colmun::AcrescDesc] = CelulaValor(d("ACRESCDESC"));
                        l[colmun::Liquido] = CelulaValor(LiquidoMunicipio(d("VALORBRUTO"), d("ACRESCDESC"),
                                                                          d("DESCSUS"), d("DESCCUNE"), d("DESCPPC")));
                        l[colmun::Obs] = f.texto(QStringLiteral("OBS"));
                    }
                }
            } else {
                if (p.recalcular) {
                    for (int c = colent::AcrescDesc; c <= colent::Csll; ++c)
                        l[c] = CelulaValor(cents(0));
                } else {
                    const auto it = guardadas.constFind(pr.codigo);
                    const char* cols[] = {"ACRESCDESC", "IRRF", "COFINS", "TARIFA", "ISSQN", "PIS", "CSLL"};
                    for (int k = 0; k < 7; ++k)
                        l[colent::AcrescDesc + k] = CelulaValor(
                            it == guardadas.constEnd() ? cents(0) : (*it)[QString::fromLatin1(cols[k])].decimal());
                    l[colent::Bruto] = CelulaBruto(
                        it == guardadas.constEnd() ? cents(0) : (*it)[QStringLiteral("VALORBRUTO")].decimal());
                    if (it != guardadas.constEnd()) {
                        l[colent::Nf] = it->texto(QStringLiteral("DOCNF"));
                        l[colent::Obs] = it->texto(QStringLiteral("OBS"));
                    }
                }
            }
            g.append(l);
        }
        if (p.recalcular) {
            if (mun)
                RecalculaLiquidos(g);
            else
                CalculaRetencoes(g, LeDadosFiscais(tr), p.regras, p.fim);
        }
        return g;
    });
}

GradeFaturamento ListaTaxas(Transacao& tr, const QDate& inicio, const QDate& fim, bool recalcular)
{
    return emLeitura(tr, [&] {
        QHash<QString, LinhaCadastro> guardadas;
        if (!recalcular)
            guardadas = armazenadas(
                tr, QStringLiteral("SELECT CODCLIENTE AS CODIGO, F.* FROM FAT_MUNICIPIO F WHERE TIPO='TAXA'")
                        + periodoSql(inicio, fim));
        GradeFaturamento g;
        Consulta q(tr);
        q.abre(QStringLiteral("select CODIGO, NOME, VALORTAXA, COBRTAXA FROM CLIENTES WHERE VALORTAXA > 0 ORDER BY NOME"));
        for (; !q.eof(); q.proximo()) {
            LinhaGrade l(colmun::Total);
            l[colmun::Codigo] = q.campo(0).texto().trimmed();
            l[colmun::Nome] = q.campo(1).texto();
            Decimal bruto = cents(0);
            if (recalcular) {
                bruto = q.campo(2).decimal();
                l[colmun::Obs] = q.campo(3).texto();
            } else if (const auto it = guardadas.constFind(l[colmun::Codigo]); it != guardadas.constEnd()) {
                bruto = (*it)[QStringLiteral("VALORBRUTO")].decimal();
                l[colmun::Obs] = it->texto(QStringLiteral("OBS"));
            }
            l[colmun::Bruto] = CelulaBruto(bruto);
            for (int c : {int(colmun::DescSus), int(colmun::DescPop), int(colmun::AcrescDesc)})
                l[c] = CelulaValor(cents(0));
            g.append(l);
        }
        RecalculaLiquidos(g);
        return g;
    });
}

QString MensagemDatasGravacao()
{
    return QStringLiteral("Preencha corretamente a Data de Emissão e de Vencimento antes de Gravar");
}

void GravaFatura(Transacao& tr, const GravacaoFatura& g, const GradeFaturamento& grade)
{
    const QString periodo = QStringLiteral(" and datafim=") + SqlData(g.fim);
    const QString agora = literalTimestamp(g.agora.isValid() ? g.agora : QDateTime::currentDateTime());
    const QString gerado = SqlTexto(QStringLiteral("Gerado em ") + TextoData(g.hoje.isValid() ? g.hoje : QDate::currentDate()));
    const QString detalhes = g.inicio + QLatin1Char('-') + g.fim + QLatin1Char('-') + (g.taxas ? QLatin1Char('1') : QLatin1Char('0'));
    EmTransacao(tr, [&](Consulta& q) {
        if (g.modo == ModoFaturamento::Entidade) {
            qint64 id = tr.valor(QStringLiteral("select max(id) as id from lanpagar")).toLongLong();
            q.executa(QStringLiteral("delete from Fat_Entidade where dataini=") + SqlData(g.inicio) + periodo);
            // Characters 4 to 10 of the period end: "mm/yyyy".
            const QString mesAno = g.fim.mid(3, 7);
            const QString origem = SqlTexto(QStringLiteral("FAT") + mesAno);
            for (const LinhaGrade& l0 : grade) {
                if (!temCodigo(l0))
                    continue;
                LinhaGrade l = l0;
                garanteColunas(l, colent::Total);
                const QString codigo = SqlInteiro(l[colent::Codigo]);
                Decimal v[8];
                for (int k = 0; k < 8; ++k)
                    v[k] = ValorCelula(l[colent::Bruto + k]);
                const Decimal liquido = v[0] + v[1] - v[2] - v[3] - v[4] - v[5] - v[6] - v[7];
                const QString onde = QStringLiteral(" where codentidade=") + codigo + QStringLiteral(" and origem=") + origem;
                if (!tr.valor(QStringLiteral("select id from lanpagar") + onde).isValid()) {
                    ++id;
                    q.executa(QStringLiteral("insert into LanPagar(id, codEntidade, origem, datadebito, DataVencimento, "
                                             "valordebito, valorpgto, historico, obs) values(")
                              + SqlInteiro(id) + QLatin1Char(',') + codigo + QLatin1Char(',') + origem + QLatin1Char(',')
                              + SqlData(g.emissao) + QLatin1Char(',') + SqlData(g.vencimento) + QLatin1Char(',')
                              + SqlDecimal(liquido) + QStringLiteral(",0,") + SqlTexto(QStringLiteral("Fatura ") + mesAno)
                              + QLatin1Char(',') + gerado + QLatin1Char(')'));
                } else {
                    q.executa(QStringLiteral("update lanpagar set datadebito=") + SqlData(g.emissao)
                              + QStringLiteral(", datavencimento=") + SqlData(g.vencimento) + QStringLiteral(", valordebito=")
                              + SqlDecimal(liquido) + QStringLiteral(", obs=") + gerado + onde);
                }
                QString valores;
                for (int k = 0; k < 8; ++k)
                    valores += SqlDecimal(v[k]) + QLatin1Char(',');
                q.executa(QStringLiteral("update or insert into Fat_Entidade(DATAINI, DATAFIM, CODENTIDADE, VALORBRUTO, "
                                         "ACRESCDESC, IRRF, COFINS, TARIFA, ISSQN, PIS, CSLL, DOCNF, OBS, "
                                         "DATAPROCESSAMENTO) VALUES(")
                          + SqlData(g.inicio) + QLatin1Char(',') + SqlData(g.fim) + QLatin1Char(',') + codigo
                          + QLatin1Char(',') + valores + SqlTexto(textoLimitado(l, colent::Nf, 10, QStringLiteral("NF")))
                          + QLatin1Char(',') + SqlTexto(textoLimitado(l, colent::Obs, 300, QStringLiteral("Observações")))
                          + QLatin1Char(',') + agora + QLatin1Char(')'));
            }
            return RegistroLog{QStringLiteral("Fat_Entidade"), QStringLiteral("I"), detalhes};
        }
        const QString tipo = SqlTexto(g.taxas ? QStringLiteral("TAXA") : QStringLiteral("FAT"));
        q.executa(QStringLiteral("delete from Fat_Municipio where dataini=") + SqlData(g.inicio) + periodo
                  + QStringLiteral(" and tipo=") + tipo);
        for (const LinhaGrade& l0 : grade) {
            if (!temCodigo(l0))
                continue;
            LinhaGrade l = l0;
            garanteColunas(l, colmun::Total);
            q.executa(QStringLiteral("insert into Fat_Municipio(TIPO, DATAINI, DATAFIM, CODCLIENTE, VALORBRUTO, DESCSUS, "
                                     "DESCCUNE, DESCPPC, ACRESCDESC, OBS, DATAPROCESSAMENTO) VALUES(")
                      + tipo + QLatin1Char(',') + SqlData(g.inicio) + QLatin1Char(',') + SqlData(g.fim) + QLatin1Char(',')
                      + SqlTexto(l[colmun::Codigo].trimmed()) + QLatin1Char(',')
                      + SqlDecimal(ValorCelula(l[colmun::Bruto])) + QLatin1Char(',')
                      + SqlDecimal(ValorCelula(l[colmun::DescSus])) + QStringLiteral(",0,")
                      + SqlDecimal(ValorCelula(l[colmun::DescPop])) + QLatin1Char(',')
                      + SqlDecimal(ValorCelula(l[colmun::AcrescDesc])) + QLatin1Char(',')
                      + SqlTexto(textoLimitado(l, colmun::Obs, 300, QStringLiteral("Observações"))) + QLatin1Char(',')
                      + agora + QLatin1Char(')'));
        }
        return RegistroLog{QStringLiteral("Fat_Municipio"), QStringLiteral("I"), detalhes};
    });
}

bool PodeFaturar(Transacao& tr, const QString& usuario)
{
    return Lendo(tr, [&] {
        return tr.valor(QStringLiteral("select podefaturar from usuarios where usuario=") + SqlTexto(usuario))
                   .toString()
                   .trimmed()
            == QLatin1String("S");
    });
}

} // namespace vx
