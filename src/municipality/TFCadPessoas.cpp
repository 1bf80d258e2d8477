#include "municipality/TFCadPessoas.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/Mensagens.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UProcuraNome.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "core/widgets/UiMensagens.h"
#include "municipality/CartaoSus.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QToolButton>

namespace vx {

VX_REGISTRA_TELA(CadastrodePessoas1, [] { TFCadPessoas::Abre(); });

namespace {
const QString kDataVazia = QStringLiteral("  /  /    ");
} // namespace

TFCadPessoas::TFCadPessoas(QWidget* parent, const QString& cliOrigem)
    : TFBase(parent)
    , m_cliOrigem(cliOrigem.isEmpty() ? ClienteOrigemInstalacao() : cliOrigem)
{
    setObjectName(QStringLiteral("TFCadPessoas"));
    setWindowTitle(QStringLiteral("Cadastro de Pacientes"));

    const auto campo = [this](const char* nome, TPersonEdit::Tipo tipo, const QString& rotulo, int max,
                              bool maiusculo, bool requerido) {
        auto* e = new TPersonEdit(tipo, rotulo, this);
        e->setObjectName(QLatin1String(nome));
        if (max > 0)
            e->setMaxLength(max);
        if (maiusculo)
            e->setCaixa(TPersonEdit::caixaMaiuscula);
        e->setRequerido(requerido);
        return e;
    };

    // Header band.
    m_cabecalho = new QFrame(this);
    m_cabecalho->setObjectName(QStringLiteral("PCabecalho"));
    m_cabecalho->setFrameShape(QFrame::StyledPanel);
    m_cabecalho->setAutoFillBackground(true);
    QPalette pc = m_cabecalho->palette();
    pc.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));
    m_cabecalho->setPalette(pc);
    auto* hl = new QHBoxLayout(m_cabecalho);
    hl->setContentsMargins(10, 4, 10, 4);
    m_lMunicipio = new QLabel(QStringLiteral("Município: "), m_cabecalho);
    m_lCodMun = new QLabel(QString::fromLatin1(kCliOrigemNenhum), m_cabecalho);
    m_lCodMun->setObjectName(QStringLiteral("LCodMun"));
    m_lNomeMun = new QLabel(m_cabecalho);
    m_lNomeMun->setObjectName(QStringLiteral("LNomeMun"));
    for (QLabel* l : {m_lMunicipio, m_lCodMun, m_lNomeMun}) {
        QFont f = l->font();
        f.setBold(true);
        f.setPointSize(f.pointSize() + 1);
        l->setFont(f);
    }
    hl->addWidget(m_lMunicipio);
    hl->addWidget(m_lCodMun);
    hl->addSpacing(12);
    hl->addWidget(m_lNomeMun, 1);

    // Fields in tab order (also the order of the required check).
    m_codigo = campo("PECodigo", TPersonEdit::peTexto, QStringLiteral("Codigo:"), 5, false, false);
    m_codigo->setToolTip(QStringLiteral("Deixe em branco para gerar um código automático quando clicar em Gravar"));
    m_sbCodigo = NovoBotaoBusca(QStringLiteral("SBCodigo"), this);
    m_cartao = campo("PECartaoSUS", TPersonEdit::peTexto, QStringLiteral("Cartão SUS:"), 20, false, true);
    m_nome = campo("PENome", TPersonEdit::peTexto, QStringLiteral("Nome:"), 60, true, true);
    m_dataNasc = campo("PEDataNasc", TPersonEdit::peData, QStringLiteral("Nasc.:"), 0, false, true);
    m_lIdade = new QLabel(this);
    m_lIdade->setObjectName(QStringLiteral("LIdade"));
    m_sexo = campo("PESexo", TPersonEdit::peTexto, QStringLiteral("Sexo (M/F):"), 1, true, true);
    m_lRaca = new QLabel(QStringLiteral("Raça:"), this);
    m_raca = new QComboBox(this);
    m_raca->setObjectName(QStringLiteral("CBRaca"));
    m_raca->addItems(ItensRaca());
    m_lRaca->setBuddy(m_raca);
    m_lEtnia = new QLabel(QStringLiteral("Etnia:"), this);
    m_etnia = new QComboBox(this);
    m_etnia->setObjectName(QStringLiteral("CBEtnia"));
    m_etnia->addItems(ItensEtnia());
    m_lEtnia->setBuddy(m_etnia);
    m_responsavel = campo("PEResponsavel", TPersonEdit::peTexto, QStringLiteral("Responsável:"), 60, true, true);
    m_nomeMae = campo("PENomeMae", TPersonEdit::peTexto, QStringLiteral("Nome Mãe:"), 60, true, true);
    m_tipoLograd = campo("PECodTipoLograd", TPersonEdit::peInteiro, QStringLiteral("Tipo Lograd.:"), 5, false, true);
    m_sbTipoLograd = NovoBotaoBusca(QStringLiteral("SBTipoLograd"), this);
    m_lTipoLograd = new QLabel(this);
    m_lTipoLograd->setObjectName(QStringLiteral("LTipoLograd"));
    m_endereco = campo("PEEndereco", TPersonEdit::peTexto, QStringLiteral("Endereço:"), 100, true, true);
    m_endNum = campo("PEEndNum", TPersonEdit::peInteiro, QStringLiteral("Número:"), 0, false, false);
    m_bairro = campo("PEBairro", TPersonEdit::peTexto, QStringLiteral("Bairro:"), 40, true, true);
    m_cep = campo("PECep", TPersonEdit::peTexto, QStringLiteral("CEP:"), 8, true, true);
    m_fones = campo("PEFones", TPersonEdit::peTexto, QStringLiteral("Fones:"), 50, false, false);
    m_obs = campo("PEObs", TPersonEdit::peTexto, QStringLiteral("Obs:"), 500, false, false);
    m_gravar = new TPersonBtn(QStringLiteral("&Gravar"), this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    m_excluir = new TPersonBtn(QStringLiteral("&Excluir"), this);
    m_excluir->setObjectName(QStringLiteral("PBtnExcluir"));
    m_excluir->setVerRequeridos(false);

    // Fixed layout; caption labels sit left of their fields.
    const int x = 104, x2 = 500, h = 24, dy = 30;
    int y = 52;
    m_cabecalho->setGeometry(0, 0, 730, 38);
    m_codigo->setGeometry(x, y, 70, h);
    m_sbCodigo->setGeometry(x + 74, y, 26, h);
    y += dy;
    m_cartao->setGeometry(x, y, 170, h);
    y += dy;
    m_nome->setGeometry(x, y, 480, h);
    y += dy;
    m_dataNasc->setGeometry(x, y, 90, h);
    m_lIdade->setGeometry(x + 98, y, 120, h);
    m_sexo->setGeometry(x2, y, 30, h);
    y += dy;
    m_lRaca->setGeometry(x - 3 - m_lRaca->sizeHint().width(), y, m_lRaca->sizeHint().width(), h);
    m_raca->setGeometry(x, y, 190, h);
    m_lEtnia->setGeometry(x2 - 3 - m_lEtnia->sizeHint().width(), y, m_lEtnia->sizeHint().width(), h);
    m_etnia->setGeometry(x2, y, 190, h);
    y += dy;
    m_responsavel->setGeometry(x, y, 480, h);
    y += dy;
    m_nomeMae->setGeometry(x, y, 480, h);
    y += dy;
    m_tipoLograd->setGeometry(x, y, 60, h);
    m_sbTipoLograd->setGeometry(x + 64, y, 26, h);
    m_lTipoLograd->setGeometry(x + 98, y, 300, h);
    y += dy;
    m_endereco->setGeometry(x, y, 330, h);
    m_endNum->setGeometry(x2, y, 84, h);
    y += dy;
    m_bairro->setGeometry(x, y, 330, h);
    m_cep->setGeometry(x2, y, 84, h);
    y += dy;
    m_fones->setGeometry(x, y, 480, h);
    y += dy;
    m_obs->setGeometry(x, y, 610, h);
    y += dy;
    m_gravar->setGeometry(610, 52, 110, 30);
    m_excluir->setGeometry(610, 88, 110, 30);
    setFixedSize(730, y + 10);

    LigaCodigo(m_codigo, m_sbCodigo, nullptr, {}, [this] { PECodigoExit(); });
    LigaCodigo(m_tipoLograd, m_sbTipoLograd, nullptr, {}, [this] { PECodTipoLogradExit(); });
    connect(m_sbCodigo, &QToolButton::clicked, this, &TFCadPessoas::SBCodigoClick);
    connect(m_sbTipoLograd, &QToolButton::clicked, this, &TFCadPessoas::SBTipoLogradClick);
    connect(m_cartao, &TPersonEdit::saiu, this, &TFCadPessoas::PECartaoSUSExit);
    connect(m_nome, &TPersonEdit::saiu, this, &TFCadPessoas::PENomeExit);
    connect(m_dataNasc, &TPersonEdit::saiu, this, &TFCadPessoas::PEDataNascExit);
    connect(m_gravar, &TPersonBtn::Acao, this, &TFCadPessoas::PBtnGravarClick);
    connect(m_excluir, &TPersonBtn::Acao, this, &TFCadPessoas::PBtnExcluirClick);
    m_cep->installEventFilter(this);

    FormShow();
}

