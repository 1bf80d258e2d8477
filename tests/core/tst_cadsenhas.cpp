// User registry screen: labels, ticks per user, the unit field rule and the actions.
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/TFCadSenhas.h"
#include "core/TFprincipal.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "support/Fixtures.h"
#include "support/RoteiroMensagens.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QtTest>

using namespace vx;

namespace {
struct Ambiente {
    test::BancoTeste b;
    std::unique_ptr<TDMCUNE> dm;
    explicit Ambiente(const QString& logado = QStringLiteral("admin"))
    {
        test::InstalaConfiguracao(b.pasta(), {QStringLiteral("USUARIO=CUNE"), QStringLiteral("DATABASE=") + b.arquivo()});
        dm = std::make_unique<TDMCUNE>();
        DefineDMCUNE(dm.get());
        QVERIFY(dm->ConectaBanco(b.arquivo()));
        SessaoAtual() = Sessao{};
        SessaoAtual().DataAtual = QStringLiteral("09/12/2026");
        SessaoAtual().UsuarioLogado = logado;
        CarregaIdentidade();
        b.executa(QStringLiteral("insert into unidades (codigo, nome) values (3, 'POSTO CENTRO')"));
    }
    ~Ambiente()
    {
        if (TFCadSenhas* t = TFCadSenhas::instancia())
            delete t;
        dm.reset();
        SessaoAtual() = Sessao{};
    }
};

QStringList marcadas(const TFCadSenhas* t)
{
    QStringList r;
    const QStringList e = t->entradas();
    const QVector<bool> m = t->marcas();
    for (int i = 0; i < e.size(); ++i)
        if (m.at(i))
            r << e.at(i);
    return r;
}
} // namespace

class TstCadSenhas : public QObject {
    Q_OBJECT
private slots:
    void listaDaJanela();
    void rotulosPorUsuario();
    void marcasNaoPassamEntreUsuarios();
    void campoUnidade_data();
    void campoUnidade();
    void gravaPelaTela();
    void senhaAtualErrada();
    void usuarioObrigatorio();
    void excluiPelaTela();
    void galeria();
};

void TstCadSenhas::listaDaJanela()
{
    Ambiente amb;
    TFprincipal w;
    TFCadSenhas* t = TFCadSenhas::Abre();
    // Built from the window's menu: the same list as the designed tree, separators skipped.
    QCOMPARE(t->entradas(), ListaPermissoesMenu());
    QCOMPARE(t->windowTitle(), QStringLiteral("Cadastro de Usuários e Senhas"));
    QCOMPARE(TFCadSenhas::Abre(), t); // one instance
}

void TstCadSenhas::rotulosPorUsuario()
{
    Ambiente amb;
    amb.b.executa(QStringLiteral("insert into usuarios (usuario, senha, codunidade, podefaturar) values ('ana', 'x', 3, 'S')"));
    TFCadSenhas t;
    t.PEUsuario()->setText(QStringLiteral("ana"));
    t.PEUsuarioExit();
    QCOMPARE(t.LInfo()->text(), QStringLiteral("(Usuário já cadastrado)"));
    QCOMPARE(t.LSenha()->text(), QStringLiteral("Senha Atual:"));
    QCOMPARE(t.LConfirmaSenha()->text(), QStringLiteral("Nova Senha:"));
    QVERIFY(t.CBPodeFaturar()->isChecked());
    QCOMPARE(t.PECodUnidade()->text(), QStringLiteral("3"));
    QCOMPARE(t.LNomeUnidade()->text(), QStringLiteral("POSTO CENTRO"));
    t.PEUsuario()->setText(QStringLiteral("novo"));
    t.PEUsuarioExit();
    QCOMPARE(t.LInfo()->text(), QStringLiteral("(Usuário Novo)"));
    QCOMPARE(t.LSenha()->text(), QStringLiteral("Nova Senha:"));
    QCOMPARE(t.LConfirmaSenha()->text(), QStringLiteral("Repetir Senha:"));
    QVERIFY(!t.CBPodeFaturar()->isChecked());
}

