#include "core/Aplicacao.h"
#include "core/widgets/CopiaGrade.h"
#include "core/widgets/TFMsgDifValores.h"
#include "core/widgets/UiMensagens.h"
#include "support/RoteiroMensagens.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardItemModel>

#include <memory>
#include <QTableView>
#include <QtTest>

using namespace vx;

class TstUiMensagens : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ConfiguraAplicacao();
        InstalaMensagensUi();
    }
    void caixas_data();
    void caixas();
    void escolhaDoisBotoes_data();
    void escolhaDoisBotoes();
    void copiaGrade();
    void textosDoQtEmPortugues();
};

void TstUiMensagens::caixas_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<int>("icone");
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<QStringList>("botoes");
    QTest::addColumn<QString>("padrao");
    QTest::addColumn<QString>("clicar");   // empty: close with Escape
    QTest::addColumn<bool>("resposta");
    const QStringList simNao{"&Sim", QString::fromUtf8("&Não")};
    // A box without a title of its own reads as the program's name.
    QTest::newRow("informa") << "informa" << int(QMessageBox::Information) << "VORNEX" << QStringList{"OK"} << "OK" << "OK" << true;
    QTest::newRow("avisa") << "avisa" << int(QMessageBox::Warning) << "VORNEX" << QStringList{"OK"} << "OK" << "" << true;
    QTest::newRow("erro") << "erro" << int(QMessageBox::Critical) << "Erro" << QStringList{"OK"} << "OK" << "OK" << true;
    QTest::newRow("confirma sim") << "confirma" << int(QMessageBox::Question) << QString::fromUtf8("Confirmação ...")
                                  << simNao << QString::fromUtf8("&Não") << "&Sim" << true;
    QTest::newRow("confirma nao") << "confirma" << int(QMessageBox::Question) << QString::fromUtf8("Confirmação ...")
                                  << simNao << QString::fromUtf8("&Não") << QString::fromUtf8("&Não") << false;
    QTest::newRow("confirma esc") << "confirma" << int(QMessageBox::Question) << QString::fromUtf8("Confirmação ...")
                                  << simNao << QString::fromUtf8("&Não") << "" << false;
}

// The message handler of the program shows QMessageBox windows; a script drives them.
void TstUiMensagens::caixas()
{
    QFETCH(QString, tipo);
    QFETCH(int, icone);
    QFETCH(QString, titulo);
    QFETCH(QStringList, botoes);
    QFETCH(QString, padrao);
    QFETCH(QString, clicar);
    QFETCH(bool, resposta);
    QMessageBox* vista = nullptr;
    QStringList vistos;
    QString preselecionado, textoVisto, tituloVisto;
    int iconeVisto = -1;
    bool modalDurante = false;
    test::RoteiroModal roteiro([&](QDialog* d) {
        vista = qobject_cast<QMessageBox*>(d);
        QVERIFY(vista);
        modalDurante = ModalAberto();
        for (QAbstractButton* b : vista->buttons())
            vistos << b->text();
        preselecionado = vista->defaultButton() ? vista->defaultButton()->text() : QString();
        textoVisto = vista->text();
        tituloVisto = vista->windowTitle();
        iconeVisto = int(vista->icon());
        if (clicar.isEmpty()) {
            QTest::keyClick(vista, Qt::Key_Escape);
        } else {
            for (QAbstractButton* b : vista->buttons())
                if (b->text() == clicar)
                    b->click();
        }
    });
    bool r = true;
    if (tipo == "informa")
        Informa("texto");
    else if (tipo == "avisa")
        Avisa("texto");
    else if (tipo == "erro")
        MostraErro("texto");
    else
        r = Confirma("texto");
    QCOMPARE(roteiro.chamadas(), 1);
    QVERIFY(modalDurante);
    QVERIFY(!ModalAberto());
    QCOMPARE(textoVisto, QString("texto"));
    QCOMPARE(tituloVisto, titulo);
    QCOMPARE(iconeVisto, icone);
    vistos.sort();
    botoes.sort();
    QCOMPARE(vistos, botoes);
    QCOMPARE(preselecionado, padrao);
    QCOMPARE(r, resposta);
}

