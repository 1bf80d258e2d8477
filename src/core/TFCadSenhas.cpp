#include "core/TFCadSenhas.h"
#include "core/Banco.h"
#include "core/MenuPrincipal.h"
#include "core/Mensagens.h"
#include "core/TFProcura.h"
#include "core/TFprincipal.h"
#include "core/UDMCune.h"
#include "core/UProcuraNome.h"
#include "core/UVariaveis.h"
#include "core/Usuarios.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace vx {

namespace {
void listaDoMenu(const QMenu* m, int nivel, QStringList& saida)
{
    for (const QAction* a : m->actions()) {
        if (a->isSeparator() || a->objectName().isEmpty())
            continue;
        saida << QString(nivel * 3, QLatin1Char(' ')) + a->objectName();
        if (a->menu() && nivel < 2)
            listaDoMenu(a->menu(), nivel + 1, saida);
    }
}

TPersonEdit* campoMinusculo(const QString& nome, const QString& rotulo, int max, bool senha, QWidget* pai)
{
    auto* e = new TPersonEdit(TPersonEdit::peTexto, rotulo, pai);
    e->setObjectName(nome);
    e->setValidar(false);
    e->setCaixa(TPersonEdit::caixaMinuscula);
    e->setMaxLength(max);
    if (senha) {
        e->setEchoMode(QLineEdit::Password);
        e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    }
    return e;
}
} // namespace

QStringList ListaPermissoesDaJanela()
{
    TFprincipal* p = TFprincipal::atual();
    if (!p)
        return ListaPermissoesMenu();
    QStringList r;
    for (const QAction* a : p->menuBar()->actions()) {
        if (a->isSeparator() || a->objectName().isEmpty())
            continue;
        r << a->objectName();
        if (a->menu())
            listaDoMenu(a->menu(), 1, r);
    }
    return r;
}

