// The program's command line: what it does without any window (help, version, creating a
// database), run as its own process without a display.
#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Cadeia.h"
#include "core/schema/Catalogo.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

// Environment without any display: a window would fail to start.
QProcessEnvironment semDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(v));
    return env;
}

// pastaTravas: the embedded engine's lock folder of the child. A child killed while it holds a
// mutex of the shared lock tables would hang every later embedded attachment on the machine.
void inicia(QProcess& p, const QStringList& args, const QString& pastaTravas = {})
{
    QProcessEnvironment env = semDisplay();
    if (!pastaTravas.isEmpty()) {
        QDir().mkpath(pastaTravas);
        env.insert(QStringLiteral("FIREBIRD_LOCK"), pastaTravas);
    }
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VX_PROGRAMA), args);
}

// A database the program created: the current version and the objects recorded last.
void verificaCompleto(const QString& arquivo)
{
    try {
        Conexao con;
        con.conecta(arquivo, UsuarioBanco(), SenhaBanco());
        Transacao tr(con);
        tr.inicia();
        QCOMPARE(LeVersaoBanco(tr), VersaoEsquemaAtual());
        QVERIFY(catalogo::existeConstraint(tr, QStringLiteral("PK_MARCACAOPROCEDS")));
        QVERIFY(catalogo::existeConstraint(tr, QStringLiteral("PK_FAT_MUNICIPIO")));
        QVERIFY(catalogo::existeTrigger(tr, QStringLiteral("DOCEMISSAO_BI0")));
        QVERIFY(catalogo::existeTrigger(tr, QStringLiteral("UNIDADES_BI_CODIGO")));
        QVERIFY(catalogo::existeIndice(tr, QStringLiteral("IX_PESSOAS_CARTAOSUS_UPPER")));
        QCOMPARE(tr.valor(QStringLiteral("select mon$forced_writes from mon$database")).toInt(), 1);
    } catch (const ErroBanco& e) {
        QFAIL(qPrintable(e.texto()));
    }
}

// Nothing but the databases themselves is left in the folder.
QStringList sobras(const QString& pasta)
{
    QStringList l = QDir(pasta).entryList(QDir::Files | QDir::Hidden);
    l.removeIf([](const QString& f) { return f.endsWith(QLatin1String(".fdb")) || f == QLatin1String("vornex.conf"); });
    return l;
}

} // namespace

class TstPrograma : public QObject {
    Q_OBJECT
private slots:
    void semJanela_data();
    void semJanela();
    void novoBanco_data();
    void novoBanco();
    void novoBancoInterrompido();
};

void TstPrograma::semJanela_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("codigo");
    QTest::addColumn<QStringList>("trechos"); // in the standard output, or the error output on failure
    const QStringList versao{QStringLiteral("VORNEX ") + QLatin1String(VersaoPrograma)};
    QTest::newRow("--version") << QStringList{"--version"} << 0 << versao;
    QTest::newRow("-v") << QStringList{"-v"} << 0 << versao;
    QTest::newRow("--help") << QStringList{"--help"} << 0
                            << QStringList{"--pasta <DIR>", "--novo-banco <PATH>", "--version", versao.first()};
    QTest::newRow("-h com pasta") << QStringList{"--pasta", "/tmp", "-h"} << 0 << QStringList{"--novo-banco <PATH>"};
    QTest::newRow("opção desconhecida") << QStringList{"--xyz", "--help"} << 1 << QStringList{"xyz"};
    QTest::newRow("novo-banco sem caminho") << QStringList{"--novo-banco"} << 1 << QStringList{"novo-banco"};
}

