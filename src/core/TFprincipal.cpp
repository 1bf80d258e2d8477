#include "core/TFprincipal.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/TFCadSenhas.h"
#include "core/TFFilRelLogs.h"
#include "core/TFSplash.h"
#include "core/TFUsuario.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/widgets/TFBase.h"
#include "core/widgets/UiMensagens.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

namespace {
TFprincipal* g_principal = nullptr;

const char* const kItensInternos[] = {"CadastrodeUsurios1", "EncerraroSistema1", "Configuraes2"};

bool itemInterno(const QString& nome)
{
    for (const char* n : kItensInternos)
        if (nome == QLatin1String(n))
            return true;
    return false;
}

QToolButton* botaoBarra(const QString& nome, const QString& legenda, const QString& dica, QWidget* pai)
{
    auto* b = new QToolButton(pai);
    b->setObjectName(nome);
    b->setText(legenda);
    b->setToolTip(dica);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(true);
    b->setFixedHeight(58);
    b->setMinimumWidth(112);
    QFont f = b->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 1);
    b->setFont(f);
    return b;
}
} // namespace

QString MensagemFalhaAtualizacao()
{
    return QStringLiteral("Falha na atualização do Banco de Dados!  Envie um e-mail para ") + QLatin1String(kEmailSuporte)
        + QStringLiteral(" relatando o problema") + QLatin1Char('\n')
        + QStringLiteral("Se a falha se repetir ao reiniciar, restaure a última cópia de segurança (gbak -c) "
                         "antes de usar o sistema.");
}

TFprincipal* TFprincipal::atual()
{
    return g_principal;
}

TFprincipal::TFprincipal(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TFprincipal"));
    setWindowTitle(QStringLiteral("VORNEX"));
    if (!g_principal)
        g_principal = this;
    atualizaEsquema = [](Transacao& tr, const Progresso& p) { return AtualizaEsquema(tr, p); };
    executaLogin = [this] { return loginPadrao(); };
    if (!TemTela(QStringLiteral("CadastrodeUsurios1")))
        RegistraTela(QStringLiteral("CadastrodeUsurios1"), [] { TFCadSenhas::Abre(); });
    if (!TemTela(QStringLiteral("RelatriodeLog1")))
        RegistraTela(QStringLiteral("RelatriodeLog1"), [] { MostraTela<TFFilRelLogs>(); });
    constroiMenu();
    constroiCabecalho();
    AtualizaDisponibilidade();
    resize(1024, 700);
}

TFprincipal::~TFprincipal()
{
    if (g_principal == this)
        g_principal = nullptr;
}

void TFprincipal::constroiMenu()
{
    for (const ItemMenu& top : ArvoreMenuPrincipal()) {
        QMenu* m = menuBar()->addMenu(top.legenda);
        m->setObjectName(top.nome);
        m->menuAction()->setObjectName(top.nome);
        m->setToolTipsVisible(true);
        m_menus.insert(top.nome, m);
        m_acoes.insert(top.nome, m->menuAction());
        adicionaItens(m, top.filhos);
    }
}

void TFprincipal::adicionaItens(QMenu* pai, const QVector<ItemMenu>& itens)
{
    for (const ItemMenu& i : itens) {
        if (i.separador) {
            pai->addSeparator();
            continue;
        }
        if (i.submenu) {
            QMenu* m = pai->addMenu(i.legenda);
            m->setObjectName(i.nome);
            m->menuAction()->setObjectName(i.nome);
            m->setToolTipsVisible(true);
            m_menus.insert(i.nome, m);
            m_acoes.insert(i.nome, m->menuAction());
            adicionaItens(m, i.filhos);
            continue;
        }
        QAction* a = pai->addAction(i.legenda);
        a->setObjectName(i.nome);
        m_acoes.insert(i.nome, a);
        const QString nome = i.nome;
        connect(a, &QAction::triggered, this, [this, nome] { AbreItem(nome); });
    }
}

