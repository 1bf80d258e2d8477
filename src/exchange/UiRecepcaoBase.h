#pragma once
// What the two base-reception screens share: the check of the day's reception and the run's
// context wired to the screen.
#include "exchange/RecepcaoBase.h"

namespace vx {

class TDMCUNE;
class TelaExecucao;

// The working date is later than the last completed reception (a database error is shown and
// counts as no).
bool RecepcaoBasePendente(TDMCUNE& dm);
// A run's context on the screen: log lines, the row label, a refused row shown alone in the log
// (statement and error), warnings and error boxes through the message handler.
ContextoBase ContextoDaTela(TelaExecucao& tela, TDMCUNE& dm);

} // namespace vx
