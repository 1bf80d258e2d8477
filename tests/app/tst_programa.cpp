// The program's command line: creating a database without any window.
#include "core/schema/Cadeia.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TstPrograma : public QObject {
    Q_OBJECT
private slots:
    void novoBanco_data();
    void novoBanco();
};

void TstPrograma::novoBanco_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("arquivo");
    QTest::addColumn<int>("codigo");
    QTest::newRow("caminho separado") << QStringList{"--novo-banco", "@/novo.fdb"} << "novo.fdb" << 0;
    QTest::newRow("com pasta e igual") << QStringList{"--pasta", "@", "--novo-banco=@/outro.fdb"} << "outro.fdb" << 0;
    QTest::newRow("pasta inexistente") << QStringList{"--novo-banco", "@/nao/existe/x.fdb"} << "" << 1;
}

void TstPrograma::novoBanco()
{
    QFETCH(QStringList, args);
    QFETCH(QString, arquivo);
    QFETCH(int, codigo);
    const QString programa = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../vornex"));
    if (!QFileInfo::exists(programa))
        QSKIP("vornex not built");
    QTemporaryDir dir;
    for (QString& a : args)
        a.replace(QLatin1Char('@'), dir.path());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("nenhuma")); // a window would fail to start
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(programa, args);
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), codigo);
    if (codigo == 0) {
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), vx::VersaoEsquemaAtual());
        QVERIFY(QFileInfo(dir.filePath(arquivo)).size() > 0);
    } else {
        QVERIFY(!p.readAllStandardError().trimmed().isEmpty());
    }
}

QTEST_GUILESS_MAIN(TstPrograma)
#include "tst_programa.moc"
