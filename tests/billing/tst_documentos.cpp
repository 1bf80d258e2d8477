// Receipts and bank slips: who pays, numbering per type, registered numbers on reprints, the
// receivable each document leaves, annulment, the "aviso de empenho", the one-off screen, the
// billing screen's buttons and the issued-documents report.
#include "billing/Boleto.h"
#include "billing/Documentos.h"
#include "billing/TFEmissaoDocumentos.h"
#include "billing/TFFaturamento.h"
#include "billing/TFFilRelBoletosRecibos.h"
#include "billing/TRImpRecibos.h"
#include "billing/UiDocumentosFatura.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QComboBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace vx;

namespace {

const QDate kIni(2026, 3, 1), kFim(2026, 3, 31), kEmissao(2026, 4, 5), kVenc(2026, 4, 20);

struct Base {
    test::AmbienteTela a;
    QStringList previews; // first page texts of every preview shown
    test::RoteiroModal roteiro{[this](QDialog* d) {
        if (auto* p = qobject_cast<rel::UiPreview*>(d))
            previews << p->documento().textos(0).join(QLatin1Char('|'));
        else if (auto* b = d->findChild<QPushButton*>(QStringLiteral("Button2")); b && escolha == 2)
            b->click();
        else if (auto* b1 = d->findChild<QPushButton*>(QStringLiteral("Button1")))
            b1->click();
        d->accept();
    }};
    int escolha = 1;

    explicit Base(const char* perfil = "CUNE")
        : a(QStringLiteral("CUNE"),
            {QStringLiteral("CONSORCIO=") + QLatin1String(perfil), QStringLiteral("CIDADE=Santa Rosa"),
             QStringLiteral("UF=RS"), QStringLiteral("RESPONSAVEL=Maria Souza"), QStringLiteral("CARGORESP=Presidente")})
    {
        SessaoAtual().DataAtual = QStringLiteral("05/04/2026");
        // code, name, collection letter of production and fee, gross, SUS discount
        municipio("4300001", "ALFA", "A", "R", "1234.56", "0");
        municipio("4300002", "BETA", "B", "B", "500.00", "0");
        municipio("4300003", "GAMA", "R", "A", "300.00", "400.00");
        municipio("4300004", "DELTA", "R", "R", "200.00", "0");
        a.b.executa("insert into contasboletos (id_conta, titulo, banco, agencia, agenciadigito, codigocedente, nome, "
                    "cnpjcpf, producao, taxa) values (1, 'BANRISUL PRODUCAO', '041', '0817', '05', '421609371', "
                    "'CONSORCIO DE SAUDE', '12345678000190', 'S', 'S')");
    }
    void municipio(const char* cod, const char* nome, const char* cobProd, const char* cobTaxa, const char* bruto,
                   const char* descSus)
    {
        a.b.executa(QStringLiteral("insert into clientes (codigo, nome, apelido, cnpj, boleto, cobrproducao, cobrtaxa, "
                                   "leiautorizativa, codcontprod) values ('%1', '%2', '%2', '11.222.333/0001-%5', "
                                   "'Consultas de %2', '%3', '%4', '12%1', 'P%1')")
                        .arg(QLatin1String(cod), QLatin1String(nome), QLatin1String(cobProd), QLatin1String(cobTaxa),
                             QLatin1String(cod).right(2)));
        a.b.executa(QStringLiteral("insert into fat_municipio (tipo, dataini, datafim, codcliente, valorbruto, descsus, "
                                   "descppc, desccune, acrescdesc) values ('FAT', '2026-03-01', '2026-03-31', '%1', %2, "
                                   "%3, 0, 0, 0)")
                        .arg(QLatin1String(cod), QLatin1String(bruto), QLatin1String(descSus)));
    }
    static CobrancaPeriodo cobranca(QDate emissao = kEmissao)
    {
        CobrancaPeriodo c;
        c.inicio = kIni;
        c.fim = kFim;
        c.emissao = emissao;
        c.vencimento = kVenc;
        return c;
    }
    // "R1:4300001" ... ordered by type and number.
    QString documentos()
    {
        QStringList r;
        Transacao& tr = a.dm->IBTLivre;
        for (const LinhaCadastro& l : LeLinhas(tr, QStringLiteral("select tipodoc, numdoc, codcliente, valor, "
                                                                  "avulsofatura from docemissao order by 1, 2")))
            r << l.texto(QStringLiteral("TIPODOC")) + l.texto(QStringLiteral("NUMDOC")) + QLatin1Char(':')
                     + l.texto(QStringLiteral("CODCLIENTE")) + QLatin1Char(':') + l.texto(QStringLiteral("VALOR"))
                     + QLatin1Char(':') + l.texto(QStringLiteral("AVULSOFATURA"));
        return r.join(QLatin1Char(' '));
    }
    QString recebivel(const char* cod)
    {
        const auto l = LeLinha(a.dm->IBTLivre, QStringLiteral("select count(*) as n, max(origem) as origem, "
                                                              "max(docdebito) as doc, max(valordebito) as valor from "
                                                              "lanreceber where codcliente='%1'")
                                                   .arg(QLatin1String(cod)));
        return l->texto(QStringLiteral("N")) + QLatin1Char('|') + l->texto(QStringLiteral("ORIGEM")) + QLatin1Char('|')
               + l->texto(QStringLiteral("DOC")) + QLatin1Char('|') + l->texto(QStringLiteral("VALOR"));
    }
};

// A preview shown (not modally) by the test takes the activation: the screen gets it back.
void reativa(QWidget* t)
{
    t->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t));
}

