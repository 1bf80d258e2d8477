// Gallery of whole screens on a 1280x800 offscreen desktop: login, the main window per role with
// a menu opened by its mnemonic, the user registry, the log filter and the preview of its report.
// Each picture shows the windows where they open; the checks cover what the pictures are for:
// screens centred in the work area, one field painted with the focus colour, mnemonics.
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/RegistraLog.h"
#include "core/TFCadSenhas.h"
#include "core/TFFilRelLogs.h"
#include "core/TFUsuario.h"
#include "core/TFprincipal.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "core/widgets/UiMensagens.h"
#include "reports/UiPreview.h"
#include "support/Fixtures.h"
#include "support/Galeria.h"
#include "support/RoteiroMensagens.h"

#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QtTest>

using namespace vx;

namespace {

// An installation of the role with its database, data module and logged-in user.
struct Ambiente {
    test::BancoTeste b;
    std::unique_ptr<TDMCUNE> dm;
    // The start-up's base receptions (the provider's is modal) stay out of the pictures.
    const AbreTela recepcaoMunicipio = TelaRegistrada(QLatin1String(telas::RecepcaoMunicipio));
    const AbreTela recepcaoPrestador = TelaRegistrada(QLatin1String(telas::RecepcaoPrestador));

    explicit Ambiente(const QString& instalacao)
    {
        RegistraTela(QLatin1String(telas::RecepcaoMunicipio), [] {});
        RegistraTela(QLatin1String(telas::RecepcaoPrestador), [] {});
        test::InstalaConfiguracao(b.pasta(), {QStringLiteral("USUARIO=") + instalacao, QStringLiteral("CONSORCIO=CUNE"),
                                              QStringLiteral("DATABASE=") + b.arquivo()});
        b.executa(QStringLiteral("insert into ibgemunic (codigo, cidade, uf) values ('4314902', 'PORTO ALEGRE', 'RS')"));
        b.executa(QStringLiteral("insert into entidades (codigo, razaosocial) values (12, 'CLINICA SAO JOSE LTDA')"));
        b.executa(QStringLiteral("insert into profissionais (codigo, nome) values (7, 'ANA PAULA')"));
        b.executa(QStringLiteral("insert into unidades (codigo, nome) values (3, 'POSTO CENTRO')"));
        b.executa(QStringLiteral("update tabdiv set dataultretransmissao='2026-12-09'"));
        b.executa(QStringLiteral("insert into calendarios (datainicial, datafinal, descricao, selecao) "
                                 "values ('2026-11-21', '2026-12-20', 'DEZEMBRO/2026', 'S')"));
        QVERIFY(test::InstalaLogoDemo());
        dm = std::make_unique<TDMCUNE>();
        DefineDMCUNE(dm.get());
        QVERIFY(dm->ConectaBanco(b.arquivo()));
        SessaoAtual() = Sessao{};
        SessaoAtual().DataAtual = QStringLiteral("09/12/2026");
        SessaoAtual().UsuarioLogado = QStringLiteral("admin");
        CarregaIdentidade();
    }
    ~Ambiente()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TFBase*>(w))
                delete w;
        dm.reset();
        DefineDMCUNE(nullptr);
        SessaoAtual() = Sessao{};
        RegistraTela(QLatin1String(telas::RecepcaoMunicipio), recepcaoMunicipio);
        RegistraTela(QLatin1String(telas::RecepcaoPrestador), recepcaoPrestador);
    }
};

// The main window after its start-up, shown in the middle of the desktop.
std::unique_ptr<TFprincipal> principalMostrada()
{
    auto w = std::make_unique<TFprincipal>();
    if (!w->FormShow())
        return nullptr;
    w->MostraUsuarioLogado();
    w->resize(1100, 700);
    const QRect livre = QGuiApplication::primaryScreen()->availableGeometry();
    w->move(livre.center() - w->rect().center());
    w->show();
    w->activateWindow();
    if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == w.get(); }))
        return nullptr;
    return w;
}