TFCadPessoas::~TFCadPessoas() = default;

TFCadPessoas* TFCadPessoas::Abre()
{
    return MostraTela<TFCadPessoas>();
}

TFCadPessoas* TFCadPessoas::instancia()
{
    return InstanciaTela<TFCadPessoas>();
}

QString TFCadPessoas::AbreModal(const QString& cliOrigem, const QString& codigo, QWidget* pai)
{
    if (TFCadPessoas* aberta = instancia())
        aberta->close();
    auto* t = new TFCadPessoas(pai, cliOrigem);
    RegistroTela<TFCadPessoas>() = t;
    QString resultado;
    ExecutaTelaModal(
        t,
        [&] {
            if (!codigo.trimmed().isEmpty()) {
                t->m_codigo->setText(codigo.trimmed());
                t->PECodigoExit();
            }
        },
        [&] { resultado = t->ultimoCodigoGravado(); });
    return resultado;
}

QString TFCadPessoas::clienteOrigem() const
{
    return m_origemCarregada.isEmpty() ? m_cliOrigem : m_origemCarregada;
}

void TFCadPessoas::FormShow()
{
    LimpaEdits();
    m_gravar->setVerRequeridos(EhMunicipio());
}

// Header band: the client code and the municipality's name.
void TFCadPessoas::mostraOrigem(const QString& origem)
{
    m_lCodMun->setText(origem);
    QString nome;
    try {
        nome = NomeLivre(origem, QStringLiteral("CODIGO"), QStringLiteral("CIDADE"), QStringLiteral("IBGEMUNIC"));
    } catch (const std::exception&) {
        nome.clear();
    }
    m_lNomeMun->setText(nome);
}

