#pragma once
// A report filter screen that asks only for a period ("Período:" / "a:") and prints with
// "&Imprimir": both dates checked, "Aguarde, gerando relatório..." while the report is produced,
// then the preview. Screens derive from it, set their defaults and produce their document.
#include "core/widgets/TFBase.h"

#include <QDate>
#include <memory>

namespace vx {

class TPersonBtn;
class TPersonEdit;
class Transacao;
namespace rel {
class Documento;
}

class TFFiltroPeriodo : public TFBase {
    Q_OBJECT
public:
    void PBtnImprimirClick();

    TPersonEdit* PEData1;
    TPersonEdit* PEData2;
    TPersonBtn* PBtnImprimir;

protected:
    TFFiltroPeriodo(const char* nome, const QString& legenda, QWidget* parent);
    virtual std::shared_ptr<rel::Documento> gera(Transacao& tr, const QDate& inicio, const QDate& fim) = 0;
    virtual QString tituloPreview() const = 0;
    // Shows the screen (one instance) with the first date focused.
    template <class T>
    static T* abre()
    {
        T* t = MostraTela<T>();
        t->PEData1->setFocus();
        return t;
    }
};

// Both dates of a report filter readable; otherwise warns, focuses the first bad field and
// returns false.
bool PeriodoRelatorioValido(TPersonEdit* inicio, TPersonEdit* fim);

} // namespace vx
