// The five registry listings on a small real database, driven from their menu items to the
// preview: patients by code and by name, entities with professionals (the 324115 occupation never
// listed, a null occupation listed, closed rows on yellow, hidden entities, procedures by group
// without the CUNE groups), the installation's margin, the entity fixed for a provider, the
// procedures per group with their count, the limits of one year and the production per
// municipality of an import period.
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/TFFilRelCadPessoas.h"
#include "reports/TFFilRelCadProcedimentos.h"
#include "reports/TFFilRelCadProfissionais.h"
#include "reports/TFFilRelCliLimites.h"
#include "reports/TFFilRelConsolidadoMunicipios.h"
#include "reports/TRCadPessoas.h"
#include "reports/TRCadProfissionais.h"
#include "reports/TRCliLimites.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace vx;

namespace {

struct Ambiente {
    test::AmbienteTela a;
    QVector<rel::Documento> previews;
    test::RoteiroModal roteiro{[this](QDialog* d) {
        if (auto* p = qobject_cast<rel::UiPreview*>(d))
            previews << p->documento();
        d->accept();
    }};

    explicit Ambiente(const QString& usuario = QStringLiteral("CUNE"), const QString& perfil = QStringLiteral("CUNE"))
        : a(usuario, {QStringLiteral("CONSORCIO=") + perfil})
    {
        SessaoAtual().DataAtual = QStringLiteral("17/04/2026");
        SessaoAtual().CalendarioAtual = {};
    }
    ~Ambiente()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TFBase*>(w))
                delete w;
        SessaoAtual().CalendarioAtual = {};
    }
    // Rows of `tabela (colunas)`, one per values text.
    void linhas(const QString& tabela, const QStringList& valores)
    {
        for (const QString& v : valores)
            a.b.executa("insert into " + tabela + " values (" + v + ")");
    }
    // Entities (BETA has no hidden flag: not hidden), professionals, their links and procedures.
    void cadastros()
    {
        linhas("ibgemunic (codigo, cidade, uf)", {"'4314902', 'PORTO ALEGRE', 'RS'"});
        linhas("cbo (codigo, descricao)", {"'225125', 'MEDICO CLINICO'", "'324115', 'TECNICO EM RADIOLOGIA'"});
        linhas("entidades (codigo, razaosocial, endereco, codmun, cnpj, fones, cnes, ocultarmunic, dataexclusao)",
               {"1, 'CLINICA ALFA', 'RUA A, 10', '4314902', '12.345.678/0001-95', '3333-1111', '1234567', 'N', null",
                "2, 'BETA FECHADA', null, null, null, null, null, null, '2026-01-10'",
                "3, 'AAA OCULTA', null, null, null, null, null, 'S', null"});
        linhas("profissionais (codigo, nome, contato, cbo)", {"1, 'ANA MEDICA', 'FONE 1', '225125'", "2, 'BRUNO TECNICO', null, '324115'",
                                                              "3, 'CARLOS SEM CBO', null, null", "4, 'DORA SAIU', null, '225125'"});
        linhas("entidadesprofiss (codentidade, codprofissional, dataexclusao)",
               {"1, 1, null", "1, 2, null", "1, 3, null", "1, 4, '2026-02-01'", "2, 1, null", "3, 3, null"});
        linhas("gruposproced (codigo, nome)", {"1, 'CONSULTAS'", "2, 'EXAMES'", "4, 'CIRURGIAS'"});
        linhas("procedimentos (codigo, nome, codgrupo, valor, codtabsus, dataexclusao)",
               {"10, 'CONSULTA CLINICA', 1, 50, '0301010072', null", "11, 'CONSULTA RETORNO', 1, 0, null, null",
                "20, 'HEMOGRAMA', 2, 12.5, null, null", "40, 'PEQUENA CIRURGIA', 4, 1300, null, null",
                "41, 'CIRURGIA ANTIGA', 4, 9, null, '2025-01-01'"});
        linhas("profissproced (codentidade, codprofissional, codprocedimento, dataexclusao)",
               {"1, 1, 10, null", "1, 1, 11, '2026-03-01'", "1, 1, 20, null", "1, 1, 40, null"});
    }
    // The screen opened by a menu item, and its print button pressed.
    TFBase* imprime(const QString& item)
    {
        TelaRegistrada(item)();
        auto* t = test::AbreTelaTeste(UltimaTelaMostrada());
        t->findChild<TPersonBtn*>(QStringLiteral("PBtnImprimir"))->executa();
        return t;
    }
};

