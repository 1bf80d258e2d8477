// Main window: menu tree, permissions by user and role, toolbar, start-up sequence, login dialog.
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/Login.h"
#include "core/MenuPrincipal.h"
#include "core/TFCadSenhas.h"
#include "core/TFSplash.h"
#include "core/TFUsuario.h"
#include "core/TFprincipal.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Cadeia.h"
#include "core/widgets/TPersonEdit.h"
#include "support/Fixtures.h"
#include "support/Galeria.h"
#include "support/RoteiroMensagens.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace vx;

namespace {

// An installation folder with its database, the data module connected to it and a session.
struct Ambiente {
    test::BancoTeste b;
    std::unique_ptr<TDMCUNE> dm;

    explicit Ambiente(const QString& usuario, const QString& perfil = QStringLiteral("CUNE"),
                      const QString& dataAtual = QStringLiteral("09/12/2026"))
    {
        test::InstalaConfiguracao(b.pasta(), {QStringLiteral("USUARIO=") + usuario, QStringLiteral("CONSORCIO=") + perfil,
                                              QStringLiteral("DATABASE=") + b.arquivo()});
        b.executa(QStringLiteral("insert into ibgemunic (codigo, cidade, uf) values ('4314902', 'PORTO ALEGRE', 'RS')"));
        b.executa(QStringLiteral("insert into ibgemunic (codigo, cidade, uf) values ('4310207', 'IJUI', 'RS')"));
        b.executa(QStringLiteral("insert into entidades (codigo, razaosocial) values (12, 'CLINICA SAO JOSE LTDA')"));
        b.executa(QStringLiteral("insert into profissionais (codigo, nome) values (7, 'ANA PAULA')"));
        dm = std::make_unique<TDMCUNE>();
        DefineDMCUNE(dm.get());
        QVERIFY(dm->ConectaBanco(b.arquivo()));
        SessaoAtual() = Sessao{};
        SessaoAtual().DataAtual = dataAtual;
        CarregaIdentidade();
    }
    ~Ambiente()
    {
        dm.reset();
        SessaoAtual() = Sessao{};
    }
    void menus(const QString& usuario, const QStringList& falsos)
    {
        b.executa(QStringLiteral("insert into usuarios (usuario, senha) values ('%1', 'x')").arg(usuario));
        for (const QString& m : falsos)
            b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('%1', '%2', 'x', 'False')")
                          .arg(usuario, m));
    }
};

// Registers recording functions for menu items and start-up screens; removes them afterwards.
struct Telas {
    QStringList abertas;
    QStringList nomes;
    explicit Telas(const QStringList& n) : nomes(n)
    {
        for (const QString& nome : nomes)
            RegistraTela(nome, [this, nome] { abertas << nome; });
    }
    ~Telas()
    {
        for (const QString& nome : nomes)
            RemoveTela(nome);
    }
};

// The menu as shown: one caption a line (without its mnemonic marker), two blanks per level,
// separators skipped.
void contorno(const QList<QAction*>& acoes, int nivel, QStringList& saida)
{
    for (const QAction* a : acoes) {
        if (a->isSeparator())
            continue;
        saida << QString(nivel * 2, QLatin1Char(' ')) + SemAtalho(a->text());
        if (a->menu())
            contorno(a->menu()->actions(), nivel + 1, saida);
    }
}

QStringList legendas(const QList<QToolButton*>& botoes)
{
    QStringList r;
    for (const QToolButton* b : botoes)
        if (!b->isHidden())
            r << b->text();
    return r;
}

} // namespace

class TstPrincipal : public QObject {
    Q_OBJECT
private slots:
    void arvoreDeMenus();
    void textosDoMenu();
    void nomesDosItens_data();
    void nomesDosItens();
    void permissoes_data();
    void permissoes();
    void papel_data();
    void papel();
    void botoesPorPapel_data();
    void botoesPorPapel();
    void cadastroRestrito_data();
    void cadastroRestrito();
    void falhaAtualizacao();
    void falhaInesperadaNaCadeia();
    void bancoMaisNovoEncerra();
    void decisoesInicio_data();
    void decisoesInicio();
    void calendarioEItemSelecao();
    void loginRecusado();
    void loginAceito_data();
    void loginAceito();
    void semLoginEncerra();
    void erroNasPermissoes();
    void repassesPorPerfil_data();
    void repassesPorPerfil();
    void fecharPassaPeloBackup();
    void galeria();
};

