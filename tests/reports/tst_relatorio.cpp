// Band report engine: layout, totals, page furniture and PDF output checked through pdftotext;
// the listing's table and its spreadsheet.
#include "billing/Planilha.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"
#include "reports/Relatorio.h"
#include "reports/UiPreview.h"
#include "support/Fixtures.h"
#include "support/Pdf.h"
#include "support/RoteiroMensagens.h"
#include "support/Xlsx.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QToolButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;
using namespace vx::rel;

namespace {

const auto paginasPdf = test::PaginasPdf;
const auto infoPdf = test::InfoPdf;

QVariant dec(const char* s) { return QVariant::fromValue(*Decimal::parse(QString::fromLatin1(s))); }

// Listing of `n` rows: GRUPO changes every 10 rows, SUB every 5, VALOR = 1,10 each.
std::unique_ptr<FonteDados> dadosAgrupados(int n)
{
    QVector<QVariantList> linhas;
    for (int i = 0; i < n; ++i)
        linhas.append({QStringLiteral("G%1").arg(i / 10, 2, 10, QLatin1Char('0')),
                       QStringLiteral("S%1").arg(i / 5), QStringLiteral("Item %1").arg(i, 4, 10, QLatin1Char('0')),
                       dec("1.10")});
    return std::make_unique<DadosMemoria>(QStringList{"GRUPO", "SUB", "NOME", "VALOR"}, linhas);
}

void listagemPadrao(Relatorio& r, int n)
{
    r.dados = dadosAgrupados(n);
    r.cabecalhoPadrao(QStringLiteral("PREFEITURA TESTE"), QStringLiteral("LISTAGEM DE TESTE"), QStringLiteral("Filtro: todos"));
    r.coluna(QStringLiteral("Nome"), QStringLiteral("NOME"), 60);
    r.coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 30).soma();
}

int contaOcorrencias(const QString& texto, const QString& s) { return int(texto.count(s)); }

// A sheet in the form test::LeXlsx reads a file back: "t:text", "n:value@format", "" (empty).
QVector<QStringList> celulas(const Planilha& p)
{
    QVector<QStringList> r;
    for (const LinhaPlanilha& l : p.linhas) {
        QStringList c;
        for (const CelulaPlanilha& x : l)
            c << (x.tipo == CelulaPlanilha::Tipo::Texto    ? "t:" + x.texto
                  : x.tipo == CelulaPlanilha::Tipo::Numero ? "n:" + x.numero.rescaled(2).toSql() + "@" + x.formato
                                                           : QString());
        r << c;
    }
    return r;
}

QStringList linhasJuntas(const Planilha& p)
{
    QStringList r;
    for (const QStringList& l : celulas(p))
        r << l.join(QLatin1Char('|'));
    return r;
}

QString moeda(const Decimal& d) { return "n:" + d.rescaled(2).toSql() + "@" + kFormatoValor; }
QString inteiro(qint64 v) { return QStringLiteral("n:%1.00@#,##0").arg(v); }

// Parts of planilhaDePartes, one letter each: F form, S listing without columns, A and B listings
// with other columns, M a listing with a sub-list under every row.
std::unique_ptr<Parte> parteDe(QChar c)
{
    if (c == u'F') {
        auto f = std::make_unique<Formulario>();
        f->forma = Banda(50);
        f->forma.texto(QRectF(0, 0, 80, 6), QStringLiteral("RECIBO"));
        return f;
    }
    auto r = std::make_unique<Relatorio>();
    r->cabecalhoPadrao(QStringLiteral("P"), QStringLiteral("T"), {});
    if (c == u'S') {
        r->dados = std::make_unique<DadosMemoria>(QStringList{"NOME"}, QVector<QVariantList>{{"Ana"}});
        r->detalhe(5).texto(QRectF(0, 0, 50, 5), QStringLiteral("{NOME}"));
    } else if (c == u'A') {
        r->dados = std::make_unique<DadosMemoria>(QStringList{"NOME", "VALOR"},
                                                  QVector<QVariantList>{{"Ana", dec("1.50")}, {"Rui", dec("1234")}});
        r->coluna(QStringLiteral("Nome"), QStringLiteral("NOME"), 40);
        r->coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 30).soma();
        r->resumo = r->bandaTotais(QStringLiteral("Total:"), r->pagina.larguraUtilMm());
    } else if (c == u'B') {
        r->dados = std::make_unique<DadosMemoria>(QStringList{"COD", "DESCR", "QTD"},
                                                  QVector<QVariantList>{{"0012", "Consulta", 3}});
        r->coluna(QStringLiteral("Código"), QStringLiteral("COD"), 20);
        r->coluna(QStringLiteral("Descrição"), QStringLiteral("DESCR"), 50);
        r->coluna(QStringLiteral("Qtd"), QStringLiteral("QTD"), 15).formatado(Formato::Inteiro);
    } else {
        r->dados = std::make_unique<DadosMemoria>(QStringList{"NOME"}, QVector<QVariantList>{{"Clínica A"}});
        r->coluna(QStringLiteral("Entidade"), QStringLiteral("NOME"), 30);
        r->coluna(QStringLiteral("Profissional"), QString(), 60);
        r->coluna(QStringLiteral("Valor"), QString(), 30);
        Secao& f = r->filha([](const Linha&) {
            return std::make_unique<DadosMemoria>(QStringList{"NOME", "CBO", "VALOR"},
                                                  QVector<QVariantList>{{"Ana", "225125", dec("10")}});
        });
        // Under the root's columns: nothing, then two columns in "Profissional" (joined), the value.
        f.coluna(QString(), QString(), 30);
        f.coluna(QStringLiteral("Nome"), QStringLiteral("NOME"), 40);
        f.coluna(QStringLiteral("CBO"), QStringLiteral("CBO"), 20);
        f.coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 30).soma();
        f.resumo = f.bandaTotais(QStringLiteral("Subtotal:"), r->pagina.larguraUtilMm());
    }
    return r;
}

} // namespace

