#include "reports/TFFiltroPeriodo.h"
#include "core/Mensagens.h"
#include "core/widgets/TPersonEdit.h"

#include <QFormLayout>
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

TFFiltroPeriodo::TFFiltroPeriodo(const char* nome, const QString& legenda, QWidget* parent, const char* campo1,
                                 const char* campo2)
    : TFFiltroRelatorio(nome, legenda, parent)
{
    m_corpo->addLayout(m_form.novoForm());
    std::tie(PEData1, PEData2) = m_form.periodoDoMes(campo1, campo2);
    m_form.fechaLinha();
    resize(360, 100);
}

bool TFFiltroPeriodo::valida() { return PeriodoRelatorioValido(PEData1, PEData2); }

std::shared_ptr<rel::Documento> TFFiltroPeriodo::gera(Transacao& tr) { return gera(tr, PEData1->data(), PEData2->data()); }

} // namespace vx
