#include "billing/TFLanReceber.h"
#include "core/MenuPrincipal.h"

namespace vx {

VX_REGISTRA_TELA(ContasaReceber1, [] { TFLanReceber::Abre(); });

TFLanReceber::TFLanReceber(QWidget* parent)
    : TFLanContas("TFLanReceber", QStringLiteral("Controle de Contas a Receber"), Livro::Receber, parent)
{
}

TFLanReceber* TFLanReceber::Abre()
{
    return MostraTela<TFLanReceber>();
}

} // namespace vx