class TstRelatorio : public QObject {
    Q_OBJECT

private slots:
    void formataValor_data();
    void formataValor();
    void paginasECabecalhos();
    void totaisDeGrupos();
    void zebrado_data();
    void zebrado();
    void paisagem();
    void formularioTresVias();
    void reciboEmDuasMetades();
    void cortaEQuebraTexto();
    void fonteDeImpressora_data();
    void fonteDeImpressora();
    void mestreDetalhe();
    void semLinhas();
    void dadosDoBanco();
    void pdfEmPastaInvalida();
    void linhasCondicionais();
    void cabecalhoDeGrupoEntrePaginas_data();
    void cabecalhoDeGrupoEntrePaginas();
    void grupoEmPaginaPropria();
    void linhaMaiorQueAPagina();
    void progressoECancelamento();
    void margens_data();
    void margens();
    void planilhaDaListagem();
    void planilhaDePartes_data();
    void planilhaDePartes();

private:
    QTemporaryDir m_dir;
};

void TstRelatorio::formataValor_data()
{
    QTest::addColumn<QVariant>("valor");
    QTest::addColumn<int>("formato");
    QTest::addColumn<QString>("esperado");
    const int moeda = int(Formato::Moeda), autom = int(Formato::Auto);
    QTest::newRow("zero") << dec("0") << moeda << "0,00";
    QTest::newRow("milhar") << dec("1234.56") << moeda << "1.234,56";
    QTest::newRow("negativo arredondado") << dec("-1234567.891") << moeda << "-1.234.567,89";
    QTest::newRow("meio centavo") << dec("0.005") << moeda << "0,01";
    QTest::newRow("alem do double") << dec("90071992547409.93") << moeda << "90.071.992.547.409,93";
    QTest::newRow("inteiro como moeda") << QVariant(qint64(12)) << moeda << "12,00";
    QTest::newRow("auto centavos") << dec("7.5") << autom << "7,50";
    QTest::newRow("auto taxa") << dec("1.65000") << autom << "1,65";
    QTest::newRow("inteiro") << QVariant(qint64(-1234567)) << int(Formato::Inteiro) << "-1.234.567";
    QTest::newRow("data") << QVariant(QDate(2015, 3, 5)) << autom << "05/03/2015";
    QTest::newRow("data de timestamp") << QVariant(QDateTime(QDate(2015, 3, 5), QTime(23, 59, 10))) << int(Formato::Data) << "05/03/2015";
    QTest::newRow("data e hora") << QVariant(QDateTime(QDate(2015, 3, 5), QTime(23, 59, 10))) << autom << "05/03/2015 23:59:10";
    QTest::newRow("sem segundos") << QVariant(QDateTime(QDate(2015, 3, 5), QTime(23, 59, 10))) << int(Formato::DataHoraMin) << "05/03/2015 23:59";
    QTest::newRow("nulo") << QVariant() << moeda << "";
}

void TstRelatorio::formataValor()
{
    QFETCH(QVariant, valor);
    QFETCH(int, formato);
    QFETCH(QString, esperado);
    QCOMPARE(FormataValor(valor, Formato(formato)), esperado);
}

void TstRelatorio::paginasECabecalhos()
{
    Relatorio r;
    listagemPadrao(r, 400);
    r.titulo = Banda(6);
    r.titulo.texto(QRectF(0, 0, 100, 6), QStringLiteral("SO NA PRIMEIRA"));
    r.rodapePagina = Banda(5);
    r.rodapePagina.texto(QRectF(0, 0, 100, 5), QStringLiteral("Rodape da folha {PAGINA}"));
    auto doc = MontaDocumento(r);
    QVERIFY(doc->numPaginas() >= 5);
    const QString pdf = m_dir.filePath(QStringLiteral("longo.pdf"));
    QVERIFY(GravaPdf(*doc, pdf));
    const QStringList pg = paginasPdf(pdf);
    QCOMPARE(pg.size(), doc->numPaginas());
    const int m = int(pg.size());
    int itens = 0;
    for (int i = 0; i < m; ++i) {
        QVERIFY2(pg[i].contains(QStringLiteral("Página: %1 de %2").arg(i + 1).arg(m)), qPrintable(pg[i]));
        QVERIFY(pg[i].contains(QStringLiteral("PREFEITURA TESTE")));
        QVERIFY(pg[i].contains(QStringLiteral("LISTAGEM DE TESTE")));
        QVERIFY(pg[i].contains(QRegularExpression(QStringLiteral("Nome\\s+Valor"))));
        itens += contaOcorrencias(pg[i], QStringLiteral("Item "));
        QCOMPARE(pg[i].contains(QStringLiteral("SO NA PRIMEIRA")), i == 0);
        // The footer is the last line of every page, below every row.
        QCOMPARE(pg[i].trimmed().split(QLatin1Char('\n')).last().trimmed(), QStringLiteral("Rodape da folha %1").arg(i + 1));
    }
    QCOMPARE(itens, 400); // every row once, none lost at page breaks
    QVERIFY(pg.first().contains(QStringLiteral("Item 0000")));
    QVERIFY(pg.last().contains(QStringLiteral("Item 0399")));
}

