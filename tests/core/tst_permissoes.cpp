// Menu tree, permission rows, role rules and the start-up decisions.
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/UVariaveis.h"
#include "support/Fixtures.h"

#include <QtTest>

using namespace vx;

class TstPermissoes : public QObject {
    Q_OBJECT
private slots:
    void listaPermissoes();
    void paisDasEntradas_data();
    void paisDasEntradas();
    void permissaoSim_data();
    void permissaoSim();
    void leMenusSemDistinguirCaixa();
    void retransmissao_data();
    void retransmissao();
    void dataUltRetransmissao();
    void cadastroRestrito_data();
    void cadastroRestrito();
    void cabecalho_data();
    void cabecalho();
    void calendario();
};

void TstPermissoes::listaPermissoes()
{
    const QStringList l = ListaPermissoesMenu();
    // Every named item appears once, separators never.
    const QStringList nomes = NomesMenuPrincipal();
    QCOMPARE(l.size(), nomes.size());
    QCOMPARE(QSet<QString>(nomes.begin(), nomes.end()).size(), l.size());
    QCOMPARE(l.first(), QStringLiteral("Municpios1"));
    QVERIFY(l.contains(QStringLiteral("   MarcaodeExames1")));
    QVERIFY(l.contains(QStringLiteral("   RetransmissodeAutorizaes1")));
    QVERIFY(l.contains(QStringLiteral("      Individual1")));
    QVERIFY(l.contains(QStringLiteral("      BPABoletimdaProduoAmbulatorial1")));
    QVERIFY(l.contains(QStringLiteral("   Relatrios4"))); // empty branch is still listed
    QCOMPARE(l.last(), QStringLiteral("   EncerraroSistema1"));
    for (const QString& e : l)
        QVERIFY2(!e.trimmed().isEmpty() && (e.startsWith(QLatin1String("      ")) || !e.startsWith(QLatin1String("    "))), qPrintable(e));
    // Names the screens register under must exist in the tree.
    for (const char* n : {"CadastrodePessoas1", "RealizaodeExames1", "ReimpressodeAutorizaesEnviadas1",
                          "Retransmissodeprocedimentosnoenviados1", "SeleodoCalendrioAtual1", "Agendamento2",
                          "CadastrodeUsurios1", "CadastrodeUnidadesdeAtendimento1"})
        QVERIFY2(NomesMenuPrincipal().contains(QLatin1String(n)), n);
    QCOMPARE(AncestraisMenu(QStringLiteral("Individual1")),
             QStringList({QStringLiteral("RetransmissodeAutorizaes1"), QStringLiteral("Municpios1")}));
    QVERIFY(AncestraisMenu(QStringLiteral("Financeiro1")).isEmpty());
}

void TstPermissoes::paisDasEntradas_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<QString>("pai");
    QTest::newRow("topo") << "Municpios1" << "Municpios1";
    QTest::newRow("nivel2") << "   CadastrodePessoas1" << "Municpios1";
    QTest::newRow("nivel3") << "      Coletivo1" << "Municpios1";
    QTest::newRow("outro ramo") << "      ContasPagas1" << "Financeiro1";
    QTest::newRow("sair") << "   EncerraroSistema1" << "Sair1";
}

void TstPermissoes::paisDasEntradas()
{
    QFETCH(QString, entrada);
    QFETCH(QString, pai);
    const QStringList l = ListaPermissoesMenu();
    const QStringList p = PaisPermissoes(l);
    QCOMPARE(p.size(), l.size());
    QCOMPARE(p.at(l.indexOf(entrada)), pai);
    // A parent longer than 50 characters is cut.
    const QString longo(60, QLatin1Char('X'));
    QCOMPARE(PaisPermissoes({longo, QStringLiteral("   a")}).at(1), longo.left(50));
}

void TstPermissoes::permissaoSim_data()
{
    QTest::addColumn<QString>("valor");
    QTest::addColumn<bool>("sim");
    QTest::newRow("True") << "True" << true;
    QTest::newRow("true") << "true" << true;
    QTest::newRow("T") << "T" << true;
    QTest::newRow("Yes") << "Yes" << true;
    QTest::newRow("y") << "y" << true;
    QTest::newRow("False") << "False" << false;
    QTest::newRow("vazio") << "" << false;
    QTest::newRow("N") << "N" << false;
    QTest::newRow("S") << "S" << false;
    QTest::newRow("branco antes") << " True" << false;
    QTest::newRow("Tudo") << "Tx" << true;
}

void TstPermissoes::permissaoSim()
{
    QFETCH(QString, valor);
    QFETCH(bool, sim);
    QCOMPARE(PermissaoSim(valor), sim);
}

void TstPermissoes::leMenusSemDistinguirCaixa()
{
    test::BancoTeste b;
    b.executa(QStringLiteral("insert into usuarios (usuario, senha) values ('ana', 'x')"));
    b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('ana', 'Municpios1', 'Municpios1', 'False')"));
    b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('ana', '   CadastrodePessoas1', 'Municpios1', 'True')"));
    const QVector<LinhaMenu> l = LeMenusUsuario(b.tr(), QStringLiteral("ANA"));
    b.tr().commit();
    QCOMPARE(l.size(), 2);
    QCOMPARE(MenusOcultos(l, QSet<QString>{QStringLiteral("Municpios1"), QStringLiteral("CadastrodePessoas1")}),
             QStringList{QStringLiteral("Municpios1")});
    QVERIFY(LeMenusUsuario(b.tr(), QStringLiteral("o'brien")).isEmpty());
    b.tr().commit();
}

