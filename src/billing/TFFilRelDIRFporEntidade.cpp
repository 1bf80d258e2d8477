#include "billing/TFFilRelDIRFporEntidade.h"
#include "billing/TRIrrfDirf.h"
#include "core/MenuPrincipal.h"
#include "core/widgets/TPersonEdit.h"

namespace vx {

VX_REGISTRA_TELA(DemonstrativoDIRFporEntidade1, [] { TFFilRelDIRFporEntidade::Abre(); });

TFFilRelDIRFporEntidade::TFFilRelDIRFporEntidade(QWidget* parent)
    : TFFiltroPeriodo("TFFilRelDIRFporEntidade", QStringLiteral("DIRF Anual por Entidade"), parent)
{
    PEData1->setText(QStringLiteral("01/01/2014"));
    PEData2->setText(QStringLiteral("31/12/2014"));
}

std::shared_ptr<rel::Documento> TFFilRelDIRFporEntidade::gera(Transacao& tr, const QDate& inicio, const QDate& fim)
{
    return TRIrrfDirf::GeraDirf(tr, inicio, fim);
}

QString TFFilRelDIRFporEntidade::tituloPreview() const { return TRIrrfDirf::TituloDirf(); }

} // namespace vx
