// Mail over SMTPS against a real local server; what it received is read back with python's email
// module, so the message is checked by an independent parser.
#include "core/Email.h"
#include "support/Fixtures.h"
#include "support/ServidorSmtp.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace vx;

namespace {

const QString kUsuario = QStringLiteral("vx@vornex.test");
const QString kSenha = QStringLiteral("segredo");

// argv: message file, file the first attachment is written to. Prints the parts as JSON.
const char* const kLeitor = R"PY(
import email, email.policy, json, sys
with open(sys.argv[1], 'rb') as f:
    msg = email.message_from_binary_file(f, policy=email.policy.default)
de = msg['From'].addresses[0]
anexos = list(msg.iter_attachments())
if anexos:
    with open(sys.argv[2], 'wb') as f:
        f.write(anexos[0].get_payload(decode=True))
defeitos = [str(d) for p in msg.walk() for d in p.defects]
print(json.dumps({
    'nome': de.display_name, 'endereco': de.addr_spec,
    'para': [a.addr_spec for a in msg['To'].addresses],
    'assunto': str(msg['Subject']), 'data': msg['Date'].datetime.timestamp(),
    'prioridade': msg.get('X-Priority'), 'confirmacao': msg.get('Disposition-Notification-To'),
    'corpo': msg.get_body(('plain',)).get_content(),
    'anexos': [[a.get_filename(), a.get_content_type()] for a in anexos],
    'defeitos': defeitos}))
)PY";

QJsonObject leMensagem(const QString& arquivo, const QString& anexo)
{
    QTemporaryDir d;
    const QString script = d.filePath(QStringLiteral("le.py"));
    test::GravaArquivo(script, kLeitor);
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {script, arquivo, anexo});
    p.waitForFinished(30000);
    const QByteArray saida = p.readAllStandardOutput();
    if (p.exitCode() != 0)
        qWarning().noquote() << p.readAllStandardError();
    return QJsonDocument::fromJson(saida).object();
}

// The account as the installation's configuration gives it, pointing at the test server.
ContaEmail conta(const QString& pasta, const test::ServidorSmtp& srv, const QStringList& mais)
{
    test::InstalaConfiguracao(pasta, QStringList{QStringLiteral("[EMAIL]"), QStringLiteral("SERVIDOR=127.0.0.1"),
                                                 QStringLiteral("PORTA=%1").arg(srv.porta()), "USUARIO=" + kUsuario,
                                                 "CACERT=" + srv.certificado()}
                                         + mais);
    return ContaEmailSuporte();
}

} // namespace

class TstEmail : public QObject {
    Q_OBJECT
private slots:
    void envia_data();
    void envia();
    void recusa_data();
    void recusa();
};

void TstEmail::envia_data()
{
    QTest::addColumn<QStringList>("config");
    QTest::addColumn<QString>("remetente");
    QTest::addColumn<QStringList>("destinos");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("assunto");
    QTest::addColumn<QString>("corpo");
    QTest::addColumn<int>("anexo");
    QTest::addColumn<bool>("confirmacao");

    // The backup's mail: sender from USUARIO, binary attachment, read receipt; body lines that
    // SMTP and quoted-printable must carry unchanged (a lone dot, "From ", a long accented line).
    QTest::newRow("backup") << QStringList{"SENHA=" + kSenha, QStringLiteral("DESTINATARIO=suporte@vornex.test")}
                            << kUsuario << QStringList{"suporte@vornex.test"} << QStringLiteral("Backup automatico")
                            << QStringLiteral("Backup BD M4300000 - Prefeitura de São José")
                            << QStringLiteral("Iniciando backup...\n.\n..com ponto\nFrom here  \n%1\n=3D fim")
                                   .arg(QStringLiteral("Compactação concluída! ").repeated(8))
                            << 300 * 1024 << true;
    // REMETENTE apart from the account, two recipients, an accented name and a subject long enough
    // for several encoded words; no attachment, no receipt.
    QTest::newRow("sem anexo") << QStringList{"SENHA=" + kSenha, QStringLiteral("REMETENTE=backup@vornex.test"),
                                              QStringLiteral("DESTINATARIO=a@vornex.test; b@vornex.test")}
                               << QStringLiteral("backup@vornex.test") << QStringList{"a@vornex.test", "b@vornex.test"}
                               << QStringLiteral("Cópia \"de\" segurança")
                               << QStringLiteral("Ação é çãõ ").repeated(15).trimmed() << QStringLiteral("Só uma linha")
                               << 0 << false;
}

