#include "exchange/ftp/FtpCliente.h"
#include "support/ServidorFtp.h"

#include <QTcpServer>
#include <QtTest>

#include <curl/curl.h>

using namespace vx;

class TstFtpCliente : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void loginRecusado();
    void servidorAusenteNaoTrava();
    void pastas();
    void pastaInexistente();
    void listaNomes_data();
    void listaNomes();
    void enviaRecebeComEspacos();
    void recebeContinuando();
    void anexa();
    void tamanho();
    void usoDuranteTransferenciaRecusado();
    void interrompe_data();
    void interrompe();

private:
    QString arquivoLocal(const QByteArray& conteudo);
    std::unique_ptr<test::ServidorFtp> m_srv;
    std::unique_ptr<FtpCliente> m_ftp;
    QTemporaryDir m_tmp;
    int m_n = 0;
};

QString TstFtpCliente::arquivoLocal(const QByteArray& conteudo)
{
    const QString p = m_tmp.filePath(QStringLiteral("local%1").arg(++m_n));
    QFile f(p);
    f.open(QIODevice::WriteOnly);
    f.write(conteudo);
    return p;
}

static QByteArray conteudo(const QString& p)
{
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ausente>");
}

void TstFtpCliente::initTestCase()
{
    m_srv = std::make_unique<test::ServidorFtp>();
    QVERIFY2(m_srv->ativo(), qPrintable(m_srv->erro()));
    m_ftp = std::make_unique<FtpCliente>();
    m_ftp->conecta(QStringLiteral("127.0.0.1"), m_srv->porta(), QStringLiteral("vx"), QStringLiteral("vx"));
    QVERIFY(m_ftp->conectado());
    QCOMPARE(m_ftp->pastaAtual(), QStringLiteral("/"));
}

void TstFtpCliente::loginRecusado()
{
    FtpCliente c;
    try {
        c.conecta(QStringLiteral("127.0.0.1"), m_srv->porta(), QStringLiteral("vx"), QStringLiteral("errada"));
        QFAIL("login accepted");
    } catch (const ErroFtp& e) {
        QCOMPARE(e.codigoResposta(), 530);
    }
    QVERIFY(!c.conectado());
    QVERIFY_THROWS_EXCEPTION(ErroFtp, c.listaNomes());
}

void TstFtpCliente::servidorAusenteNaoTrava()
{
    // A port nobody listens on: the failure comes back at once with curl's own text.
    QTcpServer s;
    s.listen(QHostAddress::LocalHost);
    const quint16 porta = s.serverPort();
    s.close();
    FtpCliente c;
    c.defineTempoConexao(2);
    QElapsedTimer t;
    t.start();
    QVERIFY_THROWS_EXCEPTION(ErroFtp, c.conecta(QStringLiteral("127.0.0.1"), porta, QStringLiteral("vx"), QStringLiteral("vx")));
    QVERIFY(t.elapsed() < 5000);
    QVERIFY(!c.conectado());
}

void TstFtpCliente::pastas()
{
    m_ftp->mudaPasta(QStringLiteral("/"));
    m_ftp->criaPasta(QStringLiteral("cune"));
    m_ftp->mudaPasta(QStringLiteral("cune"));
    m_ftp->criaPasta(QStringLiteral("pasta com espaço"));
    m_ftp->mudaPasta(QStringLiteral("pasta com espaço"));
    QCOMPARE(m_ftp->pastaAtual(), QStringLiteral("/cune/pasta com espaço"));
    QVERIFY(QFileInfo(m_srv->caminho(QStringLiteral("cune/pasta com espaço"))).isDir());
    QVERIFY(m_ftp->url(QStringLiteral("a b.xml")).endsWith(QStringLiteral("/cune/pasta%20com%20espa%C3%A7o/a%20b.xml")));
    m_ftp->sobePasta();
    QCOMPARE(m_ftp->pastaAtual(), QStringLiteral("/cune"));
    m_ftp->removePasta(QStringLiteral("pasta com espaço"));
    QVERIFY(!QFileInfo::exists(m_srv->caminho(QStringLiteral("cune/pasta com espaço"))));
    // Making an existing folder fails with the server's text.
    QVERIFY_THROWS_EXCEPTION(ErroFtp, m_ftp->criaPasta(QStringLiteral("/cune")));
}

void TstFtpCliente::pastaInexistente()
{
    m_srv->criaPasta(QStringLiteral("cune"));
    m_ftp->mudaPasta(QStringLiteral("/cune"));
    try {
        m_ftp->mudaPasta(QStringLiteral("faltando"));
        QFAIL("changed into a missing folder");
    } catch (const ErroFtp& e) {
        // Callers look for the server's word, not curl's message.
        QVERIFY2(e.texto().contains(QLatin1String("directory")), qPrintable(e.texto()));
        QCOMPARE(e.codigoResposta(), 550);
    }
    QCOMPARE(m_ftp->pastaAtual(), QStringLiteral("/cune"));
    QVERIFY(m_ftp->ultimaResposta().startsWith(QLatin1String("550")));
}