void TstPrincipal::arvoreDeMenus()
{
    Telas t({QStringLiteral("CadastrodePessoas1")});
    // An item whose screen is not registered (its own registration is put back at the end).
    const AbreTela pesquisa = TelaRegistrada(QStringLiteral("PesquisadeProfissionais1"));
    RemoveTela(QStringLiteral("PesquisadeProfissionais1"));
    TFprincipal w;
    QCOMPARE(w.windowTitle(), QStringLiteral("VORNEX"));
    for (const QString& nome : NomesMenuPrincipal()) {
        QAction* a = w.findChild<QAction*>(nome);
        QVERIFY2(a, qPrintable(nome));
        QCOMPARE(w.acao(nome), a);
    }
    // Items without a screen are disabled and say so; registered and internal ones are enabled.
    QVERIFY(!w.acao(QStringLiteral("PesquisadeProfissionais1"))->isEnabled());
    QVERIFY(w.acao(QStringLiteral("PesquisadeProfissionais1"))->toolTip().contains(QStringLiteral("não disponível")));
    QVERIFY(w.acao(QStringLiteral("CadastrodePessoas1"))->isEnabled());
    QVERIFY(w.acao(QStringLiteral("CadastrodeUsurios1"))->isEnabled());
    QVERIFY(w.acao(QStringLiteral("EncerraroSistema1"))->isEnabled());
    QVERIFY(w.acao(QStringLiteral("Municpios1"))->isEnabled());
    // A screen registered later becomes available.
    RegistraTela(QStringLiteral("PesquisadeProfissionais1"), [] {});
    w.AtualizaDisponibilidade();
    QVERIFY(w.acao(QStringLiteral("PesquisadeProfissionais1"))->isEnabled());
    if (pesquisa)
        RegistraTela(QStringLiteral("PesquisadeProfissionais1"), pesquisa);
    else
        RemoveTela(QStringLiteral("PesquisadeProfissionais1"));
    QCOMPARE(w.menu(QStringLiteral("Relatrios4"))->actions().size(), 0);
}

void TstPrincipal::textosDoMenu()
{
    TFprincipal w;
    QStringList l;
    contorno(w.menuBar()->actions(), 0, l);
    const QStringList esperado = QStringLiteral(
        "Municípios|  Autorização de Procedimentos|  Cadastro de Pacientes|  Pesquisa de Profissionais|"
        "  Cadastro de Unidades de Atendimento|  Recepção de Base Cadastral|  Bloqueio de Autorizações|"
        "  Reimpressão de Autorizações|  Retransmissão de Autorizações|    Individual|    Coletivo|  Relatórios|"
        "    Pacientes Cadastrados|    Profissionais Conveniados|    Procedimentos Cadastrados|"
        "    Procedimentos Autorizados (Analítico)|    Totalizadores (Sintético)|"
        "Entidades|  Realização de Procedimentos|  Cadastro da Entidade|  Recepção de Base|"
        "  Retransmissão de Procedimentos|  Relatórios|    Pacientes Cadastrados|    Entidades Conveniadas|"
        "    Procedimentos Realizados (Analítico)|    Totalizadores (Sintético)|"
        "Administrativo|  Cadastro de Municípios|  Cadastro de Entidades|  Cadastro de Procedimentos|"
        "  Cadastro de Profissionais|  Lançamento de Procedimentos|  Motivos de Bloqueio|  Envio de Base para Municípios/Entidades|"
        "  Recepção de Base de Município/Entidades|  Seleção do Calendário Atual|  Relatórios|"
        "    Relat. Produção (Analítico)|    Relat. Produção (Sintético)|    Pacientes Cadastrados|"
        "    Entidades Conveniadas|    Consolidado Municípios|    Limites Financeiros por Município|  Faturamento|"
        "    Faturamento Municípios|    Faturamento Entidades|    Repasses SIA/SUS|    Emissão de Recibo/Boleto Avulsos|"
        "    Relatório de Boletos/Recibos|    Demonstrativo IRRF por Município|    Demonstrativo DIRF por Entidade|"
        "    BPA - Boletim da Produção Ambulatorial|"
        "Agenda|  Agendamento|  Configurações|  Relatórios|"
        "Financeiro|  Contas a Receber|  Contas a Pagar|  Relatórios|    Contas a Receber|    Contas Recebidas|"
        "    Contas a Pagar|    Contas Pagas|"
        "Utilitários|  Cadastro de Usuários|  Configurações|  Gerador de Consultas|  Relatório de Log|"
        "  Solicitar Assistência Remota|  Importação SEPIN|  Importação CadSUS|  Importação Cadastro Municipal|"
        "  Importação SIGTAP|  Unificar Cadastros Duplicados|"
        "Sair|  Encerrar o Sistema").split(QLatin1Char('|'));
    for (int i = 0; i < qMin(l.size(), esperado.size()); ++i)
        QCOMPARE(l.at(i), esperado.at(i));
    QCOMPARE(l.size(), esperado.size());
}

