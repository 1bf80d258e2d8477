#include "billing/TFFilRelIRRFPorMunicipio.h"
#include "billing/TRIrrfDirf.h"
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonEdit.h"

namespace vx {

VX_REGISTRA_TELA(DemonstrativoIRRFporMunicpio1, [] { TFFilRelIRRFPorMunicipio::Abre(); });

TFFilRelIRRFPorMunicipio::TFFilRelIRRFPorMunicipio(QWidget* parent)
    : TFFiltroPeriodo("TFFilRelIRRFPorMunicipio", QStringLiteral("Demonstrativo Retenções IRRF por Município"), parent)
{
    const Calendario& cal = SessaoAtual().CalendarioAtual;
    if (LeData(cal.inicio).isValid() && LeData(cal.fim).isValid()) {
        PEData1->setText(cal.inicio);
        PEData2->setText(cal.fim);
    } else {
        PEData1->clear();
        PEData2->setText(TextoData(DataAtualDate().isValid() ? DataAtualDate() : QDate::currentDate()));
    }
}

std::shared_ptr<rel::Documento> TFFilRelIRRFPorMunicipio::gera(Transacao& tr, const QDate& inicio, const QDate& fim)
{
    return TRIrrfDirf::GeraIrrf(tr, inicio, fim);
}

QString TFFilRelIRRFPorMunicipio::tituloPreview() const { return TRIrrfDirf::TituloIrrf(); }

} // namespace vx
