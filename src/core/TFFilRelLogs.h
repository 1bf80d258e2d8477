#pragma once
// Filter screen of the audit-log report ("Relatório de Logs").
#include "core/RelatorioLogs.h"
#include "core/widgets/TFBase.h"

class QComboBox;

namespace vx {

class TPersonBtn;
class TPersonEdit;
class Transacao;

class TFFilRelLogs : public TFBase {
    Q_OBJECT
public:
    // `tr`: the transaction the lists and the report read (the main transaction when null).
    explicit TFFilRelLogs(Transacao* tr = nullptr, QWidget* parent = nullptr);

    // The filter as the fields stand (first list items mean "no condition").
    FiltroLogs Filtro() const;
    QString LinhaFiltro() const;
    void PreencheListas();
    void PBtnImprimirClick();

    TPersonEdit* PEDataInicial;
    TPersonEdit* PEDataFinal;
    QComboBox* CBUsuarios;
    QComboBox* CBTabela;
    QComboBox* CBOperacao;
    TPersonEdit* PEOutrasInf;
    QComboBox* CBOrdem;
    TPersonBtn* PBtnImprimir;

private:
    Transacao* m_tr;
};

} // namespace vx
