// User registry: saving and deleting users with their menu permissions.
#include "core/Banco.h"
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/Usuarios.h"
#include "support/Fixtures.h"

#include <QtTest>

using namespace vx;

namespace {
const QStringList kEntradas{QStringLiteral("Municpios1"), QStringLiteral("   MarcaodeExames1"),
                            QStringLiteral("   RetransmissodeAutorizaes1"), QStringLiteral("      Individual1"),
                            QStringLiteral("Sair1"), QStringLiteral("   EncerraroSistema1")};

GravacaoUsuario grav(const QString& usuario, const QString& senha, const QString& confirma,
                     QVector<bool> marcas = QVector<bool>(kEntradas.size(), false))
{
    GravacaoUsuario g;
    g.usuario = usuario;
    g.senha = senha;
    g.confirmaSenha = confirma;
    g.entradas = kEntradas;
    g.marcadas = std::move(marcas);
    return g;
}
} // namespace

class TstUsuarios : public QObject {
    Q_OBJECT
private slots:
    void init() { SessaoAtual().UsuarioLogado = QStringLiteral("admin"); }
    void novoUsuario();
    void senhasNaoConferem();
    void alteraSenha_data();
    void alteraSenha();
    void unidadeInvalidaNaoGrava();
    void excluiComPermissoes();
    void marcas_data();
    void marcas();
    void listaCompletaGravada();
};

void TstUsuarios::novoUsuario()
{
    test::BancoTeste b;
    b.executa(QStringLiteral("insert into unidades (codigo, nome) values (3, 'POSTO CENTRO')"));
    GravacaoUsuario g = grav(QStringLiteral("ana"), QStringLiteral("abc"), QStringLiteral("abc"),
                             {true, false, true, false, true, true});
    g.codUnidade = QStringLiteral("3");
    g.podeFaturar = true;
    QCOMPARE(GravaUsuario(b.tr(), g), QString());
    QCOMPARE(b.valor(QStringLiteral("select senha from usuarios where usuario='ana'")).toString(), QStringLiteral("abc"));
    QCOMPARE(b.valor(QStringLiteral("select codunidade from usuarios where usuario='ana'")).toInt(), 3);
    QCOMPARE(b.valor(QStringLiteral("select podefaturar from usuarios where usuario='ana'")).toString(), QStringLiteral("S"));
    // One row per entry, with the indentation, the top-level parent and True/False.
    QCOMPARE(b.valor(QStringLiteral("select count(*) from menus where usuario='ana'")).toInt(), kEntradas.size());
    QCOMPARE(b.valor(QStringLiteral("select pai from menus where menu='      Individual1'")).toString(), QStringLiteral("Municpios1"));
    QCOMPARE(b.valor(QStringLiteral("select permissao from menus where menu='      Individual1'")).toString(), QStringLiteral("False"));
    QCOMPARE(b.valor(QStringLiteral("select permissao from menus where menu='   RetransmissodeAutorizaes1'")).toString(), QStringLiteral("True"));
    QCOMPARE(b.valor(QStringLiteral("select pai from menus where menu='Sair1'")).toString(), QStringLiteral("Sair1"));
    QCOMPARE(b.valor(QStringLiteral("select outrasinfo from logs where tabela='Usuarios' and situacao='I' and usuario='admin'")).toString(),
             QStringLiteral("ana-3"));
}

void TstUsuarios::senhasNaoConferem()
{
    test::BancoTeste b;
    QCOMPARE(GravaUsuario(b.tr(), grav(QStringLiteral("ana"), QStringLiteral("abc"), QStringLiteral("abd"))),
             QString::fromUtf8(kMsgSenhasNaoConferem));
    QCOMPARE(b.valor(QStringLiteral("select count(*) from usuarios")).toInt(), 0);
    QCOMPARE(b.valor(QStringLiteral("select count(*) from logs")).toInt(), 0);
}

void TstUsuarios::alteraSenha_data()
{
    QTest::addColumn<QString>("atual");
    QTest::addColumn<QString>("nova");
    QTest::addColumn<QString>("mensagem");
    QTest::addColumn<QString>("senhaFinal");
    QTest::newRow("senha atual correta") << "velha" << "nova" << "" << "nova";
    QTest::newRow("senha atual vazia troca") << "" << "nova" << "" << "nova";
    QTest::newRow("ambas vazias mantem") << "" << "" << "" << "velha";
    QTest::newRow("senha atual correta sem nova") << "velha" << "" << "" << "velha";
    QTest::newRow("senha atual errada") << "outra" << "nova" << QString::fromUtf8(kMsgSenhaAtualErrada) << "velha";
    QTest::newRow("caixa diferente conta como errada") << "VELHA" << "nova" << QString::fromUtf8(kMsgSenhaAtualErrada) << "velha";
}

