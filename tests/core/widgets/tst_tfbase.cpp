#include "core/TFprincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/widgets/TFBase.h"
#include "core/widgets/TPersonEdit.h"
#include "core/widgets/UiMensagens.h"
#include "support/Fixtures.h"
#include "support/RoteiroMensagens.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QScreen>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

using namespace vx;

namespace {
class TFExemplo : public TFBase {
public:
    explicit TFExemplo(int n = 0)
        : numero(n)
    {
        PECodigo = new TPersonEdit(TPersonEdit::peInteiro, "Código", this);
        PECodigo->setGeometry(80, 10, 80, 24);
        SBCodigo = new QToolButton(this);
        SBCodigo->setGeometry(165, 10, 24, 24);
        LNome = new QLabel(this);
        LNome->setGeometry(195, 10, 150, 24);
        PENome = new TPersonEdit(TPersonEdit::peTexto, "Nome", this);
        PENome->setGeometry(80, 40, 200, 24);
        Memo = new QPlainTextEdit(this);
        Memo->setGeometry(80, 70, 200, 60);
        Grade = new QTableWidget(3, 2, this);
        Grade->setGeometry(80, 140, 200, 100);
        PBtn = new QPushButton("OK", this);
        PBtn->setGeometry(80, 250, 80, 24);
        resize(400, 290);
    }
    int numero;
    TPersonEdit* PECodigo;
    QToolButton* SBCodigo;
    QLabel* LNome;
    TPersonEdit* PENome;
    QPlainTextEdit* Memo;
    QTableWidget* Grade;
    QPushButton* PBtn;
};

class TFOutra : public TFBase {};

void mostraAtiva(QWidget* w)
{
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

void liberaFechadas()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
} // namespace

class TstTFBase : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void enterEsetaParaCima_data();
    void enterEsetaParaCima();
    void enterNoBotao();
    void escFecha();
    void f2ENomeDoCodigo();
    void umaInstancia();
    void fechaAoPerderFoco_data();
    void fechaAoPerderFoco();
    void executaAcao();
    void executaAcaoDesfazTransacao();
    void abreNaAreaDeTrabalho_data();
    void abreNaAreaDeTrabalho();
};

void TstTFBase::cleanup()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TFBase*>(w))
            w->close();
    liberaFechadas();
}

void TstTFBase::enterEsetaParaCima_data()
{
    QTest::addColumn<QString>("origem");
    QTest::addColumn<int>("tecla");
    QTest::addColumn<QString>("destino");
    QTest::newRow("enter avanca") << "PENome" << int(Qt::Key_Return) << "Memo";
    QTest::newRow("enter do teclado numerico") << "PENome" << int(Qt::Key_Enter) << "Memo";
    QTest::newRow("enter pula o botao de busca") << "PECodigo" << int(Qt::Key_Return) << "SBCodigo";
    QTest::newRow("seta volta") << "PENome" << int(Qt::Key_Up) << "SBCodigo";
    QTest::newRow("seta no memo fica") << "Memo" << int(Qt::Key_Up) << "Memo";
    QTest::newRow("enter no memo fica") << "Memo" << int(Qt::Key_Return) << "Memo";
    QTest::newRow("seta na grade fica") << "Grade" << int(Qt::Key_Up) << "Grade";
}

void TstTFBase::enterEsetaParaCima()
{
    QFETCH(QString, origem);
    QFETCH(int, tecla);
    QFETCH(QString, destino);
    auto* t = new TFExemplo;
    t->SBCodigo->setFocusPolicy(Qt::StrongFocus);
    const QHash<QString, QWidget*> w{{"PECodigo", t->PECodigo}, {"SBCodigo", t->SBCodigo},
                                     {"PENome", t->PENome},     {"Memo", t->Memo},
                                     {"Grade", t->Grade}};
    mostraAtiva(t);
    w[origem]->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(tecla));
    QCOMPARE(QApplication::focusWidget(), w[destino]);
    QVERIFY(t->isVisible());
}

