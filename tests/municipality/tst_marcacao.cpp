// Authorizations of a municipality on a real database: number and key, procedure rows and their
// values, concurrent workstations, finalizing, cancelling and sending the message over FTP.
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/UVariaveis.h"
#include "exchange/ftp/FtpCliente.h"
#include "municipality/Marcacao.h"
#include "support/AmbienteTela.h"
#include "support/DadosMarcacao.h"
#include "support/ServidorFtp.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace vx;

namespace {

const QString kMun = test::kMunMarcacao;

Autorizacao autorizacao(const QString& paciente = QStringLiteral("1"))
{
    Autorizacao a;
    a.municipio = kMun;
    a.paciente = paciente;
    a.entidade = QStringLiteral("10");
    a.profissional = QStringLiteral("20");
    a.dataLanc = QStringLiteral("10/12/2026");
    a.dataMarc = QStringLiteral("  /  /    ");
    a.horaMarc = QStringLiteral("  :  ");
    a.carater = QStringLiteral("1");
    a.usuario = QStringLiteral("ana");
    a.dataAtual = QStringLiteral("10/12/2026");
    return a;
}

QByteArray conteudo(const QString& p)
{
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstMarcacao : public QObject {
    Q_OBJECT

private slots:
    void chave_data()
    {
        QTest::addColumn<QString>("municipio");
        QTest::addColumn<qint64>("numero");
        QTest::addColumn<QTime>("hora");
        QTest::addColumn<QString>("chave");
        QTest::newRow("primeira") << "4314902" << qint64(1) << QTime(9, 5, 7, 347) << "1490200001347";
        QTest::newRow("milissegundos com zeros") << "4304606" << qint64(42) << QTime(23, 59, 59, 5) << "0460600042005";
        QTest::newRow("maior de cinco digitos") << "4314902" << qint64(99999) << QTime(0, 0, 0, 999) << "1490299999999";
        QTest::newRow("seis digitos") << "4314902" << qint64(100000) << QTime(12, 0, 0, 120) << "14902100000120";
        QTest::newRow("ultimo municipal") << "4318705" << qint64(999999) << QTime(8, 0, 0, 0) << "18705999999000";
    }
    void chave()
    {
        QFETCH(QString, municipio);
        QFETCH(qint64, numero);
        QFETCH(QTime, hora);
        QFETCH(QString, chave);
        QCOMPARE(ChaveAutorizacao(municipio, numero, hora), chave);
        QCOMPARE(chave.size(), numero < 100000 ? 13 : 14);
    }

    void numeracao()
    {
        test::BancoTeste b;
        Consulta q(b.tr());
        b.tr().inicia();
        QCOMPARE(ProximoNumeroAutorizacao(q, kMun), qint64(1));
        b.tr().rollback();
        // Consortium numbers and other municipalities do not count.
        for (const char* v : {"('4314902', 1000005, 'M')", "('4304606', 40, 'M')", "('4314902', 7, 'M')"})
            b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm) values ") +
                      QLatin1String(v));
        b.tr().inicia();
        QCOMPARE(ProximoNumeroAutorizacao(q, kMun), qint64(8));
        QCOMPARE(ProximoNumeroAutorizacao(q, QStringLiteral("4304606")), qint64(41));
        b.tr().rollback();
    }

    void quantidades_data()
    {
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<bool>("visivel");
        QTest::addColumn<qint64>("quantidade");
        QTest::addColumn<qint64>("maximo");
        QTest::addColumn<bool>("recusa");
        QTest::newRow("oculto") << "7" << false << qint64(1) << qint64(1) << false;
        QTest::newRow("zero") << "0" << true << qint64(1) << qint64(5) << false;
        QTest::newRow("vazio") << "" << true << qint64(1) << qint64(5) << false;
        QTest::newRow("no maximo") << "5" << true << qint64(5) << qint64(5) << false;
        QTest::newRow("acima do maximo") << "6" << true << qint64(6) << qint64(5) << true;
    }
    void quantidades()
    {
        QFETCH(QString, digitado);
        QFETCH(bool, visivel);
        QFETCH(qint64, quantidade);
        QFETCH(qint64, maximo);
        QFETCH(bool, recusa);
        QCOMPARE(QuantidadeProcedimento(digitado, visivel), quantidade);
        QCOMPARE(!RecusaQuantidade(quantidade, maximo, Decimal::cents(1010), Decimal::cents(1000)).isEmpty(), recusa);
    }
    void valorAcimaDaColuna()
    {
        QVERIFY(!RecusaQuantidade(9999, 9999, Decimal::cents(9999999999), Decimal::cents(0)).isEmpty());
        QCOMPARE(ProdutoSql(3, Decimal::cents(1010)), QStringLiteral("30.3"));
        QCOMPARE(ProdutoSql(3, Decimal(3333, 3)), QStringLiteral("9.999"));
    }

