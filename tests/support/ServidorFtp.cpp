#include "support/ServidorFtp.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace vx::test {

namespace {
// Server script: accounts from argv, port 0 (the chosen port is printed), no delay after a refused
// login; the flag file "zerar" makes every received file empty, "nlst550" answers an empty name
// listing with 550, "rnto550" refuses to rename over an existing file, "velocidade" holds the
// bytes per second uploads are read at (negative: not read at all); each reception appends to
// "recebidos"; "parado" refuses new sessions and drops the open ones at their next command.
const char* const kScript = R"PY(
import os, sys, time, logging
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, DTPHandler
from pyftpdlib.servers import FTPServer
from pyftpdlib.ioloop import Poll

base, raiz = sys.argv[1], sys.argv[2]
auth = DummyAuthorizer()
for par in sys.argv[3:]:
    usuario, senha = par.split(':', 1)
    auth.add_user(usuario, senha, raiz, perm='elradfmwMT')

def flag(nome):
    return os.path.exists(os.path.join(base, nome))

def velocidade():
    try:
        with open(os.path.join(base, 'velocidade')) as f:
            return int(f.read())
    except (OSError, ValueError):
        return 0

class Dados(DTPHandler):
    _janela = 0.0
    _lidos = 0

    def handle_read(self):
        limite = velocidade()
        if limite:
            agora = time.monotonic()
            if agora - self._janela >= 1:
                self._janela, self._lidos = agora, 0
            if limite < 0 or self._lidos >= limite:
                # Stop reading until the next second (or the next look at the flag).
                self.del_channel()
                self.call_later(0.05 if limite < 0 else self._janela + 1 - agora, self.retoma)
                return
            self.ac_in_buffer_size = min(65536, limite - self._lidos)
        else:
            self.ac_in_buffer_size = 65536
        antes = self.tot_bytes_received
        DTPHandler.handle_read(self)
        self._lidos += self.tot_bytes_received - antes

    handle_read_event = handle_read

    def retoma(self):
        if not self._closed:
            self.add_channel(events=self.ioloop.READ)

class Handler(FTPHandler):
    dtp_handler = Dados
    def handle(self):
        if flag('parado'):
            self.respond('421 Service not available.')
            self.close_when_done()
            return
        return FTPHandler.handle(self)
    def pre_process_command(self, line, cmd, arg):
        # A stopped server drops every session at its next command.
        if flag('parado'):
            self.respond('421 Service not available, closing control connection.')
            self.close_when_done()
            return
        return FTPHandler.pre_process_command(self, line, cmd, arg)

    def on_file_received(self, file):
        with open(os.path.join(base, 'recebidos'), 'a') as f:
            f.write(file + '\n')
        if flag('zerar'):
            open(file, 'wb').close()

    def ftp_NLST(self, path):
        # Some servers answer an empty listing with 550 instead of an empty transfer.
        if flag('nlst550') and os.path.isdir(path) and not os.listdir(path):
            self.respond('550 No files found.')
            return
        return FTPHandler.ftp_NLST(self, path)

    def ftp_RNTO(self, path):
        # Some servers do not rename over an existing file.
        if self._rnfr and flag('rnto550') and os.path.exists(path):
            self._rnfr = None
            self.respond('550 Cannot create a file when that file already exists.')
            return
        return FTPHandler.ftp_RNTO(self, path)

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
    QStringList args{m_dir.path(), raiz()};
    for (const Conta& c : contas)
        args << c.usuario + QLatin1Char(':') + c.senha;
    m_porta = IniciaServidorPython(m_proc, m_dir.filePath(QStringLiteral("servidor.py")), kScript, args, &m_erro);
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

void ServidorFtp::defineParado(bool sim)
{
    marca(QStringLiteral("parado"), sim);
}

void ServidorFtp::defineListaVazia550(bool sim)
{
    marca(QStringLiteral("nlst550"), sim);
}

void ServidorFtp::defineRenomeiaSemSubstituir(bool sim)
{
    marca(QStringLiteral("rnto550"), sim);
}

void ServidorFtp::defineVelocidadeRecepcao(int bytesPorSegundo)
{
    const QString flag = m_dir.filePath(QStringLiteral("velocidade"));
    if (bytesPorSegundo == 0) {
        QFile::remove(flag);
        return;
    }
    // Written aside and renamed: the server never reads a half-written value.
    QFile f(flag + QStringLiteral(".novo"));
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray::number(bytesPorSegundo));
    f.close();
    std::rename(QFile::encodeName(f.fileName()).constData(), QFile::encodeName(flag).constData());
}

void ServidorFtp::marca(const QString& nome, bool sim)
{
    const QString flag = m_dir.filePath(nome);
    if (sim) {
        QFile f(flag);
        f.open(QIODevice::WriteOnly);
    } else {
        QFile::remove(flag);
    }
}

QStringList ServidorFtp::arquivosAbertos() const
{
    QStringList r;
    const QString raizReal = QFileInfo(raiz()).canonicalFilePath() + QLatin1Char('/');
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(m_proc.processId()));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget().startsWith(raizReal))
            r << fd.symLinkTarget();
    return r;
}

int ServidorFtp::recebidos() const
{
    QFile f(m_dir.filePath(QStringLiteral("recebidos")));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return int(f.readAll().count('\n'));
}

} // namespace vx::test
