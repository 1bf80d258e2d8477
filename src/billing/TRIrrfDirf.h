#pragma once
// The two income-tax statements (A4 portrait): "Demonstrativo IRRF das Entidades", each
// municipality billed in the period with the entities that served it and their withheld tax; and
// the year's DIRF lines, one entity per page.
#include "billing/Irrf.h"
#include "reports/Relatorio.h"

#include <memory>

namespace vx {

class Transacao;

class TRIrrfDirf {
public:
    static QString TituloIrrf(); // "Demonstrativo IRRF das Entidades"
    static QString TituloDirf(); // "DIRF Anual por Entidade"

    static std::unique_ptr<rel::Relatorio> MontaIrrf(const QVector<MunicipioIrrf>& dados, const QDate& inicio,
                                                     const QDate& fim);
    static std::unique_ptr<rel::Relatorio> MontaDirf(const QVector<EntidadeDirf>& dados, const QDate& inicio,
                                                     const QDate& fim);
    // Read the period (DadosIrrf / DadosDirf) and lay the statement out.
    static std::shared_ptr<rel::Documento> GeraIrrf(Transacao& tr, const QDate& inicio, const QDate& fim);
    static std::shared_ptr<rel::Documento> GeraDirf(Transacao& tr, const QDate& inicio, const QDate& fim);
};

} // namespace vx