void TFCadPessoas::LimpaEdits()
{
    for (TPersonEdit* e : findChildren<TPersonEdit*>()) {
        e->clear();
        e->limpaErro();
    }
    m_raca->setCurrentIndex(m_raca->count() - 1);
    m_etnia->setCurrentIndex(m_etnia->count() - 1);
    m_lIdade->clear();
    m_lTipoLograd->clear();
    m_cep->setText(Ini().le(QStringLiteral("GERAL"), QStringLiteral("CEP")));
    if (!m_origemCarregada.isEmpty() || m_lCodMun->text() != m_cliOrigem) {
        m_origemCarregada.clear();
        mostraOrigem(m_cliOrigem);
    }
}

bool TFCadPessoas::eventFilter(QObject* obj, QEvent* ev)
{
    if (obj == m_cep && ev->type() == QEvent::FocusIn && m_cep->text().isEmpty())
        m_cep->setText(Ini().le(QStringLiteral("GERAL"), QStringLiteral("CEP")));
    return TFBase::eventFilter(obj, ev);
}

Paciente TFCadPessoas::pacienteTela() const
{
    Paciente p;
    p.cliOrigem = clienteOrigem();
    p.codigo = m_codigo->text().trimmed();
    p.cartaoSus = m_cartao->text();
    p.nome = m_nome->text();
    p.dataNasc = m_dataNasc->text();
    p.sexo = m_sexo->text();
    p.raca = CodigoRaca(m_raca->currentText());
    p.etnia = CodigoEtnia(m_etnia->currentText());
    p.responsavel = m_responsavel->text();
    p.nomeMae = m_nomeMae->text();
    p.codTipoLograd = m_tipoLograd->text();
    p.endereco = m_endereco->text();
    p.endNum = m_endNum->text();
    p.bairro = m_bairro->text();
    p.cep = m_cep->text();
    p.fones = m_fones->text();
    p.obs = m_obs->text();
    return p;
}

