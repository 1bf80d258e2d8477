#include "reports/FiltroAutorizacoes.h"
#include "core/Banco.h"
#include "core/UFunc.h"

namespace vx {

namespace {
const QString kRecursos = QStringLiteral("###,##0.00");

QDateTime momento(const QDate& d, int h, int m, int s) { return QDateTime(d, QTime(h, m, s)); }
} // namespace

bool CodigoFiltro::preenchido() const
{
    const QString c = codigo.trimmed();
    return !c.isEmpty() && c != QLatin1String("0");
}

bool FiltroAutorizacoes::comControle() const
{
    for (const char* p : {"CUMBEL", "CEVRANDOSA", "CASLUNE", "CULVAR", "CORVANE"})
        if (identidade == QLatin1String(p))
            return true;
    return false;
}

RelatorioAutorizacoes EscolheRelatorio(const FiltroAutorizacoes& f)
{
    if (f.totaliza)
        return RelatorioAutorizacoes::Totais;
    if (f.agrupado)
        return f.porEntidade ? RelatorioAutorizacoes::PorEntidade : RelatorioAutorizacoes::PorMunicipio;
    if (f.chamador == chamador::Municipio)
        return RelatorioAutorizacoes::Lista;
    if (f.perfilTem(QStringLiteral("CULVAR")) && f.chamador == chamador::AdministrativoF)
        return RelatorioAutorizacoes::ExtratoComTotais;
    return RelatorioAutorizacoes::Extrato;
}

ClausulaRelatorio ClausulasComuns(const FiltroAutorizacoes& f, bool nivelAutorizacao)
{
    ClausulaRelatorio c;
    auto filtro = [&](const CodigoFiltro& cod, const QString& sql, const QString& rotulo) {
        if (!cod.preenchido())
            return;
        c.sql += QLatin1Char(' ') + sql;
        c.legenda += rotulo + cod.nome;
    };
    if (f.municipio.preenchido())
        filtro(f.municipio, QStringLiteral("AND M.CLI_ORIGEM=") + SqlTexto(f.municipio.codigo.trimmed()),
               QStringLiteral("  Munic: "));
    auto numero = [](const CodigoFiltro& cod) { return SqlInteiro(cod.codigo.trimmed()); };
    if (f.unidade.preenchido())
        filtro(f.unidade, QStringLiteral("AND M.CODUNIDADE=") + numero(f.unidade), QStringLiteral("  Unidade: "));
    if (f.pessoa.preenchido())
        filtro(f.pessoa, QStringLiteral("AND M.CODPESSOA=") + numero(f.pessoa), QStringLiteral("  Pac.: "));
    if (f.entidade.preenchido())
        filtro(f.entidade, QStringLiteral("AND M.CODENTIDADE=") + numero(f.entidade), QStringLiteral("  Entidade: "));
    if (f.profissional.preenchido())
        filtro(f.profissional, QStringLiteral("AND M.CODPROFISSIONAL=") + numero(f.profissional),
               QStringLiteral("  Prof.: "));
    auto existe = [](const QString& condicao) {
        return QStringLiteral("AND EXISTS(SELECT 1 FROM MARCACAO_PROCEDS MP2 INNER JOIN PROCEDIMENTOS PR2 ON "
                              "MP2.CODPROCEDIMENTO=PR2.CODIGO WHERE MP2.CLI_ORIGEM=M.CLI_ORIGEM AND "
                              "MP2.ID_MARCACAO=M.ID_MARCACAO AND MP2.DATA_IMP_ADM=M.DATA_IMP_ADM AND ")
               + condicao + QLatin1Char(')');
    };
    if (f.grupo.preenchido())
        filtro(f.grupo,
               nivelAutorizacao ? existe(QStringLiteral("PR2.CODGRUPO=") + numero(f.grupo))
                                : QStringLiteral("AND PR.CODGRUPO=") + numero(f.grupo),
               QStringLiteral("  Grupo: "));
    if (f.procedimento.preenchido())
        filtro(f.procedimento,
               nivelAutorizacao ? existe(QStringLiteral("MP2.CODPROCEDIMENTO=") + numero(f.procedimento))
                                : QStringLiteral("AND MP.CODPROCEDIMENTO=") + numero(f.procedimento),
               QStringLiteral("  Proc: "));
    // Hidden (every role but the municipality) the range is open and unscheduled authorizations
    // count: production without an appointment date is still production.
    if (f.agendaVisivel) {
        const QString faixa = QStringLiteral("(M.DATAMARC >= ? AND M.DATAMARC <= ?)");
        c.sql += f.naoAgendados ? QStringLiteral(" AND (") + faixa + QStringLiteral(" OR M.DATAMARC IS NULL)")
                                : QStringLiteral(" AND ") + faixa;
        c.parametros << f.agenda1 << f.agenda2;
    }
    return c;
}

QString LegendaCalendario(const FiltroAutorizacoes& f)
{
    return f.descricaoCalendario.isEmpty() ? QString() : QStringLiteral(" (") + f.descricaoCalendario + QLatin1Char(')');
}

QPair<QDateTime, QDateTime> LimitesPeriodo(const FiltroAutorizacoes& f, Limites l)
{
    switch (l) {
    case Limites::Lista:
        return {momento(f.data1, 0, 0, 0), momento(f.data2, 23, 59, 59)};
    case Limites::Totais:
        return {momento(f.data1, 0, 1, 0), momento(f.data2, 23, 59, 0)};
    case Limites::Extrato:
        break;
    }
    return {momento(f.data1, 0, 0, 1), momento(f.data2, 23, 59, 59)};
}

QString ColunaDataLista(const FiltroAutorizacoes& f)
{
    if (f.bloqueio == Bloqueio::Bloqueados)
        return QStringLiteral("M.DATABLOQUEIO");
    return f.municipioPapel() ? QStringLiteral("M.DATALANC") : QStringLiteral("M.DATA_IMPORTACAO");
}

QString ColunaDataTotais(const FiltroAutorizacoes& f)
{
    if (f.municipioPapel())
        return QStringLiteral("M.DATALANC");
    return f.dataRealizacao ? QStringLiteral("M.DATAREALIZACAO") : QStringLiteral("M.DATA_IMPORTACAO");
}

QString ColunaDataExtrato(const FiltroAutorizacoes& f)
{
    if (f.bloqueio == Bloqueio::Bloqueados)
        return QStringLiteral("M.DATABLOQUEIO");
    return f.dataRealizacao ? QStringLiteral("M.DATAREALIZACAO") : QStringLiteral("M.DATA_IMPORTACAO");
}

namespace {
QString raizControle(const QDate& d1)
{
    return d1.toString(QStringLiteral("ddMM")) + QString::number(d1.year() % 10) + QStringLiteral("57");
}
} // namespace

QString ControleTotais(const QDate& d1) { return QStringLiteral("Relat. 49") + raizControle(d1); }

QString ControleExtrato(const QDate& d1, const QDateTime& agora)
{
    return QStringLiteral("R49") + raizControle(d1) + agora.toString(QStringLiteral("ddMMyyyyHHmmss"));
}

ImpostosExtrato CalculaImpostos(const Decimal& total, bool isentoIr, bool simples, const Decimal& aliqIssqn,
                                const Decimal& aliqPis, const Decimal& aliqCofins, const Decimal& aliqCsll)
{
    const Decimal cem = Decimal::fromInt(100);
    auto parte = [&](const Decimal& aliquota) {
        return Decimal::proporcao(total, aliquota, cem, 2).value_or(Decimal::cents(0));
    };
    ImpostosExtrato r;
    r.irrf = isentoIr || simples ? Decimal::cents(0) : (total * Decimal(15, 3)).rescaled(2);
    r.issqn = parte(aliqIssqn);
    r.pis = parte(aliqPis);
    r.cofins = parte(aliqCofins);
    r.csll = parte(aliqCsll);
    r.saldo = total - r.irrf - r.issqn - r.pis - r.cofins - r.csll;
    return r;
}

void SomasGrupos::soma(const QString& grupoCobranca, const Decimal& valor)
{
    auto it = m_somas.find(grupoCobranca);
    if (it == m_somas.end())
        m_somas.insert(grupoCobranca, valor);
    else
        *it = *it + valor;
}

QStringList SomasGrupos::linhas() const
{
    QStringList r;
    for (auto it = m_somas.begin(); it != m_somas.end(); ++it)
        if (it.value() > Decimal::cents(0))
            r << it.key().leftJustified(11, QLatin1Char(' '), true) + QStringLiteral(": R$ ")
                     + FormataValor(it.value(), kRecursos);
    return r;
}

ReciboExtrato ReciboDoMunicipio(Transacao& tr, const QString& municipio, const QDate& fim)
{
    Consulta q(tr);
    q.abre(QStringLiteral(" select first 1 numdoc, dataemissao from docemissao where codcliente=") + SqlTexto(municipio)
           + QStringLiteral(" and tipodoc=") + SqlTexto(QStringLiteral("R")) + QStringLiteral(" and avulsofatura=")
           + SqlTexto(QStringLiteral("F")) + QStringLiteral(" and datavencimento >=") + SqlData(fim)
           + QStringLiteral(" order by datavencimento"));
    if (q.eof())
        return {QStringLiteral("RECIBO AINDA NÃO GERADO"), QDate()};
    return {QStringLiteral("RECIBO Nº ") + ZerosEsquerda(q.campo(0).texto().trimmed(), 3), q.campo(1).data()};
}

namespace {
const QString kProcedsDaMarcacao =
    QStringLiteral(" FROM MARCACAO_PROCEDS MP INNER JOIN MARCACAO M ON MP.CLI_ORIGEM=M.CLI_ORIGEM AND "
                   "MP.ID_MARCACAO=M.ID_MARCACAO AND MP.DATA_IMP_ADM=M.DATA_IMP_ADM");

QString entre(const QDate& a, const QDate& b) { return TextoData(a) + QStringLiteral(" e ") + TextoData(b); }

// Period, realized lines, blocked choice and the common filters of the totals and grouped lists.
ConsultaRelatorio ondeTotais(const FiltroAutorizacoes& f, QString& legendaPeriodo, QString& legendaBloqueio)
{
    ConsultaRelatorio c;
    const QString col = ColunaDataTotais(f);
    c.sql = QStringLiteral(" WHERE ") + col + QStringLiteral(" >= ? AND ") + col + QStringLiteral(" <= ?");
    const auto lim = LimitesPeriodo(f, Limites::Totais);
    c.parametros << lim.first << lim.second;
    if (f.municipioPapel())
        legendaPeriodo = QStringLiteral("  Autorizados entre ") + entre(f.data1, f.data2);
    else {
        c.sql += QStringLiteral(" AND MP.REALIZADO=") + SqlTexto(QStringLiteral("S"));
        legendaPeriodo = f.comControle() ? QStringLiteral("  Realizadas até ") + TextoData(f.data2)
                                         : QStringLiteral("  Realizadas entre ") + entre(f.data1, f.data2);
    }
    switch (f.bloqueio) {
    case Bloqueio::NaoBloqueados:
        c.sql += QStringLiteral(" AND M.databloqueio is null");
        break;
    case Bloqueio::Bloqueados:
        c.sql += QStringLiteral(" AND M.databloqueio is not null");
        legendaBloqueio = QStringLiteral(" e Bloqueadas.");
        break;
    case Bloqueio::Todos:
        legendaBloqueio = QStringLiteral(" Incl.Bloqueadas");
        break;
    }
    const ClausulaRelatorio comuns = ClausulasComuns(f, false);
    c.sql += comuns.sql;
    c.parametros += comuns.parametros;
    c.legenda = comuns.legenda;
    return c;
}
} // namespace

ConsultaRelatorio SqlLista(const FiltroAutorizacoes& f)
{
    ConsultaRelatorio c;
    c.sql = QStringLiteral(
                "SELECT M.CLI_ORIGEM, M.ID_MARCACAO, M.DATA_IMP_ADM, M.DATALANC, M.DATAMARC, M.HORAMARC, "
                "M.DATAREALIZACAO, M.CHAVEIMPRE, P.NOME AS NOMEPACIENTE, PF.NOME AS NOMEPROFISSIONAL, "
                "MP.CODPROCEDIMENTO, MP.QUANTIDADE, PR.CODTABSUS, PR.NOME, MP.VALORTOTAL AS VALOR")
            + kProcedsDaMarcacao
            + QStringLiteral(" LEFT OUTER JOIN PESSOAS P ON M.CODPESSOA=P.CODIGO AND M.CLI_ORIGEM=P.CLI_ORIGEM"
                             " LEFT OUTER JOIN PROFISSIONAIS PF ON M.CODPROFISSIONAL=PF.CODIGO"
                             " LEFT OUTER JOIN PROCEDIMENTOS PR ON MP.CODPROCEDIMENTO=PR.CODIGO");
    const QString col = ColunaDataLista(f);
    c.sql += QStringLiteral(" WHERE ") + col + QStringLiteral(" >= ? AND ") + col + QStringLiteral(" <= ?");
    const auto lim = LimitesPeriodo(f, Limites::Lista);
    c.parametros << lim.first << lim.second;
    c.legenda = QStringLiteral("Período: ") + TextoData(f.data1) + QStringLiteral(" a ") + TextoData(f.data2);
    if (f.bloqueio == Bloqueio::Bloqueados)
        c.legenda += QStringLiteral("  (Autorizações Bloqueadas)");
    else if (f.bloqueio == Bloqueio::NaoBloqueados)
        c.sql += QStringLiteral(" AND M.databloqueio is null");
    const ClausulaRelatorio comuns = ClausulasComuns(f, false);
    c.sql += comuns.sql;
    c.parametros += comuns.parametros;
    c.legenda += comuns.legenda + LegendaCalendario(f);
    const QString chave = QStringLiteral("M.ID_MARCACAO, M.CLI_ORIGEM, M.DATA_IMP_ADM, PR.NOME");
    if (f.ordemTexto.toUpper().contains(QLatin1String("NOME")))
        c.sql += QStringLiteral(" ORDER BY P.NOME, ") + chave;
    else if (f.ordem == 0)
        c.sql += QStringLiteral(" ORDER BY M.DATALANC, ") + chave;
    else
        c.sql += QStringLiteral(" ORDER BY M.DATAREALIZACAO, ") + chave;
    return c;
}

ConsultaRelatorio SqlTotais(const FiltroAutorizacoes& f)
{
    QString chave, nome, juncao;
    switch (Totalizacao(f.ordem)) {
    case Totalizacao::Municipio:
        chave = QStringLiteral("MP.cli_origem");
        nome = QStringLiteral("C.nome");
        juncao = QStringLiteral(" LEFT OUTER JOIN CLIENTES C ON MP.CLI_ORIGEM=C.CODIGO");
        break;
    case Totalizacao::Entidade:
        chave = QStringLiteral("M.codentidade");
        nome = QStringLiteral("E.RazaoSocial");
        juncao = QStringLiteral(" LEFT OUTER JOIN ENTIDADES E ON M.CODENTIDADE=E.CODIGO");
        break;
    case Totalizacao::Profissional:
        chave = QStringLiteral("M.codprofissional");
        nome = QStringLiteral("PF.NOME");
        juncao = QStringLiteral(" LEFT OUTER JOIN PROFISSIONAIS PF ON M.CODPROFISSIONAL=PF.CODIGO");
        break;
    case Totalizacao::Grupo:
        chave = QStringLiteral("PR.codGRUPO");
        nome = QStringLiteral("G.NOME");
        juncao = QStringLiteral(" LEFT OUTER JOIN GruposProced G ON PR.CODGRUPO=G.CODIGO");
        break;
    case Totalizacao::Procedimento:
        chave = QStringLiteral("MP.codProcedimento");
        nome = QStringLiteral("PR.CODTABSUS || ") + SqlTexto(QStringLiteral(" - ")) + QStringLiteral(" || PR.NOME");
        break;
    }
    ConsultaRelatorio c;
    c.sql = QStringLiteral("SELECT ") + chave + QStringLiteral(" as CODIGO, ") + nome + QStringLiteral(" AS NOME,")
            + QStringLiteral("sum(MP.QUANTIDADE) AS QUANT,")
            + (f.valorSus ? QStringLiteral("sum(MP.VALORTOTALSUS) AS VALOR") : QStringLiteral("sum(MP.VALORTOTAL) AS VALOR"))
            + kProcedsDaMarcacao + QStringLiteral(" LEFT OUTER JOIN PROCEDIMENTOS PR ON MP.CODPROCEDIMENTO=PR.CODIGO")
            + juncao;
    QString periodo, bloqueio;
    const ConsultaRelatorio onde = ondeTotais(f, periodo, bloqueio);
    c.sql += onde.sql;
    c.parametros = onde.parametros;
    if (Totalizacao(f.ordem) == Totalizacao::Procedimento) {
        if (f.registroBpa == RegistroBpa::Consolidado)
            c.sql += QStringLiteral(" AND PR.REGISTRO LIKE ") + SqlTexto(QStringLiteral("%C%"));
        else if (f.registroBpa == RegistroBpa::Individualizado)
            c.sql += QStringLiteral(" AND PR.REGISTRO = ") + SqlTexto(QStringLiteral("I"));
    }
    c.sql += QStringLiteral(" GROUP BY ") + chave + QStringLiteral(", ") + nome + QStringLiteral(" ORDER BY ") + nome;
    c.legenda = periodo + bloqueio + onde.legenda + LegendaCalendario(f);
    return c;
}

ConsultaRelatorio SqlAgrupado(const FiltroAutorizacoes& f)
{
    const QString mestre =
        f.porEntidade ? QStringLiteral("E.CODIGO AS CODMESTRE, E.RAZAOSOCIAL AS NOMEMESTRE, E.ENDERECO || ")
                            + SqlTexto(QStringLiteral(" - ")) + QStringLiteral(" || COALESCE(I.CIDADE, '') AS ENDERECO, "
                                                                              "E.CNPJ, E.FONES")
                      : QStringLiteral("C.CODIGO AS CODMESTRE, C.NOME AS NOMEMESTRE, C.FONES, C.CNPJ");
    const QString grupoMestre = f.porEntidade ? QStringLiteral("E.CODIGO, E.RAZAOSOCIAL, E.ENDERECO, I.CIDADE, E.CNPJ, E.FONES")
                                              : QStringLiteral("C.CODIGO, C.NOME, C.FONES, C.CNPJ");
    ConsultaRelatorio c;
    c.sql = QStringLiteral("SELECT ") + mestre
            + QStringLiteral(", SUM(MP.QUANTIDADE) AS QUANTIDADE, SUM(MP.VALORTOTAL) AS VALORTOTAL, MP.CODPROCEDIMENTO, "
                             "PR.NOME, PR.CODTABSUS, CASE WHEN SUM(MP.QUANTIDADE) = 0 THEN 0 ELSE "
                             "SUM(MP.VALORTOTAL)/SUM(MP.QUANTIDADE) END AS VALOR")
            + kProcedsDaMarcacao + QStringLiteral(" INNER JOIN PROCEDIMENTOS PR ON MP.CODPROCEDIMENTO=PR.CODIGO")
            + (f.porEntidade ? QStringLiteral(" INNER JOIN ENTIDADES E ON M.CODENTIDADE=E.CODIGO"
                                              " LEFT OUTER JOIN IBGEMUNIC I ON E.CODMUN=I.CODIGO")
                             : QStringLiteral(" INNER JOIN CLIENTES C ON M.CLI_ORIGEM=C.CODIGO"));
    QString periodo, bloqueio;
    const ConsultaRelatorio onde = ondeTotais(f, periodo, bloqueio);
    c.sql += onde.sql + QStringLiteral(" GROUP BY ") + grupoMestre
             + QStringLiteral(", MP.CODPROCEDIMENTO, PR.NOME, PR.CODTABSUS ORDER BY ")
             + (f.porEntidade ? QStringLiteral("E.RAZAOSOCIAL, E.CODIGO") : QStringLiteral("C.NOME, C.CODIGO"))
             + QStringLiteral(", PR.NOME, MP.CODPROCEDIMENTO");
    c.parametros = onde.parametros;
    c.legenda = periodo + bloqueio + onde.legenda + LegendaCalendario(f);
    return c;
}

ConsultaRelatorio SqlExtrato(const FiltroAutorizacoes& f)
{
    ConsultaRelatorio c;
    c.sql = QStringLiteral("SELECT ")
            + (f.porEntidade ? QStringLiteral("E.CODIGO AS CODMESTRE, E.RAZAOSOCIAL AS NOMEMESTRE, ")
                             : QStringLiteral("C.CODIGO AS CODMESTRE, C.NOME AS NOMEMESTRE, "))
            + QStringLiteral("M.ID_MARCACAO, M.DATAREALIZACAO, M.DATA_DIGITACAO, M.DATABLOQUEIO, MB.DESCRICAO AS "
                             "MOTIVOBLOQUEIO, P.NOME AS NOMEPACIENTE, M.CLI_ORIGEM, M.CODENTIDADE, M.OBS, "
                             "MP.QUANTIDADE, MP.VALORTOTAL, MP.VALIRRF, MP.VALISSQN, MP.VALORSUS1, MP.VALORSUS2, "
                             "MP.VALORPOPULAR, PR.NOME AS NOMEPROCED, PR.CODTABSUS, PR.CODGRUPO, "
                             "E.NOMEFANTASIA, E.RAZAOSOCIAL, C.NOME AS MUNICIPIO, MP.CODPROCEDIMENTO, G.GRUPOCOBR")
            + kProcedsDaMarcacao
            + QStringLiteral(" LEFT OUTER JOIN PESSOAS P ON M.CODPESSOA=P.CODIGO AND M.CLI_ORIGEM=P.CLI_ORIGEM"
                             " LEFT OUTER JOIN MOTIVOBLOQUEIOS MB ON M.CODMOTIVOBLOQUEIO=MB.CODIGO"
                             " LEFT OUTER JOIN PROCEDIMENTOS PR ON MP.CODPROCEDIMENTO=PR.CODIGO"
                             " LEFT OUTER JOIN GRUPOSPROCED G ON PR.CODGRUPO=G.CODIGO")
            + (f.porEntidade ? QStringLiteral(" INNER JOIN ENTIDADES E ON M.CODENTIDADE=E.CODIGO"
                                              " LEFT OUTER JOIN CLIENTES C ON M.CLI_ORIGEM=C.CODIGO")
                             : QStringLiteral(" INNER JOIN CLIENTES C ON M.CLI_ORIGEM=C.CODIGO"
                                              " LEFT OUTER JOIN ENTIDADES E ON M.CODENTIDADE=E.CODIGO"));
    const QString col = ColunaDataExtrato(f);
    c.sql += QStringLiteral(" WHERE ") + col + QStringLiteral(" >= ? AND ") + col + QStringLiteral(" <= ? AND MP.REALIZADO=")
             + SqlTexto(QStringLiteral("S"));
    const auto lim = LimitesPeriodo(f, Limites::Extrato);
    c.parametros << lim.first << lim.second;
    if (f.bloqueio == Bloqueio::NaoBloqueados)
        c.sql += QStringLiteral(" AND M.databloqueio is null");
    const ClausulaRelatorio comuns = ClausulasComuns(f, false);
    c.sql += comuns.sql;
    c.parametros += comuns.parametros;
    c.legenda = (f.comControle() ? QStringLiteral("  Até ") + TextoData(f.data2)
                                 : QStringLiteral("  Entre ") + entre(f.data1, f.data2))
                + comuns.legenda + LegendaCalendario(f);
    c.sql += f.porEntidade ? QStringLiteral(" ORDER BY E.RAZAOSOCIAL, E.CODIGO, C.NOME")
                           : QStringLiteral(" ORDER BY C.NOME, C.CODIGO, E.NOMEFANTASIA");
    static const char* const ordens[] = {", M.ID_MARCACAO, M.DATA_IMPORTACAO", ", M.DATAREALIZACAO, P.NOME",
                                         ", P.NOME, M.ID_MARCACAO", ", M.DATA_DIGITACAO, M.ID_MARCACAO"};
    c.sql += QLatin1String(ordens[qBound(0, f.ordem, 3)]);
    return c;
}

QString NomeCompletoCulvar() { return QStringLiteral("CONSÓRCIO INTERMUNICIPAL DE SAÚDE DO VALE DO CULVAR"); }

} // namespace vx