QRect areaDe(const TFprincipal& w)
{
    return QRect(w.areaTrabalho()->mapToGlobal(QPoint(0, 0)), w.areaTrabalho()->size());
}

// Centred in the area, within two pixels; a window taller than the area starts at its top, or
// higher as far as needed to stay on the screen.
bool centrada(const QRect& janela, const QRect& area)
{
    const QRect livre = QGuiApplication::primaryScreen()->availableGeometry();
    const bool x = qAbs(janela.center().x() - area.center().x()) <= 2;
    const bool y = janela.height() > area.height()
        ? janela.top() == qMin(area.top(), livre.top() + livre.height() - janela.height())
        : qAbs(janela.center().y() - area.center().y()) <= 2;
    if (!x || !y)
        qWarning("janela %d,%d %dx%d, area %d,%d %dx%d", janela.x(), janela.y(), janela.width(), janela.height(),
                 area.x(), area.y(), area.width(), area.height());
    return x && y;
}

// Fields of the window painted with the focus colour.
QList<TPersonEdit*> destacados(const QWidget* janela)
{
    QList<TPersonEdit*> r;
    for (TPersonEdit* e : janela->findChildren<TPersonEdit*>())
        if (e->corFundo() == e->corDestaque())
            r << e;
    return r;
}

bool ativa(QWidget* w)
{
    return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; });
}

} // namespace

class TstGaleriaTelas : public QObject {
    Q_OBJECT
private slots:
    void login();
    void principalPorPapel_data();
    void principalPorPapel();
    void cadastroUsuarios();
    void filtroEPreviewDeLogs();
};

void TstGaleriaTelas::login()
{
    Ambiente amb(QStringLiteral("CUNE"));
    auto w = principalMostrada();
    QVERIFY(w);
    bool visto = false;
    test::RoteiroModal modal([&](QDialog* d) {
        auto* dlg = qobject_cast<TFUsuario*>(d);
        QVERIFY(dlg);
        QVERIFY(ativa(dlg));
        QVERIFY(centrada(dlg->frameGeometry(), areaDe(*w)));
        QCOMPARE(destacados(dlg), QList<TPersonEdit*>{dlg->PEUsuario()});
        QTest::keyClicks(dlg->PEUsuario(), "maria");
        QVERIFY(!test::SalvaDesktop({w.get(), dlg}, QStringLiteral("galeria_login")).isEmpty());
        visto = true;
    });
    QVERIFY(!w->executaLogin());
    QVERIFY(visto);
}

void TstGaleriaTelas::principalPorPapel_data()
{
    QTest::addColumn<QString>("instalacao");
    QTest::addColumn<QString>("arquivo");
    QTest::newRow("consorcio") << "CUNE" << "galeria_principal_consorcio";
    QTest::newRow("municipio") << "M4314902" << "galeria_principal_municipio";
    QTest::newRow("entidade") << "E12" << "galeria_principal_entidade";
    QTest::newRow("profissional") << "P7" << "galeria_principal_profissional";
}

// The main window of each role with its first menu opened from the keyboard (Alt + its letter).
void TstGaleriaTelas::principalPorPapel()
{
    QFETCH(QString, instalacao);
    QFETCH(QString, arquivo);
    Ambiente amb(instalacao);
    auto w = principalMostrada();
    QVERIFY(w);
    QMenu* primeiro = nullptr;
    for (QAction* a : w->menuBar()->actions())
        if (a->isVisible() && a->menu()) {
            primeiro = a->menu();
            break;
        }
    QVERIFY(primeiro);
    const QKeySequence atalho = QKeySequence::mnemonic(primeiro->menuAction()->text());
    QVERIFY(!atalho.isEmpty());
    QTest::keyClick(w.get(), atalho[0].key(), Qt::AltModifier);
    QTRY_VERIFY(primeiro->isVisible());
    QVERIFY(!test::SalvaDesktop({w.get(), primeiro}, arquivo).isEmpty());
    primeiro->hide();
}

