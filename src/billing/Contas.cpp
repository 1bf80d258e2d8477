#include "billing/Contas.h"
#include "core/UFunc.h"

#include <QStringList>

namespace vx {

namespace {

const QString kSeparadorLog = QStringLiteral("=//=");

// The code as it goes into the statement: quoted text for a municipality, a number (null when
// empty or 0) for an entity.
QString sqlCodigo(Livro l, const QString& codigo)
{
    return l == Livro::Receber ? SqlTexto(codigo.trimmed()) : SqlInteiro(codigo);
}

QString sqlValor(const QString& texto)
{
    const Decimal v = DecimalTexto(texto);
    if (v > kMaximoNumeric10_2 || v < -kMaximoNumeric10_2)
        throw ErroValor(QStringLiteral("Valor Inválido!"));
    return SqlDecimal(v);
}

} // namespace

const DefinicaoLivro& DefinicaoDe(Livro l)
{
    static const DefinicaoLivro receber{QStringLiteral("lanreceber"), QStringLiteral("codcliente"),
                                        QStringLiteral("LanReceber")};
    static const DefinicaoLivro pagar{QStringLiteral("lanpagar"), QStringLiteral("codentidade"),
                                      QStringLiteral("LanPagar")};
    return l == Livro::Receber ? receber : pagar;
}

std::optional<LinhaCadastro> LeLancamento(Transacao& tr, Livro l, const QString& id)
{
    return LeLinha(tr, QStringLiteral("select * from %1 where id=%2").arg(DefinicaoDe(l).tabela, SqlInteiro(id)));
}

qint64 ProximoIdLancamento(Consulta& q, Livro l)
{
    q.abre(QStringLiteral("select max(id) as id from %1").arg(DefinicaoDe(l).tabela));
    const qint64 r = q.eof() || q.campo(0).nulo ? 1 : q.campo(0).inteiro() + 1;
    q.fecha();
    return r;
}

qint64 GravaLancamento(Transacao& tr, Livro l, const LancamentoConta& c)
{
    const DefinicaoLivro& d = DefinicaoDe(l);
    qint64 id = 0;
    EmTransacao(tr, [&](Consulta& q) {
        id = CodigoVazio(c.id) ? ProximoIdLancamento(q, l) : SqlInteiro(c.id).toLongLong();
        const QStringList valores{SqlInteiro(id),
                                  sqlCodigo(l, c.codigo),
                                  SqlTexto(c.origem),
                                  SqlData(c.dataDebito),
                                  SqlData(c.dataVencimento),
                                  sqlValor(c.valorDebito),
                                  SqlTexto(c.docDebito),
                                  SqlData(c.dataPgto),
                                  sqlValor(c.valorPgto),
                                  SqlTexto(c.docPgto),
                                  SqlTexto(c.historico),
                                  SqlTexto(c.obs)};
        q.executa(QStringLiteral("update or insert into %1(id, %2, origem, datadebito, DataVencimento, valordebito, "
                                 "docdebito, datapgto, valorpgto, docpgto, historico, obs) values(")
                      .arg(d.tabela, d.colunaCodigo)
                  + valores.join(QLatin1Char(',')) + QStringLiteral(") MATCHING (ID)"));
        const QStringList log{QString::number(id), c.codigo, c.dataDebito, c.valorDebito, c.dataPgto, c.valorPgto};
        return RegistroLog{d.tabelaLog, QStringLiteral("I"), log.join(kSeparadorLog)};
    });
    return id;
}

void ExcluiLancamento(Transacao& tr, Livro l, const LancamentoConta& c)
{
    if (CodigoVazio(c.id))
        return;
    const DefinicaoLivro& d = DefinicaoDe(l);
    EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("delete from %1 where id=%2").arg(d.tabela, SqlInteiro(c.id)));
        const QStringList log{c.id.trimmed(), c.codigo, c.origem,    c.dataDebito,
                              c.valorDebito,  c.dataPgto, c.valorPgto};
        return RegistroLog{d.tabelaLog, QStringLiteral("E"), log.join(kSeparadorLog)};
    });
}

// ---- reports ----

std::optional<RelatorioConta> RelatorioDaLegenda(const QString& legenda)
{
    const QString l = legenda.toUpper();
    for (const auto& [palavra, r] : {std::pair{"RECEBER", RelatorioConta::AReceber},
                                     std::pair{"RECEBIDAS", RelatorioConta::Recebidas},
                                     std::pair{"PAGAR", RelatorioConta::APagar},
                                     std::pair{"PAGAS", RelatorioConta::Pagas}})
        if (l.contains(QLatin1String(palavra)))
            return r;
    return std::nullopt;
}

Livro LivroDe(RelatorioConta r)
{
    return r == RelatorioConta::AReceber || r == RelatorioConta::Recebidas ? Livro::Receber : Livro::Pagar;
}

bool RelatorioEmAberto(RelatorioConta r)
{
    return r == RelatorioConta::AReceber || r == RelatorioConta::APagar;
}

QString TituloRelatorioConta(RelatorioConta r)
{
    switch (r) {
    case RelatorioConta::AReceber:
        return QStringLiteral("CONTAS A RECEBER");
    case RelatorioConta::Recebidas:
        return QStringLiteral("CONTAS RECEBIDAS");
    case RelatorioConta::APagar:
        return QStringLiteral("CONTAS A PAGAR");
    case RelatorioConta::Pagas:
        break;
    }
    return QStringLiteral("CONTAS PAGAS");
}

ConsultaContas SqlRelatorioContas(const PedidoContas& p)
{
    const Livro livro = LivroDe(p.relatorio);
    const bool aberto = RelatorioEmAberto(p.relatorio);
    QString sql;
    QString ordem;
    if (livro == Livro::Receber) {
        sql = aberto ? QStringLiteral("select l.*, l.valordebito-l.valorpgto as Valor, c.nome from lanreceber l ")
                     : QStringLiteral("select l.*, c.nome from lanreceber l ");
        sql += QStringLiteral("left outer join clientes c on l.codcliente=c.codigo ");
        ordem = QStringLiteral(" order by c.nome, ");
    } else {
        sql = aberto ? QStringLiteral("select l.*, l.valordebito-l.valorpgto as Valor, e.razaosocial from lanpagar l ")
                     : QStringLiteral("select l.*, e.razaosocial from lanpagar l ");
        sql += QStringLiteral("left outer join entidades e on l.codentidade=e.codigo ");
        ordem = QStringLiteral(" order by e.razaosocial, ");
    }
    sql += aberto ? QStringLiteral("where l.datavencimento between ? and ? and l.valordebito-l.valorpgto > 0")
                  : QStringLiteral("where l.datapgto between ? and ?");
    if (!CodigoVazio(p.codigo))
        sql += livro == Livro::Receber ? QStringLiteral(" and l.CodCliente=") + SqlTexto(p.codigo.trimmed())
                                       : QStringLiteral(" and l.CodEntidade=") + SqlInteiro(p.codigo);
    sql += ordem + (aberto ? QStringLiteral("l.datavencimento, l.id") : QStringLiteral("l.datapgto, l.id"));
    return {sql, {QVariant(p.inicio), QVariant(p.fim)}};
}

QString LinhaFiltroContas(const PedidoContas& p)
{
    return (RelatorioEmAberto(p.relatorio) ? QStringLiteral("Com vencimento entre ") : QStringLiteral("Pagamentos entre "))
           + TextoData(p.inicio) + QStringLiteral(" e ") + TextoData(p.fim);
}

} // namespace vx
