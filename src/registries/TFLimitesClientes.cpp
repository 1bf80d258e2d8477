#include "registries/TFLimitesClientes.h"
#include "core/Mensagens.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/widgets/TPersonBtn.h"
#include "registries/Municipios.h"

#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vx {

TFLimitesClientes::TFLimitesClientes(QWidget* parent) : TFBase(parent)
{
    using E = TPersonEdit;
    setObjectName(QStringLiteral("TFLimitesClientes"));
    setWindowTitle(QStringLiteral("Limites Financeiros"));
    auto* raiz = new QVBoxLayout(this);
    m_municipio = new QLabel(this);
    m_municipio->setObjectName(QStringLiteral("LMunicipio"));
    QFont f = m_municipio->font();
    f.setBold(true);
    m_municipio->setFont(f);
    raiz->addWidget(m_municipio);
    raiz->addLayout(m_form.novoForm());
    m_periodo = m_form.campo("PEPeriodo", E::peTexto, QStringLiteral("Período:"), 0);
    m_periodo->setMascara(QStringLiteral("99-9999;_"), QStringLiteral("  -    "));
    m_periodo->setToolTip(QStringLiteral("Mês e ano (MM-AAAA)"));
    m_periodo->setFixedWidth(m_periodo->fontMetrics().horizontalAdvance(QStringLiteral("00-000000")) + 16);
    m_valor = m_form.campo("PEValor", E::peFloat, QStringLiteral("Limite Atual:"), 0);
    m_valor->setReadOnly(true);
    m_valor->setFocusPolicy(Qt::NoFocus);
    m_obs = m_form.campo("PEObs", E::peTexto, QStringLiteral("Obs. p/ Município:"), 100);
    m_acrescentar = m_form.campo("PEAcrescentar", E::peFloat, QStringLiteral("Acrescentar:"), 0);
    m_justificativa = m_form.campo("PEJustificativa", E::peTexto, QStringLiteral("Justificativa:"), 100);
    m_form.fechaLinha();
    auto* botoes = new QHBoxLayout;
    raiz->addLayout(botoes);
    botoes->addStretch(1);
    m_gravar = new TPersonBtn(QStringLiteral("&Grava"), this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    m_consultar = new TPersonBtn(QStringLiteral("Consultar Outros Períodos"), this);
    m_consultar->setObjectName(QStringLiteral("PBConsultar"));
    m_consultar->setVerRequeridos(false);
    botoes->addWidget(m_gravar);
    botoes->addWidget(m_consultar);
    raiz->addStretch(1);
    connect(m_gravar, &TPersonBtn::Acao, this, &TFLimitesClientes::PBtnGravarClick);
    connect(m_consultar, &TPersonBtn::Acao, this, &TFLimitesClientes::PBConsultarClick);
    connect(m_periodo, &E::saiu, this, &TFLimitesClientes::PEPeriodoExit);
    connect(m_acrescentar, &E::saiu, this, &TFLimitesClientes::PEAcrescentarExit);
    LimpaCampos();
}

TFLimitesClientes* TFLimitesClientes::Abre(const QString& codigo, const QString& nome)
{
    TFLimitesClientes* t = MostraTela<TFLimitesClientes>();
    t->defineMunicipio(codigo, nome);
    return t;
}

void TFLimitesClientes::defineMunicipio(const QString& codigo, const QString& nome)
{
    m_codigo = codigo.trimmed();
    m_nome = nome;
    m_municipio->setText(m_codigo + QStringLiteral(" - ") + m_nome);
    LimpaCampos();
    m_periodo->setFocus();
}

void TFLimitesClientes::LimpaCampos()
{
    m_form.limpa();
    m_valorGravado = Decimal::cents(0);
}

void TFLimitesClientes::PEPeriodoExit()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    try {
        const LimiteMes l = LeLimite(dm->IBTLivre, m_codigo, m_periodo->text());
        m_valorGravado = l.valor;
        m_valor->setText(FormataValor(l.valor, QStringLiteral("#######0.00")));
        m_obs->setText(l.obs);
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFLimitesClientes::PEAcrescentarExit()
{
    // The field's own validation has already refused what is not a number.
    const Decimal acrescimo = m_acrescentar->decimal().value_or(Decimal::cents(0));
    m_valor->setText(FormataValor(m_valorGravado + acrescimo, QStringLiteral("#######0.00")));
}

void TFLimitesClientes::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    const LancamentoLimite l{m_codigo, m_nome, m_periodo->text(), m_obs->text(), m_acrescentar->text(),
                             m_justificativa->text()};
    if (const QString r = RecusaLancamento(l); !r.isEmpty()) {
        Avisa(r);
        (r == QLatin1String("Valor Inválido!") ? m_acrescentar : m_periodo)->setFocus();
        return;
    }
    if (!ExecutaAcao(m_gravar, [&] { GravaLimite(dm->IBTransaction, l, QDate::currentDate()); }))
        return;
    LimpaCampos();
    m_periodo->setFocus();
}

void TFLimitesClientes::PBConsultarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    QStringList linhas;
    if (!ExecutaAcao(m_consultar, [&] { linhas = ConsultaLimites(dm->IBTLivre, m_codigo); }))
        return;
    SuspendeFechamento s(this);
    Informa(linhas.isEmpty() ? QStringLiteral("Nenhum limite registrado para este Município.")
                             : linhas.join(QStringLiteral("\r\n")));
}

} // namespace vx
