#pragma once
// "Relatório de Boletos/Recibos Emitidos": the documents issued in a period, slips, receipts or
// both.
#include "core/widgets/TFBase.h"
#include "reports/Relatorio.h"

#include <QDate>

#include <memory>

class QRadioButton;

namespace vx {

class TPersonBtn;
class TPersonEdit;
class Transacao;

class TFFilRelBoletosRecibos : public TFBase {
    Q_OBJECT
public:
    explicit TFFilRelBoletosRecibos(QWidget* parent = nullptr);
    static TFFilRelBoletosRecibos* Abre();

    // The listing of the period; `tipo` 'B', 'R' or null for both.
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, const QDate& inicio, const QDate& fim, QChar tipo);
    QChar tipo() const;
    void PBtnImprimirClick();

    TPersonEdit* PEDataInicial;
    TPersonEdit* PEDataFinal;
    QRadioButton* RBBoletos;
    QRadioButton* RBRecibos;
    QRadioButton* RBAmbos;
    TPersonBtn* PBtnImprimir;
};

} // namespace vx
