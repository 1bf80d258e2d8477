// Print preview: lazy page painting, navigation, printing to a printer device, failed printing
// reported to the caller, PDF export, the modal run through the test hook.
#include "core/widgets/UiMensagens.h"
#include "reports/UiPreview.h"
#include "support/Fixtures.h"
#include "support/RoteiroMensagens.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;
using namespace vx::rel;

namespace {

std::shared_ptr<Documento> documentoLongo(int linhas)
{
    Relatorio r;
    QVector<QVariantList> l;
    for (int i = 0; i < linhas; ++i)
        l.append({QStringLiteral("Linha %1").arg(i), QVariant::fromValue(Decimal::cents(i))});
    r.dados = std::make_unique<DadosMemoria>(QStringList{"NOME", "VALOR"}, l);
    r.cabecalhoPadrao(QStringLiteral("CONSÓRCIO"), QStringLiteral("PRÉVIA"), QStringLiteral("Filtro"));
    r.coluna(QStringLiteral("Nome"), QStringLiteral("NOME"), 80);
    r.coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 30).soma();
    r.zebrado = true;
    r.resumo = r.bandaTotais(QStringLiteral("Total Geral:"), r.pagina.larguraUtilMm());
    return MontaDocumento(r);
}

std::shared_ptr<Documento> documentoCurto(bool paisagem)
{
    Relatorio r;
    r.dados = std::make_unique<DadosMemoria>(QStringList{"NOME"}, QVector<QVariantList>{{QStringLiteral("Ana")}, {QStringLiteral("Rui")}});
    if (paisagem)
        r.paisagem();
    r.cabecalhoPadrao(QStringLiteral("CONSÓRCIO"), QStringLiteral("PRÉVIA"), QString());
    r.coluna(QStringLiteral("Nome"), QStringLiteral("NOME"), 80);
    return MontaDocumento(r);
}

// Width of the current page on the screen, in pixels.
double larguraFolha(const UiPreview& p)
{
    return p.documento().tamanho(p.paginaAtual()).width() * p.zoom() * p.logicalDpiX() / kDpi;
}

// The page fills the width of the view without a horizontal scroll bar.
bool preencheLargura(const UiPreview& p)
{
    QCoreApplication::processEvents(); // the scroll bars are shown or hidden by queued calls
    const auto* area = p.findChild<QScrollArea*>();
    const int vista = area->viewport()->width();
    const double folha = larguraFolha(p);
    if (folha > vista - 24 || folha < vista - 60 || area->horizontalScrollBar()->isVisible()) {
        qWarning("folha %.1f, vista %d, barra horizontal %d", folha, vista, int(area->horizontalScrollBar()->isVisible()));
        return false;
    }
    return true;
}

int paginasPdf(const QString& arquivo)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {arquivo});
    p.waitForFinished(60000);
    const QString s = QString::fromUtf8(p.readAllStandardOutput());
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(s);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Records what was shown instead of opening message boxes.
struct Registro : ManipuladorMensagens {
    QStringList textos;
    int mostra(const PedidoMsg& p) override
    {
        textos << p.texto;
        return 0;
    }
};

} // namespace

class TstUiPreview : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void pintaSoAPaginaMostrada();
    void navegacao_data();
    void navegacao();
    void imprimeEmImpressora_data();
    void imprimeEmImpressora();
    void falhaDeImpressaoChegaAoChamador();
    void exportaPdf();
    void imprimePeloDialogo_data();
    void imprimePeloDialogo();
    void abreNaLarguraDaPagina_data();
    void abreNaLarguraDaPagina();
    void mostraPreviewNaLargura();
    void galeria();

private:
    QTemporaryDir m_dir;
    std::shared_ptr<Documento> m_doc;
    Registro m_msgs;
};

void TstUiPreview::initTestCase()
{
    m_doc = documentoLongo(3000);
    QVERIFY(m_doc->numPaginas() > 40);
    DefineManipuladorMensagens(&m_msgs);
}

void TstUiPreview::cleanupTestCase() { DefineManipuladorMensagens(nullptr); }

