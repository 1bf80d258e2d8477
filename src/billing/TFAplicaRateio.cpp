#include "billing/TFAplicaRateio.h"
#include "billing/TFFaturamento.h"
#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vx {

namespace {
const RegistroTelaEstatico registro(telas::FaturamentoRateio, [] { TFAplicaRateio::Abre(); });
}

TFAplicaRateio::TFAplicaRateio(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFAplicaRateio"));
    setWindowTitle(QStringLiteral("Rateio Desc. SUS"));
    auto* raiz = new QVBoxLayout(this);
    raiz->addLayout(m_form.novoForm());
    const auto c = m_form.codigo("PEIdBaseRateio", QStringLiteral("Base Rateio:"), 5, "LDescricao",
                                 [] { return ProcuraSimples(QStringLiteral("IdRateio"), QStringLiteral("Descricao"),
                                                            QStringLiteral("RateioSUS")); },
                                 [this](const QString& id) { return leBase(id); });
    m_id = c.campo;
    m_descricao = c.nome;
    m_form.fechaLinha();
    auto* linha = new QHBoxLayout;
    auto* rs = new QLabel(QStringLiteral("R$"), this);
    m_total = new QLabel(this);
    m_total->setObjectName(QStringLiteral("LValorTotal"));
    m_total->setMinimumWidth(m_total->fontMetrics().horizontalAdvance(QStringLiteral("99.999.999,99")));
    m_aplicar = new TPersonBtn(QStringLiteral("Aplicar"), this);
    m_aplicar->setObjectName(QStringLiteral("PBAplicarDesc"));
    m_aplicar->setVerRequeridos(false);
    linha->addWidget(rs);
    linha->addWidget(m_total);
    linha->addStretch(1);
    linha->addWidget(m_aplicar);
    raiz->addLayout(linha);
    connect(m_aplicar, &TPersonBtn::Acao, this, &TFAplicaRateio::PBAplicarDescClick);
}

TFAplicaRateio* TFAplicaRateio::Abre()
{
    TFAplicaRateio* t = MostraTela<TFAplicaRateio>();
    if (TFFaturamento* f = InstanciaTela<TFFaturamento>())
        f->suspendeEnquantoAberta(t);
    t->m_id->setFocus();
    return t;
}

QString TFAplicaRateio::leBase(const QString& id)
{
    m_total->clear();
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return {};
    const auto base = Lendo(dm->IBTLivre, [&] { return LeBaseRateio(dm->IBTLivre, id); });
    if (!base)
        return {};
    m_total->setText(FormataValor(base->total));
    return base->descricao;
}

void TFAplicaRateio::PBAplicarDescClick()
{
    TDMCUNE* dm = DMCUNE();
    TFFaturamento* f = InstanciaTela<TFFaturamento>();
    if (!dm)
        return;
    if (!f || f->modo() != ModoFaturamento::Municipio || !f->faturaProducao()) {
        Avisa(QStringLiteral("Consulte a fatura dos municípios do período antes de aplicar o rateio."));
        return;
    }
    const bool ok = ExecutaAcao(m_aplicar, [&] {
        // The base is read again: the one shown may have changed since the field was left.
        const auto base = Lendo(dm->IBTLivre, [&] { return LeBaseRateio(dm->IBTLivre, m_id->text()); });
        if (!base)
            throw ErroValor(QStringLiteral("Informe uma Base Rateio cadastrada."));
        PedidoAplicacao p;
        p.base = *base;
        p.inicio = f->PEData1()->data();
        p.fim = f->PEData2()->data();
        p.cumbel = RegrasFaturamento::DoPerfil(Geral::CONSORCIO()).cumbel;
        p.usuario = SessaoAtual().UsuarioLogado;
        p.agora = QDateTime::currentDateTime();
        QVector<LinhaAplicacao> linhas;
        for (const LinhaGrade& l : f->grade())
            linhas.push_back({l.value(colmun::Codigo).trimmed(), l.value(colmun::Bruto)});
        AplicaRateio(dm->IBTransaction, p, linhas);
    });
    if (!ok)
        return;
    SuspendeFechamento s(this);
    Informa(QStringLiteral("Concluído!"));
    f->ConsultarFatura1Click();
}

} // namespace vx
