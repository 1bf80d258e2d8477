#pragma once
// "Cadastro de Municípios Consorciados": the member municipalities in a grid, the record of the
// chosen one in a panel that is enabled by Incluir or Editar, and the monthly limits screen.
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;

namespace vx {

class GradeConsulta;
class TPersonBtn;
struct Municipio;

class TFCadMunicipios : public TFBase {
    Q_OBJECT
public:
    explicit TFCadMunicipios(QWidget* parent = nullptr);
    static TFCadMunicipios* Abre();

    void PBEditarClick();
    void PBIncluirClick();
    void PBExcluirClick();
    void PBLimitesClick();
    void PBSalvarClick();
    void PBCancelarClick();
    // Reopens the grid (its own read transaction restarted).
    void AbreGrade();
    // Loads the grid's current row into the fields.
    void CarregaLinha();
    void LimpaCampos();

    GradeConsulta* DBGrid1() const { return m_grade; }
    QGroupBox* PanelDadosMunicipio() const { return m_painel; }
    QComboBox* CBMunicipios() const { return m_municipios; }
    QCheckBox* CBAPAC() const { return m_apac; }
    QPlainTextEdit* MBoleto() const { return m_boleto; }
    // Fields by name ("PEEndereco", "PECobrTaxa", ...).
    TPersonEdit* campo(const char* nome) const;
    TPersonBtn* PBSalvar() const { return m_salvar; }
    TPersonBtn* PBExcluir() const { return m_excluirBtn; }

private:
    Municipio dados() const;
    // "Valor Inválido" and the focus back on `forma` when it holds something other than B, R or A.
    bool confereCobranca(TPersonEdit* forma);

    Formulario m_form{this};
    GradeConsulta* m_grade;
    QGroupBox* m_painel;
    QComboBox* m_municipios;
    QCheckBox* m_apac;
    QPlainTextEdit* m_boleto;
    TPersonBtn* m_salvar;
    TPersonBtn* m_excluirBtn;
    bool m_conferindo = false;
};

} // namespace vx
