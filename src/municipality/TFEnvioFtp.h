#pragma once
// "Transmissão de arquivos": the transmission run (pending messages, then the server check) with
// its status box. Opened modally at start-up and from the municipality menu, non-modally from the
// entity menu; the run starts by itself when the screen is first shown, and again with the button.
#include "core/widgets/TFBase.h"
#include "municipality/Transmissao.h"

class QCheckBox;
class QPlainTextEdit;

namespace vx {

class TPersonBtn;
class UiProgressoFtp;

class TFEnvioFtp : public TFBase {
    Q_OBJECT
public:
    explicit TFEnvioFtp(QWidget* parent = nullptr);
    ~TFEnvioFtp() override;

    // The one instance, non-modal.
    static TFEnvioFtp* Abre();
    // Shown modally; returns when it is closed.
    static void AbreModal();

    void PBtnGravarClick();

    QPlainTextEdit* MStatus() const { return m_status; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    QCheckBox* CBRecriarXML() const { return m_recriar; }
    UiProgressoFtp* progresso() const { return m_progresso; }
    bool rodando() const { return m_rodando; }
    // Outcome of the last run.
    const ResultadoTransmissao& resultado() const { return m_resultado; }

protected:
    void showEvent(QShowEvent* ev) override;
    void closeEvent(QCloseEvent* ev) override;

private:
    QPlainTextEdit* m_status;
    TPersonBtn* m_gravar;
    QCheckBox* m_recriar;
    UiProgressoFtp* m_progresso;
    ResultadoTransmissao m_resultado;
    bool m_rodando = false;
    bool m_iniciada = false;
    bool m_fecharAoTerminar = false;
};

// The executable's name asks for the screen to close after its run ("recbase", a copy or link).
bool ExecutavelRecBase(const QString& caminhoExecutavel);

} // namespace vx