void TstTFBase::enterNoBotao()
{
    auto* t = new TFExemplo;
    int cliques = 0;
    connect(t->PBtn, &QPushButton::clicked, [&] { ++cliques; });
    mostraAtiva(t);
    t->PBtn->setFocus();
    QTest::keyClick(t->PBtn, Qt::Key_Return);
    QCOMPARE(cliques, 1);
}

void TstTFBase::escFecha()
{
    QPointer<TFExemplo> t = new TFExemplo;
    mostraAtiva(t);
    t->teclado()->setFechaComEsc(false);
    t->PENome->setFocus();
    QTest::keyClick(t->PENome, Qt::Key_Escape);
    QVERIFY(t->isVisible());
    t->teclado()->setFechaComEsc(true);
    QTest::keyClick(t->PENome, Qt::Key_Escape);
    liberaFechadas();
    QVERIFY(t.isNull()); // released on close
}

void TstTFBase::f2ENomeDoCodigo()
{
    test::RoteiroMensagens msgs;
    auto* t = new TFExemplo;
    int buscas = 0;
    connect(t->SBCodigo, &QToolButton::clicked, [&] { ++buscas; });
    QStringList consultados;
    t->LigaCodigo(t->PECodigo, t->SBCodigo, t->LNome, [&](const QString& c) {
        consultados << c;
        if (c == "13")
            throw ErroValor("falhou");
        return c == "12" ? QString("ANA") : QString();
    });
    mostraAtiva(t);
    t->PECodigo->setFocus();
    QTest::keyClick(t->PECodigo, Qt::Key_F2);
    QCOMPARE(buscas, 1);
    QTest::keyClick(t->PENome, Qt::Key_F2); // not a code field
    QCOMPARE(buscas, 1);

    t->PECodigo->setFocus();
    t->PECodigo->selectAll();
    QTest::keyClicks(t->PECodigo, "12");
    QTest::keyClick(t->PECodigo, Qt::Key_Return);
    QCOMPARE(t->LNome->text(), QString("ANA"));
    t->PECodigo->setFocus();
    t->PECodigo->selectAll();
    QTest::keyClicks(t->PECodigo, "13");
    QTest::keyClick(t->PECodigo, Qt::Key_Tab);
    QCOMPARE(t->LNome->text(), QString());
    QCOMPARE(msgs.textos(), QStringList{"falhou"});
    QCOMPARE(msgs.ultima().titulo, QString("Erro, verifique os dados digitados."));
    QCOMPARE(msgs.ultima().icone, IconeMsg::Erro);
    QCOMPARE(consultados, QStringList({"12", "13"}));
    // A disabled search button is not run.
    t->SBCodigo->setEnabled(false);
    t->PECodigo->setFocus();
    QTest::keyClick(t->PECodigo, Qt::Key_F2);
    QCOMPARE(buscas, 1);
}

void TstTFBase::umaInstancia()
{
    QVERIFY(!InstanciaTela<TFExemplo>());
    TFExemplo* a = CriaTela<TFExemplo>(7);
    TFExemplo* b = MostraTela<TFExemplo>(8);
    QCOMPARE(a, b);
    QCOMPARE(b->numero, 7);
    QVERIFY(b->isVisible());
    QCOMPARE(InstanciaTela<TFExemplo>(), a);
    QVERIFY(!InstanciaTela<TFOutra>());
    a->close();
    liberaFechadas();
    QVERIFY(!InstanciaTela<TFExemplo>());
    TFExemplo* c = CriaTela<TFExemplo>(9);
    QCOMPARE(c->numero, 9);
    c->close();
}

void TstTFBase::fechaAoPerderFoco_data()
{
    QTest::addColumn<QString>("situacao");
    QTest::addColumn<bool>("fecha");
    QTest::newRow("outra janela") << "outra" << true;
    QTest::newRow("regra desligada") << "desligada" << false;
    QTest::newRow("suspensa pela tela") << "suspensa" << false;
    QTest::newRow("dialogo modal aberto") << "modal" << false;
    QTest::newRow("janela filha da tela") << "filha" << false;
    QTest::newRow("tela aberta pela tela") << "aberta" << false;
}

