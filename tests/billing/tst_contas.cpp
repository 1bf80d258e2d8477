// The two ledgers driven through their menu items on a real database: new and replaced entries,
// long origins kept whole, deletion, a billed payable settled in two steps as the reports see it,
// the four reports with and without a filter, and the caption that chooses the report.
#include "billing/Contas.h"
#include "billing/TFFilRelContasRecPag.h"
#include "billing/TFLanPagar.h"
#include "billing/TFLanReceber.h"
#include "billing/TRContas.h"
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QDialog>
#include <QLabel>
#include <QtTest>

using namespace vx;

Q_DECLARE_METATYPE(vx::RelatorioConta)

namespace {

struct Ambiente {
    test::AmbienteTela a{QStringLiteral("CUNE"), {QStringLiteral("CONSORCIO=Cune Serra")}};
    QStringList previews; // texts of the first page of every preview shown
    test::RoteiroModal roteiro{[this](QDialog* d) {
        if (auto* p = qobject_cast<rel::UiPreview*>(d))
            previews << p->documento().textos(0).join(QLatin1Char('|'));
        d->accept();
    }};

    Ambiente()
    {
        SessaoAtual().DataAtual = QStringLiteral("17/04/2026");
        a.b.executa("insert into clientes (codigo, nome, apelido) values ('4300001', 'ALFA', 'ALF')");
        a.b.executa("insert into clientes (codigo, nome, apelido) values ('4300002', 'BETA', 'BET')");
        a.b.executa("insert into entidades (codigo, razaosocial) values (1, 'CLINICA UM')");
        a.b.executa("insert into entidades (codigo, razaosocial) values (2, 'HOSPITAL DOIS')");
    }
    ~Ambiente()
    {
        delete InstanciaTela<TFLanReceber>();
        delete InstanciaTela<TFLanPagar>();
        delete InstanciaTela<TFFilRelContasRecPag>();
    }
    TFLanContas* lancamentos(bool pagar)
    {
        TelaRegistrada(pagar ? QStringLiteral("ContasaPagar1") : QStringLiteral("ContasaReceber1"))();
        TFLanContas* t = pagar ? static_cast<TFLanContas*>(InstanciaTela<TFLanPagar>())
                               : static_cast<TFLanContas*>(InstanciaTela<TFLanReceber>());
        return test::AbreTelaTeste(t);
    }
    TFFilRelContasRecPag* filtro(const QString& item)
    {
        TelaRegistrada(item)();
        return test::AbreTelaTeste(InstanciaTela<TFFilRelContasRecPag>());
    }
    // Prints the report of `item` for the period and code; the preview's texts.
    QString imprime(const QString& item, const QString& de, const QString& ate, const QString& codigo = {})
    {
        TFFilRelContasRecPag* f = filtro(item);
        test::Digita(f->PEData1(), de);
        test::Digita(f->PEData2(), ate);
        test::Digita(f->PECodMun(), codigo);
        const qsizetype antes = previews.size();
        f->PBtnImprimir()->executa();
        return previews.size() == antes + 1 ? previews.last() : QStringLiteral("<sem preview>");
    }
    // An entry of the ledger for the municipality or entity number `cod` (4300001 / 1 …).
    void insere(bool pagar, int id, int cod, const QString& colunas, const QString& valores)
    {
        a.b.executa(QStringLiteral("insert into %1 (id, %2, %3) values (%4, %5, %6)")
                        .arg(tabelaDe(pagar), colunaDe(pagar), colunas)
                        .arg(id)
                        .arg(pagar ? QString::number(cod) : QStringLiteral("'430000%1'").arg(cod), valores));
    }
    QString linha(bool pagar, int id)
    {
        QStringList c{QStringLiteral("id"), colunaDe(pagar)};
        for (const char* n : {"origem", "datadebito", "datavencimento", "valordebito", "docdebito", "datapgto", "valorpgto",
                              "docpgto", "historico", "obs"})
            c << QStringLiteral("coalesce(%1, '-')").arg(QLatin1String(n));
        return a.texto(QStringLiteral("select %1 from %2 where id=%3")
                           .arg(c.join(QStringLiteral(" || '|' || ")), tabelaDe(pagar))
                           .arg(id));
    }
    static QString tabelaDe(bool pagar) { return pagar ? QStringLiteral("lanpagar") : QStringLiteral("lanreceber"); }
    static QString colunaDe(bool pagar) { return pagar ? QStringLiteral("codentidade") : QStringLiteral("codcliente"); }
};

QString codigoDe(bool pagar, int n) { return pagar ? QString::number(n) : QStringLiteral("430000%1").arg(n); }

void preenche(TFLanContas* t, const QString& codigo)
{
    test::Digita(t->PECodigoConta(), codigo);
    test::Digita(t->PEOrigem(), QStringLiteral("MANUAL"));
    test::Digita(t->PEDataDebito(), QStringLiteral("01/04/2026"));
    test::Digita(t->PEDataVencimento(), QStringLiteral("20/04/2026"));
    test::Digita(t->PEValorDebito(), QStringLiteral("1.234,56"));
    test::Digita(t->PEDocDebito(), QStringLiteral("R57"));
    test::Digita(t->PEHistorico(), QStringLiteral("Taxa D'Água"));
}

} // namespace

