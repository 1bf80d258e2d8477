#pragma once
// Entities registry "Cadastro de Entidades": the provider's data, its professionals and, for the
// professional selected in their grid, the procedures it performs for the provider. Editable in
// the consortium only; an entity installation sees its own entity.
#include "core/widgets/TFCadastro.h"

class QRadioButton;

namespace vx {

class GradeConsulta;
struct Entidade;

class TFCadEntidades : public TFCadastro {
    Q_OBJECT
public:
    explicit TFCadEntidades(QWidget* parent = nullptr);
    ~TFCadEntidades() override;
    static TFCadEntidades* Abre();

    void SBCodigoClick();
    void PBtnGravarClick() override;
    void PBtnExcluirClick() override;
    void PBInserirProfClick();
    void PBExcluirProfClick();
    void PBInserirProcedClick();
    void PBExcluirProcedClick();
    void PBCadProfissionaisClick();
    void PBCadProcedimentosClick();
    // The screen's fields as typed.
    Entidade dados() const;
    // Professional of the selected row of the professionals grid (empty when none).
    QString profissionalSelecionado() const;

    TPersonEdit* campo(const char* nome) const;
    TPersonEdit* PECodProfissional() const { return m_codProf; }
    TPersonEdit* PECodProced() const { return m_codProced; }
    QLabel* LMunicipio() const { return m_lMunicipio; }
    QLabel* LProfissional() const { return m_lProf; }
    QLabel* LProcedimento() const { return m_lProced; }
    QRadioButton* RBIndividual() const { return m_individual; }
    QRadioButton* RBGrupo() const { return m_grupo; }
    GradeConsulta* DBGrid1() const { return m_gradeProf; }
    GradeConsulta* DBGrid2() const { return m_gradeProced; }
    TPersonBtn* PBInserirProf() const { return m_inserirProf; }
    TPersonBtn* PBExcluirProf() const { return m_excluirProf; }
    TPersonBtn* PBInserirProced() const { return m_inserirProced; }
    TPersonBtn* PBExcluirProced() const { return m_excluirProced; }
    TPersonBtn* PBCadProfissionais() const { return m_cadProf; }
    TPersonBtn* PBCadProcedimentos() const { return m_cadProced; }

protected:
    void limpaExtra() override;
    void aposCarregar(const LinhaCadastro& linha) override;

private:
    void carregaProfissionais(const QString& posicionarEm = {});
    void carregaProcedimentos();
    void profissionalDaGrade(int linha);
    void PECodProfissionalExit();
    // After a link action: the field cleared, the lists refilled (the professionals' positioned
    // on `posicionarEm` when given, else on the one selected before), the focus back in the field.
    void aposAcaoLista(TPersonEdit* campo, const QString& posicionarEm = {});
    QString buscaProcedimento() const;
    QString nomeProcedimento(const QString& codigo) const;

    TPersonEdit* m_codMun;
    TPersonEdit* m_razao;
    TPersonEdit* m_codProf;
    TPersonEdit* m_codProced;
    QLabel* m_lMunicipio;
    QLabel* m_lProf;
    QLabel* m_lProced;
    QRadioButton* m_individual;
    QRadioButton* m_grupo;
    GradeConsulta* m_gradeProf;
    GradeConsulta* m_gradeProced;
    TPersonBtn* m_inserirProf;
    TPersonBtn* m_excluirProf;
    TPersonBtn* m_inserirProced;
    TPersonBtn* m_excluirProced;
    TPersonBtn* m_cadProf;
    TPersonBtn* m_cadProced;
};

} // namespace vx