QString numeros(const QVector<Recibo>& rs)
{
    QStringList l;
    for (const Recibo& r : rs)
        l << r.codigo + QLatin1Char('=') + QString::number(r.numero);
    return l.join(QLatin1Char(' '));
}

} // namespace

class TstDocumentos : public QObject {
    Q_OBJECT

private slots:
    void nomePagador_data()
    {
        QTest::addColumn<QString>("referencia");
        QTest::addColumn<QString>("municipio");
        QTest::addColumn<QString>("pagador");
        QTest::newRow("padrao") << "CONSORCIO CUNE" << "Santa Rosa" << "Poder Executivo do Município de Santa Rosa";
        QTest::newRow("ozu") << "CUNE" << "Tuparendi Sozul" << "Município de Tuparendi Sozul/Poder Executivo";
        QTest::newRow("ozu minusculo") << "CUNE" << "Bozuno" << "Município de Bozuno/Poder Executivo";
        QTest::newRow("plovex") << "Consórcio Plovex" << "Sozinho" << "Sozinho";
    }
    void nomePagador()
    {
        QFETCH(QString, referencia);
        QFETCH(QString, municipio);
        QFETCH(QString, pagador);
        QCOMPARE(NomePagador(referencia, municipio), pagador);
    }

    // The printed receipt carries the amount in figures and in words.
    void valorNoRecibo_data()
    {
        QTest::addColumn<qint64>("centavos");
        QTest::addColumn<QString>("texto");
        QTest::newRow("centavos") << qint64(123456)
                                  << "R$ 1.234,56 (um mil, duzentos e trinta e quatro reais e cinquenta e seis centavos)";
        QTest::newRow("redondo") << qint64(10000) << "R$ 100,00 (cem reais)";
        QTest::newRow("milhao") << qint64(100000001) << QString::fromUtf8("R$ 1.000.000,01 (um milhão reais e um centavo)");
    }
    void valorNoRecibo()
    {
        QFETCH(qint64, centavos);
        QFETCH(QString, texto);
        IdentidadeConsorcio id;
        id.nome = QStringLiteral("CONSORCIO");
        id.cidade = QStringLiteral("Santa Rosa");
        id.uf = QStringLiteral("RS");
        Recibo r;
        r.numero = 7;
        r.valor = Decimal::cents(centavos);
        r.emissao = kEmissao;
        const auto doc = TRImpRecibos::Gera({r}, id);
        QCOMPARE(doc->numPaginas(), 1);
        const QStringList t = doc->textos(0);
        QCOMPARE(t.count(texto), 2); // two halves
        QCOMPARE(t.count(QStringLiteral("RECIBO Nº 00007")), 2);
        QVERIFY(t.contains(QStringLiteral("Santa Rosa/RS, 5 de Abril de 2026")));
        if (centavos == 123456) {
            test::AmbienteTela a(QStringLiteral("CUNE"));
            test::InstalaLogoDemo();
            id.nome = QStringLiteral("CONSÓRCIO INTERMUNICIPAL DE SAÚDE CUNE");
            id.endereco = QStringLiteral("Rua Buenos Aires");
            id.numero = QStringLiteral("1020");
            id.cnpj = QStringLiteral("12.345.678/0001-90");
            id.contato = QStringLiteral("(55) 3512-0000");
            id.responsavel = QStringLiteral("Maria Souza");
            id.cargo = QStringLiteral("Presidente");
            r.pagador = QStringLiteral("Poder Executivo do Município de Santa Rosa - CNPJ: 87.612.826/0001-90");
            r.referente = QStringLiteral("Consultas e exames especializados realizados pelos prestadores do consórcio "
                                         "no mês de março de 2026, conforme demonstrativo de produção.");
            r.condicionado = QStringLiteral("Documento condicionado a quitação do Boleto nº 0000000012, venc. em "
                                            "20/04/2026.");
            QVERIFY(rel::ImagemPagina(*TRImpRecibos::Gera({r}, id), 0, 110).save(test::PastaTelas()
                                                                                 + QStringLiteral("/recibo.png")));
        }
    }

