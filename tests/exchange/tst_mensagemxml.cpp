#include "exchange/MensagemXml.h"
#include "support/Fixtures.h"

#include <QtTest>

#include <sys/resource.h>

using namespace vx;

namespace {

QByteArray declaracao()
{
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
}

// A message with `n` nested elements inside the root.
QByteArray aninhada(int n)
{
    return declaracao() + "<mensagemVXO>" + QByteArray("<a>").repeated(n) + QByteArray("</a>").repeated(n) +
           "</mensagemVXO>";
}

const QByteArray kDet = "<det nSeq='1'><codigo>101</codigo><nome>CONSULTA</nome></det>";

// A valid message of about `tamanho` bytes: tamanho / kDet.size() procedure rows.
QByteArray mensagemGrande(qint64 tamanho)
{
    return declaracao() + "<mensagemVXO><procedimentos>" + kDet.repeated(tamanho / kDet.size()) +
           "</procedimentos></mensagemVXO>";
}

qint64 picoMemoriaMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024; // kB on Linux
}

} // namespace

class TstMensagemXml : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void escapa_data();
    void escapa();
    void idaEVolta_data();
    void idaEVolta();
    void fimDeLinha();
    void invalidos_data();
    void invalidos();
    void valores_data();
    void valores();
    void recusados_data();
    void recusados();
    void entidadesPredefinidas();
    void profundidadeNoLimite();
    void tamanhoConfiguravel();
    void arquivoGrandeNaoELido();
    void mensagensDeExemplo_data();
    void mensagensDeExemplo();
    void memoriaLimitada();
};

// A regression (a tree of a million levels, an entity expanded to gigabytes) must fail here, not
// swap: the process gets at most 1.5 GiB of address space.
void TstMensagemXml::initTestCase()
{
#if !defined(__SANITIZE_ADDRESS__)
    rlimit r{};
    QCOMPARE(getrlimit(RLIMIT_AS, &r), 0);
    const rlim_t limite = rlim_t(1536) * 1024 * 1024;
    if (r.rlim_cur == RLIM_INFINITY || r.rlim_cur > limite) {
        r.rlim_cur = limite;
        QCOMPARE(setrlimit(RLIMIT_AS, &r), 0);
    }
#endif
}

void TstMensagemXml::escapa_data()
{
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("escrito");
    QTest::newRow("ampersand and less-than") << "a&b<c" << "a&amp;b&lt;c";
    QTest::newRow("greater-than and quotes kept") << "x > \"y\" 'z'" << "x > \"y\" 'z'";
    QTest::newRow("entity text escaped again") << "&amp;" << "&amp;amp;";
    QTest::newRow("cdata end broken") << "a]]>b" << "a]]&gt;b";
    QTest::newRow("control characters dropped") << QString("a\x01" "b\tc") << "ab\tc";
    QTest::newRow("empty") << "" << "";
}

void TstMensagemXml::escapa()
{
    QFETCH(QString, valor);
    QFETCH(QString, escrito);
    QCOMPARE(FormatoTroca::escapa(valor), escrito);
}

void TstMensagemXml::idaEVolta_data()
{
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("lido");
    QTest::newRow("accents") << QString::fromUtf8("Conceição Ávila Müller") << QString::fromUtf8("Conceição Ávila Müller");
    QTest::newRow("reserved") << "A & B <C> \"D\"" << "A & B <C> \"D\"";
    QTest::newRow("blank-only kept") << "   " << "   ";
    QTest::newRow("time mask") << "  :  " << "  :  ";
    QTest::newRow("outside Latin-1 mapped") << QString::fromUtf8("Ł€") << QStringLiteral("LE");
}

