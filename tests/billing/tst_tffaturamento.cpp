// The billing screen driven as the clerk does: opened from its menu items, recalculated from the
// grid's menu, edited cell by cell, saved and printed, the fees, a failed listing and the export.
#include "billing/Planilha.h"
#include "billing/TFFaturamento.h"
#include "core/MenuPrincipal.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace vx;

namespace {

const Calendario kMarco{QStringLiteral("01/03/2026"), QStringLiteral("31/03/2026"), QStringLiteral("MARÇO/2026")};

struct Tela {
    test::AmbienteTela a;
    TFFaturamento* t = nullptr;
    QStringList previews; // texts of every preview shown
    test::RoteiroModal roteiro{[this](QDialog* d) {
        if (auto* p = qobject_cast<rel::UiPreview*>(d))
            previews << p->documento().textos(0).join(QLatin1Char('|'));
        d->accept();
    }};

    explicit Tela(const char* item, const QString& podeFaturar = QStringLiteral("S"), const char* perfil = "CUNE")
        : a(QStringLiteral("CUNE"), {QStringLiteral("CONSORCIO=") + QLatin1String(perfil),
                                     QStringLiteral("DESCTAXA=TAXA DE ADMINISTRACAO")})
    {
        a.b.executa("insert into usuarios (usuario, senha, podefaturar) values ('ana', 'x', '" + podeFaturar + "')");
        a.b.executa("insert into calendarios (datainicial, datafinal, descricao, selecao) values "
                    "('2026-03-01', '2026-03-31', 'MARÇO/2026', 'S')");
        a.b.executa("insert into clientes (codigo, nome, apelido, valortaxa, cobrtaxa) values ('4300001', 'ALFA', 'ALF', 150, 'B')");
        a.b.executa("insert into clientes (codigo, nome, apelido, valortaxa) values ('4300002', 'BETA', 'BET', 0)");
        a.b.executa("insert into procedimentos (codigo, nome, valor) values (1, 'CONSULTA', 100)");
        a.b.executa("insert into entidades (codigo, razaosocial, isentoir, simplesnac, issqn, email, codcontabil) "
                    "values (1, 'CLINICA UM', 'N', 'N', 2, 'um@clinica.br', '2110001')");
        a.b.executa("insert into entidades (codigo, razaosocial, isentoir, simplesnac, issqn) "
                    "values (2, 'HOSPITAL DOIS', 'S', 'N', 0)");
        producao("4300001", 1, 1, "700.00");
        producao("4300002", 2, 2, "300.00");
        SessaoAtual().CalendarioAtual = kMarco;
        SessaoAtual().DataAtual = QStringLiteral("05/04/2026");
        TelaRegistrada(QLatin1String(item))();
        t = InstanciaTela<TFFaturamento>();
        test::AbreTelaTeste(t);
    }
    ~Tela()
    {
        delete InstanciaTela<TFFaturamento>();
        SessaoAtual().CalendarioAtual = {};
    }
    void producao(const char* cli, int id, int ent, const char* valor)
    {
        a.b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codentidade, data_importacao) "
                                   "values ('%1', %2, 'M', %3, '2026-03-10 10:00')")
                        .arg(QLatin1String(cli))
                        .arg(id)
                        .arg(ent));
        a.b.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                                   "quantidade, realizado, valortotal) values ('%1', %2, 'M', 1, 1, 'S', %3)")
                        .arg(QLatin1String(cli))
                        .arg(id)
                        .arg(QLatin1String(valor)));
    }
    QString celula(int r, int c) const
    {
        const QTableWidgetItem* it = t->SG()->item(r, c);
        return it ? it->text() : QStringLiteral("<nada>");
    }
    QString linha(int r) const
    {
        QStringList l;
        for (int c = 0; c < TitulosGradeFaturamento(t->modo()).size(); ++c)
            l << celula(r, c);
        return l.join(QLatin1Char('|'));
    }
    // Types into a cell as the user does: select it, type, Enter, then move to another cell.
    void digitaCelula(int r, int c, const QString& texto)
    {
        t->SG()->setCurrentCell(r, c);
        t->SG()->editItem(t->SG()->item(r, c));
        // Closed editors linger until deleted: the open one is the visible one.
        QLineEdit* ed = nullptr;
        for (QLineEdit* e : t->SG()->findChildren<QLineEdit*>())
            if (e->isVisible())
                ed = e;
        QVERIFY(ed);
        ed->selectAll();
        QTest::keyClicks(ed, texto);
        QTest::keyClick(ed, Qt::Key_Return);
        t->SG()->setCurrentCell(r, c == 3 ? 4 : 3);
    }
};

} // namespace

