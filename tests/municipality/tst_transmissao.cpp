// The transmission run on a real database and a real FTP server: pending messages sent once, the
// server check re-creating what the server lacks, bad files and a server that goes away, the
// screen and the unattended run.
#include "core/Configuracao.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "exchange/ftp/FtpCliente.h"
#include "core/Banco.h"
#include "core/schema/Cadeia.h"
#include "municipality/Marcacao.h"
#include "municipality/MensagemAutorizacao.h"
#include "municipality/TFEnvioFtp.h"
#include "municipality/Transmissao.h"
#include "exchange/MensagemXml.h"
#include "support/AmbienteTela.h"
#include "support/DadosMarcacao.h"
#include "support/Galeria.h"
#include "support/PastaServidor.h"
#include "support/ServidorFtp.h"

#include <QCheckBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace vx;

namespace {

const QString kMun = test::kMunMarcacao;

// An authorization message as finalization writes it, for professional `prof` (empty: none).
QByteArray mensagem(qint64 id, const QString& prof)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\">"
                          "<cabecalho><respEnvio>%1</respEnvio><municipio>PORTO ALEGRE</municipio></cabecalho>"
                          "<marcacao><id>%2</id><codprofissional>%3</codprofissional></marcacao></mensagemVXO>\r\n")
        .arg(kMun)
        .arg(id)
        .arg(prof)
        .toLatin1();
}

// A realization message of an entity installation, typed on `digitacao`.
QByteArray realizacao(qint64 id, const QString& digitacao, const QString& realizada = {})
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\">"
                          "<cabecalho><respEnvio>E10</respEnvio></cabecalho><marcacao><id>%1</id>"
                          "<datarealizacao>%2</datarealizacao><datadigitacao>%3</datadigitacao></marcacao></mensagemVXO>")
        .arg(id)
        .arg(realizada, digitacao)
        .toLatin1();
}

// An installation (municipality 4314902 unless told) on its own FTP server with the rows an
// authorization needs.
struct Instalacao {
    std::unique_ptr<test::ServidorFtp> srv;
    std::unique_ptr<test::AmbienteTela> a;
    QStringList linhas;
    FtpCliente ftp;
    FtpCliente lista;
    std::unique_ptr<Transacao> leitura, marca;