void TstRelatorio::totaisDeGrupos()
{
    Relatorio r;
    listagemPadrao(r, 20);
    auto triplo = [](const Linha& l) { const Decimal v = l.decimal(QStringLiteral("VALOR")); return v + v + v; };
    r.coluna(QStringLiteral("Triplo"), QString(), 30)
        .calculada([triplo](const Contexto& c) { return FormataMoeda(triplo(*c.linha)); })
        .somaDe(triplo);
    r.total(QStringLiteral("DOBRO"), [](const Linha& l) { return l.decimal(QStringLiteral("VALOR")) + l.decimal(QStringLiteral("VALOR")); });
    const double w = r.pagina.larguraUtilMm();
    Grupo& g = r.grupo(QStringLiteral("GRUPO"));
    g.cabecalho = Banda(5);
    g.cabecalho.texto(QRectF(0, 0, 80, 5), QStringLiteral("Grupo: {GRUPO}")).negrito();
    g.rodape = r.bandaTotais(QStringLiteral("Total do grupo {GRUPO}:"), w);
    Grupo& s = r.grupo(QStringLiteral("SUB"));
    s.rodape = Banda(5);
    s.rodape.texto(QRectF(0, 0, 40, 5), QStringLiteral("Sub {SUB}:"));
    s.rodape.soma(QRectF(60, 0, 29, 5), QStringLiteral("VALOR"));
    s.rodape.contagem(QRectF(90, 0, 10, 5));
    s.rodape.soma(QRectF(100, 0, 29, 5), QStringLiteral("DOBRO"));
    r.resumo = r.bandaTotais(QStringLiteral("Total Geral:"), w);

    r.zebrado = true;
    auto doc = MontaDocumento(r);
    ImagemPagina(*doc, 0, 110).save(QDir(test::PastaTelas()).filePath(QStringLiteral("RelatorioGrupos.png")));
    const QString pdf = m_dir.filePath(QStringLiteral("grupos.pdf"));
    QVERIFY(GravaPdf(*doc, pdf));
    const QString t = paginasPdf(pdf).join(QLatin1Char('\n'));
    // 20 rows, two groups of 10, four subgroups of 5; 1,10 each.
    QCOMPARE(contaOcorrencias(t, QStringLiteral("Grupo: G")), 2);
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Sub S0:\\s+5,50\\s+5\\s+11,00"))));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Sub S3:\\s+5,50\\s+5\\s+11,00"))));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Total do grupo G00:\\s+11,00"))));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Total do grupo G01:\\s+11,00"))));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Total Geral:\\s+22,00\\s+66,00"))));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Item 0007\\s+1,10\\s+3,30"))));
    // Footers come after their last row and before the next group's header.
    QVERIFY(t.indexOf(QStringLiteral("Item 0009")) < t.indexOf(QStringLiteral("Sub S1:")));
    QVERIFY(t.indexOf(QStringLiteral("Sub S1:")) < t.indexOf(QStringLiteral("Total do grupo G00")));
    QVERIFY(t.indexOf(QStringLiteral("Total do grupo G00")) < t.indexOf(QStringLiteral("Grupo: G01")));
}

void TstRelatorio::zebrado_data()
{
    QTest::addColumn<bool>("zebra");
    QTest::newRow("alternado") << true;
    QTest::newRow("branco") << false;
}

void TstRelatorio::zebrado()
{
    QFETCH(bool, zebra);
    Relatorio r;
    listagemPadrao(r, 30);
    r.zebrado = zebra;
    auto doc = MontaDocumento(r);
    // Through the PDF too, to check the fills reach the file.
    const QString pdf = m_dir.filePath(QStringLiteral("zebra.pdf"));
    QVERIFY(GravaPdf(*doc, pdf));
    QProcess pp;
    const QString base = m_dir.filePath(QStringLiteral("zebra"));
    pp.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"),
                                          QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                          QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, base});
    QVERIFY(pp.waitForFinished(60000));
    for (const QImage& img : {ImagemPagina(*doc, 0, 50), QImage(base + QStringLiteral(".png"))}) {
        QVERIFY(!img.isNull());
        int cinzas = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                if (qAbs(qRed(c) - 0xE6) <= 2 && qRed(c) == qGreen(c) && qGreen(c) == qBlue(c))
                    ++cinzas;
            }
        // 15 grey rows of about 8 x 380 pixels at 50 dpi.
        if (zebra)
            QVERIFY2(cinzas > 15 * 5 * 300, qPrintable(QString::number(cinzas)));
        else
            QVERIFY2(cinzas < 200, qPrintable(QString::number(cinzas)));
    }
}

void TstRelatorio::paisagem()
{
    Relatorio retrato;
    listagemPadrao(retrato, 5);
    Relatorio deitado;
    listagemPadrao(deitado, 200);
    deitado.paisagem();
    deitado.cabecalhoPadrao(QStringLiteral("X"), QStringLiteral("DEITADO"), {});
    auto doc = MontaDocumento({&retrato, &deitado});
    QVERIFY(doc->numPaginas() >= 3);
    const QString pdf = m_dir.filePath(QStringLiteral("paisagem.pdf"));
    QVERIFY(GravaPdf(*doc, pdf));
    const QString info = infoPdf(pdf);
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page\\s+1 size:\\s+595(\\.\\d+)? x 84[12]"))), qPrintable(info));
    for (int i = 2; i <= doc->numPaginas(); ++i)
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page\\s+%1 size:\\s+84[12](\\.\\d+)? x 595").arg(i))), qPrintable(info));
    // Landscape lines are longer: fewer pages than the same rows in portrait would need.
    const QStringList pg = paginasPdf(pdf);
    QVERIFY(pg.last().contains(QStringLiteral("DEITADO")));
    QVERIFY(pg.last().contains(QStringLiteral("Página: %1 de %1").arg(doc->numPaginas())));
}