void TstFtpCliente::listaNomes_data()
{
    QTest::addColumn<QStringList>("arquivos");
    QTest::addColumn<QString>("mascara");
    QTest::addColumn<QStringList>("esperado");
    const QStringList varios{"a.XML", "b.xml", "c.txt", "okcune d.xml", "xml"};
    QTest::newRow("empty folder") << QStringList() << "*.xml" << QStringList();
    QTest::newRow("empty folder, 550 reply") << QStringList() << "*.xml" << QStringList();
    QTest::newRow("mask ignores case") << varios << "*.xml" << QStringList{"a.XML", "b.xml", "okcune d.xml"};
    QTest::newRow("all") << varios << "*" << varios;
    QTest::newRow("prefix with blank") << varios << "okcune *" << QStringList{"okcune d.xml"};
    QTest::newRow("question mark") << varios << "?.txt" << QStringList{"c.txt"};
    QTest::newRow("no match") << varios << "*.zlib" << QStringList();
}

void TstFtpCliente::listaNomes()
{
    QFETCH(QStringList, arquivos);
    QFETCH(QString, mascara);
    QFETCH(QStringList, esperado);
    const QString pasta = QStringLiteral("lista/") + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'));
    m_srv->criaPasta(pasta);
    for (const QString& a : arquivos) {
        QFile f(m_srv->caminho(pasta + QLatin1Char('/') + a));
        f.open(QIODevice::WriteOnly);
        f.write("x");
    }
    m_ftp->mudaPasta(QLatin1Char('/') + pasta);
    m_srv->defineListaVazia550(QByteArray(QTest::currentDataTag()).contains("550"));
    QStringList r = m_ftp->listaNomes(mascara);
    if (QByteArray(QTest::currentDataTag()).contains("550"))
        QVERIFY2(m_ftp->ultimaResposta().startsWith(QLatin1String("550")), qPrintable(m_ftp->ultimaResposta()));
    m_srv->defineListaVazia550(false);
    r.sort();
    esperado.sort();
    QCOMPARE(r, esperado);
}

void TstFtpCliente::enviaRecebeComEspacos()
{
    m_srv->criaPasta(QStringLiteral("troca"));
    m_ftp->mudaPasta(QStringLiteral("/troca"));
    const QByteArray dados = QByteArray("<?xml version=\"1.0\"?>\r\n") + QByteArray(5000, 'z');
    m_ftp->envia(arquivoLocal(dados), QStringLiteral("M4314902_ID0000001.xml"));
    m_ftp->renomeia(QStringLiteral("M4314902_ID0000001.xml"), QStringLiteral("okch M4314902_ID0000001.xml"));
    QCOMPARE(conteudo(m_srv->caminho(QStringLiteral("troca/okch M4314902_ID0000001.xml"))), dados);
    // Store replaces a file of the same name.
    m_ftp->envia(arquivoLocal("novo"), QStringLiteral("okch M4314902_ID0000001.xml"));
    const QString destino = m_tmp.filePath(QStringLiteral("recebido.xml"));
    m_ftp->recebe(QStringLiteral("okch M4314902_ID0000001.xml"), destino);
    QCOMPARE(conteudo(destino), QByteArray("novo"));
    m_ftp->apaga(QStringLiteral("okch M4314902_ID0000001.xml"));
    QVERIFY(m_ftp->listaNomes().isEmpty());
    // A missing remote file leaves no empty local file behind.
    const QString nada = m_tmp.filePath(QStringLiteral("nada.xml"));
    QVERIFY_THROWS_EXCEPTION(ErroFtp, m_ftp->recebe(QStringLiteral("nada.xml"), nada));
    QVERIFY(!QFile::exists(nada));
}

void TstFtpCliente::recebeContinuando()
{
    m_srv->criaPasta(QStringLiteral("retoma"));
    QByteArray dados;
    for (int i = 0; i < 20000; ++i)
        dados += char('a' + i % 26);
    {
        QFile f(m_srv->caminho(QStringLiteral("retoma/AtualizaSistema.zlib")));
        f.open(QIODevice::WriteOnly);
        f.write(dados);
    }
    const QString local = arquivoLocal(dados.left(7000));
    m_ftp->mudaPasta(QStringLiteral("/retoma"));
    m_ftp->recebe(QStringLiteral("AtualizaSistema.zlib"), local, true);
    QCOMPARE(conteudo(local), dados);
    // Without resuming the local file is rewritten.
    const QString outro = arquivoLocal("lixo que sobra");
    m_ftp->recebe(QStringLiteral("AtualizaSistema.zlib"), outro, false);
    QCOMPARE(conteudo(outro), dados);
}

void TstFtpCliente::anexa()
{
    m_srv->criaPasta(QStringLiteral("anexo"));
    m_ftp->mudaPasta(QStringLiteral("/anexo"));
    m_ftp->envia(arquivoLocal("linha 1\r\n"), QStringLiteral("acessos.txt"), true); // creates
    m_ftp->envia(arquivoLocal("linha 2\r\n"), QStringLiteral("acessos.txt"), true);
    QCOMPARE(conteudo(m_srv->caminho(QStringLiteral("anexo/acessos.txt"))), QByteArray("linha 1\r\nlinha 2\r\n"));
}

