#pragma once
// "Recepção de Lançamentos nos Municípios e Entidades": the consortium receives the realization
// messages of a billing period from the server (see RecepcaoRealizacoes.h) with its status log and
// progress. The hidden field "Edit1" takes the access codes of the two maintenance runs.
#include "core/widgets/TFBase.h"
#include "exchange/RecepcaoRealizacoes.h"

#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;

namespace vx {

class LogErros;
class TPersonBtn;
class TPersonEdit;
class UiProgressoFtp;

class TFRecebBaseCUNE : public TFBase {
    Q_OBJECT
public:
    explicit TFRecebBaseCUNE(QWidget* parent = nullptr);
    ~TFRecebBaseCUNE() override;
    static TFRecebBaseCUNE* Abre();

    void PBtnGravarClick();
    void Edit1Exit();

    QLabel* LPeriodo() const { return m_lPeriodo; }
    TPersonEdit* MEPeriodo() const { return m_periodo; }
    TPersonEdit* PEData() const { return m_data; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    QPlainTextEdit* MStatus() const { return m_status; }
    QProgressBar* ProgressBar1() const { return m_barra; }
    QLineEdit* Edit1() const { return m_codigo; }
    UiProgressoFtp* ProgressoFtp() const { return m_ftp; }
    const LogErros& erros() const { return *m_erros; }
    const ResultadoRecepcao& resultado() const { return m_resultado; }
    bool rodando() const { return m_rodando; }

protected:
    void closeEvent(QCloseEvent* ev) override;

private:
    void executa(ModoRealizacao modo);

    std::unique_ptr<LogErros> m_erros;
    ResultadoRecepcao m_resultado;
    bool m_rodando = false;
    bool m_fecharAoTerminar = false;
    QLabel* m_lPeriodo;
    TPersonEdit* m_periodo;
    TPersonEdit* m_data;
    TPersonBtn* m_gravar;
    QProgressBar* m_barra;
    UiProgressoFtp* m_ftp;
    QPlainTextEdit* m_status;
    QLineEdit* m_codigo;
};

} // namespace vx
