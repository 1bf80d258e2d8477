#include "billing/TFLanCreditosMunics.h"
#include "billing/Creditos.h"
#include "billing/TFFilRelCreditosMunics.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

namespace {
const RegistroTelaEstatico reg(telas::CreditosMunicipais, [] { TFLanCreditosMunics::Abre(); });
}

TFLanCreditosMunics::TFLanCreditosMunics(QWidget* parent) : TFBase(parent)
{
    using E = TPersonEdit;
    setObjectName(QStringLiteral("TFLanCreditosMunics"));
    setWindowTitle(QStringLiteral("Créditos / Recursos para Municípios"));

    auto* raiz = new QVBoxLayout(this);
    auto* topo = new QHBoxLayout;
    raiz->addLayout(topo);
    topo->addLayout(m_form.novoForm(), 1);

    const auto codigo = m_form.codigo(
        "PECodMunicipio", QStringLiteral("Município:"), 7, "LMunicipio",
        [] { return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("Clientes")); },
        [](const QString& c) {
            return CodigoVazio(c) ? QString()
                                  : NomeLivre(c.trimmed(), QStringLiteral("codigo"), QStringLiteral("Nome"),
                                              QStringLiteral("Clientes"));
        },
        Formulario::Requerido);
    m_codigo = codigo.campo;
    m_sbCodigo = codigo.busca;
    m_nome = codigo.nome;

    m_tipo = new QComboBox(this);
    m_tipo->setObjectName(QStringLiteral("CBTipo"));
    m_tipo->addItems(TiposCredito());
    auto* lTipo = new QLabel(QStringLiteral("Tipo:"), this);
    lTipo->setBuddy(m_tipo);
    m_form.novaLinha(lTipo, false)->addWidget(m_tipo);

    m_data = m_form.campo("PEData", E::peData, QStringLiteral("Data:"), 0, Formulario::Requerido);
    m_valor = m_form.campo("PEValor", E::peFloat, QStringLiteral("Valor:"), 0, Formulario::Requerido);
    m_obs = m_form.campo("PEObs", E::peTexto, QStringLiteral("Obs.:"), 100);
    m_form.fechaLinha();

    auto* botoes = new QVBoxLayout;
    topo->addSpacing(12);
    topo->addLayout(botoes);
    const auto botao = [&](const char* nome, const QString& texto, bool verRequeridos) {
        auto* b = new TPersonBtn(texto, this);
        b->setObjectName(QLatin1String(nome));
        b->setVerRequeridos(verRequeridos);
        b->setMinimumWidth(110);
        botoes->addWidget(b);
        return b;
    };
    m_gravar = botao("PBtnGravar", QStringLiteral("&Gravar"), true);
    m_excluir = botao("PBtnExcluir", QStringLiteral("&Excluir"), false);
    m_relatorio = botao("PBRelatorio", QStringLiteral("Relatório"), false);
    m_importar = botao("PBImportarSUS1", QStringLiteral("Importar SUS1 do último mês"), false);
    botoes->addStretch(1);

    m_grade = new GradeConsulta(this);
    m_grade->setObjectName(QStringLiteral("DBGrid1"));
    m_grade->setMinimumHeight(160);
    raiz->addWidget(m_grade, 1);
    resize(720, 440);

    m_data->setText(SessaoAtual().DataAtual);
    m_valor->setText(QStringLiteral("0,00"));

    connect(m_codigo, &E::saiu, this, &TFLanCreditosMunics::PesquisaCredito);
    connect(m_data, &E::saiu, this, &TFLanCreditosMunics::PesquisaCredito);
    connect(m_tipo, &QComboBox::currentIndexChanged, this, [this] { PesquisaCredito(); });
    connect(m_gravar, &TPersonBtn::Acao, this, &TFLanCreditosMunics::PBtnGravarClick);
    connect(m_excluir, &TPersonBtn::Acao, this, &TFLanCreditosMunics::PBtnExcluirClick);
    connect(m_relatorio, &TPersonBtn::Acao, this, &TFLanCreditosMunics::PBRelatorioClick);
    connect(m_importar, &TPersonBtn::Acao, this, &TFLanCreditosMunics::PBImportarSUS1Click);
}

TFLanCreditosMunics* TFLanCreditosMunics::Abre()
{
    return MostraTela<TFLanCreditosMunics>();
}

void TFLanCreditosMunics::showEvent(QShowEvent* ev)
{
    TFBase::showEvent(ev);
    m_codigo->setFocus();
}

Credito TFLanCreditosMunics::credito() const
{
    return {m_codigo->text(), m_tipo->currentText(), m_data->text(), m_valor->text(), m_obs->text()};
}

void TFLanCreditosMunics::limpaCampos(bool manterData)
{
    for (TPersonEdit* e : {m_codigo, m_valor, m_obs, m_data}) {
        if (e == m_data && manterData)
            continue;
        e->clear();
        e->limpaErro();
    }
    m_nome->clear();
}

void TFLanCreditosMunics::PesquisaCredito()
{
    TDMCUNE* dm = DMCUNE();
    Transacao* tr = transacaoLeitura();
    if (!dm || !tr)
        return;
    const Credito c = credito();
    std::optional<LinhaCadastro> linha;
    try {
        linha = LeCredito(dm->IBTLivre, c.codigo, c.tipo, c.data);
        m_grade->carrega(*tr, SqlCredito(c.codigo, c.tipo, c.data));
    } catch (const std::exception& e) {
        MostraExcecao(e, QStringLiteral("Erro, verifique os dados digitados."));
        return;
    }
    if (linha && !linha->nulo(QStringLiteral("VALOR")))
        m_valor->setDecimal((*linha)[QStringLiteral("VALOR")].decimal());
    else
        m_valor->clear();
    m_obs->setText(linha ? linha->texto(QStringLiteral("OBS")) : QString());
}

void TFLanCreditosMunics::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !ExecutaAcao(m_gravar, [&] { GravaCredito(dm->IBTransaction, credito()); }))
        return;
    limpaCampos(true);
    m_codigo->setFocus();
}

void TFLanCreditosMunics::PBtnExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    {
        SuspendeFechamento s(this);
        if (!Confirma())
            return;
    }
    if (CodigoVazio(m_codigo->text()) || m_data->vazio())
        return;
    if (!ExecutaAcao(m_excluir, [&] { ExcluiCredito(dm->IBTransaction, credito()); }))
        return;
    limpaCampos(false);
    m_codigo->setFocus();
}

void TFLanCreditosMunics::PBRelatorioClick()
{
    Transacao* tr = transacaoLeitura();
    if (!tr || !ExecutaAcao(m_relatorio, [&] { m_grade->carrega(*tr, SqlListaCreditos(m_codigo->text(), m_tipo->currentText())); }))
        return;
    suspendeEnquantoAberta(TFFilRelCreditosMunics::Abre(m_tipo->currentText()));
}

void TFLanCreditosMunics::PBImportarSUS1Click()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    SuspendeFechamento s(this);
    if (m_data->vazio()) {
        Avisa(QStringLiteral("Informe a Data do Crédito!"));
        m_data->setFocus();
        return;
    }
    if (ExecutaAcao(m_importar, [&] { ImportaSus1UltimoMes(dm->IBTransaction, m_data->text()); }))
        Informa(QStringLiteral("Concluído!"));
}

} // namespace vx