void TstCadSenhas::marcasNaoPassamEntreUsuarios()
{
    Ambiente amb;
    amb.b.executa(QStringLiteral("insert into usuarios (usuario, senha) values ('ana', 'x')"));
    amb.b.executa(QStringLiteral("insert into usuarios (usuario, senha) values ('bia', 'x')"));
    amb.b.executa(QStringLiteral("insert into usuarios (usuario, senha) values ('antigo', 'x')"));
    amb.b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('ana', 'Municpios1', 'Municpios1', 'True')"));
    amb.b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('ana', '   CadastrodePessoas1', 'Municpios1', 'True')"));
    amb.b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('ana', 'Sair1', 'Sair1', 'False')"));
    amb.b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('bia', 'Sair1', 'Sair1', 'True')"));
    TFCadSenhas t;
    t.PEUsuario()->setText(QStringLiteral("ana"));
    t.PEUsuarioExit();
    QCOMPARE(marcadas(&t), QStringList({QStringLiteral("Municpios1"), QStringLiteral("   CadastrodePessoas1")}));
    t.PEUsuario()->setText(QStringLiteral("bia"));
    t.PEUsuarioExit();
    QCOMPARE(marcadas(&t), QStringList{QStringLiteral("Sair1")});
    // A user from before the permissions sees every item: the list shows it so.
    t.PEUsuario()->setText(QStringLiteral("antigo"));
    t.PEUsuarioExit();
    QCOMPARE(marcadas(&t).size(), t.entradas().size());
    t.PEUsuario()->setText(QStringLiteral("novo"));
    t.PEUsuarioExit();
    QVERIFY(marcadas(&t).isEmpty());
    // "Selecionar todos" ticks and unticks every entry.
    t.CheckBox1()->click();
    QCOMPARE(marcadas(&t).size(), t.entradas().size());
    t.CheckBox1()->click();
    QVERIFY(marcadas(&t).isEmpty());
}

void TstCadSenhas::campoUnidade_data()
{
    QTest::addColumn<QString>("logado");
    QTest::addColumn<bool>("habilitado");
    QTest::newRow("admin") << "admin" << true;
    QTest::newRow("ADM no meio") << "joaoadm" << true;
    QTest::newRow("outro") << "recepcao" << false;
}

void TstCadSenhas::campoUnidade()
{
    QFETCH(QString, logado);
    QFETCH(bool, habilitado);
    Ambiente amb(logado);
    TFCadSenhas t;
    QCOMPARE(t.PECodUnidade()->isEnabled(), habilitado);
    QCOMPARE(t.SBUnidade()->isEnabled(), habilitado);
}

void TstCadSenhas::gravaPelaTela()
{
    Ambiente amb;
    test::RoteiroMensagens msgs;
    TFCadSenhas t;
    t.PEUsuario()->setText(QStringLiteral("ana"));
    t.PEUsuarioExit();
    t.PESenha()->setText(QStringLiteral("abc"));
    t.PEConfirmaSenha()->setText(QStringLiteral("abc"));
    t.PECodUnidade()->setText(QStringLiteral("3"));
    t.CBPodeFaturar()->setChecked(true);
    t.setMarca(QStringLiteral("Municpios1"), true);
    t.setMarca(QStringLiteral("      Individual1"), true);
    t.PBtnGravar()->executa();
    QCOMPARE(msgs.quantidade(), 0);
    QVERIFY(t.PEUsuario()->text().isEmpty());
    QVERIFY(marcadas(&t).isEmpty());
    QCOMPARE(amb.b.valor(QStringLiteral("select count(*) from menus where usuario='ana' and permissao='True'")).toInt(), 2);
    QCOMPARE(amb.b.valor(QStringLiteral("select count(*) from menus where usuario='ana'")).toInt(), t.entradas().size());
    QCOMPARE(amb.b.valor(QStringLiteral("select outrasinfo from logs where situacao='I'")).toString(), QStringLiteral("ana-3"));
    // Saving again with the password fields empty keeps the password.
    t.PEUsuario()->setText(QStringLiteral("ana"));
    t.PEUsuarioExit();
    QCOMPARE(marcadas(&t), QStringList({QStringLiteral("Municpios1"), QStringLiteral("      Individual1")}));
    t.PBtnGravar()->executa();
    QCOMPARE(amb.b.valor(QStringLiteral("select senha from usuarios where usuario='ana'")).toString(), QStringLiteral("abc"));
    QCOMPARE(amb.b.valor(QStringLiteral("select count(*) from menus where usuario='ana' and permissao='True'")).toInt(), 2);
}

