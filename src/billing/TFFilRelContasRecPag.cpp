#include "billing/TFFilRelContasRecPag.h"
#include "billing/TRContas.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(ContasaReceber2, [] { TFFilRelContasRecPag::Abre(QStringLiteral("Relatório de Contas a Receber")); });
VX_REGISTRA_TELA(ContasRecebidas1, [] { TFFilRelContasRecPag::Abre(QStringLiteral("Relatório de Contas Recebidas")); });
VX_REGISTRA_TELA(ContasaPagar2, [] { TFFilRelContasRecPag::Abre(QStringLiteral("Relatório de Contas a Pagar")); });
VX_REGISTRA_TELA(ContasPagas1, [] { TFFilRelContasRecPag::Abre(QStringLiteral("Relatório de Contas Pagas")); });

TFFilRelContasRecPag::TFFilRelContasRecPag(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFFilRelContasRecPag"));
    auto* raiz = new QVBoxLayout(this);
    raiz->addLayout(m_form.novoForm());
    std::tie(m_data1, m_data2) = m_form.periodoDoMes("PEData1", "PEData2");
    const auto codigo = m_form.codigo("PECodMun", QStringLiteral("Município:"), 7, "LNome", [this] { return busca(); },
                                      [this](const QString& c) { return nomeDe(c); });
    m_codMun = codigo.campo;
    m_sbCodMun = codigo.busca;
    m_nome = codigo.nome;
    m_form.fechaLinha();
    auto* botoes = new QHBoxLayout;
    botoes->addStretch(1);
    m_imprimir = new TPersonBtn(QStringLiteral("&Imprimir"), this);
    m_imprimir->setObjectName(QStringLiteral("PBtnImprimir"));
    botoes->addWidget(m_imprimir);
    raiz->addLayout(botoes);
    raiz->addStretch(1);

    connect(m_imprimir, &TPersonBtn::Acao, this, [this] { PBtnImprimirClick(); });
}

TFFilRelContasRecPag* TFFilRelContasRecPag::Abre(const QString& legenda)
{
    TFFilRelContasRecPag* t = CriaTela<TFFilRelContasRecPag>();
    t->defineLegenda(legenda);
    MostraTela<TFFilRelContasRecPag>();
    t->m_data1->setFocus();
    return t;
}

bool TFFilRelContasRecPag::entidades() const
{
    return windowTitle().toUpper().contains(QLatin1String("PAG"));
}

void TFFilRelContasRecPag::defineLegenda(const QString& legenda)
{
    const bool antes = entidades();
    const bool primeira = windowTitle().isEmpty();
    setWindowTitle(legenda);
    if (!primeira && antes == entidades())
        return;
    m_codMun->setRotulo(entidades() ? QStringLiteral("Entidade:") : QStringLiteral("Município:"));
    m_codMun->clear();
    m_nome->clear();
}

QString TFFilRelContasRecPag::nomeDe(const QString& codigo) const
{
    if (CodigoVazio(codigo))
        return {};
    return entidades() ? NomeLivre(codigo.trimmed(), QStringLiteral("codigo"), QStringLiteral("RazaoSocial"),
                                   QStringLiteral("Entidades"))
                       : NomeLivre(codigo.trimmed(), QStringLiteral("codigo"), QStringLiteral("Nome"),
                                   QStringLiteral("Clientes"));
}

QString TFFilRelContasRecPag::busca() const
{
    return entidades() ? ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("RazaoSocial"), QStringLiteral("Entidades"))
                       : ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("Clientes"));
}

PedidoContas TFFilRelContasRecPag::Pedido() const
{
    PedidoContas p;
    p.relatorio = RelatorioDaLegenda(windowTitle()).value_or(RelatorioConta::AReceber);
    p.inicio = m_data1->data();
    p.fim = m_data2->data();
    p.codigo = m_codMun->text();
    return p;
}

void TFFilRelContasRecPag::PBtnImprimirClick()
{
    ExecutaAcao(m_imprimir, [this] {
        Transacao* tr = transacaoLeitura();
        if (!tr || !RelatorioDaLegenda(windowTitle()))
            return;
        SuspendeFechamento s(this);
        Lendo(*tr, [&] { return TRContas::Executa(*tr, Pedido(), windowTitle(), this); });
    });
}

} // namespace vx
