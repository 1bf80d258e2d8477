// The authorization screen offscreen on a real database and a real FTP server: fields and their
// automatic fills, the procedure list and its limit, balances blocking the finalization, the
// printed form, the message upload, cancelling and closing.
#include "core/Cadastro.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/PainelSaldos.h"
#include "core/widgets/TPersonBtn.h"
#include "exchange/ftp/TransporteFtp.h"
#include "municipality/MensagemAutorizacao.h"
#include "municipality/TFCadPessoas.h"
#include "municipality/TFMarcacao.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/DadosMarcacao.h"
#include "support/Galeria.h"
#include "support/Pdf.h"
#include "support/ServidorFtp.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace vx;

namespace {

const QString kMun = test::kMunMarcacao;

QString periodoAtual() { return QDate::currentDate().toString(QStringLiteral("MM-yyyy")); }

// An installation of Porto Alegre with the authorization rows, and the screen open.
struct Tela {
    std::unique_ptr<test::ServidorFtp> srv;
    std::unique_ptr<test::AmbienteTela> a;
    TFMarcacao* t = nullptr;

    explicit Tela(bool apac = false, bool ftp = false, bool configurado = true, const QStringList& extra = {})
    {
        QStringList conf{"CONSORCIO=CUNE", "FTPHOST=127.0.0.1", "FTPSENHA=pw", "FTPTEMPOTOTAL=20"};
        if (ftp) {
            srv = std::make_unique<test::ServidorFtp>(QList<test::ServidorFtp::Conta>{{"cune01", "pw"}});
            srv->criaPasta(QStringLiteral("cune"));
            conf << "PORTA=" + QString::number(srv->porta());
        } else {
            conf << QStringLiteral("PORTA=1");
        }
        a = std::make_unique<test::AmbienteTela>(QStringLiteral("M4314902"), conf + extra);
        test::PreparaMarcacao(a->b, apac);
        if (!configurado)
            a->b.executa("delete from ibgemunic");
        a->b.executa("insert into unidades (codigo, nome) values (7, 'UBS CENTRO')");
        a->b.executa("insert into usuarios (usuario, codunidade) values ('ana', 7)");
        TFMarcacao::DefineImpressaoConcluida(true);
        t = test::AbreTelaTeste(CriaTela<TFMarcacao>());
    }
    ~Tela()
    {
        delete InstanciaTela<TFMarcacao>();
        TFMarcacao::DefineImpressaoConcluida(true);
    }
    void cabecalho(const QString& paciente = QStringLiteral("1"), const QString& entidade = QStringLiteral("10"))
    {
        test::Digita(t->PECodPessoa(), paciente);
        test::Digita(t->PECodEntidade(), entidade);
    }
    void insere(int procedimento, const QString& quantidade = {})
    {
        test::Digita(t->PECodProcedimento(), QString::number(procedimento));
        if (!quantidade.isEmpty())
            t->PEQuantidade()->setText(quantidade);
        t->PBInserirProcedClick();
    }
    void limite(const QString& valor)
    {
        a->b.executa(QStringLiteral("insert into clilimites (codcliente, periodo, valor) values ('%1', '%2', %3)")
                         .arg(kMun, periodoAtual(), valor));
        t->CalcSaldos();
    }
};

// Runs every preview: writes its document to `pdf` and closes it as the user does.
struct PreviewParaPdf {
    QString pdf;
    int paginas = -1;
    test::RoteiroModal roteiro{[this](QDialog* d) {
        if (auto* p = qobject_cast<rel::UiPreview*>(d)) {
            paginas = p->documento().numPaginas();
            p->exportaPdf(pdf);
        }
        d->accept();
    }};
    explicit PreviewParaPdf(const QString& arquivo) : pdf(arquivo) {}
};

} // namespace

