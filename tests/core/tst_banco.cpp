#include "core/Banco.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "support/Fixtures.h"

#include <QtTest>

using namespace vx;

class TstBanco : public QObject {
    Q_OBJECT
private slots:
    void tiposTipados();
    void nulDentroDoLiteral();
};

void TstBanco::tiposTipados()
{
    test::BancoTeste b(false);
    b.executa("create table t (a integer, b numeric(10,2), c varchar(20), d date, e timestamp, f blob sub_type text, g numeric(10,5))");
    b.executa("insert into t values (1, 12.50, 'ação', '2015-03-02', '2015-03-02 10:11:12', 'texto longo', 0.12345)");
    b.executa("insert into t values (null, null, null, null, null, null, null)");
    b.tr().inicia();
    Consulta q(b.tr());
    q.abre("select * from t order by a nulls last");
    QVERIFY(!q.eof());
    QCOMPARE(q.campo("A").inteiro(), 1);
    QCOMPARE(q.campo("B").decimal(), Decimal(1250, 2));
    QCOMPARE(q.campo("B").texto(), QString("12,5"));
    QCOMPARE(q.campo("C").texto(), QString::fromUtf8("ação"));
    QCOMPARE(q.campo("D").texto(), QString("02/03/2015"));
    QCOMPARE(q.campo("E").texto(), QString("02/03/2015 10:11:12"));
    QCOMPARE(q.campo("F").texto(), QString("texto longo"));
    QCOMPARE(q.campo("G").decimal().toSql(), QString("0.12345"));
    q.proximo();
    QVERIFY(!q.eof());
    for (int i = 0; i < q.numCampos(); ++i)
        QVERIFY(q.campo(i).nulo);
    q.proximo();
    QVERIFY(q.eof());
}

// A NUL typed or pasted into a text does not cut the statement short.
void TstBanco::nulDentroDoLiteral()
{
    test::BancoTeste b(false);
    b.executa("create table t (id integer, c varchar(20))");
    const QString texto = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    b.executa(QStringLiteral("insert into t values (1, %1)").arg(SqlTexto(texto)));
    b.executa("insert into t values (2, 'outro')");
    QCOMPARE(b.valor(QStringLiteral("select count(*) from t where c=%1").arg(SqlTexto(texto))).toInt(), 1);
    QCOMPARE(b.valor("select char_length(c) from t where id=1").toInt(), 3);
}

QTEST_GUILESS_MAIN(TstBanco)
#include "tst_banco.moc"
