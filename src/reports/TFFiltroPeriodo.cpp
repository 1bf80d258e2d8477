#include "reports/TFFiltroPeriodo.h"
#include "core/Mensagens.h"
#include "core/widgets/Formulario.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/UiPreview.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vx {

bool PeriodoRelatorioValido(TPersonEdit* inicio, TPersonEdit* fim)
{
    for (TPersonEdit* c : {inicio, fim})
        if (!c->data().isValid()) {
            Avisa(QStringLiteral("Data inválida: informe as duas datas do período (dd/mm/aaaa)."));
            c->setFocus();
            return false;
        }
    return true;
}

TFFiltroPeriodo::TFFiltroPeriodo(const char* nome, const QString& legenda, QWidget* parent) : TFBase(parent)
{
    setObjectName(QLatin1String(nome));
    setWindowTitle(legenda);
    Formulario f(this);
    auto* form = f.novoForm();
    std::tie(PEData1, PEData2) = f.periodoDoMes("PEData1", "PEData2");
    f.fechaLinha();
    PBtnImprimir = new TPersonBtn(QStringLiteral("&Imprimir"), this);
    PBtnImprimir->setObjectName(QStringLiteral("PBtnImprimir"));
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(PBtnImprimir);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addLayout(botoes);
    resize(360, 100);
    connect(PBtnImprimir, &TPersonBtn::Acao, this, [this] { PBtnImprimirClick(); });
}

void TFFiltroPeriodo::PBtnImprimirClick()
{
    ExecutaAcao(PBtnImprimir, [this] {
        if (!PeriodoRelatorioValido(PEData1, PEData2))
            return;
        SuspendeFechamento s(this);
        std::shared_ptr<rel::Documento> doc;
        {
            Aguarde aguarde(this, QStringLiteral("Aguarde, gerando relatório..."));
            doc = gera(*transacaoLeitura(), PEData1->data(), PEData2->data());
        }
        rel::MostraPreview(doc, tituloPreview(), this);
    });
}

} // namespace vx
