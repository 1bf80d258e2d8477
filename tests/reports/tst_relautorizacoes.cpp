// The authorization and production reports on a small real database: totals per key and time
// bound, the statement (glossed lines, taxes, billing groups, control labels, the CULVAR receipt
// and totals page), the list with its appointment range, the grouped listings with the invoice,
// two statements laid out interleaved, and the filter screen per role.
#include "core/Banco.h"
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/TFFilRelAutorizacoes.h"
#include "reports/TRAutorizacoes.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/DadosMarcacao.h"
#include "support/Galeria.h"
#include "support/Xlsx.h"
#include "billing/Planilha.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

const QDate kIni(2026, 3, 1), kFim(2026, 3, 31);

QString tudo(const rel::Documento& d)
{
    QStringList t;
    for (int i = 0; i < d.numPaginas(); ++i)
        t << d.textos(i).join(QLatin1Char('|'));
    return t.join(QStringLiteral("||"));
}

// Porto Alegre (4314902) and Alvorada (4300001); entity 10 pays every tax, 11 is IR-exempt.
// March: A1 (PoA, 05/03, entity 10: 101 10,10 + 104 60,00), A2 (PoA, imported 01/03 00:00:30,
// unscheduled, entity 11: 102 ×4 20,00), A3 (Alvorada, blocked "DUPLICIDADE": 103 400,00),
// A4 (Alvorada, 31/03, entity 10: 101 ×2 20,20 and 102 not realized); A5 in April.
void prepara(test::BancoTeste& b)
{
    test::PreparaMarcacao(b);
    b.executa("insert into clientes (codigo, nome) values ('4300001', 'ALVORADA')");
    b.executa("insert into pessoas (cli_origem, codigo, nome) values ('4300001', 1, 'ANA ALVORADA')");
    b.executa("update entidades set isentoir='N', simplesnac='N', issqn=2, pis=0.65, cofins=3, csll=1, codmun='4314902' where codigo=10");
    b.executa("update entidades set isentoir='S', simplesnac='N', issqn=5, nomefantasia='HSUL' where codigo=11");
    b.executa("insert into gruposproced (codigo, nome, grupocobr) values (1, 'CONSULTAS', 'AMBULAT')");
    b.executa("insert into gruposproced (codigo, nome, grupocobr) values (2, 'EXAMES', 'EXAMES')");
    b.executa("insert into gruposproced (codigo, nome, grupocobr) values (3, 'FISIOTERAPIA', 'AMBULAT')");
    b.executa("update procedimentos set codgrupo=2");
    b.executa("update procedimentos set codgrupo=1 where codigo=101");
    b.executa("update procedimentos set codgrupo=3 where codigo=102");
    b.executa("insert into motivobloqueios (codigo, descricao) values (1, 'DUPLICIDADE')");
    b.executa("insert into calendarios (datainicial, datafinal, descricao, selecao) values "
              "('2026-03-01', '2026-03-31', 'MARÇO/2026', 'N')");
    auto aut = [&](const char* cli, int id, int pessoa, int ent, int prof, const char* lanc, const char* marc,
                   const char* imp, const char* bloq) {
        b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, "
                                 "codprofissional, datalanc, datamarc, horamarc, datarealizacao, data_importacao, "
                                 "data_digitacao, databloqueio, codmotivobloqueio, chaveimpre) values ('%1', %2, 'M', %3, "
                                 "%4, %5, '%6', %7, '08:00', '%6', '%8', '%8', %9, %10, 'K%2')")
                      .arg(QLatin1String(cli)).arg(id).arg(pessoa).arg(ent).arg(prof)
                      .arg(QLatin1String(lanc), marc ? QStringLiteral("'%1'").arg(QLatin1String(marc)) : QStringLiteral("null"),
                           QLatin1String(imp), bloq ? QStringLiteral("'%1'").arg(QLatin1String(bloq)) : QStringLiteral("null"),
                           bloq ? QStringLiteral("1") : QStringLiteral("null")));
    };
    auto proc = [&](const char* cli, int id, int cod, int qt, const char* valor, const char* realizado = "S",
                    const char* sus1 = "0") {
        b.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                                 "quantidade, realizado, valortotal, valortotalsus, valorsus1, valorsus2, valorpopular) "
                                 "values ('%1', %2, 'M', %3, %4, '%5', %6, %6 / 2, %7, 0, 0)")
                      .arg(QLatin1String(cli)).arg(id).arg(cod).arg(qt)
                      .arg(QLatin1String(realizado), QLatin1String(valor), QLatin1String(sus1)));
    };
    aut("4314902", 1, 1, 10, 20, "2026-03-02", "2026-03-10", "2026-03-05 10:00", nullptr);
    proc("4314902", 1, 101, 1, "10.10", "S", "5");
    proc("4314902", 1, 104, 1, "60.00");
    aut("4314902", 2, 2, 11, 21, "2026-03-03", nullptr, "2026-03-01 00:00:30", nullptr);
    proc("4314902", 2, 102, 4, "20.00");
    aut("4300001", 1, 1, 10, 20, "2026-03-04", "2026-03-11", "2026-03-20 09:00", "2026-03-21");
    proc("4300001", 1, 103, 1, "400.00");
    aut("4300001", 2, 1, 10, 20, "2026-03-06", "2026-03-12", "2026-03-31 12:00", nullptr);
    proc("4300001", 2, 101, 2, "20.20");
    proc("4300001", 2, 102, 1, "5.00", "N");
    aut("4314902", 3, 1, 10, 20, "2026-04-01", "2026-04-02", "2026-04-01 08:00", nullptr);
    proc("4314902", 3, 101, 1, "10.10");
}

