// Banrisul bank slips: check digits, due-date factor, bar code and digitable line against values
// worked by hand from the published rules; refused inputs; the account row read from the database;
// the printed page, whose bar code is read back from a 600 dpi image.
#include "billing/Boleto.h"
#include "billing/TRBoleto.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"
#include "support/Fixtures.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

Boleto boleto(const QString& nn = QStringLiteral("00000001"), const QDate& venc = QDate(2025, 3, 10),
              const QString& valor = QStringLiteral("1.234,56"))
{
    Boleto b;
    CedenteBoleto& c = b.cedente;
    c.agencia = QStringLiteral("0817");
    c.agenciaDigito = QStringLiteral("05");
    c.codigoCedente = QStringLiteral("4216093.71");
    c.nome = QStringLiteral("CONSORCIO INTERMUNICIPAL DE TESTE");
    c.cnpjCpf = QStringLiteral("12345678000195");
    b.sacado = {QStringLiteral("PODER EXECUTIVO DO MUNICÍPIO DE CANOAS (77)"), QStringLiteral("88577416000118"),
                QStringLiteral("RUA XV DE JANEIRO"), QStringLiteral("11"), QStringLiteral("CENTRO"),
                QStringLiteral("CANOAS"), QStringLiteral("RS"), QStringLiteral("92010300")};
    b.vencimento = venc;
    b.dataDocumento = b.dataProcessamento = QDate(2025, 2, 14);
    b.numeroDocumento = QStringLiteral("0000000001");
    b.nossoNumero = nn;
    b.valor = DecimalTexto(valor);
    b.mensagens = QStringList{QStringLiteral("NÃO COBRAR MULTAS E JUROS"), QStringLiteral("NÃO ENVIAR A CARTÓRIO"),
                              QStringLiteral("Serviços prestados no mês 01/2025")};
    return b;
}

struct Leitura {
    QString digitos, erro;
    double estreita = 0;                       // px
    int altura = 0, margemEsq = 0, margemDir = 0; // px
};

// Interleaved 2 of 5 read from an image: the lowest block of rows with many transitions is the
// bar code; a line through its middle is cut into runs, wide = above twice the start's narrow.
Leitura leBarras(const QImage& img)
{
    static const QStringList padroes{"00110", "10001", "01001", "11000", "00101",
                                     "10100", "01100", "00011", "10010", "01010"};
    auto escuro = [](QRgb c) { return qGray(c) < 128; };
    auto linha = [&](int y) { return reinterpret_cast<const QRgb*>(img.constScanLine(y)); };
    auto transicoes = [&](int y) {
        int n = 0;
        for (int x = 1; x < img.width(); ++x)
            n += escuro(linha(y)[x]) != escuro(linha(y)[x - 1]);
        return n;
    };
    Leitura r;
    int baixo = img.height() - 1, alto;
    while (baixo > 0 && transicoes(baixo) < 200)
        --baixo;
    for (alto = baixo; alto > 0 && transicoes(alto - 1) >= 200;)
        --alto;
    r.altura = baixo - alto + 1;
    const QRgb* l = linha((alto + baixo) / 2);
    int x = 0, fim = img.width() - 1;
    while (x < fim && !escuro(l[x]))
        ++x;
    while (fim > x && !escuro(l[fim]))
        --fim;
    r.margemEsq = x;
    r.margemDir = img.width() - 1 - fim;
    QVector<int> runs;
    for (int n = 1; x <= fim; ++x, ++n)
        if (x == fim || escuro(l[x]) != escuro(l[x + 1])) {
            runs << n;
            n = 0;
        }
    if (runs.size() < 7 || (runs.size() - 7) % 10 != 0)
        return r.erro = QStringLiteral("%1 barras e espaços").arg(runs.size()), r;
    r.estreita = (runs[0] + runs[1] + runs[2] + runs[3]) / 4.0;
    auto largo = [&](qsizetype i) { return QChar(runs[i] > 2 * r.estreita ? u'1' : u'0'); };
    const qsizetype n = runs.size();
    QString bordas;
    for (qsizetype i : {qsizetype(0), qsizetype(1), qsizetype(2), qsizetype(3), n - 3, n - 2, n - 1})
        bordas += largo(i);
    if (bordas != QLatin1String("0000100"))
        return r.erro = QStringLiteral("início ou fim inválido"), r;
    for (int i = 4; i < n - 3; i += 10) {
        QString barras, espacos;
        for (int k = 0; k < 5; ++k) {
            barras += largo(i + 2 * k);
            espacos += largo(i + 2 * k + 1);
        }
        if (!padroes.contains(barras) || !padroes.contains(espacos))
            return r.erro = QStringLiteral("padrão inválido após %1").arg(r.digitos), r;
        r.digitos += QString::number(padroes.indexOf(barras)) + QString::number(padroes.indexOf(espacos));
    }
    return r;
}

