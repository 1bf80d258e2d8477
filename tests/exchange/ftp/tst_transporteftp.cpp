#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/UVariaveis.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/TransporteFtp.h"
#include "support/Fixtures.h"
#include "support/ServidorFtp.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace vx;
using Contas = QList<test::ServidorFtp::Conta>;

namespace {

class Registro : public ManipuladorMensagens {
public:
    int mostra(const PedidoMsg& p) override
    {
        textos << p.texto;
        return p.padrao;
    }
    QStringList textos;
};

QByteArray padrao(int tamanho)
{
    QByteArray b(tamanho, Qt::Uninitialized);
    for (int i = 0; i < tamanho; ++i)
        b[i] = char('a' + (i * 7 + i / 4096) % 26);
    return b;
}

// Temporary upload names left in a server folder, with their sizes.
QMap<QString, qint64> temporarios(const QString& pasta)
{
    QMap<QString, qint64> r;
    for (const QFileInfo& i : QDir(pasta).entryInfoList({"_tmp-*"}, QDir::Files))
        r.insert(i.fileName(), i.size());
    return r;
}

// The child process of clienteMorto: one upload with the installation of the parent.
int enviaComoFilho()
{
    DefinePastaInstalacao(qEnvironmentVariable("VX_ENVIO_PASTA"));
    CarregaConfiguracao();
    CarregaIdentidade();
    FtpCliente ftp;
    return EnviaArquivoFtp(ftp, qEnvironmentVariable("VX_ENVIO_ARQUIVO"), qEnvironmentVariable("VX_ENVIO_DESTINO"), {}) ? 0 : 1;
}

} // namespace

class TstTransporteFtp : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void contas_data();
    void contas();
    void perfilDesconhecido();
    void destinos_data();
    void destinos();
    void jaProcessadoNaoReenvia_data();
    void jaProcessadoNaoReenvia();
    void servidorQueZeraArquivos();
    void ftpDesativado();
    void arquivoExiste_data();
    void arquivoExiste();
    void listagem_data();
    void listagem();
    void pastaDoPerfilAusente();
    void destinoQueNaoPodeSerPasta();
    void contasRecusadas();
    void clienteMorto();
    void servidorParado();
    void copiaVelhaSubstituida_data();
    void copiaVelhaSubstituida();

private:
    // Installation with the given identity and profile pointing at `srv`.
    void instala(const QString& usuario, const QString& perfil, const test::ServidorFtp& srv, const QStringList& extra = {});
    QString criaEnvio(const QString& nome, const QByteArray& dados = "<mensagemVXO/>");
    std::unique_ptr<QTemporaryDir> m_pasta;
    Registro m_msgs;
    QStringList m_linhas;
    LinhaStatus m_status;
};

void TstTransporteFtp::init()
{
    m_pasta = std::make_unique<QTemporaryDir>();
    m_msgs.textos.clear();
    m_linhas.clear();
    m_status = [this](const QString& l) { m_linhas << l; };
    DefineManipuladorMensagens(&m_msgs);
}

void TstTransporteFtp::cleanup()
{
    DefineManipuladorMensagens(nullptr);
}

void TstTransporteFtp::instala(const QString& usuario, const QString& perfil, const test::ServidorFtp& srv, const QStringList& extra)
{
    QStringList linhas{"USUARIO=" + usuario, "CONSORCIO=" + perfil, "PORTA=" + QString::number(srv.porta()),
                       "FTPHOST=127.0.0.1", "FTPSENHA=pw"};
    test::InstalaConfiguracao(m_pasta->path(), linhas + extra);
    CarregaIdentidade();
}

QString TstTransporteFtp::criaEnvio(const QString& nome, const QByteArray& dados)
{
    const QString p = PastaEnvio() + nome;
    test::GravaArquivo(p, dados);
    return p;
}

