#pragma once
// Care units (UNIDADES) and their spending limits (LIMITESUNIDADES). Units are deleted physically
// and their limits stay; an empty code is inserted as null and the database assigns the next one.
#include "core/Cadastro.h"

#include <QStringList>

namespace vx {

// Inserts (`novo`) or updates the unit. On insert with an empty code, `codigo` receives the
// assigned one.
RegistroLog GravaUnidade(Transacao& tr, QString& codigo, const QString& nome, bool novo);
// Deletes the unit (an authorization that uses it makes the database refuse).
RegistroLog ExcluiUnidade(Transacao& tr, const QString& codigo, const QString& nome);

// A limit as typed on the screen: dates "dd/mm/yyyy", the value as decimal text.
struct LimiteUnidade {
    QString unidade, dataInicial, dataFinal, valor, obs;
    bool diario = false; // one row per day instead of one row for the period
};

// The refusal of a limit action without a unit code.
QString MensagemSemUnidade();

// Why a limit cannot be recorded: the field to correct and the message; campo Nenhum when it can.
struct RecusaLimite {
    enum Campo { Nenhum, Unidade, DataInicial, DataFinal, Valor } campo = Nenhum;
    QString texto;
};
RecusaLimite ConfereLimite(const LimiteUnidade& l);

// Removes the unit's limits lying entirely inside the period, then writes the period's row or one
// row per day. A limit ConfereLimite refuses throws ErroValor before anything runs.
RegistroLog GravaLimiteUnidade(Transacao& tr, const LimiteUnidade& l);

// "dd/mm/yyyy a dd/mm/yyyy: R$ 1.234,56" for the 20 limits of the unit with the latest starts,
// latest first. Read on `tr` (a read started here is rolled back).
QStringList ConsultaLimitesUnidade(Transacao& tr, const QString& unidade);

// Deletes every limit of the unit (an empty code throws ErroValor).
RegistroLog ApagaCotasUnidade(Transacao& tr, const QString& unidade, const QString& nome);

} // namespace vx