class TstContas : public QObject {
    Q_OBJECT

private slots:
    // An empty or "0" id takes the highest + 1; a typed unknown id is created as typed. The screen
    // is cleared, the id included, and the audit row holds the id, code, dates and values.
    void novoLancamento_data()
    {
        QTest::addColumn<bool>("pagar");
        QTest::addColumn<int>("existente"); // id already in the ledger (0: empty ledger)
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<int>("id");
        QTest::newRow("receber, primeiro") << false << 0 << "" << 1;
        QTest::newRow("receber, depois do maior") << false << 7 << "" << 8;
        QTest::newRow("pagar, zero") << true << 3 << "0" << 4;
        QTest::newRow("pagar, digitado") << true << 3 << "40" << 40;
    }
    void novoLancamento()
    {
        QFETCH(bool, pagar);
        QFETCH(int, existente);
        QFETCH(QString, digitado);
        QFETCH(int, id);
        Ambiente s;
        if (existente)
            s.insere(pagar, existente, 2, QStringLiteral("valordebito, valorpgto"), QStringLiteral("1, 0"));
        TFLanContas* t = s.lancamentos(pagar);
        test::Digita(t->PEID(), digitado);
        preenche(t, codigoDe(pagar, 1));
        QCOMPARE(t->LNome()->text(), pagar ? QStringLiteral("CLINICA UM") : QStringLiteral("ALFA"));
        t->PBtnGravar()->executa();
        QVERIFY2(s.a.msgs.quantidade() == 0, qPrintable(s.a.msgs.textos().join('|')));
        QCOMPARE(s.linha(pagar, id),
                 QStringLiteral("%1|%2|MANUAL|2026-04-01|2026-04-20|1234.56|R57|-|0.00||Taxa D'Água|")
                     .arg(id)
                     .arg(codigoDe(pagar, 1)));
        QCOMPARE(s.a.texto(QStringLiteral("select outrasinfo from logs where situacao='I' and tabela='%1'")
                               .arg(pagar ? QStringLiteral("LanPagar") : QStringLiteral("LanReceber"))),
                 QStringLiteral("%1=//=%2=//=01/04/2026=//=1234,56=//=  /  /    =//=0,00").arg(id).arg(codigoDe(pagar, 1)));
        for (TPersonEdit* e : {t->PEID(), t->PECodigoConta(), t->PEOrigem(), t->PEDocDebito(), t->PEHistorico()})
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
        QVERIFY(t->PEDataDebito()->vazio());
        QVERIFY(t->LNome()->text().isEmpty());
        QVERIFY(t->PEID()->hasFocus());
    }