void TstMensagemXml::idaEVolta()
{
    QFETCH(QString, valor);
    QFETCH(QString, lido);
    EscritorMensagem w;
    w.abre("paciente");
    w.elemento("nome", valor);
    w.fecha("paciente");
    w.abre("procedimentos");
    for (int i = 1; i <= 3; ++i) {
        w.abre("det", QStringLiteral("nSeq='%1'").arg(i));
        w.elemento("codigo", QString::number(100 + i));
        w.fecha("det");
    }
    w.fecha("procedimentos");
    const QByteArray b = w.bytes(true);
    // Single bytes: every character of the value is one byte.
    QVERIFY(!b.contains("\xC3"));
    const LeitorMensagem m(b);
    QCOMPARE(m.valor("paciente/nome"), lido);
    QCOMPARE(m.valor("paciente/outro"), QString());
    QCOMPARE(m.valor("faltando/nome"), QString());
    const auto dets = m.elementos("procedimentos/det");
    QCOMPARE(dets.size(), 3);
    QCOMPARE(dets.at(2)->atributo("nSeq"), QStringLiteral("3"));
    QCOMPARE(dets.at(2)->valor("codigo"), QStringLiteral("103"));
    QVERIFY(m.elementos("procedimentos/outro").isEmpty());
}

void TstMensagemXml::fimDeLinha()
{
    EscritorMensagem w;
    w.elemento("a", "1");
    QTemporaryDir d;
    const QString p = d.filePath("m.xml");
    w.grava(p, true);
    QFile f(p);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    QVERIFY(b.endsWith("</mensagemVXO>\r\n"));
    QCOMPARE(b.count('\n'), 1);
    QCOMPARE(LeitorMensagem::doArquivo(p).valor("a"), QStringLiteral("1"));
    w.grava(p, false);
    QCOMPARE(QFileInfo(p).size(), qint64(b.size() - 2));
    // Readers accept LF too.
    QCOMPARE(LeitorMensagem(w.bytes(false) + "\n").valor("a"), QStringLiteral("1"));
}

void TstMensagemXml::invalidos_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated") << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO><a>1</a>");
    QTest::newRow("raw ampersand") << QByteArray("<mensagemVXO><a>A & B</a></mensagemVXO>");
    QTest::newRow("html error page") << QByteArray("<html><body>404</body>");
}

void TstMensagemXml::invalidos()
{
    QFETCH(QByteArray, bytes);
    QVERIFY_THROWS_EXCEPTION(ErroMensagem, LeitorMensagem{bytes});
}

void TstMensagemXml::valores_data()
{
    QTest::addColumn<QString>("escrito");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("amount with trailing zero") << FormatoTroca::decimal(Decimal::cents(3030)) << "30,3";
    QTest::newRow("whole amount") << FormatoTroca::decimal(Decimal::cents(1200)) << "12";
    QTest::newRow("round hundred") << FormatoTroca::decimal(Decimal::cents(15000)) << "150";
    QTest::newRow("no thousands separator") << FormatoTroca::decimal(Decimal::cents(123456789)) << "1234567,89";
    QTest::newRow("zero") << FormatoTroca::decimal(Decimal::cents(0)) << "0";
    QTest::newRow("negative") << FormatoTroca::decimal(Decimal::cents(-250)) << "-2,5";
    QTest::newRow("null amount") << FormatoTroca::decimal(std::nullopt) << "";
    QTest::newRow("integer") << FormatoTroca::inteiro(qint64(1000001)) << "1000001";
    QTest::newRow("null integer") << FormatoTroca::inteiro(std::nullopt) << "";
    QTest::newRow("date") << FormatoTroca::data(QDate(2015, 3, 2)) << "02/03/2015";
    QTest::newRow("null date") << FormatoTroca::data(QDate()) << "";
    QTest::newRow("send time") << FormatoTroca::dataHora(QDateTime(QDate(2015, 3, 2), QTime(9, 5, 7))) << "02/03/2015 09:05:07";
    QTest::newRow("midnight keeps the time") << FormatoTroca::dataHora(QDateTime(QDate(2015, 12, 31), QTime(0, 0))) << "31/12/2015 00:00:00";
}