void TstTransporteFtp::contas_data()
{
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("perfil");
    QTest::addColumn<QStringList>("aceitas");
    QTest::addColumn<QString>("conectaComo"); // empty: no connection
    QTest::addColumn<QString>("pasta");
    QTest::newRow("municipality, 01 refused") << "M4314902" << "CUNE" << QStringList{"cune02"} << "cune02" << "/cune";
    QTest::newRow("municipality, 01") << "m4314902" << "Consorcio CUNE Regional" << QStringList{"cune01", "cune02"} << "cune01" << "/cune";
    QTest::newRow("municipality, 03 is the last try") << "M4314902" << "CUNE" << QStringList{"cune03"} << "cune03" << "/cune";
    QTest::newRow("municipality, 04 never tried") << "M4314902" << "CUNE" << QStringList{"cune04"} << "" << "";
    QTest::newRow("entity starts at 03") << "E12" << "CUNE" << QStringList{"cune01", "cune03"} << "cune03" << "/cune";
    QTest::newRow("professional, 03 and 04 refused") << "P77" << "teste" << QStringList{"cune05"} << "cune05" << "/teste";
    QTest::newRow("entity never uses 01") << "E12" << "CUNE" << QStringList{"cune01"} << "" << "";
    QTest::newRow("shared family") << "M4314902" << "CORVANE" << QStringList{"consorcio01"} << "consorcio01" << "/corvane";
    QTest::newRow("culvar fixed user") << "E3" << "CULVAR" << QStringList{"culvar"} << "culvar" << "/culvar";
}

void TstTransporteFtp::contas()
{
    QFETCH(QString, usuario);
    QFETCH(QString, perfil);
    QFETCH(QStringList, aceitas);
    QFETCH(QString, conectaComo);
    QFETCH(QString, pasta);
    QList<test::ServidorFtp::Conta> contas;
    for (const QString& a : aceitas)
        contas << test::ServidorFtp::Conta{a, "pw"};
    test::ServidorFtp srv(contas);
    QVERIFY(srv.ativo());
    for (const char* p : {"cune", "teste", "corvane", "culvar"})
        srv.criaPasta(QString::fromLatin1(p));
    instala(usuario, perfil, srv);
    FtpCliente ftp;
    QCOMPARE(ConectaFtp(ftp), !conectaComo.isEmpty());
    QCOMPARE(ftp.conectado(), !conectaComo.isEmpty());
    if (!conectaComo.isEmpty()) {
        QCOMPARE(ftp.usuario(), conectaComo);
        QCOMPARE(ftp.pastaAtual(), pasta);
    }
    QVERIFY(m_msgs.textos.isEmpty());
}

void TstTransporteFtp::perfilDesconhecido()
{
    test::ServidorFtp srv(Contas{{"preset", "segredo"}});
    srv.criaPasta("teste");
    instala("M4314902", "OUTRO CONSORCIO", srv, {"FTPUSUARIO_PADRAO=preset", "FTPSENHA_PADRAO=segredo"});
    FtpCliente ftp;
    QVERIFY(ConectaFtp(ftp));
    QCOMPARE(ftp.usuario(), QStringLiteral("preset"));
    QCOMPARE(ftp.pastaAtual(), QStringLiteral("/teste"));
    QCOMPARE(m_msgs.textos, QStringList{QStringLiteral("Configurar a variável [CONSORCIO]")});
}

void TstTransporteFtp::destinos_data()
{
    QTest::addColumn<QStringList>("existentes");
    QTest::addColumn<QString>("destino");
    QTest::addColumn<QString>("caminho");
    QTest::newRow("professional folder created") << QStringList{"cune/marcacao"} << "P42" << "cune/marcacao/profiss00042";
    QTest::newRow("professional folder exists") << QStringList{"cune/marcacao/profiss00042"} << "P42" << "cune/marcacao/profiss00042";
    QTest::newRow("marcacao missing too") << QStringList{"cune"} << "P7" << "cune/marcacao/profiss00007";
    QTest::newRow("long code kept") << QStringList{"cune/marcacao"} << "P1234567" << "cune/marcacao/profiss1234567";
    QTest::newRow("period folder created") << QStringList{"cune/faturamento"} << "F2015_03" << "cune/faturamento/2015_03";
    QTest::newRow("profile folder") << QStringList{"cune"} << "" << "cune";
}

