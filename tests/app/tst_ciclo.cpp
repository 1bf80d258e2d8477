// The whole exchange on one machine: a municipality, a provider and the consortium, each with its
// own folder and database, sharing one FTP server. The municipality authorizes and transmits (the
// program itself, without a window), the provider fetches by key and confirms, the consortium
// receives (the program again); then a block travels from the municipality to the provider.
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "exchange/Atendimentos.h"
#include "exchange/ImportacaoMensagens.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/TransporteFtp.h"
#include "municipality/Bloqueio.h"
#include "municipality/Marcacao.h"
#include "support/DadosMarcacao.h"
#include "support/Fixtures.h"
#include "support/ServidorFtp.h"
#include "support/ServidorHttp.h"

#include <QDir>
#include <QProcess>

#include <functional>
#include <QtTest>

#include <memory>

using namespace vx;

namespace {

const QString kMun = test::kMunMarcacao;

// One installation: its folder, configuration and database; active (the process's installation,
// with its data module) one at a time.
struct Instalacao {
    test::BancoTeste b;
    QStringList conf;
    std::unique_ptr<TDMCUNE> dm;

    Instalacao(const QString& usuario, int porta)
    {
        conf = QStringList{"USUARIO=" + usuario, "CONSORCIO=CUNE", "FTPHOST=127.0.0.1", "FTPSENHA=pw",
                           "FTPTEMPOTOTAL=20", "PORTA=" + QString::number(porta), "NTP=", "DATABASE=teste.fdb"};
        test::PreparaMarcacao(b);
        test::InstalaConfiguracao(b.pasta(), conf);
    }
    ~Instalacao() { solta(); }
    Transacao& ativa()
    {
        test::InstalaConfiguracao(b.pasta(), conf);
        CarregaIdentidade();
        SessaoAtual().UsuarioLogado = QStringLiteral("ana");
        // The program's own runs take the local date too (NTP is off).
        SessaoAtual().DataAtual = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
        dm = std::make_unique<TDMCUNE>();
        DefineDMCUNE(dm.get());
        if (!dm->ConectaBanco(b.arquivo()))
            qFatal("no database");
        return dm->IBTransaction;
    }
    void solta()
    {
        if (DMCUNE() == dm.get())
            DefineDMCUNE(nullptr);
        dm.reset();
    }
    // The program on this installation; its exit status, its output in *saida.
    int roda(const QStringList& opcoes, QString* saida, const std::function<void(qint64 pid)>& iniciado = {})
    {
        solta();
        b.desconecta();
        QProcess p;
        p.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        p.start(QStringLiteral(VX_PROGRAMA), QStringList{"--pasta", b.pasta()} + opcoes);
        if (iniciado && p.waitForStarted())
            iniciado(p.processId());
        const bool terminou = p.waitForFinished(120000);
        *saida = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        b.reconecta();
        if (!terminou)
            return -1;
        return p.exitStatus() == QProcess::CrashExit ? 128 + 9 : p.exitCode();
    }
};

} // namespace