    // Receipts: collection 'R' or 'A' with net above 0; saved twice for the same emission date they keep
    // their numbers; a receipt printed again shows the registered number; the receivable follows.
    void recibosNumeradosEReemitidos()
    {
        Base s;
        const IdentidadeConsorcio id = IdentidadeConsorcio::DaConfiguracao();
        Transacao& tr = s.a.dm->IBTransaction;
        // GAMA's net is negative; BETA is collected by slip only.
        QCOMPARE(numeros(RecibosFatura(tr, Base::cobranca(), id)), QStringLiteral("4300001=1 4300004=2"));
        QCOMPARE(GravaRecibosFatura(tr, Base::cobranca()), 2);
        QCOMPARE(s.documentos(), QStringLiteral("R1:4300001:1234,56:F R2:4300004:200:F"));
        QCOMPARE(s.recebivel("4300001"), QStringLiteral("1|FAT2026-04|R1|1234,56"));

        // A third municipality joins; the old ones keep their numbers, the new one takes the next.
        s.a.b.executa("update clientes set cobrproducao='R' where codigo='4300002'");
        s.a.b.executa("update fat_municipio set valorbruto=1300 where codcliente='4300001'");
        QCOMPARE(numeros(RecibosFatura(tr, Base::cobranca(), id)), QStringLiteral("4300001=1 4300002=3 4300004=2"));
        QCOMPARE(GravaRecibosFatura(tr, Base::cobranca()), 3);
        QCOMPARE(s.documentos(), QStringLiteral("R1:4300001:1300:F R2:4300004:200:F R3:4300002:500:F"));
        QCOMPARE(s.recebivel("4300001"), QStringLiteral("1|FAT2026-04|R1|1300"));
        QCOMPARE(s.a.numero("select count(*) from logs where tabela='DocEmissao'"), 2);

        // An annulled receipt is issued again under a new number.
        AnulaDocumento(tr, kRecibo, 2, kEmissao);
        QCOMPARE(numeros(RecibosFatura(tr, Base::cobranca(), id)), QStringLiteral("4300001=1 4300002=3 4300004=4"));

        // Another emission date numbers them again.
        QCOMPARE(numeros(RecibosFatura(tr, Base::cobranca(kEmissao.addDays(1)), id)),
                 QStringLiteral("4300001=4 4300002=5 4300004=6"));
    }

