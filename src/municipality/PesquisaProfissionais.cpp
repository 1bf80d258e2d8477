#include "municipality/PesquisaProfissionais.h"
#include "core/UFunc.h"

namespace vx {

namespace {

QString Padrao(const QString& texto) { return SqlTexto(QLatin1Char('%') + texto + QLatin1Char('%')); }

} // namespace

QString SqlPesquisaProfissionais(const QString& texto, bool porMunicipio)
{
    const QString w = Padrao(texto);
    // The conditions combine as written: "a and b or exists(...)". A missing telephone or
    // contact leaves the other one shown.
    return QStringLiteral("select p.codigo, p.nome, e.razaosocial, i.cidade, "
                          "TRIM(COALESCE(e.fones, '') || ' ' || COALESCE(P.CONTATO, '')) AS CONTATO, c.descricao "
                          "from profissionais p "
                          "LEFT OUTER JOIN CBO C ON P.cbo=C.codigo "
                          "LEFT OUTER JOIN ENTIDADESPROFISS EP ON P.CODIGO=EP.CODPROFISSIONAL "
                          "LEFT OUTER JOIN ENTIDADES E ON EP.CODENTIDADE=E.CODIGO "
                          "LEFT OUTER JOIN ibgemunic I ON E.codmun=I.codigo "
                          "where P.DATAEXCLUSAO IS NULL AND UPPER(c.descricao) LIKE ")
        + w
        + QStringLiteral(" or exists(SELECT PP.* FROM PROFISSPROCED PP INNER JOIN PROCEDIMENTOS PR ON PP.CODPROCEDIMENTO=PR.CODIGO "
                         "WHERE PP.CODPROFISSIONAL=P.CODIGO AND PP.CODENTIDADE=E.CODIGO AND PP.DATAEXCLUSAO IS NULL AND PR.NOME LIKE ")
        + w + QStringLiteral(") ") + (porMunicipio ? QStringLiteral("ORDER BY i.cidade") : QStringLiteral("ORDER BY P.NOME"));
}

QString SqlProcedimentosProfissional(const QString& codigo, const QString& texto, bool conformePesquisa)
{
    QString sql = QStringLiteral("select p.codtabsus, p.nome, p.valor from profissproced pp "
                                 "inner join procedimentos p on pp.codprocedimento=p.codigo "
                                 "where pp.codprofissional=")
        + SqlInteiro(codigo);
    if (conformePesquisa)
        sql += QStringLiteral(" and Upper(p.nome) like ") + Padrao(texto);
    return sql + QStringLiteral(" order by p.nome");
}

} // namespace vx
