#pragma once
// "Bloqueio de Autorizações": an authorization found by the key printed on the patient's form is
// shown with its procedures and blocked, reprinted or sent again to its professional, by the menu
// entry that opened the screen.
#include "core/widgets/TFBase.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace vx {

class GradeConsulta;
class TPersonBtn;
class TPersonEdit;
class UiProgressoFtp;

class TFBloqueioAut : public TFBase {
    Q_OBJECT
public:
    enum class Modo { Bloqueio, Reimpressao, Retransmissao };

    explicit TFBloqueioAut(QWidget* parent = nullptr);
    // The one instance, configured for `modo` and shown with the focus on the key.
    static TFBloqueioAut* Abre(Modo modo);

    void configura(Modo modo);
    Modo modo() const { return m_modo; }

    void PEChaveExit();
    void PBVisualizarClick();
    void SBMotivoClick();
    void PBtnGravarClick();
    void PBImprimirClick();

    QString municipio() const { return m_municipio; }
    // Number of the authorization shown when it can be reprinted or sent (0: none).
    qint64 numeroAberto() const { return m_numero; }

    QLabel* LCodMun() const { return m_lCodMun; }
    QLabel* LNomeMun() const { return m_lNomeMun; }
    TPersonEdit* PEChave() const { return m_chave; }
    TPersonEdit* PEData() const { return m_data; }
    TPersonEdit* PEMotivo() const { return m_motivo; }
    QToolButton* SBMotivo() const { return m_sbMotivo; }
    TPersonBtn* PBVisualizar() const { return m_visualizar; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    TPersonBtn* PBImprimir() const { return m_imprimir; }
    QGroupBox* PainelBloqueio() const { return m_painelBloqueio; }
    QGroupBox* PainelImpressao() const { return m_painelImpressao; }
    QGroupBox* PainelAutorizacao() const { return m_painelAut; }
    QLabel* LPaciente() const { return m_lPaciente; }
    QLabel* LDataLanc() const { return m_lDataLanc; }
    QLabel* LDataMarc() const { return m_lDataMarc; }
    QLabel* LHoraMarc() const { return m_lHoraMarc; }
    QLabel* LObs() const { return m_lObs; }
    GradeConsulta* GradeProcedimentos() const { return m_grade; }
    QPlainTextEdit* MStatus() const { return m_status; }
    UiProgressoFtp* ProgressoFtp() const { return m_progresso; }

private:
    void visualiza();
    void reimprime();
    void retransmite();
    void linhaStatus(const QString& t);

    Modo m_modo = Modo::Bloqueio;
    QString m_municipio;
    bool m_configurado = true;
    qint64 m_numero = 0;
    QString m_cliOrigem;
    // Reason picked from the registry, while PEMotivo still holds its text.
    qint64 m_codMotivo = 0;
    QString m_textoMotivo;

    QLabel* m_lCodMun;
    QLabel* m_lNomeMun;
    TPersonEdit* m_chave;
    TPersonBtn* m_visualizar;
    QGroupBox* m_painelBloqueio;
    TPersonEdit* m_data;
    TPersonEdit* m_motivo;
    QToolButton* m_sbMotivo;
    TPersonBtn* m_gravar;
    QGroupBox* m_painelImpressao;
    TPersonBtn* m_imprimir;
    QGroupBox* m_painelAut;
    QLabel* m_lPaciente;
    QLabel* m_lDataLanc;
    QLabel* m_lDataMarc;
    QLabel* m_lHoraMarc;
    QLabel* m_lObs;
    GradeConsulta* m_grade;
    QPlainTextEdit* m_status;
    UiProgressoFtp* m_progresso;
};

} // namespace vx