int imagens(rel::Documento& doc)
{
    int n = 0;
    for (const rel::Comando& c : doc.paginas()[0].comandos)
        n += c.tipo == rel::Comando::Tipo::Imagem;
    return n;
}

} // namespace

class TstBoleto : public QObject {
    Q_OBJECT
private slots:
    void init();
    void fator_data();
    void fator();
    void numeros_data();
    void numeros();
    void recusados_data();
    void recusados();
    void contaDoBanco();
    void barrasLidasDaPagina();
    void textosDaPagina();
    void galeria();

private:
    QTemporaryDir m_dir;
};

void TstBoleto::init()
{
    // An installation folder without the bank logo unless a test puts one there.
    QFile::remove(m_dir.filePath(QStringLiteral("logobanrisul.png")));
    DefinePastaInstalacao(m_dir.path());
}

void TstBoleto::fator_data()
{
    QTest::addColumn<QDate>("vencimento");
    QTest::addColumn<int>("fator");
    QTest::newRow("old rule, 1000 days after 07/10/1997") << QDate(2000, 7, 3) << 1000;
    QTest::newRow("old rule, 9999") << QDate(2025, 2, 21) << 9999;
    QTest::newRow("restart") << QDate(2025, 2, 22) << 1000;
    QTest::newRow("day after restart") << QDate(2025, 2, 23) << 1001;
    // 22/02/2025 + 8999 days: to 22/02/2049 24 years = 8766 days (6 leap days); 233 more days are
    // 22/10/2049 (28+31+30+31+30+31+31+30 = 242) minus 9: 13/10/2049.
    QTest::newRow("next 9999") << QDate(2049, 10, 13) << 9999;
    QTest::newRow("next restart") << QDate(2049, 10, 14) << 1000;
}

void TstBoleto::fator()
{
    QFETCH(QDate, vencimento);
    QFETCH(int, fator);
    QCOMPARE(FatorVencimento(vencimento), fator);
}

