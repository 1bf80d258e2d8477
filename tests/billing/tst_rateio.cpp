// Funding sources over the production: credit consumption line by line on hand-worked figures, and
// the apportionment of a transfer base among the municipalities of a billing period, through the
// functions and through the two screens.
#include "billing/Rateio.h"
#include "billing/TFAplicaRateio.h"
#include "billing/TFFaturamento.h"
#include "billing/TFRateioSUS.h"
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QLabel>
#include <QRadioButton>
#include <QtTest>

using namespace vx;

namespace {

Decimal dec(const QString& s) { return *Decimal::parse(s); }

const QDate kIni(2026, 3, 1);
const QDate kFim(2026, 3, 31);

// Municipality 4300001, procedures 1 (SUS 60,00), 2 (SUS 30,00, POPULAR 20,00), 3 (no SUS value).
void cadastros(test::BancoTeste& b)
{
    b.executa("insert into clientes (codigo, nome, populacao) values ('4300001', 'ALFA', 1000)");
    b.executa("insert into clientes (codigo, nome, populacao) values ('4300002', 'BETA', 3000)");
    b.executa("insert into clientes (codigo, nome, populacao) values ('4300003', 'GAMA', 6000)");
    b.executa("insert into procedimentos (codigo, nome, valor, valorsus) values (1, 'RAIO X', 80, 60)");
    b.executa("insert into procedimentos (codigo, nome, valor, valorsus, valorpopular) values (2, 'EXAME', 50, 30, 20)");
    b.executa("insert into procedimentos (codigo, nome, valor) values (3, 'CONSULTA', 40)");
}

void credito(test::BancoTeste& b, const char* tipo, const char* data, const char* valor, const char* cli = "4300001")
{
    b.executa(QStringLiteral("insert into creditos (cli_origem, tipo, data, valor) values ('%1', '%2', '%3', %4)")
                  .arg(QLatin1String(cli), QLatin1String(tipo), QLatin1String(data), QLatin1String(valor)));
}

// One authorization copy (origin, number, stamp) with one line.
void linha(test::BancoTeste& b, int id, const char* recebida, int proc, const char* valor, const char* estampa = "M",
           const char* realizado = "S", const char* bloqueio = nullptr, const char* cli = "4300001")
{
    b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codentidade, data_importacao, "
                             "databloqueio) values ('%1', %2, '%3', 1, '%4', %5)")
                  .arg(QLatin1String(cli))
                  .arg(id)
                  .arg(QLatin1String(estampa), QLatin1String(recebida),
                       bloqueio ? QStringLiteral("'%1'").arg(QLatin1String(bloqueio)) : QStringLiteral("null")));
    b.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                             "quantidade, realizado, valortotal) values ('%1', %2, '%3', %4, 1, '%5', %6)")
                  .arg(QLatin1String(cli))
                  .arg(id)
                  .arg(QLatin1String(estampa))
                  .arg(proc)
                  .arg(QLatin1String(realizado), QLatin1String(valor)));
}

// "sus1/sus2/popular" of each line, in key order; null shown as "-".
QString consumos(test::BancoTeste& b)
{
    Consulta q(b.tr());
    q.abre(QStringLiteral("select valorsus1, valorsus2, valorpopular from marcacao_proceds "
                          "order by cli_origem, id_marcacao, data_imp_adm"));
    QStringList l;
    for (; !q.eof(); q.proximo()) {
        QStringList v;
        for (int i = 0; i < 3; ++i)
            v << (q.campo(i).nulo ? QStringLiteral("-") : q.campo(i).decimal().toShortString());
        l << v.join(QLatin1Char('/'));
    }
    b.tr().rollback();
    return l.join(QLatin1Char(' '));
}

QString consome(test::BancoTeste& b)
{
    b.tr().inicia();
    ConsomeCreditos(b.tr(), kIni, kFim);
    b.tr().commit();
    return consumos(b);
}

} // namespace