void TstPrincipal::nomesDosItens_data()
{
    // Component names stored in MENUS rows: item → caption and the top-level menu above it.
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("legenda");
    QTest::addColumn<QString>("topo");
    const struct { const char* nome; const char* legenda; const char* topo; } casos[] = {
        {"Municpios1", "Municípios", ""},
        {"MarcaodeExames1", "Autorização de Procedimentos", "Municpios1"},
        {"CadastrodePessoas1", "Cadastro de Pacientes", "Municpios1"},
        {"PesquisadeProfissionais1", "Pesquisa de Profissionais", "Municpios1"},
        {"CadastrodeUnidadesdeAtendimento1", "Cadastro de Unidades de Atendimento", "Municpios1"},
        {"RecepoBaseCadastral1", "Recepção de Base Cadastral", "Municpios1"},
        {"BloqueiodeAutorizaes1", "Bloqueio de Autorizações", "Municpios1"},
        {"ReimpressodeAutorizaesEnviadas1", "Reimpressão de Autorizações", "Municpios1"},
        {"Individual1", "Individual", "Municpios1"},
        {"Coletivo1", "Coletivo", "Municpios1"},
        {"Entidades1", "Entidades", ""},
        {"RealizaodeExames1", "Realização de Procedimentos", "Entidades1"},
        {"CadastrodaEntidade1", "Cadastro da Entidade", "Entidades1"},
        {"RecepodeBase1", "Recepção de Base", "Entidades1"},
        {"Retransmissodeprocedimentosnoenviados1", "Retransmissão de Procedimentos", "Entidades1"},
        {"Administrativo1", "Administrativo", ""},
        {"SeleodoCalendrioAtual1", "Seleção do Calendário Atual", "Administrativo1"},
        {"Agendamento1", "Agenda", ""},
        {"Financeiro1", "Financeiro", ""},
        {"Utilitrios1", "Utilitários", ""},
    };
    for (const auto& c : casos)
        QTest::newRow(c.nome) << QString::fromLatin1(c.nome) << QString::fromUtf8(c.legenda) << QString::fromLatin1(c.topo);
}

void TstPrincipal::nomesDosItens()
{
    QFETCH(QString, nome);
    QFETCH(QString, legenda);
    QFETCH(QString, topo);
    TFprincipal w;
    QAction* a = w.acao(nome);
    QVERIFY(a);
    QCOMPARE(SemAtalho(a->text()), legenda);
    const QStringList acima = AncestraisMenu(nome);
    QCOMPARE(acima.isEmpty() ? QString() : acima.last(), topo);
}

void TstPrincipal::permissoes_data()
{
    QTest::addColumn<QString>("instalacao");
    QTest::addColumn<QStringList>("falsos");
    QTest::addColumn<QStringList>("visiveis");
    QTest::addColumn<QStringList>("ocultos");
    QTest::newRow("sem linhas: tudo pelo papel") << "CUNE" << QStringList{}
        << QStringList{"MarcaodeExames1", "CadastrodePessoas1", "Individual1", "RealizaodeExames1", "Faturamento1",
                       "ContasPagas1", "CadastrodeUsurios1"}
        << QStringList{"Agendamento2"};
    QTest::newRow("municipio sem Municpios1") << "M4314902" << QStringList{"Municpios1"}
        << QStringList{"CadastrodeUsurios1"}
        << QStringList{"Municpios1", "MarcaodeExames1", "Individual1", "RealizaodeExames1"};
    QTest::newRow("item de segundo nivel") << "M4314902" << QStringList{"   CadastrodePessoas1"}
        << QStringList{"Municpios1", "MarcaodeExames1"} << QStringList{"CadastrodePessoas1"};
    QTest::newRow("ramo de terceiro nivel") << "CUNE" << QStringList{"   RetransmissodeAutorizaes1"}
        << QStringList{"BloqueiodeAutorizaes1"} << QStringList{"Individual1", "Coletivo1"};
    QTest::newRow("nome inexistente ignorado") << "CUNE" << QStringList{"NaoExiste1"}
        << QStringList{"MarcaodeExames1"} << QStringList{};
}

