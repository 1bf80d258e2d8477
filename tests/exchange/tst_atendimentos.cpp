// A provider installation on a real database and a real FTP server: the authorization a
// municipality database wrote is fetched by its key and imported field for field; the attendance
// screen in its cases; the confirmation and its realization message on the server; hostile files
// refused without touching the database; the server copy marked only together with the commit.
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "exchange/Atendimentos.h"
#include "exchange/CorrecaoConsultas.h"
#include "exchange/ImportacaoMensagens.h"
#include "exchange/MensagemXml.h"
#include "exchange/TFAtendimentos.h"
#include "exchange/ftp/FtpCliente.h"
#include "municipality/Bloqueio.h"
#include "municipality/Marcacao.h"
#include "municipality/MensagemAutorizacao.h"
#include "support/AmbienteTela.h"
#include "support/DadosMarcacao.h"
#include "support/Galeria.h"
#include "support/ServidorFtp.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QtTest>

#include <memory>

using namespace vx;

namespace {

const QString kMun = test::kMunMarcacao;
const QDateTime kAgora(QDate(2026, 12, 10), QTime(9, 15, 0));

QString anoMes() { return DataAtualDate().toString(QStringLiteral("yyyy_MM")); }

// A provider (entity 10 by default) whose server holds the profile folder "cune", and the
// municipality's own database, where authorizations are made and their messages written.
struct Prestador {
    std::unique_ptr<test::ServidorFtp> srv;
    std::unique_ptr<test::AmbienteTela> a;
    test::BancoTeste mun;

    explicit Prestador(const QString& usuario = QStringLiteral("E10"), const QStringList& extra = {})
    {
        srv = std::make_unique<test::ServidorFtp>(QList<test::ServidorFtp::Conta>{{"cune03", "pw"}});
        srv->criaPasta(QStringLiteral("cune/marcacao"));
        QStringList conf{"CONSORCIO=CUNE", "FTPHOST=127.0.0.1", "FTPSENHA=pw", "FTPTEMPOTOTAL=20",
                         "PORTA=" + QString::number(srv->porta())};
        a = std::make_unique<test::AmbienteTela>(usuario, conf + extra);
        test::PreparaMarcacao(a->b);
        test::PreparaMarcacao(mun);
    }
    // Finalized at the municipality for patient 1 at entity 10; its message put where the
    // municipality's transmission puts it (profiss00000 without a professional).
    AutorizacaoAberta autoriza(const QString& profissional = QStringLiteral("20"), QList<qint64> procs = {101, 102, 104})
    {
        Autorizacao aut{kMun, "1", "10", profissional, "10/12/2026", "14/12/2026", "08:30", "1", "M545",
                        "TRAZER EXAMES & RAIO-X", {}, "ana", "10/12/2026"};
        AutorizacaoAberta r;
        for (qint64 p : procs)
            r = InsereProcedimento(mun.tr(), aut, r, p, p == 102 ? 4 : 1);
        GravaFinalizacao(mun.tr(), aut, r);
        mun.tr().inicia();
        const QString texto = MontaMensagemAutorizacao(mun.tr(), kMun, "PORTO ALEGRE", r.numero, kAgora);
        mun.tr().rollback();
        poeNoServidor(QStringLiteral("profiss%1").arg(profissional.toInt(), 5, 10, QLatin1Char('0')),
                      NomeMensagemAutorizacao(kMun, r.numero), texto.toLatin1() + "\r\n");
        return r;
    }
    void poeNoServidor(const QString& pasta, const QString& nome, const QByteArray& dados) const
    {
        srv->criaPasta("cune/marcacao/" + pasta);
        test::GravaArquivo(srv->caminho("cune/marcacao/" + pasta + "/" + nome), dados);
    }
    QStringList noServidor(const QString& pasta) const
    {
        return QDir(srv->caminho("cune/" + pasta)).entryList(QDir::Files, QDir::Name);
    }
    // An authorization stored here as an earlier import left it.
    void insereLocal(qint64 id, const QString& chave, const QString& entidade = "10", const QString& prof = "20",
                     const QString& extra = {})
    {
        a->b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, "
                                    "codprofissional, datalanc, chaveimpre, obs) values ('%1', %2, '01/12/2026 001', 1, %3, "
                                    "%4, '2026-12-01', '%5', 'LOCAL')")
                         .arg(kMun)
                         .arg(id)
                         .arg(entidade, prof, chave));
        for (auto [proc, valor] : {std::pair{101, "10.10"}, {104, "0"}, {200, "1.00"}})
            a->b.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, "
                                        "codprocedimento, quantidade, valortotal) values ('%1', %2, '01/12/2026 001', %3, "
                                        "2, %4)")
                             .arg(kMun)
                             .arg(id)
                             .arg(proc)
                             .arg(valor));
        if (!extra.isEmpty())
            a->b.executa(QStringLiteral("update marcacao set %1 where id_marcacao=%2").arg(extra).arg(id));
    }
    // Every stored value of the three tables an import writes.
    QString estado()
    {
        return a->texto("select count(*) || '#' || list(cli_origem || ':' || codigo || ':' || coalesce(nome, '') || ':' || "
                        "coalesce(sexo, '') || ':' || coalesce(obs, ''), ';') from (select * from pessoas order by 1, 2)") +
               '|' +
               a->texto("select count(*) || '#' || list(cli_origem || ':' || id_marcacao || ':' || data_imp_adm || ':' || "
                        "coalesce(chaveimpre, '') || ':' || coalesce(databloqueio, '-') || ':' || coalesce(obs, ''), ';') "
                        "from (select * from marcacao order by 1, 2, 3)") +
               '|' +
               a->texto("select count(*) || '#' || list(cli_origem || ':' || id_marcacao || ':' || codprocedimento || ':' || "
                        "data_imp_adm || ':' || coalesce(quantidade, 0) || ':' || coalesce(valortotal, 0) || ':' || "
                        "coalesce(realizado, '-'), ';') from (select * from marcacao_proceds order by 1, 2, 3, 4)");
    }
    QStringList linhasErro() const
    {
        return QString::fromLatin1(test::LeArquivo(CaminhoInstalacao("Erro.TXT"))).split("\r\n", Qt::SkipEmptyParts);
    }
};