void TstTFBase::fechaAoPerderFoco()
{
    QFETCH(QString, situacao);
    QFETCH(bool, fecha);
    QPointer<TFExemplo> t = new TFExemplo;
    mostraAtiva(t);
    if (situacao == "desligada")
        t->setFechaAoPerderFoco(false);
    std::unique_ptr<SuspendeFechamento> suspensao;
    if (situacao == "suspensa")
        suspensao = std::make_unique<SuspendeFechamento>(t.data());
    std::unique_ptr<GuardaModal> modal;
    if (situacao == "modal")
        modal = std::make_unique<GuardaModal>();
    QWidget* outra = situacao == "filha" ? new QWidget(t, Qt::Window) : new QWidget;
    if (situacao == "aberta")
        t->suspendeEnquantoAberta(outra);
    outra->resize(100, 100);
    mostraAtiva(outra);
    QTest::qWait(20);
    liberaFechadas();
    QCOMPARE(t.isNull(), fecha);
    if (situacao != "filha")
        delete outra;
    // Back from the suspension the rule holds again.
    if (!t.isNull() && situacao != "desligada" && situacao != "filha") {
        suspensao.reset();
        modal.reset();
        mostraAtiva(t);
        QWidget terceira;
        mostraAtiva(&terceira);
        QTest::qWait(20);
        liberaFechadas();
        QVERIFY(t.isNull());
    }
}

void TstTFBase::executaAcao()
{
    test::RoteiroMensagens msgs;
    QPushButton b;
    bool desabilitado = false;
    QVERIFY(ExecutaAcao(&b, [&] { desabilitado = !b.isEnabled(); }));
    QVERIFY(desabilitado);
    QVERIFY(b.isEnabled());
    QCOMPARE(msgs.quantidade(), 0);

    QVERIFY(!ExecutaAcao(&b, [] { throw std::runtime_error("quebrou"); }));
    QVERIFY(b.isEnabled());
    QCOMPARE(msgs.textos(), QStringList{"quebrou"});
    QCOMPARE(msgs.ultima().icone, IconeMsg::Erro);

    msgs.limpa();
    QVERIFY(!ExecutaAcao(&b, [] { SqlInteiro("1 or 1=1"); }));
    QCOMPARE(msgs.quantidade(), 1);
    QVERIFY(msgs.ultima().texto.contains("1 or 1=1"));
    QVERIFY(!ExecutaAcao(nullptr, [] { throw ErroCampo("campo"); }));
    QCOMPARE(msgs.ultima().texto, QString("campo"));
}

void TstTFBase::executaAcaoDesfazTransacao()
{
    test::RoteiroMensagens msgs;
    test::BancoTeste banco;
    TDMCUNE dm;
    QVERIFY(dm.ConectaBanco(banco.arquivo()));
    QPushButton b;
    const bool ok = ExecutaAcao(&b, [&] {
        dm.IBTransaction.inicia();
        dm.IBTransaction.executa("insert into clientes (codigo, nome) values ('4300001', 'A')");
        dm.IBTransaction.executa("insert into clientes (codigo, nome) values ('4300001', 'B')"); // duplicate key
        dm.IBTransaction.commit();
    });
    QVERIFY(!ok);
    QVERIFY(b.isEnabled());
    QVERIFY(!dm.IBTransaction.ativa());
    QCOMPARE(msgs.quantidade(), 1);
    QVERIFY(!msgs.ultima().texto.isEmpty());
    QCOMPARE(banco.valor("select count(*) from clientes").toInt(), 0);
}

enum class Abertura { Tela, TelaGrande, TelaPosicionada, DialogoDaPrincipal, DialogoSemPai, DialogoDeTela, SemPrincipal };
Q_DECLARE_METATYPE(Abertura)

