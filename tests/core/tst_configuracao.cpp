#include "core/Configuracao.h"
#include "core/UVariaveis.h"

#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <sys/fsuid.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace vx;

namespace {

QByteArray le(const QString& f)
{
    QFile a(f);
    a.open(QIODevice::ReadOnly);
    return a.readAll();
}

void grava(const QString& f, const QByteArray& b)
{
    QFile a(f);
    a.open(QIODevice::WriteOnly | QIODevice::Truncate);
    a.write(b);
}

// What the SNTP responder sends back.
enum class Resposta {
    Correta,          // version 4, mode 4, stratum 2, our time stamp echoed
    CorretaV3,        // the same as version 3
    ModoCliente,      // mode 3
    ModoDifusao,      // mode 5
    Versao2,
    OrigemErrada,     // originate time stamp not ours
    EstratoZero,      // kiss-o'-death
    Estrato16,        // unsynchronised
    TransmissaoZero,  // no transmit time stamp
    Curta,            // 40 bytes
    OutraPorta,       // a correct reply from another port
};

// A one-shot SNTP responder on 127.0.0.1: answers the first request with `respostas` in order,
// all carrying the time `hora`; an empty list stays silent.
class ResponderNtp {
public:
    explicit ResponderNtp(const QDateTime& hora, const QList<int>& respostas = {int(Resposta::Correta)})
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t l = sizeof a;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &l);
        m_porta = ntohs(a.sin_port);
        timeval tv{3, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        m_t = std::thread([this, hora, respostas] {
            unsigned char pedido[48];
            sockaddr_in de{};
            socklen_t dl = sizeof de;
            if (::recvfrom(m_fd, pedido, sizeof pedido, 0, reinterpret_cast<sockaddr*>(&de), &dl) < 48)
                return;
            const quint64 seg = quint64(hora.toSecsSinceEpoch()) + 2208988800ULL;
            for (int tipo : respostas) {
                const auto t = Resposta(tipo);
                unsigned char r[48] = {};
                const int versao = t == Resposta::CorretaV3 ? 3 : t == Resposta::Versao2 ? 2 : 4;
                const int modo = t == Resposta::ModoCliente ? 3 : t == Resposta::ModoDifusao ? 5 : 4;
                r[0] = static_cast<unsigned char>((versao << 3) | modo);
                r[1] = t == Resposta::EstratoZero ? 0 : t == Resposta::Estrato16 ? 16 : 2;
                std::memcpy(r + 24, pedido + 40, 8); // originate = the request's transmit time stamp
                if (t == Resposta::OrigemErrada)
                    r[31] ^= 0x5A;
                if (t != Resposta::TransmissaoZero)
                    for (int i = 0; i < 4; ++i)
                        r[40 + i] = static_cast<unsigned char>(seg >> (24 - 8 * i));
                int fd = m_fd;
                if (t == Resposta::OutraPorta) {
                    fd = ::socket(AF_INET, SOCK_DGRAM, 0);
                    sockaddr_in b{};
                    b.sin_family = AF_INET;
                    b.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                    ::bind(fd, reinterpret_cast<sockaddr*>(&b), sizeof b);
                }
                ::sendto(fd, r, t == Resposta::Curta ? 40 : sizeof r, 0, reinterpret_cast<sockaddr*>(&de), dl);
                if (fd != m_fd)
                    ::close(fd);
            }
        });
    }
    ~ResponderNtp()
    {
        m_t.join();
        ::close(m_fd);
    }
    quint16 porta() const { return m_porta; }
    QString servidor() const { return QStringLiteral("127.0.0.1:%1").arg(m_porta); }

private:
    int m_fd = -1;
    quint16 m_porta = 0;
    std::thread m_t;
};

// Runs the rest of the scope under another file-system user when the tests run as root, so
// that file permissions apply (root's file capabilities are dropped with it).
class SemSerRoot {
public:
    SemSerRoot() : m_root(::geteuid() == 0)
    {
        if (m_root)
            ::setfsuid(65534);
    }
    ~SemSerRoot()
    {
        if (m_root)
            ::setfsuid(0);
    }

private:
    bool m_root;
};

const QFileDevice::Permissions kPastaAberta = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                              QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther;

} // namespace