void TFprincipal::constroiCabecalho()
{
    auto* central = new QWidget(this);
    auto* vl = new QVBoxLayout(central);
    vl->setContentsMargins(0, 0, 0, 0);
    vl->setSpacing(0);

    auto* faixa = new QFrame(central);
    faixa->setObjectName(QStringLiteral("PCabecalho"));
    faixa->setFrameShape(QFrame::StyledPanel);
    faixa->setAutoFillBackground(true);
    auto* hl = new QHBoxLayout(faixa);
    hl->setContentsMargins(6, 4, 6, 4);
    m_barra = new QHBoxLayout;
    m_barra->setSpacing(4);
    m_sbPessoas = botaoBarra(QStringLiteral("SBPessoas"), QStringLiteral("Cad.Pacientes"),
                             QStringLiteral("[F12] Cadastro de Pessoas"), faixa);
    m_sbProcedimentos = botaoBarra(QStringLiteral("SBProcedimentos"), QStringLiteral("Procedimentos"),
                                   QStringLiteral("[F11] Marcação de Procedimentos"), faixa);
    m_sbAgenda = botaoBarra(QStringLiteral("SBAgenda"), QStringLiteral("Agenda"),
                            QStringLiteral("[F11] Marcação de Procedimentos"), faixa);
    m_barra->addWidget(m_sbPessoas);
    m_barra->addWidget(m_sbProcedimentos);
    m_barra->addWidget(m_sbAgenda);
    hl->addLayout(m_barra);
    hl->addSpacing(16);
    auto* linhas = new QVBoxLayout;
    m_lInstalacao = new QLabel(faixa);
    m_lInstalacao->setObjectName(QStringLiteral("LInstalacao"));
    QFont f = m_lInstalacao->font();
    f.setPointSize(f.pointSize() + 5);
    f.setBold(true);
    m_lInstalacao->setFont(f);
    m_lCalendario = new QLabel(faixa);
    m_lCalendario->setObjectName(QStringLiteral("LCalendario"));
    QFont fc = m_lCalendario->font();
    fc.setPointSize(fc.pointSize() + 1);
    m_lCalendario->setFont(fc);
    linhas->addWidget(m_lInstalacao);
    linhas->addWidget(m_lCalendario);
    hl->addLayout(linhas, 1);
    m_lNtp = new QLabel(QStringLiteral("NTP OK"), faixa);
    m_lNtp->setObjectName(QStringLiteral("LNtpOk"));
    QFont fn = m_lNtp->font();
    fn.setPointSize(qMax(6, fn.pointSize() - 2));
    m_lNtp->setFont(fn);
    m_lNtp->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    m_lNtp->hide();
    hl->addWidget(m_lNtp, 0, Qt::AlignRight | Qt::AlignBottom);
    vl->addWidget(faixa);

    auto* fundo = new QWidget(central);
    m_area = fundo;
    DefineAreaTrabalho(fundo);
    auto* gl = new QGridLayout(fundo);
    gl->setContentsMargins(0, 0, 0, 0);
    m_imagem = new QLabel(fundo);
    m_imagem->setObjectName(QStringLiteral("Image1"));
    m_imagem->setScaledContents(true);
    m_imagem->setMinimumSize(1, 1);
    m_imagem->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    gl->addWidget(m_imagem, 0, 0);
    m_lFalha = new QLabel(MensagemFalhaAtualizacao(), fundo);
    m_lFalha->setObjectName(QStringLiteral("LFalhaBanco"));
    m_lFalha->setWordWrap(true);
    m_lFalha->setAlignment(Qt::AlignCenter);
    QFont ff = m_lFalha->font();
    ff.setPointSize(ff.pointSize() + 8);
    ff.setBold(true);
    m_lFalha->setFont(ff);
    m_lFalha->setStyleSheet(QStringLiteral("color: red;"));
    m_lFalha->hide();
    gl->addWidget(m_lFalha, 0, 0, Qt::AlignCenter);
    vl->addWidget(fundo, 1);
    setCentralWidget(central);

    connect(m_sbPessoas, &QToolButton::clicked, this, &TFprincipal::SBPessoasClick);
    connect(m_sbProcedimentos, &QToolButton::clicked, this, &TFprincipal::SBProcedimentosClick);
    connect(m_sbAgenda, &QToolButton::clicked, this, &TFprincipal::SBAgendaClick);
    auto* f12 = new QShortcut(QKeySequence(Qt::Key_F12), this);
    connect(f12, &QShortcut::activated, this, [this] {
        if (m_sbPessoas->isVisible())
            SBPessoasClick();
    });
    auto* f11 = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(f11, &QShortcut::activated, this, [this] {
        if (m_sbProcedimentos->isVisible())
            SBProcedimentosClick();
    });
}

