#pragma once
// Base of every screen: keyboard conventions, close on loss of focus, code fields with their
// search buttons, one instance per screen kind, guarded actions and the waiting label.
//
//   class TFCadFoo : public vx::TFBase { ... };
//   auto* t = vx::MostraTela<TFCadFoo>();          // created on first use, shown, activated
//   connect(PBtnGravar, &TPersonBtn::Acao, this, [this] { PBtnGravarClick(); });
//   LigaCodigo(PECodigo, SBCodigo, LNome, [](const QString& c) { return NomePorCodigo(...); });
//   vx::ExecutaAcao(PBtnGravar, [&] { tr.inicia(); ...; tr.commit(); });
#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

class QAbstractButton;
#include <QLabel>
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace vx {

class Transacao;

// Event filter with the keyboard conventions of the screens. Installed by TFBase on itself and on
// every child; dialogs that are not TFBase (e.g. a QDialog) can install it with Instala().
//  - Enter/Return moves to the next field (as Tab) and is not passed on; on a button it clicks the
//    button; grids (QAbstractItemView) and multi-line texts keep their Enter.
//  - Up arrow moves to the previous field, except in grids and multi-line texts.
//  - Escape closes the window when `fechaComEsc` is true.
//  - F2 in a code field bound with LigaCodigo clicks its search button.
class ConvencoesTeclado : public QObject {
    Q_OBJECT
public:
    explicit ConvencoesTeclado(QWidget* janela);
    // Installs the filter on `janela` and all its present and future children.
    static ConvencoesTeclado* Instala(QWidget* janela);
    void setFechaComEsc(bool v) { m_fechaComEsc = v; }
    bool fechaComEsc() const { return m_fechaComEsc; }
    // F2 in `campo` clicks `busca`.
    void ligaBusca(QWidget* campo, QAbstractButton* busca);

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    void instalaEm(QObject* o);
    QWidget* m_janela;
    bool m_fechaComEsc = true;
    QHash<QWidget*, QPointer<QAbstractButton>> m_buscas;
};

// Where screens and dialogs open: the main window registers its work area (the part below its
// menu and toolbar strip). AreaTrabalho() is that area in desktop coordinates while the main
// window is shown, else the available area of the primary screen.
void DefineAreaTrabalho(QWidget* area);
QWidget* WidgetAreaTrabalho(); // null when none is registered
QRect AreaTrabalho();
// Moves a top-level window to the centre of AreaTrabalho(). A window larger than the area keeps
// its top-left corner in it; the whole window stays on the screen where it fits.
void CentraNaAreaTrabalho(QWidget* janela);
// Centres `janela` in the work area when it is first shown, unless it was placed explicitly
// (moved) before. TFBase does this for every screen; ExecutaModal for dialogs that belong to no
// screen (no parent or the main window as parent).
void CentraAoMostrar(QWidget* janela);

class TFBase : public QWidget {
    Q_OBJECT
public:
    // A top-level window, deleted when closed.
    explicit TFBase(QWidget* parent = nullptr);
    ~TFBase() override;

    ConvencoesTeclado* teclado() const { return m_teclado; }

    // Closes itself when another window of the program becomes active (default true). The rule is
    // suspended while any modal dialog of the program is open and while a SuspendeFechamento of
    // this screen lives.
    void setFechaAoPerderFoco(bool v) { m_fechaAoPerderFoco = v; }
    bool fechaAoPerderFoco() const { return m_fechaAoPerderFoco; }
    void suspendeFechamento() { ++m_suspensoes; }
    void retomaFechamento() { if (m_suspensoes > 0) --m_suspensoes; }
    bool fechamentoSuspenso() const;
    // Suspends the rule for as long as `outra` (a screen or preview opened by this one) exists.
    void suspendeEnquantoAberta(QObject* outra);
    // Opens the screen registered on menu item `item` beside this one, which stays open while
    // that screen lives. False when no screen is registered there.
    bool abreTelaVizinha(const QString& item);

    // Binds a code field: F2 in it clicks `busca` (may be null); leaving it shows
    // `nome(campo->text())` in `rotuloNome` (errors of `nome` go to the error box and empty the
    // label), then runs `aoSair`.
    void LigaCodigo(QLineEdit* campo, QAbstractButton* busca, QLabel* rotuloNome = nullptr,
                    std::function<QString(const QString&)> nome = {},
                    std::function<void()> aoSair = {});

signals:
    // Emitted from the close event, before the window is deleted.
    void fechando();

protected:
    bool event(QEvent* ev) override;
    void closeEvent(QCloseEvent* ev) override;
    // The screen's own read transaction for its grids (created on first use; null without a data
    // module).
    Transacao* transacaoLeitura();

private:
    void verificaPerdaFoco();
    std::unique_ptr<Transacao> m_leitura;
    ConvencoesTeclado* m_teclado;
    bool m_fechaAoPerderFoco = true;
    int m_suspensoes = 0;
};

// Suspends the loss-of-focus close of a screen while it opens a preview, dialog or another screen.
class SuspendeFechamento {
public:
    explicit SuspendeFechamento(TFBase* tela) : m_tela(tela) { if (m_tela) m_tela->suspendeFechamento(); }
    ~SuspendeFechamento() { if (m_tela) m_tela->retomaFechamento(); }
    SuspendeFechamento(const SuspendeFechamento&) = delete;
    SuspendeFechamento& operator=(const SuspendeFechamento&) = delete;

private:
    QPointer<TFBase> m_tela;
};

// One instance per screen kind: InstanciaTela<T>() returns the live instance or null;
// CriaTela<T>(args...) returns it, creating it on first use; MostraTela<T>() also shows, raises
// and activates it. The instance is released when closed (TFBase deletes itself on close).
template <class T>
QPointer<T>& RegistroTela()
{
    static QPointer<T> p;
    return p;
}

template <class T>
T* InstanciaTela()
{
    return RegistroTela<T>().data();
}

template <class T, class... A>
T* CriaTela(A&&... args)
{
    QPointer<T>& p = RegistroTela<T>();
    if (!p)
        p = new T(std::forward<A>(args)...);
    return p.data();
}

// The screen MostraTela showed last (null when it has been closed).
TFBase* UltimaTelaMostrada();
void DefineUltimaTelaMostrada(TFBase* t);

template <class T, class... A>
T* MostraTela(A&&... args)
{
    T* t = CriaTela<T>(std::forward<A>(args)...);
    t->show();
    t->raise();
    t->activateWindow();
    DefineUltimaTelaMostrada(t);
    return t;
}

// Shows `tela` application-modal (its loss-of-focus close off) and returns once it is closed.
// `aoMostrar` runs right after it is shown; `aoFechar` as it closes, before it is released.
void ExecutaTelaModal(TFBase* tela, const std::function<void()>& aoMostrar = {}, const std::function<void()>& aoFechar = {});

// The read-only status box ("MStatus") of the screens that log their work; no focus by Tab.
// `alturaMaxima` 0: no limit.
QPlainTextEdit* NovaCaixaStatus(QWidget* pai, int alturaMaxima = 0);

// The "..." search button beside a code field (no focus by Tab; F2 clicks it through LigaCodigo).
QToolButton* NovoBotaoBusca(const QString& nome, QWidget* pai);

// Runs a screen action: disables `botao` (may be null), runs `acao`, re-enables the button.
// Any exception is caught: the main transaction of DMCUNE() is rolled back when active and the
// error text is shown by MostraErro (ErroBanco::texto(), std::exception::what()).
// Returns true when the action ended without an exception.
bool ExecutaAcao(QWidget* botao, const std::function<void()>& acao);

// Shows a waiting label ("Aguarde, processando...") centred over `tela` for as long as it lives.
class Aguarde {
public:
    explicit Aguarde(QWidget* tela, const QString& texto = QStringLiteral("Aguarde, processando..."));
    ~Aguarde();
    void texto(const QString& t);
    Aguarde(const Aguarde&) = delete;
    Aguarde& operator=(const Aguarde&) = delete;

private:
    QPointer<QLabel> m_label;
};

} // namespace vx
