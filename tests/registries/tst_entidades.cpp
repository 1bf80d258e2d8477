// The entities registry with its professionals and their procedures, on a real database and the
// screen driven offscreen.
#include "core/MenuPrincipal.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "registries/Entidades.h"
#include "registries/TFCadEntidades.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QtTest>

using namespace vx;

namespace {
const QString kHoje = QStringLiteral("2024-05-20");

// Entities 12 and 15; professionals 3, 4 and 5 (5's link to 12 closed); groups 1 (procedures 100,
// 101 and the deleted 103), 2 (102) and 3 (only the deleted 104).
void semeia(test::AmbienteTela& a)
{
    a.b.executa("insert into ibgemunic (codigo, cidade, uf) values ('4314902', 'PORTO ALEGRE', 'RS')");
    a.b.executa("insert into entidades (codigo, razaosocial, codmun) values (12, 'CLINICA SAO LUCAS LTDA', '4314902')");
    a.b.executa("insert into entidades (codigo, razaosocial) values (15, 'ABC DIAGNOSTICOS')");
    for (const char* p : {"3, 'MARIA ROCHA'", "4, 'BRUNO COSTA'", "5, 'ANA LIMA'"})
        a.b.executa(QStringLiteral("insert into profissionais (codigo, nome) values (%1)").arg(QLatin1String(p)));
    for (const char* g : {"1, 'CONSULTAS'", "2, 'EXAMES'", "3, 'ANTIGOS'"})
        a.b.executa(QStringLiteral("insert into gruposproced (codigo, nome) values (%1)").arg(QLatin1String(g)));
    for (const char* p : {"100, 'CONSULTA CLINICA', 1, 30.00, null", "101, 'CONSULTA DE RETORNO', 1, 12.50, null",
                          "102, 'HEMOGRAMA', 2, 4.11, null", "103, 'CONSULTA ANTIGA', 1, 9, '2020-01-01'",
                          "104, 'EXAME ANTIGO', 3, 9, '2020-01-01'"})
        a.b.executa(QStringLiteral("insert into procedimentos (codigo, nome, codgrupo, valor, dataexclusao) values (%1)")
                        .arg(QLatin1String(p)));
    for (const char* v : {"12, 3, null", "12, 4, null", "12, 5, '2023-01-01'", "15, 3, null"})
        a.b.executa(QStringLiteral("insert into entidadesprofiss (codentidade, codprofissional, dataexclusao) values (%1)")
                        .arg(QLatin1String(v)));
    for (const char* v : {"12, 3, 100", "12, 3, 102", "12, 4, 101", "15, 3, 100"})
        a.b.executa(QStringLiteral("insert into profissproced (codentidade, codprofissional, codprocedimento) values (%1)")
                        .arg(QLatin1String(v)));
}

// "entity/professional:date" of every link, '-' for an active one.
QString vinculos(test::AmbienteTela& a)
{
    return a.texto("select list(x, ' ') from (select codentidade || '/' || codprofissional || ':' || "
                   "coalesce(dataexclusao, '-') x from entidadesprofiss order by codentidade, codprofissional)");
}

// "entity/professional/procedure:date" of every contracted procedure.
QString procs(test::AmbienteTela& a)
{
    return a.texto("select list(x, ' ') from (select codentidade || '/' || codprofissional || '/' || codprocedimento || "
                   "':' || coalesce(dataexclusao, '-') x from profissproced order by 1)");
}

QString logs(test::AmbienteTela& a)
{
    return a.texto("select list(x, ' | ') from (select tabela || ' ' || situacao || ' ' || outrasinfo x from logs)");
}

QStringList coluna(const GradeConsulta* g, const QString& c)
{
    QStringList r;
    for (int i = 0; i < g->linhas(); ++i)
        r << g->valor(c, i);
    return r;
}

struct Tela {
    test::AmbienteTela a;
    TFCadEntidades* t;
    explicit Tela(const QString& usuario = QStringLiteral("CUNE"), bool dados = true)
        : a(usuario)
    {
        if (dados)
            semeia(a);
        TelaRegistrada(usuario.startsWith('E') ? QStringLiteral("CadastrodaEntidade1") : QStringLiteral("CadastrodeEntidades1"))();
        t = test::AbreTelaTeste(InstanciaTela<TFCadEntidades>());
    }
    ~Tela() { delete t; }
    void carrega(const QString& codigo)
    {
        test::Digita(t->PECodigo(), codigo);
        a.msgs.limpa();
    }
    void seleciona(const QString& prof)
    {
        const int i = int(coluna(t->DBGrid1(), QStringLiteral("CODPROFISSIONAL")).indexOf(prof));
        QVERIFY(i >= 0);
        t->DBGrid1()->setCurrentCell(i, 1);
    }
    void procedimento(const QString& codigo, bool grupo)
    {
        (grupo ? t->RBGrupo() : t->RBIndividual())->setChecked(true);
        test::Digita(t->PECodProced(), codigo);
    }
};

Entidade entidade(const QString& codigo, const QString& razao)
{
    Entidade e;
    e.codigo = codigo;
    e.razaoSocial = razao;
    e.codMun = QStringLiteral("4314902");
    e.cnpj = QStringLiteral("  .   .   /    -  ");
    e.cpf = QStringLiteral("   .   .   -  ");
    for (QString* d : {&e.dataIniContrato, &e.dataRenovContrato, &e.dataVencContrato})
        *d = QStringLiteral("  /  /    ");
    return e;
}
} // namespace

