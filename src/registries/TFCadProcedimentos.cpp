#include "registries/TFCadProcedimentos.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "registries/Procedimentos.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(CadastrodeProcedimentos1, [] { TFCadProcedimentos::Abre(); });

namespace {
QString buscaGrupo()
{
    return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("GruposProced"));
}

TPersonBtn* botaoPainel(const char* nome, const QString& texto, QWidget* pai)
{
    auto* b = new TPersonBtn(texto, pai);
    b->setObjectName(QLatin1String(nome));
    b->setVerRequeridos(false);
    b->setMinimumWidth(110);
    return b;
}
} // namespace

TFCadProcedimentos::TFCadProcedimentos(QWidget* parent)
    : TFCadastro("TFCadProcedimentos", QStringLiteral("Cadastro de Procedimentos"), QStringLiteral("PROCEDIMENTOS"),
                 QStringLiteral("PROCEDIMENTO EXCLUÍDO EM "), parent)
{
    using E = TPersonEdit;
    novoCampoCodigo(5, [this] { SBCodigoClick(); });
    m_nome = novoCampo("PENome", E::peTexto, QStringLiteral("Nome:"), 60, Maiusculo | Requerido);
    m_codGrupo = novoCampoReferencia("PECodGrupo", QStringLiteral("Grupo:"), 7, "LGrupo",
                                     {QStringLiteral("GruposProced"), QStringLiteral("codigo"), QStringLiteral("Nome"), buscaGrupo});
    m_apac = novaMarca("CBAPAC", QStringLiteral("APAC"), MesmaLinha);
    m_cbo = novoCampoReferencia("PECBO", QStringLiteral("CBO:"), 7, "LCBO",
                                {QStringLiteral("CBO"), QStringLiteral("codigo"), QStringLiteral("Descricao"), [] {
                                     return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Descricao"),
                                                           QStringLiteral("CBO"));
                                 }});
    m_quantMax = novoCampo("PEQuantMax", E::peInteiro, QStringLiteral("Quant.Máx.:"), 0);
    m_valor = novoCampo("PEValor", E::peFloat, QStringLiteral("Valor:"), 0, MesmaLinha);
    m_valorSus = novoCampo("PEValorSUS", E::peFloat, QStringLiteral("Valor SUS:"), 0, MesmaLinha);
    m_valorPopular = novoCampo("PEValorPopular", E::peFloat, QStringLiteral("Valor Cons. Popular:"), 0);
    m_registro = novoCampo("PERegistro", E::peTexto, QStringLiteral("Reg.BPA:"), 1, Maiusculo | MesmaLinha);
    m_codTabSus = novoCampo("PECodTabSUS", E::peTexto, QStringLiteral("Código Tab. SUS/CUNE:"), 100);
    liga(m_nome, QStringLiteral("NOME"));
    liga(m_codGrupo, QStringLiteral("CODGRUPO"));
    liga(m_apac, QStringLiteral("REQUERAPAC"));
    liga(m_cbo, QStringLiteral("CBO"));
    liga(m_quantMax, QStringLiteral("QUANTMAX"));
    liga(m_valor, QStringLiteral("VALOR"));
    liga(m_valorSus, QStringLiteral("VALORSUS"));
    liga(m_valorPopular, QStringLiteral("VALORPOPULAR"));
    liga(m_registro, QStringLiteral("REGISTRO"));
    liga(m_codTabSus, QStringLiteral("CODTABSUS"));
    connect(m_codTabSus, &TPersonEdit::saiu, this, &TFCadProcedimentos::PECodTabSUSExit);

    m_cbGrupos = novaMarca("CBGrupos", QStringLiteral("Exibir Cadastro de Grupos"));
    m_cbReajuste = novaMarca("CBReajuste", QStringLiteral("Reajustar Valores"), MesmaLinha);
    connect(m_cbGrupos, &QCheckBox::toggled, this, &TFCadProcedimentos::CBGruposClick);
    connect(m_cbReajuste, &QCheckBox::toggled, this, &TFCadProcedimentos::CBReajusteClick);

    // Groups: three fields, their two actions and the list of every group.
    m_painelGrupos = novoPainel("PainelGrupos", QStringLiteral("Cadastro de Grupos"));
    m_grupoCodigo = novoCampo("PECadGrupoCodigo", E::peTexto, QStringLiteral("Codigo:"), 5);
    m_grupoCodigo->setToolTip(QStringLiteral("Deixe em branco para gerar um código automático quando clicar em Gravar"));
    m_grupoNome = novoCampo("PECadGrupoNome", E::peTexto, QStringLiteral("Nome:"), 60, Maiusculo);
    m_grupoCobr = novoCampo("PECadGrupoCobr", E::peTexto, QStringLiteral("Grupo Cobr.:"), 60, Maiusculo);
    m_grupoGravar = botaoPainel("PBCadGrupoInserir", QStringLiteral("&Gravar"), m_painelGrupos);
    m_grupoExcluir = botaoPainel("PBCadGrupoExcluir", QStringLiteral("&Excluir"), m_painelGrupos);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(m_grupoGravar);
    botoes->addWidget(m_grupoExcluir);
    botoes->addStretch(1);
    auto* painel = static_cast<QVBoxLayout*>(m_painelGrupos->layout());
    painel->addLayout(botoes);
    m_grade = new GradeConsulta(m_painelGrupos);
    m_grade->setObjectName(QStringLiteral("GradeGrupos"));
    m_grade->setMinimumHeight(150);
    painel->addWidget(m_grade, 1);
    connect(m_grade, &GradeConsulta::linhaAtual, this, &TFCadProcedimentos::copiaGrupo);
    connect(m_grade, &GradeConsulta::cellClicked, this, &TFCadProcedimentos::copiaGrupo);
    connect(m_grupoGravar, &TPersonBtn::Acao, this, &TFCadProcedimentos::PBCadGrupoInserirClick);
    connect(m_grupoExcluir, &TPersonBtn::Acao, this, &TFCadProcedimentos::PBCadGrupoExcluirClick);

    // Adjustment: the index and, optionally, the one group it applies to.
    m_painelReajuste = novoPainel("PainelReajuste", QStringLiteral("Reajuste de Valores"));
    m_indice = novoCampo("PEIndiceReajuste", E::peFloat, QStringLiteral("Índice:"), 0);
    linhaAtual()->addWidget(new QLabel(QStringLiteral("%"), m_painelReajuste));
    m_grupoReajuste = novoCampoReferencia(
        "PEGrupoReajuste", QStringLiteral("Grupo:"), 7, "LGrupoReajuste",
        {QStringLiteral("GruposProced"), QStringLiteral("codigo"), QStringLiteral("Nome"), buscaGrupo}, MesmaLinha);
    m_grupoReajuste->setToolTip(QStringLiteral("Em branco: todos os procedimentos"));
    m_aplicar = botaoPainel("PBAplicarReajuste", QStringLiteral("Aplicar"), m_painelReajuste);
    linhaAtual()->addWidget(m_aplicar);
    connect(m_aplicar, &TPersonBtn::Acao, this, &TFCadProcedimentos::PBAplicarReajusteClick);

    m_painelGrupos->hide();
    m_painelReajuste->hide();
    concluiTela();
}