QList<QToolButton*> TFprincipal::botoesBarra() const
{
    QList<QToolButton*> r;
    for (int i = 0; i < m_barra->count(); ++i)
        if (auto* b = qobject_cast<QToolButton*>(m_barra->itemAt(i)->widget()))
            r << b;
    return r;
}

void TFprincipal::FormCreate()
{
    CarregaConfiguracao();
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    m_lNtp->hide();
    CalculaDataAtual(Geral::NTP());
    m_lNtp->setVisible(SessaoAtual().NtpOk);
}

QAction* TFprincipal::acao(const QString& nome) const
{
    return m_acoes.value(nome);
}

QMenu* TFprincipal::menu(const QString& nome) const
{
    return m_menus.value(nome);
}

bool TFprincipal::itemVisivel(const QString& nome) const
{
    const QAction* a = acao(nome);
    if (!a || !a->isVisible())
        return false;
    for (const QString& acima : AncestraisMenu(nome)) {
        const QAction* p = acao(acima);
        if (p && !p->isVisible())
            return false;
    }
    return true;
}

void TFprincipal::AtualizaDisponibilidade()
{
    for (auto it = m_acoes.cbegin(); it != m_acoes.cend(); ++it) {
        if (m_menus.contains(it.key()))
            continue;
        const bool disponivel = itemInterno(it.key()) || TemTela(TelaDoItem(it.key(), SessaoAtual().PerfilConsorcio));
        it.value()->setEnabled(disponivel);
        it.value()->setToolTip(disponivel ? QString() : QStringLiteral("Tela ainda não disponível nesta versão"));
    }
}

void TFprincipal::aplicaVisibilidade()
{
    for (auto it = m_acoes.cbegin(); it != m_acoes.cend(); ++it)
        it.value()->setVisible(!m_ocultosPermissao.contains(it.key()) && !m_ocultosPapel.contains(it.key()));
}

void TFprincipal::HabilitaMenus()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm) {
        m_ocultosPermissao.clear();
        aplicaVisibilidade();
        return;
    }
    HabilitaMenus(dm->IBTransaction, SessaoAtual().UsuarioLogado);
}

void TFprincipal::HabilitaMenus(Transacao& tr, const QString& usuario)
{
    m_ocultosPermissao.clear();
    aplicaVisibilidade();
    try {
        const QVector<LinhaMenu> linhas = LeMenusUsuario(tr, usuario);
        const QSet<QString> existentes(m_acoes.keyBegin(), m_acoes.keyEnd());
        for (const QString& nome : MenusOcultos(linhas, existentes)) {
            m_ocultosPermissao.insert(nome);
            m_acoes.value(nome)->setVisible(false);
        }
    } catch (const ErroBanco& e) {
        MostraErro(e.texto(), QStringLiteral("Erro, verifique os dados digitados."));
    }
}

void TFprincipal::MostraUsuarioLogado()
{
    setWindowTitle(TituloProduto() + QStringLiteral("      Versão: ") + QLatin1String(VersaoPrograma)
                   + QStringLiteral("   Usuário: ") + SessaoAtual().UsuarioLogado);
}