void TstPrograma::semJanela()
{
    QFETCH(QStringList, args);
    QFETCH(int, codigo);
    QFETCH(QStringList, trechos);
    QProcess p;
    inicia(p, args);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), codigo);
    const QString saida = QString::fromUtf8(codigo == 0 ? p.readAllStandardOutput() : p.readAllStandardError());
    for (const QString& t : trechos)
        QVERIFY2(saida.contains(t), qPrintable(saida));
    if (args.first() == QLatin1String("--version") || args.first() == QLatin1String("-v"))
        QCOMPARE(saida, trechos.first() + QLatin1Char('\n'));
}

void TstPrograma::novoBanco_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("arquivo");
    QTest::addColumn<bool>("existente");
    QTest::addColumn<int>("codigo");
    QTest::newRow("caminho separado") << QStringList{"--novo-banco", "@/novo.fdb"} << "novo.fdb" << false << 0;
    QTest::newRow("com pasta e igual") << QStringList{"--pasta", "@", "--novo-banco=@/outro.fdb"} << "outro.fdb"
                                       << false << 0;
    QTest::newRow("pasta inexistente") << QStringList{"--novo-banco", "@/nao/existe/x.fdb"} << "" << false << 1;
    QTest::newRow("arquivo existente") << QStringList{"--novo-banco", "@/velho.fdb"} << "velho.fdb" << true << 1;
}

void TstPrograma::novoBanco()
{
    QFETCH(QStringList, args);
    QFETCH(QString, arquivo);
    QFETCH(bool, existente);
    QFETCH(int, codigo);
    QTemporaryDir dir;
    for (QString& a : args)
        a.replace(QLatin1Char('@'), dir.path());
    const QString caminho = dir.filePath(arquivo);
    if (existente) {
        QFile f(caminho);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("dados");
    }
    QProcess p;
    inicia(p, args);
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), codigo);
    if (codigo == 0) {
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), VersaoEsquemaAtual());
        verificaCompleto(caminho);
    } else {
        QVERIFY(!p.readAllStandardError().trimmed().isEmpty());
    }
    if (existente) {
        QFile f(caminho);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("dados")); // never replaced
    }
    QCOMPARE(sobras(dir.path()), QStringList());
}

void TstPrograma::novoBancoInterrompido()
{
    // Killed at any moment, the creation leaves either no file at the path or a complete database;
    // the next creation at the same path clears what the killed one left.
    QTemporaryDir dir;
    QTemporaryDir travas;
    int processos = 0;
    auto novasTravas = [&] { return travas.filePath(QString::number(++processos)); };
    const QString alvo = dir.filePath(QStringLiteral("vornex.fdb"));
    const QStringList args{QStringLiteral("--novo-banco"), alvo};
    auto completa = [&] {
        QProcess p;
        inicia(p, args, novasTravas());
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitCode(), 0);
        verificaCompleto(alvo);
    };
    QElapsedTimer relogio;
    relogio.start();
    completa();
    if (QTest::currentTestFailed())
        return;
    const qint64 duracao = relogio.elapsed(); // spreads the kills over a whole creation
    QVERIFY(QFile::remove(alvo));

    int interrompidas = 0;
    const int vezes = 10;
    for (int i = 0; i < vezes; ++i) {
        const int espera = int(20 + duracao * i / (vezes - 1));
        QProcess p;
        inicia(p, args, novasTravas());
        QVERIFY(p.waitForStarted());
        bool morto = false;
        if (!p.waitForFinished(espera)) {
            p.kill();
            QVERIFY(p.waitForFinished(10000));
            morto = true;
        } else {
            QCOMPARE(p.exitCode(), 0);
        }
        if (QFileInfo::exists(alvo)) {
            verificaCompleto(alvo);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("incomplete database after %1 ms").arg(espera)));
            QVERIFY(QFile::remove(alvo));
        } else {
            QVERIFY(morto);
            ++interrompidas;
        }
    }
    QVERIFY(interrompidas > 0);
    completa();
    QCOMPARE(sobras(dir.path()), QStringList());
}

QTEST_GUILESS_MAIN(TstPrograma)
#include "tst_programa.moc"