void TstTransporteFtp::destinos()
{
    QFETCH(QStringList, existentes);
    QFETCH(QString, destino);
    QFETCH(QString, caminho);
    test::ServidorFtp srv(Contas{{"cune01", "pw"}});
    for (const QString& p : existentes)
        srv.criaPasta(p);
    instala("M4314902", "CUNE", srv);
    const QByteArray dados = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO>a&amp;b</mensagemVXO>\r\n";
    criaEnvio("M4314902_ID0000123.xml", dados);
    FtpCliente ftp;
    QVERIFY(EnviaArquivoFtp(ftp, "M4314902_ID0000123.xml", destino, m_status));
    QCOMPARE(test::LeArquivo(srv.caminho(caminho + "/M4314902_ID0000123.xml")), dados);
    QVERIFY(!QFile::exists(PastaErros() + "M4314902_ID0000123.xml"));
    QVERIFY(m_linhas.size() >= 3);
    QVERIFY(m_linhas.first().endsWith(" => Conectando ao servidor ftp..."));
    QVERIFY(m_linhas.last().endsWith(" => Arquivo enviado OK!"));
    static const QRegularExpression comHora("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d => ");
    for (const QString& l : m_linhas)
        QVERIFY2(comHora.match(l).hasMatch(), qPrintable(l));
    QVERIFY(!m_linhas.join('\n').contains("FALHOU"));
}

void TstTransporteFtp::jaProcessadoNaoReenvia_data()
{
    QTest::addColumn<QStringList>("marcados"); // "okcune " twins on the server: name=content
    QTest::addColumn<QString>("enviadoComo");   // empty: not sent, " (ja existe)"
    const QString nome = "M4314902_ID0000123_E12.xml";
    const QString mesmo = "<mensagemVXO><cabecalho><dtEnvio>01/03/2015 08:00:00</dtEnvio></cabecalho>R1</mensagemVXO>";
    QTest::newRow("the same message (sent at another time)") << QStringList{nome + "=" + mesmo} << "";
    QTest::newRow("another realization of the key") << QStringList{nome + "=<mensagemVXO>R0</mensagemVXO>"}
                                                    << "M4314902_ID0000123_E12-2.xml";
    QTest::newRow("the second one arrived already")
        << QStringList{nome + "=<mensagemVXO>R0</mensagemVXO>", "M4314902_ID0000123_E12-2.xml=" + mesmo} << "";
    QTest::newRow("a third one") << QStringList{nome + "=<mensagemVXO>R0</mensagemVXO>",
                                                "M4314902_ID0000123_E12-2.xml=<mensagemVXO>R00</mensagemVXO>"}
                                 << "M4314902_ID0000123_E12-3.xml";
}

// The consortium marked a twin "okcune <name>": the same content is not sent again; other content
// (a realization reopened by a glosa and confirmed again) goes under the next free name.
void TstTransporteFtp::jaProcessadoNaoReenvia()
{
    QFETCH(QStringList, marcados);
    QFETCH(QString, enviadoComo);
    test::ServidorFtp srv(Contas{{"cune03", "pw"}});
    const QString pasta = "cune/faturamento/2015_03/";
    srv.criaPasta(pasta);
    for (const QString& m : marcados)
        test::GravaArquivo(srv.caminho(pasta + "okcune " + m.section('=', 0, 0)), m.section('=', 1).toLatin1());
    instala("E12", "CUNE", srv);
    const QString nome = "M4314902_ID0000123_E12.xml";
    const QByteArray dados = "<mensagemVXO><cabecalho><dtEnvio>02/03/2015 09:30:00</dtEnvio></cabecalho>R1</mensagemVXO>";
    const QString local = criaEnvio(nome, dados);
    FtpCliente ftp;
    QCOMPARE(EnviaArquivoFtp(ftp, nome, "F2015_03", m_status), !enviadoComo.isEmpty());
    QVERIFY(!QFile::exists(PastaErros() + nome));
    QVERIFY(!m_linhas.join('\n').contains("FALHOU"));
    QVERIFY(!QFile::exists(srv.caminho(pasta + nome)));
    if (enviadoComo.isEmpty()) {
        QVERIFY(!QFile::exists(local));
        QVERIFY(QFile::exists(local + " (ja existe)"));
        QCOMPARE(srv.recebidos(), 0);
        QVERIFY(!m_linhas.join('\n').contains("enviado OK"));
    } else {
        QCOMPARE(test::LeArquivo(srv.caminho(pasta + enviadoComo)), dados);
        QVERIFY(m_linhas.last().contains(" => Arquivo enviado OK como " + enviadoComo));
    }
}

