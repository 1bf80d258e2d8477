#include "billing/Irrf.h"
#include "billing/Faturamento.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/UFunc.h"

#include <QHash>

namespace vx {

namespace {

const Decimal kAliquotaIrrf(15, 3); // 1,5 %

void exigePeriodo(const QDate& inicio, const QDate& fim)
{
    if (!inicio.isValid() || !fim.isValid())
        throw ErroValor(QStringLiteral("Período inválido: informe as duas datas (dd/mm/aaaa)."));
}

// The dates go without a time: the window ends at fim 00:00.
QString entre(const QString& coluna, const QDate& inicio, const QDate& fim)
{
    return coluna + QStringLiteral(" >= ") + SqlData(inicio) + QStringLiteral(" AND ") + coluna
           + QStringLiteral(" <= ") + SqlData(fim);
}

// IRRF of the entity's billing row for exactly the period; nullopt without a row.
std::optional<Decimal> irrfFaturado(Transacao& tr, qint64 codEntidade, const QDate& inicio, const QDate& fim)
{
    Consulta q(tr);
    q.abre(QStringLiteral("select IRRF from fat_entidade where codentidade=") + SqlInteiro(codEntidade)
           + QStringLiteral(" and dataini=") + SqlData(inicio) + QStringLiteral(" and datafim=") + SqlData(fim));
    if (q.eof())
        return std::nullopt;
    return q.campo(0).decimal();
}

} // namespace

EntidadeIrrf CelulaIrrf(const std::optional<Decimal>& irrf, const Decimal& valor)
{
    EntidadeIrrf e;
    e.valor = valor;
    e.valorIrrf = Decimal::cents(0);
    if (!irrf)
        return e;
    if (irrf->isZero()) {
        e.irrf = QStringLiteral("0,00");
        return e;
    }
    e.valorIrrf = (valor * kAliquotaIrrf).rescaled(2);
    e.irrf = FormataValor(e.valorIrrf, QStringLiteral("#####0.00"));
    return e;
}

QString LinhaPeriodoIrrf(const QDate& inicio, const QDate& fim)
{
    return QStringLiteral("Período: ") + TextoData(inicio) + QStringLiteral(" e ") + TextoData(fim);
}

QVector<MunicipioIrrf> DadosIrrf(Transacao& tr, const QDate& inicio, const QDate& fim)
{
    exigePeriodo(inicio, fim);
    return Lendo(tr, [&] {
        QVector<MunicipioIrrf> r;
        {
            Consulta q(tr);
            q.abre(QStringLiteral("select FM.CODCLIENTE, (FM.VALORBRUTO+FM.ACRESCDESC-FM.DESCSUS+FM.DESCCUNE-FM.DESCPPC) "
                                  "AS VALORLIQUIDO, c.nome from FAT_MUNICIPIO FM "
                                  "left outer join clientes c on FM.codcliente=c.codigo "
                                  "where FM.dataini=")
                   + SqlData(inicio) + QStringLiteral(" and FM.datafim=") + SqlData(fim)
                   + QStringLiteral(" and FM.TIPO='FAT' order by c.nome"));
            for (; !q.eof(); q.proximo()) {
                MunicipioIrrf m;
                m.codigo = q.campo(0).texto().trimmed();
                if (!q.campo(1).nulo)
                    m.liquido = q.campo(1).decimal();
                m.nome = q.campo(2).texto();
                m.totalIrrf = Decimal::cents(0);
                r.append(m);
            }
        }
        QHash<qint64, std::optional<Decimal>> irrfs;
        for (MunicipioIrrf& m : r) {
            Consulta q(tr);
            q.abre(QStringLiteral("SELECT M.CODENTIDADE, E.RAZAOSOCIAL, sum(MP.VALORTOTAL) AS VALOR") + kDeLinhasProducao
                   + QStringLiteral("LEFT OUTER JOIN ENTIDADES E ON M.CODENTIDADE=E.CODIGO "
                                  "WHERE M.CLI_ORIGEM=")
                   + SqlTexto(m.codigo) + QStringLiteral(" AND ") + entre(QStringLiteral("M.DATA_IMPORTACAO"), inicio, fim)
                   + QStringLiteral(" AND MP.REALIZADO='S' AND M.databloqueio is null "
                                    "GROUP BY M.CODENTIDADE, E.RAZAOSOCIAL ORDER BY E.RAZAOSOCIAL"));
            for (; !q.eof(); q.proximo()) {
                std::optional<qint64> codigo;
                std::optional<Decimal> irrf;
                if (!q.campo(0).nulo) {
                    codigo = q.campo(0).inteiro();
                    auto it = irrfs.find(*codigo);
                    if (it == irrfs.end())
                        it = irrfs.insert(*codigo, irrfFaturado(tr, *codigo, inicio, fim));
                    irrf = *it;
                }
                EntidadeIrrf e = CelulaIrrf(irrf, q.campo(2).decimal());
                e.codigo = codigo;
                e.razaoSocial = q.campo(1).texto();
                m.totalIrrf = m.totalIrrf + e.valorIrrf;
                m.entidades.append(e);
            }
        }
        return r;
    });
}

QVector<EntidadeDirf> DadosDirf(Transacao& tr, const QDate& inicio, const QDate& fim)
{
    exigePeriodo(inicio, fim);
    return Lendo(tr, [&] {
        QVector<EntidadeDirf> r;
        {
            Consulta q(tr);
            q.abre(QStringLiteral("SELECT DISTINCT(F.CODENTIDADE), E.nomefantasia, E.razaosocial, E.cnpj "
                                  "FROM FAT_ENTIDADE F LEFT OUTER JOIN ENTIDADES E ON F.CODENTIDADE=E.CODIGO WHERE ")
                   + entre(QStringLiteral("F.DATAFIM"), inicio, fim) + QStringLiteral(" ORDER BY E.razaosocial"));
            for (; !q.eof(); q.proximo()) {
                EntidadeDirf e;
                e.codigo = q.campo(0).inteiro();
                e.nomeFantasia = q.campo(1).texto();
                e.razaoSocial = q.campo(2).texto();
                e.cnpj = q.campo(3).texto();
                e.totalBruto = e.totalIrrf = Decimal::cents(0);
                r.append(e);
            }
        }
        for (EntidadeDirf& e : r) {
            Consulta q(tr);
            q.abre(QStringLiteral("SELECT F.* FROM FAT_ENTIDADE F WHERE F.CODENTIDADE=") + SqlInteiro(e.codigo)
                   + QStringLiteral(" AND ") + entre(QStringLiteral("F.DATAFIM"), inicio, fim)
                   + QStringLiteral(" ORDER BY F.DATAFIM"));
            for (; !q.eof(); q.proximo()) {
                MesDirf m;
                m.mes = TextoData(q.campo(QStringLiteral("DATAFIM")).data()).mid(3, 7);
                m.bruto = q.campo(QStringLiteral("VALORBRUTO")).decimal();
                m.irrf = q.campo(QStringLiteral("IRRF")).decimal();
                e.totalBruto = e.totalBruto + m.bruto;
                e.totalIrrf = e.totalIrrf + m.irrf;
                e.meses.append(m);
            }
        }
        return r;
    });
}

} // namespace vx
