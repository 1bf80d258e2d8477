#pragma once
// Correction of the consultation values of early 2015 (CUNE consortia): run at start-up between
// upgrade steps 2.23 and 2.24, when the attendance screen closes and after the receptions.
#include <QDateTime>

namespace vx {
class Transacao;
// Last moment the correction still runs (31/10/2015 00:00).
QDateTime FimCorrecaoConsultas();
// On the open transaction `tr` (not committed here); nothing once `agora` is past
// FimCorrecaoConsultas(). Returns whether the statements ran.
bool CorrigeValorConsultas(Transacao& tr, const QDateTime& agora = QDateTime::currentDateTime());
} // namespace vx
