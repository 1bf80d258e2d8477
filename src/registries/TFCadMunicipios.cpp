#include "registries/TFCadMunicipios.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "registries/Municipios.h"
#include "registries/TFLimitesClientes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(CadastrodeMunicpios1, [] { TFCadMunicipios::Abre(); });

namespace {
constexpr int kMaxBoleto = 500;
const QString kDicaCobranca = QStringLiteral("B-Boleto  /   R-Recibo    A-Ambos");
} // namespace

TFCadMunicipios::TFCadMunicipios(QWidget* parent) : TFBase(parent)
{
    using E = TPersonEdit;
    using F = Formulario;
    setObjectName(QStringLiteral("TFCadMunicipios"));
    setWindowTitle(QStringLiteral("Cadastro de Municípios Consorciados"));
    auto* raiz = new QVBoxLayout(this);
    raiz->addWidget(new QLabel(QStringLiteral("Municípios Cadastrados:"), this));
    m_grade = new GradeConsulta(this);
    m_grade->setObjectName(QStringLiteral("DBGrid1"));
    m_grade->setMinimumHeight(180);
    raiz->addWidget(m_grade, 1);
    auto* botoes = new QHBoxLayout;
    raiz->addLayout(botoes);
    const auto botao = [&](const char* nome, const QString& texto, void (TFCadMunicipios::*acao)(), bool requeridos = false) {
        auto* b = new TPersonBtn(texto, this);
        b->setObjectName(QLatin1String(nome));
        b->setVerRequeridos(requeridos);
        b->setMinimumWidth(90);
        connect(b, &TPersonBtn::Acao, this, acao);
        return b;
    };
    botoes->addWidget(botao("PBEditar", QStringLiteral("Editar"), &TFCadMunicipios::PBEditarClick));
    botoes->addWidget(botao("PBIncluir", QStringLiteral("Incluir"), &TFCadMunicipios::PBIncluirClick));
    botoes->addWidget(m_excluirBtn = botao("PBExcluir", QStringLiteral("Excluir"), &TFCadMunicipios::PBExcluirClick));
    botoes->addStretch(1);
    botoes->addWidget(botao("PBLimites", QStringLiteral("Fixar Limites Financeiros"), &TFCadMunicipios::PBLimitesClick));

    m_painel = new QGroupBox(this);
    m_painel->setObjectName(QStringLiteral("PanelDadosMunicipio"));
    auto* painel = new QVBoxLayout(m_painel);
    QFormLayout* form = m_form.novoForm();
    painel->addLayout(form);
    raiz->addWidget(m_painel);

    m_municipios = new QComboBox(this);
    m_municipios->setObjectName(QStringLiteral("CBMunicipios"));
    m_municipios->setEditable(false);
    m_municipios->setMinimumWidth(360);
    auto* rotuloMunicipio = new QLabel(QStringLiteral("Município (Tabela IBGE):"), this);
    rotuloMunicipio->setBuddy(m_municipios);
    m_form.novaLinha(rotuloMunicipio, false)->addWidget(m_municipios);
    const auto liga = [&](const char* nome, E::Tipo tipo, const QString& rotulo, int max, const char* coluna,
                          unsigned opcoes = 0) {
        E* e = m_form.campo(nome, tipo, rotulo, max, opcoes);
        m_form.liga(e, QLatin1String(coluna));
        return e;
    };
    liga("PEEndereco", E::peTexto, QStringLiteral("Endereço:"), 50, "ENDERECO");
    liga("PEEndNum", E::peTexto, QStringLiteral("Nº:"), 10, "ENDNUM", F::MesmaLinha);
    liga("PEBairro", E::peTexto, QStringLiteral("Bairro:"), 50, "BAIRRO");
    liga("PECEP", E::peTexto, QStringLiteral("CEP:"), 10, "CEP", F::MesmaLinha);
    liga("PEContato", E::peTexto, QStringLiteral("Contato:"), 100, "CONTATO");
    liga("PEFones", E::peTexto, QStringLiteral("Fones:"), 50, "FONES", F::MesmaLinha);
    liga("PECNPJ", E::peCnpj, QStringLiteral("CNPJ:"), 0, "CNPJ");
    liga("PEPopulacao", E::peInteiro, QStringLiteral("População:"), 0, "POPULACAO", F::MesmaLinha);
    m_apac = m_form.marca("CBAPAC", QStringLiteral("Emite APAC:"), F::MesmaLinha);
    m_apac->setLayoutDirection(Qt::RightToLeft);
    m_form.liga(m_apac, QStringLiteral("APAC"));
    liga("PEMostrarValor", E::peTexto, QStringLiteral("Imprimir Valor dos Proced.:"), 1, "MOSTRARVALOR",
         F::Maiusculo | F::MesmaLinha)
        ->setToolTip(QStringLiteral("Nas autorizações impressas por este município deve constar o valor do "
                                    "Procedimento ( [S]im / [N]ão )"));

    m_boleto = new QPlainTextEdit(this);
    m_boleto->setObjectName(QStringLiteral("MBoleto"));
    m_boleto->setFixedSize(520, 60);
    m_boleto->setTabChangesFocus(true);
    connect(m_boleto, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = m_boleto->toPlainText();
        if (t.size() <= kMaxBoleto)
            return;
        QSignalBlocker b(m_boleto);
        m_boleto->setPlainText(t.left(kMaxBoleto));
        m_boleto->moveCursor(QTextCursor::End);
    });
    auto* rotuloBoleto = new QLabel(QStringLiteral("Descrição p/ boletos:"), this);
    rotuloBoleto->setBuddy(m_boleto);
    m_form.novaLinha(rotuloBoleto, false)->addWidget(m_boleto, 1);

    liga("PELeiAutorizativa", E::peTexto, QStringLiteral("Lei Autor.:"), 20, "LEIAUTORIZATIVA");
    liga("PEApelido", E::peTexto, QStringLiteral("Abreviatura:"), 20, "APELIDO", F::MesmaLinha);
    liga("PEValorTaxa", E::peFloat, QStringLiteral("Taxa R$ "), 0, "VALORTAXA");
    E* cobrTaxa = liga("PECobrTaxa", E::peTexto, QStringLiteral("Cobr. (B/R/A):"), 1, "COBRTAXA", F::Maiusculo | F::MesmaLinha);
    cobrTaxa->setToolTip(kDicaCobranca);
    E* contTaxa = liga("PECodContTaxa", E::peTexto, QStringLiteral("Cód. Cont.:"), 10, "CODCONTTAXA", F::Maiusculo | F::MesmaLinha);
    contTaxa->setToolTip(QStringLiteral("Código do Município no sistema de contabilidade para cobrança de Taxas"));
    E* cobrProducao = liga("PECobrProducao", E::peTexto, QStringLiteral("Cobrança Produção (B/R/A):"), 1, "COBRPRODUCAO",
                           F::Maiusculo);
    cobrProducao->setToolTip(kDicaCobranca);
    E* contProd = liga("PECodContProd", E::peTexto, QStringLiteral("Cód. Cont.:"), 10, "CODCONTPROD", F::Maiusculo | F::MesmaLinha);
    contProd->setToolTip(
        QStringLiteral("Código do Município no sistema de contabilidade para cobrança da Produção dos Serviços"));
    liga("PEObs", E::peTexto, QStringLiteral("Obs.:"), 500, "OBS");
    m_form.fechaLinha();
    for (E* e : {cobrTaxa, contTaxa, contProd})
        connect(e, &E::saiu, this, [this, cobrTaxa] { confereCobranca(cobrTaxa); });
    connect(cobrProducao, &E::saiu, this, [this, cobrProducao] { confereCobranca(cobrProducao); });

    auto* acoes = new QHBoxLayout;
    painel->addLayout(acoes);
    acoes->addStretch(1);
    acoes->addWidget(m_salvar = botao("PBSalvar", QStringLiteral("Salvar"), &TFCadMunicipios::PBSalvarClick, true));
    acoes->addWidget(botao("PBCancelar", QStringLiteral("Cancelar"), &TFCadMunicipios::PBCancelarClick));

    connect(m_grade, &GradeConsulta::linhaAtual, this, [this](int) { CarregaLinha(); });
    if (TDMCUNE* dm = DMCUNE()) {
        try {
            m_municipios->addItems(ItensMunicipios(dm->IBTLivre));
        } catch (const std::exception& e) {
            MostraExcecao(e);
        }
    }
    LimpaCampos();
    m_painel->setEnabled(false);
    AbreGrade();
    m_grade->setFocus();
}

