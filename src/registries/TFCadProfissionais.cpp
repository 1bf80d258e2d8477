#include "registries/TFCadProfissionais.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "municipality/CartaoSus.h"
#include "registries/Profissionais.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(CadastrodeProfissionais1, [] { TFCadProfissionais::Abre(); });

namespace {
const char* const kTelaEntidades = "CadastrodeEntidades1";
const QString kErroLeitura = QStringLiteral("Erro, verifique os dados digitados.");
} // namespace

TFCadProfissionais::TFCadProfissionais(QWidget* parent)
    : TFCadastro("TFCadProfissionais", QStringLiteral("Cadastro de Profissionais"), QStringLiteral("PROFISSIONAIS"),
                 QStringLiteral("PROFISSIONAL EXCLUÍDO EM "), parent)
{
    novoCampoCodigo(5, [this] { SBCodigoClick(); });
    m_nome = novoCampo("PENome", TPersonEdit::peTexto, QStringLiteral("Nome:"), 60, Maiusculo | Requerido);
    m_contato = novoCampo("PEContato", TPersonEdit::peTexto, QStringLiteral("Contato:"), 100);
    m_email = novoCampo("PEEmail", TPersonEdit::peTexto, QStringLiteral("Email:"), 100);
    m_email->setValidar(false);
    m_cpf = novoCampo("PECpf", TPersonEdit::peCpf, QStringLiteral("CPF:"), 0);
    m_cartao = novoCampo("PECartaoSUS", TPersonEdit::peTexto, QStringLiteral("Cartão SUS:"), 15);
    m_cnsBpa = novoCampo("PECNSBPA", TPersonEdit::peTexto, QStringLiteral("CNS BPA:"), 20, MesmaLinha);
    // Card numbers are digits, wider than the average character the base sizes fields by.
    for (TPersonEdit* e : {m_cartao, m_cnsBpa})
        e->setFixedWidth(qMax(e->width(), e->fontMetrics().horizontalAdvance(QString(e->maxLength() + 1, QLatin1Char('0'))) + 12));
    m_conselho = novoCampo("PEConselho", TPersonEdit::peTexto, QStringLiteral("Conselho:"), 20);
    m_cbo = novoCampoReferencia("PECBO", QStringLiteral("CBO:"), 7, "LCBO",
                                {QStringLiteral("CBO"), QStringLiteral("codigo"), QStringLiteral("Descricao"), [] {
                                     return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Descricao"),
                                                           QStringLiteral("CBO"));
                                 }});
    m_entidade = novoCampoReferencia("PECodEntidade", QStringLiteral("Entidade:"), 7, "LEntidade",
                                     {QStringLiteral("Entidades"), QStringLiteral("codigo"), QStringLiteral("RazaoSocial"), [] {
                                          return ProcuraSimplesFiltro(QStringLiteral("codigo"), QStringLiteral("RazaoSocial"),
                                                                      QStringLiteral("Entidades"),
                                                                      QStringLiteral("DataExclusao is null"));
                                      }});
    m_obs = novoCampo("PEObs", TPersonEdit::peTexto, QStringLiteral("Obs:"), 500);
    m_lCbo = findChild<QLabel*>(QStringLiteral("LCBO"));
    m_lEntidade = findChild<QLabel*>(QStringLiteral("LEntidade"));

    liga(m_nome, QStringLiteral("NOME"));
    liga(m_contato, QStringLiteral("CONTATO"));
    liga(m_email, QStringLiteral("EMAIL"));
    liga(m_cpf, QStringLiteral("CPF"));
    liga(m_cartao, QStringLiteral("CARTAOSUS"));
    liga(m_cnsBpa, QStringLiteral("CNSBPA"));
    liga(m_conselho, QStringLiteral("CONSELHO"));
    liga(m_cbo, QStringLiteral("CBO"));
    liga(m_obs, QStringLiteral("OBS"));

    const bool cumbel = TemPerfil(QStringLiteral("CUMBEL"));
    m_cnsBpa->setVisible(cumbel);
    m_cnsBpa->editLabel()->setVisible(cumbel);
    connect(m_cartao, &TPersonEdit::saiu, this, [this] { confereCartao(m_cartao, true); });
    connect(m_cnsBpa, &TPersonEdit::saiu, this, [this] { confereCartao(m_cnsBpa, false); });

    m_cadEntidades = novoBotao("PBCadEntidades", QStringLiteral("Cad. Entidades"), false, [this] { PBCadEntidadesClick(); });

    m_grade = new GradeConsulta(this);
    m_grade->setObjectName(QStringLiteral("GradeEntidades"));
    m_grade->setMinimumHeight(110);
    areaInferior()->addWidget(m_grade);
    concluiTela();
}

