#pragma once
// "DIRF Anual por Entidade": the interval of billing periods' ends for the DIRF statement.
#include "reports/TFFiltroPeriodo.h"

namespace vx {

class TFFilRelDIRFporEntidade : public TFFiltroPeriodo {
    Q_OBJECT
public:
    explicit TFFilRelDIRFporEntidade(QWidget* parent = nullptr);
    static TFFilRelDIRFporEntidade* Abre() { return abre<TFFilRelDIRFporEntidade>(); }

protected:
    std::shared_ptr<rel::Documento> gera(Transacao& tr, const QDate& inicio, const QDate& fim) override;
    QString tituloPreview() const override;
};

} // namespace vx