    void exigencias_data()
    {
        QTest::addColumn<QString>("requerApac");
        QTest::addColumn<QString>("registro");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<bool>("municipioApac");
        QTest::addColumn<bool>("corvane");
        QTest::addColumn<bool>("apac");
        QTest::addColumn<bool>("faltaCid");
        QTest::newRow("apac sem laudo no municipio") << "S" << "C" << "RESSONANCIA" << false << false << false << false;
        QTest::newRow("apac com laudo") << "S" << "C" << "RESSONANCIA" << true << false << true << true;
        QTest::newRow("bpa individual") << "N" << "I" << "CONSULTA" << false << false << false << true;
        QTest::newRow("corvane bpa individual") << "N" << "I" << "CONSULTA" << false << true << false << false;
        QTest::newRow("corvane fisio") << "N" << "I" << "Fisioterapia" << false << true << false << true;
        QTest::newRow("consolidado") << "N" << "C" << "FISIOTERAPIA" << true << false << false << false;
    }
    void exigencias()
    {
        QFETCH(QString, requerApac);
        QFETCH(QString, registro);
        QFETCH(QString, nome);
        QFETCH(bool, municipioApac);
        QFETCH(bool, corvane);
        QFETCH(bool, apac);
        QFETCH(bool, faltaCid);
        ProcedimentoMarcacao p;
        p.requerApac = requerApac;
        p.registro = registro;
        p.nome = nome;
        const Exigencias e = ExigenciasDe({p}, municipioApac);
        QCOMPARE(e.apac, apac);
        QCOMPARE(FaltaCid(e, QString(), corvane), faltaCid);
        QVERIFY(!FaltaCid(e, QStringLiteral("M545"), corvane));
    }

    void carater_data()
    {
        QTest::addColumn<QString>("carater");
        QTest::addColumn<bool>("valido");
        for (const char* c : {"1", "6", " 3"})
            QTest::newRow(c) << c << true;
        for (const char* c : {"0", "7", "", "-1"})
            QTest::newRow(*c ? c : "vazio") << c << false;
    }
    void carater()
    {
        QFETCH(QString, carater);
        QFETCH(bool, valido);
        QCOMPARE(CaraterValido(carater), valido);
    }

