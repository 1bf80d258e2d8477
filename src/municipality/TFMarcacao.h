#pragma once
// "Autorização de Procedimentos": the municipality's authorization of procedures for a patient at
// an entity and professional, with the month's balances; finalizing prints the form and sends the
// authorization message to the professional.
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"
#include "municipality/Marcacao.h"

#include <QVector>

class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace vx {

class GradeConsulta;
class PainelSaldos;
class TPersonBtn;

class TFMarcacao : public TFBase {
    Q_OBJECT
public:
    explicit TFMarcacao(QWidget* parent = nullptr);
    static TFMarcacao* Abre();

    // Process-wide: false while an authorization printout is shown, and for the rest of the run
    // after a printout failed.
    static bool ImpressaoConcluida();
    static void DefineImpressaoConcluida(bool v);

    void FormShow();
    void LimpaTela();
    void CalcSaldos();
    void CarregaProceds();

    void PECodPessoaExit();
    void PECodEntidadeExit();
    void PECodProfissionalExit();
    void PECodProcedimentoExit();
    void PECodCIDExit();
    void PEDataMarcExit();
    void SBCodPessoaClick();
    void SBCadPessoaClick();
    void SBCodEntidadeClick();
    void SBCodProfissionalClick();
    void SBCodProcedimentoClick();
    void SBCodCIDClick();

    void PBInserirProcedClick();
    void PBExcluirProcedClick();
    void PBtnGravarClick();
    void PBtnExcluirClick();

    QString municipio() const { return m_municipio; }
    // Open authorization (numero 0: none).
    AutorizacaoAberta aberta() const { return m_aberta; }
    const QVector<ProcedimentoMarcacao>& procedimentos() const { return m_proceds; }
    // The authorization as typed on the screen.
    Autorizacao autorizacaoTela() const;

    QLabel* LCodMun() const { return m_lCodMun; }
    QLabel* LNomeMun() const { return m_lNomeMun; }
    QLabel* LPaciente() const { return m_lPaciente; }
    QLabel* LEntidade() const { return m_lEntidade; }
    QLabel* LProfissional() const { return m_lProfissional; }
    QLabel* LProcedimento() const { return m_lProcedimento; }
    QLabel* LId_Marcacao() const { return m_lId; }
    QLabel* LValorAutorizacao() const { return m_lValor; }
    QLabel* LCaraterDica() const { return m_lDica; }
    QLabel* LHistorico() const { return m_lHistorico; }
    TPersonEdit* PECodPessoa() const { return m_pessoa; }
    TPersonEdit* PEDataLanc() const { return m_dataLanc; }
    TPersonEdit* PECodEntidade() const { return m_entidade; }
    TPersonEdit* PECodProfissional() const { return m_profissional; }
    TPersonEdit* PECodProcedimento() const { return m_procedimento; }
    TPersonEdit* PEQuantidade() const { return m_quantidade; }
    TPersonEdit* PEDataMarc() const { return m_dataMarc; }
    TPersonEdit* PEHoraMarc() const { return m_horaMarc; }
    TPersonEdit* PECarater() const { return m_carater; }
    TPersonEdit* PECodCID() const { return m_cid; }
    TPersonEdit* PEChave() const { return m_chave; }
    TPersonEdit* PEObs() const { return m_obs; }
    QToolButton* SBCodEntidade() const { return m_sbEntidade; }
    QToolButton* SBCodProfissional() const { return m_sbProfissional; }
    TPersonBtn* PBInserirProced() const { return m_inserir; }
    TPersonBtn* PBExcluirProced() const { return m_excluirProc; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    TPersonBtn* PBtnExcluir() const { return m_cancelar; }
    GradeConsulta* GradeProcedimentos() const { return m_gradeProc; }
    GradeConsulta* GradeHistorico() const { return m_gradeHist; }
    PainelSaldos* Saldos() const { return m_saldos; }
    QPlainTextEdit* MStatus() const { return m_status; }
    QString LCodUnidade() const { return m_unidade; }

protected:
    void closeEvent(QCloseEvent* ev) override;
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    void processaProfissional();
    void processaProcedimento();
    void mostraHistorico(int linha);
    void abreCadastroPaciente();
    void defineAberta(const AutorizacaoAberta& a);
    void liberaEntidadeProfissional(bool sim);
    void linhaStatus(const QString& t);
    QString condicaoProfissionais() const;
    QString condicaoProcedimentos() const;
    bool municipioEmiteApac();

    Formulario m_form{this};
    QString m_municipio;
    QString m_unidade;
    bool m_configurado = true;
    AutorizacaoAberta m_aberta;
    QVector<ProcedimentoMarcacao> m_proceds;

    QLabel* m_lCodMun;
    QLabel* m_lNomeMun;
    QLabel* m_lPaciente;
    QLabel* m_lEntidade;
    QLabel* m_lProfissional;
    QLabel* m_lProcedimento;
    QLabel* m_lId;
    QLabel* m_lValor;
    QLabel* m_lDica;
    QLabel* m_lHistorico;
    TPersonEdit* m_pessoa;
    TPersonEdit* m_dataLanc;
    TPersonEdit* m_entidade;
    TPersonEdit* m_profissional;
    TPersonEdit* m_procedimento;
    TPersonEdit* m_quantidade;
    QLabel* m_rotuloQuantidade;
    TPersonEdit* m_dataMarc;
    TPersonEdit* m_horaMarc;
    TPersonEdit* m_carater;
    TPersonEdit* m_cid;
    TPersonEdit* m_chave;
    TPersonEdit* m_obs;
    QToolButton* m_sbPessoa;
    QToolButton* m_sbCadPessoa;
    QToolButton* m_sbEntidade;
    QToolButton* m_sbProfissional;
    QToolButton* m_sbProcedimento;
    QToolButton* m_sbCid;
    TPersonBtn* m_inserir;
    TPersonBtn* m_excluirProc;
    TPersonBtn* m_gravar;
    TPersonBtn* m_cancelar;
    GradeConsulta* m_gradeProc;
    GradeConsulta* m_gradeHist;
    PainelSaldos* m_saldos;
    QPlainTextEdit* m_status;
};

} // namespace vx
