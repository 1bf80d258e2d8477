#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/TFGeraConsultas.h"
#include "core/TFSelecaoCalendario.h"
#include "core/Utilitarios.h"
#include "core/widgets/TFBase.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace vx;

namespace {

int LinhasLog(test::AmbienteTela& a, const QString& tabela)
{
    return a.numero("select count(*) from logs where tabela='" + tabela + "'");
}

TFGeraConsultas* AbreGerador()
{
    return test::AbreTelaTeste(CriaTela<TFGeraConsultas>());
}

void Fecha(QWidget* t)
{
    t->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TstUtilitarios : public QObject {
    Q_OBJECT
private slots:
    void ehSelect_data();
    void ehSelect();
    void geradorConsulta();
    void geradorExecutaEFalha();
    void geradorArquivoEQrp();
    void calendario();
    void assistenciaRemota_data();
    void assistenciaRemota();
};

void TstUtilitarios::ehSelect_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("select");
    QTest::newRow("minusculas com brancos") << "  \n select * from pessoas" << true;
    QTest::newRow("maiusculas") << "SELECT 1 FROM RDB$DATABASE" << true;
    QTest::newRow("with e executado") << "with x as (select 1 a from rdb$database) select * from x" << false;
    QTest::newRow("update") << "update pessoas set nome=nome" << false;
    QTest::newRow("selecta") << "selectx" << true; // only the first six characters count
    QTest::newRow("vazio") << "" << false;
}

void TstUtilitarios::ehSelect()
{
    QFETCH(QString, sql);
    QFETCH(bool, select);
    QCOMPARE(EhConsultaSelect(sql), select);
}

void TstUtilitarios::geradorConsulta()
{
    test::AmbienteTela a;
    for (int i = 1; i <= 1200; ++i)
        a.b.executa(QString("insert into clientes (codigo, nome) values ('%1', 'CIDADE %2')").arg(4300000 + i).arg(i));
    auto* t = AbreGerador();
    t->MInstru()->setPlainText("  select codigo, nome from clientes order by codigo");
    t->PBtnExecutarClick();
    QCOMPARE(a.msgs.quantidade(), 0);
    QCOMPARE(LinhasLog(a, "GeraConsultas"), 1);
    QCOMPARE(a.texto("select cast(outrasinfo as varchar(200)) from logs"), t->MInstru()->toPlainText());
    QVERIFY(t->LAguarde()->isHidden());
    // Rows come in blocks as the grid asks; the copy takes them all.
    QVERIFY(t->linhasCarregadas() >= 500 && t->linhasCarregadas() < 1200);
    QCOMPARE(t->DBGrid()->model()->index(1, 1).data().toString(), QString("CIDADE 2"));
    t->PBtnCopiarClick();
    const QStringList linhas = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(linhas.size(), 1201);
    QCOMPARE(linhas.first(), QString("CODIGO\tNOME"));
    QCOMPARE(linhas.last(), QString("4301200\tCIDADE 1200"));
    test::SalvaTela(t, "gera_consultas");
    Fecha(t);
}

void TstUtilitarios::geradorExecutaEFalha()
{
    test::AmbienteTela a;
    a.b.executa("insert into clientes (codigo, nome) values ('4300001', 'A')");
    auto* t = AbreGerador();
    t->MInstru()->setPlainText("update clientes set nome='B'");
    t->PBtnExecutarClick();
    QCOMPARE(a.msgs.textos(), QStringList{"Instrução Executada"});
    QCOMPARE(a.texto("select nome from clientes"), QString("B"));

    // A failing statement: the server's text, its audit row kept, nothing else left open.
    a.msgs.limpa();
    t->MInstru()->setPlainText("update clientes set nome='C'; update");
    t->PBtnExecutarClick();
    QCOMPARE(a.msgs.quantidade(), 1);
    QCOMPARE(a.msgs.ultima().titulo, QString("Erro"));
    QVERIFY2(a.msgs.ultima().texto.contains("Token unknown"), qPrintable(a.msgs.ultima().texto));
    t->MInstru()->setPlainText("select * from naoexiste");
    t->PBtnExecutarClick();
    QVERIFY(a.msgs.ultima().texto.contains("NAOEXISTE"));
    QCOMPARE(LinhasLog(a, "GeraConsultas"), 3);
    QVERIFY(!a.dm->IBTransaction.ativa());
    const int erros = a.msgs.quantidade();
    t->MInstru()->setPlainText("select nome from clientes");
    t->PBtnExecutarClick();
    QCOMPARE(a.msgs.quantidade(), erros);
    QCOMPARE(t->DBGrid()->model()->index(0, 0).data().toString(), QString("B"));
    Fecha(t);
}

void TstUtilitarios::geradorArquivoEQrp()
{
    test::AmbienteTela a;
    QTemporaryDir d;
    // A script saved in Windows-1252.
    test::GravaArquivo(d.filePath("c.sql"), QByteArray("select 'CONCEI\xc7\xc3O' from rdb$database"));
    auto* t = AbreGerador();
    t->PEArquivoSQL()->setText(d.filePath("c.sql"));
    t->CarregaArquivo();
    QCOMPARE(t->MInstru()->toPlainText(), QString("select 'CONCEIÇÃO' from rdb$database"));
    t->PEArquivoSQL()->setText(d.filePath("nao.sql"));
    t->CarregaArquivo();
    QVERIFY(a.msgs.ultima().texto.startsWith("Não foi possível abrir o arquivo "));

    // "Abrir .QRP": an empty preview that opens saved reports; the screen stays open.
    int paginas = -1;
    bool abrir = false;
    {
        test::RoteiroModal modal([&](QDialog* d) {
            auto* p = qobject_cast<rel::UiPreview*>(d);
            QVERIFY(p);
            paginas = p->documento().numPaginas();
            abrir = p->findChild<QToolButton*>("PBAbrir") != nullptr;
            d->reject();
        });
        t->PBtnAbrirQrpClick();
    }
    QCOMPARE(paginas, 0);
    QVERIFY(abrir);
    QVERIFY(t->isVisible());
    Fecha(t);
}

void TstUtilitarios::calendario()
{
    test::AmbienteTela a;
    a.b.executa("insert into calendarios values ('2026-10-21', '2026-11-20', 'NOVEMBRO/2026', 'S')");
    a.b.executa("insert into calendarios values ('2026-11-21', '2026-12-20', 'DEZEMBRO/2026', null)");
    a.b.executa("insert into calendarios values ('2026-09-21', '2026-10-20', 'OUTUBRO/2026', null)");
    auto* t = test::AbreTelaTeste(CriaTela<TFSelecaoCalendario>());
    QComboBox* cb = t->CBCalendario();
    QCOMPARE(cb->count(), 3);
    QCOMPARE(cb->itemText(0), QString("21/11/2026 a 20/12/2026 - DEZEMBRO/2026"));
    QCOMPARE(cb->currentIndex(), 1); // the selected one
    test::SalvaTela(t, "selecao_calendario");

    // Confirming the selected one keeps exactly one mark; the dialog stays open.
    t->PBtnConfirmarClick();
    QCOMPARE(a.numero("select count(*) from calendarios where selecao='S'"), 1);
    cb->setCurrentIndex(0);
    t->PBtnConfirmarClick();
    QCOMPARE(a.texto("select descricao from calendarios where selecao='S'"), QString("DEZEMBRO/2026"));
    QCOMPARE(a.numero("select count(*) from calendarios where selecao='S'"), 1);
    QCOMPARE(LinhasLog(a, "Calendarios"), 2);
    QVERIFY(t->isVisible());
    cb->setCurrentIndex(-1);
    t->PBtnConfirmarClick();
    QCOMPARE(a.msgs.ultima().texto, QString("Informe um período!"));
    Fecha(t);

    VerCalendario(a.dm->IBTLivre);
    QCOMPARE(LinhaCalendario(), QString("Calendário: DEZEMBRO/2026 (21/11/2026 a 20/12/2026)"));
    QCOMPARE(DescricaoCalendario(a.dm->IBTLivre, QDate(2026, 9, 21), QDate(2026, 10, 20)), QString("OUTUBRO/2026"));
}

void TstUtilitarios::assistenciaRemota_data()
{
    QTest::addColumn<QStringList>("arquivos"); // relative to a folder holding the working folder "vx"
    QTest::addColumn<QString>("comando");      // GERAL/ASSISTENCIAREMOTA
    QTest::addColumn<QString>("iniciado");     // "" = the not-found message
    QTest::newRow("na pasta de trabalho") << QStringList{"vx/showmypc", "ShowMyPC_9"} << "" << "vx/showmypc";
    QTest::newRow("o ultimo da pasta acima") << QStringList{"ShowMyPC_1", "SHOWMYPC_2.exe", "outro"} << "" << "SHOWMYPC_2.exe";
    QTest::newRow("configurado") << QStringList{"vx/showmypc"} << "remmina --connect suporte" << "remmina";
    QTest::newRow("nenhum") << QStringList{"outro"} << "" << "";
}

void TstUtilitarios::assistenciaRemota()
{
    QFETCH(QStringList, arquivos);
    QFETCH(QString, comando);
    QFETCH(QString, iniciado);
    QTemporaryDir d;
    QDir(d.path()).mkdir("vx");
    for (const QString& f : arquivos) {
        test::GravaArquivo(d.filePath(f), "#!/bin/sh\n");
        QFile::setPermissions(d.filePath(f), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    test::InstalaConfiguracao(d.filePath("vx"), comando.isEmpty() ? QStringList() : QStringList{"ASSISTENCIAREMOTA=" + comando});
    test::RoteiroMensagens msgs;
    QList<QStringList> inicios;
    const auto antes = DefineIniciadorProgramas([&](const QString& p, const QStringList& args) {
        inicios << QStringList{p} + args;
        return true;
    });
    SolicitaAssistenciaRemota(d.filePath("vx"));
    DefineIniciadorProgramas(antes);
    if (iniciado.isEmpty()) {
        QVERIFY(inicios.isEmpty());
        QCOMPARE(msgs.textos(), QStringList{"Arquivo ShowMyPC não encontrado na pasta \n" + d.path()});
    } else {
        QCOMPARE(msgs.quantidade(), 0);
        QCOMPARE(inicios.size(), 1);
        QCOMPARE(inicios.first().first(), comando.isEmpty() ? d.filePath(iniciado) : iniciado);
    }
}

QTEST_MAIN(TstUtilitarios)
#include "tst_utilitarios.moc"
