#include "core/widgets/TFBase.h"
#include "core/Banco.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/widgets/TPersonEdit.h"
#include "core/widgets/UiMensagens.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QChildEvent>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

namespace vx {

// ---- keyboard conventions ----

ConvencoesTeclado::ConvencoesTeclado(QWidget* janela)
    : QObject(janela), m_janela(janela)
{
}

ConvencoesTeclado* ConvencoesTeclado::Instala(QWidget* janela)
{
    auto* c = new ConvencoesTeclado(janela);
    c->instalaEm(janela);
    return c;
}

void ConvencoesTeclado::instalaEm(QObject* o)
{
    o->installEventFilter(this);
    for (QObject* f : o->children())
        if (f->isWidgetType())
            instalaEm(f);
}

void ConvencoesTeclado::ligaBusca(QWidget* campo, QAbstractButton* busca)
{
    m_buscas.insert(campo, busca);
    connect(campo, &QObject::destroyed, this, [this, campo] { m_buscas.remove(campo); });
}

namespace {
bool multiLinha(QObject* o)
{
    return qobject_cast<QTextEdit*>(o) || qobject_cast<QPlainTextEdit*>(o);
}
bool grade(QObject* o)
{
    // The viewport of an item view forwards to the view; both count as the grid.
    if (qobject_cast<QAbstractItemView*>(o))
        return true;
    return o->parent() && qobject_cast<QAbstractItemView*>(o->parent()) &&
           static_cast<QAbstractItemView*>(o->parent())->viewport() == o;
}
// Next (or previous) widget of the window's tab chain that takes focus by Tab.
void moveFoco(QWidget* janela, QWidget* de, bool proximo)
{
    QWidget* w = de;
    for (int guarda = 0; guarda < 10000; ++guarda) {
        w = proximo ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == de)
            return;
        if (w->window() == janela && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() &&
            !w->focusProxy()) {
            w->setFocus(proximo ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool editorDeCombo(QObject* o)
{
    return qobject_cast<QComboBox*>(o) && static_cast<QComboBox*>(o)->view()->isVisible();
}
} // namespace

bool ConvencoesTeclado::eventFilter(QObject* obj, QEvent* ev)
{
    if (ev->type() == QEvent::ChildAdded) {
        auto* ce = static_cast<QChildEvent*>(ev);
        if (ce->child()->isWidgetType())
            instalaEm(ce->child());
        return false;
    }
    if (ev->type() != QEvent::KeyPress || !obj->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(obj);
    // Keys a child ignored propagate to its parents: only the focused widget's own event counts.
    if (w->window() != m_janela || (QApplication::focusWidget() && w != QApplication::focusWidget()))
        return false;
    auto* ke = static_cast<QKeyEvent*>(ev);
    const auto mods = ke->modifiers() & ~Qt::KeypadModifier;
    switch (ke->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods != Qt::NoModifier || grade(w) || multiLinha(w) || editorDeCombo(w))
            return false;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            // A focused button acts on Enter, as it does on Space.
            b->click();
            return true;
        }
        moveFoco(m_janela, w, true);
        return true;
    case Qt::Key_Up:
        if (mods != Qt::NoModifier || grade(w) || multiLinha(w) || editorDeCombo(w))
            return false;
        moveFoco(m_janela, w, false);
        return true;
    case Qt::Key_Escape:
        if (!m_fechaComEsc || mods != Qt::NoModifier || editorDeCombo(w))
            return false;
        m_janela->close();
        return true;
    case Qt::Key_F2: {
        const auto it = m_buscas.constFind(w);
        if (it == m_buscas.constEnd() || !it.value() || !it.value()->isEnabled())
            return false;
        it.value()->click();
        return true;
    }
    default:
        return false;
    }
}

// ---- where windows open ----

namespace {
QPointer<QWidget>& areaRegistrada()
{
    static QPointer<QWidget> a;
    return a;
}

// Positions a window once, on its first show event (seen before the widget's own handler, so a
// dialog skips centring itself over its parent).
class Centralizador : public QObject {
public:
    explicit Centralizador(QWidget* janela) : QObject(janela)
    {
        setObjectName(QLatin1String(kNome));
        janela->installEventFilter(this);
    }
    static constexpr const char* kNome = "vxCentraAoMostrar";

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        if (ev->type() == QEvent::Show && obj == parent()) {
            auto* janela = static_cast<QWidget*>(obj);
            if (!janela->testAttribute(Qt::WA_Moved) && !(janela->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
                CentraNaAreaTrabalho(janela);
            janela->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};
} // namespace

void DefineAreaTrabalho(QWidget* area)
{
    areaRegistrada() = area;
}

QWidget* WidgetAreaTrabalho()
{
    return areaRegistrada().data();
}

QRect AreaTrabalho()
{
    const QWidget* a = areaRegistrada();
    if (a && a->isVisible() && !a->window()->isMinimized() && a->width() > 0 && a->height() > 0)
        return QRect(a->mapToGlobal(QPoint(0, 0)), a->size());
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect();
}

void CentraNaAreaTrabalho(QWidget* janela)
{
    if (!janela || !janela->isWindow())
        return;
    const QRect area = AreaTrabalho();
    if (!area.isValid())
        return;
    // The frame is known only once a window has been shown; until then take the main window's.
    QSize moldura = janela->frameGeometry().size() - janela->size();
    if (moldura.isNull())
        if (const QWidget* a = areaRegistrada(); a && a->window()->isVisible())
            moldura = a->window()->frameGeometry().size() - a->window()->size();
    const QSize total = janela->size() + moldura;
    int x = area.left() + (area.width() - total.width()) / 2;
    int y = area.top() + (area.height() - total.height()) / 2;
    x = qMax(x, area.left());
    y = qMax(y, area.top());
    const QScreen* tela = QGuiApplication::screenAt(area.center());
    if (!tela)
        tela = QGuiApplication::primaryScreen();
    if (tela) {
        const QRect livre = tela->availableGeometry();
        x = qMax(livre.left(), qMin(x, livre.left() + livre.width() - total.width()));
        y = qMax(livre.top(), qMin(y, livre.top() + livre.height() - total.height()));
    }
    janela->move(x, y);
}

void CentraAoMostrar(QWidget* janela)
{
    if (janela && !janela->findChild<QObject*>(QLatin1String(Centralizador::kNome), Qt::FindDirectChildrenOnly))
        new Centralizador(janela);
}

// ---- screen base ----

TFBase::TFBase(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_teclado = ConvencoesTeclado::Instala(this);
    CentraAoMostrar(this);
}

TFBase::~TFBase() = default;

Transacao* TFBase::transacaoLeitura()
{
    if (!m_leitura)
        if (TDMCUNE* dm = DMCUNE())
            m_leitura = std::make_unique<Transacao>(dm->IBDatabase);
    return m_leitura.get();
}

bool TFBase::fechamentoSuspenso() const
{
    return m_suspensoes > 0 || ModalAberto();
}

void TFBase::suspendeEnquantoAberta(QObject* outra)
{
    if (!outra)
        return;
    suspendeFechamento();
    QPointer<TFBase> eu(this);
    connect(outra, &QObject::destroyed, this, [eu] {
        if (eu)
            eu->retomaFechamento();
    });
}

namespace {
QPointer<TFBase>& ultimaMostrada()
{
    static QPointer<TFBase> t;
    return t;
}
} // namespace

TFBase* UltimaTelaMostrada()
{
    return ultimaMostrada().data();
}

void DefineUltimaTelaMostrada(TFBase* t)
{
    ultimaMostrada() = t;
}

bool TFBase::abreTelaVizinha(const QString& item)
{
    const AbreTela abre = TelaRegistrada(item);
    if (!abre)
        return false;
    SuspendeFechamento s(this);
    const QWidgetList antes = QApplication::topLevelWidgets();
    DefineUltimaTelaMostrada(nullptr);
    abre();
    bool nova = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<TFBase*>(w); t && t != this && t->isVisible() && !antes.contains(w)) {
            suspendeEnquantoAberta(t);
            nova = true;
        }
    // A screen that was already open and is only brought to the front.
    if (TFBase* t = UltimaTelaMostrada(); !nova && t && t != this)
        suspendeEnquantoAberta(t);
    return true;
}

bool TFBase::event(QEvent* ev)
{
    if (ev->type() == QEvent::WindowDeactivate && m_fechaAoPerderFoco && !fechamentoSuspenso()) {
        // The newly active window is known only after the deactivation has been processed.
        QPointer<TFBase> eu(this);
        QTimer::singleShot(0, this, [eu] {
            if (eu)
                eu->verificaPerdaFoco();
        });
    }
    return QWidget::event(ev);
}

void TFBase::verificaPerdaFoco()
{
    if (!m_fechaAoPerderFoco || fechamentoSuspenso() || !isVisible() || isActiveWindow())
        return;
    QWidget* ativa = QApplication::activeWindow();
    // Only another window of the program takes the screen down; a window of ours opened from
    // this screen (a child window) does not.
    if (!ativa || ativa == this || isAncestorOf(ativa))
        return;
    for (QWidget* p = ativa->parentWidget(); p; p = p->parentWidget())
        if (p == this)
            return;
    close();
}

void TFBase::closeEvent(QCloseEvent* ev)
{
    emit fechando();
    QWidget::closeEvent(ev);
}

void TFBase::LigaCodigo(QLineEdit* campo, QAbstractButton* busca, QLabel* rotuloNome,
                        std::function<QString(const QString&)> nome, std::function<void()> aoSair)
{
    if (busca)
        m_teclado->ligaBusca(campo, busca);
    auto aoDeixar = [campo, rotuloNome = QPointer<QLabel>(rotuloNome), nome, aoSair] {
        if (nome) {
            QString n;
            try {
                auto* pe = qobject_cast<TPersonEdit*>(campo);
                n = nome(pe ? pe->text() : campo->text());
            } catch (const std::exception& e) {
                MostraExcecao(e, QStringLiteral("Erro, verifique os dados digitados."));
            }
            if (rotuloNome)
                rotuloNome->setText(n);
        }
        if (aoSair)
            aoSair();
    };
    if (auto* pe = qobject_cast<TPersonEdit*>(campo))
        connect(pe, &TPersonEdit::saiu, this, aoDeixar);
    else
        connect(campo, &QLineEdit::editingFinished, this, aoDeixar);
}

QToolButton* NovoBotaoBusca(const QString& nome, QWidget* pai)
{
    auto* b = new QToolButton(pai);
    b->setObjectName(nome);
    b->setText(QStringLiteral("..."));
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolTip(QStringLiteral("[F2] Procurar"));
    return b;
}

// ---- actions ----

bool ExecutaAcao(QWidget* botao, const std::function<void()>& acao)
{
    QPointer<QWidget> b(botao);
    if (b)
        b->setEnabled(false);
    bool ok = false;
    QString erro;
    try {
        acao();
        ok = true;
    } catch (const std::exception& e) {
        erro = TextoErro(e);
    }
    if (!ok) {
        if (TDMCUNE* dm = DMCUNE()) {
            try {
                if (dm->IBTransaction.ativa())
                    dm->IBTransaction.rollback();
            } catch (const std::exception&) {
                // the connection may be gone; the original error is what matters
            }
        }
    }
    if (b)
        b->setEnabled(true);
    if (!ok)
        MostraErro(erro);
    return ok;
}

// ---- waiting label ----

Aguarde::Aguarde(QWidget* tela, const QString& t)
{
    if (!tela)
        return;
    m_label = new QLabel(t, tela);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setFrameShape(QFrame::Box);
    m_label->setAutoFillBackground(true);
    QFont f = m_label->font();
    f.setBold(true);
    m_label->setFont(f);
    texto(t);
    m_label->show();
    m_label->raise();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Aguarde::texto(const QString& t)
{
    if (!m_label)
        return;
    m_label->setText(t);
    m_label->adjustSize();
    const QSize s = m_label->size() + QSize(40, 20);
    m_label->resize(s);
    QWidget* p = m_label->parentWidget();
    m_label->move((p->width() - s.width()) / 2, (p->height() - s.height()) / 2);
    m_label->repaint();
}

Aguarde::~Aguarde()
{
    delete m_label.data();
}

QPlainTextEdit* NovaCaixaStatus(QWidget* pai, int alturaMaxima)
{
    auto* c = new QPlainTextEdit(pai);
    c->setObjectName(QStringLiteral("MStatus"));
    c->setReadOnly(true);
    c->setFocusPolicy(Qt::NoFocus);
    if (alturaMaxima > 0)
        c->setMaximumHeight(alturaMaxima);
    return c;
}

void ExecutaTelaModal(TFBase* tela, const std::function<void()>& aoMostrar, const std::function<void()>& aoFechar)
{
    tela->setFechaAoPerderFoco(false);
    tela->setWindowModality(Qt::ApplicationModal);
    bool fechou = false;
    QEventLoop laco;
    QObject::connect(tela, &TFBase::fechando, &laco, [&] {
        if (aoFechar)
            aoFechar();
        fechou = true;
        laco.quit();
    });
    GuardaModal modal;
    tela->show();
    tela->raise();
    tela->activateWindow();
    if (aoMostrar)
        aoMostrar();
    if (!fechou)
        laco.exec();
}

} // namespace vx
