#include "billing/TFLanPagar.h"
#include "core/MenuPrincipal.h"

namespace vx {

VX_REGISTRA_TELA(ContasaPagar1, [] { TFLanPagar::Abre(); });

TFLanPagar::TFLanPagar(QWidget* parent)
    : TFLanContas("TFLanPagar", QStringLiteral("Lançamento de Contas a Pagar"), Livro::Pagar, parent)
{
}

TFLanPagar* TFLanPagar::Abre()
{
    return MostraTela<TFLanPagar>();
}

} // namespace vx