void TstBoleto::numeros_data()
{
    QTest::addColumn<QString>("nossoNumero");
    QTest::addColumn<QDate>("vencimento");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("nc");
    QTest::addColumn<QString>("barras");
    QTest::addColumn<QString>("linha");
    // Agency 0817, holder code 4216093; free field "21" 0817 4216093 <nosso número> "40" <NC>.
    // Worked per row: NC(nn) and NC(free field) as modulo-10 sum → 1st digit, modulo-11 sum over the
    // number and that digit → rest → 2nd digit; then the general DV's modulo-11 sum over 43 digits.

    // Factor 9999. NC: 2 → 8; 19 rest 8 → 3. Free: 61 → 9; 216 rest 7 → 4. DV: 757 rest 9 → 2.
    QTest::newRow("day before restart, cents")
        << "00000001" << QDate(2025, 2, 21) << "1.234,56" << "83" << "04192999900001234562108174216093000000014094"
        << "04192.10810 74216.093000 00000.140947 2 99990000123456";
    // Factor 1000. NC: 4 → 6; 18 rest 7 → 4. Free: 63 → 7; 217 rest 8 → 3. DV: 434 rest 5 → 6.
    QTest::newRow("restart day, one cent")
        << "00000002" << QDate(2025, 2, 22) << "0,01" << "64" << "04196100000000000012108174216093000000024073"
        << "04192.10810 74216.093000 00000.240739 6 10000000000001";
    // Factor 1001. NC: 6 → 4; 17 rest 6 → 5. Free: 65 → 5; 218 rest 9 → 2. DV: 485 rest 1 → 10 → 1.
    QTest::newRow("day after restart, general DV 10")
        << "00000003" << QDate(2025, 2, 23) << "350,00" << "45" << "04191100100000350002108174216093000000034052"
        << "04192.10810 74216.093000 00000.340521 1 10010000035000";
    // Old rule 1000. NC: 10 → 0; 22 rest 0 → 0. Free: 69 → 1; 229 rest 9 → 2. DV: 465 rest 3 → 8.
    QTest::newRow("old rule, NC 00")
        << "00000123" << QDate(2000, 7, 3) << "10,50" << "00" << "04198100000000010502108174216093000001234012"
        << "04192.10810 74216.093000 00012.340121 8 10000000001050";
    // Factor 9999. NC: 1 → 9; 22 rest 0 → 0. Free: 60 → 0; 199 rest 1 → 1; 201 rest 3 → 8. DV: 779 rest 9 → 2.
    QTest::newRow("last day of the cycle, free field rest 1")
        << "00000010" << QDate(2049, 10, 13) << "99,90" << "90" << "04192999900000099902108174216093000000104018"
        << "04192.10810 74216.093000 00001.040187 2 99990000009990";
    // Factor 1000. NC: 4 → 6; 34 rest 1 → 7; 36 rest 3 → 8. Free: 63 → 7; 243 rest 1 → 8; 245 rest 3
    // → 8. DV: 515 rest 9 → 2.
    QTest::newRow("wrap to 1000, both NC rest 1")
        << "00000016" << QDate(2049, 10, 14) << "5.000,00" << "78" << "04192100000005000002108174216093000000164088"
        << "04192.10810 74216.093000 00001.640887 2 10000000500000";
    // Factor 1000 + 1826 (to 22/02/2030) + 303 (to 22/12) + 9 = 3138. NC: 11 → 9; 67 rest 1 → 9 + 1 → 0;
    // 49 rest 5 → 6. Free: 70 → 0; 268 rest 4 → 7. DV: 1034 rest 0 → 11 → 1.
    QTest::newRow("largest value, NC 9 becomes 0, general DV 11")
        << "00000265" << QDate(2030, 12, 31) << "99.999.999,99" << "06" << "04191313899999999992108174216093000002654007"
        << "04192.10810 74216.093000 00026.540070 1 31389999999999";
}

void TstBoleto::numeros()
{
    QFETCH(QString, nossoNumero);
    QFETCH(QDate, vencimento);
    QFETCH(QString, valor);
    QFETCH(QString, nc);
    QFETCH(QString, barras);
    QFETCH(QString, linha);
    const Boleto b = boleto(nossoNumero, vencimento, valor);
    QCOMPARE(DigitosNossoNumero(nossoNumero), nc);
    QCOMPARE(CodigoBarras(b), barras);
    QCOMPARE(LinhaDigitavel(barras), linha);
}

