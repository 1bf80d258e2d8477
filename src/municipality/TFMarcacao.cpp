#include "municipality/TFMarcacao.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/Mensagens.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/PainelSaldos.h"
#include "core/widgets/TPersonBtn.h"
#include "exchange/ftp/FtpCliente.h"
#include "municipality/CartaoSus.h"
#include "municipality/TFCadPessoas.h"
#include "municipality/TRImpFAA.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(MarcaodeExames1, [] { TFMarcacao::Abre(); });

namespace {

using E = TPersonEdit;

bool g_impressaoConcluida = true;

const QString kViolacao = QStringLiteral("Você não fechou corretamente a Impressão da Autorização, portanto não poderá "
                                         "finalizar outro lançamento!");

const char* const kCarater[] = {
    "1 - ELETIVO; ",
    "2 - URGÊNCIA; ",
    "3 - ACIDENTE NO LOCAL DO TRABALHO OU A SERVIÇO DA EMPRESA; ",
    "4 - ACIDENTE NO TRAJETO PARA O TRABALHO; ",
    "5 - OUTROS TIPOS DE ACIDENTES DE TRANSITO;",
    "6 - OUTROS TIPOS DE LESÕES OU ENVENENAMENTO P/ AGENTES QUÍMICOS/FÍSICOS.",
};

void erroCampo(const QString& texto) { MostraErro(texto, QString()); }

QLabel* rotuloNome(const char* nome, QWidget* pai)
{
    auto* l = new QLabel(pai);
    l->setObjectName(QLatin1String(nome));
    l->setMinimumWidth(260);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

// Values of column `coluna` of the rows of `sql`.
QStringList codigos(Transacao& tr, const QString& sql, const QString& coluna)
{
    QStringList r;
    for (const LinhaCadastro& l : LeLinhas(tr, sql))
        r << l.texto(coluna);
    return r;
}

} // namespace

bool TFMarcacao::ImpressaoConcluida() { return g_impressaoConcluida; }
void TFMarcacao::DefineImpressaoConcluida(bool v) { g_impressaoConcluida = v; }

TFMarcacao::TFMarcacao(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFMarcacao"));
    setWindowTitle(QStringLiteral("Autorização de Procedimentos"));
    auto* raiz = new QVBoxLayout(this);

    // Header: the installation's municipality.
    auto* cab = new QHBoxLayout;
    raiz->addLayout(cab);
    m_lCodMun = rotuloNome("LCodMun", this);
    m_lCodMun->setMinimumWidth(0);
    m_lNomeMun = rotuloNome("LNomeMun", this);
    QFont fc = m_lNomeMun->font();
    fc.setPointSizeF(fc.pointSizeF() * 1.3);
    m_lCodMun->setFont(fc);
    m_lNomeMun->setFont(fc);
    cab->addWidget(new QLabel(QStringLiteral("Município:"), this));
    cab->addWidget(m_lCodMun);
    cab->addWidget(m_lNomeMun, 1);

    auto* corpo = new QHBoxLayout;
    raiz->addLayout(corpo, 1);
    auto* esquerda = new QVBoxLayout;
    auto* direita = new QVBoxLayout;
    corpo->addLayout(esquerda, 3);
    corpo->addLayout(direita, 2);

    esquerda->addLayout(m_form.novoForm());
    auto busca = [this](const char* nome) {
        QToolButton* b = NovoBotaoBusca(QLatin1String(nome), this);
        m_form.linhaAtual()->addWidget(b);
        return b;
    };
    auto nome = [this](const char* n) {
        QLabel* l = rotuloNome(n, this);
        m_form.linhaAtual()->addWidget(l, 1);
        return l;
    };
    m_pessoa = m_form.campo("PECodPessoa", E::peInteiro, QStringLiteral("Paciente:"), 5, Formulario::Requerido);
    m_sbPessoa = busca("SBCodPessoa");
    m_sbCadPessoa = NovoBotaoBusca(QStringLiteral("SBCadPessoa"), this);
    m_sbCadPessoa->setText(QStringLiteral("+"));
    m_sbCadPessoa->setToolTip(QStringLiteral("Cadastro do Paciente"));
    m_form.linhaAtual()->addWidget(m_sbCadPessoa);
    m_lPaciente = nome("LPaciente");
    m_dataLanc = m_form.campo("PEDataLanc", E::peData, QStringLiteral("Autorização:"), 0, Formulario::Avulso);
    m_dataLanc->setEnabled(false);
    m_entidade = m_form.campo("PECodEntidade", E::peInteiro, QStringLiteral("Entidade:"), 5, Formulario::Requerido);
    m_sbEntidade = busca("SBCodEntidade");
    m_lEntidade = nome("LEntidade");
    m_profissional =
        m_form.campo("PECodProfissional", E::peInteiro, QStringLiteral("Profissional:"), 5, Formulario::Requerido);
    m_sbProfissional = busca("SBCodProfissional");
    m_lProfissional = nome("LProfissional");
    m_procedimento =
        m_form.campo("PECodProcedimento", E::peInteiro, QStringLiteral("Procedimento:"), 5, Formulario::Requerido);
    m_sbProcedimento = busca("SBCodProcedimento");
    m_lProcedimento = nome("LProcedimento");
    m_quantidade = m_form.campo("PEQuantidade", E::peInteiro, QStringLiteral("Qt.:"), 4, Formulario::MesmaLinha);
    m_dataMarc = m_form.campo("PEDataMarc", E::peData, QStringLiteral("Marcado para:"), 0);
    m_horaMarc = m_form.campo("PEHoraMarc", E::peTexto, QStringLiteral("as"), 0, Formulario::MesmaLinha);
    m_horaMarc->setMascara(QStringLiteral("90:00;_"), QStringLiteral("  :  "));
    m_horaMarc->setFixedWidth(m_horaMarc->fontMetrics().horizontalAdvance(QStringLiteral("00:000")) + 16);
    m_carater = m_form.campo("PECarater", E::peInteiro, QStringLiteral("Caráter Atend.:"), 2, Formulario::Requerido);
    m_cid = m_form.campo("PECodCID", E::peTexto, QStringLiteral("CID:"), 8, Formulario::MesmaLinha | Formulario::Maiusculo);
    m_sbCid = busca("SBCodCID");
    m_chave = m_form.campo("PEChave", E::peTexto, QStringLiteral("Chave:"), 20, Formulario::MesmaLinha);
    m_chave->setEnabled(false);
    m_obs = m_form.campo("PEObs", E::peTexto, QStringLiteral("Obs:"), 100);
    m_form.fechaLinha();

    m_lDica = new QLabel(this);
    m_lDica->setObjectName(QStringLiteral("LCaraterDica"));
    QStringList dica;
    for (const char* c : kCarater)
        dica << QString::fromUtf8(c);
    m_lDica->setText(dica.join(QLatin1Char('\n')));
    m_lDica->setFrameShape(QFrame::StyledPanel);
    m_lDica->setStyleSheet(QStringLiteral("background: #FFFFE1; padding: 3px;"));
    m_lDica->hide();
    esquerda->addWidget(m_lDica);

    // Procedures of the open authorization.
    auto* linhaProc = new QHBoxLayout;
    esquerda->addLayout(linhaProc);
    m_inserir = new TPersonBtn(QStringLiteral("Inserir Proced."), this);
    m_inserir->setObjectName(QStringLiteral("PBInserirProced"));
    m_inserir->setVerRequeridos(false);
    m_excluirProc = new TPersonBtn(QStringLiteral("Excluir"), this);
    m_excluirProc->setObjectName(QStringLiteral("PBExcluirProced"));
    m_excluirProc->setVerRequeridos(false);
    linhaProc->addWidget(m_inserir);
    linhaProc->addWidget(m_excluirProc);
    linhaProc->addStretch(1);
    linhaProc->addWidget(new QLabel(QStringLiteral("Autorização Nº:"), this));
    m_lId = rotuloNome("LId_Marcacao", this);
    m_lId->setMinimumWidth(70);
    linhaProc->addWidget(m_lId);
    linhaProc->addWidget(new QLabel(QStringLiteral("Valor Autorização:"), this));
    m_lValor = rotuloNome("LValorAutorizacao", this);
    m_lValor->setMinimumWidth(80);
    m_lValor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    linhaProc->addWidget(m_lValor);
    m_gradeProc = new GradeConsulta(this);
    m_gradeProc->setObjectName(QStringLiteral("DBGrid1"));
    m_gradeProc->setMinimumHeight(150);
    m_gradeProc->defineTitulos({QStringLiteral("Código"), QStringLiteral("Qt."), QStringLiteral("Valor"),
                                QStringLiteral("Procedimento")});
    m_gradeProc->defineColunaElastica(3);
    esquerda->addWidget(m_gradeProc, 1);

    auto* botoes = new QHBoxLayout;
    esquerda->addLayout(botoes);
    m_gravar = new TPersonBtn(QStringLiteral("&[F10] Finalizar e Imprimir"), this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    m_cancelar = new TPersonBtn(QStringLiteral("&Cancelar Autorização"), this);
    m_cancelar->setObjectName(QStringLiteral("PBtnExcluir"));
    m_cancelar->setVerRequeridos(false);
    botoes->addWidget(m_gravar);
    botoes->addWidget(m_cancelar);
    botoes->addStretch(1);

    // Right: balances, progress of the finalization, the patient's history.
    m_saldos = new PainelSaldos(this);
    m_saldos->setObjectName(QStringLiteral("PainelSaldos"));
    direita->addWidget(m_saldos);
    m_status = NovaCaixaStatus(this, 110);
    direita->addWidget(m_status);
    auto* hist = new QGroupBox(QStringLiteral("Histórico do Paciente"), this);
    auto* lh = new QVBoxLayout(hist);
    m_gradeHist = new GradeConsulta(hist);
    m_gradeHist->setObjectName(QStringLiteral("DBGrid2"));
    m_gradeHist->defineTitulos({QStringLiteral("Autorização"), QStringLiteral("Qt."), QStringLiteral("Procedimento"),
                                QStringLiteral("Marcado"), QStringLiteral("Realizado"), QStringLiteral("Prof."),
                                QStringLiteral("Ent."), QStringLiteral("Proc."), QStringLiteral("Entidade"),
                                QStringLiteral("Profissional")});
    m_gradeHist->defineColunaElastica(2);
    lh->addWidget(m_gradeHist, 1);
    m_lHistorico = new QLabel(hist);
    m_lHistorico->setObjectName(QStringLiteral("LHistorico"));
    m_lHistorico->setFrameShape(QFrame::StyledPanel);
    m_lHistorico->setMinimumHeight(m_lHistorico->fontMetrics().height() * 2 + 8);
    lh->addWidget(m_lHistorico);
    direita->addWidget(hist, 1);

    // Bindings.
    LigaCodigo(m_pessoa, m_sbPessoa, nullptr, {}, [this] { PECodPessoaExit(); });
    LigaCodigo(m_entidade, m_sbEntidade, nullptr, {}, [this] { PECodEntidadeExit(); });
    LigaCodigo(m_profissional, m_sbProfissional, nullptr, {}, [this] { PECodProfissionalExit(); });
    LigaCodigo(m_procedimento, m_sbProcedimento, nullptr, {}, [this] { PECodProcedimentoExit(); });
    LigaCodigo(m_cid, m_sbCid, nullptr, {}, [this] { PECodCIDExit(); });
    connect(m_dataMarc, &E::saiu, this, &TFMarcacao::PEDataMarcExit);
    connect(m_quantidade, &E::saiu, this, [this] {
        if (m_quantidade->text().trimmed() == QLatin1String("0"))
            m_quantidade->setText(QStringLiteral("1"));
    });
    connect(m_sbPessoa, &QToolButton::clicked, this, &TFMarcacao::SBCodPessoaClick);
    connect(m_sbCadPessoa, &QToolButton::clicked, this, &TFMarcacao::SBCadPessoaClick);
    connect(m_sbEntidade, &QToolButton::clicked, this, &TFMarcacao::SBCodEntidadeClick);
    connect(m_sbProfissional, &QToolButton::clicked, this, &TFMarcacao::SBCodProfissionalClick);
    connect(m_sbProcedimento, &QToolButton::clicked, this, &TFMarcacao::SBCodProcedimentoClick);
    connect(m_sbCid, &QToolButton::clicked, this, &TFMarcacao::SBCodCIDClick);
    connect(m_inserir, &TPersonBtn::Acao, this, &TFMarcacao::PBInserirProcedClick);
    connect(m_excluirProc, &TPersonBtn::Acao, this, &TFMarcacao::PBExcluirProcedClick);
    connect(m_gravar, &TPersonBtn::Acao, this, &TFMarcacao::PBtnGravarClick);
    connect(m_cancelar, &TPersonBtn::Acao, this, &TFMarcacao::PBtnExcluirClick);
    connect(m_gradeHist, &GradeConsulta::linhaAtual, this, &TFMarcacao::mostraHistorico);
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, &TFMarcacao::PBtnGravarClick);
    m_carater->installEventFilter(this);

    m_dataLanc->setText(SessaoAtual().DataAtual);
    FormShow();
}

TFMarcacao* TFMarcacao::Abre()
{
    TFMarcacao* t = MostraTela<TFMarcacao>();
    t->m_pessoa->setFocus();
    return t;
}

bool TFMarcacao::eventFilter(QObject* obj, QEvent* ev)
{
    if (obj == m_carater) {
        if (ev->type() == QEvent::FocusIn)
            m_lDica->show();
        else if (ev->type() == QEvent::FocusOut)
            m_lDica->hide();
    }
    return TFBase::eventFilter(obj, ev);
}

void TFMarcacao::FormShow()
{
    m_municipio = EhMunicipio() ? SessaoAtual().UsuarioInstalacao.mid(1, 7) : QString();
    m_lCodMun->setText(m_municipio);
    const QString nomeMun =
        m_municipio.isEmpty() ? QString()
                              : NomeLivre(m_municipio, QStringLiteral("codigo"), QStringLiteral("cidade"),
                                          QStringLiteral("IBGEMUNIC"));
    m_lNomeMun->setText(nomeMun);
    m_carater->setVisible(true);
    m_carater->setRequerido(true);
    m_unidade.clear();
    if (Transacao* tr = transacaoLeitura()) {
        try {
            const auto u = LeLinha(*tr, QStringLiteral("select u.codunidade, un.nome from usuarios u\n"
                                                       "left outer join unidades un on u.codunidade=un.codigo\n"
                                                       "where u.usuario=%1")
                                            .arg(SqlTexto(SessaoAtual().UsuarioLogado)));
            if (u && !u->nulo(QStringLiteral("CODUNIDADE"))) {
                m_unidade = u->texto(QStringLiteral("CODUNIDADE"));
                setWindowTitle(QStringLiteral("Autorização de Procedimentos - ") + u->texto(QStringLiteral("NOME")));
            }
        } catch (const std::exception& e) {
            MostraExcecao(e);
        }
    }
    m_configurado = !nomeMun.trimmed().isEmpty();
    LimpaTela();
    if (!m_configurado) {
        m_lNomeMun->setText(QStringLiteral("MUNICÍPIO NÃO CONFIGURADO, CONTATE O SUPORTE!"));
        m_gravar->setEnabled(false);
        m_cancelar->setEnabled(false);
        m_inserir->setEnabled(false);
    }
}

void TFMarcacao::LimpaTela()
{
    m_form.limpa();
    for (QLabel* l : {m_lPaciente, m_lEntidade, m_lProfissional, m_lProcedimento, m_lHistorico})
        l->clear();
    m_quantidade->setText(QStringLiteral("0"));
    m_quantidade->setVisible(false);
    m_carater->setText(QStringLiteral("1"));
    defineAberta({});
    m_gradeHist->setRowCount(0);
    CarregaProceds();
    CalcSaldos();
}

void TFMarcacao::CalcSaldos()
{
    Transacao* tr = transacaoLeitura();
    if (!tr)
        return;
    EntradaSaldos e;
    e.municipio = m_municipio;
    e.dataLanc = LeData(m_dataLanc->text());
    e.dataMarc = m_dataMarc->vazio() ? QDate() : LeData(m_dataMarc->text());
    if (!m_unidade.isEmpty())
        e.unidade = m_unidade.toLongLong();
    e.impressaoConcluida = g_impressaoConcluida;
    e.municipioConfigurado = m_configurado;
    try {
        m_saldos->mostra(vx::CalcSaldos(*tr, e), m_gravar);
    } catch (const std::exception& ex) {
        MostraExcecao(ex);
    }
}

void TFMarcacao::CarregaProceds()
{
    m_proceds.clear();
    Transacao* tr = transacaoLeitura();
    if (m_aberta.numero <= 0 || !tr) {
        m_gradeProc->setRowCount(0);
        m_lValor->setText(FormataValor(Decimal::cents(0), QStringLiteral("##,##0.00")));
        return;
    }
    try {
        m_proceds = LeProcedimentosMarcacao(*tr, m_municipio, m_aberta.numero);
        m_gradeProc->carrega(*tr, QStringLiteral("select M.CodProcedimento, M.Quantidade, M.ValorTotal, P.Nome "
                                                 "from Marcacao_Proceds M\n"
                                                 "left outer join Procedimentos P on M.CodProcedimento=P.codigo\n"
                                                 "where M.Cli_Origem=%1 and M.Id_Marcacao=%2 and M.Data_Imp_Adm='M'")
                                      .arg(SqlTexto(m_municipio))
                                      .arg(m_aberta.numero));
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
    m_lValor->setText(FormataValor(TotalMarcacao(m_proceds), QStringLiteral("##,##0.00")));
}

void TFMarcacao::defineAberta(const AutorizacaoAberta& a)
{
    const bool estava = m_aberta.numero > 0;
    m_aberta = a;
    m_lId->setText(a.numero > 0 ? QString::number(a.numero) : QString());
    m_chave->setText(a.chave);
    // An open authorization keeps the screen up until it is finalized or cancelled.
    if (!estava && a.numero > 0)
        suspendeFechamento();
    else if (estava && a.numero <= 0)
        retomaFechamento();
}

void TFMarcacao::liberaEntidadeProfissional(bool sim)
{
    for (QWidget* w : std::initializer_list<QWidget*>{m_entidade, m_profissional, m_sbEntidade, m_sbProfissional})
        w->setEnabled(sim);
}

Autorizacao TFMarcacao::autorizacaoTela() const
{
    Autorizacao a;
    a.municipio = m_municipio;
    a.paciente = m_pessoa->text().trimmed();
    a.entidade = m_entidade->text().trimmed();
    a.profissional = m_profissional->text().trimmed();
    a.dataLanc = m_dataLanc->text();
    a.dataMarc = m_dataMarc->text();
    a.horaMarc = m_horaMarc->text();
    a.carater = m_carater->text().trimmed();
    a.cid = m_cid->text().trimmed();
    a.obs = m_obs->text();
    a.unidade = m_unidade;
    a.usuario = SessaoAtual().UsuarioLogado;
    a.dataAtual = SessaoAtual().DataAtual;
    return a;
}

// ---- fields ----

void TFMarcacao::PECodPessoaExit()
{
    Transacao* tr = transacaoLeitura();
    const QString codigo = m_pessoa->text().trimmed();
    if (!tr || codigo.isEmpty()) {
        m_lPaciente->clear();
        return;
    }
    try {
        if (codigo != QLatin1String("0")) {
            const PacienteMarcacao p = LePacienteMarcacao(*tr, m_municipio, codigo);
            m_lPaciente->setText(p.nome);
            if (!p.completo) {
                Informa(QStringLiteral("Existem dados obrigatórios sobre o paciente que não estão preenchidos no seu "
                                       "cadastro.\nPressione [OK] para abrir o cadastro do paciente e preencher os dados "
                                       "faltantes antes de autorizar o procedimento!"));
                abreCadastroPaciente();
            } else if (!p.modulos && !ValidaCartaoSUS(p.cartaoSus)) {
                Informa(QStringLiteral("Este paciente possui um número inválido de Cartão SUS: %1\nPressione [OK] para "
                                       "abrir o cadastro do paciente e corrigir antes de autorizar o procedimento!")
                            .arg(p.cartaoSus));
                abreCadastroPaciente();
            }
        }
        m_gradeHist->carrega(*tr, SqlHistoricoPaciente(m_municipio, m_pessoa->text().trimmed()));
        for (int c : {3, 4, 5, 6, 7})
            m_gradeHist->setColumnHidden(c, true);
        m_lHistorico->clear();
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFMarcacao::abreCadastroPaciente()
{
    SuspendeFechamento s(this);
    const QString gravado = TFCadPessoas::AbreModal(m_municipio, m_pessoa->text().trimmed(), this);
    if (!gravado.isEmpty())
        m_pessoa->setText(gravado);
    if (Transacao* tr = transacaoLeitura())
        m_lPaciente->setText(LePacienteMarcacao(*tr, m_municipio, m_pessoa->text().trimmed()).nome);
}

void TFMarcacao::mostraHistorico(int linha)
{
    if (linha < 0) {
        m_lHistorico->clear();
        return;
    }
    m_lHistorico->setText(QStringLiteral("Ent.:") + m_gradeHist->valor(QStringLiteral("CODENTIDADE"), linha) +
                          QLatin1Char('-') + m_gradeHist->valor(QStringLiteral("RAZAOSOCIAL"), linha) +
                          QStringLiteral("\nProf:") + m_gradeHist->valor(QStringLiteral("CODPROFISSIONAL"), linha) +
                          QLatin1Char('-') + m_gradeHist->valor(QStringLiteral("NOMEPROF"), linha));
}

void TFMarcacao::PECodEntidadeExit()
{
    if (m_entidade->text().trimmed().isEmpty())
        m_entidade->setText(QStringLiteral("0"));
    const QString ent = m_entidade->text().trimmed();
    m_lEntidade->setText(NomeLivre(ent, QStringLiteral("codigo"), QStringLiteral("RazaoSocial"), QStringLiteral("Entidades")));
    Transacao* tr = transacaoLeitura();
    if (ent == QLatin1String("0") || !tr)
        return;
    try {
        const QStringList profs = codigos(*tr, QStringLiteral("select codprofissional from entidadesprofiss where "
                                                              "codentidade=%1 and dataexclusao is null")
                                                   .arg(SqlInteiro(ent)), QStringLiteral("CODPROFISSIONAL"));
        // The one professional of the entity; when he is already on the screen his processing is
        // under way.
        if (profs.size() == 1 && profs.first() != m_profissional->text().trimmed()) {
            m_profissional->setText(profs.first());
            processaProfissional();
        }
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFMarcacao::PECodProfissionalExit() { processaProfissional(); }

void TFMarcacao::processaProfissional()
{
    if (m_profissional->text().trimmed().isEmpty())
        m_profissional->setText(QStringLiteral("0"));
    const QString prof = m_profissional->text().trimmed();
    m_lProfissional->setText(NomeLivre(prof, QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("Profissionais")));
    Transacao* tr = transacaoLeitura();
    if (prof == QLatin1String("0") || !tr)
        return;
    try {
        if (!CodigoVazio(m_entidade->text())) {
            const bool valido = LeLinha(*tr, QStringLiteral("select p.nome from profissionais p, entidadesprofiss ep\n"
                                                            "where p.codigo=ep.codprofissional\n"
                                                            "and p.codigo=%1\n"
                                                            "and ep.codentidade=%2\n"
                                                            "and p.dataexclusao is null and ep.dataexclusao is null")
                                                 .arg(SqlInteiro(prof), SqlInteiro(m_entidade->text())))
                                    .has_value();
            if (!valido) {
                Avisa(QStringLiteral("Profissional e/ou Entidade Inválido"));
                m_profissional->setFocus();
                return;
            }
        } else {
            const QStringList ents = codigos(*tr, QStringLiteral("select codentidade from entidadesprofiss where "
                                                                 "codprofissional=%1 and dataexclusao is null")
                                                      .arg(SqlInteiro(prof)), QStringLiteral("CODENTIDADE"));
            if (ents.size() < 2)
                m_entidade->setText(ents.value(0));
            else
                Informa(QStringLiteral("Profissional cadastrado em mais que uma Entidade!"));
            PECodEntidadeExit();
        }
        if (!CodigoVazio(m_entidade->text())) {
            const QStringList procs = codigos(*tr, QStringLiteral("select codprocedimento from profissproced where "
                                                                  "codentidade=%1 and codprofissional=%2 and "
                                                                  "dataexclusao is null")
                                                       .arg(SqlInteiro(m_entidade->text()), SqlInteiro(prof)), QStringLiteral("CODPROCEDIMENTO"));
            if (procs.size() == 1 && procs.first() != m_procedimento->text().trimmed()) {
                m_procedimento->setText(procs.first());
                processaProcedimento();
            }
        }
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFMarcacao::PECodProcedimentoExit() { processaProcedimento(); }

void TFMarcacao::processaProcedimento()
{
    if (m_procedimento->text().trimmed().isEmpty())
        m_procedimento->setText(QStringLiteral("0"));
    const QString proc = m_procedimento->text().trimmed();
    Transacao* tr = transacaoLeitura();
    if (proc == QLatin1String("0") || !tr) {
        m_lProcedimento->clear();
        m_quantidade->setVisible(false);
        return;
    }
    try {
        const auto p = LeLinha(*tr, QStringLiteral("select nome, quantmax, valor, valorsus from procedimentos where "
                                                   "codigo=%1 and dataexclusao is null")
                                        .arg(SqlInteiro(proc)));
        if (!p) {
            m_lProcedimento->clear();
            m_quantidade->setVisible(false);
            erroCampo(QStringLiteral("Código de Procedimento não Cadastrado!"));
            return;
        }
        m_lProcedimento->setText(p->texto(QStringLiteral("NOME")));
        m_quantidade->setVisible((*p)[QStringLiteral("QUANTMAX")].inteiro() >= 2);
        const QString ent = m_entidade->text().trimmed();
        if (!CodigoVazio(ent) && CodigoVazio(m_profissional->text())) {
            const QStringList profs = codigos(*tr, QStringLiteral("select pp.codprofissional from profissproced pp "
                                                                  "where pp.codprocedimento=%1 and pp.codentidade=%2 "
                                                                  "and pp.dataexclusao is null")
                                                       .arg(SqlInteiro(proc), SqlInteiro(ent)), QStringLiteral("CODPROFISSIONAL"));
            if (profs.size() == 1 && !CodigoVazio(profs.first())) {
                m_profissional->setText(profs.first());
                processaProfissional();
            }
        }
        if (!LeLinha(*tr, SqlVinculoProcedimento(proc, m_entidade->text().trimmed(), m_profissional->text().trimmed(),
                                                 TemPerfil(QStringLiteral("CUNE")))))
        {
            erroCampo(QStringLiteral("Procedimento não cadastrado para este Profissional/Entidade"));
            m_procedimento->setFocus();
        }
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFMarcacao::PECodCIDExit()
{
    m_cid->setText(m_cid->text().remove(QLatin1Char('.')).trimmed());
    const QString cid = m_cid->text();
    if (cid.isEmpty())
        return;
    if (NomeLivre(cid, QStringLiteral("codigo"), QStringLiteral("Descricao"), QStringLiteral("CID")).isEmpty()) {
        Avisa(QStringLiteral("Código CID Inválido!"));
        m_cid->setFocus();
    }
}

void TFMarcacao::PEDataMarcExit()
{
    if (!m_dataMarc->vazio()) {
        const QDate marc = LeData(m_dataMarc->text());
        if (marc.isValid() && marc < LeData(m_dataLanc->text())) {
            Avisa(QStringLiteral("Data Marcada não pode ser anterior a Data da Autorização!"));
            m_dataMarc->setFocus();
        }
    }
    CalcSaldos();
}

// ---- searches ----

QString TFMarcacao::condicaoProfissionais() const
{
    QString c = QStringLiteral("DataExclusao is null and (CBO IS NULL OR CBO<>'324115')");
    const QString ent = m_entidade->text().trimmed();
    const QString proc = m_procedimento->text().trimmed();
    if (CodigoVazio(ent))
        return c;
    c += QStringLiteral(" and codentidade=") + SqlInteiro(ent);
    if (!CodigoVazio(proc))
        c += QStringLiteral(" and codigo in (select pp.codprofissional from profissproced pp where pp.codentidade=%1 "
                            "and pp.codprocedimento=%2 and pp.dataexclusao is null)")
                 .arg(SqlInteiro(ent), SqlInteiro(proc));
    return c;
}

QString TFMarcacao::condicaoProcedimentos() const
{
    QString c = QStringLiteral("DataExclusao is null");
    const QString ent = m_entidade->text().trimmed();
    if (CodigoVazio(ent))
        return c;
    c += QStringLiteral(" and codigo in (select pp.codprocedimento from profissproced pp where pp.dataexclusao is null "
                        "and pp.codentidade=") +
         SqlInteiro(ent);
    if (!CodigoVazio(m_profissional->text()))
        c += QStringLiteral(" and pp.codprofissional=") + SqlInteiro(m_profissional->text());
    return c + QLatin1Char(')');
}

void TFMarcacao::SBCodPessoaClick()
{
    const QString c = ProcuraFiltro({QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("cartaosus"),
                                     QStringLiteral("DataNasc")},
                                    QStringLiteral("Nome"), QStringLiteral("Pessoas"),
                                    QStringLiteral("CLI_ORIGEM=") + SqlTexto(m_municipio));
    if (c.isEmpty())
        return;
    m_pessoa->setText(c);
    PECodPessoaExit();
}

void TFMarcacao::SBCadPessoaClick() { abreCadastroPaciente(); }

void TFMarcacao::SBCodEntidadeClick()
{
    const QString c = ProcuraFiltro({QStringLiteral("codigo"), QStringLiteral("RazaoSocial"),
                                     QStringLiteral("NomeFantasia"), QStringLiteral("CIDADE")},
                                    QStringLiteral("RazaoSocial"), QStringLiteral("V_Entidades"),
                                    QStringLiteral("DataExclusao is null"));
    if (c.isEmpty())
        return;
    m_entidade->setText(c);
    PECodEntidadeExit();
}

void TFMarcacao::SBCodProfissionalClick()
{
    const QString c = ProcuraFiltro({QStringLiteral("codconcat"), QStringLiteral("Nome"),
                                     QStringLiteral("OcupacaoEntidade")},
                                    QStringLiteral("Nome"), QStringLiteral("v_Profissionais"), condicaoProfissionais());
    if (c.isEmpty())
        return;
    m_profissional->setText(c);
    processaProfissional();
}

void TFMarcacao::SBCodProcedimentoClick()
{
    const QString c = ProcuraFiltro({QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("codtabsus"),
                                     QStringLiteral("valor")},
                                    QStringLiteral("Nome"), QStringLiteral("Procedimentos"), condicaoProcedimentos());
    if (c.isEmpty())
        return;
    m_procedimento->setText(c);
    processaProcedimento();
}

void TFMarcacao::SBCodCIDClick()
{
    const QString c = ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Descricao"), QStringLiteral("CID"));
    if (c.isEmpty())
        return;
    m_cid->setText(c);
    PECodCIDExit();
}

// ---- procedures ----

void TFMarcacao::PBInserirProcedClick()
{
    TDMCUNE* dm = DMCUNE();
    Transacao* tr = transacaoLeitura();
    if (!dm || !tr)
        return;
    if (!g_impressaoConcluida) {
        Avisa(kViolacao, QStringLiteral("Violação"));
        return;
    }
    if (CodigoVazio(m_pessoa->text())) {
        Avisa(QStringLiteral("Informe o Paciente"));
        m_pessoa->setFocus();
        return;
    }
    const QString proc = m_procedimento->text().trimmed();
    const QString ent = m_entidade->text().trimmed();
    const QString prof = m_profissional->text().trimmed();
    std::optional<LinhaCadastro> dadosProc;
    bool vinculos = false;
    try {
        vinculos = Lendo(*tr, [&] {
            Consulta q(*tr);
            return VinculosDaInsercao(q, proc, ent, prof, TemPerfil(QStringLiteral("CUNE")));
        });
        if (vinculos)
            dadosProc = LeLinha(*tr, QStringLiteral("select quantmax, valor, valorsus from procedimentos where codigo=%1")
                                         .arg(SqlInteiro(proc)));
    } catch (const std::exception& e) {
        MostraExcecao(e);
        return;
    }
    if (!vinculos || !dadosProc) {
        erroCampo(QStringLiteral("Procedimento/Profissional/Entidade não cadastrado!"));
        m_procedimento->setFocus();
        return;
    }
    if (m_proceds.size() >= kMaximoProcedimentos - 1) {
        Informa(QStringLiteral("Foi atingido o limite de 15 procedimentos por Autorização!\nFinalize esta e faça uma nova "
                               "autorização caso precise informar mais procedimentos"));
        if (m_proceds.size() >= kMaximoProcedimentos) {
            CarregaProceds();
            m_procedimento->setFocus();
            return;
        }
    }
    const qint64 quantidade = QuantidadeProcedimento(m_quantidade->text(), m_quantidade->isVisibleTo(this));
    if (const QString r = RecusaQuantidade(quantidade, (*dadosProc)[QStringLiteral("QUANTMAX")].inteiro(),
                                           (*dadosProc)[QStringLiteral("VALOR")].decimal(),
                                           (*dadosProc)[QStringLiteral("VALORSUS")].decimal());
        !r.isEmpty()) {
        Avisa(r);
        m_quantidade->setFocus();
        return;
    }
    AutorizacaoAberta nova;
    const bool ok = ExecutaAcao(m_inserir, [&] {
        nova = InsereProcedimento(dm->IBTransaction, autorizacaoTela(), m_aberta, proc.toLongLong(), quantidade);
    });
    if (ok) {
        defineAberta(nova);
        liberaEntidadeProfissional(false);
        CalcSaldos();
    }
    CarregaProceds();
    m_procedimento->setFocus();
}

void TFMarcacao::PBExcluirProcedClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    if (!g_impressaoConcluida) {
        Avisa(kViolacao, QStringLiteral("Violação"));
        return;
    }
    const QString proc = m_gradeProc->valor(QStringLiteral("CODPROCEDIMENTO"));
    if (m_aberta.numero > 0 && !proc.isEmpty())
        ExecutaAcao(m_excluirProc, [&] { ExcluiProcedimento(dm->IBTransaction, m_municipio, m_aberta.numero, proc.toLongLong()); });
    CarregaProceds();
    CalcSaldos();
}

// ---- finalizing and cancelling ----

bool TFMarcacao::municipioEmiteApac()
{
    Transacao* tr = transacaoLeitura();
    const auto l = tr ? LeLinha(*tr, QStringLiteral("select apac from clientes where codigo=") + SqlTexto(m_municipio))
                      : std::nullopt;
    return l && l->texto(QStringLiteral("APAC")).trimmed() == QLatin1String("S");
}

void TFMarcacao::linhaStatus(const QString& t)
{
    m_status->appendPlainText(t);
    m_status->repaint();
}

void TFMarcacao::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !m_gravar->isEnabled() || m_saldos->excedido())
        return;
    if (!g_impressaoConcluida) {
        Avisa(kViolacao, QStringLiteral("Violação"));
        return;
    }
    if (m_aberta.numero <= 0) {
        Informa(QStringLiteral("Você ainda não inseriu nenhum procedimento!"));
        m_procedimento->setFocus();
        return;
    }
    if (!CaraterValido(m_carater->text())) {
        Informa(QStringLiteral("Informe o Caráter do Atendimento!"));
        m_carater->setFocus();
        return;
    }
    m_gravar->setEnabled(false);
    bool apac = false;
    try {
        apac = municipioEmiteApac();
    } catch (const std::exception& e) {
        MostraExcecao(e);
        return;
    }
    const Exigencias ex = ExigenciasDe(m_proceds, apac);
    if (FaltaCid(ex, m_cid->text(), TemPerfil(QStringLiteral("CORVANE")))) {
        Avisa(QStringLiteral("Você deve inserir um CID para autorizar este procedimento!"));
        m_gravar->setEnabled(true);
        m_cid->setFocus();
        return;
    }
    const Autorizacao a = autorizacaoTela();
    const AutorizacaoAberta fin = m_aberta;
    if (!ExecutaAcao(nullptr, [&] { GravaFinalizacao(dm->IBTransaction, a, fin); }))
        return;
    defineAberta({});
    m_lId->setText(QString::number(fin.numero));
    m_chave->setText(fin.chave);

    g_impressaoConcluida = false;
    bool impresso = false;
    {
        SuspendeFechamento s(this);
        try {
            impresso = TRImpFAA::Executa(*transacaoLeitura(), PedidoFAA{m_municipio, fin.numero, QStringLiteral("M"),
                                                                        ex.apac, false},
                                         this);
        } catch (const std::exception&) {
            impresso = false;
        }
    }
    if (!impresso) {
        MostraErro(QStringLiteral("Erro ao imprimir! Tente novamente"));
        return;
    }
    g_impressaoConcluida = true;

    m_status->clear();
    FtpCliente ftp;
    ExecutaAcao(nullptr, [&] {
        EnviaAutorizacao(dm->IBTransaction, &ftp, m_municipio, m_lNomeMun->text(), fin.numero, a.profissional,
                         [this](const QString& l) { linhaStatus(l); });
    });
    m_gravar->setEnabled(true);
    liberaEntidadeProfissional(true);
    LimpaTela();
    m_pessoa->setFocus();
}

void TFMarcacao::PBtnExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    if (dm && m_aberta.numero > 0) {
        // A cancellation that did not reach the database leaves the authorization open here.
        if (!ExecutaAcao(m_cancelar, [&] {
                CancelaAutorizacao(dm->IBTransaction, m_municipio, m_aberta.numero, m_dataLanc->text());
            }))
            return;
        LimpaTela();
    }
    defineAberta({});
    close();
}

void TFMarcacao::closeEvent(QCloseEvent* ev)
{
    if (m_aberta.numero > 0) {
        PedidoMsg p;
        p.texto = QStringLiteral("Você deve Finalizar ou Cancelar esta autorização para poder fechar a tela");
        p.icone = IconeMsg::Erro;
        MostraMensagem(p);
        ev->ignore();
        return;
    }
    TFBase::closeEvent(ev);
}

} // namespace vx