class TstConfiguracao : public QObject {
    Q_OBJECT
private slots:
    void padroes();
    void nomesSemCaixa();
    void gravaCepSoNaSuaLinha_data();
    void gravaCepSoNaSuaLinha();
    void papeis_data();
    void papeis();
    void perfis_data();
    void perfis();
    void dataDeTrabalho_data();
    void dataDeTrabalho();
    void semRespostaUsaRelogioLocal();
    void leituraImpossivel_data();
    void leituraImpossivel();
    void gravacaoImpossivel_data();
    void gravacaoImpossivel();
    void quebraDeLinhaRecusada_data();
    void quebraDeLinhaRecusada();
    void formatosLidos_data();
    void formatosLidos();
    void bancoRelativoAPasta_data();
    void bancoRelativoAPasta();
    void respostaDoServidorNtp_data();
    void respostaDoServidorNtp();
    void nomeDoServidorNtp_data();
    void nomeDoServidorNtp();
};

void TstConfiguracao::padroes()
{
    QTemporaryDir d;
    DefinePastaInstalacao(d.path());
    CarregaConfiguracao();
    QCOMPARE(Geral::DATABASE(), QString());
    QCOMPARE(Geral::NTP(), QString::fromLatin1(kNtpPadrao));
    QCOMPARE(Geral::ATIVARFTP(), true);
    QCOMPARE(Geral::PORTA(), 21);
    QCOMPARE(Geral::CEP(), QString());
    QCOMPARE(CaminhoInstalacao("arquivosxml/env"), QDir(d.path()).filePath("arquivosxml/env"));
}

void TstConfiguracao::nomesSemCaixa()
{
    QTemporaryDir d;
    grava(d.filePath("vornex.conf"), "; comment\r\n[geral]\r\nDataBase = /x/y.fdb \r\nativarftp=False\r\n"
                                     "Porta=2121\r\nconsorcio=Consorcio CUNE, Regional\r\nLOGO=C:\\imgs\\logo.jpg\r\n");
    DefinePastaInstalacao(d.path());
    CarregaConfiguracao();
    QCOMPARE(Geral::DATABASE(), QString("/x/y.fdb"));
    QCOMPARE(Geral::ATIVARFTP(), false);
    QCOMPARE(Geral::PORTA(), 2121);
    // Commas and backslashes are kept as written.
    QCOMPARE(Geral::CONSORCIO(), QString("Consorcio CUNE, Regional"));
    QCOMPARE(Geral::LOGO(), QString("C:\\imgs\\logo.jpg"));
    QCOMPARE(Ini().le("Geral", "ntp", "padrao"), QString("padrao"));
}

void TstConfiguracao::gravaCepSoNaSuaLinha_data()
{
    QTest::addColumn<QByteArray>("antes");
    QTest::addColumn<QByteArray>("depois");
    QTest::newRow("crlf latin1") << QByteArray("; Configura\xe7\xe3o\r\n[GERAL]\r\nUSUARIO=M4314902\r\ncep=90000000\r\n"
                                               "CIDADE=S\xe3o Jos\xe9\r\n\r\n[OUTRA]\r\nCEP=1\r\n")
                                 << QByteArray("; Configura\xe7\xe3o\r\n[GERAL]\r\nUSUARIO=M4314902\r\ncep=95555000\r\n"
                                               "CIDADE=S\xe3o Jos\xe9\r\n\r\n[OUTRA]\r\nCEP=1\r\n");
    QTest::newRow("lf no final newline") << QByteArray("[GERAL]\nCEP=1\nUF=RS")
                                         << QByteArray("[GERAL]\nCEP=95555000\nUF=RS");
    QTest::newRow("missing key") << QByteArray("[GERAL]\r\nUF=RS\r\n\r\n[X]\r\nA=1\r\n")
                                 << QByteArray("[GERAL]\r\nUF=RS\r\nCEP=95555000\r\n\r\n[X]\r\nA=1\r\n");
    QTest::newRow("missing file") << QByteArray() << QByteArray("[GERAL]\r\nCEP=95555000\r\n");
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF[GERAL]\r\nCIDADE=S\xC3\xA3o\r\nCEP=1\r\n")
                               << QByteArray("\xEF\xBB\xBF[GERAL]\r\nCIDADE=S\xC3\xA3o\r\nCEP=95555000\r\n");
    QTest::newRow("cr only") << QByteArray("[GERAL]\rCEP=1\rUF=RS\r") << QByteArray("[GERAL]\rCEP=95555000\rUF=RS\r");
    QTest::newRow("quoted value") << QByteArray("[GERAL]\nCEP=\"1\"\n") << QByteArray("[GERAL]\nCEP=95555000\n");
}

