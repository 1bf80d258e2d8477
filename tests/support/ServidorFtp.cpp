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
// Counted faults (the server decrements the count, the file goes away at 0): "rntocala" renames and
// drops the session without the 250, "rntorecusa" refuses RNTO with 550, "retrcorte" ("n bytes")
// sends only the first bytes of a download and fails it with 426. "rntomata" holds a pid that gets
// SIGKILL after the next rename (once); "nlstdobro" lists every name twice; each rename appends to
// "renomeacoes".
const char* const kScript = R"PY(
import os, sys, time, signal, logging
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, DTPHandler, FileProducer, _strerror
from pyftpdlib.filesystems import FilesystemError
from pyftpdlib.servers import FTPServer
from pyftpdlib.ioloop import Poll

base, raiz = sys.argv[1], sys.argv[2]
auth = DummyAuthorizer()
for par in sys.argv[3:]:
    usuario, senha = par.split(':', 1)
    auth.add_user(usuario, senha, raiz, perm='elradfmwMT')

def flag(nome):
    return os.path.exists(os.path.join(base, nome))

def valores(nome):
    try:
        with open(os.path.join(base, nome)) as f:
            return [int(v) for v in f.read().split()]
    except (OSError, ValueError):
        return []

def velocidade():
    v = valores('velocidade')
    return v[0] if v else 0

def consome(nome):
    # Takes one use of a counted fault: its values, or None when it is off.
    v = valores(nome)
    if not v or v[0] <= 0:
        return None
    arquivo = os.path.join(base, nome)
    if v[0] == 1:
        os.remove(arquivo)
    else:
        with open(arquivo + '.srv', 'w') as f:
            f.write(' '.join(str(x) for x in [v[0] - 1] + v[1:]))
        os.replace(arquivo + '.srv', arquivo)
    return v

class Cortado(Exception):
    pass

class ProdutorCortado(FileProducer):
    # Hands over at most `resta` bytes of the file, then fails the transfer.
    def __init__(self, original, resta):
        FileProducer.__init__(self, original.file, original.type)
        self.resta = resta

    def more(self):
        if self.resta <= 0:
            raise Cortado()
        self.buffer_size = min(FileProducer.buffer_size, self.resta)
        antes = self.file.tell()
        data = FileProducer.more(self)
        self.resta -= self.file.tell() - antes
        if not data:
            raise Cortado()
        return data

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

    def handle_error(self):
        # A cut download: whatever was handed over goes out, then the client gets 426.
        if isinstance(sys.exc_info()[1], Cortado):
            self._resp = ('426 Connection closed; transfer aborted.', logging.debug)
            self.close()
            return
        DTPHandler.handle_error(self)

class Handler(FTPHandler):
    dtp_handler = Dados
    def handle(self):
        if flag('parado'):
            self.respond('421 Service not available.')
            self.close_when_done()
            return
        return FTPHandler.handle(self)
    def pre_process_command(self, line, cmd, arg):
        # Commands already read when the session was dropped are not run.
        if self._closed:
            return
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

    def push_dtp_data(self, data, isproducer=False, file=None, cmd=None):
        if cmd == 'RETR' and isproducer:
            corte = consome('retrcorte')
            if corte:
                data = ProdutorCortado(data, corte[1] if len(corte) > 1 else 0)
        elif cmd == 'NLST' and flag('nlstdobro'):
            data = b''.join(l + b'\r\n' + l + b'\r\n' for l in data.split(b'\r\n')[:-1])
        return FTPHandler.push_dtp_data(self, data, isproducer, file, cmd)

    def ftp_RNTO(self, path):
        if not self._rnfr:
            return FTPHandler.ftp_RNTO(self, path)
        src, self._rnfr = self._rnfr, None
        if consome('rntorecusa'):
            self.respond('550 Rename refused.')
            return
        # Some servers do not rename over an existing file.
        if flag('rnto550') and os.path.exists(path):
            self.respond('550 Cannot create a file when that file already exists.')
            return
        try:
            self.run_as_current_user(self.fs.rename, src, path)
        except (OSError, FilesystemError) as err:
            self.respond('550 %s.' % _strerror(err))
            return
        with open(os.path.join(base, 'renomeacoes'), 'a') as f:
            f.write(src + ' -> ' + path + '\n')
        if consome('rntocala'):
            # Renamed, but the reply is lost with the session.
            self.close()
        else:
            self.respond('250 Renaming ok.')
        alvo = valores('rntomata')
        if alvo and alvo[0] > 0:
            os.remove(os.path.join(base, 'rntomata'))
            try:
                os.kill(alvo[0], signal.SIGKILL)
            except OSError:
                pass
        return (src, path)

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
    grava(QStringLiteral("velocidade"), bytesPorSegundo ? QByteArray::number(bytesPorSegundo) : QByteArray());
}

void ServidorFtp::defineRenomeiaSemResposta(int n)
{
    grava(QStringLiteral("rntocala"), n > 0 ? QByteArray::number(n) : QByteArray());
}

void ServidorFtp::defineRecusaRenomeacoes(int n)
{
    grava(QStringLiteral("rntorecusa"), n > 0 ? QByteArray::number(n) : QByteArray());
}

void ServidorFtp::defineMataNoRenomeia(qint64 pid)
{
    grava(QStringLiteral("rntomata"), pid > 0 ? QByteArray::number(pid) : QByteArray());
}

void ServidorFtp::defineCortaDownload(int n, int bytes)
{
    QByteArray valor;
    if (n > 0)
        valor = QByteArray::number(n) + ' ' + QByteArray::number(qMax(bytes, 0));
    grava(QStringLiteral("retrcorte"), valor);
}

void ServidorFtp::defineListaDuplicada(bool sim)
{
    marca(QStringLiteral("nlstdobro"), sim);
}

void ServidorFtp::grava(const QString& nome, const QByteArray& valor)
{
    const QString flag = m_dir.filePath(nome);
    if (valor.isEmpty()) {
        QFile::remove(flag);
        return;
    }
    // Written aside and renamed: the server never reads a half-written value.
    QFile f(flag + QStringLiteral(".novo"));
    f.open(QIODevice::WriteOnly);
    f.write(valor);
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
    return linhas(QStringLiteral("recebidos"));
}

int ServidorFtp::renomeacoes() const
{
    return linhas(QStringLiteral("renomeacoes"));
}

int ServidorFtp::linhas(const QString& nome) const
{
    QFile f(m_dir.filePath(nome));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return int(f.readAll().count('\n'));
}

} // namespace vx::test