void TstRelatorio::formularioTresVias()
{
    Formulario f;
    f.copias = 3;
    f.dados = std::make_unique<DadosMemoria>(QStringList{"CHAVE", "PACIENTE"},
                                             QVector<QVariantList>{{"ABC-123", "MARIA DA SILVA"}});
    f.forma = Banda(f.pagina.alturaUtilMm());
    f.forma.caixa(QRectF(0, 0, 190, 120), 0.4);
    f.forma.linha(QLineF(0, 20, 190, 20));
    f.forma.texto(QRectF(5, 5, 100, 8), QStringLiteral("Nº Atendimento: {CHAVE}")).tamanho(12);
    f.forma.texto(QRectF(5, 25, 180, 6), QStringLiteral("Paciente: {PACIENTE}"));
    f.forma.calculado(QRectF(120, 5, 65, 6), [](const Contexto& c) {
        static const char* vias[] = {"", "1ª Via - Consórcio", "2ª Via - Entidade", "3ª Via - Município"};
        return QString::fromUtf8(vias[c.copia]);
    }, Alinha::Direita);
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    f.forma.imagem(QRectF(150, 100, 20, 10), logo);

    auto doc = MontaDocumento(f);
    QCOMPARE(doc->numPaginas(), 3);
    ImagemPagina(*doc, 1, 80).save(QDir(test::PastaTelas()).filePath(QStringLiteral("RelatorioFormulario.png")));
    const QString pdf = m_dir.filePath(QStringLiteral("vias.pdf"));
    QVERIFY(GravaPdf(*doc, pdf));
    const QStringList pg = paginasPdf(pdf);
    QCOMPARE(pg.size(), 3);
    const QStringList vias{QStringLiteral("1ª Via - Consórcio"), QStringLiteral("2ª Via - Entidade"),
                           QStringLiteral("3ª Via - Município")};
    for (int i = 0; i < 3; ++i) {
        QVERIFY(pg[i].contains(QStringLiteral("Nº Atendimento: ABC-123")));
        QVERIFY(pg[i].contains(QStringLiteral("Paciente: MARIA DA SILVA")));
        for (int j = 0; j < 3; ++j)
            QCOMPARE(pg[i].contains(vias[j]), i == j);
    }
    const QImage img = ImagemPagina(*doc, 0, 50);
    const QRgb azul = img.pixel(int((10 + 160) / 25.4 * 50), int((10 + 105) / 25.4 * 50));
    QVERIFY(qBlue(azul) > 200 && qRed(azul) < 60);
}

void TstRelatorio::reciboEmDuasMetades()
{
    Formulario f;
    f.copias = 2;
    f.porPagina = 2;
    f.dados = std::make_unique<DadosMemoria>(QStringList{"NUMDOC", "VALOR"},
                                             QVector<QVariantList>{{1, dec("10.50")}, {2, dec("1234.00")}, {3, dec("0.99")}});
    f.forma = Banda(f.pagina.alturaUtilMm() / 2);
    f.forma.texto(QRectF(0, 10, 100, 8), QStringLiteral("RECIBO Nº {NUMDOC}"));
    f.forma.campo(QRectF(100, 10, 50, 8), QStringLiteral("VALOR"), Formato::Moeda, Alinha::Direita);
    auto doc = MontaDocumento(f);
    QCOMPARE(doc->numPaginas(), 3);
    const QString pdf = m_dir.filePath(QStringLiteral("recibos.pdf"));
    QVERIFY(GravaPdf(*doc, pdf));
    const QStringList pg = paginasPdf(pdf);
    QCOMPARE(contaOcorrencias(pg[0], QStringLiteral("RECIBO Nº 1")), 2);
    QCOMPARE(contaOcorrencias(pg[1], QStringLiteral("1.234,00")), 2);
    QCOMPARE(contaOcorrencias(pg[2], QStringLiteral("0,99")), 2);
    QVERIFY(!pg[0].contains(QStringLiteral("RECIBO Nº 2")));
}

void TstRelatorio::cortaEQuebraTexto()
{
    const QString longo = QStringLiteral("SELECT CODIGO, NOME, ENDERECO, BAIRRO FROM PESSOAS WHERE CLI_ORIGEM = '4300000' "
                                         "AND NOME LIKE '%SILVA%' ORDER BY NOME, CODIGO DESC FIM");
    Relatorio r;
    r.dados = std::make_unique<DadosMemoria>(QStringList{"A", "B"}, QVector<QVariantList>{{longo, longo}, {"x", "y"}});
    r.coluna(QStringLiteral("Cortado"), QStringLiteral("A"), 30);
    r.coluna(QStringLiteral("Quebrado"), QStringLiteral("B"), 40).quebraLinha();
    auto doc = MontaDocumento(r);
    const QStringList t = doc->textos(0);
    // The cut cell keeps a prefix that fits in 30 mm; the wrapped one keeps everything.
    bool achouCortado = false;
    for (const QString& s : t)
        if (s != longo && longo.startsWith(s) && s.size() > 5)
            achouCortado = true;
    QVERIFY(achouCortado);
    QVERIFY(t.contains(longo));
    const QString pdf = m_dir.filePath(QStringLiteral("quebra.pdf"));
    QVERIFY(GravaPdf(*doc, pdf));
    const QString p = paginasPdf(pdf).first();
    QVERIFY(p.contains(QStringLiteral("FIM")));
    // The next row starts below the wrapped text, not over it.
    const QStringList linhas = p.split(QLatin1Char('\n'));
    int linhaFim = -1, linhaX = -1;
    for (int i = 0; i < linhas.size(); ++i) {
        if (linhas[i].contains(QStringLiteral("FIM")))
            linhaFim = i;
        if (linhas[i].trimmed().startsWith(QLatin1Char('x')))
            linhaX = i;
    }
    QVERIFY(linhaFim >= 0 && linhaX > linhaFim);
}

void TstRelatorio::fonteDeImpressora_data()
{
    QTest::addColumn<QString>("familia");
    QTest::addColumn<bool>("monoespacada");
    QTest::newRow("fonte de impressora ausente") << "Draft 17Cpi" << true;
    QTest::newRow("fonte instalada") << "DejaVu Serif" << false;
    QTest::newRow("nome vazio e a fonte de impressora") << "" << true;
}

void TstRelatorio::fonteDeImpressora()
{
    QFETCH(QString, familia);
    QFETCH(bool, monoespacada);
    Relatorio r;
    listagemPadrao(r, 3);
    FonteRelatorio(r, familia);
    auto doc = MontaDocumento(r);
    QVERIFY(doc->numFontes() > 0);
    for (int i = 0; i < doc->numFontes(); ++i) {
        const QFont& f = doc->fonte(i);
        QCOMPARE(QFontInfo(f).fixedPitch(), monoespacada);
        if (monoespacada) {
            QVERIFY(f.stretch() < 100);
            // About 17 characters per inch at the normal text size.
            if (f.pixelSize() <= qRound(9 * kDpi / 72)) {
                const double cpi = kDpi / QFontMetricsF(f).horizontalAdvance(QLatin1Char('0'));
                QVERIFY2(cpi >= 16.5 && cpi <= 18.5, qPrintable(QString::number(cpi)));
            }
        } else {
            QCOMPARE(f.family(), familia);
        }
    }

}