    void insereEExclui()
    {
        test::AmbienteTela a(QStringLiteral("M4314902"));
        test::PreparaMarcacao(a.b);
        Autorizacao aut = autorizacao();
        aut.unidade = QString();
        const QDateTime agora(QDate(2026, 12, 10), QTime(14, 25, 31, 408));
        const AutorizacaoAberta r = InsereProcedimento(a.dm->IBTransaction, aut, {}, 101, 3, agora);
        QCOMPARE(r.numero, qint64(1));
        QCOMPARE(r.chave, QStringLiteral("1490200001408"));
        QCOMPARE(a.texto("select chaveimpre || '|' || usuario || '|' || carater || '|' || horamarc || '|' || "
                         "coalesce(codunidade, -1) || '|' || iif(datamarc is null, 'S', 'N') || '|' || data_digitacao from marcacao"),
                 QStringLiteral("1490200001408|ana|1|  :  |-1|S|2026-12-10 14:25:00.0000"));
        QCOMPARE(a.texto("select valortotal || '|' || valortotalsus || '|' || quantidade from marcacao_proceds"),
                 QStringLiteral("30.30|30.00|3"));

        // The next procedure joins the same authorization; a repeated one is refused whole.
        const AutorizacaoAberta r2 = InsereProcedimento(a.dm->IBTransaction, aut, r, 104, 1, agora);
        QCOMPARE(r2.numero, r.numero);
        QCOMPARE(r2.chave, r.chave);
        QVERIFY_THROWS_EXCEPTION(ErroBanco, InsereProcedimento(a.dm->IBTransaction, aut, r, 104, 1, agora));
        QCOMPARE(a.numero("select count(*) from marcacao"), 1);
        QCOMPARE(a.numero("select count(*) from marcacao_proceds"), 2);
        QCOMPARE(a.numero("select count(*) from logs"), 3);
        QCOMPARE(a.texto("select list(tabela || ':' || situacao || ':' || outrasinfo, ' ; ') from "
                         "(select * from logs order by tabela, outrasinfo)"),
                 QStringLiteral("Marcacao:I:4314902=//=1=//=1=//=10/12/2026=//=  /  /    =//=1490200001408 ; "
                                "MarcacaoProced:I:4314902=//=1=//=101 ; MarcacaoProced:I:4314902=//=1=//=104"));

        const auto lista = LeProcedimentosMarcacao(a.b.tr(), kMun, r.numero);
        QCOMPARE(lista.size(), 2);
        QCOMPARE(TotalMarcacao(lista), Decimal::cents(9030));

        // Removing the last procedure keeps the authorization.
        ExcluiProcedimento(a.dm->IBTransaction, kMun, r.numero, 101);
        ExcluiProcedimento(a.dm->IBTransaction, kMun, r.numero, 104);
        QCOMPARE(a.numero("select count(*) from marcacao_proceds"), 0);
        QCOMPARE(a.numero("select count(*) from marcacao"), 1);
        QCOMPARE(a.numero("select count(*) from logs where tabela='MarcacaoProced' and situacao='E'"), 2);
        QCOMPARE(TotalMarcacao(LeProcedimentosMarcacao(a.b.tr(), kMun, r.numero)), Decimal::cents(0));

        // The next authorization of the municipality takes the next number.
        const AutorizacaoAberta r3 = InsereProcedimento(a.dm->IBTransaction, autorizacao(QStringLiteral("3")), {}, 101, 1, agora);
        QCOMPARE(r3.numero, qint64(2));
    }

    // A failed first insertion leaves nothing: no authorization row, no audit row.
    void insercaoQueFalhaNaoDeixaNada()
    {
        test::AmbienteTela a(QStringLiteral("M4314902"));
        test::PreparaMarcacao(a.b);
        a.b.executa("create exception E_TESTE 'recusado'");
        a.b.executa("create trigger T_TESTE for marcacao_proceds before insert as begin exception E_TESTE; end");
        QVERIFY_THROWS_EXCEPTION(ErroBanco, InsereProcedimento(a.dm->IBTransaction, autorizacao(), {}, 101, 1));
        QCOMPARE(a.numero("select count(*) from marcacao"), 0);
        QCOMPARE(a.numero("select count(*) from logs"), 0);
    }

    // Another workstation's uncommitted authorization holds its number: this one waits for it and
    // takes the next number; one that never commits ends in a clear message.
    void outraEstacao()
    {
        test::AmbienteTela a(QStringLiteral("M4314902"));
        test::PreparaMarcacao(a.b);
        Conexao outra;
        outra.conecta(a.b.arquivo(), UsuarioBanco(), SenhaBanco());
        Transacao tr2(outra);
        tr2.inicia();
        tr2.executa("insert into marcacao (cli_origem, id_marcacao, data_imp_adm) values ('4314902', 1, 'M')");
        std::thread confirma([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            tr2.commit();
        });
        const AutorizacaoAberta r = InsereProcedimento(a.dm->IBTransaction, autorizacao(), {}, 101, 1);
        confirma.join();
        QCOMPARE(r.numero, qint64(2));
        QCOMPARE(a.numero("select count(*) from marcacao_proceds where id_marcacao=2"), 1);

        tr2.inicia();
        tr2.executa("insert into marcacao (cli_origem, id_marcacao, data_imp_adm) values ('4314902', 3, 'M')");
        try {
            InsereProcedimento(a.dm->IBTransaction, autorizacao(), {}, 101, 1);
            QFAIL("no error");
        } catch (const ErroBanco& e) {
            QVERIFY(e.texto().startsWith(QStringLiteral("Outra estação está gravando")));
        }
        tr2.rollback();
        QCOMPARE(a.numero("select count(*) from marcacao"), 2);
    }

