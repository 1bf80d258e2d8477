#pragma once
// Filter of the four ledger reports. The menu item gives the caption, and the caption the report
// ("Relatório de Contas a Receber", "… Recebidas", "… a Pagar", "… Pagas") and whether the code
// field is a municipality or an entity.
#include "billing/Contas.h"
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"

class QLabel;
class QToolButton;

namespace vx {

class TPersonBtn;

class TFFilRelContasRecPag : public TFBase {
    Q_OBJECT
public:
    explicit TFFilRelContasRecPag(QWidget* parent = nullptr);
    // Shows the one instance with `legenda` as its caption.
    static TFFilRelContasRecPag* Abre(const QString& legenda);
    // Caption, code label and search; the code is cleared when it changes between municipality
    // and entity.
    void defineLegenda(const QString& legenda);
    // Entities when the upper-cased caption contains "PAG".
    bool entidades() const;
    PedidoContas Pedido() const;
    // The search over municipalities or entities, by the caption.
    QString busca() const;
    void PBtnImprimirClick();

    TPersonEdit* PEData1() const { return m_data1; }
    TPersonEdit* PEData2() const { return m_data2; }
    TPersonEdit* PECodMun() const { return m_codMun; }
    QToolButton* SBCodMun() const { return m_sbCodMun; }
    QLabel* LNome() const { return m_nome; }
    TPersonBtn* PBtnImprimir() const { return m_imprimir; }

private:
    QString nomeDe(const QString& codigo) const;
    Formulario m_form{this};
    TPersonEdit* m_data1;
    TPersonEdit* m_data2;
    TPersonEdit* m_codMun;
    QToolButton* m_sbCodMun;
    QLabel* m_nome;
    TPersonBtn* m_imprimir;
};

} // namespace vx