TFCadProcedimentos::~TFCadProcedimentos() = default;

TFCadProcedimentos* TFCadProcedimentos::Abre()
{
    return MostraTela<TFCadProcedimentos>();
}

QLabel* TFCadProcedimentos::LGrupo() const
{
    return findChild<QLabel*>(QStringLiteral("LGrupo"));
}

QLabel* TFCadProcedimentos::LCBO() const
{
    return findChild<QLabel*>(QStringLiteral("LCBO"));
}

void TFCadProcedimentos::limpaExtra()
{
    m_cbGrupos->setChecked(false);
    m_cbReajuste->setChecked(false);
    m_painelGrupos->hide();
    m_painelReajuste->hide();
}

void TFCadProcedimentos::SBCodigoClick()
{
    const QString c = ProcuraSimplesFiltro(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("Procedimentos"),
                                           QStringLiteral("DataExclusao is null"));
    if (c.isEmpty())
        return;
    PECodigo()->setText(c);
    PECodigoExit();
}

void TFCadProcedimentos::PECodTabSUSExit()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    QString aviso;
    try {
        aviso = AvisoCodTabSus(dm->IBTLivre, m_codTabSus->text(), PECodigo()->text());
    } catch (const std::exception& e) {
        MostraExcecao(e, QStringLiteral("Erro, verifique os dados digitados."));
        return;
    }
    if (!aviso.isEmpty())
        Avisa(aviso);
}

