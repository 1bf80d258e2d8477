#pragma once
// "Relatório de Créditos dos Municípios": the source to report and the selected billing calendar
// beside it; "&Imprimir" previews the balances of that calendar.
#include "core/widgets/TFBase.h"

class QComboBox;
class QLabel;

namespace vx {

class TPersonBtn;

class TFFilRelCreditosMunics : public TFBase {
    Q_OBJECT
public:
    explicit TFFilRelCreditosMunics(QWidget* parent = nullptr);
    // Shows the one instance with `tipo` chosen (when it is one of the sources).
    static TFFilRelCreditosMunics* Abre(const QString& tipo = {});
    void PBtnImprimirClick();

    QComboBox* CBRecurso() const { return m_recurso; }
    QLabel* LCalendario() const { return m_calendario; }
    TPersonBtn* PBtnImprimir() const { return m_imprimir; }

protected:
    void showEvent(QShowEvent* ev) override;

private:
    QComboBox* m_recurso;
    QLabel* m_calendario;
    TPersonBtn* m_imprimir;
};

} // namespace vx