void TstPrincipal::permissoes()
{
    QFETCH(QString, instalacao);
    QFETCH(QStringList, falsos);
    QFETCH(QStringList, visiveis);
    QFETCH(QStringList, ocultos);
    Ambiente amb(instalacao);
    amb.menus(QStringLiteral("ana"), falsos);
    SessaoAtual().UsuarioLogado = QStringLiteral("ANA");
    TFprincipal w;
    w.HabilitaMenus();
    w.AplicaPapel();
    for (const QString& n : visiveis)
        QVERIFY2(w.itemVisivel(n), qPrintable(n));
    for (const QString& n : ocultos)
        QVERIFY2(!w.itemVisivel(n), qPrintable(n));
    // A new login starts from every item visible.
    SessaoAtual().UsuarioLogado = QStringLiteral("outro");
    w.HabilitaMenus();
    QVERIFY(w.acao(QStringLiteral("CadastrodePessoas1"))->isVisible());
}

void TstPrincipal::papel_data()
{
    QTest::addColumn<QString>("instalacao");
    QTest::addColumn<QString>("perfil");
    QTest::addColumn<QStringList>("botoes");
    QTest::addColumn<QStringList>("topos");
    QTest::addColumn<QString>("cabecalho");
    QTest::newRow("consorcio") << "CUNE" << "CUNE" << QStringList{"Cad.Pacientes", "Procedimentos"}
        << QStringList{"Municpios1", "Entidades1", "Administrativo1", "Financeiro1", "Utilitrios1", "Sair1"} << "CUNE";
    QTest::newRow("consorcio corvane") << "CORVANE" << "CORVANE" << QStringList{"Cad.Pacientes", "Procedimentos", "Agenda"}
        << QStringList{"Municpios1", "Entidades1", "Administrativo1", "Agendamento1", "Financeiro1", "Utilitrios1", "Sair1"}
        << "CORVANE";
    QTest::newRow("municipio") << "M4314902" << "CORVANE" << QStringList{"Cad.Pacientes", "Autorizações"}
        << QStringList{"Municpios1", "Utilitrios1", "Sair1"} << "Município de PORTO ALEGRE";
    QTest::newRow("municipio minusculo") << "m4314902" << "CUNE" << QStringList{"Cad.Pacientes", "Autorizações"}
        << QStringList{"Municpios1", "Utilitrios1", "Sair1"} << "Município de PORTO ALEGRE";
    QTest::newRow("entidade") << "E12" << "CUNE" << QStringList{"Atendimentos"}
        << QStringList{"Entidades1", "Utilitrios1", "Sair1"} << "Ent. CLINICA SAO JOSE LTDA";
    QTest::newRow("profissional") << "P7" << "CUNE" << QStringList{"Atendimentos"}
        << QStringList{"Entidades1", "Utilitrios1", "Sair1"} << "Prof. ANA PAULA";
}

void TstPrincipal::papel()
{
    QFETCH(QString, instalacao);
    QFETCH(QString, perfil);
    QFETCH(QStringList, botoes);
    QFETCH(QStringList, topos);
    QFETCH(QString, cabecalho);
    Ambiente amb(instalacao, perfil);
    TFprincipal w;
    w.HabilitaMenus();
    w.AplicaPapel();
    QCOMPARE(legendas(w.botoesBarra()), botoes);
    // The moved button takes the first place of the strip.
    if (botoes == QStringList{QStringLiteral("Atendimentos")})
        QCOMPARE(w.botoesBarra().first(), w.SBProcedimentos());
    QStringList visiveis;
    for (const ItemMenu& i : ArvoreMenuPrincipal())
        if (w.itemVisivel(i.nome))
            visiveis << i.nome;
    QCOMPARE(visiveis, topos);
    QCOMPARE(w.LInstalacao()->text(), cabecalho);
}

void TstPrincipal::botoesPorPapel_data()
{
    QTest::addColumn<QString>("instalacao");
    QTest::addColumn<QStringList>("falsos");
    QTest::addColumn<QStringList>("abertas");
    QTest::newRow("municipio") << "M4314902" << QStringList{} << QStringList{"MarcaodeExames1", "CadastrodePessoas1"};
    QTest::newRow("entidade") << "E12" << QStringList{} << QStringList{"RealizaodeExames1"};
    QTest::newRow("profissional") << "P7" << QStringList{} << QStringList{"RealizaodeExames1"};
    QTest::newRow("consorcio") << "CUNE" << QStringList{} << QStringList{"MarcaodeExames1", "CadastrodePessoas1"};
    QTest::newRow("municipio sem o item") << "M4314902" << QStringList{"   MarcaodeExames1"} << QStringList{"CadastrodePessoas1"};
    QTest::newRow("entidade sem o item") << "E12" << QStringList{"   RealizaodeExames1"} << QStringList{};
    QTest::newRow("municipio sem o menu") << "M4314902" << QStringList{"Municpios1"} << QStringList{};
    // The consortium without "Municípios" falls through to "Entidades".
    QTest::newRow("consorcio sem Municipios") << "CUNE" << QStringList{"Municpios1"} << QStringList{"RealizaodeExames1"};
}