void TFCadPessoas::mostraPaciente(const Paciente& p)
{
    m_codigo->setText(p.codigo);
    m_cartao->setText(p.cartaoSus);
    m_nome->setText(p.nome);
    m_dataNasc->setText(p.dataNasc);
    m_sexo->setText(p.sexo);
    m_raca->setCurrentIndex(IndiceRaca(p.raca));
    m_etnia->setCurrentIndex(IndiceEtnia(p.etnia));
    m_responsavel->setText(p.responsavel);
    m_nomeMae->setText(p.nomeMae);
    m_tipoLograd->setText(p.codTipoLograd);
    m_endereco->setText(p.endereco);
    m_endNum->setText(p.endNum);
    m_bairro->setText(p.bairro);
    m_cep->setText(p.cep);
    m_fones->setText(p.fones);
    m_obs->setText(p.obs);
    aplicaIdade();
    PECodTipoLogradExit();
}

void TFCadPessoas::focaCampo(const QString& nome)
{
    if (auto* w = findChild<QWidget*>(nome))
        w->setFocus();
}

void TFCadPessoas::PECodigoExit()
{
    carregaPaciente(m_cliOrigem, m_codigo->text().trimmed());
}

void TFCadPessoas::carregaPaciente(const QString& origem, const QString& codigo)
{
    LimpaEdits();
    m_codigo->setText(codigo);
    TDMCUNE* dm = DMCUNE();
    if (codigo.isEmpty() || !dm)
        return;
    Paciente p;
    bool achou = false;
    try {
        dm->IBTLivre.inicia();
        achou = CarregaPaciente(dm->IBTLivre, origem, codigo, p);
        dm->IBTLivre.rollback();
    } catch (const ErroBanco& e) {
        dm->IBTLivre.rollback();
        MostraErro(e.texto());
        return;
    } catch (const ErroValor& e) {
        dm->IBTLivre.rollback();
        MostraErro(e.texto());
        m_codigo->setFocus();
        return;
    }
    if (!achou)
        return;
    if (origem != m_cliOrigem) {
        // Saving and deleting now work on this row of the other client.
        m_origemCarregada = origem;
        mostraOrigem(origem);
    }
    mostraPaciente(p);
}

void TFCadPessoas::SBCodigoClick()
{
    SuspendeFechamento s(this);
    const QStringList campos{QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("cartaosus"),
                             QStringLiteral("DataNasc")};
    if (m_cliOrigem == QLatin1String(kCliOrigemNenhum)) {
        // The consortium lists every client's patients; the chosen row is loaded by its own origin.
        const QStringList comOrigem = campos + QStringList{QStringLiteral("cli_origem")};
        const QString codigo = Procura(comOrigem, QStringLiteral("Nome"), QStringLiteral("Pessoas"));
        if (codigo.isEmpty())
            return;
        // The list shows the columns after the key, then the key: the origin is the one before last.
        const QString origem = FProcura()->linhaEscolhida().value(comOrigem.size() - 2).trimmed();
        carregaPaciente(origem.isEmpty() ? m_cliOrigem : origem, codigo);
        return;
    }
    // A municipality lists only its own patients.
    const QString codigo = ProcuraFiltro(campos, QStringLiteral("Nome"), QStringLiteral("Pessoas"),
                                         QStringLiteral("CLI_ORIGEM=") + SqlTexto(m_cliOrigem));
    if (codigo.isEmpty())
        return;
    carregaPaciente(m_cliOrigem, codigo);
}

void TFCadPessoas::PECartaoSUSExit()
{
    const QString cartao = m_cartao->text();
    if (cartao == QLatin1String(kCartaoModulos) || EhConsorcio()) {
        m_gravar->setVerRequeridos(false);
        return;
    }
    m_gravar->setVerRequeridos(true);
    if (!ValidaCartaoSUS(cartao)) {
        m_cartao->setFocus();
        return;
    }
    avisaDuplicado(QStringLiteral("CartaoSUS"), cartao);
}