void TstRelatorio::mestreDetalhe()
{
    Relatorio r;
    r.dados = std::make_unique<DadosMemoria>(QStringList{"CODIGO", "NOME"},
                                             QVector<QVariantList>{{1, "ENTIDADE UM"}, {2, "ENTIDADE DOIS"}, {3, "ENTIDADE TRES"}});
    Banda& d = r.detalhe(6);
    d.texto(QRectF(0, 0, 100, 6), QStringLiteral("Entidade {CODIGO} - {NOME}")).negrito();
    Secao& f = r.filha([](const Linha& m) {
        QVector<QVariantList> l;
        for (int i = 0; i < m.inteiro(QStringLiteral("CODIGO")); ++i)
            l.append({QStringLiteral("Prof %1.%2").arg(m.inteiro(QStringLiteral("CODIGO"))).arg(i), dec("2.25")});
        return std::make_unique<DadosMemoria>(QStringList{"NOME", "VALOR"}, l);
    });
    f.coluna(QStringLiteral("Profissional"), QStringLiteral("NOME"), 50);
    f.coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 30).soma();
    f.resumo = f.bandaTotais(QStringLiteral("SubTotal:"), r.pagina.larguraUtilMm());
    r.total(QStringLiteral("N"), QStringLiteral("CODIGO"));
    r.resumo = Banda(6);
    r.resumo.soma(QRectF(0, 0, 40, 6), QStringLiteral("N"), Alinha::Esquerda).formatado(Formato::Inteiro);

    auto doc = MontaDocumento(r);
    const QString pdf = m_dir.filePath(QStringLiteral("mestre.pdf"));
    QVERIFY(GravaPdf(*doc, pdf));
    const QString t = paginasPdf(pdf).join(QLatin1Char('\n'));
    QCOMPARE(contaOcorrencias(t, QStringLiteral("Profissional")), 3); // child column header per master
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("SubTotal:\\s+2,25"))));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("SubTotal:\\s+4,50"))));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("SubTotal:\\s+6,75"))));
    QVERIFY(t.indexOf(QStringLiteral("Prof 1.0")) < t.indexOf(QStringLiteral("Entidade 2")));
    QVERIFY(t.indexOf(QStringLiteral("Prof 3.2")) > t.indexOf(QStringLiteral("Entidade 3")));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("\\n\\s*6\\s*\\n")))); // 1 + 2 + 3
}

void TstRelatorio::semLinhas()
{
    Relatorio r;
    r.dados = std::make_unique<DadosMemoria>(QStringList{"NOME", "VALOR"}, QVector<QVariantList>{});
    r.cabecalhoPadrao(QStringLiteral("P"), QStringLiteral("VAZIO"), QStringLiteral("nada"));
    r.coluna(QStringLiteral("Nome"), QStringLiteral("NOME"), 60);
    r.resumo = Banda(5);
    r.resumo.texto(QRectF(0, 0, 50, 5), QStringLiteral("Total"));
    auto doc = MontaDocumento(r);
    QCOMPARE(doc->numPaginas(), 1);
    const QString pdf = m_dir.filePath(QStringLiteral("vazio.pdf"));
    QVERIFY(GravaPdf(*doc, pdf));
    const QString t = paginasPdf(pdf).first();
    QVERIFY(t.contains(QStringLiteral("Página: 1 de 1")));
    QVERIFY(t.contains(QStringLiteral("VAZIO")));
    QVERIFY(!t.contains(QStringLiteral("Total"))); // summary only with rows unless asked
}

void TstRelatorio::dadosDoBanco()
{
    test::BancoTeste b;
    b.executa(QStringLiteral("create table TREL (NOME varchar(30), VALOR numeric(18,2), DATA date, QUANDO timestamp)"));
    b.executa(QStringLiteral("insert into TREL values ('GRANDE', 90071992547409.93, '2015-03-05', '2015-03-05 23:59:00')"));
    b.executa(QStringLiteral("insert into TREL values ('PEQUENO', 0.10, null, null)"));
    b.executa(QStringLiteral("insert into TREL values ('OUTRO', 0.20, '2015-12-25', '2015-12-25 08:07:06')"));
    Transacao tr(b.conexao());
    Consulta q(tr);
    q.abre(QStringLiteral("select * from TREL order by NOME"));
    Relatorio r;
    r.dados = std::make_unique<DadosConsulta>(q);
    r.coluna(QStringLiteral("Nome"), QStringLiteral("NOME"), 30);
    r.coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 45).soma();
    r.coluna(QStringLiteral("Data"), QStringLiteral("DATA"), 25);
    r.coluna(QStringLiteral("Quando"), QStringLiteral("QUANDO"), 35).formatado(Formato::DataHoraMin);
    r.resumo = r.bandaTotais(QStringLiteral("Total:"), r.pagina.larguraUtilMm());
    auto doc = MontaDocumento(r);
    const QStringList t = doc->textos(0);
    QVERIFY(t.contains(QStringLiteral("90.071.992.547.409,93")));
    QVERIFY(t.contains(QStringLiteral("05/03/2015")));
    QVERIFY(t.contains(QStringLiteral("05/03/2015 23:59")));
    QVERIFY(t.contains(QStringLiteral("25/12/2015 08:07")));
    QVERIFY(t.contains(QStringLiteral("90.071.992.547.410,23"))); // exact sum
}

void TstRelatorio::pdfEmPastaInvalida()
{
    Relatorio r;
    listagemPadrao(r, 2);
    auto doc = MontaDocumento(r);
    QString erro;
    QVERIFY(!GravaPdf(*doc, QStringLiteral("/nao/existe/x.pdf"), &erro));
    QVERIFY(!erro.isEmpty());
}

