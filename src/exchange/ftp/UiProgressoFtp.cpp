#include "exchange/ftp/UiProgressoFtp.h"
#include "exchange/ftp/FtpCliente.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vx {

UiProgressoFtp::UiProgressoFtp(QWidget* parent)
    : QWidget(parent), m_texto(new QLabel(this)), m_barra(new QProgressBar(this)), m_cancelar(new QPushButton(QStringLiteral("Cancelar"), this))
{
    setObjectName(QStringLiteral("ProgressoFtp"));
    m_cancelar->setObjectName(QStringLiteral("PBtnCancelarFtp"));
    m_cancelar->setFocusPolicy(Qt::NoFocus); // does not take the focus from the screen's fields
    m_barra->setTextVisible(true);
    auto* linha = new QHBoxLayout;
    linha->addWidget(m_barra, 1);
    linha->addWidget(m_cancelar);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(m_texto);
    l->addLayout(linha);
    connect(m_cancelar, &QPushButton::clicked, this, &UiProgressoFtp::cancela);
    hide();
}

UiProgressoFtp::~UiProgressoFtp()
{
    termina(); // the client must not keep calling into a destroyed panel
}

void UiProgressoFtp::inicia(FtpCliente& ftp, const QString& texto)
{
    termina();
    m_ftp = &ftp;
    m_cancelado = false;
    ftp.retomaCancelado();
    m_anterior = ftp.progressoAtual();
    ftp.defineProgresso([this](qint64 feito, qint64 total) {
        if (m_anterior)
            m_anterior(feito, total);
        mostra(feito, total);
    });
    m_texto->setText(texto);
    m_barra->setRange(0, 0); // busy until a transfer reports its size
    m_cancelar->setEnabled(true);
    show();
}

void UiProgressoFtp::termina()
{
    if (!m_ftp)
        return;
    m_ftp->defineProgresso(m_anterior);
    m_ftp->retomaCancelado();
    m_anterior = nullptr;
    m_ftp = nullptr;
    hide();
}

void UiProgressoFtp::defineTexto(const QString& texto)
{
    m_texto->setText(texto);
}

void UiProgressoFtp::cancela()
{
    if (!m_ftp || m_cancelado)
        return;
    m_cancelado = true;
    m_ftp->cancela();
    m_cancelar->setEnabled(false);
    emit cancelamentoPedido();
}

void UiProgressoFtp::mostra(qint64 feito, qint64 total)
{
    if (total <= 0)
        return; // commands and listings: the bar keeps the last transfer
    m_barra->setRange(0, 1000);
    m_barra->setValue(int(std::clamp<qint64>(feito * 1000 / total, 0, 1000)));
}

UiProgressoFtp::Sessao::Sessao(UiProgressoFtp& painel, FtpCliente& ftp, const QString& texto) : m_painel(&painel)
{
    painel.inicia(ftp, texto);
}

UiProgressoFtp::Sessao::~Sessao()
{
    if (m_painel)
        m_painel->termina();
}

} // namespace vx