void TFCadPessoas::PENomeExit()
{
    avisaDuplicado(QStringLiteral("Nome"), m_nome->text());
}

void TFCadPessoas::avisaDuplicado(const QString& coluna, const QString& valor)
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    try {
        const QString aviso = AvisoDuplicidade(dm->IBTLivre, coluna, valor, m_codigo->text().trimmed());
        dm->IBTLivre.rollback();
        if (!aviso.isEmpty())
            Avisa(aviso);
    } catch (const ErroBanco& e) {
        dm->IBTLivre.rollback();
        MostraErro(e.texto());
    }
}

void TFCadPessoas::PEDataNascExit()
{
    aplicaIdade();
}

void TFCadPessoas::aplicaIdade()
{
    const QString texto = m_dataNasc->text();
    if (texto == kDataVazia)
        return;
    const QDate nasc = LeData(texto);
    if (!nasc.isValid())
        return;
    const int idade = IdadeAnos(nasc);
    m_lIdade->setText(QStringLiteral("%1 anos").arg(idade));
    if (idade < 0 || idade > 120) {
        Avisa(QStringLiteral("Data Inválida (%1 anos)").arg(idade));
        m_dataNasc->setFocus();
        return;
    }
    const bool menor = idade <= 17;
    m_responsavel->setEnabled(menor);
    m_responsavel->setRequerido(menor);
}

void TFCadPessoas::PECodTipoLogradExit()
{
    try {
        m_lTipoLograd->setText(NomeLivre(m_tipoLograd->text(), QStringLiteral("codigo"), QStringLiteral("NOME"),
                                         QStringLiteral("TIPOSLOGRADOURO")));
    } catch (const ErroBanco& e) {
        m_lTipoLograd->clear();
        MostraErro(e.texto());
    }
}

void TFCadPessoas::SBTipoLogradClick()
{
    SuspendeFechamento s(this);
    const QString codigo = ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("TiposLogradouro"));
    if (codigo.isEmpty())
        return;
    m_tipoLograd->setText(codigo);
    PECodTipoLogradExit();
}

void TFCadPessoas::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    const Paciente p = pacienteTela();
    if (EhMunicipio() && p.cartaoSus != QLatin1String(kCartaoModulos)) {
        const Pendencia pend = VerificaPacienteMunicipio(p);
        if (!pend.ok()) {
            Avisa(pend.mensagem);
            focaCampo(pend.campo);
            m_gravar->setEnabled(true);
            return;
        }
    }
    // A birth date in the future or more than 120 years back is never saved.
    const Pendencia idade = VerificaIdade(p.dataNasc);
    if (!idade.ok()) {
        Avisa(idade.mensagem);
        focaCampo(idade.campo);
        m_gravar->setEnabled(true);
        return;
    }
    GravacaoPaciente g;
    bool iniciada = false;
    const bool ok = ExecutaAcao(m_gravar, [&] { g = GravaPaciente(dm->IBTransaction, p, EhConsorcio(), &iniciada); });
    if (!ok) {
        // The fields stay as typed; the code gets the focus only when no transaction could be started.
        if (!iniciada)
            m_codigo->setFocus();
        return;
    }
    m_ultimoGravado = g.codigo;
    LimpaEdits();
    m_codigo->setFocus();
    if (!g.falhaCep.isEmpty())
        Avisa(QStringLiteral("Paciente gravado (código %1), mas o CEP não pôde ser guardado na configuração:\n%2")
                  .arg(g.codigo, g.falhaCep));
}

void TFCadPessoas::PBtnExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    const QString codigo = m_codigo->text().trimmed();
    if (!dm || codigo.isEmpty() || codigo == QLatin1String("0"))
        return;
    if (!Confirma())
        return;
    QString recusa;
    const bool ok = ExecutaAcao(m_excluir, [&] {
        recusa = ExcluiPaciente(dm->IBTransaction, clienteOrigem(), codigo, m_nome->text());
    });
    if (!ok)
        return;
    if (!recusa.isEmpty()) {
        Avisa(recusa);
        return;
    }
    LimpaEdits();
    m_codigo->setFocus();
}

} // namespace vx