    // Typing an existing id loads it; saving replaces every column, emptied ones included.
    void substituiLancamento_data()
    {
        QTest::addColumn<bool>("pagar");
        QTest::newRow("receber") << false;
        QTest::newRow("pagar") << true;
    }
    void substituiLancamento()
    {
        QFETCH(bool, pagar);
        Ambiente s;
        s.insere(pagar, 5, 1,
                 QStringLiteral("origem, datadebito, datavencimento, valordebito, docdebito, datapgto, valorpgto, docpgto, "
                                "historico, obs"),
                 QStringLiteral("'FAT2026-03', '2026-03-05', '2026-03-20', 500, 'R12', '2026-03-18', 200, 'DEP9', "
                                "'Fatura 2026-03', 'Gerado em 05/03/2026'"));
        TFLanContas* t = s.lancamentos(pagar);
        test::Digita(t->PEID(), QStringLiteral("5"));
        QCOMPARE(t->PECodigoConta()->text(), codigoDe(pagar, 1));
        QCOMPARE(t->LNome()->text(), pagar ? QStringLiteral("CLINICA UM") : QStringLiteral("ALFA"));
        QCOMPARE(t->PEValorDebito()->text(), QStringLiteral("500,00"));
        QCOMPARE(t->PEDataPgto()->text(), QStringLiteral("18/03/2026"));
        QCOMPARE(t->PEDocPgto()->text(), QStringLiteral("DEP9"));
        test::SalvaTela(t, pagar ? QStringLiteral("tflanpagar") : QStringLiteral("tflanreceber"));
        test::Digita(t->PECodigoConta(), codigoDe(pagar, 2));
        test::Digita(t->PEDataPgto(), QString());
        test::Digita(t->PEValorPgto(), QString());
        test::Digita(t->PEDocPgto(), QString());
        test::Digita(t->PEObs(), QString());
        t->PBtnGravar()->executa();
        QVERIFY2(s.a.msgs.quantidade() == 0, qPrintable(s.a.msgs.textos().join('|')));
        QCOMPARE(s.a.numero(QStringLiteral("select count(*) from %1").arg(Ambiente::tabelaDe(pagar))), 1);
        QCOMPARE(s.linha(pagar, 5),
                 QStringLiteral("5|%1|FAT2026-03|2026-03-05|2026-03-20|500.00|R12|-|0.00||Fatura 2026-03|").arg(codigoDe(pagar, 2)));
        // Leaving the id on an unknown one empties what was shown.
        test::Digita(t->PEID(), QStringLiteral("5"));
        test::Digita(t->PEID(), QStringLiteral("99"));
        QVERIFY(t->PECodigoConta()->text().isEmpty());
        QVERIFY(t->LNome()->text().isEmpty());
    }

    // A fee receivable made by the document trigger ("TAXA" + yyyy-mm, 11 characters) and an origin
    // of the column's full 20 are loaded and saved with a payment without being cut; the document
    // issued again still finds its receivable.
    void origemLonga_data()
    {
        QTest::addColumn<QString>("origem");
        QTest::newRow("taxa") << "TAXA2026-11";
        QTest::newRow("vinte") << "TAXA2026-11/AVULSO-7";
    }
    void origemLonga()
    {
        QFETCH(QString, origem);
        Ambiente s;
        s.a.b.executa("insert into docemissao (tipodoc, numdoc, avulsofatura, codcliente, dataemissao, datavencimento, valor) "
                      "values ('R', 57, 'T', '4300001', '2026-11-05', '2026-11-20', 150)");
        s.a.b.executa("update lanreceber set origem=" + SqlTexto(origem) + " where id=1");
        TFLanContas* t = s.lancamentos(false);
        test::Digita(t->PEID(), QStringLiteral("1"));
        QCOMPARE(t->PEOrigem()->text(), origem);
        test::Digita(t->PEDataPgto(), QStringLiteral("19/11/2026"));
        test::Digita(t->PEValorPgto(), QStringLiteral("150,00"));
        t->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select origem || '|' || valorpgto from lanreceber where id=1"), origem + QStringLiteral("|150.00"));
        if (origem.size() == 11) {
            s.a.b.executa("update docemissao set valor=160 where numdoc=57");
            QCOMPARE(s.a.texto("select list(id || ':' || valordebito || ':' || valorpgto) from lanreceber"),
                     QStringLiteral("1:160.00:150.00"));
        }
    }

