#include "core/widgets/PainelSaldos.h"

#include <QGridLayout>
#include <QLabel>

namespace vx {

namespace {
QLabel* rotulo(const char* nome, const QString& texto, QWidget* pai, bool negrito = false)
{
    auto* l = new QLabel(texto, pai);
    l->setObjectName(QLatin1String(nome));
    if (negrito) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}
} // namespace

PainelSaldos::PainelSaldos(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PanelSaldos"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* g = new QGridLayout(this);
    g->setContentsMargins(6, 4, 6, 4);
    g->setVerticalSpacing(2);
    m_legendaAutorizado = rotulo("LPeriodoAutorizado", {}, this);
    m_autorizado = rotulo("LValorAutorizado", {}, this, true);
    m_limite = rotulo("LValorLimite", {}, this, true);
    m_saldo = rotulo("LSaldo", {}, this, true);
    m_obs = rotulo("LObsLimite", {}, this);
    m_legendaAgendado = rotulo("LPeriodoAgendado", {}, this);
    m_agendado = rotulo("LValorAgendado", {}, this, true);
    for (QLabel* v : {m_autorizado, m_limite, m_saldo, m_agendado})
        v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    g->addWidget(m_legendaAutorizado, 0, 0);
    g->addWidget(m_autorizado, 0, 1);
    g->addWidget(rotulo("LRotLimite", QStringLiteral("LIMITE DO PERÍODO: R$"), this), 1, 0, Qt::AlignRight);
    g->addWidget(m_limite, 1, 1);
    g->addWidget(rotulo("LRotSaldo", QStringLiteral("SALDO DISPONÍVEL: R$"), this, true), 2, 0, Qt::AlignRight);
    g->addWidget(m_saldo, 2, 1);
    g->addWidget(m_obs, 3, 0, 1, 2);
    g->addWidget(m_legendaAgendado, 4, 0);
    g->addWidget(m_agendado, 4, 1);
    g->setColumnStretch(0, 1);
    g->setColumnMinimumWidth(1, 80);
    pinta(corNormal());
}

QColor PainelSaldos::cor() const
{
    return palette().color(QPalette::Window);
}

void PainelSaldos::pinta(const QColor& c)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
}

void PainelSaldos::mostra(const Saldos& s, QWidget* finaliza)
{
    m_excedido = s.excedido;
    pinta(s.excedido ? corExcedido() : corNormal());
    m_legendaAutorizado->setText(s.legendaAutorizado);
    m_autorizado->setText(s.textoAutorizado());
    m_limite->setText(s.textoLimite());
    m_saldo->setText(s.textoSaldo());
    m_obs->setText(s.textoObs());
    m_legendaAgendado->setText(s.legendaAgendado);
    m_agendado->setText(s.textoAgendado());
    if (finaliza && s.finaliza != Saldos::Finaliza::Manter)
        finaliza->setEnabled(s.finaliza == Saldos::Finaliza::Habilitar);
}

} // namespace vx
