// Municipal credits on a real database: the entry screen opened from the menu (lookup, replace,
// delete, audit rows), the SUS1 copy and its refusals, and the balances of a billing calendar as
// the report prints them.
#include "billing/Creditos.h"
#include "billing/TFFilRelCreditosMunics.h"
#include "billing/TFLanCreditosMunics.h"
#include "billing/TRCreditos.h"
#include "core/MenuPrincipal.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QtTest>

using namespace vx;

namespace {

const Calendario kMarco{QStringLiteral("01/03/2026"), QStringLiteral("31/03/2026"), QStringLiteral("MARÇO/2026")};

struct Ambiente {
    test::AmbienteTela a{QStringLiteral("CULVAR"), {QStringLiteral("CONSORCIO=CULVAR")}};
    QStringList previews; // texts of the first page of every preview shown
    test::RoteiroModal roteiro{[this](QDialog* d) {
        if (auto* p = qobject_cast<rel::UiPreview*>(d))
            previews << p->documento().textos(0).join(QLatin1Char('|'));
        d->accept();
    }};

    Ambiente()
    {
        SessaoAtual().DataAtual = QStringLiteral("17/04/2026");
        SessaoAtual().CalendarioAtual = kMarco;
        a.b.executa("insert into clientes (codigo, nome, apelido) values ('4300001', 'ALFA', 'ALF')");
        a.b.executa("insert into clientes (codigo, nome, apelido) values ('4300002', 'BETA', 'BET')");
        a.b.executa("insert into procedimentos (codigo, nome, valor) values (1, 'CONSULTA', 100)");
    }
    ~Ambiente()
    {
        delete InstanciaTela<TFLanCreditosMunics>();
        delete InstanciaTela<TFFilRelCreditosMunics>();
        SessaoAtual().CalendarioAtual = {};
    }
    // The screen as the CULVAR menu item "Repasses SIA/SUS" opens it.
    TFLanCreditosMunics* tela()
    {
        TelaRegistrada(TelaDoItem(QStringLiteral("RepassesSIASUS1"), SessaoAtual().PerfilConsorcio))();
        return test::AbreTelaTeste(InstanciaTela<TFLanCreditosMunics>());
    }
    void credito(const char* cli, const QString& tipo, const char* data, const char* valor)
    {
        a.b.executa(QStringLiteral("insert into creditos (cli_origem, tipo, data, valor) values ('%1', '%2', '%3', %4)")
                        .arg(QLatin1String(cli), tipo, QLatin1String(data), QLatin1String(valor)));
    }
    // One production line of authorization `id` (copy `adm`) received at `recebida`, drawing
    // `valor` from `tipo` and 999 from the other two sources.
    void linha(const char* cli, int id, const char* adm, const char* recebida, const QString& tipo, const char* valor,
               const char* realizado = "S", const char* bloqueio = nullptr)
    {
        a.b.executa(QStringLiteral("update or insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codentidade, "
                                   "data_importacao, databloqueio) values ('%1', %2, '%3', 1, '%4', %5)")
                        .arg(QLatin1String(cli))
                        .arg(id)
                        .arg(QLatin1String(adm), QLatin1String(recebida),
                             bloqueio ? QStringLiteral("'%1'").arg(QLatin1String(bloqueio)) : QStringLiteral("null")));
        QStringList v;
        for (const QString& t : TiposCredito())
            v << (t == tipo ? QLatin1String(valor) : QStringLiteral("999"));
        a.b.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                                   "quantidade, realizado, valortotal, valorsus1, valorsus2, valorpopular) "
                                   "values ('%1', %2, '%3', 1, 1, '%4', 1000, %5)")
                        .arg(QLatin1String(cli))
                        .arg(id)
                        .arg(QLatin1String(adm), QLatin1String(realizado), v.join(QLatin1Char(','))));
    }
    QString creditos() { return a.texto("select list(cli_origem || ':' || tipo || ':' || data || ':' || valor || ':' || "
                                        "coalesce(obs, '-'), ' ') from (select * from creditos order by 1, 2, 3)"); }
    QString logs(const char* situacao)
    {
        return a.texto(QStringLiteral("select list(tabela || ':' || outrasinfo, ' ') from logs where situacao='%1'")
                           .arg(QLatin1String(situacao)));
    }
};

} // namespace

