#pragma once
// "BPA": the previews of the production bulletin and the BPA file of a period.
#include "billing/Bpa.h"
#include "core/widgets/TFBase.h"

class QGroupBox;
class QLabel;
class QRadioButton;

namespace vx {

class TPersonBtn;
class TPersonEdit;

class TFFilRelBPA : public TFBase {
    Q_OBJECT
public:
    explicit TFFilRelBPA(QWidget* parent = nullptr);
    static TFFilRelBPA* Abre();

    bpa::Exibir exibir() const;
    void PBtnImprimirClick();
    void PBGerarArquivoClick();

    TPersonEdit* PEDataInicial;
    TPersonEdit* PEDataFinal;
    QGroupBox* RGPab;
    QRadioButton* RBPab;
    QRadioButton* RBMac;
    QRadioButton* RBTodos;
    QGroupBox* RGBPARegistro;
    QRadioButton* RBConsolidado;
    QRadioButton* RBIndividualizado;
    QGroupBox* PIndividualizado;
    TPersonEdit* PECodGrupo;
    QLabel* LNomeGrupo;
    QRadioButton* RBProfCNS;
    QRadioButton* RBProfTodos;
    QLabel* LPasta;
    TPersonBtn* PBtnImprimir;
    TPersonBtn* PBGerarArquivo;

private:
    void salvaErros(const QStringList& erros);
};

} // namespace vx