TFCadSenhas::TFCadSenhas(QWidget* parent)
    : TFBase(parent)
{
    setObjectName(QStringLiteral("TFCadSenhas"));
    setWindowTitle(QStringLiteral("Cadastro de Usuários e Senhas"));

    m_usuario = campoMinusculo(QStringLiteral("PEUsuario"), QStringLiteral("Usuário:"), 15, false, this);
    m_usuario->setRequerido(true);
    m_senha = campoMinusculo(QStringLiteral("PESenha"), QStringLiteral("Nova Senha:"), 15, true, this);
    m_confirma = campoMinusculo(QStringLiteral("PEConfirmaSenha"), QStringLiteral("Repetir Senha:"), 15, true, this);
    m_lSenha = m_senha->editLabel();
    m_lConfirma = m_confirma->editLabel();
    m_unidade = new TPersonEdit(TPersonEdit::peTexto, QStringLiteral("Unidade Atend.:"), this);
    m_unidade->setObjectName(QStringLiteral("PECodUnidade"));
    m_unidade->setValidar(false);
    m_unidade->setMaxLength(7);
    m_sbUnidade = new QToolButton(this);
    m_sbUnidade->setObjectName(QStringLiteral("SBUnidade"));
    m_sbUnidade->setText(QStringLiteral("..."));
    m_nomeUnidade = new QLabel(this);
    m_nomeUnidade->setObjectName(QStringLiteral("LNomeUnidade"));
    m_podeFaturar = new QCheckBox(QStringLiteral("Faturamento"), this);
    m_podeFaturar->setObjectName(QStringLiteral("CBPodeFaturar"));
    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("LInfo"));
    QFont fi = m_info->font();
    fi.setBold(true);
    m_info->setFont(fi);
    m_menus = new QListWidget(this);
    m_menus->setObjectName(QStringLiteral("CLBMenus"));
    m_menus->setFlow(QListView::TopToBottom);
    m_menus->setWrapping(true);
    m_menus->setResizeMode(QListView::Adjust);
    // Long component names lose their middle, not the number that tells them apart.
    m_menus->setTextElideMode(Qt::ElideMiddle);
    m_todos = new QCheckBox(QStringLiteral("Selecionar todos"), this);
    m_todos->setObjectName(QStringLiteral("CheckBox1"));
    m_gravar = new TPersonBtn(QStringLiteral("&Gravar"), this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    m_excluir = new TPersonBtn(QStringLiteral("&Excluir"), this);
    m_excluir->setObjectName(QStringLiteral("PBtnExcluir"));
    m_excluir->setVerRequeridos(false);

    // Fixed layout, labels placed by the fields.
    const int xCampo = 110;
    m_usuario->setGeometry(xCampo, 12, 150, 24);
    m_info->setGeometry(xCampo + 160, 12, 200, 24);
    m_senha->setGeometry(xCampo, 42, 150, 24);
    m_confirma->setGeometry(xCampo, 72, 150, 24);
    m_unidade->setGeometry(xCampo, 102, 80, 24);
    m_sbUnidade->setGeometry(xCampo + 84, 102, 26, 24);
    m_nomeUnidade->setGeometry(xCampo + 116, 102, 340, 24);
    m_podeFaturar->setGeometry(xCampo, 132, 150, 24);
    m_gravar->setGeometry(860, 12, 120, 30);
    m_excluir->setGeometry(860, 48, 120, 30);
    m_menus->setGeometry(10, 166, 990, 470);
    m_todos->setGeometry(10, 642, 200, 24);
    m_menus->setGridSize(QSize(244, 19));
    setFixedSize(1010, 674);

    LigaCodigo(m_unidade, m_sbUnidade, m_nomeUnidade, [](const QString& codigo) -> QString {
        TDMCUNE* dm = DMCUNE();
        if (!dm)
            return {};
        Consulta q(dm->IBTLivre);
        const QString nome = NomePorCodigo(q, codigo, QStringLiteral("codigo"), QStringLiteral("nome"),
                                           QStringLiteral("unidades"));
        q.fecha();
        dm->IBTLivre.commit();
        return nome;
    });
    connect(m_usuario, &TPersonEdit::saiu, this, &TFCadSenhas::PEUsuarioExit);
    connect(m_sbUnidade, &QToolButton::clicked, this, &TFCadSenhas::SBUnidadeClick);
    connect(m_gravar, &TPersonBtn::Acao, this, &TFCadSenhas::PBtnGravarClick);
    connect(m_excluir, &TPersonBtn::Acao, this, &TFCadSenhas::PBtnExcluirClick);
    connect(m_todos, &QCheckBox::clicked, this, &TFCadSenhas::CheckBox1Click);
    FormShow();
}

TFCadSenhas::~TFCadSenhas() = default;

TFCadSenhas* TFCadSenhas::Abre()
{
    return MostraTela<TFCadSenhas>();
}

TFCadSenhas* TFCadSenhas::instancia()
{
    return InstanciaTela<TFCadSenhas>();
}

void TFCadSenhas::showEvent(QShowEvent* e)
{
    TFBase::showEvent(e);
    FormShow();
}

void TFCadSenhas::FormShow()
{
    LimpaEdits();
    const bool adm = SessaoAtual().UsuarioLogado.toUpper().contains(QLatin1String("ADM"));
    m_unidade->setEnabled(adm);
    m_sbUnidade->setEnabled(adm);
    m_menus->clear();
    for (const QString& e : ListaPermissoesDaJanela()) {
        auto* it = new QListWidgetItem(e, m_menus);
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        it->setCheckState(Qt::Unchecked);
        it->setToolTip(e.trimmed());
    }
    m_usuario->setFocus();
}

void TFCadSenhas::LimpaEdits()
{
    m_usuario->clear();
    m_senha->clear();
    m_confirma->clear();
    m_unidade->clear();
    m_nomeUnidade->clear();
    m_podeFaturar->setChecked(false);
    m_todos->setChecked(false);
    m_info->clear();
    mostraNovo(true);
    for (int i = 0; i < m_menus->count(); ++i)
        m_menus->item(i)->setCheckState(Qt::Unchecked);
}