class TstCreditos : public QObject {
    Q_OBJECT

private slots:
    // Typed through the screen: saved, looked up again by its key, replaced (one row, new value and
    // remark), another source shows nothing, then deleted after the question; audit rows as typed.
    void lancamentoPelaTela()
    {
        Ambiente s;
        TFLanCreditosMunics* t = s.tela();
        QCOMPARE(t->PEData()->text(), QStringLiteral("17/04/2026"));
        QCOMPARE(t->PEValor()->text(), QStringLiteral("0,00"));

        t->PBtnGravar()->executa();
        QCOMPARE(s.a.msgs.textos(), QStringList{QStringLiteral("O valor do campo \"Município:\" não pode estar em Branco!")});
        s.a.msgs.limpa();
        test::Digita(t->PECodMunicipio(), QStringLiteral("4300001"));
        QCOMPARE(t->LMunicipio()->text(), QStringLiteral("ALFA"));
        test::Digita(t->PEData(), QStringLiteral("01/04/2026"));
        test::Digita(t->PEValor(), QStringLiteral("1.500,00"));
        test::Digita(t->PEObs(), QStringLiteral("Repasse D'abril"));
        t->PBtnGravar()->executa();
        QVERIFY2(s.a.msgs.quantidade() == 0, qPrintable(s.a.msgs.textos().join('|')));
        QCOMPARE(s.creditos(), QStringLiteral("4300001:SUS1:2026-04-01:1500.00:Repasse D'abril"));
        QVERIFY(t->PECodMunicipio()->text().isEmpty());
        QCOMPARE(t->PEData()->text(), QStringLiteral("01/04/2026"));
        QVERIFY(t->PECodMunicipio()->hasFocus());

        test::Digita(t->PECodMunicipio(), QStringLiteral("4300001"));
        QCOMPARE(t->PEValor()->text(), QStringLiteral("1500,00"));
        QCOMPARE(t->PEObs()->text(), QStringLiteral("Repasse D'abril"));
        QCOMPARE(t->Grade()->linhas(), 1);
        test::SalvaTela(t, QStringLiteral("tflancreditosmunics"));
        test::Digita(t->PEValor(), QStringLiteral("1.250,50"));
        test::Digita(t->PEObs(), QString());
        t->PBtnGravar()->executa();
        QCOMPARE(s.creditos(), QStringLiteral("4300001:SUS1:2026-04-01:1250.50:"));
        QCOMPARE(s.logs("I"), QStringLiteral("Creditos:4300001-SUS1-01/04/2026-1500,00 Creditos:4300001-SUS1-01/04/2026-1250,50"));

        test::Digita(t->PECodMunicipio(), QStringLiteral("4300001"));
        t->CBTipo()->setCurrentText(QStringLiteral("POPULAR"));
        QCOMPARE(t->PEValor()->text(), QStringLiteral("0,00"));
        t->CBTipo()->setCurrentText(QStringLiteral("SUS1"));
        QCOMPARE(t->PEValor()->text(), QStringLiteral("1250,50"));

        s.a.msgs.respondeNao();
        t->PBtnExcluir()->executa();
        QCOMPARE(test::Resumo(s.a.msgs.ultima()), test::PerguntaExclusao());
        QCOMPARE(s.a.numero("select count(*) from creditos"), 1);
        s.a.msgs.respondeSim();
        t->PBtnExcluir()->executa();
        QCOMPARE(s.a.numero("select count(*) from creditos"), 0);
        QCOMPARE(s.logs("E"), QStringLiteral("Creditos:4300001-SUS1-01/04/2026-1250,50"));
        QVERIFY(t->PECodMunicipio()->text().isEmpty());
    }