    // Slips are always new documents; the month's receivable is one row refreshed by the last one.
    void boletosSempreNovos()
    {
        Base s;
        Transacao& tr = s.a.dm->IBTransaction;
        const auto conta = ContaDaCobranca(tr, false);
        QVERIFY(conta);
        for (int vez = 0; vez < 2; ++vez) {
            const LoteBoletos lote = BoletosFatura(tr, Base::cobranca(), *conta);
            QCOMPARE(lote.boletos.size(), 2); // ALFA ('A') and BETA ('B')
            QCOMPARE(lote.boletos.at(0).sacado.nome, QStringLiteral("PODER EXECUTIVO DO MUNICÍPIO DE ALFA (P4300001)"));
            QCOMPARE(lote.boletos.at(0).sacado.cnpjCpf, QStringLiteral("11222333000101"));
            QCOMPARE(lote.boletos.at(1).mensagens,
                     QStringList({QStringLiteral("NÃO COBRAR MULTAS E JUROS"), QStringLiteral("NÃO ENVIAR A CARTÓRIO"),
                                  QStringLiteral("Consultas de BETA"), QStringLiteral("Serviços prestados no mês 03/2026")}));
            QCOMPARE(lote.boletos.at(1).nossoNumero, ZerosEsquerda(2 * vez + 2, 8));
            GravaBoletosFatura(tr, Base::cobranca(), lote);
        }
        QCOMPARE(s.documentos(), QStringLiteral("B1:4300001:1234,56:F B2:4300002:500:F B3:4300001:1234,56:F "
                                                "B4:4300002:500:F"));
        QCOMPARE(s.recebivel("4300002"), QStringLiteral("1|FAT2026-04|B4|500"));
        QCOMPARE(s.a.texto("select descricao from docemissao where numdoc=4"), QStringLiteral("Consultas de BETA 03/2026"));

        // The receipt of a municipality collected both ways names its latest slip.
        const QVector<Recibo> r = RecibosFatura(tr, Base::cobranca(), IdentidadeConsorcio::DaConfiguracao());
        QCOMPARE(r.at(0).condicionado,
                 QStringLiteral("Documento condicionado a quitação do Boleto nº 0000000003, venc. em 20/04/2026."));
        QVERIFY(r.at(1).condicionado.isEmpty());
    }

    // Slips shown while another workstation registered its own: the save refuses, nothing is written.
    void boletosComNumeracaoTomada()
    {
        Base s;
        Transacao& tr = s.a.dm->IBTransaction;
        const LoteBoletos lote = BoletosFatura(tr, Base::cobranca(), *ContaDaCobranca(tr, false));
        s.a.b.executa("insert into docemissao (tipodoc, numdoc, codcliente, dataemissao, valor, avulsofatura) "
                      "values ('B', 1, '4300003', '2026-04-01', 10, 'A')");
        QVERIFY_THROWS_EXCEPTION(ErroValor, GravaBoletosFatura(tr, Base::cobranca(), lote));
        QCOMPARE(s.documentos(), QStringLiteral("B1:4300003:10:A"));
        QVERIFY(!tr.ativa());
    }

    // Annulment keeps the document and leaves the receivable as the last valid document made it.
    void anulacaoMantemRecebivel()
    {
        Base s;
        Transacao& tr = s.a.dm->IBTransaction;
        DocumentoEmissao d;
        d.tipo = kBoleto;
        d.municipio = QStringLiteral("4300003");
        d.emissao = kEmissao;
        d.vencimento = kVenc;
        d.numero = 120;
        d.valor = Decimal::fromInt(100);
        GravaDocumentoAvulso(tr, d);
        d.numero = 121;
        d.valor = Decimal::fromInt(200);
        GravaDocumentoAvulso(tr, d);
        QCOMPARE(s.recebivel("4300003"), QStringLiteral("1|FAT2026-04|B121|200"));
        AnulaDocumento(tr, kBoleto, 120, QDate(2026, 4, 6));
        QCOMPARE(s.recebivel("4300003"), QStringLiteral("1|FAT2026-04|B121|200"));
        QCOMPARE(s.a.b.valor("select dataexclusao from docemissao where numdoc=120").toDate(), QDate(2026, 4, 6));
        QCOMPARE(LeDocumento(tr, kBoleto, 120)->origem, QLatin1Char('A'));
    }

