// Duplicate patients: the run over the register, the likely-duplicate groups and the merge of
// chosen records, on a real database; the screen driven offscreen.
#include "core/Banco.h"
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/widgets/TPersonBtn.h"
#include "municipality/TFUnificarCadastros.h"
#include "municipality/Unificacao.h"
#include "support/AmbienteTela.h"
#include "support/Trechos.h"
#include "support/Galeria.h"

#include <QLabel>
#include <QTreeWidget>

using namespace vx;

namespace {

const QString kMun = QStringLiteral("4314902");
const QString kOutro = QStringLiteral("4300406");

struct Base : test::AmbienteTela {
    Base() : test::AmbienteTela(QStringLiteral("M4314902"))
    {
        b.executa("insert into clientes (codigo, nome) values ('4314902', 'PORTO ALEGRE')");
        b.executa("insert into clientes (codigo, nome) values ('4300406', 'ALEGRETE')");
        b.executa("insert into profissionais (codigo, nome) values (20, 'DRA. LUCIA ALVES')");
    }
    void pessoa(const QString& origem, int codigo, const QString& nome, const QString& nasc,
                const QString& cartao = {}, const QString& mae = {}, const QString& obs = {})
    {
        b.executa("insert into pessoas (cli_origem, codigo, nome, datanasc, cartaosus, nomemae, obs) values ("
                  + SqlTexto(origem) + "," + QString::number(codigo) + "," + SqlTexto(nome) + ","
                  + (nasc.isEmpty() ? QStringLiteral("null") : SqlData(nasc)) + "," + SqlTexto(cartao) + ","
                  + SqlTexto(mae) + "," + SqlTexto(obs) + ")");
    }
    void autorizacao(const QString& origem, int id, int pessoa)
    {
        b.executa("insert into marcacao (cli_origem, data_imp_adm, id_marcacao, codpessoa) values (" + SqlTexto(origem) + ",'M',"
                  + QString::number(id) + "," + QString::number(pessoa) + ")");
    }
    void agenda(int id, const QString& origem, int pessoa)
    {
        b.executa("insert into agenda (id_agenda, codprofissional, data, cli_origem, codpessoa) values ("
                  + QString::number(id) + ",20,current_date," + SqlTexto(origem) + "," + QString::number(pessoa) + ")");
    }
    QString codigos(const QString& origem)
    {
        QStringList r;
        Transacao tr(dm->IBDatabase);
        Consulta q(tr);
        q.abre("select codigo from pessoas where cli_origem=" + SqlTexto(origem) + " order by codigo");
        for (; !q.eof(); q.proximo())
            r << q.campo(0).texto();
        return r.join(QLatin1Char(','));
    }
    QString donos(const QString& tabela, const QString& id)
    {
        return texto("select list(codpessoa, ',') from (select codpessoa from " + tabela + " order by " + id + ")");
    }
    // References of every table with a patient column that lead nowhere (the reception's work
    // copy MARCACAOTESTE points at PESSOASTESTE, not at PESSOAS).
    int orfaos()
    {
        int n = 0;
        Transacao tr(dm->IBDatabase);
        Consulta q(tr);
        q.abre("select trim(f.rdb$relation_name) from rdb$relation_fields f join rdb$relations r "
               "on r.rdb$relation_name=f.rdb$relation_name where f.rdb$field_name='CODPESSOA' "
               "and r.rdb$view_blr is null and f.rdb$relation_name<>'MARCACAOTESTE'");
        QStringList tabelas;
        for (; !q.eof(); q.proximo())
            tabelas << q.campo(0).texto();
        [&] { QCOMPARE(tabelas.size(), TabelasComPaciente().size()); }();
        for (const QString& t : tabelas)
            n += numero("select count(*) from " + t + " x where x.codpessoa is not null and not exists "
                        "(select 1 from pessoas p where p.cli_origem=x.cli_origem and p.codigo=x.codpessoa)");
        return n;
    }
};

} // namespace

class TstUnificacao : public QObject {
    Q_OBJECT
private slots:
    void semAcentos_data();
    void semAcentos();
    void execucao();
    void execucaoDesfeitaNaFalha();
    void provaveisDuplicados_data();
    void provaveisDuplicados();
    void unificaEscolhidos();
    void tela();
};

void TstUnificacao::semAcentos_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("acentos") << QStringLiteral("José da Conceição") << QStringLiteral("JOSE DA CONCEICAO");
    QTest::newRow("brancos") << QStringLiteral("  MARIA   DAS  DORES ") << QStringLiteral("MARIA DAS DORES");
    QTest::newRow("todas as vogais") << QStringLiteral("ÁÀÂÃÄ éêë íï óôõö úüç ñ") << QStringLiteral("AAAAA EEE II OOOO UUC N");
    QTest::newRow("fora do latin-1") << QStringLiteral("Ŝtefan") << QStringLiteral("STEFAN");
    QTest::newRow("vazio") << QString() << QString();
}

