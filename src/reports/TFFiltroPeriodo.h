#pragma once
// A report filter screen that asks only for a period ("Período:" / "a:"); both dates are checked
// before printing. Screens derive from it, set their defaults and produce their document.
#include "reports/TFFiltroRelatorio.h"

#include <QDate>

namespace vx {

class TPersonEdit;

class TFFiltroPeriodo : public TFFiltroRelatorio {
    Q_OBJECT
public:
    TPersonEdit* PEData1;
    TPersonEdit* PEData2;

protected:
    TFFiltroPeriodo(const char* nome, const QString& legenda, QWidget* parent, const char* campo1 = "PEData1",
                    const char* campo2 = "PEData2");
    virtual std::shared_ptr<rel::Documento> gera(Transacao& tr, const QDate& inicio, const QDate& fim) = 0;
    bool valida() override;
    std::shared_ptr<rel::Documento> gera(Transacao& tr) override;
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
