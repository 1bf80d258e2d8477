// Member municipalities and their monthly limits: the rules on a real database and both screens
// driven offscreen.
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "registries/Municipios.h"
#include "registries/TFCadMunicipios.h"
#include "registries/TFLimitesClientes.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

using namespace vx;

namespace {
const QString kPoa = QStringLiteral("4314902");
const QString kCanoas = QStringLiteral("4304606");

struct Tela {
    test::AmbienteTela a;
    TFCadMunicipios* t;
    Tela()
    {
        a.b.executa("insert into ibgemunic values ('4314902', 'Porto Alegre', 'RS')");
        a.b.executa("insert into ibgemunic values ('4304606', 'CANOAS', 'RS')");
        a.b.executa("insert into ibgemunic values ('5300108', 'BRASILIA', 'DF')");
        a.b.executa("insert into clientes (codigo, nome, populacao, apac) values ('4304606', 'CANOAS', 350000, 'S')");
        TelaRegistrada(QStringLiteral("CadastrodeMunicpios1"))();
        t = test::AbreTelaTeste(InstanciaTela<TFCadMunicipios>());
    }
    ~Tela()
    {
        delete InstanciaTela<TFLimitesClientes>();
        delete t;
    }
    void escolhe(const QString& codigo)
    {
        QComboBox* cb = t->CBMunicipios();
        for (int i = 0; i < cb->count(); ++i)
            if (CodigoDoItem(cb->itemText(i)) == codigo)
                cb->setCurrentIndex(i);
    }
    void seleciona(const QString& codigo)
    {
        for (int i = 0; i < t->DBGrid1()->linhas(); ++i)
            if (t->DBGrid1()->valor("CODIGO", i) == codigo)
                t->DBGrid1()->setCurrentCell(i, 0);
    }
    TFLimitesClientes* limites(const QString& codigo)
    {
        seleciona(codigo);
        t->findChild<TPersonBtn*>("PBLimites")->executa();
        return test::AbreTelaTeste(InstanciaTela<TFLimitesClientes>());
    }
    void lanca(TFLimitesClientes* l, const QString& periodo, const QString& valor, const QString& obs = "COTA")
    {
        test::Digita(l->PEPeriodo(), periodo);
        l->PEObs()->setText(obs);
        test::Digita(l->PEAcrescentar(), valor);
        l->PEJustificativa()->setText("AJUSTE DE " + valor);
        l->PBtnGravar()->executa();
    }
};
} // namespace

