#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/UVariaveis.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/TransporteFtp.h"
#include "exchange/ftp/UiProgressoFtp.h"
#include "support/Fixtures.h"
#include "support/ServidorFtp.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

using namespace vx;

namespace {

QByteArray conteudo(const QString& p)
{
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ausente>");
}

} // namespace

class TstUiProgressoFtp : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cancelaDuranteEnvio();
    void semCancelar();

private:
    std::unique_ptr<QTemporaryDir> m_pasta;
    std::unique_ptr<test::ServidorFtp> m_srv;
    QStringList m_linhas;
};

void TstUiProgressoFtp::init()
{
    m_pasta = std::make_unique<QTemporaryDir>();
    m_srv = std::make_unique<test::ServidorFtp>(QList<test::ServidorFtp::Conta>{{"cune01", "pw"}});
    QVERIFY(m_srv->ativo());
    m_srv->criaPasta("cune/marcacao/profiss00042");
    test::InstalaConfiguracao(m_pasta->path(), {"USUARIO=M4314902", "CONSORCIO=CUNE", "PORTA=" + QString::number(m_srv->porta()),
                                                "FTPHOST=127.0.0.1", "FTPSENHA=pw"});
    CarregaIdentidade();
    m_linhas.clear();
}

void TstUiProgressoFtp::cancelaDuranteEnvio()
{
    // "Cancelar" clicked while a slow upload runs: the upload stops and fails, nothing shows under
    // the file's name, and the client works again once the panel's session ends.
    QWidget tela;
    auto* painel = new UiProgressoFtp(&tela);
    (new QVBoxLayout(&tela))->addWidget(painel);
    tela.show();
    QVERIFY(painel->isHidden());

    const QString nome = "M4314902_ID0000001.xml";
    const QByteArray dados(8 << 20, 'c');
    QFile f(PastaEnvio() + nome);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(dados);
    f.close();
    m_srv->defineVelocidadeRecepcao(128 << 10);

    // The user clicks once the bar shows part of the file.
    QTimer clique;
    int cliques = 0;
    connect(&clique, &QTimer::timeout, [&] {
        if (painel->isVisible() && painel->barra()->maximum() > 0 && painel->barra()->value() > 0 && cliques == 0) {
            ++cliques;
            QTest::mouseClick(painel->botaoCancelar(), Qt::LeftButton);
        }
    });
    clique.start(10);

    FtpCliente& ftp = ClienteFtpCompartilhado();
    QSignalSpy pedidos(painel, &UiProgressoFtp::cancelamentoPedido);
    bool ok = true;
    {
        UiProgressoFtp::Sessao sessao(*painel, ftp, "Enviando " + nome + "...");
        QVERIFY(painel->isVisible());
        QCOMPARE(painel->rotulo()->text(), "Enviando " + nome + "...");
        ok = EnviaArquivoFtp(ftp, nome, "P42", [&](const QString& l) { m_linhas << l; });
        QVERIFY(painel->cancelado());
        QVERIFY(!painel->botaoCancelar()->isEnabled());
        QVERIFY(ftp.cancelado());
    }
    clique.stop();
    QVERIFY(!ok);
    QCOMPARE(cliques, 1);
    QCOMPARE(pedidos.size(), 1);
    QVERIFY(painel->isHidden());
    QVERIFY(painel->cancelado()); // still readable after the session
    QVERIFY(!ftp.cancelado());
    QVERIFY(!QFile::exists(m_srv->caminho("cune/marcacao/profiss00042/" + nome)));
    QVERIFY(m_linhas.size() >= 2);
    QVERIFY2(m_linhas.at(m_linhas.size() - 2).endsWith("\nTransferência cancelada pelo usuário"), qPrintable(m_linhas.join('\n')));
    QVERIFY(m_linhas.last().endsWith(" => FALHOU!"));

    // Next time the same file goes through.
    m_srv->defineVelocidadeRecepcao(0);
    QVERIFY(EnviaArquivoFtp(ftp, nome, "P42", {}));
    QVERIFY(conteudo(m_srv->caminho("cune/marcacao/profiss00042/" + nome)) == dados);
}

void TstUiProgressoFtp::semCancelar()
{
    // A session that ends normally leaves the client's own progress function in place.
    UiProgressoFtp painel;
    FtpCliente ftp;
    int proprias = 0;
    ftp.defineProgresso([&](qint64, qint64) { ++proprias; });
    const QString nome = "M4314902_ID0000002.xml";
    QFile f(PastaEnvio() + nome);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(300000, 's'));
    f.close();
    {
        UiProgressoFtp::Sessao sessao(painel, ftp);
        QVERIFY(EnviaArquivoFtp(ftp, nome, "P42", {}));
        QCOMPARE(painel.barra()->value(), painel.barra()->maximum());
        QVERIFY(painel.barra()->maximum() > 0);
    }
    QVERIFY(!painel.cancelado());
    QVERIFY(proprias > 0); // chained while the panel followed the client
    const int antes = proprias;
    QVERIFY(EnviaArquivoFtp(ftp, nome, "P42", {}));
    QVERIFY(proprias > antes);
}

QTEST_MAIN(TstUiProgressoFtp)
#include "tst_uiprogressoftp.moc"
