#pragma once
// The four ledger reports (A4 landscape): open receivables and payables by due date, with blank
// "Data" and "Banco" columns for handwritten notes, and settled ones by payment date; the total
// and the number of entries at the end.
#include "billing/Contas.h"
#include "reports/Relatorio.h"

#include <memory>

class QWidget;

namespace vx {

class Consulta;
class Transacao;

class TRContas {
public:
    // The report of `p` over its open query (SqlRelatorioContas).
    static std::unique_ptr<rel::Relatorio> Monta(Consulta& q, const PedidoContas& p);
    // Reads the entries and lays the report out.
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, const PedidoContas& p);
    // Same, shown in the print preview titled `titulo` until it is closed. False when printing failed.
    static bool Executa(Transacao& tr, const PedidoContas& p, const QString& titulo, QWidget* pai = nullptr);
};

} // namespace vx