void TstUnificacao::semAcentos()
{
    QFETCH(QString, texto);
    QFETCH(QString, esperado);
    QCOMPARE(SemAcentos(texto), esperado);
}

void TstUnificacao::execucao()
{
    Base a;
    // Three equal records (1 read first), a homonym born on another day, a same-named patient of
    // another municipality, two without birth date, and a record a user marked DELETAR.
    a.pessoa(kMun, 1, "ANA SOUZA", "01/02/1980");
    a.pessoa(kMun, 2, "ANA SOUZA", "01/02/1980");
    a.pessoa(kMun, 3, "ANA SOUZA", "01/02/1980");
    a.pessoa(kMun, 4, "ANA SOUZA", "02/02/1980");
    a.pessoa(kOutro, 2, "ANA SOUZA", "01/02/1980");
    a.pessoa(kMun, 5, "BETO LIMA", {});
    a.pessoa(kMun, 6, "BETO LIMA", {});
    a.pessoa(kMun, 7, "CARLA DIAS", "03/03/1990", {}, {}, "DELETAR");
    a.autorizacao(kMun, 10, 2);
    a.autorizacao(kMun, 11, 3);
    a.autorizacao(kMun, 12, 4);
    a.autorizacao(kOutro, 13, 2);
    a.autorizacao(kMun, 14, 6);
    a.agenda(1, kMun, 3);   // a duplicate with a booking
    a.agenda(2, kOutro, 2);

    QStringList passos;
    const ResultadoUnificacao r = ExecutaUnificacao(a.dm->IBTransaction, [&](const QString& t) { passos << t; });
    QCOMPARE(r.verificados, 8);
    QCOMPARE(r.unificados, 3);
    QCOMPARE(r.excluidos, 4);
    QCOMPARE(a.codigos(kMun), QStringLiteral("1,4,5"));
    QCOMPARE(a.codigos(kOutro), QStringLiteral("2"));
    QCOMPARE(a.texto("select list(cli_origem || ':' || codpessoa, ',') from (select cli_origem, codpessoa from marcacao order by id_marcacao)"),
             QStringLiteral("4314902:1,4314902:1,4314902:4,4300406:2,4314902:5"));
    QCOMPARE(a.donos("agenda", "id_agenda"), QStringLiteral("1,2"));
    QCOMPARE(a.orfaos(), 0);
    QVERIFY(!a.dm->IBTransaction.ativa());
    QCOMPARE(passos.last(), QStringLiteral("Concluído!"));
    QCOMPARE(test::DiferencaTrechos(a.b.conexao()), QString()); // the search's word pieces follow
    QVERIFY(passos.contains(QStringLiteral("Verificando Cadastro Código 1 - ANA SOUZA")));
    QVERIFY(passos.contains(QStringLiteral("Finalizando...")));
    QCOMPARE(a.texto("select list(outrasinfo, '|') from (select outrasinfo from logs where tabela='Pessoas' order by outrasinfo)"),
             QStringLiteral("Unif.Transf:ANA SOUZA  De:2  Para:1|Unif.Transf:ANA SOUZA  De:3  Para:1|"
                            "Unif.Transf:BETO LIMA  De:6  Para:5"));
}

void TstUnificacao::execucaoDesfeitaNaFalha()
{
    Base a;
    a.pessoa(kMun, 1, "ANA SOUZA", "01/02/1980");
    a.pessoa(kMun, 2, "ANA SOUZA", "01/02/1980");
    a.autorizacao(kMun, 10, 2);
    // Marked by hand and booked: the database refuses the delete and the whole run goes back.
    a.pessoa(kMun, 3, "CARLA DIAS", "03/03/1990", {}, {}, "DELETAR");
    a.agenda(1, kMun, 3);
    QVERIFY_THROWS_EXCEPTION(ErroBanco, ExecutaUnificacao(a.dm->IBTransaction));
    QVERIFY(!a.dm->IBTransaction.ativa());
    QCOMPARE(a.codigos(kMun), QStringLiteral("1,2,3"));
    QCOMPARE(a.donos("marcacao", "id_marcacao"), QStringLiteral("2"));
    QCOMPARE(a.numero("select count(*) from pessoas where obs='DELETAR'"), 1);
    QCOMPARE(a.numero("select count(*) from logs where tabela='Pessoas'"), 0);
}

