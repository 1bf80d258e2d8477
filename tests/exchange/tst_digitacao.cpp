// Procedure entry at the consortium on a real database: id, key and stamp per installation, the
// realized rows, the calendar bounds, the printed form, Buscar ID, the glosa panel, deleting and
// discarding an unfinished authorization, and a database failure.
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "exchange/DigitacaoProcedimentos.h"
#include "exchange/TFDigitacaoProcedimentos.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/DadosMarcacao.h"
#include "support/Galeria.h"
#include "support/Pdf.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace vx;

namespace {

const QString kMun = test::kMunMarcacao;

// An installation (the consortium unless told) with the authorization rows, and the screen open.
struct Tela {
    std::unique_ptr<test::AmbienteTela> a;
    TFDigitacaoProcedimentos* t = nullptr;

    explicit Tela(const QString& usuario = QStringLiteral("CUNE"), const Calendario& cal = {})
    {
        a = std::make_unique<test::AmbienteTela>(usuario, QStringList{QStringLiteral("CONSORCIO=CUNE")});
        test::PreparaMarcacao(a->b);
        a->b.executa("insert into motivobloqueios (codigo, descricao) values (3, 'PROCEDIMENTO NAO REALIZADO')");
        SessaoAtual().CalendarioAtual = cal;
        t = test::AbreTelaTeste(CriaTela<TFDigitacaoProcedimentos>());
    }
    ~Tela()
    {
        delete InstanciaTela<TFDigitacaoProcedimentos>();
        SessaoAtual().CalendarioAtual = {};
    }
    void cabecalho()
    {
        test::Digita(t->PECodMunicipio(), kMun);
        test::Digita(t->PECodPessoa(), QStringLiteral("1"));
        if (t->PECodEntidade()->isEnabled())
            test::Digita(t->PECodEntidade(), QStringLiteral("10"));
        else
            test::Digita(t->PECodProfissional(), QStringLiteral("20"));
    }
    void insere(int procedimento, const QString& quantidade = {})
    {
        test::Digita(t->PECodProcedimento(), QString::number(procedimento));
        if (!quantidade.isEmpty())
            t->PEQuantidade()->setText(quantidade);
        t->PBInserirProced()->executa();
    }
    int conta(const QString& sql) { return a->numero(sql); }
};

const Calendario kJunho{QStringLiteral("21/05/2026"), QStringLiteral("20/06/2026"), QStringLiteral("JUNHO/2026")};

// Every preview: its page texts, then closed as the user does.
struct Preview {
    QTemporaryDir dir;
    QStringList paginas;
    test::RoteiroModal roteiro{[this](QDialog* d) {
        if (auto* p = qobject_cast<rel::UiPreview*>(d)) {
            const QString pdf = dir.filePath(QStringLiteral("faa.pdf"));
            p->exportaPdf(pdf);
            paginas = test::PaginasPdf(pdf);
        }
        d->accept();
    }};
};

} // namespace