void TstMensagemXml::valores()
{
    QFETCH(QString, escrito);
    QFETCH(QString, esperado);
    QCOMPARE(escrito, esperado);
}

void TstMensagemXml::recusados_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("motivo");
    const QString dtd = "declarações DOCTYPE e ENTITY";
    QTest::newRow("doctype") << declaracao() + "<!DOCTYPE mensagemVXO><mensagemVXO><a>1</a></mensagemVXO>" << dtd;
    QTest::newRow("doctype externo")
        << declaracao() + "<!DOCTYPE mensagemVXO SYSTEM \"file:///etc/passwd\"><mensagemVXO/>" << dtd;
    QByteArray risos = "<!DOCTYPE m [<!ENTITY r0 \"haha\">";
    for (int i = 1; i <= 9; ++i)
        risos += QStringLiteral("<!ENTITY r%1 \"%2\">").arg(i).arg(QStringLiteral("&r%1;").arg(i - 1).repeated(10)).toLatin1();
    QTest::newRow("bilhao de risos") << declaracao() + risos + "]><mensagemVXO><a>&r9;</a></mensagemVXO>" << dtd;
    // 200,000 references to a 4,000-character entity: 800 million characters once expanded.
    QTest::newRow("entidade repetida")
        << declaracao() + "<!DOCTYPE m [<!ENTITY x \"" + QByteArray(4000, 'x') + "\">]><mensagemVXO><a>" +
               QByteArray("&x;").repeated(200000) + "</a></mensagemVXO>"
        << dtd;
    QTest::newRow("entity sem doctype") << declaracao() + "<!ENTITY x \"y\"><mensagemVXO/>" << dtd;
    QTest::newRow("entidade nao declarada") << declaracao() + "<mensagemVXO><a>&x;</a></mensagemVXO>" << "";
    // The same declarations in UTF-16, where a byte search would not see them.
    const QString utf16 = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                         "<!DOCTYPE m [<!ENTITY x \"y\">]><mensagemVXO>&x;</mensagemVXO>");
    QTest::newRow("utf-16") << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2)
                            << "bytes nulos";
    QTest::newRow("utf-16 sem nulos") << QByteArray("\xFF\xFE\x3C\x6D") << "UTF-16";
    QTest::newRow("codificacao ebcdic")
        << QByteArray("<?xml version=\"1.0\" encoding=\"IBM037\"?>") + QByteArray("\x4C\x94\x6E\x4C\x61\x94\x6E")
        << "codificação IBM037";
    QTest::newRow("65 niveis") << aninhada(kProfundidadeMaximaXml) << "mais de 64 níveis";
    QTest::newRow("um milhao de niveis") << aninhada(1000000) << "mais de 64 níveis";
    QTest::newRow("um milhao de niveis sem fechar")
        << declaracao() + QByteArray("<a>").repeated(1000000) << "mais de 64 níveis";
    QTest::newRow("acima do tamanho padrao") << mensagemGrande(8 * 1024 * 1024 + 100) << "acima do limite de 8 MB";
}

void TstMensagemXml::recusados()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, motivo);
    QTemporaryDir d;
    const QString p = d.filePath("m.xml");
    {
        QFile f(p);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    for (int arquivo = 0; arquivo < 2; ++arquivo) {
        try {
            const LeitorMensagem m = arquivo ? LeitorMensagem::doArquivo(p) : LeitorMensagem(bytes);
            QFAIL("lido");
        } catch (const ErroMensagem& e) {
            if (!motivo.isEmpty()) {
                QVERIFY2(e.texto().startsWith("Arquivo XML recusado: "), qPrintable(e.texto()));
                QVERIFY2(e.texto().contains(motivo), qPrintable(e.texto()));
            }
        }
    }
}

void TstMensagemXml::entidadesPredefinidas()
{
    const LeitorMensagem m(declaracao() + "<mensagemVXO><a>&amp;&lt;&gt;&quot;&apos;&#65;&#xE9;</a></mensagemVXO>");
    QCOMPARE(m.valor("a"), QString::fromUtf8("&<>\"'Aé"));
}

