#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/schema/Cadeia.h"
#include "core/schema/Esquema.h"
#include "support/Fixtures.h"

#include <QtTest>

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

void TstConexao::falhaDeConexao_data()
{
    QTest::addColumn<QString>("nome");
    QTest::newRow("vazio") << "";
    QTest::newRow("arquivo ausente") << "/tmp/nao-existe-vornex/x.fdb";
    QTest::newRow("servidor ausente") << "127.0.0.1/1:/tmp/x.fdb";
}

void TstConexao::falhaDeConexao()
{
    QFETCH(QString, nome);
    TDMCUNE dm;
    QString erro;
    QVERIFY(!dm.ConectaBanco(nome, &erro));
    QVERIFY(!erro.isEmpty());
    QVERIFY(!dm.IBDatabase.conectado());
    QCOMPARE(TDMCUNE::MensagemFalhaConexao(nome),
             QString::fromUtf8("Não encontrado arquivo de banco de dados em ") + nome);
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
    const QString host = qEnvironmentVariable("VORNEX_TESTE_SERVIDOR");
    if (host.isEmpty())
        QSKIP("no Firebird server (scripts/test.sh starts one and sets VORNEX_TESTE_SERVIDOR)");
    // The server process must be able to write the folder.
    QTemporaryDir d(QDir::tempPath() + "/vornex-srv-XXXXXX");
    QFile::setPermissions(d.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther |
                                        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup);
    const QString nome = host + ":" + d.filePath("servidor.fdb");
    QVERIFY(Conexao::ehServidor(nome));
    QCOMPARE(CriaBancoNovo(nome), VersaoEsquemaAtual());

    TDMCUNE dm;
    QString erro;
    QVERIFY2(dm.ConectaBanco(nome, &erro), qPrintable(erro));
    QCOMPARE(LeVersaoBanco(dm.IBTransaction), QString("2.27"));
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

QTEST_GUILESS_MAIN(TstConexao)
#include "tst_conexao.moc"
