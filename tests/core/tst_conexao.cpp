#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/schema/Cadeia.h"
#include "core/schema/Esquema.h"
#include "support/Fixtures.h"
#include "support/PastaServidor.h"

#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <cstdio>

using namespace vx;

class TstConexao : public QObject {
    Q_OBJECT
private slots:
    void falhaDeConexao_data();
    void falhaDeConexao();
    void formaDoNome_data();
    void formaDoNome();
    void moduloDeDados();
    void servidorReal();
};

namespace {

const char* const kSeguraBanco = "VORNEX_TESTE_SEGURA_BANCO";

// Run as a child process: holds the file with its own embedded engine until stdin closes.
int seguraBanco(const QString& arquivo)
{
    int rc = 0;
    try {
        Conexao c;
        c.conecta(arquivo, UsuarioBanco(), SenhaBanco());
        std::puts("pronto");
        std::fflush(stdout);
        char b[64];
        while (std::fread(b, 1, sizeof b, stdin) > 0) {
        }
        c.desconecta();
    } catch (const ErroBanco& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.texto()));
        rc = 1;
    }
    Conexao::finaliza();
    return rc;
}

// A folder the server process may use.
void abrePasta(const QString& pasta)
{
    QFile::setPermissions(pasta, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                     QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther |
                                     QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup);
}

void gravaLixo(const QString& arquivo, int tamanho)
{
    QFile f(arquivo);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray b(tamanho, '\0');
    for (int i = 0; i < tamanho; ++i)
        b[i] = char((i * 7919 + 13) % 251);
    f.write(b);
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther |
                     QFileDevice::WriteOther);
}

} // namespace

void TstConexao::falhaDeConexao_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<int>("falha");
    QTest::addColumn<QString>("inicio");
    const QString ausente = QString::fromUtf8("Não encontrado arquivo de banco de dados em ");
    const QString danificado = QStringLiteral("O arquivo em ");
    QTest::newRow("vazio") << "vazio" << int(FalhaConexao::ArquivoAusente) << ausente;
    QTest::newRow("arquivo ausente") << "ausente" << int(FalhaConexao::ArquivoAusente) << ausente;
    QTest::newRow("pasta ausente") << "pasta ausente" << int(FalhaConexao::ArquivoAusente) << ausente;
    QTest::newRow("bytes sem sentido") << "lixo" << int(FalhaConexao::Danificado) << danificado;
    QTest::newRow("arquivo curto") << "curto" << int(FalhaConexao::Danificado) << danificado;
    QTest::newRow("somente leitura") << "somente leitura" << int(FalhaConexao::SomenteLeitura)
                                     << "O arquivo de banco de dados em ";
    QTest::newRow("em uso por outro processo") << "em uso" << int(FalhaConexao::EmUso) << "O banco de dados em ";
    QTest::newRow("servidor ausente") << "servidor ausente" << int(FalhaConexao::Outra)
                                      << QString::fromUtf8("Não foi possível conectar ao banco de dados em ");
    QTest::newRow("servidor: arquivo ausente") << "servidor ausente arquivo" << int(FalhaConexao::ArquivoAusente)
                                               << ausente;
    QTest::newRow("servidor: senha errada") << "servidor senha" << int(FalhaConexao::SenhaRecusada)
                                            << "O servidor recusou o usuário ou a senha";
    QTest::newRow("servidor: bytes sem sentido") << "servidor lixo" << int(FalhaConexao::Danificado) << danificado;
}

void TstConexao::falhaDeConexao()
{
    QFETCH(QString, caso);
    QFETCH(int, falha);
    QFETCH(QString, inicio);
    const QString servidor = qEnvironmentVariable("VORNEX_TESTE_SERVIDOR");
    if (caso.startsWith("servidor ") && caso != "servidor ausente" && servidor.isEmpty())
        QSKIP("no Firebird server (scripts/test.sh starts one and sets VORNEX_TESTE_SERVIDOR)");
    QTemporaryDir d(QDir::tempPath() + "/vornex-falha-XXXXXX");
    abrePasta(d.path());
    const QString arquivo = d.filePath("banco.fdb");
    QString nome = arquivo;
    QProcess segura;
    const QByteArray senhaAntes = qgetenv("VORNEX_DB_SENHA");
    auto restauraSenha = qScopeGuard([&] {
        if (senhaAntes.isNull())
            qunsetenv("VORNEX_DB_SENHA");
        else
            qputenv("VORNEX_DB_SENHA", senhaAntes);
    });

    if (caso == "vazio") {
        nome.clear();
    } else if (caso == "pasta ausente") {
        nome = d.filePath("nao-existe/banco.fdb");
    } else if (caso == "lixo" || caso == "servidor lixo") {
        gravaLixo(arquivo, 64 * 1024);
    } else if (caso == "curto") {
        gravaLixo(arquivo, 3);
    } else if (caso == "somente leitura") {
        Conexao::criaBanco(arquivo, UsuarioBanco(), SenhaBanco(), false);
        QVERIFY(QFile::setPermissions(arquivo, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                   QFileDevice::ReadOther));
    } else if (caso == "em uso") {
        Conexao::criaBanco(arquivo, UsuarioBanco(), SenhaBanco(), false);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kSeguraBanco, arquivo);
        segura.setProcessEnvironment(env);
        segura.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(segura.waitForStarted());
        while (!segura.canReadLine() && segura.waitForReadyRead(30000)) {
        }
        QCOMPARE(segura.readLine().trimmed(), QByteArray("pronto"));
    } else if (caso == "servidor ausente") {
        nome = "127.0.0.1/1:" + arquivo;
    } else if (caso == "servidor senha") {
        nome = servidor + ":" + arquivo;
        Conexao::criaBanco(nome, UsuarioBanco(), SenhaBanco(), false);
        qputenv("VORNEX_DB_SENHA", "senha-errada");
    }
    if (caso.startsWith("servidor ") && caso != "servidor ausente")
        nome = servidor + ":" + arquivo;

    TDMCUNE dm;
    QString erro;
    const bool conectou = dm.ConectaBanco(nome, &erro);
    if (conectou && caso == "somente leitura")
        QSKIP("this file system lets the engine write a read-only file");
    QVERIFY(!conectou);
    QVERIFY(!erro.isEmpty());
    QVERIFY(!dm.IBDatabase.conectado());
    QCOMPARE(int(dm.Falha()), falha);
    const QString msg = dm.MensagemFalha();
    QVERIFY2(msg.startsWith(inicio), qPrintable(msg));
    if (falha == int(FalhaConexao::ArquivoAusente)) {
        QCOMPARE(msg, TDMCUNE::MensagemFalhaConexao(nome));
        QCOMPARE(msg, QString::fromUtf8("Não encontrado arquivo de banco de dados em ") + nome);
    } else {
        // A short sentence naming the database, then the server's own text.
        QVERIFY2(msg.contains(nome + QLatin1Char(' ')) || msg.contains(nome + QLatin1Char('.')), qPrintable(msg));
        QVERIFY2(msg.endsWith(QStringLiteral("\n\n") + erro.trimmed()), qPrintable(msg));
    }

    if (caso == "em uso") {
        segura.closeWriteChannel();
        QVERIFY(segura.waitForFinished(30000));
        QCOMPARE(segura.exitCode(), 0);
        // Free again once the other program has let go of it.
        QVERIFY2(dm.ConectaBanco(nome, &erro), qPrintable(erro));
        QVERIFY(dm.MensagemFalha().isEmpty());
    }
}

