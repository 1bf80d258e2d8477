#include "billing/Demonstrativos.h"
#include "core/Banco.h"
#include "core/UFunc.h"

#include <QDateTime>

namespace vx {

namespace {

QString somaEntidade(const QString& expressao, const QString& alias)
{
    return QStringLiteral("(SELECT COALESCE(SUM(") + expressao + QStringLiteral("),0) ") + kDeLinhasProducao
           + QStringLiteral("WHERE M.CODENTIDADE=FE.CODENTIDADE AND M.DATA_IMPORTACAO BETWEEN ? AND ? "
                            "AND M.DATABLOQUEIO IS NULL AND MP.REALIZADO='S') AS ")
           + alias;
}

QString tipoFatura(const PedidoDemonstrativo& p)
{
    return p.taxas ? QStringLiteral(" AND FM.TIPO='TAXA'") : QStringLiteral(" AND FM.TIPO='FAT'");
}

} // namespace

ModeloDemonstrativo ModeloDe(const PedidoDemonstrativo& p)
{
    if (p.entidades)
        return ModeloDemonstrativo::Entidades;
    return RegrasFaturamento::DoPerfil(p.perfil).cumbel ? ModeloDemonstrativo::MunicipiosCumbel
                                                    : ModeloDemonstrativo::Municipios;
}

QString TituloDemonstrativo(ModeloDemonstrativo m)
{
    return m == ModeloDemonstrativo::Entidades ? QStringLiteral("Planilha de Pagamento Mensal por Entidade")
                                               : QStringLiteral("Faturamento por Município");
}

ConsultaDemonstrativo SqlDemonstrativoEntidades(const PedidoDemonstrativo& p)
{
    ConsultaDemonstrativo c;
    c.sql = QStringLiteral(
        "select FE.*, (FE.VALORBRUTO+FE.ACRESCDESC) AS VALORBRUTONOTA, "
        "(FE.VALORBRUTO+FE.ACRESCDESC-FE.IRRF-FE.COFINS-FE.TARIFA-FE.ISSQN-FE.PIS-FE.CSLL) AS VALORLIQUIDO, "
        "E.RAZAOSOCIAL, I.CIDADE, E.CODCONTABIL, E.BANCO, E.INFOBANC, E.AGENCIA, E.CONTA, E.SIMPLESNAC, "
        "E.ISENTOIR, E.CNPJ, E.EMAIL");
    if (RegrasFaturamento::DoPerfil(p.perfil).culvar) {
        // The period's two dates as they are (the lines of the last day after midnight are left out).
        const QVariantList periodo{QVariant(p.inicio), QVariant(p.fim)};
        c.sql += QStringLiteral(", ") + somaEntidade(QStringLiteral("MP.VALORSUS1"), QStringLiteral("VALORSUS1"));
        c.sql += QStringLiteral(", ") + somaEntidade(QStringLiteral("MP.VALORSUS2"), QStringLiteral("VALORSUS2"));
        c.sql += QStringLiteral(", ") + somaEntidade(QStringLiteral("MP.VALORPOPULAR"), QStringLiteral("VALORPOPULAR"));
        c.sql += QStringLiteral(", ")
                 + somaEntidade(QStringLiteral("COALESCE(MP.VALORTOTAL,0)-COALESCE(MP.VALORSUS1,0)"
                                               "-COALESCE(MP.VALORSUS2,0)-COALESCE(MP.VALORPOPULAR,0)"),
                                QStringLiteral("VALORMUN"));
        for (int i = 0; i < 4; ++i)
            c.parametros += periodo;
    }
    c.sql += QStringLiteral(" FROM FAT_ENTIDADE FE "
                            "LEFT OUTER JOIN ENTIDADES E ON FE.CODENTIDADE=E.CODIGO "
                            "LEFT OUTER JOIN IBGEMUNIC I ON E.CODMUN=I.CODIGO "
                            "WHERE FE.DATAINI=? AND FE.DATAFIM=? "
                            "ORDER BY E.RAZAOSOCIAL");
    c.parametros << QVariant(p.inicio) << QVariant(p.fim);
    return c;
}

ConsultaDemonstrativo SqlDemonstrativoMunicipios(const PedidoDemonstrativo& p)
{
    return {QStringLiteral("select FM.*, (FM.DESCSUS-FM.DESCCUNE) AS DESCSUSLIQ, "
                           "(FM.VALORBRUTO+FM.ACRESCDESC-FM.DESCSUS+FM.DESCCUNE-FM.DESCPPC) AS VALORLIQUIDO, C.NOME "
                           "FROM FAT_MUNICIPIO FM "
                           "LEFT OUTER JOIN CLIENTES C ON FM.CODCLIENTE=C.CODIGO "
                           "WHERE FM.DATAINI=? AND FM.DATAFIM=?")
                + tipoFatura(p) + QStringLiteral(" ORDER BY C.NOME"),
            {QVariant(p.inicio), QVariant(p.fim)}};
}

ConsultaDemonstrativo SqlDemonstrativoCumbel(const PedidoDemonstrativo& p)
{
    // The detail of the base the row was billed with: a period may have more than one base.
    return {QStringLiteral("select FM.CODCLIENTE, FM.VALORBRUTO, FM.ACRESCDESC, (FM.DESCSUS-FM.DESCCUNE) AS DESCSUSLIQ, "
                           "(FM.VALORBRUTO+FM.ACRESCDESC-FM.DESCSUS+FM.DESCCUNE-FM.DESCPPC) AS VALORLIQUIDO, "
                           "FM.OBS, C.NOME, R.VALORFIXO AS DESCSUSFIXO, R.VALORVAR AS DESCSUSVAR "
                           "FROM FAT_MUNICIPIO FM "
                           "LEFT OUTER JOIN CLIENTES C ON FM.CODCLIENTE=C.CODIGO "
                           "LEFT OUTER JOIN RATEIOSUSDET R ON FM.CODCLIENTE=R.CODCLIENTE AND FM.DATAINI=R.DATAINI "
                           "AND FM.DATAFIM=R.DATAFIM AND R.IDRATEIO=FM.IDRATEIOSUS "
                           "WHERE FM.DATAINI=? AND FM.DATAFIM=?")
                + tipoFatura(p) + QStringLiteral(" ORDER BY C.NOME"),
            {QVariant(p.inicio), QVariant(p.fim)}};
}

ConsultaDemonstrativo SqlDemonstrativo(const PedidoDemonstrativo& p)
{
    switch (ModeloDe(p)) {
    case ModeloDemonstrativo::Entidades:
        return SqlDemonstrativoEntidades(p);
    case ModeloDemonstrativo::MunicipiosCumbel:
        return SqlDemonstrativoCumbel(p);
    case ModeloDemonstrativo::Municipios:
        break;
    }
    return SqlDemonstrativoMunicipios(p);
}

ConsultaDemonstrativo SqlGruposMunicipio(const QString& codCliente, const QDate& inicio, const QDate& fim)
{
    return {QStringLiteral("SELECT DISTINCT(GP.GRUPOCOBR) AS GRUPO, SUM(MP.VALORTOTAL) AS VALOR ") + kDeLinhasProducao
                + QStringLiteral("INNER JOIN PROCEDIMENTOS PR ON MP.CODPROCEDIMENTO=PR.CODIGO "
                                 "INNER JOIN GRUPOSPROCED GP ON PR.CODGRUPO=GP.CODIGO "
                                 "WHERE MP.CLI_ORIGEM=? AND M.DATA_IMPORTACAO BETWEEN ? AND ? "
                                 "AND MP.REALIZADO='S' AND M.DATABLOQUEIO IS NULL "
                                 "GROUP BY GP.GRUPOCOBR"),
            {QVariant(codCliente), QVariant(QDateTime(inicio, QTime(0, 0, 1))),
             QVariant(QDateTime(fim, QTime(23, 59, 59)))}};
}

ConsultaDemonstrativo SqlMunicipiosMaisAtendidos(qint64 codEntidade, const QDate& inicio, const QDate& fim)
{
    return {QStringLiteral("select FIRST 5 M.CLI_ORIGEM, C.APELIDO, SUM(MP.VALORTOTAL) AS VALOR ") + kDeLinhasProducao
                + QStringLiteral("INNER JOIN CLIENTES C ON M.CLI_ORIGEM=C.CODIGO "
                                 "WHERE M.CODENTIDADE=? AND M.DATA_IMPORTACAO BETWEEN ? AND ? "
                                 "AND MP.REALIZADO='S' AND M.DATABLOQUEIO IS NULL "
                                 "GROUP BY M.CLI_ORIGEM, C.APELIDO "
                                 "ORDER BY 3 DESC"),
            {QVariant(codEntidade), QVariant(QDateTime(inicio, QTime(0, 1))), QVariant(QDateTime(fim, QTime(23, 59)))}};
}

QString MunicipiosMaisAtendidos(Transacao& tr, qint64 codEntidade, const QDate& inicio, const QDate& fim)
{
    const ConsultaDemonstrativo c = SqlMunicipiosMaisAtendidos(codEntidade, inicio, fim);
    Consulta q(tr);
    q.abre(c.sql, c.parametros);
    QString r;
    for (; !q.eof(); q.proximo())
        r += q.campo(QStringLiteral("APELIDO")).texto() + QLatin1Char('-');
    return r;
}

QString LinhaFiltroDemonstrativo(const QDate& inicio, const QDate& fim, const QString& descricao)
{
    return QStringLiteral("Período: ") + TextoData(inicio) + QStringLiteral(" e ") + TextoData(fim)
           + QStringLiteral(" (") + descricao + QLatin1Char(')');
}

} // namespace vx