// The texts of a page after its header ("Página: N de M").
QString corpo(const rel::Documento& d, int pagina = 0)
{
    const QStringList t = d.textos(pagina);
    for (int i = 0; i < t.size(); ++i)
        if (t[i].startsWith(QStringLiteral("Página: ")))
            return t.mid(i + 1).join(QLatin1Char('|'));
    return t.join(QLatin1Char('|'));
}

// Background of the text `texto` on the first page: 0 for none, -1 when the text is not there.
qint64 fundoDe(rel::Documento& d, const QString& texto)
{
    for (const rel::Comando& c : d.paginas()[0].comandos)
        if (c.tipo == rel::Comando::Tipo::Texto && c.texto == texto)
            return qAlpha(c.fundo) ? qint64(c.fundo) : 0;
    return -1;
}

// Filled rectangles of the first page in colour `cor` (any colour when invalid).
int retangulos(rel::Documento& d, const QColor& cor = {})
{
    int n = 0;
    for (const rel::Comando& c : d.paginas()[0].comandos)
        n += c.tipo == rel::Comando::Tipo::Retangulo && qAlpha(c.fundo) && (!cor.isValid() || c.fundo == cor.rgba());
    return n;
}

} // namespace

class TstRelCadastros : public QObject {
    Q_OBJECT
private slots:
    // Every menu item opens its filter, first field focused; nothing to list gives the message
    // and no preview.
    void menuSemDados_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("tela");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("foco");
        for (const char* i : {"PacientesCadastrados1", "PacientesCadastrados2", "PacientesCadastrados3"})
            QTest::newRow(i) << i << "TFFilRelCadPessoas" << "Relatório do Cadastro de Pessoas" << "RBCodigo";
        for (const char* i : {"ProfissionaisConveniados1", "EntidadesConveniadas1", "EntidadesConveniadas2"})
            QTest::newRow(i) << i << "TFFilRelCadProfissionais" << "Relatório do Cadastro de Profissionais" << "PECodEntidade";
        QTest::newRow("procedimentos") << "ProcedimentosCadastrados1" << "TFFilRelCadProcedimentos"
                                       << "Relatório de Procedimentos" << "PECodGrupo";
        QTest::newRow("limites") << "LimitesFinanceirosporMunicpio1" << "TFFilRelCliLimites"
                                 << "Relatório de Limites Financeiros" << "PECodMun";
        QTest::newRow("consolidado") << "ConsolidadoMunicpios1" << "TFFilRelConsolidadoMunicipios"
                                     << "Consolidado Municípios" << "PEDataRealiza1";
    }
    void menuSemDados()
    {
        QFETCH(QString, item);
        QFETCH(QString, tela);
        QFETCH(QString, titulo);
        QFETCH(QString, foco);
        Ambiente s;
        TFBase* t = s.imprime(item);
        QCOMPARE(t->objectName(), tela);
        QCOMPARE(t->windowTitle(), titulo);
        QCOMPARE(t->focusWidget() ? t->focusWidget()->objectName() : QString(), foco);
        QCOMPARE(s.previews.size(), 0);
        QCOMPARE(s.a.msgs.textos(), QStringList{MensagemRelatorioVazio()});
        QVERIFY(t->findChild<TPersonBtn*>(QStringLiteral("PBtnImprimir"))->isEnabled());
    }

    // By code or by name, the card number with its mask.
    void pessoas_data()
    {
        QTest::addColumn<bool>("porNome");
        QTest::addColumn<QString>("linhas");
        const QString zelia = "1|ZELIA MOURA|898.0012.3456.7890|04/03/1950|(51) 9999-0000|MARIA MOURA";
        const QString abel = "2|ABEL COSTA";
        const QString joao = "7|JOAO DA SILVA|700.0001.2345.6789|31/12/2001|ANA DA SILVA";
        QTest::newRow("código") << false << QStringList{zelia, abel, joao}.join('|');
        QTest::newRow("nome") << true << QStringList{abel, joao, zelia}.join('|');
    }
    void pessoas()
    {
        QFETCH(bool, porNome);
        QFETCH(QString, linhas);
        Ambiente s;
        s.linhas("pessoas (cli_origem, codigo, nome, cartaosus, datanasc, fones, nomemae)",
                 {"'4314902', 1, 'ZELIA MOURA', '898001234567890', '1950-03-04', '(51) 9999-0000', 'MARIA MOURA'",
                  "'4314902', 2, 'ABEL COSTA', null, null, null, null",
                  "'4304606', 7, 'JOAO DA SILVA', '700000123456789', '2001-12-31', null, 'ANA DA SILVA'"});
        TelaRegistrada(QStringLiteral("PacientesCadastrados1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFilRelCadPessoas>());
        (porNome ? t->RBNome : t->RBCodigo)->setChecked(true);
        t->PBtnImprimir->executa();
        QCOMPARE(s.previews.size(), 1);
        const rel::Documento& d = s.previews[0];
        QCOMPARE(d.textos(0).value(0), QStringLiteral("CUNE"));
        QVERIFY(d.textos(0).contains(QStringLiteral("Listagem de Pessoas Cadastradas")));
        QCOMPARE(corpo(d), "Código|Nome|Cartão SUS|Dt.Nasc.|Fone|Nome da Mãe|" + linhas);
        if (porNome) {
            QVERIFY(rel::ImagemPagina(d, 0, 110).save(test::PastaTelas() + "/relcadpessoas.png"));
            test::SalvaTela(t, QStringLiteral("tffilrelcadpessoas"));
        }
    }

    // Entities with their professionals: occupation 324115 never listed (closed rows shown or
    // not), a null occupation listed, closed and hidden rows on request, procedures by group
    // without the CUNE groups under that profile.
    void profissionais_data()
    {
        QTest::addColumn<QString>("perfil");
        QTest::addColumn<int>("opcoes"); // 1 by name, 2 procedures, 4 closed, 8 hidden
        QTest::addColumn<QString>("linhas");
        const QString alfa = "1|CLINICA ALFA|3333-1111|Endereço: RUA A, 10 - PORTO ALEGRE    CNPJ: 12.345.678/0001-95    CNES: 1234567|";
        const QString ana = "1|ANA MEDICA|FONE 1|225125 - MEDICO CLINICO|";
        const QString carlos = "3|CARLOS SEM CBO|";
        const QString dora = "4|DORA SAIU|225125 - MEDICO CLINICO|";
        const QString beta = "2|BETA FECHADA|Endereço:     CNPJ:     CNES: |" + ana;
        const QString oculta = "3|AAA OCULTA|Endereço:     CNPJ:     CNES: |" + carlos;
        QTest::newRow("ativas") << "CUNE" << 0 << alfa + ana + carlos;
        QTest::newRow("excluídos") << "CUNE" << 4 << alfa + ana + carlos + dora + beta;
        QTest::newRow("ocultos por nome") << "CUNE" << 9 << oculta + alfa + ana + carlos;
        const QString consulta = "Grupo: 1 - CONSULTAS|10|CONSULTA CLINICA|0301010072|50,00|";
        const QString cirurgia = "Grupo: 4 - CIRURGIAS|40|PEQUENA CIRURGIA|1.300,00|";
        const QString exame = "Grupo: 2 - EXAMES|20|HEMOGRAMA|12,50|";
        QTest::newRow("procedimentos CUNE") << "Consorcio CUNE" << 2 << alfa + ana + consulta + cirurgia + carlos;
        QTest::newRow("procedimentos outro perfil") << "CORVANE" << 2 << alfa + ana + consulta + exame + cirurgia + carlos;
        QTest::newRow("procedimentos excluídos")
            << "CORVANE" << 6
            << alfa + ana + consulta.chopped(1) + "|11|CONSULTA RETORNO|0,00|" + exame + cirurgia + carlos + dora + beta;
    }
    void profissionais()
    {
        QFETCH(QString, perfil);
        QFETCH(int, opcoes);
        QFETCH(QString, linhas);
        Ambiente s(QStringLiteral("CUNE"), perfil);
        s.cadastros();
        TelaRegistrada(QStringLiteral("EntidadesConveniadas2"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFilRelCadProfissionais>());
        t->RBNome->setChecked(opcoes & 1);
        t->CBExibirProcedimentos->setChecked(opcoes & 2);
        t->CBExibirExcluidos->setChecked(opcoes & 4);
        t->CBExibirOcultos->setChecked(opcoes & 8);
        t->PBtnImprimir->executa();
        QCOMPARE(s.previews.size(), 1);
        const rel::Documento& d = s.previews[0];
        QCOMPARE(d.numPaginas(), 1);
        QVERIFY(d.textos(0).contains(QStringLiteral("Listagem de Entidades e Profissionais Cadastrados")));
        QCOMPARE(corpo(d), "Código|Nome|Contato|CBO / Cód.Tab.SUS|Valor|" + linhas.chopped(1));
        if (opcoes == 6) {
            QVERIFY(rel::ImagemPagina(d, 0, 110).save(test::PastaTelas() + "/relcadprofissionais.png"));
            test::SalvaTela(t, QStringLiteral("tffilrelcadprofissionais"));
        }
    }

    // Closed entities, links and procedures print their name on yellow; the professional's row is
    // light grey only when procedures are shown.
    void cores()
    {
        Ambiente s;
        s.cadastros();
        FiltroCadProfissionais f;
        f.excluidos = true;
        for (bool procedimentos : {false, true}) {
            f.procedimentos = procedimentos;
            const auto d = TRCadProfissionais::Gera(s.a.b.tr(), f);
            const qint64 amarelo = QColor(Qt::yellow).rgba();
            QCOMPARE(fundoDe(*d, "BETA FECHADA"), amarelo);
            QCOMPARE(fundoDe(*d, "DORA SAIU"), amarelo);
            QCOMPARE(fundoDe(*d, "CLINICA ALFA"), 0);
            QCOMPARE(fundoDe(*d, "ANA MEDICA"), 0);
            QCOMPARE(fundoDe(*d, "CONSULTA RETORNO"), procedimentos ? amarelo : -1);
            QCOMPARE(fundoDe(*d, "CONSULTA CLINICA"), procedimentos ? 0 : -1);
            // ANA, CARLOS, DORA at ALFA; ANA at BETA
            QCOMPARE(retangulos(*d, QColor(0xE0, 0xE0, 0xE0)), procedimentos ? 4 : 0);
        }
    }

    // Top margin 50 mm only when the installation is CUNE itself; the patient listing keeps the
    // default.
    void margem_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<double>("margem");
        QTest::newRow("CUNE") << "CUNE" << 50.0;
        QTest::newRow("outro consórcio") << "CULVAR" << 20.0;
        QTest::newRow("município") << "M4314902" << 20.0;
        QTest::newRow("entidade") << "E1" << 20.0;
    }
    void margem()
    {
        QFETCH(QString, usuario);
        QFETCH(double, margem);
        Ambiente s(usuario);
        s.cadastros();
        s.linhas("clientes (codigo, nome)", {"'4314902', 'PORTO ALEGRE'"});
        s.linhas("pessoas (cli_origem, codigo, nome)", {"'4314902', 1, 'ABEL COSTA'"});
        auto topo = [](const std::shared_ptr<rel::Documento>& d) { return d->paginas()[0].comandos[0].r.top(); };
        QCOMPARE(topo(TRCadProfissionais::Gera(s.a.b.tr(), {})), rel::mm(margem));
        QCOMPARE(topo(TRCliLimites::Gera(s.a.b.tr(), {}, 0)), rel::mm(margem));
        QCOMPARE(topo(TRCadPessoas::Gera(s.a.b.tr(), false)), rel::mm(10));
    }

    // An entity or professional installation lists its own entity (the professional's link),
    // with the field and its search disabled; the header names the installation.
    void entidadeFixa_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("entidade");
        QTest::addColumn<QString>("cabecalho");
        QTest::addColumn<QStringList>("entidades"); // listed; none: the empty message
        const QStringList alfa{"CLINICA ALFA"};
        QTest::newRow("entidade") << "E1" << "1" << "Entidade: CLINICA ALFA" << alfa;
        QTest::newRow("profissional") << "P3" << "1" << "Profissional: CARLOS SEM CBO" << alfa;
        QTest::newRow("profissional sem entidade") << "P9" << "" << "" << QStringList();
        QTest::newRow("município") << "M4314902" << "" << "Município de PORTO ALEGRE" << QStringList{"CLINICA ALFA", "AAA OCULTA"};
    }
    void entidadeFixa()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, entidade);
        QFETCH(QString, cabecalho);
        QFETCH(QStringList, entidades);
        Ambiente s(usuario);
        s.cadastros();
        s.linhas("clientes (codigo, nome)", {"'4314902', 'PORTO ALEGRE'"});
        s.a.b.executa("update entidades set ocultarmunic='N' where codigo=3");
        TelaRegistrada(QStringLiteral("EntidadesConveniadas1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFilRelCadProfissionais>());
        const bool fixa = usuario[0] == 'E' || usuario[0] == 'P';
        QCOMPARE(t->PECodEntidade->text(), entidade);
        QCOMPARE(t->PECodEntidade->isEnabled(), !fixa);
        QCOMPARE(t->SBCodEntidade->isEnabled(), !fixa);
        QCOMPARE(t->focusWidget(), fixa ? static_cast<QWidget*>(t->RBCodigo) : t->PECodEntidade);
        t->PBtnImprimir->executa();
        if (entidades.isEmpty()) {
            QCOMPARE(s.previews.size(), 0);
            QCOMPARE(s.a.msgs.textos(), QStringList{MensagemRelatorioVazio()});
            return;
        }
        QCOMPARE(s.previews.size(), 1);
        const QStringList t0 = s.previews[0].textos(0);
        QCOMPARE(t0.value(0), cabecalho);
        QStringList listadas;
        for (const char* e : {"CLINICA ALFA", "AAA OCULTA", "BETA FECHADA"})
            if (corpo(s.previews[0]).contains('|' + QString(e) + '|'))
                listadas << e;
        QCOMPARE(listadas, entidades);
    }

    // Active procedures by name under each group (or one group), white and grey rows, and the
    // number listed.
    void procedimentos_data()
    {
        QTest::addColumn<QString>("grupo");
        QTest::addColumn<QString>("linhas");
        const QString g4 = "4|CIRURGIAS|40|PEQUENA CIRURGIA|1.300,00|";
        QTest::newRow("todos") << ""
                               << "1|CONSULTAS|10|CONSULTA CLINICA|0301010072|50,00|11|CONSULTA RETORNO|0,00|"
                                  "2|EXAMES|20|HEMOGRAMA|12,50|" + g4 + "Procedimentos listados: 4";
        QTest::newRow("um grupo") << "4" << g4 + "Procedimentos listados: 1";
    }
    void procedimentos()
    {
        QFETCH(QString, grupo);
        QFETCH(QString, linhas);
        Ambiente s;
        s.cadastros();
        TelaRegistrada(QStringLiteral("ProcedimentosCadastrados1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFilRelCadProcedimentos>());
        test::Digita(t->PECodGrupo, grupo);
        QCOMPARE(t->LNomeGrupo->text(), grupo.isEmpty() ? QString() : QStringLiteral("CIRURGIAS"));
        t->PBtnImprimir->executa();
        QCOMPARE(s.previews.size(), 1);
        if (!grupo.isEmpty())
            test::SalvaTela(t, QStringLiteral("tffilrelcadprocedimentos"));
        else {
            QVERIFY(rel::ImagemPagina(s.previews[0], 0, 110).save(test::PastaTelas() + "/relcadprocedimentos.png"));
            QCOMPARE(retangulos(s.previews[0]), 1); // the second row of a group on grey
        }
        QCOMPARE(corpo(s.previews[0]), "Código|Procedimento|Cód.Tab.SUS|Valor|" + linhas);
    }

    // The year field starts with the working date's year; a year lists only the periods with a
    // hyphen before it; each limit with its entries by date.
    void limites_data()
    {
        QTest::addColumn<QString>("municipio");
        QTest::addColumn<QString>("ano");
        QTest::addColumn<QString>("linhas");
        const QString canoas = "4304606|CANOAS|Fones:     População: 347.657|02-2014|5.000,00|";
        const QString poa = "4314902|PORTO ALEGRE|Fones: (51) 3289-0000    População: 1.332.570|"
                            "01-2014|10.000,00|COTA JANEIRO|05/01/2014|8.000,00|COTA INICIAL|20/01/2014|2.000,00|SUPLEMENTACAO|";
        QTest::newRow("2014") << "" << "2014" << canoas + poa;
        QTest::newRow("2014 um município") << "4314902" << "2014" << poa;
        QTest::newRow("todos os anos") << "4314902" << "" << poa + "03-2015|11.000,00|12-2013|9.000,00|2014-05|1,00|FORA DO PADRAO|";
    }
    void limites()
    {
        QFETCH(QString, municipio);
        QFETCH(QString, ano);
        QFETCH(QString, linhas);
        Ambiente s(QStringLiteral("CUNE"), QStringLiteral("Consorcio CUNE"));
        s.linhas("clientes (codigo, nome, fones, populacao)",
                 {"'4314902', 'PORTO ALEGRE', '(51) 3289-0000', 1332570", "'4304606', 'CANOAS', null, 347657"});
        s.linhas("clilimites (codcliente, periodo, valor, obs)",
                 {"'4314902', '01-2014', 10000, 'COTA JANEIRO'", "'4314902', '12-2013', 9000, null", "'4314902', '03-2015', 11000, null",
                  "'4314902', '2014-05', 1, 'FORA DO PADRAO'", "'4304606', '02-2014', 5000, null"});
        s.linhas("lanclimites (codcliente, periodo, datalanc, valor, obs)",
                 {"'4314902', '01-2014', '2014-01-20', 2000, 'SUPLEMENTACAO'", "'4314902', '01-2014', '2014-01-05', 8000, 'COTA INICIAL'"});
        TelaRegistrada(QStringLiteral("LimitesFinanceirosporMunicpio1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFilRelCliLimites>());
        QCOMPARE(t->PEAno->text(), QStringLiteral("2026"));
        test::Digita(t->PECodMun, municipio);
        test::Digita(t->PEAno, ano);
        t->PBtnImprimir->executa();
        QCOMPARE(s.previews.size(), 1);
        const rel::Documento& d = s.previews[0];
        QCOMPARE(d.textos(0).value(0), QStringLiteral("Consorcio CUNE"));
        if (municipio.isEmpty()) {
            QVERIFY(rel::ImagemPagina(d, 0, 110).save(test::PastaTelas() + "/relclilimites.png"));
            test::SalvaTela(t, QStringLiteral("tffilrelclilimites"));
        }
        QCOMPARE(corpo(d), "Código|Município|Período|Lançamento|Valor|Obs.|" + linhas.chopped(1));
    }

    // Realized lines of the authorizations imported in the period (its last day whole), each
    // copy of an authorization with its own lines, per municipality and procedure; the total.
    void consolidado()
    {
        Ambiente s;
        auto linha = [&](const char* cli, int id, const char* estampa, const char* importada, const QStringList& itens) {
            s.a.b.executa(QStringLiteral("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, data_importacao) "
                                         "values ('%1', %2, '%3', '%4')").arg(cli).arg(id).arg(estampa, importada));
            for (const QString& i : itens) // procedure:value:realized
                s.a.b.executa(QStringLiteral("insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, "
                                             "codprocedimento, quantidade, realizado, valortotal) values ('%1', %2, '%3', %4, 1, '%6', %5)")
                                  .arg(cli).arg(id).arg(estampa, i.section(':', 0, 0), i.section(':', 1, 1), i.section(':', 2, 2)));
        };
        s.linhas("clientes (codigo, nome)", {"'4300001', 'ALFA'", "'4300002', 'BETA'"});
        s.linhas("procedimentos (codigo, nome, codgrupo)", {"1, 'CONSULTA', 1", "2, 'RAIO X', 2"});
        linha("4300002", 1, "M", "2026-03-31 18:00", {"2:60:S"});
        linha("4300002", 2, "M", "2026-04-01 00:00", {"2:500:S"});
        linha("4300001", 1, "M", "2026-03-01 00:00", {"1:100:S", "2:40:S"});
        linha("4300001", 2, "M", "2026-03-05 00:00", {"2:7:N"});
        linha("4300001", 3, "M", "2026-02-28 23:59:59", {"1:1000:S"});
        // Two copies of one authorization, each with its line.
        linha("4300001", 4, "A1", "2026-03-10 10:00", {"1:10:S"});
        linha("4300001", 4, "A2", "2026-03-10 11:00", {"1:10:S"});

        SessaoAtual().CalendarioAtual = {QStringLiteral("01/03/2026"), QStringLiteral("31/03/2026"), QStringLiteral("MARÇO")};
        TelaRegistrada(QStringLiteral("ConsolidadoMunicpios1"))();
        auto* t = test::AbreTelaTeste(InstanciaTela<TFFilRelConsolidadoMunicipios>());
        QCOMPARE(t->PEData1->objectName() + ' ' + t->PEData1->text() + ' ' + t->PEData2->text(),
                 QStringLiteral("PEDataRealiza1 01/03/2026 31/03/2026"));
        t->PBtnImprimir->executa();
        QCOMPARE(s.previews.size(), 1);
        const rel::Documento& d = s.previews[0];
        QVERIFY(d.textos(0).contains(QStringLiteral("Procedimentos realizados entre 01/03/2026 e 31/03/2026")));
        QVERIFY(rel::ImagemPagina(d, 0, 110).save(test::PastaTelas() + "/relconsolidado.png"));
        test::SalvaTela(t, QStringLiteral("tffilrelconsolidadomunicipios"));
        QCOMPARE(corpo(d), QStringLiteral("Grupo|Código|Município / Procedimento|Valor|4300001|ALFA|160,00|1|1|CONSULTA|120,00|"
                                          "2|2|RAIO X|40,00|4300002|BETA|60,00|2|2|RAIO X|60,00|Valor Total: R$|220,00"));

        // Without a calendar: the month up to the working date.
        delete t;
        SessaoAtual().CalendarioAtual = {};
        TelaRegistrada(QStringLiteral("ConsolidadoMunicpios1"))();
        t = InstanciaTela<TFFilRelConsolidadoMunicipios>();
        QCOMPARE(t->PEData1->text() + ' ' + t->PEData2->text(), QStringLiteral("01/04/2026 17/04/2026"));
    }
};

QTEST_MAIN(TstRelCadastros)
#include "tst_relcadastros.moc"
