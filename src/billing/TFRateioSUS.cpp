#include "billing/TFRateioSUS.h"
#include "billing/Rateio.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(RepassesSIASUS1, [] { TFRateioSUS::Abre(); });

TFRateioSUS::TFRateioSUS(QWidget* parent) : TFBase(parent)
{
    using E = TPersonEdit;
    setObjectName(QStringLiteral("TFRateioSUS"));
    setWindowTitle(QStringLiteral("Cadastro de repasses SIA/SUS"));
    auto* raiz = new QVBoxLayout(this);
    raiz->addLayout(m_form.novoForm());
    m_descricao = m_form.campo("PEDescricao", E::peTexto, QStringLiteral("Descrição"), 50);
    m_ini = m_form.campo("PEDataBaseIni", E::peData, QStringLiteral("Data Base:"), 0);
    m_fim = m_form.campo("PEDataBaseFim", E::peData, QStringLiteral("a:"), 0, Formulario::MesmaLinha);
    m_total = m_form.campo("PEValorTotal", E::peFloat, QStringLiteral("Valor Total:"), 0);
    m_obs = m_form.campo("PEObs", E::peTexto, QStringLiteral("Obs.:"), 100);
    m_form.fechaLinha();

    auto* botoes = new QHBoxLayout;
    m_cadastrar = new QRadioButton(QStringLiteral("Cadastrar Novo"), this);
    m_cadastrar->setObjectName(QStringLiteral("RBCadastrar"));
    m_cadastrar->setChecked(true);
    m_editar = new QRadioButton(QStringLiteral("Editar"), this);
    m_editar->setObjectName(QStringLiteral("RBEditar"));
    botoes->addWidget(m_cadastrar);
    botoes->addWidget(m_editar);
    botoes->addStretch(1);
    m_gravar = new TPersonBtn(QStringLiteral("&Gravar"), this);
    m_gravar->setObjectName(QStringLiteral("PBGravarRateio"));
    m_gravar->setVerRequeridos(false);
    m_excluir = new TPersonBtn(QStringLiteral("&Excluir"), this);
    m_excluir->setObjectName(QStringLiteral("PBExcluirRateio"));
    m_excluir->setVerRequeridos(false);
    botoes->addWidget(m_gravar);
    botoes->addWidget(m_excluir);
    raiz->addLayout(botoes);

    m_grade = new GradeConsulta(this);
    m_grade->setObjectName(QStringLiteral("DBGrid1"));
    m_grade->defineTitulos({QStringLiteral("Id"), QStringLiteral("Descrição"), QStringLiteral("Valor Total"),
                            QStringLiteral("Data Base"), QStringLiteral("a"), QStringLiteral("Obs.")});
    m_grade->defineColunaElastica(1);
    raiz->addWidget(m_grade, 1);
    resize(720, 480);

    connect(m_gravar, &TPersonBtn::Acao, this, &TFRateioSUS::PBGravarRateioClick);
    connect(m_excluir, &TPersonBtn::Acao, this, &TFRateioSUS::PBExcluirRateioClick);
    connect(m_grade, &GradeConsulta::linhaAtual, this, [this](int linha) {
        if (linha >= 0)
            CarregaLinha();
    });
    limpa();
    relista();
}

TFRateioSUS* TFRateioSUS::Abre()
{
    TFRateioSUS* t = MostraTela<TFRateioSUS>();
    t->m_descricao->setFocus();
    return t;
}

QString TFRateioSUS::idAtual() const
{
    return m_grade->currentRow() < 0 ? QString() : m_grade->valor(QStringLiteral("IDRATEIO"));
}

void TFRateioSUS::relista()
{
    Transacao* tr = transacaoLeitura();
    if (!tr)
        return;
    QSignalBlocker b(m_grade);
    try {
        m_grade->carrega(*tr, QStringLiteral("select idrateio, descricao, valortotal, databaseini, databasefim, obs "
                                             "from rateiosus order by idrateio desc"));
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFRateioSUS::limpa()
{
    m_form.limpa();
    m_total->setText(QStringLiteral("0,00"));
    m_descricao->setFocus();
}

void TFRateioSUS::CarregaLinha()
{
    if (m_grade->currentRow() < 0)
        return;
    m_editar->setChecked(true);
    m_descricao->setText(m_grade->valor(QStringLiteral("DESCRICAO")));
    m_ini->setText(m_grade->valor(QStringLiteral("DATABASEINI")));
    m_fim->setText(m_grade->valor(QStringLiteral("DATABASEFIM")));
    m_total->setText(FormataValor(DecimalTexto(m_grade->valor(QStringLiteral("VALORTOTAL"))), QStringLiteral("0.00")));
    m_obs->setText(m_grade->valor(QStringLiteral("OBS")));
}

void TFRateioSUS::PBGravarRateioClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    const DadosBaseRateio d{m_descricao->text(), m_ini->text(), m_fim->text(), m_total->text(), m_obs->text()};
    const bool editar = m_editar->isChecked();
    const bool ok = ExecutaAcao(m_gravar, [&] {
        const QString id = editar ? idAtual() : QString();
        if (editar && id.isEmpty())
            throw ErroValor(QStringLiteral("Selecione na lista o repasse a editar."));
        GravaBaseRateio(dm->IBTransaction, id, d);
    });
    if (!ok)
        return;
    relista();
    limpa();
}

void TFRateioSUS::PBExcluirRateioClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    const DadosBaseRateio d{m_descricao->text(), m_ini->text(), m_fim->text(), m_total->text(), m_obs->text()};
    const bool ok = ExecutaAcao(m_excluir, [&] {
        const QString id = idAtual();
        if (id.isEmpty())
            throw ErroValor(QStringLiteral("Selecione na lista o repasse a excluir."));
        ExcluiBaseRateio(dm->IBTransaction, id, d);
    });
    if (!ok)
        return;
    relista();
    limpa();
    m_cadastrar->setChecked(true);
}

} // namespace vx