void TstConfiguracao::gravaCepSoNaSuaLinha()
{
    QFETCH(QByteArray, antes);
    QFETCH(QByteArray, depois);
    QTemporaryDir d;
    if (!antes.isEmpty())
        grava(d.filePath("vornex.conf"), antes);
    DefinePastaInstalacao(d.path());
    CarregaConfiguracao();
    Ini().escreve("GERAL", "CEP", "95555000");
    QCOMPARE(le(d.filePath("vornex.conf")), depois);
    CarregaConfiguracao();
    QCOMPARE(Geral::CEP(), QString("95555000"));
}

void TstConfiguracao::papeis_data()
{
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("papel");
    QTest::addColumn<QString>("codigo");
    QTest::newRow("municipio minusculo") << "m4314902" << "M" << "4314902";
    QTest::newRow("entidade") << "E12" << "E" << "12";
    QTest::newRow("profissional longo") << "P123456789" << "P" << "1234567";
    QTest::newRow("consorcio") << "cune" << "C" << "UNE";
    QTest::newRow("vazio") << "" << "" << "";
}

void TstConfiguracao::papeis()
{
    QFETCH(QString, usuario);
    QFETCH(QString, papel);
    QFETCH(QString, codigo);
    QTemporaryDir d;
    grava(d.filePath("vornex.conf"), "[GERAL]\r\nUSUARIO=" + usuario.toLatin1() + "\r\n");
    DefinePastaInstalacao(d.path());
    CarregaConfiguracao();
    CarregaIdentidade();
    QCOMPARE(SessaoAtual().UsuarioInstalacao, usuario.toUpper());
    QCOMPARE(PapelInstalacao().isNull() ? QString() : QString(PapelInstalacao()), papel);
    QCOMPARE(CodigoInstalacao(), codigo);
    QCOMPARE(EhMunicipio(), papel == "M");
    QCOMPARE(EhPrestador(), papel == "E" || papel == "P");
}

void TstConfiguracao::perfis_data()
{
    QTest::addColumn<QString>("perfil");
    QTest::addColumn<QString>("palavra");
    QTest::addColumn<bool>("temPerfil");
    QTest::addColumn<bool>("literal");
    QTest::newRow("nome completo") << "CONSORCIO CUNE REGIONAL" << "CUNE" << true << true;
    QTest::newRow("minusculo") << "cune" << "CUNE" << true << false;
    QTest::newRow("cevrandosa minusculo") << "cevrandosa" << "CEVRANDOSA" << true << false;
    QTest::newRow("outro") << "CULVAR" << "CUNE" << false << false;
    QTest::newRow("vazio") << "" << "TESTE" << false << false;
}

void TstConfiguracao::perfis()
{
    QFETCH(QString, perfil);
    QFETCH(QString, palavra);
    QFETCH(bool, temPerfil);
    QFETCH(bool, literal);
    SessaoAtual().PerfilConsorcio = perfil;
    QCOMPARE(TemPerfil(palavra), temPerfil);
    QCOMPARE(TemPerfilLiteral(palavra), literal);
}

void TstConfiguracao::dataDeTrabalho_data()
{
    QTest::addColumn<QDateTime>("rede");
    QTest::addColumn<bool>("aceita");
    QTest::newRow("30/07/2012 descartada") << QDateTime(QDate(2012, 7, 30), QTime(12, 0)) << false;
    QTest::newRow("31/07/2012 aceita") << QDateTime(QDate(2012, 7, 31), QTime(12, 0)) << true;
    QTest::newRow("dia 5 de marco") << QDateTime(QDate(2015, 3, 5), QTime(12, 0)) << true;
}

void TstConfiguracao::dataDeTrabalho()
{
    QFETCH(QDateTime, rede);
    QFETCH(bool, aceita);
    ResponderNtp r(rede);
    const QString d = CalculaDataAtual(r.servidor(), 5000);
    const QDate esperada = aceita ? rede.toLocalTime().date() : QDate::currentDate();
    QCOMPARE(d, esperada.toString("dd/MM/yyyy"));
    QCOMPARE(SessaoAtual().DataAtual, d);
    QCOMPARE(SessaoAtual().NtpOk, aceita);
}