class TstCiclo : public QObject {
    Q_OBJECT

private slots:
    void autorizaRealizaRecebe()
    {
        test::ServidorFtp srv({{"cune01", "pw"}, {"cune03", "pw"}});
        QVERIFY(srv.ativo());
        srv.criaPasta("cune/marcacao");
        srv.criaPasta("cune/faturamento");
        Instalacao mun("M" + kMun, srv.porta());
        Instalacao ent("E10", srv.porta());
        Instalacao cons("CUNE", srv.porta());
        QString saida;

        // Three patients authorized at the municipality, their messages left for the transmission.
        QStringList chaves;
        {
            Transacao& tr = mun.ativa();
            for (const char* paciente : {"1", "2", "4"}) {
                Autorizacao a{kMun, paciente, "10", "20", SessaoAtual().DataAtual, SessaoAtual().DataAtual, "09:00", "1", "M545", "", {}, "ana",
                              SessaoAtual().DataAtual};
                AutorizacaoAberta r;
                for (qint64 proc : {101, 104})
                    r = InsereProcedimento(tr, a, r, proc, 1);
                GravaFinalizacao(tr, a, r);
                const EnvioAutorizacao e = EnviaAutorizacao(tr, nullptr, kMun, "PORTO ALEGRE", r.numero, "20", {});
                QVERIFY(e.gravado);
                chaves << r.chave;
            }
        }
        QCOMPARE(mun.roda({"--transmitir"}, &saida), 0);
        QCOMPARE(QDir(srv.caminho("cune/marcacao/profiss00020")).entryList(QDir::Files).size(), 3);

        // The provider fetches the three keys and confirms two: both procedures of the first,
        // one of the second.
        {
            Transacao& tr = ent.ativa();
            FtpCliente ftp;
            LogErros erros;
            for (int n = 0; n < 3; ++n) {
                const ResultadoBusca r =
                    BuscaChaveNoServidor(ftp, tr, BuscaChave{chaves[n], QLatin1Char('E'), "10", {}}, erros, {});
                QVERIFY2(r.importados == 1, qPrintable(erros.linhas().join('\n')));
                if (n == 2)
                    break;
                tr.inicia();
                Consulta q(tr);
                q.abre(SqlAtendimentoPorChave(chaves[n]));
                Confirmacao c;
                c.chave = chaves[n];
                c.cliOrigem = q.campo("CLI_ORIGEM").texto();
                c.idMarcacao = q.campo("ID_MARCACAO").inteiro();
                q.fecha();
                tr.rollback();
                c.realizacao = DataAtualDate();
                c.procedimentos = n == 0 ? QList<qint64>{101, 104} : QList<qint64>{101};
                QVERIFY(ConfirmaRealizacao(tr, c));
                QStringList linhas;
                EnviaRealizacao(tr, &ftp, chaves[n], "CLINICA VIDA", [&](const QString& l) { linhas << l; });
                QVERIFY2(linhas.join('\n').contains("Processo Concluído"), qPrintable(linhas.join('\n')));
            }
            ftp.desconecta();
            ent.solta();
        }

        // The consortium receives the month: exactly the two realizations, with their values.
        const QString mes = DataAtualDate().toString("MM/yyyy");
        QVERIFY2(cons.roda({"--receber", "--periodo", mes}, &saida) == 0, qPrintable(saida));
        QVERIFY2(saida.contains("recebidos 2;"), qPrintable(saida));
        QCOMPARE(cons.b.valor("select list(id_marcacao||':'||codprocedimento||':'||valortotal||':'||realizado, ';') from "
                              "(select * from marcacao_proceds order by id_marcacao, codprocedimento)")
                     .toString(),
                 QStringLiteral("1:101:10.10:S;1:104:60.00:S;2:101:10.10:S"));
        QCOMPARE(cons.b.valor("select list(codpessoa||':'||datarealizacao, ';') from (select * from marcacao order by "
                              "id_marcacao)")
                     .toString(),
                 "1:" + DataAtualDate().toString("yyyy-MM-dd") + ";2:" + DataAtualDate().toString("yyyy-MM-dd"));
        // The third stays authorized only, at the provider.
        QCOMPARE(ent.b.valor("select count(*) from marcacao where id_marcacao=3 and datarealizacao is null").toInt(), 1);
        // Nothing new the second time.
        QCOMPARE(cons.roda({"--receber", "--periodo", mes}, &saida), 0);
        QVERIFY2(saida.contains("recebidos 0;"), qPrintable(saida));
        QCOMPARE(cons.b.valor("select count(*) from marcacao").toInt(), 2);

        // The municipality blocks the third; the provider's daily reception applies it.
        {
            Transacao& tr = mun.ativa();
            PedidoBloqueio p{kMun, "PORTO ALEGRE", chaves[2], DataAtualDate(), "PACIENTE FALTOU", 0};
            QCOMPARE(BloqueiaAutorizacao(tr, nullptr, p, {}).situacao, SituacaoBloqueio::Bloqueada);
        }
        QCOMPARE(mun.roda({"--transmitir"}, &saida), 0);
        {
            Transacao& tr = ent.ativa();
            FtpCliente ftp;
            QVERIFY(ConectaFtp(ftp));
            ftp.mudaPasta("marcacao/profiss00020");
            const QStringList bloqueios = ftp.listaNomes("M*-bloq.xml");
            QCOMPARE(bloqueios.size(), 1);
            CriaPastasTroca();
            ftp.recebe(bloqueios[0], PastaRecebidos() + bloqueios[0]);
            LogErros erros;
            QCOMPARE(ImportaMensagem(tr, ftp, PastaRecebidos() + bloqueios[0], bloqueios[0], ModoImportacao::EmLote, erros),
                     SituacaoImportacao::Importado);
            ftp.desconecta();
            ent.solta();
        }
        QCOMPARE(ent.b.valor("select count(*) from marcacao where id_marcacao=3 and databloqueio is not null and "
                             "obs='PACIENTE FALTOU'")
                     .toInt(),
                 1);
    }