void TstUnificacao::provaveisDuplicados_data()
{
    QTest::addColumn<QStringList>("linhas");   // origin;code;name;birth;card;mother
    QTest::addColumn<QStringList>("grupos");   // "reason: codes"
    const QString c1 = QStringLiteral("898001234567891");
    QTest::newRow("mesmo cartão, nomes diferentes")
        << QStringList{"4314902;1;ANA SOUZA;01/02/1980;" + c1 + ";", "4314902;2;ANA S. SOUZA;;" + c1 + ";"}
        << QStringList{QStringLiteral("Cartão SUS: 1,2")};
    QTest::newRow("nome sem acento e nascimento")
        << QStringList{"4314902;1;JOSÉ DA CONCEIÇÃO;05/05/1950;;", "4314902;2;jose  da conceicao ;05/05/1950;;"}
        << QStringList{QStringLiteral("Nome e Nascimento: 1,2")};
    QTest::newRow("nome e mãe, nascimento diferente")
        << QStringList{"4314902;1;ANA SOUZA;01/02/1980;;MARIA", "4314902;2;ANA SOUZA;01/02/1981;;MARÍA"}
        << QStringList{QStringLiteral("Nome e Mãe: 1,2")};
    QTest::newRow("homônimos sem outro dado comum")
        << QStringList{"4314902;1;ANA SOUZA;01/02/1980;;", "4314902;2;ANA SOUZA;01/02/1981;;", "4314902;3;ANA SOUZA;;;"}
        << QStringList{};
    QTest::newRow("outra origem")
        << QStringList{"4314902;1;ANA SOUZA;01/02/1980;" + c1 + ";", "4300406;1;ANA SOUZA;01/02/1980;" + c1 + ";"}
        << QStringList{};
    QTest::newRow("cartões que não identificam")
        << QStringList{"4314902;1;A;;MODULOS;", "4314902;2;B;;MODULOS;", "4314902;3;C;;000000000000000;",
                       "4314902;4;D;;000000000000000;", "4314902;5;E;;;", "4314902;6;F;;;"}
        << QStringList{};
    QTest::newRow("cadeia: cartão e depois nome e nascimento")
        << QStringList{"4314902;7;ANA SOUZA;01/02/1980;" + c1 + ";", "4314902;3;ANA SOUZA;;" + c1 + ";",
                       "4314902;9;ANA SOUSA;01/02/1980;;", "4314902;8;ANA  SOUZA;01/02/1980;;"}
        << QStringList{QStringLiteral("Cartão SUS, Nome e Nascimento: 3,7,8")};
}

void TstUnificacao::provaveisDuplicados()
{
    QFETCH(QStringList, linhas);
    QFETCH(QStringList, grupos);
    Base a;
    for (const QString& l : linhas) {
        const QStringList c = l.split(QLatin1Char(';'));
        a.pessoa(c[0], c[1].toInt(), c[2], c[3], c[4], c[5]);
    }
    a.autorizacao(kMun, 1, 1);
    Transacao tr(a.dm->IBDatabase);
    tr.inicia();
    QStringList r;
    for (const GrupoDuplicados& g : ProvaveisDuplicados(tr)) {
        QStringList cods;
        for (const CadastroDuplicado& c : g.cadastros)
            cods << QString::number(c.codigo);
        r << g.motivo + QStringLiteral(": ") + cods.join(QLatin1Char(','));
        if (g.cadastros.first().codigo == 1)
            QCOMPARE(g.cadastros.first().autorizacoes, 1);
    }
    QCOMPARE(r, grupos);
}