    explicit Instalacao(const QString& usuario = QStringLiteral("M4314902"), const QStringList& extra = {})
    {
        QList<test::ServidorFtp::Conta> contas;
        for (int i = 1; i <= 5; ++i)
            contas << test::ServidorFtp::Conta{QStringLiteral("cune%1").arg(i, 2, 10, QLatin1Char('0')), "pw"};
        srv = std::make_unique<test::ServidorFtp>(contas);
        srv->criaPasta(QStringLiteral("cune/marcacao"));
        srv->criaPasta(QStringLiteral("cune/faturamento"));
        QStringList conf{"CONSORCIO=CUNE", "FTPHOST=127.0.0.1", "FTPSENHA=pw", "FTPTEMPOTOTAL=20", "FTPTEMPOLENTO=5",
                         "PORTA=" + QString::number(srv->porta())};
        a = std::make_unique<test::AmbienteTela>(usuario, conf + extra);
        test::PreparaMarcacao(a->b);
        leitura = std::make_unique<Transacao>(a->dm->IBDatabase);
        marca = std::make_unique<Transacao>(a->dm->IBDatabase);
    }
    ~Instalacao()
    {
        ftp.desconecta();
        lista.desconecta();
    }
    // An authorization of `dias` days ago for professional 20 (or none).
    void autorizacao(qint64 id, int dias = 0, bool comProfissional = true, const QString& dataImpAdm = QStringLiteral("M"))
    {
        a->b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, "
                                    "codprofissional, datalanc, data_digitacao, datarealizacao, chaveimpre) values "
                                    "('%1', %2, '%3', 1, 10, %4, current_date-%5, current_timestamp-%5, current_date-%5, 'K%2')")
                         .arg(kMun)
                         .arg(id)
                         .arg(dataImpAdm, comProfissional ? QStringLiteral("20") : QStringLiteral("null"))
                         .arg(dias));
        a->b.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                                    "quantidade, valortotal, realizado) values ('%1', %2, '%3', 101, 1, 10.10, 'S')")
                         .arg(kMun)
                         .arg(id)
                         .arg(dataImpAdm));
    }
    QString pendente(const QString& nome, const QByteArray& dados)
    {
        const QString p = PastaEnvio() + nome;
        test::GravaArquivo(p, dados);
        return p;
    }
    ResultadoTransmissao executa(bool conferir = false)
    {
        linhas.clear();
        ContextoTransmissao ctx;
        ctx.principal = &a->dm->IBTransaction;
        ctx.leitura = leitura.get();
        ctx.marca = marca.get();
        ctx.ftp = &ftp;
        ctx.lista = &lista;
        ctx.dataAtual = QDate(2026, 12, 10);
        ctx.status = [this](const QString& l) { linhas << l; };
        return ExecutaTransmissao(ctx, conferir);
    }
    QString remoto(const QString& nome, const QString& prof = QStringLiteral("00020")) const
    {
        return srv->caminho(QStringLiteral("cune/marcacao/profiss") + prof + QLatin1Char('/') + nome);
    }
    QString conferido(qint64 id) { return a->texto(QStringLiteral("select conferiuftp from marcacao where id_marcacao=%1").arg(id)); }
    QDate ultimaRetransmissao() { return a->b.valor("select dataultretransmissao from tabdiv").toDate(); }
    // Status lines without their date and time.
    QStringList textos() const
    {
        QStringList r;
        for (const QString& l : linhas)
            r << (l.size() > 19 && l.at(2) == QLatin1Char('/') ? l.mid(19) : l);
        return r;
    }
    int contaLinhas(const QString& texto) const { return int(textos().count(texto)); }
};

QStringList pendentesAgora()
{
    return ArquivosPendentes();
}

} // namespace