    // The registry base by command line: a price changed at the consortium reaches the
    // municipality and the provider; the provider also takes the authorizations sent to it.
    void baseSemJanela()
    {
        test::ServidorFtp srv({{"cune01", "pw"}, {"cune03", "pw"}});
        srv.criaPasta("cune/marcacao/profiss00020");
        test::ServidorHttp http;
        http.grava("CUNE/versao.xml", "<v><cabecalho><versaoAtual>" + QByteArray(VersaoPrograma) +
                                          "</versaoAtual></cabecalho></v>");
        Instalacao mun("M" + kMun, srv.porta());
        Instalacao ent("E10", srv.porta());
        Instalacao cons("CUNE", srv.porta());
        for (Instalacao* i : {&mun, &ent, &cons}) {
            i->conf << "SITEATUALIZACAO=" + http.url().chopped(1);
            test::InstalaConfiguracao(i->b.pasta(), i->conf);
        }
        test::GravaArquivo(srv.caminho("cune/marcacao/profiss00020/M" + kMun + "_ID0000123.xml"),
                           test::LeArquivo(QStringLiteral(VX_TEST_DATA_DIR "/mensagem_autorizacao.xml")));
        QString saida;
        QCOMPARE(mun.roda({"--enviar-base"}, &saida), 2);
        QCOMPARE(cons.roda({"--receber-base"}, &saida), 2);
        cons.b.executa("update procedimentos set valor=11.50 where codigo=101");
        QVERIFY2(cons.roda({"--enviar-base"}, &saida) == 0, qPrintable(saida));
        QVERIFY2(mun.roda({"--receber-base"}, &saida) == 0, qPrintable(saida));
        QVERIFY2(ent.roda({"--receber-base"}, &saida) == 0, qPrintable(saida));
        QVERIFY2(saida.contains("mensagens recebidas 1;"), qPrintable(saida));
        for (Instalacao* i : {&mun, &ent}) {
            QCOMPARE(i->b.valor("select valor from procedimentos where codigo=101").toString(), QString("11.50"));
            QCOMPARE(i->b.valor("select dataultrecepcao from tabdiv").toDate(), QDate::currentDate());
        }
        QCOMPARE(ent.b.valor("select count(*) from marcacao where id_marcacao=123").toInt(), 1);
        // The server stopped: the run says so and ends 1.
        srv.defineParado(true);
        QCOMPARE(ent.roda({"--receber-base"}, &saida), 1);
        QVERIFY2(saida.contains("Falha na Conexão com o Servidor FTP!"), qPrintable(saida));
    }