    // Two workstations authorizing at the same time never share a number or a key.
    void duasEstacoesAoMesmoTempo()
    {
        test::AmbienteTela a(QStringLiteral("M4314902"));
        test::PreparaMarcacao(a.b);
        constexpr int kPorEstacao = 15;
        QStringList erros;
        std::mutex m;
        auto estacao = [&](const QString& paciente) {
            Conexao con;
            con.conecta(a.b.arquivo(), UsuarioBanco(), SenhaBanco());
            Transacao tr(con);
            for (int i = 0; i < kPorEstacao; ++i) {
                try {
                    InsereProcedimento(tr, autorizacao(paciente), {}, 101, 1);
                } catch (const std::exception& e) {
                    std::lock_guard<std::mutex> g(m);
                    erros << QString::fromUtf8(e.what());
                }
            }
        };
        std::thread t1(estacao, QStringLiteral("1"));
        std::thread t2(estacao, QStringLiteral("3"));
        t1.join();
        t2.join();
        QVERIFY2(erros.isEmpty(), qPrintable(erros.join('\n')));
        QCOMPARE(a.numero("select count(*) from marcacao"), 2 * kPorEstacao);
        QCOMPARE(a.numero("select count(distinct chaveimpre) from marcacao"), 2 * kPorEstacao);
        QCOMPARE(a.numero("select max(id_marcacao) from marcacao"), 2 * kPorEstacao);
        QCOMPARE(a.numero("select count(*) from marcacao_proceds"), 2 * kPorEstacao);
    }

    void finalizaECancela()
    {
        test::AmbienteTela a(QStringLiteral("M4314902"));
        test::PreparaMarcacao(a.b);
        Autorizacao aut = autorizacao();
        const AutorizacaoAberta r = InsereProcedimento(a.dm->IBTransaction, aut, {}, 102, 2);
        aut.dataMarc = QStringLiteral("15/12/2026");
        aut.horaMarc = QStringLiteral("8 :30");
        aut.cid = QStringLiteral("M545");
        aut.carater = QStringLiteral("2");
        aut.obs = QStringLiteral("TRAZER EXAMES D'ANTES");
        GravaFinalizacao(a.dm->IBTransaction, aut, r);
        QCOMPARE(a.texto("select datamarc || '|' || horamarc || '|' || codcid || '|' || carater || '|' || obs "
                         "from marcacao"),
                 QStringLiteral("2026-12-15|8 :30|M545|2|TRAZER EXAMES D'ANTES"));
        QCOMPARE(a.texto("select outrasinfo from logs where situacao='U'"),
                 QStringLiteral("4314902=//=1=//=1=//=10/12/2026=//=15/12/2026=//=") + r.chave);
        QCOMPARE(a.numero("select count(*) from marcacao_proceds mp join marcacao m on "
                          "m.cli_origem=mp.cli_origem and m.id_marcacao=mp.id_marcacao and m.codpessoa=1"),
                 1);
        const QString historico = SqlHistoricoPaciente(kMun, QStringLiteral("1"));
        QCOMPARE(LeLinhas(a.b.tr(), historico).size(), 1);

        CancelaAutorizacao(a.dm->IBTransaction, kMun, r.numero, aut.dataLanc);
        QCOMPARE(a.texto("select databloqueio || '|' || obs from marcacao"),
                 QStringLiteral("2026-12-10|Autorização Cancelada pelo Usuário"));
        QCOMPARE(a.texto("select outrasinfo from logs where situacao='D'"),
                 QStringLiteral("4314902=//=1=//=Cancelou Autorização"));
        QCOMPARE(a.numero("select count(*) from marcacao_proceds"), 1);
        QCOMPARE(LeLinhas(a.b.tr(), historico).size(), 0);
    }

