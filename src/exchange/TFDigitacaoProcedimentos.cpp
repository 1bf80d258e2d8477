#include "exchange/TFDigitacaoProcedimentos.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/Mensagens.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/widgets/CampoChave.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "municipality/TFCadPessoas.h"
#include "municipality/TRImpFAA.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(LanamentodeProcedimentos1, [] { TFDigitacaoProcedimentos::Abre(); });

namespace {

using E = TPersonEdit;

const QString kForaCalendario = QStringLiteral("Data fora do Calendário Atual Selecionado!");

void erroCampo(const QString& texto) { MostraErro(texto, QString()); }

// The texts of column `coluna` of the rows of `sql`.
QStringList valores(Transacao& tr, const QString& sql, const QString& coluna)
{
    QStringList r;
    for (const LinhaCadastro& l : LeLinhas(tr, sql))
        r << l.texto(coluna);
    return r;
}

QString nome(const QString& codigo, const char* coluna, const char* tabela)
{
    return CodigoVazio(codigo) ? QString()
                               : NomeLivre(codigo.trimmed(), QStringLiteral("codigo"), QLatin1String(coluna),
                                           QLatin1String(tabela));
}

} // namespace

TFDigitacaoProcedimentos::TFDigitacaoProcedimentos(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFDigitacaoProcedimentos"));
    setWindowTitle(QStringLiteral("Digitação de Procedimentos"));
    auto* raiz = new QVBoxLayout(this);
    raiz->addLayout(m_form.novoForm());

    auto busca = [this](const char* n) {
        QToolButton* b = NovoBotaoBusca(QLatin1String(n), this);
        m_form.linhaAtual()->addWidget(b);
        return b;
    };
    auto cadastro = [this](const char* n, const QString& dica) {
        QToolButton* b = NovoBotaoBusca(QLatin1String(n), this);
        b->setText(QStringLiteral("+"));
        b->setToolTip(dica);
        m_form.linhaAtual()->addWidget(b);
        return b;
    };
    auto rotulo = [this](const char* n) {
        QLabel* l = NovoRotuloValor(n, this, 280);
        m_form.linhaAtual()->addWidget(l, 1);
        return l;
    };

    m_municipio = m_form.campo("PECodMunicipio", E::peInteiro, QStringLiteral("Município:"), 7, Formulario::Requerido);
    m_sbMunicipio = busca("SBCodMunicipio");
    m_lMunicipio = rotulo("LMunicipio");
    m_id = m_form.campo("PEID", E::peTexto, QStringLiteral("Buscar ID:"), 10, Formulario::MesmaLinha);
    m_pessoa = m_form.campo("PECodPessoa", E::peInteiro, QStringLiteral("Paciente:"), 5, Formulario::Requerido);
    m_sbPessoa = busca("SBCodPessoa");
    m_sbCadPessoa = cadastro("SBCadPessoa", QStringLiteral("Cadastro do Paciente"));
    m_lPessoa = rotulo("LPessoa");
    m_entidade = m_form.campo("PECodEntidade", E::peInteiro, QStringLiteral("Entidade:"), 5, Formulario::Requerido);
    m_sbEntidade = busca("SBCodEntidade");
    m_lEntidade = rotulo("LEntidade");
    m_profissional =
        m_form.campo("PECodProfissional", E::peInteiro, QStringLiteral("Profissional:"), 5, Formulario::Requerido);
    m_sbProfissional = busca("SBCodProfissional");
    m_lProfissional = rotulo("LProfissional");
    m_dataLanc = m_form.campo("PEDataLanc", E::peData, QStringLiteral("Autorização:"), 0, Formulario::Requerido);
    m_dataAtend = m_form.campo("PEDataAtend", E::peData, QStringLiteral("Atendimento:"), 0, Formulario::MesmaLinha);
    m_cid = m_form.campo("PECodCID", E::peTexto, QStringLiteral("CID:"), 8, Formulario::MesmaLinha | Formulario::Maiusculo);
    m_sbCid = busca("SBCodCID");
    m_obs = m_form.campo("PEObs", E::peTexto, QStringLiteral("Obs:"), 100);
    m_procedimento =
        m_form.campo("PECodProcedimento", E::peInteiro, QStringLiteral("Procedimento:"), 5, Formulario::Requerido);
    m_sbProcedimento = busca("SBCodProcedimento");
    m_lProcedimento = rotulo("LProcedimento");
    m_quantidade = m_form.campo("PEQuantidade", E::peInteiro, QStringLiteral("Qt.:"), 4, Formulario::MesmaLinha);
    m_form.fechaLinha();

    auto* linhaProc = new QHBoxLayout;
    raiz->addLayout(linhaProc);
    m_inserir = new TPersonBtn(QStringLiteral("Inserir Proced."), this);
    m_inserir->setObjectName(QStringLiteral("PBInserirProced"));
    m_excluirProc = new TPersonBtn(QStringLiteral("Excluir"), this);
    m_excluirProc->setObjectName(QStringLiteral("PBExcluirProced"));
    linhaProc->addWidget(m_inserir);
    linhaProc->addWidget(m_excluirProc);
    linhaProc->addStretch(1);
    linhaProc->addWidget(new QLabel(QStringLiteral("Autorização Nº:"), this));
    m_lId = NovoRotuloValor("LId_Marcacao", this, 80);
    linhaProc->addWidget(m_lId);

    m_grade = new GradeConsulta(this);
    m_grade->setObjectName(QStringLiteral("DBGrid1"));
    m_grade->setMinimumHeight(160);
    m_grade->defineTitulos({QStringLiteral("Código"), QStringLiteral("Qt."), QStringLiteral("Procedimento"),
                            QStringLiteral("APAC"), QStringLiteral("Valor"), QStringLiteral("Valor SUS"),
                            QStringLiteral("Qt.Máx.")});
    m_grade->defineColunaElastica(2);
    raiz->addWidget(m_grade, 1);

    auto* botoes = new QHBoxLayout;
    raiz->addLayout(botoes);
    m_gravar = new TPersonBtn(QStringLiteral("&[F10] Finaliza"), this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    m_excluir = new TPersonBtn(QStringLiteral("&Excluir"), this);
    m_excluir->setObjectName(QStringLiteral("PBtnExcluir"));
    m_excluir->setVerRequeridos(false);
    m_chave = new TPersonEdit(E::peTexto, QStringLiteral("Chave:"), this);
    m_chave->setObjectName(QStringLiteral("PEChave"));
    m_chave->setMaxLength(20);
    m_chave->setReadOnly(true);
    m_chave->setFixedWidth(m_chave->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000000")) + 12);
    m_glosar = new QCheckBox(QStringLiteral("Exibir Painel de Glosas:"), this);
    m_glosar->setObjectName(QStringLiteral("CBGlosar"));
    m_glosar->setLayoutDirection(Qt::RightToLeft);
    botoes->addWidget(m_gravar);
    botoes->addWidget(m_excluir);
    botoes->addStretch(1);
    botoes->addWidget(m_chave->editLabel());
    botoes->addWidget(m_chave);
    botoes->addSpacing(16);
    botoes->addWidget(m_glosar);

    // Glosa of the loaded authorization.
    m_painelGlosa = new QGroupBox(QStringLiteral("Glosa"), this);
    m_painelGlosa->setObjectName(QStringLiteral("PainelGlosa"));
    QSizePolicy sp = m_painelGlosa->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    m_painelGlosa->setSizePolicy(sp);
    m_formGlosa = std::make_unique<Formulario>(m_painelGlosa);
    Formulario& g = *m_formGlosa;
    m_painelGlosa->setLayout(g.novoForm());
    // One row with every caption inside it: the box is shown later, with its captions.
    g.novaLinha(nullptr, false);
    m_dataBloqueio = g.campo("PEDataBloqueio", E::peData, QStringLiteral("Data Bloqueio"), 0, Formulario::MesmaLinha);
    m_motivo = g.campo("PECodMotivoBloqueio", E::peInteiro, QStringLiteral("Motivo:"), 5, Formulario::MesmaLinha);
    m_sbMotivo = NovoBotaoBusca(QStringLiteral("SBCodMotivoBloqueio"), m_painelGlosa);
    m_sbCadMotivo = NovoBotaoBusca(QStringLiteral("SBCadMotivoBloqueio"), m_painelGlosa);
    m_sbCadMotivo->setText(QStringLiteral("+"));
    m_sbCadMotivo->setToolTip(QStringLiteral("Motivos de Bloqueio"));
    m_lMotivo = NovoRotuloValor("LMotivoBloqueio", m_painelGlosa, 280);
    m_gravaBloqueio = new TPersonBtn(QStringLiteral("&Gravar"), m_painelGlosa);
    m_gravaBloqueio->setObjectName(QStringLiteral("PBGravaBloqueio"));
    m_gravaBloqueio->setVerRequeridos(false);
    for (QWidget* w : std::initializer_list<QWidget*>{m_sbMotivo, m_sbCadMotivo})
        g.linhaAtual()->addWidget(w);
    g.linhaAtual()->addWidget(m_lMotivo, 1);
    g.linhaAtual()->addWidget(m_gravaBloqueio);
    raiz->addWidget(m_painelGlosa);
    m_painelGlosa->hide();

    // The panel's fields come last.
    const QList<QWidget*> ordem{m_municipio, m_id, m_pessoa, m_entidade, m_profissional, m_dataLanc, m_dataAtend,
                                m_cid, m_obs, m_procedimento, m_quantidade, m_inserir, m_excluirProc, m_gravar,
                                m_excluir, m_chave, m_glosar, m_dataBloqueio, m_motivo, m_gravaBloqueio};
    for (int i = 1; i < ordem.size(); ++i)
        setTabOrder(ordem.at(i - 1), ordem.at(i));

    LigaCodigo(m_municipio, m_sbMunicipio, m_lMunicipio, [](const QString& c) { return nome(c, "nome", "Clientes"); },
               [this] { PECodMunicipioExit(); });
    LigaCodigo(m_id, nullptr, nullptr, {}, [this] { PEIDExit(); });
    LigaCodigo(m_pessoa, m_sbPessoa, nullptr, {}, [this] { PECodPessoaExit(); });
    LigaCodigo(m_entidade, m_sbEntidade, nullptr, {}, [this] { PECodEntidadeExit(); });
    LigaCodigo(m_profissional, m_sbProfissional, nullptr, {}, [this] { PECodProfissionalExit(); });
    LigaCodigo(m_procedimento, m_sbProcedimento, nullptr, {}, [this] { PECodProcedimentoExit(); });
    LigaCodigo(m_cid, m_sbCid, nullptr, {}, [this] { PECodCIDExit(); });
    LigaCodigo(m_motivo, m_sbMotivo, nullptr, {}, [this] { PECodMotivoBloqueioExit(); });
    connect(m_quantidade, &E::saiu, this, [this] {
        if (m_quantidade->text().trimmed() == QLatin1String("0"))
            m_quantidade->setText(QStringLiteral("1"));
    });
    connect(m_sbMunicipio, &QToolButton::clicked, this, &TFDigitacaoProcedimentos::SBCodMunicipioClick);
    connect(m_sbPessoa, &QToolButton::clicked, this, &TFDigitacaoProcedimentos::SBCodPessoaClick);
    connect(m_sbCadPessoa, &QToolButton::clicked, this, &TFDigitacaoProcedimentos::SBCadPessoaClick);
    connect(m_sbEntidade, &QToolButton::clicked, this, &TFDigitacaoProcedimentos::SBCodEntidadeClick);
    connect(m_sbProfissional, &QToolButton::clicked, this, &TFDigitacaoProcedimentos::SBCodProfissionalClick);
    connect(m_sbProcedimento, &QToolButton::clicked, this, &TFDigitacaoProcedimentos::SBCodProcedimentoClick);
    connect(m_sbCid, &QToolButton::clicked, this, &TFDigitacaoProcedimentos::SBCodCIDClick);
    connect(m_sbMotivo, &QToolButton::clicked, this, &TFDigitacaoProcedimentos::SBCodMotivoBloqueioClick);
    connect(m_sbCadMotivo, &QToolButton::clicked, this, &TFDigitacaoProcedimentos::SBCadMotivoBloqueioClick);
    connect(m_inserir, &TPersonBtn::Acao, this, &TFDigitacaoProcedimentos::PBInserirProcedClick);
    connect(m_excluirProc, &TPersonBtn::Acao, this, &TFDigitacaoProcedimentos::PBExcluirProcedClick);
    connect(m_gravar, &TPersonBtn::Acao, this, &TFDigitacaoProcedimentos::PBtnGravarClick);
    connect(m_excluir, &TPersonBtn::Acao, this, &TFDigitacaoProcedimentos::PBtnExcluirClick);
    connect(m_gravaBloqueio, &TPersonBtn::Acao, this, &TFDigitacaoProcedimentos::PBGravaBloqueioClick);
    connect(m_glosar, &QCheckBox::toggled, m_painelGlosa, &QWidget::setVisible);
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, m_gravar, &TPersonBtn::executa);

    FormShow();
}

TFDigitacaoProcedimentos* TFDigitacaoProcedimentos::Abre()
{
    TFDigitacaoProcedimentos* t = MostraTela<TFDigitacaoProcedimentos>();
    t->m_municipio->setFocus();
    return t;
}

void TFDigitacaoProcedimentos::FormShow()
{
    try {
        m_origem = OrigemDigitacaoInstalacao();
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
    m_entidadeFixa = PapelInstalacao() == QLatin1Char('E');
    m_glosar->setEnabled(!m_entidadeFixa);
    LimpaEdits();
}

Digitacao TFDigitacaoProcedimentos::digitacaoTela() const
{
    Digitacao d;
    d.municipio = m_municipio->text().trimmed();
    d.paciente = m_pessoa->text().trimmed();
    d.entidade = m_entidade->text().trimmed();
    d.profissional = m_profissional->text().trimmed();
    d.dataLanc = m_dataLanc->text();
    d.dataAtend = m_dataAtend->text();
    d.cid = m_cid->text().trimmed();
    d.obs = m_obs->text();
    d.dataAtual = SessaoAtual().DataAtual;
    return d;
}

void TFDigitacaoProcedimentos::LimpaEdits(bool manteMunicipioEId)
{
    const QString municipio = m_municipio->text();
    const QString id = m_id->text();
    const QString nomeMunicipio = m_lMunicipio->text();
    m_form.limpa();
    m_formGlosa->limpa();
    for (QLabel* l : {m_lMunicipio, m_lPessoa, m_lEntidade, m_lProfissional, m_lProcedimento, m_lMotivo})
        l->clear();
    if (manteMunicipioEId) {
        m_municipio->setText(municipio);
        m_id->setText(id);
        m_lMunicipio->setText(nomeMunicipio);
    }
    const Calendario& cal = SessaoAtual().CalendarioAtual;
    m_dataLanc->setText(SessaoAtual().DataAtual);
    m_dataAtend->setText(CalendarioSelecionado(cal) ? cal.fim : SessaoAtual().DataAtual);
    m_quantidade->setVisible(false);
    m_glosar->setChecked(false);
    defineAberta({}, false);
    travaCabecalho(false);
    m_gravar->setEnabled(true);
    m_excluir->setEnabled(true);
    if (m_entidadeFixa) {
        m_entidade->setText(CodigoInstalacao());
        m_lEntidade->setText(nome(m_entidade->text(), "RazaoSocial", "Entidades"));
    }
    CarregaProceds();
}

void TFDigitacaoProcedimentos::defineAberta(const AutorizacaoDigitada& a, bool iniciadaAqui)
{
    m_aberta = a;
    m_iniciadaAqui = iniciadaAqui && a.id > 0;
    m_lId->setText(a.id > 0 ? QString::number(a.id) : QString());
    m_chave->setText(a.chave);
    // Leaving "Buscar ID:" clears the screen: not while an authorization typed here is unfinished.
    m_id->setEnabled(!m_entidadeFixa && !m_iniciadaAqui);
}

void TFDigitacaoProcedimentos::travaCabecalho(bool travado)
{
    for (QWidget* w : std::initializer_list<QWidget*>{m_municipio, m_sbMunicipio, m_profissional, m_sbProfissional})
        w->setEnabled(!travado);
    m_entidade->setEnabled(!travado && !m_entidadeFixa);
    m_sbEntidade->setEnabled(!travado && !m_entidadeFixa);
}

void TFDigitacaoProcedimentos::CarregaProceds()
{
    Transacao* tr = transacaoLeitura();
    if (m_aberta.id <= 0 || !tr) {
        m_grade->setRowCount(0);
        return;
    }
    try {
        m_grade->carrega(*tr, SqlGradeDigitacao(m_aberta));
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

bool TFDigitacaoProcedimentos::foraDoCalendario(TPersonEdit* campo)
{
    if (DentroDoCalendario(SessaoAtual().CalendarioAtual, campo->data()))
        return false;
    Avisa(kForaCalendario);
    campo->setFocus();
    return true;
}

// A code field left at "0" passes the required check: the authorization needs every one of them.
bool TFDigitacaoProcedimentos::codigosInformados()
{
    for (TPersonEdit* c : {m_municipio, m_pessoa, m_entidade, m_profissional, m_procedimento}) {
        if (CodigoVazio(c->text())) {
            MostraErro(QStringLiteral("O valor do campo \"%1\" não pode estar em Branco!").arg(c->rotulo()));
            c->setFocus();
            return false;
        }
    }
    return true;
}

QString TFDigitacaoProcedimentos::nomePessoa(const QString& municipio, const QString& codigo)
{
    Transacao* tr = transacaoLeitura();
    if (!tr || CodigoVazio(municipio) || CodigoVazio(codigo))
        return {};
    const auto l = LeLinha(*tr, QStringLiteral("select nome from pessoas where cli_origem=%1 and codigo=%2")
                                    .arg(SqlTexto(municipio.trimmed()), SqlInteiro(codigo)));
    return l ? l->texto(QStringLiteral("NOME")) : QString();
}

// ---- fields ----

void TFDigitacaoProcedimentos::PECodMunicipioExit()
{
    // A loaded authorization belongs to the municipality it was found in.
    if (m_aberta.id > 0 && !m_iniciadaAqui && m_municipio->text().trimmed() != m_aberta.municipio)
        LimpaEdits(true);
    PECodPessoaExit();
}

void TFDigitacaoProcedimentos::PEIDExit()
{
    LimpaEdits(true);
    const QString id = m_id->text().trimmed();
    const QString municipio = m_municipio->text().trimmed();
    Transacao* tr = transacaoLeitura();
    if (id.isEmpty() || CodigoVazio(municipio) || !tr)
        return;
    try {
        const auto l = LeAutorizacaoDigitada(*tr, municipio, id);
        if (!l) {
            Informa(QStringLiteral("Id não Encontrado!"));
            return;
        }
        auto inteiro = [&](TPersonEdit* campo, const char* coluna) {
            if (l->nulo(QLatin1String(coluna)))
                campo->clear();
            else
                campo->setText(l->texto(QLatin1String(coluna)));
        };
        inteiro(m_pessoa, "CODPESSOA");
        if (!m_entidadeFixa)
            inteiro(m_entidade, "CODENTIDADE");
        inteiro(m_profissional, "CODPROFISSIONAL");
        inteiro(m_motivo, "CODMOTIVOBLOQUEIO");
        m_dataLanc->setText(l->texto(QStringLiteral("DATALANC")));
        m_dataAtend->setText(l->texto(QStringLiteral("DATAREALIZACAO")));
        m_cid->setText(l->texto(QStringLiteral("CODCID")).trimmed());
        m_obs->setText(l->texto(QStringLiteral("OBS")));
        m_dataBloqueio->setText(l->texto(QStringLiteral("DATABLOQUEIO")));
        m_lPessoa->setText(nomePessoa(municipio, m_pessoa->text()));
        m_lEntidade->setText(nome(m_entidade->text(), "RazaoSocial", "Entidades"));
        m_lProfissional->setText(nome(m_profissional->text(), "Nome", "Profissionais"));
        m_lMotivo->setText(nome(m_motivo->text(), "descricao", "motivobloqueios"));
        m_glosar->setChecked(!l->nulo(QStringLiteral("DATABLOQUEIO")));
        defineAberta({municipio, (*l)[QStringLiteral("ID_MARCACAO")].inteiro(), l->texto(QStringLiteral("CHAVEIMPRE")).trimmed(),
                      l->texto(QStringLiteral("DATA_IMP_ADM"))},
                     false);
        CarregaProceds();
        m_gravar->setEnabled(true);
        m_excluir->setEnabled(true);
        const Calendario& cal = SessaoAtual().CalendarioAtual;
        const QDate importacao = l->nulo(QStringLiteral("DATA_IMPORTACAO"))
                                     ? LeData(cal.inicio)
                                     : (*l)[QStringLiteral("DATA_IMPORTACAO")].dataHora().date();
        if (!DentroDoCalendario(cal, importacao)) {
            m_gravar->setEnabled(false);
            m_excluir->setEnabled(false);
            Informa(QStringLiteral("Lançamento fora do Calendário Atual Selecionado!"));
        }
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFDigitacaoProcedimentos::PECodPessoaExit()
{
    try {
        m_lPessoa->setText(nomePessoa(m_municipio->text(), m_pessoa->text()));
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFDigitacaoProcedimentos::PECodEntidadeExit()
{
    const QString ent = m_entidade->text().trimmed();
    m_lEntidade->setText(nome(ent, "RazaoSocial", "Entidades"));
    Transacao* tr = transacaoLeitura();
    if (CodigoVazio(ent) || !tr)
        return;
    try {
        const QStringList profs = valores(
            *tr, QStringLiteral("select codprofissional from entidadesprofiss where codentidade=") + SqlInteiro(ent),
            QStringLiteral("CODPROFISSIONAL"));
        // The only professional of the entity; when he is on the screen already his check is under way.
        if (profs.size() == 1 && profs.first() != m_profissional->text().trimmed()) {
            m_profissional->setText(profs.first());
            processaProfissional();
        }
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFDigitacaoProcedimentos::PECodProfissionalExit() { processaProfissional(); }

void TFDigitacaoProcedimentos::processaProfissional()
{
    const QString prof = m_profissional->text().trimmed();
    m_lProfissional->setText(nome(prof, "Nome", "Profissionais"));
    Transacao* tr = transacaoLeitura();
    if (CodigoVazio(prof) || !tr)
        return;
    try {
        if (!CodigoVazio(m_entidade->text())) {
            if (!LeLinha(*tr, QStringLiteral("select p.nome from profissionais p, entidadesprofiss ep\n"
                                             "where p.codigo=ep.codprofissional\n"
                                             "and p.codigo=%1\n"
                                             "and ep.codentidade=%2")
                                  .arg(SqlInteiro(prof), SqlInteiro(m_entidade->text())))) {
                Avisa(QStringLiteral("Profissional/Entidade Inválido"));
                m_profissional->setFocus();
                return;
            }
        } else {
            const QStringList ents = valores(
                *tr, QStringLiteral("select codentidade from entidadesprofiss where codprofissional=") + SqlInteiro(prof),
                QStringLiteral("CODENTIDADE"));
            if (ents.size() == 1) {
                m_entidade->setText(ents.first());
                m_lEntidade->setText(nome(ents.first(), "RazaoSocial", "Entidades"));
            } else if (ents.size() > 1) {
                Informa(QStringLiteral("Profissional cadastrado em mais que uma Entidade!"));
            }
        }
        if (CodigoVazio(m_entidade->text()))
            return;
        const QStringList procs =
            valores(*tr, QStringLiteral("select codprocedimento from profissproced where codentidade=%1 and codprofissional=%2")
                             .arg(SqlInteiro(m_entidade->text()), SqlInteiro(prof)),
                    QStringLiteral("CODPROCEDIMENTO"));
        if (procs.size() == 1 && procs.first() != m_procedimento->text().trimmed()) {
            m_procedimento->setText(procs.first());
            processaProcedimento();
        }
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFDigitacaoProcedimentos::PECodProcedimentoExit() { processaProcedimento(); }

void TFDigitacaoProcedimentos::processaProcedimento()
{
    const QString proc = m_procedimento->text().trimmed();
    Transacao* tr = transacaoLeitura();
    if (CodigoVazio(proc) || !tr) {
        m_lProcedimento->clear();
        m_quantidade->setVisible(false);
        return;
    }
    try {
        const auto p = LeLinha(*tr, QStringLiteral("select nome, quantmax from procedimentos where codigo=") + SqlInteiro(proc));
        m_lProcedimento->setText(p ? p->texto(QStringLiteral("NOME")) : QString());
        m_quantidade->setVisible(p && (*p)[QStringLiteral("QUANTMAX")].inteiro() >= 2);
        const QString ent = m_entidade->text().trimmed();
        if (!CodigoVazio(ent) && CodigoVazio(m_profissional->text())) {
            const QStringList profs = valores(
                *tr, QStringLiteral("select codprofissional from profissproced where codentidade=%1 and codprocedimento=%2")
                         .arg(SqlInteiro(ent), SqlInteiro(proc)),
                QStringLiteral("CODPROFISSIONAL"));
            if (profs.size() == 1) {
                m_profissional->setText(profs.first());
                m_lProfissional->setText(nome(profs.first(), "Nome", "Profissionais"));
            }
        }
        if (!LeLinha(*tr, QStringLiteral("select pp.* from profissproced pp where pp.codprocedimento=%1 and "
                                         "pp.codentidade=%2 and pp.codprofissional=%3")
                              .arg(SqlInteiro(proc), SqlInteiro(ent), SqlInteiro(m_profissional->text())))) {
            erroCampo(QStringLiteral("Procedimento não cadastrado para este Profissional/Entidade"));
            m_procedimento->setFocus();
        }
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFDigitacaoProcedimentos::PECodCIDExit()
{
    m_cid->setText(m_cid->text().remove(QLatin1Char('.')).trimmed());
    const QString cid = m_cid->text();
    if (!cid.isEmpty() && NomeLivre(cid, QStringLiteral("codigo"), QStringLiteral("Descricao"), QStringLiteral("CID")).isEmpty()) {
        Avisa(QStringLiteral("Código CID Inválido!"));
        m_cid->setFocus();
    }
}

void TFDigitacaoProcedimentos::PECodMotivoBloqueioExit()
{
    m_lMotivo->setText(nome(m_motivo->text(), "descricao", "motivobloqueios"));
}

// ---- searches ----

void TFDigitacaoProcedimentos::SBCodMunicipioClick()
{
    const QString c = ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("Clientes"));
    if (c.isEmpty())
        return;
    m_municipio->setText(c);
    m_lMunicipio->setText(nome(c, "nome", "Clientes"));
    PECodMunicipioExit();
}

void TFDigitacaoProcedimentos::SBCodPessoaClick()
{
    const QString municipio = m_municipio->text().trimmed();
    const QStringList colunas{QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("cartaosus"),
                              QStringLiteral("DataNasc")};
    QString c;
    if (!CodigoVazio(municipio)) {
        c = ProcuraFiltro(colunas, QStringLiteral("Nome"), QStringLiteral("Pessoas"),
                          QStringLiteral("CLI_ORIGEM=") + SqlTexto(municipio));
    } else {
        c = Procura(colunas + QStringList{QStringLiteral("cli_origem")}, QStringLiteral("Nome"), QStringLiteral("Pessoas"));
        // The patient brings his municipality.
        const QString origem = FProcura()->linhaEscolhida().value(4).trimmed();
        if (!c.isEmpty() && !origem.isEmpty() && m_municipio->isEnabled()) {
            m_municipio->setText(origem);
            m_lMunicipio->setText(nome(origem, "nome", "Clientes"));
        }
    }
    if (c.isEmpty())
        return;
    m_pessoa->setText(c);
    PECodPessoaExit();
}

void TFDigitacaoProcedimentos::SBCadPessoaClick()
{
    SuspendeFechamento s(this);
    const QString gravado = TFCadPessoas::AbreModal(m_municipio->text().trimmed(), m_pessoa->text().trimmed(), this);
    if (!gravado.isEmpty())
        m_pessoa->setText(gravado);
    PECodPessoaExit();
}

void TFDigitacaoProcedimentos::SBCodEntidadeClick()
{
    const QString c = ProcuraFiltro({QStringLiteral("codigo"), QStringLiteral("RazaoSocial"), QStringLiteral("NomeFantasia")},
                                    QStringLiteral("RazaoSocial"), QStringLiteral("Entidades"),
                                    QStringLiteral("DataExclusao is null"));
    if (c.isEmpty())
        return;
    m_entidade->setText(c);
    PECodEntidadeExit();
}

void TFDigitacaoProcedimentos::SBCodProfissionalClick()
{
    QString condicao;
    const QString ent = m_entidade->text().trimmed();
    const QString proc = m_procedimento->text().trimmed();
    if (!CodigoVazio(ent)) {
        condicao = QStringLiteral("codentidade=") + SqlInteiro(ent);
        if (!CodigoVazio(proc))
            condicao += QStringLiteral(" and codigo in (select pp.codprofissional from profissproced pp where "
                                       "pp.codentidade=%1 and pp.codprocedimento=%2)")
                            .arg(SqlInteiro(ent), SqlInteiro(proc));
    }
    const QStringList colunas{QStringLiteral("codconcat"), QStringLiteral("Nome"), QStringLiteral("OcupacaoEntidade")};
    const QString c = condicao.isEmpty()
                          ? Procura(colunas, QStringLiteral("Nome"), QStringLiteral("v_Profissionais"))
                          : ProcuraFiltro(colunas, QStringLiteral("Nome"), QStringLiteral("v_Profissionais"), condicao);
    if (c.isEmpty())
        return;
    m_profissional->setText(c);
    processaProfissional();
}

void TFDigitacaoProcedimentos::SBCodProcedimentoClick()
{
    QString condicao = QStringLiteral("DataExclusao is null");
    const QString ent = m_entidade->text().trimmed();
    if (!CodigoVazio(ent)) {
        condicao += QStringLiteral(" AND (exists(select * from profissproced pp where codigo=pp.codprocedimento and "
                                   "pp.codentidade=") +
                    SqlInteiro(ent);
        if (!CodigoVazio(m_profissional->text()))
            condicao += QStringLiteral(" and pp.codprofissional=") + SqlInteiro(m_profissional->text());
        condicao += QStringLiteral("))");
    }
    const QString c = ProcuraFiltro({QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("codtabsus"),
                                     QStringLiteral("valor")},
                                    QStringLiteral("Nome"), QStringLiteral("Procedimentos"), condicao);
    if (c.isEmpty())
        return;
    m_procedimento->setText(c);
    processaProcedimento();
}

void TFDigitacaoProcedimentos::SBCodCIDClick()
{
    const QString c = ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Descricao"), QStringLiteral("CID"));
    if (c.isEmpty())
        return;
    m_cid->setText(c);
    PECodCIDExit();
}

void TFDigitacaoProcedimentos::SBCodMotivoBloqueioClick()
{
    const QString c = ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("descricao"), QStringLiteral("motivobloqueios"));
    if (c.isEmpty())
        return;
    m_motivo->setText(c);
    PECodMotivoBloqueioExit();
}

void TFDigitacaoProcedimentos::SBCadMotivoBloqueioClick()
{
    abreTelaVizinha(QStringLiteral("MotivosdeBloqueio1"));
}

// ---- actions ----

void TFDigitacaoProcedimentos::PBInserirProcedClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !codigosInformados() || foraDoCalendario(m_dataAtend))
        return;
    const qint64 quantidade = QuantidadeProcedimento(m_quantidade->text(), m_quantidade->isVisibleTo(this));
    const qint64 procedimento = m_procedimento->inteiro().value_or(0);
    const bool criando = m_aberta.id <= 0;
    AutorizacaoDigitada nova;
    if (ExecutaAcao(m_inserir, [&] {
            nova = InsereProcedimentoDigitado(dm->IBTransaction, digitacaoTela(), m_aberta, m_origem, procedimento,
                                              quantidade);
        })) {
        defineAberta(nova, m_iniciadaAqui || criando);
        travaCabecalho(true);
        m_quantidade->setText(QStringLiteral("1"));
    }
    CarregaProceds();
    m_procedimento->setFocus();
}

void TFDigitacaoProcedimentos::PBExcluirProcedClick()
{
    TDMCUNE* dm = DMCUNE();
    const QString proc = m_grade->valor(QStringLiteral("CODPROCEDIMENTO"));
    if (!dm || m_aberta.id <= 0 || proc.isEmpty() || !Confirma(QStringLiteral("Deseja realmente excluir o PROCEDIMENTO?")))
        return;
    ExecutaAcao(m_excluirProc, [&] { ExcluiProcedimentoDigitado(dm->IBTransaction, m_aberta, proc.toLongLong()); });
    CarregaProceds();
}

void TFDigitacaoProcedimentos::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    Transacao* tr = transacaoLeitura();
    if (!dm || !tr)
        return;
    if (m_aberta.id <= 0) {
        erroCampo(QStringLiteral("Você ainda não inseriu nenhum procedimento!"));
        m_procedimento->setFocus();
        return;
    }
    if (foraDoCalendario(m_dataAtend))
        return;
    bool apac = false;
    try {
        apac = ExigenciasDe(LeProcedimentosMarcacao(*tr, m_aberta.municipio, m_aberta.id, m_aberta.carimbo), true).apac;
    } catch (const std::exception& e) {
        MostraExcecao(e);
        return;
    }
    if (apac && m_cid->text().trimmed().isEmpty()) {
        erroCampo(QStringLiteral("Você deve inserir um CID para autorizar este procedimento!"));
        m_cid->setFocus();
        return;
    }
    const AutorizacaoDigitada a = m_aberta;
    if (!ExecutaAcao(m_gravar, [&] { FinalizaDigitacao(dm->IBTransaction, digitacaoTela(), a); })) {
        CarregaProceds();
        return;
    }
    // Finalized: closing no longer discards it, whatever the printout does.
    defineAberta(a, false);

    bool impresso = false;
    {
        SuspendeFechamento s(this);
        try {
            impresso = TRImpFAA::Executa(*tr, PedidoFAA{a.municipio, a.id, a.carimbo, apac, false}, this);
        } catch (const std::exception&) {
            impresso = false;
        }
    }
    if (!impresso) {
        MostraErro(QStringLiteral("Erro ao imprimir! Tente novamente"));
        return;
    }
    ExecutaAcao(nullptr, [&] { RegistraImpressaoDigitacao(dm->IBTransaction, a); });
    LimpaEdits();
    m_municipio->setFocus();
}

void TFDigitacaoProcedimentos::PBtnExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || m_aberta.id <= 0 || !Confirma(QStringLiteral("Deseja realmente excluir a AUTORIZAÇÃO?")))
        return;
    if (!ExecutaAcao(m_excluir, [&] { ExcluiAutorizacaoDigitada(dm->IBTransaction, m_aberta); })) {
        CarregaProceds();
        return;
    }
    LimpaEdits();
    m_municipio->setFocus();
}

void TFDigitacaoProcedimentos::PBGravaBloqueioClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    if (m_aberta.id <= 0) {
        Informa(QStringLiteral("Informe a ID da autorização a ser bloqueada!"));
        return;
    }
    if (!m_dataBloqueio->vazio() && foraDoCalendario(m_dataBloqueio))
        return;
    if (ExecutaAcao(m_gravaBloqueio, [&] {
            GravaGlosa(dm->IBTransaction, m_aberta, m_dataBloqueio->text(), m_motivo->text(), m_dataLanc->text(),
                       m_lMotivo->text());
        }))
        Informa(QStringLiteral("Procedimento Glosado!"));
    CarregaProceds();
}

void TFDigitacaoProcedimentos::closeEvent(QCloseEvent* ev)
{
    // An authorization typed here and never finalized does not stay behind; when it cannot be
    // removed the screen stays open with the error shown.
    if (m_iniciadaAqui && m_aberta.id > 0) {
        TDMCUNE* dm = DMCUNE();
        const AutorizacaoDigitada a = m_aberta;
        if (dm && !ExecutaAcao(nullptr, [&] { DescartaAutorizacaoDigitada(dm->IBTransaction, a); })) {
            ev->ignore();
            return;
        }
        defineAberta({}, false);
    }
    TFBase::closeEvent(ev);
}

} // namespace vx