class TstRateio : public QObject {
    Q_OBJECT

private slots:
    // One line drawn from the three balances.
    void consomeLinha_data()
    {
        QTest::addColumn<QString>("saldos"); // sus1/sus2/popular
        QTest::addColumn<QString>("linha");  // valorsus/valorpopular/total
        QTest::addColumn<QString>("esperado");
        QTest::addColumn<QString>("restante");
        QTest::newRow("sus1 cobre") << "100/0/0" << "60/0/80" << "60/0/0" << "40/0/0";
        QTest::newRow("sus1 insuficiente") << "40/0/0" << "60/0/80" << "0/0/0" << "40/0/0";
        QTest::newRow("sus1 ignora o total") << "100/0/0" << "60/0/50" << "60/0/0" << "40/0/0";
        QTest::newRow("sus2 limitado pelo total") << "100/100/0" << "30/0/50" << "30/0/0" << "70/100/0";
        QTest::newRow("sus1 e sus2 no total") << "100/100/0" << "30/0/60" << "30/30/0" << "70/70/0";
        QTest::newRow("so sus2") << "0/100/0" << "30/0/30" << "0/30/0" << "0/70/0";
        QTest::newRow("popular depois do sus") << "30/0/20" << "30/20/50" << "30/0/20" << "0/0/0";
        QTest::newRow("popular excede o total") << "30/0/20" << "30/20/49.99" << "30/0/0" << "0/0/20";
        QTest::newRow("saldo exato") << "60/0/0" << "60/0/60" << "60/0/0" << "0/0/0";
        QTest::newRow("saldo negativo") << "-10/-10/-10" << "0.01/0.01/1" << "0/0/0" << "-10/-10/-10";
        QTest::newRow("sem valores") << "100/100/100" << "0/0/50" << "0/0/0" << "100/100/100";
    }
    void consomeLinha()
    {
        QFETCH(QString, saldos);
        QFETCH(QString, linha);
        QFETCH(QString, esperado);
        QFETCH(QString, restante);
        const QStringList s = saldos.split(QLatin1Char('/')), l = linha.split(QLatin1Char('/'));
        SaldosCreditos sc{dec(s[0]), dec(s[1]), dec(s[2])};
        const ConsumoLinha c = ConsomeLinha(sc, {dec(l[0]), dec(l[1]), dec(l[2])});
        auto t = [](const Decimal& a, const Decimal& b, const Decimal& c) {
            return a.toShortString(QLatin1Char('.')) + QLatin1Char('/') + b.toShortString(QLatin1Char('.'))
                + QLatin1Char('/') + c.toShortString(QLatin1Char('.'));
        };
        QCOMPARE(t(c.sus1, c.sus2, c.popular), esperado);
        QCOMPARE(t(sc.sus1, sc.sus2, sc.popular), restante);
    }

    // The period's lines in arrival order: a credit exhausted midway, credits dated after the period,
    // use before the period, lines left alone (not realized, blocked, another period), repeatable.
    void consumoNoBanco()
    {
        test::BancoTeste b;
        cadastros(b);
        credito(b, "SUS1", "2026-01-10", "150.00");
        credito(b, "SUS1", "2026-03-20", "50.00");  // inside the period: available
        credito(b, "SUS1", "2026-04-01", "500.00"); // after the period: not available
        credito(b, "SUS2", "2026-02-01", "30.00");
        credito(b, "POPULAR", "2026-02-01", "25.00");
        credito(b, "OUTRO", "2026-02-01", "999.00");
        // Before the period: drew 60 of SUS1 (kept as it is).
        linha(b, 1, "2026-02-15 10:00", 1, "80.00");
        b.executa("update marcacao_proceds set valorsus1=60, valorsus2=0, valorpopular=0 where id_marcacao=1");
        // In the period, received in this order: 3, 2, 4, 5.
        linha(b, 3, "2026-03-02 08:00", 1, "80.00");  // 60 of SUS1 (140 → 80)
        linha(b, 2, "2026-03-05 09:00", 2, "50.00");  // 30 SUS1 (80 → 50), SUS2 would exceed 50, POPULAR 20
        linha(b, 4, "2026-03-31 23:58", 1, "80.00");  // 50 left: nothing; SUS2 30 < 60: nothing
        linha(b, 5, "2026-03-10 10:00", 2, "60.00");  // 30 SUS1 (50 → 20), 30 SUS2 (30 → 0), POPULAR 5 left: 0
        linha(b, 6, "2026-03-11 10:00", 1, "80.00", "M", "N");              // not realized
        linha(b, 7, "2026-03-12 10:00", 1, "80.00", "M", "S", "2026-03-13"); // blocked
        linha(b, 8, "2026-03-31 23:59:30", 1, "80.00");                      // after 23:59
        const QString esperado = QStringLiteral("60/0/0 30/0/20 60/0/0 0/0/0 30/30/0 -/-/- -/-/- -/-/-");
        QCOMPARE(consome(b), esperado);
        QCOMPARE(consome(b), esperado);
        // Nothing drawn beyond the credits.
        QCOMPARE(b.valor("select sum(valorsus1) from marcacao_proceds").toString(), QStringLiteral("180.00"));
    }

