#pragma once
// "Cadastro de repasses SIA/SUS": the transfer bases (amount and reference period) that the
// billing screen apportions among the municipalities.
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"

class QRadioButton;

namespace vx {

class GradeConsulta;
class TPersonBtn;

class TFRateioSUS : public TFBase {
    Q_OBJECT
public:
    explicit TFRateioSUS(QWidget* parent = nullptr);
    static TFRateioSUS* Abre();

    void PBGravarRateioClick();
    void PBExcluirRateioClick();
    // Ticks "Editar" and shows the grid's current row in the fields.
    void CarregaLinha();

    TPersonEdit* PEDescricao() const { return m_descricao; }
    TPersonEdit* PEDataBaseIni() const { return m_ini; }
    TPersonEdit* PEDataBaseFim() const { return m_fim; }
    TPersonEdit* PEValorTotal() const { return m_total; }
    TPersonEdit* PEObs() const { return m_obs; }
    QRadioButton* RBCadastrar() const { return m_cadastrar; }
    QRadioButton* RBEditar() const { return m_editar; }
    TPersonBtn* PBGravarRateio() const { return m_gravar; }
    TPersonBtn* PBExcluirRateio() const { return m_excluir; }
    GradeConsulta* Grade() const { return m_grade; }

private:
    void relista();
    void limpa();
    QString idAtual() const;

    Formulario m_form{this};
    TPersonEdit* m_descricao;
    TPersonEdit* m_ini;
    TPersonEdit* m_fim;
    TPersonEdit* m_total;
    TPersonEdit* m_obs;
    QRadioButton* m_cadastrar;
    QRadioButton* m_editar;
    TPersonBtn* m_gravar;
    TPersonBtn* m_excluir;
    GradeConsulta* m_grade;
};

} // namespace vx
