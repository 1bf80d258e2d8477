#include "municipality/TFAgenda.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/Mensagens.h"
#include "core/TFProcura.h"
#include "core/TFprincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "municipality/Agenda.h"
#include "municipality/TFAgendaDispo.h"
#include "municipality/TFCadPessoas.h"
#include "municipality/TRAgendaProf.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(Agendamento2, [] { TFAgenda::Abre(); });

namespace {

using E = TPersonEdit;

QLabel* rotuloNome(const char* nome, QWidget* pai)
{
    auto* l = new QLabel(pai);
    l->setObjectName(QLatin1String(nome));
    l->setMinimumWidth(220);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

TPersonBtn* botao(const QString& texto, const char* nome, QWidget* pai, bool requeridos = false)
{
    auto* b = new TPersonBtn(texto, pai);
    b->setObjectName(QLatin1String(nome));
    b->setVerRequeridos(requeridos);
    return b;
}

// Selects the row whose `coluna` holds `valor` (else the first), without signals. Returns it.
int selecionaLinha(GradeConsulta* g, const QString& coluna, const QString& valor)
{
    int linha = g->linhas() > 0 ? 0 : -1;
    for (int i = 0; i < g->linhas(); ++i)
        if (g->valor(coluna, i) == valor) {
            linha = i;
            break;
        }
    const QSignalBlocker b(g);
    if (linha >= 0)
        g->setCurrentCell(linha, 0);
    return linha;
}

} // namespace

TFAgenda::TFAgenda(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFAgenda"));
    setWindowTitle(QStringLiteral("Agendamento de Atendimentos"));
    auto* raiz = new QVBoxLayout(this);

    // Professionals and the selected one's days.
    auto* topo = new QHBoxLayout;
    raiz->addLayout(topo, 3);
    auto* colProf = new QVBoxLayout;
    topo->addLayout(colProf, 5);
    auto* lProf = new QLabel(QStringLiteral("Profissionais com Agenda:"), this);
    colProf->addWidget(lProf);
    m_gradeProf = new GradeConsulta(this);
    m_gradeProf->setObjectName(QStringLiteral("DBGridProf"));
    m_gradeProf->defineTitulos({QStringLiteral("Cód."), QStringLiteral("Nome"), QStringLiteral("Especialidade")});
    m_gradeProf->defineColunaElastica(2);
    colProf->addWidget(m_gradeProf, 1);
    auto* colDias = new QVBoxLayout;
    topo->addLayout(colDias, 4);
    m_lAgendaProf = new QLabel(QStringLiteral("Agenda do Profissional:"), this);
    m_lAgendaProf->setObjectName(QStringLiteral("LAgendaProf"));
    QFont negrito = m_lAgendaProf->font();
    negrito.setBold(true);
    m_lAgendaProf->setFont(negrito);
    colDias->addWidget(m_lAgendaProf);
    m_gradeDias = new GradeConsulta(this);
    m_gradeDias->setObjectName(QStringLiteral("DBGridDias"));
    m_gradeDias->defineTitulos({QStringLiteral("Data"), QStringLiteral("Dia da Semana"), QStringLiteral("Maximo"),
                                QStringLiteral("Agendados")});
    m_gradeDias->defineColunaElastica(1);
    colDias->addWidget(m_gradeDias, 1);

    auto* botoes = new QHBoxLayout;
    raiz->addLayout(botoes);
    m_novo = botao(QStringLiteral("Novo Agendamento"), "PBNovoAgendamento", this);
    m_excluir = botao(QStringLiteral("&Excluir"), "PBtnExcluir", this);
    m_config = botao(QStringLiteral("Config. Horários"), "PBConfigHorarios", this);
    m_imprimir = botao(QStringLiteral("&Imprimir Agenda do Prof."), "PBImprimir", this);
    for (TPersonBtn* b : {m_novo, m_excluir, m_config, m_imprimir})
        botoes->addWidget(b);
    botoes->addStretch(1);

    // The day's bookings and, beside them, the booking panel.
    auto* baixo = new QHBoxLayout;
    raiz->addLayout(baixo, 2);
    m_gradeAgenda = new GradeConsulta(this);
    m_gradeAgenda->setObjectName(QStringLiteral("DBGridAgenda"));
    m_gradeAgenda->defineTitulos({QStringLiteral("Id"), QStringLiteral("Paciente"), QStringLiteral("Município"),
                                  QStringLiteral("Quem Ligou")});
    m_gradeAgenda->defineColunaElastica(1);
    baixo->addWidget(m_gradeAgenda, 1);

    m_painel = new QGroupBox(QStringLiteral("Novo Agendamento"), this);
    m_painel->setObjectName(QStringLiteral("PainelAgendamento"));
    auto* lp = new QVBoxLayout(m_painel);
    lp->addLayout(m_form.novoForm());
    m_municipio = m_form.campo("PECodMunicipio", E::peInteiro, QStringLiteral("Município:"), 7, Formulario::Requerido);
    m_sbMunicipio = NovoBotaoBusca(QStringLiteral("SBCodMunicipio"), this);
    m_form.linhaAtual()->addWidget(m_sbMunicipio);
    m_lMunicipio = rotuloNome("LMunicipio", this);
    m_form.linhaAtual()->addWidget(m_lMunicipio, 1);
    m_pessoa = m_form.campo("PECodPessoa", E::peInteiro, QStringLiteral("Paciente:"), 5, Formulario::Requerido);
    m_sbPessoa = NovoBotaoBusca(QStringLiteral("SBCodPessoa"), this);
    m_form.linhaAtual()->addWidget(m_sbPessoa);
    m_sbCadPessoa = NovoBotaoBusca(QStringLiteral("SBCadPessoa"), this);
    m_sbCadPessoa->setText(QStringLiteral("+"));
    m_sbCadPessoa->setToolTip(QStringLiteral("Cadastrar novo paciente"));
    m_form.linhaAtual()->addWidget(m_sbCadPessoa);
    m_lPessoa = rotuloNome("LPessoa", this);
    m_form.linhaAtual()->addWidget(m_lPessoa, 1);
    auto* lQuem = new QLabel(QStringLiteral("Quem Ligou:"), this);
    m_quemLigou = new QComboBox(this);
    m_quemLigou->setObjectName(QStringLiteral("CBQuemLigou"));
    m_quemLigou->setEditable(true);
    m_quemLigou->setInsertPolicy(QComboBox::NoInsert);
    m_quemLigou->lineEdit()->setMaxLength(50);
    m_quemLigou->setMinimumWidth(m_quemLigou->fontMetrics().averageCharWidth() * 36);
    lQuem->setBuddy(m_quemLigou);
    m_form.novaLinha(lQuem, false)->addWidget(m_quemLigou);
    m_hora = m_form.campo("PEHora", E::peTexto, QStringLiteral("Horário:"), 0);
    m_hora->setMascara(QStringLiteral("90:00;_"), QStringLiteral("  :  "));
    m_hora->setFixedWidth(m_hora->fontMetrics().horizontalAdvance(QStringLiteral("00:000")) + 16);
    m_obs = m_form.campo("PEObs", E::peTexto, QStringLiteral("Obs:"), 100);
    m_obs->setFixedWidth(m_obs->fontMetrics().averageCharWidth() * 42);
    m_form.fechaLinha();
    auto* bp = new QHBoxLayout;
    bp->addStretch(1);
    m_gravar = botao(QStringLiteral("&Gravar"), "PBtnGravar", this, true);
    m_cancelar = botao(QStringLiteral("Cancelar"), "PBtnCancelar", this);
    bp->addWidget(m_gravar);
    bp->addWidget(m_cancelar);
    lp->addLayout(bp);
    lp->addStretch(1);
    baixo->addWidget(m_painel);
    m_painel->hide();

    // Bindings.
    connect(m_gradeProf, &GradeConsulta::linhaAtual, this, &TFAgenda::profissionalEscolhido);
    connect(m_gradeDias, &GradeConsulta::linhaAtual, this, &TFAgenda::diaEscolhido);
    connect(m_novo, &TPersonBtn::Acao, this, &TFAgenda::PBNovoAgendamentoClick);
    connect(m_excluir, &TPersonBtn::Acao, this, &TFAgenda::PBtnExcluirClick);
    connect(m_config, &TPersonBtn::Acao, this, &TFAgenda::PBConfigHorariosClick);
    connect(m_imprimir, &TPersonBtn::Acao, this, &TFAgenda::PBImprimirClick);
    connect(m_gravar, &TPersonBtn::Acao, this, &TFAgenda::PBtnGravarClick);
    connect(m_cancelar, &TPersonBtn::Acao, this, &TFAgenda::PBtnCancelarClick);
    LigaCodigo(m_municipio, m_sbMunicipio, nullptr, {}, [this] { PECodMunicipioExit(); });
    LigaCodigo(m_pessoa, m_sbPessoa, nullptr, {}, [this] { PECodPessoaExit(); });
    connect(m_sbMunicipio, &QToolButton::clicked, this, &TFAgenda::SBCodMunicipioClick);
    connect(m_sbPessoa, &QToolButton::clicked, this, &TFAgenda::SBCodPessoaClick);
    connect(m_sbCadPessoa, &QToolButton::clicked, this, &TFAgenda::SBCadPessoaClick);
    connect(m_quemLigou->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& t) {
        const QString m = t.toUpper();
        if (m == t)
            return;
        QLineEdit* l = m_quemLigou->lineEdit();
        const int pos = l->cursorPosition();
        l->setText(m);
        l->setCursorPosition(pos);
    });
    for (QWidget* g : {static_cast<QWidget*>(m_gradeProf), static_cast<QWidget*>(m_gradeDias),
                       static_cast<QWidget*>(m_gradeAgenda)})
        g->installEventFilter(this);

