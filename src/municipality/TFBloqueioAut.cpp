#include "municipality/TFBloqueioAut.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/Mensagens.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/Formulario.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/CampoChave.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "exchange/ftp/FtpCliente.h"
#include "exchange/ftp/UiProgressoFtp.h"
#include "municipality/Bloqueio.h"
#include "municipality/TRImpFAA.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(BloqueiodeAutorizaes1, [] { TFBloqueioAut::Abre(TFBloqueioAut::Modo::Bloqueio); });
VX_REGISTRA_TELA(ReimpressodeAutorizaesEnviadas1, [] { TFBloqueioAut::Abre(TFBloqueioAut::Modo::Reimpressao); });
VX_REGISTRA_TELA(Individual1, [] { TFBloqueioAut::Abre(TFBloqueioAut::Modo::Retransmissao); });

namespace {

QGroupBox* painel(const char* nome, QWidget* pai)
{
    auto* g = new QGroupBox(pai);
    g->setObjectName(QLatin1String(nome));
    return g;
}

} // namespace

TFBloqueioAut::TFBloqueioAut(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFBloqueioAut"));
    auto* raiz = new QVBoxLayout(this);

    auto* cab = new QHBoxLayout;
    raiz->addLayout(cab);
    auto* rotuloMun = new QLabel(QStringLiteral("Município:"), this);
    m_lCodMun = NovoRotuloValor("LCodMun", this);
    m_lNomeMun = NovoRotuloValor("LNomeMun", this, 260);
    for (QLabel* l : {rotuloMun, m_lCodMun, m_lNomeMun})
        AmpliaFonte(l, 1.3);
    cab->addWidget(rotuloMun);
    cab->addWidget(m_lCodMun);
    cab->addWidget(m_lNomeMun, 1);

    // The key, with its caption above it.
    const CampoChave campo = NovoCampoChave(this, raiz);
    m_chave = campo.chave;
    m_visualizar = campo.visualizar;
    campo.linha->addStretch(1);

    // Block: date and reason (typed, or picked from the registry).
    m_painelBloqueio = painel("PainelBloqueio", this);
    auto* lb = new QVBoxLayout(m_painelBloqueio);
    Formulario form(this);
    lb->addLayout(form.novoForm());
    m_data = form.campo("PEData", TPersonEdit::peData, QStringLiteral("Data:"), 0);
    m_motivo = form.campo("PEMotivo", TPersonEdit::peTexto, QStringLiteral("Obs/Motivo:"), 100);
    m_sbMotivo = NovoBotaoBusca(QStringLiteral("SBMotivo"), this);
    m_sbMotivo->setToolTip(QStringLiteral("Motivos de Bloqueio [F2]"));
    form.linhaAtual()->addWidget(m_sbMotivo);
    form.fechaLinha();
    m_gravar = new TPersonBtn(QStringLiteral("&Bloquear"), this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    m_gravar->setVerRequeridos(false);
    auto* lbBotao = new QHBoxLayout;
    lbBotao->addWidget(m_gravar);
    lbBotao->addStretch(1);
    lb->addLayout(lbBotao);

    // Reprint and retransmission: the one action in place of the block panel.
    m_painelImpressao = painel("PainelImpressao", this);
    auto* li = new QHBoxLayout(m_painelImpressao);
    m_imprimir = new TPersonBtn(QStringLiteral("Imprimir"), this);
    m_imprimir->setObjectName(QStringLiteral("PBImprimir"));
    m_imprimir->setVerRequeridos(false);
    li->addWidget(m_imprimir);
    li->addStretch(1);

    // The authorization of the key (keeps its place while hidden).
    m_painelAut = painel("PainelAutorizacao", this);
    QSizePolicy sp = m_painelAut->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    m_painelAut->setSizePolicy(sp);
    auto* la = new QVBoxLayout(m_painelAut);
    m_lPaciente = NovoRotuloValor("LPaciente", m_painelAut);
    AmpliaFonte(m_lPaciente, 1.15);
    la->addWidget(m_lPaciente);
    auto* datas = new QHBoxLayout;
    la->addLayout(datas);
    m_lDataLanc = NovoRotuloValor("LDataLanc", m_painelAut, 80);
    m_lDataMarc = NovoRotuloValor("LDataMarc", m_painelAut, 80);
    m_lHoraMarc = NovoRotuloValor("LHoraMarc", m_painelAut, 50);
    datas->addWidget(new QLabel(QStringLiteral("Data Autorização:"), m_painelAut));
    datas->addWidget(m_lDataLanc);
    datas->addSpacing(12);
    datas->addWidget(new QLabel(QStringLiteral("Marcado para:"), m_painelAut));
    datas->addWidget(m_lDataMarc);
    datas->addSpacing(12);
    datas->addWidget(new QLabel(QStringLiteral("Hora:"), m_painelAut));
    datas->addWidget(m_lHoraMarc);
    datas->addStretch(1);
    auto* obs = new QHBoxLayout;
    la->addLayout(obs);
    obs->addWidget(new QLabel(QStringLiteral("Obs.:"), m_painelAut));
    m_lObs = NovoRotuloValor("LObs", m_painelAut);
    m_lObs->setWordWrap(true);
    obs->addWidget(m_lObs, 1);
    m_grade = new GradeConsulta(m_painelAut);
    m_grade->setObjectName(QStringLiteral("DBGrid1"));
    m_grade->setMinimumHeight(130);
    m_grade->defineTitulos({QStringLiteral("Código"), QStringLiteral("Procedimento")});
    m_grade->defineColunaElastica(1);
    la->addWidget(m_grade, 1);

    raiz->addWidget(m_painelAut, 1);
    raiz->addWidget(m_painelBloqueio);
    raiz->addWidget(m_painelImpressao);
    m_progresso = new UiProgressoFtp(this);
    raiz->addWidget(m_progresso);
    m_status = NovaCaixaStatus(this, 90);
    raiz->addWidget(m_status);
    setMinimumWidth(640);

    teclado()->ligaBusca(m_motivo, m_sbMotivo);
    connect(m_chave, &TPersonEdit::saiu, this, &TFBloqueioAut::PEChaveExit);
    connect(m_visualizar, &TPersonBtn::Acao, this, &TFBloqueioAut::PBVisualizarClick);
    connect(m_sbMotivo, &QToolButton::clicked, this, &TFBloqueioAut::SBMotivoClick);
    connect(m_gravar, &TPersonBtn::Acao, this, &TFBloqueioAut::PBtnGravarClick);
    connect(m_imprimir, &TPersonBtn::Acao, this, &TFBloqueioAut::PBImprimirClick);
    setTabOrder(m_chave, m_data);
    setTabOrder(m_data, m_motivo);
    setTabOrder(m_motivo, m_gravar);

    configura(Modo::Bloqueio);
}

TFBloqueioAut* TFBloqueioAut::Abre(Modo modo)
{
    CriaTela<TFBloqueioAut>()->configura(modo);
    TFBloqueioAut* t = MostraTela<TFBloqueioAut>();
    t->m_chave->setFocus();
    t->m_chave->deselect();
    t->m_chave->setCursorPosition(t->m_chave->text().size());
    return t;
}

void TFBloqueioAut::configura(Modo modo)
{
    m_modo = modo;
    static const char* const titulos[] = {"Bloqueio de Autorizações", "Reimpressão de Autorizações",
                                          "Retransmissão de Autorizações"};
    setWindowTitle(QString::fromUtf8(titulos[int(modo)]));
    m_painelBloqueio->setVisible(modo == Modo::Bloqueio);
    m_painelImpressao->setVisible(modo != Modo::Bloqueio);
    m_imprimir->setText(modo == Modo::Retransmissao ? QStringLiteral("&Retransmitir") : QStringLiteral("&Imprimir"));

    m_municipio = EhMunicipio() ? SessaoAtual().UsuarioInstalacao.mid(1, 7) : QString();
    m_lCodMun->setText(m_municipio);
    const QString nome = m_municipio.isEmpty() ? QString()
                                               : NomeLivre(m_municipio, QStringLiteral("codigo"), QStringLiteral("cidade"),
                                                           QStringLiteral("IBGEMUNIC"));
    m_configurado = !nome.trimmed().isEmpty();
    m_lNomeMun->setText(m_configurado ? nome : QStringLiteral("MUNICÍPIO NÃO CONFIGURADO, CONTATE O SUPORTE!"));
    m_gravar->setEnabled(m_configurado);

    m_painelAut->hide();
    m_numero = 0;
    m_cliOrigem.clear();
    m_status->clear();
    m_chave->setText(m_municipio.mid(2, 5));
}

void TFBloqueioAut::PEChaveExit() { visualiza(); }

void TFBloqueioAut::PBVisualizarClick() { visualiza(); }

void TFBloqueioAut::visualiza()
{
    m_numero = 0;
    m_cliOrigem.clear();
    Transacao* tr = transacaoLeitura();
    const QString chave = m_chave->text().trimmed();
    if (!tr)
        return;
    try {
        const auto l = chave.isEmpty() ? std::nullopt : LeLinha(*tr, SqlAutorizacaoPorChave(chave));
        if (!l) {
            m_painelAut->hide();
            if (!chave.isEmpty())
                Avisa(QStringLiteral("Chave não encontrada!"));
            return;
        }
        const QString origem = l->texto(QStringLiteral("CLI_ORIGEM"));
        const qint64 numero = (*l)[QStringLiteral("ID_MARCACAO")].inteiro();
        m_lPaciente->setText(l->texto(QStringLiteral("NOME")));
        m_lDataLanc->setText(l->texto(QStringLiteral("DATALANC")));
        m_lDataMarc->setText(l->texto(QStringLiteral("DATAMARC")));
        m_lHoraMarc->setText(l->texto(QStringLiteral("HORAMARC")));
        m_lObs->setText(l->texto(QStringLiteral("OBS")));
        m_grade->carrega(*tr, SqlProcedimentosAutorizacao(origem, numero));
        m_painelAut->show();
        if (!l->nulo(QStringLiteral("DATABLOQUEIO"))) {
            Avisa(QStringLiteral("Autorização já Bloqueada!"));
            return;
        }
        m_numero = numero;
        m_cliOrigem = origem;
    } catch (const std::exception& e) {
        m_painelAut->hide();
        MostraExcecao(e);
    }
}

void TFBloqueioAut::SBMotivoClick()
{
    const QString codigo =
        ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("descricao"), QStringLiteral("motivobloqueios"));
    if (codigo.isEmpty())
        return;
    m_codMotivo = codigo.toLongLong();
    m_textoMotivo = NomeLivre(codigo, QStringLiteral("codigo"), QStringLiteral("descricao"), QStringLiteral("motivobloqueios"));
    m_motivo->setText(m_textoMotivo);
    m_motivo->setFocus();
}