void TstUsuarios::alteraSenha()
{
    QFETCH(QString, atual);
    QFETCH(QString, nova);
    QFETCH(QString, mensagem);
    QFETCH(QString, senhaFinal);
    test::BancoTeste b;
    b.executa(QStringLiteral("insert into usuarios (usuario, senha, podefaturar) values ('ana', 'velha', 'S')"));
    QCOMPARE(GravaUsuario(b.tr(), grav(QStringLiteral("ana"), atual, nova)), mensagem);
    QCOMPARE(b.valor(QStringLiteral("select senha from usuarios where usuario='ana'")).toString(), senhaFinal);
    const int logs = b.valor(QStringLiteral("select count(*) from logs where situacao='U'")).toInt();
    QCOMPARE(logs, mensagem.isEmpty() ? 1 : 0);
    if (mensagem.isEmpty())
        QCOMPARE(b.valor(QStringLiteral("select podefaturar from usuarios where usuario='ana'")).toString(), QStringLiteral("N"));
}

void TstUsuarios::unidadeInvalidaNaoGrava()
{
    test::BancoTeste b;
    GravacaoUsuario g = grav(QStringLiteral("ana"), QStringLiteral("a"), QStringLiteral("a"));
    g.codUnidade = QStringLiteral("1 or 1=1");
    QVERIFY_THROWS_EXCEPTION(ErroValor, GravaUsuario(b.tr(), g));
    QVERIFY(!b.tr().ativa());
    QCOMPARE(b.valor(QStringLiteral("select count(*) from usuarios")).toInt(), 0);
    // A failing statement leaves nothing written, not even the log row.
    g.codUnidade.clear();
    g.usuario = QStringLiteral("nomecomdezesseis");
    QVERIFY_THROWS_EXCEPTION(ErroBanco, GravaUsuario(b.tr(), g));
    QCOMPARE(b.valor(QStringLiteral("select count(*) from usuarios")).toInt(), 0);
    QCOMPARE(b.valor(QStringLiteral("select count(*) from menus")).toInt(), 0);
    QCOMPARE(b.valor(QStringLiteral("select count(*) from logs")).toInt(), 0);
}

void TstUsuarios::excluiComPermissoes()
{
    test::BancoTeste b;
    QCOMPARE(GravaUsuario(b.tr(), grav(QStringLiteral("ana"), QStringLiteral("a"), QStringLiteral("a"))), QString());
    QCOMPARE(b.valor(QStringLiteral("select count(*) from menus")).toInt(), kEntradas.size());
    ExcluiUsuario(b.tr(), QStringLiteral("ana"));
    QCOMPARE(b.valor(QStringLiteral("select count(*) from usuarios")).toInt(), 0);
    QCOMPARE(b.valor(QStringLiteral("select count(*) from menus")).toInt(), 0);
    QCOMPARE(b.valor(QStringLiteral("select outrasinfo from logs where situacao='E'")).toString(), QStringLiteral("ana"));
}

void TstUsuarios::marcas_data()
{
    QTest::addColumn<QStringList>("linhas"); // "menu=permissao"
    QTest::addColumn<bool>("existe");
    QTest::addColumn<QVector<bool>>("esperado");
    QTest::newRow("novo: nada marcado") << QStringList{} << false << QVector<bool>(kEntradas.size(), false);
    QTest::newRow("sem linhas: tudo marcado") << QStringList{} << true << QVector<bool>(kEntradas.size(), true);
    QTest::newRow("linhas mistas") << QStringList{"Municpios1=True", "   MarcaodeExames1=False", "      Individual1=Y", "Sair1=False"}
                                   << true << QVector<bool>{true, false, false, true, false, false};
}

void TstUsuarios::marcas()
{
    QFETCH(QStringList, linhas);
    QFETCH(bool, existe);
    QFETCH(QVector<bool>, esperado);
    test::BancoTeste b;
    if (existe)
        b.executa(QStringLiteral("insert into usuarios (usuario, senha) values ('ana', 'a')"));
    for (const QString& l : linhas) {
        const QStringList p = l.split(QLatin1Char('='));
        b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('ana', %1, 'x', %2)")
                      .arg(SqlTexto(p.at(0)), SqlTexto(p.at(1))));
    }
    const DadosUsuario u = CarregaUsuario(b.tr(), QStringLiteral("ana"));
    b.tr().commit();
    QCOMPARE(u.existe, existe);
    QCOMPARE(MarcasUsuario(u, kEntradas), esperado);
}

void TstUsuarios::listaCompletaGravada()
{
    // The whole main menu fits the MENUS columns.
    test::BancoTeste b;
    const QStringList l = ListaPermissoesMenu();
    GravacaoUsuario g = grav(QStringLiteral("ana"), QStringLiteral("a"), QStringLiteral("a"), QVector<bool>(l.size(), true));
    g.entradas = l;
    QCOMPARE(GravaUsuario(b.tr(), g), QString());
    QCOMPARE(b.valor(QStringLiteral("select count(*) from menus where permissao='True'")).toInt(), l.size());
}

QTEST_GUILESS_MAIN(TstUsuarios)
#include "tst_usuarios.moc"
