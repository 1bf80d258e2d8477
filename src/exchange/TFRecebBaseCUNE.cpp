#include "exchange/TFRecebBaseCUNE.h"
#include "core/Banco.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "exchange/ImportacaoMensagens.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/UiProgressoFtp.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(RecepodeBasedeMunicpioEntidades1, [] { TFRecebBaseCUNE::Abre(); });

TFRecebBaseCUNE::TFRecebBaseCUNE(QWidget* parent) : TFBase(parent), m_erros(std::make_unique<LogErros>())
{
    setObjectName(QStringLiteral("TFRecebBaseCUNE"));
    setWindowTitle(QStringLiteral("Recepção de Lançamentos nos Municípios e Entidades"));
    resize(620, 440);
    auto* v = new QVBoxLayout(this);
    auto* explica = new QLabel(QStringLiteral("Será atualizada a base de dados de Autorização e Realização de Procedimentos"), this);
    explica->setWordWrap(true);
    v->addWidget(explica);

    auto* linha = new QHBoxLayout;
    m_periodo = new TPersonEdit(TPersonEdit::peTexto, QStringLiteral("Período (Ano/Mês):"), this);
    m_periodo->setObjectName(QStringLiteral("MEPeriodo"));
    m_periodo->setMascara(QStringLiteral("9999-99;_"), QString::fromLatin1(kPeriodoVazio));
    m_periodo->setFixedWidth(80);
    m_periodo->setText(PeriodoDe(DataAtualDate()));
    // The caption is a label of its own: under the CUNE profile it shows the calendar with the field hidden.
    m_periodo->setLabeled(false);
    m_lPeriodo = new QLabel(QStringLiteral("Período (Ano/Mês):"), this);
    m_lPeriodo->setObjectName(QStringLiteral("LPeriodo"));
    m_lPeriodo->setBuddy(m_periodo);
    m_data = new TPersonEdit(TPersonEdit::peData, QStringLiteral("Data Base p/ Relatórios:"), this);
    m_data->setObjectName(QStringLiteral("PEData"));
    m_data->setText(SessaoAtual().DataAtual);
    linha->addWidget(m_lPeriodo);
    linha->addWidget(m_periodo);
    linha->addSpacing(16);
    linha->addWidget(m_data->editLabel());
    linha->addWidget(m_data);
    linha->addStretch(1);
    v->addLayout(linha);
    if (TemPerfil(QStringLiteral("CUNE"))) {
        // The billing calendar decides the folders.
        m_periodo->hide();
        m_lPeriodo->setText(LinhaCalendario());
    }
    const bool cumbel = TemPerfil(QStringLiteral("CUMBEL"));
    m_data->setVisible(cumbel);
    m_data->editLabel()->setVisible(cumbel);

    m_gravar = new TPersonBtn(QStringLiteral("Clique para baixar arquivos"), this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    v->addWidget(m_gravar);
    m_barra = new QProgressBar(this);
    m_barra->setObjectName(QStringLiteral("ProgressBar1"));
    m_barra->setValue(0);
    v->addWidget(m_barra);
    m_ftp = new UiProgressoFtp(this);
    v->addWidget(m_ftp);
    m_status = NovaCaixaStatus(this);
    m_status->setMaximumBlockCount(50000);
    v->addWidget(m_status, 1);
    m_codigo = new QLineEdit(this);
    m_codigo->setObjectName(QStringLiteral("Edit1"));
    m_codigo->setEchoMode(QLineEdit::Password);
    m_codigo->setFixedWidth(60);
    auto* baixo = new QHBoxLayout;
    baixo->addStretch(1);
    baixo->addWidget(m_codigo);
    v->addLayout(baixo);

    connect(m_gravar, &TPersonBtn::Acao, this, &TFRecebBaseCUNE::PBtnGravarClick);
    connect(m_codigo, &QLineEdit::editingFinished, this, &TFRecebBaseCUNE::Edit1Exit);
    setTabOrder(m_periodo, m_data);
    setTabOrder(m_data, m_gravar);
}

TFRecebBaseCUNE::~TFRecebBaseCUNE() = default;

TFRecebBaseCUNE* TFRecebBaseCUNE::Abre()
{
    TFRecebBaseCUNE* t = MostraTela<TFRecebBaseCUNE>();
    if (t->m_periodo->isVisible())
        t->m_periodo->setFocus();
    else
        t->m_gravar->setFocus();
    return t;
}

void TFRecebBaseCUNE::closeEvent(QCloseEvent* ev)
{
    if (m_rodando) {
        // Stops at the running file; the screen closes when the run has ended.
        m_fecharAoTerminar = true;
        m_ftp->botaoCancelar()->click();
        ev->ignore();
        return;
    }
    TFBase::closeEvent(ev);
}

void TFRecebBaseCUNE::PBtnGravarClick()
{
    executa(m_codigo->text() == QLatin1String(kCodigoRenumeracao) ? ModoRealizacao::Renumeracao : ModoRealizacao::Normal);
}

void TFRecebBaseCUNE::Edit1Exit()
{
    if (m_codigo->text() != QLatin1String(kCodigoAuditoria) || m_rodando)
        return;
    m_codigo->clear();
    {
        SuspendeFechamento s(this);
        Informa(QStringLiteral("aqui vou mudar para baixar novamente os ja baixados"));
    }
    executa(ModoRealizacao::Auditoria);
}

void TFRecebBaseCUNE::executa(ModoRealizacao modo)
{
    TDMCUNE* dm = DMCUNE();
    if (m_rodando || !m_gravar->isEnabled() || !dm)
        return;
    m_rodando = true;
    m_gravar->setEnabled(false);
    m_status->clear();
    m_barra->setValue(0);
    SuspendeFechamento suspensao(this);
    try {
        PedidoRecepcao pedido = PedidoDoPerfil(dm->IBTransaction, m_periodo->text(), m_data->data());
        dm->IBTransaction.rollback();
        pedido.modo = modo;
        if (modo != ModoRealizacao::Normal)
            pedido.consomeCreditos = false;
        FtpCliente& ftp = ClienteFtpCompartilhado();
        UiProgressoFtp::Sessao sessao(*m_ftp, ftp, QStringLiteral("Recebendo arquivos..."));
        ContextoRecepcao ctx;
        ctx.tr = &dm->IBTransaction;
        ctx.ftp = &ftp;
        ctx.erros = m_erros.get();
        ctx.status = [this](const QString& l) { m_status->appendPlainText(l); };
        ctx.aviso = [](const QString& t) { MostraSimples(t); };
        ctx.progresso = [this](int feito, int total) {
            m_barra->setMaximum(total);
            m_barra->setValue(feito);
            m_ftp->defineTexto(QStringLiteral("Arquivo %1 de %2...").arg(feito).arg(total));
            QCoreApplication::processEvents();
        };
        m_resultado = ExecutaRecepcao(ctx, pedido);
    } catch (const std::exception& e) {
        dm->IBTransaction.rollback();
        m_resultado = {};
        m_resultado.falhou = true;
        MostraExcecao(e);
    }
    m_rodando = false;
    // A run that stopped (no connection, a missing folder) leaves the button off until the screen
    // is opened again.
    m_gravar->setEnabled(!m_resultado.falhou);
    if (m_fecharAoTerminar)
        QTimer::singleShot(0, this, &QWidget::close);
}

} // namespace vx