void TstEmail::envia()
{
    QFETCH(QStringList, config);
    QFETCH(QString, remetente);
    QFETCH(QStringList, destinos);
    QFETCH(QString, nome);
    QFETCH(QString, assunto);
    QFETCH(QString, corpo);
    QFETCH(int, anexo);
    QFETCH(bool, confirmacao);

    test::ServidorSmtp srv(kUsuario, kSenha);
    QVERIFY2(srv.ativo(), qPrintable(srv.erro()));
    QTemporaryDir pasta;
    QByteArray bytes(anexo, Qt::Uninitialized);
    for (int i = 0; i < anexo; ++i)
        bytes[i] = char((i * 131 + i / 256) & 0xff);
    const QString arquivo = pasta.filePath(QStringLiteral("bdcopia.zlib"));
    if (anexo)
        test::GravaArquivo(arquivo, bytes);

    int chamadas = 0;
    const QString erro = EnviaEmail(conta(pasta.path(), srv, config),
                                    {nome, assunto, corpo, anexo ? arquivo : QString(), confirmacao}, [&] {
                                        ++chamadas;
                                        return true;
                                    });
    QCOMPARE(erro, QString());
    QVERIFY(chamadas > 0);

    const auto recebidas = srv.mensagens();
    QCOMPARE(recebidas.size(), 1);
    QCOMPARE(recebidas[0].remetente, remetente);
    QCOMPARE(recebidas[0].destinatarios, destinos);
    const QString copia = pasta.filePath(QStringLiteral("recebido.bin"));
    const QJsonObject m = leMensagem(recebidas[0].arquivo, copia);
    QCOMPARE(m.value("defeitos").toArray(), QJsonArray());
    QCOMPARE(m.value("nome").toString(), nome);
    QCOMPARE(m.value("endereco").toString(), remetente);
    QCOMPARE(m.value("para").toVariant().toStringList(), destinos);
    QCOMPARE(m.value("assunto").toString(), assunto);
    QVERIFY(qAbs(m.value("data").toDouble() - QDateTime::currentSecsSinceEpoch()) < 120);
    QCOMPARE(m.value("prioridade").toString(), QStringLiteral("3"));
    QCOMPARE(m.value("confirmacao").toString(), confirmacao ? "<" + remetente + ">" : QString());
    QCOMPARE(m.value("corpo").toString().remove(QLatin1Char('\r')), corpo);
    if (anexo) {
        QCOMPARE(m.value("anexos").toArray(), (QJsonArray{QJsonArray{"bdcopia.zlib", "application/octet-stream"}}));
        QVERIFY(test::LeArquivo(copia) == bytes);
    } else {
        QCOMPARE(m.value("anexos").toArray(), QJsonArray());
    }
}

// Every failure is a text naming curl's reason, and nothing reaches the mailbox.
void TstEmail::recusa_data()
{
    QTest::addColumn<QString>("senha");
    QTest::addColumn<bool>("confiaCertificado");
    QTest::addColumn<bool>("parado");
    QTest::addColumn<bool>("cancela");
    QTest::addColumn<bool>("semAnexo");

    QTest::newRow("senha errada") << "errada" << true << false << false << false;
    QTest::newRow("servidor parado") << kSenha << true << true << false << false;
    QTest::newRow("certificado nao confiavel") << kSenha << false << false << false << false;
    QTest::newRow("cancelado") << kSenha << true << false << true << false;
    QTest::newRow("anexo ausente") << kSenha << true << false << false << true;
}

void TstEmail::recusa()
{
    QFETCH(QString, senha);
    QFETCH(bool, confiaCertificado);
    QFETCH(bool, parado);
    QFETCH(bool, cancela);
    QFETCH(bool, semAnexo);

    test::ServidorSmtp srv(kUsuario, kSenha);
    QVERIFY2(srv.ativo(), qPrintable(srv.erro()));
    QTemporaryDir pasta;
    const QString arquivo = pasta.filePath(QStringLiteral("bdcopia.zlib"));
    if (!semAnexo)
        test::GravaArquivo(arquivo, QByteArray(100000, 'x'));
    ContaEmail c = conta(pasta.path(), srv, {"SENHA=" + senha, QStringLiteral("DESTINATARIO=suporte@vornex.test")});
    if (!confiaCertificado)
        c.certificadoCa.clear();
    if (parado)
        srv.para();

    int chamadas = 0;
    const QString erro = EnviaEmail(c, {QStringLiteral("Backup automatico"), QStringLiteral("Backup"),
                                        QStringLiteral("linha"), arquivo, true},
                                    [&] { return ++chamadas, !cancela; });
    QVERIFY2(erro.startsWith(QLatin1String("Falha ao enviar e-mail: ")) && erro.size() > 30, qPrintable(erro));
    QVERIFY(!cancela || chamadas == 1);
    QCOMPARE(srv.mensagens().size(), 0);
}

QTEST_GUILESS_MAIN(TstEmail)
#include "tst_email.moc"