    // Two copies of one authorization (same origin and number, another import stamp): each copy's
    // line is drawn once, from its own date; the copy received before the period keeps its values.
    void copiasDaMesmaAutorizacao()
    {
        test::BancoTeste b;
        cadastros(b);
        credito(b, "SUS1", "2026-01-01", "100.00");
        linha(b, 9, "2026-02-20 10:00", 1, "80.00", "A");
        b.executa("update marcacao_proceds set valorsus1=60, valorsus2=0, valorpopular=0 where data_imp_adm='A'");
        linha(b, 9, "2026-03-03 10:00", 2, "50.00", "B");
        linha(b, 9, "2026-03-04 10:00", 1, "80.00", "C");
        const QString esperado = QStringLiteral("60/0/0 30/0/0 0/0/0");
        QCOMPARE(consome(b), esperado);
        QCOMPARE(consome(b), esperado);
    }

    // Many municipalities: each draws from its own credits only.
    void cadaMunicipioSeusCreditos()
    {
        test::BancoTeste b;
        cadastros(b);
        credito(b, "SUS1", "2026-01-01", "60.00", "4300001");
        credito(b, "SUS1", "2026-01-01", "59.99", "4300002");
        linha(b, 1, "2026-03-02 10:00", 1, "80.00", "M", "S", nullptr, "4300001");
        linha(b, 2, "2026-03-02 10:00", 1, "80.00", "M", "S", nullptr, "4300002");
        linha(b, 3, "2026-03-02 10:00", 1, "80.00", "M", "S", nullptr, "4300003");
        QCOMPARE(consome(b), QStringLiteral("60/0/0 0/0/0 0/0/0"));
    }

    // Run over the selected calendar; refused without one.
    void calendarioSelecionado()
    {
        test::BancoTeste b;
        cadastros(b);
        credito(b, "SUS1", "2026-01-01", "60.00");
        linha(b, 1, "2026-03-02 10:00", 1, "80.00");
        b.tr().inicia();
        QVERIFY_THROWS_EXCEPTION(ErroValor, ConsomeCreditos(b.tr()));
        b.tr().rollback();
        b.executa("insert into calendarios (datainicial, datafinal, descricao, selecao) values ('2026-03-01', '2026-03-31', 'MAR', 'S')");
        b.tr().inicia();
        const ResumoConsumo r = ConsomeCreditos(b.tr());
        b.tr().commit();
        QCOMPARE(r.linhas, 1);
        QCOMPARE(consumos(b), QStringLiteral("60/0/0"));
    }

    // Shares on hand-worked figures; each is rounded on its own, so they need not add up to the total.
    void partes_data()
    {
        QTest::addColumn<bool>("cumbel");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("peso");
        QTest::addColumn<QString>("soma");
        QTest::addColumn<QString>("esperado"); // indfixo|indvar|fixo|var|share
        QTest::newRow("bruto 750 de 3000") << false << "1000.00" << "750.00" << "3000.00" << "0|25|0|250|250";
        QTest::newRow("um terco") << false << "100.00" << "1000.00" << "3000.00" << "0|33,33333|0|33,33|33,33";
        QTest::newRow("dois tercos") << false << "100.00" << "2000.00" << "3000.00" << "0|66,66667|0|66,67|66,67";
        QTest::newRow("sem faturamento") << false << "100.00" << "0" << "3000.00" << "0|0|0|0|0";
        QTest::newRow("cumbel 10%") << true << "2900.00" << "100" << "1000" << "1,72414|5|50|145|195";
        QTest::newRow("cumbel um setimo") << true << "1000.00" << "1" << "7" << "1,72414|7,14286|17,24|71,43|88,67";
    }
    void partes()
    {
        QFETCH(bool, cumbel);
        QFETCH(QString, total);
        QFETCH(QString, peso);
        QFETCH(QString, soma);
        QFETCH(QString, esperado);
        const ParteRateio p = cumbel ? ParteCumbel(QStringLiteral("1"), dec(total), dec(peso), dec(soma))
                                     : ParteFaturamento(QStringLiteral("1"), dec(total), dec(peso), dec(soma));
        QCOMPARE(QStringList({p.indiceFixo.toShortString(), p.indiceVariavel.toShortString(), p.valorFixo.toShortString(),
                              p.valorVariavel.toShortString(), p.valor().toShortString()})
                     .join(QLatin1Char('|')),
                 esperado);
    }

