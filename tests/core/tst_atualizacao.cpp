#include "core/Atualizacao.h"
#include "core/Configuracao.h"
#include "core/Http.h"
#include "core/UVariaveis.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/TransporteFtp.h"
#include "support/Fixtures.h"
#include "support/RoteiroMensagens.h"
#include "support/ServidorFtp.h"
#include "support/ServidorHttp.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

using namespace vx;

namespace {

// A bare zlib stream (qCompress puts the length in front of it).
QByteArray zlib(const QByteArray& dados)
{
    return qCompress(dados).mid(4);
}

QByteArray aleatorio(int tamanho)
{
    QByteArray b(tamanho, Qt::Uninitialized);
    QRandomGenerator gerador(tamanho);
    for (char& c : b)
        c = char(gerador.bounded(256));
    return b;
}

// Version document as the site publishes it (Latin-1).
QByteArray documento(const QString& versao, const QString& link, const QString& obrigMunic, const QString& obrigEntidade)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<atualizacao><cabecalho>"
                          "<versaoAtual>%1</versaoAtual><link>%2</link>"
                          "<mensagemMunic>Novo relatório de cotas.</mensagemMunic><obrigMunic>%3</obrigMunic>"
                          "<mensagemEntidade>Correção no faturamento.</mensagemEntidade><obrigEntidade>%4</obrigEntidade>"
                          "</cabecalho></atualizacao>\r\n")
        .arg(versao, link, obrigMunic, obrigEntidade)
        .toLatin1();
}

QString disponivel(const QString& pacote, const QString& mensagem)
{
    return "HÁ UMA ATUALIZAÇÃO DISPONÍVEL DO SISTEMA QUE PODE SER FEITA DESCOMPACTANDO O ARQUIVO [" + pacote +
           "] QUE SE ENCONTRA NA PASTA DESTE SISTEMA.\n\n" + mensagem;
}

QString automatica()
{
    return "HÁ UMA ATUALIZAÇÃO OBRIGATÓRIA DO SISTEMA!\n\n"
           "TECLE [ENTER] PARA FECHAR O PROGRAMA E INICIAR O PROCESSO AUTOMÁTICO DE ATUALIZAÇÃO!";
}

QString manual(const QString& pacote, const QString& mensagem)
{
    return "HÁ UMA ATUALIZAÇÃO OBRIGATÓRIA DO SISTEMA QUE DEVE SER FEITA DESCOMPACTANDO O ARQUIVO [" + pacote +
           "] QUE SE ENCONTRA NA PASTA DESTE SISTEMA.\n\n"
           "AGORA ESTA PASTA SERÁ ABERTA E O SISTEMA SERÁ FECHADO PARA QUE VOCÊ FAÇA A ATUALIZAÇÃO!\n\n" +
           mensagem;
}

const QString kMunic = QStringLiteral("Novo relatório de cotas.");
const QString kEntidade = QStringLiteral("Correção no faturamento.");

enum class Atualizador { Nenhum, Elf, Script, Truncado };

} // namespace

Q_DECLARE_METATYPE(Atualizador)

class TstAtualizacao : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void siteAtualizacao_data();
    void siteAtualizacao();
    void baixaHttp_data();
    void baixaHttp();
    void verificacao_data();
    void verificacao();
    void falhaPreservaArquivos_data();
    void falhaPreservaArquivos();
    void semDocumento_data();
    void semDocumento();
    void atualizadorSubstituido_data();
    void atualizadorSubstituido();

private:
    void instala(const QString& usuario, const QStringList& extra = {});
    bool verifica();
    QString pasta(const QString& nome = {}) const { return QDir(m_pasta->path()).filePath(nome); }
    QStringList arquivosDaPasta() const { return QDir(m_pasta->path()).entryList(QDir::Files | QDir::Hidden); }

    QByteArray m_true; // a real Linux executable
    std::unique_ptr<QTemporaryDir> m_pasta;
    std::unique_ptr<test::ServidorFtp> m_ftp;
    std::unique_ptr<test::ServidorHttp> m_http;
    std::unique_ptr<test::RoteiroMensagens> m_msgs;
    QStringList m_iniciados, m_abertas;
    int m_encerramentos = 0;
};