void TstRelatorio::linhasCondicionais()
{
    // Second line only when OBS is filled; closed rows with the name on yellow; grey band.
    Relatorio r;
    r.dados = std::make_unique<DadosMemoria>(
        QStringList{"NOME", "OBS", "DATAEXCLUSAO"},
        QVector<QVariantList>{{"ATIVO SEM OBS", "", QVariant()}, {"FECHADO", "nota do fechado", QDate(2015, 1, 2)},
                              {"ATIVO COM OBS", "outra nota", QVariant()}});
    r.coluna(QStringLiteral("Nome"), QStringLiteral("NOME"), 60).comFundo([](const Contexto& c) {
        return c.linha->data(QStringLiteral("DATAEXCLUSAO")).isValid() ? QColor(Qt::yellow) : QColor();
    });
    Banda& obs = r.detalhe(4);
    obs.texto(QRectF(10, 0, 100, 4), QStringLiteral("Obs.: {OBS}"));
    obs.visivel = [](const Contexto& c) { return !c.linha->texto(QStringLiteral("OBS")).isEmpty(); };
    Banda& cinza = r.detalhe(3);
    cinza.fundo = [](const Contexto& c) { return c.indice == 2 ? QColor(0xC0, 0xC0, 0xC0) : QColor(); };
    auto doc = MontaDocumento(r);
    const QStringList t = doc->textos(0);
    QVERIFY(!t.contains(QStringLiteral("Obs.: ")));
    QVERIFY(t.contains(QStringLiteral("Obs.: nota do fechado")));
    QVERIFY(t.contains(QStringLiteral("Obs.: outra nota")));
    QVERIFY(t.indexOf(QStringLiteral("Obs.: nota do fechado")) < t.indexOf(QStringLiteral("ATIVO COM OBS")));
    const QImage img = ImagemPagina(*doc, 0, 50);
    int amarelos = 0, cinzas = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) < 30)
                ++amarelos;
            if (qRed(c) == 0xC0 && qGreen(c) == 0xC0 && qBlue(c) == 0xC0)
                ++cinzas;
        }
    // One yellow cell of 60 mm x 4.2 mm (about 118 x 8 pixels at 50 dpi), one grey band.
    QVERIFY2(amarelos > 300 && amarelos < 1500, qPrintable(QString::number(amarelos)));
    QVERIFY2(cinzas > 1000, qPrintable(QString::number(cinzas)));
}

void TstRelatorio::cabecalhoDeGrupoEntrePaginas_data()
{
    QTest::addColumn<bool>("repete");
    QTest::newRow("sem repeticao") << false;
    QTest::newRow("cabecalho repetido") << true;
}

void TstRelatorio::cabecalhoDeGrupoEntrePaginas()
{
    QFETCH(bool, repete);
    // Groups of 7 rows with two header levels; a title of varying height moves the page breaks
    // over every position. No page may end with a group header, and a repeated header opens every
    // page its group continues on.
    for (int passo = 0; passo < 16; ++passo) {
        QVector<QVariantList> l;
        for (int i = 0; i < 300; ++i)
            l.append({QStringLiteral("M%1").arg(i / 21, 3, 10, QLatin1Char('0')), QStringLiteral("E%1").arg(i / 7, 3, 10, QLatin1Char('0')),
                      QStringLiteral("Linha %1").arg(i, 4, 10, QLatin1Char('0'))});
        Relatorio r;
        r.dados = std::make_unique<DadosMemoria>(QStringList{"MUN", "ENT", "NOME"}, l);
        r.cabecalhoPagina = Banda(1 + passo * 0.55);
        r.coluna(QStringLiteral("Nome"), QStringLiteral("NOME"), 50);
        Grupo& gm = r.grupo(QStringLiteral("MUN"));
        gm.cabecalho = Banda(6);
        gm.cabecalho.texto(QRectF(0, 0, 80, 6), QStringLiteral("Municipio {MUN}"));
        gm.repeteCabecalho = repete;
        Grupo& ge = r.grupo(QStringLiteral("ENT"));
        ge.cabecalho = Banda(5);
        ge.cabecalho.texto(QRectF(5, 0, 80, 5), QStringLiteral("Entidade {ENT}"));
        ge.rodape = Banda(5);
        ge.rodape.contagem(QRectF(0, 0, 20, 5));
        auto doc = MontaDocumento(r);
        QVERIFY(doc->numPaginas() > 3);
        int linhas = 0;
        for (int p = 0; p < doc->numPaginas(); ++p) {
            const QStringList t = doc->textos(p);
            QVERIFY2(!t.last().startsWith(QStringLiteral("Municipio")), qPrintable(QString::number(passo)));
            QVERIFY2(!t.last().startsWith(QStringLiteral("Entidade")), qPrintable(QString::number(passo)));
            linhas += int(t.filter(QStringLiteral("Linha ")).size());
            if (p == 0 || !repete)
                continue;
            const int idx = t.filter(QStringLiteral("Linha ")).value(0).mid(6).toInt();
            QVERIFY(t.contains(QStringLiteral("Municipio M%1").arg(idx / 21, 3, 10, QLatin1Char('0'))));
        }
        QCOMPARE(linhas, 300);
    }
}

void TstRelatorio::grupoEmPaginaPropria()
{
    Relatorio r;
    listagemPadrao(r, 30);
    Grupo& g = r.grupo(QStringLiteral("GRUPO"));
    g.novaPagina = true;
    g.cabecalho = Banda(5);
    g.cabecalho.texto(QRectF(0, 0, 80, 5), QStringLiteral("Grupo: {GRUPO}"));
    auto doc = MontaDocumento(r);
    QCOMPARE(doc->numPaginas(), 3);
    for (int p = 0; p < 3; ++p) {
        const QStringList t = doc->textos(p);
        QCOMPARE(t.filter(QStringLiteral("Grupo: ")), QStringList{QStringLiteral("Grupo: G0%1").arg(p)});
        QVERIFY(t.contains(QStringLiteral("Página: %1 de 3").arg(p + 1)));
    }
}

