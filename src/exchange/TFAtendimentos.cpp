#include "exchange/TFAtendimentos.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/Mensagens.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/PerguntaData.h"
#include "core/widgets/CampoChave.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "exchange/Atendimentos.h"
#include "exchange/CorrecaoConsultas.h"
#include "exchange/ImportacaoMensagens.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/UiProgressoFtp.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(RealizaodeExames1, [] { TFAtendimentos::Abre(); });

namespace {

constexpr int kLinhas = 20;

bool corvane() { return SessaoAtual().UsuarioInstalacao.contains(QLatin1String("CORVANE")); }

} // namespace

TFAtendimentos::TFAtendimentos(QWidget* parent) : TFBase(parent), m_erros(std::make_unique<LogErros>())
{
    setObjectName(QStringLiteral("TFAtendimentos"));
    setWindowTitle(QStringLiteral("Atendimento de Procedimentos"));
    auto* raiz = new QVBoxLayout(this);

    auto* cab = new QHBoxLayout;
    raiz->addLayout(cab);
    auto* rotulo = new QLabel(QStringLiteral("Entidade:"), this);
    m_lCodigo = NovoRotuloValor("LCodigo", this);
    m_lNome = NovoRotuloValor("LNome", this, 300);
    for (QLabel* l : {rotulo, m_lCodigo, m_lNome})
        AmpliaFonte(l, 1.3);
    cab->addWidget(rotulo);
    cab->addWidget(m_lCodigo);
    cab->addWidget(m_lNome, 1);

    const CampoChave campo = NovoCampoChave(this, raiz);
    m_chave = campo.chave;
    m_visualizar = campo.visualizar;
    m_codProf = new TPersonEdit(TPersonEdit::peTexto, QStringLiteral("Cód.Prof.:"), this);
    m_codProf->setObjectName(QStringLiteral("PECodProf"));
    m_codProf->setMaxLength(20);
    m_codProf->setFixedWidth(90);
    campo.linha->addSpacing(16);
    campo.linha->addWidget(m_codProf->editLabel());
    campo.linha->addWidget(m_codProf);
    campo.linha->addStretch(1);

    m_painel = new QGroupBox(this);
    m_painel->setObjectName(QStringLiteral("PainelAutorizacao"));
    QSizePolicy sp = m_painel->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    m_painel->setSizePolicy(sp);
    auto* lp = new QGridLayout(m_painel);
    m_lPaciente = NovoRotuloValor("LPaciente", m_painel);
    AmpliaFonte(m_lPaciente, 1.15);
    m_lProfissional = NovoRotuloValor("LProfissional", m_painel);
    m_lDataLanc = NovoRotuloValor("LDataLanc", m_painel, 80);
    m_lDataMarc = NovoRotuloValor("LDataMarc", m_painel, 80);
    m_lHoraMarc = NovoRotuloValor("LHoraMarc", m_painel, 50);
    m_lObs = NovoRotuloValor("LObs", m_painel);
    m_lObs->setWordWrap(true);
    lp->addWidget(new QLabel(QStringLiteral("Paciente:"), m_painel), 0, 0);
    lp->addWidget(m_lPaciente, 0, 1, 1, 5);
    lp->addWidget(new QLabel(QStringLiteral("Profissional:"), m_painel), 1, 0);
    lp->addWidget(m_lProfissional, 1, 1, 1, 5);
    lp->addWidget(new QLabel(QStringLiteral("Data Autorização:"), m_painel), 2, 0);
    lp->addWidget(m_lDataLanc, 2, 1);
    lp->addWidget(new QLabel(QStringLiteral("Marcado para:"), m_painel), 2, 2);
    lp->addWidget(m_lDataMarc, 2, 3);
    lp->addWidget(new QLabel(QStringLiteral("Hora:"), m_painel), 2, 4);
    lp->addWidget(m_lHoraMarc, 2, 5);
    lp->addWidget(new QLabel(QStringLiteral("Obs.:"), m_painel), 3, 0);
    lp->addWidget(m_lObs, 3, 1, 1, 5);
    lp->setColumnStretch(5, 1);
    raiz->addWidget(m_painel);

    m_lInstrucao = new QLabel(QStringLiteral("Informe um X nos procedimentos executados"), this);
    raiz->addWidget(m_lInstrucao);
    auto* grade = new QGridLayout;
    for (int i = 0; i < kLinhas; ++i) {
        auto* c = new QCheckBox(this);
        c->setObjectName(QStringLiteral("CBProced%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        QSizePolicy csp = c->sizePolicy();
        csp.setRetainSizeWhenHidden(true);
        c->setSizePolicy(csp);
        grade->addWidget(c, i % 10, i / 10);
        m_linhas << c;
    }
    grade->setColumnStretch(0, 1);
    grade->setColumnStretch(1, 1);
    raiz->addLayout(grade);

    m_dataRealizacao = new TPersonEdit(TPersonEdit::peData,
                                       QStringLiteral("Data da Realização do(s) Procedimento(s) Marcado(s):"), this);
    m_dataRealizacao->setObjectName(QStringLiteral("PEDataRealizacao"));
    m_dataRealizacao->setRequerido(true);
    m_gravar = new TPersonBtn(QStringLiteral("&Confirma"), this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    m_digitar = new TPersonBtn(QStringLiteral("&Digitar Atendimento"), this);
    m_digitar->setObjectName(QStringLiteral("PBDigitarAtend"));
    m_digitar->setVerRequeridos(false);
    m_alteraData = new TPersonBtn(QStringLiteral("&Alterar Data Realização"), this);
    m_alteraData->setObjectName(QStringLiteral("PBAlteraDataRealizacao"));
    m_alteraData->setVerRequeridos(false);
    auto* linhaData = new QHBoxLayout;
    linhaData->addWidget(m_dataRealizacao->editLabel());
    linhaData->addWidget(m_dataRealizacao);
    linhaData->addSpacing(12);
    linhaData->addWidget(m_gravar);
    linhaData->addWidget(m_alteraData);
    linhaData->addStretch(1);
    linhaData->addWidget(m_digitar);
    raiz->addLayout(linhaData);

    m_progresso = new UiProgressoFtp(this);
    raiz->addWidget(m_progresso);
    m_status = NovaCaixaStatus(this, 110);
    raiz->addWidget(m_status);
    setMinimumWidth(720);

    connect(m_chave, &TPersonEdit::saiu, this, &TFAtendimentos::PEChaveExit);
    connect(m_visualizar, &TPersonBtn::Acao, this, &TFAtendimentos::PBVisualizarClick);
    connect(m_codProf, &TPersonEdit::saiu, this, &TFAtendimentos::PECodProfExit);
    connect(m_gravar, &TPersonBtn::Acao, this, &TFAtendimentos::PBtnGravarClick);
    connect(m_alteraData, &TPersonBtn::Acao, this, &TFAtendimentos::PBAlteraDataRealizacaoClick);
    connect(m_digitar, &TPersonBtn::Acao, this, &TFAtendimentos::PBDigitarAtendClick);
    connect(this, &TFBase::fechando, this, &TFAtendimentos::aoFechar);
    // F10 does nothing here.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [] {});
    setTabOrder(m_chave, m_codProf);
    setTabOrder(m_codProf, m_dataRealizacao);
    setTabOrder(m_dataRealizacao, m_gravar);

    abertura();
}

TFAtendimentos::~TFAtendimentos() = default;

TFAtendimentos* TFAtendimentos::Abre()
{
    TFAtendimentos* t = MostraTela<TFAtendimentos>();
    t->m_chave->setFocus();
    return t;
}

void TFAtendimentos::abertura()
{
    escondeAutorizacao();
    m_codProf->hide();
    m_codProf->editLabel()->hide();
    m_codProf->setRequerido(false);
    m_lNome->clear();
    m_dataRealizacao->setText(SessaoAtual().DataAtual);
    m_digitar->setVisible(TemPerfil(QStringLiteral("CULVAR")) && DataAtualDate().isValid() &&
                          DataAtualDate() <= QDate(2015, 6, 22));

    m_papel = PapelInstalacao();
    m_codigo = CodigoInstalacao();
    m_lCodigo->setText(m_codigo.rightJustified(7, QLatin1Char('0')));
    QString nome;
    try {
        if (m_papel == QLatin1Char('E')) {
            nome = NomeLivre(m_codigo, QStringLiteral("codigo"), QStringLiteral("razaosocial"), QStringLiteral("entidades"));
            TDMCUNE* dm = DMCUNE();
            if (dm && !CodigoVazio(m_codigo)) {
                const auto profs = LeLinhas(dm->IBTLivre,
                                            QStringLiteral("select ep.codprofissional, p.nome from entidadesprofiss ep "
                                                           "left outer join profissionais p on ep.codprofissional=p.codigo "
                                                           "where ep.dataexclusao is null and ep.codentidade=") +
                                                SqlInteiro(m_codigo));
                QString dica;
                for (const LinhaCadastro& l : profs)
                    dica += QLatin1Char('[') + l.texto(QStringLiteral("CODPROFISSIONAL")) + QLatin1Char('-') +
                            l.texto(QStringLiteral("NOME")) + QStringLiteral("]   ");
                m_codProf->setToolTip(dica);
                m_profNecessario = profs.size() >= 2;
                if (m_profNecessario) {
                    m_codProf->show();
                    m_codProf->editLabel()->show();
                    m_codProf->setRequerido(true);
                }
            }
        } else if (m_papel == QLatin1Char('P')) {
            nome = NomeLivre(m_codigo, QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("profissionais"));
        }
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
    m_configurado = !nome.trimmed().isEmpty() || m_papel == QLatin1Char('C');
    if (!nome.trimmed().isEmpty()) {
        m_lNome->setText(nome);
    } else if (m_papel == QLatin1Char('C')) {
        m_codProf->show();
        m_codProf->editLabel()->show();
    } else {
        m_lNome->setText(QStringLiteral("PROFISSIONAL/ENTIDADE NÃO CONFIGURADA, CONTATE O SUPORTE!"));
    }
}

void TFAtendimentos::escondeAutorizacao()
{
    m_gravar->setEnabled(false);
    m_alteraData->hide();
    m_realizada = false;
    m_painel->hide();
    m_lInstrucao->hide();
    for (QCheckBox* c : m_linhas)
        c->hide();
    m_cliOrigem.clear();
    m_id = 0;
}

void TFAtendimentos::linhaStatus(const QString& t)
{
    m_status->appendPlainText(t);
    m_status->repaint();
}

void TFAtendimentos::PEChaveExit() { visualiza(); }

void TFAtendimentos::PBVisualizarClick() { visualiza(); }

void TFAtendimentos::visualiza()
{
    if (m_chave->text().trimmed().isEmpty() || !m_visualizar->isEnabled())
        return;
    m_visualizar->setEnabled(false);
    m_status->clear();
    for (int tentativa = 1;; ++tentativa) {
        escondeAutorizacao();
        if (mostra())
            break;
        if (tentativa <= 2 && buscaNoServidor())
            continue;
        Avisa(QStringLiteral("Chave não encontrada!"));
        break;
    }
    m_visualizar->setEnabled(true);
}

bool TFAtendimentos::mostra()
{
    Transacao* tr = transacaoLeitura();
    if (!tr)
        return false;
    const QString chave = m_chave->text().trimmed();
    try {
        tr->inicia();
        const auto l = LeLinha(*tr, SqlAtendimentoPorChave(chave));
        if (!l)
            return false;
        m_cliOrigem = l->texto(QStringLiteral("CLI_ORIGEM"));
        m_id = (*l)[QStringLiteral("ID_MARCACAO")].inteiro();
        m_semProfissional = CodigoVazio(l->texto(QStringLiteral("CODPROFISSIONAL")));
        m_realizada = !l->nulo(QStringLiteral("DATAREALIZACAO"));
        m_codProf->setVisible(m_semProfissional || m_profNecessario);
        m_codProf->editLabel()->setVisible(m_codProf->isVisible());

        m_lPaciente->setText(l->texto(QStringLiteral("NOME")));
        m_lProfissional->setText(l->texto(QStringLiteral("NOMEPROF")));
        m_lDataLanc->setText(l->texto(QStringLiteral("DATALANC")));
        m_lDataMarc->setText(l->texto(QStringLiteral("DATAMARC")));
        m_lHoraMarc->setText(l->texto(QStringLiteral("HORAMARC")));
        m_lObs->setText(l->texto(QStringLiteral("OBS")));
        Consulta procs(*tr);
        procs.abre(SqlProcedimentosAtendimento(), {m_cliOrigem, m_id, l->texto(QStringLiteral("DATA_IMP_ADM"))});
        for (int n = 0; !procs.eof() && n < kLinhas; procs.proximo(), ++n) {
            QCheckBox* c = m_linhas[n];
            c->setText(TextoLinhaProcedimento(procs.campo("QUANTIDADE").inteiro(), procs.campo("NOME").texto(),
                                              procs.campo("VALOR").decimal()));
            c->setProperty("codigo", procs.campo("CODIGO").inteiro());
            c->setChecked(!m_realizada || procs.campo("REALIZADO").texto() == QLatin1String("S"));
            c->show();
        }
        m_painel->show();
        m_lInstrucao->show();
        if (m_semProfissional)
            m_codProf->setFocus();

        if (m_realizada) {
            m_dataRealizacao->setText(l->texto(QStringLiteral("DATAREALIZACAO")));
            m_alteraData->setVisible(Geral::ALTERADATAREALIZACAO());
            Avisa(QStringLiteral("Procedimento já realizado!"));
        } else if (!l->nulo(QStringLiteral("DATABLOQUEIO"))) {
            Avisa(QStringLiteral("Autorização Bloqueada no Município de Origem!"));
        } else if (m_papel == QLatin1Char('E') && m_codigo != l->texto(QStringLiteral("CODENTIDADE"))) {
            Avisa(QStringLiteral("Esta Autorização refere-se a outra Entidade, por favor verifique!"));
        } else {
            m_gravar->setEnabled(m_configurado);
        }
        return true;
    } catch (const std::exception& e) {
        escondeAutorizacao();
        MostraExcecao(e);
        return true; // an error is not a missing key
    }
}

bool TFAtendimentos::buscaNoServidor()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return false;
    m_status->clear();
    m_gravar->setEnabled(false);
    BuscaChave b{m_chave->text().trimmed(), m_papel, m_codigo, m_codProf->text().trimmed()};
    ResultadoBusca r;
    FtpCliente& ftp = ClienteFtpCompartilhado();
    {
        UiProgressoFtp::Sessao sessao(*m_progresso, ftp, QStringLiteral("Procurando a chave ") + b.chave + "...");
        try {
            r = BuscaChaveNoServidor(ftp, dm->IBTransaction, b, *m_erros,
                                     [this](const QString& l) { linhaStatus(l); });
        } catch (const std::exception& e) {
            MostraExcecao(e);
            return false;
        }
    }
    if (!r.conectou)
        MostraSimples(QStringLiteral("Não foi possível conectar ao servidor!"));
    return r.importados > 0;
}

void TFAtendimentos::PECodProfExit()
{
    const QString cod = m_codProf->text().trimmed();
    if (cod.isEmpty() || m_papel == QLatin1Char('C'))
        return;
    Transacao* tr = transacaoLeitura();
    if (!tr)
        return;
    try {
        const auto l = Lendo(*tr, [&] {
            return LeLinha(*tr, QStringLiteral("select ep.codprofissional from entidadesprofiss ep where ep.codentidade=") +
                                    SqlInteiro(m_codigo) + QStringLiteral(" and ep.codprofissional=") + SqlInteiro(cod));
        });
        if (l)
            return;
    } catch (const ErroValor&) {
    } catch (const std::exception& e) {
        MostraExcecao(e);
        return;
    }
    MostraErro(QStringLiteral("Código Inválido!"), {});
    m_codProf->setFocus();
}

void TFAtendimentos::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !m_gravar->isEnabled())
        return;
    const QString chave = m_chave->text().trimmed();
    if (chave.isEmpty()) {
        Avisa(QStringLiteral("Informe a Chave da Autorização do Paciente!"));
        m_chave->setFocus();
        return;
    }
    const QDate data = m_dataRealizacao->data();
    if (!AnoRealizacaoValido(data, DataAtualDate())) {
        MostraSimples(QStringLiteral("Data Inválida!"));
        m_dataRealizacao->setFocus();
        return;
    }
    if (m_semProfissional && CodigoVazio(m_codProf->text())) {
        Avisa(QStringLiteral("Informe o Profissional Responsável por este atendimento!"));
        m_codProf->setFocus();
        return;
    }
    Confirmacao c;
    c.chave = chave;
    c.cliOrigem = m_cliOrigem;
    c.idMarcacao = m_id;
    c.realizacao = data;
    c.semProfissional = m_semProfissional;
    c.profissional = m_codProf->text().trimmed();
    for (QCheckBox* cb : m_linhas)
        if (cb->isVisible() && cb->isChecked())
            c.procedimentos << cb->property("codigo").toLongLong();
    bool feito = false;
    const bool ok = ExecutaAcao(m_gravar, [&] { feito = ConfirmaRealizacao(dm->IBTransaction, c); });
    m_gravar->setEnabled(false);
    if (!ok)
        return;
    if (!feito) {
        Informa(QStringLiteral("Você deve marcar ao menos um procedimento antes de confirmar. O envio será cancelado!"));
        return;
    }
    if (m_papel == QLatin1Char('C') && corvane()) {
        m_codProf->show();
        m_codProf->editLabel()->show();
        return;
    }
    m_status->clear();
    {
        FtpCliente& ftp = ClienteFtpCompartilhado();
        UiProgressoFtp::Sessao sessao(*m_progresso, ftp, QStringLiteral("Enviando a realização ") + chave + "...");
        EnviaRealizacao(dm->IBTransaction, &ftp, chave, m_lNome->text(), [this](const QString& l) { linhaStatus(l); });
    }
    escondeAutorizacao();
    m_chave->clear();
    m_chave->setFocus();
}

void TFAtendimentos::PBAlteraDataRealizacaoClick()
{
    TDMCUNE* dm = DMCUNE();
    const QString chave = m_chave->text().trimmed();
    if (!dm || chave.isEmpty() || !m_realizada)
        return;
    const QString antiga = m_dataRealizacao->text();
    SuspendeFechamento s(this);
    QString proposta = antiga;
    for (;;) {
        const auto resposta = PerguntaData(this, QStringLiteral("Alteração de Data"),
                                           QStringLiteral("Informe a Data Correta da Realização do Procedimento: (dd/mm/aaaa)"),
                                           proposta);
        if (!resposta || *resposta == QLatin1String("  /  /    "))
            return;
        const QDate nova = QDate::fromString(*resposta, QStringLiteral("dd/MM/yyyy"));
        if (nova.isValid()) {
            if (ExecutaAcao(m_alteraData, [&] { AlteraDataRealizacao(dm->IBTransaction, chave, antiga, nova); })) {
                m_dataRealizacao->setText(NormalizaData(nova));
                m_chave->setFocus();
            }
            return;
        }
        MostraErro(QStringLiteral("Data inválida"), {});
        proposta = *resposta;
    }
}

void TFAtendimentos::PBDigitarAtendClick() { abreTelaVizinha(QStringLiteral("LanamentodeProcedimentos1")); }

void TFAtendimentos::aoFechar()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || !TemPerfil(QStringLiteral("CUNE")))
        return;
    const QString titulo = windowTitle();
    setWindowTitle(QStringLiteral("AGUARDE, FECHANDO FORMULÁRIO..."));
    try {
        Transacao& tr = dm->IBTransaction;
        tr.inicia();
        if (CorrigeValorConsultas(tr))
            tr.commit();
        else
            tr.rollback();
    } catch (const std::exception&) {
        dm->IBTransaction.rollback();
    }
    setWindowTitle(titulo);
}

} // namespace vx
