#pragma once
// Base of the screens that run one job with a status log: an explanatory text, the action button
// PBtnGravar, the row label LStatus, the FTP panel and the log MStatus. A run switches the button
// off, clears the log and keeps the screen open until it ends; closing during a run cancels the
// running transfer and closes once the run has ended.
#include "core/widgets/TFBase.h"

#include <functional>

class QLabel;
class QPlainTextEdit;

namespace vx {

class TPersonBtn;
class UiProgressoFtp;

class TelaExecucao : public TFBase {
    Q_OBJECT
public:
    TelaExecucao(const QString& nome, const QString& titulo, const QString& texto, const QString& botao,
                 QWidget* parent = nullptr);
    ~TelaExecucao() override;

    QLabel* Texto() const { return m_texto; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    QLabel* LStatus() const { return m_lStatus; }
    QPlainTextEdit* MStatus() const { return m_status; }
    UiProgressoFtp* ProgressoFtp() const { return m_ftp; }
    bool rodando() const { return m_rodando; }

    // Appends a log line and lets the window paint it.
    void adicionaLinha(const QString& linha);
    // The row label, repainted at once.
    void mostraLinhaAtual(const QString& texto);

    // Time the screens wait before closing themselves after a completed run (6 s; tests set 0).
    static void DefineEsperaFechamento(int ms);
    static int EsperaFechamento();

protected:
    // Runs `corpo` with the FTP panel on the shared client. The button is switched back on
    // afterwards when `religa` says so (called once the run has ended).
    void roda(const QString& textoFtp, const std::function<void()>& corpo, const std::function<bool()>& religa);
    // Called once, when the screen is first on the screen.
    virtual void aoMostrar() {}
    // Closes after EsperaFechamento(), unless a run has started meanwhile.
    void fechaDepoisDeEsperar();

    void showEvent(QShowEvent* ev) override;
    void closeEvent(QCloseEvent* ev) override;

private:
    QLabel* m_texto;
    TPersonBtn* m_gravar;
    QLabel* m_lStatus;
    UiProgressoFtp* m_ftp;
    QPlainTextEdit* m_status;
    bool m_rodando = false;
    bool m_mostrada = false;
    bool m_fecharAoTerminar = false;
};

} // namespace vx
