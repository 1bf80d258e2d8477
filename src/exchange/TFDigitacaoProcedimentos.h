#pragma once
// "Digitação de Procedimentos": the consortium types an authorization already realized (or an
// entity its own attendance), prints its form, corrects or deletes it, and glosas any stored
// authorization with a block date and reason.
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"
#include "exchange/DigitacaoProcedimentos.h"

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QToolButton;

namespace vx {

class GradeConsulta;
class TPersonBtn;

class TFDigitacaoProcedimentos : public TFBase {
    Q_OBJECT
public:
    explicit TFDigitacaoProcedimentos(QWidget* parent = nullptr);
    static TFDigitacaoProcedimentos* Abre();

    void FormShow();
    // Clears every field (integer fields "0", the default dates); `manteMunicipioEId` keeps the
    // municipality and "Buscar ID:".
    void LimpaEdits(bool manteMunicipioEId = false);
    void CarregaProceds();

    void PECodMunicipioExit();
    void PEIDExit();
    void PECodPessoaExit();
    void PECodEntidadeExit();
    void PECodProfissionalExit();
    void PECodProcedimentoExit();
    void PECodCIDExit();
    void PECodMotivoBloqueioExit();
    void SBCodMunicipioClick();
    void SBCodPessoaClick();
    void SBCadPessoaClick();
    void SBCodEntidadeClick();
    void SBCodProfissionalClick();
    void SBCodProcedimentoClick();
    void SBCodCIDClick();
    void SBCodMotivoBloqueioClick();
    void SBCadMotivoBloqueioClick();

    void PBInserirProcedClick();
    void PBExcluirProcedClick();
    void PBtnGravarClick();
    void PBtnExcluirClick();
    void PBGravaBloqueioClick();

    // The authorization on the screen (id 0: none), and whether it was started here and is not
    // finalized yet (closing the screen discards it).
    const AutorizacaoDigitada& aberta() const { return m_aberta; }
    bool iniciadaAqui() const { return m_iniciadaAqui; }
    Digitacao digitacaoTela() const;

    TPersonEdit* PECodMunicipio() const { return m_municipio; }
    TPersonEdit* PEID() const { return m_id; }
    TPersonEdit* PECodPessoa() const { return m_pessoa; }
    TPersonEdit* PECodEntidade() const { return m_entidade; }
    TPersonEdit* PECodProfissional() const { return m_profissional; }
    TPersonEdit* PEDataLanc() const { return m_dataLanc; }
    TPersonEdit* PEDataAtend() const { return m_dataAtend; }
    TPersonEdit* PECodCID() const { return m_cid; }
    TPersonEdit* PEObs() const { return m_obs; }
    TPersonEdit* PECodProcedimento() const { return m_procedimento; }
    TPersonEdit* PEQuantidade() const { return m_quantidade; }
    TPersonEdit* PEChave() const { return m_chave; }
    TPersonEdit* PEDataBloqueio() const { return m_dataBloqueio; }
    TPersonEdit* PECodMotivoBloqueio() const { return m_motivo; }
    QLabel* LMunicipio() const { return m_lMunicipio; }
    QLabel* LPessoa() const { return m_lPessoa; }
    QLabel* LEntidade() const { return m_lEntidade; }
    QLabel* LProfissional() const { return m_lProfissional; }
    QLabel* LProcedimento() const { return m_lProcedimento; }
    QLabel* LMotivoBloqueio() const { return m_lMotivo; }
    QLabel* LId_Marcacao() const { return m_lId; }
    QToolButton* SBCodMunicipio() const { return m_sbMunicipio; }
    QToolButton* SBCodEntidade() const { return m_sbEntidade; }
    QToolButton* SBCodProfissional() const { return m_sbProfissional; }
    TPersonBtn* PBInserirProced() const { return m_inserir; }
    TPersonBtn* PBExcluirProced() const { return m_excluirProc; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    TPersonBtn* PBtnExcluir() const { return m_excluir; }
    TPersonBtn* PBGravaBloqueio() const { return m_gravaBloqueio; }
    QCheckBox* CBGlosar() const { return m_glosar; }
    QGroupBox* PainelGlosa() const { return m_painelGlosa; }
    GradeConsulta* GradeProcedimentos() const { return m_grade; }

protected:
    void closeEvent(QCloseEvent* ev) override;

private:
    void processaProfissional();
    void processaProcedimento();
    void defineAberta(const AutorizacaoDigitada& a, bool iniciadaAqui);
    void travaCabecalho(bool travado);
    bool foraDoCalendario(TPersonEdit* campo);
    bool codigosInformados();
    QString nomePessoa(const QString& municipio, const QString& codigo);

    Formulario m_form{this};
    std::unique_ptr<Formulario> m_formGlosa;
    OrigemDigitacao m_origem;
    bool m_entidadeFixa = false;
    AutorizacaoDigitada m_aberta;
    bool m_iniciadaAqui = false;

    TPersonEdit* m_municipio;
    TPersonEdit* m_id;
    TPersonEdit* m_pessoa;
    TPersonEdit* m_entidade;
    TPersonEdit* m_profissional;
    TPersonEdit* m_dataLanc;
    TPersonEdit* m_dataAtend;
    TPersonEdit* m_cid;
    TPersonEdit* m_obs;
    TPersonEdit* m_procedimento;
    TPersonEdit* m_quantidade;
    TPersonEdit* m_chave;
    TPersonEdit* m_dataBloqueio;
    TPersonEdit* m_motivo;
    QLabel* m_lMunicipio;
    QLabel* m_lPessoa;
    QLabel* m_lEntidade;
    QLabel* m_lProfissional;
    QLabel* m_lProcedimento;
    QLabel* m_lMotivo;
    QLabel* m_lId;
    QToolButton* m_sbMunicipio;
    QToolButton* m_sbPessoa;
    QToolButton* m_sbCadPessoa;
    QToolButton* m_sbEntidade;
    QToolButton* m_sbProfissional;
    QToolButton* m_sbProcedimento;
    QToolButton* m_sbCid;
    QToolButton* m_sbMotivo;
    QToolButton* m_sbCadMotivo;
    TPersonBtn* m_inserir;
    TPersonBtn* m_excluirProc;
    TPersonBtn* m_gravar;
    TPersonBtn* m_excluir;
    TPersonBtn* m_gravaBloqueio;
    QCheckBox* m_glosar;
    QGroupBox* m_painelGlosa;
    GradeConsulta* m_grade;
};

} // namespace vx