    // The question comes first; only Yes with an id deletes, with its audit row.
    void exclusao_data()
    {
        QTest::addColumn<bool>("pagar");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("sim");
        QTest::addColumn<int>("restantes");
        QTest::newRow("receber, sim") << false << "5" << true << 0;
        QTest::newRow("receber, nao") << false << "5" << false << 1;
        QTest::newRow("pagar, sim") << true << "5" << true << 0;
        QTest::newRow("pagar, sem id") << true << "" << true << 1;
    }
    void exclusao()
    {
        QFETCH(bool, pagar);
        QFETCH(QString, id);
        QFETCH(bool, sim);
        QFETCH(int, restantes);
        Ambiente s;
        s.insere(pagar, 5, 2, QStringLiteral("origem, datadebito, valordebito, valorpgto"),
                 QStringLiteral("'FAT2026-03', '2026-03-05', 500, 0"));
        TFLanContas* t = s.lancamentos(pagar);
        test::Digita(t->PEID(), id);
        sim ? s.a.msgs.respondeSim() : s.a.msgs.respondeNao();
        t->PBtnExcluir()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QCOMPARE(test::Resumo(s.a.msgs.ultima()), test::PerguntaExclusao());
        QCOMPARE(s.a.numero(QStringLiteral("select count(*) from %1").arg(Ambiente::tabelaDe(pagar))), restantes);
        QCOMPARE(s.a.texto("select list(tabela || ':' || outrasinfo) from logs where situacao='E'"),
                 restantes ? QString()
                           : QStringLiteral("%1:5=//=%2=//=FAT2026-03=//=05/03/2026=//=500,00=//=  /  /    =//=0,00")
                                 .arg(pagar ? QStringLiteral("LanPagar") : QStringLiteral("LanReceber"), codigoDe(pagar, 2)));
        QCOMPARE(t->PEID()->text().isEmpty(), restantes == 0 || id.isEmpty());
    }

    // The payable billing leaves (as GravaFatura writes it) paid in two steps on the screen: open
    // with what remains, then gone from the open items and listed as paid on its payment date.
    void pagarFaturadoQuitado()
    {
        Ambiente s;
        s.a.b.executa("insert into LanPagar(id, codEntidade, origem, datadebito, DataVencimento, valordebito, valorpgto, "
                      "historico, obs) values(1, 1, 'FAT03/2026', '2026-04-05', '2026-04-20', 4592.50, 0, "
                      "'Fatura 03/2026', 'Gerado em 05/04/2026')");
        const QString aPagar = QStringLiteral("ContasaPagar2"), pagas = QStringLiteral("ContasPagas1");
        const QString abril[] = {QStringLiteral("01/04/2026"), QStringLiteral("30/04/2026")};
        QString r = s.imprime(aPagar, abril[0], abril[1]);
        QVERIFY2(r.contains(QStringLiteral("1 - CLINICA UM|1|20/04/2026|4.592,50|Fatura 03/2026")), qPrintable(r));

        TFLanContas* t = s.lancamentos(true);
        test::Digita(t->PEID(), QStringLiteral("1"));
        test::Digita(t->PEDataPgto(), QStringLiteral("10/04/2026"));
        test::Digita(t->PEValorPgto(), QStringLiteral("1.000,00"));
        test::Digita(t->PEDocPgto(), QStringLiteral("TED1"));
        t->PBtnGravar()->executa();
        r = s.imprime(aPagar, abril[0], abril[1]);
        QVERIFY2(r.contains(QStringLiteral("1 - CLINICA UM|1|20/04/2026|3.592,50|Fatura 03/2026|Valor Total:   R$ 3.592,50|"
                                           "1 lançamentos listados.")),
                 qPrintable(r));

        t = s.lancamentos(true);
        test::Digita(t->PEID(), QStringLiteral("1"));
        QCOMPARE(t->PEValorPgto()->text(), QStringLiteral("1000,00"));
        test::Digita(t->PEDataPgto(), QStringLiteral("25/04/2026"));
        test::Digita(t->PEValorPgto(), QStringLiteral("4592,50"));
        t->PBtnGravar()->executa();
        QVERIFY2(s.a.msgs.quantidade() == 0, qPrintable(s.a.msgs.textos().join('|')));
        r = s.imprime(aPagar, abril[0], abril[1]);
        QVERIFY2(r.contains(QStringLiteral("Valor Total:   R$ 0,00|0 lançamentos listados.")), qPrintable(r));
        r = s.imprime(pagas, QStringLiteral("25/04/2026"), QStringLiteral("25/04/2026"), QStringLiteral("1"));
        QVERIFY2(r.contains(QStringLiteral("1 - CLINICA UM|1|20/04/2026|4.592,50|Fatura 03/2026|25/04/2026|TED1|"
                                           "Valor Total:   R$ 4.592,50|1 lançamentos listados.")),
                 qPrintable(r));
        r = s.imprime(pagas, abril[0], QStringLiteral("24/04/2026"));
        QVERIFY2(r.contains(QStringLiteral("0 lançamentos listados.")), qPrintable(r));
        QCOMPARE(s.previews.size(), 5);
    }

