#include "reports/TFFilRelConsolidadoMunicipios.h"
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/TRConsolidadoMunicipios.h"

namespace vx {

VX_REGISTRA_TELA(ConsolidadoMunicpios1, [] { TFFilRelConsolidadoMunicipios::Abre(); });

TFFilRelConsolidadoMunicipios::TFFilRelConsolidadoMunicipios(QWidget* parent)
    : TFFiltroPeriodo("TFFilRelConsolidadoMunicipios", QStringLiteral("Consolidado Municípios"), parent, "PEDataRealiza1",
                      "PEDataRealiza2")
{
    const Calendario& cal = SessaoAtual().CalendarioAtual;
    if (LeData(cal.inicio).isValid() && LeData(cal.fim).isValid()) {
        PEData1->setText(cal.inicio);
        PEData2->setText(cal.fim);
    }
}

std::shared_ptr<rel::Documento> TFFilRelConsolidadoMunicipios::gera(Transacao& tr, const QDate& inicio, const QDate& fim)
{
    return TRConsolidadoMunicipios::Gera(tr, inicio, fim);
}

QString TFFilRelConsolidadoMunicipios::tituloPreview() const { return TRConsolidadoMunicipios::Titulo(); }

} // namespace vx
