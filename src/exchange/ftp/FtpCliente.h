#pragma once
// FTP session on one libcurl easy handle (run through its own multi handle). The connection stays
// open between calls; the client keeps its own notion of the current remote folder and builds
// every URL from it. Server reply lines of the last operation are kept so callers can test the
// server's own texts.
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace vx {

// An FTP failure. texto() is the server's last reply line when there was one, else curl's text.
class ErroFtp : public std::runtime_error {
public:
    explicit ErroFtp(const QString& texto, int codigoResposta = 0, int codigoCurl = 0);
    const QString& texto() const { return m_texto; }
    int codigoResposta() const { return m_resposta; } // e.g. 550; 0 when the server said nothing
    int codigoCurl() const { return m_curl; }

private:
    QString m_texto;
    int m_resposta;
    int m_curl;
};

class FtpCliente {
public:
    FtpCliente();
    ~FtpCliente();
    FtpCliente(const FtpCliente&) = delete;
    FtpCliente& operator=(const FtpCliente&) = delete;

    // Time-outs: connection (default 15 s), waiting for a reply (default 120 s) and the low-speed
    // limit (a transfer below 1 byte/s for this long fails; default 120 s).
    void defineTempoConexao(int segundos) { m_tempoConexao = segundos; }
    void defineTempoResposta(int segundos) { m_tempoResposta = segundos; }
    void defineTempoLento(int segundos) { m_tempoLento = segundos; }
    // Passive mode always; EPSV may be switched off for old servers.
    void defineEpsv(bool usar) { m_epsv = usar; }
    // Called during transfers (bytes done, bytes expected or 0). Window events are pumped anyway;
    // a call on the same client from such an event is refused with ErroFtp.
    void defineProgresso(std::function<void(qint64, qint64)> f) { m_progresso = std::move(f); }
    const std::function<void(qint64, qint64)>& progressoAtual() const { return m_progresso; }

    // Deadline for every operation (Forever: none). Once it passes, the running operation stops and
    // every later one fails at once with CURLE_OPERATION_TIMEDOUT.
    void definePrazo(QDeadlineTimer prazo) { m_prazo = prazo; }
    QDeadlineTimer prazo() const { return m_prazo; }
    // Stops the running operation (safe from a window event during a transfer); every later one
    // fails at once with CURLE_ABORTED_BY_CALLBACK until retomaCancelado().
    void cancela() { m_cancelado = true; }
    void retomaCancelado() { m_cancelado = false; }
    bool cancelado() const { return m_cancelado; }
    // Cancelled or past the deadline: retrying is pointless.
    bool interrompido() const { return m_cancelado || m_prazo.hasExpired(); }

    // Disconnects, then connects and logs in; the current folder becomes the login folder.
    // Throws ErroFtp on failure.
    void conecta(const QString& host, int porta, const QString& usuario, const QString& senha);
    void desconecta();
    bool conectado() const { return m_conectado; }
    const QString& host() const { return m_host; }
    const QString& usuario() const { return m_usuario; }

    // Current folder relative to the login folder: "/" or "/cune/marcacao".
    QString pastaAtual() const;
    // Changes folder ("x", "x/y", "..", or "/x" from the login folder); the server must accept it.
    void mudaPasta(const QString& pasta);
    void sobePasta();                          // CDUP
    void criaPasta(const QString& nome);       // MKD in the current folder
    void removePasta(const QString& nome);     // RMD in the current folder
    // Names in the current folder matching the mask (* and ?, case-insensitive), sorted as the
    // server sent them. An empty folder (including 450/550 replies) gives an empty list.
    QStringList listaNomes(const QString& mascara = QStringLiteral("*"));
    // Lines of LIST for a name (or the whole folder when empty).
    QStringList listaDetalhada(const QString& nome = {});
    // Stores a local file under `remoto` in the current folder (replacing, or appending).
    void envia(const QString& local, const QString& remoto, bool anexar = false);
    // Stores like envia() and asks the server for the stored file's size in the same exchange;
    // -1 when the server does not tell it.
    qint64 enviaComTamanho(const QString& local, const QString& remoto);
    // Retrieves `remoto` into `local`; with `continuar` an existing partial local file is resumed.
    void recebe(const QString& remoto, const QString& local, bool continuar = false);
    void renomeia(const QString& de, const QString& para);
    void apaga(const QString& nome);
    // Size of a remote file, -1 when the server reports it missing.
    qint64 tamanho(const QString& nome);

    // Reply lines of the last operation ("250 ..."), the last one and its code.
    const QStringList& respostas() const { return m_respostas; }
    QString ultimaResposta() const { return m_respostas.isEmpty() ? QString() : m_respostas.last(); }

    // URL of a name in the current folder (blanks and other reserved characters percent-encoded).
    QString url(const QString& nome = {}) const;

private:
    struct Operacao;
    void prepara(const QString& url);
    void executa(int codigo, const char* oque);
    // STOR of a local file, then the commands `depois` in the same exchange.
    void armazena(const QString& local, const QString& remoto, bool anexar, const QStringList& depois);
    void verificaInterrupcao() const;
    void comandos(const QStringList& cmds);
    static QStringList segmentos(const QString& pasta, const QStringList& base);
    QString urlDe(const QStringList& segs, const QString& nome) const;

    static size_t cabecalho(char* buf, size_t tam, size_t n, void* ud);
    static size_t grava(char* buf, size_t tam, size_t n, void* ud);
    static size_t le(char* buf, size_t tam, size_t n, void* ud);
    static int progresso(void* ud, qint64 dltotal, qint64 dlnow, qint64 ultotal, qint64 ulnow);

    int roda(); // runs the prepared transfer; returns the CURLcode
    void* m_curl = nullptr;
    void* m_multi = nullptr;
    bool m_ocupado = false; // a transfer is running (events are pumped meanwhile)
    char m_erroCurl[256] = {};
    QString m_host, m_usuario, m_senha;
    int m_porta = 21;
    bool m_conectado = false;
    bool m_epsv = true;
    int m_tempoConexao = 15;
    int m_tempoResposta = 120;
    int m_tempoLento = 120;
    QDeadlineTimer m_prazo{QDeadlineTimer::Forever};
    bool m_cancelado = false;
    QStringList m_pasta;
    QStringList m_respostas;
    QByteArray m_recebido;   // LIST/NLST data
    std::function<void(qint64, qint64)> m_progresso;
    qint64 m_ultimoEventos = 0;
};

// The one shared client of the run (also set as the data module's IdFTP1 when it exists).
FtpCliente& ClienteFtpCompartilhado();

} // namespace vx
