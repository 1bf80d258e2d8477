// The IRRF and DIRF statements over months billed on a real database: the values per municipality
// and entity against the stored billing, the IRRF cell (withheld, exempt, no billing row), the
// exact-period rule, the window ending at the last day's 00:00, one line per copy of an
// authorization, and both filter screens driven from their menu items to the preview.
#include "billing/Faturamento.h"
#include "billing/Irrf.h"
#include "billing/TFFilRelDIRFporEntidade.h"
#include "billing/TFFilRelIRRFPorMunicipio.h"
#include "billing/TRIrrfDirf.h"
#include "core/Banco.h"
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"

#include <QDialog>
#include <QtTest>

using namespace vx;

namespace {

const QDate kIni(2026, 3, 1), kFim(2026, 3, 31);

struct Ambiente {
    test::AmbienteTela a{QStringLiteral("CUNE"), {QStringLiteral("CONSORCIO=Cune Serra")}};
    QList<QStringList> previews; // texts of every page of every preview shown
    test::RoteiroModal roteiro{[this](QDialog* d) {
        if (auto* p = qobject_cast<rel::UiPreview*>(d)) {
            QStringList paginas;
            for (int i = 0; i < p->documento().numPaginas(); ++i)
                paginas << p->documento().textos(i).join(QLatin1Char('|'));
            previews << paginas;
        }
        d->accept();
    }};
    int id = 0;

    // February and March billed with the CORVANE rules (IRRF 1,5 % unless exempt); the March row
    // of entity 3 removed afterwards; extra discounts on ALFA's March row.
    Ambiente()
    {
        SessaoAtual().DataAtual = QStringLiteral("17/04/2026");
        for (const char* c : {"'4300001', 'ALFA'", "'4300002', 'BETA'", "'4300003', 'GAMA'"})
            a.b.executa(QStringLiteral("insert into clientes (codigo, nome) values (%1)").arg(QLatin1String(c)));
        a.b.executa("insert into gruposproced (codigo, nome) values (1, 'CONSULTAS')");
        a.b.executa("insert into procedimentos (codigo, nome, codgrupo, valor) values (1, 'CONSULTA', 1, 10)");
        a.b.executa("insert into entidades (codigo, razaosocial, nomefantasia, cnpj, isentoir, simplesnac) "
                    "values (1, 'CLINICA NORMAL', 'CLINICA', '12.345.678/0001-95', 'N', 'N')");
        a.b.executa("insert into entidades (codigo, razaosocial, isentoir, simplesnac) values (2, 'HOSPITAL ISENTO', 'S', 'N')");
        a.b.executa("insert into entidades (codigo, razaosocial, isentoir, simplesnac) values (3, 'LAB SEM FATURA', 'N', 'N')");
        linha("4300001", 1, "2026-02-10 10:00", "200");
        linha("4300002", 2, "2026-02-12 10:00", "100");
        linha("4300001", 1, "2026-03-10 10:00", "100000");
        linha("4300001", 1, "2026-03-30 23:00", "233.33");
        linha("4300001", 2, "2026-03-15 10:00", "500");
        linha("4300001", 3, "2026-03-20 10:00", "300");
        linha("4300002", 1, "2026-03-05 10:00", "2");
        linha("4300002", 1, "2026-03-31 00:00:00", "1");
        linha("4300002", 1, "2026-03-31 08:00", "1000"); // billed, after the statement's window
        // Two copies of one authorization, each with its own line.
        linha("4300001", 2, "2026-03-16 10:00", "40", QStringLiteral("A1"), 900);
        linha("4300001", 2, "2026-03-16 10:00", "40", QStringLiteral("A2"), 900);
        fatura(QDate(2026, 2, 1), QDate(2026, 2, 28));
        fatura(kIni, kFim);
        a.b.executa("delete from fat_entidade where codentidade=3");
        a.b.executa("update fat_municipio set acrescdesc=10, descsus=20, desccune=5, descppc=1 "
                    "where codcliente='4300001' and dataini='2026-03-01'");
    }
    ~Ambiente()
    {
        delete InstanciaTela<TFFilRelIRRFPorMunicipio>();
        delete InstanciaTela<TFFilRelDIRFporEntidade>();
        SessaoAtual().CalendarioAtual = {};
    }
    void linha(const char* cli, int ent, const char* recebida, const char* valor,
               const QString& estampa = QStringLiteral("M"), int numero = 0)
    {
        const int n = numero ? numero : ++id;
        a.b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codentidade, "
                                   "data_importacao) values ('%1', %2, '%3', %4, '%5')")
                        .arg(QLatin1String(cli)).arg(n).arg(estampa).arg(ent).arg(QLatin1String(recebida)));
        a.b.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                                   "quantidade, realizado, valortotal) values ('%1', %2, '%3', 1, 1, 'S', %4)")
                        .arg(QLatin1String(cli)).arg(n).arg(estampa, QLatin1String(valor)));
    }
    void fatura(const QDate& ini, const QDate& fim)
    {
        for (ModoFaturamento modo : {ModoFaturamento::Municipio, ModoFaturamento::Entidade}) {
            const GradeFaturamento g = ListaFatura(a.b.tr(), {modo, ini, fim, true, RegrasFaturamento::DoPerfil("CORVANE")});
            GravaFatura(a.b.tr(), {modo, false, TextoData(ini), TextoData(fim), TextoData(fim), TextoData(fim), fim, {}}, g);
        }
    }
    Decimal soma(const QString& sql) { return Decimal::parse(a.b.valor(sql).toString()).value_or(Decimal::cents(0)); }
};