void TstPrincipal::botoesPorPapel()
{
    QFETCH(QString, instalacao);
    QFETCH(QStringList, falsos);
    QFETCH(QStringList, abertas);
    Ambiente amb(instalacao);
    amb.menus(QStringLiteral("ana"), falsos);
    SessaoAtual().UsuarioLogado = QStringLiteral("ana");
    Telas t({QStringLiteral("MarcaodeExames1"), QStringLiteral("RealizaodeExames1"), QStringLiteral("CadastrodePessoas1"),
             QStringLiteral("Agendamento2")});
    TFprincipal w;
    w.HabilitaMenus();
    w.AplicaPapel();
    w.SBProcedimentos()->click();
    if (!w.SBPessoas()->isHidden())
        w.SBPessoas()->click();
    w.SBAgendaClick(); // hidden outside CORVANE: its menu is hidden too
    QCOMPARE(t.abertas, abertas);
}

void TstPrincipal::cadastroRestrito_data()
{
    QTest::addColumn<QString>("instalacao");
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<bool>("abre");
    QTest::newRow("4310207 recepcao") << "M4310207" << "recepcao" << false;
    QTest::newRow("4310207 adm2") << "M4310207" << "adm2" << true;
    QTest::newRow("outro municipio recepcao") << "M4314902" << "recepcao" << true;
    QTest::newRow("consorcio recepcao") << "CUNE" << "recepcao" << true;
}

