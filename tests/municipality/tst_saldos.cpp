// Balances of the authorization screen on a real database, and the panel that shows them.
#include "core/Banco.h"
#include "core/widgets/PainelSaldos.h"
#include "municipality/Saldos.h"
#include "support/Fixtures.h"
#include "support/Galeria.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace vx;

namespace {
const QString kMun = QStringLiteral("4314902");
const QDate kHoje(2024, 3, 15);

struct Base {
    test::BancoTeste b;
    int proximo = 1;
    Base()
    {
        b.executa("insert into unidades (codigo, nome) values (7, 'UBS CENTRO')");
        b.executa("insert into procedimentos (codigo, nome, valor) values (1, 'CONSULTA', 10)");
    }
    // One authorization with one procedure line per value (each its own procedure code).
    void autoriza(const QList<double>& valores, const QDate& lanc = kHoje, const QString& origem = kMun,
                  const QString& extra = {}, const QString& extraValores = {})
    {
        const int id = proximo++;
        b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, datalanc%1) "
                                 "values ('%2', %3, 'M', '%4'%5)")
                      .arg(extra, origem)
                      .arg(id)
                      .arg(lanc.toString(Qt::ISODate), extraValores));
        int proc = 1;
        for (double v : valores)
            b.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, "
                                     "codprocedimento, quantidade, valortotal) values ('%1', %2, 'M', %3, 1, %4)")
                          .arg(origem)
                          .arg(id)
                          .arg(proc++)
                          .arg(v, 0, 'f', 2));
    }
    void limite(const QString& valor, const QString& periodo = QStringLiteral("03-2024"))
    {
        b.executa(QStringLiteral("insert into clilimites values ('%1', '%2', %3, 'COTA DO MES')").arg(kMun, periodo, valor));
    }
    Saldos calcula(const QDate& marc = {}, std::optional<qint64> unidade = std::nullopt, bool impresso = true,
                   bool configurado = true)
    {
        return CalcSaldos(b.tr(), {kMun, kHoje, marc, unidade, impresso, configurado});
    }
};
} // namespace

class TstSaldos : public QObject {
    Q_OBJECT
private slots:
    void periodo_data()
    {
        QTest::addColumn<QDate>("data");
        QTest::addColumn<QString>("fim");
        QTest::addColumn<QString>("chave");
        QTest::newRow("abril") << QDate(2024, 4, 10) << "30/04/2024" << "04-2024";
        QTest::newRow("fevereiro bissexto") << QDate(2024, 2, 29) << "29/02/2024" << "02-2024";
        QTest::newRow("fevereiro") << QDate(2023, 2, 1) << "28/02/2023" << "02-2023";
        QTest::newRow("dezembro") << QDate(2026, 12, 31) << "31/12/2026" << "12-2026";
    }
    void periodo()
    {
        QFETCH(QDate, data);
        QFETCH(QString, fim);
        QFETCH(QString, chave);
        const PeriodoMes p = PeriodoDoMes(data);
        QCOMPARE(p.inicio, QDate(data.year(), data.month(), 1));
        QCOMPARE(p.fim.toString("dd/MM/yyyy"), fim);
        QCOMPARE(p.chave, chave);
    }

    // The month's balance: what counts, the exact cents, where finalizing stops.
    void saldo_data()
    {
        QTest::addColumn<QString>("limite");   // empty: no limit row
        QTest::addColumn<QList<double>>("valores");
        QTest::addColumn<QString>("autorizado");
        QTest::addColumn<QString>("saldo");
        QTest::addColumn<bool>("excedido");
        QTest::newRow("sem limite") << "" << QList<double>{5000} << "5000,00" << "" << false;
        QTest::newRow("limite zero") << "0" << QList<double>{5000} << "5000,00" << "" << false;
        QTest::newRow("centavo restante") << "1000" << QList<double>{999.99} << "999,99" << "0,01" << false;
        QTest::newRow("saldo zero") << "1000" << QList<double>{999.99, 0.01} << "1000,00" << "0,00" << false;
        QTest::newRow("um centavo acima") << "1000" << QList<double>{999.99, 0.02} << "1000,01" << "-0,01" << true;
        QTest::newRow("tres terços") << "100" << QList<double>{33.33, 33.33, 33.33} << "99,99" << "0,01" << false;
    }
    void saldo()
    {
        QFETCH(QString, limite);
        QFETCH(QList<double>, valores);
        QFETCH(QString, autorizado);
        QFETCH(QString, saldo);
        QFETCH(bool, excedido);
        Base s;
        if (!limite.isEmpty())
            s.limite(limite);
        s.autoriza(valores);
        // Not counted: another municipality, the months around, a blocked authorization.
        s.autoriza({300}, kHoje, QStringLiteral("4304606"));
        s.autoriza({300}, QDate(2024, 2, 29));
        s.autoriza({300}, QDate(2024, 4, 1));
        s.autoriza({300}, kHoje, kMun, ", databloqueio", ", '2024-03-16'");
        const Saldos r = s.calcula();
        QCOMPARE(r.legendaAutorizado, QStringLiteral("Valor já autorizado no período 01/03/2024 a 31/03/2024: R$ "));
        QCOMPARE(r.textoAutorizado(), autorizado);
        QCOMPARE(r.textoSaldo(), saldo);
        QCOMPARE(r.excedido, excedido);
        QCOMPARE(r.finaliza, excedido ? Saldos::Finaliza::Desabilitar : Saldos::Finaliza::Habilitar);
        QCOMPARE(r.textoObs(), limite.isEmpty() ? QString() : QStringLiteral("COTA DO MES"));
        QVERIFY(r.legendaAgendado.isEmpty() && !r.agendado);
    }

