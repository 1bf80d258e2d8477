#pragma once
// "Controle de Contas a Receber": the receivables of the municipalities.
#include "billing/TFLanContas.h"

namespace vx {

class TFLanReceber : public TFLanContas {
    Q_OBJECT
public:
    explicit TFLanReceber(QWidget* parent = nullptr);
    static TFLanReceber* Abre();
};

} // namespace vx
