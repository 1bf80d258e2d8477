#pragma once
// Panel a screen shows while it transfers files: a line of text, the progress of the running
// transfer and "Cancelar". The click arrives through the events the client pumps during its
// transfers and stops the running one; every later call of that client fails at once until the
// panel's session ends, so a loop of uploads ends quickly too.
//
//   m_progresso = new vx::UiProgressoFtp(this); // in the screen's layout, hidden while idle
//   ...
//   vx::UiProgressoFtp::Sessao sessao(*m_progresso, ClienteFtpCompartilhado());
//   for (const QString& a : arquivos) {
//       m_progresso->defineTexto("Enviando " + a + "...");
//       EnviaArquivoFtp(ClienteFtpCompartilhado(), a, destino, status);
//       if (m_progresso->cancelado())
//           break;
//   }
#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vx {

class FtpCliente;

class UiProgressoFtp : public QWidget {
    Q_OBJECT
public:
    explicit UiProgressoFtp(QWidget* parent = nullptr);
    ~UiProgressoFtp() override;

    // Shows the panel and follows `ftp` until termina(); clears an earlier cancellation.
    void inicia(FtpCliente& ftp, const QString& texto = {});
    // Hides the panel, gives the client back its own progress function and lets it work again.
    void termina();
    bool ativo() const { return m_ftp != nullptr; }
    void defineTexto(const QString& texto);
    // "Cancelar" was clicked since the last inicia().
    bool cancelado() const { return m_cancelado; }

    QLabel* rotulo() const { return m_texto; }
    QProgressBar* barra() const { return m_barra; }
    QPushButton* botaoCancelar() const { return m_cancelar; }

    // inicia() for the lifetime of the object, then termina() (unless the panel is gone).
    class Sessao {
    public:
        Sessao(UiProgressoFtp& painel, FtpCliente& ftp, const QString& texto = {});
        ~Sessao();
        Sessao(const Sessao&) = delete;
        Sessao& operator=(const Sessao&) = delete;

    private:
        QPointer<UiProgressoFtp> m_painel;
    };

signals:
    void cancelamentoPedido();

private:
    void cancela();
    void mostra(qint64 feito, qint64 total);

    QLabel* m_texto;
    QProgressBar* m_barra;
    QPushButton* m_cancelar;
    FtpCliente* m_ftp = nullptr;
    std::function<void(qint64, qint64)> m_anterior;
    bool m_cancelado = false;
};

} // namespace vx
