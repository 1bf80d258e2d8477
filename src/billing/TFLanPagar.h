#pragma once
// "Lançamento de Contas a Pagar": the payables to the entities.
#include "billing/TFLanContas.h"

namespace vx {

class TFLanPagar : public TFLanContas {
    Q_OBJECT
public:
    explicit TFLanPagar(QWidget* parent = nullptr);
    static TFLanPagar* Abre();
};

} // namespace vx
