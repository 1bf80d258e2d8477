#include "billing/TFEmissaoDocumentos.h"
#include "billing/TRBoleto.h"
#include "billing/TRImpRecibos.h"
#include "core/Cadastro.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/Formulario.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(EmissodeReciboBoletoAvulsos1, [] { TFEmissaoDocumentos::Abre(); });

namespace {
constexpr int kMaxDescricao = 500;
}

TFEmissaoDocumentos::TFEmissaoDocumentos(QWidget* parent)
    : TFBase(parent), m_form(std::make_unique<Formulario>(this))
{
    setObjectName(QStringLiteral("TFEmissaoDocumentos"));
    setWindowTitle(QStringLiteral("Controle de Emissão de Boletos e Recibos"));

    CBTipo = new QComboBox(this);
    CBTipo->setObjectName(QStringLiteral("CBTipo"));
    auto* lTipo = new QLabel(QStringLiteral("Tipo de Documento:"), this);
    lTipo->setBuddy(CBTipo);

    PPainel = new QWidget(this);
    PPainel->setObjectName(QStringLiteral("PPainel"));
    Formulario& f = *m_form;
    auto* form = f.novoForm();
    PENumDoc = f.campo("PENumDoc", TPersonEdit::peInteiro, QStringLiteral("Nr. Doc.:"), 10, Formulario::Avulso);
    const auto mun = f.codigo(
        "PECodMun", QStringLiteral("Município:"), 7, "LMunicipio",
        [] { return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("Clientes")); },
        [](const QString& c) { return NomeLivre(c, QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("clientes")); },
        Formulario::Requerido);
    PECodMun = mun.campo;
    SBCodMun = mun.busca;
    LMunicipio = mun.nome;
    PEDataEmissao = f.campo("PEDataEmissao", TPersonEdit::peData, QStringLiteral("Emissão:"), 0, Formulario::Requerido);
    PEDataVencimento = f.campo("PEDataVencimento", TPersonEdit::peData, QStringLiteral("Vencimento:"), 0,
                               Formulario::Requerido | Formulario::MesmaLinha);
    PEValor = f.campo("PEValor", TPersonEdit::peFloat, QStringLiteral("Valor:"), 0, Formulario::Requerido);
    f.fechaLinha();
    MDescricao = new QPlainTextEdit(this);
    MDescricao->setObjectName(QStringLiteral("MDescricao"));
    MDescricao->setTabChangesFocus(true);
    MDescricao->setFixedHeight(90);
    MDescricao->setMinimumWidth(460);
    auto* lDesc = new QLabel(QStringLiteral("Descrição:"), this);
    lDesc->setBuddy(MDescricao);
    form->addRow(lDesc, MDescricao);
    // At most 500 characters, as the column holds.
    connect(MDescricao, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = MDescricao->toPlainText();
        if (t.size() > kMaxDescricao) {
            QTextCursor c = MDescricao->textCursor();
            MDescricao->setPlainText(t.left(kMaxDescricao));
            c.setPosition(kMaxDescricao);
            MDescricao->setTextCursor(c);
        }
    });
    PPainel->setLayout(form);

    PBtnGravar = new TPersonBtn(QStringLiteral("&Gravar e Imprimir"), this);
    PBtnGravar->setObjectName(QStringLiteral("PBtnGravar"));
    PBExcluir = new TPersonBtn(QStringLiteral("Excluir"), this);
    PBExcluir->setObjectName(QStringLiteral("PBExcluir"));
    PBExcluir->setVerRequeridos(false);

    auto* topo = new QHBoxLayout;
    topo->addWidget(lTipo);
    topo->addWidget(CBTipo, 1);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(PBtnGravar);
    botoes->addWidget(PBExcluir);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(topo);
    lay->addWidget(PPainel);
    lay->addStretch();
    lay->addLayout(botoes);
    PPainel->hide();
    PBtnGravar->setEnabled(false);
    PBExcluir->setEnabled(false);
    resize(620, 330);

    LigaCodigo(PENumDoc, nullptr, nullptr, {}, [this] { PENumDocExit(); });
    connect(CBTipo, &QComboBox::activated, this, [this] { CBTipoChange(); });
    connect(PBtnGravar, &TPersonBtn::Acao, this, [this] { PBtnGravarClick(); });
    connect(PBExcluir, &TPersonBtn::Acao, this, [this] { PBExcluirClick(); });

    CBTipo->addItem(QStringLiteral("000 - Recibo Avulso"), 0);
    ExecutaAcao(nullptr, [this] {
        if (TDMCUNE* dm = DMCUNE())
            for (const auto& c : ContasBoletos(dm->IBTLivre))
                CBTipo->addItem(ZerosEsquerda(c.first, 3) + QStringLiteral(" - ") + c.second, c.first);
    });
    CBTipo->setCurrentIndex(-1);
}

TFEmissaoDocumentos::~TFEmissaoDocumentos() = default;

TFEmissaoDocumentos* TFEmissaoDocumentos::Abre()
{
    TFEmissaoDocumentos* t = MostraTela<TFEmissaoDocumentos>();
    t->CBTipo->setFocus();
    return t;
}

QChar TFEmissaoDocumentos::tipo() const { return CBTipo->currentIndex() > 0 ? kBoleto : kRecibo; }

int TFEmissaoDocumentos::idConta() const { return CBTipo->currentIndex() > 0 ? CBTipo->currentData().toInt() : 0; }