void TstRelatorio::linhaMaiorQueAPagina()
{
    QString enorme;
    for (int i = 0; i < 3000; ++i)
        enorme += QStringLiteral("palavra%1 ").arg(i);
    Relatorio r;
    r.dados = std::make_unique<DadosMemoria>(QStringList{"A"}, QVector<QVariantList>{{"antes"}, {enorme}, {"depois"}});
    r.cabecalhoPadrao(QStringLiteral("X"), QStringLiteral("T"), {});
    r.coluna(QStringLiteral("Texto"), QStringLiteral("A"), 0).quebraLinha();
    auto doc = MontaDocumento(r);
    // The giant row is cut at one page; the rows around it still print.
    QCOMPARE(doc->numPaginas(), 3);
    QVERIFY(doc->textos(0).contains(QStringLiteral("antes")));
    QVERIFY(doc->textos(1).contains(enorme));
    QVERIFY(doc->textos(2).contains(QStringLiteral("depois")));
}

void TstRelatorio::progressoECancelamento()
{
    Relatorio r;
    listagemPadrao(r, 1000);
    QList<qint64> chamadas;
    auto doc = MontaDocumento(r, [&](qint64 n) { chamadas << n; return true; });
    QCOMPARE(chamadas, (QList<qint64>{200, 400, 600, 800, 1000}));

    Relatorio outro;
    listagemPadrao(outro, 1000);
    bool cancelou = false;
    try {
        MontaDocumento(outro, [](qint64 n) { return n < 400; });
    } catch (const Cancelado&) {
        cancelou = true;
    }
    QVERIFY(cancelou);
}

void TstRelatorio::margens_data()
{
    QTest::addColumn<double>("esquerda");
    QTest::addColumn<double>("direita");
    QTest::addColumn<bool>("deitada");
    QTest::newRow("20") << 20.0 << 20.0 << false;
    QTest::newRow("50") << 50.0 << 10.0 << false;
    QTest::newRow("paisagem") << 5.0 << 30.0 << true;
}

void TstRelatorio::margens()
{
    QFETCH(double, esquerda);
    QFETCH(double, direita);
    QFETCH(bool, deitada);
    Relatorio r;
    if (deitada)
        r.paisagem();
    r.pagina.margens = QMarginsF(esquerda, 15, direita, 15);
    listagemPadrao(r, 100);
    r.coluna(QStringLiteral("Resto"), QStringLiteral("NOME"), 0);
    auto doc = MontaDocumento(r);
    const double largura = deitada ? 297 : 210;
    double minX = 1e9, maxX = 0;
    for (int p = 0; p < doc->numPaginas(); ++p) {
        const QImage img = ImagemPagina(*doc, p, 50);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qGray(img.pixel(x, y)) < 200) {
                    minX = qMin(minX, x * 25.4 / 50);
                    maxX = qMax(maxX, x * 25.4 / 50);
                }
    }
    // Ink stays inside the margins; the header rule reaches the right margin.
    QVERIFY2(minX >= esquerda - 0.6 && minX <= esquerda + 2, qPrintable(QString::number(minX)));
    QVERIFY2(maxX <= largura - direita + 0.6 && maxX >= largura - direita - 1, qPrintable(QString::number(maxX)));
}