void TFprincipal::AplicaPapel()
{
    const RegrasPapel r = RegrasDoPapel(PapelInstalacao(), SessaoAtual().PerfilConsorcio);
    m_ocultosPapel = r.menusOcultos;
    aplicaVisibilidade();
    m_sbAgenda->setVisible(r.agendaVisivel);
    m_sbPessoas->setVisible(r.pessoasVisivel);
    m_sbProcedimentos->setText(r.legendaProcedimentos);
    if (r.procedimentosNoLugarDePessoas && m_barra->indexOf(m_sbProcedimentos) > m_barra->indexOf(m_sbPessoas)) {
        m_barra->removeWidget(m_sbProcedimentos);
        m_barra->insertWidget(m_barra->indexOf(m_sbPessoas), m_sbProcedimentos);
    }
    AtualizaCabecalho();
}

void TFprincipal::AtualizaCabecalho()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm) {
        m_lInstalacao->setText(EhConsorcio() ? SessaoAtual().UsuarioInstalacao : QString());
        return;
    }
    m_lInstalacao->setText(CabecalhoInstalacao(dm->IBTLivre, SessaoAtual().UsuarioInstalacao));
    try {
        dm->IBTLivre.commit();
    } catch (const ErroBanco&) {
    }
}

void TFprincipal::AtualizaBase()
{
    switch (AcaoAtualizaBase(Geral::USUARIO())) {
    case AcaoBase::Cabecalho:
        AtualizaCabecalho();
        break;
    case AcaoBase::RecepcaoMunicipio:
        if (AbreTela f = TelaRegistrada(QLatin1String(telas::RecepcaoMunicipio)))
            f();
        break;
    case AcaoBase::RecepcaoPrestador:
        if (AbreTela f = TelaRegistrada(QLatin1String(telas::RecepcaoPrestador)))
            f();
        break;
    case AcaoBase::Nenhuma:
        break;
    }
}

void TFprincipal::VerCalendario()
{
    SessaoAtual().CalendarioAtual = Calendario{};
    m_lCalendario->clear();
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    try {
        vx::VerCalendario(dm->IBTLivre);
        dm->IBTLivre.commit();
    } catch (const ErroBanco& e) {
        MostraErro(e.texto());
    }
    m_lCalendario->setText(LinhaCalendario());
}

void TFprincipal::CarregaLogo()
{
    const QPixmap p(CaminhoInstalacao(QStringLiteral("logoconsorcio.jpg")));
    if (p.isNull())
        m_imagem->clear();
    else
        m_imagem->setPixmap(p);
}

void TFprincipal::MostraFalhaBanco(bool mostra)
{
    m_lFalha->setVisible(mostra);
}

void TFprincipal::BloqueiaVersao()
{
    m_lFalha->setText(QStringLiteral("Feche o sistema e Atualize a Versão!"));
    m_lFalha->show();
    for (const char* nome : {"Municpios1", "Entidades1"}) {
        m_ocultosPapel.insert(QLatin1String(nome));
        if (QAction* a = acao(QLatin1String(nome)))
            a->setVisible(false);
    }
}

bool TFprincipal::falhaBancoVisivel() const
{
    return !m_lFalha->isHidden();
}

bool TFprincipal::loginPadrao()
{
    if (m_login) {
        m_login->setPrincipal(this);
        return ExecutaModal(m_login) == QDialog::Accepted;
    }
    TFUsuario dlg(this, this);
    return ExecutaModal(&dlg) == QDialog::Accepted;
}