void TstConfiguracao::semRespostaUsaRelogioLocal()
{
    ResponderNtp r(QDateTime(QDate(2015, 3, 5), QTime(12, 0)), {});
    QElapsedTimer t;
    t.start();
    QCOMPARE(CalculaDataAtual(r.servidor(), 300), QDate::currentDate().toString("dd/MM/yyyy"));
    QVERIFY(!SessaoAtual().NtpOk);
    QVERIFY(t.elapsed() < 3000);
    QCOMPARE(CalculaDataAtual("", 300), QDate::currentDate().toString("dd/MM/yyyy"));
}

void TstConfiguracao::leituraImpossivel_data()
{
    QTest::addColumn<QString>("caso");
    QTest::newRow("pasta no lugar do arquivo") << "pasta";
    QTest::newRow("sem permissao de leitura") << "permissao";
}

void TstConfiguracao::leituraImpossivel()
{
    QFETCH(QString, caso);
    QTemporaryDir d;
    const QString f = d.filePath("vornex.conf");
    const QByteArray conteudo("[GERAL]\r\nCEP=1\r\n");
    if (caso == "pasta") {
        QVERIFY(QDir().mkdir(f));
    } else {
        grava(f, conteudo);
        QVERIFY(QFile::setPermissions(f, {}));
        QVERIFY(QFile::setPermissions(d.path(), kPastaAberta));
    }
    DefinePastaInstalacao(d.path());
    {
        SemSerRoot usuario;
        if (caso == "permissao" && QFile(f).open(QIODevice::ReadOnly))
            QSKIP("file permissions are not enforced here");
        try {
            CarregaConfiguracao();
            QFAIL("an unreadable vornex.conf must not read as a missing one");
        } catch (const ErroConfiguracao& e) {
            QVERIFY2(e.texto().startsWith(QString::fromUtf8("Não foi possível ler o arquivo de configuração ") + f),
                     qPrintable(e.texto()));
        }
        // Nothing is written over a file that could not be read.
        QVERIFY_THROWS_EXCEPTION(ErroConfiguracao, Ini().escreve("GERAL", "CEP", "95555000"));
    }
    if (caso == "permissao") {
        QFile::setPermissions(f, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(le(f), conteudo);
    } else {
        QVERIFY(QFileInfo(f).isDir());
    }
}

void TstConfiguracao::gravacaoImpossivel_data()
{
    QTest::addColumn<QString>("caso");
    QTest::newRow("pasta removida") << "removida";
    QTest::newRow("arquivo virou pasta") << "virou pasta";
    QTest::newRow("pasta sem permissao de escrita") << "permissao";
}

void TstConfiguracao::gravacaoImpossivel()
{
    QFETCH(QString, caso);
    QTemporaryDir d;
    const QString pasta = d.filePath("inst");
    QVERIFY(QDir().mkdir(pasta));
    const QString f = QDir(pasta).filePath("vornex.conf");
    grava(f, "[GERAL]\r\nCEP=1\r\n");
    DefinePastaInstalacao(pasta);
    CarregaConfiguracao();
    if (caso == "removida") {
        QVERIFY(QDir(pasta).removeRecursively());
    } else if (caso == "virou pasta") {
        QVERIFY(QFile::remove(f));
        QVERIFY(QDir().mkdir(f));
    } else {
        QVERIFY(QFile::setPermissions(pasta, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                 QFileDevice::ExeOther));
        QVERIFY(QFile::setPermissions(d.path(), kPastaAberta));
    }
    {
        SemSerRoot usuario;
        try {
            Ini().escreve("GERAL", "CEP", "95555000");
            QFAIL("a failed write must raise an error");
        } catch (const ErroConfiguracao& e) {
            QVERIFY2(e.texto().startsWith(QString::fromUtf8("Não foi possível gravar o arquivo de configuração ") + f),
                     qPrintable(e.texto()));
        }
    }
    // The value read stays the one on disk.
    QCOMPARE(Geral::CEP(), QString("1"));
    QFile::setPermissions(pasta, kPastaAberta | QFileDevice::WriteOwner);
}

void TstConfiguracao::quebraDeLinhaRecusada_data()
{
    QTest::addColumn<QString>("valor");
    QTest::newRow("lf") << "9555\n5000";
    QTest::newRow("cr lf") << "95555000\r\n[OUTRA]";
    QTest::newRow("cr") << "9555\r5000";
    QTest::newRow("no fim") << "95555000\n";
}

void TstConfiguracao::quebraDeLinhaRecusada()
{
    QFETCH(QString, valor);
    QTemporaryDir d;
    const QByteArray antes("[GERAL]\r\nCEP=1\r\nUF=RS\r\n");
    grava(d.filePath("vornex.conf"), antes);
    DefinePastaInstalacao(d.path());
    CarregaConfiguracao();
    QVERIFY_THROWS_EXCEPTION(ErroConfiguracao, Ini().escreve("GERAL", "CEP", valor));
    QCOMPARE(le(d.filePath("vornex.conf")), antes);
    QCOMPARE(Geral::CEP(), QString("1"));
}

void TstConfiguracao::formatosLidos_data()
{
    QTest::addColumn<QByteArray>("arquivo");
    QTest::addColumn<QString>("chave");
    QTest::addColumn<QString>("valor");
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF[GERAL]\r\nCIDADE=S\xC3\xA3o Jos\xC3\xA9\r\n") << "CIDADE"
                               << QString::fromUtf8("São José");
    QTest::newRow("latin-1 sem bom") << QByteArray("[GERAL]\r\nCIDADE=S\xE3o Jos\xE9\r\n") << "CIDADE"
                                     << QString::fromUtf8("São José");
    QTest::newRow("so cr") << QByteArray("[GERAL]\rCEP=95000000\rUF=RS\r") << "UF" << "RS";
    QTest::newRow("so cr sem fim") << QByteArray("[OUTRA]\rUF=SC\r[GERAL]\rUF=RS") << "UF" << "RS";
    QTest::newRow("aspas duplas") << QByteArray("[GERAL]\nNTP=\"a.ntp.br\"\n") << "NTP" << "a.ntp.br";
    QTest::newRow("aspas simples") << QByteArray("[GERAL]\nNTP='x y'\n") << "NTP" << "x y";
    QTest::newRow("aspas com espacos") << QByteArray("[GERAL]\nNTP =  \" x \"  \n") << "NTP" << " x ";
    QTest::newRow("aspas vazias") << QByteArray("[GERAL]\nNTP=\"\"\n") << "NTP" << "";
    QTest::newRow("aspas desiguais") << QByteArray("[GERAL]\nNTP=\"x'\n") << "NTP" << "\"x'";
    QTest::newRow("uma aspa so") << QByteArray("[GERAL]\nNTP=\"\n") << "NTP" << "\"";
    QTest::newRow("aspas no meio") << QByteArray("[GERAL]\nNTP=a \"b\" c\n") << "NTP" << "a \"b\" c";
    QTest::newRow("aspas dentro") << QByteArray("[GERAL]\nNTP=\"a\"b\"\n") << "NTP" << "a\"b";
}

void TstConfiguracao::formatosLidos()
{
    QFETCH(QByteArray, arquivo);
    QFETCH(QString, chave);
    QFETCH(QString, valor);
    QTemporaryDir d;
    grava(d.filePath("vornex.conf"), arquivo);
    DefinePastaInstalacao(d.path());
    CarregaConfiguracao();
    QCOMPARE(Ini().le("GERAL", chave, "ausente"), valor);
}

void TstConfiguracao::bancoRelativoAPasta_data()
{
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("esperado"); // %1: the installation folder
    QTest::newRow("relativo") << "cune.fdb" << "%1/cune.fdb";
    QTest::newRow("subpasta") << "dados/../banco/cune.fdb" << "%1/banco/cune.fdb";
    QTest::newRow("entre aspas") << "\"dados/cune.fdb\"" << "%1/dados/cune.fdb";
    QTest::newRow("absoluto") << "/dados/cune.fdb" << "/dados/cune.fdb";
    QTest::newRow("servidor") << "srv:/dados/cune.fdb" << "srv:/dados/cune.fdb";
    QTest::newRow("servidor relativo") << "srv:cune.fdb" << "srv:cune.fdb";
    QTest::newRow("servidor windows") << "server:c:\\dados\\X.FDB" << "server:c:\\dados\\X.FDB";
    QTest::newRow("legado windows") << "C:\\dados\\X.FDB" << "C:\\dados\\X.FDB";
    QTest::newRow("vazio") << "" << "";
}

void TstConfiguracao::bancoRelativoAPasta()
{
    QFETCH(QString, valor);
    QFETCH(QString, esperado);
    QTemporaryDir d, outra;
    grava(d.filePath("vornex.conf"), "[GERAL]\r\nDATABASE=" + valor.toLatin1() + "\r\n");
    DefinePastaInstalacao(d.path());
    CarregaConfiguracao();
    // The working folder plays no part.
    const QString antes = QDir::currentPath();
    QVERIFY(QDir::setCurrent(outra.path()));
    const QString banco = Geral::DATABASE();
    QDir::setCurrent(antes);
    QCOMPARE(banco, esperado.contains("%1") ? esperado.arg(QDir(d.path()).absolutePath()) : esperado);
}

void TstConfiguracao::respostaDoServidorNtp_data()
{
    QTest::addColumn<QList<int>>("respostas");
    QTest::addColumn<bool>("aceita");
    const auto r = [](std::initializer_list<Resposta> l) {
        QList<int> v;
        for (Resposta x : l)
            v << int(x);
        return v;
    };
    QTest::newRow("versao 3") << r({Resposta::CorretaV3}) << true;
    QTest::newRow("modo cliente") << r({Resposta::ModoCliente}) << false;
    QTest::newRow("modo difusao") << r({Resposta::ModoDifusao}) << false;
    QTest::newRow("versao 2") << r({Resposta::Versao2}) << false;
    QTest::newRow("origem que nao e a nossa") << r({Resposta::OrigemErrada}) << false;
    QTest::newRow("estrato 0") << r({Resposta::EstratoZero}) << false;
    QTest::newRow("estrato 16") << r({Resposta::Estrato16}) << false;
    QTest::newRow("sem hora de transmissao") << r({Resposta::TransmissaoZero}) << false;
    QTest::newRow("curta") << r({Resposta::Curta}) << false;
    QTest::newRow("de outra porta") << r({Resposta::OutraPorta}) << false;
    QTest::newRow("erradas e depois a correta")
        << r({Resposta::ModoCliente, Resposta::OrigemErrada, Resposta::EstratoZero, Resposta::OutraPorta,
              Resposta::TransmissaoZero, Resposta::Correta})
        << true;
}

void TstConfiguracao::respostaDoServidorNtp()
{
    QFETCH(QList<int>, respostas);
    QFETCH(bool, aceita);
    const QDateTime rede(QDate(2015, 3, 5), QTime(12, 0), Qt::UTC);
    ResponderNtp r(rede, respostas);
    // A rejected reply leaves the client waiting for the whole time-out.
    const QDateTime hora = ConsultaNtp(r.servidor(), aceita ? 5000 : 500);
    QCOMPARE(hora.isValid(), aceita);
    if (aceita)
        QCOMPARE(hora.toUTC(), rede);
}

void TstConfiguracao::nomeDoServidorNtp_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<bool>("aceita");
    QTest::newRow("nome que nao existe") << "nao-existe.invalid:%1" << false;
    QTest::newRow("localhost") << "localhost:%1" << true;
}

void TstConfiguracao::nomeDoServidorNtp()
{
    QFETCH(QString, nome);
    QFETCH(bool, aceita);
    const QDateTime rede(QDate(2015, 3, 5), QTime(12, 0), Qt::UTC);
    ResponderNtp r(rede, aceita ? QList<int>{int(Resposta::Correta)} : QList<int>{});
    QElapsedTimer t;
    t.start();
    const QString d = CalculaDataAtual(nome.arg(r.porta()), 1000);
    QCOMPARE(d, (aceita ? rede.toLocalTime().date() : QDate::currentDate()).toString("dd/MM/yyyy"));
    QCOMPARE(SessaoAtual().NtpOk, aceita);
    // The lookup is bounded by the same time-out as the answer.
    QVERIFY(t.elapsed() < 4000);
}

QTEST_GUILESS_MAIN(TstConfiguracao)
#include "tst_configuracao.moc"