QString texto(const Decimal& d) { return FormataMoeda(d); }

} // namespace

class TstIrrf : public QObject {
    Q_OBJECT
private slots:
    // Per municipality billed in March: its net as stored, the entities' production in the
    // window with their IRRF cell, and the total of that column.
    void irrfDoMesFaturado()
    {
        Ambiente s;
        QStringList linhas;
        for (const MunicipioIrrf& m : DadosIrrf(s.a.b.tr(), kIni, kFim)) {
            linhas << m.codigo + '|' + m.nome + '|' + texto(*m.liquido);
            Decimal producao = Decimal::cents(0), irrf = Decimal::cents(0);
            for (const EntidadeIrrf& e : m.entidades) {
                linhas << QString::number(*e.codigo) + '|' + e.razaoSocial + '|' + texto(e.valor) + '|' + e.irrf;
                producao = producao + e.valor;
                irrf = irrf + e.valorIrrf;
            }
            linhas << "TOTAL " + texto(m.totalIrrf);
            QCOMPARE(m.totalIrrf, irrf);
            // All of the month's production but the last day's after midnight, as billed.
            const QString onde =
                " from fat_municipio where tipo='FAT' and dataini='2026-03-01' and codcliente='" + m.codigo + "'";
            const Decimal foraDaJanela = Decimal::cents(m.codigo == "4300002" ? 100000 : 0);
            QCOMPARE(producao, s.soma("select valorbruto" + onde) - foraDaJanela);
            QCOMPARE(*m.liquido, s.soma("select valorbruto+acrescdesc-descsus+desccune-descppc" + onde));
        }
        QCOMPARE(linhas, QStringList({"4300001|ALFA|101.107,33", "1|CLINICA NORMAL|100.233,33|1503,50",
                                      "2|HOSPITAL ISENTO|580,00|0,00", "3|LAB SEM FATURA|300,00|", "TOTAL 1.503,50",
                                      "4300002|BETA|1.003,00", "1|CLINICA NORMAL|3,00|0,05", "TOTAL 0,05"}));
    }