    // vornex --receber: the exit status tells a complete run from one that left files behind and
    // from one that could not run.
    void receberSemJanela_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("periodo");
        QTest::addColumn<QString>("caso");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("texto");
        QTest::newRow("complete") << "CUNE" << "12/2026" << "" << 0 << "Recepção completa: listados 1; recebidos 1;";
        QTest::newRow("a file refused") << "CUNE" << "12/2026" << "ruim" << 1 << "com erro 1";
        QTest::newRow("server down") << "CUNE" << "12/2026" << "parado" << 1 << "Não foi possível conectar";
        QTest::newRow("no such month folder") << "CUNE" << "11/2026" << "" << 1 << "(FALHOU)";
        QTest::newRow("no period") << "CUNE" << "2026-12" << "" << 2 << "Período inválido";
        QTest::newRow("not the consortium") << "E10" << "12/2026" << "" << 2 << "instalação do consórcio";
    }
    void receberSemJanela()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, periodo);
        QFETCH(QString, caso);
        QFETCH(int, status);
        QFETCH(QString, texto);
        test::ServidorFtp srv(QList<test::ServidorFtp::Conta>{{"cune03", "pw"}});
        srv.criaPasta("cune/faturamento/2026_12");
        const QString nome = "M" + kMun + "_ID0000001_E10.xml";
        test::GravaArquivo(srv.caminho("cune/faturamento/2026_12/" + nome),
                           caso == "ruim" ? QByteArray("<mensagemVXO>")
                                          : test::LeArquivo(QStringLiteral(VX_TEST_DATA_DIR "/mensagem_realizacao.xml")));
        if (caso == "parado")
            srv.defineParado(true);
        Instalacao cons(usuario, srv.porta());
        QString saida;
        QCOMPARE(cons.roda({"--receber", "--periodo", periodo}, &saida), status);
        QVERIFY2(saida.contains(texto), qPrintable(saida));
    }

    // The program killed right after the server renamed the first file: whatever it committed is
    // in the register, and the next run ends with every realization once and every file marked.
    void morteDepoisDaMarca()
    {
        test::ServidorFtp srv(QList<test::ServidorFtp::Conta>{{"cune03", "pw"}});
        srv.criaPasta("cune/faturamento/2026_12");
        const QByteArray msg = test::LeArquivo(QStringLiteral(VX_TEST_DATA_DIR "/mensagem_realizacao.xml"));
        for (int id = 1; id <= 12; ++id)
            test::GravaArquivo(srv.caminho(QStringLiteral("cune/faturamento/2026_12/M%1_ID%2_E12.xml")
                                               .arg(kMun)
                                               .arg(id, 7, 10, QLatin1Char('0'))),
                               QByteArray(msg).replace("<marcacao><id>123</id>",
                                                       "<marcacao><id>" + QByteArray::number(id) + "</id>"));
        Instalacao cons("CUNE", srv.porta());
        QString saida;
        const int status = cons.roda({"--receber", "--periodo", "12/2026"}, &saida, [&](qint64 pid) { srv.defineMataNoRenomeia(pid); });
        QCOMPARE(status, 128 + 9);
        const int antes = cons.b.valor("select count(*) from marcacao").toInt();
        QVERIFY(antes >= 1);
        QCOMPARE(cons.b.valor("select count(*) from arquivos_importados").toInt(), antes);
        QCOMPARE(cons.roda({"--receber", "--periodo", "12/2026"}, &saida), 0);
        QVERIFY2(saida.contains(QStringLiteral("recebidos %1; já recebidos antes %2;").arg(12 - antes).arg(antes - 1)),
                 qPrintable(saida));
        QCOMPARE(cons.b.valor("select count(distinct id_marcacao) || ':' || count(*) from marcacao").toString(),
                 QString("12:12"));
        QCOMPARE(QDir(srv.caminho("cune/faturamento/2026_12")).entryList({"okcune *"}, QDir::Files).size(), 12);
    }
};

QTEST_MAIN(TstCiclo)
#include "tst_ciclo.moc"