void TstCadSenhas::senhaAtualErrada()
{
    Ambiente amb;
    amb.b.executa(QStringLiteral("insert into usuarios (usuario, senha) values ('ana', 'velha')"));
    test::RoteiroMensagens msgs;
    TFCadSenhas t;
    t.PEUsuario()->setText(QStringLiteral("ana"));
    t.PEUsuarioExit();
    t.PESenha()->setText(QStringLiteral("errada"));
    t.PEConfirmaSenha()->setText(QStringLiteral("nova"));
    t.PBtnGravar()->executa();
    QCOMPARE(msgs.textos(), QStringList{QStringLiteral("Para alterar este usuário insira a senha correta no campo [Senha Atual]")});
    QCOMPARE(msgs.ultima().titulo, QString());
    QCOMPARE(t.PEUsuario()->text(), QStringLiteral("ana")); // nothing cleared
    QVERIFY(t.PBtnGravar()->isEnabled());
    QCOMPARE(amb.b.valor(QStringLiteral("select senha from usuarios")).toString(), QStringLiteral("velha"));
}

void TstCadSenhas::usuarioObrigatorio()
{
    Ambiente amb;
    test::RoteiroMensagens msgs;
    TFCadSenhas t;
    t.PBtnGravar()->executa();
    QCOMPARE(msgs.quantidade(), 1);
    QVERIFY(msgs.ultima().texto.contains(QStringLiteral("Usuário:")));
    QCOMPARE(amb.b.valor(QStringLiteral("select count(*) from usuarios")).toInt(), 0);
}

void TstCadSenhas::excluiPelaTela()
{
    Ambiente amb;
    amb.b.executa(QStringLiteral("insert into usuarios (usuario, senha) values ('ana', 'x')"));
    amb.b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('ana', 'Sair1', 'Sair1', 'True')"));
    test::RoteiroMensagens msgs;
    TFCadSenhas t;
    t.PBtnExcluir()->executa(); // empty name: nothing
    t.PEUsuario()->setText(QStringLiteral("ana"));
    t.PBtnExcluir()->executa();
    QCOMPARE(msgs.quantidade(), 0); // no confirmation
    QVERIFY(t.PEUsuario()->text().isEmpty());
    QCOMPARE(amb.b.valor(QStringLiteral("select count(*) from usuarios")).toInt(), 0);
    QCOMPARE(amb.b.valor(QStringLiteral("select count(*) from menus")).toInt(), 0);
    QCOMPARE(amb.b.valor(QStringLiteral("select count(*) from logs where situacao='E'")).toInt(), 1);
}

void TstCadSenhas::galeria()
{
    Ambiente amb;
    amb.b.executa(QStringLiteral("insert into usuarios (usuario, senha, codunidade, podefaturar) values ('ana', 'x', 3, 'S')"));
    amb.b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('ana', 'Municpios1', 'Municpios1', 'True')"));
    amb.b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('ana', '   MarcaodeExames1', 'Municpios1', 'True')"));
    TFprincipal w;
    TFCadSenhas* t = TFCadSenhas::Abre();
    t->setFechaAoPerderFoco(false);
    QVERIFY(QTest::qWaitForWindowExposed(t));
    t->PEUsuario()->setText(QStringLiteral("ana"));
    t->PEUsuarioExit();
    t->PESenha()->setText(QStringLiteral("x"));
    QVERIFY(t->grab().save(test::PastaTelas() + QStringLiteral("/cadastro_usuarios.png")));
}

QTEST_MAIN(TstCadSenhas)
#include "tst_cadsenhas.moc"