    // The SUS1 copy from the screen: each municipality's latest SUS1 credit goes to the typed date;
    // a date before or equal to some municipality's latest refuses the whole copy, even after other
    // municipalities were copied. No audit row either way.
    void importaSus1_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("mensagem"); // icon letter + text
        QTest::addColumn<QString>("criados");
        QTest::newRow("depois de todos") << "01/05/2026" << "I:Concluído!"
                                         << "4300001:SUS1:2026-05-01:80.00:- 4300002:SUS1:2026-05-01:300.00:-";
        QTest::newRow("antes do ultimo de um")
            << "20/03/2026" << "E:Data Inválida: 20/03/2026. Já há créditos com data maior: 01/04/2026" << "";
        QTest::newRow("igual ao ultimo de um")
            << "01/04/2026" << "E:O município 4300002 já tem crédito SUS1 em 01/04/2026. Nenhum crédito foi copiado." << "";
        QTest::newRow("sem data") << "" << "A:Informe a Data do Crédito!" << "";
    }
    void importaSus1()
    {
        QFETCH(QString, data);
        QFETCH(QString, mensagem);
        QFETCH(QString, criados);
        Ambiente s;
        s.credito("4300001", QStringLiteral("SUS1"), "2026-01-15", "50");
        s.credito("4300001", QStringLiteral("SUS1"), "2026-03-15", "80");
        s.credito("4300001", QStringLiteral("SUS2"), "2026-06-01", "10");
        s.credito("4300002", QStringLiteral("SUS1"), "2026-04-01", "300");
        s.credito("4300002", QStringLiteral("POPULAR"), "2026-07-01", "20");
        const QString antes = s.creditos();
        TFLanCreditosMunics* t = s.tela();
        test::Digita(t->PEData(), data);
        t->PBImportarSUS1()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        const auto m = s.a.msgs.ultima();
        QCOMPARE(QString(QLatin1Char("?IAE?"[int(m.icone)])) + QLatin1Char(':') + m.texto, mensagem);
        QStringList novos = s.creditos().split(' ');
        for (const QString& c : antes.split(' '))
            novos.removeOne(c);
        QCOMPARE(novos.join(' '), criados);
        QCOMPARE(s.a.numero("select count(*) from logs"), 0);
    }

    // Balances of March for each source: credits dated up to the end (those inside March too) less
    // the use before March make "Saldo Inicial"; use inside March only "Valor Gasto". Two copies of
    // one authorization count once each; blocked or unrealized lines, credits of other sources and
    // lines outside the windows do not count, nor the other sources' columns (999 on every line).
    void saldos_data()
    {
        QTest::addColumn<QString>("tipo");
        for (const QString& t : TiposCredito())
            QTest::newRow(qPrintable(t)) << t;
    }
    void saldos()
    {
        QFETCH(QString, tipo);
        Ambiente s;
        const QString outro = tipo == QLatin1String("SUS1") ? QStringLiteral("SUS2") : QStringLiteral("SUS1");
        s.credito("4300001", tipo, "2026-01-10", "1000");
        s.credito("4300001", tipo, "2026-03-31", "500");   // inside the calendar
        s.credito("4300001", tipo, "2026-04-01", "300");   // after it
        s.credito("4300001", outro, "2026-01-10", "7000");
        s.credito("4300002", tipo, "2026-03-20", "100.50");
        s.linha("4300001", 1, "M", "2026-02-10 10:00", tipo, "100");
        s.linha("4300001", 2, "M", "2026-02-28 23:59", tipo, "20");
        s.linha("4300001", 3, "M", "2026-03-10 08:00", tipo, "250");
        s.linha("4300001", 4, "20260312", "2026-03-12 09:00", tipo, "40"); // two copies of one authorization
        s.linha("4300001", 4, "20260315", "2026-03-15 09:00", tipo, "60");
        s.linha("4300001", 5, "M", "2026-03-11 09:00", tipo, "70", "S", "2026-03-20");
        s.linha("4300001", 6, "M", "2026-03-11 09:00", tipo, "80", "N");
        s.linha("4300001", 7, "M", "2026-03-31 23:59", tipo, "5");
        s.linha("4300001", 8, "M", "2026-04-01 00:01", tipo, "900");

        const auto doc = TRCreditos::Gera(s.a.b.tr(), tipo, kMarco);
        QCOMPARE(doc->numPaginas(), 1);
        const QString texto = doc->textos(0).join('|');
        QVERIFY2(texto.startsWith(QStringLiteral("CULVAR|")), qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("|Créditos Financeiros dos Municípios|Recurso: ") + tipo), qPrintable(texto));
        QCOMPARE(texto.section(QStringLiteral("|Página: 1 de 1|"), 1),
                 QStringLiteral("Município|Saldo Inicial|Valor Gasto|Saldo Final|4300001 - ALFA|1.380,00|355,00|1.025,00|"
                                "4300002 - BETA|100,50|0,00|100,50|1.480,50|355,00|1.125,50|Totais:"));
        if (tipo == QLatin1String("SUS1"))
            QVERIFY(rel::ImagemPagina(*doc, 0, 110).save(QStringLiteral("/tmp/relcreditos.png")));
    }

    // "Relatório" lists the municipality's credits of the chosen source in the grid and opens the
    // report screen on that source with the calendar beside; printing previews that source.
    void relatorioPelaTela()
    {
        Ambiente s;
        s.credito("4300001", QStringLiteral("SUS2"), "2026-02-01", "400");
        s.credito("4300001", QStringLiteral("SUS2"), "2026-03-01", "100");
        s.credito("4300001", QStringLiteral("SUS1"), "2026-02-01", "900");
        s.credito("4300002", QStringLiteral("SUS2"), "2026-02-01", "250");
        s.linha("4300002", 1, "M", "2026-03-02 10:00", QStringLiteral("SUS2"), "50");
        TFLanCreditosMunics* t = s.tela();
        t->CBTipo()->setCurrentText(QStringLiteral("SUS2"));
        test::Digita(t->PECodMunicipio(), QStringLiteral("4300001"));
        t->PBRelatorio()->executa();
        QCOMPARE(t->Grade()->linhas(), 2);
        QCOMPARE(t->Grade()->valor(QStringLiteral("TIPO"), 0), QStringLiteral("SUS2"));
        t->PECodMunicipio()->clear();
        t->PBRelatorio()->executa();
        QCOMPARE(t->Grade()->linhas(), 3);

        auto* f = InstanciaTela<TFFilRelCreditosMunics>();
        QVERIFY(f && f->isVisible());
        QCOMPARE(f->windowTitle(), QStringLiteral("Relatório de Créditos dos Municípios"));
        QCOMPARE(f->CBRecurso()->currentText(), QStringLiteral("SUS2"));
        QCOMPARE(f->LCalendario()->text(), QStringLiteral("Calendário: MARÇO/2026 (01/03/2026 a 31/03/2026)"));
        test::SalvaTela(f, QStringLiteral("tffilrelcreditosmunics"));
        f->PBtnImprimir()->executa();
        QVERIFY2(s.a.msgs.quantidade() == 0, qPrintable(s.a.msgs.textos().join('|')));
        QCOMPARE(s.previews.size(), 1);
        QVERIFY2(s.previews[0].endsWith(QStringLiteral("|Recurso: SUS2      Calendário: MARÇO/2026 (01/03/2026 a 31/03/2026)|"
                                                       "Página: 1 de 1|Município|Saldo Inicial|Valor Gasto|Saldo Final|"
                                                       "4300001 - ALFA|500,00|0,00|500,00|4300002 - BETA|250,00|50,00|200,00|"
                                                       "750,00|50,00|700,00|Totais:")),
                 qPrintable(s.previews[0]));

        // Without a selected calendar nothing is printed and the reason is shown.
        SessaoAtual().CalendarioAtual = {};
        f->PBtnImprimir()->executa();
        QCOMPARE(s.previews.size(), 1);
        QCOMPARE(s.a.msgs.ultima().texto, QStringLiteral("Nenhum calendário de faturamento selecionado."));
    }
};

QTEST_MAIN(TstCreditos)
#include "tst_creditos.moc"