    resize(980, 620);
    CarregaProfissionais();
}

TFAgenda* TFAgenda::Abre()
{
    TFAgenda* t = MostraTela<TFAgenda>();
    t->m_gradeProf->setFocus();
    return t;
}

// Enter on a professional goes to the days, Enter on a day opens a booking, Delete on a booking
// removes it.
bool TFAgenda::eventFilter(QObject* obj, QEvent* ev)
{
    if (ev->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(ev)->key();
        const bool enter = k == Qt::Key_Return || k == Qt::Key_Enter;
        if (obj == m_gradeProf && enter) {
            m_gradeDias->setFocus();
            return true;
        }
        if (obj == m_gradeDias && enter) {
            m_novo->executa();
            return true;
        }
        if (obj == m_gradeAgenda && k == Qt::Key_Delete) {
            m_excluir->executa();
            return true;
        }
    }
    return TFBase::eventFilter(obj, ev);
}

// ---- grids ----

void TFAgenda::CarregaProfissionais()
{
    Transacao* tr = transacaoLeitura();
    if (!tr)
        return;
    {
        const QSignalBlocker b(m_gradeProf);
        try {
            m_gradeProf->carrega(*tr, SqlProfissionaisAgenda());
        } catch (const std::exception& e) {
            MostraExcecao(e);
        }
    }
    profissionalEscolhido(selecionaLinha(m_gradeProf, QStringLiteral("COD"), m_prof));
}