class TstTFMarcacao : public QObject {
    Q_OBJECT

private slots:
    void abertura()
    {
        Tela s;
        QCOMPARE(s.t->LCodMun()->text(), kMun);
        QCOMPARE(s.t->LNomeMun()->text(), QStringLiteral("PORTO ALEGRE"));
        QCOMPARE(s.t->windowTitle(), QStringLiteral("Autorização de Procedimentos - UBS CENTRO"));
        QCOMPARE(s.t->LCodUnidade(), QStringLiteral("7"));
        QCOMPARE(s.t->PECarater()->text(), QStringLiteral("1"));
        QCOMPARE(s.t->PEDataLanc()->text(), SessaoAtual().DataAtual);
        QVERIFY(!s.t->PEDataLanc()->isEnabled());
        QVERIFY(!s.t->PEQuantidade()->isVisible());
        QVERIFY(s.t->PBtnGravar()->isEnabled());
        QVERIFY(!s.t->LCaraterDica()->isVisible());
        s.t->PECarater()->setFocus();
        QTRY_VERIFY(s.t->LCaraterDica()->isVisible());
        QVERIFY(s.t->LCaraterDica()->text().contains(QStringLiteral("6 - OUTROS TIPOS DE LESÕES")));
        s.t->PEObs()->setFocus();
        QTRY_VERIFY(!s.t->LCaraterDica()->isVisible());
        test::SalvaTela(s.t, QStringLiteral("tfmarcacao_vazia"));
    }

    // Without the municipality in the base nothing can be authorized, even after a recomputation.
    void municipioNaoConfigurado()
    {
        Tela s(false, false, false);
        QCOMPARE(s.t->LNomeMun()->text(), QStringLiteral("MUNICÍPIO NÃO CONFIGURADO, CONTATE O SUPORTE!"));
        s.t->CalcSaldos();
        for (TPersonBtn* b : {s.t->PBtnGravar(), s.t->PBtnExcluir(), s.t->PBInserirProced()})
            QVERIFY(!b->isEnabled());
    }

