#pragma once
// "Créditos / Recursos para Municípios": one credit of a municipality by source and date (looked up
// as its key is typed, saved, deleted), the copy of every municipality's latest SUS1 credit to the
// typed date and the list that leads to the balances report.
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"

class QComboBox;
class QLabel;
class QToolButton;

namespace vx {

class GradeConsulta;
class TPersonBtn;
struct Credito;

class TFLanCreditosMunics : public TFBase {
    Q_OBJECT
public:
    explicit TFLanCreditosMunics(QWidget* parent = nullptr);
    static TFLanCreditosMunics* Abre();

    // Shows the credit of the typed municipality, source and date (value and remark; both
    // emptied when there is none) and puts it in the grid.
    void PesquisaCredito();
    void PBtnGravarClick();
    void PBtnExcluirClick();
    void PBRelatorioClick();
    void PBImportarSUS1Click();
    // The fields as a credit.
    Credito credito() const;

    TPersonEdit* PECodMunicipio() const { return m_codigo; }
    QToolButton* SBCodMunicipio() const { return m_sbCodigo; }
    QLabel* LMunicipio() const { return m_nome; }
    QComboBox* CBTipo() const { return m_tipo; }
    TPersonEdit* PEData() const { return m_data; }
    TPersonEdit* PEValor() const { return m_valor; }
    TPersonEdit* PEObs() const { return m_obs; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    TPersonBtn* PBtnExcluir() const { return m_excluir; }
    TPersonBtn* PBRelatorio() const { return m_relatorio; }
    TPersonBtn* PBImportarSUS1() const { return m_importar; }
    GradeConsulta* Grade() const { return m_grade; }

protected:
    void showEvent(QShowEvent* ev) override;

private:
    // Empties the municipality, its name, the value and the remark (and the date unless kept).
    void limpaCampos(bool manterData);
    Formulario m_form{this};
    TPersonEdit* m_codigo;
    QToolButton* m_sbCodigo;
    QLabel* m_nome;
    QComboBox* m_tipo;
    TPersonEdit* m_data;
    TPersonEdit* m_valor;
    TPersonEdit* m_obs;
    TPersonBtn* m_gravar;
    TPersonBtn* m_excluir;
    TPersonBtn* m_relatorio;
    TPersonBtn* m_importar;
    GradeConsulta* m_grade;
};

} // namespace vx