FiltroAutorizacoes consorcio(const QString& chamador = chamador::AdministrativoR)
{
    FiltroAutorizacoes f;
    f.chamador = chamador;
    f.papel = QLatin1Char('C');
    f.identidade = QStringLiteral("CUNE");
    f.perfil = QStringLiteral("CUNE");
    f.data1 = kIni;
    f.data2 = kFim;
    f.descricaoCalendario = QStringLiteral("MARÇO/2026");
    return f;
}

// "NOME=QUANT/VALOR;..." of the totals query.
QString somas(test::BancoTeste& b, const FiltroAutorizacoes& f)
{
    const ConsultaRelatorio c = SqlTotais(f);
    Consulta q(b.tr());
    q.abre(c.sql, c.parametros);
    QStringList r;
    for (; !q.eof(); q.proximo())
        r << q.campo(QStringLiteral("NOME")).texto().trimmed() + QLatin1Char('=') + q.campo(QStringLiteral("QUANT")).texto()
                 + QLatin1Char('/') + FormataMoeda(q.campo(QStringLiteral("VALOR")).decimal());
    return r.join(QLatin1Char(';'));
}

} // namespace

class TstRelAutorizacoes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SessaoAtual().DataAtual = QStringLiteral("15/04/2026"); }

    void totais_data()
    {
        QTest::addColumn<int>("ordem");
        QTest::addColumn<int>("bloqueio");
        QTest::addColumn<int>("registro");
        QTest::addColumn<bool>("sus");
        QTest::addColumn<QString>("esperado");
        // A2 (imported at 00:00:30 on the first day) is outside the totals' 00:01 bound.
        QTest::newRow("municipio") << 0 << 0 << 0 << false << "ALVORADA=2/20,20;PORTO ALEGRE=2/70,10";
        QTest::newRow("municipio sus") << 0 << 0 << 0 << true << "ALVORADA=2/10,10;PORTO ALEGRE=2/35,05";
        QTest::newRow("todos") << 0 << 2 << 0 << false << "ALVORADA=3/420,20;PORTO ALEGRE=2/70,10";
        QTest::newRow("bloqueados") << 0 << 1 << 0 << false << "ALVORADA=1/400,00";
        QTest::newRow("entidade") << 1 << 0 << 0 << false << "CLINICA VIDA=4/90,30";
        QTest::newRow("profissional") << 2 << 2 << 0 << false << "DRA. LUCIA ALVES=5/490,30";
        QTest::newRow("grupo") << 3 << 0 << 0 << false << "CONSULTAS=3/30,30;EXAMES=1/60,00";
        QTest::newRow("procedimento consolidado")
            << 4 << 0 << 0 << false << "0205020046 - ECOGRAFIA ABDOMINAL=1/60,00;0301010072 - CONSULTA MEDICA ESPECIALIZADA=3/30,30";
        QTest::newRow("procedimento individualizado") << 4 << 2 << 1 << false << "";
        QTest::newRow("procedimento todos") << 4 << 1 << 2 << false << "0207010064 - RESSONANCIA MAGNETICA=1/400,00";
    }
    void totais()
    {
        QFETCH(int, ordem);
        QFETCH(int, bloqueio);
        QFETCH(int, registro);
        QFETCH(bool, sus);
        QFETCH(QString, esperado);
        test::BancoTeste b;
        prepara(b);
        FiltroAutorizacoes f = consorcio();
        f.totaliza = true;
        f.ordem = ordem;
        f.bloqueio = Bloqueio(bloqueio);
        f.registroBpa = RegistroBpa(registro);
        f.valorSus = sus;
        QCOMPARE(somas(b, f), esperado);
    }

    // Realization date basis, the filter line and the "Relat. 49" label of the listed identities.
    void totaisDocumento()
    {
        test::BancoTeste b;
        prepara(b);
        FiltroAutorizacoes f = consorcio();
        f.totaliza = true;
        f.ordemTexto = QStringLiteral("Município");
        f.bloqueio = Bloqueio::Todos;
        f.identidade = QStringLiteral("CORVANE");
        f.papel = QLatin1Char('C');
        auto doc = GeraRelatorioAutorizacoes(b.tr(), f);
        const QString t = tudo(*doc);
        QVERIFY2(t.startsWith("CORVANE|Relat. 490103657|Totalizador de Procedimentos por Município|"
                              "  Realizadas até 31/03/2026 Incl.Bloqueadas (MARÇO/2026)|Página: 1 de 1|"),
                 qPrintable(t));
        QVERIFY2(t.endsWith("|5|490,30|Total Geral:"), qPrintable(t));

        // An entity installation counting by realization date: A2 was realized on 03/03.
        f.identidade = QStringLiteral("E0010");
        f.papel = QLatin1Char('E');
        f.dataRealizacao = true;
        f.entidade = {QStringLiteral("10"), QStringLiteral("CLINICA VIDA")};
        f.bloqueio = Bloqueio::NaoBloqueados;
        QCOMPARE(somas(b, f), QStringLiteral("ALVORADA=2/20,20;PORTO ALEGRE=2/70,10"));
        f.entidade = {};
        QCOMPARE(somas(b, f), QStringLiteral("ALVORADA=2/20,20;PORTO ALEGRE=6/90,10"));
    }

    // The statement: the other party, glossed lines out of every total, subtotals, billing groups
    // and the taxes of one entity.
    void extrato_data()
    {
        QTest::addColumn<int>("bloqueio");
        QTest::addColumn<QString>("entidade");
        QTest::addColumn<QStringList>("trechos");
        QTest::newRow("nao bloqueados")
            << 0 << QString()
            << QStringList{"ALVORADA|", "0010-CLINICA VIDA", "|2|R$ 20,20|SubTotal:|", "PORTO ALEGRE|",
                           "0011-HSUL|JOAO PEREIRA|0302050027 FISIOTERAPIA MOTORA|4|20,00|", "|6|R$ 90,10|SubTotal:|",
                           "|8|R$ 110,30|Total Geral:|", "AMBULAT    : R$ 50,30\nEXAMES     : R$ 60,00"};
        QTest::newRow("todos: glosado") << 2 << QString()
                                        << QStringList{"|Procedimento acima foi glosado. Motivo: DUPLICIDADE|(-) 400,00|",
                                                       "|2|R$ 20,20|SubTotal:|", "|8|R$ 110,30|Total Geral:|",
                                                       "AMBULAT    : R$ 50,30\nEXAMES     : R$ 60,00"};
        QTest::newRow("bloqueados") << 1 << QString()
                                    << QStringList{"RESSONANCIA MAGNETICA|1|400,00|", "|1|R$ 400,00|Total Geral:|",
                                                   "EXAMES     : R$ 400,00"};
        QTest::newRow("impostos") << 0 << "10"
                                  << QStringList{"|4|R$ 90,30|Total Geral:|",
                                                 "IRRF: R$ 1,35   ISSQN: R$ 1,81   PIS: R$ 0,59   COFINS: R$ 2,71   "
                                                 "CSLL: R$ 0,90   SALDO: R$ 82,94"};
        QTest::newRow("isento de IR") << 0 << "11"
                                      << QStringList{"|4|R$ 20,00|Total Geral:|",
                                                     "IRRF: R$ 0,00   ISSQN: R$ 1,00   PIS: R$ 0,00   COFINS: R$ 0,00   "
                                                     "CSLL: R$ 0,00   SALDO: R$ 19,00"};
    }
    void extrato()
    {
        QFETCH(int, bloqueio);
        QFETCH(QString, entidade);
        QFETCH(QStringList, trechos);
        test::BancoTeste b;
        prepara(b);
        FiltroAutorizacoes f = consorcio();
        f.bloqueio = Bloqueio(bloqueio);
        f.entidade = {entidade, {}};
        auto doc = GeraRelatorioAutorizacoes(b.tr(), f);
        const QString t = tudo(*doc);
        QVERIFY2(t.contains("|Relação de Atendimentos por Município|  Entre 01/03/2026 e 31/03/2026"), qPrintable(t));
        for (const QString& trecho : trechos)
            QVERIFY2(t.contains(trecho), qPrintable(trecho + "\n in \n" + t));
    }

    // CULVAR from the billing screen: control label, sources, the receipt text and the totals page.
    void extratoCulvar()
    {
        test::AmbienteTela a(QStringLiteral("CULVAR"), {QStringLiteral("CONSORCIO=CULVAR"), QStringLiteral("CIDADE=LAJEADO"),
                                                        QStringLiteral("UF=RS"), QStringLiteral("CNPJCPF=12.345.678/0001-90")});
        prepara(a.b);
        a.b.executa("insert into docemissao (tipodoc, numdoc, avulsofatura, codcliente, dataemissao, datavencimento, valor) "
                    "values ('R', 7, 'F', '4314902', '2026-04-02', '2026-04-10', 90.10)");
        FiltroAutorizacoes f = consorcio(chamador::AdministrativoF);
        f.identidade = f.perfil = QStringLiteral("CULVAR");
        f.municipio = {QStringLiteral("4314902"), QStringLiteral("PORTO ALEGRE")};
        QCOMPARE(EscolheRelatorio(f), RelatorioAutorizacoes::ExtratoComTotais);
        const auto partes = TRAutorizacoesPorMunicipioLista::Monta(a.b.tr(), f, true, QDateTime(QDate(2026, 4, 15), QTime(9, 5, 7)));
        auto doc = rel::MontaDocumento({partes[0].get(), partes[1].get()});
        const QString t = tudo(*doc);
        QVERIFY2(t.startsWith(NomeCompletoCulvar() + "|R49010365715042026090507|Relação de Atendimentos por Município|"
                                                     "  Até 31/03/2026  Munic: PORTO ALEGRE (MARÇO/2026)|"),
                 qPrintable(t));
        for (const char* trecho :
             {"CNPJ: 12.345.678/0001-90", "RECIBO Nº 007", "|SUS 1|SUS 2|Popular|Município|",
              "|1|10,10|5,00|0,00|0,00|5,10|",
              "Total SUS 1: R$ 5,00    Total SUS 2: R$ 0,00    Total Cons. Popular: R$ 0,00    Total Município: R$ 85,10",
              "Recebemos de: Prefeitura Municipal de PORTO ALEGRE\no valor de R$ 90,10 (noventa reais e dez centavos)\n"
              "ref. a 6 procedimentos de saúde",
              "Competência do Município....: R$ 85,10\n\nLAJEADO/RS,02/04/2026.",
              "|Totais agrupados por Tipo de Procedimento|",
              "0302050027|FISIOTERAPIA MOTORA|4|20,00|0,00|0,00|0,00|20,00|", "|6|90,10|5,00|0,00|0,00|85,10|Totais:"})
            QVERIFY2(t.contains(QString::fromUtf8(trecho)), qPrintable(QString::fromUtf8(trecho) + "\n in \n" + t));
        QVERIFY(rel::ImagemPagina(*doc, 0, 110).save(test::PastaTelas() + "/relatendimentosculvar.png"));
    }

    // The municipality's list: authorization date, appointment range, unscheduled ones on request.
    void lista()
    {
        test::BancoTeste b;
        prepara(b);
        FiltroAutorizacoes f = consorcio(chamador::Municipio);
        f.papel = QLatin1Char('M');
        f.identidade = QStringLiteral("M4314902");
        f.ordem = 0;
        f.municipio = {QStringLiteral("4314902"), QStringLiteral("PORTO ALEGRE")};
        f.agendaVisivel = true;
        f.agenda1 = kIni;
        f.agenda2 = QDate(2026, 12, 31);
        auto doc = GeraRelatorioAutorizacoes(b.tr(), f);
        QString t = tudo(*doc);
        QVERIFY2(t.contains("|Relação de Autorizações Emitidas|Período: 01/03/2026 a 31/03/2026  Munic: PORTO ALEGRE (MARÇO/2026)|"),
                 qPrintable(t));
        QVERIFY2(t.contains("Autorização: 1   Data: 02/03/2026   Agendado: 10/03/2026 08:00   Realizado: 02/03/2026|Chave: K1|"
                            "Paciente: MARIA DA SILVA      Profissional: DRA. LUCIA ALVES|101|0301010072|"),
                 qPrintable(t));
        QVERIFY2(t.endsWith("|70,10|Valor Total: R$"), qPrintable(t));
        f.naoAgendados = true;
        t = tudo(*GeraRelatorioAutorizacoes(b.tr(), f));
        QVERIFY2(t.endsWith("|90,10|Valor Total: R$"), qPrintable(t));
        QVERIFY(t.contains("Autorização: 2   Data: 03/03/2026   Realizado: 03/03/2026|Chave: K2|"));
        QVERIFY(rel::ImagemPagina(*GeraRelatorioAutorizacoes(b.tr(), f), 0, 110).save(test::PastaTelas() + "/relautorizacoes.png"));
    }

    // Grouped listings: subtotals per master; from billing with one municipality, its invoice.
    void agrupados()
    {
        test::BancoTeste b;
        prepara(b);
        b.executa("insert into fat_municipio (dataini, datafim, codcliente, tipo, valorbruto, descsus, desccune, descppc, "
                  "acrescdesc) values ('2026-03-01', '2026-03-31', '4314902', 'FAT', 90.10, 10, 2, 3, 1.50)");
        FiltroAutorizacoes f = consorcio(chamador::AdministrativoF);
        f.agrupado = true;
        auto doc = GeraRelatorioAutorizacoes(b.tr(), f);
        QString t = tudo(*doc);
        QVERIFY2(t.contains("|4300001 - ALVORADA|Fones:    CNPJ: |0301010072|CONSULTA MEDICA ESPECIALIZADA|2|10,10|20,20|"
                            "2|20,20|SubTotal:|4314902 - PORTO ALEGRE|"),
                 qPrintable(t));
        QVERIFY2(t.endsWith("|4|90,30|Total Geral:"), qPrintable(t));

        f.porEntidade = true;
        f.municipio = {QStringLiteral("4314902"), QStringLiteral("PORTO ALEGRE")};
        doc = GeraRelatorioAutorizacoes(b.tr(), f);
        t = tudo(*doc);
        QVERIFY2(t.contains("|10 - CLINICA VIDA|CNPJ:    Fones: |AV. IPIRANGA, 100 - PORTO ALEGRE|"
                            "Profissionais: DRA. LUCIA ALVES|"),
                 qPrintable(t));
        QVERIFY2(t.endsWith("|2|70,10|Total Geral:| Total Município: 90,10| Desconto SUS   : 8,00| SubTotal       : 82,10|"
                            " Desc. PPC      : 3,00| Outros         : 1,50| TOTAL FINAL    : 80,60"),
                 qPrintable(t));
        QVERIFY(rel::ImagemPagina(*doc, 0, 110).save(test::PastaTelas() + "/relprocedimentosentidade.png"));
    }

    // Two statements laid out one inside the other keep their own group sums; totals survive page breaks.
    void intercalados()
    {
        test::BancoTeste b;
        prepara(b);
        b.executa("execute block as declare i integer = 10; begin while (i < 460) do begin "
                  "insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, codprofissional, "
                  "datalanc, datarealizacao, data_importacao) values ('4300001', :i, 'M', 1, 11, 21, '2026-03-10', "
                  "'2026-03-10', '2026-03-10 10:00'); insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, "
                  "codprocedimento, quantidade, realizado, valortotal) values ('4300001', :i, 'M', 104, 1, 'S', 1.50); "
                  "i = i + 1; end end");
        FiltroAutorizacoes f = consorcio();
        FiltroAutorizacoes g = consorcio();
        g.entidade = {QStringLiteral("10"), QStringLiteral("CLINICA VIDA")};
        auto so = [&](const FiltroAutorizacoes& x) { return tudo(*GeraRelatorioAutorizacoes(b.tr(), x)); };
        const QString sozinhoF = so(f), sozinhoG = so(g);
        QVERIFY2(sozinhoF.contains("|452|R$ 695,20|SubTotal:|"), qPrintable(sozinhoF.right(600)));
        QVERIFY(sozinhoF.contains("|458|R$ 785,30|Total Geral:|"));
        QVERIFY(sozinhoF.contains("EXAMES     : R$ 735,00"));
        QVERIFY(sozinhoF.count(QStringLiteral("|Página: ")) > 5);

        QString dentroG;
        auto partesF = TRAutorizacoesPorMunicipioLista::Monta(b.tr(), f, false);
        auto doc = rel::MontaDocumento(*partesF[0], [&](qint64 linhas) {
            if (linhas == 200)
                dentroG = so(g);
            return true;
        });
        auto semHora = [](QString s) { return s.remove(QRegularExpression(QStringLiteral("\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d"))); };
        QCOMPARE(semHora(dentroG), semHora(sozinhoG));
        QCOMPARE(semHora(tudo(*doc)), semHora(sozinhoF));
    }

    // The spreadsheet of the statement and of the totals: the printed rows and totals, values as numbers.
    void planilha()
    {
        test::BancoTeste b;
        prepara(b);
        QTemporaryDir dir;
        FiltroAutorizacoes f = consorcio();
        f.bloqueio = Bloqueio::Todos;
        auto ler = [&](const rel::Documento& doc) {
            const QString arq = dir.filePath(QStringLiteral("r.xlsx"));
            QString erro;
            if (!GravaPlanilha(arq, PlanilhaDoDocumento(doc), &erro))
                qWarning() << erro;
            QStringList linhas;
            for (const QStringList& l : test::LeXlsx(arq).linhas)
                linhas << l.join(QLatin1Char(';'));
            return linhas;
        };
        QStringList l = ler(*GeraRelatorioAutorizacoes(b.tr(), f));
        QCOMPARE(l.value(0), QStringLiteral("t:Aut.;t:Realização;t:Entidade;t:Paciente;t:Procedimento;t:Qtd;t:Valor"));
        const QString t = l.join(QLatin1Char('\n'));
        for (const char* linha :
             {"t:4300001 - ALVORADA\nt:1;t:04/03/2026;t:0010-CLINICA VIDA;t:ANA ALVORADA;t:0207010064 RESSONANCIA MAGNETICA;"
              "n:1.00@#,##0;n:400.00@#,##0.00\n;;t:Procedimento acima foi glosado. Motivo: DUPLICIDADE;;;;t:(-) 400,00\n",
              "\nt:SubTotal:;;;;;n:2.00@#,##0;t:R$ 20,20\n", "\nt:Total Geral:;;;;;n:8.00@#,##0;t:R$ 110,30\n",
              "\nt:AMBULAT    : R$ 50,30\nEXAMES     : R$ 60,00"})
            QVERIFY2(t.contains(QString::fromUtf8(linha)), qPrintable(QString::fromUtf8(linha) + "\n in \n" + t));

        f.totaliza = true;
        f.ordemTexto = QStringLiteral("Município");
        l = ler(*GeraRelatorioAutorizacoes(b.tr(), f));
        QCOMPARE(l, (QStringList{"t:Código;t:Município;t:Quant.;t:Valor", "t:4300001;t:ALVORADA;n:3.00@#,##0;n:420.20@#,##0.00",
                                 "t:4314902;t:PORTO ALEGRE;n:2.00@#,##0;n:70.10@#,##0.00",
                                 "t:Total Geral:;;n:5.00@#,##0;n:490.30@#,##0.00"}));
    }

    // The screen per role: presets, fixed codes, visible options, printing and the empty message.
    void tela()
    {
        test::AmbienteTela a(QStringLiteral("M4314902"), {QStringLiteral("CONSORCIO=CUNE")});
        prepara(a.b);
        a.b.executa("update usuarios set codunidade=null");
        QStringList previews;
        test::RoteiroModal roteiro([&](QDialog* d) {
            if (auto* p = qobject_cast<rel::UiPreview*>(d))
                previews << tudo(p->documento());
            d->accept();
        });
        TelaRegistrada(QStringLiteral("ProcedimentosAutorizadosAnaltico1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFilRelAutorizacoes>());
        QCOMPARE(t->PECodMun->text(), QStringLiteral("4314902"));
        QVERIFY(!t->PECodMun->isEnabled());
        QCOMPARE(t->findChild<QLabel*>("LNomeMun")->text(), QStringLiteral("PORTO ALEGRE"));
        QVERIFY(t->PEDataAgenda1->isVisible());
        QCOMPARE(t->PEDataAgenda2->text(), QStringLiteral("31/12/2026"));
        QVERIFY(!t->CBTipoData->isVisible());
        QVERIFY(!t->CBValor->isVisible());
        QVERIFY(!t->PMaisFiltros->isVisible());
        QCOMPARE(t->CBOrdem->currentText(), QStringLiteral("Data da Autorização"));
        test::Digita(t->PEData1, QStringLiteral("01/03/2026"));
        test::Digita(t->PEData2, QStringLiteral("31/03/2026"));
        test::Digita(t->PEDataAgenda1, QStringLiteral("01/03/2026"));
        t->PBtnImprimir->executa();
        QCOMPARE(previews.size(), 1);
        QVERIFY2(previews[0].startsWith("Município de PORTO ALEGRE|"), qPrintable(previews[0]));
        QVERIFY2(previews[0].endsWith("|70,10|Valor Total: R$"), qPrintable(previews[0]));
        test::SalvaTela(t, QStringLiteral("tffilrelautorizacoes"));

        TelaRegistrada(QStringLiteral("TotalizadoresSinttico1"))();
        QCOMPARE(t->LRelatorio->text(), QStringLiteral("Totalizar por:"));
        QCOMPARE(t->CBOrdem->currentText(), QStringLiteral("Entidade"));
        QVERIFY(t->CBValor->isVisible());
        QVERIFY(!t->CBRegistroBPA->isVisible());
        t->CBOrdem->setCurrentIndex(4);
        QVERIFY(t->CBRegistroBPA->isVisible());
        t->CBOrdem->setCurrentIndex(1);
        t->PBtnImprimir->executa();
        QCOMPARE(previews.size(), 2);
        QVERIFY2(previews[1].contains("|  Autorizados entre 01/03/2026 e 31/03/2026  Munic: PORTO ALEGRE (MARÇO/2026)|"),
                 qPrintable(previews[1]));
        QVERIFY2(previews[1].endsWith("|2|70,10|Total Geral:"), qPrintable(previews[1]));

        test::Digita(t->PEData1, QStringLiteral("01/01/2025"));
        test::Digita(t->PEData2, QStringLiteral("31/01/2025"));
        t->PBtnImprimir->executa();
        QCOMPARE(previews.size(), 2);
        QCOMPARE(a.msgs.textos().value(0), MensagemRelatorioVazio());
        t->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void telaEntidade()
    {
        test::AmbienteTela a(QStringLiteral("E0011"), {QStringLiteral("CONSORCIO=CUNE")});
        prepara(a.b);
        TelaRegistrada(QStringLiteral("ProcedimentosRealizadosAnaltico1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFilRelAutorizacoes>());
        QCOMPARE(t->PECodEntidade->text(), QStringLiteral("0011"));
        QVERIFY(!t->PECodEntidade->isEnabled());
        QVERIFY(!t->PEDataAgenda1->isVisible());
        QVERIFY(t->CBTipoData->isVisible());
        QVERIFY(!t->CBAgruparPor->isVisible());
        test::Digita(t->PEData1, QStringLiteral("01/03/2026"));
        test::Digita(t->PEData2, QStringLiteral("31/03/2026"));
        const FiltroAutorizacoes f = t->filtro();
        QCOMPARE(EscolheRelatorio(f), RelatorioAutorizacoes::Extrato);
        // Unscheduled authorizations are production too: A2 has no appointment date.
        const QString doc = tudo(*GeraRelatorioAutorizacoes(a.b.tr(), f));
        QVERIFY2(doc.contains("|4|R$ 20,00|Total Geral:|"), qPrintable(doc));
        t->CBMaisFiltros->setChecked(true);
        QVERIFY(t->PMaisFiltros->isVisible());
        test::SalvaTela(t, QStringLiteral("tffilrelautorizacoes-entidade"));
        t->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(TstRelAutorizacoes)
#include "tst_relautorizacoes.moc"