    // The "aviso de empenho": statement per profile, and the fixed text of a month with nothing to pay.
    void avisoEmpenho_data()
    {
        QTest::addColumn<QString>("perfil");
        QTest::addColumn<QStringList>("linhas");
        QTest::newRow("cumbel") << "CUMBEL"
                                << QStringList{"SUBTOTAL DA FATURA:            R$ 300,00",
                                               "DESCONTO SIA/SUS:              R$ 400,00",
                                               "OUTROS DESCONTOS:              R$ 0,00",
                                               "TOTAL A PAGAR:                 R$ -100,00"};
        QTest::newRow("culvar") << "CULVAR"
                                << QStringList{"CONSULTAS ESPECIALIZADAS E EXA R$ 80,00",
                                               "SUBTOTAL DA FATURA:            R$ 80,00",
                                               "DESCONTO SUS 1:                R$ 30,00",
                                               "DESCONTO SUS 2:                R$ 0,00",
                                               "DESCONTO CONS. POPULAR:        R$ 5,00",
                                               "OUTROS DESCONTOS:              R$ 0,00",
                                               "TOTAL A PAGAR:                 R$ -100,00"};
    }
    void avisoEmpenho()
    {
        QFETCH(QString, perfil);
        QFETCH(QStringList, linhas);
        Base s(qPrintable(perfil));
        s.a.b.executa("insert into gruposproced (codigo, nome, grupocobr) values (1, 'G', "
                      "'CONSULTAS ESPECIALIZADAS E EXA')");
        s.a.b.executa("insert into procedimentos (codigo, nome, valor, codgrupo) values (1, 'CONSULTA', 80, 1)");
        s.a.b.executa("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, data_importacao) values "
                      "('4300003', 1, 'M', '2026-03-10 10:00')");
        s.a.b.executa("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, quantidade, "
                      "realizado, valortotal, valorsus1, valorpopular) values ('4300003', 1, 'M', 1, 1, 'S', 80, 30, 5)");
        CobrancaPeriodo c = Base::cobranca();
        c.municipio = QStringLiteral("4300003");
        const QVector<AvisoEmpenho> avisos = AvisosFatura(s.a.dm->IBTransaction, c, perfil);
        QCOMPARE(avisos.size(), 1);
        QStringList obtidas;
        for (const auto& l : avisos.at(0).demonstrativo)
            obtidas << LinhaDemonstrativo(l.first, l.second);
        if (perfil == QLatin1String("CUMBEL"))
            obtidas.removeFirst(); // the group line
        QCOMPARE(obtidas, linhas);
        QCOMPARE(avisos.at(0).pagador, QStringLiteral("Poder Executivo do Município de GAMA"));
        const auto doc = TRImpRecibosCumbel::Gera(avisos, IdentidadeConsorcio::DaConfiguracao(), perfil);
        const QString texto = doc->textos(0).join(QLatin1Char('|'));
        QVERIFY(texto.contains(QStringLiteral("R$ 0,00 (Este mês não será necessário pagar a fatura")));
        QVERIFY(texto.contains(QStringLiteral("autorizado pela Lei Municipal nº 124300003")));
        QVERIFY(texto.contains(perfil == QLatin1String("CULVAR") ? QStringLiteral("Depositar até o dia 10  ")
                                                                 : QStringLiteral("Depositar até o dia 20  ")));
        QVERIFY(rel::ImagemPagina(*doc, 0, 110).save(test::PastaTelas() + QStringLiteral("/aviso_empenho_")
                                                     + perfil.toLower() + QStringLiteral(".png")));
    }

