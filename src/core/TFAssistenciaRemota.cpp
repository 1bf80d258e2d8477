// "Solicitar Assistência Remota" starts the remote-assistance program (no screen of its own).
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/Utilitarios.h"

namespace vx {

VX_REGISTRA_TELA(SolicitarAssistnciaRemota1, [] { SolicitaAssistenciaRemota(PastaInstalacao()); });

} // namespace vx