void TstConexao::formaDoNome_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<bool>("servidor");
    QTest::newRow("local") << "/dados/cune.fdb" << false;
    QTest::newRow("relativo") << "cune.fdb" << false;
    QTest::newRow("servidor linux") << "srv:/dados/cune.fdb" << true;
    QTest::newRow("servidor windows") << "server:c:\\dados\\X.FDB" << true;
    QTest::newRow("legado windows") << "C:\\dados\\X.FDB" << false;
}

void TstConexao::formaDoNome()
{
    QFETCH(QString, nome);
    QFETCH(bool, servidor);
    QCOMPARE(Conexao::ehServidor(nome), servidor);
}

void TstConexao::moduloDeDados()
{
    test::BancoTeste b;
    TDMCUNE dm;
    QCOMPARE(DMCUNE(), &dm);
    QVERIFY(dm.ConectaBanco(b.arquivo()));
    QVERIFY(dm.IBTransaction.ativa());
    // The free transaction does not see the main transaction's uncommitted work.
    dm.IBTransaction.executa("insert into clientes (codigo, nome) values ('4300001', 'A')");
    dm.IBQLivre.abre("select count(*) from clientes");
    QCOMPARE(dm.IBQLivre.campo(0).inteiro(), 0);
    dm.IBTransaction.commit();
    dm.IBTLivre.commit();
    dm.IBQLivre.abre("select count(*) from clientes");
    QCOMPARE(dm.IBQLivre.campo(0).inteiro(), 1);
    // Reconnecting discards open work.
    QVERIFY(dm.ConectaBanco(b.arquivo()));
    QVERIFY(dm.IBTransaction.ativa());
}

void TstConexao::servidorReal()
{
    if (test::PastaServidor::host().isEmpty())
        QSKIP("no Firebird server (scripts/test.sh starts one and sets VORNEX_TESTE_SERVIDOR)");
    const test::PastaServidor pasta;
    const QString nome = pasta.banco("servidor.fdb");
    QVERIFY(Conexao::ehServidor(nome));
    QCOMPARE(CriaBancoNovo(nome), VersaoEsquemaAtual());

    TDMCUNE dm;
    QString erro;
    QVERIFY2(dm.ConectaBanco(nome, &erro), qPrintable(erro));
    QCOMPARE(LeVersaoBanco(dm.IBTransaction), QString("2.28"));
    dm.IBTransaction.executa(QString::fromUtf8("insert into clientes (codigo, nome) values ('4300001', 'SÃO JOSÉ')"));
    dm.IBTransaction.commit();

    // A second workstation collides at once with an uncommitted change.
    Conexao outra;
    outra.conecta(nome, UsuarioBanco(), SenhaBanco());
    Transacao t2(outra);
    t2.executa("update clientes set nome='X' where codigo='4300001'");
    dm.IBTransaction.inicia();
    QElapsedTimer rel;
    rel.start();
    try {
        dm.IBTransaction.executa("update clientes set nome='Y' where codigo='4300001'");
        QFAIL("expected a lock conflict");
    } catch (const ErroBanco& e) {
        QVERIFY(e.conflitoBloqueio());
    }
    QVERIFY(rel.elapsed() < 2000);
    dm.IBTransaction.rollback();
    t2.rollback();
    QCOMPARE(outra.attachment() != nullptr, true);
    Transacao t3(outra);
    QCOMPARE(t3.valor("select nome from clientes").toString(), QString::fromUtf8("SÃO JOSÉ"));
    t3.rollback();
    outra.desconecta();
    dm.IBDatabase.desconecta();
    // A wrong password is refused by the server.
    Conexao errada;
    QVERIFY_THROWS_EXCEPTION(ErroBanco, errada.conecta(nome, UsuarioBanco(), "senha-errada"));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(kSeguraBanco))
        return seguraBanco(qEnvironmentVariable(kSeguraBanco));
    QCoreApplication app(argc, argv);
    TstConexao t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}
#include "tst_conexao.moc"
