// Audit-log report: the query for each filter combination on a real database, the filter screen's
// lists, and the printed report with its header and filter line.
#include "core/Banco.h"
#include "core/RegistraLog.h"
#include "core/RelatorioLogs.h"
#include "core/TFFilRelLogs.h"
#include "core/TRLog.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "core/widgets/UiMensagens.h"
#include "reports/UiPreview.h"
#include "support/Fixtures.h"

#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include "support/Pdf.h"

#include <QtTest>

using namespace vx;

namespace {

const auto pdfTexto = test::PaginasPdf;

QString simplifica(const QString& s) { return s.simplified(); }

} // namespace

class TstRelatorioLogs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void consulta_data();
    void consulta();
    void ordem_data();
    void ordem();
    void listas();
    void relatorioPdf();
    void linhaDesfeitaNaoAparece();
    void telaFiltro();

private:
    void insereLogs();
    QStringList executa(const FiltroLogs& f, const QString& coluna = QStringLiteral("OUTRASINFO"));

    std::unique_ptr<test::BancoTeste> m_banco;
};

void TstRelatorioLogs::insereLogs()
{
    const char* linhas[][5] = {
        {"ana", "2015-02-28 23:59", "Pessoas", "I", "antes"},
        {"ana", "2015-03-01 00:00", "Pessoas", "I", "cod 1 MARIA"},
        {"ana", "2015-03-10 12:30", "Marcacao", "U", "id 55"},
        {"bruno", "2015-03-15 08:00", "Pessoas", "D", "cod 2 JOSE"},
        {"bruno", "2015-03-31 00:00", "Usuarios", "E", "bruno-"},
        {"carla", "2015-03-31 23:59", "Pessoas", "U", "cod 3 O'BRIEN"},
        {"carla", "2015-04-01 10:00", "Marcacao", "X", "Bloq."},
    };
    Transacao& tr = m_banco->tr();
    tr.inicia();
    for (const auto& l : linhas)
        tr.executa(QStringLiteral("insert into LOGS (USUARIO, DATAHORA, TABELA, SITUACAO, OUTRASINFO) values (?, ?, ?, ?, ?)"),
                   {QString::fromLatin1(l[0]), QDateTime::fromString(QString::fromLatin1(l[1]), QStringLiteral("yyyy-MM-dd HH:mm")),
                    QString::fromLatin1(l[2]), QString::fromLatin1(l[3]), QString::fromLatin1(l[4])});
    // Rows without a user are not offered in the user list.
    tr.executa(QStringLiteral("insert into LOGS (USUARIO, DATAHORA, TABELA, SITUACAO) values ('', '1990-01-01', 'Pessoas', 'I')"));
    tr.executa(QStringLiteral("insert into LOGS (USUARIO, DATAHORA, TABELA, SITUACAO) values (null, '1990-01-02', 'Pessoas', 'I')"));
    tr.commit();
}

void TstRelatorioLogs::initTestCase()
{
    m_banco = std::make_unique<test::BancoTeste>();
    test::InstalaConfiguracao(m_banco->pasta(), {QStringLiteral("USUARIO=M4300000"),
                                                 QStringLiteral("PREFEITURA=PREFEITURA MUNICIPAL DE TESTE")});
    insereLogs();
}

QStringList TstRelatorioLogs::executa(const FiltroLogs& f, const QString& coluna)
{
    const ConsultaLogs c = MontaConsultaLogs(f);
    Transacao tr(m_banco->conexao());
    Consulta q(tr);
    q.abre(c.sql, c.parametros);
    QStringList r;
    for (; !q.eof(); q.proximo())
        r << q.campo(coluna).texto();
    return r;
}