void TFBloqueioAut::linhaStatus(const QString& t)
{
    m_status->appendPlainText(t);
    m_status->repaint();
}

void TFBloqueioAut::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    // Disabled while a block runs and in an installation without its municipality.
    if (!dm || m_modo != Modo::Bloqueio || !m_gravar->isEnabled())
        return;
    PedidoBloqueio p;
    p.municipio = m_municipio;
    p.nomeMunicipio = m_lNomeMun->text();
    p.chave = m_chave->text().trimmed();
    p.data = m_data->data();
    p.motivo = m_motivo->text();
    if (m_codMotivo > 0 && p.motivo == m_textoMotivo)
        p.codMotivo = m_codMotivo;
    if (p.chave.isEmpty()) {
        Avisa(QStringLiteral("Informe a Chave da Autorização do Paciente!"));
        m_chave->setFocus();
        return;
    }
    if (!p.data.isValid()) {
        Avisa(QStringLiteral("Informe a Data do Bloqueio da Autorização!"));
        m_data->setFocus();
        return;
    }

    ResultadoBloqueio r;
    bool limpo = false;
    const LinhaStatus status = [this, &limpo](const QString& l) {
        // The box starts over once the block is saved and its message is on its way.
        if (!limpo)
            m_status->clear();
        limpo = true;
        linhaStatus(l);
    };
    bool ok = false;
    {
        FtpCliente& ftp = ClienteFtpCompartilhado();
        UiProgressoFtp::Sessao sessao(*m_progresso, ftp, QStringLiteral("Bloqueando a autorização ") + p.chave + "...");
        ok = ExecutaAcao(m_gravar, [&] { r = BloqueiaAutorizacao(dm->IBTransaction, &ftp, p, status); });
    }
    if (!ok)
        return;
    switch (r.situacao) {
    case SituacaoBloqueio::ChaveNaoEncontrada:
        Avisa(QStringLiteral("Chave não encontrada!"));
        m_chave->setFocus();
        return;
    case SituacaoBloqueio::JaBloqueada:
        m_numero = 0;
        Avisa(QStringLiteral("Autorização já Bloqueada!"));
        return;
    case SituacaoBloqueio::Bloqueada:
        break;
    }
    Informa(QStringLiteral("Autorização Bloqueada!"));
    m_painelAut->hide();
    m_numero = 0;
    m_cliOrigem.clear();
    m_chave->clear();
    m_chave->setFocus();
}

