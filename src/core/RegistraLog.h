#pragma once
// Audit log: one LOGS row in the caller's transaction (it disappears with the caller's rollback).
#include <QDateTime>
#include <QString>

namespace vx {

class Transacao;
class Consulta;

// USUARIO = the logged-in user, DATAHORA = the local clock to the minute, SITUACAO upper-cased.
// Errors propagate to the caller (no handling of its own).
void RegistraLog(Transacao& tr, const QString& tabela, const QString& situacao, const QString& outrasInfo);
void RegistraLog(Consulta& q, const QString& tabela, const QString& situacao, const QString& outrasInfo);

// The time stamp written: the local date and time with seconds dropped.
QDateTime HoraLog(const QDateTime& agora = QDateTime::currentDateTime());

} // namespace vx
