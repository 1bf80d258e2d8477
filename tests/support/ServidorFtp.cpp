#include "support/ServidorFtp.h"

#include <QDir>
#include <QFile>

namespace vx::test {

namespace {
// Server script: accounts from argv, port 0 (the chosen port is printed), no delay after a refused
// login; the flag file "zerar" makes every received file empty, "nlst550" answers an empty name
// listing with 550; each reception appends to "recebidos".
const char* const kScript = R"PY(
import os, sys, logging
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
from pyftpdlib.ioloop import Poll

base, raiz = sys.argv[1], sys.argv[2]
auth = DummyAuthorizer()
for par in sys.argv[3:]:
    usuario, senha = par.split(':', 1)
    auth.add_user(usuario, senha, raiz, perm='elradfmwMT')

class Handler(FTPHandler):
    def on_file_received(self, file):
        with open(os.path.join(base, 'recebidos'), 'a') as f:
            f.write(file + '\n')
        if os.path.exists(os.path.join(base, 'zerar')):
            open(file, 'wb').close()

    def ftp_NLST(self, path):
        # Some servers answer an empty listing with 550 instead of an empty transfer.
        if os.path.exists(os.path.join(base, 'nlst550')) and os.path.isdir(path) and not os.listdir(path):
            self.respond('550 No files found.')
            return
        return FTPHandler.ftp_NLST(self, path)

Handler.authorizer = auth
Handler.auth_failed_timeout = 0
Handler.use_sendfile = False
logging.basicConfig(level=logging.CRITICAL)
# poll(): the epoll and select loops stall about 1 s on some transfers
srv = FTPServer(('127.0.0.1', 0), Handler, ioloop=Poll())
print(srv.address[1], flush=True)
srv.serve_forever(handle_exit=True)
)PY";
} // namespace

ServidorFtp::ServidorFtp(const QList<Conta>& contas)
{
    QDir(m_dir.path()).mkpath(QStringLiteral("raiz"));
    const QString script = m_dir.filePath(QStringLiteral("servidor.py"));
    QFile f(script);
    f.open(QIODevice::WriteOnly);
    f.write(kScript);
    f.close();
    QStringList args{script, m_dir.path(), raiz()};
    for (const Conta& c : contas)
        args << c.usuario + QLatin1Char(':') + c.senha;
    m_proc.setProcessChannelMode(QProcess::SeparateChannels);
    m_proc.setStandardErrorFile(QProcess::nullDevice());
    m_proc.start(QStringLiteral("/usr/bin/python3"), args);
    if (!m_proc.waitForStarted(10000)) {
        m_erro = m_proc.errorString();
        return;
    }
    // The port is printed once the socket listens.
    while (!m_proc.canReadLine() && m_proc.state() == QProcess::Running)
        m_proc.waitForReadyRead(10000);
    if (!m_proc.canReadLine()) {
        m_erro = QStringLiteral("pyftpdlib did not start");
        return;
    }
    m_porta = m_proc.readLine().trimmed().toInt();
}

ServidorFtp::~ServidorFtp()
{
    if (m_proc.state() != QProcess::NotRunning) {
        m_proc.kill();
        m_proc.waitForFinished(5000);
    }
}

QString ServidorFtp::raiz() const
{
    return m_dir.filePath(QStringLiteral("raiz"));
}

QString ServidorFtp::caminho(const QString& relativo) const
{
    return QDir(raiz()).filePath(relativo);
}

void ServidorFtp::criaPasta(const QString& relativo) const
{
    QDir(raiz()).mkpath(relativo);
}

void ServidorFtp::defineZerarRecebidos(bool zerar)
{
    const QString flag = m_dir.filePath(QStringLiteral("zerar"));
    if (zerar) {
        QFile f(flag);
        f.open(QIODevice::WriteOnly);
    } else {
        QFile::remove(flag);
    }
}

void ServidorFtp::defineListaVazia550(bool sim)
{
    const QString flag = m_dir.filePath(QStringLiteral("nlst550"));
    if (sim) {
        QFile f(flag);
        f.open(QIODevice::WriteOnly);
    } else {
        QFile::remove(flag);
    }
}

int ServidorFtp::recebidos() const
{
    QFile f(m_dir.filePath(QStringLiteral("recebidos")));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return int(f.readAll().count('\n'));
}

} // namespace vx::test
