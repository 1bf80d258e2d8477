#pragma once
// Printed billing statements (A4 landscape): the monthly payment sheet of the entities and the
// billing of the municipalities (with the production by charging group under CUMBEL).
#include "billing/Demonstrativos.h"
#include "reports/Relatorio.h"

#include <memory>

class QWidget;

namespace vx {

class Consulta;
class Transacao;

class TRFaturamento {
public:
    // The statement of the request's model over its open query (SqlDemonstrativo); the side
    // queries (municipalities with most production, groups) run on `tr` while it is laid out.
    static std::unique_ptr<rel::Relatorio> Monta(Transacao& tr, Consulta& q, const PedidoDemonstrativo& p,
                                                 const QString& linhaFiltro);
    // Reads the period's billing and lays the statement out.
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, const PedidoDemonstrativo& p);
    // Same, shown in the print preview until it is closed. False when printing failed.
    static bool Executa(Transacao& tr, const PedidoDemonstrativo& p, QWidget* pai = nullptr);
};

} // namespace vx
