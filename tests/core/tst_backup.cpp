#include "core/Backup.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/TFBackup.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/schema/Esquema.h"
#include "core/widgets/TFBase.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"
#include "support/ServidorSmtp.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace vx;

namespace {

const char* const kConcluido = "***>> BACKUP CONCLUIDO! JÁ PODE FECHAR A APLICAÇÃO! <<***";
const char* const kErro = "Ocorreu um erro inesperado. O backup não foi concluído.";

// Row count of every user table.
QMap<QString, qint64> Contagens(const QString& banco)
{
    Conexao c;
    c.conecta(banco, UsuarioBanco(), SenhaBanco());
    Transacao tr(c);
    QStringList tabelas;
    Consulta q(tr);
    for (q.abre("select trim(rdb$relation_name) from rdb$relations where rdb$system_flag=0 and rdb$view_blr is null");
         !q.eof(); q.proximo())
        tabelas << q.campo(0).texto();
    q.fecha();
    QMap<QString, qint64> r;
    for (const QString& t : tabelas)
        r[t] = tr.valor("select count(*) from " + t).toLongLong();
    return r;
}

// Restores a .GBK with the engine's own tool into a new file.
QString Restaura(const QString& gbk, const QString& destino)
{
    QProcess p;
    p.start("gbak", {"-c", "-user", UsuarioBanco(), "-password", SenhaBanco(), gbk, destino});
    p.waitForFinished(120000);
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError() + p.readAllStandardOutput());
}

void Povoa(test::BancoTeste& b)
{
    b.executa("insert into clientes (codigo, nome) values ('4300001', 'SÃO JOSÉ')");
    b.executa("insert into clientes (codigo, nome) values ('4300002', 'ITAÚ')");
    for (int i = 1; i <= 30; ++i)
        b.executa(QString("insert into pessoas (codigo, nome, cli_origem) values (%1, 'PACIENTE %1', '4300001')").arg(i));
}

// The base64 body of the attachment `nome` in a MIME message.
QByteArray Anexo(const QByteArray& mensagem, const QByteArray& nome)
{
    const qsizetype i = mensagem.indexOf("filename=\"" + nome + "\"");
    if (i < 0)
        return {};
    const qsizetype ini = mensagem.indexOf("\r\n\r\n", i) + 4;
    const qsizetype fim = mensagem.indexOf("\r\n--", ini);
    return QByteArray::fromBase64(mensagem.mid(ini, fim - ini));
}

PassosBackup Passos(const QString& banco, const QString& arquivo, const QString& pasta, QStringList* log)
{
    PassosBackup p;
    p.destino = DestinoDoBackup(banco, "estacao", pasta);
    p.arquivo = arquivo;
    p.pastaTrabalho = pasta;
    p.usuario = UsuarioBanco();
    p.senha = SenhaBanco();
    p.log = [log](const QString& l) { log->append(l); };
    return p;
}

} // namespace

class TstBackup : public QObject {
    Q_OBJECT
private slots:
    void nomeProposto_data();
    void nomeProposto();
    void destino_data();
    void destino();
    void telaFazBackupRestauravel();
    void falhaNaoDizConcluido_data();
    void falhaNaoDizConcluido();
    void municipioEnviaPorEmail_data();
    void municipioEnviaPorEmail();
    void servidor_data();
    void servidor();
};

void TstBackup::nomeProposto_data()
{
    QTest::addColumn<QString>("consorcio");
    QTest::addColumn<QString>("nome");
    QTest::newRow("CUNE") << "CUNE" << "BACKUP CUNE 25122015.GBK";
    QTest::newRow("nome completo") << "Consórcio Culvar de Saúde" << "BACKUP CULVAR 25122015.GBK";
    // CUMBEL is tested before CUNE.
    QTest::newRow("ordem") << "CUNE-CUMBEL" << "BACKUP CUMBEL 25122015.GBK";
    QTest::newRow("CORVANE antes de CUNE") << "CORVANE" << "BACKUP CORVANE 25122015.GBK";
    QTest::newRow("nenhum") << "TESTE" << "";
}

