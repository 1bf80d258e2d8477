#include "municipality/TFAgendaDispo.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/Mensagens.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "municipality/Agenda.h"

#include <QCalendarWidget>
#include <QLocale>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(Configuraes1, [] { TFAgendaDispo::Abre(); });

namespace {
using E = TPersonEdit;

QDate hoje()
{
    const QDate d = DataAtualDate();
    return d.isValid() ? d : QDate::currentDate();
}
} // namespace

TFAgendaDispo::TFAgendaDispo(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFAgendaDispo"));
    setWindowTitle(QStringLiteral("Configuração de Agenda Médica"));
    auto* raiz = new QHBoxLayout(this);
    auto* esquerda = new QVBoxLayout;
    raiz->addLayout(esquerda, 1);

    esquerda->addLayout(m_form.novoForm());
    m_profissional = m_form.campo("PECodProfissional", E::peInteiro, QStringLiteral("Profissional:"), 5, Formulario::Requerido);
    m_sbProfissional = NovoBotaoBusca(QStringLiteral("SBCodProfissional"), this);
    m_form.linhaAtual()->addWidget(m_sbProfissional);
    m_lProfissional = new QLabel(this);
    m_lProfissional->setObjectName(QStringLiteral("LProfissional"));
    m_lProfissional->setMinimumWidth(240);
    QFont negrito = m_lProfissional->font();
    negrito.setBold(true);
    m_lProfissional->setFont(negrito);
    m_form.linhaAtual()->addWidget(m_lProfissional, 1);
    m_data = m_form.campo("PEData", E::peData, QStringLiteral("Data:"), 0, Formulario::Avulso | Formulario::Requerido);
    m_quant = m_form.campo("PEQuantDispo", E::peInteiro, QStringLiteral("Quant. Disp."), 4);
    m_hora = m_form.campo("PEHoraInicio", E::peTexto, QStringLiteral("Hora Início:"), 0);
    m_hora->setMascara(QStringLiteral("90:00;_"), QStringLiteral("  :  "));
    m_hora->setFixedWidth(m_hora->fontMetrics().horizontalAdvance(QStringLiteral("00:000")) + 16);
    m_obs = m_form.campo("PEObs", E::peTexto, QStringLiteral("Obs:"), 100);
    m_obs->setFixedWidth(m_obs->fontMetrics().averageCharWidth() * 45);
    m_form.fechaLinha();

    auto* botoes = new QHBoxLayout;
    m_gravar = new TPersonBtn(QStringLiteral("&Gravar"), this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    botoes->addStretch(1);
    botoes->addWidget(m_gravar);
    esquerda->addLayout(botoes);
    esquerda->addStretch(1);

    m_calendario = new QCalendarWidget(this);
    m_calendario->setLocale(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_calendario->setObjectName(QStringLiteral("Calendario"));
    m_calendario->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendario->setGridVisible(true);
    m_calendario->setFocusPolicy(Qt::StrongFocus);
    raiz->addWidget(m_calendario, 0, Qt::AlignTop);

    LigaCodigo(m_profissional, m_sbProfissional, m_lProfissional,
               [](const QString& c) {
                   return NomeLivre(c, QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("Profissionais"));
               },
               [this] { PECodProfissionalExit(); });
    connect(m_sbProfissional, &QToolButton::clicked, this, &TFAgendaDispo::SBCodProfissionalClick);
    connect(m_data, &E::saiu, this, &TFAgendaDispo::PEDataExit);
    connect(m_calendario, &QCalendarWidget::selectionChanged, this, &TFAgendaDispo::CalendarioMudou);
    connect(m_gravar, &TPersonBtn::Acao, this, &TFAgendaDispo::PBtnGravarClick);

    mostraData(hoje());
    m_form.limpa();
}

TFAgendaDispo* TFAgendaDispo::Abre()
{
    TFAgendaDispo* t = MostraTela<TFAgendaDispo>();
    t->m_profissional->setFocus();
    return t;
}

void TFAgendaDispo::AbreModal(const QString& profissional, QWidget* pai)
{
    if (TFAgendaDispo* aberta = InstanciaTela<TFAgendaDispo>())
        aberta->close();
    auto* t = new TFAgendaDispo(pai);
    RegistroTela<TFAgendaDispo>() = t;
    ExecutaTelaModal(t, [&] { t->defineProfissional(profissional); });
}

void TFAgendaDispo::defineProfissional(const QString& codigo)
{
    m_profissional->setText(codigo.trimmed());
    m_lProfissional->setText(
        NomeLivre(codigo.trimmed(), QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("Profissionais")));
    CarregaDia();
    m_data->setFocus();
}

void TFAgendaDispo::mostraData(const QDate& d)
{
    m_data->setText(TextoData(d));
    const QSignalBlocker b(m_calendario);
    m_calendario->setSelectedDate(d);
}

void TFAgendaDispo::PECodProfissionalExit() { CarregaDia(); }

void TFAgendaDispo::SBCodProfissionalClick()
{
    SuspendeFechamento s(this);
    const QString c = ProcuraFiltro({QStringLiteral("codconcat"), QStringLiteral("Nome"), QStringLiteral("OcupacaoEntidade")},
                                    QStringLiteral("Nome"), QStringLiteral("v_Profissionais"), CondicaoProfissionaisDispo());
    if (c.isEmpty())
        return;
    defineProfissional(c);
}

void TFAgendaDispo::PEDataExit()
{
    const QDate d = LeData(m_data->text());
    if (d.isValid()) {
        const QSignalBlocker b(m_calendario);
        m_calendario->setSelectedDate(d);
    }
    CarregaDia();
}

void TFAgendaDispo::CalendarioMudou()
{
    m_data->setText(TextoData(m_calendario->selectedDate()));
    CarregaDia();
}

void TFAgendaDispo::CarregaDia()
{
    m_quant->clear();
    m_hora->clear();
    m_obs->clear();
    const QDate d = LeData(m_data->text());
    Transacao* tr = transacaoLeitura();
    if (!tr || !d.isValid() || CodigoVazio(m_profissional->text()))
        return;
    try {
        if (const auto dispo = LeDisponibilidade(*tr, m_profissional->text(), d)) {
            m_quant->setText(dispo->quantDispo);
            m_hora->setText(dispo->horaInicio);
            m_obs->setText(dispo->obs);
        }
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFAgendaDispo::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    if (CodigoVazio(m_profissional->text())) {
        MostraErro(QStringLiteral("O valor do campo \"%1\" não pode estar em Branco!").arg(m_profissional->rotulo()));
        m_profissional->setFocus();
        return;
    }
    const bool ok = ExecutaAcao(m_gravar, [&] {
        Disponibilidade d;
        d.profissional = m_profissional->text().trimmed();
        d.data = LeData(m_data->text());
        d.quantDispo = m_quant->text().trimmed();
        d.horaInicio = m_hora->text();
        d.obs = m_obs->text();
        GravaDisponibilidade(dm->IBTransaction, d);
    });
    if (ok)
        m_data->setFocus();
}

} // namespace vx
