#pragma once
// A real FTP server for tests: Debian's pyftpdlib run by /usr/bin/python3 on 127.0.0.1 with a
// temporary root folder. Only the given accounts may log in; uploads can be kept at size 0,
// throttled or stalled, and renames, downloads and listings can be made to misbehave.
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace vx::test {

class ServidorFtp {
public:
    struct Conta {
        QString usuario;
        QString senha;
    };

    explicit ServidorFtp(const QList<Conta>& contas = {{QStringLiteral("vx"), QStringLiteral("vx")}});
    ~ServidorFtp();
    ServidorFtp(const ServidorFtp&) = delete;
    ServidorFtp& operator=(const ServidorFtp&) = delete;

    bool ativo() const { return m_porta > 0; }
    QString erro() const { return m_erro; }
    int porta() const { return m_porta; }
    // Root folder of every account, and a path inside it.
    QString raiz() const;
    QString caminho(const QString& relativo) const;
    void criaPasta(const QString& relativo) const;
    // From now on every received file is truncated to size 0 (or kept again).
    void defineZerarRecebidos(bool zerar);
    // From now on the server is down for its clients (new sessions refused with 421, open ones
    // dropped at their next command), or up again on the same port.
    void defineParado(bool sim);
    // From now on an empty folder's name listing is answered with "550 No files found.".
    void defineListaVazia550(bool sim);
    // From now on RNTO onto an existing file is refused with 550 (or allowed again).
    void defineRenomeiaSemSubstituir(bool sim);
    // From now on uploads are read at most at this rate (also the ones already running); 0 reads
    // freely, a negative value stops reading them (a stalled server).
    void defineVelocidadeRecepcao(int bytesPorSegundo);
    // The next n renames are done on disk, then the session is dropped without the 250 reply.
    void defineRenomeiaSemResposta(int n);
    // The next n RNTO are refused with "550 Rename refused." (nothing renamed).
    void defineRecusaRenomeacoes(int n);
    // After the next rename (done, and answered unless the reply is dropped) the server SIGKILLs
    // this process, once; 0 is off.
    void defineMataNoRenomeia(qint64 pid);
    // The next n downloads send only their first bytes, then fail with 426.
    void defineCortaDownload(int n, int bytes);
    // From now on every name listing gives each name twice.
    void defineListaDuplicada(bool sim);
    // Number of files received so far.
    int recebidos() const;
    // Number of renames done on disk so far.
    int renomeacoes() const;
    // Files under the root the server holds open (transfers still writing or reading).
    QStringList arquivosAbertos() const;

private:
    void marca(const QString& nome, bool sim);
    // Writes a flag's value in one step; empty removes the flag.
    void grava(const QString& nome, const QByteArray& valor);
    int linhas(const QString& nome) const;
    QTemporaryDir m_dir;
    QProcess m_proc;
    int m_porta = 0;
    QString m_erro;
};

} // namespace vx::test