void TstPrincipal::cadastroRestrito()
{
    QFETCH(QString, instalacao);
    QFETCH(QString, usuario);
    QFETCH(bool, abre);
    Ambiente amb(instalacao);
    SessaoAtual().UsuarioLogado = usuario;
    Telas t({QStringLiteral("CadastrodeUnidadesdeAtendimento1")});
    test::RoteiroMensagens msgs;
    TFprincipal w;
    w.acao(QStringLiteral("CadastrodeUsurios1"))->trigger();
    QCOMPARE(TFCadSenhas::instancia() != nullptr, abre);
    if (TFCadSenhas::instancia()) {
        TFCadSenhas::instancia()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    w.acao(QStringLiteral("CadastrodeUnidadesdeAtendimento1"))->trigger();
    QCOMPARE(t.abertas.size(), abre ? 1 : 0);
    if (abre) {
        QCOMPARE(msgs.quantidade(), 0);
    } else {
        QCOMPARE(msgs.textos(), QStringList({QStringLiteral("Usuário [recepcao] não possui permissão para cadastrar outros usuários"),
                                             QStringLiteral("Usuário [recepcao] não possui permissão para cadastrar novas unidades")}));
    }
}

void TstPrincipal::falhaAtualizacao()
{
    Ambiente amb(QStringLiteral("CUNE"));
    SessaoAtual().UsuarioLogado = QStringLiteral("admin");
    const QStringList versoes = VersoesCadeia();
    const QString anterior = versoes.at(versoes.size() - 2);
    amb.b.executa(QStringLiteral("update tabdiv set versaobanco='%1'").arg(anterior));
    // Another workstation holds TABDIV: the last step cannot record its version.
    amb.b.tr().inicia();
    amb.b.tr().executa(QStringLiteral("update tabdiv set versaoexe='outro'"));
    test::RoteiroMensagens msgs;
    {
        TFprincipal w;
        QVERIFY(w.FormShow());
        QVERIFY(w.falhaBancoVisivel());
        QCOMPARE(w.LFalhaBanco()->text(),
                 QStringLiteral("Falha na atualização do Banco de Dados!  Envie um e-mail para suporte@vornex.org relatando o problema\n"
                                "Se a falha se repetir ao reiniciar, restaure a última cópia de segurança (gbak -c) antes de usar o sistema."));
        QCOMPARE(w.LInstalacao()->text(), QStringLiteral("CUNE")); // start-up went on
        w.grab().save(test::PastaTelas() + QStringLiteral("/principal_falha_atualizacao.png"));
    }
    amb.b.tr().rollback();
    TFprincipal w2;
    QVERIFY(w2.FormShow());
    QVERIFY(!w2.falhaBancoVisivel());
    QCOMPARE(amb.b.valor(QStringLiteral("select versaobanco from tabdiv")).toString(), versoes.last());
}

void TstPrincipal::falhaInesperadaNaCadeia()
{
    // An error of any kind out of the upgrade chain: failure label, and start-up goes on.
    Ambiente amb(QStringLiteral("M4314902"));
    amb.b.executa(QStringLiteral("update tabdiv set dataultretransmissao='2026-12-09'"));
    SessaoAtual().UsuarioLogado = QStringLiteral("admin");
    Telas t({QLatin1String(telas::RecepcaoMunicipio)});
    TFprincipal w;
    w.atualizaEsquema = [](Transacao& tr, const Progresso&) -> ResultadoCadeia {
        tr.inicia();
        throw std::runtime_error("inesperado");
    };
    QVERIFY(w.FormShow());
    QVERIFY(w.falhaBancoVisivel());
    QVERIFY(!amb.dm->IBTransaction.ativa());
    QCOMPARE(w.LInstalacao()->text(), QStringLiteral("Município de PORTO ALEGRE"));
    QCOMPARE(t.abertas, QStringList{QLatin1String(telas::RecepcaoMunicipio)});
}

void TstPrincipal::bancoMaisNovoEncerra()
{
    Ambiente amb(QStringLiteral("M4314902"));
    amb.b.executa(QStringLiteral("update tabdiv set versaobanco='9.99'"));
    test::RoteiroMensagens msgs;
    test::RoteiroModal modal([](QDialog*) {});
    TFprincipal w;
    QVERIFY(!w.FormShow());
    QCOMPARE(modal.chamadas(), 0); // no login
    QCOMPARE(msgs.textos(), QStringList{MensagemVersaoMaior(QStringLiteral("9.99"))});
    QCOMPARE(msgs.ultima().titulo, QString());
    QCOMPARE(msgs.ultima().icone, IconeMsg::Aviso);
}

void TstPrincipal::decisoesInicio_data()
{
    QTest::addColumn<QString>("instalacao");
    QTest::addColumn<QString>("dataAtual");
    QTest::addColumn<QString>("ultima"); // SQL literal
    QTest::addColumn<QStringList>("abertas");
    const QString tr = QLatin1String(telas::Transmissao);
    const QString rm = QLatin1String(telas::RecepcaoMunicipio);
    const QString rp = QLatin1String(telas::RecepcaoPrestador);
    QTest::newRow("municipio quarta data nula") << "M4314902" << "09/12/2026" << "null" << QStringList{tr, rm};
    QTest::newRow("municipio mesma data") << "M4314902" << "09/12/2026" << "'2026-12-09'" << QStringList{rm};
    QTest::newRow("municipio sabado") << "M4314902" << "05/12/2026" << "'2026-12-05'" << QStringList{};
    QTest::newRow("municipio segunda") << "M4314902" << "07/12/2026" << "'2026-12-07'" << QStringList{rm};
    QTest::newRow("entidade domingo data antiga") << "E12" << "06/12/2026" << "'2026-11-30'" << QStringList{tr};
    QTest::newRow("profissional sexta") << "P7" << "11/12/2026" << "'2026-12-11'" << QStringList{rp};
    QTest::newRow("consorcio nunca retransmite") << "CUNE" << "09/12/2026" << "null" << QStringList{};
}

void TstPrincipal::decisoesInicio()
{
    QFETCH(QString, instalacao);
    QFETCH(QString, dataAtual);
    QFETCH(QString, ultima);
    QFETCH(QStringList, abertas);
    Ambiente amb(instalacao, QStringLiteral("CUNE"), dataAtual);
    amb.b.executa(QStringLiteral("update tabdiv set dataultretransmissao=%1").arg(ultima));
    SessaoAtual().UsuarioLogado = QStringLiteral("admin");
    Telas t({QLatin1String(telas::Transmissao), QLatin1String(telas::RecepcaoMunicipio),
             QLatin1String(telas::RecepcaoPrestador)});
    test::RoteiroMensagens msgs;
    TFprincipal w;
    QVERIFY(w.FormShow());
    QCOMPARE(t.abertas, abertas);
    QCOMPARE(msgs.quantidade(), 0);
}

void TstPrincipal::calendarioEItemSelecao()
{
    Ambiente amb(QStringLiteral("CUNE"));
    SessaoAtual().UsuarioLogado = QStringLiteral("admin");
    TFprincipal w;
    QVERIFY(w.FormShow());
    QVERIFY(w.LCalendario()->text().isEmpty());
    // The selection screen marks a calendar; the line follows when it closes.
    Ambiente* a = &amb;
    RegistraTela(QStringLiteral("SeleodoCalendrioAtual1"), [a] {
        a->b.executa(QStringLiteral("insert into calendarios (datainicial, datafinal, descricao, selecao) "
                                    "values ('2026-11-21', '2026-12-20', 'DEZEMBRO', 'S')"));
    });
    w.AtualizaDisponibilidade();
    w.acao(QStringLiteral("SeleodoCalendrioAtual1"))->trigger();
    RemoveTela(QStringLiteral("SeleodoCalendrioAtual1"));
    QCOMPARE(w.LCalendario()->text(), QStringLiteral("Calendário: DEZEMBRO (21/11/2026 a 20/12/2026)"));
    QCOMPARE(SessaoAtual().CalendarioAtual.inicio, QStringLiteral("21/11/2026"));
}

void TstPrincipal::loginRecusado()
{
    Ambiente amb(QStringLiteral("M4314902"));
    amb.b.executa(QStringLiteral("insert into usuarios (usuario, senha) values ('maria', 'segredo')"));
    test::RoteiroMensagens msgs;
    TFprincipal w;
    TFUsuario dlg(&w);
    dlg.PEUsuario()->setText(QStringLiteral("maria"));
    dlg.PESenha()->setText(QStringLiteral("errada"));
    QVERIFY(!dlg.PBConfirmarClick());
    QCOMPARE(msgs.quantidade(), 1);
    QCOMPARE(msgs.ultima().texto, QStringLiteral("Usuário ou Senha Não Cadastrados!"));
    QCOMPARE(msgs.ultima().titulo, QString());
    QVERIFY(dlg.PEUsuario()->text().isEmpty());
    QVERIFY(dlg.PESenha()->text().isEmpty());
    QVERIFY(SessaoAtual().UsuarioLogado.isEmpty());
    QCOMPARE(w.windowTitle(), QStringLiteral("VORNEX"));
    // Empty name: nothing happens.
    QVERIFY(!dlg.PBConfirmarClick());
    QCOMPARE(msgs.quantidade(), 1);
    // Typed text is forced to lower case.
    QTest::keyClicks(dlg.PEUsuario(), QStringLiteral("MaRia"));
    QCOMPARE(dlg.PEUsuario()->text(), QStringLiteral("maria"));
}

void TstPrincipal::loginAceito_data()
{
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("senha");
    QTest::addColumn<bool>("menusDoUsuario");
    QTest::newRow("usuario") << "MARIA" << "SEGREDO" << true;
    QTest::newRow("manutencao") << "maria" << "kvmrtz" << false;
    QTest::newRow("manutencao sem cadastro") << "tecnico" << "kvmrtz" << false;
}

void TstPrincipal::loginAceito()
{
    QFETCH(QString, usuario);
    QFETCH(QString, senha);
    QFETCH(bool, menusDoUsuario);
    Ambiente amb(QStringLiteral("M4314902"));
    amb.menus(QStringLiteral("maria"), {QStringLiteral("   CadastrodePessoas1")});
    amb.b.executa(QStringLiteral("update usuarios set senha='segredo'"));
    amb.b.executa(QStringLiteral("update tabdiv set versaoexe='2.27'"));
    test::RoteiroMensagens msgs;
    TFprincipal w;
    test::RoteiroModal modal([&](QDialog* d) {
        auto* dlg = qobject_cast<TFUsuario*>(d);
        QVERIFY(dlg);
        dlg->PEUsuario()->setText(usuario);
        dlg->PESenha()->setText(senha);
        dlg->PBConfirmar()->click();
    });
    QVERIFY(w.FormShow());
    QCOMPARE(modal.chamadas(), 1);
    QCOMPARE(msgs.quantidade(), 0);
    // The field keeps the name in lower case.
    QCOMPARE(SessaoAtual().UsuarioLogado, usuario.toLower());
    QCOMPARE(w.windowTitle(), QStringLiteral("VORNEX      Versão: 2.28   Usuário: ") + usuario.toLower());
    QCOMPARE(w.itemVisivel(QStringLiteral("CadastrodePessoas1")), !menusDoUsuario);
    QVERIFY(w.itemVisivel(QStringLiteral("MarcaodeExames1")));
    QCOMPARE(amb.b.valor(QStringLiteral("select versaoexe from tabdiv")).toString(), QStringLiteral("2.28"));
}

void TstPrincipal::semLoginEncerra()
{
    Ambiente amb(QStringLiteral("M4314902"));
    Telas t({QLatin1String(telas::Transmissao), QLatin1String(telas::RecepcaoMunicipio)});
    TFprincipal w;
    test::RoteiroModal modal([](QDialog* d) {
        d->findChild<QPushButton*>(QStringLiteral("PBFechar"))->click();
    });
    QVERIFY(!w.FormShow());
    QCOMPARE(modal.chamadas(), 1);
    QVERIFY(t.abertas.isEmpty());
    QVERIFY(SessaoAtual().UsuarioLogado.isEmpty());
}

void TstPrincipal::erroNasPermissoes()
{
    // A database without the permissions table: the error is shown and every item stays visible.
    test::BancoTeste vazio(false);
    test::RoteiroMensagens msgs;
    TFprincipal w;
    w.HabilitaMenus(vazio.tr(), QStringLiteral("ana"));
    vazio.tr().rollback();
    QCOMPARE(msgs.quantidade(), 1);
    QCOMPARE(msgs.ultima().titulo, QStringLiteral("Erro, verifique os dados digitados."));
    QVERIFY(msgs.ultima().texto.contains(QStringLiteral("MENUS"), Qt::CaseInsensitive));
    for (const QString& n : NomesMenuPrincipal())
        QVERIFY2(w.itemVisivel(n), qPrintable(n));
}

void TstPrincipal::repassesPorPerfil_data()
{
    QTest::addColumn<QString>("perfil");
    QTest::addColumn<QString>("aberta");
    QTest::newRow("culvar") << "CONSORCIO CULVAR" << QString::fromLatin1(telas::CreditosMunicipais);
    QTest::newRow("culvar minusculo") << "culvar" << QString::fromLatin1(telas::CreditosMunicipais);
    QTest::newRow("cune") << "CUNE" << "RepassesSIASUS1";
}

void TstPrincipal::repassesPorPerfil()
{
    QFETCH(QString, perfil);
    QFETCH(QString, aberta);
    SessaoAtual().PerfilConsorcio = perfil;
    Telas t({QStringLiteral("RepassesSIASUS1"), QLatin1String(telas::CreditosMunicipais)});
    TFprincipal w;
    w.acao(QStringLiteral("RepassesSIASUS1"))->trigger();
    QCOMPARE(t.abertas, QStringList{aberta});
    SessaoAtual() = Sessao{};
}

void TstPrincipal::fecharPassaPeloBackup()
{
    Telas t({QLatin1String(telas::Backup)});
    {
        TFprincipal w;
        QSignalSpy fechada(&w, &TFprincipal::fechada);
        w.show();
        w.acao(QStringLiteral("EncerraroSistema1"))->trigger();
        QVERIFY(!w.isVisible());
        QCOMPARE(fechada.count(), 1);
    }
    QCOMPARE(t.abertas, QStringList{QLatin1String(telas::Backup)});
}

void TstPrincipal::galeria()
{
    const QString pasta = test::PastaTelas();
    struct Caso { const char* instalacao; const char* perfil; const char* arquivo; };
    for (const Caso& c : {Caso{"CUNE", "CUNE", "principal_consorcio"}, Caso{"CORVANE", "CORVANE", "principal_consorcio_corvane"},
                          Caso{"M4314902", "CUNE", "principal_municipio"}, Caso{"E12", "CUNE", "principal_entidade"},
                          Caso{"P7", "CUNE", "principal_profissional"}}) {
        Ambiente amb(QLatin1String(c.instalacao), QLatin1String(c.perfil));
        amb.b.executa(QStringLiteral("update tabdiv set dataultretransmissao='2026-12-09'"));
        amb.b.executa(QStringLiteral("insert into calendarios (datainicial, datafinal, descricao, selecao) "
                                     "values ('2026-11-21', '2026-12-20', 'DEZEMBRO/2026', 'S')"));
        QVERIFY(test::InstalaLogoDemo());
        SessaoAtual().UsuarioLogado = QStringLiteral("admin");
        TFprincipal w;
        QVERIFY(w.FormShow());
        w.MostraUsuarioLogado();
        w.resize(1000, 620);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.Imagem()->pixmap().isNull());
        QVERIFY(w.grab().save(pasta + QLatin1Char('/') + QLatin1String(c.arquivo) + QStringLiteral(".png")));
        if (QLatin1String(c.instalacao) == QLatin1String("M4314902")) {
            QMenu* m = w.menu(QStringLiteral("Municpios1"));
            m->popup(w.mapToGlobal(QPoint(0, 0)));
            QTest::qWait(50);
            QVERIFY(m->grab().save(pasta + QStringLiteral("/principal_menu_municipios.png")));
            m->hide();
        }
    }
    TFSplash splash;
    splash.avanca();
    splash.avanca();
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QVERIFY(splash.grab().save(pasta + QStringLiteral("/splash.png")));

    Ambiente amb(QStringLiteral("CUNE"));
    TFprincipal w;
    TFUsuario dlg(&w);
    dlg.PEUsuario()->setText(QStringLiteral("maria"));
    dlg.PESenha()->setText(QStringLiteral("segredo"));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(dlg.grab().save(pasta + QStringLiteral("/login.png")));
}

QTEST_MAIN(TstPrincipal)
#include "tst_principal.moc"
