#include "municipality/TFEnvioFtp.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/UiMensagens.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/UiProgressoFtp.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(TFEnvioFtp, [] { TFEnvioFtp::AbreModal(); });
VX_REGISTRA_TELA(Coletivo1, [] { TFEnvioFtp::AbreModal(); });
VX_REGISTRA_TELA(Retransmissodeprocedimentosnoenviados1, [] { TFEnvioFtp::Abre(); });

bool ExecutavelRecBase(const QString& caminhoExecutavel)
{
    return QFileInfo(caminhoExecutavel).baseName().toUpper().contains(QLatin1String("RECBASE"));
}

TFEnvioFtp::TFEnvioFtp(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFEnvioFtp"));
    setWindowTitle(QStringLiteral("Transmissão de arquivos"));
    resize(640, 420);
    auto* v = new QVBoxLayout(this);
    auto* explica = new QLabel(QStringLiteral("Esta rotina enviará ao servidor da internet todas as autorizações de "
                                              "procedimentos lançadas que porventura não foram transmitidas"),
                               this);
    explica->setWordWrap(true);
    v->addWidget(explica);
    m_status = NovaCaixaStatus(this);
    m_status->setMaximumBlockCount(20000);
    v->addWidget(m_status, 1);
    m_progresso = new UiProgressoFtp(this);
    v->addWidget(m_progresso);
    auto* baixo = new QHBoxLayout;
    m_recriar = new QCheckBox(QStringLiteral("Verificar autorizações e recriar Arquivos XML (mais lento)"), this);
    m_recriar->setObjectName(QStringLiteral("CBRecriarXML"));
    m_recriar->setVisible(!EhMunicipio());
    baixo->addWidget(m_recriar);
    baixo->addStretch(1);
    m_gravar = new TPersonBtn(QStringLiteral("Clique para Iniciar"), this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    baixo->addWidget(m_gravar);
    v->addLayout(baixo);
    connect(m_gravar, &TPersonBtn::Acao, this, [this] { PBtnGravarClick(); });
}

TFEnvioFtp::~TFEnvioFtp() = default;

TFEnvioFtp* TFEnvioFtp::Abre()
{
    return MostraTela<TFEnvioFtp>();
}

void TFEnvioFtp::AbreModal()
{
    if (TFEnvioFtp* aberta = InstanciaTela<TFEnvioFtp>()) {
        if (aberta->rodando())
            return;
        aberta->close();
    }
    ExecutaTelaModal(CriaTela<TFEnvioFtp>());
}

void TFEnvioFtp::showEvent(QShowEvent* ev)
{
    TFBase::showEvent(ev);
    if (!m_iniciada) {
        // Once the window is on the screen; a later activation does not start another run.
        m_iniciada = true;
        QTimer::singleShot(0, this, [this] { PBtnGravarClick(); });
    }
}

void TFEnvioFtp::closeEvent(QCloseEvent* ev)
{
    if (m_rodando) {
        // Stops the run at the next file; the screen closes when it has ended.
        m_fecharAoTerminar = true;
        m_progresso->botaoCancelar()->click();
        ev->ignore();
        return;
    }
    TFBase::closeEvent(ev);
}

void TFEnvioFtp::PBtnGravarClick()
{
    if (m_rodando)
        return;
    TDMCUNE* dm = DMCUNE();
    if (!dm) {
        MostraErro(QStringLiteral("Banco de dados não conectado"));
        return;
    }
    m_rodando = true;
    m_gravar->setEnabled(false);
    m_status->clear();
    {
        SuspendeFechamento suspensao(this);
        FtpCliente& ftp = ClienteFtpCompartilhado();
        UiProgressoFtp::Sessao sessao(*m_progresso, ftp, QStringLiteral("Verificando arquivos..."));
        TransmissaoNoBanco t(*dm, ftp);
        t.ctx.status = [this](const QString& l) { m_status->appendPlainText(l); };
        t.ctx.cancelado = [this] { return m_fecharAoTerminar || m_progresso->cancelado(); };
        t.ctx.progresso = [this](int feitos, int total) {
            if (total > 0)
                m_progresso->defineTexto(QStringLiteral("Enviando arquivo %1 de %2...").arg(qMin(feitos + 1, total)).arg(total));
        };
        m_resultado = ExecutaTransmissao(t.ctx, m_recriar->isChecked());
    }
    m_rodando = false;
    m_gravar->setEnabled(true);
    if (m_fecharAoTerminar || (m_resultado.concluida && ExecutavelRecBase(QCoreApplication::applicationFilePath())))
        QTimer::singleShot(0, this, &QWidget::close);
}

} // namespace vx