void TstBoleto::recusados_data()
{
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("valor");
    QTest::newRow("negative value") << "valor" << "-0.01";
    QTest::newRow("value above ten digits") << "valor" << "100000000.00";
    QTest::newRow("fraction of a cent") << "valor" << "10.005";
    QTest::newRow("due date on the base date") << "vencimento" << "07/10/1997";
    QTest::newRow("no due date") << "vencimento" << "";
    QTest::newRow("agency too long") << "agencia" << "10817";
    QTest::newRow("agency with its digit") << "agencia" << "0817-5";
    QTest::newRow("holder code too long") << "cedente" << "4216093712";
    QTest::newRow("holder code of 8 digits") << "cedente" << "42160937";
    QTest::newRow("holder code not numeric") << "cedente" << "42A6093";
    QTest::newRow("nosso número of 7 digits") << "nn" << "0000001";
    QTest::newRow("nosso número not numeric") << "nn" << "0000000A";
    QTest::newRow("bar code with a wrong DV") << "linha" << "04193999900001234562108174216093000000014094";
    QTest::newRow("bar code of 43 digits") << "linha" << "0419299990000123456210817421609300000001409";
}

void TstBoleto::recusados()
{
    QFETCH(QString, campo);
    QFETCH(QString, valor);
    Boleto b = boleto();
    if (campo == QLatin1String("linha")) {
        QVERIFY_THROWS_EXCEPTION(ErroValor, LinhaDigitavel(valor));
        return;
    }
    if (campo == QLatin1String("valor"))
        b.valor = *Decimal::parse(valor);
    else if (campo == QLatin1String("vencimento"))
        b.vencimento = LeData(valor);
    else if (campo == QLatin1String("agencia"))
        b.cedente.agencia = valor;
    else if (campo == QLatin1String("cedente"))
        b.cedente.codigoCedente = valor;
    else
        b.nossoNumero = valor;
    QVERIFY_THROWS_EXCEPTION(ErroValor, CodigoBarras(b));
    QVERIFY_THROWS_EXCEPTION(ErroValor, TRBoleto::Gera({boleto(), b})); // nothing laid out either
}

void TstBoleto::contaDoBanco()
{
    test::BancoTeste banco;
    banco.executa("insert into contasboletos (id_conta, titulo, agencia, agenciadigito, codigocedente, codigotrans, "
                  "numerores, nome, uf, producao, taxa) values (1, 'PRODUCAO', '0817', '05', '4216093.71', '123', "
                  "'1234', 'CONSORCIO', 'RS', 'S', 'N')");
    banco.executa("insert into contasboletos (id_conta, titulo, agencia, codigocedente, producao, taxa) "
                  "values (2, 'TAXAS', '0100', '2742629', 'N', 'S')");
    const auto prod = LeContaBoleto(banco.tr(), "SELECT * FROM CONTASBOLETOS WHERE PRODUCAO=" + SqlTexto("S"));
    QVERIFY(prod);
    QCOMPARE((QStringList{QString::number(prod->idConta), prod->titulo, prod->agencia, prod->agenciaDigito,
                          prod->codigoCedente, prod->codigoTrans, prod->numeroRes, prod->nome, prod->uf, prod->bairro}),
             (QStringList{"1", "PRODUCAO", "0817", "05", "4216093.71", "123", "1234", "CONSORCIO", "RS", ""}));
    QCOMPARE(AgenciaCodigoImpresso(*prod), QStringLiteral("0817.05 4216093.71"));
    QCOMPARE(LeContaBoleto(banco.tr(), "SELECT * FROM CONTASBOLETOS WHERE TAXA=" + SqlTexto("S"))->idConta, 2);
    QVERIFY(!LeContaBoleto(banco.tr(), QStringLiteral("SELECT * FROM CONTASBOLETOS WHERE ID_CONTA=3")));
}

