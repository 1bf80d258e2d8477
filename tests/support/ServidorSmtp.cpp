#include "support/ServidorSmtp.h"
#include "support/Fixtures.h"

#include <QDir>

namespace vx::test {

namespace {
// Server script: argv = folder of the received messages, certificate, key, user, password; port 0
// (the chosen port is printed). Message N is written as N.eml (raw bytes) beside N.env (MAIL FROM,
// then each RCPT TO, one a line), the .eml renamed into place last.
const char* const kScript = R"PY(
import asyncio, os, ssl, sys, logging
from aiosmtpd.smtp import SMTP, AuthResult

pasta, certificado, chave, usuario, senha = sys.argv[1:6]
logging.basicConfig(level=logging.CRITICAL)

class Guarda:
    n = 0
    async def handle_DATA(self, server, session, envelope):
        Guarda.n += 1
        nome = os.path.join(pasta, '%04d' % Guarda.n)
        with open(nome + '.env', 'w') as f:
            f.write('\n'.join([envelope.mail_from] + envelope.rcpt_tos) + '\n')
        with open(nome + '.tmp', 'wb') as f:
            f.write(envelope.original_content)
        os.rename(nome + '.tmp', nome + '.eml')
        return '250 OK'

def autentica(server, session, envelope, mecanismo, dados):
    ok = mecanismo == 'LOGIN' and dados.login == usuario.encode() and dados.password == senha.encode()
    return AuthResult(success=ok, handled=False)  # not handled: the server answers 535

ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
ctx.load_cert_chain(certificado, chave)
loop = asyncio.new_event_loop()
asyncio.set_event_loop(loop)
guarda = Guarda()
srv = loop.run_until_complete(loop.create_server(
    lambda: SMTP(guarda, hostname='127.0.0.1', authenticator=autentica, auth_required=True,
                 auth_require_tls=False),  # the TLS is implicit, below the protocol
    '127.0.0.1', 0, ssl=ctx))
print(srv.sockets[0].getsockname()[1], flush=True)
loop.run_forever()
)PY";
} // namespace

ServidorSmtp::ServidorSmtp(const QString& usuario, const QString& senha)
{
    const QDir d(m_dir.path());
    d.mkpath(QStringLiteral("recebidas"));
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                   "subjectAltName=IP:127.0.0.1", "-keyout", d.filePath(QStringLiteral("chave.pem")), "-out", certificado()});
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0) {
        m_erro = QStringLiteral("openssl: ") + (openssl.error() == QProcess::FailedToStart
                                                    ? openssl.errorString()
                                                    : QString::fromLocal8Bit(openssl.readAll()));
        return;
    }
    m_porta = IniciaServidorPython(m_proc, d.filePath(QStringLiteral("servidor.py")), kScript,
                                   {d.filePath(QStringLiteral("recebidas")), certificado(),
                                    d.filePath(QStringLiteral("chave.pem")), usuario, senha},
                                   &m_erro);
}

ServidorSmtp::~ServidorSmtp()
{
    para();
}

void ServidorSmtp::para()
{
    if (m_proc.state() != QProcess::NotRunning) {
        m_proc.kill();
        m_proc.waitForFinished(5000);
    }
}

QString ServidorSmtp::certificado() const
{
    return m_dir.filePath(QStringLiteral("certificado.pem"));
}

QList<ServidorSmtp::Mensagem> ServidorSmtp::mensagens() const
{
    QList<Mensagem> r;
    const QDir d(m_dir.filePath(QStringLiteral("recebidas")));
    for (const QString& nome : d.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name)) {
        Mensagem m;
        m.arquivo = d.filePath(nome);
        m.dados = LeArquivo(m.arquivo);
        QStringList env = QString::fromUtf8(LeArquivo(m.arquivo.chopped(4) + QStringLiteral(".env")))
                              .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        m.remetente = env.value(0);
        m.destinatarios = env.mid(1);
        r << m;
    }
    return r;
}

} // namespace vx::test
