#pragma once
// Block reasons (MOTIVOBLOQUEIOS): codes typed by the user, rows deleted physically.
#include "core/Cadastro.h"

namespace vx {

// Inserts (`novo`) or updates the reason. An empty or "0" code is written as null, which the
// table's key refuses.
RegistroLog GravaMotivoBloqueio(Transacao& tr, const QString& codigo, const QString& descricao, bool novo);
RegistroLog ExcluiMotivoBloqueio(Transacao& tr, const QString& codigo, const QString& descricao);

} // namespace vx