// The user registry opens from the menu centred in the work area; after a message box and a move
// to the next field only that field shows the focus colour.
void TstGaleriaTelas::cadastroUsuarios()
{
    Ambiente amb(QStringLiteral("CUNE"));
    amb.b.executa(QStringLiteral("insert into usuarios (usuario, senha, codunidade, podefaturar) values ('ana', 'x', 3, 'S')"));
    amb.b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('ana', 'Municpios1', 'Municpios1', 'True')"));
    auto w = principalMostrada();
    QVERIFY(w);
    w->acao(QStringLiteral("CadastrodeUsurios1"))->trigger();
    TFCadSenhas* t = TFCadSenhas::instancia();
    QVERIFY(t);
    QVERIFY(ativa(t));
    QVERIFY(centrada(t->frameGeometry(), areaDe(*w)));

    t->PEUsuario()->setFocus();
    QTest::keyClicks(t->PEUsuario(), "ana");
    // A message box over the screen, closed as the user would.
    ManipuladorCaixas caixas;
    ManipuladorMensagens* anterior = ManipuladorAtual();
    DefineManipuladorMensagens(&caixas);
    QTimer::singleShot(0, [] {
        if (QWidget* caixa = QApplication::activeModalWidget())
            caixa->close();
    });
    Informa(QStringLiteral("Registro gravado."));
    DefineManipuladorMensagens(anterior);
    t->activateWindow();
    QVERIFY(ativa(t));
    QTest::keyClick(t->PEUsuario(), Qt::Key_Return);
    QVERIFY(t->PESenha()->hasFocus());
    QTest::keyClicks(t->PESenha(), "x");
    QCOMPARE(destacados(t), QList<TPersonEdit*>{t->PESenha()});
    QVERIFY(!test::SalvaDesktop({w.get(), t}, QStringLiteral("galeria_cadastro_usuarios")).isEmpty());
}

// The log filter from the menu, then its report in the preview (maximized, at page width).
void TstGaleriaTelas::filtroEPreviewDeLogs()
{
    Ambiente amb(QStringLiteral("CUNE"));
    for (int i = 1; i <= 6; ++i) {
        amb.dm->IBTransaction.inicia();
        RegistraLog(amb.dm->IBTransaction, i % 2 ? QStringLiteral("Pessoas") : QStringLiteral("Usuarios"),
                    i % 3 ? QStringLiteral("I") : QStringLiteral("A"), QStringLiteral("cod %1 PACIENTE %1").arg(i));
        amb.dm->IBTransaction.commit();
    }
    auto w = principalMostrada();
    QVERIFY(w);
    w->acao(QStringLiteral("RelatriodeLog1"))->trigger();
    TFFilRelLogs* f = nullptr;
    for (QWidget* j : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<TFFilRelLogs*>(j))
            f = t;
    QVERIFY(f);
    QVERIFY(ativa(f));
    QVERIFY(centrada(f->frameGeometry(), areaDe(*w)));
    QVERIFY(destacados(f).size() <= 1);
    QVERIFY(!test::SalvaDesktop({w.get(), f}, QStringLiteral("galeria_filtro_logs")).isEmpty());

    bool visto = false;
    test::RoteiroModal modal([&](QDialog* d) {
        auto* p = qobject_cast<rel::UiPreview*>(d);
        QVERIFY(p);
        QVERIFY(QTest::qWaitForWindowExposed(p));
        QCoreApplication::processEvents();
        QVERIFY(p->naLargura());
        QVERIFY(p->documento().numPaginas() >= 1);
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(p->frameGeometry()));
        QVERIFY(!test::SalvaDesktop({w.get(), f, p}, QStringLiteral("galeria_preview_logs")).isEmpty());
        visto = true;
    });
    f->PBtnImprimirClick();
    QVERIFY(visto);
}

int main(int argc, char** argv)
{
    test::DefineDesktopGaleria(QSize(1280, 800));
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TstGaleriaTelas t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "tst_galeria_telas.moc"
