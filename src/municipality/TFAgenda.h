#pragma once
// "Agendamento de Atendimentos": professionals with availability, the selected professional's
// days (full days in red), the selected day's bookings and the booking panel.
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"

#include <QDate>

class QComboBox;
class QGroupBox;
class QLabel;
class QToolButton;

namespace vx {

class GradeConsulta;
class TPersonBtn;
class TPersonEdit;

class TFAgenda : public TFBase {
    Q_OBJECT
public:
    explicit TFAgenda(QWidget* parent = nullptr);

    // The one non-modal instance (menu item and toolbar button).
    static TFAgenda* Abre();

    // Grids: each keeps the selected professional or day when it is still listed, else takes the
    // first row, and reloads the grids that depend on it.
    void CarregaProfissionais();
    void CarregaDias();
    void CarregaAgendamentos();

    void PBNovoAgendamentoClick();
    void PBtnExcluirClick();
    void PBConfigHorariosClick();
    void PBImprimirClick();

    // Booking panel.
    void PECodMunicipioExit();
    void SBCodMunicipioClick();
    void PECodPessoaExit();
    void SBCodPessoaClick();
    void SBCadPessoaClick();
    void PBtnGravarClick();
    void PBtnCancelarClick();

    // Selected professional (code) and day (invalid when none).
    QString profissionalAtual() const { return m_prof; }
    QDate diaAtual() const { return m_dia; }

    GradeConsulta* GradeProfissionais() const { return m_gradeProf; }
    GradeConsulta* GradeDias() const { return m_gradeDias; }
    GradeConsulta* GradeAgendamentos() const { return m_gradeAgenda; }
    QLabel* LAgendaProf() const { return m_lAgendaProf; }
    TPersonBtn* PBNovoAgendamento() const { return m_novo; }
    TPersonBtn* PBtnExcluir() const { return m_excluir; }
    TPersonBtn* PBConfigHorarios() const { return m_config; }
    TPersonBtn* PBImprimir() const { return m_imprimir; }
    QGroupBox* PainelAgendamento() const { return m_painel; }
    TPersonEdit* PECodMunicipio() const { return m_municipio; }
    QToolButton* SBCodMunicipio() const { return m_sbMunicipio; }
    QLabel* LMunicipio() const { return m_lMunicipio; }
    TPersonEdit* PECodPessoa() const { return m_pessoa; }
    QToolButton* SBCodPessoa() const { return m_sbPessoa; }
    QToolButton* SBCadPessoa() const { return m_sbCadPessoa; }
    QLabel* LPessoa() const { return m_lPessoa; }
    QComboBox* CBQuemLigou() const { return m_quemLigou; }
    TPersonEdit* PEHora() const { return m_hora; }
    TPersonEdit* PEObs() const { return m_obs; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    TPersonBtn* PBtnCancelar() const { return m_cancelar; }

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    void profissionalEscolhido(int linha);
    void diaEscolhido(int linha);
    void processaMunicipio();
    bool podeConfigurar();
    bool codigoInformado(TPersonEdit* campo);

    QString m_prof;
    QDate m_dia;
    Formulario m_form{this};
    GradeConsulta* m_gradeProf;
    GradeConsulta* m_gradeDias;
    GradeConsulta* m_gradeAgenda;
    QLabel* m_lAgendaProf;
    TPersonBtn* m_novo;
    TPersonBtn* m_excluir;
    TPersonBtn* m_config;
    TPersonBtn* m_imprimir;
    QGroupBox* m_painel;
    TPersonEdit* m_municipio;
    QToolButton* m_sbMunicipio;
    QLabel* m_lMunicipio;
    TPersonEdit* m_pessoa;
    QToolButton* m_sbPessoa;
    QToolButton* m_sbCadPessoa;
    QLabel* m_lPessoa;
    QComboBox* m_quemLigou;
    TPersonEdit* m_hora;
    TPersonEdit* m_obs;
    TPersonBtn* m_gravar;
    TPersonBtn* m_cancelar;
};

} // namespace vx