    // Applied to a billing period: the shares and the invoices' SUS discount and base; applied again
    // it overwrites; a reference period without billing or an unknown row writes nothing; an applied
    // base cannot be deleted.
    void aplicacao()
    {
        test::BancoTeste b;
        cadastros(b);
        for (const char* c : {"4300001", "4300002", "4300003"})
            b.executa(QStringLiteral("insert into fat_municipio (tipo, dataini, datafim, codcliente, valorbruto, descsus) "
                                     "values ('FAT', '2026-01-01', '2026-01-31', '%1', 1000, 0)")
                          .arg(QLatin1String(c)));
        b.executa("insert into fat_municipio (tipo, dataini, datafim, codcliente, valorbruto, descsus) "
                  "values ('FAT', '2026-03-01', '2026-03-31', '4300001', 500, 10)");
        b.executa("insert into rateiosus (idrateio, descricao, valortotal, databaseini, databasefim) "
                  "values (7, 'REPASSE JAN', 100.00, '2026-01-01', '2026-01-31')");
        b.executa("insert into rateiosus (idrateio, descricao, valortotal, databaseini, databasefim) "
                  "values (8, 'SEM BASE', 100.00, '2025-01-01', '2025-01-31')");
        PedidoAplicacao p;
        p.base = *LeBaseRateio(b.tr(), QStringLiteral("7"));
        QCOMPARE(p.base.descricao, QStringLiteral("REPASSE JAN"));
        p.inicio = kIni;
        p.fim = kFim;
        p.usuario = QStringLiteral("ana");
        p.agora = QDateTime(QDate(2026, 4, 2), QTime(9, 30, 5));
        const QVector<LinhaAplicacao> grade{{"4300001", "500,00"}, {"4300002", "1.250,00"}, {"", "1.750,00"}};
        const auto partes = AplicaRateio(b.tr(), p, grade);
        QCOMPARE(partes.size(), 2);
        auto fat = [&b] {
            Consulta q(b.tr());
            q.abre(QStringLiteral("select codcliente, valorbruto, descsus, idrateiosus from fat_municipio where "
                                  "dataini='2026-03-01' order by codcliente"));
            QStringList l;
            for (; !q.eof(); q.proximo())
                l << q.campo(0).texto() + QLatin1Char('=') + q.campo(1).texto() + QLatin1Char('/') + q.campo(2).texto()
                        + QLatin1Char('/') + q.campo(3).texto();
            b.tr().rollback();
            return l.join(QLatin1Char(' '));
        };
        QCOMPARE(fat(), QStringLiteral("4300001=500/33,33/7 4300002=1250/33,33/7"));
        QCOMPARE(b.valor("select obs from rateiosusdet where codcliente='4300002'").toString(),
                 QStringLiteral("Calculado em 02/04/2026 09:30:05 por ana"));
        QCOMPARE(b.valor("select indvar from rateiosusdet where codcliente='4300001'").toString(), QStringLiteral("33.33333"));
        QCOMPARE(b.valor("select count(*) from logs where tabela='RateioSusDet'").toInt(), 1);

        // Again, with a changed total: overwritten, not added.
        b.executa("update rateiosus set valortotal=300 where idrateio=7");
        p.base = *LeBaseRateio(b.tr(), QStringLiteral("7"));
        AplicaRateio(b.tr(), p, grade);
        QCOMPARE(fat(), QStringLiteral("4300001=500/100/7 4300002=1250/100/7"));
        QCOMPARE(b.valor("select count(*) from rateiosusdet").toInt(), 2);

        // No gross billed in the reference period: refused, nothing changed.
        p.base = *LeBaseRateio(b.tr(), QStringLiteral("8"));
        QVERIFY_THROWS_EXCEPTION(ErroValor, AplicaRateio(b.tr(), p, grade));
        QCOMPARE(fat(), QStringLiteral("4300001=500/100/7 4300002=1250/100/7"));

        QVERIFY(!LeBaseRateio(b.tr(), QStringLiteral("0")));
        QVERIFY(!LeBaseRateio(b.tr(), QStringLiteral("99")));
        QVERIFY_THROWS_EXCEPTION(ErroValor, ExcluiBaseRateio(b.tr(), QStringLiteral("7"), {}));
        QCOMPARE(b.valor("select count(*) from rateiosus").toInt(), 2);
        // The billing saved again drops the reference; then the base goes, with its shares.
        b.executa("update fat_municipio set idrateiosus=null");
        ExcluiBaseRateio(b.tr(), QStringLiteral("7"), {});
        QCOMPARE(b.valor("select count(*) from rateiosusdet").toInt(), 0);
    }

