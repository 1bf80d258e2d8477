#pragma once
// Credits of the municipalities by funding source (CREDITOS: SUS1, SUS2, POPULAR), one entry per
// municipality, source and date: saving, deleting and looking one up, copying every municipality's
// latest SUS1 credit to a new date, and the balances of a billing calendar (credits up to its end
// less what the production lines drew before and within it).
//
//   GravaCredito(dm->IBTransaction, {"4300001", "SUS1", "01/04/2026", "1.500,00", "abril"});
//   const RelatorioCreditos r = SaldosCreditosMunicipios(tr, "SUS1", inicio, fim);
#include "core/Cadastro.h"
#include "core/Decimal.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace vx {

// The sources, in the order the screens list them.
const QStringList& TiposCredito();

// A credit as the screen's fields hold it: date "dd/mm/yyyy", value in the Brazilian form.
struct Credito {
    QString codigo;
    QString tipo;
    QString data;
    QString valor;
    QString obs;
};

// "select * from creditos where cli_origem=… and tipo=… and data=…" (an unreadable date throws
// ErroValor).
QString SqlCredito(const QString& codigo, const QString& tipo, const QString& data);
// The credit of that key, read on `tr` and left as found; nullopt when there is none.
std::optional<LinhaCadastro> LeCredito(Transacao& tr, const QString& codigo, const QString& tipo, const QString& data);
// The credits of a municipality and/or a source (an empty code or source does not restrict),
// with the municipality's name, by name.
QString SqlListaCreditos(const QString& codigo, const QString& tipo);

// Saves the credit ("update or insert": an existing key gets the new value and remark). Audit
// "Creditos" "I" with code-source-date-value as typed. An unknown source or a value outside
// NUMERIC(10,2) throws ErroValor; nothing is kept on any error.
RegistroLog GravaCredito(Transacao& tr, const Credito& c);
// Deletes the credit of that key; audit "Creditos" "E" with the same details.
RegistroLog ExcluiCredito(Transacao& tr, const Credito& c);

// Copies the latest SUS1 credit of every municipality to `data` (same value, no remark) in one
// transaction, without audit. A date before some municipality's latest SUS1 credit
// ("Data Inválida: …") or equal to it throws ErroValor and nothing is copied. Returns the number
// of credits created.
int ImportaSus1UltimoMes(Transacao& tr, const QString& data);

// One municipality's balance of a source in a billing calendar.
struct SaldoCredito {
    QString codigo;
    QString nome;
    Decimal saldoInicial; // credits dated up to the end, less the use before the start
    Decimal valorGasto;   // use within the calendar
    Decimal saldoFinal;   // saldoInicial - valorGasto
};
struct RelatorioCreditos {
    QVector<SaldoCredito> linhas; // by municipality code
    Decimal saldoInicial = Decimal::cents(0);
    Decimal valorGasto = Decimal::cents(0);
    Decimal saldoFinal = Decimal::cents(0);
};
// Balances of `tipo` for every municipality with credits of it dated up to `fim`. Use counts the
// realized lines of unblocked authorizations received from 01/01/1900 00:01 to the day before
// `inicio` at 23:59 (before) and from `inicio` at 00:01 to `fim` at 23:59 (within). An unknown
// source or an invalid period throws ErroValor. Reads on `tr`, left as found.
RelatorioCreditos SaldosCreditosMunicipios(Transacao& tr, const QString& tipo, const QDate& inicio, const QDate& fim);

} // namespace vx
