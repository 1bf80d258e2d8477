// Billing of a period on a real database: the withholdings of each profile against figures worked by
// hand, the billing window, what is left out, stored and recomputed listings, the monthly fees,
// saving (twice, after a change, failing halfway) and the entities' payables.
#include "billing/Faturamento.h"
#include "core/Banco.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "support/Fixtures.h"

#include <QtTest>

using namespace vx;

namespace {

Decimal dec(const QString& s) { return *Decimal::parse(s); }

const QDate kIni(2026, 3, 1);
const QDate kFim(2026, 3, 31);

// Municipalities, entities (normal, exempt, simplified regime, CULVAR rates), procedures.
void cadastros(test::BancoTeste& b)
{
    b.executa("insert into clientes (codigo, nome, apelido, valortaxa, cobrtaxa) values ('4300001', 'ALFA', 'ALF', 150.00, 'B')");
    b.executa("insert into clientes (codigo, nome, apelido, valortaxa, cobrtaxa) values ('4300002', 'BETA', 'BET', 0, 'R')");
    b.executa("insert into clientes (codigo, nome, apelido, valortaxa, cobrtaxa) values ('4300003', 'GAMA', 'GAM', 80.55, null)");
    b.executa("insert into gruposproced (codigo, nome) values (1, 'CONSULTAS')");
    b.executa("insert into procedimentos (codigo, nome, codgrupo, valor) values (1, 'CONSULTA', 1, 100)");
    b.executa("insert into procedimentos (codigo, nome, codgrupo, valor) values (2, 'EXAME', 1, 50)");
    b.executa("insert into entidades (codigo, razaosocial, isentoir, simplesnac, issqn, pis, cofins, csll) "
              "values (1, 'CLINICA NORMAL', 'N', 'N', 2, 0.65, 3, 1)");
    b.executa("insert into entidades (codigo, razaosocial, isentoir, simplesnac, issqn, pis, cofins, csll) "
              "values (2, 'HOSPITAL ISENTO', 'S', 'N', 2, 0.65, 3, 1)");
    b.executa("insert into entidades (codigo, razaosocial, isentoir, simplesnac, issqn, pis, cofins, csll) "
              "values (3, 'LAB SIMPLES', 'N', 'S', 3.5, 0, 0, 0)");
}

int g_id = 0;

// One authorization with one procedure line.
void linha(test::BancoTeste& b, const QString& cli, int ent, const QString& recebida, const QString& valor,
           const QString& extra = {}, const QString& estampa = QStringLiteral("M"), int proc = 1,
           const QString& realizado = QStringLiteral("S"), const QString& sus = QStringLiteral("null, null, null"),
           int id = 0)
{
    const int n = id ? id : ++g_id;
    b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codentidade, data_importacao%1) "
                             "values ('%2', %3, '%4', %5, '%6'%7)")
                  .arg(extra.isEmpty() ? QString() : QStringLiteral(", databloqueio"), cli)
                  .arg(n)
                  .arg(estampa)
                  .arg(ent)
                  .arg(recebida, extra.isEmpty() ? QString() : QStringLiteral(", '") + extra + QLatin1Char('\'')));
    b.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                             "quantidade, realizado, valortotal, valorsus1, valorsus2, valorpopular) "
                             "values ('%1', %2, '%3', %4, 1, '%5', %6, %7)")
                  .arg(cli)
                  .arg(n)
                  .arg(estampa)
                  .arg(proc)
                  .arg(realizado, valor, sus));
}

GradeFaturamento lista(test::BancoTeste& b, ModoFaturamento modo, bool recalcular, const QString& perfil = "CORVANE")
{
    PedidoFatura p;
    p.modo = modo;
    p.inicio = kIni;
    p.fim = kFim;
    p.recalcular = recalcular;
    p.regras = RegrasFaturamento::DoPerfil(perfil);
    return ListaFatura(b.tr(), p);
}