void TstMensagemXml::profundidadeNoLimite()
{
    // The root and 63 levels below it.
    const LeitorMensagem m(aninhada(kProfundidadeMaximaXml - 1));
    const ElementoXml* e = &m.raiz();
    int niveis = 1;
    while (!e->filhos.isEmpty()) {
        e = &e->filhos.first();
        ++niveis;
    }
    QCOMPARE(niveis, kProfundidadeMaximaXml);
}

void TstMensagemXml::tamanhoConfiguravel()
{
    QTemporaryDir d;
    const QByteArray grande = mensagemGrande(1536 * 1024);
    const QByteArray menor = mensagemGrande(900 * 1024);
    const QString p = d.filePath("m.xml");
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(grande);
    f.close();

    test::InstalaConfiguracao(d.path(), {"TAMANHOMAXXML=1"});
    QCOMPARE(TamanhoMaximoXml(), qint64(1024 * 1024));
    QVERIFY_THROWS_EXCEPTION(ErroMensagem, LeitorMensagem{grande});
    QVERIFY_THROWS_EXCEPTION(ErroMensagem, LeitorMensagem::doArquivo(p));
    QCOMPARE(LeitorMensagem(menor).elementos("procedimentos/det").size(), 900 * 1024 / kDet.size());

    // Missing or unreadable values give the default of 8 MB, which reads the larger message.
    for (const char* linha : {"TAMANHOMAXXML=0", "TAMANHOMAXXML=oito", "OUTRA=1"}) {
        test::InstalaConfiguracao(d.path(), {linha});
        QCOMPARE(TamanhoMaximoXml(), qint64(8 * 1024 * 1024));
    }
    QCOMPARE(LeitorMensagem::doArquivo(p).elementos("procedimentos/det").size(), 1536 * 1024 / kDet.size());
}

void TstMensagemXml::arquivoGrandeNaoELido()
{
    // A 100 MB file (sparse: nothing written) is refused by its size, before any of it is read.
    QTemporaryDir d;
    const QString p = d.filePath("grande.xml");
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(declaracao() + "<mensagemVXO>");
    QVERIFY(f.resize(100 * 1024 * 1024));
    f.close();
    const qint64 antes = picoMemoriaMb();
    try {
        LeitorMensagem::doArquivo(p);
        QFAIL("lido");
    } catch (const ErroMensagem& e) {
        QVERIFY2(e.texto().contains("104857600 bytes, acima do limite"), qPrintable(e.texto()));
    }
    QVERIFY(picoMemoriaMb() - antes < 50);
}

void TstMensagemXml::mensagensDeExemplo_data()
{
    QTest::addColumn<QString>("arquivo");
    const QDir dados(VX_TEST_DATA_DIR);
    const QStringList xmls = dados.entryList({"*.xml"}, QDir::Files);
    QVERIFY(!xmls.isEmpty());
    for (const QString& n : xmls)
        QTest::newRow(qPrintable(n)) << dados.filePath(n);
}

void TstMensagemXml::mensagensDeExemplo()
{
    QFETCH(QString, arquivo);
    const LeitorMensagem m = LeitorMensagem::doArquivo(arquivo);
    QCOMPARE(m.raiz().nome, QString("mensagemVXO"));
    QCOMPARE(m.raiz().atributo("xmlns"), QString("urn:sngpc-schema"));
    QVERIFY(!m.valor("cabecalho/respEnvio").isEmpty());
    QVERIFY(!m.elementos("marcacao/procedimentos/det").isEmpty());
}

// After every refusal above the process stayed small.
void TstMensagemXml::memoriaLimitada()
{
    QVERIFY2(picoMemoriaMb() < 512, qPrintable(QString::number(picoMemoriaMb())));
}

QTEST_GUILESS_MAIN(TstMensagemXml)
#include "tst_mensagemxml.moc"
