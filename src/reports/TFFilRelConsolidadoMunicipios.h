#pragma once
// "Consolidado Municípios": the production realized per municipality in an import period (the
// selected billing calendar's at first).
#include "reports/TFFiltroPeriodo.h"

namespace vx {

class TFFilRelConsolidadoMunicipios : public TFFiltroPeriodo {
    Q_OBJECT
public:
    explicit TFFilRelConsolidadoMunicipios(QWidget* parent = nullptr);
    static TFFilRelConsolidadoMunicipios* Abre() { return abre<TFFilRelConsolidadoMunicipios>(); }

protected:
    std::shared_ptr<rel::Documento> gera(Transacao& tr, const QDate& inicio, const QDate& fim) override;
    QString tituloPreview() const override;
};

} // namespace vx
