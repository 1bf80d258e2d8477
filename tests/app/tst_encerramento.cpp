// SIGINT and SIGTERM close the program in order: it exits, the database is detached and left
// usable, at any point of the start-up.
#include "core/Banco.h"
#include "core/UDMCune.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace vx;

namespace {

QString programa()
{
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../vornex"));
}

// True while process `pid` holds `arquivo` open.
bool abriu(qint64 pid, const QString& arquivo)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    const QString alvo = QFileInfo(arquivo).canonicalFilePath();
    for (const QString& f : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        if (QFile::symLinkTarget(fds.filePath(f)) == alvo)
            return true;
    return false;
}

} // namespace

class TstEncerramento : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void porSinal_data();
    void porSinal();

private:
    QTemporaryDir m_modelo;
};

void TstEncerramento::initTestCase()
{
    if (!QFileInfo::exists(programa()))
        QSKIP("vornex not built");
    QProcess novo;
    novo.start(programa(), {QStringLiteral("--novo-banco"), m_modelo.filePath(QStringLiteral("modelo.fdb"))});
    QVERIFY(novo.waitForFinished(120000));
    QCOMPARE(novo.exitCode(), 0);
}

void TstEncerramento::porSinal_data()
{
    QTest::addColumn<int>("sinal");
    QTest::addColumn<int>("esperaMs"); // after the database was opened
    QTest::newRow("SIGTERM ao abrir o banco") << int(SIGTERM) << 0;
    QTest::newRow("SIGINT no login") << int(SIGINT) << 1500;
    QTest::newRow("SIGTERM no login") << int(SIGTERM) << 1500;
}

void TstEncerramento::porSinal()
{
    QFETCH(int, sinal);
    QFETCH(int, esperaMs);
    QTemporaryDir dir;
    const QString banco = dir.filePath(QStringLiteral("vornex.fdb"));
    QVERIFY(QFile::copy(m_modelo.filePath(QStringLiteral("modelo.fdb")), banco));
    QFile conf(dir.filePath(QStringLiteral("vornex.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[GERAL]\nDATABASE=" + banco.toUtf8() + "\nUSUARIO=M4314902\nCONSORCIO=CUNE\nATIVARFTP=False\n"
               "NTP=127.0.0.1\n");
    conf.close();

    QProcess p;
    auto mata = qScopeGuard([&p] { p.kill(); p.waitForFinished(); });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(programa(), {QStringLiteral("--pasta"), dir.path()});
    QVERIFY(p.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(abriu(p.processId(), banco), 60000);
    QTest::qWait(esperaMs);
    QCOMPARE(p.state(), QProcess::Running);
    ::kill(pid_t(p.processId()), sinal);
    QVERIFY2(p.waitForFinished(20000), "the program went on after the signal");
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 128 + sinal);

    // Detached: another process (this one) opens it and works.
    Conexao c;
    c.conecta(banco, QStringLiteral("SYSDBA"), SenhaBanco());
    Transacao tr(c);
    tr.inicia();
    QVERIFY(tr.valor(QStringLiteral("select count(*) from rdb$relations")).toInt() > 0);
    tr.rollback();
    c.desconecta();
}

QTEST_GUILESS_MAIN(TstEncerramento)
#include "tst_encerramento.moc"
