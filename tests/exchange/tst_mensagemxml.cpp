#include "exchange/MensagemXml.h"

#include <QtTest>

using namespace vx;

class TstMensagemXml : public QObject {
    Q_OBJECT
private slots:
    void escapa_data();
    void escapa();
    void idaEVolta_data();
    void idaEVolta();
    void fimDeLinha();
    void invalidos_data();
    void invalidos();
    void valores_data();
    void valores();
};

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

QTEST_GUILESS_MAIN(TstMensagemXml)
#include "tst_mensagemxml.moc"