    void pacientes_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<bool>("completo");
        QTest::addColumn<bool>("modulos");
        QTest::newRow("completo") << "1" << true << false;
        QTest::newRow("sem endereco") << "2" << false << false;
        QTest::newRow("modulos") << "3" << true << true;
        QTest::newRow("inexistente") << "99" << false << false;
    }
    void pacientes()
    {
        QFETCH(QString, codigo);
        QFETCH(bool, completo);
        QFETCH(bool, modulos);
        test::BancoTeste b;
        test::PreparaMarcacao(b);
        const PacienteMarcacao p = LePacienteMarcacao(b.tr(), kMun, codigo);
        QCOMPARE(p.completo, completo);
        QCOMPARE(p.modulos, modulos);
    }

    // The message reaches the professional's folder byte for byte; with the server down the file
    // stays pending, a copy goes to erros/ and the authorization is kept.
    void envio()
    {
        test::ServidorFtp srv({{QStringLiteral("cune01"), QStringLiteral("pw")}});
        QVERIFY2(srv.ativo(), qPrintable(srv.erro()));
        test::AmbienteTela a(QStringLiteral("M4314902"),
                             {"CONSORCIO=CUNE", "FTPHOST=127.0.0.1", "FTPSENHA=pw", "FTPTEMPOTOTAL=20",
                              "PORTA=" + QString::number(srv.porta())});
        test::PreparaMarcacao(a.b);
        srv.criaPasta(QStringLiteral("cune"));
        const AutorizacaoAberta r = InsereProcedimento(a.dm->IBTransaction, autorizacao(), {}, 101, 1);
        QStringList linhas;
        FtpCliente ftp;
        EnvioAutorizacao e = EnviaAutorizacao(a.dm->IBTransaction, &ftp, kMun, QStringLiteral("PORTO ALEGRE"), r.numero,
                                              QStringLiteral("20"), [&](const QString& l) { linhas << l; });
        QCOMPARE(e.arquivo, QStringLiteral("M4314902_ID0000001.xml"));
        QVERIFY(e.gravado);
        QCOMPARE(int(e.envio), int(ResultadoEnvio::Enviado));
        const QByteArray local = conteudo(PastaEnvio() + e.arquivo + " (enviado)");
        QVERIFY(local.contains("<respEnvio>4314902</respEnvio>"));
        QCOMPARE(conteudo(srv.caminho("cune/marcacao/profiss00020/" + e.arquivo)), local);
        QVERIFY(!QFile::exists(PastaEnvio() + e.arquivo));
        QVERIFY(linhas.first().endsWith(" => Gerando arquivo XML..."));
        QVERIFY(linhas.last().endsWith(" => Arquivo Enviado. Processo Concluído!"));
        QStringList p;
        for (const LinhaCadastro& l : LeLinhas(a.b.tr(), "select outrasinfo from logs where situacao='P'"))
            p << l.texto("OUTRASINFO");
        p.sort();
        QCOMPARE(p, QStringList({"4314902=//=1=//=Enviou xml.", "4314902=//=1=//=Imprimiu, gerará xml."}));

        // Server down.
        test::InstalaConfiguracao(a.b.pasta(), {"USUARIO=M4314902", "CONSORCIO=CUNE", "FTPHOST=127.0.0.1",
                                                "FTPSENHA=pw", "PORTA=1"});
        const AutorizacaoAberta r2 = InsereProcedimento(a.dm->IBTransaction, autorizacao(), {}, 104, 1);
        linhas.clear();
        FtpCliente ftp2;
        e = EnviaAutorizacao(a.dm->IBTransaction, &ftp2, kMun, QStringLiteral("PORTO ALEGRE"), r2.numero,
                             QStringLiteral("20"), [&](const QString& l) { linhas << l; });
        QCOMPARE(int(e.envio), int(ResultadoEnvio::Falhou));
        QVERIFY(QFile::exists(PastaEnvio() + "M4314902_ID0000002.xml"));
        QCOMPARE(conteudo(PastaErros() + "M4314902_ID0000002.xml"), conteudo(PastaEnvio() + "M4314902_ID0000002.xml"));
        // The upload's failure, then what it means for the clerk: nothing is lost.
        QVERIFY(linhas.at(linhas.size() - 2).endsWith(" => FALHOU!"));
        QVERIFY(linhas.last().endsWith(LinhaEnvioPendente(QStringLiteral("A autorização está gravada"),
                                                          QStringLiteral("M4314902_ID0000002.xml"))));
        QCOMPARE(a.texto("select outrasinfo from logs where outrasinfo like '%Falhou%'"),
                 QStringLiteral("4314902=//=2=//=Falhou ao enviar xml."));
        QCOMPARE(a.numero("select count(*) from marcacao where databloqueio is null"), 2);
    }
};

QTEST_MAIN(TstMarcacao)
#include "tst_marcacao.moc"
