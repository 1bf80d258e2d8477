// Upload and download of 1,000 exchange-sized files (2 KB) through a local FTP server with one
// FtpCliente session, beside the same transfers by the curl command line in one process.
#include "exchange/ftp/FtpCliente.h"

#include "ServidorBench.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace vx;

namespace {

bool confere(const QString& pasta, int n, qint64 tamanho)
{
    for (int i = 0; i < n; ++i)
        if (QFileInfo(QDir(pasta).filePath(QStringLiteral("M4314902_ID%1.xml").arg(i, 7, 10, QLatin1Char('0')))).size() != tamanho)
            return false;
    return true;
}

double curlLote(const QString& config)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-S"), QStringLiteral("-K"), config});
    p.waitForFinished(-1);
    const double s = t.nsecsElapsed() / 1e9;
    if (p.exitCode() != 0)
        std::fprintf(stderr, "curl failed: %s\n", p.readAllStandardError().constData());
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000;
    const qint64 tamanho = 2048;

    QTemporaryDir dir;
    QDir d(dir.path());
    for (const char* p : {"raiz/nosso", "raiz/curl", "env", "rec", "rec_curl"})
        d.mkpath(QString::fromLatin1(p));
    QByteArray dados(tamanho, 'x');
    for (int i = 0; i < n; ++i) {
        QFile f(d.filePath(QStringLiteral("env/M4314902_ID%1.xml").arg(i, 7, 10, QLatin1Char('0'))));
        f.open(QIODevice::WriteOnly);
        f.write(dados);
    }
    QProcess srv;
    const int porta = bench::IniciaServidorFtp(srv, dir.path(), d.filePath(QStringLiteral("raiz")), QStringLiteral("vx"),
                                               QStringLiteral("vx"));
    if (porta <= 0) {
        std::fprintf(stderr, "pyftpdlib did not start\n");
        return 1;
    }

    auto nome = [](int i) { return QStringLiteral("M4314902_ID%1.xml").arg(i, 7, 10, QLatin1Char('0')); };

    // This client: one session.
    FtpCliente ftp;
    ftp.conecta(QStringLiteral("127.0.0.1"), porta, QStringLiteral("vx"), QStringLiteral("vx"));
    ftp.mudaPasta(QStringLiteral("/nosso"));
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i)
        ftp.envia(d.filePath(QStringLiteral("env/") + nome(i)), nome(i));
    const double sobeNosso = t.nsecsElapsed() / 1e9;
    t.restart();
    for (int i = 0; i < n; ++i)
        ftp.recebe(nome(i), d.filePath(QStringLiteral("rec/") + nome(i)));
    const double baixaNosso = t.nsecsElapsed() / 1e9;
    ftp.desconecta();

    // The floor: curl command line, all URLs in one invocation.
    const QString base = QStringLiteral("ftp://127.0.0.1:%1/curl/").arg(porta);
    QByteArray cfgSobe = "user = \"vx:vx\"\n", cfgBaixa = "user = \"vx:vx\"\n";
    for (int i = 0; i < n; ++i) {
        cfgSobe += "upload-file = \"" + d.filePath(QStringLiteral("env/") + nome(i)).toUtf8() + "\"\n";
        cfgSobe += "url = \"" + (base + nome(i)).toUtf8() + "\"\n";
        cfgBaixa += "url = \"" + (base + nome(i)).toUtf8() + "\"\n";
        cfgBaixa += "output = \"" + d.filePath(QStringLiteral("rec_curl/") + nome(i)).toUtf8() + "\"\n";
    }
    for (auto [arq, cfg] : {std::pair{"sobe.cfg", &cfgSobe}, std::pair{"baixa.cfg", &cfgBaixa}}) {
        QFile f(d.filePath(QString::fromLatin1(arq)));
        f.open(QIODevice::WriteOnly);
        f.write(*cfg);
    }
    const double sobeCurl = curlLote(d.filePath(QStringLiteral("sobe.cfg")));
    const double baixaCurl = curlLote(d.filePath(QStringLiteral("baixa.cfg")));

    srv.kill();
    srv.waitForFinished(5000);

    const bool ok = confere(d.filePath(QStringLiteral("raiz/nosso")), n, tamanho) && confere(d.filePath(QStringLiteral("rec")), n, tamanho) &&
                    confere(d.filePath(QStringLiteral("raiz/curl")), n, tamanho) && confere(d.filePath(QStringLiteral("rec_curl")), n, tamanho);

    std::printf("bench_ftp: %d files of %lld bytes, one session, pyftpdlib on 127.0.0.1\n", n, tamanho);
    std::printf("%-10s %14s %14s %8s\n", "", "FtpCliente/s", "curl CLI/s", "ratio");
    std::printf("%-10s %14.1f %14.1f %8.2f\n", "upload", n / sobeNosso, n / sobeCurl, sobeCurl / sobeNosso);
    std::printf("%-10s %14.1f %14.1f %8.2f\n", "download", n / baixaNosso, n / baixaCurl, baixaCurl / baixaNosso);
    std::printf("target: ratio >= 0.50; files verified: %s\n", ok ? "yes" : "NO");
    return ok ? 0 : 1;
}