void TstTransporteFtp::servidorQueZeraArquivos()
{
    test::ServidorFtp srv(Contas{{"cune01", "pw"}});
    srv.criaPasta("cune/marcacao/profiss00042");
    srv.defineZerarRecebidos(true);
    instala("M4314902", "CUNE", srv);
    criaEnvio("M4314902_ID0000009.xml", "conteudo novo");
    test::GravaArquivo(PastaErros() + "M4314902_ID0000009.xml", "copia antiga");
    FtpCliente ftp;
    QVERIFY(!EnviaArquivoFtp(ftp, "M4314902_ID0000009.xml", "P42", m_status));
    QCOMPARE(srv.recebidos(), 7);
    QVERIFY(m_linhas.size() >= 2);
    const QString falhaDetalhe = m_linhas.at(m_linhas.size() - 2);
    QVERIFY2(falhaDetalhe.contains(" => FALHOU:[Dir:P42 - /cune/marcacao/profiss00042]\n"
                                   "Não conseguiu criar o arquivo após 03 tentativas!"),
             qPrintable(falhaDetalhe));
    QVERIFY(m_linhas.last().endsWith(" => FALHOU!"));
    QCOMPARE(test::LeArquivo(PastaErros() + "M4314902_ID0000009.xml"), QByteArray("conteudo novo"));
    QVERIFY(QFile::exists(PastaEnvio() + "M4314902_ID0000009.xml"));
}

void TstTransporteFtp::ftpDesativado()
{
    test::ServidorFtp srv(Contas{{"cune01", "pw"}});
    srv.criaPasta("cune/marcacao");
    instala("M4314902", "CUNE", srv, {"ATIVARFTP=false"});
    criaEnvio("M4314902_ID0000001.xml", "x");
    FtpCliente ftp;
    QVERIFY(!ConectaFtp(ftp));
    QVERIFY(!EnviaArquivoFtp(ftp, "M4314902_ID0000001.xml", "P1", m_status));
    QCOMPARE(m_linhas.size(), 3);
    QVERIFY(m_linhas.at(0).endsWith(" => Conectando ao servidor ftp..."));
    QVERIFY(m_linhas.at(1).endsWith(" => Motivo: FTP desativado nesta instalação (ATIVARFTP)"));
    QVERIFY(m_linhas.at(2).endsWith(" => FALHOU!"));
    QCOMPARE(test::LeArquivo(PastaErros() + "M4314902_ID0000001.xml"), QByteArray("x"));
    QCOMPARE(srv.recebidos(), 0);
}

void TstTransporteFtp::arquivoExiste_data()
{
    QTest::addColumn<QString>("noServidor");
    QTest::addColumn<QByteArray>("dados");
    QTest::addColumn<QString>("procurado");
    QTest::addColumn<qint64>("tamanhoLocal"); // -1: the caller has no local file
    QTest::addColumn<bool>("existe");
    const QString n = "M4314902_ID0000001.xml";
    QTest::newRow("present") << n << QByteArray("abc") << n << qint64(-1) << true;
    QTest::newRow("empty counts as absent") << n << QByteArray() << n << qint64(-1) << false;
    QTest::newRow("absent") << n << QByteArray("abc") << "M4314902_ID0000002.xml" << qint64(-1) << false;
    QTest::newRow("name with blanks") << "okch " + n << QByteArray("abc") << "okch " + n << qint64(-1) << true;
    QTest::newRow("empty, name with blanks") << "okch " + n << QByteArray() << "okch " + n << qint64(-1) << false;
    QTest::newRow("same size as the local file") << n << QByteArray(70000, 'x') << n << qint64(70000) << true;
    QTest::newRow("shorter than the local file") << n << QByteArray(65536, 'x') << n << qint64(70000) << false;
    QTest::newRow("longer than the local file") << n << QByteArray("abcd") << n << qint64(3) << false;
    QTest::newRow("empty local file, empty remote") << n << QByteArray() << n << qint64(0) << false;
    QTest::newRow("absent, with a local size") << n << QByteArray("abc") << "M4314902_ID0000002.xml" << qint64(3) << false;
}

void TstTransporteFtp::arquivoExiste()
{
    QFETCH(QString, noServidor);
    QFETCH(QByteArray, dados);
    QFETCH(QString, procurado);
    QFETCH(qint64, tamanhoLocal);
    QFETCH(bool, existe);
    test::ServidorFtp srv(Contas{{"cune01", "pw"}});
    srv.criaPasta("cune");
    test::GravaArquivo(srv.caminho("cune/" + noServidor), dados);
    instala("M4314902", "CUNE", srv);
    FtpCliente ftp;
    QVERIFY(ConectaFtp(ftp));
    QCOMPARE(ArquivoExisteFtp(ftp, procurado, tamanhoLocal), existe);
}