struct Tela : Prestador {
    TFAtendimentos* t;
    explicit Tela(const QString& usuario = QStringLiteral("E10"), const QStringList& extra = {}) : Prestador(usuario, extra)
    {
        TelaRegistrada(QStringLiteral("RealizaodeExames1"))();
        t = test::AbreTelaTeste(InstanciaTela<TFAtendimentos>());
    }
    ~Tela() { delete InstanciaTela<TFAtendimentos>(); }
    void ve(const QString& chave) { test::Digita(t->PEChave(), chave); }
    QString status() const { return t->MStatus()->toPlainText(); }
    QStringList linhasVisiveis() const
    {
        QStringList r;
        for (int n = 1; n <= 20; ++n)
            if (t->CBProced(n)->isVisible())
                r << QString(t->CBProced(n)->isChecked() ? "[x] " : "[ ] ") + t->CBProced(n)->text();
        return r;
    }
};

} // namespace

class TstAtendimentos : public QObject {
    Q_OBJECT

private slots:
    void prefixoDaChave_data()
    {
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("prefixo");
        QTest::newRow("13 characters") << "1234500123789" << "M4312345_ID0000123";
        QTest::newRow("14 characters") << "12345100123789" << "M4312345_ID0100123";
        QTest::newRow("a key of Porto Alegre") << "1490200001347" << "M4314902_ID0000001";
    }
    void prefixoDaChave()
    {
        QFETCH(QString, chave);
        QFETCH(QString, prefixo);
        QCOMPARE(PrefixoArquivoChave(chave), prefixo);
    }

    // The message the municipality wrote arrives here value for value; the patient stored before
    // is replaced as a whole; the server copy is marked and a second view finds the key here.
    void importaOQueOMunicipioEscreveu()
    {
        Tela p;
        p.a->b.executa("update pessoas set nome='NOME ANTIGO', fones='000' where codigo=1");
        const AutorizacaoAberta aut = p.autoriza();
        p.ve(aut.chave);
        QCOMPARE(p.a->msgs.textos(), QStringList());
        QVERIFY(p.t->PainelAutorizacao()->isVisible());
        QCOMPARE(p.t->LPaciente()->text(), QStringLiteral("MARIA DA SILVA"));
        QCOMPARE(p.t->LProfissional()->text(), QStringLiteral("DRA. LUCIA ALVES"));
        QCOMPARE(p.linhasVisiveis(), (QStringList{"[x] 01 x CONSULTA MEDICA ESPECIALIZADA (10,10)",
                                                  "[x] 04 x FISIOTERAPIA MOTORA (5,00)",
                                                  "[x] 01 x ECOGRAFIA ABDOMINAL (60,00)"}));
        QVERIFY(p.t->PBtnGravar()->isEnabled());
        QVERIFY(p.status().contains(" => Verificando procedimentos p/ Profiss. 20..."));
        QVERIFY(p.status().contains(" => Inseridos 1 procedimentos (OK)"));
        const QString nome = NomeMensagemAutorizacao(kMun, aut.numero);
        QCOMPARE(p.noServidor("marcacao/profiss00020"), QStringList{"okch " + nome});

        const char* pessoa = "select nome||'|'||cartaosus||'|'||datanasc||'|'||coalesce(fones,'')||'|'||sexo||'|'||raca||'|'||"
                             "coalesce(endereco,'')||'|'||bairro||'|'||cep||'|'||nomemae from pessoas where cli_origem='4314902' "
                             "and codigo=1";
        QCOMPARE(p.a->texto(pessoa), p.mun.valor(pessoa).toString());
        const QString marcacao = QStringLiteral(
            "select cli_origem||'|'||id_marcacao||'|'||codentidade||'|'||codprofissional||'|'||codpessoa||'|'||datalanc||'|'||"
            "datamarc||'|'||horamarc||'|'||codcid||'|'||chaveimpre||'|'||carater||'|'||obs from marcacao where id_marcacao=%1")
                                     .arg(aut.numero);
        QCOMPARE(p.a->texto(marcacao), p.mun.valor(marcacao).toString());
        const QString procs =
            QStringLiteral("select list(codprocedimento||':'||quantidade||':'||valortotal, ';') from (select * from "
                           "marcacao_proceds where id_marcacao=%1 order by codprocedimento)")
                .arg(aut.numero);
        QCOMPARE(p.a->texto(procs), p.mun.valor(procs).toString());
        QVERIFY(QRegularExpression("^" + QRegularExpression::escape(SessaoAtual().DataAtual) + " \\d{3}$")
                    .match(p.a->texto("select data_imp_adm from marcacao"))
                    .hasMatch());
        QCOMPARE(p.a->numero("select count(*) from marcacao_proceds where realizado is not null"), 0);

        // Viewed again: found here, nothing fetched, still one copy.
        p.ve(QString());
        p.ve(aut.chave);
        QVERIFY(!p.status().contains("Conectando"));
        QCOMPARE(p.a->numero("select count(*) from marcacao"), 1);
        test::SalvaTela(p.t, QStringLiteral("atendimentos"));
    }