GravacaoFatura gravacao(ModoFaturamento modo, bool taxas = false)
{
    GravacaoFatura g;
    g.modo = modo;
    g.taxas = taxas;
    g.inicio = QStringLiteral("01/03/2026");
    g.fim = QStringLiteral("31/03/2026");
    g.emissao = QStringLiteral("05/04/2026");
    g.vencimento = QStringLiteral("20/04/2026");
    g.hoje = QDate(2026, 4, 5);
    g.agora = QDateTime(QDate(2026, 4, 5), QTime(10, 30));
    return g;
}

QString linhas(const GradeFaturamento& g)
{
    QStringList r;
    for (const LinhaGrade& l : g)
        r << l.join(QLatin1Char('|'));
    return r.join(QLatin1Char('\n'));
}

} // namespace

class TstFaturamento : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        g_id = 0;
        SessaoAtual().UsuarioLogado = QStringLiteral("ana");
    }

    // Figures worked by hand: base = gross + addition/discount; IRRF 1,5 %, COFINS 4,65 % (from gross
    // 5000,00, not CUNE) or the entity's rate (CULVAR), TARIFA 1 % (CUNE), ISSQN the entity's rate,
    // PIS/CSLL the entity's rates (CULVAR, period ending on or after 20/08/2015); each rounded half
    // away from zero to cents.
    void retencoes_data()
    {
        QTest::addColumn<QString>("perfil");
        QTest::addColumn<QString>("bruto");
        QTest::addColumn<QString>("acresc");
        QTest::addColumn<int>("entidade"); // 1 normal (ISS 2, PIS 0,65, COFINS 3, CSLL 1), 2 exempt, 3 simplified (ISS 3,5)
        QTest::addColumn<QDate>("fim");
        QTest::addColumn<QString>("esperado"); // IRRF|COFINS|TARIFA|ISSQN|PIS|CSLL
        const QDate f(2026, 3, 31);
        // 600 × 1,5 % = 9,00 < 10 → 0; tarifa 6,00; ISS 12,00.
        QTest::newRow("CUNE IRRF 9,00 zerado") << "CUNE" << "600.00" << "0" << 1 << f << "0,00|0,00|6,00|12,00|0,00|0,00";
        // 700 × 1,5 % = 10,50 kept.
        QTest::newRow("CUNE IRRF 10,50") << "CUNE" << "700.00" << "0" << 1 << f << "10,50|0,00|7,00|14,00|0,00|0,00";
        // 666,66 × 1,5 % = 9,9999: below 10 before rounding → 0; tarifa 6,6666 → 6,67; ISS 13,3332 → 13,33.
        QTest::newRow("CUNE IRRF 9,9999") << "CUNE" << "666.66" << "0" << 1 << f << "0,00|0,00|6,67|13,33|0,00|0,00";
        // 666,67 × 1,5 % = 10,00005 → 10,00.
        QTest::newRow("CUNE IRRF 10,00005") << "CUNE" << "666.67" << "0" << 1 << f << "10,00|0,00|6,67|13,33|0,00|0,00";
        // CUNE never withholds COFINS: 6000 → IRRF 90, tarifa 60, ISS 120.
        QTest::newRow("CUNE sem COFINS") << "CUNE" << "6000.00" << "0" << 1 << f << "90,00|0,00|60,00|120,00|0,00|0,00";
        QTest::newRow("CUNE isenta") << "CUNE" << "600.00" << "0" << 2 << f << "0,00|0,00|6,00|12,00|0,00|0,00";
        // Half a cent: 0,50 × 1 % = 0,005 → 0,01.
        QTest::newRow("CUNE meio centavo") << "CUNE" << "0.50" << "0" << 1 << f << "0,00|0,00|0,01|0,01|0,00|0,00";
        QTest::newRow("perfil com CUNE no nome") << "consorcio cune sul" << "700.00" << "0" << 1 << f
                                                 << "10,50|0,00|7,00|14,00|0,00|0,00";
        // 4999,99: COFINS 0; IRRF 74,99985 → 75,00; ISS 99,9998 → 100,00.
        QTest::newRow("CORVANE 4999,99") << "CORVANE" << "4999.99" << "0" << 1 << f << "75,00|0,00|0,00|100,00|0,00|0,00";
        // 5000,00: COFINS 232,50.
        QTest::newRow("CORVANE 5000,00") << "CORVANE" << "5000.00" << "0" << 1 << f << "75,00|232,50|0,00|100,00|0,00|0,00";
        // The threshold looks at the gross alone: 4999,99 + 100 → no COFINS; IRRF 76,49985 → 76,50; ISS 102,00.
        QTest::newRow("limite pelo bruto") << "CORVANE" << "4999.99" << "100.00" << 1 << f
                                           << "76,50|0,00|0,00|102,00|0,00|0,00";
        // 5000 − 100: COFINS on the base 4900 = 227,85; IRRF 73,50; ISS 98,00.
        QTest::newRow("desconto sobre a base") << "CORVANE" << "5000.00" << "-100.00" << 1 << f
                                               << "73,50|227,85|0,00|98,00|0,00|0,00";
        QTest::newRow("CUMBEL 5000,00") << "CUMBEL" << "5000.00" << "0" << 1 << f << "75,00|232,50|0,00|100,00|0,00|0,00";
        QTest::newRow("CASLUNE 5000,00") << "CASLUNE" << "5000.00" << "0" << 1 << f << "75,00|232,50|0,00|100,00|0,00|0,00";
        // IRRF below 10 kept outside CUNE: 100 → 1,50.
        QTest::newRow("CEVRANDOSA IRRF pequeno") << "CEVRANDOSA" << "100.00" << "0" << 1 << f
                                                 << "1,50|0,00|0,00|2,00|0,00|0,00";
        QTest::newRow("CORVANE simples") << "CORVANE" << "5000.00" << "0" << 3 << f << "0,00|0,00|0,00|175,00|0,00|0,00";
        QTest::newRow("CORVANE isenta") << "CORVANE" << "5000.00" << "0" << 2 << f << "0,00|0,00|0,00|100,00|0,00|0,00";
        // Negative base: −0,50 → IRRF −0,0075 → −0,01.
        QTest::newRow("base negativa") << "CORVANE" << "100.00" << "-100.50" << 1 << f
                                       << "-0,01|0,00|0,00|-0,01|0,00|0,00";
        // CULVAR: COFINS 3 % = 30,00; PIS 0,65 % = 6,50; CSLL 1 % = 10,00 from 20/08/2015.
        QTest::newRow("CULVAR 20/08/2015") << "CULVAR" << "1000.00" << "0" << 1 << QDate(2015, 8, 20)
                                           << "15,00|30,00|0,00|20,00|6,50|10,00";
        QTest::newRow("CULVAR 19/08/2015") << "CULVAR" << "1000.00" << "0" << 1 << QDate(2015, 8, 19)
                                           << "15,00|30,00|0,00|20,00|0,00|0,00";
        // Exempt from income tax: no IRRF or COFINS, PIS and CSLL still withheld.
        QTest::newRow("CULVAR isenta") << "CULVAR" << "1000.00" << "0" << 2 << f << "0,00|0,00|0,00|20,00|6,50|10,00";
        // 333,35 × 3 % = 10,0005 → 10,00; 333,35 × 0,65 % = 2,166775 → 2,17; IRRF 5,00025 → 5,00.
        QTest::newRow("CULVAR arredonda") << "CULVAR" << "333.35" << "0" << 1 << f << "5,00|10,00|0,00|6,67|2,17|3,33";
    }
    void retencoes()
    {
        QFETCH(QString, perfil);
        QFETCH(QString, bruto);
        QFETCH(QString, acresc);
        QFETCH(int, entidade);
        QFETCH(QDate, fim);
        QFETCH(QString, esperado);
        test::BancoTeste b;
        cadastros(b);
        const auto ents = LeDadosFiscais(b.tr());
        GradeFaturamento g{LinhaGrade{QString::number(entidade), "X", CelulaBruto(dec(bruto)), CelulaValor(dec(acresc)),
                                      "", "", "", "", "", "", "NF1", "obs"}};
        QVERIFY(CalculaRetencoes(g, ents, RegrasFaturamento::DoPerfil(perfil), fim).isEmpty());
        QCOMPARE(g[0].mid(colent::Irrf, 6).join(QLatin1Char('|')), esperado);
        QCOMPARE(g[0][colent::Nf], QStringLiteral("NF1"));
    }

    // Cells that are not numbers leave their row alone and are reported; dots are thousands.
    void celulasInvalidas()
    {
        GradeFaturamento g{{"4300001", "ALFA", "1.000,00", "10,00", "abc", "5,00", "", ""},
                           {"4300002", "BETA", "200,00", "", "", "-20,5", "", ""},
                           {"", "", "", "", "", "", "", ""}};
        const CelulasInvalidas r = RecalculaLiquidos(g);
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0], QPoint(colmun::DescPop, 0));
        QCOMPARE(g[0][colmun::Liquido], QString());
        QCOMPARE(g[1][colmun::Liquido], QStringLiteral("179,50"));
        QCOMPARE(g[2][colmun::Liquido], QString());
        QCOMPARE(ValorCelula("1.234,5"), dec("1234.5"));
        QCOMPARE(ValorCelula(""), Decimal());
        QVERIFY_THROWS_EXCEPTION(ErroValor, ValorCelula("12a"));
    }

    // The window runs from 00:01 of the first day to 23:59 of the last; blocked, unrealized lines and
    // unknown procedures are left out; copies of one authorization count once each.
    void janelaEExclusoes()
    {
        test::BancoTeste b;
        cadastros(b);
        linha(b, "4300001", 1, "2026-03-01 00:00:30", "1.00");   // before 00:01
        linha(b, "4300001", 1, "2026-03-01 00:01:00", "10.00");  // first minute counted
        linha(b, "4300001", 1, "2026-03-31 23:59:00", "100.00"); // last minute counted
        linha(b, "4300001", 1, "2026-03-31 23:59:30", "2.00");   // after 23:59
        linha(b, "4300001", 1, "2026-02-28 12:00:00", "4.00");
        linha(b, "4300001", 1, "2026-04-01 12:00:00", "8.00");
        linha(b, "4300001", 1, "2026-03-10 12:00:00", "16.00", "2026-03-11");                      // blocked
        linha(b, "4300001", 1, "2026-03-10 12:00:00", "32.00", {}, "M", 1, "N");                   // not realized
        linha(b, "4300001", 1, "2026-03-10 12:00:00", "64.00", {}, "M", 99);                       // unknown procedure
        // The same authorization received twice (two stamps): both copies, each once.
        linha(b, "4300002", 2, "2026-03-15 09:00:00", "1000.00", {}, "15/03/2026 001", 1, "S", "null, null, null", 500);
        linha(b, "4300002", 2, "2026-03-16 09:00:00", "1000.00", {}, "16/03/2026 002", 1, "S", "null, null, null", 500);
        const QVector<ProducaoPeriodo> p = ConsultaProducao(b.tr(), ModoFaturamento::Municipio, kIni, kFim);
        QCOMPARE(p.size(), 2);
        QCOMPARE(p[0].nome, QStringLiteral("ALFA"));
        QCOMPARE(p[0].valor, dec("110.00"));
        QCOMPARE(p[1].valor, dec("2000.00"));
        const QVector<ProducaoPeriodo> e = ConsultaProducao(b.tr(), ModoFaturamento::Entidade, kIni, kFim);
        QCOMPARE(e.size(), 2);
        QCOMPARE(e[0].codigo, QStringLiteral("1"));
        QCOMPARE(e[0].nome, QStringLiteral("CLINICA NORMAL"));
        QCOMPARE(e[1].nome, QStringLiteral("HOSPITAL ISENTO"));
        b.tr().rollback();
    }

    // Recalculation per profile: CULVAR takes the credit-covered parts as discounts.
    void municipiosRecalculados_data()
    {
        QTest::addColumn<QString>("perfil");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("CUNE") << "CUNE" << "4300001|ALFA|300,00|0,00|0,00|0,00|300,00|";
        QTest::newRow("CUMBEL") << "CUMBEL" << "4300001|ALFA|300,00|0,00|0,00|0,00|300,00|";
        // SUS 40 + 25 + 10 + 5 = 80; popular 7,50 + 2,50 = 10; net 300 − 80 − 10 = 210.
        QTest::newRow("CULVAR") << "CULVAR" << "4300001|ALFA|300,00|80,00|10,00|0,00|210,00|";
    }
    void municipiosRecalculados()
    {
        QFETCH(QString, perfil);
        QFETCH(QString, esperado);
        test::BancoTeste b;
        cadastros(b);
        linha(b, "4300001", 1, "2026-03-05 10:00:00", "100.00", {}, "M", 1, "S", "40, 25, 7.50");
        linha(b, "4300001", 1, "2026-03-06 10:00:00", "200.00", {}, "M", 1, "S", "10, 5, 2.50");
        QCOMPARE(linhas(lista(b, ModoFaturamento::Municipio, true, perfil)), esperado);
        QVERIFY(!b.tr().ativa());
    }

    // Saved, listed as stored (net with the consortium's part), saved again after a change.
    void gravaMunicipios()
    {
        test::BancoTeste b;
        cadastros(b);
        linha(b, "4300001", 1, "2026-03-05 10:00:00", "300.00");
        linha(b, "4300003", 1, "2026-03-05 10:00:00", "45.10");
        GradeFaturamento g = lista(b, ModoFaturamento::Municipio, true);
        QCOMPARE(linhas(g), QStringLiteral("4300001|ALFA|300,00|0,00|0,00|0,00|300,00|\n"
                                           "4300003|GAMA|45,10|0,00|0,00|0,00|45,10|"));
        // Before saving, a stored listing shows zeros.
        QCOMPARE(lista(b, ModoFaturamento::Municipio, false)[0].mid(2, 5).join('|'), QStringLiteral("0,00|0,00|0,00|0,00|0,00"));
        g[0][colmun::AcrescDesc] = QStringLiteral("-50,25");
        g[0][colmun::Obs] = QStringLiteral("Desconto d'água");
        RecalculaLiquidos(g);
        QCOMPARE(g[0][colmun::Liquido], QStringLiteral("249,75"));
        GravaFatura(b.tr(), gravacao(ModoFaturamento::Municipio), g);
        QCOMPARE(b.valor("select count(*) from fat_municipio").toInt(), 2);
        QCOMPARE(b.valor("select valorbruto || ';' || acrescdesc || ';' || descsus || ';' || desccune || ';' || descppc "
                         "|| ';' || obs || ';' || tipo || ';' || dataprocessamento from fat_municipio where codcliente='4300001'")
                     .toString(),
                 QStringLiteral("300.00;-50.25;0.00;0.00;0.00;Desconto d'água;FAT;2026-04-05 10:30:00.0000"));
        QCOMPARE(b.valor("select outrasinfo from logs where tabela='Fat_Municipio' and situacao='I'").toString(),
                 QStringLiteral("01/03/2026-31/03/2026-0"));
        // The consortium's part of the discount enters the stored net.
        b.executa("update fat_municipio set descsus=20, desccune=5, descppc=1 where codcliente='4300001'");
        QCOMPARE(linhas(lista(b, ModoFaturamento::Municipio, false)).section('\n', 0, 0),
                 QStringLiteral("4300001|ALFA|300,00|20,00|1,00|-50,25|233,75|Desconto d'água"));
        // Saving the same grid again gives the same rows.
        GravaFatura(b.tr(), gravacao(ModoFaturamento::Municipio), g);
        QCOMPARE(b.valor("select count(*) from fat_municipio").toInt(), 2);
        QCOMPARE(b.valor("select sum(valorbruto + acrescdesc) from fat_municipio").toString(), QStringLiteral("294.85"));
        QCOMPARE(b.valor("select count(*) from logs where tabela='Fat_Municipio'").toInt(), 2);
    }

    // A cell that is not a number fails the save halfway: nothing changes, the stored billing stays.
    void falhaNoMeioNaoDeixaNada()
    {
        test::BancoTeste b;
        cadastros(b);
        linha(b, "4300001", 1, "2026-03-05 10:00:00", "300.00");
        linha(b, "4300003", 2, "2026-03-05 10:00:00", "45.10");
        for (ModoFaturamento modo : {ModoFaturamento::Municipio, ModoFaturamento::Entidade}) {
            GradeFaturamento g = lista(b, modo, true);
            GravaFatura(b.tr(), gravacao(modo), g);
            const QString antes = linhas(lista(b, modo, false));
            g[0][2] = QStringLiteral("999,99");
            // A value that is not a number, and a remark longer than its column, in the second row.
            for (const auto& [coluna, texto] : {std::pair{3, QStringLiteral("1O,00")},
                                                std::pair{modo == ModoFaturamento::Entidade ? int(colent::Obs) : int(colmun::Obs),
                                                          QString(301, QLatin1Char('x'))}}) {
                GradeFaturamento ruim = g;
                ruim[1][coluna] = texto;
                QVERIFY_THROWS_EXCEPTION(ErroValor, GravaFatura(b.tr(), gravacao(modo), ruim));
                QVERIFY(!b.tr().ativa());
                QCOMPARE(linhas(lista(b, modo, false)), antes);
            }
        }
        QCOMPARE(b.valor("select count(*) from lanpagar").toInt(), 2);
        QCOMPARE(b.valor("select count(*) from logs").toInt(), 2);
    }

    // Entities: withholdings in the grid, the stored row, and one payable per entity and month kept
    // in place across saves.
    void gravaEntidadesEPagar()
    {
        test::BancoTeste b;
        cadastros(b);
        b.executa("insert into lanpagar (id, codentidade, origem, valordebito) values (7, 2, 'FAT02/2026', 10)");
        linha(b, "4300001", 1, "2026-03-05 10:00:00", "5000.00");
        linha(b, "4300001", 2, "2026-03-05 10:00:00", "1000.00");
        GradeFaturamento g = lista(b, ModoFaturamento::Entidade, true, "CORVANE");
        QCOMPARE(linhas(g), QStringLiteral("1|CLINICA NORMAL|5000,00|0,00|75,00|232,50|0,00|100,00|0,00|0,00||\n"
                                           "2|HOSPITAL ISENTO|1000,00|0,00|0,00|0,00|0,00|20,00|0,00|0,00||"));
        g[0][colent::Nf] = QStringLiteral("NF-123");
        GravaFatura(b.tr(), gravacao(ModoFaturamento::Entidade), g);
        // 5000 − 75 − 232,50 − 100 = 4592,50; 1000 − 20 = 980.
        QCOMPARE(b.valor("select list(id || ':' || codentidade || ':' || origem || ':' || valordebito || ':' || datadebito "
                         "|| ':' || datavencimento || ':' || historico || ':' || obs, ' ') from (select * from lanpagar "
                         "where origem='FAT03/2026' order by id)")
                     .toString(),
                 QStringLiteral("8:1:FAT03/2026:4592.50:2026-04-05:2026-04-20:Fatura 03/2026:Gerado em 05/04/2026 "
                                "9:2:FAT03/2026:980.00:2026-04-05:2026-04-20:Fatura 03/2026:Gerado em 05/04/2026"));
        QCOMPARE(linhas(lista(b, ModoFaturamento::Entidade, false)).section('\n', 0, 0),
                 QStringLiteral("1|CLINICA NORMAL|5000,00|0,00|75,00|232,50|0,00|100,00|0,00|0,00|NF-123|"));
        // Rebilled after a discount and new dates: same ids, values updated, payment untouched.
        b.executa("update lanpagar set valorpgto=100 where id=8");
        g[0][colent::AcrescDesc] = QStringLiteral("-1000,00");
        CalculaRetencoes(g, LeDadosFiscais(b.tr()), RegrasFaturamento::DoPerfil("CORVANE"), kFim);
        GravacaoFatura gv = gravacao(ModoFaturamento::Entidade);
        gv.vencimento = QStringLiteral("30/04/2026");
        GravaFatura(b.tr(), gv, g);
        // Base 4000: IRRF 60, COFINS 186 (gross still 5000), ISS 80; net 4000 − 326 = 3674.
        QCOMPARE(b.valor("select list(id || ':' || valordebito || ':' || datavencimento || ':' || valorpgto, ' ') from "
                         "(select * from lanpagar where origem='FAT03/2026' order by id)")
                     .toString(),
                 QStringLiteral("8:3674.00:2026-04-30:100.00 9:980.00:2026-04-30:0.00"));
        QCOMPARE(b.valor("select count(*) from fat_entidade").toInt(), 2);
        QCOMPARE(b.valor("select irrf || ';' || cofins || ';' || issqn || ';' || docnf from fat_entidade where codentidade=1")
                     .toString(),
                 QStringLiteral("60.00;186.00;80.00;NF-123"));
    }

    // Fees: the municipalities with a fee, from the registry or as stored; their own type.
    void taxas()
    {
        test::BancoTeste b;
        cadastros(b);
        linha(b, "4300001", 1, "2026-03-05 10:00:00", "300.00");
        GravaFatura(b.tr(), gravacao(ModoFaturamento::Municipio), lista(b, ModoFaturamento::Municipio, true));
        const GradeFaturamento novas = ListaTaxas(b.tr(), kIni, kFim, true);
        QCOMPARE(linhas(novas), QStringLiteral("4300001|ALFA|150,00|0,00|0,00|0,00|150,00|B\n"
                                               "4300003|GAMA|80,55|0,00|0,00|0,00|80,55|"));
        QCOMPARE(linhas(ListaTaxas(b.tr(), kIni, kFim, false)),
                 QStringLiteral("4300001|ALFA|0,00|0,00|0,00|0,00|0,00|\n4300003|GAMA|0,00|0,00|0,00|0,00|0,00|"));
        GravaFatura(b.tr(), gravacao(ModoFaturamento::Municipio, true), novas);
        QCOMPARE(linhas(ListaTaxas(b.tr(), kIni, kFim, false)), linhas(novas));
        QCOMPARE(b.valor("select list(tipo || ':' || codcliente || ':' || valorbruto, ' ') from "
                         "(select * from fat_municipio order by tipo, codcliente)")
                     .toString(),
                 QStringLiteral("FAT:4300001:300.00 TAXA:4300001:150.00 TAXA:4300003:80.55"));
        QCOMPARE(b.valor("select max(outrasinfo) from logs").toString(), QStringLiteral("01/03/2026-31/03/2026-1"));
    }

    void podeFaturar()
    {
        test::BancoTeste b;
        b.executa("insert into usuarios (usuario, senha, podefaturar) values ('ana', 'x', 'S')");
        b.executa("insert into usuarios (usuario, senha, podefaturar) values ('bia', 'x', 'N')");
        b.executa("insert into usuarios (usuario, senha) values ('o''neil', 'x')");
        QVERIFY(PodeFaturar(b.tr(), "ana"));
        QVERIFY(!PodeFaturar(b.tr(), "bia"));
        QVERIFY(!PodeFaturar(b.tr(), "o'neil"));
        QVERIFY(!PodeFaturar(b.tr(), "ninguem"));
    }
};

QTEST_GUILESS_MAIN(TstFaturamento)
#include "tst_faturamento.moc"
