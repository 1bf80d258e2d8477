// The professionals registry: its rules on a real database and the screen driven offscreen.
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "registries/Profissionais.h"
#include "registries/TFCadProfissionais.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

using namespace vx;

namespace {
// The working date of every test, as the database prints it.
const QString kHoje = QStringLiteral("2024-05-20");
const QString kCartao = QStringLiteral("898001234567891"); // provisional, valid
const QString kNomeLongo = QStringLiteral("ANA D'ÁVILA %2 DE OLIVEIRA SANTOS PEREIRA DA COSTA NETO");

struct Tela {
    test::AmbienteTela a;
    TFCadProfissionais* t;
    explicit Tela(const QString& perfil = QStringLiteral("CUNE"))
        : a(QStringLiteral("CUNE"), {QStringLiteral("CONSORCIO=") + perfil})
    {
        TelaRegistrada(QStringLiteral("CadastrodeProfissionais1"))();
        t = test::AbreTelaTeste(InstanciaTela<TFCadProfissionais>());
    }
    ~Tela() { delete t; }
};

// Professional 3 linked to 12, 15 and 20 with procedures in each; professional 4 linked to 15.
void semeia(test::AmbienteTela& a)
{
    for (const char* e : {"12, 'CLINICA SAO LUCAS LTDA'", "15, 'ABC DIAGNOSTICOS'", "20, 'ZETA FISIOTERAPIA'"})
        a.b.executa(QStringLiteral("insert into entidades (codigo, razaosocial) values (%1)").arg(QLatin1String(e)));
    a.b.executa("insert into cbo (codigo, descricao) values ('225125', 'MEDICO CLINICO')");
    a.b.executa("insert into profissionais (codigo, nome, cpf, cartaosus, cnsbpa, conselho, cbo, obs) values (3, "
                "'ANA MARIA DE OLIVEIRA', '529.982.247-25', '898001234567891', '898001234567891', 'CRM 1234', "
                "'225125', 'Atende as tercas')");
    a.b.executa("insert into profissionais (codigo, nome) values (4, 'BRUNO COSTA')");
    for (const char* v : {"3, 12", "3, 15", "3, 20", "4, 15"})
        a.b.executa(QStringLiteral("insert into entidadesprofiss (codprofissional, codentidade) values (%1)").arg(QLatin1String(v)));
    for (const char* v : {"3, 12, 100", "3, 15, 100", "3, 15, 101", "3, 20, 102", "4, 15, 100"})
        a.b.executa(QStringLiteral("insert into profissproced (codprofissional, codentidade, codprocedimento) values (%1)")
                        .arg(QLatin1String(v)));
}

QString links(test::AmbienteTela& a, int prof)
{
    return a.texto(QStringLiteral("select list(x, ' ') from (select codentidade || ':' || coalesce(dataexclusao, '-') x "
                                  "from entidadesprofiss where codprofissional=%1 order by codentidade)").arg(prof));
}

QString procs(test::AmbienteTela& a, int prof)
{
    return a.texto(QStringLiteral("select list(x, ' ') from (select codentidade || '/' || codprocedimento || ':' || "
                                  "coalesce(dataexclusao, '-') x from profissproced where codprofissional=%1 "
                                  "order by codentidade, codprocedimento)").arg(prof));
}

Profissional profissional(const QString& codigo, const QString& nome, const QString& entidade = {})
{
    Profissional p;
    p.codigo = codigo;
    p.nome = nome;
    p.codEntidade = entidade;
    return p;
}

} // namespace