void TstTFBase::abreNaAreaDeTrabalho_data()
{
    QTest::addColumn<Abertura>("abertura");
    QTest::newRow("tela") << Abertura::Tela;
    QTest::newRow("tela mais alta que a area") << Abertura::TelaGrande;
    QTest::newRow("tela posicionada pelo codigo") << Abertura::TelaPosicionada;
    QTest::newRow("dialogo da janela principal") << Abertura::DialogoDaPrincipal;
    QTest::newRow("dialogo sem pai") << Abertura::DialogoSemPai;
    QTest::newRow("dialogo de uma tela") << Abertura::DialogoDeTela;
    QTest::newRow("janela principal escondida") << Abertura::SemPrincipal;
}

// Screens and the dialogs that belong to no screen open centred in the main window's work area
// (below its menu and header strip), never over the menu.
void TstTFBase::abreNaAreaDeTrabalho()
{
    QFETCH(Abertura, abertura);
    const QRect livre = QGuiApplication::primaryScreen()->availableGeometry();
    TFprincipal principal;
    principal.setGeometry(livre.left() + 20, livre.top() + 20, qMin(760, livre.width() - 40), qMin(480, livre.height() - 40));
    if (abertura != Abertura::SemPrincipal) {
        principal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&principal));
    }
    QWidget* area = principal.areaTrabalho();
    const QRect esperada = abertura == Abertura::SemPrincipal
        ? livre : QRect(area->mapToGlobal(QPoint(0, 0)), area->size());
    QCOMPARE(AreaTrabalho(), esperada);
    if (abertura != Abertura::SemPrincipal) {
        // Below the menu bar and the toolbar buttons.
        QVERIFY(esperada.top() > principal.SBPessoas()->mapToGlobal(QPoint(0, principal.SBPessoas()->height())).y());
        QVERIFY(esperada.height() > 200);
    }

    QRect aberta;
    test::RoteiroModal modal([&](QDialog* d) { aberta = d->frameGeometry(); });
    switch (abertura) {
    case Abertura::Tela:
    case Abertura::SemPrincipal:
    case Abertura::TelaGrande:
    case Abertura::TelaPosicionada: {
        TFExemplo* t = CriaTela<TFExemplo>();
        if (abertura == Abertura::TelaGrande)
            t->resize(420, esperada.height() + 40);
        if (abertura == Abertura::TelaPosicionada)
            t->move(livre.topLeft() + QPoint(5, 5));
        MostraTela<TFExemplo>();
        QVERIFY(QTest::qWaitForWindowExposed(t));
        aberta = t->frameGeometry();
        break;
    }
    case Abertura::DialogoDaPrincipal:
    case Abertura::DialogoSemPai: {
        QDialog d(abertura == Abertura::DialogoSemPai ? nullptr : &principal);
        d.resize(300, 150);
        ExecutaModal(&d);
        break;
    }
    case Abertura::DialogoDeTela: {
        TFExemplo* t = MostraTela<TFExemplo>();
        t->move(livre.topLeft() + QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(t));
        QDialog d(t);
        d.resize(200, 100);
        ExecutaModal(&d);
        // Qt's own placement: over the screen it belongs to.
        QVERIFY2(qAbs(aberta.center().x() - t->frameGeometry().center().x()) <= 2, qPrintable(QString::number(aberta.x())));
        return;
    }
    }
    QVERIFY(aberta.isValid());
    QVERIFY2(livre.contains(aberta), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(aberta.x()).arg(aberta.y()).arg(aberta.width()).arg(aberta.height())));
    if (abertura == Abertura::TelaPosicionada) {
        QCOMPARE(aberta.topLeft(), livre.topLeft() + QPoint(5, 5));
        return;
    }
    QVERIFY2(qAbs(aberta.center().x() - esperada.center().x()) <= 2, qPrintable(QString::number(aberta.center().x())));
    if (abertura == Abertura::TelaGrande)
        QCOMPARE(aberta.top(), esperada.top());
    else
        QVERIFY2(qAbs(aberta.center().y() - esperada.center().y()) <= 2, qPrintable(QString::number(aberta.center().y())));
}

QTEST_MAIN(TstTFBase)
#include "tst_tfbase.moc"
