#pragma once
// Member municipalities (CLIENTES, keyed by the 7-digit IBGE code) and their monthly financial
// limits (CLILIMITES) with the journal of every change (LANCLIMITES). Saving or deleting a
// municipality leaves no audit row; every limit change does.
#include "core/Cadastro.h"
#include "core/Decimal.h"

#include <QStringList>

namespace vx {

// The list item of a municipality: "PORTO ALEGRE - RS.....(4314902)" (code zero-padded to 7).
QString ItemMunicipio(const QString& cidade, const QString& uf, const QString& codigo);
// The code of a list item: the 7 characters before its closing parenthesis (empty for no item).
QString CodigoDoItem(const QString& item);
// Items of every IBGEMUNIC row, by town name.
QStringList ItensMunicipios(Transacao& tr);

// The screen's texts as typed.
struct Municipio {
    QString codigo, endereco, endNum, bairro, cep, contato, fones, cnpj, populacao, boleto, leiAutorizativa, apelido,
        valorTaxa, cobrTaxa, codContTaxa, cobrProducao, codContProd, mostrarValor, obs;
    bool apac = false;
};

QString MensagemSemMunicipio();
// A collection form ('B' slip, 'R' receipt, 'A' both) or empty.
bool CobrancaValida(const QString& forma);

// Inserts the municipality or updates the row of its code; the name is the town of IBGEMUNIC.
// An empty code throws ErroValor.
void GravaMunicipio(Transacao& tr, const Municipio& m);
// Why the municipality may not be deleted (its authorizations or limits are kept); empty when it
// may.
QString ImpedimentoExclusao(Transacao& tr, const QString& codigo);
// Deletes the municipality; ErroValor with the reason while ImpedimentoExclusao gives one. Other
// references (receivables) make the database refuse.
void ExcluiMunicipio(Transacao& tr, const QString& codigo);

// The limit of a month as recorded (0 and an empty remark when there is none).
struct LimiteMes {
    Decimal valor = Decimal::cents(0);
    QString obs;
};
LimiteMes LeLimite(Transacao& tr, const QString& codigo, const QString& periodo);

// A change of a month's limit as typed: `acrescentar` is added to the limit in force (negative to
// reduce), `obs` is the remark the municipality sees, `justificativa` goes to the journal.
struct LancamentoLimite {
    QString codigo, nome, periodo, obs, acrescentar, justificativa;
};
// Why the change cannot be recorded (empty when it can): no municipality, an incomplete month,
// an amount that is not a number or a limit beyond NUMERIC(10,2).
QString RecusaLancamento(const LancamentoLimite& l);
// Writes the journal line dated `hoje` and the month's new limit (the limit in force when saving
// plus the amount), with the audit row. `novoLimite` receives the limit written.
RegistroLog GravaLimite(Transacao& tr, const LancamentoLimite& l, const QDate& hoje, Decimal* novoLimite = nullptr);

// "MM-YYYY: R$ 1.234,56" for the first 30 limits of the municipality as the database returns them.
QStringList ConsultaLimites(Transacao& tr, const QString& codigo);

} // namespace vx
