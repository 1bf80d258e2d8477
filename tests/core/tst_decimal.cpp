#include "core/Decimal.h"
#include "core/Texto1252.h"

#include <QtTest>

using namespace vx;

class TstDecimal : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void arredonda_data();
    void arredonda();
    void somaSemPerda();
    void proporcao_data();
    void proporcao();
    void texto1252_data();
    void texto1252();
};

void TstDecimal::parse_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("curto");
    QTest::newRow("virgula") << "30,30" << true << "30.30" << "30,3";
    QTest::newRow("ponto") << "12.00" << true << "12.00" << "12";
    QTest::newRow("negativo") << "-0,05" << true << "-0.05" << "-0,05";
    QTest::newRow("inteiro") << "1500" << true << "1500" << "1500";
    QTest::newRow("zero") << "0,00" << true << "0.00" << "0";
    QTest::newRow("grande") << "999999999999,99" << true << "999999999999.99" << "999999999999,99";
    QTest::newRow("dois separadores") << "1.234,56" << false << "" << "";
    QTest::newRow("letra") << "12a" << false << "" << "";
    QTest::newRow("injecao") << "1; drop table x" << false << "" << "";
    QTest::newRow("vazio") << "" << false << "" << "";
    QTest::newRow("so sinal") << "-" << false << "" << "";
    QTest::newRow("digitos arabes") << QString::fromUtf8("\u0661\u0662") << false << "" << "";
}

void TstDecimal::parse()
{
    QFETCH(QString, texto);
    QFETCH(bool, valido);
    QFETCH(QString, sql);
    QFETCH(QString, curto);
    const auto d = Decimal::parse(texto);
    QCOMPARE(d.has_value(), valido);
    if (valido) {
        QCOMPARE(d->toSql(), sql);
        QCOMPARE(d->toShortString(), curto);
    }
}

void TstDecimal::arredonda_data()
{
    QTest::addColumn<QString>("valor");
    QTest::addColumn<int>("escala");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("meio para cima") << "0.125" << 2 << "0.13";
    QTest::newRow("meio negativo") << "-0.125" << 2 << "-0.13";
    QTest::newRow("abaixo do meio") << "2.344999" << 2 << "2.34";
    QTest::newRow("amplia") << "1.5" << 3 << "1.500";
    QTest::newRow("inteiro") << "2.5" << 0 << "3";
}

void TstDecimal::arredonda()
{
    QFETCH(QString, valor);
    QFETCH(int, escala);
    QFETCH(QString, esperado);
    QCOMPARE(Decimal::parse(valor)->rescaled(escala).toSql(), esperado);
}

void TstDecimal::somaSemPerda()
{
    // 0,10 added ten thousand times is exactly 1000,00 (a double would drift).
    Decimal total(0, 2);
    for (int i = 0; i < 10000; ++i)
        total = total + Decimal(10, 2);
    QCOMPARE(total.toSql(), QString("1000.00"));
    QCOMPARE((Decimal(1500, 2) * Decimal(1500, 5)).rescaled(2).toSql(), QString("0.23"));
    QVERIFY(Decimal(100, 2) == Decimal(1, 0));
    QVERIFY(Decimal(-1, 2) < Decimal(0, 0));
}

void TstDecimal::proporcao_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("c");
    QTest::addColumn<int>("escala");
    QTest::addColumn<QString>("esperado"); // empty: no result
    QTest::newRow("exato") << "1000.00" << "750.00" << "3000.00" << 2 << "250.00";
    QTest::newRow("terco arredonda para baixo") << "100.00" << "1" << "3" << 2 << "33.33";
    QTest::newRow("dois tercos arredonda para cima") << "100.00" << "2" << "3" << 2 << "66.67";
    QTest::newRow("meio centavo") << "0.01" << "1" << "2" << 2 << "0.01";
    QTest::newRow("meio centavo negativo") << "-0.01" << "1" << "2" << 2 << "-0.01";
    QTest::newRow("divisor negativo") << "10.00" << "1" << "-4" << 2 << "-2.50";
    QTest::newRow("indice cinco casas") << "1" << "100" << "3" << 5 << "33.33333";
    QTest::newRow("fixo 50/29") << "2900.00" << "1.7241379310344827" << "100" << 2 << "50.00";
    QTest::newRow("valores grandes") << "99999999.99" << "99999999.99" << "0.01" << 2 << "";
    QTest::newRow("divisor zero") << "1.00" << "1" << "0.00" << 2 << "";
}

void TstDecimal::proporcao()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, c);
    QFETCH(int, escala);
    QFETCH(QString, esperado);
    const auto r = Decimal::proporcao(*Decimal::parse(a), *Decimal::parse(b), *Decimal::parse(c), escala);
    QCOMPARE(r ? r->toSql() : QString(), esperado);
}

void TstDecimal::texto1252_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QByteArray>("cp1252");
    QTest::addColumn<QByteArray>("latin1");
    QTest::newRow("acentos") << QString::fromUtf8("São José Ação") << QByteArray("S\xe3o Jos\xe9 A\xe7\xe3o")
                             << QByteArray("S\xe3o Jos\xe9 A\xe7\xe3o");
    QTest::newRow("euro e aspas") << QString::fromUtf8("€ “x” – ok") << QByteArray("\x80 \x93x\x94 \x96 ok")
                                  << QByteArray("E \"x\" - ok");
    QTest::newRow("fora do 1252") << QString::fromUtf8("Łódź ✓") << QByteArray("L\xf3" "dz ?") << QByteArray("L\xf3" "dz ?");
}

void TstDecimal::texto1252()
{
    QFETCH(QString, texto);
    QFETCH(QByteArray, cp1252);
    QFETCH(QByteArray, latin1);
    QCOMPARE(para1252(texto), cp1252);
    QCOMPARE(paraLatin1(texto), latin1);
    QCOMPARE(de1252(para1252(texto)), ajustaPara1252(texto));
    QCOMPARE(cabeEm1252(texto), de1252(cp1252) == texto);
}

QTEST_GUILESS_MAIN(TstDecimal)
#include "tst_decimal.moc"
