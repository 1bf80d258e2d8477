#include "core/widgets/TelaExecucao.h"
#include "core/UFunc.h"
#include "core/widgets/TPersonBtn.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/UiProgressoFtp.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vx {

namespace {
int g_esperaFechamento = 6000;
} // namespace

void TelaExecucao::DefineEsperaFechamento(int ms) { g_esperaFechamento = ms; }
int TelaExecucao::EsperaFechamento() { return g_esperaFechamento; }

TelaExecucao::TelaExecucao(const QString& nome, const QString& titulo, const QString& texto, const QString& botao,
                           QWidget* parent)
    : TFBase(parent)
{
    setObjectName(nome);
    setWindowTitle(titulo);
    resize(640, 440);
    auto* v = new QVBoxLayout(this);
    m_texto = new QLabel(texto, this);
    m_texto->setWordWrap(true);
    v->addWidget(m_texto);
    m_gravar = new TPersonBtn(botao, this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    v->addWidget(m_gravar);
    m_lStatus = new QLabel(this);
    m_lStatus->setObjectName(QStringLiteral("LStatus"));
    v->addWidget(m_lStatus);
    m_ftp = new UiProgressoFtp(this);
    v->addWidget(m_ftp);
    m_status = NovaCaixaStatus(this);
    m_status->setObjectName(QStringLiteral("MStatus"));
    m_status->setMaximumBlockCount(50000);
    v->addWidget(m_status, 1);
}

TelaExecucao::~TelaExecucao() = default;

void TelaExecucao::adicionaLinha(const QString& linha)
{
    m_status->appendPlainText(linha);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TelaExecucao::mostraLinhaAtual(const QString& texto)
{
    m_lStatus->setText(texto);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TelaExecucao::roda(const QString& textoFtp, const std::function<void()>& corpo, const std::function<bool()>& religa)
{
    if (m_rodando)
        return;
    m_rodando = true;
    m_gravar->setEnabled(false);
    m_status->clear();
    m_lStatus->clear();
    {
        SuspendeFechamento suspensao(this);
        UiProgressoFtp::Sessao sessao(*m_ftp, ClienteFtpCompartilhado(), textoFtp);
        try {
            corpo();
        } catch (const std::exception& e) {
            adicionaLinha(QStringLiteral(" => Erro: ") + TextoErro(e));
        }
    }
    m_rodando = false;
    m_gravar->setEnabled(!religa || religa());
    if (m_fecharAoTerminar)
        QTimer::singleShot(0, this, &QWidget::close);
}

void TelaExecucao::fechaDepoisDeEsperar()
{
    QTimer::singleShot(g_esperaFechamento, this, [this] {
        if (!m_rodando)
            close();
    });
}

void TelaExecucao::showEvent(QShowEvent* ev)
{
    TFBase::showEvent(ev);
    if (!m_mostrada) {
        m_mostrada = true;
        QTimer::singleShot(0, this, [this] { aoMostrar(); });
    }
}

void TelaExecucao::closeEvent(QCloseEvent* ev)
{
    if (m_rodando) {
        m_fecharAoTerminar = true;
        m_ftp->botaoCancelar()->click();
        ev->ignore();
        return;
    }
    TFBase::closeEvent(ev);
}

} // namespace vx
