#include "billing/Rateio.h"

#include "billing/Faturamento.h"
#include "core/Banco.h"
#include "core/UFunc.h"

namespace vx {

// ---- credit consumption ----

ConsumoLinha ConsomeLinha(SaldosCreditos& s, const LinhaConsumo& l)
{
    const Decimal zero;
    ConsumoLinha c;
    Decimal usado;
    const Decimal& v = l.valorSus;
    const Decimal& w = l.valorPopular;
    if (v > zero && v <= s.sus1) {
        c.sus1 = v;
        s.sus1 = s.sus1 - v;
        usado = usado + v;
    }
    if (v > zero && v <= s.sus2 && v + usado <= l.total) {
        c.sus2 = v;
        s.sus2 = s.sus2 - v;
        usado = usado + v;
    }
    if (w > zero && w <= s.popular && w + usado <= l.total) {
        c.popular = w;
        s.popular = s.popular - w;
    }
    return c;
}

namespace {

struct LinhaPeriodo {
    qint64 id = 0;
    QString estampa;
    qint64 procedimento = 0;
    LinhaConsumo valores;
    bool gravados = false; // the three values are stored (not null)
    ConsumoLinha atual;
};

SaldosCreditos saldosAte(Consulta& q, const QString& codigo, const QDate& inicio, const QDate& fim)
{
    SaldosCreditos s;
    q.abre(QStringLiteral(" SELECT TIPO, SUM(VALOR) AS VALOR FROM CREDITOS  WHERE CLI_ORIGEM=") + SqlTexto(codigo)
           + QStringLiteral(" AND DATA <= ") + SqlData(fim) + QStringLiteral(" GROUP BY TIPO"));
    for (; !q.eof(); q.proximo()) {
        const QString tipo = q.campo(0).texto();
        if (tipo == QLatin1String("SUS1"))
            s.sus1 = q.campo(1).decimal();
        else if (tipo == QLatin1String("SUS2"))
            s.sus2 = q.campo(1).decimal();
        else if (tipo == QLatin1String("POPULAR"))
            s.popular = q.campo(1).decimal();
    }
    q.abre(QStringLiteral(" SELECT COALESCE(SUM(MP.VALORSUS1),0) AS VALORSUS1, COALESCE(SUM(MP.VALORSUS2),0) AS "
                          "VALORSUS2, COALESCE(SUM(MP.VALORPOPULAR),0) AS VALORPOPULAR")
               + kDeLinhasProducao + QStringLiteral(" WHERE MP.CLI_ORIGEM=") + SqlTexto(codigo)
               + QStringLiteral(" AND M.DATA_IMPORTACAO < ?"),
           {QDateTime(inicio, QTime(0, 0))});
    s.sus1 = s.sus1 - q.campo(0).decimal();
    s.sus2 = s.sus2 - q.campo(1).decimal();
    s.popular = s.popular - q.campo(2).decimal();
    q.fecha();
    return s;
}

QVector<LinhaPeriodo> linhasDoPeriodo(Consulta& q, const QString& codigo, const QDate& inicio, const QDate& fim)
{
    QVector<LinhaPeriodo> v;
    q.abre(QStringLiteral(" SELECT MP.CLI_ORIGEM, MP.ID_MARCACAO, MP.DATA_IMP_ADM, MP.CODPROCEDIMENTO, MP.VALORTOTAL, "
                          "COALESCE(P.VALORSUS,0) AS VALORSUS, COALESCE(P.VALORPOPULAR,0) AS VALORPOPULAR, "
                          "M.CODENTIDADE, MP.VALORSUS1, MP.VALORSUS2, MP.VALORPOPULAR")
               + kDeLinhasProducao
               + QStringLiteral(" LEFT OUTER JOIN PROCEDIMENTOS P ON MP.CODPROCEDIMENTO=P.CODIGO  WHERE MP.CLI_ORIGEM=")
               + SqlTexto(codigo)
               + QStringLiteral(" AND M.DATA_IMPORTACAO BETWEEN ? AND ? AND MP.REALIZADO='S' AND M.databloqueio is null "
                                " ORDER BY M.DATA_IMPORTACAO, MP.ID_MARCACAO, MP.CODPROCEDIMENTO"),
           {QDateTime(inicio, QTime(0, 0)), QDateTime(fim, QTime(23, 59))});
    for (; !q.eof(); q.proximo()) {
        LinhaPeriodo l;
        l.id = q.campo(1).inteiro();
        l.estampa = q.campo(2).texto();
        l.procedimento = q.campo(3).inteiro();
        l.valores.total = q.campo(4).decimal();
        l.valores.valorSus = q.campo(5).decimal();
        l.valores.valorPopular = q.campo(6).decimal();
        l.gravados = !q.campo(8).nulo && !q.campo(9).nulo && !q.campo(10).nulo;
        l.atual = {q.campo(8).decimal(), q.campo(9).decimal(), q.campo(10).decimal()};
        v.push_back(l);
    }
    q.fecha();
    return v;
}

} // namespace

ResumoConsumo ConsomeCreditos(Transacao& tr, const QDate& inicio, const QDate& fim)
{
    if (!inicio.isValid() || !fim.isValid())
        throw ErroValor(QStringLiteral("Período do calendário inválido: créditos não verificados."));
    ResumoConsumo r;
    Consulta q(tr);
    QStringList codigos;
    q.abre(QStringLiteral("select codigo, nome from clientes order by codigo"));
    for (; !q.eof(); q.proximo())
        codigos << q.campo(0).texto();
    q.fecha();
    Comando grava(tr, QStringLiteral("update marcacao_proceds set valorsus1=?, valorsus2=?, valorpopular=? "
                                     "where cli_origem=? and id_marcacao=? and data_imp_adm=? and codprocedimento=?"));
    for (const QString& codigo : codigos) {
        const QVector<LinhaPeriodo> linhas = linhasDoPeriodo(q, codigo, inicio, fim);
        if (linhas.isEmpty())
            continue;
        SaldosCreditos saldos = saldosAte(q, codigo, inicio, fim);
        for (const LinhaPeriodo& l : linhas) {
            const ConsumoLinha c = ConsomeLinha(saldos, l.valores);
            // A line that already holds these values is left as it is: each rewrite would leave
            // one more record version behind, and most lines keep their values from run to run.
            if (l.gravados && c.sus1 == l.atual.sus1 && c.sus2 == l.atual.sus2 && c.popular == l.atual.popular)
                continue;
            ++r.alteradas;
            grava.executa({c.sus1.toSql(), c.sus2.toSql(), c.popular.toSql(), codigo, l.id, l.estampa, l.procedimento});
        }
        ++r.municipios;
        r.linhas += int(linhas.size());
    }
    return r;
}

ResumoConsumo ConsomeCreditos(Transacao& tr)
{
    Consulta q(tr);
    q.abre(QStringLiteral("select datainicial, datafinal from calendarios where selecao='S'"));
    if (q.eof())
        throw ErroValor(QStringLiteral("Nenhum calendário de faturamento selecionado: créditos não verificados."));
    const QDate inicio = q.campo(0).data();
    const QDate fim = q.campo(1).data();
    q.fecha();
    return ConsomeCreditos(tr, inicio, fim);
}

// ---- transfer bases ----

std::optional<BaseRateio> LeBaseRateio(Transacao& tr, const QString& id)
{
    if (CodigoVazio(id))
        return std::nullopt;
    const auto l = LeLinha(tr, QStringLiteral("select * from rateiosus where idrateio=") + SqlInteiro(id));
    if (!l)
        return std::nullopt;
    BaseRateio b;
    b.id = (*l)[QStringLiteral("IDRATEIO")].inteiro();
    b.descricao = l->texto(QStringLiteral("DESCRICAO"));
    b.total = (*l)[QStringLiteral("VALORTOTAL")].decimal();
    b.inicio = (*l)[QStringLiteral("DATABASEINI")].data();
    b.fim = (*l)[QStringLiteral("DATABASEFIM")].data();
    return b;
}

namespace {
QString detalheBase(const QString& id, const DadosBaseRateio& d)
{
    return id + QLatin1Char('-') + d.descricao + QLatin1Char('-') + d.total;
}
} // namespace

RegistroLog GravaBaseRateio(Transacao& tr, const QString& id, const DadosBaseRateio& d)
{
    return EmTransacao(tr, [&](Consulta& q) {
        const QString valores = SqlData(d.inicio) + QLatin1Char(',') + SqlData(d.fim) + QLatin1Char(',')
            + SqlDecimal(d.total) + QLatin1Char(',');
        if (id.trimmed().isEmpty()) {
            q.abre(QStringLiteral("select max(idrateio) as id from rateiosus"));
            const QString novo = QString::number(q.campo(0).inteiro() + 1);
            q.fecha();
            q.executa(QStringLiteral("insert into Rateiosus(IdRateio, Descricao, DataBaseIni, DataBaseFim, ValorTotal, Obs) "
                                     "values(")
                      + novo + QLatin1Char(',') + SqlTexto(d.descricao) + QLatin1Char(',') + valores + SqlTexto(d.obs)
                      + QLatin1Char(')'));
            return RegistroLog{QStringLiteral("RateioSUS"), QStringLiteral("I"), detalheBase(novo, d)};
        }
        q.executa(QStringLiteral("update RateioSUS set Descricao=") + SqlTexto(d.descricao)
                  + QStringLiteral(", DataBaseIni=") + SqlData(d.inicio) + QStringLiteral(", DataBaseFim=")
                  + SqlData(d.fim) + QStringLiteral(", Valortotal=") + SqlDecimal(d.total) + QStringLiteral(", Obs=")
                  + SqlTexto(d.obs) + QStringLiteral(" where IdRateio=") + SqlInteiro(id));
        return RegistroLog{QStringLiteral("RateioSUS"), QStringLiteral("U"), detalheBase(id.trimmed(), d)};
    });
}

RegistroLog ExcluiBaseRateio(Transacao& tr, const QString& id, const DadosBaseRateio& d)
{
    return EmTransacao(tr, [&](Consulta& q) {
        q.abre(QStringLiteral("select count(*) from fat_municipio where idrateiosus=") + SqlInteiro(id));
        const qint64 faturas = q.campo(0).inteiro();
        q.fecha();
        if (faturas > 0)
            throw ErroValor(QStringLiteral("A base %1 está aplicada em %2 fatura(s) de municípios e não pode ser excluída.")
                                .arg(id.trimmed())
                                .arg(faturas));
        q.executa(QStringLiteral("delete from RateioSUS where IdRateio=") + SqlInteiro(id));
        return RegistroLog{QStringLiteral("RateioSUS"), QStringLiteral("D"), detalheBase(id.trimmed(), d)};
    });
}

// ---- application ----

namespace {
const Decimal kCem = Decimal::fromInt(100);

Decimal proporcao(const Decimal& a, const Decimal& b, const Decimal& c, int escala)
{
    const auto r = Decimal::proporcao(a, b, c, escala);
    if (!r)
        throw ErroValor(QStringLiteral("Valor fora do limite no cálculo do rateio."));
    return *r;
}
} // namespace

ParteRateio ParteFaturamento(const QString& codigo, const Decimal& total, const Decimal& bruto, const Decimal& brutoTotal)
{
    if (brutoTotal.isZero())
        throw ErroValor(QStringLiteral("O período base do rateio não tem faturamento bruto gravado: nada foi aplicado."));
    ParteRateio p;
    p.codigo = codigo;
    p.indiceFixo = Decimal(0, 5);
    p.indiceVariavel = proporcao(bruto, kCem, brutoTotal, 5);
    p.valorFixo = Decimal(0, 2);
    p.valorVariavel = proporcao(total, bruto, brutoTotal, 2);
    return p;
}

ParteRateio ParteCumbel(const QString& codigo, const Decimal& total, const Decimal& populacao, const Decimal& populacaoTotal)
{
    if (populacaoTotal.isZero())
        throw ErroValor(QStringLiteral("A população dos municípios não está cadastrada: nada foi aplicado."));
    ParteRateio p;
    p.codigo = codigo;
    p.indiceFixo = kIndiceFixoCumbel.rescaled(5);
    // (p × 100 / P) × 0,5 = p × 50 / P
    p.indiceVariavel = proporcao(populacao, Decimal::fromInt(50), populacaoTotal, 5);
    p.valorFixo = proporcao(total, kIndiceFixoCumbel, kCem, 2);
    p.valorVariavel = proporcao(total, populacao, populacaoTotal * Decimal::fromInt(2), 2);
    return p;
}

QVector<ParteRateio> AplicaRateio(Transacao& tr, const PedidoAplicacao& p, const QVector<LinhaAplicacao>& linhas)
{
    if (!p.inicio.isValid() || !p.fim.isValid())
        throw ErroValor(QStringLiteral("Informe o período do faturamento."));
    QVector<ParteRateio> partes;
    const QString base = QString::number(p.base.id);
    const QString periodoBase = QStringLiteral(" and DataIni=") + SqlData(p.base.inicio) + QStringLiteral(" and DataFim=")
        + SqlData(p.base.fim);
    EmTransacao(tr, [&](Consulta& q) {
        Decimal soma;
        q.abre(p.cumbel ? QStringLiteral("select sum(populacao) as totpop from clientes")
                        : QStringLiteral("select sum(valorbruto) as totvalbruto from fat_municipio where tipo='FAT'")
                   + periodoBase);
        soma = q.campo(0).decimal();
        q.fecha();
        const QString obs = QStringLiteral("Calculado em ") + p.agora.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))
            + QStringLiteral(" por ") + p.usuario;
        for (const LinhaAplicacao& l : linhas) {
            if (l.codigo.trimmed().isEmpty())
                continue;
            const QString codigo = SqlTexto(l.codigo);
            ParteRateio parte;
            if (p.cumbel) {
                q.abre(QStringLiteral("select populacao from clientes where codigo=") + codigo);
                const Decimal pop = q.eof() ? Decimal() : q.campo(0).decimal();
                q.fecha();
                parte = ParteCumbel(l.codigo, p.base.total, pop, soma);
            } else {
                q.abre(QStringLiteral("select valorbruto from fat_municipio where tipo='FAT'") + periodoBase
                       + QStringLiteral(" and codcliente=") + codigo);
                const Decimal bruto = q.eof() ? Decimal() : q.campo(0).decimal();
                q.fecha();
                parte = ParteFaturamento(l.codigo, p.base.total, bruto, soma);
            }
            const QString periodo = SqlData(p.inicio) + QLatin1Char(',') + SqlData(p.fim);
            q.executa(QStringLiteral("update or insert into RateioSusDet(IDRATEIO, CODCLIENTE, DATAINI, DATAFIM, INDFIXO, "
                                     "INDVAR, VALORFIXO, VALORVAR, OBS) VALUES(")
                      + base + QLatin1Char(',') + codigo + QLatin1Char(',') + periodo + QLatin1Char(',')
                      + SqlDecimal(parte.indiceFixo) + QLatin1Char(',') + SqlDecimal(parte.indiceVariavel)
                      + QLatin1Char(',') + SqlDecimal(parte.valorFixo) + QLatin1Char(',')
                      + SqlDecimal(parte.valorVariavel) + QLatin1Char(',') + SqlTexto(obs) + QLatin1Char(')'));
            q.executa(QStringLiteral("update or insert into Fat_Municipio(TIPO, DATAINI, DATAFIM, CODCLIENTE, VALORBRUTO, "
                                     "DESCSUS, IDRATEIOSUS, DATAPROCESSAMENTO) VALUES('FAT',")
                          + periodo + QLatin1Char(',') + codigo + QLatin1Char(',') + SqlDecimal(ValorCelula(l.bruto))
                          + QLatin1Char(',') + SqlDecimal(parte.valor()) + QLatin1Char(',') + base + QStringLiteral(", ?)"),
                      {p.agora});
            partes.push_back(parte);
        }
        return RegistroLog{QStringLiteral("RateioSusDet"), QStringLiteral("I"),
                           base + QLatin1Char('-') + p.inicio.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char('-')
                               + p.fim.toString(QStringLiteral("dd/MM/yyyy"))};
    });
    return partes;
}

} // namespace vx
