// The consortium's reception on a real database and a real FTP server: realization messages of
// several senders imported and marked, values completed at the end, a file never imported twice
// (second run, refused rename, server lost mid-run), hostile files refused without a trace, the
// calendar's lower bound, block files, the two maintenance runs and the screen.
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "exchange/RecepcaoRealizacoes.h"
#include "exchange/TFRecebBaseCUNE.h"
#include "exchange/ftp/FtpCliente.h"
#include "support/AmbienteTela.h"
#include "support/DadosMarcacao.h"
#include "support/Galeria.h"
#include "support/ServidorFtp.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QtTest>

#include <memory>

using namespace vx;

namespace {

const QString kMun = test::kMunMarcacao;
const QString kPasta = QStringLiteral("faturamento/2026_12");

struct Proc {
    QString codigo, quant, valor;
};

// A realization message as a provider writes it; every value may be replaced.
struct Realizacao {
    QString resp = QStringLiteral("E10");
    QString codMun = kMun;
    QString id = QStringLiteral("1");
    QString entidade = QStringLiteral("10"), profissional = QStringLiteral("20"), pessoa = QStringLiteral("1");
    QString nome = QStringLiteral("MARIA DA SILVA");
    QString raca = QStringLiteral("01");
    QString digitacao = QStringLiteral("05/12/2026");
    QString realizacao = QStringLiteral("04/12/2026");
    QList<Proc> procs{{"101", "1", "10,1"}, {"104", "1", "60"}};

    QByteArray bytes() const
    {
        auto e = [](const QString& t) { return QString(t).replace('&', "&amp;").replace('<', "&lt;"); };
        QString s = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\">"
                                   "<cabecalho><respEnvio>%1</respEnvio><nomeResp>CLINICA VIDA</nomeResp><codMun>%2</codMun>"
                                   "<dtEnvio>05/12/2026 10:00:00</dtEnvio><versao>2.28</versao></cabecalho>")
                        .arg(e(resp), e(codMun));
        s += QStringLiteral("<paciente><codigo>%1</codigo><nome>%2</nome><cartaosus>898001160660000</cartaosus>"
                            "<datanasc>12/03/1980</datanasc><fones>5133334444</fones><sexo>F</sexo><raca>%3</raca>"
                            "<etnia></etnia><responsavel></responsavel><nomemae>ANA DA SILVA</nomemae><obs></obs>"
                            "<codtipolograd>1</codtipolograd><endereco>RUA A</endereco><endnum>10</endnum>"
                            "<bairro>CENTRO</bairro><cep>90010000</cep></paciente>")
                 .arg(e(pessoa), e(nome), e(raca));
        s += QStringLiteral("<marcacao><id>%1</id><codentidade>%2</codentidade><codprofissional>%3</codprofissional>"
                            "<codpessoa>%4</codpessoa><datalanc>01/12/2026</datalanc><datamarc>03/12/2026</datamarc>"
                            "<horamarc>08:30</horamarc><carater>1</carater><datarealizacao>%5</datarealizacao>"
                            "<datadigitacao>%6</datadigitacao><codcid>M545</codcid><chaveimpre>1490200000011</chaveimpre>"
                            "<obs>TRAZER EXAMES</obs><procedimentos>")
                 .arg(e(id), e(entidade), e(profissional), e(pessoa), e(realizacao), e(digitacao));
        int n = 0;
        for (const Proc& p : procs)
            s += QStringLiteral("<det nSeq='%1'><codigo>%2</codigo><nome>X</nome><quant>%3</quant>"
                                "<valortotal>%4</valortotal></det>")
                     .arg(++n)
                     .arg(e(p.codigo), e(p.quant), e(p.valor));
        s += QStringLiteral("</procedimentos></marcacao></mensagemVXO>");
        return s.toLatin1();
    }
};

QString nomeArquivo(const QString& mun, int id, const QString& resp = QStringLiteral("E10"))
{
    return QStringLiteral("M%1_ID%2_%3.xml").arg(mun).arg(id, 7, 10, QLatin1Char('0')).arg(resp);
}

