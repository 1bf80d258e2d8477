#pragma once
// "Demonstrativo Retenções IRRF por Município": the period of the IRRF statement, from the
// selected billing calendar (an empty start and today without one).
#include "reports/TFFiltroPeriodo.h"

namespace vx {

class TFFilRelIRRFPorMunicipio : public TFFiltroPeriodo {
    Q_OBJECT
public:
    explicit TFFilRelIRRFPorMunicipio(QWidget* parent = nullptr);
    static TFFilRelIRRFPorMunicipio* Abre() { return abre<TFFilRelIRRFPorMunicipio>(); }

protected:
    std::shared_ptr<rel::Documento> gera(Transacao& tr, const QDate& inicio, const QDate& fim) override;
    QString tituloPreview() const override;
};

} // namespace vx
