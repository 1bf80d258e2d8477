// The care-unit registry and its limits, driven offscreen on a real database.
#include "core/MenuPrincipal.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "registries/TFCadUnidades.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QRadioButton>
#include <QtTest>

using namespace vx;

namespace {
const QString kInicio = QStringLiteral("01/03/2024");
const QString kFim = QStringLiteral("31/03/2024");

struct Tela {
    test::AmbienteTela a;
    TFCadUnidades* t;
    explicit Tela(const QString& usuario = QStringLiteral("admin"))
    {
        SessaoAtual().UsuarioLogado = usuario;
        a.b.executa("insert into unidades (codigo, nome) values (3, 'POSTO CENTRAL DE SAUDE DA VILA')");
        a.b.executa("insert into unidades (codigo, nome) values (5, 'CLINICA NORTE')");
        TelaRegistrada(QStringLiteral("CadastrodeUnidadesdeAtendimento1"))();
        t = test::AbreTelaTeste(InstanciaTela<TFCadUnidades>());
    }
    ~Tela() { delete t; }
    int limites(const QString& onde = QStringLiteral("codunidade=3"))
    {
        return a.numero("select count(*) from limitesunidades where " + onde);
    }
    void limite(const QString& valor, bool diario, const QString& de = kInicio, const QString& ate = kFim)
    {
        t->PEDataInicial()->setText(de);
        t->PEDataFinal()->setText(ate);
        t->PEValor()->setText(valor);
        (diario ? t->RBLimiteDiario() : t->RBLimiteTotal())->setChecked(true);
        t->PBGravarLimite()->executa();
    }
};
} // namespace

