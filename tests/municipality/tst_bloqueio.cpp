// Blocking, reprinting and retransmitting an authorization by its printed key, on a real database
// and a real FTP server: the block message byte for byte, what an unknown or blocked key leaves
// untouched, and the screen in its three menu modes.
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "exchange/ftp/FtpCliente.h"
#include "municipality/Bloqueio.h"
#include "municipality/MensagemAutorizacao.h"
#include "municipality/TFBloqueioAut.h"
#include "municipality/TRImpFAA.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/DadosMarcacao.h"
#include "support/Pdf.h"
#include "support/ServidorFtp.h"

#include <QDir>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace vx;

namespace {

const QString kMun = test::kMunMarcacao;
const QDateTime kAgora(QDate(2026, 12, 10), QTime(14, 25, 31));
const QRegularExpression kLinha(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d => "));

enum class Ftp { Servidor, Fora, Desligado };

// Porto Alegre with the authorization rows; the server (also when FTP is switched off) holds the
// profile folder "cune".
struct Instalacao {
    std::unique_ptr<test::ServidorFtp> srv;
    std::unique_ptr<test::AmbienteTela> a;

    explicit Instalacao(Ftp ftp, bool apac = false)
    {
        QStringList conf{"CONSORCIO=CUNE", "FTPHOST=127.0.0.1", "FTPSENHA=pw", "FTPTEMPOTOTAL=20", "PORTA=1"};
        if (ftp != Ftp::Fora) {
            srv = std::make_unique<test::ServidorFtp>(QList<test::ServidorFtp::Conta>{{"cune01", "pw"}});
            srv->criaPasta(QStringLiteral("cune"));
            conf.last() = "PORTA=" + QString::number(srv->porta());
        }
        if (ftp == Ftp::Desligado)
            conf << QStringLiteral("ATIVARFTP=false");
        a = std::make_unique<test::AmbienteTela>(QStringLiteral("M4314902"), conf);
        test::PreparaMarcacao(a->b, apac);
    }
    // Finalized for patient 1 at entity 10 ("" professional: none).
    AutorizacaoAberta finalizada(const QString& profissional = QStringLiteral("20"), QList<qint64> procs = {101})
    {
        Autorizacao aut{kMun, "1", "10", profissional, "10/12/2026", "14/12/2026", "08:30", "1", {}, "TRAZER EXAMES",
                        {}, "ana", "10/12/2026"};
        AutorizacaoAberta r;
        for (qint64 p : procs)
            r = InsereProcedimento(a->dm->IBTransaction, aut, r, p, 1);
        GravaFinalizacao(a->dm->IBTransaction, aut, r);
        return r;
    }
    QByteArray remoto(const QString& caminho) const
    {
        QFile f(srv ? srv->caminho("cune/marcacao/" + caminho) : QString());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // MARCACAO and the number of audit rows, to tell that nothing changed.
    QString estado()
    {
        return a->texto("select list(id_marcacao || ':' || coalesce(databloqueio, '-') || ':' || obs || ':' || "
                        "coalesce(codmotivobloqueio, '-'), ' ') from (select * from marcacao order by id_marcacao)") +
               '|' + a->texto("select count(*) from logs");
    }
    QString logs(const char* situacao)
    {
        return a->texto(QStringLiteral("select list(outrasinfo, ' ; ') from logs where situacao='%1'").arg(situacao));
    }
};

QByteArray local(const QString& arquivo)
{
    QFile f(PastaEnvio() + arquivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QStringList pendentes() { return QDir(PastaEnvio()).entryList(QDir::Files); }

PedidoBloqueio pedido(const QString& chave, qint64 codMotivo = 0)
{
    return {kMun, "PORTO ALEGRE", chave, QDate(2026, 12, 15), QString::fromUtf8("DESISTÊNCIA & <FALTA>"), codMotivo};
}

// Words of each PDF page without the reprint mark and the times.
QStringList palavras(const QString& pdf)
{
    QStringList r;
    for (QString pagina : test::PaginasPdf(pdf))
        r << pagina.remove("DOCUMENTO REIMPRESSO").remove(QRegularExpression("\\b\\d\\d:\\d\\d\\b")).simplified();
    return r;
}

// The screen as its menu item opens it.
struct Tela : Instalacao {
    TFBloqueioAut* t;
    Tela(const char* item, Ftp ftp, bool apac = false) : Instalacao(ftp, apac)
    {
        TelaRegistrada(QLatin1String(item))();
        t = test::AbreTelaTeste(InstanciaTela<TFBloqueioAut>());
    }
    ~Tela() { delete InstanciaTela<TFBloqueioAut>(); }
    void ve(const QString& chave) { test::Digita(t->PEChave(), chave); }
    QString ultimaLinha() const { return t->MStatus()->toPlainText().section('\n', -1).mid(19); }
};

} // namespace

class TstBloqueio : public QObject {
    Q_OBJECT

private slots:
    void nomeDoArquivo()
    {
        QCOMPARE(NomeMensagemBloqueio(kMun, 57), QStringLiteral("M4314902_ID0000057-bloq.xml"));
        QCOMPARE(NomeMensagemBloqueio("431490", 1000005), QStringLiteral("M0431490_ID1000005-bloq.xml"));
    }

    // The block is committed whatever happens to the upload; the file reaches the professional's
    // folder exactly as written, or waits in arquivosxml/env.
    void bloqueia_data()
    {
        QTest::addColumn<int>("ftp");
        QTest::addColumn<QString>("profissional");
        QTest::addColumn<qint64>("codMotivo");
        QTest::newRow("enviado") << int(Ftp::Servidor) << "20" << qint64(0);
        QTest::newRow("sem profissional") << int(Ftp::Servidor) << "" << qint64(0);
        QTest::newRow("motivo do cadastro") << int(Ftp::Servidor) << "20" << qint64(3);
        QTest::newRow("servidor fora") << int(Ftp::Fora) << "20" << qint64(0);
        QTest::newRow("ftp desligado") << int(Ftp::Desligado) << "20" << qint64(0);
    }
    void bloqueia()
    {
        QFETCH(int, ftp);
        QFETCH(QString, profissional);
        QFETCH(qint64, codMotivo);
        Instalacao s{Ftp(ftp)};
        const AutorizacaoAberta r = s.finalizada(profissional);
        s.finalizada();
        QStringList linhas;
        FtpCliente cliente;
        const ResultadoBloqueio b = BloqueiaAutorizacao(s.a->dm->IBTransaction, &cliente, pedido(r.chave, codMotivo),
                                                        [&](const QString& l) { linhas << l; }, kAgora);
        QCOMPARE(int(b.situacao), int(SituacaoBloqueio::Bloqueada));
        QCOMPARE(s.estado(), QString::fromUtf8("1:2026-12-15:DESISTÊNCIA & <FALTA>:%1 2:-:TRAZER EXAMES:-|%2")
                                 .arg(codMotivo ? "3" : "-")
                                 .arg(ftp == int(Ftp::Servidor) ? 8 : 7));
        QCOMPARE(s.logs("B"), QStringLiteral("4314902=//=1=//=Bloqueou Autorização"));
        const QByteArray esperado =
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\"><cabecalho>"
            "<respEnvio>4314902</respEnvio><municipio>PORTO ALEGRE</municipio><dtEnvio>10/12/2026 14:25:31</dtEnvio>"
            "</cabecalho><marcacao><id>1</id><codprofissional>" + profissional.toLatin1() + "</codprofissional><chave>" +
            r.chave.toLatin1() + "</chave><databloqueio>15/12/2026</databloqueio><obs>DESIST\xCANCIA &amp; &lt;FALTA>"
            "</obs></marcacao></mensagemVXO>\r\n";
        for (const QString& l : linhas)
            QVERIFY2(kLinha.match(l).hasMatch(), qPrintable(l));
        QVERIFY(linhas.at(0).endsWith(" => Gerando arquivo XML...") && linhas.at(1).endsWith(" => Enviando arquivo XML..."));
        const QString arquivo = QStringLiteral("M4314902_ID0000001-bloq.xml");
        if (ftp == int(Ftp::Servidor)) {
            QCOMPARE(s.remoto((profissional.isEmpty() ? "profiss00000/" : "profiss00020/") + arquivo), esperado);
            QCOMPARE(pendentes(), QStringList{arquivo + " (enviado)"});
            QCOMPARE(local(arquivo + " (enviado)"), esperado);
            QVERIFY(linhas.last().endsWith(QStringLiteral(" => Arquivo Enviado. Processo Concluído!")));
            QCOMPARE(s.logs("X"), QStringLiteral("4314902=//=1=//=Bloqueou xml."));
        } else {
            QCOMPARE(pendentes(), QStringList{arquivo});
            QCOMPARE(local(arquivo), esperado);
            QVERIFY(linhas.last().endsWith(LinhaEnvioPendente(QStringLiteral("O bloqueio está gravado"), arquivo)));
            QCOMPARE(s.logs("X"), QString());
            QVERIFY(!s.srv || s.srv->recebidos() == 0);
        }
    }

    // An unknown key, a blocked authorization, a refused update or a missing date: nothing
    // written, nothing sent.
    void recusas_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<int>("situacao");
        QTest::newRow("chave inexistente") << "inexistente" << int(SituacaoBloqueio::ChaveNaoEncontrada);
        QTest::newRow("ja bloqueada") << "bloqueada" << int(SituacaoBloqueio::JaBloqueada);
        QTest::newRow("update recusado") << "recusado" << -1;
        QTest::newRow("sem data") << "semdata" << -1;
    }
    void recusas()
    {
        QFETCH(QString, caso);
        QFETCH(int, situacao);
        Instalacao s(Ftp::Servidor);
        const AutorizacaoAberta r = s.finalizada();
        PedidoBloqueio p = pedido(caso == "inexistente" ? r.chave + "9" : r.chave);
        if (caso == "bloqueada")
            s.a->b.executa("update marcacao set databloqueio='2026-12-11', obs='CANCELADA'");
        if (caso == "recusado") {
            s.a->b.executa("create exception E_TESTE 'recusado'");
            s.a->b.executa("create trigger T_TESTE for marcacao before update as begin exception E_TESTE; end");
        }
        if (caso == "semdata")
            p.data = QDate();
        const QString antes = s.estado();
        QStringList linhas;
        FtpCliente cliente;
        auto bloqueia = [&] { return BloqueiaAutorizacao(s.a->dm->IBTransaction, &cliente, p, [&](const QString& l) { linhas << l; }); };
        if (situacao < 0)
            QVERIFY_THROWS_EXCEPTION(std::exception, bloqueia());
        else
            QCOMPARE(int(bloqueia().situacao), situacao);
        QCOMPARE(s.estado(), antes);
        QVERIFY(linhas.isEmpty() && pendentes().isEmpty());
        QCOMPARE(s.srv->recebidos(), 0);
    }

    void retransmite_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("ultima");
        QTest::addColumn<QString>("log");
        QTest::newRow("enviado") << "enviado" << " => Arquivo Enviado OK!" << "Enviou xml.";
        QTest::newRow("servidor fora") << "fora"
                                       << LinhaEnvioPendente(QStringLiteral("A autorização está gravada"),
                                                             QStringLiteral("M4314902_ID0000001.xml"))
                                       << "Falhou ao enviar xml.";
        QTest::newRow("sem cliente") << "semcliente" << " => Não foi possível ENVIAR o arquivo M4314902_ID0000001.xml"
                                     << "Não foi possível enviar xml.";
        QTest::newRow("sem profissional") << "semprof" << " => Não foi possível CRIAR o arquivo M4314902_ID0000001.xml" << "";
        QTest::newRow("sem autorizacao") << "nenhuma" << " => Não foi possível CRIAR o arquivo M4314902_ID0000000.xml" << "";
    }
    void retransmite()
    {
        QFETCH(QString, caso);
        QFETCH(QString, ultima);
        QFETCH(QString, log);
        Instalacao s(caso == "fora" ? Ftp::Fora : Ftp::Servidor);
        s.finalizada(caso == "semprof" ? QString() : QStringLiteral("20"));
        QStringList linhas;
        FtpCliente cliente;
        const EnvioAutorizacao e = RetransmiteAutorizacao(s.a->dm->IBTransaction, caso == "semcliente" ? nullptr : &cliente,
                                                          kMun, caso == "nenhuma" ? 0 : 1,
                                                          [&](const QString& l) { linhas << l; }, kAgora);
        QVERIFY(linhas.first().endsWith(QStringLiteral(" => Gerando arquivo XML...")));
        QCOMPARE(linhas.last().mid(19), ultima);
        QCOMPARE(s.logs("X"), log.isEmpty() ? QString() : "4314902=//=1=//=" + log);
        if (caso == "enviado") {
            const QByteArray esperado = MontaMensagemRecriada(s.a->b.tr(), kMun, 1, nullptr, kAgora).toLatin1();
            s.a->b.tr().rollback();
            QCOMPARE(s.remoto("profiss00020/" + e.arquivo), esperado);
            QCOMPARE(pendentes(), QStringList{e.arquivo + " (enviado)"});
        } else {
            QCOMPARE(pendentes(), log.isEmpty() ? QStringList() : QStringList{e.arquivo});
        }
    }

    // ---- the screen ----

    void modos_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("bloqueio");
        QTest::addColumn<QString>("acao");
        QTest::newRow("bloqueio") << "BloqueiodeAutorizaes1" << true << "Bloquear";
        QTest::newRow("reimpressao") << "ReimpressodeAutorizaesEnviadas1" << false << "Imprimir";
        QTest::newRow("retransmissao") << "Individual1" << false << "Retransmitir";
    }
    void modos()
    {
        QFETCH(QString, item);
        QFETCH(bool, bloqueio);
        QFETCH(QString, acao);
        // Opened in another mode first: the same screen is configured again.
        Tela s(bloqueio ? "Individual1" : "BloqueiodeAutorizaes1", Ftp::Fora);
        s.ve(s.finalizada().chave);
        TelaRegistrada(item)();
        QCOMPARE(InstanciaTela<TFBloqueioAut>(), s.t);
        QCOMPARE(s.t->PainelBloqueio()->isVisible(), bloqueio);
        QCOMPARE(s.t->PainelImpressao()->isVisible(), !bloqueio);
        QCOMPARE(SemAtalho((bloqueio ? s.t->PBtnGravar() : s.t->PBImprimir())->text()), acao);
        QCOMPARE(s.t->LCodMun()->text() + ' ' + s.t->LNomeMun()->text(), kMun + " PORTO ALEGRE");
        QCOMPARE(s.t->PEChave()->text(), QStringLiteral("14902"));
        QVERIFY(!s.t->PainelAutorizacao()->isVisible() && s.t->numeroAberto() == 0);
        s.a->b.executa("delete from ibgemunic");
        s.t->configura(s.t->modo());
        QCOMPARE(s.t->LNomeMun()->text(), QStringLiteral("MUNICÍPIO NÃO CONFIGURADO, CONTATE O SUPORTE!"));
        QVERIFY(!s.t->PBtnGravar()->isEnabled());
    }

    // An open authorization, then a blocked one (nothing to reprint or send), then an unknown key.
    void visualiza()
    {
        Tela s("ReimpressodeAutorizaesEnviadas1", Ftp::Fora);
        const AutorizacaoAberta aberta = s.finalizada(QStringLiteral("20"), {103, 104});
        const AutorizacaoAberta bloqueada = s.finalizada();
        s.a->b.executa("update marcacao set databloqueio='2026-12-11' where id_marcacao=2");
        s.ve(aberta.chave);
        QCOMPARE(s.a->msgs.quantidade(), 0);
        QCOMPARE(s.t->numeroAberto(), aberta.numero);
        QCOMPARE(QStringList({s.t->LPaciente()->text(), s.t->LDataLanc()->text(), s.t->LDataMarc()->text(),
                              s.t->LHoraMarc()->text(), s.t->LObs()->text()}),
                 QStringList({"MARIA DA SILVA", "10/12/2026", "14/12/2026", "08:30", "TRAZER EXAMES"}));
        GradeConsulta* g = s.t->GradeProcedimentos();
        QCOMPARE(g->valor("CODIGO", 0) + ' ' + g->valor("PROCEDIMENTO", 0) + ' ' + g->valor("CODIGO", 1),
                 QStringLiteral("103 RESSONANCIA MAGNETICA 104"));

        s.ve(bloqueada.chave);
        QCOMPARE(test::Resumo(s.a->msgs.ultima()), QStringLiteral("|Autorização já Bloqueada!|0"));
        QCOMPARE(int(s.a->msgs.ultima().icone), int(IconeMsg::Aviso));
        QVERIFY(s.t->PainelAutorizacao()->isVisible() && g->linhas() == 1);
        QCOMPARE(s.t->numeroAberto(), qint64(0));
        test::RoteiroModal previews([](QDialog* d) { d->accept(); });
        s.t->PBImprimir()->executa();
        QCOMPARE(previews.chamadas(), 0);
        TelaRegistrada(QStringLiteral("Individual1"))();
        s.ve(bloqueada.chave);
        s.t->PBImprimir()->executa();
        QCOMPARE(s.ultimaLinha(), QStringLiteral(" => Não foi possível CRIAR o arquivo M4314902_ID0000000.xml"));
        QVERIFY(s.logs("X").isEmpty() && pendentes().isEmpty());

        s.ve(aberta.chave + "0");
        QCOMPARE(test::Resumo(s.a->msgs.ultima()), QStringLiteral("|Chave não encontrada!|0"));
        QVERIFY(!s.t->PainelAutorizacao()->isVisible() && s.t->numeroAberto() == 0);
    }

    void bloqueiaNaTela_data()
    {
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("sem chave") << "" << "15/12/2026" << "Informe a Chave da Autorização do Paciente!";
        QTest::newRow("sem data") << "*" << "" << "Informe a Data do Bloqueio da Autorização!";
        QTest::newRow("bloqueia") << "*" << "15/12/2026" << "Autorização Bloqueada!";
    }
    void bloqueiaNaTela()
    {
        QFETCH(QString, chave);
        QFETCH(QString, data);
        QFETCH(QString, mensagem);
        Tela s("BloqueiodeAutorizaes1", Ftp::Servidor);
        const AutorizacaoAberta r = s.finalizada();
        s.ve(chave.replace('*', r.chave));
        s.t->PEData()->setText(data);
        s.t->PEMotivo()->setText(QStringLiteral("FALTOU"));
        const QString antes = s.estado();
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a->msgs.ultima().texto, mensagem);
        QVERIFY(s.t->PBtnGravar()->isEnabled());
        if (data.isEmpty() || chave.isEmpty()) {
            QCOMPARE(s.estado(), antes);
            return;
        }
        QCOMPARE(s.a->texto("select databloqueio || '|' || obs from marcacao"), QStringLiteral("2026-12-15|FALTOU"));
        QVERIFY(!s.remoto("profiss00020/M4314902_ID0000001-bloq.xml").isEmpty());
        const QStringList linhas = s.t->MStatus()->toPlainText().split('\n');
        QVERIFY(linhas.first().endsWith(QStringLiteral(" => Gerando arquivo XML...")));
        QCOMPARE(s.ultimaLinha(), QStringLiteral(" => Arquivo Enviado. Processo Concluído!"));
        QVERIFY(!s.t->PainelAutorizacao()->isVisible() && s.t->PEChave()->text().isEmpty());
        QTRY_VERIFY(s.t->PEChave()->hasFocus());
    }