void TstPermissoes::retransmissao_data()
{
    QTest::addColumn<QString>("papel");
    QTest::addColumn<QDate>("ultima");
    QTest::addColumn<bool>("abre");
    const QDate hoje(2026, 12, 9);
    QTest::newRow("municipio data nula") << "M" << QDate() << true;
    QTest::newRow("municipio mesma data") << "M" << hoje << false;
    QTest::newRow("municipio ontem") << "M" << hoje.addDays(-1) << true;
    QTest::newRow("municipio data futura") << "M" << hoje.addDays(1) << false;
    QTest::newRow("entidade data nula") << "E" << QDate() << true;
    QTest::newRow("profissional mesma data") << "P" << hoje << false;
    QTest::newRow("consorcio nunca") << "C" << QDate() << false;
    QTest::newRow("consorcio ontem") << "C" << hoje.addDays(-1) << false;
}

void TstPermissoes::retransmissao()
{
    QFETCH(QString, papel);
    QFETCH(QDate, ultima);
    QFETCH(bool, abre);
    QCOMPARE(DeveRetransmitir(papel.at(0), QDate(2026, 12, 9), ultima), abre);
}

void TstPermissoes::dataUltRetransmissao()
{
    test::BancoTeste b;
    b.executa(QStringLiteral("update tabdiv set dataultretransmissao=null"));
    QVERIFY(!LeDataUltRetransmissao(b.tr()).isValid());
    b.executa(QStringLiteral("update tabdiv set dataultretransmissao='2026-12-09'"));
    QCOMPARE(LeDataUltRetransmissao(b.tr()), QDate(2026, 12, 9));
    b.tr().commit();
}

void TstPermissoes::cadastroRestrito_data()
{
    QTest::addColumn<QString>("instalacao");
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<bool>("pode");
    QTest::newRow("4310207 recepcao") << "M4310207" << "recepcao" << false;
    QTest::newRow("4310207 adm2") << "M4310207" << "adm2" << true;
    QTest::newRow("4310207 admin maiusculo") << "M4310207" << "Admin" << true;
    QTest::newRow("4310207 minusculo") << "m4310207" << "recepcao" << false;
    QTest::newRow("4310207 vazio") << "M4310207" << "" << false;
    QTest::newRow("outro municipio") << "M4314902" << "recepcao" << true;
    QTest::newRow("consorcio") << "C4310207" << "recepcao" << true;
    QTest::newRow("entidade") << "E4310207" << "recepcao" << true;
}

void TstPermissoes::cadastroRestrito()
{
    QFETCH(QString, instalacao);
    QFETCH(QString, usuario);
    QFETCH(bool, pode);
    QCOMPARE(PodeAbrirCadastroRestrito(instalacao, usuario), pode);
}

void TstPermissoes::cabecalho_data()
{
    QTest::addColumn<QString>("instalacao");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("consorcio") << "CUNE" << "CUNE";
    QTest::newRow("municipio") << "M4314902" << "Município de PORTO ALEGRE";
    QTest::newRow("municipio minusculo") << "m4314902" << "Município de PORTO ALEGRE";
    QTest::newRow("municipio desconhecido") << "M9999999" << "Município de ";
    QTest::newRow("entidade") << "E12" << "Ent. CLINICA SAO JOSE LTDA";
    QTest::newRow("profissional") << "P7" << "Prof. ANA PAULA";
    QTest::newRow("profissional codigo invalido") << "PX'1" << "Prof. ";
    QTest::newRow("vazio") << "" << "";
}

void TstPermissoes::cabecalho()
{
    QFETCH(QString, instalacao);
    QFETCH(QString, esperado);
    test::BancoTeste b;
    b.executa(QStringLiteral("insert into ibgemunic (codigo, cidade, uf) values ('4314902', 'PORTO ALEGRE', 'RS')"));
    b.executa(QStringLiteral("insert into entidades (codigo, razaosocial) values (12, 'CLINICA SAO JOSE LTDA')"));
    b.executa(QStringLiteral("insert into profissionais (codigo, nome) values (7, 'ANA PAULA')"));
    QCOMPARE(CabecalhoInstalacao(b.tr(), instalacao), esperado);
}

void TstPermissoes::calendario()
{
    test::BancoTeste b;
    SessaoAtual().CalendarioAtual = {QStringLiteral("01/01/2020"), QStringLiteral("31/01/2020"), QStringLiteral("velho")};
    VerCalendario(b.tr());
    QVERIFY(SessaoAtual().CalendarioAtual.inicio.isEmpty());
    QVERIFY(SessaoAtual().CalendarioAtual.fim.isEmpty());
    QVERIFY(LinhaCalendario().isEmpty());
    b.executa(QStringLiteral("insert into calendarios (datainicial, datafinal, descricao, selecao) "
                             "values ('2026-11-21', '2026-12-20', 'DEZEMBRO/2026', 'S')"));
    b.executa(QStringLiteral("insert into calendarios (datainicial, datafinal, descricao, selecao) "
                             "values ('2026-10-21', '2026-11-20', 'NOVEMBRO/2026', 'N')"));
    VerCalendario(b.tr());
    QCOMPARE(SessaoAtual().CalendarioAtual.inicio, QStringLiteral("21/11/2026"));
    QCOMPARE(SessaoAtual().CalendarioAtual.fim, QStringLiteral("20/12/2026"));
    QCOMPARE(LinhaCalendario(), QStringLiteral("Calendário: DEZEMBRO/2026 (21/11/2026 a 20/12/2026)"));
    b.tr().commit();
}

QTEST_GUILESS_MAIN(TstPermissoes)
#include "tst_permissoes.moc"
