#include "core/MenuPrincipal.h"
#include "core/Banco.h"
#include "core/UFunc.h"
#include "core/UProcuraNome.h"
#include "core/UVariaveis.h"

#include <QHash>

namespace vx {

namespace {

ItemMenu folha(const char* nome, const QString& titulo)
{
    ItemMenu i;
    i.nome = QString::fromLatin1(nome);
    i.titulo = titulo;
    return i;
}

ItemMenu ramo(const char* nome, const QString& titulo, QVector<ItemMenu> filhos)
{
    ItemMenu i = folha(nome, titulo);
    i.filhos = std::move(filhos);
    i.submenu = true;
    return i;
}

ItemMenu separador()
{
    ItemMenu i;
    i.separador = true;
    return i;
}

QVector<ItemMenu> constroiArvore()
{
    return {
        ramo("Municpios1", QStringLiteral("Municípios"), {
            folha("MarcaodeExames1", QStringLiteral("Autorização de Procedimentos")),
            folha("CadastrodePessoas1", QStringLiteral("Cadastro de Pacientes")),
            folha("PesquisadeProfissionais1", QStringLiteral("Pesquisa de Profissionais")),
            folha("CadastrodeUnidadesdeAtendimento1", QStringLiteral("Cadastro de Unidades de Atendimento")),
            separador(),
            folha("RecepoBaseCadastral1", QStringLiteral("Recepção de Base Cadastral")),
            separador(),
            folha("BloqueiodeAutorizaes1", QStringLiteral("Bloqueio de Autorizações")),
            folha("ReimpressodeAutorizaesEnviadas1", QStringLiteral("Reimpressão de Autorizações")),
            ramo("RetransmissodeAutorizaes1", QStringLiteral("Retransmissão de Autorizações"), {
                folha("Individual1", QStringLiteral("Individual")),
                folha("Coletivo1", QStringLiteral("Coletivo")),
            }),
            separador(),
            ramo("Relatrios1", QStringLiteral("Relatórios"), {
                folha("PacientesCadastrados1", QStringLiteral("Pacientes Cadastrados")),
                folha("ProfissionaisConveniados1", QStringLiteral("Profissionais Conveniados")),
                folha("ProcedimentosCadastrados1", QStringLiteral("Procedimentos Cadastrados")),
                separador(),
                folha("ProcedimentosAutorizadosAnaltico1", QStringLiteral("Procedimentos Autorizados (Analítico)")),
                folha("TotalizadoresSinttico1", QStringLiteral("Totalizadores (Sintético)")),
            }),
        }),
        ramo("Entidades1", QStringLiteral("Entidades"), {
            folha("RealizaodeExames1", QStringLiteral("Realização de Procedimentos")),
            folha("CadastrodaEntidade1", QStringLiteral("Cadastro da Entidade")),
            separador(),
            folha("RecepodeBase1", QStringLiteral("Recepção de Base")),
            folha("Retransmissodeprocedimentosnoenviados1", QStringLiteral("Retransmissão de Procedimentos")),
            separador(),
            ramo("Relatrios2", QStringLiteral("Relatórios"), {
                folha("PacientesCadastrados2", QStringLiteral("Pacientes Cadastrados")),
                folha("EntidadesConveniadas1", QStringLiteral("Entidades Conveniadas")),
                separador(),
                folha("ProcedimentosRealizadosAnaltico1", QStringLiteral("Procedimentos Realizados (Analítico)")),
                folha("TotalizadoresSinttico2", QStringLiteral("Totalizadores (Sintético)")),
            }),
        }),
        ramo("Administrativo1", QStringLiteral("Administrativo"), {
            folha("CadastrodeMunicpios1", QStringLiteral("Cadastro de Municípios")),
            folha("CadastrodeEntidades1", QStringLiteral("Cadastro de Entidades")),
            folha("CadastrodeProcedimentos1", QStringLiteral("Cadastro de Procedimentos")),
            folha("CadastrodeProfissionais1", QStringLiteral("Cadastro de Profissionais")),
            folha("LanamentodeProcedimentos1", QStringLiteral("Lançamento de Procedimentos")),
            folha("MotivosdeBloqueio1", QStringLiteral("Motivos de Bloqueio")),
            separador(),
            folha("EnviodeBaseparaMunicpiosEntidades1", QStringLiteral("Envio de Base para Municípios/Entidades")),
            folha("RecepodeBasedeMunicpioEntidades1", QStringLiteral("Recepção de Base de Município/Entidades")),
            separador(),
            folha("SeleodoCalendrioAtual1", QStringLiteral("Seleção do Calendário Atual")),
            separador(),
            ramo("Relatrios3", QStringLiteral("Relatórios"), {
                folha("RelatProduoAnaltico1", QStringLiteral("Relat. Produção (Analítico)")),
                folha("RelatProduoSinttico1", QStringLiteral("Relat. Produção (Sintético)")),
                separador(),
                folha("PacientesCadastrados3", QStringLiteral("Pacientes Cadastrados")),
                folha("EntidadesConveniadas2", QStringLiteral("Entidades Conveniadas")),
                folha("ConsolidadoMunicpios1", QStringLiteral("Consolidado Municípios")),
                folha("LimitesFinanceirosporMunicpio1", QStringLiteral("Limites Financeiros por Município")),
            }),
            ramo("Faturamento1", QStringLiteral("Faturamento"), {
                folha("FaturamentoMunicpios1", QStringLiteral("Faturamento Municípios")),
                folha("FaturamentoEntidades1", QStringLiteral("Faturamento Entidades")),
                folha("RepassesSIASUS1", QStringLiteral("Repasses SIA/SUS")),
                separador(),
                folha("EmissodeReciboBoletoAvulsos1", QStringLiteral("Emissão de Recibo/Boleto Avulsos")),
                folha("RelatriodeBoletosRecibos1", QStringLiteral("Relatório de Boletos/Recibos")),
                separador(),
                folha("DemonstrativoIRRFporMunicpio1", QStringLiteral("Demonstrativo IRRF por Município")),
                folha("DemonstrativoDIRFporEntidade1", QStringLiteral("Demonstrativo DIRF por Entidade")),
                separador(),
                folha("BPABoletimdaProduoAmbulatorial1", QStringLiteral("BPA - Boletim da Produção Ambulatorial")),
            }),
        }),
        ramo("Agendamento1", QStringLiteral("Agenda"), {
            folha("Agendamento2", QStringLiteral("Agendamento")),
            folha("Configuraes1", QStringLiteral("Configurações")),
            ramo("Relatrios4", QStringLiteral("Relatórios"), {}),
        }),
        ramo("Financeiro1", QStringLiteral("Financeiro"), {
            folha("ContasaReceber1", QStringLiteral("Contas a Receber")),
            folha("ContasaPagar1", QStringLiteral("Contas a Pagar")),
            separador(),
            ramo("Relatrios5", QStringLiteral("Relatórios"), {
                folha("ContasaReceber2", QStringLiteral("Contas a Receber")),
                folha("ContasRecebidas1", QStringLiteral("Contas Recebidas")),
                folha("ContasaPagar2", QStringLiteral("Contas a Pagar")),
                folha("ContasPagas1", QStringLiteral("Contas Pagas")),
            }),
        }),
        ramo("Utilitrios1", QStringLiteral("Utilitários"), {
            folha("CadastrodeUsurios1", QStringLiteral("Cadastro de Usuários")),
            folha("Configuraes2", QStringLiteral("Configurações")),
            separador(),
            folha("GeradordeConsultas1", QStringLiteral("Gerador de Consultas")),
            folha("RelatriodeLog1", QStringLiteral("Relatório de Log")),
            folha("SolicitarAssistnciaRemota1", QStringLiteral("Solicitar Assistência Remota")),
            separador(),
            folha("ImportaoSEPIN1", QStringLiteral("Importação SEPIN")),
            folha("ImportaoCadSUS1", QStringLiteral("Importação CadSUS")),
            folha("ImportaoCadastroMunicipal1", QStringLiteral("Importação Cadastro Municipal")),
            folha("ImportaoSIGTAP1", QStringLiteral("Importação SIGTAP")),
            separador(),
            folha("UnificarCadastrosDuplicados1", QStringLiteral("Unificar Cadastros Duplicados")),
        }),
        ramo("Sair1", QStringLiteral("Sair"), {
            folha("EncerraroSistema1", QStringLiteral("Encerrar o Sistema")),
        }),
    };
}

// Fills `legenda` level by level.
void atribuiAtalhos(QVector<ItemMenu>& itens)
{
    QStringList titulos;
    for (const ItemMenu& i : itens)
        if (!i.separador)
            titulos << i.titulo;
    const QStringList legendas = LegendasComAtalho(titulos);
    int n = 0;
    for (ItemMenu& i : itens) {
        if (i.separador)
            continue;
        i.legenda = legendas.at(n++);
        atribuiAtalhos(i.filhos);
    }
}

bool letraDeAtalho(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

void coletaNomes(const QVector<ItemMenu>& itens, QStringList& saida)
{
    for (const ItemMenu& i : itens) {
        if (i.separador)
            continue;
        saida << i.nome;
        coletaNomes(i.filhos, saida);
    }
}

bool procuraAncestrais(const QVector<ItemMenu>& itens, const QString& nome, QStringList& caminho)
{
    for (const ItemMenu& i : itens) {
        if (i.separador)
            continue;
        if (i.nome == nome)
            return true;
        if (procuraAncestrais(i.filhos, nome, caminho)) {
            caminho << i.nome;
            return true;
        }
    }
    return false;
}

QHash<QString, AbreTela>& registro()
{
    static QHash<QString, AbreTela> r;
    return r;
}


QString nomePorCodigo(Transacao& tr, const QString& codigo, const char* chave, const char* nome, const char* tabela)
{
    try {
        Consulta q(tr);
        return NomePorCodigo(q, codigo, QLatin1String(chave), QLatin1String(nome), QLatin1String(tabela));
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

QStringList LegendasComAtalho(const QStringList& titulos)
{
    QSet<QChar> usadas;
    QVector<int> escolha(titulos.size(), -1);
    // Positions to try for a caption, best first.
    const auto candidatas = [](const QString& t, int passo) {
        QVector<int> r;
        for (int i = 0; i < t.size(); ++i) {
            // Initials of words of three letters or more ("de", "a" are no good keys).
            const bool inicioPalavra = (i == 0 || !t[i - 1].isLetterOrNumber()) && i + 2 < t.size()
                && t[i + 1].isLetterOrNumber() && t[i + 2].isLetterOrNumber();
            if (letraDeAtalho(t[i]) && ((passo == 0 && i == 0) || (passo == 1 && inicioPalavra) || passo == 2))
                r << i;
        }
        return r;
    };
    // First letters first, so that a later caption keeps its initial when an earlier one can
    // take another letter.
    for (int passo = 0; passo < 3; ++passo) {
        for (int k = 0; k < titulos.size(); ++k) {
            if (escolha[k] >= 0)
                continue;
            for (int i : candidatas(titulos[k], passo)) {
                const QChar c = titulos[k][i].toUpper();
                if (!usadas.contains(c)) {
                    usadas.insert(c);
                    escolha[k] = i;
                    break;
                }
            }
        }
    }
    QStringList r;
    for (int k = 0; k < titulos.size(); ++k) {
        QString l;
        for (int i = 0; i < titulos[k].size(); ++i) {
            if (i == escolha[k])
                l += QLatin1Char('&');
            l += titulos[k][i];
            if (titulos[k][i] == QLatin1Char('&'))
                l += QLatin1Char('&');
        }
        r << l;
    }
    return r;
}

QString SemAtalho(const QString& legenda)
{
    QString r;
    for (int i = 0; i < legenda.size(); ++i) {
        if (legenda[i] == QLatin1Char('&')) {
            if (i + 1 < legenda.size() && legenda[i + 1] == QLatin1Char('&'))
                r += legenda[++i];
            continue;
        }
        r += legenda[i];
    }
    return r;
}

const QVector<ItemMenu>& ArvoreMenuPrincipal()
{
    static const QVector<ItemMenu> arvore = [] {
        QVector<ItemMenu> a = constroiArvore();
        atribuiAtalhos(a);
        return a;
    }();
    return arvore;
}

QStringList NomesMenuPrincipal()
{
    QStringList r;
    coletaNomes(ArvoreMenuPrincipal(), r);
    return r;
}

QStringList AncestraisMenu(const QString& nome)
{
    QStringList caminho;
    procuraAncestrais(ArvoreMenuPrincipal(), nome, caminho);
    return caminho;
}

QStringList ListaPermissoesMenu(const QVector<ItemMenu>& arvore)
{
    QStringList r;
    for (const ItemMenu& n1 : arvore) {
        if (n1.separador)
            continue;
        r << n1.nome;
        for (const ItemMenu& n2 : n1.filhos) {
            if (n2.separador)
                continue;
            r << QStringLiteral("   ") + n2.nome;
            for (const ItemMenu& n3 : n2.filhos) {
                if (!n3.separador)
                    r << QStringLiteral("      ") + n3.nome;
            }
        }
    }
    return r;
}

QStringList PaisPermissoes(const QStringList& entradas)
{
    QStringList r;
    QString pai;
    for (const QString& e : entradas) {
        if (!e.startsWith(QLatin1String("  ")))
            pai = e;
        r << pai.left(50);
    }
    return r;
}

bool PermissaoSim(const QString& permissao)
{
    const QString p = permissao.toUpper();
    return p.startsWith(QLatin1Char('T')) || p.startsWith(QLatin1Char('Y'));
}

QVector<LinhaMenu> LeMenusUsuario(Transacao& tr, const QString& usuario)
{
    QVector<LinhaMenu> r;
    Consulta q(tr);
    q.abre(QStringLiteral("select * from Menus where Upper(Usuario) = %1 order by pai")
               .arg(SqlTexto(usuario.toUpper())));
    for (; !q.eof(); q.proximo())
        r.push_back({q.campo(QStringLiteral("MENU")).texto(), q.campo(QStringLiteral("PERMISSAO")).texto()});
    q.fecha();
    return r;
}

QStringList MenusOcultos(const QVector<LinhaMenu>& linhas, const QSet<QString>& existentes)
{
    QStringList r;
    for (const LinhaMenu& l : linhas) {
        const QString nome = l.menu.trimmed();
        if (existentes.contains(nome) && !PermissaoSim(l.permissao) && !r.contains(nome))
            r << nome;
    }
    return r;
}

RegrasPapel RegrasDoPapel(QChar papel, const QString& perfilConsorcio)
{
    RegrasPapel r;
    r.menusOcultos = {QStringLiteral("Agendamento1"), QStringLiteral("Financeiro1")};
    r.agendaVisivel = false;
    if (papel == QLatin1Char('C')) {
        r.menusOcultos.remove(QStringLiteral("Financeiro1"));
        if (perfilConsorcio.toUpper().contains(QLatin1String("CORVANE"))) {
            r.menusOcultos.remove(QStringLiteral("Agendamento1"));
            r.agendaVisivel = true;
        }
        return r;
    }
    r.menusOcultos << QStringLiteral("Municpios1") << QStringLiteral("Entidades1") << QStringLiteral("Administrativo1");
    if (papel == QLatin1Char('M')) {
        r.legendaProcedimentos = QStringLiteral("Autorizações");
        r.menusOcultos.remove(QStringLiteral("Municpios1"));
    } else if (papel == QLatin1Char('E') || papel == QLatin1Char('P')) {
        r.legendaProcedimentos = QStringLiteral("Atendimentos");
        r.procedimentosNoLugarDePessoas = true;
        r.pessoasVisivel = false;
        r.menusOcultos.remove(QStringLiteral("Entidades1"));
    }
    return r;
}

QString CabecalhoInstalacao(Transacao& tr, const QString& usuarioInstalacao)
{
    const QString u = usuarioInstalacao.toUpper();
    if (u.isEmpty())
        return {};
    const QChar papel = u.at(0);
    const QString codigo = u.mid(1, 7);
    if (papel == QLatin1Char('C'))
        return u;
    if (papel == QLatin1Char('M'))
        return QStringLiteral("Município de ") + nomePorCodigo(tr, codigo, "codigo", "cidade", "ibgemunic");
    if (papel == QLatin1Char('E'))
        return QStringLiteral("Ent. ") + nomePorCodigo(tr, codigo, "codigo", "razaosocial", "entidades");
    if (papel == QLatin1Char('P'))
        return QStringLiteral("Prof. ") + nomePorCodigo(tr, codigo, "codigo", "nome", "profissionais");
    return {};
}

bool DeveRetransmitir(QChar papel, const QDate& dataAtual, const QDate& ultimaRetransmissao)
{
    if (papel != QLatin1Char('M') && papel != QLatin1Char('E') && papel != QLatin1Char('P'))
        return false;
    const QDate ultima = ultimaRetransmissao.isValid() ? ultimaRetransmissao : QDate(1, 1, 1);
    return dataAtual.isValid() && dataAtual > ultima;
}

QDate LeDataUltRetransmissao(Transacao& tr)
{
    const QVariant v = tr.valor(QStringLiteral("select first 1 DATAULTRETRANSMISSAO from tabdiv"));
    return v.isValid() ? v.toDate() : QDate();
}

bool DeveAtualizaBase(const QDate& dataAtual)
{
    return dataAtual.isValid() && dataAtual.dayOfWeek() <= 5;
}

AcaoBase AcaoAtualizaBase(const QString& usuarioIni)
{
    const QString u = usuarioIni.toUpper();
    if (u.isEmpty())
        return AcaoBase::Nenhuma;
    switch (u.at(0).unicode()) {
    case 'C': return AcaoBase::Cabecalho;
    case 'M': return AcaoBase::RecepcaoMunicipio;
    case 'E':
    case 'P': return AcaoBase::RecepcaoPrestador;
    default: return AcaoBase::Nenhuma;
    }
}

bool PodeAbrirCadastroRestrito(const QString& usuarioInstalacao, const QString& usuarioLogado)
{
    const QString u = usuarioInstalacao.toUpper();
    const bool restrito = u.startsWith(QLatin1Char('M')) && u.mid(1, 7) == QLatin1String(kMunicipioRestrito);
    return !restrito || usuarioLogado.toUpper().contains(QLatin1String("ADM"));
}

QString MensagemSemPermissaoUsuarios(const QString& usuario)
{
    return QStringLiteral("Usuário [") + usuario + QStringLiteral("] não possui permissão para cadastrar outros usuários");
}

QString MensagemSemPermissaoUnidades(const QString& usuario)
{
    return QStringLiteral("Usuário [") + usuario + QStringLiteral("] não possui permissão para cadastrar novas unidades");
}

void VerCalendario(Transacao& tr)
{
    Calendario& c = SessaoAtual().CalendarioAtual;
    c = Calendario{};
    Consulta q(tr);
    q.abre(QStringLiteral("select * from calendarios where selecao='S'"));
    if (!q.eof()) {
        c.inicio = q.campo(QStringLiteral("DATAINICIAL")).texto();
        c.fim = q.campo(QStringLiteral("DATAFINAL")).texto();
        c.descricao = q.campo(QStringLiteral("DESCRICAO")).texto();
    }
    q.fecha();
}

QString LinhaCalendario()
{
    const Calendario& c = SessaoAtual().CalendarioAtual;
    if (c.inicio.isEmpty() && c.fim.isEmpty())
        return {};
    return QStringLiteral("Calendário: ") + c.descricao + QStringLiteral(" (") + c.inicio + QStringLiteral(" a ")
        + c.fim + QLatin1Char(')');
}

QString TelaDoItem(const QString& nome, const QString& perfilConsorcio)
{
    if (nome == QLatin1String("RepassesSIASUS1") && perfilConsorcio.toUpper().contains(QLatin1String("CULVAR")))
        return QLatin1String(telas::CreditosMunicipais);
    return nome;
}

void RegistraTela(const QString& nome, AbreTela abre)
{
    if (abre)
        registro().insert(nome, std::move(abre));
    else
        registro().remove(nome);
}

void RemoveTela(const QString& nome)
{
    registro().remove(nome);
}

AbreTela TelaRegistrada(const QString& nome)
{
    return registro().value(nome);
}

bool TemTela(const QString& nome)
{
    return registro().contains(nome) && bool(registro().value(nome));
}

} // namespace vx