    // A reason picked from the registry (F2) keeps its code while its text is left as it came.
    void motivoDoCadastro_data()
    {
        QTest::addColumn<bool>("altera");
        QTest::addColumn<QString>("codigo");
        QTest::newRow("como veio") << false << "2";
        QTest::newRow("alterado") << true << "-";
    }
    void motivoDoCadastro()
    {
        QFETCH(bool, altera);
        QFETCH(QString, codigo);
        Tela s("BloqueiodeAutorizaes1", Ftp::Desligado);
        s.a->b.executa(QString::fromUtf8("insert into motivobloqueios (codigo, descricao) values (1, 'ÓBITO')"));
        s.a->b.executa("insert into motivobloqueios (codigo, descricao) values (2, 'PACIENTE DESISTIU')");
        const AutorizacaoAberta r = s.finalizada();
        test::RoteiroModal busca([](QDialog* d) {
            auto* f = qobject_cast<TFProcura*>(d);
            f->RBTrecho->click();
            QTest::keyClicks(f->Edit1, QStringLiteral("desist"));
            QTRY_COMPARE(f->DBLookupListBox1->topLevelItemCount(), 1);
            QTest::keyClick(f->Edit1, Qt::Key_Return);
            QTest::keyClick(f->DBLookupListBox1, Qt::Key_Return);
        });
        s.t->PEMotivo()->setFocus();
        QTest::keyClick(s.t->PEMotivo(), Qt::Key_F2);
        QCOMPARE(s.t->PEMotivo()->text(), QStringLiteral("PACIENTE DESISTIU"));
        if (altera)
            s.t->PEMotivo()->setText(QStringLiteral("PACIENTE DESISTIU HOJE"));
        s.t->PEChave()->setText(r.chave);
        s.t->PEData()->setText(QStringLiteral("15/12/2026"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a->texto("select coalesce(codmotivobloqueio, '-') || '|' || obs from marcacao"),
                 codigo + '|' + s.t->PEMotivo()->text());
        // FTP switched off: the block stands, its message waits for the transmission.
        QCOMPARE(pendentes(), QStringList{"M4314902_ID0000001-bloq.xml"});
    }

    // The reprint is the first print with the reprint mark, the APAC page included when due.
    void reimprime_data()
    {
        QTest::addColumn<bool>("apac");
        QTest::addColumn<int>("paginas");
        QTest::newRow("normal") << false << 3;
        QTest::newRow("apac") << true << 4;
    }
    void reimprime()
    {
        QFETCH(bool, apac);
        QFETCH(int, paginas);
        Tela s("ReimpressodeAutorizaesEnviadas1", Ftp::Fora, apac);
        const AutorizacaoAberta r = s.finalizada(QStringLiteral("20"), {103});
        QTemporaryDir dir;
        const QString primeira = dir.filePath("primeira.pdf"), reimpressa = dir.filePath("reimpressa.pdf");
        int marcas = 0;
        bool suspenso = false;
        test::RoteiroModal preview([&](QDialog* d) {
            auto* p = qobject_cast<rel::UiPreview*>(d);
            suspenso = s.t->fechamentoSuspenso();
            for (int i = 0; i < p->documento().numPaginas(); ++i)
                marcas += p->documento().textos(i).count(QStringLiteral("DOCUMENTO REIMPRESSO"));
            p->exportaPdf(reimpressa);
            d->accept();
        });
        s.ve(r.chave);
        s.t->PBImprimir()->executa();
        QVERIFY(preview.chamadas() == 1 && suspenso);
        QCOMPARE(marcas, 3);
        QVERIFY(rel::GravaPdf(*TRImpFAA::Gera(s.a->b.tr(), PedidoFAA{kMun, r.numero, "M", apac, false}), primeira));
        s.a->b.tr().rollback();
        QCOMPARE(palavras(primeira).size(), paginas);
        QCOMPARE(palavras(reimpressa), palavras(primeira));
    }
};

QTEST_MAIN(TstBloqueio)
#include "tst_bloqueio.moc"