class TstMunicipios : public QObject {
    Q_OBJECT
private slots:
    void itens_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("codigo");
        QTest::newRow("item") << ItemMunicipio("Porto Alegre", "RS", "4314902") << "4314902";
        QTest::newRow("codigo curto") << ItemMunicipio("X", "SP", "35") << "0000035";
        QTest::newRow("nenhum") << "" << "";
        QTest::newRow("sem parenteses") << "PORTO ALEGRE" << "";
    }
    void itens()
    {
        QFETCH(QString, item);
        QFETCH(QString, codigo);
        QCOMPARE(CodigoDoItem(item), codigo);
    }

    // The list is the IBGE table by town; saving inserts, saving the same code updates in place,
    // and choosing another town saves that one; nothing goes to the audit log.
    void grava()
    {
        Tela s;
        QCOMPARE(s.t->CBMunicipios()->itemText(0), QStringLiteral("BRASILIA - DF.....(5300108)"));
        QCOMPARE(s.t->CBMunicipios()->itemText(2), QStringLiteral("PORTO ALEGRE - RS.....(4314902)"));
        QVERIFY(!s.t->PanelDadosMunicipio()->isEnabled());
        s.t->findChild<TPersonBtn*>("PBIncluir")->executa();
        QVERIFY(s.t->PanelDadosMunicipio()->isEnabled());
        s.t->PBSalvar()->executa();
        QCOMPARE(s.a.msgs.textos(), QStringList{MensagemSemMunicipio()});
        QVERIFY(s.t->CBMunicipios()->hasFocus());
        s.a.msgs.limpa();
        s.escolhe(kPoa);
        s.t->campo("PEEndereco")->setText("PRAÇA MONTEVIDÉU, 'PAÇO'");
        s.t->campo("PEPopulacao")->setText("");
        s.t->campo("PEValorTaxa")->setText("1.234,56");
        s.t->campo("PECobrTaxa")->setText("B");
        s.t->campo("PECobrProducao")->setText("A");
        s.t->campo("PEMostrarValor")->setText("s");
        s.t->CBAPAC()->setChecked(true);
        s.t->MBoleto()->setPlainText(QString(600, 'x'));
        s.t->PBSalvar()->executa();
        QCOMPARE(s.a.msgs.textos(), QStringList());
        QCOMPARE(s.a.texto("select nome || '|' || endereco || '|' || populacao || '|' || valortaxa || '|' || apac || "
                           "cobrtaxa || cobrproducao || mostrarvalor || '|' || char_length(boleto) from clientes "
                           "where codigo='4314902'"),
                 QStringLiteral("Porto Alegre|PRAÇA MONTEVIDÉU, 'PAÇO'|0|1234.56|SBAS|500"));
        QVERIFY(!s.t->PanelDadosMunicipio()->isEnabled());
        QCOMPARE(s.t->DBGrid1()->linhas(), 2);
        // Loading a row selects its town and shows its fields; editing it updates it in place.
        s.seleciona(kCanoas);
        QCOMPARE(s.t->CBMunicipios()->currentText(), QStringLiteral("CANOAS - RS.....(4304606)"));
        QVERIFY(s.t->CBAPAC()->isChecked());
        QCOMPARE(s.t->campo("PEPopulacao")->text(), QStringLiteral("350000"));
        s.seleciona(kPoa);
        QCOMPARE(s.t->campo("PEValorTaxa")->text(), QStringLiteral("1234,56"));
        s.t->findChild<TPersonBtn*>("PBEditar")->executa();
        s.t->campo("PEContato")->setText("SECRETARIA");
        test::SalvaTela(s.t, QStringLiteral("cadmunicipios"));
        s.t->PBSalvar()->executa();
        QCOMPARE(s.a.numero("select count(*) from clientes"), 2);
        QCOMPARE(s.a.texto("select contato || valortaxa from clientes where codigo='4314902'"), QStringLiteral("SECRETARIA1234.56"));
        s.seleciona(kPoa);
        s.t->findChild<TPersonBtn*>("PBEditar")->executa();
        s.escolhe("5300108");
        s.t->PBSalvar()->executa();
        QCOMPARE(s.a.numero("select count(*) from clientes"), 3);
        QCOMPARE(s.a.texto("select contato from clientes where codigo='4314902'"), QStringLiteral("SECRETARIA"));
        QCOMPARE(s.a.numero("select count(*) from logs"), 0);
    }

    // Collection forms B, R, A or nothing; anything else is refused on leaving and on saving.
    void recusas_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<bool>("aceito");
        QTest::newRow("B") << "PECobrTaxa" << "B" << true;
        QTest::newRow("vazio") << "PECobrTaxa" << "" << true;
        QTest::newRow("X taxa") << "PECobrTaxa" << "X" << false;
        QTest::newRow("X producao") << "PECobrProducao" << "x" << false;
    }
    void recusas()
    {
        QFETCH(QString, campo);
        QFETCH(QString, valor);
        QFETCH(bool, aceito);
        Tela s;
        s.t->findChild<TPersonBtn*>("PBIncluir")->executa();
        TPersonEdit* e = s.t->campo(qPrintable(campo));
        test::Digita(e, valor);
        QCOMPARE(s.a.msgs.quantidade(), aceito ? 0 : 1);
        if (!aceito) {
            QCOMPARE(s.a.msgs.ultima().texto, QStringLiteral("Valor Inválido"));
            QVERIFY(e->hasFocus());
        }
        s.a.msgs.limpa();
        s.escolhe(kPoa);
        s.t->PBSalvar()->executa();
        QCOMPARE(s.a.numero("select count(*) from clientes where codigo='4314902'"), aceito ? 1 : 0);
        QCOMPARE(s.a.msgs.ultima().texto, aceito ? QString() : QStringLiteral("Valor Inválido"));
    }

    // Deleting asks first (No keeps the row) and is refused while authorizations or limits refer
    // to the municipality.
    void exclui_data()
    {
        QTest::addColumn<QString>("referencia");
        QTest::addColumn<QString>("recusa");
        QTest::newRow("livre") << "" << "";
        QTest::newRow("autorizacao") << "insert into marcacao (cli_origem, id_marcacao, data_imp_adm) values ('4304606', 1, 'M')"
                                     << "Este Município possui autorizações registradas e não pode ser excluído!";
        QTest::newRow("limite") << "insert into clilimites values ('4304606', '01-2024', 10, null)"
                                << "Este Município possui limites financeiros registrados e não pode ser excluído!";
    }
    void exclui()
    {
        QFETCH(QString, referencia);
        QFETCH(QString, recusa);
        Tela s;
        if (!referencia.isEmpty())
            s.a.b.executa(referencia);
        s.seleciona(kCanoas);
        s.a.msgs.respondeNao();
        s.t->PBExcluir()->executa();
        if (!recusa.isEmpty()) {
            QCOMPARE(s.a.msgs.textos(), QStringList{recusa});
            QVERIFY_THROWS_EXCEPTION(ErroValor, ExcluiMunicipio(s.a.dm->IBTransaction, kCanoas));
            QCOMPARE(s.a.numero("select count(*) from clientes"), 1);
            return;
        }
        QCOMPARE(test::Resumo(s.a.msgs.ultima()), test::PerguntaExclusao());
        QCOMPARE(s.a.numero("select count(*) from clientes"), 1);
        s.a.msgs.respondeSim();
        s.t->PBExcluir()->executa();
        QCOMPARE(s.a.numero("select count(*) from clientes"), 0);
        QCOMPARE(s.t->DBGrid1()->linhas(), 0);
    }

    // A new month starts from 0 plus the amount; a second change adds to the limit in force; the
    // journal adds up to the limit; the audit row tells the value written.
    void limites()
    {
        Tela s;
        TFLimitesClientes* l = s.limites(kCanoas);
        QCOMPARE(l->LMunicipio()->text(), QStringLiteral("4304606 - CANOAS"));
        QVERIFY(s.t->fechamentoSuspenso());
        test::Digita(l->PEPeriodo(), "03-2024");
        QCOMPARE(l->PEValor()->text(), QStringLiteral("0,00"));
        s.lanca(l, "03-2024", "150,00");
        QCOMPARE(s.a.msgs.quantidade(), 0);
        QVERIFY(l->PEPeriodo()->vazio() && l->LValorGravado().isZero());
        s.lanca(l, "03-2024", "-50,00", "COTA REDUZIDA");
        test::Digita(l->PEPeriodo(), "03-2024");
        QCOMPARE(l->PEValor()->text(), QStringLiteral("100,00"));
        QCOMPARE(l->PEObs()->text(), QStringLiteral("COTA REDUZIDA"));
        test::Digita(l->PEAcrescentar(), "25,5");
        QCOMPARE(l->PEValor()->text(), QStringLiteral("125,50"));
        test::SalvaTela(l, QStringLiteral("limitesclientes"));
        // Typing another month after the amount still writes that month's limit plus the amount.
        test::Digita(l->PEPeriodo(), "04-2024");
        l->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select list(periodo || '=' || valor, ' ') from clilimites"),
                 QStringLiteral("03-2024=100.00 04-2024=25.50"));
        QCOMPARE(s.a.texto("select list(valor || ' ' || datalanc, '|') from lanclimites where periodo='03-2024'"),
                 QStringLiteral("150.00 %1|-50.00 %1").arg(QDate::currentDate().toString(Qt::ISODate)));
        QCOMPARE(s.a.texto("select list(situacao || ':' || outrasinfo, '|') from logs where tabela='CliLimites'"),
                 QStringLiteral("I:4304606-CANOAS=//=150,00|U:4304606-CANOAS=//=100,00|I:4304606-CANOAS=//=25,50"));
    }

    // Nothing is recorded for an incomplete month or an amount beyond the column.
    void limiteRecusado_data()
    {
        QTest::addColumn<QString>("periodo");
        QTest::addColumn<QString>("valor");
        QTest::newRow("mes incompleto") << "3-2024" << "10";
        QTest::newRow("valor enorme") << "03-2024" << "100000000";
    }
    void limiteRecusado()
    {
        QFETCH(QString, periodo);
        QFETCH(QString, valor);
        Tela s;
        TFLimitesClientes* l = s.limites(kCanoas);
        s.lanca(l, periodo, valor);
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QCOMPARE(s.a.numero("select count(*) from clilimites") + s.a.numero("select count(*) from lanclimites"), 0);
    }

    // Only 30 months are listed, as the database returns them.
    void consulta()
    {
        Tela s;
        for (int i = 0; i < 35; ++i)
            s.a.b.executa(QStringLiteral("insert into clilimites values ('4304606', '%1-%2', 1234.5, null)")
                              .arg(i % 12 + 1, 2, 10, QChar('0'))
                              .arg(2020 + i / 12));
        s.limites(kCanoas)->PBConsultar()->executa();
        const QStringList linhas = s.a.msgs.ultima().texto.split("\r\n");
        QCOMPARE(linhas.size(), 30);
        QVERIFY(linhas.contains("01-2020: R$ 1.234,50"));
    }
};

QTEST_MAIN(TstMunicipios)
#include "tst_municipios.moc"