    // The four reports over one set of entries in both ledgers: what is listed (open amount above 0
    // by due date, or paid by payment date, both period ends included), in name, date and id
    // order, the total and the count; "" and "0" list every municipality or entity.
    void relatorios_data()
    {
        QTest::addColumn<RelatorioConta>("relatorio");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QStringList>("linhas");
        QTest::addColumn<QString>("total");
        const QStringList abertos{"A|1|10/04/2026|R1|100,00|H1", "A|2|15/04/2026|R2|150,00|H2",
                                  "B|6|02/04/2026|R6|40,00|H6", "B|8|30/04/2026|R8|25,00|H8"};
        const QStringList pagos{"A|2|15/04/2026|R2|50,00|H2|01/04/2026|P2", "B|3|05/04/2026|R3|300,00|H3|20/04/2026|P3"};
        for (const auto& [r, nome] : {std::pair{RelatorioConta::AReceber, "a receber"}, std::pair{RelatorioConta::APagar, "a pagar"}}) {
            QTest::addRow("%s, todos", nome) << r << "" << abertos << "315,00";
            QTest::addRow("%s, zero", nome) << r << "0" << abertos << "315,00";
            QTest::addRow("%s, B", nome) << r << "2" << abertos.mid(2) << "65,00";
        }
        for (const auto& [r, nome] : {std::pair{RelatorioConta::Recebidas, "recebidas"}, std::pair{RelatorioConta::Pagas, "pagas"}}) {
            QTest::addRow("%s, todos", nome) << r << "" << pagos << "350,00";
            QTest::addRow("%s, A", nome) << r << "1" << pagos.mid(0, 1) << "50,00";
            QTest::addRow("%s, sem lancamentos", nome) << r << "3" << QStringList() << "0,00";
        }
    }
    void relatorios()
    {
        QFETCH(RelatorioConta, relatorio);
        QFETCH(QString, codigo);
        QFETCH(QStringList, linhas);
        QFETCH(QString, total);
        Ambiente s;
        s.a.b.executa("insert into clientes (codigo, nome, apelido) values ('4300003', 'GAMA', 'GAM')");
        s.a.b.executa("insert into entidades (codigo, razaosocial) values (3, 'LAB TRES')");
        const bool pagar = LivroDe(relatorio) == Livro::Pagar;
        struct L { int id, cod; const char *venc, *debito, *pago, *pgto; };
        // 3 settled, 4 due in May, 5 paid in March, 7 overpaid (open amount below 0).
        for (const L& l : {L{1, 1, "2026-04-10", "100", "0", nullptr}, L{2, 1, "2026-04-15", "200", "50", "2026-04-01"},
                           L{3, 2, "2026-04-05", "300", "300", "2026-04-20"}, L{4, 2, "2026-05-10", "80", "0", nullptr},
                           L{5, 1, "2026-03-01", "70", "70", "2026-03-30"}, L{6, 2, "2026-04-02", "40", "0", nullptr},
                           L{7, 1, "2026-04-20", "10", "15", "2026-05-02"}, L{8, 2, "2026-04-30", "25", "0", nullptr}})
            s.insere(pagar, l.id, l.cod,
                     QStringLiteral("datavencimento, valordebito, valorpgto, datapgto, docdebito, docpgto, historico"),
                     QStringLiteral("'%1', %2, %3, %4, 'R%5', 'P%5', 'H%5'")
                         .arg(QLatin1String(l.venc), QLatin1String(l.debito), QLatin1String(l.pago),
                              l.pgto ? QStringLiteral("'%1'").arg(QLatin1String(l.pgto)) : QStringLiteral("null"))
                         .arg(l.id));
        PedidoContas p{relatorio, QDate(2026, 4, 1), QDate(2026, 4, 30), CodigoVazio(codigo) ? codigo : codigoDe(pagar, codigo.toInt())};
        const auto doc = TRContas::Gera(s.a.b.tr(), p);
        QCOMPARE(doc->numPaginas(), 1);
        const QString texto = doc->textos(0).join(QLatin1Char('|'));
        QVERIFY(texto.startsWith(QStringLiteral("CUNE SERRA|")));
        QVERIFY(texto.contains(RelatorioEmAberto(relatorio) ? QStringLiteral("|Com vencimento entre 01/04/2026 e 30/04/2026|")
                                                            : QStringLiteral("|Pagamentos entre 01/04/2026 e 30/04/2026|")));
        const QString a = pagar ? QStringLiteral("1 - CLINICA UM") : QStringLiteral("ALFA");
        const QString b = pagar ? QStringLiteral("2 - HOSPITAL DOIS") : QStringLiteral("BETA");
        QStringList esperado{(pagar ? QStringLiteral("Entidade") : QStringLiteral("Município"))
                             + (RelatorioEmAberto(relatorio) ? QStringLiteral("|ID|Venc.|Doc.|Valor Pendente|Histórico|Data|Banco")
                                                             : QStringLiteral("|ID|Venc.|Doc.|Valor Pago|Histórico|Pagamento|Doc."))};
        for (const QString& l : linhas)
            esperado << (l.startsWith('A') ? a : b) + l.mid(1);
        esperado << QStringLiteral("Valor Total:   R$ ") + total
                 << QString::number(linhas.size()) + QStringLiteral(" lançamentos listados.");
        const QString corpo = texto.section(QStringLiteral("|Página: 1 de 1|"), 1);
        QCOMPARE(corpo, esperado.join(QLatin1Char('|')));
        if (QByteArray(QTest::currentDataTag()) == "a receber, todos")
            QVERIFY(rel::ImagemPagina(*doc, 0, 110).save(test::PastaTelas() + QStringLiteral("/relcontasreceber.png")));
    }

