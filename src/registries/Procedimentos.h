#pragma once
// Procedures (PROCEDIMENTOS), their groups (GRUPOSPROCED) and the price adjustment. Procedures are
// closed with DATAEXCLUSAO, never deleted; groups are deleted. Empty codes are inserted as null and
// the database assigns the next one.
#include "core/Cadastro.h"

namespace vx {

// The screen's fields as typed (numbers by the decimal-text rule, codes as text).
struct Procedimento {
    QString codigo, nome, codGrupo;
    bool apac = false;
    QString cbo, quantMax, valor, valorSus, valorPopular, registro, codTabSus;
};

// Inserts the procedure (empty code: the code the database assigns is put into p.codigo) or, when
// the code exists, updates it and reactivates it. A quantity of 0 or empty becomes 1 (also in p).
RegistroLog GravaProcedimento(Transacao& tr, Procedimento& p);
// The maximum quantity as stored: empty, 0 or less becomes "1".
QString QuantMaxGravada(const QString& quantMax);
// Closes the procedure and every professional's link to it on `data`.
RegistroLog ExcluiProcedimento(Transacao& tr, const QString& codigo, const QString& nome, const QDate& data);

// Raises every consortium price (VALOR) by `indice` percent (decimal text, at most 4 decimals;
// negative lowers), rounded to the cent half away from zero, deleted procedures included; with
// `grupo` only that group's procedures. Nothing is changed when any new price does not fit the
// column. A bad index or an unknown group throws ErroValor before anything runs.
RegistroLog ReajustaValores(Transacao& tr, const QString& indice, const QString& grupo = {});

// Warning for a SUS-table code already used by another procedure than `codigo`; empty when none.
// Read on `tr` (a read started here is rolled back).
QString AvisoCodTabSus(Transacao& tr, const QString& codTabSus, const QString& codigo);

// Inserts (empty code: `codigo` receives the assigned one) or updates the group.
RegistroLog GravaGrupo(Transacao& tr, QString& codigo, const QString& nome, const QString& grupoCobr);
RegistroLog ExcluiGrupo(Transacao& tr, const QString& codigo, const QString& nome);

} // namespace vx