void TstAtualizacao::initTestCase()
{
    m_true = test::LeArquivo("/bin/true");
    QVERIFY(m_true.startsWith("\x7f" "ELF"));
}

void TstAtualizacao::init()
{
    m_pasta = std::make_unique<QTemporaryDir>();
    m_ftp = std::make_unique<test::ServidorFtp>(QList<test::ServidorFtp::Conta>{{"cune01", "pw"}, {"cune03", "pw"}});
    QVERIFY2(m_ftp->ativo(), qPrintable(m_ftp->erro()));
    m_ftp->criaPasta("cune");
    m_http = std::make_unique<test::ServidorHttp>();
    QVERIFY2(m_http->ativo(), qPrintable(m_http->erro()));
    m_msgs = std::make_unique<test::RoteiroMensagens>();
    m_iniciados.clear();
    m_abertas.clear();
    m_encerramentos = 0;
    DefineAcoesAtualizacao({[this](const QString& p) { m_iniciados << p; return true; },
                            [this](const QString& p) { m_abertas << p; }, [this] { ++m_encerramentos; }});
}

void TstAtualizacao::cleanup()
{
    DefineAcoesAtualizacao({});
    m_msgs.reset();
    m_http.reset();
    m_ftp.reset();
}

void TstAtualizacao::instala(const QString& usuario, const QStringList& extra)
{
    // The site address without its final "/": the program adds it.
    test::InstalaConfiguracao(m_pasta->path(), QStringList{"USUARIO=" + usuario, "CONSORCIO=CUNE",
                                                           "PORTA=" + QString::number(m_ftp->porta()), "FTPHOST=127.0.0.1",
                                                           "FTPSENHA=pw", "SITEATUALIZACAO=" + m_http->url().chopped(1)} +
                                                   extra);
    CarregaIdentidade();
}

bool TstAtualizacao::verifica()
{
    FtpCliente ftp;
    if (!ConectaFtp(ftp))
        throw std::runtime_error("no FTP connection");
    return VerificaAtualizacao(ftp);
}

void TstAtualizacao::siteAtualizacao_data()
{
    QTest::addColumn<QStringList>("linhas");
    QTest::addColumn<QString>("site");
    QTest::newRow("default") << QStringList{} << "http://www.vornex.com.br/atualizacao/";
    QTest::newRow("blank") << QStringList{"SITEATUALIZACAO=  "} << "http://www.vornex.com.br/atualizacao/";
    QTest::newRow("final slash added") << QStringList{"SITEATUALIZACAO=https://atualiza.org/vx"} << "https://atualiza.org/vx/";
    QTest::newRow("final slash kept") << QStringList{"SITEATUALIZACAO=http://h:8080/a/"} << "http://h:8080/a/";
}

void TstAtualizacao::siteAtualizacao()
{
    QFETCH(QStringList, linhas);
    QFETCH(QString, site);
    test::InstalaConfiguracao(m_pasta->path(), linhas);
    QCOMPARE(Geral::SITEATUALIZACAO(), site);
}

void TstAtualizacao::baixaHttp_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<bool>("ok");
    QTest::newRow("whole file") << "inteiro" << true;
    QTest::newRow("redirect followed") << "desvio" << true;
    QTest::newRow("ftp address") << "ftp" << true;
    QTest::newRow("404") << "404" << false;
    QTest::newRow("redirect to a 404") << "desvio404" << false;
    QTest::newRow("closed before its length") << "cortado" << false;
    QTest::newRow("stalled") << "travado" << false;
    QTest::newRow("server down") << "fora" << false;
}