void TFCadSenhas::mostraNovo(bool novo)
{
    m_lSenha->setText(novo ? QStringLiteral("Nova Senha:") : QStringLiteral("Senha Atual:"));
    m_lConfirma->setText(novo ? QStringLiteral("Repetir Senha:") : QStringLiteral("Nova Senha:"));
}

void TFCadSenhas::PEUsuarioExit()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    DadosUsuario u;
    try {
        u = CarregaUsuario(dm->IBTransaction, m_usuario->text());
    } catch (const ErroBanco& e) {
        MostraErro(e.texto());
        return;
    }
    mostraNovo(!u.existe);
    m_info->setText(u.existe ? QStringLiteral("(Usuário já cadastrado)") : QStringLiteral("(Usuário Novo)"));
    m_podeFaturar->setChecked(u.existe && u.podeFaturar);
    if (u.existe) {
        m_unidade->setText(u.codUnidade);
        PECodUnidadeExit();
    }
    const QVector<bool> m = MarcasUsuario(u, entradas());
    for (int i = 0; i < m_menus->count(); ++i)
        m_menus->item(i)->setCheckState(m.value(i) ? Qt::Checked : Qt::Unchecked);
}

void TFCadSenhas::PECodUnidadeExit()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    try {
        Consulta q(dm->IBTLivre);
        m_nomeUnidade->setText(NomePorCodigo(q, m_unidade->text(), QStringLiteral("codigo"), QStringLiteral("nome"),
                                             QStringLiteral("unidades")));
        q.fecha();
        dm->IBTLivre.commit();
    } catch (const std::exception&) {
        m_nomeUnidade->clear();
    }
}

void TFCadSenhas::SBUnidadeClick()
{
    if (!m_unidade->isEnabled())
        return;
    SuspendeFechamento s(this);
    const QString codigo = ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("unidades"));
    if (!codigo.isEmpty()) {
        m_unidade->setText(codigo);
        PECodUnidadeExit();
    }
}

QStringList TFCadSenhas::entradas() const
{
    QStringList r;
    for (int i = 0; i < m_menus->count(); ++i)
        r << m_menus->item(i)->text();
    return r;
}

QVector<bool> TFCadSenhas::marcas() const
{
    QVector<bool> r;
    for (int i = 0; i < m_menus->count(); ++i)
        r << (m_menus->item(i)->checkState() == Qt::Checked);
    return r;
}

void TFCadSenhas::setMarca(const QString& entrada, bool marcada)
{
    for (int i = 0; i < m_menus->count(); ++i)
        if (m_menus->item(i)->text() == entrada)
            m_menus->item(i)->setCheckState(marcada ? Qt::Checked : Qt::Unchecked);
}

void TFCadSenhas::CheckBox1Click()
{
    const Qt::CheckState s = m_todos->isChecked() ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < m_menus->count(); ++i)
        m_menus->item(i)->setCheckState(s);
}

void TFCadSenhas::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    GravacaoUsuario g;
    g.usuario = m_usuario->text();
    g.senha = m_senha->text();
    g.confirmaSenha = m_confirma->text();
    g.codUnidade = m_unidade->text();
    g.podeFaturar = m_podeFaturar->isChecked();
    g.entradas = entradas();
    g.marcadas = marcas();
    QString erro;
    const bool ok = ExecutaAcao(m_gravar, [&] { erro = GravaUsuario(dm->IBTransaction, g); });
    if (!ok)
        return;
    if (!erro.isEmpty()) {
        MostraErro(erro, QString());
        return;
    }
    LimpaEdits();
    m_usuario->setFocus();
}

void TFCadSenhas::PBtnExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    const QString usuario = m_usuario->text();
    if (!dm || usuario.isEmpty())
        return;
    if (ExecutaAcao(m_excluir, [&] { ExcluiUsuario(dm->IBTransaction, usuario); }))
        LimpaEdits();
}

} // namespace vx
