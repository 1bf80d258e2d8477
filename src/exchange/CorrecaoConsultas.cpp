#include "exchange/CorrecaoConsultas.h"

namespace vx {

void CorrigeValorConsultas(Transacao&)
{
    // Nothing to correct until provider attendance exists.
}

} // namespace vx