void TstAtualizacao::baixaHttp()
{
    QFETCH(QString, caso);
    QFETCH(bool, ok);
    const QByteArray dados = aleatorio(300000);
    m_http->grava("d/arquivo.bin", dados);
    test::GravaArquivo(m_ftp->caminho("cune/arquivo.bin"), dados);
    QString url = m_http->url("d/arquivo.bin");
    if (caso == "desvio" || caso == "desvio404") {
        m_http->desvia("/d/velho.bin", caso == "desvio" ? "/d/arquivo.bin" : "/d/ausente.bin");
        url = m_http->url("d/velho.bin");
    } else if (caso == "ftp") {
        url = QStringLiteral("ftp://cune01:pw@127.0.0.1:%1/cune/arquivo.bin").arg(m_ftp->porta());
    } else if (caso == "404") {
        url = m_http->url("d/ausente.bin");
    } else if (caso == "cortado") {
        m_http->corta("/d/arquivo.bin", 100000);
    } else if (caso == "travado") {
        m_http->trava("/d/arquivo.bin", 100000);
    } else if (caso == "fora") {
        m_http->para();
    }
    const QString destino = pasta("baixado.bin");
    test::GravaArquivo(destino, "anterior");
    QString erro;
    QElapsedTimer t;
    t.start();
    QCOMPARE(BaixaHttp(url, destino, &erro, 1), ok);
    QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(erro.isEmpty(), ok);
    QVERIFY(test::LeArquivo(destino) == (ok ? dados : QByteArray("anterior")));
    QCOMPARE(arquivosDaPasta(), QStringList{"baixado.bin"});
}

void TstAtualizacao::verificacao_data()
{
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("versao");
    QTest::addColumn<QString>("obrigMunic");
    QTest::addColumn<QString>("obrigEntidade");
    QTest::addColumn<Atualizador>("atualizador"); // on the FTP server
    QTest::addColumn<QString>("mensagem");        // empty: no message, no package
    QTest::addColumn<bool>("iniciado");
    QTest::addColumn<bool>("aberta");
    const QString p29 = "ATUALIZACAO 2_29.ZIP";
    QTest::newRow("same version") << "M4314902" << "2.28" << "S" << "S" << Atualizador::Elf << "" << false << false;
    QTest::newRow("10.00 is not greater as text") << "E12" << "10.00" << "S" << "S" << Atualizador::Elf << "" << false << false;
    QTest::newRow("2.3 is greater as text") << "E12" << "2.3" << "N" << "N" << Atualizador::Nenhum
                                            << disponivel("ATUALIZACAO 2_3.ZIP", kEntidade) << false << false;
    QTest::newRow("optional for the municipality") << "M4314902" << "2.29" << "N" << "S" << Atualizador::Elf
                                                   << disponivel(p29, kMunic) << false << false;
    QTest::newRow("lower-case s is not mandatory") << "E12" << "2.29" << "S" << "s" << Atualizador::Elf
                                                   << disponivel(p29, kEntidade) << false << false;
    QTest::newRow("consortium reads the entity flags") << "C1" << "2.29" << "S" << "N" << Atualizador::Nenhum
                                                       << disponivel(p29, kEntidade) << false << false;
    QTest::newRow("mandatory with updater") << "E12" << "2.29" << "N" << "S" << Atualizador::Elf << automatica() << true << false;
    QTest::newRow("mandatory without updater") << "M4314902" << "2.29" << "S" << "N" << Atualizador::Nenhum
                                               << manual(p29, kMunic) << false << true;
    QTest::newRow("updater for another system") << "P77" << "2.29" << "N" << "S" << Atualizador::Script
                                                << manual(p29, kEntidade) << false << true;
    QTest::newRow("truncated updater") << "E12" << "2.29" << "N" << "S" << Atualizador::Truncado
                                       << manual(p29, kEntidade) << false << true;
}