    // The bases screen: new, a row chosen in the grid ticks "Editar", saved and deleted, each with
    // its audit row; editing without a chosen row is refused.
    void telaBases()
    {
        test::AmbienteTela a;
        TelaRegistrada(QStringLiteral("RepassesSIASUS1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFRateioSUS>());
        QCOMPARE(t->windowTitle(), QStringLiteral("Cadastro de repasses SIA/SUS"));
        QCOMPARE(t->PEValorTotal()->text(), QStringLiteral("0,00"));
        auto grava = [&](const QString& desc, const QString& ini, const QString& fim, const QString& total) {
            test::Digita(t->PEDescricao(), desc);
            test::Digita(t->PEDataBaseIni(), ini);
            test::Digita(t->PEDataBaseFim(), fim);
            test::Digita(t->PEValorTotal(), total);
            t->PBGravarRateio()->click();
        };
        grava(QStringLiteral("REPASSE JAN"), QStringLiteral("01/01/2026"), QStringLiteral("31/01/2026"), QStringLiteral("1.000,50"));
        grava(QStringLiteral("REPASSE FEV"), QStringLiteral("01/02/2026"), QStringLiteral("28/02/2026"), QStringLiteral("200"));
        QCOMPARE(a.texto("select list(idrateio || ':' || descricao || ':' || valortotal, ' ') from "
                         "(select * from rateiosus order by idrateio)"),
                 QStringLiteral("1:REPASSE JAN:1000.50 2:REPASSE FEV:200.00"));
        QCOMPARE(t->Grade()->linhas(), 2);
        QVERIFY(t->RBCadastrar()->isChecked());
        QVERIFY(t->PEDescricao()->text().isEmpty());

        t->Grade()->setCurrentCell(1, 1); // the first base (newest first)
        QVERIFY(t->RBEditar()->isChecked());
        test::SalvaTela(t, QStringLiteral("rateiosus"));
        QCOMPARE(t->PEDescricao()->text(), QStringLiteral("REPASSE JAN"));
        QCOMPARE(t->PEDataBaseFim()->text(), QStringLiteral("31/01/2026"));
        test::Digita(t->PEValorTotal(), QStringLiteral("900"));
        t->PBGravarRateio()->click();
        QCOMPARE(a.texto("select valortotal from rateiosus where idrateio=1"), QStringLiteral("900.00"));
        QCOMPARE(a.texto("select list(situacao || ':' || outrasinfo, ' ') from (select * from logs where "
                         "tabela='RateioSUS' order by datahora, situacao)"),
                 QStringLiteral("I:1-REPASSE JAN-1000,50 I:2-REPASSE FEV-200,00 U:1-REPASSE JAN-900,00"));

        t->Grade()->setCurrentCell(0, 1);
        t->PBExcluirRateio()->click();
        QCOMPARE(a.texto("select list(idrateio) from rateiosus"), QStringLiteral("1"));
        QVERIFY(t->RBCadastrar()->isChecked());

        t->Grade()->setCurrentCell(-1, -1);
        t->RBEditar()->setChecked(true);
        test::Digita(t->PEDescricao(), QStringLiteral("X"));
        t->PBGravarRateio()->click();
        QVERIFY(a.msgs.textos().join(QLatin1Char('|')).contains(QStringLiteral("Selecione na lista")));
        QCOMPARE(a.texto("select list(descricao) from rateiosus"), QStringLiteral("REPASSE JAN"));
        delete t;
    }

    // From the billing screen: the base typed shows its description and total; "Aplicar" writes the
    // shares and lists the invoices again with their SUS discount.
    void painelDoFaturamento()
    {
        test::AmbienteTela a(QStringLiteral("CUNE"), {QStringLiteral("CONSORCIO=CUNE")});
        a.b.executa("insert into usuarios (usuario, senha, podefaturar) values ('ana', 'x', 'S')");
        cadastros(a.b);
        linha(a.b, 1, "2026-03-10 10:00", 1, "600.00", "M", "S", nullptr, "4300001");
        linha(a.b, 2, "2026-03-10 10:00", 1, "200.00", "M", "S", nullptr, "4300002");
        a.b.executa("insert into entidades (codigo, razaosocial) values (1, 'CLINICA')");
        for (auto [c, v] : {std::pair{"4300001", "600"}, {"4300002", "200"}})
            a.b.executa(QStringLiteral("insert into fat_municipio (tipo, dataini, datafim, codcliente, valorbruto, descsus, "
                                       "descppc, desccune, acrescdesc) values ('FAT', '2026-03-01', '2026-03-31', '%1', %2, "
                                       "0, 0, 0, 0)")
                            .arg(QLatin1String(c), QLatin1String(v)));
        a.b.executa("insert into rateiosus (idrateio, descricao, valortotal, databaseini, databasefim) "
                    "values (3, 'REPASSE MARCO', 1000.00, '2026-03-01', '2026-03-31')");
        SessaoAtual().CalendarioAtual = {QStringLiteral("01/03/2026"), QStringLiteral("31/03/2026"), QStringLiteral("MAR")};
        SessaoAtual().UsuarioLogado = QStringLiteral("ana");
        TelaRegistrada(QStringLiteral("FaturamentoMunicpios1"))();
        auto* f = test::AbreTelaTeste(InstanciaTela<TFFaturamento>());
        f->setFechaAoPerderFoco(false);
        f->ConsultarFatura1Click();
        QVERIFY(f->PBRateioSUS()->isEnabled());
        f->PBRateioSUS()->click();
        QVERIFY(InstanciaTela<TFAplicaRateio>());
        auto* p = test::AbreTelaTeste(InstanciaTela<TFAplicaRateio>());
        test::Digita(p->PEIdBaseRateio(), QStringLiteral("3"));
        QCOMPARE(p->LDescricao()->text(), QStringLiteral("REPASSE MARCO"));
        QCOMPARE(p->LValorTotal()->text(), QStringLiteral("1.000,00"));
        test::SalvaTela(p, QStringLiteral("aplicarateio"));
        p->PBAplicarDesc()->click();
        QVERIFY(a.msgs.textos().contains(QStringLiteral("Concluído!")));
        QCOMPARE(a.texto("select list(codcliente || '=' || descsus, ' ') from (select * from fat_municipio order by codcliente)"),
                 QStringLiteral("4300001=750.00 4300002=250.00"));
        QStringList descontos;
        for (const LinhaGrade& l : f->grade())
            if (!l.value(colmun::Codigo).isEmpty())
                descontos << l.value(colmun::DescSus);
        QCOMPARE(descontos, QStringList({QStringLiteral("750,00"), QStringLiteral("250,00")}));

        // An unknown base: refused, nothing written.
        test::Digita(p->PEIdBaseRateio(), QStringLiteral("9"));
        QVERIFY(p->LDescricao()->text().isEmpty());
        p->PBAplicarDesc()->click();
        QVERIFY(a.msgs.textos().last().contains(QStringLiteral("Base Rateio")));
        QVERIFY(p->PBAplicarDesc()->isEnabled());
        delete p;
        delete f;
        SessaoAtual().CalendarioAtual = {};
    }
};

QTEST_MAIN(TstRateio)
#include "tst_rateio.moc"
