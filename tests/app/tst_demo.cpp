// The demo installation's sample rows load on a new database and are what the screens expect.
#include "core/Login.h"
#include "core/Usuarios.h"
#include "core/widgets/TPersonEdit.h"
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
    const QStringList cnpjs = b.valor("select list(cnpj, '|') from entidades").toString().split(QLatin1Char('|'));
    QCOMPARE(cnpjs.size(), 3);
    for (const QString& c : cnpjs)
        QVERIFY2(TPersonEdit::CnpjValido(c), qPrintable(c));
    QCOMPARE(b.valor("select count(*) from limitesunidades where current_date between datainicial and datafinal").toInt(), 3);
}

QTEST_GUILESS_MAIN(TstDemo)
#include "tst_demo.moc"
