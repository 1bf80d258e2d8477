#pragma once
// Patient registry "Cadastro de Pacientes".
#include "core/widgets/TFBase.h"
#include "municipality/Pacientes.h"

class QComboBox;
class QFrame;
class QLabel;
class QToolButton;

namespace vx {

class TPersonBtn;
class TPersonEdit;

class TFCadPessoas : public TFBase {
    Q_OBJECT
public:
    // `cliOrigem` empty: the installation's client of origin.
    explicit TFCadPessoas(QWidget* parent = nullptr, const QString& cliOrigem = {});
    ~TFCadPessoas() override;

    // The one non-modal instance (menu item and toolbar button).
    static TFCadPessoas* Abre();
    static TFCadPessoas* instancia();
    // Opens the registry modally on client `cliOrigem` with patient `codigo` loaded (empty: a new
    // patient) and returns when it is closed: the code of the last patient saved there, or empty.
    static QString AbreModal(const QString& cliOrigem, const QString& codigo, QWidget* pai = nullptr);

    // Client code in the header, the municipality name and the required check of the save button.
    void FormShow();
    void LimpaEdits();
    // Loads the patient whose code is in PECodigo (the screen is cleared first).
    void PECodigoExit();
    void SBCodigoClick();
    void PECartaoSUSExit();
    void PENomeExit();
    void PEDataNascExit();
    void PECodTipoLogradExit();
    void SBTipoLogradClick();
    void PBtnGravarClick();
    void PBtnExcluirClick();

    // Client of origin of the patient on the screen: the screen's own, or that of a patient of
    // another client that the consortium chose in the search.
    QString clienteOrigem() const;
    // The patient as typed on the screen.
    Paciente pacienteTela() const;
    // Code of the last patient saved on this screen (empty when none).
    QString ultimoCodigoGravado() const { return m_ultimoGravado; }

    QLabel* LCodMun() const { return m_lCodMun; }
    QLabel* LNomeMun() const { return m_lNomeMun; }
    TPersonEdit* PECodigo() const { return m_codigo; }
    QToolButton* SBCodigo() const { return m_sbCodigo; }
    TPersonEdit* PECartaoSUS() const { return m_cartao; }
    TPersonEdit* PENome() const { return m_nome; }
    TPersonEdit* PEDataNasc() const { return m_dataNasc; }
    QLabel* LIdade() const { return m_lIdade; }
    TPersonEdit* PESexo() const { return m_sexo; }
    QComboBox* CBRaca() const { return m_raca; }
    QComboBox* CBEtnia() const { return m_etnia; }
    TPersonEdit* PEResponsavel() const { return m_responsavel; }
    TPersonEdit* PENomeMae() const { return m_nomeMae; }
    TPersonEdit* PECodTipoLograd() const { return m_tipoLograd; }
    QToolButton* SBTipoLograd() const { return m_sbTipoLograd; }
    QLabel* LTipoLograd() const { return m_lTipoLograd; }
    TPersonEdit* PEEndereco() const { return m_endereco; }
    TPersonEdit* PEEndNum() const { return m_endNum; }
    TPersonEdit* PEBairro() const { return m_bairro; }
    TPersonEdit* PECep() const { return m_cep; }
    TPersonEdit* PEFones() const { return m_fones; }
    TPersonEdit* PEObs() const { return m_obs; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    TPersonBtn* PBtnExcluir() const { return m_excluir; }

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    void mostraPaciente(const Paciente& p);
    void avisaDuplicado(const QString& coluna, const QString& valor);
    void focaCampo(const QString& nome);
    void aplicaIdade();
    void carregaPaciente(const QString& origem, const QString& codigo);
    void mostraOrigem(const QString& origem);

    QString m_cliOrigem;
    QString m_origemCarregada; // empty: the screen's own client
    QString m_ultimoGravado;
    QFrame* m_cabecalho;
    QLabel* m_lMunicipio;
    QLabel* m_lCodMun;
    QLabel* m_lNomeMun;
    TPersonEdit* m_codigo;
    QToolButton* m_sbCodigo;
    TPersonEdit* m_cartao;
    TPersonEdit* m_nome;
    TPersonEdit* m_dataNasc;
    QLabel* m_lIdade;
    TPersonEdit* m_sexo;
    QLabel* m_lRaca;
    QComboBox* m_raca;
    QLabel* m_lEtnia;
    QComboBox* m_etnia;
    TPersonEdit* m_responsavel;
    TPersonEdit* m_nomeMae;
    TPersonEdit* m_tipoLograd;
    QToolButton* m_sbTipoLograd;
    QLabel* m_lTipoLograd;
    TPersonEdit* m_endereco;
    TPersonEdit* m_endNum;
    TPersonEdit* m_bairro;
    TPersonEdit* m_cep;
    TPersonEdit* m_fones;
    TPersonEdit* m_obs;
    TPersonBtn* m_gravar;
    TPersonBtn* m_excluir;
};

} // namespace vx