void TFAgenda::profissionalEscolhido(int linha)
{
    m_prof = linha >= 0 ? m_gradeProf->valor(QStringLiteral("COD"), linha) : QString();
    m_lAgendaProf->setText(QStringLiteral("Agenda do Profissional: ") + m_gradeProf->valor(QStringLiteral("NOME"), linha)
                           + QLatin1Char(':'));
    CarregaDias();
}

void TFAgenda::CarregaDias()
{
    Transacao* tr = transacaoLeitura();
    int linha = -1;
    {
        const QSignalBlocker b(m_gradeDias);
        m_gradeDias->setRowCount(0);
        if (tr && !m_prof.isEmpty()) {
            try {
                m_gradeDias->carrega(*tr, SqlDiasProfissional(m_prof));
            } catch (const std::exception& e) {
                MostraExcecao(e);
            }
            for (int i = 0; i < m_gradeDias->linhas(); ++i) {
                if (!DiaCheio(m_gradeDias->valor(QStringLiteral("MAXIMO"), i).toLongLong(),
                              m_gradeDias->valor(QStringLiteral("AGENDADOS"), i).toLongLong()))
                    continue;
                for (int c = 0; c < m_gradeDias->columnCount(); ++c)
                    if (QTableWidgetItem* it = m_gradeDias->item(i, c))
                        it->setForeground(Qt::red);
            }
        }
        linha = selecionaLinha(m_gradeDias, QStringLiteral("DATA"), TextoData(m_dia));
    }
    diaEscolhido(linha);
}