class TstTransmissao : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(QFileInfo::exists(QStringLiteral("/usr/bin/python3"))); }

    void pendentes_data()
    {
        QTest::addColumn<QStringList>("nomes");
        QTest::addColumn<bool>("pendente"); // what the run should take
        QTest::newRow("pending") << QStringList{"M4314902_ID0000001.xml"} << true;
        QTest::newRow("lower-case first letter") << QStringList{"m4314902_ID0000001.xml"} << true;
        QTest::newRow("block message") << QStringList{"M4314902_ID0000057-bloq.xml"} << true;
        QTest::newRow("sent") << QStringList{"M4314902_ID0000001.xml (enviado)"} << false;
        QTest::newRow("sent and deleted") << QStringList{"M4314902_ID0000001.xml (enviado e deletado)"} << false;
        QTest::newRow("already there") << QStringList{"M4314902_ID0000001.xml (ja existe)"} << false;
        QTest::newRow("capital extension") << QStringList{"M4314902_ID0000001.XML"} << false;
        QTest::newRow("other name") << QStringList{"BaseCUNE.xml"} << false;
    }
    void pendentes()
    {
        QFETCH(QStringList, nomes);
        QFETCH(bool, pendente);
        Instalacao i;
        for (const QString& n : nomes)
            i.pendente(n, mensagem(1, "20"));
        QCOMPARE(pendentesAgora(), pendente ? nomes : QStringList{});
    }

    void destinos_data()
    {
        QTest::addColumn<QByteArray>("dados");
        QTest::addColumn<QString>("destino"); // "!" → refused
        QTest::newRow("authorization") << mensagem(1, "20") << "P20";
        QTest::newRow("padded professional") << mensagem(1, "0042") << "P42";
        QTest::newRow("no professional") << mensagem(1, "") << "";
        QTest::newRow("realization by typing date") << realizacao(1, "05/03/2015 10:11:12", "01/02/2015") << "F2015_03";
        QTest::newRow("realization by realization date") << realizacao(1, "", "01/02/2015") << "F2015_02";
        QTest::newRow("realization without dates") << realizacao(1, "", "") << "!";
        QTest::newRow("professional not a number") << mensagem(1, "20 or 1=1") << "!";
        QTest::newRow("truncated") << mensagem(1, "20").left(60) << "!";
        QTest::newRow("empty") << QByteArray() << "!";
    }
    void destinos()
    {
        QFETCH(QByteArray, dados);
        QFETCH(QString, destino);
        Instalacao i;
        const QString p = i.pendente(QStringLiteral("M4314902_ID0000001.xml"), dados);
        if (destino == QLatin1String("!"))
            QVERIFY_THROWS_EXCEPTION(ErroMensagem, DestinoDaMensagem(p));
        else
            QCOMPARE(DestinoDaMensagem(p), destino);
    }

    void indiceListagem_data()
    {
        QTest::addColumn<QStringList>("linhas");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<bool>("presente");
        const QString n = QStringLiteral("M4314902_ID0000001.xml");
        const QString linhaUnix = QStringLiteral("-rw-r--r--   1 vx  vx  %1 Dec 10 10:00 %2");
        QTest::newRow("listed") << QStringList{linhaUnix.arg(812).arg(n)} << n << true;
        QTest::newRow("other case") << QStringList{linhaUnix.arg(812).arg(n.toLower())} << n << true;
        QTest::newRow("empty copy") << QStringList{linhaUnix.arg(0).arg(n)} << n << false;
        QTest::newRow("empty copy in other case") << QStringList{linhaUnix.arg(0).arg(n.toLower())} << n << true;
        QTest::newRow("acknowledged") << QStringList{linhaUnix.arg(812).arg("okcune " + n)} << n << true;
        QTest::newRow("absent") << QStringList{linhaUnix.arg(812).arg("M4314902_ID0000002.xml")} << n << false;
        QTest::newRow("other municipality filtered") << QStringList{linhaUnix.arg(812).arg("M4300001_ID0000001.xml")}
                                                     << "M4300001_ID0000001.xml" << false;
        QTest::newRow("entity twin is another name") << QStringList{linhaUnix.arg(812).arg("M4314902_ID0000001_E10.xml")} << n
                                                     << false;
        QTest::newRow("dos form") << QStringList{"12-10-26  10:00AM                  812 " + n} << n << true;
        QTest::newRow("nothing") << QStringList{} << n << false;
    }
    void indiceListagem()
    {
        QFETCH(QStringList, linhas);
        QFETCH(QString, nome);
        QFETCH(bool, presente);
        IndiceListagem i;
        i.carrega(linhas, QStringLiteral("*M4314902*.xml"));
        QCOMPARE(i.presente(nome), presente);
    }

    void mascaras_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("pasta");
        QTest::addColumn<QString>("mascara");
        QTest::addColumn<QString>("nome");
        QTest::newRow("municipality") << "M4314902" << "marcacao" << "*M4314902*.xml" << "M4314902_ID0000005.xml";
        QTest::newRow("entity") << "E10" << "faturamento" << "*_E10*.xml" << "M4314902_ID0000005_E10.xml";
        QTest::newRow("professional") << "P7" << "faturamento" << "*_P7*.xml" << "M4314902_ID0000005_P7.xml";
    }
    void mascaras()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, pasta);
        QFETCH(QString, mascara);
        QFETCH(QString, nome);
        QTemporaryDir d;
        test::InstalaConfiguracao(d.path(), {"USUARIO=" + usuario});
        CarregaIdentidade();
        const ConferenciaPapel c = ConferenciaDoPapel();
        QCOMPARE(c.pastaBase, pasta);
        QCOMPARE(c.mascara, mascara);
        QCOMPARE(NomeConferido(kMun, 5), nome);
    }

    // 0, 1 and 300 pending files: each sent once, marked, checked and the date recorded.
    void envio_data()
    {
        QTest::addColumn<int>("quantos");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("300") << 300;
    }
    void envio()
    {
        QFETCH(int, quantos);
        Instalacao i;
        for (int n = 1; n <= quantos; ++n) {
            i.autorizacao(n);
            i.pendente(NomeMensagemAutorizacao(kMun, n), mensagem(n, "20"));
        }
        const ResultadoTransmissao r = i.executa();
        QVERIFY2(r.concluida, qPrintable(i.linhas.join('\n')));
        QCOMPARE(r.enviados, quantos);
        QCOMPARE(r.falhados, 0);
        QCOMPARE(r.conferidos, quantos);
        QCOMPARE(r.recriados, 0);
        QVERIFY(r.tudoEnviado());
        QCOMPARE(i.srv->recebidos(), quantos);
        for (int n = 1; n <= quantos; ++n) {
            const QString nome = NomeMensagemAutorizacao(kMun, n);
            QCOMPARE(test::LeArquivo(i.remoto(nome)), mensagem(n, "20"));
            QVERIFY(QFileInfo::exists(PastaEnvio() + nome + " (enviado)"));
        }
        QCOMPARE(pendentesAgora(), QStringList{});
        QCOMPARE(i.a->numero("select count(*) from marcacao where conferiuftp='S'"), quantos);
        QCOMPARE(i.ultimaRetransmissao(), QDate(2026, 12, 10));
        QCOMPARE(i.textos().mid(i.textos().size() - 5),
                 (QStringList{"", "     ***>>> PROCESSO CONCLUÍDO <<<***", "",
                              QStringLiteral(" => %1 arquivos enviados e 0 arquivos falhados!").arg(quantos),
                              " => Concluído! Feche esta tela para prosseguir no sistema."}));
        QCOMPARE(i.contaLinhas(" => Renomeado OK!"), quantos);

        // A second run has nothing to send.
        const ResultadoTransmissao r2 = i.executa();
        QCOMPARE(r2.enviados, 0);
        QCOMPARE(i.srv->recebidos(), quantos);
    }

    // The server check: a message the server lacks (or holds empty) is re-created and sent; one
    // it holds is not; old, blocked and unchecked-professional rows are left out.
    void conferencia()
    {
        Instalacao i;
        i.autorizacao(1);                 // on the server
        i.autorizacao(2);                 // missing
        i.autorizacao(3);                 // empty on the server
        i.autorizacao(4, 181);            // too old to be checked
        i.autorizacao(5, 180);            // just recent enough, missing
        i.autorizacao(6);                 // blocked
        i.autorizacao(7, 0, false);       // no professional
        i.autorizacao(8);                 // still open on its screen
        i.autorizacao(9);                 // finalized
        i.a->b.executa("update marcacao set databloqueio=current_date where id_marcacao=6");
        i.a->b.executa("update marcacao set finalizada='N' where id_marcacao=8");
        i.a->b.executa("update marcacao set finalizada='S' where id_marcacao=9");
        i.srv->criaPasta("cune/marcacao/profiss00020");
        test::GravaArquivo(i.remoto(NomeMensagemAutorizacao(kMun, 1)), mensagem(1, "20"));
        test::GravaArquivo(i.remoto(NomeMensagemAutorizacao(kMun, 3)), QByteArray());
        const ResultadoTransmissao r = i.executa();
        QVERIFY2(r.concluida && r.tudoEnviado(), qPrintable(i.linhas.join('\n')));
        QCOMPARE(r.recriados, 4);
        QCOMPARE(r.conferidos, 5);
        QVERIFY(i.textos().contains(" => 4 arquivos enviados e 0 arquivos falhados!"));
        for (int id : {1, 2, 3, 5, 9})
            QCOMPARE(i.conferido(id), QStringLiteral("S"));
        for (int id : {4, 6, 7, 8})
            QCOMPARE(i.conferido(id), QString());
        QCOMPARE(test::LeArquivo(i.remoto(NomeMensagemAutorizacao(kMun, 1))), mensagem(1, "20")); // untouched
        for (int id : {2, 3, 5}) {
            const QByteArray enviado = test::LeArquivo(i.remoto(NomeMensagemAutorizacao(kMun, id)));
            QVERIFY(enviado.contains("<id>" + QByteArray::number(id) + "</id>"));
            QVERIFY(enviado.contains("<codprofissional>20</codprofissional>"));
        }
        QCOMPARE(i.a->numero("select count(*) from logs where tabela='Marcacao' and situacao='X' and outrasinfo like '%Enviou xml.'"), 4);
        QVERIFY(i.textos().contains(" => Verificando Lancamento 0000002 - Prof.: 00020"));

        // Everything is checked now: the next run lists nothing.
        const ResultadoTransmissao r2 = i.executa();
        QCOMPARE(r2.conferidos, 0);
    }

    // Two workstations on one server database: the authorization workstation A is still building
    // is not sent by B's daily check; once A finalizes it, B's next check sends it.
    void estacaoNaoEnviaAutorizacaoAberta()
    {
        if (test::PastaServidor::host().isEmpty())
            QSKIP("no Firebird server (scripts/test.sh starts one and sets VORNEX_TESTE_SERVIDOR)");
        const test::PastaServidor pasta;
        const QString nome = pasta.banco("servidor.fdb");
        QCOMPARE(CriaBancoNovo(nome), VersaoEsquemaAtual());
        Instalacao i; // configuration and FTP server
        Conexao estacaoA;
        estacaoA.conecta(nome, UsuarioBanco(), SenhaBanco());
        Transacao a(estacaoA);
        for (const char* sql : {"insert into clientes (codigo, nome) values ('4314902', 'PORTO ALEGRE')",
                                "insert into pessoas (cli_origem, codigo, nome) values ('4314902', 1, 'MARIA')",
                                "insert into entidades (codigo, razaosocial) values (10, 'CLINICA VIDA')",
                                "insert into profissionais (codigo, nome) values (20, 'DRA. LUCIA')",
                                "insert into procedimentos (codigo, nome, valor, valorsus) values (101, 'CONSULTA', 10, 5)"}) {
            a.inicia();
            a.executa(QString::fromLatin1(sql));
            a.commit();
        }
        const Autorizacao aut{kMun, "1", "10", "20", "10/12/2026", "14/12/2026", "08:30", "1", "M545", "", {}, "ana",
                              DataAtualDate().toString("dd/MM/yyyy")};
        const AutorizacaoAberta aberta = InsereProcedimento(a, aut, {}, 101, 1, QDateTime::currentDateTime());

        TDMCUNE estacaoB;
        QVERIFY(estacaoB.ConectaBanco(nome));
        const auto confere = [&] {
            TransmissaoNoBanco t(estacaoB, i.ftp);
            return ExecutaTransmissao(t.ctx, false);
        };
        const ResultadoTransmissao r1 = confere();
        QVERIFY(r1.concluida);
        QCOMPARE(r1.recriados, 0);
        QVERIFY(!QFile::exists(i.remoto(NomeMensagemAutorizacao(kMun, aberta.numero))));

        GravaFinalizacao(a, aut, aberta);
        const ResultadoTransmissao r2 = confere();
        QCOMPARE(r2.recriados, 1);
        QVERIFY(QFile::exists(i.remoto(NomeMensagemAutorizacao(kMun, aberta.numero))));
        estacaoB.IBDatabase.desconecta();
    }

    // A professional folder that does not exist yet is created by the check.
    void conferenciaCriaPasta()
    {
        Instalacao i;
        i.autorizacao(1);
        const ResultadoTransmissao r = i.executa();
        QVERIFY(r.tudoEnviado());
        QVERIFY(QFileInfo::exists(i.remoto(NomeMensagemAutorizacao(kMun, 1))));
    }

    // A message that cannot be re-created leaves its row unchecked; one whose upload fails is
    // checked and its file stays pending.
    void conferenciaFalhas()
    {
        Instalacao i;
        i.autorizacao(1);
        i.autorizacao(2);
        // The row's procedures disappear for 1: its message still is written (no procedures);
        // make 2's unwritable instead: a folder in place of its file.
        QDir(PastaEnvio()).mkpath(NomeMensagemAutorizacao(kMun, 2));
        const ResultadoTransmissao r = i.executa();
        QVERIFY(r.concluida);
        QVERIFY(!r.tudoEnviado());
        QCOMPARE(i.conferido(1), QStringLiteral("S"));
        QCOMPARE(i.conferido(2), QString());
        QVERIFY(i.textos().contains(" => Não foi possível ENVIAR o arquivo " + NomeMensagemAutorizacao(kMun, 2)));
        QDir(PastaEnvio()).rmdir(NomeMensagemAutorizacao(kMun, 2));

        // The server refuses everything now: 3 is re-created, its upload fails, it is checked and
        // its file waits for the next run.
        i.autorizacao(3);
        i.a->b.executa("update marcacao set conferiuftp='S' where id_marcacao=2");
        i.srv->defineZerarRecebidos(true);
        const ResultadoTransmissao r2 = i.executa();
        QCOMPARE(r2.naoRecriados, 1);
        QCOMPARE(i.conferido(3), QStringLiteral("S"));
        QCOMPARE(pendentesAgora(), QStringList{NomeMensagemAutorizacao(kMun, 3)});
        QCOMPARE(i.a->numero("select count(*) from logs where outrasinfo like '%Falhou ao enviar xml.'"), 1);
        i.srv->defineZerarRecebidos(false);
        const ResultadoTransmissao r3 = i.executa();
        QCOMPARE(r3.enviados, 1);
        QVERIFY(r3.tudoEnviado());
    }

    // An unreadable or professional-less file is reported; the others are sent; the run ends.
    void arquivosRuins()
    {
        Instalacao i;
        i.pendente("M4314902_ID0000001.xml", mensagem(1, "20"));
        i.pendente("M4314902_ID0000002.xml", mensagem(2, "20").left(50));
        i.pendente("M4314902_ID0000003.xml", mensagem(3, ""));
        i.pendente("M4314902_ID0000004.xml", mensagem(4, "20"));
        const ResultadoTransmissao r = i.executa();
        QVERIFY(r.concluida);
        QCOMPARE(r.enviados, 2);
        QCOMPARE(r.falhados, 1);
        QCOMPARE(r.ignorados, 1);
        QVERIFY(!r.tudoEnviado());
        QCOMPARE(pendentesAgora(), (QStringList{"M4314902_ID0000002.xml", "M4314902_ID0000003.xml"}));
        QCOMPARE(i.textos().last(), QStringLiteral(" => Concluído! Feche esta tela para prosseguir no sistema."));
        QVERIFY(i.textos().contains(" => 2 arquivos enviados e 1 arquivos falhados!"));
        QCOMPARE(i.ultimaRetransmissao(), QDate(2026, 12, 10));
    }

    // Realization messages of an entity go to their month; one acknowledged with the same content
    // is not sent again and counts as failed.
    void realizacoes()
    {
        Instalacao i(QStringLiteral("E10"));
        i.srv->criaPasta("cune/faturamento/2015_03");
        test::GravaArquivo(i.srv->caminho("cune/faturamento/2015_03/okcune M4314902_ID0000002_E10.xml"),
                           realizacao(2, "06/03/2015 10:00:00"));
        i.pendente("M4314902_ID0000001_E10.xml", realizacao(1, "05/03/2015 10:00:00"));
        i.pendente("M4314902_ID0000002_E10.xml", realizacao(2, "06/03/2015 10:00:00"));
        const ResultadoTransmissao r = i.executa();
        QCOMPARE(r.enviados, 1);
        QCOMPARE(r.falhados, 1);
        QCOMPARE(test::LeArquivo(i.srv->caminho("cune/faturamento/2015_03/M4314902_ID0000001_E10.xml")),
                 realizacao(1, "05/03/2015 10:00:00"));
        QVERIFY(QFileInfo::exists(PastaEnvio() + "M4314902_ID0000002_E10.xml (ja existe)"));
        QCOMPARE(r.conferidos, 0); // no check outside the municipality unless asked
    }

    // With the check asked for, an entity re-creates the realizations of 30 days its month
    // folder lacks.
    void conferenciaEntidade()
    {
        Instalacao i(QStringLiteral("E10"));
        i.autorizacao(1, 0, true, QStringLiteral("E"));
        i.autorizacao(2, 31, true, QStringLiteral("E"));
        const ResultadoTransmissao r = i.executa(true);
        QVERIFY2(r.tudoEnviado(), qPrintable(i.linhas.join('\n')));
        QCOMPARE(r.recriados, 1);
        const QString mes = QDate::currentDate().toString("yyyy_MM");
        const QByteArray enviado = test::LeArquivo(i.srv->caminho("cune/faturamento/" + mes + "/M4314902_ID0000001_E10.xml"));
        QVERIFY(enviado.contains("<respEnvio>E10</respEnvio>"));
        QCOMPARE(i.conferido(2), QString());
    }

    // The server goes away halfway: the rest stays pending, the next run sends it, nothing twice.
    void servidorParaNoMeio()
    {
        Instalacao i(QStringLiteral("M4314902"), {"FTPTEMPOTOTAL=3"});
        for (int n = 1; n <= 10; ++n)
            i.pendente(NomeMensagemAutorizacao(kMun, n), mensagem(n, "20"));
        int vistos = 0;
        ContextoTransmissao ctx;
        ctx.principal = &i.a->dm->IBTransaction;
        ctx.leitura = i.leitura.get();
        ctx.marca = i.marca.get();
        ctx.ftp = &i.ftp;
        ctx.lista = &i.lista;
        ctx.dataAtual = QDate(2026, 12, 10);
        ctx.status = [&](const QString& l) {
            if (l.endsWith(" => Renomeado OK!") && ++vistos == 4)
                i.srv->defineParado(true);
        };
        const ResultadoTransmissao r = ExecutaTransmissao(ctx, false);
        QCOMPARE(r.enviados, 4);
        QCOMPARE(r.falhados, 6);
        QCOMPARE(pendentesAgora().size(), 6);
        QCOMPARE(i.srv->recebidos(), 4);

        i.srv->defineParado(false);
        const ResultadoTransmissao r2 = i.executa();
        QCOMPARE(r2.enviados, 6);
        QVERIFY(r2.tudoEnviado());
        QCOMPARE(i.srv->recebidos(), 10);
        for (int n = 1; n <= 10; ++n)
            QCOMPARE(test::LeArquivo(i.remoto(NomeMensagemAutorizacao(kMun, n))), mensagem(n, "20"));
    }

    // A database error ends the run: no date recorded.
    void erroDeBanco()
    {
        Instalacao i;
        i.a->b.executa("alter table marcacao drop conferiuftp");
        i.autorizacao(1);
        const ResultadoTransmissao r = i.executa();
        QVERIFY(!r.concluida);
        QVERIFY(!r.erro.isEmpty());
        QVERIFY(i.textos().contains(" => Erro na execução!!!"));
        QCOMPARE(i.ultimaRetransmissao(), QDate());
    }

    // The screen runs by itself once shown; the check box only outside the municipality.
    void tela_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<bool>("caixa");
        QTest::newRow("municipality") << "M4314902" << false;
        QTest::newRow("entity") << "E10" << true;
    }
    void tela()
    {
        QFETCH(QString, usuario);
        QFETCH(bool, caixa);
        Instalacao i(usuario);
        i.pendente(usuario == "E10" ? "M4314902_ID0000001_E10.xml" : "M4314902_ID0000001.xml",
                   usuario == "E10" ? realizacao(1, "05/03/2015") : mensagem(1, "20"));
        auto* t = test::AbreTelaTeste(CriaTela<TFEnvioFtp>());
        QCOMPARE(t->windowTitle(), QStringLiteral("Transmissão de arquivos"));
        QCOMPARE(t->CBRecriarXML()->isVisible(), caixa);
        QVERIFY(!t->CBRecriarXML()->isChecked());
        QTRY_VERIFY(t->resultado().concluida);
        QVERIFY(t->PBtnGravar()->isEnabled());
        QCOMPARE(t->resultado().enviados, 1);
        QVERIFY(t->MStatus()->toPlainText().contains("PROCESSO CONCLUÍDO"));
        QVERIFY(!test::SalvaTela(t, "transmissao_" + usuario).isEmpty());
        // Activating it again does not start another run; the button does.
        t->activateWindow();
        QTest::qWait(50);
        QCOMPARE(t->resultado().enviados, 1);
        t->PBtnGravarClick();
        QCOMPARE(t->resultado().enviados, 0);
        delete t;
    }

    // Modal at start-up: the screen blocks until it is closed.
    void telaModal()
    {
        Instalacao i;
        bool viu = false;
        QTimer::singleShot(0, [&] {
            auto* t = InstanciaTela<TFEnvioFtp>();
            QVERIFY(t && t->windowModality() == Qt::ApplicationModal);
            QTRY_VERIFY(t->resultado().concluida);
            viu = true;
            t->close();
        });
        TFEnvioFtp::AbreModal();
        QVERIFY(viu);
        QTRY_VERIFY(!InstanciaTela<TFEnvioFtp>());
        QCOMPARE(i.ultimaRetransmissao(), DataAtualDate());
    }

    void recbase_data()
    {
        QTest::addColumn<QString>("caminho");
        QTest::addColumn<bool>("fecha");
        QTest::newRow("program") << "/opt/vornex/vornex" << false;
        QTest::newRow("link") << "/opt/vornex/recbase" << true;
        QTest::newRow("windows copy") << "C:/vornex/RecBase.exe" << true;
        QTest::newRow("folder name only") << "/opt/recbase/vornex" << false;
    }
    void recbase()
    {
        QFETCH(QString, caminho);
        QFETCH(bool, fecha);
        QCOMPARE(ExecutavelRecBase(caminho), fecha);
    }

    // vornex --transmitir: output and exit status.
    void semJanela_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<int>("saida");
        QTest::addColumn<QString>("resumo");
        QTest::newRow("all sent") << "ok" << 0 << "Enviados: 2; falhados: 0;";
        QTest::newRow("some failed") << "ruim" << 1 << "Enviados: 2; falhados: 1;";
        QTest::newRow("ftp off") << "desligado" << 1 << "Enviados: 0; falhados: 2;";
        QTest::newRow("consortium") << "consorcio" << 2 << "";
    }
    void semJanela()
    {
        QFETCH(QString, caso);
        QFETCH(int, saida);
        QFETCH(QString, resumo);
        QStringList extra{"NTP=", "DATABASE=teste.fdb"};
        if (caso == "desligado")
            extra << "ATIVARFTP=false";
        Instalacao i(caso == "consorcio" ? QStringLiteral("CUNE") : QStringLiteral("M4314902"), extra);
        i.pendente("M4314902_ID0000001.xml", mensagem(1, "20"));
        i.pendente("M4314902_ID0000002.xml", mensagem(2, "20"));
        if (caso == "ruim")
            i.pendente("M4314902_ID0000003.xml", "<mensagemVXO");
        const QString pasta = PastaInstalacao();
        // The program attaches itself.
        i.leitura.reset();
        i.marca.reset();
        i.a->dm.reset();
        i.a->b.desconecta();
        QProcess p;
        p.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        p.start(QStringLiteral(VX_PROGRAMA), {"--pasta", pasta, "--transmitir"});
        QVERIFY(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        i.a->b.reconecta();
        QCOMPARE(p.exitCode(), saida);
        QVERIFY2(out.contains(resumo), qPrintable(out + p.readAllStandardError()));
        if (saida == 0) {
            QVERIFY(out.contains(" => Renomeado OK!"));
            QVERIFY(out.contains("PROCESSO CONCLUÍDO"));
        }
    }
};

QTEST_MAIN(TstTransmissao)
#include "tst_transmissao.moc"