void TFCadProcedimentos::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    m_quantMax->setText(QuantMaxGravada(m_quantMax->text()));
    Procedimento p;
    p.codigo = PECodigo()->text();
    p.nome = m_nome->text();
    p.codGrupo = m_codGrupo->text();
    p.apac = m_apac->isChecked();
    p.cbo = m_cbo->text();
    p.quantMax = m_quantMax->text();
    p.valor = m_valor->text();
    p.valorSus = m_valorSus->text();
    p.valorPopular = m_valorPopular->text();
    p.registro = m_registro->text();
    p.codTabSus = m_codTabSus->text();
    acaoRegistro(PBtnGravar(), [&] { GravaProcedimento(dm->IBTransaction, p); });
}

void TFCadProcedimentos::PBtnExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || CodigoVazio(PECodigo()->text()) || !confirmaExclusao())
        return;
    acaoRegistro(PBtnExcluir(),
                 [&] { ExcluiProcedimento(dm->IBTransaction, PECodigo()->text(), m_nome->text(), DataAtualDate()); });
}

void TFCadProcedimentos::CBGruposClick()
{
    m_painelGrupos->setVisible(m_cbGrupos->isChecked());
    if (m_cbGrupos->isChecked())
        carregaGrupos();
    else
        adjustSize();
}

void TFCadProcedimentos::CBReajusteClick()
{
    m_painelReajuste->setVisible(m_cbReajuste->isChecked());
    if (!m_cbReajuste->isChecked())
        adjustSize();
}

void TFCadProcedimentos::carregaGrupos()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    try {
        m_grade->carrega(*transacaoLeitura(), QStringLiteral("SELECT * FROM GRUPOSPROCED ORDER BY CODIGO"));
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFCadProcedimentos::copiaGrupo()
{
    if (m_grade->currentRow() < 0)
        return;
    m_grupoCodigo->setText(m_grade->valor(QStringLiteral("CODIGO")));
    m_grupoNome->setText(m_grade->valor(QStringLiteral("NOME")));
    m_grupoCobr->setText(m_grade->valor(QStringLiteral("GRUPOCOBR")));
}

void TFCadProcedimentos::limpaGrupo()
{
    for (TPersonEdit* e : {m_grupoCodigo, m_grupoNome, m_grupoCobr})
        e->clear();
}

void TFCadProcedimentos::PBCadGrupoInserirClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    QString codigo = m_grupoCodigo->text();
    if (!ExecutaAcao(m_grupoGravar, [&] { GravaGrupo(dm->IBTransaction, codigo, m_grupoNome->text(), m_grupoCobr->text()); }))
        return;
    limpaGrupo();
    carregaGrupos();
    m_grupoCodigo->setFocus();
}

void TFCadProcedimentos::PBCadGrupoExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    if (!ExecutaAcao(m_grupoExcluir, [&] { ExcluiGrupo(dm->IBTransaction, m_grupoCodigo->text(), m_grupoNome->text()); }))
        return;
    limpaGrupo();
    carregaGrupos();
}

void TFCadProcedimentos::PBAplicarReajusteClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    const QString indice = m_indice->text();
    const QString grupo = m_grupoReajuste->text();
    if (acaoRegistro(m_aplicar, [&] { ReajustaValores(dm->IBTransaction, indice, grupo); }))
        Informa(QStringLiteral("Alteração Concluída!"));
}

} // namespace vx