class TstEntidades : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SessaoAtual().DataAtual = QStringLiteral("20/05/2024"); }

    // An empty code is the highest + 1 (closed entities count); a typed code is inserted when
    // unknown and updated otherwise; an update reactivates the entity, its links staying closed.
    void codigo_data() { test::LinhasCodigoCadastro(); }
    void codigo()
    {
        QFETCH(QString, digitado);
        QFETCH(bool, existentes);
        QFETCH(QString, codigo);
        QFETCH(QString, situacao);
        test::AmbienteTela a;
        if (existentes) {
            a.b.executa("insert into entidades (codigo, razaosocial) values (1, 'UM')");
            a.b.executa("insert into entidades (codigo, razaosocial) values (2, 'DOIS')");
            a.b.executa("insert into entidades (codigo, razaosocial, dataexclusao) values (7, 'SETE', '2023-01-02')");
            a.b.executa("insert into entidadesprofiss (codentidade, codprofissional, dataexclusao) values (7, 3, '2023-01-02')");
        }
        const QString razao = QStringLiteral("LABORATÓRIO D'ÁVILA %1 ANÁLISES CLÍNICAS E PATOLOGIA LTDA");
        Entidade e = entidade(digitado, razao);
        const RegistroLog log = GravaEntidade(a.dm->IBTransaction, e);
        QCOMPARE(e.codigo, codigo);
        QCOMPARE(log.situacao, situacao);
        const QString onde = QStringLiteral(" from entidades where codigo=") + codigo;
        QCOMPARE(a.texto("select razaosocial" + onde), razao);
        QCOMPARE(a.numero("select count(*)" + onde + " and dataexclusao is null"), 1);
        QCOMPARE(logs(a), QStringLiteral("Entidades %1 %2-%3").arg(situacao, codigo, razao.left(40)));
        if (existentes)
            QCOMPARE(vinculos(a), QStringLiteral("7/3:2023-01-02"));
    }

    // Every field typed on the screen reaches its column in the stored form and comes back on
    // loading; the hidden bank information is kept through a save.
    void camposIdaEVolta()
    {
        Tela s;
        s.a.b.executa("update entidades set infobanc='PIX 123' where codigo=12");
        s.carrega(QStringLiteral("12"));
        QCOMPARE(s.t->LMunicipio()->text(), QStringLiteral("PORTO ALEGRE"));
        QVERIFY(s.t->LMunicipio()->font().bold() && s.t->LMunicipio()->font().underline());
        QVERIFY(!s.t->campo("PEInfoBanc")->isVisible());
        const QList<QPair<const char*, QString>> campos{
            {"PENomeFantasia", "SÃO LUCAS"},       {"PEEndereco", "RUA D'AJUDA, 10"}, {"PECEP", "90020-000"},
            {"PEContato", "DRA. ANA"},             {"PECNES", "2237601"},             {"PEFones", "(51) 3333-0001"},
            {"PEFax", "(51) 3333-0009"},           {"PEEmail", "contato@saolucas.com.br"},
            {"PECodContabil", "1.2.3"},            {"PECNPJ", "12.ABC.345/01DE-35"},  {"PECpf", "529.982.247-25"},
            {"PEIe", "096/1234567"},               {"PEISSQN", "1.234,56"},           {"PEPIS", "0,65"},
            {"PECOFINS", ""},                      {"PECSLL", "1"},                   {"PEBanco", "041"},
            {"PEAgencia", "0123-4"},               {"PEConta", "06.123456.0-7"},     {"PEDataIniContrato", "01/02/2024"},
            {"PEDataRenovContrato", "  /  /    "}, {"PEDataVencContrato", "31/01/2025"}, {"PEObs", "Contrato 12/2024 'A'"}};
        for (const auto& [nome, valor] : campos)
            s.t->campo(nome)->setText(valor);
        s.t->findChild<QCheckBox*>(QStringLiteral("CBIsentoIR"))->setChecked(true);
        s.t->findChild<QCheckBox*>(QStringLiteral("CBOcultarMunic"))->setChecked(true);
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.msgs.textos().join('|'), QString());
        QCOMPARE(s.a.texto("select nomefantasia || '|' || endereco || '|' || cep || '|' || cnpj || '|' || cpf || '|' || "
                           "issqn || '|' || pis || '|' || cofins || '|' || csll || '|' || banco || '|' || agencia || '|' || "
                           "conta || '|' || infobanc || '|' || isentoir || simplesnac || ocultarmunic || '|' || "
                           "datainicontrato || '|' || coalesce(datarenovcontrato, 'null') || '|' || datavenccontrato || "
                           "'|' || obs from entidades where codigo=12"),
                 QStringLiteral("SÃO LUCAS|RUA D'AJUDA, 10|90020-000|12.ABC.345/01DE-35|529.982.247-25|1234.56|0.65|0.00|"
                                "1.00|041|0123-4|06.123456.0-7|PIX 123|SNS|2024-02-01|null|2025-01-31|Contrato 12/2024 'A'"));
        QCOMPARE(logs(s.a), QStringLiteral("Entidades U 12-CLINICA SAO LUCAS LTDA"));
        // The entity stays on the screen, ready for its professionals.
        QCOMPARE(s.t->PECodigo()->text(), QStringLiteral("12"));
        QVERIFY(s.t->PECodProfissional()->hasFocus());
        s.t->LimpaEdits();
        s.carrega(QStringLiteral("12"));
        for (const auto& [nome, valor] : campos) {
            // Decimals come back in the field's own form.
            static const QHash<QString, QString> decimais{
                {"PEISSQN", "1234,56"}, {"PEPIS", "0,65"}, {"PECOFINS", "0,00"}, {"PECSLL", "1,00"}};
            const QString esperado = decimais.value(QLatin1String(nome), valor);
            QCOMPARE(s.t->campo(nome)->text(), esperado);
        }
        QCOMPARE(s.t->campo("PEInfoBanc")->text(), QStringLiteral("PIX 123"));
        QVERIFY(!s.t->findChild<QCheckBox*>(QStringLiteral("CBSimplesNac"))->isChecked());
        QVERIFY(s.t->findChild<QCheckBox*>(QStringLiteral("CBIsentoIR"))->isChecked());
    }

    // The CNPJ and CPF are checked on leaving: numeric and alphanumeric CNPJs pass; repeated
    // digits and wrong check digits keep the focus with the field's message.
    void documentos_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("mensagem");
        const QString cnpj = QStringLiteral("O valor do CNPJ não é um valor Válido!");
        const QString cpf = QStringLiteral("O valor do CPF não é um valor Válido!");
        QTest::newRow("cnpj numerico") << "PECNPJ" << "11222333000181" << "";
        QTest::newRow("cnpj alfanumerico") << "PECNPJ" << "12abc34501de35" << "";
        QTest::newRow("cnpj repetido") << "PECNPJ" << "22222222222222" << cnpj;
        QTest::newRow("cnpj digito") << "PECNPJ" << "11222333000182" << cnpj;
        QTest::newRow("cpf") << "PECpf" << "52998224725" << "";
        QTest::newRow("cpf repetido") << "PECpf" << "11111111111" << cpf;
        QTest::newRow("cpf digito") << "PECpf" << "52998224726" << cpf;
    }
    void documentos()
    {
        QFETCH(QString, campo);
        QFETCH(QString, texto);
        QFETCH(QString, mensagem);
        Tela s;
        TPersonEdit* e = s.t->campo(campo.toLatin1().constData());
        test::Digita(e, texto);
        QCOMPARE(s.a.msgs.textos().join('|'), mensagem);
        QCOMPARE(e->hasFocus(), !mensagem.isEmpty());
    }

    // Razão and Município are required, in that order; nothing is written without them.
    void requeridos_data()
    {
        QTest::addColumn<QString>("razao");
        QTest::addColumn<QString>("municipio");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("foco");
        QTest::newRow("sem razao") << "" << "4314902" << "O valor do campo \"Razão:\" não pode estar em Branco!" << "PERazaoSocial";
        QTest::newRow("sem municipio") << "NOVA" << "" << "O valor do campo \"Município:\" não pode estar em Branco!" << "PECodMun";
    }
    void requeridos()
    {
        QFETCH(QString, razao);
        QFETCH(QString, municipio);
        QFETCH(QString, mensagem);
        QFETCH(QString, foco);
        Tela s;
        s.t->campo("PERazaoSocial")->setText(razao);
        s.t->campo("PECodMun")->setText(municipio);
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.msgs.textos().join('|'), mensagem);
        QCOMPARE(QApplication::focusWidget()->objectName(), foco);
        QCOMPARE(s.a.numero("select count(*) from entidades") + s.a.numero("select count(*) from logs"), 2);
    }

    // Deleting asks first, then closes the entity, every link and their procedures with the
    // working date (links closed before take it too); other entities are untouched.
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
        s.carrega(QStringLiteral("12"));
        sim ? s.a.msgs.respondeSim() : s.a.msgs.respondeNao();
        s.t->PBtnExcluir()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QCOMPARE(test::Resumo(s.a.msgs.ultima()), test::PerguntaExclusao());
        const QString d = sim ? kHoje : QStringLiteral("-");
        QCOMPARE(s.a.texto("select coalesce(dataexclusao, '-') from entidades where codigo=12"), d);
        QCOMPARE(vinculos(s.a), sim ? QStringLiteral("12/3:D 12/4:D 12/5:D 15/3:-").replace(QStringLiteral("D"), d)
                                     : QStringLiteral("12/3:- 12/4:- 12/5:2023-01-01 15/3:-"));
        QCOMPARE(procs(s.a), QStringLiteral("12/3/100:D 12/3/102:D 12/4/101:D 15/3/100:-").replace(QStringLiteral("D"), d));
        QCOMPARE(logs(s.a), sim ? QStringLiteral("Entidades D 12-CLINICA SAO LUCAS LT") : QString());
        QCOMPARE(s.t->PECodigo()->text().isEmpty(), sim);
        if (!sim)
            return;
        QVERIFY(s.t->PECodigo()->hasFocus());
        QCOMPARE(s.t->DBGrid1()->linhas(), 0);
        // Loaded again: the notice; saved again: active, its links still closed.
        s.carrega(QStringLiteral("12"));
        QCOMPARE(s.t->LAvisoExclusao()->text(), QStringLiteral("ENTIDADE EXCLUÍDA EM 20/05/2024"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select coalesce(dataexclusao, '-') from entidades where codigo=12"), QStringLiteral("-"));
        QCOMPARE(s.t->LAvisoExclusao()->text(), QString());
        QCOMPARE(s.t->DBGrid1()->linhas(), 0);
    }

    // Loading lists the active professionals by name; a row chosen (or a code typed) shows the
    // professional's active procedures with the registry's prices, to the cent.
    void grades()
    {
        Tela s;
        s.a.b.executa("update procedimentos set valor=1234.5 where codigo=102");
        s.carrega(QStringLiteral("12"));
        QCOMPARE(coluna(s.t->DBGrid1(), QStringLiteral("NOME")), (QStringList{"BRUNO COSTA", "MARIA ROCHA"}));
        QCOMPARE(s.t->profissionalSelecionado(), QStringLiteral("4"));
        QCOMPARE(coluna(s.t->DBGrid2(), QStringLiteral("CODPROCEDIMENTO")), QStringList{"101"});
        s.seleciona(QStringLiteral("3"));
        QCOMPARE(s.t->PECodProfissional()->text(), QStringLiteral("3"));
        QCOMPARE(s.t->LProfissional()->text(), QStringLiteral("MARIA ROCHA"));
        QCOMPARE(coluna(s.t->DBGrid2(), QStringLiteral("NOME")), (QStringList{"CONSULTA CLINICA", "HEMOGRAMA"}));
        QCOMPARE(coluna(s.t->DBGrid2(), QStringLiteral("VALOR")), (QStringList{"30,00", "1.234,50"}));
        s.t->DBGrid2()->setCurrentCell(1, 0);
        QCOMPARE(s.t->PECodProced()->text(), QStringLiteral("102"));
        QCOMPARE(s.t->LProcedimento()->text(), QStringLiteral("HEMOGRAMA"));
        // A typed code moves the grid to it.
        test::Digita(s.t->PECodProfissional(), QStringLiteral("4"));
        QCOMPARE(s.t->LProfissional()->text(), QStringLiteral("BRUNO COSTA"));
        QCOMPARE(s.t->profissionalSelecionado(), QStringLiteral("4"));
        QCOMPARE(coluna(s.t->DBGrid2(), QStringLiteral("CODPROCEDIMENTO")), QStringList{"101"});
        // An unknown entity code leaves everything empty, ready for a new one.
        s.carrega(QStringLiteral("99"));
        QCOMPARE(s.t->DBGrid1()->linhas() + s.t->DBGrid2()->linhas(), 0);
        QVERIFY(s.t->campo("PERazaoSocial")->text().isEmpty());
        QCOMPARE(s.a.msgs.quantidade(), 0);
    }

    // Linking a professional: new, a closed link reopened (no duplicate), unknown refused.
    // Unlinking closes the link and its procedures, without a question.
    void profissionais()
    {
        Tela s;
        s.carrega(QStringLiteral("12"));
        for (const char* p : {"5", "3"}) {
            test::Digita(s.t->PECodProfissional(), QLatin1String(p));
            s.t->PBInserirProf()->executa();
        }
        QCOMPARE(vinculos(s.a), QStringLiteral("12/3:- 12/4:- 12/5:- 15/3:-"));
        QVERIFY(s.t->PECodProfissional()->text().isEmpty());
        QVERIFY(s.t->PECodProfissional()->hasFocus());
        QCOMPARE(coluna(s.t->DBGrid1(), QStringLiteral("NOME")), (QStringList{"ANA LIMA", "BRUNO COSTA", "MARIA ROCHA"}));
        QCOMPARE(s.t->profissionalSelecionado(), QStringLiteral("3"));
        test::Digita(s.t->PECodProfissional(), QStringLiteral("77"));
        s.t->PBInserirProf()->executa();
        QCOMPARE(s.a.msgs.ultima().texto, QStringLiteral("Profissional não cadastrado."));
        s.a.msgs.limpa();
        s.seleciona(QStringLiteral("3"));
        s.t->PBExcluirProf()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 0);
        QCOMPARE(vinculos(s.a), QStringLiteral("12/3:2024-05-20 12/4:- 12/5:- 15/3:-"));
        QCOMPARE(procs(s.a), QStringLiteral("12/3/100:2024-05-20 12/3/102:2024-05-20 12/4/101:- 15/3/100:-"));
        QCOMPARE(coluna(s.t->DBGrid1(), QStringLiteral("CODPROFISSIONAL")), (QStringList{"5", "4"}));
        QCOMPARE(logs(s.a), QStringLiteral("EntidadesProfiss I 12-5 | EntidadesProfiss I 12-3 | EntidadeProfiss D 12-3"));
    }

    // Procedures of the selected professional, one by one or a whole group (active procedures
    // only; the audit row is written even when the group adds nothing); a closed one reopened.
    void procedimentos()
    {
        Tela s;
        s.carrega(QStringLiteral("12"));
        s.seleciona(QStringLiteral("4"));
        s.procedimento(QStringLiteral("1"), true);
        QCOMPARE(s.t->LProcedimento()->text(), QStringLiteral("CONSULTAS"));
        s.t->PBInserirProced()->executa();
        QCOMPARE(procs(s.a), QStringLiteral("12/3/100:- 12/3/102:- 12/4/100:- 12/4/101:- 15/3/100:-"));
        QVERIFY(s.t->PECodProced()->text().isEmpty());
        QVERIFY(s.t->PECodProced()->hasFocus());
        QCOMPARE(coluna(s.t->DBGrid2(), QStringLiteral("CODPROCEDIMENTO")), (QStringList{"100", "101"}));
        s.procedimento(QStringLiteral("3"), true);
        s.t->PBInserirProced()->executa();
        s.procedimento(QStringLiteral("102"), false);
        QCOMPARE(s.t->LProcedimento()->text(), QStringLiteral("HEMOGRAMA"));
        s.t->PBInserirProced()->executa();
        // One removed from its row, then the group removed at once.
        s.t->DBGrid2()->setCurrentCell(2, 0);
        QCOMPARE(s.t->DBGrid2()->valor(QStringLiteral("CODPROCEDIMENTO")), QStringLiteral("102"));
        s.t->PBExcluirProced()->executa();
        s.procedimento(QStringLiteral("1"), true);
        s.t->PBExcluirProced()->executa();
        QCOMPARE(procs(s.a), QStringLiteral("12/3/100:- 12/3/102:- 12/4/100:2024-05-20 12/4/101:2024-05-20 "
                                            "12/4/102:2024-05-20 15/3/100:-"));
        QCOMPARE(s.t->DBGrid2()->linhas(), 0);
        // Added again: the rows reopen.
        s.procedimento(QStringLiteral("102"), false);
        s.t->PBInserirProced()->executa();
        QCOMPARE(procs(s.a), QStringLiteral("12/3/100:- 12/3/102:- 12/4/100:2024-05-20 12/4/101:2024-05-20 "
                                            "12/4/102:- 15/3/100:-"));
        QCOMPARE(s.a.msgs.quantidade(), 0);
        QCOMPARE(logs(s.a), QStringLiteral("ProfissProced I 12-4-Grupo:1 | ProfissProced I 12-4-Grupo:3 | "
                                           "ProfissProced I 12-4-102 | ProfissProced D 12-4-102 | "
                                           "ProfissProced D 12-4-Grupo:1 | ProfissProced I 12-4-102"));
    }

    // A procedure needs a listed professional and a registered code; nothing is written otherwise.
    void procedimentoRecusado_data()
    {
        QTest::addColumn<QString>("entidade");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("sem profissional") << "15x" << "100" << "Selecione na lista o profissional do procedimento.";
        QTest::newRow("desconhecido") << "12" << "999" << "Procedimento não cadastrado.";
        QTest::newRow("sem codigo") << "12" << "" << "Informe o código do procedimento.";
        QTest::newRow("texto") << "12" << "1 or 1=1" << "";
    }
    void procedimentoRecusado()
    {
        QFETCH(QString, entidade);
        QFETCH(QString, codigo);
        QFETCH(QString, mensagem);
        Tela s;
        if (entidade == QLatin1String("15x"))
            s.a.b.executa("delete from entidadesprofiss where codentidade=15");
        s.carrega(entidade.left(2));
        const QString antes = procs(s.a);
        s.procedimento(codigo, false);
        s.a.msgs.limpa();
        s.t->PBInserirProced()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        if (!mensagem.isEmpty())
            QCOMPARE(s.a.msgs.ultima().texto, mensagem);
        QVERIFY(s.t->PBInserirProced()->isEnabled());
        QCOMPARE(procs(s.a), antes);
        QCOMPARE(logs(s.a), QString());
    }

    // Any failure inside an action (here the audit row) leaves the database as it was, the fields
    // as typed and the button enabled.
    void falhaDesfazTudo()
    {
        Tela s;
        s.a.b.executa("create exception E_TESTE 'log recusado'");
        s.a.b.executa("create trigger T_TESTE for logs before insert as begin exception E_TESTE; end");
        s.carrega(QStringLiteral("12"));
        const QString antes = vinculos(s.a) + procs(s.a);
        s.t->campo("PERazaoSocial")->setText(QStringLiteral("OUTRA RAZAO"));
        s.t->PBtnGravar()->executa();
        s.a.msgs.respondeSim();
        s.t->PBtnExcluir()->executa();
        s.seleciona(QStringLiteral("3"));
        s.t->PBExcluirProf()->executa();
        s.procedimento(QStringLiteral("1"), true);
        s.t->PBInserirProced()->executa();
        QStringList erros;
        for (const test::MensagemVista& m : s.a.msgs.mensagens())
            if (m.titulo == QLatin1String("Erro") && m.texto.contains(QLatin1String("log recusado")))
                erros << m.texto;
        QCOMPARE(erros.size(), 4);
        QCOMPARE(vinculos(s.a) + procs(s.a), antes);
        QCOMPARE(s.a.texto("select razaosocial || coalesce(dataexclusao, '') from entidades where codigo=12"),
                 QStringLiteral("CLINICA SAO LUCAS LTDA"));
        QCOMPARE(s.t->campo("PERazaoSocial")->text(), QStringLiteral("OUTRA RAZAO"));
        QCOMPARE(s.t->PECodProced()->text(), QStringLiteral("1"));
        QCOMPARE(s.t->DBGrid1()->linhas(), 2);
        for (TPersonBtn* b : {s.t->PBtnGravar(), s.t->PBtnExcluir(), s.t->PBExcluirProf(), s.t->PBInserirProced()})
            QVERIFY(b->isEnabled());
    }

    // Outside the consortium nothing can change: an entity installation sees its own entity,
    // the others an empty screen; searching and viewing still work.
    void papeis_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("codigo");
        QTest::newRow("entidade") << "E12" << "12";
        QTest::newRow("municipio") << "M4314902" << "";
        QTest::newRow("profissional") << "P3" << "";
    }
    void papeis()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, codigo);
        Tela s(usuario);
        QCOMPARE(s.t->PECodigo()->text(), codigo);
        QCOMPARE(s.t->DBGrid1()->linhas(), codigo.isEmpty() ? 0 : 2);
        for (TPersonBtn* b : {s.t->PBtnGravar(), s.t->PBtnExcluir(), s.t->PBInserirProf(), s.t->PBExcluirProf(),
                              s.t->PBInserirProced(), s.t->PBExcluirProced()})
            QVERIFY(!b->isEnabled());
        QVERIFY(s.t->PBCadProfissionais()->isEnabled());
        s.carrega(QStringLiteral("15"));
        QCOMPARE(s.t->campo("PERazaoSocial")->text(), QStringLiteral("ABC DIAGNOSTICOS"));
    }

    // The registry buttons open their screens beside this one, which stays open while they live.
    void cadastrosVizinhos()
    {
        Tela s;
        QPointer<TFBase> outra;
        RegistraTela(QStringLiteral("CadastrodeProcedimentos1"), [&] {
            outra = new TFBase;
            outra->show();
        });
        s.t->PBCadProcedimentos()->executa();
        QVERIFY(outra);
        QVERIFY(s.t->fechamentoSuspenso());
        delete outra;
        QVERIFY(!s.t->fechamentoSuspenso());
        // A screen already open (from the menu) and only brought to the front counts too.
        RegistraTela(QStringLiteral("CadastrodeProcedimentos1"), [&] { outra = MostraTela<TFBase>(); });
        MostraTela<TFBase>();
        s.t->PBCadProcedimentos()->executa();
        QVERIFY(s.t->fechamentoSuspenso());
        delete outra;
        QVERIFY(!s.t->fechamentoSuspenso());
        RemoveTela(QStringLiteral("CadastrodeProcedimentos1"));
    }

    void galeria()
    {
        Tela s;
        s.a.b.executa("update entidades set cnpj='11.222.333/0001-81', endereco='RUA DOS ANDRADAS, 100', "
                      "fones='(51) 3333-0001', issqn=2, banco='041', agencia='0123', conta='06.123456.0-7', "
                      "isentoir='N', simplesnac='S', ocultarmunic='N', datainicontrato='2024-02-01' where codigo=12");
        s.carrega(QStringLiteral("12"));
        s.seleciona(QStringLiteral("3"));
        test::SalvaTela(s.t, QStringLiteral("cadentidades_carregada"));
    }
};

QTEST_MAIN(TstEntidades)
#include "tst_entidades.moc"