void TFBloqueioAut::PBImprimirClick()
{
    if (m_modo == Modo::Reimpressao)
        reimprime();
    else if (m_modo == Modo::Retransmissao)
        retransmite();
}

void TFBloqueioAut::reimprime()
{
    Transacao* tr = transacaoLeitura();
    if (m_numero <= 0 || !tr)
        return;
    SuspendeFechamento s(this);
    try {
        const bool apac = ApacNaImpressao(*tr, m_cliOrigem, m_numero);
        if (!TRImpFAA::Executa(*tr, PedidoFAA{m_cliOrigem, m_numero, QStringLiteral("M"), apac, true}, this))
            MostraErro(QStringLiteral("Erro ao imprimir! Tente novamente"));
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFBloqueioAut::retransmite()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    const QString origem = m_numero > 0 ? m_cliOrigem : m_municipio;
    const qint64 numero = m_numero;
    m_status->clear();
    FtpCliente& ftp = ClienteFtpCompartilhado();
    UiProgressoFtp::Sessao sessao(*m_progresso, ftp, QStringLiteral("Retransmitindo a autorização %1...").arg(numero));
    ExecutaAcao(m_imprimir, [&] {
        RetransmiteAutorizacao(dm->IBTransaction, &ftp, origem, numero, [this](const QString& l) { linhaStatus(l); });
    });
}

} // namespace vx