void TFEmissaoDocumentos::CBTipoChange()
{
    if (CBTipo->currentIndex() < 0)
        return;
    PPainel->show();
    ExecutaAcao(nullptr, [this] { proximoNumero(); });
    PENumDoc->setFocus();
}

void TFEmissaoDocumentos::proximoNumero()
{
    Transacao& tr = DMCUNE()->IBTLivre;
    PENumDoc->setText(QString::number(Lendo(tr, [&] { return ProximoNumeroDocumento(tr, tipo()); })));
    PENumDocExit();
}

void TFEmissaoDocumentos::limpaCampos()
{
    m_form->limpa();
    LMunicipio->clear();
    MDescricao->clear();
    m_carregado.reset();
}

void TFEmissaoDocumentos::editavel(bool sim)
{
    for (QWidget* w : {static_cast<QWidget*>(PECodMun), static_cast<QWidget*>(SBCodMun),
                       static_cast<QWidget*>(PEDataEmissao), static_cast<QWidget*>(PEDataVencimento),
                       static_cast<QWidget*>(PEValor)})
        w->setEnabled(sim);
    MDescricao->setReadOnly(!sim);
}

void TFEmissaoDocumentos::PENumDocExit()
{
    limpaCampos();
    editavel(true);
    PBtnGravar->setEnabled(false);
    PBExcluir->setEnabled(false);
    const auto numero = PENumDoc->inteiro();
    if (!numero || *numero <= 0)
        return;
    ExecutaAcao(nullptr, [&] {
        const auto d = Lendo(DMCUNE()->IBTLivre, [&] { return LeDocumento(DMCUNE()->IBTLivre, tipo(), *numero); });
        if (!d) {
            PEDataEmissao->setText(SessaoAtual().DataAtual);
            PBtnGravar->setEnabled(true);
            return;
        }
        PECodMun->setText(d->municipio);
        LMunicipio->setText(NomeLivre(d->municipio, QStringLiteral("codigo"), QStringLiteral("nome"),
                                      QStringLiteral("clientes")));
        PEDataEmissao->setText(TextoData(d->emissao));
        PEDataVencimento->setText(TextoData(d->vencimento));
        PEValor->setDecimal(d->valor);
        MDescricao->setPlainText(d->descricao);
        editavel(false);
        if (d->exclusao.isValid()) {
            MostraErro(QStringLiteral("Documento Já foi Excluído!"));
            return;
        }
        m_carregado = d;
        Avisa(QStringLiteral("Não será possível Editar este documento, apenas reimprimí-lo!"));
        PBtnGravar->setEnabled(true);
        PBExcluir->setEnabled(true);
    });
}

DocumentoEmissao TFEmissaoDocumentos::documentoDigitado() const
{
    DocumentoEmissao d;
    d.tipo = tipo();
    d.numero = PENumDoc->inteiro().value_or(0);
    d.municipio = PECodMun->text().trimmed();
    d.emissao = PEDataEmissao->data();
    d.vencimento = PEDataVencimento->data();
    d.valor = PEValor->decimal().value_or(Decimal());
    d.descricao = MDescricao->toPlainText();
    return d;
}

void TFEmissaoDocumentos::PBtnGravarClick()
{
    ExecutaAcao(PBtnGravar, [this] {
        TDMCUNE* dm = DMCUNE();
        // A registered document is only reprinted: its register and receivable stay as they are.
        DocumentoEmissao d = m_carregado ? *m_carregado : documentoDigitado();
        if (!m_carregado) {
            if (d.numero <= 0) {
                Avisa(QStringLiteral("Informe o número do documento!"));
                PENumDoc->setFocus();
                return;
            }
            if (d.valor <= Decimal()) {
                Avisa(QStringLiteral("Informe o valor do documento!"));
                PEValor->setFocus();
                return;
            }
            GravaDocumentoAvulso(dm->IBTransaction, d);
        }
        imprime(d);
        proximoNumero();
        PENumDoc->setFocus();
    });
}

void TFEmissaoDocumentos::imprime(const DocumentoEmissao& d)
{
    TDMCUNE* dm = DMCUNE();
    SuspendeFechamento s(this);
    if (d.tipo == kRecibo) {
        const IdentidadeConsorcio id = IdentidadeConsorcio::DaConfiguracao();
        const Recibo r = ReciboAvulso(dm->IBTLivre, d.numero, id);
        TRImpRecibos::Executa({r}, id, this);
        return;
    }
    const auto conta = LeContaBoleto(dm->IBTLivre, QStringLiteral("select * from contasboletos where id_conta=")
                                                       + SqlInteiro(idConta()));
    if (!conta)
        throw ErroValor(QStringLiteral("Conta de boletos ") + QString::number(idConta()) + QStringLiteral(" não encontrada."));
    const Boleto b = BoletoAvulso(dm->IBTLivre, d, *conta, DataAtualDate());
    TRBoleto::Executa({b}, QStringLiteral("Boleto"), this);
}

void TFEmissaoDocumentos::PBExcluirClick()
{
    if (!Confirma())
        return;
    ExecutaAcao(PBExcluir, [this] {
        const auto numero = PENumDoc->inteiro();
        if (!numero)
            return;
        AnulaDocumento(DMCUNE()->IBTransaction, tipo(), *numero, DataAtualDate());
        proximoNumero();
        PENumDoc->setFocus();
    });
}

} // namespace vx
