#pragma once
// "Créditos Financeiros dos Municípios": each municipality's balance of one source in the selected
// billing calendar (initial balance, use within the calendar, final balance) and the totals.
#include "billing/Creditos.h"
#include "reports/Relatorio.h"

#include <memory>

namespace vx {

class Transacao;
struct Calendario;

class TRCreditos {
public:
    // The report of the balances `r` of source `tipo`; `legendaCalendario` closes the filter line.
    static std::unique_ptr<rel::Relatorio> Monta(const RelatorioCreditos& r, const QString& tipo,
                                                 const QString& legendaCalendario);
    // Reads the balances of `tipo` in calendar `c` and lays the report out.
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, const QString& tipo, const Calendario& c);
};

} // namespace vx