class TstProfissionais : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SessaoAtual().DataAtual = QStringLiteral("20/05/2024"); }

    // New codes are the highest + 1 over every row, closed ones too; a typed code is inserted when
    // unknown and updated (and reactivated, its links staying closed) when it exists.
    void codigo_data() { test::LinhasCodigoCadastro(); }
    void codigo()
    {
        QFETCH(QString, digitado);
        QFETCH(bool, existentes);
        QFETCH(QString, codigo);
        QFETCH(QString, situacao);
        test::AmbienteTela a;
        if (existentes) {
            a.b.executa("insert into profissionais (codigo, nome) values (1, 'UM')");
            a.b.executa("insert into profissionais (codigo, nome, dataexclusao) values (7, 'SETE', '2023-01-02')");
            a.b.executa("insert into entidadesprofiss (codprofissional, codentidade, dataexclusao) values (7, 12, '2023-01-02')");
        }
        Profissional p = profissional(digitado, kNomeLongo);
        p.email = QStringLiteral("a@b.com");
        p.cpf = QStringLiteral("   .   .   -  ");
        p.cartaoSus = kCartao;
        const RegistroLog log = GravaProfissional(a.dm->IBTransaction, p, false, DataAtualDate());
        QCOMPARE(p.codigo, codigo);
        QCOMPARE(log.situacao, situacao);
        const QString onde = QStringLiteral(" from profissionais where codigo=") + codigo;
        QCOMPARE(a.texto("select nome" + onde), kNomeLongo);
        QCOMPARE(a.texto("select cpf" + onde), QStringLiteral("   .   .   -  "));
        QCOMPARE(a.texto("select contato || '|' || conselho || '|' || cbo || '|' || obs" + onde), QStringLiteral("|||"));
        QCOMPARE(a.numero("select count(*)" + onde + " and dataexclusao is null"), 1);
        QCOMPARE(a.texto("select tabela || '|' || situacao || '|' || outrasinfo from logs"),
                 QStringLiteral("Profissionais|%1|%2-%3  E").arg(situacao, codigo, kNomeLongo.left(40)));
        if (existentes)
            QCOMPARE(links(a, 7), QStringLiteral("12:2023-01-02"));
    }

    // Codes are numbers: anything else is refused before a statement reaches the database.
    void valoresRecusados_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("entidade");
        QTest::newRow("codigo") << "3 or 1=1" << "";
        QTest::newRow("entidade") << "" << "12 or 1=1";
    }
    void valoresRecusados()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, entidade);
        test::AmbienteTela a;
        semeia(a);
        Profissional p = profissional(codigo, QStringLiteral("NOVO"), entidade);
        QVERIFY_THROWS_EXCEPTION(std::exception, GravaProfissional(a.dm->IBTransaction, p, false, DataAtualDate()));
        QCOMPARE(p.codigo, codigo);
        QCOMPARE(a.numero("select count(*) from profissionais"), 2);
        QCOMPARE(a.numero("select count(*) from logs"), 0);
    }

    // An entity keeps exactly one link and closes the procedures of the links removed; an empty
    // entity leaves every link and procedure alone. Other professionals are never touched.
    void vinculos_data()
    {
        QTest::addColumn<QString>("entidade");
        QTest::addColumn<QString>("vinculos");
        QTest::addColumn<QString>("procedimentos");
        QTest::newRow("12") << "12" << "12:-" << "12/100:- 15/100:2024-05-20 15/101:2024-05-20 20/102:2024-05-20";
        QTest::newRow("nova") << "30" << "30:-" << "12/100:2024-05-20 15/100:2024-05-20 15/101:2024-05-20 20/102:2024-05-20";
        QTest::newRow("vazia") << "" << "12:- 15:- 20:-" << "12/100:- 15/100:- 15/101:- 20/102:-";
        QTest::newRow("zero") << "0" << "12:- 15:- 20:-" << "12/100:- 15/100:- 15/101:- 20/102:-";
    }
    void vinculos()
    {
        QFETCH(QString, entidade);
        QFETCH(QString, vinculos);
        QFETCH(QString, procedimentos);
        test::AmbienteTela a;
        semeia(a);
        Profissional p = profissional(QStringLiteral("3"), QStringLiteral("ANA MARIA DE OLIVEIRA"), entidade);
        GravaProfissional(a.dm->IBTransaction, p, false, DataAtualDate());
        QCOMPARE(links(a, 3), vinculos);
        QCOMPARE(procs(a, 3), procedimentos);
        QCOMPARE(links(a, 4), QStringLiteral("15:-"));
        QCOMPARE(procs(a, 4), QStringLiteral("15/100:-"));
        QCOMPARE(a.texto("select outrasinfo from logs where situacao='U'"), QStringLiteral("3-ANA MARIA DE OLIVEIRA  E") + entidade);
    }

    // A closed link to the chosen entity stays closed; closed procedures keep their dates.
    void vinculoFechadoMantido()
    {
        test::AmbienteTela a;
        semeia(a);
        a.b.executa("update entidadesprofiss set dataexclusao='2023-03-04' where codprofissional=3 and codentidade=12");
        Profissional p = profissional(QStringLiteral("3"), QStringLiteral("ANA"), QStringLiteral("12"));
        // A procedure of another link closed earlier keeps its date.
        a.b.executa("update profissproced set dataexclusao='2023-01-01' where codprofissional=3 and codprocedimento=101");
        GravaProfissional(a.dm->IBTransaction, p, false, DataAtualDate());
        QCOMPARE(links(a, 3), QStringLiteral("12:2023-03-04"));
        QCOMPARE(procs(a, 3), QStringLiteral("12/100:- 15/100:2024-05-20 15/101:2023-01-01 20/102:2024-05-20"));
    }

    // Saving fails at its audit row: the links, the procedures and the professional stay as they
    // were; the screen keeps what was typed and shows the error.
    void falhaDesfazTudo()
    {
        Tela s;
        semeia(s.a);
        s.a.b.executa("create exception E_TESTE 'log recusado'");
        s.a.b.executa("create trigger T_TESTE for logs before insert as begin exception E_TESTE; end");
        test::Digita(s.t->PECodigo(), QStringLiteral("3"));
        s.a.msgs.limpa();
        s.t->PENome()->setText(QStringLiteral("OUTRO NOME"));
        s.t->PECodEntidade()->setText(QStringLiteral("12"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QCOMPARE(s.a.msgs.ultima().titulo, QStringLiteral("Erro"));
        QVERIFY(s.a.msgs.ultima().texto.contains(QStringLiteral("log recusado")));
        QCOMPARE(links(s.a, 3), QStringLiteral("12:- 15:- 20:-"));
        QCOMPARE(procs(s.a, 3), QStringLiteral("12/100:- 15/100:- 15/101:- 20/102:-"));
        QCOMPARE(s.a.texto("select nome from profissionais where codigo=3"), QStringLiteral("ANA MARIA DE OLIVEIRA"));
        QCOMPARE(s.t->PENome()->text(), QStringLiteral("OUTRO NOME"));
        QVERIFY(s.t->PBtnGravar()->isEnabled());
    }

    // CNSBPA is the card outside CUMBEL (field hidden); under CUMBEL it is typed.
    void cnsBpa_data()
    {
        QTest::addColumn<QString>("perfil");
        QTest::addColumn<QString>("cartao");
        QTest::addColumn<QString>("esperado");
        QTest::addColumn<bool>("visivel");
        QTest::newRow("CUNE") << "CUNE" << kCartao << kCartao << false;
        QTest::newRow("sem cartao") << "CULVAR" << "X" << "X" << false;
        QTest::newRow("cumbel") << "consorcio cumbel" << kCartao << "700000000000005" << true;
    }
    void cnsBpa()
    {
        QFETCH(QString, perfil);
        QFETCH(QString, cartao);
        QFETCH(QString, esperado);
        QFETCH(bool, visivel);
        Tela s(perfil);
        QCOMPARE(s.t->PECNSBPA()->isVisible(), visivel);
        QCOMPARE(s.t->PECNSBPA()->editLabel()->isVisible(), visivel);
        s.t->PENome()->setText(QStringLiteral("JOAO"));
        s.t->PECartaoSUS()->setText(cartao);
        s.t->PECNSBPA()->setText(QStringLiteral("700000000000005"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 0);
        QCOMPARE(s.a.texto("select cartaosus || '|' || cnsbpa from profissionais where codigo=1"), cartao + '|' + esperado);
        QVERIFY(s.t->PECodigo()->text().isEmpty());
        QVERIFY(s.t->PECodigo()->hasFocus());
    }

    // Leaving the card fields: "X" passes the Cartão SUS field only; a rejected number keeps the focus.
    void cartaoAoSair_data()
    {
        QTest::addColumn<bool>("cns");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("X") << false << "X" << "";
        QTest::newRow("vazio") << false << "" << "";
        QTest::newRow("valido") << false << kCartao << "";
        QTest::newRow("curto") << false << "12345" << "O número do Cartão SUS deve ter 15 dígitos!";
        QTest::newRow("digito") << false << "898001234567892" << "Número de Cartão SUS inválido: 898001234567892";
        QTest::newRow("cns X") << true << "X" << "O número do Cartão SUS deve ter 15 dígitos!";
        QTest::newRow("cns vazio") << true << "" << "";
    }
    void cartaoAoSair()
    {
        QFETCH(bool, cns);
        QFETCH(QString, texto);
        QFETCH(QString, mensagem);
        Tela s(QStringLiteral("CUMBEL"));
        TPersonEdit* campo = cns ? s.t->PECNSBPA() : s.t->PECartaoSUS();
        test::Digita(campo, texto);
        QCOMPARE(s.a.msgs.textos().join('|'), mensagem);
        QCOMPARE(campo->hasFocus(), !mensagem.isEmpty());
    }

    // Loading fills the fields; the entity comes from the only link, none with two or more (with
    // a message); the grid lists the active links by company name.
    void carga_data()
    {
        QTest::addColumn<QString>("preparo");
        QTest::addColumn<QString>("entidade");
        QTest::addColumn<QString>("nomeEntidade");
        QTest::addColumn<QStringList>("grade");
        QTest::addColumn<bool>("aviso");
        QTest::newRow("um") << "delete from entidadesprofiss where codprofissional=3 and codentidade<>12" << "12"
                            << "CLINICA SAO LUCAS LTDA" << QStringList{"12"} << false;
        QTest::newRow("nenhum") << "delete from entidadesprofiss where codprofissional=3" << "" << ""
                                << QStringList{} << false;
        QTest::newRow("fechado") << "update entidadesprofiss set dataexclusao='2023-01-01' where codentidade=20"
                                 << "" << "" << QStringList{"15", "12"} << true;
        QTest::newRow("um fechado")
            << "delete from entidadesprofiss where codprofissional=3 and codentidade<>20; "
               "update entidadesprofiss set dataexclusao='2023-01-01' where codentidade=20"
            << "20" << "ZETA FISIOTERAPIA" << QStringList{} << false;
    }
    void carga()
    {
        QFETCH(QString, preparo);
        QFETCH(QString, entidade);
        QFETCH(QString, nomeEntidade);
        QFETCH(QStringList, grade);
        QFETCH(bool, aviso);
        Tela s;
        semeia(s.a);
        for (const QString& sql : preparo.split(QStringLiteral("; ")))
            s.a.b.executa(sql);
        test::Digita(s.t->PECodigo(), QStringLiteral("3"));
        QCOMPARE(s.a.msgs.textos().join('|'), aviso ? QStringLiteral("Profissional cadastrado em mais que uma Entidade!") : QString());
        QCOMPARE(s.t->PENome()->text(), QStringLiteral("ANA MARIA DE OLIVEIRA"));
        QCOMPARE(s.t->PECpf()->text(), QStringLiteral("529.982.247-25"));
        QCOMPARE(s.t->PECartaoSUS()->text(), kCartao);
        QCOMPARE(s.t->PEConselho()->text(), QStringLiteral("CRM 1234"));
        QCOMPARE(s.t->PEObs()->text(), QStringLiteral("Atende as tercas"));
        QCOMPARE(s.t->LCBO()->text(), QStringLiteral("MEDICO CLINICO"));
        QCOMPARE(s.t->PECodEntidade()->text(), entidade);
        QCOMPARE(s.t->LEntidade()->text(), nomeEntidade);
        QVERIFY(s.t->LAvisoExclusao()->text().isEmpty());
        QStringList vistos;
        for (int i = 0; i < s.t->grade()->linhas(); ++i)
            vistos << s.t->grade()->valor(QStringLiteral("COD"), i);
        QCOMPARE(vistos, grade);
        if (aviso) {
            // Saved without an entity, both links stay.
            s.t->PBtnGravar()->executa();
            QCOMPARE(links(s.a, 3), QStringLiteral("12:- 15:- 20:2023-01-01"));
        }
        // An emptied code empties the grid.
        test::Digita(s.t->PECodigo(), QString());
        QCOMPARE(s.t->grade()->linhas(), 0);
        QVERIFY(s.t->PENome()->text().isEmpty());
    }

    void cargaExcluido()
    {
        Tela s;
        semeia(s.a);
        s.a.b.executa("update profissionais set dataexclusao='2024-02-29' where codigo=3");
        test::Digita(s.t->PECodigo(), QStringLiteral("3"));
        QCOMPARE(s.t->LAvisoExclusao()->text(), QStringLiteral("PROFISSIONAL EXCLUÍDO EM 29/02/2024"));
    }

    // Deleting asks first, then closes the professional, its links and procedures with one date.
    void exclusao_data()
    {
        QTest::addColumn<bool>("sim");
        QTest::newRow("sim") << true;
        QTest::newRow("nao") << false;
    }
    void exclusao()
    {
        QFETCH(bool, sim);
        Tela s;
        semeia(s.a);
        test::Digita(s.t->PECodigo(), QStringLiteral("3"));
        s.a.msgs.limpa();
        sim ? s.a.msgs.respondeSim() : s.a.msgs.respondeNao();
        s.t->PENome()->setText(QStringLiteral("ANA MARIA DE OLIVEIRA SANTOS"));
        s.t->PBtnExcluir()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QCOMPARE(test::Resumo(s.a.msgs.ultima()), test::PerguntaExclusao());
        const QString d = sim ? kHoje : QStringLiteral("-");
        QCOMPARE(s.a.texto("select coalesce(dataexclusao, '-') from profissionais where codigo=3"), d);
        QCOMPARE(links(s.a, 3), QStringLiteral("12:D 15:D 20:D").replace(QStringLiteral("D"), d));
        QCOMPARE(procs(s.a, 3), QStringLiteral("12/100:D 15/100:D 15/101:D 20/102:D").replace(QStringLiteral("D"), d));
        QCOMPARE(links(s.a, 4) + ' ' + procs(s.a, 4), QStringLiteral("15:- 15/100:-"));
        QCOMPARE(s.a.texto("select situacao || '|' || outrasinfo from logs"),
                 sim ? QStringLiteral("D|3-ANA MARIA DE OLIVEIR") : QString());
        QCOMPARE(s.t->PECodigo()->text().isEmpty(), sim);
    }

    void nomeRequerido()
    {
        Tela s;
        s.t->PECartaoSUS()->setText(kCartao);
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.msgs.textos().join('|'), QStringLiteral("O valor do campo \"Nome:\" não pode estar em Branco!"));
        QVERIFY(s.t->PENome()->hasFocus());
        QCOMPARE(s.a.numero("select count(*) from profissionais"), 0);
        QVERIFY(!s.t->PBtnExcluir()->verRequeridos());
    }

    // The search runs over V_PROFISSIONAIS by codconcat and loads the professional's code.
    void procura()
    {
        Tela s;
        semeia(s.a);
        QStringList vistos;
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            f->setIntervalo(0);
            QTest::keyClicks(f->Edit1, QStringLiteral("ana"));
            QTRY_VERIFY(!f->pendente());
            QTreeWidget* l = f->DBLookupListBox1;
            for (int i = 0; i < l->topLevelItemCount(); ++i)
                vistos << l->topLevelItem(i)->text(2);
            l->setFocus();
            l->setCurrentItem(l->topLevelItem(1));
            QTest::keyClick(l, Qt::Key_Return);
        });
        s.t->PECodigo()->setFocus();
        QTest::keyClick(s.t->PECodigo(), Qt::Key_F2);
        QCOMPARE(modal.chamadas(), 1);
        vistos.sort();
        QCOMPARE(vistos, (QStringList{"3-12", "3-15", "3-20"}));
        QCOMPARE(s.t->PECodigo()->text(), QStringLiteral("3"));
        QCOMPARE(s.t->PENome()->text(), QStringLiteral("ANA MARIA DE OLIVEIRA"));
    }

    // "Cad. Entidades" waits for its screen; the screen it opens keeps this one open while it lives.
    void cadEntidades()
    {
        // The entities screen registers itself when the linker brings it in; put it back afterwards.
        const AbreTela registrada = TelaRegistrada(QStringLiteral("CadastrodeEntidades1"));
        RemoveTela(QStringLiteral("CadastrodeEntidades1"));
        {
            Tela s;
            QVERIFY(!s.t->PBCadEntidades()->isEnabled());
            QVERIFY(!s.t->PBCadEntidades()->toolTip().isEmpty());
        }
        QPointer<TFBase> outra;
        RegistraTela(QStringLiteral("CadastrodeEntidades1"), [&] {
            outra = new TFBase;
            outra->show();
        });
        {
            Tela s;
            QVERIFY(s.t->PBCadEntidades()->isEnabled());
            QVERIFY(!s.t->fechamentoSuspenso());
            s.t->PBCadEntidades()->executa();
            QVERIFY(outra);
            QVERIFY(s.t->fechamentoSuspenso());
            delete outra;
            QVERIFY(!s.t->fechamentoSuspenso());
        }
        RemoveTela(QStringLiteral("CadastrodeEntidades1"));
        if (registrada)
            RegistraTela(QStringLiteral("CadastrodeEntidades1"), registrada);
    }

    void galeria()
    {
        Tela s(QStringLiteral("CUMBEL"));
        semeia(s.a);
        test::SalvaTela(s.t, QStringLiteral("cadprofissionais_vazia"));
        s.a.b.executa("delete from entidadesprofiss where codprofissional=3 and codentidade=20");
        test::Digita(s.t->PECodigo(), QStringLiteral("3"));
        QCOMPARE(s.t->grade()->linhas(), 2);
        // The company name column fills the grid's width.
        const QHeaderView* h = s.t->grade()->horizontalHeader();
        QCOMPARE(h->sectionSize(0) + h->sectionSize(1), s.t->grade()->viewport()->width());
        test::SalvaTela(s.t, QStringLiteral("cadprofissionais_carregada"));
    }
};

QTEST_MAIN(TstProfissionais)
#include "tst_profissionais.moc"
