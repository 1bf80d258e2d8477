#pragma once
// "Atendimento de Procedimentos": the provider types the key printed on the patient's form, sees
// the authorization (fetched from the server when it is not here yet), ticks the procedures
// performed and confirms them with their date; the realization message goes to the consortium.
#include "core/widgets/TFBase.h"

#include <QDate>
#include <QList>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;

namespace vx {

class LogErros;
class TPersonBtn;
class TPersonEdit;
class UiProgressoFtp;

class TFAtendimentos : public TFBase {
    Q_OBJECT
public:
    explicit TFAtendimentos(QWidget* parent = nullptr);
    ~TFAtendimentos() override;
    // The one instance, shown with the focus on the key.
    static TFAtendimentos* Abre();

    void PEChaveExit();
    void PBVisualizarClick();
    void PECodProfExit();
    void PBtnGravarClick();
    void PBAlteraDataRealizacaoClick();
    void PBDigitarAtendClick();

    // The authorization shown (empty origin: none).
    QString cliOrigem() const { return m_cliOrigem; }
    qint64 idMarcacao() const { return m_id; }
    // Failed imports of this screen's life.
    const LogErros& erros() const { return *m_erros; }

    QLabel* LCodigo() const { return m_lCodigo; }
    QLabel* LNome() const { return m_lNome; }
    TPersonEdit* PEChave() const { return m_chave; }
    TPersonBtn* PBVisualizar() const { return m_visualizar; }
    TPersonEdit* PECodProf() const { return m_codProf; }
    QGroupBox* PainelAutorizacao() const { return m_painel; }
    QLabel* LPaciente() const { return m_lPaciente; }
    QLabel* LProfissional() const { return m_lProfissional; }
    QLabel* LDataLanc() const { return m_lDataLanc; }
    QLabel* LDataMarc() const { return m_lDataMarc; }
    QLabel* LHoraMarc() const { return m_lHoraMarc; }
    QLabel* LObs() const { return m_lObs; }
    QCheckBox* CBProced(int n) const { return m_linhas.value(n - 1); } // 1..20
    TPersonEdit* PEDataRealizacao() const { return m_dataRealizacao; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    TPersonBtn* PBDigitarAtend() const { return m_digitar; }
    TPersonBtn* PBAlteraDataRealizacao() const { return m_alteraData; }
    QPlainTextEdit* MStatus() const { return m_status; }
    UiProgressoFtp* ProgressoFtp() const { return m_progresso; }

private:
    void abertura();
    void visualiza();
    bool mostra(); // false when the key is not here
    void escondeAutorizacao();
    bool buscaNoServidor();
    void linhaStatus(const QString& t);
    void aoFechar();

    QChar m_papel;
    QString m_codigo;
    bool m_configurado = false;
    bool m_profNecessario = false;
    QString m_cliOrigem;
    qint64 m_id = 0;
    bool m_semProfissional = false;
    bool m_realizada = false;
    std::unique_ptr<LogErros> m_erros;

    QLabel* m_lCodigo;
    QLabel* m_lNome;
    TPersonEdit* m_chave;
    TPersonBtn* m_visualizar;
    TPersonEdit* m_codProf;
    QGroupBox* m_painel;
    QLabel* m_lPaciente;
    QLabel* m_lProfissional;
    QLabel* m_lDataLanc;
    QLabel* m_lDataMarc;
    QLabel* m_lHoraMarc;
    QLabel* m_lObs;
    QLabel* m_lInstrucao;
    QList<QCheckBox*> m_linhas;
    TPersonEdit* m_dataRealizacao;
    TPersonBtn* m_gravar;
    TPersonBtn* m_digitar;
    TPersonBtn* m_alteraData;
    UiProgressoFtp* m_progresso;
    QPlainTextEdit* m_status;
};

} // namespace vx