    void paciente_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<bool>("abreCadastro");
        QTest::newRow("completo") << "1" << "MARIA DA SILVA" << "" << false;
        QTest::newRow("incompleto") << "2" << "JOAO PEREIRA" << "Existem dados obrigatórios" << true;
        QTest::newRow("modulos") << "3" << "PEDRO MODULOS" << "" << false;
        QTest::newRow("cartao invalido") << "4" << "CARLOS CARTAO"
                                         << "Este paciente possui um número inválido de Cartão SUS: 123456789010001"
                                         << true;
        QTest::newRow("inexistente") << "77" << "" << "Existem dados obrigatórios" << true;
    }
    void paciente()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, nome);
        QFETCH(QString, mensagem);
        QFETCH(bool, abreCadastro);
        Tela s;
        bool abriu = false;
        QString codigoNoCadastro;
        QTimer fecha;
        connect(&fecha, &QTimer::timeout, [&] {
            if (TFCadPessoas* c = TFCadPessoas::instancia()) {
                abriu = true;
                codigoNoCadastro = c->PECodigo()->text();
                c->close();
            }
        });
        fecha.start(20);
        test::Digita(s.t->PECodPessoa(), codigo);
        QCOMPARE(abriu, abreCadastro);
        if (abreCadastro)
            QCOMPARE(codigoNoCadastro, codigo);
        QCOMPARE(s.t->LPaciente()->text(), nome);
        if (mensagem.isEmpty())
            QCOMPARE(s.a->msgs.quantidade(), 0);
        else
            QVERIFY2(s.a->msgs.ultima().texto.startsWith(mensagem), qPrintable(s.a->msgs.ultima().texto));
    }

    void preenchimentos()
    {
        Tela s;
        // The only professional of the entity comes in with it.
        s.cabecalho();
        QCOMPARE(s.t->PECodProfissional()->text(), QStringLiteral("20"));
        QCOMPARE(s.t->LEntidade()->text(), QStringLiteral("CLINICA VIDA"));
        QCOMPARE(s.t->LProfissional()->text(), QStringLiteral("DRA. LUCIA ALVES"));
        // A professional of another entity is refused.
        test::Digita(s.t->PECodEntidade(), QStringLiteral("11"));
        test::Digita(s.t->PECodProfissional(), QStringLiteral("20"));
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Profissional e/ou Entidade Inválido"));
        // Without an entity the professional brings his entity, and its only procedure.
        s.t->PECodEntidade()->clear();
        s.t->PECodProcedimento()->clear();
        test::Digita(s.t->PECodProfissional(), QStringLiteral("21"));
        QCOMPARE(s.t->PECodEntidade()->text(), QStringLiteral("11"));
        QCOMPARE(s.t->PECodProcedimento()->text(), QStringLiteral("101"));
        QCOMPARE(s.t->LProcedimento()->text(), QStringLiteral("CONSULTA MEDICA ESPECIALIZADA"));
        // The quantity shows only for procedures taken more than once.
        QVERIFY(!s.t->PEQuantidade()->isVisible());
        test::Digita(s.t->PECodEntidade(), QStringLiteral("10"));
        test::Digita(s.t->PECodProfissional(), QStringLiteral("20"));
        test::Digita(s.t->PECodProcedimento(), QStringLiteral("102"));
        QVERIFY(s.t->PEQuantidade()->isVisible());
        s.a->msgs.limpa();
        test::Digita(s.t->PECodProcedimento(), QStringLiteral("999"));
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Código de Procedimento não Cadastrado!"));
        QCOMPARE(int(s.a->msgs.ultima().icone), int(IconeMsg::Erro));
        test::Digita(s.t->PECodCID(), QStringLiteral("M54.5"));
        QCOMPARE(s.t->PECodCID()->text(), QStringLiteral("M545"));
        test::Digita(s.t->PECodCID(), QStringLiteral("X99"));
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Código CID Inválido!"));
        s.t->PECodCID()->clear();
        const QDate ontem = LeData(SessaoAtual().DataAtual).addDays(-1);
        test::Digita(s.t->PEDataMarc(), ontem.toString(QStringLiteral("dd/MM/yyyy")));
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Data Marcada não pode ser anterior a Data da Autorização!"));
    }

    // Fifteen procedures at most: the message comes with the fifteenth, the sixteenth is refused.
    void limiteDeProcedimentos()
    {
        Tela s;
        s.cabecalho();
        for (int p = 200; p < 214; ++p)
            s.insere(p);
        QCOMPARE(s.t->procedimentos().size(), 14);
        QCOMPARE(s.a->msgs.quantidade(), 0);
        QVERIFY(s.t->aberta().numero > 0);
        QVERIFY(!s.t->PECodEntidade()->isEnabled());
        QVERIFY(!s.t->SBCodProfissional()->isEnabled());
        s.insere(214);
        QCOMPARE(s.t->procedimentos().size(), 15);
        QVERIFY(s.a->msgs.ultima().texto.startsWith(QStringLiteral("Foi atingido o limite de 15 procedimentos")));
        s.insere(215);
        QCOMPARE(s.t->procedimentos().size(), 15);
        QCOMPARE(s.a->msgs.quantidade(), 2);
        QCOMPARE(s.a->numero("select count(*) from marcacao_proceds"), 15);
        QCOMPARE(s.t->LValorAutorizacao()->text(), QStringLiteral("15,00"));

        // Removing the selected row recomputes the total.
        s.t->GradeProcedimentos()->selectRow(0);
        s.t->PBExcluirProcedClick();
        QCOMPARE(s.t->procedimentos().size(), 14);
        QCOMPARE(s.t->LValorAutorizacao()->text(), QStringLiteral("14,00"));
        QCOMPARE(s.a->numero("select count(*) from logs where tabela='MarcacaoProced' and situacao='E'"), 1);
    }

    void quantidades()
    {
        Tela s;
        s.cabecalho();
        s.insere(102, QStringLiteral("3"));
        QCOMPARE(s.a->texto("select quantidade || '|' || valortotal from marcacao_proceds"), QStringLiteral("3|15.00"));
        s.insere(101, QStringLiteral("3")); // hidden field: one
        QCOMPARE(s.a->texto("select quantidade from marcacao_proceds where codprocedimento=101"), QStringLiteral("1"));
        s.insere(102, QStringLiteral("11")); // above the maximum of 10
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("A quantidade máxima deste procedimento é 10!"));
        QCOMPARE(s.t->LValorAutorizacao()->text(), QStringLiteral("25,10"));
    }

    void balancoBloqueiaFinalizacao()
    {
        Tela s;
        s.cabecalho();
        s.limite(QStringLiteral("100"));
        s.insere(104);
        s.insere(200);
        s.insere(201);
        s.insere(202);
        s.insere(203);
        QCOMPARE(s.t->procedimentos().size(), 5);
        QVERIFY(!s.t->Saldos()->excedido());
        test::SalvaTela(s.t, QStringLiteral("tfmarcacao_cinco_procedimentos"));
        s.insere(103);
        QVERIFY(s.t->Saldos()->excedido());
        QVERIFY(!s.t->PBtnGravar()->isEnabled());
        test::SalvaTela(s.t, QStringLiteral("tfmarcacao_saldo_negativo"));
        // F10 does nothing while a balance is negative.
        s.a->msgs.limpa();
        QTest::keyClick(s.t, Qt::Key_F10);
        QCOMPARE(s.a->msgs.quantidade(), 0);
        QCOMPARE(s.a->numero("select count(*) from logs where situacao='U'"), 0);
        // Removing the expensive procedure unblocks it.
        const int linha = s.t->GradeProcedimentos()->findItems(QStringLiteral("103"), Qt::MatchExactly).first()->row();
        s.t->GradeProcedimentos()->selectRow(linha);
        s.t->PBExcluirProcedClick();
        QVERIFY(!s.t->Saldos()->excedido());
        QVERIFY(s.t->PBtnGravar()->isEnabled());
    }

    void recusasDaFinalizacao()
    {
        Tela s(true);
        s.cabecalho();
        s.t->PBtnGravarClick();
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Você ainda não inseriu nenhum procedimento!"));
        s.insere(103); // APAC in a municipality that issues the form: a CID is required
        for (const char* c : {"0", "7"}) {
            s.t->PECarater()->setText(QLatin1String(c));
            s.t->PBtnGravarClick();
            QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Informe o Caráter do Atendimento!"));
        }
        s.t->PECarater()->setText(QStringLiteral("1"));
        s.t->PBtnGravarClick();
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Você deve inserir um CID para autorizar este procedimento!"));
        QVERIFY(s.t->PBtnGravar()->isEnabled());
        QCOMPARE(s.a->numero("select count(*) from logs where situacao='U'"), 0);
    }

    // Finalizing: the row updated, three copies (and the APAC page), the message on the server.
    void finaliza_data()
    {
        QTest::addColumn<bool>("apac");
        QTest::addColumn<int>("paginas");
        QTest::newRow("normal") << false << 3;
        QTest::newRow("apac") << true << 4;
    }
    void finaliza()
    {
        QFETCH(bool, apac);
        QFETCH(int, paginas);
        Tela s(apac, true);
        QTemporaryDir dir;
        PreviewParaPdf preview(dir.filePath(QStringLiteral("faa.pdf")));
        s.cabecalho();
        s.insere(103);
        s.insere(102, QStringLiteral("3"));
        const AutorizacaoAberta aberta = s.t->aberta();
        test::Digita(s.t->PECodCID(), QStringLiteral("M54.5"));
        s.t->PECarater()->setText(QStringLiteral("2"));
        QTest::keyClick(s.t, Qt::Key_F10);

        QCOMPARE(preview.paginas, paginas);
        const QStringList texto = test::PaginasPdf(preview.pdf);
        QCOMPARE(texto.size(), paginas);
        const char* vias[] = {"1ª Via - Consórcio", "2ª Via - Entidade", "3ª Via - Município"};
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(texto.at(i).contains(QString::fromUtf8(vias[i])), qPrintable(texto.at(i)));
            QVERIFY(texto.at(i).contains(aberta.chave));
        }
        if (apac)
            QVERIFY(texto.at(3).contains(QStringLiteral("APAC")));

        QCOMPARE(s.a->texto("select carater || '|' || codcid from marcacao"), QStringLiteral("2|M545"));
        const QString arquivo = NomeMensagemAutorizacao(kMun, aberta.numero);
        const QByteArray local = [&] {
            QFile f(PastaEnvio() + arquivo + " (enviado)");
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QVERIFY(!local.isEmpty());
        QFile remoto(s.srv->caminho("cune/marcacao/profiss00020/" + arquivo));
        QVERIFY(remoto.open(QIODevice::ReadOnly));
        QCOMPARE(remoto.readAll(), local);
        QVERIFY(s.t->MStatus()->toPlainText().contains(QStringLiteral("Arquivo Enviado. Processo Concluído!")));
        // The screen is ready for the next patient.
        QCOMPARE(s.t->aberta().numero, qint64(0));
        QVERIFY(CodigoVazio(s.t->PECodPessoa()->text()));
        QVERIFY(s.t->PECodEntidade()->isEnabled());
        QVERIFY(s.t->PBtnGravar()->isEnabled());
        QVERIFY(TFMarcacao::ImpressaoConcluida());
        QVERIFY(s.t->close());
        QTRY_VERIFY(!InstanciaTela<TFMarcacao>());
    }

    // With the server unreachable the authorization is finalized and its file waits for the
    // transmission.
    void finalizaSemServidor()
    {
        Tela s;
        QTemporaryDir dir;
        PreviewParaPdf preview(dir.filePath(QStringLiteral("faa.pdf")));
        s.cabecalho();
        s.insere(101);
        const qint64 n = s.t->aberta().numero;
        s.t->PBtnGravarClick();
        QCOMPARE(preview.paginas, 3);
        QVERIFY(QFile::exists(PastaEnvio() + NomeMensagemAutorizacao(kMun, n)));
        QVERIFY(QFile::exists(PastaErros() + NomeMensagemAutorizacao(kMun, n)));
        QVERIFY(s.t->MStatus()->toPlainText().contains(QStringLiteral(" => FALHOU!")));
        QCOMPARE(s.a->numero("select count(*) from marcacao where databloqueio is null"), 1);
        QCOMPARE(s.a->numero("select count(*) from logs where outrasinfo like '%Falhou ao enviar xml.'"), 1);
        QCOMPARE(s.t->aberta().numero, qint64(0));
    }

    // A printout that fails keeps the authorization saved, sends nothing and blocks the rest of
    // the run.
    void impressaoQueFalha()
    {
        Tela s;
        test::RoteiroModal falha([](QDialog*) { throw std::runtime_error("impressora"); });
        s.cabecalho();
        s.insere(101);
        const qint64 n = s.t->aberta().numero;
        s.t->PBtnGravarClick();
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Erro ao imprimir! Tente novamente"));
        QVERIFY(!QFile::exists(PastaEnvio() + NomeMensagemAutorizacao(kMun, n)));
        QCOMPARE(s.a->numero("select count(*) from logs where situacao='U'"), 1);
        QVERIFY(!s.t->PBtnGravar()->isEnabled());
        s.insere(104);
        QCOMPARE(s.a->msgs.ultima().titulo, QStringLiteral("Violação"));
        QCOMPARE(s.a->numero("select count(*) from marcacao_proceds"), 1);
    }

    void cancelaEFecha()
    {
        Tela s;
        s.cabecalho();
        s.insere(101);
        const qint64 n = s.t->aberta().numero;
        QVERIFY(!s.t->close());
        QCOMPARE(s.a->msgs.ultima().texto,
                 QStringLiteral("Você deve Finalizar ou Cancelar esta autorização para poder fechar a tela"));
        QCOMPARE(s.a->msgs.ultima().titulo, QString());
        QVERIFY(InstanciaTela<TFMarcacao>());
        s.t->PBtnExcluir()->executa();
        QTRY_VERIFY(!InstanciaTela<TFMarcacao>());
        QCOMPARE(s.a->texto(QStringLiteral("select obs from marcacao where id_marcacao=%1").arg(n)),
                 QStringLiteral("Autorização Cancelada pelo Usuário"));
        QCOMPARE(s.a->numero("select count(*) from marcacao_proceds"), 1);
        QCOMPARE(s.a->numero("select count(*) from logs where tabela='Marcacao' and situacao='D'"), 1);
    }

    // A first insertion the database refuses leaves no number and no key on the screen.
    void insercaoRecusada()
    {
        Tela s;
        s.a->b.executa("create exception E_TESTE 'recusado'");
        s.a->b.executa("create trigger T_TESTE for marcacao_proceds before insert as begin exception E_TESTE; end");
        s.cabecalho();
        s.insere(101);
        QCOMPARE(s.t->aberta().numero, qint64(0));
        QVERIFY(s.t->LId_Marcacao()->text().isEmpty());
        QVERIFY(s.t->PEChave()->text().isEmpty());
        QVERIFY(s.t->PECodEntidade()->isEnabled());
        QVERIFY(s.t->PBInserirProced()->isEnabled());
        QCOMPARE(s.a->numero("select count(*) from marcacao"), 0);
        QVERIFY(s.t->close());
    }
};

QTEST_MAIN(TstTFMarcacao)
#include "tst_tfmarcacao.moc"
