#pragma once
// A real SMTP server for tests: Debian's aiosmtpd run by /usr/bin/python3 on 127.0.0.1 over
// implicit TLS, with a self-signed certificate for 127.0.0.1 made at start. Only AUTH LOGIN of the
// given account is accepted (PLAIN is offered and refused) and mail needs it; every message
// received is kept as a file.
#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace vx::test {

class ServidorSmtp {
public:
    struct Mensagem {
        QString remetente;          // MAIL FROM
        QStringList destinatarios;  // RCPT TO
        QString arquivo;            // the message as received (.eml)
        QByteArray dados;           // its bytes
    };

    explicit ServidorSmtp(const QString& usuario = QStringLiteral("vx@vornex.test"),
                          const QString& senha = QStringLiteral("segredo"));
    ~ServidorSmtp();
    ServidorSmtp(const ServidorSmtp&) = delete;
    ServidorSmtp& operator=(const ServidorSmtp&) = delete;

    bool ativo() const { return m_porta > 0; }
    QString erro() const { return m_erro; }
    int porta() const { return m_porta; }
    // The server's certificate (PEM), to be trusted as the CA.
    QString certificado() const;
    // Messages received so far, in arrival order.
    QList<Mensagem> mensagens() const;
    // Stops the server; its port then refuses connections.
    void para();

private:
    QTemporaryDir m_dir;
    QProcess m_proc;
    int m_porta = 0;
    QString m_erro;
};

} // namespace vx::test
