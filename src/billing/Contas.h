#pragma once
// The two ledgers of the consortium: what each municipality owes it (LANRECEBER) and what it owes
// each entity (LANPAGAR). One code path for both, parameterised by the ledger: reading, next id,
// saving and deleting an entry, and the queries of the four reports (open and settled items).
//
//   LancamentoConta l{.codigo = "4300001", .dataDebito = "05/04/2026", ...};
//   const qint64 id = GravaLancamento(dm->IBTransaction, Livro::Receber, l);
#include "core/Cadastro.h"

#include <QDate>
#include <QString>
#include <QVariantList>

#include <optional>

namespace vx {

enum class Livro { Receber, Pagar };

// Table, code column and audit table name of a ledger.
struct DefinicaoLivro {
    QString tabela;       // "lanreceber" / "lanpagar"
    QString colunaCodigo; // "codcliente" (text) / "codentidade" (integer)
    QString tabelaLog;    // "LanReceber" / "LanPagar"
};
const DefinicaoLivro& DefinicaoDe(Livro l);

// An entry as the screen's fields hold it: dates "dd/mm/yyyy" (or the empty mask), values in the
// Brazilian form ("1.234,56"), the id empty for a new entry.
struct LancamentoConta {
    QString id;
    QString codigo;       // municipality code or entity code
    QString origem;
    QString dataDebito;
    QString dataVencimento;
    QString valorDebito;
    QString docDebito;
    QString dataPgto;
    QString valorPgto;
    QString docPgto;
    QString historico;
    QString obs;
};

// The row of `id` (nullopt for an unknown id), read on `tr` and left as it was found. A non-numeric
// id throws ErroValor.
std::optional<LinhaCadastro> LeLancamento(Transacao& tr, Livro l, const QString& id);
// Highest id plus one (1 for an empty ledger).
qint64 ProximoIdLancamento(Consulta& q, Livro l);

// Saves the entry whole ("update or insert … matching (id)"); an empty or "0" id takes the next
// one. Audit "I" with id, code, debit date, debit value, payment date and paid value. Returns the
// id saved. A value outside NUMERIC(10,2) or not a number throws ErroValor; nothing is kept on any
// error.
qint64 GravaLancamento(Transacao& tr, Livro l, const LancamentoConta& c);
// Deletes the entry of c.id (nothing at all for an empty id); audit "E" with id, code, origin,
// debit date, debit value, payment date and paid value.
void ExcluiLancamento(Transacao& tr, Livro l, const LancamentoConta& c);

// ---- reports ----

enum class RelatorioConta { AReceber, Recebidas, APagar, Pagas };

// "RECEBER", "RECEBIDAS", "PAGAR", "PAGAS", tested in that order on the upper-cased caption.
std::optional<RelatorioConta> RelatorioDaLegenda(const QString& legenda);
Livro LivroDe(RelatorioConta r);
// Open items (by due date, open amount above 0) or settled ones (by payment date).
bool RelatorioEmAberto(RelatorioConta r);
// "CONTAS A RECEBER", "CONTAS RECEBIDAS", "CONTAS A PAGAR", "CONTAS PAGAS".
QString TituloRelatorioConta(RelatorioConta r);

struct PedidoContas {
    RelatorioConta relatorio = RelatorioConta::AReceber;
    QDate inicio, fim;
    QString codigo; // municipality or entity; empty or "0": all
};

struct ConsultaContas {
    QString sql;
    QVariantList parametros; // the period's two dates
};
ConsultaContas SqlRelatorioContas(const PedidoContas& p);
// "Com vencimento entre <inicio> e <fim>" or "Pagamentos entre <inicio> e <fim>".
QString LinhaFiltroContas(const PedidoContas& p);

} // namespace vx