void TstBoleto::barrasLidasDaPagina()
{
    const Boleto b = boleto(QStringLiteral("00000016"), QDate(2049, 10, 14), QStringLiteral("5.000,00"));
    auto doc = TRBoleto::Gera({boleto(), b});
    QCOMPARE(doc->numPaginas(), 2);
    const double pxPorMm = 600 / 25.4;
    const Leitura l = leBarras(rel::ImagemPagina(*doc, 1, 600));
    QVERIFY2(l.erro.isEmpty(), qPrintable(l.erro));
    QCOMPARE(l.digitos, QStringLiteral("04192100000005000002108174216093000000164088"));
    // Narrow bar 0.33 mm, bars 13 mm high, more than ten narrow bars of blank paper on each side.
    QVERIFY2(qAbs(l.estreita - kBarraEstreitaMm * pxPorMm) < 1.5, qPrintable(QString::number(l.estreita)));
    QVERIFY2(qAbs(l.altura - kAlturaBarrasMm * pxPorMm) < 3, qPrintable(QString::number(l.altura)));
    QVERIFY(qMin(l.margemEsq, l.margemDir) > 10 * l.estreita);
}

void TstBoleto::textosDaPagina()
{
    Boleto b = boleto();
    b.mensagens << QStringLiteral("Uma descrição longa do município que ocupa várias linhas no espaço das instruções "
                                  "do boleto, sem ser cortada nem invadir os quadros vizinhos da ficha.");
    auto doc = TRBoleto::Gera({b});
    const QStringList t = doc->textos(0);
    const QString tudo = t.join(QLatin1Char('\n'));
    QVERIFY(t.contains(QStringLiteral("04192.10810 74216.093000 00000.140947 5 10160000123456")));
    for (const char* s : {"Ficha de Compensação", "Recibo do Pagador", "Pagável em qualquer banco até a data de vencimento",
                          "1.234,56", "10/03/2025", "00000001-83", "0817.05 4216093.71", "8050.76",
                          "PODER EXECUTIVO DO MUNICÍPIO DE CANOAS (77) - CNPJ: 88.577.416/0001-18",
                          "RUA XV DE JANEIRO, 11 - CENTRO", "CEP: 92010-300 - CANOAS/RS",
                          "CONSORCIO INTERMUNICIPAL DE TESTE - CNPJ: 12.345.678/0001-95"})
        QVERIFY2(tudo.contains(QString::fromUtf8(s)), s);
    // Every message in the receipt and in the compensation slip, the long one wrapped.
    for (const QString& m : b.mensagens)
        QCOMPARE(t.join(QLatin1Char(' ')).count(m), 2);
    QVERIFY(!t.contains(b.mensagens.last()));
    // The bank's name without the logo file; the image in both headers with it.
    QCOMPARE(t.count(QStringLiteral("Banrisul")), 2);
    QCOMPARE(imagens(*doc), 0);
    QImage logo(120, 30, QImage::Format_RGB32);
    logo.fill(QColor(0, 80, 160));
    QVERIFY(logo.save(m_dir.filePath(QStringLiteral("logobanrisul.png"))));
    doc = TRBoleto::Gera({b});
    QCOMPARE(doc->textos(0).count(QStringLiteral("Banrisul")), 0);
    QCOMPARE(imagens(*doc), 2);
}

void TstBoleto::galeria()
{
    Boleto b = boleto();
    b.cedente.logradouro = QStringLiteral("RUA DOS ANDRADAS");
    b.cedente.numeroRes = QStringLiteral("1234");
    b.cedente.bairro = QStringLiteral("CENTRO");
    b.cedente.cidade = QStringLiteral("PORTO ALEGRE");
    b.cedente.uf = QStringLiteral("RS");
    b.cedente.cep = QStringLiteral("90020008");
    b.mensagens.insert(2, QStringLiteral("Consultas e exames especializados realizados pelos prestadores credenciados do "
                                         "consórcio para os munícipes, conforme demonstrativo enviado à secretaria."));
    QVERIFY(rel::ImagemPagina(*TRBoleto::Gera({b}), 0, 150).save(test::PastaTelas() + QStringLiteral("/boleto.png")));
}

QTEST_MAIN(TstBoleto)
#include "tst_boleto.moc"