class TstTFFaturamento : public QObject {
    Q_OBJECT

private slots:
    // The menu items open the screen in their mode, with the selected calendar and the working date;
    // recalculation only for users allowed to bill.
    void abertura_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("pode");
        QTest::addColumn<QString>("modo");
        QTest::addColumn<bool>("recalcula");
        QTest::newRow("municipios") << "FaturamentoMunicpios1" << "S" << "MUNICIPIO" << true;
        QTest::newRow("entidades") << "FaturamentoEntidades1" << "S" << "ENTIDADE" << true;
        QTest::newRow("sem permissao") << "FaturamentoMunicpios1" << "N" << "MUNICIPIO" << false;
    }
    void abertura()
    {
        QFETCH(QString, item);
        QFETCH(QString, pode);
        QFETCH(QString, modo);
        QFETCH(bool, recalcula);
        Tela s(qPrintable(item), pode);
        QCOMPARE(s.t->windowTitle(), QStringLiteral("Faturamento de Serviços"));
        QCOMPARE(s.t->LModo()->text(), modo);
        QCOMPARE(s.t->PEData1()->text(), QStringLiteral("01/03/2026"));
        QCOMPARE(s.t->PEData2()->text(), QStringLiteral("31/03/2026"));
        QCOMPARE(s.t->PEDataEmissao()->text(), QStringLiteral("05/04/2026"));
        QCOMPARE(s.t->ReCalcularFatura1()->isEnabled(), recalcula);
        QCOMPARE(s.t->PBCalcularTaxas() != nullptr, modo == QLatin1String("MUNICIPIO"));
        QCOMPARE(s.t->CBListarMunics() != nullptr, modo == QLatin1String("ENTIDADE"));
        // The other menu item replaces the screen with one of its own mode.
        const ModoFaturamento antes = s.t->modo();
        TelaRegistrada(modo == QLatin1String("MUNICIPIO") ? QStringLiteral("FaturamentoEntidades1")
                                                            : QStringLiteral("FaturamentoMunicpios1"))();
        QVERIFY(InstanciaTela<TFFaturamento>()->modo() != antes);
        s.t = InstanciaTela<TFFaturamento>();
    }

    // Municipalities: recalculated, saved only with both dates, printed; listed back as stored.
    void municipios()
    {
        Tela s("FaturamentoMunicpios1");
        s.t->PBCalcular()->executa();
        QCOMPARE(s.linha(0), QStringLiteral("4300001|ALFA|0,00|0,00|0,00|0,00|0,00|"));
        s.t->ReCalcularFatura1()->trigger();
        QCOMPARE(s.t->SG()->rowCount(), 2);
        QCOMPARE(s.linha(0), QStringLiteral("4300001|ALFA|700,00|0,00|0,00|0,00|700,00|"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.msgs.ultima().texto, MensagemDatasGravacao());
        QCOMPARE(s.a.numero("select count(*) from fat_municipio"), 0);
        QVERIFY(s.previews.isEmpty());
        test::Digita(s.t->PEDataVencimento(), QStringLiteral("20/04/2026"));
        s.t->PBEditarGrid()->executa();
        s.digitaCelula(0, colmun::AcrescDesc, QStringLiteral("-100,5"));
        QCOMPARE(s.celula(0, colmun::Liquido), QStringLiteral("599,50"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select list(codcliente || ':' || valorbruto || ':' || acrescdesc, ' ') from "
                           "(select * from fat_municipio order by codcliente)"),
                 QStringLiteral("4300001:700.00:-100.50 4300002:300.00:0.00"));
        QCOMPARE(s.previews.size(), 1);
        QVERIFY2(s.previews[0].contains(QStringLiteral("Faturamento por Município")), qPrintable(s.previews[0]));
        QVERIFY(!s.t->recalcular());
        // Saved: a plain listing shows what was stored; Gravar now only prints.
        s.t->ConsultarFatura1Click();
        QCOMPARE(s.linha(0), QStringLiteral("4300001|ALFA|700,00|0,00|0,00|-100,50|599,50|"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.previews.size(), 2);
        QCOMPARE(s.a.numero("select count(*) from logs where tabela='Fat_Municipio'"), 1);
        test::SalvaTela(s.t, QStringLiteral("tffaturamento-municipios"));
    }

    // Entities: a discount typed in the grid recomputes the withholdings; the payable follows.
    void entidades()
    {
        Tela s("FaturamentoEntidades1");
        s.t->ReCalcularFatura1()->trigger();
        // CUNE: 700 → IRRF 10,50, tarifa 7,00, ISS 14,00; the exempt hospital only its tarifa.
        QCOMPARE(s.linha(0), QStringLiteral("1|CLINICA UM|700,00|0,00|10,50|0,00|7,00|14,00|0,00|0,00||"));
        QCOMPARE(s.linha(1), QStringLiteral("2|HOSPITAL DOIS|300,00|0,00|0,00|0,00|3,00|0,00|0,00|0,00||"));
        s.t->PBEditarGrid()->executa();
        s.digitaCelula(0, colent::AcrescDesc, QStringLiteral("-100"));
        // Base 600: IRRF 9,00 falls under 10 and is not withheld.
        QCOMPARE(s.linha(0), QStringLiteral("1|CLINICA UM|700,00|-100,00|0,00|0,00|6,00|12,00|0,00|0,00||"));
        s.digitaCelula(0, colent::Nf, QStringLiteral("NF 77"));
        // A value that is not a number is marked and leaves the row as it was.
        s.digitaCelula(1, colent::AcrescDesc, QStringLiteral("x"));
        QCOMPARE(s.celula(1, colent::Tarifa), QStringLiteral("3,00"));
        QCOMPARE(s.t->SG()->item(1, colent::AcrescDesc)->background().color(), QColor(0xFF, 0xC0, 0xC0));
        test::Digita(s.t->PEDataVencimento(), QStringLiteral("20/04/2026"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.numero("select count(*) from fat_entidade"), 0);
        QCOMPARE(s.a.numero("select count(*) from lanpagar"), 0);
        QVERIFY(s.a.msgs.ultima().texto.contains(QStringLiteral("'x'")));
        QVERIFY(s.t->PBtnGravar()->isEnabled());
        // Corrected, the same grid is saved.
        s.digitaCelula(1, colent::AcrescDesc, QStringLiteral("0"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select list(codentidade || ':' || valordebito || ':' || origem, ' ') from "
                           "(select * from lanpagar order by id)"),
                 QStringLiteral("1:582.00:FAT03/2026 2:297.00:FAT03/2026"));
        QCOMPARE(s.a.texto("select docnf from fat_entidade where codentidade=1"), QStringLiteral("NF 77"));
        QCOMPARE(s.previews.size(), 1);
        QVERIFY2(s.previews[0].contains(QStringLiteral("Planilha de Pagamento Mensal por Entidade")), qPrintable(s.previews[0]));
        test::SalvaTela(s.t, QStringLiteral("tffaturamento-entidades"));
    }

    // Fees: their own listing and type; the apportionment button leaves with the production.
    void taxas()
    {
        Tela s("FaturamentoMunicpios1");
        QVERIFY(!s.t->PEDescTaxas()->isVisible());
        s.t->ReCalcularTaxasMensais1()->trigger();
        QVERIFY(s.t->faturaTaxas());
        QVERIFY(!s.t->faturaProducao());
        QVERIFY(s.t->PEDescTaxas()->isVisible());
        QCOMPARE(s.t->PEDescTaxas()->text(), QStringLiteral("TAXA DE ADMINISTRACAO"));
        QVERIFY(!s.t->PBRateioSUS()->isVisible());
        QVERIFY(!s.t->PBEditarGrid()->isEnabled());
        QCOMPARE(s.t->SG()->rowCount(), 1);
        QCOMPARE(s.linha(0), QStringLiteral("4300001|ALFA|150,00|0,00|0,00|0,00|150,00|B"));
        test::Digita(s.t->PEDataVencimento(), QStringLiteral("20/04/2026"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select tipo || ':' || valorbruto || ':' || obs from fat_municipio"), QStringLiteral("TAXA:150.00:B"));
        s.t->PBCalcular()->executa();
        QVERIFY(s.t->PBEditarGrid()->isEnabled());
        QVERIFY(!s.t->PEDescTaxas()->isVisible());
    }

    // A listing that fails says so and leaves nothing to save.
    void falhaNaListagem()
    {
        Tela s("FaturamentoEntidades1");
        s.a.b.executa("drop table fat_entidade");
        s.t->PBCalcular()->executa();
        QCOMPARE(s.t->LMensagem()->text(), QStringLiteral("PROBLEMAS DURANTE O PROCESSAMENTO!"));
        QVERIFY(!s.t->PBtnGravar()->isEnabled());
        QVERIFY(!s.a.dm->IBTransaction.ativa());
        s.t->ReCalcularFatura1()->trigger();
        QVERIFY(s.t->LMensagem()->text().isEmpty());
        QVERIFY(s.t->PBtnGravar()->isEnabled());
    }

    // The export writes the chosen columns and opens the file.
    void exportacao()
    {
        QStringList abertos;
        DefineAcoesPlanilha({[&](const QString& f) { abertos << f; return true; }});
        {
            Tela s("FaturamentoEntidades1");
            s.t->ReCalcularFatura1()->trigger();
            s.roteiro.define([](QDialog* d) {
                const auto caixas = d->findChildren<QCheckBox*>();
                QCOMPARE(caixas.size(), 22);
                for (QCheckBox* cb : caixas)
                    cb->setChecked(cb->text() == QLatin1String("Código") || cb->text() == QLatin1String("Email"));
                d->findChild<QPushButton*>(QStringLiteral("BOK"))->click();
            });
            s.t->PBExcel()->executa();
            QCOMPARE(abertos.size(), 1);
            QCOMPARE(abertos[0], s.t->ultimaPlanilha());
            QVERIFY(QFileInfo(abertos[0]).size() > 0);
            QVERIFY(abertos[0].endsWith(QStringLiteral("01-03-2026 a 31-03-2026.xlsx")));
            QCOMPARE(s.t->LMensagem()->text(), QStringLiteral("Planilha gravada em ") + abertos[0]);
            // "X" closes the panel without exporting.
            s.roteiro.define([](QDialog* d) { d->findChild<QPushButton*>(QStringLiteral("BFechar"))->click(); });
            s.t->PBExcel()->executa();
            QCOMPARE(abertos.size(), 1);
        }
        {
            Tela s("FaturamentoMunicpios1");
            s.t->ReCalcularFatura1()->trigger();
            s.t->PBExcel()->executa();
            QCOMPARE(abertos.size(), 2);
            QVERIFY(abertos[1].contains(QStringLiteral("Municipios")));
        }
        DefineAcoesPlanilha({});
    }
};

QTEST_MAIN(TstTFFaturamento)
#include "tst_tffaturamento.moc"