void TstUnificacao::unificaEscolhidos()
{
    Base a;
    a.pessoa(kMun, 1, "ANA SOUZA", {}, {}, "MARIA");
    a.pessoa(kMun, 2, "ANA S SOUZA", "01/02/1980", "898001234567891", "OUTRA");
    a.pessoa(kMun, 3, "ANA SOUZA", "01/02/1981", "898001234567892");
    a.b.executa("update pessoas set endereco='RUA A', endnum=10, bairro='CENTRO', fones='5133334444' where codigo=3");
    a.pessoa(kOutro, 2, "ANA S SOUZA", "01/02/1980");
    for (int i = 0; i < 6; ++i)
        a.autorizacao(kMun, 100 + i, 1 + i % 3);
    a.autorizacao(kOutro, 200, 2);
    a.agenda(1, kMun, 2);
    a.agenda(2, kMun, 3);
    a.agenda(3, kOutro, 2);

    // A survivor among the duplicates and an unknown code are refused with nothing changed.
    QVERIFY_THROWS_EXCEPTION(ErroValor, UnificaPacientes(a.dm->IBTransaction, kMun, 1, {2, 1}));
    QVERIFY_THROWS_EXCEPTION(ErroValor, UnificaPacientes(a.dm->IBTransaction, kMun, 1, {2, 99}));
    QCOMPARE(a.codigos(kMun), QStringLiteral("1,2,3"));
    QCOMPARE(a.donos("marcacao", "id_marcacao"), QStringLiteral("1,2,3,1,2,3,2"));

    UnificaPacientes(a.dm->IBTransaction, kMun, 1, {2, 3});
    QVERIFY(!a.dm->IBTransaction.ativa());
    QCOMPARE(test::DiferencaTrechos(a.b.conexao()), QString());
    QCOMPARE(a.codigos(kMun), QStringLiteral("1"));
    QCOMPARE(a.codigos(kOutro), QStringLiteral("2"));
    QCOMPARE(a.donos("marcacao", "id_marcacao"), QStringLiteral("1,1,1,1,1,1,2"));
    QCOMPARE(a.donos("agenda", "id_agenda"), QStringLiteral("1,1,2"));
    QCOMPARE(a.orfaos(), 0);
    // The survivor keeps its name and mother and takes what it lacked from the first duplicate
    // that had it: card and birth date of 2, the address of 3.
    QCOMPARE(a.texto("select nome || '|' || nomemae || '|' || cartaosus || '|' || datanasc || '|' || endereco || '|' "
                     "|| endnum || '|' || bairro || '|' || fones from pessoas where cli_origem='4314902' and codigo=1"),
             QStringLiteral("ANA SOUZA|MARIA|898001234567891|1980-02-01|RUA A|10|CENTRO|5133334444"));
    QCOMPARE(a.texto("select list(outrasinfo, '|') from (select outrasinfo from logs where tabela='Pessoas' and situacao='U' order by outrasinfo)"),
             QStringLiteral("Unif.Transf:ANA S SOUZA  De:2  Para:1|Unif.Transf:ANA SOUZA  De:3  Para:1"));
}

void TstUnificacao::tela()
{
    Base a;
    a.pessoa(kMun, 1, "JOSÉ DA SILVA", "05/05/1950", {}, "MARIA");
    a.pessoa(kMun, 2, "JOSE DA SILVA", "05/05/1950");
    a.pessoa(kMun, 3, "JOSE DA SILVA", {}, {}, "MARIA");
    a.pessoa(kMun, 4, "PEDRO ROCHA", "01/01/1970", "898001234567891");
    a.pessoa(kMun, 5, "PEDRO R ROCHA", {}, "898001234567891");
    a.autorizacao(kMun, 10, 3);
    a.autorizacao(kMun, 11, 5);

    TelaRegistrada(QStringLiteral("UnificarCadastrosDuplicados1"));   // registered
    auto* t = test::AbreTelaTeste(CriaTela<TFUnificarCadastros>());
    t->findChild<TPersonBtn*>(QStringLiteral("PBProcurar"))->executa();
    QTreeWidget* l = t->ListaDuplicados();
    QCOMPARE(l->topLevelItemCount(), 2);
    QTreeWidgetItem* jose = l->topLevelItem(0);
    QCOMPARE(jose->text(0), QStringLiteral("Nome e Nascimento, Nome e Mãe: JOSÉ DA SILVA"));
    QCOMPARE(jose->childCount(), 3);
    QCOMPARE(jose->child(2)->text(5), QStringLiteral("1"));
    test::SalvaTela(t, QStringLiteral("unificacao"));

    // Keep 3 (the one with the authorization), leave 2 out.
    l->setCurrentItem(jose->child(2));
    t->PBManterClick();
    QVERIFY(!jose->child(2)->data(0, Qt::CheckStateRole).isValid());
    jose->child(1)->setCheckState(0, Qt::Unchecked);
    a.msgs.respondeSim();
    t->PBUnificarClick();
    QCOMPARE(a.codigos(kMun), QStringLiteral("2,3,4,5"));
    QCOMPARE(a.texto("select datanasc from pessoas where codigo=3"), QStringLiteral("1950-05-05"));
    QCOMPARE(jose->childCount(), 2);
    QCOMPARE(jose->child(1)->text(5), QStringLiteral("1"));

    // 3 took 1's birth date and now equals 2: the whole-register run merges them.
    t->findChild<TPersonBtn*>(QStringLiteral("PBExecuta"))->executa();
    QCOMPARE(t->LProgresso()->text(), QStringLiteral("Concluído!"));
    QCOMPARE(a.numero("select count(*) from pessoas"), 3);
    QCOMPARE(a.orfaos(), 0);
    t->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(TstUnificacao)
#include "tst_unificacao.moc"