class TstDigitacao : public QObject {
    Q_OBJECT

private slots:
    // The first authorization of the municipality typed here, and the next ones.
    void numeracao_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QStringList>("existentes"); // "stamp:id" already stored
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("carimbo");
        QTest::newRow("consorcio primeiro") << "CUNE" << QStringList{"M:5"} << qint64(1000000) << "14902C1000000" << "ADM";
        QTest::newRow("consorcio seguinte") << "CUNE" << QStringList{"M:999999", "E10:1000004"} << qint64(1000005)
                                            << "14902C1000005" << "ADM";
        QTest::newRow("entidade primeiro") << "E10" << QStringList{"M:7"} << qint64(100000) << "14902C0100000" << "E10";
        QTest::newRow("entidade seguinte") << "E7" << QStringList{"E7:70000"} << qint64(70001) << "14902C0070001" << "E7";
    }
    void numeracao()
    {
        QFETCH(QString, usuario);
        QFETCH(QStringList, existentes);
        QFETCH(qint64, id);
        QFETCH(QString, chave);
        QFETCH(QString, carimbo);
        test::AmbienteTela a(usuario);
        test::PreparaMarcacao(a.b);
        for (const QString& e : existentes)
            a.b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm) values ('%1', %2, '%3')")
                            .arg(kMun, e.section(':', 1), e.section(':', 0, 0)));
        Digitacao d{kMun, "1", "10", "20", "10/12/2026", "05/12/2026", "", "", "10/12/2026"};
        const QDateTime agora(QDate(2026, 12, 10), QTime(14, 30));
        const AutorizacaoDigitada r =
            InsereProcedimentoDigitado(a.dm->IBTransaction, d, {}, OrigemDigitacaoInstalacao(), 102, 3, agora);
        QCOMPARE(r.id, id);
        QCOMPARE(r.chave, chave);
        QCOMPARE(r.carimbo, carimbo);
        const QString onde = QStringLiteral(" where id_marcacao=%1").arg(id);
        QCOMPARE(a.texto("select chaveimpre || '|' || data_imp_adm || '|' || datarealizacao || '|' || data_importacao || "
                         "'|' || data_digitacao from marcacao" + onde),
                 chave + '|' + carimbo + "|2026-12-05|2026-12-05 14:30:00.0000|2026-12-10 14:30:00.0000");
        QCOMPARE(a.texto("select realizado || '|' || quantidade || '|' || valortotal || '|' || valortotalsus || '|' || "
                         "data_imp_adm from marcacao_proceds" + onde),
                 "S|3|15.00|14.01|" + carimbo);
        QCOMPARE(a.texto("select list(tabela || ':' || situacao || ':' || outrasinfo, ' ') from logs"),
                 QStringLiteral("Marcacao:I:%1=//=%2=//=1=//=10/12/2026=//=05/12/2026 MarcacaoProced:I:%1=//=%2=//=102")
                     .arg(kMun)
                     .arg(id));
    }

    void calendario_data()
    {
        QTest::addColumn<bool>("selecionado");
        QTest::addColumn<QDate>("data");
        QTest::addColumn<bool>("dentro");
        QTest::newRow("inicio") << true << QDate(2026, 5, 21) << true;
        QTest::newRow("fim") << true << QDate(2026, 6, 20) << true;
        QTest::newRow("dia seguinte") << true << QDate(2026, 6, 21) << false;
        QTest::newRow("dia anterior") << true << QDate(2026, 5, 20) << false;
        QTest::newRow("sem data") << true << QDate() << false;
        QTest::newRow("sem calendario") << false << QDate(2030, 1, 1) << true;
    }
    void calendario()
    {
        QFETCH(bool, selecionado);
        QFETCH(QDate, data);
        QFETCH(bool, dentro);
        QCOMPARE(DentroDoCalendario(selecionado ? kJunho : Calendario{}, data), dentro);
    }

    void abertura()
    {
        Tela s(QStringLiteral("CUNE"), kJunho);
        QCOMPARE(s.t->windowTitle(), QStringLiteral("Digitação de Procedimentos"));
        QCOMPARE(s.t->PECodMunicipio()->text(), QStringLiteral("0"));
        QCOMPARE(s.t->PEDataLanc()->text(), SessaoAtual().DataAtual);
        QCOMPARE(s.t->PEDataAtend()->text(), QStringLiteral("20/06/2026"));
        QVERIFY(!s.t->PEQuantidade()->isVisible());
        QVERIFY(!s.t->PainelGlosa()->isVisible());
        s.cabecalho();
        QCOMPARE(s.t->LMunicipio()->text(), QStringLiteral("PORTO ALEGRE"));
        QCOMPARE(s.t->LPessoa()->text(), QStringLiteral("MARIA DA SILVA"));
        QCOMPARE(s.t->PECodProfissional()->text(), QStringLiteral("20"));
        test::Digita(s.t->PECodProcedimento(), QStringLiteral("102"));
        QVERIFY(s.t->PEQuantidade()->isVisible());
        test::Digita(s.t->PEDataAtend(), QStringLiteral("19/06/2026"));
        s.t->PBInserirProced()->executa();
        QCOMPARE(s.t->LId_Marcacao()->text(), QStringLiteral("1000000"));
        s.t->CBGlosar()->setChecked(true);
        QVERIFY(s.t->PainelGlosa()->isVisible());
        test::SalvaTela(s.t, QStringLiteral("tfdigitacao"));
    }

    // The quantity field only shows for procedures taken more than once; "0" is one.
    void quantidade_data()
    {
        QTest::addColumn<int>("procedimento");
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<QString>("gravado");
        QTest::newRow("maximo 1") << 101 << "5" << "1|10.10";
        QTest::newRow("maximo 10") << 102 << "3" << "3|15.00";
        QTest::newRow("zero") << 102 << "0" << "1|5.00";
    }
    void quantidade()
    {
        QFETCH(int, procedimento);
        QFETCH(QString, digitado);
        QFETCH(QString, gravado);
        Tela s;
        s.cabecalho();
        s.insere(procedimento, digitado);
        QCOMPARE(s.a->texto("select quantidade || '|' || valortotal from marcacao_proceds"), gravado);
        QCOMPARE(s.t->PEQuantidade()->text(), QStringLiteral("1"));
        QVERIFY(!s.t->PECodMunicipio()->isEnabled());
        QVERIFY(!s.t->PECodEntidade()->isEnabled());
        QVERIFY(!s.t->SBCodProfissional()->isEnabled());
        QVERIFY(!s.t->PEID()->isEnabled());
        QCOMPARE(s.t->GradeProcedimentos()->linhas(), 1);
    }

    void calendarioNaTela()
    {
        Tela s(QStringLiteral("CUNE"), kJunho);
        s.cabecalho();
        s.t->PEDataAtend()->setText(QStringLiteral("21/06/2026"));
        s.insere(101);
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Data fora do Calendário Atual Selecionado!"));
        QCOMPARE(s.conta("select count(*) from marcacao"), 0);
        s.t->PEDataAtend()->setText(QStringLiteral("20/06/2026"));
        s.insere(101);
        QCOMPARE(s.conta("select count(*) from marcacao"), 1);
        s.a->msgs.limpa();
        s.t->PEDataAtend()->setText(QStringLiteral("21/06/2026"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a->msgs.textos(), QStringList{"Data fora do Calendário Atual Selecionado!"});
        QCOMPARE(s.conta("select count(*) from logs where situacao='U'"), 0);
    }

    // An APAC procedure needs the CID, and then the form ends with the APAC page.
    void finaliza_data()
    {
        QTest::addColumn<int>("procedimento");
        QTest::addColumn<QString>("cid");
        QTest::addColumn<int>("paginas");
        QTest::newRow("simples") << 101 << "" << 3;
        QTest::newRow("apac sem cid") << 103 << "" << 0;
        QTest::newRow("apac com cid") << 103 << "M545" << 4;
    }
    void finaliza()
    {
        QFETCH(int, procedimento);
        QFETCH(QString, cid);
        QFETCH(int, paginas);
        Tela s;
        Preview preview;
        s.cabecalho();
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Você ainda não inseriu nenhum procedimento!"));
        s.insere(procedimento);
        s.t->PECodCID()->setText(cid);
        s.a->msgs.limpa();
        QTest::keyClick(s.t, Qt::Key_F10);
        QCOMPARE(preview.paginas.size(), paginas);
        if (paginas == 0) {
            QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Você deve inserir um CID para autorizar este procedimento!"));
            QCOMPARE(int(s.a->msgs.ultima().icone), int(IconeMsg::Erro));
            QCOMPARE(s.conta("select count(*) from logs where tabela='Marcacao' and situacao in ('U', 'X')"), 0);
            return;
        }
        QVERIFY(preview.paginas.first().contains(QStringLiteral("14902C1000000")));
        if (paginas == 4)
            QVERIFY(preview.paginas.last().contains(QStringLiteral("APAC")));
        QCOMPARE(s.a->texto("select codcid from marcacao"), cid);
        QCOMPARE(s.a->texto("select list(situacao || ':' || outrasinfo, ' ') from logs where tabela='Marcacao' and "
                            "situacao in ('U', 'X')"),
                 QStringLiteral("U:%1=//=1000000=//=1=//=%2=//=%2=//=10=//=20 X:CUNE=//=1000000=//=Imprimiu, gerará xml.")
                     .arg(kMun, SessaoAtual().DataAtual));
        // Cleared for the next one; closing now discards nothing.
        QCOMPARE(s.t->aberta().id, qint64(0));
        QCOMPARE(s.t->PECodMunicipio()->text(), QStringLiteral("0"));
        QVERIFY(s.t->PECodMunicipio()->isEnabled());
        QVERIFY(s.t->close());
        QCOMPARE(s.conta("select count(*) from marcacao_proceds"), 1);
    }

    void buscaId_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("comCalendario");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("encontrado") << "1000000" << false << "";
        QTest::newRow("inexistente") << "1000001" << false << "Id não Encontrado!";
        QTest::newRow("fora do calendario") << "1000000" << true << "Lançamento fora do Calendário Atual Selecionado!";
    }
    void buscaId()
    {
        QFETCH(QString, id);
        QFETCH(bool, comCalendario);
        QFETCH(QString, mensagem);
        Tela s(QStringLiteral("CUNE"), comCalendario ? kJunho : Calendario{});
        Digitacao d{kMun, "1", "10", "20", "01/12/2026", "02/12/2026", "M545", "RETORNO", "10/12/2026"};
        const AutorizacaoDigitada a =
            InsereProcedimentoDigitado(s.a->dm->IBTransaction, d, {}, OrigemDigitacao{}, 101, 1);
        InsereProcedimentoDigitado(s.a->dm->IBTransaction, d, a, OrigemDigitacao{}, 104, 1);
        s.a->b.executa("update marcacao set databloqueio='2026-12-03', codmotivobloqueio=3");
        test::Digita(s.t->PECodMunicipio(), kMun);
        test::Digita(s.t->PEID(), id);
        QCOMPARE(s.a->msgs.textos(), mensagem.isEmpty() ? QStringList{} : QStringList{mensagem});
        if (mensagem == QStringLiteral("Id não Encontrado!")) {
            QCOMPARE(s.t->aberta().id, qint64(0));
            return;
        }
        QCOMPARE(s.t->aberta().chave, QStringLiteral("14902C1000000"));
        QCOMPARE(s.t->aberta().carimbo, QStringLiteral("ADM"));
        QCOMPARE(s.t->PEDataAtend()->text(), QStringLiteral("02/12/2026"));
        QCOMPARE(s.t->PECodCID()->text(), QStringLiteral("M545"));
        QCOMPARE(s.t->LProfissional()->text(), QStringLiteral("DRA. LUCIA ALVES"));
        QCOMPARE(s.t->PEDataBloqueio()->text(), QStringLiteral("03/12/2026"));
        QCOMPARE(s.t->LMotivoBloqueio()->text(), QStringLiteral("PROCEDIMENTO NAO REALIZADO"));
        QVERIFY(s.t->CBGlosar()->isChecked());
        QCOMPARE(s.t->GradeProcedimentos()->linhas(), 2);
        QCOMPARE(s.t->PBtnGravar()->isEnabled(), !comCalendario);
        QCOMPARE(s.t->PBtnExcluir()->isEnabled(), !comCalendario);
        // Leaving the field empty drops the authorization from the screen; closing deletes nothing.
        test::Digita(s.t->PEID(), QString());
        QCOMPARE(s.t->aberta().id, qint64(0));
        QCOMPARE(s.t->PECodPessoa()->text(), QStringLiteral("0"));
        QVERIFY(s.t->close());
        QCOMPARE(s.conta("select count(*) from marcacao_proceds"), 2);
    }

    // The panel writes the block date (empty: none) and the reason (0: none) of the loaded copy.
    void glosa_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("motivo");
        QTest::addColumn<QString>("gravado");
        QTest::addColumn<QString>("log");
        QTest::newRow("sem data com motivo") << "  /  /    " << "3" << "<null>|3" << "PROCEDIMEN";
        QTest::newRow("data sem motivo") << "15/06/2026" << "0" << "2026-06-15|<null>" << "";
    }
    void glosa()
    {
        QFETCH(QString, data);
        QFETCH(QString, motivo);
        QFETCH(QString, gravado);
        QFETCH(QString, log);
        Tela s(QStringLiteral("CUNE"), kJunho);
        s.t->PBGravaBloqueio()->executa();
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Informe a ID da autorização a ser bloqueada!"));
        s.a->b.executa("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, datalanc, data_importacao, "
                       "databloqueio, codmotivobloqueio) values ('4314902', 57, 'M', '2026-06-01', '2026-06-02', "
                       "'2026-06-03', 1)");
        test::Digita(s.t->PECodMunicipio(), kMun);
        test::Digita(s.t->PEID(), QStringLiteral("57"));
        test::Digita(s.t->PEDataBloqueio(), QStringLiteral("21/06/2026"));
        s.t->PBGravaBloqueio()->executa();
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Data fora do Calendário Atual Selecionado!"));
        test::Digita(s.t->PEDataBloqueio(), data);
        test::Digita(s.t->PECodMotivoBloqueio(), motivo);
        s.t->PBGravaBloqueio()->executa();
        QCOMPARE(s.a->msgs.ultima().texto, QStringLiteral("Procedimento Glosado!"));
        QCOMPARE(s.a->texto("select coalesce(cast(databloqueio as varchar(10)), '<null>') || '|' || "
                            "coalesce(cast(codmotivobloqueio as varchar(5)), '<null>') from marcacao"),
                 gravado);
        QCOMPARE(s.a->texto("select outrasinfo from logs where tabela='Marcacao' and situacao='U'"),
                 QStringLiteral("4314902=//=57=//= Bloq.:01/06/2026=//=") + log);
    }

    void excluiAutorizacao()
    {
        Tela s;
        s.cabecalho();
        s.insere(101);
        s.insere(104);
        s.t->GradeProcedimentos()->selectRow(0);
        s.a->msgs.respondeSim();
        s.t->PBExcluirProced()->executa();
        QCOMPARE(test::Resumo(s.a->msgs.ultima()), test::PerguntaExclusao("Deseja realmente excluir o PROCEDIMENTO?"));
        QCOMPARE(s.conta("select count(*) from marcacao_proceds"), 1);
        s.insere(102, QStringLiteral("2"));
        s.a->msgs.respondeNao();
        s.t->PBtnExcluir()->executa();
        QCOMPARE(s.conta("select count(*) from marcacao"), 1);
        s.a->msgs.respondeSim();
        s.t->PBtnExcluir()->executa();
        QCOMPARE(test::Resumo(s.a->msgs.ultima()), test::PerguntaExclusao("Deseja realmente excluir a AUTORIZAÇÃO?"));
        QCOMPARE(s.conta("select count(*) from marcacao") + s.conta("select count(*) from marcacao_proceds"), 0);
        QCOMPARE(s.a->texto("select outrasinfo from logs where tabela='Marcacao' and situacao='E'"),
                 QStringLiteral("4314902=//=1000000=//=ADM"));
        QCOMPARE(s.t->aberta().id, qint64(0));
        QVERIFY(s.t->PECodMunicipio()->isEnabled());
    }

    // Closing with an authorization typed here and not finalized leaves nothing of it.
    void fechaSemFinalizar()
    {
        Tela s;
        s.cabecalho();
        s.insere(101);
        s.insere(102, QStringLiteral("4"));
        QVERIFY(s.t->iniciadaAqui());
        QVERIFY(s.t->close());
        QTRY_VERIFY(!InstanciaTela<TFDigitacaoProcedimentos>());
        QCOMPARE(s.conta("select count(*) from marcacao") + s.conta("select count(*) from marcacao_proceds"), 0);
        QCOMPARE(s.a->texto("select outrasinfo from logs where tabela='Marcacao' and situacao='D'"),
                 QStringLiteral("4314902=//=1000000=//=Fechou sem Finalizar"));
    }

    // The entity types its own attendance: entity fixed, its stamp and its numbers.
    void instalacaoEntidade()
    {
        Tela s(QStringLiteral("E10"));
        QCOMPARE(s.t->PECodEntidade()->text(), QStringLiteral("10"));
        QCOMPARE(s.t->LEntidade()->text(), QStringLiteral("CLINICA VIDA"));
        QVERIFY(!s.t->PECodEntidade()->isEnabled());
        QVERIFY(!s.t->PEID()->isEnabled());
        QVERIFY(!s.t->CBGlosar()->isEnabled());
        s.cabecalho();
        s.insere(104);
        QCOMPARE(s.a->texto("select id_marcacao || '|' || chaveimpre || '|' || data_imp_adm from marcacao"),
                 QStringLiteral("100000|14902C0100000|E10"));
        QCOMPARE(s.t->PEChave()->text(), QStringLiteral("14902C0100000"));
    }

    // A refused write keeps nothing; an authorization already open stays open.
    void falhaDoBanco_data()
    {
        QTest::addColumn<bool>("primeiroAceito");
        QTest::newRow("primeiro procedimento") << false;
        QTest::newRow("segundo procedimento") << true;
    }
    void falhaDoBanco()
    {
        QFETCH(bool, primeiroAceito);
        Tela s;
        s.a->b.executa("create exception E_TESTE 'recusado'");
        s.a->b.executa("create trigger T_TESTE for marcacao_proceds before insert as begin "
                       "if (new.codprocedimento = 104) then exception E_TESTE; end");
        s.cabecalho();
        if (primeiroAceito)
            s.insere(101);
        s.a->msgs.limpa();
        s.insere(104);
        QVERIFY(s.a->msgs.ultima().texto.contains(QStringLiteral("recusado")));
        QVERIFY(s.t->PBInserirProced()->isEnabled());
        QCOMPARE(s.conta("select count(*) from marcacao"), primeiroAceito ? 1 : 0);
        QCOMPARE(s.conta("select count(*) from marcacao_proceds"), primeiroAceito ? 1 : 0);
        QCOMPARE(s.conta("select count(*) from logs"), primeiroAceito ? 2 : 0);
        QCOMPARE(s.t->aberta().id, primeiroAceito ? qint64(1000000) : qint64(0));
        QCOMPARE(s.t->PEChave()->text().isEmpty(), !primeiroAceito);
        QCOMPARE(s.t->PECodMunicipio()->isEnabled(), !primeiroAceito);
    }
};

QTEST_MAIN(TstDigitacao)
#include "tst_digitacao.moc"
