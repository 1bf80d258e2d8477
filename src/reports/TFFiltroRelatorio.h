#pragma once
// A report filter screen: its fields above, "&Imprimir" below. Printing checks the fields, shows
// "Aguarde, gerando relatório..." while the report is produced (the button disabled), then the
// preview; a report that found nothing shows a message instead of an empty preview.
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"

#include <memory>

class QRadioButton;
class QVBoxLayout;

namespace vx {

class TPersonBtn;
class Transacao;
namespace rel {
class Documento;
}

// Shown instead of the preview of a report without rows.
QString MensagemRelatorioVazio();

class TFFiltroRelatorio : public TFBase {
    Q_OBJECT
public:
    void PBtnImprimirClick();

    TPersonBtn* PBtnImprimir;

protected:
    TFFiltroRelatorio(const char* nome, const QString& legenda, QWidget* parent);
    // False stops printing (the check has told the user why).
    virtual bool valida() { return true; }
    virtual std::shared_ptr<rel::Documento> gera(Transacao& tr) = 0;
    virtual QString tituloPreview() const { return windowTitle(); }
    // The " Ordem: " box with "Código" (ticked) and "Nome" (RBCodigo, RBNome), added to the body.
    QPair<QRadioButton*, QRadioButton*> ordemCodigoNome();

    Formulario m_form;
    QVBoxLayout* m_corpo; // the fields' layouts go here, above the button row
};

} // namespace vx
