#include "billing/TFFilRelBoletosRecibos.h"
#include "billing/Documentos.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/Formulario.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/UiPreview.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vx {

using namespace rel;

VX_REGISTRA_TELA(RelatriodeBoletosRecibos1, [] { TFFilRelBoletosRecibos::Abre(); });

namespace {

std::unique_ptr<Relatorio> monta(Consulta& q, const QDate& inicio, const QDate& fim)
{
    auto r = std::make_unique<Relatorio>();
    r->paisagem();
    r->dados = std::make_unique<DadosConsulta>(q);
    r->cabecalhoPadrao(Geral::CONSORCIO().toUpper(), QStringLiteral("Relação de Boletos/Recibos Emitidos"),
                       QStringLiteral("Emitidos entre ") + TextoData(inicio) + QStringLiteral(" e ") + TextoData(fim));
    r->coluna(QStringLiteral("Documento"), {}, 24).calculada([](const Contexto& c) {
        return c.campo(QStringLiteral("TIPODOC")) + QLatin1Char(' ') + c.campo(QStringLiteral("NUMDOC"));
    });
    r->coluna(QStringLiteral("Município"), QStringLiteral("NOME"), 55);
    r->coluna(QStringLiteral("Emissão"), QStringLiteral("DATAEMISSAO"), 20);
    r->coluna(QStringLiteral("Vencimento"), QStringLiteral("DATAVENCIMENTO"), 20);
    r->coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 26).soma();
    r->coluna(QStringLiteral("Referente"), QStringLiteral("DESCRICAO"), 0).quebraLinha();
    r->coluna(QStringLiteral("Data Anulação"), QStringLiteral("DATAEXCLUSAO"), 24).alinhado(Alinha::Centro);
    r->resumo = r->bandaTotais(QStringLiteral("Total:"), r->pagina.larguraUtilMm());
    FonteRelatorio(*r);
    return r;
}

} // namespace

TFFilRelBoletosRecibos::TFFilRelBoletosRecibos(QWidget* parent)
    : TFBase(parent)
{
    setObjectName(QStringLiteral("TFFilRelBoletosRecibos"));
    setWindowTitle(QStringLiteral("Relatório de Boletos/Recibos Emitidos"));
    vx::Formulario f(this);
    auto* form = f.novoForm();
    std::tie(PEDataInicial, PEDataFinal) = f.periodoDoMes("PEDataInicial", "PEDataFinal");
    f.fechaLinha();
    auto* grupo = new QGroupBox(QStringLiteral(" Exibir: "), this);
    RBBoletos = new QRadioButton(QStringLiteral("Boletos"), grupo);
    RBRecibos = new QRadioButton(QStringLiteral("Recibos"), grupo);
    RBAmbos = new QRadioButton(QStringLiteral("Ambos"), grupo);
    RBBoletos->setObjectName(QStringLiteral("RBBoletos"));
    RBRecibos->setObjectName(QStringLiteral("RBRecibos"));
    RBAmbos->setObjectName(QStringLiteral("RBAmbos"));
    RBAmbos->setChecked(true);
    auto* lg = new QHBoxLayout(grupo);
    lg->addWidget(RBBoletos);
    lg->addWidget(RBRecibos);
    lg->addWidget(RBAmbos);
    PBtnImprimir = new TPersonBtn(QStringLiteral("&Imprimir"), this);
    PBtnImprimir->setObjectName(QStringLiteral("PBtnImprimir"));

    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(PBtnImprimir);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(grupo);
    lay->addLayout(botoes);
    resize(380, 160);
    connect(PBtnImprimir, &TPersonBtn::Acao, this, [this] { PBtnImprimirClick(); });
}

TFFilRelBoletosRecibos* TFFilRelBoletosRecibos::Abre()
{
    TFFilRelBoletosRecibos* t = MostraTela<TFFilRelBoletosRecibos>();
    t->PEDataInicial->setFocus();
    return t;
}

QChar TFFilRelBoletosRecibos::tipo() const
{
    if (RBBoletos->isChecked())
        return kBoleto;
    if (RBRecibos->isChecked())
        return kRecibo;
    return {};
}

std::shared_ptr<Documento> TFFilRelBoletosRecibos::Gera(Transacao& tr, const QDate& inicio, const QDate& fim, QChar tipo)
{
    return Lendo(tr, [&] {
        Consulta q(tr);
        q.abre(SqlRelatorioDocumentos(tipo), {QVariant(inicio), QVariant(fim)});
        return MontaDocumento(*monta(q, inicio, fim));
    });
}

void TFFilRelBoletosRecibos::PBtnImprimirClick()
{
    ExecutaAcao(PBtnImprimir, [this] {
        SuspendeFechamento s(this);
        MostraPreview(Gera(DMCUNE()->IBTLivre, PEDataInicial->data(), PEDataFinal->data(), tipo()),
                      QStringLiteral("Relação de Boletos/Recibos Emitidos"), this);
    });
}

} // namespace vx