void TstTransporteFtp::listagem_data()
{
    QTest::addColumn<QStringList>("linhas");
    QTest::addColumn<QString>("procurado");
    QTest::addColumn<bool>("existe");
    QTest::addColumn<qint64>("tamanho"); // -1 not listed, -2 no size for exactly that name
    const QString n = "M4314902_ID0000001.xml";
    QTest::newRow("unix") << QStringList{"-rw-r--r--   1 owner    group         317 Mar 02 10:20 " + n} << n << true << qint64(317);
    QTest::newRow("unix, empty") << QStringList{"-rw-r--r--   1 owner    group           0 Mar 02 10:20 " + n} << n << false << qint64(0);
    QTest::newRow("unix, year instead of time") << QStringList{"-rw-r--r--   1 ftp ftp 0 Dec 31  2014 " + n} << n << false << qint64(0);
    QTest::newRow("unix without group, empty") << QStringList{"-rw-r--r-- 1 ftp 0 Mar 02 10:20 " + n} << n << false << qint64(0);
    QTest::newRow("unix without group") << QStringList{"-rw-r--r-- 1 ftp 12 Mar 02 10:20 " + n} << n << true << qint64(12);
    QTest::newRow("unix, numeric owner") << QStringList{"-rw-------    1 1000     1000            0 Jan 05 09:00 " + n} << n << false << qint64(0);
    QTest::newRow("unix, name with blanks, empty") << QStringList{"-rw-r--r-- 1 a b 0 Mar 02 10:20 okch " + n} << "okch " + n << false << qint64(0);
    QTest::newRow("unix, iso date, empty") << QStringList{"-rw-r--r-- 1 a b 0 2015-03-02 10:20 " + n} << n << false << qint64(0);
    QTest::newRow("unix, local month name, empty") << QStringList{QString::fromUtf8("-rw-r--r-- 1 a b 0 Mär 02 10:20 ") + n} << n << false << qint64(0);
    QTest::newRow("dos") << QStringList{"03-02-15  10:20AM                  317 " + n} << n << true << qint64(317);
    QTest::newRow("dos, empty") << QStringList{"03-02-15  10:20AM                    0 " + n} << n << false << qint64(0);
    QTest::newRow("empty, other case counts as present") << QStringList{"-rw-r--r-- 1 a b 0 Mar 02 10:20 " + n.toLower()} << n << true << qint64(-2);
    QTest::newRow("first matching line decides") << QStringList{"total 2", "-rw-r--r-- 1 a b 5 Mar 02 10:20 " + n, "-rw-r--r-- 1 a b 0 Mar 02 10:20 " + n} << n << true << qint64(5);
    QTest::newRow("unknown form counts as present") << QStringList{"0 " + n} << n << true << qint64(-2);
    QTest::newRow("not listed") << QStringList{"total 0"} << n << false << qint64(-1);
    QTest::newRow("nothing") << QStringList{} << n << false << qint64(-1);
    QTest::newRow("dos, folder") << QStringList{"03-02-15  10:20AM       <DIR>          " + n} << n << true << qint64(-2);
}

void TstTransporteFtp::listagem()
{
    QFETCH(QStringList, linhas);
    QFETCH(QString, procurado);
    QFETCH(bool, existe);
    QFETCH(qint64, tamanho);
    QCOMPARE(ListagemMostraArquivo(linhas, procurado), existe);
    QCOMPARE(TamanhoNaListagem(linhas, procurado), tamanho);
}

void TstTransporteFtp::pastaDoPerfilAusente()
{
    // Logged in, but the profile folder is missing: the upload goes on in the login folder.
    test::ServidorFtp srv(Contas{{"cune01", "pw"}});
    instala("M4314902", "CUNE", srv);
    criaEnvio("BaseCUNE.xml", "base");
    FtpCliente ftp;
    QVERIFY(EnviaArquivoFtp(ftp, "BaseCUNE.xml", "", m_status));
    QCOMPARE(test::LeArquivo(srv.caminho("BaseCUNE.xml")), QByteArray("base"));
    QCOMPARE(m_linhas.size(), 4);
    QVERIFY(m_linhas.at(0).endsWith(" => Conectando ao servidor ftp..."));
    QVERIFY2(m_linhas.at(1).endsWith(" => Não foi possível estabelecer a conexão com o servidor ftp!"), qPrintable(m_linhas.at(1)));
    QVERIFY(m_linhas.at(2).endsWith(" => Transmitindo arquivo..."));
    QVERIFY(m_linhas.at(3).endsWith(" => Arquivo enviado OK!"));
}