class TstUnidades : public QObject {
    Q_OBJECT
private slots:
    // Only a user named with ADM may change anything.
    void acesso_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<bool>("pode");
        QTest::newRow("comum") << "ana" << false;
        QTest::newRow("adm no meio") << "joaoadm2" << true;
        QTest::newRow("Admin") << "Admin" << true;
    }
    void acesso()
    {
        QFETCH(QString, usuario);
        QFETCH(bool, pode);
        Tela s(usuario);
        for (QWidget* w : QWidgetList{s.t->PBtnGravar(), s.t->PBtnExcluir(), s.t->PBGravarLimite(), s.t->PBConsultar(),
                                      s.t->PBApagarCotas(), s.t->PEValor()})
            QCOMPARE(w->isEnabled(), pode);
    }

    // Names are saved as typed (quotes intact); an empty code takes the next one.
    void grava_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("gravado");
        QTest::newRow("codigo vazio") << "" << "6";
        QTest::newRow("digitado") << "40" << "40";
    }
    void grava()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, gravado);
        Tela s;
        const QString nome = QStringLiteral("Posto D'Ávila 'Sul' %1 Ltda");
        test::Digita(s.t->PECodigo(), codigo);
        s.t->PENome()->setText(nome);
        s.t->PBtnGravar()->executa();
        QVERIFY2(s.a.msgs.quantidade() == 0, qPrintable(s.a.msgs.textos().join('|')));
        QCOMPARE(s.a.texto("select nome from unidades where codigo=" + gravado), nome);
        QCOMPARE(s.a.texto("select outrasinfo from logs where tabela='Unidades' and situacao='I'"), gravado + "-" + nome.left(20));
        QCOMPARE(s.t->PECodigo()->text(), codigo);
        QVERIFY(s.t->PENome()->text().isEmpty());
        QVERIFY(s.t->PECodigo()->hasFocus());
        QCOMPARE(s.t->modo(), QStringLiteral("i"));
        test::Digita(s.t->PECodigo(), gravado);
        QCOMPARE(s.t->modo(), QStringLiteral("u"));
        s.t->PENome()->setText(QStringLiteral("Outra"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select list(nome) from unidades where codigo=" + gravado), QStringLiteral("Outra"));
    }

    // Daily limits are one row a day; a period limit removes the rows lying inside it, not those
    // only overlapping it; Consultar lists the 20 latest; Apagar COTAS clears the unit's rows.
    void limites()
    {
        Tela s;
        s.a.b.executa("insert into limitesunidades values (3, '2024-02-20', '2024-03-02', 10, null)");
        s.a.b.executa("insert into limitesunidades values (3, '2024-03-30', '2024-04-05', 10, null)");
        s.a.b.executa("insert into limitesunidades values (5, '2024-03-10', '2024-03-10', 10, null)");
        s.t->PEObs()->setText(QStringLiteral("Cota d'água")); // kept when the unit is loaded
        test::Digita(s.t->PECodigo(), QStringLiteral("3"));
        s.limite(QStringLiteral("1.234,50"), true);
        QCOMPARE(s.limites("codunidade=3 and datainicial=datafinal and valor=1234.50 and obs='Cota d''água'"), 31);
        QVERIFY(s.t->PEDataInicial()->hasFocus());
        test::SalvaTela(s.t, QStringLiteral("cadunidades_limites"));
        s.t->PBConsultar()->executa();
        const QStringList linhas = s.a.msgs.ultima().texto.split('\n');
        QCOMPARE(linhas.size(), 20);
        QCOMPARE(linhas.first(), QStringLiteral("31/03/2024 a 31/03/2024: R$ 1.234,50"));
        QCOMPARE(linhas.last(), QStringLiteral("13/03/2024 a 13/03/2024: R$ 1.234,50"));
        s.limite(QStringLiteral("1500"), false);
        s.limite(QStringLiteral("2000,5"), false);
        QCOMPARE(s.limites(), 3);
        QCOMPARE(s.limites("codunidade=3 and datainicial='2024-03-01' and datafinal='2024-03-31' and valor=2000.50"), 1);
        QCOMPARE(s.a.texto("select list(outrasinfo, '|') from logs where tabela='LimitesUnidades'"),
                 QStringLiteral("3-01/03/2024 a 31/03/2024 R$ 1.234,50|3-01/03/2024 a 31/03/2024 R$ 1500|"
                                "3-01/03/2024 a 31/03/2024 R$ 2000,5"));
        s.a.msgs.respondeSim();
        s.t->PBApagarCotas()->executa();
        QCOMPARE(s.a.msgs.ultima().texto,
                 QStringLiteral("Deseja realmente apagar TODAS AS COTAS programadas para esta Unidade?\nClique em Sim para apagar."));
        QCOMPARE(s.a.msgs.quantidade(), 2);
        QCOMPARE(s.limites() * 10 + s.limites("codunidade=5"), 1);
        QCOMPARE(s.a.texto("select outrasinfo from logs where situacao='E'"), QStringLiteral("3-POSTO CENTRAL DE SAU"));
    }

    // Nothing is written without a unit, with a missing or invalid date, an inverted period or a
    // value the column cannot hold; the field to correct gets the focus.
    void recusas_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QStringList>("campos"); // start, end, value
        QTest::addColumn<QString>("foco");
        QTest::newRow("sem unidade") << "" << QStringList{kInicio, kFim, "10"} << "PECodigo";
        QTest::newRow("sem inicio") << "3" << QStringList{"  /  /    ", kFim, "10"} << "PEDataInicial";
        QTest::newRow("fim invalido") << "3" << QStringList{kInicio, "31/02/2024", "10"} << "PEDataFinal";
        QTest::newRow("invertido") << "3" << QStringList{"02/03/2024", kInicio, "10"} << "PEDataFinal";
        QTest::newRow("grande demais") << "3" << QStringList{kInicio, kFim, "100.000.000,00"} << "PEValor";
    }
    void recusas()
    {
        QFETCH(QString, codigo);
        QFETCH(QStringList, campos);
        QFETCH(QString, foco);
        Tela s;
        test::Digita(s.t->PECodigo(), codigo);
        s.limite(campos[2], true, campos[0], campos[1]);
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QCOMPARE(s.a.msgs.ultima().titulo, QString());
        QCOMPARE(QApplication::focusWidget()->objectName(), foco);
        QCOMPARE(s.limites("1=1") + s.a.numero("select count(*) from logs"), 0);
    }

    // A unit used by an authorization cannot go; any deleted unit keeps its limits.
    void exclusao_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<bool>("apaga");
        QTest::newRow("livre") << "3" << true;
        QTest::newRow("usada") << "5" << false;
    }
    void exclusao()
    {
        QFETCH(QString, codigo);
        QFETCH(bool, apaga);
        Tela s;
        s.a.b.executa("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codunidade) values ('4300000', 1, '0', 5)");
        s.a.b.executa("insert into limitesunidades values (" + codigo + ", '2024-03-01', '2024-03-31', 10, null)");
        test::Digita(s.t->PECodigo(), codigo);
        s.a.msgs.respondeSim();
        s.t->PBtnExcluir()->executa();
        QCOMPARE(test::Resumo(s.a.msgs.mensagens().first()),
                 test::PerguntaExclusao(QStringLiteral("Deseja realmente apagar esta Unidade?\nClique em Sim para apagar.")));
        QCOMPARE(s.a.msgs.quantidade(), apaga ? 1 : 2);
        QCOMPARE(s.a.numero("select count(*) from unidades where codigo=" + codigo), apaga ? 0 : 1);
        QCOMPARE(s.a.numero("select count(*) from logs where tabela='Unidades' and situacao='E'"), apaga ? 1 : 0);
        QCOMPARE(s.limites("codunidade=" + codigo), 1);
    }
};

QTEST_MAIN(TstUnidades)
#include "tst_unidades.moc"