void TstBackup::nomeProposto()
{
    QFETCH(QString, consorcio);
    QFETCH(QString, nome);
    QCOMPARE(NomeBackupProposto(consorcio, "25/12/2015"), nome);
}

void TstBackup::destino_data()
{
    QTest::addColumn<QString>("banco");
    QTest::addColumn<bool>("rede");
    QTest::addColumn<QString>("servico");
    QTest::addColumn<QString>("caminho");
    QTest::addColumn<QString>("arquivo");
    QTest::newRow("local") << "/dados/BDCUNE.FDB" << false << "service_mgr" << "/dados/BDCUNE.FDB" << "";
    QTest::newRow("so o nome") << "BDCUNE.FDB" << false << "service_mgr" << "/opt/vx/BDCUNE.FDB" << "";
    QTest::newRow("este computador") << "ESTACAO:/dados/x.fdb" << false << "ESTACAO:service_mgr" << "/dados/x.fdb" << "";
    QTest::newRow("localhost") << "localhost:/dados/x.fdb" << false << "localhost:service_mgr" << "/dados/x.fdb" << "";
    QTest::newRow("servidor windows") << "server:c:\\dados\\BDCUNE.FDB" << true << "server:service_mgr"
                                      << "c:\\dados\\BDCUNE.FDB" << "c:\\dados\\BACKUP\\B.GBK";
    QTest::newRow("servidor linux") << "srv:/var/db/x.fdb" << true << "srv:service_mgr" << "/var/db/x.fdb"
                                    << "/var/db/BACKUP/B.GBK";
}

void TstBackup::destino()
{
    QFETCH(QString, banco);
    QFETCH(bool, rede);
    QFETCH(QString, servico);
    QFETCH(QString, caminho);
    QFETCH(QString, arquivo);
    const DestinoBackup d = DestinoDoBackup(banco, "estacao", "/opt/vx");
    QCOMPARE(d.rede, rede);
    QCOMPARE(d.servico, servico);
    QCOMPARE(d.banco, caminho);
    if (rede)
        QCOMPARE(d.arquivo("B.GBK"), arquivo);
}

void TstBackup::telaFazBackupRestauravel()
{
    // An entity installation: the copy is compressed but not mailed.
    test::AmbienteTela a("E0000012", {"CONSORCIO=CUNE"});
    Povoa(a.b);
    SessaoAtual().DataAtual = "25/12/2015";
    const QMap<QString, qint64> antes = Contagens(a.b.arquivo());
    QTemporaryDir destino;
    const QString gbk = destino.filePath("copia.GBK");

    auto* t = test::AbreTelaTeste(CriaTela<TFBackup>());
    QString proposto;
    {
        test::RoteiroModal modal([&](QDialog* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            QVERIFY(fd);
            QCOMPARE(fd->windowTitle(), QString("Informe o local onde deseja salvar o backup"));
            proposto = QFileInfo(fd->selectedFiles().value(0)).fileName();
            fd->findChild<QLineEdit*>("fileNameEdit")->setText(gbk);
            d->accept();
        });
        t->PBtnBackup()->click();
    }
    QCOMPARE(proposto, QString("BACKUP CUNE 25122015.GBK"));
    const QStringList log = t->MLog()->toPlainText().split('\n');
    QVERIFY2(log.contains(kConcluido), qPrintable(log.join('\n')));
    QCOMPARE(log.mid(0, 5), QStringList({"Preparando para gerar o backup...", "", "", "***>> BACKUP INICIOU <<***", ""}));
    QVERIFY(log.contains("Arquivo .GBK criado com sucesso..."));
    QVERIFY(log.contains("Compactação concluída!"));
    QVERIFY(!log.contains("Transmitindo backup, aguarde..."));
    QVERIFY(t->isHidden()); // a completed backup ends the program
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const QString restaurado = destino.filePath("restaurado.fdb");
    const QString erro = Restaura(gbk, restaurado);
    QVERIFY2(erro.isEmpty(), qPrintable(erro));
    QCOMPARE(Contagens(restaurado), antes);
    // The working copy and its compressed form.
    const QString bkp = QDir(PastaInstalacao()).filePath("bdcopia.bkp");
    QCOMPARE(test::LeArquivo(bkp), test::LeArquivo(gbk));
    const QString volta = destino.filePath("volta.bkp");
    QVERIFY(DescompactaArquivo(QDir(PastaInstalacao()).filePath("bdcopia.zlib"), volta));
    QCOMPARE(test::LeArquivo(volta), test::LeArquivo(gbk));
}