void TstRelatorioLogs::consulta_data()
{
    QTest::addColumn<QDate>("d1");
    QTest::addColumn<QDate>("d2");
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("tabela");
    QTest::addColumn<QString>("operacao");
    QTest::addColumn<QString>("outras");
    QTest::addColumn<QStringList>("esperado"); // OUTRASINFO in date order

    const QDate mar1(2015, 3, 1), mar31(2015, 3, 31);
    const QStringList marco{"cod 1 MARIA", "id 55", "cod 2 JOSE", "bruno-"};
    // The 23:59 entry of 31/03 is outside: the end date is compared at its midnight.
    QTest::newRow("periodo, tudo no primeiro item") << mar1 << mar31 << "" << "" << "" << "" << marco;
    QTest::newRow("usuario") << mar1 << mar31 << "ana" << "" << "" << "" << QStringList{"cod 1 MARIA", "id 55"};
    QTest::newRow("tabela") << mar1 << mar31 << "" << "Pessoas" << "" << "" << QStringList{"cod 1 MARIA", "cod 2 JOSE"};
    QTest::newRow("operacao") << mar1 << mar31 << "" << "" << "U" << "" << QStringList{"id 55"};
    QTest::newRow("outras informacoes") << mar1 << mar31 << "" << "" << "" << "cod" << QStringList{"cod 1 MARIA", "cod 2 JOSE"};
    QTest::newRow("todos os filtros") << mar1 << mar31 << "bruno" << "Pessoas" << "D" << "JOSE" << QStringList{"cod 2 JOSE"};
    QTest::newRow("filtros sem resultado") << mar1 << mar31 << "ana" << "Usuarios" << "" << "" << QStringList{};
    QTest::newRow("dia seguinte inclui o 23:59") << mar1 << QDate(2015, 4, 1) << "carla" << "" << "" << ""
                                                  << QStringList{"cod 3 O'BRIEN"};
    QTest::newRow("aspas no texto procurado") << QDate(1, 1, 1) << QDate(2999, 12, 31) << "" << "" << "" << "O'BRIEN"
                                              << QStringList{"cod 3 O'BRIEN"};
    QTest::newRow("um unico dia") << QDate(2015, 3, 10) << QDate(2015, 3, 10) << "" << "" << "" << "" << QStringList{};
    QTest::newRow("padrao da tela lista tudo") << QDate(1, 1, 1) << QDate(2999, 12, 31) << "" << "" << "" << ""
                                               << QStringList{"", "", "antes", "cod 1 MARIA", "id 55", "cod 2 JOSE",
                                                              "bruno-", "cod 3 O'BRIEN", "Bloq."};
}

void TstRelatorioLogs::consulta()
{
    QFETCH(QDate, d1);
    QFETCH(QDate, d2);
    QFETCH(QString, usuario);
    QFETCH(QString, tabela);
    QFETCH(QString, operacao);
    QFETCH(QString, outras);
    QFETCH(QStringList, esperado);
    FiltroLogs f;
    f.dataInicial = d1;
    f.dataFinal = d2;
    f.usuario = usuario;
    f.tabela = tabela;
    f.operacao = operacao;
    f.outrasInf = outras;
    QCOMPARE(executa(f), esperado);
}

void TstRelatorioLogs::ordem_data()
{
    QTest::addColumn<int>("ordem");
    QTest::addColumn<QString>("coluna");
    QTest::newRow("usuario") << int(FiltroLogs::PorUsuario) << "USUARIO";
    QTest::newRow("tabela") << int(FiltroLogs::PorTabela) << "TABELA";
    QTest::newRow("operacao") << int(FiltroLogs::PorOperacao) << "SITUACAO";
}

void TstRelatorioLogs::ordem()
{
    QFETCH(int, ordem);
    QFETCH(QString, coluna);
    FiltroLogs f;
    f.ordem = FiltroLogs::Ordem(ordem);
    const QStringList v = executa(f, coluna);
    QCOMPARE(v.size(), 9);
    QStringList ordenado = v;
    std::sort(ordenado.begin(), ordenado.end()); // nulls ('' here) first, as Firebird sorts them
    QCOMPARE(v, ordenado);
}

void TstRelatorioLogs::listas()
{
    Transacao tr(m_banco->conexao());
    const ListasLogs l = CarregaListasLogs(tr);
    QCOMPARE(l.usuarios, (QStringList{"TODOS", "ana", "bruno", "carla"}));
    QCOMPARE(l.tabelas, (QStringList{"TODAS", "Marcacao", "Pessoas", "Usuarios"}));
    QCOMPARE(l.operacoes, (QStringList{"TODAS", "D", "E", "I", "U", "X"}));
}

void TstRelatorioLogs::relatorioPdf()
{
    FiltroLogs f;
    f.dataInicial = QDate(2015, 3, 1);
    f.dataFinal = QDate(2015, 3, 31);
    const QString linha = LinhaFiltroLogs(QStringLiteral("01/03/2015"), QStringLiteral("31/03/2015"), QStringLiteral("TODOS"),
                                          QStringLiteral("TODAS"), QStringLiteral("TODAS"));
    QCOMPARE(linha, QStringLiteral("Período: 01/03/2015 a 31/03/2015   Usuário: TODOS   Tabela: TODAS   Operação: TODAS"));
    Transacao tr(m_banco->conexao());
    auto doc = TRLog::Gera(tr, f, linha);
    QCOMPARE(doc->numPaginas(), 1);
    QVERIFY(doc->textos(0).contains(linha));
    const QString pdf = QDir(m_banco->pasta()).filePath(QStringLiteral("logs.pdf"));
    QVERIFY(rel::GravaPdf(*doc, pdf));
    const QString t = simplifica(pdfTexto(pdf).join(QLatin1Char('\n')));
    QVERIFY2(t.contains(QStringLiteral("PREFEITURA MUNICIPAL DE TESTE")), qPrintable(t));
    QVERIFY(t.contains(QStringLiteral("RELATÓRIO DE LOG")));
    QVERIFY(t.contains(simplifica(linha)));
    QVERIFY(t.contains(QStringLiteral("Data/Hora Ação Usuário Tabela Obs")));
    QVERIFY(t.contains(QStringLiteral("10/03/2015 12:30 U ana Marcacao id 55")));
    QVERIFY(t.contains(QStringLiteral("31/03/2015 00:00 E bruno Usuarios bruno-")));
    QVERIFY(!t.contains(QStringLiteral("O'BRIEN")));
    QVERIFY(t.contains(QStringLiteral("Página: 1 de 1")));
    // Every text in the draft printer font or its condensed monospace stand-in.
    for (int i = 0; i < doc->numFontes(); ++i)
        QVERIFY(QFontInfo(doc->fonte(i)).fixedPitch());

    test::PastaTelas();
    const QImage img = rel::ImagemPagina(*doc, 0, 110);
    QVERIFY(img.save(QDir(test::PastaTelas()).filePath(QStringLiteral("TRLog.png"))));
}