    // What the screen says for a key in each state, and whether it may be confirmed.
    void visualiza_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("extra");     // update of the stored authorization ("-": none stored)
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<bool>("confirma");
        QTest::addColumn<QStringList>("linhas");
        const QStringList todas{"[x] 02 x CONSULTA MEDICA ESPECIALIZADA (10,10)", "[x] 02 x ECOGRAFIA ABDOMINAL (60,00)",
                                "[x] 02 x EXAME 200 (1,00)"};
        QTest::newRow("found here") << "E10" << "" << "" << true << todas;
        QTest::newRow("unknown key") << "E10" << "-" << "|Chave não encontrada!|0" << false << QStringList();
        QTest::newRow("blocked") << "E10" << "databloqueio='2026-12-05'"
                                 << "|Autorização Bloqueada no Município de Origem!|0" << false << todas;
        QTest::newRow("another entity") << "E11" << ""
                                        << "|Esta Autorização refere-se a outra Entidade, por favor verifique!|0" << false
                                        << todas;
        QTest::newRow("own code compared as text") << "E010" << ""
                                                   << "|Esta Autorização refere-se a outra Entidade, por favor verifique!|0"
                                                   << false << todas;
        QTest::newRow("professional installation") << "P20" << "" << "" << true << todas;
        QTest::newRow("already realized")
            << "E10" << "datarealizacao='2026-12-03'" << "|Procedimento já realizado!|0" << false
            << QStringList{"[ ] 02 x CONSULTA MEDICA ESPECIALIZADA (10,10)", "[x] 02 x ECOGRAFIA ABDOMINAL (60,00)",
                           "[ ] 02 x EXAME 200 (1,00)"};
    }
    void visualiza()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, extra);
        QFETCH(QString, mensagem);
        QFETCH(bool, confirma);
        QFETCH(QStringList, linhas);
        Tela p(usuario);
        if (extra != "-")
            p.insereLocal(7, "1490200007123", "10", "20", extra);
        p.a->b.executa("update marcacao_proceds set realizado='S' where codprocedimento=104");
        p.ve("1490200007123");
        QStringList vistas;
        for (const auto& m : p.a->msgs.mensagens())
            vistas << test::Resumo(m);
        QCOMPARE(vistas.join(" / "), mensagem);
        QCOMPARE(p.t->PBtnGravar()->isEnabled(), confirma);
        QCOMPARE(p.linhasVisiveis(), linhas);
        QCOMPARE(p.t->PainelAutorizacao()->isVisible(), !linhas.isEmpty());
        if (extra.startsWith("datarealizacao"))
            QCOMPARE(p.t->PEDataRealizacao()->text(), QStringLiteral("03/12/2026"));
        // An unknown key was searched once (the search imported nothing).
        if (extra == "-")
            QCOMPARE(p.status().count(" => Conectando ao servidor ftp..."), 1);
    }

    // A file whose name matches the key but that does not make it visible is fetched at most twice:
    // the second time as the marked copy, under a new stamp.
    void duasBuscasNoMaximo()
    {
        Tela p;
        const AutorizacaoAberta aut = p.autoriza();
        const QString chave = aut.chave;
        p.mun.executa("update marcacao set chaveimpre='OUTRA' where id_marcacao=" + QString::number(aut.numero));
        p.mun.tr().inicia();
        const QString texto = MontaMensagemAutorizacao(p.mun.tr(), kMun, "PORTO ALEGRE", aut.numero, kAgora);
        p.mun.tr().rollback();
        const QString nome = NomeMensagemAutorizacao(kMun, aut.numero);
        p.poeNoServidor("profiss00020", nome, texto.toLatin1());
        p.ve(chave);
        QCOMPARE(p.a->msgs.textos(), QStringList{"Chave não encontrada!"});
        QCOMPARE(p.noServidor("marcacao/profiss00020"), QStringList{"okch okch " + nome});
        QCOMPARE(p.a->numero("select count(*) from marcacao"), 2);
    }

    void servidorForaDoAr()
    {
        Tela p;
        p.srv->defineParado(true);
        p.ve("1490200001347");
        QCOMPARE(p.a->msgs.textos(), (QStringList{"Não foi possível conectar ao servidor!", "Chave não encontrada!"}));
        QCOMPARE(p.a->msgs.mensagens().first().icone, IconeMsg::Nenhum);
        QVERIFY(p.status().contains(" => Falhou!"));
    }

    // Two of three procedures confirmed: rows, audit, the message in the month's folder.
    void confirma()
    {
        Tela p;
        const AutorizacaoAberta aut = p.autoriza();
        p.a->b.executa("update procedimentos set valor=12.50, valorsus=7.25");
        p.ve(aut.chave);
        p.t->CBProced(2)->setChecked(false);
        p.t->PBtnGravar()->executa();
        QCOMPARE(p.a->msgs.textos(), QStringList());
        const QString id = QString::number(aut.numero);
        // VALORTOTAL was given at the municipality and stays; VALORTOTALSUS follows today's price.
        QCOMPARE(p.a->texto("select list(codprocedimento||':'||coalesce(realizado,'-')||':'||valortotal||':'||"
                            "coalesce(valortotalsus,'-'), ';') from (select * from marcacao_proceds order by codprocedimento)"),
                 QStringLiteral("101:S:10.10:7.25;102:-:20.00:-;104:S:60.00:7.25"));
        QCOMPARE(p.a->texto("select datarealizacao from marcacao"), DataAtualDate().toString("yyyy-MM-dd"));
        QVERIFY(!p.a->texto("select data_digitacao from marcacao").isEmpty());
        QCOMPARE(p.a->texto("select data_digitacao from marcacao"), p.a->texto("select data_importacao from marcacao"));
        QCOMPARE(p.a->texto("select tabela||'|'||situacao||'|'||outrasinfo from logs"),
                 "Atendimento|I|" + aut.chave + "=//=" + SessaoAtual().DataAtual + "=//=" + SessaoAtual().DataAtual);

        const QString arquivo = NomeMensagemAutorizacao(kMun, aut.numero, "E10");
        QCOMPARE(p.noServidor("faturamento/" + anoMes()), QStringList{arquivo});
        const LeitorMensagem m(test::LeArquivo(p.srv->caminho("cune/faturamento/" + anoMes() + "/" + arquivo)));
        QCOMPARE(m.valor("cabecalho/respEnvio"), QStringLiteral("E10"));
        QCOMPARE(m.valor("cabecalho/nomeResp"), QStringLiteral("CLINICA VIDA"));
        QCOMPARE(m.valor("marcacao/id"), id);
        QStringList dets;
        for (const auto* d : m.elementos("marcacao/procedimentos/det"))
            dets << d->atributo("nSeq") + ":" + d->valor("codigo") + ":" + d->valor("quant") + ":" + d->valor("valortotal");
        QCOMPARE(dets, (QStringList{"1:101:1:10,1", "2:104:1:60"}));
        QVERIFY(QFile::exists(PastaEnvio() + arquivo + " (enviado)"));
        QVERIFY(p.status().endsWith(" => Arquivo Enviado. Processo Concluído!"));
        QVERIFY(!p.t->PainelAutorizacao()->isVisible());
        QVERIFY(p.t->PEChave()->text().isEmpty());
        QVERIFY(!p.t->PBtnGravar()->isEnabled());
        test::SalvaTela(p.t, QStringLiteral("atendimentos-confirmado"));
    }

    // The realization date's year: from 2014 to the working date's year; nothing written otherwise.
    void dataDaRealizacao_data()
    {
        QTest::addColumn<int>("ano");
        QTest::addColumn<bool>("aceita");
        const int atual = QDate::currentDate().year();
        QTest::newRow("current year") << atual << true;
        QTest::newRow("next year") << atual + 1 << false;
        QTest::newRow("2014") << 2014 << true;
        QTest::newRow("2013") << 2013 << false;
    }
    void dataDaRealizacao()
    {
        QFETCH(int, ano);
        QFETCH(bool, aceita);
        Tela p;
        p.insereLocal(7, "1490200007123");
        p.ve("1490200007123");
        p.t->PEDataRealizacao()->setText(QStringLiteral("15/01/%1").arg(ano));
        p.srv->defineParado(true); // the message waits in arquivosxml/env
        p.t->PBtnGravar()->executa();
        QCOMPARE(p.a->msgs.textos(), aceita ? QStringList() : QStringList{"Data Inválida!"});
        QCOMPARE(p.a->texto("select coalesce(datarealizacao, '-') from marcacao"),
                 aceita ? QStringLiteral("%1-01-15").arg(ano) : QStringLiteral("-"));
        QCOMPARE(QDir(PastaEnvio()).entryList(QDir::Files).size(), aceita ? 1 : 0);
    }

    void nenhumProcedimentoMarcado()
    {
        Tela p;
        p.insereLocal(7, "1490200007123");
        p.ve("1490200007123");
        const QString antes = p.estado();
        for (int n = 1; n <= 3; ++n)
            p.t->CBProced(n)->setChecked(false);
        p.t->PBtnGravar()->executa();
        QCOMPARE(p.a->msgs.ultima().texto,
                 QStringLiteral("Você deve marcar ao menos um procedimento antes de confirmar. O envio será cancelado!"));
        QCOMPARE(p.a->msgs.ultima().icone, IconeMsg::Informacao);
        QCOMPARE(p.estado(), antes);
        QVERIFY(!p.t->PBtnGravar()->isEnabled());
    }

    // An authorization without professional: the provider names one, which the message carries;
    // a professional not linked to the entity is refused on leaving the field.
    void semProfissional()
    {
        Tela p;
        const AutorizacaoAberta aut = p.autoriza(QString(), {101});
        p.ve(aut.chave);
        QVERIFY(p.t->PECodProf()->isVisible());
        p.t->PBtnGravar()->executa();
        QCOMPARE(p.a->msgs.textos(), QStringList{"Informe o Profissional Responsável por este atendimento!"});
        test::Digita(p.t->PECodProf(), "21");
        QCOMPARE(p.a->msgs.ultima().texto, QStringLiteral("Código Inválido!"));
        QCOMPARE(p.a->msgs.ultima().icone, IconeMsg::Erro);
        p.t->PECodProf()->setText("20");
        p.t->PBtnGravar()->executa();
        QCOMPARE(p.a->texto("select codprofissional from marcacao"), QStringLiteral("20"));
        const QString arquivo = NomeMensagemAutorizacao(kMun, aut.numero, "E10");
        const LeitorMensagem m(test::LeArquivo(p.srv->caminho("cune/faturamento/" + anoMes() + "/" + arquivo)));
        QCOMPARE(m.valor("marcacao/codprofissional"), QStringLiteral("20"));
    }

    // An entity with two professionals must name one for every authorization.
    void entidadeComDoisProfissionais()
    {
        Tela p("E11");
        QVERIFY(p.t->PECodProf()->isVisible());
        QVERIFY(p.t->PECodProf()->requerido());
        QVERIFY(p.t->PECodProf()->toolTip().contains("[21-DR. PAULO REIS]   [22-DR. ICARO LIMA]"));
        QCOMPARE(p.t->LCodigo()->text(), QStringLiteral("0000011"));
        QCOMPARE(p.t->LNome()->text(), QStringLiteral("HOSPITAL SUL"));
    }

    void naoConfigurada()
    {
        Tela p("E99");
        QCOMPARE(p.t->LNome()->text(), QStringLiteral("PROFISSIONAL/ENTIDADE NÃO CONFIGURADA, CONTATE O SUPORTE!"));
        p.insereLocal(7, "1490200007123", "99");
        p.ve("1490200007123");
        QVERIFY(p.t->PainelAutorizacao()->isVisible());
        QVERIFY(!p.t->PBtnGravar()->isEnabled());
    }

    // The date of a realized authorization corrected through the date question; nothing is sent.
    void alteraDataRealizacao()
    {
        Tela p("E10", {"ALTERADATAREALIZACAO=S"});
        p.insereLocal(7, "1490200007123", "10", "20", "datarealizacao='2026-12-03'");
        QStringList respostas{"31/02/2026", "04/12/2026"};
        test::RoteiroModal roteiro([&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Alteração de Data"));
            d->findChild<TPersonEdit*>("PEData")->setText(respostas.takeFirst());
            d->accept();
        });
        p.ve("1490200007123");
        QVERIFY(p.t->PBAlteraDataRealizacao()->isVisible());
        test::SalvaTela(p.t, QStringLiteral("atendimentos-realizado"));
        p.t->PBAlteraDataRealizacao()->executa();
        QCOMPARE(roteiro.chamadas(), 2);
        QCOMPARE(p.a->msgs.textos(), (QStringList{"Procedimento já realizado!", "Data inválida"}));
        QCOMPARE(p.a->texto("select datarealizacao from marcacao"), QStringLiteral("2026-12-04"));
        QCOMPARE(p.a->texto("select situacao||'|'||outrasinfo from logs"),
                 QStringLiteral("U|1490200007123=//=03/12/2026=>04/12/2026"));
        QVERIFY(p.noServidor("faturamento/" + anoMes()).isEmpty());
    }

    // Hostile or broken files: refused, logged in Erro.TXT and the status box, the database
    // untouched and the server copy left under its own name.
    void arquivoRecusado_data()
    {
        QTest::addColumn<QByteArray>("conteudo");
        QTest::addColumn<QString>("motivo");
        const QByteArray inicio = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\">"
                                  "<cabecalho><respEnvio>4314902</respEnvio></cabecalho><paciente><codigo>1</codigo>"
                                  "<nome>MARIA</nome></paciente><marcacao>";
        const QByteArray fim = "<chaveimpre>1490200001347</chaveimpre><procedimentos><det nSeq='1'><codigo>101</codigo>"
                               "<quant>1</quant><valortotal>10,10</valortotal></det></procedimentos></marcacao></mensagemVXO>";
        QTest::newRow("not well-formed") << inicio + "<id>1</id><procedimentos>" << "inválido";
        QTest::newRow("truncated") << (inicio + "<id>1</id>" + fim).left(300) << "inválido";
        QTest::newRow("wrong root") << QByteArray("<?xml version=\"1.0\"?><outra><cabecalho><respEnvio>4314902</respEnvio>"
                                                  "</cabecalho></outra>")
                                    << "raiz";
        QTest::newRow("id not a number") << inicio + "<id>1 or 1=1</id>" + fim << "1 or 1=1";
        QTest::newRow("procedure code not a number")
            << inicio + "<id>1</id>" + QByteArray(fim).replace("<codigo>101</codigo>", "<codigo>101); delete from pessoas --</codigo>")
            << "delete";
        QTest::newRow("quantity not a decimal")
            << inicio + "<id>1</id>" + QByteArray(fim).replace("<quant>1</quant>", "<quant>1)+(2</quant>") << "1)+(2";
        QTest::newRow("unreadable date") << inicio + "<id>1</id><datalanc>32/13/2026</datalanc>" + fim << "32/13/2026";
        QTest::newRow("no sender") << QByteArray(inicio).replace("4314902", "") + "<id>1</id>" + fim << "respEnvio";
        QTest::newRow("entity declarations")
            << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                          "<mensagemVXO><x>&b;</x></mensagemVXO>")
            << "DOCTYPE";
        QTest::newRow("far too large") << inicio + "<id>1</id><obs>" + QByteArray(1200 * 1024, 'A') + "</obs>" + fim
                                       << "recusado";
    }
    void arquivoRecusado()
    {
        QFETCH(QByteArray, conteudo);
        QFETCH(QString, motivo);
        Tela p("E10", {"TAMANHOMAXXML=1"});
        const QString nome = QStringLiteral("M4314902_ID0000001.xml");
        p.poeNoServidor("profiss00020", nome, conteudo);
        const QString antes = p.estado();
        p.ve("1490200001347");
        QCOMPARE(p.a->msgs.textos(), QStringList{"Chave não encontrada!"});
        QCOMPARE(p.estado(), antes);
        QCOMPARE(p.noServidor("marcacao/profiss00020"), QStringList{nome});
        QVERIFY2(p.status().contains(" => Arquivo " + nome + " recusado: "), qPrintable(p.status()));
        // Nothing imported: searched once, one four-line block.
        const QStringList erro = p.linhasErro();
        QVERIFY2(erro.size() == 4, qPrintable(erro.join('\n')));
        QCOMPARE(erro.last(), QString(55, '='));
        QVERIFY(QDateTime::fromString(erro.first(), "dd/MM/yyyy hh:mm:ss").isValid());
        QVERIFY2(erro.join('\n').contains(motivo), qPrintable(erro.join('\n')));
        QVERIFY(erro.at(erro.size() - 2).startsWith("Erro. "));
    }

    // A refused mark ("okch " name taken) keeps the rows: the file is registered, and every later
    // search only tries the mark again until it goes through; the authorization is stored once.
    void renomeacaoRecusada()
    {
        Prestador p;
        const AutorizacaoAberta aut = p.autoriza();
        const QString nome = NomeMensagemAutorizacao(kMun, aut.numero);
        p.srv->defineRenomeiaSemSubstituir(true);
        p.poeNoServidor("profiss00020", "okch " + nome, "antigo");
        LogErros erros;
        BuscaChave b{aut.chave, 'E', "10", {}};
        const auto busca = [&] {
            return BuscaChaveNoServidor(ClienteFtpCompartilhado(), p.a->dm->IBTransaction, b, erros, {}).importados;
        };
        QCOMPARE(busca(), 1);
        QCOMPARE(p.a->numero("select count(*) from marcacao"), 1);
        QCOMPARE(p.noServidor("marcacao/profiss00020"), (QStringList{nome, "okch " + nome}));
        // The blocker matches the mask too, and is no message.
        QCOMPARE(erros.linhas().size(), 4);
        QCOMPARE(p.linhasErro(), erros.linhas());
        QCOMPARE(busca(), 1);
        QCOMPARE(p.a->numero("select count(*) from marcacao"), 1);

        QFile::remove(p.srv->caminho("cune/marcacao/profiss00020/okch " + nome));
        QCOMPARE(busca(), 1);
        QCOMPARE(p.a->numero("select count(*) from marcacao"), 1);
        QCOMPARE(p.a->numero("select count(*) from arquivos_importados"), 1);
        QCOMPARE(p.noServidor("marcacao/profiss00020"), QStringList{"okch " + nome});
    }

    // Stored copies of one key in any physical order: the realized one speaks, then a blocked
    // one, then the newest import.
    void copiaQueFala_data()
    {
        QTest::addColumn<QStringList>("copias"); // stamp:state in insertion order (R realized, B blocked, - open)
        QTest::addColumn<QString>("fala");
        QTest::newRow("realized before a later open copy") << QStringList{"01/12/2026 001:R", "05/12/2026 002:-"}
                                                           << "01/12/2026 001";
        QTest::newRow("realized after") << QStringList{"05/12/2026 002:-", "01/12/2026 001:R"} << "01/12/2026 001";
        QTest::newRow("blocked over open") << QStringList{"09/12/2026 003:-", "02/12/2026 001:B", "10/12/2026 004:-"}
                                           << "02/12/2026 001";
        QTest::newRow("realized over blocked") << QStringList{"02/12/2026 001:B", "03/12/2026 002:R"} << "03/12/2026 002";
        QTest::newRow("newest open copy, across months")
            << QStringList{"30/11/2026 999:-", "01/12/2026 001:-", "15/11/2026 500:-"} << "01/12/2026 001";
    }
    void copiaQueFala()
    {
        QFETCH(QStringList, copias);
        QFETCH(QString, fala);
        Prestador p;
        for (const QString& c : copias) {
            const QString carimbo = c.section(':', 0, 0);
            const QString estado = c.section(':', 1);
            const QString data = "'2026-12-09'";
            p.a->b.executa("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, chaveimpre, datarealizacao, "
                           "databloqueio) values ('" + kMun + "', 7, '" + carimbo + "', 'K7', " +
                           (estado == "R" ? data : QStringLiteral("null")) + ", " + (estado == "B" ? data : QStringLiteral("null")) + ")");
            p.a->b.executa("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                           "quantidade) values ('" + kMun + "', 7, '" + carimbo + "', 101, 1)");
        }
        QCOMPARE(p.a->texto(SqlAtendimentoPorChave("K7").replace("SELECT M.CLI_ORIGEM,", "SELECT FIRST 1 M.DATA_IMP_ADM AS S, M.CLI_ORIGEM,")),
                 fala);
    }

    // A block and its authorization found by the key search, wherever the block lies (an
    // authorization without professional: profiss00000, which a professional's own search also
    // visits) and in either listing order: the authorization shows blocked.
    void bloqueioNaBuscaPorChave_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("profissional");
        QTest::newRow("entity, authorization with professional") << "E10" << "20";
        QTest::newRow("entity, without professional") << "E10" << "";
        QTest::newRow("professional, without professional") << "P20" << "";
    }
    void bloqueioNaBuscaPorChave()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, profissional);
        Prestador p(usuario);
        const AutorizacaoAberta aut = p.autoriza(profissional);
        const QString pasta = QStringLiteral("profiss%1").arg(profissional.toInt(), 5, 10, QLatin1Char('0'));
        p.poeNoServidor(pasta, NomeMensagemBloqueio(kMun, aut.numero),
                        QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO><cabecalho>"
                                       "<respEnvio>%1</respEnvio></cabecalho><marcacao><id>%2</id><chave>%3</chave>"
                                       "<databloqueio>11/12/2026</databloqueio><obs>PACIENTE FALECEU</obs></marcacao>"
                                       "</mensagemVXO>")
                            .arg(kMun)
                            .arg(aut.numero)
                            .arg(aut.chave)
                            .toLatin1());
        LogErros erros;
        BuscaChave b{aut.chave, usuario.at(0), usuario.mid(1), {}};
        QCOMPARE(BuscaChaveNoServidor(ClienteFtpCompartilhado(), p.a->dm->IBTransaction, b, erros, {}).importados, 2);
        QVERIFY(erros.vazio());
        const auto l = LeLinha(p.a->dm->IBTransaction, SqlAtendimentoPorChave(aut.chave));
        p.a->dm->IBTransaction.rollback();
        QVERIFY(l);
        QCOMPARE(l->texto("DATABLOQUEIO"), QStringLiteral("11/12/2026"));
        QCOMPARE(l->texto("OBS"), QStringLiteral("PACIENTE FALECEU"));
        QCOMPARE(p.noServidor("marcacao/" + pasta),
                 (QStringList{"okch " + NomeMensagemBloqueio(kMun, aut.numero), "okch " + NomeMensagemAutorizacao(kMun, aut.numero)}));
    }

    // Bulk mode: a block applies to every stored copy; one for an authorization not here yet is
    // committed without rows and keeps its name; texts are trimmed and the sex is not cut.
    void importacaoEmLote()
    {
        Prestador p;
        p.insereLocal(7, "1490200007123");
        p.a->b.executa("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, chaveimpre) values "
                       "('4314902', 7, '02/12/2026 002', '1490200007123')");
        FtpCliente& ftp = ClienteFtpCompartilhado();
        QVERIFY(ConectaFtp(ftp));
        p.srv->criaPasta("cune/marcacao/profiss00020");
        ftp.mudaPasta("marcacao/profiss00020");
        const auto bloqueio = [](qint64 id) {
            return QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\">"
                                  "<cabecalho><respEnvio>4314902</respEnvio></cabecalho><marcacao><id>%1</id>"
                                  "<chave>1490200007123</chave><databloqueio>09/12/2026</databloqueio><obs>FALTOU</obs>"
                                  "</marcacao></mensagemVXO>")
                .arg(id)
                .toLatin1();
        };
        LogErros erros;
        const auto importa = [&](const QString& nome, const QByteArray& dados) {
            p.poeNoServidor("profiss00020", nome, dados);
            const QString local = PastaRecebidos() + nome;
            CriaPastasTroca();
            test::GravaArquivo(local, dados);
            return ImportaMensagem(p.a->dm->IBTransaction, ftp, local, nome, ModoImportacao::EmLote, erros);
        };
        QCOMPARE(importa("M4314902_ID0000007-bloq.xml", bloqueio(7)), SituacaoImportacao::Importado);
        QCOMPARE(p.a->texto("select list(databloqueio||':'||obs, ';') from marcacao"),
                 QStringLiteral("2026-12-09:FALTOU;2026-12-09:FALTOU"));
        QCOMPARE(importa("M4314902_ID0000008-bloq.xml", bloqueio(8)), SituacaoImportacao::SemAutorizacao);
        QCOMPARE(p.noServidor("marcacao/profiss00020"),
                 (QStringList{"M4314902_ID0000008-bloq.xml", "ok M4314902_ID0000007-bloq.xml"}));

        const QByteArray aut = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\">"
                               "<cabecalho><respEnvio>4314902</respEnvio></cabecalho><paciente><codigo>9</codigo>"
                               "<nome>ANA</nome><fones> 5133 </fones><sexo>F</sexo><raca> 03 </raca><bairro> SUL </bairro>"
                               "</paciente><marcacao><id>9</id><codprofissional>0</codprofissional><procedimentos>"
                               "<det nSeq='1'><codigo>101</codigo><quant>2</quant><valortotal>75,5</valortotal></det>"
                               "<det nSeq='2'><codigo>104</codigo><quant>1</quant><valortotal>1.234,56</valortotal></det>"
                               "</procedimentos></marcacao></mensagemVXO>";
        QCOMPARE(importa("M4314902_ID0000009.xml", aut), SituacaoImportacao::Importado);
        QCOMPARE(p.a->texto("select fones||'|'||raca||'|'||bairro||'|'||sexo from pessoas where codigo=9"),
                 QStringLiteral("5133|03|SUL|F"));
        QCOMPARE(p.a->texto("select coalesce(codprofissional, -1) from marcacao where id_marcacao=9"), QStringLiteral("-1"));
        QCOMPARE(p.a->texto("select list(quantidade||':'||valortotal, ';') from (select * from marcacao_proceds "
                            "where id_marcacao=9 order by codprocedimento)"),
                 QStringLiteral("2:75.50;1:1234.56"));
        QVERIFY(erros.vazio());
    }

    // The consultation values of early 2015 are corrected only until 30/10/2015.
    void correcaoDeConsultas_data()
    {
        QTest::addColumn<QDateTime>("agora");
        QTest::addColumn<QString>("valores");
        QTest::newRow("30/10/2015") << QDateTime(QDate(2015, 10, 30), QTime(23, 59)) << "100.00;75.00;160.00;55.00";
        QTest::newRow("31/10/2015 00:01") << QDateTime(QDate(2015, 10, 31), QTime(0, 1)) << "150.00;75.00;30.00;55.00";
    }
    void correcaoDeConsultas()
    {
        QFETCH(QDateTime, agora);
        QFETCH(QString, valores);
        test::BancoTeste b;
        b.executa("insert into gruposproced (codigo, nome) values (1, 'CONSULTAS')");
        b.executa("insert into procedimentos (codigo, nome, codgrupo, valor) values (1, 'CONSULTA', 1, 75)");
        b.executa("insert into procedimentos (codigo, nome, codgrupo, valor) values (2, 'CONSULTA 2', 1, 80)");
        b.executa("insert into procedimentos (codigo, nome, codgrupo, valor) values (491, 'P491', 3, 10)");
        // Inside the window, a procedure of another price, 491 inside, 491 typed too early.
        const char* m = "insert into marcacao (cli_origem, id_marcacao, data_imp_adm, datalanc, data_digitacao) "
                        "values ('4314902', %1, 'X', '%2', '%3')";
        b.executa(QString::fromLatin1(m).arg(1).arg("2015-01-20", "2015-01-25 10:00"));
        b.executa(QString::fromLatin1(m).arg(2).arg("2015-01-10", "2015-01-10 10:00"));
        const char* mp = "insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, "
                         "quantidade, valortotal) values ('4314902', %1, 'X', %2, 2, %3)";
        b.executa(QString::fromLatin1(mp).arg(1).arg(1).arg(150));
        b.executa(QString::fromLatin1(mp).arg(1).arg(2).arg(75));
        b.executa(QString::fromLatin1(mp).arg(1).arg(491).arg(30));
        b.executa(QString::fromLatin1(mp).arg(2).arg(491).arg(55));
        b.tr().inicia();
        QCOMPARE(CorrigeValorConsultas(b.tr(), agora), agora <= FimCorrecaoConsultas());
        b.tr().commit();
        QCOMPARE(b.valor("select list(valortotal, ';') from (select * from marcacao_proceds order by id_marcacao, "
                         "codprocedimento)")
                     .toString(),
                 valores);
    }
};

QTEST_MAIN(TstAtendimentos)
#include "tst_atendimentos.moc"