    // 29/02 counts in February; the appointment month is shown but never blocks.
    void agendado()
    {
        Base s;
        s.limite("100", "02-2024");
        s.autoriza({80}, QDate(2024, 2, 29), kMun, ", datamarc", ", '2024-04-02'");
        s.autoriza({500}, QDate(2024, 3, 1), kMun, ", datamarc", ", '2024-04-30'");
        const Saldos fev = CalcSaldos(s.b.tr(), {kMun, QDate(2024, 2, 29), QDate(2024, 4, 9), {}, true, true});
        QCOMPARE(fev.textoAutorizado(), QStringLiteral("80,00"));
        QCOMPARE(fev.textoSaldo(), QStringLiteral("20,00"));
        QCOMPARE(fev.legendaAgendado, QStringLiteral("Valor já AGENDADO para o período 01/04/2024 a 30/04/2024: R$ "));
        QCOMPARE(fev.textoAgendado(), QStringLiteral("580,00"));
        QCOMPARE(fev.finaliza, Saldos::Finaliza::Habilitar);
        QCOMPARE(s.calcula(QDate(2024, 5, 1)).textoAgendado(), QStringLiteral("0,00"));
    }

    // The unit's limit of the day: 500,00 spent of 500,00 still finalizes, 500,01 blocks; without
    // a limit only the spending is shown.
    void unidade_data()
    {
        QTest::addColumn<bool>("comLimite");
        QTest::addColumn<double>("extra");
        QTest::addColumn<QString>("linha");
        QTest::addColumn<bool>("excedido");
        QTest::newRow("no limite") << true << 0.0 << "REF. UNIDADE:   GASTO: R$ 500,00    DISPONÍVEL: R$ 0,00" << false;
        QTest::newRow("acima") << true << 0.01 << "REF. UNIDADE:   GASTO: R$ 500,01    DISPONÍVEL: R$ -0,01" << true;
        QTest::newRow("sem limite") << false << 0.01 << "REF. UNIDADE:   GASTO: R$ 500,01" << false;
    }
    void unidade()
    {
        QFETCH(bool, comLimite);
        QFETCH(double, extra);
        QFETCH(QString, linha);
        QFETCH(bool, excedido);
        Base s;
        if (comLimite) {
            s.b.executa("insert into limitesunidades values (7, '2024-01-01', '2024-12-31', 1, 'ANO')");
            s.b.executa("insert into limitesunidades values (7, '2024-03-01', '2024-03-31', 500, 'MARCO')");
        }
        s.autoriza({400, 100}, kHoje, kMun, ", codunidade", ", 7");
        s.autoriza({extra}, QDate(2024, 3, 31), kMun, ", codunidade", ", 7");
        s.autoriza({900}, kHoje); // another unit's (none) spending
        const Saldos r = s.calcula({}, 7);
        QCOMPARE(r.linhaUnidade, linha);
        QCOMPARE(r.textoObs(), linha);
        QCOMPARE(r.excedido, excedido);
    }

    // The finalize button: left alone while the printout is shown, kept disabled while the
    // municipality is not configured.
    void finaliza_data()
    {
        QTest::addColumn<bool>("impresso");
        QTest::addColumn<bool>("configurado");
        QTest::addColumn<int>("finaliza");
        QTest::newRow("normal") << true << true << int(Saldos::Finaliza::Habilitar);
        QTest::newRow("imprimindo") << false << true << int(Saldos::Finaliza::Manter);
        QTest::newRow("nao configurado") << true << false << int(Saldos::Finaliza::Desabilitar);
    }
    void finaliza()
    {
        QFETCH(bool, impresso);
        QFETCH(bool, configurado);
        QFETCH(int, finaliza);
        Base s;
        s.autoriza({10});
        QCOMPARE(int(s.calcula({}, std::nullopt, impresso, configurado).finaliza), finaliza);
    }

    // The panel turns yellow and disables the button over the limit, and back.
    void painel()
    {
        Base s;
        s.limite("100");
        s.autoriza({60});
        PainelSaldos p;
        QPushButton finalizar;
        finalizar.setEnabled(false);
        p.mostra(s.calcula(QDate(2024, 3, 20), 7), &finalizar);
        QVERIFY(finalizar.isEnabled() && !p.excedido());
        QCOMPARE(p.cor(), PainelSaldos::corNormal());
        QCOMPARE(p.LSaldo()->text(), QStringLiteral("40,00"));
        QCOMPARE(p.LValorLimite()->text(), QStringLiteral("100,00"));
        QCOMPARE(p.LObsLimite()->text(), QStringLiteral("REF. UNIDADE:   GASTO: R$ 0,00"));
        QCOMPARE(p.LValorAgendado()->text(), QStringLiteral("0,00"));
        test::SalvaTela(&p, QStringLiteral("painel_saldos"));
        s.autoriza({40.01});
        p.mostra(s.calcula(), &finalizar);
        QVERIFY(!finalizar.isEnabled() && p.excedido());
        QCOMPARE(p.cor(), PainelSaldos::corExcedido());
        QVERIFY(p.LPeriodoAgendado()->text().isEmpty());
        test::SalvaTela(&p, QStringLiteral("painel_saldos_excedido"));
    }
};

QTEST_MAIN(TstSaldos)
#include "tst_saldos.moc"