void TstRelatorioLogs::linhaDesfeitaNaoAparece()
{
    SessaoAtual().UsuarioLogado = QStringLiteral("dora");
    Transacao tr(m_banco->conexao());
    tr.inicia();
    RegistraLog(tr, QStringLiteral("Agenda"), QStringLiteral("i"), QStringLiteral("gravado"));
    tr.commit();
    tr.inicia();
    RegistraLog(tr, QStringLiteral("Agenda"), QStringLiteral("e"), QStringLiteral("desfeito"));
    tr.rollback();
    FiltroLogs f;
    f.tabela = QStringLiteral("Agenda");
    f.dataFinal = QDate::currentDate().addDays(1);
    QCOMPARE(executa(f), QStringList{"gravado"});
    tr.inicia();
    tr.executa(QStringLiteral("delete from LOGS where TABELA='Agenda'"));
    tr.commit();
}

void TstRelatorioLogs::telaFiltro()
{
    Transacao tr(m_banco->conexao());
    TFFilRelLogs tela(&tr);
    QCOMPARE(tela.windowTitle(), QStringLiteral("Relatório de Logs"));
    QCOMPARE(tela.CBUsuarios->currentText(), QStringLiteral("TODOS"));
    QCOMPARE(tela.CBTabela->currentText(), QStringLiteral("TODAS"));
    QCOMPARE(tela.CBOperacao->currentText(), QStringLiteral("TODAS"));
    QCOMPARE(tela.CBOrdem->currentText(), QStringLiteral("Data"));
    QCOMPARE(tela.CBOrdem->count(), 4);
    const FiltroLogs padrao = tela.Filtro();
    QCOMPARE(padrao.dataInicial, QDate(1, 1, 1));
    QCOMPARE(padrao.dataFinal, QDate(2999, 12, 31));
    QVERIFY(padrao.usuario.isEmpty() && padrao.tabela.isEmpty() && padrao.operacao.isEmpty());

    tela.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tela));
    QVERIFY(tela.grab().save(QDir(test::PastaTelas()).filePath(QStringLiteral("TFFilRelLogs.png"))));

    tela.PEDataInicial->setText(QStringLiteral("01/03/2015"));
    tela.PEDataFinal->setText(QStringLiteral("31/03/2015"));
    tela.CBUsuarios->setCurrentText(QStringLiteral("bruno"));
    tela.CBOrdem->setCurrentIndex(2);
    const FiltroLogs f = tela.Filtro();
    QCOMPARE(f.usuario, QStringLiteral("bruno"));
    QCOMPARE(f.ordem, FiltroLogs::PorTabela);
    QCOMPARE(tela.LinhaFiltro(),
             QStringLiteral("Período: 01/03/2015 a 31/03/2015   Usuário: bruno   Tabela: TODAS   Operação: TODAS"));

    // "&Imprimir" opens the preview through the modal hook and waits for it.
    QStringList textos;
    int paginas = -1;
    auto anterior = DefineExecutorModal([&](QDialog* d) {
        if (auto* p = qobject_cast<rel::UiPreview*>(d)) {
            paginas = p->documento().numPaginas();
            textos = p->documento().textos(0);
        }
        return int(QDialog::Accepted);
    });
    tela.PBtnImprimirClick();
    DefineExecutorModal(anterior);
    QCOMPARE(paginas, 1);
    QVERIFY(textos.contains(tela.LinhaFiltro()));
    QVERIFY(textos.contains(QStringLiteral("cod 2 JOSE")));
    QVERIFY(!textos.contains(QStringLiteral("id 55")));
    QVERIFY(tela.PBtnImprimir->isEnabled());
}

QTEST_MAIN(TstRelatorioLogs)
#include "tst_relatoriologs.moc"
