#include "core/Configuracao.h"
#include "core/UVariaveis.h"

#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
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

// A one-shot SNTP responder on 127.0.0.1 answering with a fixed time (or staying silent).
class ResponderNtp {
public:
    explicit ResponderNtp(const QDateTime& hora, bool responde = true)
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
        m_t = std::thread([this, hora, responde] {
            unsigned char buf[48];
            sockaddr_in de{};
            socklen_t dl = sizeof de;
            if (::recvfrom(m_fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&de), &dl) < 48 || !responde)
                return;
            unsigned char r[48] = {0x1C};
            const quint64 seg = quint64(hora.toSecsSinceEpoch()) + 2208988800ULL;
            for (int i = 0; i < 4; ++i)
                r[40 + i] = static_cast<unsigned char>(seg >> (24 - 8 * i));
            ::sendto(m_fd, r, sizeof r, 0, reinterpret_cast<sockaddr*>(&de), dl);
        });
    }
    ~ResponderNtp()
    {
        m_t.join();
        ::close(m_fd);
    }
    QString servidor() const { return QStringLiteral("127.0.0.1:%1").arg(m_porta); }

private:
    int m_fd = -1;
    quint16 m_porta = 0;
    std::thread m_t;
};

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
    ResponderNtp r(QDateTime(QDate(2015, 3, 5), QTime(12, 0)), false);
    QElapsedTimer t;
    t.start();
    QCOMPARE(CalculaDataAtual(r.servidor(), 300), QDate::currentDate().toString("dd/MM/yyyy"));
    QVERIFY(!SessaoAtual().NtpOk);
    QVERIFY(t.elapsed() < 3000);
    QCOMPARE(CalculaDataAtual("", 300), QDate::currentDate().toString("dd/MM/yyyy"));
}

QTEST_GUILESS_MAIN(TstConfiguracao)
#include "tst_configuracao.moc"