    // Only a period billed with exactly those dates lists municipalities.
    void periodoExato_data()
    {
        QTest::addColumn<QDate>("inicio");
        QTest::addColumn<QDate>("fim");
        QTest::addColumn<QStringList>("municipios");
        QTest::newRow("março") << kIni << kFim << QStringList{"ALFA", "BETA"};
        QTest::newRow("fevereiro") << QDate(2026, 2, 1) << QDate(2026, 2, 28) << QStringList{"ALFA", "BETA"};
        QTest::newRow("outro início") << QDate(2026, 3, 2) << kFim << QStringList();
        QTest::newRow("outro fim") << kIni << QDate(2026, 3, 30) << QStringList();
        QTest::newRow("dois meses") << QDate(2026, 2, 1) << kFim << QStringList();
    }
    void periodoExato()
    {
        QFETCH(QDate, inicio);
        QFETCH(QDate, fim);
        QFETCH(QStringList, municipios);
        Ambiente s;
        QStringList nomes;
        for (const MunicipioIrrf& m : DadosIrrf(s.a.b.tr(), inicio, fim))
            nomes << m.nome;
        QCOMPARE(nomes, municipios);
    }

    // The months whose billing period ends in the interval, per entity, and the entity's totals
    // as the sums of its billing rows.
    void dirf_data()
    {
        QTest::addColumn<QDate>("inicio");
        QTest::addColumn<QDate>("fim");
        QTest::addColumn<QStringList>("linhas");
        const QString clinica = "CLINICA NORMAL - CLINICA|12.345.678/0001-95", hospital = "HOSPITAL ISENTO - |";
        QTest::newRow("ano") << QDate(2026, 1, 1) << QDate(2026, 12, 31)
                             << QStringList{clinica, "02/2026|200,00|3,00", "03/2026|101.236,33|1.518,54",
                                            hospital, "02/2026|100,00|0,00", "03/2026|580,00|0,00"};
        QTest::newRow("fim de março") << kFim << kFim
                                      << QStringList{clinica, "03/2026|101.236,33|1.518,54", hospital, "03/2026|580,00|0,00"};
        QTest::newRow("antes do fim de março") << QDate(2026, 2, 28) << QDate(2026, 3, 30)
                                               << QStringList{clinica, "02/2026|200,00|3,00", hospital, "02/2026|100,00|0,00"};
        QTest::newRow("2014") << QDate(2014, 1, 1) << QDate(2014, 12, 31) << QStringList();
    }
    void dirf()
    {
        QFETCH(QDate, inicio);
        QFETCH(QDate, fim);
        QFETCH(QStringList, linhas);
        Ambiente s;
        QStringList r;
        for (const EntidadeDirf& e : DadosDirf(s.a.b.tr(), inicio, fim)) {
            r << e.titulo() + '|' + e.cnpj;
            for (const MesDirf& m : e.meses)
                r << m.mes + '|' + texto(m.bruto) + '|' + texto(m.irrf);
            const QString onde = QStringLiteral(" from fat_entidade where codentidade=%1 and datafim between '%2' and '%3'")
                                     .arg(e.codigo).arg(inicio.toString(Qt::ISODate), fim.toString(Qt::ISODate));
            QCOMPARE(e.totalBruto, s.soma("select sum(valorbruto)" + onde));
            QCOMPARE(e.totalIrrf, s.soma("select sum(irrf)" + onde));
        }
        QCOMPARE(r, linhas);
    }

