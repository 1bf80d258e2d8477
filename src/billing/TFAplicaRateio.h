#pragma once
// The billing screen's apportionment panel: a transfer base applied to the period on the billing
// screen, each listed municipality's share written as its invoice's SUS discount.
#include "billing/Rateio.h"
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"


class QLabel;

namespace vx {

class TPersonBtn;

class TFAplicaRateio : public TFBase {
    Q_OBJECT
public:
    explicit TFAplicaRateio(QWidget* parent = nullptr);
    // Opened from the billing screen, which stays open while the panel lives.
    static TFAplicaRateio* Abre();

    void PBAplicarDescClick();

    TPersonEdit* PEIdBaseRateio() const { return m_id; }
    QLabel* LDescricao() const { return m_descricao; }
    QLabel* LValorTotal() const { return m_total; }
    TPersonBtn* PBAplicarDesc() const { return m_aplicar; }

private:
    QString leBase(const QString& id);

    Formulario m_form{this};
    TPersonEdit* m_id;
    QLabel* m_descricao;
    QLabel* m_total;
    TPersonBtn* m_aplicar;
};

} // namespace vx