void TstRelatorio::planilhaDaListagem()
{
    // Three entities on pages of their own with subtotals and a grand total; the page header,
    // title, footer and repeated column headers stay out of the table.
    struct Soma {
        qint64 quant = 0;
        Decimal valor = Decimal::cents(0);
    };
    // A printed line: its texts, the quantity and the value with blanks between them.
    const auto impresso = [](const QString& inicio, qint64 quant, const Decimal& valor) {
        QStringList partes = inicio.split(QLatin1Char('|'));
        partes << FormataInteiro(quant) << FormataMoeda(valor);
        for (QString& p : partes)
            p = QRegularExpression::escape(p);
        return QRegularExpression(partes.join(QStringLiteral("\\s+")) + QStringLiteral("\\n"));
    };
    QVector<QRegularExpression> linhasPdf;
    QVector<QVariantList> dados;
    QVector<QStringList> esperado{{"t:Código", "t:Nome", "t:Documento", "t:Quant.", "t:Valor"}};
    Soma geral;
    for (int e = 0; e < 3; ++e) {
        const QString ent = QStringLiteral("ENT %1").arg(e);
        esperado << QStringList{"t:Entidade: " + ent};
        Soma sub;
        for (int i = 0; i < 15; ++i) {
            const int k = e * 15 + i;
            const qint64 quant = k % 4 == 0 ? 1500 : k % 7 + 1;
            const Decimal valor = Decimal::cents((k % 5 == 3 ? -1 : 1) * (123456 + k * 1001));
            dados.append({ent, QString::number(4314902 + k), QStringLiteral("Paciente %1").arg(k),
                          QVariant::fromValue(Decimal::fromInt(10000 + k)), quant, QVariant::fromValue(valor)});
            esperado << QStringList{"t:" + QString::number(4314902 + k), QStringLiteral("t:Paciente %1").arg(k),
                                    QStringLiteral("t:%1").arg(10000 + k), inteiro(quant), moeda(valor)};
            sub.quant += quant;
            sub.valor = sub.valor + valor;
            linhasPdf << impresso(QStringLiteral("%1|Paciente %2|%3").arg(4314902 + k).arg(k).arg(10000 + k), quant, valor);
        }
        esperado << QStringList{"t:Subtotal " + ent + ":", "", "", inteiro(sub.quant), moeda(sub.valor)};
        linhasPdf << impresso("Subtotal " + ent + ":", sub.quant, sub.valor);
        geral.quant += sub.quant;
        geral.valor = geral.valor + sub.valor;
    }
    esperado << QStringList{"t:Total Geral:", "", "", inteiro(geral.quant), moeda(geral.valor)};
    linhasPdf << impresso(QStringLiteral("Total Geral:"), geral.quant, geral.valor);

    Relatorio r;
    r.dados = std::make_unique<DadosMemoria>(QStringList{"ENT", "CODIGO", "NOME", "DOC", "QUANT", "VALOR"}, dados);
    r.cabecalhoPadrao(QStringLiteral("PREFEITURA"), QStringLiteral("PRODUÇÃO"), QStringLiteral("Filtro"));
    r.titulo = Banda(5);
    r.titulo.texto(QRectF(0, 0, 80, 5), QStringLiteral("SO NA PRIMEIRA"));
    r.rodapePagina = Banda(5);
    r.rodapePagina.texto(QRectF(0, 0, 80, 5), QStringLiteral("Folha {PAGINA}"));
    r.coluna(QStringLiteral("Código"), QStringLiteral("CODIGO"), 20);
    r.coluna(QStringLiteral("Nome"), QStringLiteral("NOME"), 50);
    r.coluna(QStringLiteral("Documento"), QStringLiteral("DOC"), 25).formatado(Formato::Texto);
    r.coluna(QStringLiteral("Quant."), QStringLiteral("QUANT"), 20).soma().formatado(Formato::Inteiro);
    r.coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 30).soma();
    const double w = r.pagina.larguraUtilMm();
    Grupo& g = r.grupo(QStringLiteral("ENT"));
    g.novaPagina = true;
    g.cabecalho = Banda(6);
    g.cabecalho.texto(QRectF(0, 0.5, 80, 5), QStringLiteral("Entidade: {ENT}")).negrito();
    g.rodape = r.bandaTotais(QStringLiteral("Subtotal {ENT}:"), w);
    r.resumo = r.bandaTotais(QStringLiteral("Total Geral:"), w);
    auto doc = MontaDocumento(r);
    QCOMPARE(doc->numPaginas(), 3);
    QVERIFY(doc->temPlanilha());
    QCOMPARE(celulas(PlanilhaDoDocumento(*doc)), esperado);

    // The numbers are what the PDF prints.
    const QString pdf = m_dir.filePath(QStringLiteral("planilha.pdf"));
    QVERIFY(GravaPdf(*doc, pdf));
    const QString t = paginasPdf(pdf).join(QLatin1Char('\n'));
    for (const QRegularExpression& l : linhasPdf)
        QVERIFY2(t.contains(l), qPrintable(l.pattern()));

    // Through the preview's button: the title (without "/") proposed in the spreadsheets folder.
    DefinePastaInstalacao(m_dir.path());
    test::RoteiroMensagens msgs;
    UiPreview p(doc, QStringLiteral("Produção 03/2015"));
    auto* botao = p.findChild<QToolButton*>(QStringLiteral("PBPlanilha"));
    QVERIFY(botao && botao->isEnabled());
    QCOMPARE(botao->toolTip(), QStringLiteral("Salvar como planilha (XLSX)"));
    const QString xlsx = m_dir.filePath(QStringLiteral("listagem.xlsx"));
    QString proposto;
    {
        test::RoteiroModal modal([&](QDialog* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            QVERIFY(fd);
            proposto = fd->selectedFiles().value(0);
            auto* nome = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(nome);
            nome->setText(xlsx);
            d->accept();
        });
        botao->click();
    }
    QCOMPARE(QDir::cleanPath(proposto), QDir(PastaPlanilhas()).filePath(QStringLiteral("Produção 03-2015.xlsx")));
    QCOMPARE(msgs.quantidade(), 0);
    QCOMPARE(test::LeXlsx(xlsx).linhas, esperado);

    QVERIFY(!p.exportaPlanilha(QStringLiteral("/nao/existe/pasta/x.xlsx")));
    QCOMPARE(msgs.ultima().titulo, QStringLiteral("Erro"));
    QVERIFY(msgs.ultima().texto.startsWith(QStringLiteral("Não foi possível gravar a planilha.")));
}

void TstRelatorio::planilhaDePartes_data()
{
    QTest::addColumn<QString>("partes");
    QTest::addColumn<QStringList>("linhas");
    const QStringList a{"t:Nome|t:Valor", "t:Ana|n:1.50@#,##0.00", "t:Rui|n:1234.00@#,##0.00", "t:Total:|n:1235.50@#,##0.00"};
    const QStringList b{"t:Código|t:Descrição|t:Qtd", "t:0012|t:Consulta|n:3.00@#,##0"};
    QTest::newRow("formulario") << "F" << QStringList();
    QTest::newRow("listagem sem colunas") << "S" << QStringList();
    QTest::newRow("formulario e listagem") << "FA" << a;
    QTest::newRow("outras colunas") << "AB" << a + QStringList{QString()} + b;
    QTest::newRow("mesmas colunas") << "AA" << a + a.mid(1);
    QTest::newRow("sublista") << "M"
                              << QStringList{"t:Entidade|t:Profissional|t:Valor", "t:Clínica A", "|t:Nome CBO|t:Valor",
                                             "|t:Ana 225125|n:10.00@#,##0.00", "t:Subtotal:||n:10.00@#,##0.00"};
}

void TstRelatorio::planilhaDePartes()
{
    QFETCH(QString, partes);
    QFETCH(QStringList, linhas);
    std::vector<std::unique_ptr<Parte>> dono;
    QVector<Parte*> lista;
    for (QChar c : partes) {
        dono.push_back(parteDe(c));
        lista << dono.back().get();
    }
    auto doc = MontaDocumento(lista);
    QCOMPARE(doc->temPlanilha(), !linhas.isEmpty());
    QCOMPARE(linhasJuntas(PlanilhaDoDocumento(*doc)), linhas);
    UiPreview p(doc, QStringLiteral("X"));
    QCOMPARE(p.findChild<QToolButton*>(QStringLiteral("PBPlanilha"))->isEnabled(), !linhas.isEmpty());
}

QTEST_MAIN(TstRelatorio)
#include "tst_relatorio.moc"