    // The one-off screen: a new receipt is registered and printed, the next number is proposed; a
    // registered one is only reprinted; an annulled one cannot be printed.
    void telaAvulsa()
    {
        Base s;
        test::InstalaLogoDemo();
        TelaRegistrada(QStringLiteral("EmissodeReciboBoletoAvulsos1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFEmissaoDocumentos>());
        QCOMPARE(t->CBTipo->count(), 2);
        QCOMPARE(t->CBTipo->itemText(1), QStringLiteral("001 - BANRISUL PRODUCAO"));
        t->CBTipo->setCurrentIndex(0);
        t->CBTipoChange();
        QCOMPARE(t->PENumDoc->text(), QStringLiteral("1"));
        QCOMPARE(t->PEDataEmissao->text(), QStringLiteral("05/04/2026"));
        test::Digita(t->PECodMun, QStringLiteral("4300004"));
        test::Digita(t->PEDataVencimento, QStringLiteral("30/04/2026"));
        test::Digita(t->PEValor, QStringLiteral("75,50"));
        t->MDescricao->setPlainText(QStringLiteral("Cópia de prontuários"));
        test::SalvaTela(t, QStringLiteral("emissao_documentos"));
        t->PBtnGravar->executa();
        QCOMPARE(s.documentos(), QStringLiteral("R1:4300004:75,5:A"));
        QCOMPARE(s.previews.size(), 1);
        QVERIFY(s.previews.at(0).contains(QStringLiteral("RECIBO Nº 00001")));
        QVERIFY(s.previews.at(0).contains(QStringLiteral("Cópia de prontuários")));
        QVERIFY(s.previews.at(0).contains(QStringLiteral("Poder Executivo do Município de DELTA - CNPJ: 11.222.333/0001-04")));
        QCOMPARE(t->PENumDoc->text(), QStringLiteral("2"));

        // Reprint: loaded, not editable, printed again without writing.
        s.a.b.executa("update lanreceber set valorpgto=10");
        reativa(t);
        test::Digita(t->PENumDoc, QStringLiteral("1"));
        QCOMPARE(s.a.msgs.ultima().texto, QStringLiteral("Não será possível Editar este documento, apenas reimprimí-lo!"));
        QVERIFY(!t->PEValor->isEnabled());
        t->PBtnGravar->executa();
        reativa(t);
        QCOMPARE(s.previews.size(), 2);
        QCOMPARE(s.a.numero("select count(*) from lanreceber where valorpgto=10"), 1);
        QCOMPARE(s.a.numero("select count(*) from logs where tabela='DocEmissao'"), 1);

        // Annulment, then the number is refused.
        test::Digita(t->PENumDoc, QStringLiteral("1"));
        s.a.msgs.respondeSim();
        t->PBExcluir->executa();
        QCOMPARE(s.a.b.valor("select dataexclusao from docemissao").toDate(), QDate(2026, 4, 5));
        test::Digita(t->PENumDoc, QStringLiteral("1"));
        QCOMPARE(s.a.msgs.ultima().texto, QStringLiteral("Documento Já foi Excluído!"));
        QVERIFY(!t->PBtnGravar->isEnabled());

        // A slip with the account of the chosen item.
        t->CBTipo->setCurrentIndex(1);
        t->CBTipoChange();
        QCOMPARE(t->PENumDoc->text(), QStringLiteral("1"));
        test::Digita(t->PECodMun, QStringLiteral("4300002"));
        test::Digita(t->PEDataVencimento, QStringLiteral("30/04/2026"));
        test::Digita(t->PEValor, QStringLiteral("10,00"));
        t->MDescricao->setPlainText(QStringLiteral("Taxa de adesão"));
        reativa(t);
        t->PBtnGravar->executa();
        QCOMPARE(s.documentos(), QStringLiteral("B1:4300002:10:A R1:4300004:75,5:A"));
        QVERIFY(s.previews.last().contains(QStringLiteral("Taxa de adesão")));
        QVERIFY(s.previews.last().contains(QStringLiteral("PODER EXECUTIVO DO MUNICÍPIO DE BETA")));
        delete t;
    }

    // The billing screen's buttons: receipts and slips of the listed period, saved on "Sim".
    void botoesDoFaturamento()
    {
        // Keeps the buttons' registrations in this program.
        void (*volatile presentes[])() = {&EmiteRecibosFatura, &EmiteBoletosFatura};
        Q_UNUSED(presentes);
        Base s;
        s.a.b.executa("insert into usuarios (usuario, senha, podefaturar) values ('ana', 'x', 'S')");
        SessaoAtual().CalendarioAtual = Calendario{QStringLiteral("01/03/2026"), QStringLiteral("31/03/2026"),
                                                   QStringLiteral("MARÇO/2026")};
        TelaRegistrada(QStringLiteral("FaturamentoMunicpios1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFaturamento>());
        t->PBCalcular()->executa();
        test::Digita(t->PEDataVencimento(), QStringLiteral("20/04/2026"));
        QVERIFY(t->PBRecibo()->isEnabled());
        s.a.msgs.respondeSim();
        t->PBRecibo()->executa();
        QCOMPARE(s.previews.size(), 1);
        QCOMPARE(s.a.msgs.textos().mid(s.a.msgs.quantidade() - 2),
                 QStringList({QStringLiteral("Gravar os recibos exibidos para controle de numeração?"),
                              QStringLiteral("Gravação Concluída!")}));
        s.a.msgs.respondeNao();
        t->PBBoletos()->executa();
        QCOMPARE(s.previews.size(), 2);
        QCOMPARE(s.documentos(), QStringLiteral("R1:4300001:1234,56:F R2:4300004:200:F"));
        s.a.msgs.respondeSim();
        t->PBBoletos()->executa();
        QCOMPARE(s.documentos(), QStringLiteral("B1:4300001:1234,56:F B2:4300002:500:F R1:4300001:1234,56:F "
                                                "R2:4300004:200:F"));
        SessaoAtual().CalendarioAtual = {};
        delete t;
    }

    // The issued-documents report by type and period.
    void relatorioDocumentos_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QDate>("fim");
        QTest::addColumn<QStringList>("documentos");
        QTest::newRow("ambos") << "" << kEmissao << QStringList{"B 1", "R 1", "R 2"};
        QTest::newRow("boletos") << "B" << kEmissao << QStringList{"B 1"};
        QTest::newRow("recibos") << "R" << kEmissao << QStringList{"R 1", "R 2"};
        QTest::newRow("antes") << "" << kEmissao.addDays(-1) << QStringList{};
    }
    void relatorioDocumentos()
    {
        QFETCH(QString, tipo);
        QFETCH(QDate, fim);
        QFETCH(QStringList, documentos);
        Base s;
        Transacao& tr = s.a.dm->IBTransaction;
        GravaRecibosFatura(tr, Base::cobranca());
        GravaBoletosFatura(tr, Base::cobranca(), [&] {
            CobrancaPeriodo c = Base::cobranca();
            c.municipio = QStringLiteral("4300002");
            return BoletosFatura(tr, c, *ContaDaCobranca(tr, false));
        }());
        const auto doc = TFFilRelBoletosRecibos::Gera(s.a.dm->IBTLivre, QDate(2026, 4, 1), fim,
                                                      tipo.isEmpty() ? QChar() : tipo.at(0));
        const QStringList t = doc->textos(0);
        QStringList achados;
        for (const QString& x : t)
            if (x.size() >= 3 && (x.startsWith(QLatin1String("B ")) || x.startsWith(QLatin1String("R "))) && x.at(2).isDigit())
                achados << x;
        QCOMPARE(achados, documentos);
        QVERIFY(t.contains(QStringLiteral("Emitidos entre 01/04/2026 e ") + TextoData(fim)));
    }
};

QTEST_MAIN(TstDocumentos)
#include "tst_documentos.moc"
