#pragma once
// Main window: header strip with the toolbar buttons and information lines, the logo picture,
// the main menu, the start-up sequence and the role and user permissions on the menu.
#include "core/MenuPrincipal.h"
#include "core/schema/Cadeia.h"

#include <QHash>
#include <QMainWindow>
#include <QSet>

#include <functional>

class QLabel;
class QMenu;
class QToolButton;
class QHBoxLayout;

namespace vx {

class TFUsuario;
class TFSplash;

// Support address shown in the upgrade-failure label.
inline constexpr const char* kEmailSuporte = "suporte@vornex.org";
QString MensagemFalhaAtualizacao();

class TFprincipal : public QMainWindow {
    Q_OBJECT
public:
    explicit TFprincipal(QWidget* parent = nullptr);
    ~TFprincipal() override;

    // Creation work of the running program: loads the configuration and computes the working
    // date (network time), then shows or hides "NTP OK".
    void FormCreate();

    // The start-up sequence run when the window is first shown. False: the program must end
    // (no login, or a database newer than the program).
    bool FormShow();
    // Runs FormShow once, from the event loop, when the window is shown (off by default).
    void setExecutaFormShowAoMostrar(bool sim) { m_formShowAoMostrar = sim; }

    // Menu items by component name (QAction objectName); nullptr when unknown.
    QAction* acao(const QString& nome) const;
    QMenu* menu(const QString& nome) const;
    // The item and every item above it are visible.
    bool itemVisivel(const QString& nome) const;
    // Enables the items that have a registered screen; the others are disabled with a tooltip.
    void AtualizaDisponibilidade();

    // User permissions: every item visible, then the user's MENUS rows hide items.
    void HabilitaMenus();
    void HabilitaMenus(Transacao& tr, const QString& usuario);
    // Caption with the logged-in user.
    void MostraUsuarioLogado();
    // Role rules: top menus, toolbar buttons and the installation line of the header.
    void AplicaPapel();
    void AtualizaCabecalho();
    void AtualizaBase();
    void VerCalendario();
    void CarregaLogo();
    void MostraFalhaBanco(bool mostra);
    // The version may no longer run: "Feche o sistema e Atualize a Versão!" in the red notice and
    // the municipality and entity menus hidden.
    void BloqueiaVersao();
    bool falhaBancoVisivel() const;

    // Opens a menu item's screen (with the restricted-registry rule).
    void AbreItem(const QString& nome);
    void SBPessoasClick();
    void SBProcedimentosClick();
    void SBAgendaClick();

    QToolButton* SBPessoas() const { return m_sbPessoas; }
    QToolButton* SBProcedimentos() const { return m_sbProcedimentos; }
    QToolButton* SBAgenda() const { return m_sbAgenda; }
    QLabel* LInstalacao() const { return m_lInstalacao; }
    QLabel* LCalendario() const { return m_lCalendario; }
    QLabel* LNtpOk() const { return m_lNtp; }
    QLabel* LFalhaBanco() const { return m_lFalha; }
    QLabel* Imagem() const { return m_imagem; }
    // The work area below the menu and the header strip, where screens open.
    QWidget* areaTrabalho() const { return m_area; }
    // Order of the toolbar buttons in the header.
    QList<QToolButton*> botoesBarra() const;

    // The login dialog used by FormShow (a dialog of its own when none is given).
    void setDialogoLogin(TFUsuario* dlg) { m_login = dlg; }
    // Replaceable steps (for the program and its tests).
    std::function<bool()> executaLogin;        // shows the login modally; true when logged in
    std::function<ResultadoCadeia(Transacao&, const Progresso&)> atualizaEsquema;

    // The main window of the run (null when none exists).
    static TFprincipal* atual();

signals:
    // The window was closed: the program ends (other screens may still be open).
    void fechada();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void constroiMenu();
    void constroiCabecalho();
    void adicionaItens(QMenu* pai, const QVector<ItemMenu>& itens);
    void aplicaVisibilidade();
    bool loginPadrao();

    QHash<QString, QAction*> m_acoes;
    QHash<QString, QMenu*> m_menus;
    QSet<QString> m_ocultosPermissao;
    QSet<QString> m_ocultosPapel;
    QToolButton* m_sbPessoas = nullptr;
    QToolButton* m_sbProcedimentos = nullptr;
    QToolButton* m_sbAgenda = nullptr;
    QHBoxLayout* m_barra = nullptr;
    QLabel* m_lInstalacao = nullptr;
    QLabel* m_lCalendario = nullptr;
    QLabel* m_lNtp = nullptr;
    QLabel* m_lFalha = nullptr;
    QLabel* m_imagem = nullptr;
    QWidget* m_area = nullptr;
    TFUsuario* m_login = nullptr;
    bool m_formShowAoMostrar = false;
    bool m_formShowFeito = false;
    bool m_fechando = false;
};

} // namespace vx