void TstAtualizacao::verificacao()
{
    QFETCH(QString, usuario);
    QFETCH(QString, versao);
    QFETCH(QString, obrigMunic);
    QFETCH(QString, obrigEntidade);
    QFETCH(Atualizador, atualizador);
    QFETCH(QString, mensagem);
    QFETCH(bool, iniciado);
    QFETCH(bool, aberta);
    const QByteArray pacote = aleatorio(200000);
    m_http->grava("pacotes/vx.zip", pacote);
    m_http->grava("CUNE/versao.xml", documento(versao, m_http->url("pacotes/vx.zip"), obrigMunic, obrigEntidade));
    const QByteArray compactado = atualizador == Atualizador::Script ? zlib("#!/bin/sh\nexit 0\n") : zlib(m_true);
    if (atualizador != Atualizador::Nenhum)
        test::GravaArquivo(m_ftp->caminho("cune/AtualizaSistema.zlib"),
              atualizador == Atualizador::Truncado ? compactado.left(compactado.size() / 2) : compactado);
    instala(usuario);

    const bool fecha = iniciado || aberta;
    QCOMPARE(verifica(), !fecha);
    const QString nomePacote = NomePacoteAtualizacao(versao);
    QCOMPARE(QFile::exists(pasta(nomePacote)), !mensagem.isEmpty());
    if (!mensagem.isEmpty()) {
        QVERIFY(test::LeArquivo(pasta(nomePacote)) == pacote);
        QCOMPARE(m_msgs->quantidade(), 1);
        QCOMPARE(m_msgs->ultima().titulo, QStringLiteral("Atualização"));
        QCOMPARE(m_msgs->ultima().icone, IconeMsg::Aviso);
        QCOMPARE(m_msgs->ultima().texto, mensagem);
    } else {
        QCOMPARE(m_msgs->quantidade(), 0);
    }
    QCOMPARE(m_iniciados, iniciado ? QStringList{pasta("AtualizaSistema")} : QStringList{});
    QCOMPARE(m_abertas, aberta ? QStringList{m_pasta->path()} : QStringList{});
    QCOMPARE(m_encerramentos, fecha ? 1 : 0);
    if (atualizador == Atualizador::Elf) {
        QVERIFY(test::LeArquivo(pasta("AtualizaSistema")) == m_true);
        QVERIFY(QFileInfo(pasta("AtualizaSistema")).isExecutable());
    } else {
        QVERIFY(!QFile::exists(pasta("AtualizaSistema")));
    }
    QCOMPARE(QFile::exists(pasta("AtualizaSistema.zlib")), atualizador != Atualizador::Nenhum);
    QVERIFY(!QFile::exists(pasta("AtualizaSistema.zlib.part")));
}

void TstAtualizacao::falhaPreservaArquivos_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<bool>("documentoNovo"); // versao.xml was downloaded
    QTest::newRow("package cut short") << "cortado" << true;
    QTest::newRow("package stalled") << "travado" << true;
    QTest::newRow("package 404") << "404" << true;
    QTest::newRow("package redirected to a 404") << "desvio404" << true;
    QTest::newRow("version document 404") << "sem documento" << false;
    QTest::newRow("site down") << "fora" << false;
}

void TstAtualizacao::falhaPreservaArquivos()
{
    QFETCH(QString, caso);
    QFETCH(bool, documentoNovo);
    const QByteArray velho = documento("2.29", m_http->url("pacotes/ausente.zip"), "N", "N");
    const QByteArray novo = documento("2.29", m_http->url(caso == "404" ? "pacotes/outro.zip" : "pacotes/vx.zip"), "N", "N");
    m_http->grava("pacotes/vx.zip", aleatorio(300000));
    if (caso != "sem documento")
        m_http->grava("CUNE/versao.xml", novo);
    if (caso == "cortado")
        m_http->corta("/pacotes/vx.zip", 1000);
    else if (caso == "travado")
        m_http->trava("/pacotes/vx.zip", 1000);
    else if (caso == "desvio404")
        m_http->desvia("/pacotes/vx.zip", "/pacotes/ausente.zip");
    else if (caso == "fora")
        m_http->para();
    instala("M4314902", {"FTPTEMPOLENTO=1"});
    test::GravaArquivo(pasta("AtualizaSistema"), "atualizador anterior");
    test::GravaArquivo(pasta("versao.xml"), velho);
    test::GravaArquivo(pasta("ATUALIZACAO 2_29.ZIP"), "pacote anterior");

    QElapsedTimer t;
    t.start();
    QVERIFY(verifica());
    QVERIFY2(t.elapsed() < 15000, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(m_msgs->textos(), QStringList{disponivel("ATUALIZACAO 2_29.ZIP", kMunic)});
    QCOMPARE(test::LeArquivo(pasta("AtualizaSistema")), QByteArray("atualizador anterior"));
    QCOMPARE(test::LeArquivo(pasta("versao.xml")), documentoNovo ? novo : velho);
    QCOMPARE(test::LeArquivo(pasta("ATUALIZACAO 2_29.ZIP")), QByteArray("pacote anterior"));
    QCOMPARE(arquivosDaPasta(), (QStringList{"ATUALIZACAO 2_29.ZIP", "AtualizaSistema", "versao.xml", "vornex.conf"}));
}

void TstAtualizacao::semDocumento_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QString>("erro");
    QTest::newRow("404") << "404" << "Não foi possível obter o arquivo de versão do sistema [versao.xml]: ";
    QTest::newRow("site down") << "fora" << "Não foi possível obter o arquivo de versão do sistema [versao.xml]: ";
    QTest::newRow("not XML") << "ilegivel" << "O arquivo de versão do sistema [versao.xml] não pôde ser lido: ";
    QTest::newRow("empty") << "vazio" << "O arquivo de versão do sistema [versao.xml] não pôde ser lido: ";
}

