// Login check, the version stamp and the audit-log row.
#include "core/Banco.h"
#include "core/Login.h"
#include "core/RegistraLog.h"
#include "core/UVariaveis.h"
#include "support/Fixtures.h"

#include <QtTest>

using namespace vx;

class TstLogin : public QObject {
    Q_OBJECT
private slots:
    void verifica_data();
    void verifica();
    void versaoExe_data();
    void versaoExe();
    void logNaTransacaoDoChamador();
};

void TstLogin::verifica_data()
{
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("senha");
    QTest::addColumn<int>("resultado");
    QTest::newRow("exato") << "maria" << "segredo" << int(ResultadoLogin::Usuario);
    QTest::newRow("nome em maiusculas") << "MARIA" << "segredo" << int(ResultadoLogin::Usuario);
    QTest::newRow("senha em qualquer caixa") << "Maria" << "SeGrEdO" << int(ResultadoLogin::Usuario);
    QTest::newRow("senha errada") << "maria" << "errada" << int(ResultadoLogin::Recusado);
    QTest::newRow("senha vazia") << "maria" << "" << int(ResultadoLogin::Recusado);
    QTest::newRow("desconhecido") << "joao" << "segredo" << int(ResultadoLogin::Recusado);
    QTest::newRow("aspas") << "o'brien" << "x' or '1'='1" << int(ResultadoLogin::Recusado);
    QTest::newRow("usuario com aspas cadastrado") << "d'avila" << "a'b" << int(ResultadoLogin::Usuario);
    QTest::newRow("nome vazio") << "" << "segredo" << int(ResultadoLogin::Vazio);
    QTest::newRow("manutencao nome desconhecido") << "qualquer" << "kvmrtz" << int(ResultadoLogin::Manutencao);
    QTest::newRow("manutencao usuario cadastrado") << "maria" << "kvmrtz" << int(ResultadoLogin::Manutencao);
    QTest::newRow("manutencao maiusculas") << "x" << "KVMRTZ" << int(ResultadoLogin::Manutencao);
    QTest::newRow("quase manutencao") << "x" << "kvmrt" << int(ResultadoLogin::Recusado);
}

void TstLogin::verifica()
{
    QFETCH(QString, usuario);
    QFETCH(QString, senha);
    QFETCH(int, resultado);
    test::BancoTeste b;
    b.executa(QStringLiteral("insert into usuarios (usuario, senha) values ('maria', 'segredo')"));
    b.executa(QStringLiteral("insert into usuarios (usuario, senha) values ('d''avila', 'a''b')"));
    QCOMPARE(int(VerificaLogin(b.tr(), usuario, senha)), resultado);
    b.tr().commit();
}

void TstLogin::versaoExe_data()
{
    QTest::addColumn<bool>("comLinha");
    QTest::newRow("tabdiv com linha") << true;
    QTest::newRow("tabdiv vazia") << false;
}

void TstLogin::versaoExe()
{
    QFETCH(bool, comLinha);
    test::BancoTeste b;
    if (!comLinha)
        b.executa(QStringLiteral("delete from tabdiv"));
    else
        b.executa(QStringLiteral("update tabdiv set versaoexe='1.00'"));
    const QString versaoBanco = b.valor(QStringLiteral("select versaobanco from tabdiv")).toString();
    // An uncommitted change elsewhere on the same connection does not stop the stamp.
    b.tr().inicia();
    GravaVersaoExe(b.conexao(), QStringLiteral("2.28"));
    b.tr().rollback();
    QCOMPARE(b.valor(QStringLiteral("select count(*) from tabdiv")).toInt(), 1);
    QCOMPARE(b.valor(QStringLiteral("select versaoexe from tabdiv")).toString(), QStringLiteral("2.28"));
    QCOMPARE(b.valor(QStringLiteral("select versaobanco from tabdiv")).toString(), versaoBanco);
}

void TstLogin::logNaTransacaoDoChamador()
{
    test::BancoTeste b;
    SessaoAtual().UsuarioLogado = QStringLiteral("maria");
    b.tr().inicia();
    RegistraLog(b.tr(), QStringLiteral("Usuarios"), QStringLiteral("i"), QStringLiteral("desfeito"));
    b.tr().rollback();
    QCOMPARE(b.valor(QStringLiteral("select count(*) from logs")).toInt(), 0);

    b.tr().inicia();
    RegistraLog(b.tr(), QStringLiteral("Pessoas"), QStringLiteral("u"), QStringLiteral("O'Brien - 12"));
    b.tr().commit();
    b.tr().inicia();
    Consulta q(b.tr());
    q.abre(QStringLiteral("select * from logs"));
    QVERIFY(!q.eof());
    QCOMPARE(q.campo(QStringLiteral("USUARIO")).texto(), QStringLiteral("maria"));
    QCOMPARE(q.campo(QStringLiteral("TABELA")).texto(), QStringLiteral("Pessoas"));
    QCOMPARE(q.campo(QStringLiteral("SITUACAO")).texto(), QStringLiteral("U"));
    QCOMPARE(q.campo(QStringLiteral("OUTRASINFO")).texto(), QStringLiteral("O'Brien - 12"));
    const QDateTime dh = q.campo(QStringLiteral("DATAHORA")).dataHora();
    QCOMPARE(dh.time().second(), 0);
    QVERIFY(qAbs(dh.secsTo(QDateTime::currentDateTime())) < 120);
    q.fecha();
    b.tr().commit();
    SessaoAtual().UsuarioLogado.clear();
}

QTEST_GUILESS_MAIN(TstLogin)
#include "tst_login.moc"