    // The IRRF screen: the selected calendar's period, the statement in the preview, a refused
    // date; without a calendar an empty start and the working date.
    void telaIrrf()
    {
        Ambiente s;
        SessaoAtual().CalendarioAtual = {QStringLiteral("01/03/2026"), QStringLiteral("31/03/2026"), QStringLiteral("MARÇO")};
        TelaRegistrada(QStringLiteral("DemonstrativoIRRFporMunicpio1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFilRelIRRFPorMunicipio>());
        QCOMPARE(t->windowTitle(), QStringLiteral("Demonstrativo Retenções IRRF por Município"));
        QCOMPARE(t->PEData1->text() + ' ' + t->PEData2->text(), QStringLiteral("01/03/2026 31/03/2026"));
        t->PBtnImprimir->executa();
        QCOMPARE(s.previews.size(), 1);
        QCOMPARE(s.previews[0].size(), 1);
        const QString p = s.previews[0][0];
        QVERIFY2(p.startsWith("CUNE SERRA|"), qPrintable(p));
        QVERIFY2(p.contains("|Demonstrativo IRRF das Entidades|Período: 01/03/2026 e 31/03/2026|Página: 1 de 1|"), qPrintable(p));
        QCOMPARE(p.section("|Página: 1 de 1|", 1),
                 QStringLiteral("4300001 - ALFA|101.107,33|Código|Entidade|Valor|IRRF|00001|CLINICA NORMAL|100.233,33|1503,50|"
                                "00002|HOSPITAL ISENTO|580,00|0,00|00003|LAB SEM FATURA|300,00|1.503,50|TOTAL:|"
                                "4300002 - BETA|1.003,00|Código|Entidade|Valor|IRRF|00001|CLINICA NORMAL|3,00|0,05|0,05|TOTAL:"));
        QVERIFY(rel::ImagemPagina(*TRIrrfDirf::GeraIrrf(s.a.b.tr(), kIni, kFim), 0, 110).save(test::PastaTelas() + "/relirrf.png"));

        // An empty date is refused by the required check, one that is no date by the screen.
        t->PEData2->clear();
        t->PBtnImprimir->executa();
        t->PEData2->setText(QStringLiteral("31/02/2026"));
        t->PBtnImprimir->executa();
        QCOMPARE(s.previews.size(), 1);
        QCOMPARE(s.a.msgs.textos(), QStringList({"O campo \"a:\" deve ser totalmente informado!",
                                                 "Data inválida: informe as duas datas do período (dd/mm/aaaa)."}));
        QCOMPARE(t->focusWidget(), t->PEData2);

        delete t;
        SessaoAtual().CalendarioAtual = {};
        TelaRegistrada(QStringLiteral("DemonstrativoIRRFporMunicpio1"))();
        t = InstanciaTela<TFFilRelIRRFPorMunicipio>();
        QVERIFY(t->PEData1->vazio());
        QCOMPARE(t->PEData2->text(), QStringLiteral("17/04/2026"));
    }

    // The DIRF screen: the 2014 defaults (nothing billed then), then the year billed here, one
    // entity per page with its lines, the empty "Lei 10.833" column and the totals.
    void telaDirf()
    {
        Ambiente s;
        TelaRegistrada(QStringLiteral("DemonstrativoDIRFporEntidade1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFilRelDIRFporEntidade>());
        QCOMPARE(t->windowTitle(), QStringLiteral("DIRF Anual por Entidade"));
        QCOMPARE(t->PEData1->text() + ' ' + t->PEData2->text(), QStringLiteral("01/01/2014 31/12/2014"));
        t->PBtnImprimir->executa(); // 2014 has no billing: a message, no empty preview
        QCOMPARE(s.previews.size(), 0);
        QCOMPARE(s.a.msgs.textos(), QStringList{MensagemRelatorioVazio()});

        test::Digita(t->PEData1, QStringLiteral("01/01/2026"));
        test::Digita(t->PEData2, QStringLiteral("31/12/2026"));
        t->PBtnImprimir->executa();
        QCOMPARE(s.previews.size(), 1);
        const QStringList pags = s.previews[0];
        QCOMPARE(pags.size(), 2);
        QCOMPARE(pags[0].section("|Página: 1 de 2|", 1),
                 QStringLiteral("CLINICA NORMAL - CLINICA|CNPJ: 12.345.678/0001-95|Mês|Valor Total|Valor IR|Lei 10.833|"
                                "02/2026|200,00|3,00|03/2026|101.236,33|1.518,54|101.436,33|1.521,54|Total:"));
        QCOMPARE(pags[1].section("|Página: 2 de 2|", 1),
                 QStringLiteral("HOSPITAL ISENTO - |CNPJ: |Mês|Valor Total|Valor IR|Lei 10.833|"
                                "02/2026|100,00|0,00|03/2026|580,00|0,00|680,00|0,00|Total:"));
        QVERIFY(rel::ImagemPagina(*TRIrrfDirf::GeraDirf(s.a.b.tr(), QDate(2026, 1, 1), QDate(2026, 12, 31)), 0, 110)
                    .save(test::PastaTelas() + "/reldirf.png"));
    }
};

QTEST_MAIN(TstIrrf)
#include "tst_irrf.moc"
