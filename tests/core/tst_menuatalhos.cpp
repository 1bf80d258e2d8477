// Mnemonics of the main menu: chosen per menu level, captions unchanged, Alt+letter opens a menu.
#include "core/MenuPrincipal.h"
#include "core/TFprincipal.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

using namespace vx;

namespace {
// Checks one menu level of the window and the levels below it; collects what is wrong.
void confereNivel(const QList<QAction*>& acoes, const QVector<ItemMenu>& itens, const QString& onde,
                  QStringList& problemas)
{
    QHash<QString, QString> letras;
    int k = 0;
    for (const QAction* a : acoes) {
        if (a->isSeparator())
            continue;
        while (k < itens.size() && itens[k].separador)
            ++k;
        if (k >= itens.size()) {
            problemas << onde + QStringLiteral(": item a mais ") + a->text();
            return;
        }
        const ItemMenu& item = itens[k++];
        if (SemAtalho(a->text()) != item.titulo)
            problemas << onde + QStringLiteral(": legenda ") + a->text() + QStringLiteral(" para ") + item.titulo;
        const QString letra = QKeySequence::mnemonic(a->text()).toString();
        if (letra.isEmpty())
            problemas << onde + QStringLiteral(": sem atalho em ") + item.titulo;
        else if (letras.contains(letra))
            problemas << onde + QStringLiteral(": ") + letra + QStringLiteral(" em ") + letras[letra]
                    + QStringLiteral(" e ") + item.titulo;
        else
            letras.insert(letra, item.titulo);
        if (a->menu())
            confereNivel(a->menu()->actions(), item.filhos, onde + QLatin1Char('/') + item.titulo, problemas);
    }
}
} // namespace

class TstMenuAtalhos : public QObject {
    Q_OBJECT
private slots:
    void legendas_data();
    void legendas();
    void semAtalho_data();
    void semAtalho();
    void menuDaJanela();
    void altAbreOMenu();
};

void TstMenuAtalhos::legendas_data()
{
    QTest::addColumn<QStringList>("titulos");
    QTest::addColumn<QStringList>("esperadas");
    QTest::newRow("iniciais livres") << QStringList{"Municípios", "Entidades", "Sair"}
                                     << QStringList{"&Municípios", "&Entidades", "&Sair"};
    QTest::newRow("inicial tomada: outra letra") << QStringList{"Administrativo", "Agenda"}
                                                 << QStringList{"&Administrativo", "A&genda"};
    QTest::newRow("inicial tomada: outra palavra")
        << QStringList{"Cadastro de Pacientes", "Cadastro de Usuários", "Pesquisa"}
        << QStringList{"&Cadastro de Pacientes", "Cadastro de &Usuários", "&Pesquisa"};
    // A later caption keeps its initial: the earlier one takes another letter.
    QTest::newRow("iniciais antes das outras letras") << QStringList{"Abrir", "Arquivo Novo", "Novo"}
                                                      << QStringList{"&Abrir", "A&rquivo Novo", "&Novo"};
    QTest::newRow("letra acentuada pulada") << QStringList{"Índice", "Ética"} << QStringList{"Í&ndice", "É&tica"};
    QTest::newRow("e comercial literal") << QStringList{"Boletos & Recibos", "&"}
                                         << QStringList{"&Boletos && Recibos", "&&"};
    QTest::newRow("sem letra livre") << QStringList{"Ab", "Ba", "AB"} << QStringList{"&Ab", "&Ba", "AB"};
    QTest::newRow("vazio") << QStringList{""} << QStringList{""};
    QTest::newRow("digitos") << QStringList{"2015", "2016"} << QStringList{"&2015", "2&016"};
}

void TstMenuAtalhos::legendas()
{
    QFETCH(QStringList, titulos);
    QFETCH(QStringList, esperadas);
    const QStringList r = LegendasComAtalho(titulos);
    QCOMPARE(r, esperadas);
    for (int i = 0; i < r.size(); ++i)
        QCOMPARE(SemAtalho(r[i]), titulos[i]);
}

void TstMenuAtalhos::semAtalho_data()
{
    QTest::addColumn<QString>("legenda");
    QTest::addColumn<QString>("texto");
    QTest::newRow("sem marca") << "Agenda" << "Agenda";
    QTest::newRow("marca") << "A&genda" << "Agenda";
    QTest::newRow("dupla") << "A && B" << "A & B";
    QTest::newRow("dupla e marca") << "&A && B" << "A & B";
    QTest::newRow("marca no fim") << "A&" << "A";
}

void TstMenuAtalhos::semAtalho()
{
    QFETCH(QString, legenda);
    QFETCH(QString, texto);
    QCOMPARE(SemAtalho(legenda), texto);
}

// Every item of the window's menu has a mnemonic unique in its menu, and its caption without the
// marker is the system's text.
void TstMenuAtalhos::menuDaJanela()
{
    TFprincipal w;
    QStringList problemas;
    confereNivel(w.menuBar()->actions(), ArvoreMenuPrincipal(), QStringLiteral("barra"), problemas);
    QVERIFY2(problemas.isEmpty(), qPrintable(problemas.join(QLatin1Char('\n'))));
    QCOMPARE(w.acao(QStringLiteral("Agendamento1"))->text(), QStringLiteral("A&genda"));
    QCOMPARE(w.acao(QStringLiteral("Sair1"))->text(), QStringLiteral("&Sair"));
}

void TstMenuAtalhos::altAbreOMenu()
{
    TFprincipal w;
    w.resize(800, 500);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_U, Qt::AltModifier);
    QMenu* m = w.menu(QStringLiteral("Utilitrios1"));
    QTRY_VERIFY(m->isVisible());
    // Inside the open menu the item's letter alone chooses it.
    QAction* log = w.acao(QStringLiteral("RelatriodeLog1"));
    const QString letra = QKeySequence::mnemonic(log->text()).toString().right(1);
    QVERIFY(!letra.isEmpty());
    QSignalSpy escolhido(log, &QAction::triggered);
    QTest::keyClick(m, QKeySequence(letra)[0].key());
    QTRY_COMPARE(escolhido.count(), 1);
    for (QWidget* t : QApplication::topLevelWidgets())
        if (t != &w && t->isWindow() && t->isVisible() && !qobject_cast<QMenu*>(t))
            t->close();
}

QTEST_MAIN(TstMenuAtalhos)
#include "tst_menuatalhos.moc"
