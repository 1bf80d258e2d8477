#include "billing/TFFilRelCreditosMunics.h"
#include "billing/Creditos.h"
#include "billing/TRCreditos.h"
#include "core/MenuPrincipal.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "reports/UiPreview.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vx {

TFFilRelCreditosMunics::TFFilRelCreditosMunics(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFFilRelCreditosMunics"));
    setWindowTitle(QStringLiteral("Relatório de Créditos dos Municípios"));
    auto* raiz = new QVBoxLayout(this);
    auto* linha = new QHBoxLayout;
    raiz->addLayout(linha);
    m_recurso = new QComboBox(this);
    m_recurso->setObjectName(QStringLiteral("CBRecurso"));
    m_recurso->addItems(TiposCredito());
    auto* rotulo = new QLabel(QStringLiteral("Recurso:"), this);
    rotulo->setBuddy(m_recurso);
    linha->addWidget(rotulo);
    linha->addWidget(m_recurso);
    linha->addSpacing(12);
    m_calendario = new QLabel(this);
    m_calendario->setObjectName(QStringLiteral("LCalendario"));
    linha->addWidget(m_calendario, 1);

    auto* botoes = new QHBoxLayout;
    botoes->addStretch(1);
    m_imprimir = new TPersonBtn(QStringLiteral("&Imprimir"), this);
    m_imprimir->setObjectName(QStringLiteral("PBtnImprimir"));
    m_imprimir->setVerRequeridos(false);
    botoes->addWidget(m_imprimir);
    raiz->addStretch(1);
    raiz->addLayout(botoes);
    resize(520, 120);
    connect(m_imprimir, &TPersonBtn::Acao, this, &TFFilRelCreditosMunics::PBtnImprimirClick);
}

TFFilRelCreditosMunics* TFFilRelCreditosMunics::Abre(const QString& tipo)
{
    TFFilRelCreditosMunics* t = CriaTela<TFFilRelCreditosMunics>();
    if (const int i = t->m_recurso->findText(tipo); i >= 0)
        t->m_recurso->setCurrentIndex(i);
    t->m_calendario->setText(LinhaCalendario());
    MostraTela<TFFilRelCreditosMunics>();
    t->m_recurso->setFocus();
    return t;
}

void TFFilRelCreditosMunics::showEvent(QShowEvent* ev)
{
    TFBase::showEvent(ev);
    m_calendario->setText(LinhaCalendario());
}

void TFFilRelCreditosMunics::PBtnImprimirClick()
{
    ExecutaAcao(m_imprimir, [this] {
        Transacao* tr = transacaoLeitura();
        if (!tr)
            return;
        SuspendeFechamento s(this);
        m_calendario->setText(LinhaCalendario());
        std::shared_ptr<rel::Documento> doc;
        {
            Aguarde aguarde(this, QStringLiteral("Aguarde, gerando relatório..."));
            doc = TRCreditos::Gera(*tr, m_recurso->currentText(), SessaoAtual().CalendarioAtual);
        }
        rel::MostraPreview(doc, windowTitle(), this);
    });
}

} // namespace vx
