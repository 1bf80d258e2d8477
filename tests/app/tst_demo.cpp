// The demo installation's sample rows load on a new database and are what the screens expect.
#include "core/Login.h"
#include "core/Usuarios.h"
#include "core/widgets/TPersonEdit.h"
#include "municipality/Marcacao.h"
#include "municipality/Saldos.h"
#include "support/Fixtures.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace vx;

class TstDemo : public QObject {
    Q_OBJECT
private slots:
    void dadosDaDemo();
};

void TstDemo::dadosDaDemo()
{
    QFile f(QStringLiteral(VX_SOURCE_DIR "/scripts/demo/dados.sql"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QString sql = QString::fromUtf8(f.readAll());
    sql.remove(QRegularExpression(QStringLiteral("--[^\n]*")));
    test::BancoTeste b;
    for (const QString& comando : sql.split(QLatin1Char(';'))) {
        const QString c = comando.trimmed();
        if (!c.isEmpty() && c.compare(QLatin1String("commit"), Qt::CaseInsensitive) != 0)
            b.executa(c);
    }
    // The user registry forces names to lower case: the demo user must be found as typed there.
    Transacao& tr = b.tr();
    tr.inicia();
    const DadosUsuario u = CarregaUsuario(tr, QStringLiteral("demo"));
    QVERIFY(u.existe);
    QCOMPARE(VerificaLogin(tr, QStringLiteral("DEMO"), QStringLiteral("demo123")), ResultadoLogin::Usuario);
    tr.rollback();
    // The entity screen checks CNPJs on leaving the field: the demo's pass.
    QStringList cnpjs = b.valor("select list(cnpj, '|') from entidades").toString().split(QLatin1Char('|'));
    QCOMPARE(cnpjs.size(), 3);
    cnpjs << b.valor("select list(cnpj, '|') from clientes where cnpj <> ''").toString().split(QLatin1Char('|'));
    for (const QString& c : cnpjs)
        QVERIFY2(TPersonEdit::CnpjValido(c), qPrintable(c));
    QCOMPARE(b.valor("select count(*) from limitesunidades where current_date between datainicial and datafinal").toInt(), 3);
    // The month's limits are those of today's month, journalled; Canoas is near its limit.
    QCOMPARE(b.valor("select count(*) from clilimites l where l.valor = (select sum(j.valor) from lanclimites j "
                     "where j.codcliente = l.codcliente and j.periodo = l.periodo)").toInt(), 3);
    const Saldos poa = CalcSaldos(tr, {QStringLiteral("4314902"), QDate::currentDate(), {}, 1, true, true});
    QCOMPARE(poa.textoAutorizado(), QStringLiteral("282,50"));
    QCOMPARE(poa.textoSaldo(), QStringLiteral("49717,50"));
    QCOMPARE(poa.linhaUnidade.left(33), QStringLiteral("REF. UNIDADE:   GASTO: R$ 42,50  "));
    QCOMPARE(CalcSaldos(tr, {QStringLiteral("4304606"), QDate::currentDate(), {}, {}, true, true}).textoSaldo(),
             QStringLiteral("10,00"));
    // A new authorization at Porto Alegre follows the demo's three and uses a contracted procedure.
    Consulta q(tr);
    tr.inicia();
    QVERIFY(VinculosDaInsercao(q, QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), true));
    tr.rollback();
    Autorizacao a;
    a.municipio = QStringLiteral("4314902");
    a.paciente = a.entidade = a.profissional = a.unidade = QStringLiteral("1");
    a.dataLanc = a.dataAtual = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    a.carater = QStringLiteral("1");
    a.usuario = QStringLiteral("DEMO");
    const AutorizacaoAberta nova = InsereProcedimento(tr, a, {}, 1, 1);
    QCOMPARE(nova.numero, qint64(4));
    QCOMPARE(nova.chave.left(10), QStringLiteral("1490200004"));
}

QTEST_GUILESS_MAIN(TstDemo)
#include "tst_demo.moc"