void TstUiPreview::pintaSoAPaginaMostrada()
{
    UiPreview p(m_doc, QStringLiteral("Prévia"));
    p.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p));
    QCoreApplication::processEvents();
    QVERIFY(p.paginasDesenhadas() >= 1);
    QVERIFY2(p.paginasDesenhadas() <= 4, qPrintable(QString::number(p.paginasDesenhadas())));
    p.irPara(m_doc->numPaginas() - 1);
    QTest::qWait(20);
    QVERIFY(p.paginasDesenhadas() <= 8);
}

void TstUiPreview::navegacao_data()
{
    QTest::addColumn<int>("pedida");
    QTest::addColumn<int>("esperada");
    QTest::newRow("meio") << 10 << 10;
    QTest::newRow("antes da primeira") << -3 << 0;
    QTest::newRow("depois da ultima") << 100000 << -1; // -1: the last page
}

void TstUiPreview::navegacao()
{
    QFETCH(int, pedida);
    QFETCH(int, esperada);
    UiPreview p(m_doc, QString());
    p.irPara(pedida);
    QCOMPARE(p.paginaAtual(), esperada < 0 ? m_doc->numPaginas() - 1 : esperada);
    auto* spin = p.findChild<QSpinBox*>(QStringLiteral("spinPagina"));
    QVERIFY(spin);
    QCOMPARE(spin->value(), p.paginaAtual() + 1);
    spin->setValue(3);
    QCOMPARE(p.paginaAtual(), 2);
    QTest::keyClick(&p, Qt::Key_PageDown);
    QCOMPARE(p.paginaAtual(), 3);
    QTest::keyClick(&p, Qt::Key_PageUp);
    QTest::keyClick(&p, Qt::Key_PageUp);
    QCOMPARE(p.paginaAtual(), 1);
    QTest::keyClick(&p, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(p.paginaAtual(), m_doc->numPaginas() - 1);
}

void TstUiPreview::imprimeEmImpressora_data()
{
    QTest::addColumn<int>("primeira");
    QTest::addColumn<int>("ultima");
    QTest::addColumn<int>("paginas");
    QTest::newRow("todas") << 0 << -1 << -1;
    QTest::newRow("intervalo") << 2 << 4 << 3;
    QTest::newRow("uma") << 5 << 5 << 1;
}

void TstUiPreview::imprimeEmImpressora()
{
    QFETCH(int, primeira);
    QFETCH(int, ultima);
    QFETCH(int, paginas);
    UiPreview p(m_doc, QString());
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setOutputFormat(QPrinter::PdfFormat);
    const QString arq = m_dir.filePath(QStringLiteral("impresso%1.pdf").arg(primeira));
    impressora.setOutputFileName(arq);
    QVERIFY(p.imprimeEm(impressora, primeira, ultima));
    QVERIFY(p.imprimiu());
    QVERIFY(!p.falhouImpressao());
    QCOMPARE(paginasPdf(arq), paginas < 0 ? m_doc->numPaginas() : paginas);
}

void TstUiPreview::falhaDeImpressaoChegaAoChamador()
{
    bool passou = false;
    auto anterior = DefineExecutorModal([&](QDialog* d) {
        auto* p = qobject_cast<UiPreview*>(d);
        if (!p)
            return int(QDialog::Rejected);
        passou = true;
        QPrinter ruim;
        ruim.setOutputFormat(QPrinter::PdfFormat);
        ruim.setOutputFileName(QStringLiteral("/nao/existe/pasta/x.pdf"));
        p->imprimeEm(ruim);
        return int(QDialog::Accepted);
    });
    const bool ok = MostraPreview(m_doc, QStringLiteral("Prévia"));
    DefineExecutorModal(anterior);
    QVERIFY(passou);
    QVERIFY(!ok);

    // Closing without printing is no failure.
    anterior = DefineExecutorModal([](QDialog*) { return int(QDialog::Rejected); });
    QVERIFY(MostraPreview(m_doc, QStringLiteral("Prévia")));
    DefineExecutorModal(anterior);
}

void TstUiPreview::exportaPdf()
{
    UiPreview p(m_doc, QString());
    const QString arq = m_dir.filePath(QStringLiteral("exportado.pdf"));
    QVERIFY(p.exportaPdf(arq));
    QCOMPARE(paginasPdf(arq), m_doc->numPaginas());
    m_msgs.textos.clear();
    QVERIFY(!p.exportaPdf(QStringLiteral("/nao/existe/pasta/y.pdf")));
    QCOMPARE(m_msgs.textos.size(), 1);
    QVERIFY(m_msgs.textos.first().contains(QStringLiteral("/nao/existe/pasta/y.pdf")));
}

void TstUiPreview::imprimePeloDialogo_data()
{
    QTest::addColumn<int>("resposta");
    QTest::addColumn<int>("paginas"); // -1: no file
    QTest::newRow("intervalo") << int(QDialog::Accepted) << 2;
    QTest::newRow("cancelado") << int(QDialog::Rejected) << -1;
}

void TstUiPreview::imprimePeloDialogo()
{
    QFETCH(int, resposta);
    QFETCH(int, paginas);
    const QString arq = m_dir.filePath(QStringLiteral("dialogo%1.pdf").arg(resposta));
    auto anterior = DefineExecutorModal([&](QDialog* d) {
        if (auto* pd = qobject_cast<QPrintDialog*>(d)) {
            pd->printer()->setOutputFormat(QPrinter::PdfFormat);
            pd->printer()->setOutputFileName(arq);
            pd->printer()->setPrintRange(QPrinter::PageRange);
            pd->printer()->setFromTo(3, 4);
        }
        return resposta;
    });
    UiPreview p(m_doc, QStringLiteral("Prévia"));
    p.imprimir();
    DefineExecutorModal(anterior);
    QCOMPARE(p.imprimiu(), paginas > 0);
    QVERIFY(!p.falhouImpressao());
    QCOMPARE(QFile::exists(arq), paginas > 0);
    if (paginas > 0)
        QCOMPARE(paginasPdf(arq), paginas);
}

void TstUiPreview::abreNaLarguraDaPagina_data()
{
    QTest::addColumn<bool>("paisagem");
    QTest::newRow("retrato") << false;
    QTest::newRow("paisagem") << true;
}

// The preview opens at page width and follows the window's size until a zoom is chosen.
void TstUiPreview::abreNaLarguraDaPagina()
{
    QFETCH(bool, paisagem);
    UiPreview p(documentoCurto(paisagem), QStringLiteral("Prévia"));
    p.resize(900, 700);
    p.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p));
    QVERIFY(p.naLargura());
    QVERIFY(preencheLargura(p));
    p.resize(700, 600);
    QVERIFY(preencheLargura(p));

    auto* mais = p.findChild<QToolButton*>(QStringLiteral("PBMais"));
    auto* largura = p.findChild<QToolButton*>(QStringLiteral("PBLargura"));
    QVERIFY(mais && largura && p.findChild<QToolButton*>(QStringLiteral("PBMenos")));
    QVERIFY(largura->isChecked());
    const double z = p.zoom();
    mais->click();
    QCOMPARE(p.zoom(), z * 1.25);
    QVERIFY(!p.naLargura());
    QVERIFY(!largura->isChecked());
    p.resize(900, 700);
    QCoreApplication::processEvents();
    QCOMPARE(p.zoom(), z * 1.25);
    largura->click();
    QVERIFY(p.naLargura());
    QVERIFY(largura->isChecked());
    QVERIFY(preencheLargura(p));
}

// Shown the way reports show it (maximized, modal): at page width.
void TstUiPreview::mostraPreviewNaLargura()
{
    bool visto = false;
    test::RoteiroModal modal([&](QDialog* d) {
        auto* p = qobject_cast<UiPreview*>(d);
        QVERIFY(p);
        QVERIFY(QTest::qWaitForWindowExposed(p));
        QVERIFY(p->naLargura());
        QVERIFY(preencheLargura(*p));
        QVERIFY(p->zoom() != 1.0);
        visto = true;
    });
    QVERIFY(MostraPreview(documentoCurto(false), QStringLiteral("Prévia")));
    QVERIFY(visto);
}

void TstUiPreview::galeria()
{
    UiPreview p(documentoLongo(60), QStringLiteral("Prévia"));
    p.resize(900, 700);
    p.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p));
    QVERIFY(p.grab().save(QDir(test::PastaTelas()).filePath(QStringLiteral("UiPreview.png"))));
    QVERIFY(ImagemPagina(p.documento(), 1, 110).save(QDir(test::PastaTelas()).filePath(QStringLiteral("RelatorioListagem.png"))));
}

QTEST_MAIN(TstUiPreview)
#include "tst_uipreview.moc"