TFCadMunicipios* TFCadMunicipios::Abre()
{
    return MostraTela<TFCadMunicipios>();
}

TPersonEdit* TFCadMunicipios::campo(const char* nome) const
{
    return findChild<TPersonEdit*>(QLatin1String(nome));
}

void TFCadMunicipios::AbreGrade()
{
    Transacao* tr = transacaoLeitura();
    if (!tr)
        return;
    try {
        tr->rollback();
        m_grade->carrega(*tr, QStringLiteral("select * from clientes order by nome"));
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

void TFCadMunicipios::LimpaCampos()
{
    m_form.limpa();
    m_municipios->setCurrentIndex(-1);
    m_boleto->clear();
}

void TFCadMunicipios::CarregaLinha()
{
    const QString codigo = m_grade->valor(QStringLiteral("CODIGO"));
    TDMCUNE* dm = DMCUNE();
    if (codigo.isEmpty() || !dm)
        return;
    try {
        const auto l = LeLinha(dm->IBTLivre, QStringLiteral("select * from clientes where codigo=") + SqlTexto(codigo));
        if (!l)
            return;
        m_form.mostra(*l);
        m_boleto->setPlainText(l->texto(QStringLiteral("BOLETO")));
        int indice = -1;
        for (int i = 0; i < m_municipios->count() && indice < 0; ++i)
            if (CodigoDoItem(m_municipios->itemText(i)) == codigo)
                indice = i;
        m_municipios->setCurrentIndex(indice);
    } catch (const std::exception& e) {
        MostraExcecao(e);
    }
}

Municipio TFCadMunicipios::dados() const
{
    const auto t = [this](const char* nome) { return campo(nome)->text(); };
    Municipio m;
    m.codigo = CodigoDoItem(m_municipios->currentText());
    m.endereco = t("PEEndereco");
    m.endNum = t("PEEndNum");
    m.bairro = t("PEBairro");
    m.cep = t("PECEP");
    m.contato = t("PEContato");
    m.fones = t("PEFones");
    m.cnpj = t("PECNPJ");
    m.populacao = t("PEPopulacao");
    m.apac = m_apac->isChecked();
    m.mostrarValor = t("PEMostrarValor");
    m.boleto = m_boleto->toPlainText();
    m.leiAutorizativa = t("PELeiAutorizativa");
    m.apelido = t("PEApelido");
    m.valorTaxa = t("PEValorTaxa");
    m.cobrTaxa = t("PECobrTaxa");
    m.codContTaxa = t("PECodContTaxa");
    m.cobrProducao = t("PECobrProducao");
    m.codContProd = t("PECodContProd");
    m.obs = t("PEObs");
    return m;
}

bool TFCadMunicipios::confereCobranca(TPersonEdit* forma)
{
    // Putting the focus back leaves the field that had just received it: no second check then.
    if (m_conferindo || CobrancaValida(forma->text()))
        return true;
    m_conferindo = true;
    Avisa(QStringLiteral("Valor Inválido"));
    forma->setFocus();
    m_conferindo = false;
    return false;
}

void TFCadMunicipios::PBEditarClick()
{
    m_painel->setEnabled(true);
    m_municipios->setFocus();
}

void TFCadMunicipios::PBIncluirClick()
{
    m_painel->setEnabled(true);
    LimpaCampos();
    m_municipios->setFocus();
}

void TFCadMunicipios::PBCancelarClick()
{
    LimpaCampos();
}

void TFCadMunicipios::PBSalvarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    if (campo("PEPopulacao")->text().trimmed().isEmpty())
        campo("PEPopulacao")->setText(QStringLiteral("0"));
    if (CodigoDoItem(m_municipios->currentText()).isEmpty()) {
        Avisa(MensagemSemMunicipio());
        m_municipios->setFocus();
        return;
    }
    if (!confereCobranca(campo("PECobrTaxa")) || !confereCobranca(campo("PECobrProducao")))
        return;
    const Municipio m = dados();
    if (!ExecutaAcao(m_salvar, [&] { GravaMunicipio(dm->IBTransaction, m); }))
        return;
    AbreGrade();
    m_painel->setEnabled(false);
    LimpaCampos();
    m_grade->setFocus();
}

void TFCadMunicipios::PBExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    const QString codigo = m_grade->valor(QStringLiteral("CODIGO"));
    if (!dm || codigo.isEmpty())
        return;
    QString impedimento;
    if (!ExecutaAcao(nullptr, [&] { impedimento = ImpedimentoExclusao(dm->IBTLivre, codigo); }))
        return;
    if (!impedimento.isEmpty()) {
        Avisa(impedimento);
        return;
    }
    {
        SuspendeFechamento s(this);
        if (!Confirma())
            return;
    }
    if (!ExecutaAcao(m_excluirBtn, [&] { ExcluiMunicipio(dm->IBTransaction, codigo); }))
        return;
    AbreGrade();
    m_painel->setEnabled(false);
    LimpaCampos();
}

void TFCadMunicipios::PBLimitesClick()
{
    const QString codigo = m_grade->valor(QStringLiteral("CODIGO"));
    if (codigo.isEmpty())
        return;
    const bool nova = !InstanciaTela<TFLimitesClientes>();
    SuspendeFechamento s(this);
    TFLimitesClientes* t = TFLimitesClientes::Abre(codigo, m_grade->valor(QStringLiteral("NOME")));
    if (nova)
        suspendeEnquantoAberta(t);
}

} // namespace vx