TFCadProfissionais::~TFCadProfissionais() = default;

TFCadProfissionais* TFCadProfissionais::Abre()
{
    return MostraTela<TFCadProfissionais>();
}

void TFCadProfissionais::showEvent(QShowEvent* ev)
{
    TFCadastro::showEvent(ev);
    const bool disponivel = TemTela(QLatin1String(kTelaEntidades));
    m_cadEntidades->setEnabled(disponivel);
    m_cadEntidades->setToolTip(disponivel ? QString() : QStringLiteral("Tela ainda não disponível nesta versão"));
}

void TFCadProfissionais::limpaExtra()
{
    m_grade->setRowCount(0);
}

void TFCadProfissionais::aposCarregar(const LinhaCadastro&)
{
    TDMCUNE* dm = DMCUNE();
    const QString codigo = PECodigo()->text().trimmed();
    if (!dm || codigo.isEmpty())
        return;
    try {
        m_entidade->setText(EntidadeDoProfissional(dm->IBTLivre, codigo));
        m_lEntidade->setText(NomeLivre(m_entidade->text(), QStringLiteral("codigo"), QStringLiteral("RazaoSocial"),
                                       QStringLiteral("Entidades")));
        m_grade->carrega(*transacaoLeitura(), SqlEntidadesDoProfissional(codigo));
    } catch (const std::exception& e) {
        MostraExcecao(e, kErroLeitura);
    }
}

void TFCadProfissionais::confereCartao(TPersonEdit* campo, bool aceitaX)
{
    const QString t = campo->text();
    if (aceitaX && t == QLatin1String("X"))
        return;
    if (!ValidaCartaoSUS(t))
        campo->setFocus();
}

void TFCadProfissionais::SBCodigoClick()
{
    const QString c = ProcuraFiltro({QStringLiteral("codconcat"), QStringLiteral("Nome"), QStringLiteral("OcupacaoEntidade")},
                                    QStringLiteral("Nome"), QStringLiteral("V_Profissionais"),
                                    QStringLiteral("DataExclusao is null"));
    if (c.isEmpty())
        return;
    PECodigo()->setText(c);
    PECodigoExit();
}

Profissional TFCadProfissionais::dados() const
{
    return {PECodigo()->text(), m_nome->text(),  m_contato->text(), m_email->text(), m_cpf->text(), m_cartao->text(),
            m_cnsBpa->text(),   m_conselho->text(), m_cbo->text(),  m_entidade->text(), m_obs->text()};
}

void TFCadProfissionais::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    Profissional p = dados();
    acaoRegistro(PBtnGravar(), [&] { GravaProfissional(dm->IBTransaction, p, TemPerfil(QStringLiteral("CUMBEL")), DataAtualDate()); });
}

void TFCadProfissionais::PBtnExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    const QString codigo = PECodigo()->text();
    // Nothing to close without a code.
    if (!dm || codigo.trimmed().isEmpty() || !confirmaExclusao())
        return;
    acaoRegistro(PBtnExcluir(), [&] { ExcluiProfissional(dm->IBTransaction, codigo, m_nome->text(), DataAtualDate()); });
}

void TFCadProfissionais::PBCadEntidadesClick()
{
    abreTelaVizinha(QLatin1String(kTelaEntidades));
}

} // namespace vx