void TstBackup::falhaNaoDizConcluido_data()
{
    QTest::addColumn<QString>("caso");
    QTest::newRow("pasta que e um arquivo") << "arquivo";
    QTest::newRow("pasta ausente") << "ausente";
    QTest::newRow("banco sumiu") << "banco";
}

void TstBackup::falhaNaoDizConcluido()
{
    QFETCH(QString, caso);
    test::AmbienteTela a("E0000012", {"CONSORCIO=CUNE"});
    Povoa(a.b);
    QTemporaryDir destino;
    test::GravaArquivo(destino.filePath("arq"), "x");
    QString gbk = destino.filePath(caso == "arquivo" ? "arq/b.GBK" : caso == "ausente" ? "nao/existe/b.GBK" : "b.GBK");
    QStringList log;
    PassosBackup p = Passos(a.b.arquivo(), gbk, destino.path(), &log);
    if (caso == "banco")
        p.destino.banco = destino.filePath("outro.fdb");

    QVERIFY(!ExecutaPassosBackup(p, a.dm.get()));
    QVERIFY(!log.contains(kConcluido));
    QVERIFY(!log.contains("Arquivo .GBK criado com sucesso..."));
    QCOMPARE(log.mid(log.size() - 3, 2), QStringList({kErro, "Informações da exceção:"}));
    QVERIFY(log.last().startsWith("  ") && log.last().size() > 4);
    QVERIFY(!QFile::exists(gbk));
    QVERIFY(!QFile::exists(destino.filePath("bdcopia.bkp")));
    if (caso == "ausente") {
        auto* t = test::AbreTelaTeste(CriaTela<TFBackup>());
        t->MLog()->setPlainText(log.join('\n'));
        test::SalvaTela(t, "backup_falhou");
        t->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The program goes on with its database.
    QVERIFY(a.dm->IBDatabase.conectado());
    QCOMPARE(a.dm->IBTransaction.valor("select count(*) from pessoas").toInt(), 30);
}

void TstBackup::municipioEnviaPorEmail_data()
{
    QTest::addColumn<QString>("senha");
    QTest::newRow("enviado") << "segredo";
    QTest::newRow("recusado") << "errada";
}

void TstBackup::municipioEnviaPorEmail()
{
    QFETCH(QString, senha);
    test::ServidorSmtp smtp("backup@vornex.test", "segredo");
    QVERIFY2(smtp.ativo(), qPrintable(smtp.erro()));
    test::AmbienteTela a("M4300001", {"CONSORCIO=CUNE", "[EMAIL]", "SERVIDOR=127.0.0.1",
                                      QString("PORTA=%1").arg(smtp.porta()), "USUARIO=backup@vornex.test",
                                      "SENHA=" + senha, "DESTINATARIO=suporte@vornex.test",
                                      "CACERT=" + smtp.certificado()});
    Povoa(a.b);
    QTemporaryDir destino;
    const QString gbk = destino.filePath("b.GBK");
    QStringList log;
    PassosBackup p = Passos(a.b.arquivo(), gbk, destino.path(), &log);
    p.enviaEmail = true;
    p.conta = ContaEmailSuporte();
    p.assunto = "Backup BD M4300001 - Município de SÃO JOSÉ";

    const bool ok = ExecutaPassosBackup(p, a.dm.get());
    QVERIFY(log.contains("Transmitindo backup, aguarde..."));
    QVERIFY(QFile::exists(gbk)); // kept whatever the mail does
    if (senha == "segredo") {
        QVERIFY2(ok, qPrintable(log.join('\n')));
        QCOMPARE(log.mid(log.size() - 5), QStringList({"Concluído!", "", "", "", kConcluido}));
        QCOMPARE(smtp.mensagens().size(), 1);
        const QByteArray m = smtp.mensagens().first().dados;
        QVERIFY(m.contains("Backup automatico"));
        QVERIFY(m.contains("Disposition-Notification-To:"));
        QCOMPARE(Anexo(m, "bdcopia.zlib"), test::LeArquivo(destino.filePath("bdcopia.zlib")));
        QVERIFY(m.contains("Compactação concluída!") || m.contains("Compacta")); // the log is the body
    } else {
        QVERIFY(!ok);
        QVERIFY(!log.contains(kConcluido));
        QVERIFY(log.contains(kErro));
        QCOMPARE(smtp.mensagens().size(), 0);
        QVERIFY(a.dm->IBDatabase.conectado());
    }
}

void TstBackup::servidor_data()
{
    QTest::addColumn<QString>("computador");
    QTest::addColumn<bool>("pastaBackup");
    QTest::newRow("rede") << "outra" << true;
    QTest::newRow("rede sem a pasta BACKUP") << "outra" << false;
    QTest::newRow("servidor neste computador") << "" << false;
}

void TstBackup::servidor()
{
    QFETCH(QString, computador);
    QFETCH(bool, pastaBackup);
    const QString host = qEnvironmentVariable("VORNEX_TESTE_SERVIDOR");
    if (host.isEmpty())
        QSKIP("no Firebird server (scripts/test.sh starts one and sets VORNEX_TESTE_SERVIDOR)");
    if (computador.isEmpty())
        computador = host;
    // Folders the server process can write.
    const auto todos = QFileDevice::Permissions(0x7777);
    QTemporaryDir d(QDir::tempPath() + "/vornex-bkp-XXXXXX");
    QFile::setPermissions(d.path(), todos);
    test::InstalaConfiguracao(d.path(), {"USUARIO=E0000012", "CONSORCIO=CUNE"});
    const QString nome = host + ":" + d.filePath("servidor.fdb");
    QVERIFY(CriaBancoNovo(nome) > QString());
    {
        Conexao c;
        c.conecta(nome, UsuarioBanco(), SenhaBanco());
        Transacao tr(c);
        tr.executa("insert into clientes (codigo, nome) values ('4300001', 'SÃO JOSÉ')");
        tr.commit();
    }
    if (pastaBackup) {
        QDir(d.path()).mkdir("BACKUP");
        QFile::setPermissions(d.filePath("BACKUP"), todos);
    }
    TDMCUNE dm;
    QVERIFY(dm.ConectaBanco(nome));
    const QString local = d.filePath("local.GBK");
    QStringList log;
    PassosBackup p = Passos(nome, local, d.path(), &log);
    p.destino = DestinoDoBackup(nome, computador, d.path());
    if (p.destino.rede)
        p.arquivo = p.destino.arquivo("BACKUP CUNE 25122015.GBK");
    const bool ok = ExecutaPassosBackup(p, &dm);
    if (p.destino.rede && !pastaBackup) {
        QVERIFY(!ok);
        QVERIFY(log.last().contains("Falha ao criar a pasta [" + d.filePath("BACKUP") + "]"));
        QVERIFY(dm.IBDatabase.conectado());
        return;
    }
    QVERIFY2(ok, qPrintable(log.join('\n')));
    QCOMPARE(p.arquivo, p.destino.rede ? d.filePath("BACKUP/BACKUP CUNE 25122015.GBK") : local);
    const QString restaurado = d.filePath("restaurado.fdb");
    QVERIFY(Restaura(p.arquivo, restaurado).isEmpty());
    QCOMPARE(Contagens(restaurado), Contagens(nome));
    // The local copy is a whole backup too.
    const QString daCopia = d.filePath("da-copia.fdb");
    QVERIFY(Restaura(d.filePath("bdcopia.bkp"), daCopia).isEmpty());
    QCOMPARE(Contagens(daCopia)["CLIENTES"], 1);
}

QTEST_MAIN(TstBackup)
#include "tst_backup.moc"