void TFAgenda::diaEscolhido(int linha)
{
    m_dia = linha >= 0 ? LeData(m_gradeDias->valor(QStringLiteral("DATA"), linha)) : QDate();
    CarregaAgendamentos();
}

void TFAgenda::CarregaAgendamentos()
{
    Transacao* tr = transacaoLeitura();
    const QSignalBlocker b(m_gradeAgenda);
    m_gradeAgenda->setRowCount(0);
    if (!tr || m_prof.isEmpty() || !m_dia.isValid())
        return;
    try {
        m_gradeAgenda->carrega(*tr, SqlAgendamentosDia(m_prof, m_dia));
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

// ---- buttons ----

void TFAgenda::PBNovoAgendamentoClick()
{
    Transacao* tr = transacaoLeitura();
    if (!tr || m_prof.isEmpty() || !m_dia.isValid())
        return;
    SituacaoDia s;
    try {
        s = LeSituacaoDia(*tr, m_prof, m_dia);
    } catch (const std::exception& e) {
        MostraExcecao(e);
        return;
    }
    if (s.cheio()) {
        MostraErro(QString::fromUtf8(kMsgDiaCheio), QString());
        return;
    }
    m_hora->setText(s.horaInicio);
    m_painel->setTitle(QStringLiteral("Novo Agendamento: ") + TextoData(m_dia));
    m_painel->show();
    m_municipio->setFocus();
}

void TFAgenda::PBtnExcluirClick()
{
    const QString id = m_gradeAgenda->valor(QStringLiteral("ID_AGENDA"));
    TDMCUNE* dm = DMCUNE();
    if (id.isEmpty() || !dm)
        return;
    if (!Confirma())
        return;
    const QString prof = m_prof;
    const QDate dia = m_dia;
    if (ExecutaAcao(m_excluir, [&] { ExcluiAgendamento(dm->IBTransaction, id.toLongLong(), prof, dia); }))
        CarregaDias();
}

bool TFAgenda::podeConfigurar()
{
    if (TFprincipal* p = TFprincipal::atual())
        return p->itemVisivel(QStringLiteral("Configuraes1"));
    Transacao* tr = transacaoLeitura();
    try {
        return tr && PodeConfigurarAgenda(*tr, SessaoAtual().UsuarioLogado);
    } catch (const std::exception& e) {
        MostraExcecao(e);
        return false;
    }
}

void TFAgenda::PBConfigHorariosClick()
{
    if (!podeConfigurar()) {
        MostraErro(QString::fromUtf8(kMsgSemPermissao), QString());
        return;
    }
    {
        SuspendeFechamento s(this);
        TFAgendaDispo::AbreModal(m_prof, this);
    }
    CarregaProfissionais();
}

void TFAgenda::PBImprimirClick()
{
    Transacao* tr = transacaoLeitura();
    if (!tr || m_prof.isEmpty())
        return;
    SuspendeFechamento s(this);
    try {
        Lendo(*tr, [&] { return TRAgendaProf::Executa(*tr, m_prof.toLongLong(), this); });
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

// ---- booking panel ----

void TFAgenda::PECodMunicipioExit() { processaMunicipio(); }

void TFAgenda::processaMunicipio()
{
    const QString mun = m_municipio->text().trimmed();
    m_lMunicipio->setText(NomeLivre(mun, QStringLiteral("codigo"), QStringLiteral("NOme"), QStringLiteral("Clientes")));
    const QString digitado = m_quemLigou->currentText();
    m_quemLigou->clear();
    Transacao* tr = transacaoLeitura();
    if (tr && !CodigoVazio(mun)) {
        try {
            m_quemLigou->addItems(SugestoesQuemLigou(*tr, mun));
        } catch (const std::exception& e) {
            MostraExcecao(e);
        }
    }
    m_quemLigou->setCurrentIndex(-1);
    m_quemLigou->setEditText(digitado);
}

void TFAgenda::SBCodMunicipioClick()
{
    SuspendeFechamento s(this);
    const QString c = ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("Clientes"));
    if (c.isEmpty())
        return;
    m_municipio->setText(c);
    processaMunicipio();
}

void TFAgenda::PECodPessoaExit()
{
    const QString codigo = m_pessoa->text().trimmed();
    Transacao* tr = transacaoLeitura();
    if (codigo.isEmpty() || !tr) {
        m_lPessoa->clear();
        return;
    }
    try {
        m_lPessoa->setText(NomePaciente(*tr, m_municipio->text(), codigo));
    } catch (const std::exception& e) {
        m_lPessoa->clear();
        MostraExcecao(e);
    }
}

void TFAgenda::SBCodPessoaClick()
{
    SuspendeFechamento s(this);
    const QString mun = m_municipio->text().trimmed();
    if (!CodigoVazio(mun)) {
        const QString c = ProcuraFiltro(CamposBuscaPaciente(true), QStringLiteral("Nome"), QStringLiteral("Pessoas"),
                                        CondicaoBuscaPaciente(mun));
        if (c.isEmpty())
            return;
        m_pessoa->setText(c);
    } else {
        // Over all patients: the row chosen gives the patient and the municipality (homonyms of
        // other municipalities are other people).
        if (Procura(CamposBuscaPaciente(false), QStringLiteral("Nome"), QStringLiteral("Pessoas")).isEmpty())
            return;
        const auto p = PacienteDaLinha(FProcura()->linhaEscolhida());
        if (!p)
            return;
        m_municipio->setText(p->municipio);
        processaMunicipio();
        m_pessoa->setText(p->codigo);
    }
    PECodPessoaExit();
}

void TFAgenda::SBCadPessoaClick()
{
    const QString mun = m_municipio->text().trimmed();
    if (CodigoVazio(mun)) {
        Avisa(QString::fromUtf8(kMsgMunicipioAntesPaciente));
        m_municipio->setFocus();
        return;
    }
    QString gravado;
    {
        SuspendeFechamento s(this);
        gravado = TFCadPessoas::AbreModal(mun, CodigoVazio(m_pessoa->text()) ? QString() : m_pessoa->text().trimmed(), this);
    }
    if (!gravado.isEmpty())
        m_pessoa->setText(gravado);
    PECodPessoaExit();
}

bool TFAgenda::codigoInformado(TPersonEdit* campo)
{
    if (!CodigoVazio(campo->text()))
        return true;
    MostraErro(QStringLiteral("O valor do campo \"%1\" não pode estar em Branco!").arg(campo->rotulo()));
    campo->setFocus();
    return false;
}

void TFAgenda::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || m_prof.isEmpty() || !m_dia.isValid())
        return;
    if (!codigoInformado(m_municipio) || !codigoInformado(m_pessoa))
        return;
    Agendamento a;
    a.profissional = m_prof;
    a.data = m_dia;
    a.municipio = m_municipio->text().trimmed();
    a.paciente = m_pessoa->text().trimmed();
    a.quemLigou = m_quemLigou->currentText().toUpper();
    a.hora = m_hora->text();
    a.obs = m_obs->text();
    a.dataLanc = DataAtualDate();
    if (!ExecutaAcao(m_gravar, [&] { GravaAgendamento(dm->IBTransaction, a); }))
        return;
    m_pessoa->clear();
    m_lPessoa->clear();
    m_obs->clear();
    m_painel->hide();
    CarregaDias();
    m_gradeDias->setFocus();
}

void TFAgenda::PBtnCancelarClick()
{
    m_painel->hide();
    m_gradeDias->setFocus();
}

} // namespace vx