bool TFprincipal::FormShow()
{
    m_formShowFeito = true;
    {
        TFSplash splash;
        splash.setLinha(QStringLiteral("Atualizando Banco de Dados..."));
        splash.escondeGauge();
        splash.show();
        QCoreApplication::processEvents();
        CarregaIdentidade();
        if (TDMCUNE* dm = DMCUNE()) {
            ResultadoCadeia r;
            try {
                r = atualizaEsquema(dm->IBTransaction, [&splash](const QString& l) { splash.setLinha(l); });
            } catch (const std::exception& e) {
                // Whatever escapes the chain stops it; start-up goes on with the failure label.
                try {
                    dm->IBTransaction.rollback();
                } catch (...) {
                }
                r.estado = ResultadoCadeia::Estado::Falhou;
                r.erro = QString::fromLocal8Bit(e.what());
            }
            if (r.estado == ResultadoCadeia::Estado::VersaoMaior) {
                splash.close();
                Avisa(MensagemVersaoMaior(r.versaoInicial));
                return false;
            }
            if (r.estado == ResultadoCadeia::Estado::Falhou)
                qWarning("Falha na atualização do banco (passo %s): %s", qPrintable(r.passoFalho), qPrintable(r.erro));
            MostraFalhaBanco(r.estado == ResultadoCadeia::Estado::Falhou);
        }
        splash.hide();
        splash.close();
    }
    if (SessaoAtual().UsuarioLogado.isEmpty()) {
        if (!executaLogin || !executaLogin())
            return false;
    }
    CarregaLogo();
    AplicaPapel();
    const QChar papel = PapelInstalacao();
    if (papel == QLatin1Char('M') || papel == QLatin1Char('E') || papel == QLatin1Char('P')) {
        QDate ultima;
        bool lida = false;
        if (TDMCUNE* dm = DMCUNE()) {
            try {
                ultima = LeDataUltRetransmissao(dm->IBTLivre);
                dm->IBTLivre.commit();
                lida = true;
            } catch (const ErroBanco& e) {
                MostraErro(e.texto());
            }
        }
        if (lida && DeveRetransmitir(papel, DataAtualDate(), ultima)) {
            if (AbreTela f = TelaRegistrada(QLatin1String(telas::Transmissao)))
                f();
        }
    }
    if (DeveAtualizaBase(DataAtualDate()))
        AtualizaBase();
    VerCalendario();
    AtualizaDisponibilidade();
    return true;
}

void TFprincipal::AbreItem(const QString& nome)
{
    const QString& usuario = SessaoAtual().UsuarioLogado;
    if (nome == QLatin1String("CadastrodeUsurios1")
        && !PodeAbrirCadastroRestrito(SessaoAtual().UsuarioInstalacao, usuario)) {
        Avisa(MensagemSemPermissaoUsuarios(usuario));
        return;
    }
    if (nome == QLatin1String("CadastrodeUnidadesdeAtendimento1")
        && !PodeAbrirCadastroRestrito(SessaoAtual().UsuarioInstalacao, usuario)) {
        Avisa(MensagemSemPermissaoUnidades(usuario));
        return;
    }
    if (nome == QLatin1String("EncerraroSistema1")) {
        close();
        return;
    }
    if (AbreTela f = TelaRegistrada(TelaDoItem(nome, SessaoAtual().PerfilConsorcio)))
        f();
    if (nome == QLatin1String("SeleodoCalendrioAtual1"))
        VerCalendario();
}

void TFprincipal::SBPessoasClick()
{
    if (itemVisivel(QStringLiteral("CadastrodePessoas1")))
        AbreItem(QStringLiteral("CadastrodePessoas1"));
}

void TFprincipal::SBProcedimentosClick()
{
    if (itemVisivel(QStringLiteral("Municpios1"))) {
        if (itemVisivel(QStringLiteral("MarcaodeExames1")))
            AbreItem(QStringLiteral("MarcaodeExames1"));
    } else if (itemVisivel(QStringLiteral("Entidades1"))) {
        if (itemVisivel(QStringLiteral("RealizaodeExames1")))
            AbreItem(QStringLiteral("RealizaodeExames1"));
    }
}

void TFprincipal::SBAgendaClick()
{
    if (itemVisivel(QStringLiteral("Agendamento2")))
        AbreItem(QStringLiteral("Agendamento2"));
}

void TFprincipal::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    AtualizaDisponibilidade();
    if (m_formShowAoMostrar && !m_formShowFeito) {
        m_formShowFeito = true;
        QTimer::singleShot(0, this, [this] {
            if (!FormShow())
                QCoreApplication::exit(0);
        });
    }
}

void TFprincipal::closeEvent(QCloseEvent* e)
{
    if (!m_fechando) {
        m_fechando = true;
        if (AbreTela f = TelaRegistrada(QLatin1String(telas::Backup)))
            f();
    }
    e->accept();
    QMainWindow::closeEvent(e);
    emit fechada();
}

} // namespace vx