void TstUiMensagens::escolhaDoisBotoes_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("op1");
    QTest::addColumn<QString>("op2");
    QTest::addColumn<int>("botao"); // 0: close the window
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("cap1");
    QTest::addColumn<QString>("cap2");
    const QString padraoTexto = QString::fromUtf8("A diferença entre os valores corresponde a:");
    const QString padrao1 = QString::fromUtf8("&1 - Desconto/Acréscimo");
    const QString padrao2 = "&2 - Pagamento Parcial";
    QTest::newRow("padrao botao 1") << "" << "" << "" << 1 << padraoTexto << padrao1 << padrao2;
    QTest::newRow("padrao botao 2") << "" << "" << "" << 2 << padraoTexto << padrao1 << padrao2;
    QTest::newRow("fechada") << "" << "" << "" << 0 << padraoTexto << padrao1 << padrao2;
    QTest::newRow("textos proprios") << "Diferença de 10,00" << "Juros" << "Parcial" << 2
                                     << "Diferença de 10,00" << "&1 - Juros" << "&2 - Parcial";
    QTest::newRow("so a primeira") << "" << "Juros" << "" << 1 << padraoTexto << "&1 - Juros" << padrao2;
}

void TstUiMensagens::escolhaDoisBotoes()
{
    QFETCH(QString, texto);
    QFETCH(QString, op1);
    QFETCH(QString, op2);
    QFETCH(int, botao);
    QFETCH(QString, label);
    QFETCH(QString, cap1);
    QFETCH(QString, cap2);
    QString titulo, lab, c1, c2;
    test::RoteiroModal roteiro([&](QDialog* d) {
        auto* f = qobject_cast<TFMsgDifValores*>(d);
        QVERIFY(f);
        titulo = f->windowTitle();
        lab = f->Label1->text();
        c1 = f->Button1->text();
        c2 = f->Button2->text();
        if (botao == 1)
            QTest::mouseClick(f->Button1, Qt::LeftButton);
        else if (botao == 2)
            QTest::mouseClick(f->Button2, Qt::LeftButton);
        else
            f->close();
    });
    QCOMPARE(EscolhaDoisBotoes(texto, op1, op2), botao);
    QCOMPARE(titulo, QString::fromUtf8("Diferença de Valores"));
    QCOMPARE(lab, label);
    QCOMPARE(c1, cap1);
    QCOMPARE(c2, cap2);
}

void TstUiMensagens::copiaGrade()
{
    QStandardItemModel m(2, 3);
    m.setHorizontalHeaderLabels({"Código", "Nome", "Oculta"});
    m.setHeaderData(0, Qt::Horizontal, "CODIGO", Qt::UserRole);
    m.setItem(0, 0, new QStandardItem("1"));
    m.setItem(0, 1, new QStandardItem("ANA"));
    m.setItem(0, 2, new QStandardItem("x"));
    m.setItem(1, 0, new QStandardItem("2"));
    m.setItem(1, 1, new QStandardItem("JOSE"));
    QTableView v;
    v.setModel(&m);
    v.setColumnHidden(2, true);
    v.setCurrentIndex(m.index(1, 1));
    CopiaGrade(&v);
    QCOMPARE(QApplication::clipboard()->text(), QString("CODIGO\tNome\n1\tANA\n2\tJOSE\n"));
    QCOMPARE(v.currentIndex(), m.index(1, 1));
    QStandardItemModel vazio(0, 1);
    vazio.setHorizontalHeaderLabels({"A"});
    v.setModel(&vazio);
    QCOMPARE(TextoGrade(&v), QString("A\n"));
}

QTEST_MAIN(TstUiMensagens)
#include "tst_uimensagens.moc"

// Qt's own texts (standard buttons, the field context menu) come in Portuguese.
void TstUiMensagens::textosDoQtEmPortugues()
{
    QVERIFY2(!TraducoesCarregadas().isEmpty(), "no pt_BR translation of Qt found");
    QDialogButtonBox caixa(QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
    QCOMPARE(caixa.button(QDialogButtonBox::Cancel)->text().remove('&'), QStringLiteral("Cancelar"));
    QCOMPARE(caixa.button(QDialogButtonBox::Yes)->text().remove('&'), QStringLiteral("Sim"));
    QLineEdit campo;
    std::unique_ptr<QMenu> menu(campo.createStandardContextMenu());
    QStringList textos;
    for (QAction* a : menu->actions())
        textos << a->text().remove('&').section('\t', 0, 0);
    QVERIFY2(textos.contains(QStringLiteral("Desfazer")), qPrintable(textos.join(", ")));
    QVERIFY2(textos.contains(QStringLiteral("Colar")), qPrintable(textos.join(", ")));
    QCOMPARE(QLocale().name(), QStringLiteral("pt_BR"));
}
