#include "registries/TFCadUnidades.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "registries/Unidades.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(CadastrodeUnidadesdeAtendimento1, [] { TFCadUnidades::Abre(); });

TFCadUnidades::TFCadUnidades(QWidget* parent)
    : TFCadastro("TFCadUnidades", QStringLiteral("Cadastro de Unidades de Atendimento"), QStringLiteral("UNIDADES"), {},
                 parent)
{
    using E = TPersonEdit;
    novoCampoCodigo(7, [this] { SBCodigoClick(); });
    m_nome = novoCampo("PENome", E::peTexto, QStringLiteral("Nome:"), 60, Requerido);
    liga(m_nome, QStringLiteral("NOME"));

    // The limit fields are not part of the unit: loading or saving a unit leaves them as typed.
    m_painel = novoPainel("PainelLimites", QStringLiteral("Fixar Limites Financeiros para esta Unidade:"));
    m_dataInicial = novoCampo("PEDataInicial", E::peData, QStringLiteral("Período:"), 0, Avulso);
    m_dataFinal = novoCampo("PEDataFinal", E::peData, QStringLiteral("a "), 0, Avulso | MesmaLinha);
    m_valor = novoCampo("PEValor", E::peFloat, QStringLiteral("Valor:"), 0, Avulso);
    m_obs = novoCampo("PEObs", E::peTexto, QStringLiteral("Obs.:"), 100, Avulso);
    auto* painel = static_cast<QVBoxLayout*>(m_painel->layout());
    auto* rg = new QGroupBox(m_painel);
    rg->setObjectName(QStringLiteral("RGLimite"));
    auto* opcoes = new QHBoxLayout(rg);
    m_total = new QRadioButton(QStringLiteral("Limite Total do Período"), rg);
    m_diario = new QRadioButton(QStringLiteral("Limite Diário"), rg);
    m_total->setChecked(true);
    opcoes->addWidget(m_total);
    opcoes->addWidget(m_diario);
    opcoes->addStretch(1);
    painel->addWidget(rg);
    auto* botoes = new QHBoxLayout;
    painel->addLayout(botoes);
    m_gravarLimite = novoBotao("PBGravarLimite", QStringLiteral("&Gravar Limite"), false, [this] { PBGravarLimiteClick(); }, botoes);
    m_consultar = novoBotao("PBConsultar", QStringLiteral("Consultar"), false, [this] { PBConsultarClick(); }, botoes);
    m_apagarCotas = novoBotao("PBApagarCotas", QStringLiteral("Apagar COTAS"), false, [this] { PBApagarCotasClick(); }, botoes);
    botoes->addStretch(1);
    concluiTela();

    const bool adm = SessaoAtual().UsuarioLogado.toUpper().contains(QLatin1String("ADM"));
    PBtnGravar()->setEnabled(adm);
    PBtnExcluir()->setEnabled(adm);
    m_painel->setEnabled(adm);
}

TFCadUnidades* TFCadUnidades::Abre()
{
    return MostraTela<TFCadUnidades>();
}

void TFCadUnidades::SBCodigoClick()
{
    const QString c = ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("Unidades"));
    if (c.isEmpty())
        return;
    PECodigo()->setText(c);
    PECodigoExit();
}

void TFCadUnidades::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    const bool novo = modo() == QLatin1String("i");
    QString codigo = PECodigo()->text();
    acaoRegistro(PBtnGravar(), [&] { GravaUnidade(dm->IBTransaction, codigo, m_nome->text(), novo); }, true);
}

void TFCadUnidades::PBtnExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !confirmaExclusao(QStringLiteral("Deseja realmente apagar esta Unidade?\nClique em Sim para apagar.")))
        return;
    if (modo() != QLatin1String("u"))
        return;
    acaoRegistro(PBtnExcluir(), [&] { ExcluiUnidade(dm->IBTransaction, PECodigo()->text(), m_nome->text()); }, true);
}

bool TFCadUnidades::temUnidade()
{
    if (!CodigoVazio(PECodigo()->text()))
        return true;
    Avisa(MensagemSemUnidade());
    PECodigo()->setFocus();
    return false;
}

void TFCadUnidades::PBGravarLimiteClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    const LimiteUnidade l{PECodigo()->text(), m_dataInicial->text(), m_dataFinal->text(), m_valor->text(), m_obs->text(),
                          m_diario->isChecked()};
    const RecusaLimite r = ConfereLimite(l);
    if (r.campo != RecusaLimite::Nenhum) {
        Avisa(r.texto);
        TPersonEdit* const campos[] = {nullptr, PECodigo(), m_dataInicial, m_dataFinal, m_valor};
        campos[r.campo]->setFocus();
        return;
    }
    if (ExecutaAcao(m_gravarLimite, [&] { GravaLimiteUnidade(dm->IBTransaction, l); }))
        m_dataInicial->setFocus();
}

void TFCadUnidades::PBConsultarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !temUnidade())
        return;
    QStringList linhas;
    if (!ExecutaAcao(m_consultar, [&] { linhas = ConsultaLimitesUnidade(dm->IBTLivre, PECodigo()->text()); }))
        return;
    Informa(linhas.isEmpty() ? QStringLiteral("Nenhum limite gravado para esta Unidade.") : linhas.join(QLatin1Char('\n')));
}

void TFCadUnidades::PBApagarCotasClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !temUnidade())
        return;
    if (!confirmaExclusao(QStringLiteral("Deseja realmente apagar TODAS AS COTAS programadas para esta Unidade?\n"
                                         "Clique em Sim para apagar.")))
        return;
    ExecutaAcao(m_apagarCotas, [&] { ApagaCotasUnidade(dm->IBTransaction, PECodigo()->text(), m_nome->text()); });
}

} // namespace vx
