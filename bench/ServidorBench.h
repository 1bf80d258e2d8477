#pragma once
// The FTP server of the benchmarks: Debian's pyftpdlib on 127.0.0.1 (a free port) with one account
// whose root is `raiz`, run with its poll() loop and without sendfile (both stalled small
// transfers).
#include "core/Configuracao.h"
#include "core/UVariaveis.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QThread>

namespace vx::bench {

inline const char* const kServidorFtp = R"PY(
import sys, logging
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
from pyftpdlib.ioloop import Poll
auth = DummyAuthorizer()
auth.add_user(sys.argv[2], sys.argv[3], sys.argv[1], perm='elradfmwMT')
FTPHandler.authorizer = auth
FTPHandler.use_sendfile = False
logging.basicConfig(level=logging.CRITICAL)
srv = FTPServer(('127.0.0.1', 0), FTPHandler, ioloop=Poll())
print(srv.address[1], flush=True)
srv.serve_forever(handle_exit=True)
)PY";

// Waits (at most 70 s) until few TCP connections of this machine are left in TIME_WAIT, so that
// a run of many transfers does not wait for free local ports.
inline void EsperaPortasLivres()
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 70000) {
        int espera = 0;
        for (const char* tabela : {"/proc/net/tcp", "/proc/net/tcp6"}) {
            QFile f(QString::fromLatin1(tabela));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& l : f.readAll().split('\n'))
                if (l.simplified().split(' ').value(3) == "06")
                    ++espera;
        }
        if (espera < 500)
            return;
        QThread::msleep(500);
    }
}

// Starts the server (its script written into `pasta`); returns its port, 0 when it did not start.
inline int IniciaServidorFtp(QProcess& srv, const QString& pasta, const QString& raiz, const QString& usuario,
                             const QString& senha)
{
    QFile script(QDir(pasta).filePath(QStringLiteral("servidor.py")));
    if (!script.open(QIODevice::WriteOnly))
        return 0;
    script.write(kServidorFtp);
    script.close();
    srv.setStandardErrorFile(QProcess::nullDevice());
    srv.start(QStringLiteral("/usr/bin/python3"), {script.fileName(), raiz, usuario, senha});
    if (!srv.waitForStarted(10000))
        return 0;
    while (!srv.canReadLine() && srv.state() == QProcess::Running)
        srv.waitForReadyRead(10000);
    const int porta = srv.canReadLine() ? srv.readLine().trimmed().toInt() : 0;
    if (porta <= 0) {
        srv.kill();
        srv.waitForFinished(5000);
    }
    return porta;
}

// Makes `pasta` the installation folder of a CUNE installation `usuario` whose FTP server is the
// local one on `porta` (password "pw"), and loads it.
inline void InstalaBench(const QString& pasta, const QString& usuario, int porta)
{
    QFile conf(QDir(pasta).filePath(QStringLiteral("vornex.conf")));
    conf.open(QIODevice::WriteOnly);
    conf.write(QStringLiteral("[GERAL]\r\nUSUARIO=%1\r\nCONSORCIO=CUNE\r\nFTPHOST=127.0.0.1\r\nFTPSENHA=pw\r\nPORTA=%2\r\n")
                   .arg(usuario)
                   .arg(porta)
                   .toLatin1());
    conf.close();
    DefinePastaInstalacao(pasta);
    CarregaConfiguracao();
    CarregaIdentidade();
}

// Seconds the curl command line takes for the transfers of config `cfg` (written to `arquivo`);
// -1 when it did not end within `limiteMs`.
inline double TempoCurl(const QString& arquivo, const QByteArray& cfg, int limiteMs)
{
    QFile f(arquivo);
    f.open(QIODevice::WriteOnly);
    f.write(cfg);
    f.close();
    QElapsedTimer t;
    t.start();
    QProcess c;
    c.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-S"), QStringLiteral("-K"), f.fileName()});
    if (!c.waitForFinished(limiteMs)) {
        c.kill();
        c.waitForFinished();
        return -1.0;
    }
    return t.nsecsElapsed() / 1e9;
}

} // namespace vx::bench
