#pragma once
// The main menu tree (component names and captions), the per-user permission rows, the role
// rules of the main window and the registry of the functions that open each item's screen.
#include <QChar>
#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace vx {

class Transacao;

struct ItemMenu {
    QString nome;     // component name (QAction objectName, MENUS.MENU without the indentation)
    QString titulo;   // caption, the system's text as it stands
    QString legenda;  // caption as shown on the menu: "&" before its mnemonic letter, "&&" for "&"
    QVector<ItemMenu> filhos;
    bool separador = false;
    bool submenu = false; // a branch (may be empty, e.g. the agenda reports)
};

// Captions of one menu level with mnemonics: each gets "&" before a letter no other caption of
// the list took: its first letter, else the first letter of another word of 3+ letters, else any
// other letter (first letters are handed out before the others; only A-Z and digits, compared
// without case). A literal "&" becomes "&&". A caption left without a free letter has none.
QStringList LegendasComAtalho(const QStringList& titulos);
// The caption without its mnemonic marker ("&&" back to "&").
QString SemAtalho(const QString& legenda);

// The whole main menu as designed, top-level items in menu-bar order.
const QVector<ItemMenu>& ArvoreMenuPrincipal();
// Every component name of the tree (separators excluded).
QStringList NomesMenuPrincipal();
// Component names of the items above `nome`, nearest first (empty for a top-level item or an
// unknown name).
QStringList AncestraisMenu(const QString& nome);

// Entries of the user registry's permission list: top-level names, second-level names after
// 3 blanks, third-level names after 6 blanks; separators skipped.
QStringList ListaPermissoesMenu(const QVector<ItemMenu>& arvore = ArvoreMenuPrincipal());
// Parent written with each entry: the last entry so far whose first two characters are not
// blanks (for a top-level entry the entry itself), cut to 50 characters.
QStringList PaisPermissoes(const QStringList& entradas);

// PERMISSAO read as yes/no: yes when it begins with T or Y in either case.
bool PermissaoSim(const QString& permissao);

struct LinhaMenu {
    QString menu;
    QString permissao;
};
// Reads the user's MENUS rows ("order by pai").
QVector<LinhaMenu> LeMenusUsuario(Transacao& tr, const QString& usuario);
// Names to hide for these rows: MENU without its leading blanks, when it is one of `existentes`
// and its permission is no.
QStringList MenusOcultos(const QVector<LinhaMenu>& linhas, const QSet<QString>& existentes);

// Top-level menus hidden by the installation role (applied after the user's permissions).
struct RegrasPapel {
    QSet<QString> menusOcultos;          // Agendamento1, Financeiro1, Municpios1, ...
    bool agendaVisivel = false;          // toolbar button SBAgenda
    bool pessoasVisivel = true;          // toolbar button SBPessoas
    QString legendaProcedimentos = QStringLiteral("Procedimentos");
    bool procedimentosNoLugarDePessoas = false;
};
RegrasPapel RegrasDoPapel(QChar papel, const QString& perfilConsorcio);

// Header line with the installation name: the identity itself (consortium), "Município de " +
// IBGEMUNIC.CIDADE, "Ent. " + ENTIDADES.RAZAOSOCIAL or "Prof. " + PROFISSIONAIS.NOME.
QString CabecalhoInstalacao(Transacao& tr, const QString& usuarioInstalacao);

// Daily retransmission check: municipality, entity or professional, when the working date is
// later than the last retransmission (null = 01/01/0001).
bool DeveRetransmitir(QChar papel, const QDate& dataAtual, const QDate& ultimaRetransmissao);
// "select first 1 DATAULTRETRANSMISSAO from tabdiv" (invalid when null or no row).
QDate LeDataUltRetransmissao(Transacao& tr);

// Weekday base reception: Monday to Friday of the working date.
bool DeveAtualizaBase(const QDate& dataAtual);
enum class AcaoBase { Nenhuma, Cabecalho, RecepcaoMunicipio, RecepcaoPrestador };
// What the base reception does for an installation identity (first character, upper-cased).
AcaoBase AcaoAtualizaBase(const QString& usuarioIni);

// The one municipality whose user and unit registries are restricted to users named "ADM...".
inline constexpr const char* kMunicipioRestrito = "4310207";
// True when the user may open the restricted registries in this installation.
bool PodeAbrirCadastroRestrito(const QString& usuarioInstalacao, const QString& usuarioLogado);
QString MensagemSemPermissaoUsuarios(const QString& usuario);
QString MensagemSemPermissaoUnidades(const QString& usuario);

// Loads CalendarioAtual from CALENDARIOS (SELECAO = 'S'); both dates empty without a selection.
void VerCalendario(Transacao& tr);
// "Calendário: <descrição> (<início> a <fim>)", or empty without a selected calendar.
QString LinhaCalendario();

// Screen registry: component name of a menu item (or a screen name used by the start-up,
// see below) → the function opening its screen. Screens register themselves; a menu item
// without a function is shown disabled.
using AbreTela = std::function<void()>;
void RegistraTela(const QString& nome, AbreTela abre); // an empty function removes the entry
void RemoveTela(const QString& nome);
AbreTela TelaRegistrada(const QString& nome); // empty when none
bool TemTela(const QString& nome);

// Registry names used outside the menu.
namespace telas {
inline constexpr const char* Transmissao = "TFEnvioFtp";              // modal, daily retransmission
inline constexpr const char* RecepcaoMunicipio = "TFRecebBaseMunicipios"; // non-modal
inline constexpr const char* RecepcaoPrestador = "TFRecebBaseEntidades";  // modal
inline constexpr const char* Backup = "TFBackup";                    // modal, when closing
inline constexpr const char* CreditosMunicipais = "TFLanCreditosMunics"; // "Repasses SIA/SUS" under CULVAR
// Buttons of the billing screen: the screens they open read the billing screen's period and flags.
inline constexpr const char* FaturamentoRateio = "TFFaturamento.RateioSUS";
inline constexpr const char* FaturamentoRecibos = "TFFaturamento.Recibos";
inline constexpr const char* FaturamentoBoletos = "TFFaturamento.Boletos";
inline constexpr const char* FaturamentoRelatorio = "TFFaturamento.RelMunicipio";
} // namespace telas

// Registry name that serves a menu item: the item's own name, except "Repasses SIA/SUS"
// (RepassesSIASUS1), which opens the municipal credits under the CULVAR profile.
QString TelaDoItem(const QString& nome, const QString& perfilConsorcio);

// Registers at static-initialisation time: VX_REGISTRA_TELA(MarcaodeExames1, [] { ... });
struct RegistroTelaEstatico {
    RegistroTelaEstatico(const char* nome, AbreTela abre) { RegistraTela(QString::fromLatin1(nome), std::move(abre)); }
};
#define VX_REGISTRA_TELA_CAT2(a, b) a##b
#define VX_REGISTRA_TELA_CAT(a, b) VX_REGISTRA_TELA_CAT2(a, b)
#define VX_REGISTRA_TELA(nome, ...) \
    static const ::vx::RegistroTelaEstatico VX_REGISTRA_TELA_CAT(vxRegistroTela_, __LINE__)(#nome, __VA_ARGS__)

} // namespace vx