void TstFtpCliente::tamanho()
{
    m_srv->criaPasta(QStringLiteral("tam"));
    QFile f(m_srv->caminho(QStringLiteral("tam/um arquivo.xml")));
    f.open(QIODevice::WriteOnly);
    f.write("12345");
    f.close();
    QFile(m_srv->caminho(QStringLiteral("tam/vazio.xml"))).open(QIODevice::WriteOnly);
    m_ftp->mudaPasta(QStringLiteral("/tam"));
    QCOMPARE(m_ftp->tamanho(QStringLiteral("um arquivo.xml")), 5);
    QCOMPARE(m_ftp->tamanho(QStringLiteral("vazio.xml")), 0);
    QCOMPARE(m_ftp->tamanho(QStringLiteral("outro.xml")), -1);
}

void TstFtpCliente::usoDuranteTransferenciaRecusado()
{
    // A window event handled during a transfer must not disturb it.
    m_srv->criaPasta(QStringLiteral("reentra"));
    m_ftp->mudaPasta(QStringLiteral("/reentra"));
    int recusas = 0;
    m_ftp->defineProgresso([&](qint64, qint64) {
        try {
            m_ftp->listaNomes();
        } catch (const ErroFtp&) {
            ++recusas;
        }
    });
    const QByteArray dados(300000, 'q');
    m_ftp->envia(arquivoLocal(dados), QStringLiteral("grande.bin"));
    m_ftp->defineProgresso({});
    QVERIFY(recusas > 0);
    QCOMPARE(conteudo(m_srv->caminho(QStringLiteral("reentra/grande.bin"))), dados);
    QCOMPARE(m_ftp->listaNomes(), QStringList{QStringLiteral("grande.bin")});
}

void TstFtpCliente::interrompe_data()
{
    QTest::addColumn<QString>("modo");
    QTest::addColumn<int>("codigoCurl");
    QTest::addColumn<QString>("texto"); // start of the error text; empty: curl's own
    // A server that stops reading: the low-speed limit ends the transfer.
    QTest::newRow("stalled transfer") << "lento" << int(CURLE_OPERATION_TIMEDOUT) << "";
    QTest::newRow("deadline") << "prazo" << int(CURLE_OPERATION_TIMEDOUT) << "Tempo limite da transferência esgotado";
    QTest::newRow("cancelled during the transfer") << "cancela" << int(CURLE_ABORTED_BY_CALLBACK)
                                                   << "Transferência cancelada pelo usuário";
}

void TstFtpCliente::interrompe()
{
    QFETCH(QString, modo);
    QFETCH(int, codigoCurl);
    QFETCH(QString, texto);
    m_srv->criaPasta(QStringLiteral("parado"));
    m_ftp->mudaPasta(QStringLiteral("/parado"));
    // Larger than what the socket buffers of both sides take in.
    const QString local = arquivoLocal(QByteArray(24 << 20, 'p'));
    m_srv->defineVelocidadeRecepcao(-1);
    FtpCliente c;
    c.conecta(QStringLiteral("127.0.0.1"), m_srv->porta(), QStringLiteral("vx"), QStringLiteral("vx"));
    c.mudaPasta(QStringLiteral("/parado"));
    c.defineTempoLento(modo == QLatin1String("lento") ? 1 : 60);
    if (modo == QLatin1String("prazo"))
        c.definePrazo(QDeadlineTimer(1000));
    if (modo == QLatin1String("cancela"))
        c.defineProgresso([&](qint64 feito, qint64) {
            if (feito > 0)
                c.cancela();
        });
    QElapsedTimer t;
    t.start();
    try {
        c.envia(local, QStringLiteral("grande.bin"));
        QFAIL("the upload did not stop");
    } catch (const ErroFtp& e) {
        QCOMPARE(e.codigoCurl(), codigoCurl);
        if (!texto.isEmpty())
            QCOMPARE(e.texto(), texto);
    }
    QVERIFY2(t.elapsed() < 15000, qPrintable(QString::number(t.elapsed())));
    m_srv->defineVelocidadeRecepcao(0);
    // Interrupted: every later call fails at once, until the client is let go again.
    if (modo != QLatin1String("lento")) {
        QVERIFY(c.interrompido());
        try {
            c.listaNomes();
            QFAIL("listing ran on an interrupted client");
        } catch (const ErroFtp& e) {
            QCOMPARE(e.codigoCurl(), codigoCurl);
        }
        c.definePrazo(QDeadlineTimer(QDeadlineTimer::Forever));
        c.retomaCancelado();
        c.defineProgresso({});
    }
    QVERIFY(!c.interrompido());
    // The dropped connection is opened again by the next call.
    c.envia(arquivoLocal("depois"), QStringLiteral("depois.txt"));
    QCOMPARE(conteudo(m_srv->caminho(QStringLiteral("parado/depois.txt"))), QByteArray("depois"));
    QVERIFY(c.listaNomes().contains(QStringLiteral("depois.txt")));
}

QTEST_GUILESS_MAIN(TstFtpCliente)
#include "tst_ftpcliente.moc"