    // The report words of a caption, tested in order on its upper-cased text.
    void legenda_data()
    {
        QTest::addColumn<QString>("legenda");
        QTest::addColumn<int>("relatorio"); // -1: none
        QTest::newRow("receber") << "Relatório de Contas a Receber" << int(RelatorioConta::AReceber);
        QTest::newRow("recebidas") << "relatório de contas recebidas" << int(RelatorioConta::Recebidas);
        QTest::newRow("pagar") << "Relatório de Contas a Pagar" << int(RelatorioConta::APagar);
        QTest::newRow("pagas") << "Relatório de Contas Pagas" << int(RelatorioConta::Pagas);
        QTest::newRow("receber antes de pagas") << "Pagas a Receber" << int(RelatorioConta::AReceber);
        QTest::newRow("pagar antes de pagas") << "Pagas e a Pagar" << int(RelatorioConta::APagar);
        QTest::newRow("nenhuma") << "Relatório de Logs" << -1;
    }
    void legenda()
    {
        QFETCH(QString, legenda);
        QFETCH(int, relatorio);
        const auto r = RelatorioDaLegenda(legenda);
        QCOMPARE(r ? int(*r) : -1, relatorio);
    }

    // One filter screen for the four items: each opening gives it its caption, the code label and
    // search of its ledger (the code cleared when the ledger changes) and the default period.
    void filtroPorItem()
    {
        Ambiente s;
        TFFilRelContasRecPag* f = s.filtro(QStringLiteral("ContasaReceber2"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Relatório de Contas a Receber"));
        QCOMPARE(f->PEData1()->text(), QStringLiteral("01/04/2026"));
        QCOMPARE(f->PEData2()->text(), QStringLiteral("17/04/2026"));
        QCOMPARE(f->PECodMun()->editLabel()->text(), QStringLiteral("Município:"));
        test::Digita(f->PECodMun(), QStringLiteral("4300002"));
        QCOMPARE(f->LNome()->text(), QStringLiteral("BETA"));
        test::SalvaTela(f, QStringLiteral("tffilrelcontasrecpag"));
        QCOMPARE(s.filtro(QStringLiteral("ContasRecebidas1")), f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Relatório de Contas Recebidas"));
        QCOMPARE(f->PECodMun()->text(), QStringLiteral("4300002"));
        s.filtro(QStringLiteral("ContasPagas1"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Relatório de Contas Pagas"));
        QCOMPARE(f->PECodMun()->editLabel()->text(), QStringLiteral("Entidade:"));
        QVERIFY(f->PECodMun()->text().isEmpty());
        QVERIFY(f->LNome()->text().isEmpty());
        test::Digita(f->PECodMun(), QStringLiteral("2"));
        QCOMPARE(f->LNome()->text(), QStringLiteral("HOSPITAL DOIS"));
        s.filtro(QStringLiteral("ContasaPagar2"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Relatório de Contas a Pagar"));
        QCOMPARE(f->Pedido().relatorio, RelatorioConta::APagar);
        QCOMPARE(f->Pedido().codigo, QStringLiteral("2"));
    }
};

QTEST_MAIN(TstContas)
#include "tst_contas.moc"