// The consortium (profile CUNE unless told) with its registries and the server of its profile.
struct Consorcio {
    std::unique_ptr<test::ServidorFtp> srv;
    std::unique_ptr<test::AmbienteTela> a;
    std::unique_ptr<LogErros> erros;
    FtpCliente ftp;
    QStringList linhas, avisos;
    bool creditos = false; // the CULVAR credit consumption at the end

    explicit Consorcio(const QStringList& extra = {})
    {
        srv = std::make_unique<test::ServidorFtp>(QList<test::ServidorFtp::Conta>{{"cune03", "pw"}});
        srv->criaPasta("cune/" + kPasta);
        QStringList conf{"CONSORCIO=CUNE", "FTPHOST=127.0.0.1", "FTPSENHA=pw", "FTPTEMPOTOTAL=20",
                         "PORTA=" + QString::number(srv->porta())};
        a = std::make_unique<test::AmbienteTela>(QStringLiteral("CUNE"), conf + extra);
        test::PreparaMarcacao(a->b);
        erros = std::make_unique<LogErros>();
    }
    void poe(const QString& nome, const QByteArray& dados, const QString& pasta = kPasta) const
    {
        srv->criaPasta("cune/" + pasta);
        test::GravaArquivo(srv->caminho("cune/" + pasta + "/" + nome), dados);
    }
    QStringList noServidor(const QString& pasta = kPasta) const
    {
        return QDir(srv->caminho("cune/" + pasta)).entryList(QDir::Files, QDir::Name);
    }
    ResultadoRecepcao recebe(const QStringList& periodos = {"2026-12"}, ModoRealizacao modo = ModoRealizacao::Normal,
                             const QString& inicioCalendario = {}, const QDateTime& agora = {},
                             const std::function<void(int, int)>& progresso = {})
    {
        PedidoRecepcao p;
        p.periodos = periodos;
        p.modo = modo;
        p.inicioCalendario = inicioCalendario;
        p.consomeCreditos = creditos;
        ContextoRecepcao c;
        c.tr = &a->dm->IBTransaction;
        c.ftp = &ftp;
        c.erros = erros.get();
        c.status = [this](const QString& l) { linhas << l; };
        c.aviso = [this](const QString& t) { avisos << t; };
        c.progresso = progresso;
        c.agora = agora;
        return ExecutaRecepcao(c, p);
    }
    // Every stored value of the three tables the reception writes.
    QString estado()
    {
        return a->texto("select count(*) || '#' || list(cli_origem || ':' || codigo || ':' || coalesce(nome, ''), ';') "
                        "from (select * from pessoas order by 1, 2)") +
               '|' +
               a->texto("select count(*) || '#' || list(cli_origem || ':' || id_marcacao || ':' || data_imp_adm, ';') "
                        "from (select * from marcacao order by 1, 2, 3)") +
               '|' +
               a->texto("select count(*) || '#' || list(id_marcacao || ':' || codprocedimento || ':' || "
                        "coalesce(valortotal, -1), ';') from (select * from marcacao_proceds order by 1, 2, 3, 4)");
    }
    QString erroTxt() const { return QString::fromLatin1(test::LeArquivo(CaminhoInstalacao("Erro.TXT"))); }
};

} // namespace

class TstRecepcao : public QObject {
    Q_OBJECT

private slots:
    void periodos_data()
    {
        QTest::addColumn<bool>("cune");
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QString>("fim");
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<QStringList>("periodos");
        QTest::addColumn<QStringList>("pastas");
        QTest::newRow("calendar over two months") << true << "21/05/2015" << "20/06/2015" << ""
                                                  << QStringList{"2015-05", "2015-06"} << QStringList{"2015_05", "2015_06"};
        QTest::newRow("calendar in one month: read twice") << true << "01/06/2015" << "30/06/2015" << "2014-01"
                                                           << QStringList{"2015-06", "2015-06"}
                                                           << QStringList{"2015_06", "2015_06"};
        QTest::newRow("no calendar") << true << "" << "" << "" << QStringList{"    -  ", "    -  "}
                                     << QStringList{"", ""};
        QTest::newRow("other profile: the typed period") << false << "21/05/2015" << "20/06/2015" << "2026-12"
                                                         << QStringList{"2026-12"} << QStringList{"2026_12"};
        QTest::newRow("other profile, empty field") << false << "" << "" << "    -  " << QStringList{"    -  "}
                                                    << QStringList{""};
        QTest::newRow("month 13 is no period") << false << "" << "" << "2026-13" << QStringList{"2026-13"}
                                               << QStringList{""};
    }
    void periodos()
    {
        QFETCH(bool, cune);
        QFETCH(QString, inicio);
        QFETCH(QString, fim);
        QFETCH(QString, digitado);
        QFETCH(QStringList, periodos);
        QFETCH(QStringList, pastas);
        const QStringList r = PeriodosDaRecepcao(cune, inicio, fim, digitado);
        QCOMPARE(r, periodos);
        QStringList p;
        for (const QString& x : r)
            p << PastaDoPeriodo(x);
        QCOMPARE(p, pastas);
    }

