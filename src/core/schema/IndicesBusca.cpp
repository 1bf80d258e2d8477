#include "core/schema/IndicesBusca.h"
#include "core/Banco.h"
#include "core/schema/Catalogo.h"

namespace vx {

void CriaIndicesBusca(Transacao& tr)
{
    catalogo::criaIndice(tr, "IX_PESSOAS_NOME", "PESSOAS", "NOME");
}

} // namespace vx