void TstTransporteFtp::destinoQueNaoPodeSerPasta()
{
    // The period folder's name is taken by a file: every attempt fails on the folder, which cannot
    // be created; after the tenth reconnection the upload gives up.
    test::ServidorFtp srv(Contas{{"cune03", "pw"}});
    srv.criaPasta("cune/faturamento");
    test::GravaArquivo(srv.caminho("cune/faturamento/2015_03"), "um arquivo");
    instala("E12", "CUNE", srv);
    criaEnvio("M4314902_ID0000123_E12.xml", "realizacao");
    FtpCliente ftp;
    QVERIFY(!EnviaArquivoFtp(ftp, "M4314902_ID0000123_E12.xml", "F2015_03", m_status));
    QCOMPARE(srv.recebidos(), 0);
    QCOMPARE(m_linhas.size(), 4);
    QVERIFY(m_linhas.at(1).endsWith(" => Transmitindo arquivo..."));
    const QString detalhe = m_linhas.at(2);
    QVERIFY2(detalhe.contains(" => FALHOU:[Dir:F2015_03 - /cune/faturamento]\n550 "), qPrintable(detalhe));
    QVERIFY2(detalhe.endsWith("directory."), qPrintable(detalhe));
    QVERIFY(m_linhas.at(3).endsWith(" => FALHOU!"));
    QCOMPARE(test::LeArquivo(PastaErros() + "M4314902_ID0000123_E12.xml"), QByteArray("realizacao"));
}

void TstTransporteFtp::contasRecusadas()
{
    // Only account 04 exists: a municipality tries 01 to 03 and gives up without a transfer.
    test::ServidorFtp srv(Contas{{"cune04", "pw"}});
    srv.criaPasta("cune/marcacao/profiss00042");
    instala("M4314902", "CUNE", srv);
    criaEnvio("M4314902_ID0000002.xml", "y");
    FtpCliente ftp;
    QVERIFY(!EnviaArquivoFtp(ftp, "M4314902_ID0000002.xml", "P42", m_status));
    QCOMPARE(m_linhas.size(), 3);
    QVERIFY(m_linhas.at(0).endsWith(" => Conectando ao servidor ftp..."));
    QVERIFY(m_linhas.at(1).endsWith(" => Motivo: sem conexão com o servidor ftp"));
    QVERIFY(m_linhas.at(2).endsWith(" => FALHOU!"));
    QCOMPARE(test::LeArquivo(PastaErros() + "M4314902_ID0000002.xml"), QByteArray("y"));
    QVERIFY(QFile::exists(PastaEnvio() + "M4314902_ID0000002.xml"));
    QCOMPARE(srv.recebidos(), 0);
}

void TstTransporteFtp::clienteMorto()
{
    // An upload killed halfway (in a child process) never shows under its own name, not even to
    // the listing masks of the roles; the next upload sends the whole file.
    test::ServidorFtp srv(Contas{{"cune01", "pw"}});
    srv.criaPasta("cune/marcacao/profiss00042");
    instala("M4314902", "CUNE", srv);
    const QString nome = "M4314902_ID0000077.xml";
    const QByteArray dados = padrao(12 << 20); // more than the socket buffers hold
    criaEnvio(nome, dados);
    const QString pasta = srv.caminho("cune/marcacao/profiss00042");
    srv.defineVelocidadeRecepcao(256 << 10);

    QProcess filho;
    QProcessEnvironment amb = QProcessEnvironment::systemEnvironment();
    amb.insert("VX_ENVIO_PASTA", m_pasta->path());
    amb.insert("VX_ENVIO_ARQUIVO", nome);
    amb.insert("VX_ENVIO_DESTINO", "P42");
    filho.setProcessEnvironment(amb);
    filho.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(filho.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!temporarios(pasta).isEmpty() && temporarios(pasta).first() > 0, 20000);
    filho.kill();
    QVERIFY(filho.waitForFinished());
    // The server reads what was already on its way and closes the partial file.
    srv.defineVelocidadeRecepcao(0);
    QTRY_VERIFY_WITH_TIMEOUT(srv.arquivosAbertos().isEmpty(), 20000);
    const QMap<QString, qint64> parciais = temporarios(pasta);
    QCOMPARE(parciais.size(), 1);
    QVERIFY2(parciais.first() < dados.size(), qPrintable(QString::number(parciais.first())));
    QVERIFY(!QFile::exists(pasta + "/" + nome));

    FtpCliente ftp;
    QVERIFY(ConectaFtp(ftp));
    ftp.mudaPasta("marcacao/profiss00042");
    QVERIFY(!ArquivoExisteFtp(ftp, nome));
    for (const char* mascara : {"*.xml", "M*.xml", "okcune M*.xml", "*M4314902*.xml", "*M4314902_ID0000077.xml", "*_E12*.xml"})
        QVERIFY2(ftp.listaNomes(QString::fromLatin1(mascara)).isEmpty(), mascara);

    QVERIFY(EnviaArquivoFtp(ftp, nome, "P42", m_status));
    QVERIFY(test::LeArquivo(pasta + "/" + nome) == dados);
    QCOMPARE(temporarios(pasta).size(), 1); // the killed upload's leftover only
}