void TstAtualizacao::semDocumento()
{
    QFETCH(QString, caso);
    QFETCH(QString, erro);
    if (caso == "ilegivel")
        m_http->grava("CUNE/versao.xml", "<html><body>Manutenção<br></body></html>");
    else if (caso == "vazio")
        m_http->grava("CUNE/versao.xml", "");
    else if (caso == "fora")
        m_http->para();
    test::GravaArquivo(m_ftp->caminho("cune/AtualizaSistema.zlib"), zlib(m_true));
    instala("E12");
    try {
        verifica();
        QFAIL("no error");
    } catch (const ErroAtualizacao& e) {
        QVERIFY2(e.texto().startsWith(erro), qPrintable(e.texto()));
        QCOMPARE(QString::fromUtf8(e.what()), e.texto());
    }
    QCOMPARE(m_msgs->quantidade(), 0);
    QVERIFY(m_iniciados.isEmpty() && m_abertas.isEmpty() && m_encerramentos == 0);
    // The updater was still fetched.
    QVERIFY(test::LeArquivo(pasta("AtualizaSistema")) == m_true);
}

void TstAtualizacao::atualizadorSubstituido_data()
{
    QTest::addColumn<QByteArray>("local");
    QTest::addColumn<QByteArray>("remoto"); // empty: none on the server
    const QByteArray novo = zlib(m_true);
    QByteArray estragado = novo;
    estragado[estragado.size() / 2] = char(~estragado.at(estragado.size() / 2));
    QTest::newRow("older and smaller") << zlib("\x7f" "ELF velho") << novo;
    QTest::newRow("older and larger") << zlib(aleatorio(novo.size() * 2)) << novo;
    QTest::newRow("same size, other bytes") << estragado << novo;
    QTest::newRow("none on the server") << novo << QByteArray();
}

void TstAtualizacao::atualizadorSubstituido()
{
    QFETCH(QByteArray, local);
    QFETCH(QByteArray, remoto);
    if (!remoto.isEmpty())
        test::GravaArquivo(m_ftp->caminho("cune/AtualizaSistema.zlib"), remoto);
    m_http->grava("CUNE/versao.xml", documento("2.28", {}, "S", "S"));
    instala("E12");
    test::GravaArquivo(pasta("AtualizaSistema.zlib"), local);
    QVERIFY(verifica());
    QVERIFY(test::LeArquivo(pasta("AtualizaSistema.zlib")) == (remoto.isEmpty() ? local : remoto));
    QVERIFY(test::LeArquivo(pasta("AtualizaSistema")) == m_true);
    QCOMPARE(arquivosDaPasta(), (QStringList{"AtualizaSistema", "AtualizaSistema.zlib", "versao.xml", "vornex.conf"}));
}

QTEST_GUILESS_MAIN(TstAtualizacao)
#include "tst_atualizacao.moc"
