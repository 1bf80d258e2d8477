#pragma once
// "Relatório de Limites Financeiros": the monthly limits of one municipality or of all, of one
// year (`PEAno`, the working date's year at first) or of every period.
#include "reports/TFFiltroRelatorio.h"

class QLabel;
class QToolButton;

namespace vx {

class TFFilRelCliLimites : public TFFiltroRelatorio {
    Q_OBJECT
public:
    explicit TFFilRelCliLimites(QWidget* parent = nullptr);
    static TFFilRelCliLimites* Abre();

    TPersonEdit* PECodMun;
    QToolButton* SBCodMun;
    QLabel* LNomeMun;
    TPersonEdit* PEAno;

protected:
    std::shared_ptr<rel::Documento> gera(Transacao& tr) override;
    QString tituloPreview() const override;
};

} // namespace vx