void TstTransporteFtp::servidorParado()
{
    // A server that stops reading: the upload gives up within its total time, without more tries.
    test::ServidorFtp srv(Contas{{"cune01", "pw"}});
    srv.criaPasta("cune/marcacao/profiss00042");
    srv.defineVelocidadeRecepcao(-1);
    instala("M4314902", "CUNE", srv, {"FTPTEMPOTOTAL=3", "FTPTEMPOLENTO=1"});
    const QString nome = "M4314902_ID0000078.xml";
    const QByteArray dados = padrao(24 << 20);
    criaEnvio(nome, dados);
    FtpCliente ftp;
    QElapsedTimer t;
    t.start();
    QVERIFY(!EnviaArquivoFtp(ftp, nome, "P42", m_status));
    QVERIFY2(t.elapsed() < 15000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!ftp.interrompido()); // the deadline was the upload's own
    srv.defineVelocidadeRecepcao(0);
    QVERIFY(m_linhas.size() >= 2);
    const QString detalhe = m_linhas.at(m_linhas.size() - 2);
    QVERIFY2(detalhe.contains(" => FALHOU:[Dir:P42 - /cune/marcacao/profiss00042]\n"), qPrintable(detalhe));
    QVERIFY2(detalhe.endsWith("Tempo limite da transferência esgotado"), qPrintable(detalhe));
    QVERIFY(m_linhas.last().endsWith(" => FALHOU!"));
    QVERIFY(!QFile::exists(srv.caminho("cune/marcacao/profiss00042/" + nome)));
    QVERIFY(test::LeArquivo(PastaErros() + nome) == dados);
}

void TstTransporteFtp::copiaVelhaSubstituida_data()
{
    QTest::addColumn<bool>("renomeiaSemSubstituir");
    QTest::newRow("rename replaces") << false;
    QTest::newRow("server refuses to rename over a file") << true;
}

void TstTransporteFtp::copiaVelhaSubstituida()
{
    // A short copy left under the final name is replaced by the whole file.
    QFETCH(bool, renomeiaSemSubstituir);
    test::ServidorFtp srv(Contas{{"cune03", "pw"}});
    srv.criaPasta("cune/faturamento/2015_03");
    srv.defineRenomeiaSemSubstituir(renomeiaSemSubstituir);
    const QString nome = "M4314902_ID0000123_E12.xml";
    const QString remoto = srv.caminho("cune/faturamento/2015_03/" + nome);
    const QByteArray dados = padrao(100000);
    test::GravaArquivo(remoto, dados.left(65536));
    instala("E12", "CUNE", srv);
    criaEnvio(nome, dados);
    FtpCliente ftp;
    QVERIFY(EnviaArquivoFtp(ftp, nome, "F2015_03", m_status));
    QVERIFY(test::LeArquivo(remoto) == dados);
    QCOMPARE(QDir(srv.caminho("cune/faturamento/2015_03")).entryList(QDir::Files | QDir::Hidden), QStringList{nome});
    QCOMPARE(srv.recebidos(), 1);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("VX_ENVIO_PASTA"))
        return enviaComoFilho();
    TstTransporteFtp t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}
#include "tst_transporteftp.moc"