    void periodoDaLinhaDeComando_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("periodo");
        QTest::newRow("MM/AAAA") << "12/2026" << "2026-12";
        QTest::newRow("one-digit month") << "3/2027" << "2027-03";
        QTest::newRow("month 0") << "00/2026" << "";
        QTest::newRow("month 13") << "13/2026" << "";
        QTest::newRow("year-month") << "2026-12" << "";
        QTest::newRow("empty") << "" << "";
    }
    void periodoDaLinhaDeComando()
    {
        QFETCH(QString, texto);
        QFETCH(QString, periodo);
        QCOMPARE(PeriodoDaLinhaDeComando(texto), periodo);
    }

    // Files of two municipalities' patients sent by entities, a professional and a municipality:
    // the origin, the values as sent or completed at the end, the marks, the log.
    void recebeOPeriodo()
    {
        Consorcio c;
        Realizacao r1;
        r1.nome = "JOÃO D'ÁVILA & <FILHOS>";
        r1.resp = "e10"; // a provider's identity configured in lower case
        r1.procs = {{"101", "1", "10,1"}, {"102", "3", ""}};
        Realizacao r2;
        r2.resp = "P21";
        r2.codMun = "4300001";
        r2.id = "2";
        r2.entidade = "11";
        r2.profissional = "21";
        r2.procs = {{"104", "2", "150"}};
        Realizacao r3;
        r3.resp = "4314902";
        r3.codMun = "9999999";
        r3.id = "3";
        r3.pessoa = "5";
        r3.digitacao = "";
        r3.procs = {{"200", "1", "37,5"}};
        c.poe(nomeArquivo(kMun, 1), r1.bytes());
        c.poe(nomeArquivo("4300001", 2, "P21"), r2.bytes());
        c.poe(nomeArquivo(kMun, 3, "M4314902"), r3.bytes());
        c.a->b.executa("update procedimentos set valorsus=2.5");

        const ResultadoRecepcao r = c.recebe();
        QVERIFY2(r.tudoRecebido(), qPrintable(c.linhas.join('\n')));
        QCOMPARE(r.importados, 3);
        QCOMPARE(c.noServidor(), (QStringList{"okcune " + nomeArquivo("4300001", 2, "P21"),
                                              "okcune " + nomeArquivo(kMun, 1), "okcune " + nomeArquivo(kMun, 3, "M4314902")}));
        QCOMPARE(c.a->texto("select list(cli_origem||':'||id_marcacao||':'||codentidade||':'||datarealizacao||':'||"
                            "coalesce(cast(data_digitacao as date),'-'), ';') from (select * from marcacao order by id_marcacao)"),
                 QStringLiteral("4314902:1:10:2026-12-04:2026-12-05;4300001:2:11:2026-12-04:2026-12-05;"
                                "4314902:3:10:2026-12-04:") +
                     DataAtualDate().toString("yyyy-MM-dd"));
        QCOMPARE(c.a->texto("select nome from pessoas where cli_origem='4314902' and codigo=1"),
                 QStringLiteral("JOÃO D'ÁVILA & <FILHOS>"));
        // 102 came without a total: 3 × 5,00; the SUS totals all follow today's price.
        QCOMPARE(c.a->texto("select list(id_marcacao||':'||codprocedimento||':'||quantidade||':'||valortotal||':'||"
                            "valortotalsus||':'||realizado, ';') from (select * from marcacao_proceds order by 1, 2, 3)"),
                 QStringLiteral("2:104:2:150.00:5.00:S;1:101:1:10.10:2.50:S;1:102:3:15.00:7.50:S;3:200:1:37.50:2.50:S"));
        QCOMPARE(c.linhas.first(), QStringLiteral(" => Conectando ao servidor ftp..."));
        QVERIFY(c.linhas.contains(" => Verificando Faturamento Período 2026-12..."));
        QVERIFY(c.linhas.contains(" => Arquivo " + nomeArquivo(kMun, 1) + "..."));
        QCOMPARE(c.linhas.mid(c.linhas.size() - 2),
                 (QStringList{" => Inseridos 3 procedimentos (OK)", " => PROCESSO CONCLUIDO!"}));
        QCOMPARE(c.erroTxt(), QString());
        QVERIFY(QFile::exists(PastaRecebidos() + nomeArquivo(kMun, 1)));

        // A second run finds nothing new.
        const QString antes = c.estado();
        QCOMPARE(c.recebe().importados, 0);
        QCOMPARE(c.estado(), antes);
    }

    // Two messages of one authorization under different names: two copies with their own stamps.
    void duasMensagensDuasCopias()
    {
        Consorcio c;
        c.poe(nomeArquivo(kMun, 1), Realizacao().bytes());
        QCOMPARE(c.recebe({"2026-12"}, ModoRealizacao::Normal, {}, QDateTime(QDate(2026, 12, 10), QTime(9, 0, 0, 1))).importados, 1);
        c.poe("M" + kMun + "_ID0000001_E10-2.xml", Realizacao().bytes());
        QCOMPARE(c.recebe({"2026-12"}, ModoRealizacao::Normal, {}, QDateTime(QDate(2026, 12, 10), QTime(9, 0, 0, 2))).importados, 1);
        QCOMPARE(c.a->texto("select list(substring(data_imp_adm from 12), ',') from (select * from marcacao order by "
                            "data_imp_adm)"),
                 QStringLiteral("001,002"));
        QCOMPARE(c.a->numero("select count(*) from marcacao"), 2);
        QCOMPARE(c.a->numero("select count(*) from marcacao_proceds"), 4);
    }

    // With the credit consumption, the lines received draw from the selected calendar's credits
    // once the values are completed; without a selected calendar the run stops and says why.
    void consumoDeCreditos()
    {
        Consorcio c;
        c.creditos = true;
        c.a->b.executa("update procedimentos set valorsus=6");
        c.a->b.executa("insert into creditos (cli_origem, tipo, data, valor) values ('" + kMun + "', 'SUS1', '2026-11-01', 10)");
        c.poe(nomeArquivo(kMun, 1), Realizacao().bytes());
        const QDateTime agora(QDate(2026, 12, 10), QTime(9, 0, 0, 1));
        ResultadoRecepcao r = c.recebe({"2026-12"}, ModoRealizacao::Normal, {}, agora);
        QVERIFY(r.falhou);
        QVERIFY2(r.erro.contains(QStringLiteral("calendário")), qPrintable(r.erro));
        QCOMPARE(c.a->numero("select count(*) from marcacao_proceds"), 2); // the lines themselves stay

        c.a->b.executa("insert into calendarios (datainicial, datafinal, descricao, selecao) values "
                       "('2026-12-01', '2026-12-31', 'DEZ', 'S')");
        c.linhas.clear();
        c.poe("M" + kMun + "_ID0000001_E10-2.xml", Realizacao().bytes());
        r = c.recebe({"2026-12"}, ModoRealizacao::Normal, {}, agora.addMSecs(1));
        QVERIFY2(r.tudoRecebido(), qPrintable(c.linhas.join('\n')));
        QVERIFY(std::any_of(c.linhas.begin(), c.linhas.end(),
                            [](const QString& l) { return l.endsWith(QLatin1String(" => Verificando Creditos...")) && l.at(0).isDigit(); }));
        // Both copies' lines, in arrival order: 10,00 covers the first line only.
        QCOMPARE(c.a->texto("select list(valorsus1, ' ') from (select * from marcacao_proceds order by data_imp_adm, "
                            "codprocedimento)"),
                 QStringLiteral("6.00 0.00 0.00 0.00"));
    }

    // Faults of the network between the import and the mark: whatever happens, the next run ends
    // with every realization stored exactly once and every file marked.
    void falhasDaRede_data()
    {
        QTest::addColumn<QString>("falha");
        QTest::addColumn<int>("importadosAntes"); // committed by the faulty run
        QTest::addColumn<bool>("completoAntes");
        QTest::addColumn<int>("soMarcados");      // the next run only marks them
        QTest::newRow("rename done, its reply lost") << "sem resposta" << 10 << true << 0;
        QTest::newRow("renames refused") << "recusa" << 10 << false << 2;
        QTest::newRow("download cut short") << "corte" << 9 << false << 0;
        QTest::newRow("every name listed twice") << "duplicada" << 10 << true << 0;
        QTest::newRow("a twin mark already on the server") << "gemeo" << 10 << false << 1;
    }
    void falhasDaRede()
    {
        QFETCH(QString, falha);
        QFETCH(int, importadosAntes);
        QFETCH(bool, completoAntes);
        QFETCH(int, soMarcados);
        // Ten files: the downloads run ahead on a second connection.
        Consorcio c;
        QStringList marcados, ids;
        for (int id = 1; id <= 10; ++id) {
            Realizacao r;
            r.id = QString::number(id);
            c.poe(nomeArquivo(kMun, id), r.bytes());
            marcados << "okcune " + nomeArquivo(kMun, id);
            ids << QString::number(id);
        }
        marcados.sort();
        if (falha == "sem resposta")
            c.srv->defineRenomeiaSemResposta(1);
        else if (falha == "recusa")
            c.srv->defineRecusaRenomeacoes(2);
        else if (falha == "corte")
            c.srv->defineCortaDownload(1, 300);
        else if (falha == "duplicada")
            c.srv->defineListaDuplicada(true);
        else if (falha == "gemeo") {
            c.poe("okcune " + nomeArquivo(kMun, 3), "anterior");
            c.srv->defineRenomeiaSemSubstituir(true);
        }
        const ResultadoRecepcao r1 = c.recebe();
        QCOMPARE(r1.importados, importadosAntes);
        QCOMPARE(c.a->numero("select count(*) from marcacao"), importadosAntes);
        QCOMPARE(c.a->numero("select count(*) from arquivos_importados"), importadosAntes);
        QVERIFY2(r1.tudoRecebido() == completoAntes, qPrintable(c.linhas.join('\n')));
        c.srv->defineListaDuplicada(false);
        if (falha == "gemeo") {
            // Marked only once the stale twin is gone; until then every run settles, never imports.
            const ResultadoRecepcao r2 = c.recebe();
            QCOMPARE(r2.importados, 0);
            QCOMPARE(r2.lote.jaRegistrados, 1);
            QCOMPARE(r2.lote.naoMarcados, 1);
            QFile::remove(c.srv->caminho("cune/" + kPasta + "/okcune " + nomeArquivo(kMun, 3)));
        }
        c.linhas.clear();
        const ResultadoRecepcao r2 = c.recebe();
        QVERIFY2(r2.tudoRecebido(), qPrintable(c.linhas.join('\n')));
        QCOMPARE(r2.importados, 10 - importadosAntes);
        QCOMPARE(r2.lote.jaRegistrados, soMarcados);
        QCOMPARE(c.a->texto("select list(id_marcacao, ',') from (select * from marcacao order by id_marcacao)"),
                 ids.join(','));
        QCOMPARE(c.a->numero("select count(*) from marcacao_proceds"), 20);
        QStringList noServidor = c.noServidor();
        noServidor.sort();
        QCOMPARE(noServidor, marcados);
        QCOMPARE(c.recebe().listados, 0);
    }

    // The run died between its commit and the marks (a rename that never happened): the next
    // run recognises the bytes and only marks; the same name with other bytes is a new file.
    void registroDecideOQueJaVeio()
    {
        Consorcio c;
        const QString nome = nomeArquivo(kMun, 1);
        c.poe(nome, Realizacao().bytes());
        c.srv->defineRecusaRenomeacoes(1);
        QCOMPARE(c.recebe().importados, 1);
        QCOMPARE(c.noServidor(), QStringList{nome});
        const ResultadoRecepcao r = c.recebe();
        QCOMPARE(r.importados, 0);
        QCOMPARE(r.lote.jaRegistrados, 1);
        QCOMPARE(c.noServidor(), QStringList{"okcune " + nome});
        Realizacao outra;
        outra.procs = {{"104", "1", "60"}};
        c.poe(nome, outra.bytes());
        QCOMPARE(c.recebe({"2026-12"}, ModoRealizacao::Normal, {}, QDateTime(QDate(2026, 12, 10), QTime(9, 0, 0, 7))).importados, 1);
        QCOMPARE(c.a->numero("select count(*) from marcacao"), 2);
        QCOMPARE(c.a->numero("select count(*) from arquivos_importados"), 2);
    }

    // The server goes away in the middle: what arrived stays imported once, the next run marks it
    // and takes the rest, nothing twice.
    void servidorCaiNoMeio()
    {
        Consorcio c;
        for (int id = 1; id <= 3; ++id) {
            Realizacao r;
            r.id = QString::number(id);
            c.poe(nomeArquivo(kMun, id), r.bytes());
        }
        const ResultadoRecepcao r1 = c.recebe({"2026-12"}, ModoRealizacao::Normal, {}, {}, [&](int feito, int) {
            if (feito == 2)
                c.srv->defineParado(true);
        });
        // Two were downloaded before the server went: both committed, neither marked.
        QCOMPARE(r1.importados, 2);
        QCOMPARE(r1.lote.naoMarcados, 2);
        QCOMPARE(r1.naoBaixados, 1);
        QVERIFY(!r1.tudoRecebido());
        QCOMPARE(c.a->numero("select count(*) from marcacao"), 2);
        c.srv->defineParado(false);
        const ResultadoRecepcao r2 = c.recebe();
        QVERIFY2(r2.tudoRecebido(), qPrintable(c.linhas.join('\n')));
        QCOMPARE(r2.importados, 1);
        QCOMPARE(r2.lote.jaRegistrados, 2);
        QCOMPARE(c.a->texto("select list(id_marcacao, ',') from (select * from marcacao order by 1, 2)"),
                 QStringLiteral("1,2,3"));
        QCOMPARE(c.a->numero("select count(*) from marcacao_proceds"), 6);
        QCOMPARE(c.noServidor().filter(QRegularExpression("^okcune ")).size(), 3);
    }

    void stopsWithoutConnectionOrFolder_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("ultima");
        QTest::newRow("server down") << "parado" << "Falhou!";
        QTest::newRow("no month folder") << "pasta" << " => (FALHOU)";
    }
    void stopsWithoutConnectionOrFolder()
    {
        QFETCH(QString, caso);
        QFETCH(QString, ultima);
        Consorcio c;
        c.poe(nomeArquivo(kMun, 1), Realizacao().bytes(), "faturamento/2026_11");
        if (caso == "parado")
            c.srv->defineParado(true);
        const ResultadoRecepcao r = c.recebe({"2026-10", "2026-11"});
        QVERIFY(r.falhou);
        QVERIFY(!r.concluida);
        QCOMPARE(c.linhas.last(), ultima);
        QCOMPARE(c.a->numero("select count(*) from marcacao"), 0);
        QCOMPARE(c.avisos, caso == "parado" ? QStringList{"Não foi possível conectar ao servidor!"} : QStringList());
    }

    // Files that must not reach the database: nothing written, the file keeps its name, the
    // statement or the file name and the error are in Erro.TXT.
    void arquivoRecusado_data()
    {
        QTest::addColumn<QByteArray>("dados");
        QTest::addColumn<QString>("inicioCalendario");
        QTest::addColumn<QString>("erro");
        auto com = [](auto f) {
            Realizacao r;
            f(r);
            return r.bytes();
        };
        QTest::newRow("not XML") << QByteArray("isto nao e xml") << "" << "Erro. ";
        QTest::newRow("cut short") << Realizacao().bytes().left(400) << "" << "Erro. ";
        QTest::newRow("another root") << QByteArray("<?xml version=\"1.0\"?><outra><a/></outra>") << "" << "Erro. ";
        QTest::newRow("entity declaration")
            << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY x \"y\">]><mensagemVXO>&x;</mensagemVXO>") << ""
            << "Erro. ";
        QTest::newRow("id that is SQL") << com([](Realizacao& r) { r.id = "1 or 1=1"; }) << "" << "Erro. ";
        QTest::newRow("total that is SQL") << com([](Realizacao& r) { r.procs = {{"101", "1", "1);delete from pessoas;--"}}; })
                                           << "" << "Erro. ";
        QTest::newRow("procedure code that is SQL")
            << com([](Realizacao& r) { r.procs = {{"101", "1", "1"}, {"0) or (1=1", "1", "1"}}; }) << "" << "Erro. ";
        QTest::newRow("origin too long") << com([](Realizacao& r) { r.codMun = "43149021"; }) << "" << "Erro. ";
        QTest::newRow("authorization refused by the database")
            << com([](Realizacao& r) { r.entidade = "99999999999"; }) << "" << "Erro: ";
        QTest::newRow("unreadable realization date") << com([](Realizacao& r) { r.realizacao = "31/02/2026"; }) << ""
                                                     << "Erro. ";
        QTest::newRow("no typing date with a calendar") << com([](Realizacao& r) { r.digitacao = ""; }) << "01/12/2026"
                                                        << "Erro. ";
        QTest::newRow("unreadable typing date") << com([](Realizacao& r) { r.digitacao = "2026-12-05"; }) << "" << "Erro. ";
    }
    void arquivoRecusado()
    {
        QFETCH(QByteArray, dados);
        QFETCH(QString, inicioCalendario);
        QFETCH(QString, erro);
        Consorcio c;
        const QString nome = nomeArquivo(kMun, 1);
        c.poe(nome, dados);
        const QString antes = c.estado();
        const ResultadoRecepcao r = c.recebe({"2026-12"}, ModoRealizacao::Normal, inicioCalendario);
        QCOMPARE(r.falhados, 1);
        QVERIFY(r.concluida);
        QCOMPARE(c.estado(), antes);
        QCOMPARE(c.noServidor(), QStringList{nome});
        const QStringList log = c.erroTxt().split("\r\n");
        QVERIFY2(log.filter(QRegularExpression("^" + QRegularExpression::escape(erro))).size() == 1, qPrintable(c.erroTxt()));
        QCOMPARE(log.filter(QString(55, '=')).size(), 1);
        QVERIFY(QRegularExpression("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d$").match(log.first()).hasMatch());
    }

    // A file typed before the calendar stays where it is however often the reception runs.
    void antesDoCalendario()
    {
        Consorcio c;
        Realizacao antes;
        antes.digitacao = "20/11/2026";
        Realizacao dentro;
        dentro.id = "2";
        dentro.digitacao = "21/11/2026";
        c.poe(nomeArquivo(kMun, 1), antes.bytes());
        c.poe(nomeArquivo(kMun, 2), dentro.bytes());
        for (int vez = 0; vez < 2; ++vez) {
            const ResultadoRecepcao r = c.recebe({"2026-12"}, ModoRealizacao::Normal, "21/11/2026");
            QCOMPARE(r.foraDoPeriodo, 1);
            QVERIFY(r.tudoRecebido());
        }
        QCOMPARE(c.noServidor(), (QStringList{nomeArquivo(kMun, 1), "okcune " + nomeArquivo(kMun, 2)}));
        QCOMPARE(c.a->texto("select list(id_marcacao) from marcacao"), QStringLiteral("2"));
    }

    void bloqueioSoEMarcado()
    {
        Consorcio c;
        const QString nome = "M" + kMun + "_ID0000001-bloq.xml";
        c.poe(nome, QByteArray("<?xml version=\"1.0\"?><mensagemVXO><cabecalho><respEnvio>M4314902</respEnvio>"
                               "</cabecalho><marcacao><id>1</id><databloqueio>05/12/2026</databloqueio></marcacao>"
                               "</mensagemVXO>"));
        const QString antes = c.estado();
        QCOMPARE(c.recebe().importados, 1);
        QCOMPARE(c.estado(), antes);
        QCOMPARE(c.noServidor(), QStringList{"okcune " + nome});
    }

    // The repair renumbers the patients of processed files from 100001 and drops the unused ones;
    // the audit re-load copies them into the test tables and leaves the server alone.
    void manutencao()
    {
        Consorcio c;
        for (int id = 1; id <= 2; ++id) {
            Realizacao r;
            r.id = QString::number(id);
            r.pessoa = QString::number(id);
            c.poe(nomeArquivo(kMun, id), r.bytes());
        }
        QCOMPARE(c.recebe().importados, 2);
        const QStringList marcados = c.noServidor();

        QCOMPARE(c.recebe({"2026-12"}, ModoRealizacao::Auditoria).importados, 2);
        QCOMPARE(c.noServidor(), marcados);
        QCOMPARE(c.a->texto("select list(id_marcacao||':'||id_arquivo, ';') from (select * from marcacaoteste order by "
                            "id_arquivo)"),
                 QStringLiteral("1:0;2:1"));
        QCOMPARE(c.a->texto("select list(codigo||':'||id_arquivo, ';') from (select * from pessoasteste order by id_arquivo)"),
                 QStringLiteral("1:0;2:1"));
        QCOMPARE(c.a->numero("select count(*) from marcacao_proceds"), 4);

        const ResultadoRecepcao r = c.recebe({"2026-12"}, ModoRealizacao::Renumeracao);
        QCOMPARE(r.importados, 2);
        QCOMPARE(c.noServidor(), (QStringList{"2ren " + marcados[0], "2ren " + marcados[1]}));
        QCOMPARE(c.a->texto("select list(id_marcacao||':'||codpessoa, ';') from (select * from marcacao order by 2)"),
                 QStringLiteral("1:100001;2:100002"));
        // Patients 1 and 2 lost their authorizations; the other patients of the fixture had none.
        QCOMPARE(c.a->texto("select list(codigo, ',') from (select * from pessoas order by codigo)"),
                 QStringLiteral("100001,100002"));
        QCOMPARE(c.a->numero("select count(*) from marcacao_proceds"), 4);
    }

    // The screen under the CUNE profile: the calendar decides the folders; a run without server
    // leaves the button off; the audit code in the hidden field asks first.
    void tela()
    {
        Consorcio c;
        c.a->b.executa("insert into calendarios (datainicial, datafinal, descricao, selecao) values ('2026-11-21', "
                       "'2026-12-20', 'DEZEMBRO/2026', 'S')");
        VerCalendario(c.a->dm->IBTLivre);
        c.a->dm->IBTLivre.rollback();
        c.poe(nomeArquivo(kMun, 1), Realizacao().bytes());
        TelaRegistrada(QStringLiteral("RecepodeBasedeMunicpioEntidades1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFRecebBaseCUNE>());
        QVERIFY(!t->MEPeriodo()->isVisible());
        QVERIFY(t->LPeriodo()->isVisible());
        QVERIFY(t->LPeriodo()->text().contains("DEZEMBRO/2026"));
        QVERIFY(!t->PEData()->isVisible());
        t->PBtnGravar()->executa();
        const QString status = t->MStatus()->toPlainText();
        QCOMPARE(c.a->numero("select count(*) from marcacao"), 0);
        // 2026_11 does not exist on the server: the run stops there.
        QVERIFY2(status.endsWith(" => Verificando Faturamento Período 2026-11...\n => (FALHOU)"), qPrintable(status));
        QVERIFY(!t->PBtnGravar()->isEnabled());
        delete t;

        c.srv->criaPasta("cune/faturamento/2026_11");
        TelaRegistrada(QStringLiteral("RecepodeBasedeMunicpioEntidades1"))();
        t = test::AbreTelaTeste(InstanciaTela<TFRecebBaseCUNE>());
        t->PBtnGravar()->executa();
        QVERIFY2(t->MStatus()->toPlainText().endsWith(" => Inseridos 1 procedimentos (OK)\n => PROCESSO CONCLUIDO!"),
                 qPrintable(t->MStatus()->toPlainText()));
        QCOMPARE(t->ProgressBar1()->value(), 1);
        QVERIFY(t->PBtnGravar()->isEnabled());
        test::SalvaTela(t, QStringLiteral("recebbasecune"));

        t->Edit1()->setText(QString::fromLatin1(kCodigoAuditoria));
        t->Edit1Exit();
        QCOMPARE(c.a->msgs.textos(), QStringList{"aqui vou mudar para baixar novamente os ja baixados"});
        QCOMPARE(c.a->numero("select count(*) from marcacaoteste"), 1);
        delete t;
    }
};

QTEST_MAIN(TstRecepcao)
#include "tst_recepcao.moc"
