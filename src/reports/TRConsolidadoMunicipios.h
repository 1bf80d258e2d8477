#pragma once
// Production realized per municipality in an import period, with each municipality's procedures
// and the grand total.
#include "reports/Relatorio.h"

#include <QDate>

#include <memory>

namespace vx {

class Transacao;

class TRConsolidadoMunicipios {
public:
    static QString Titulo(); // "Consolidado de Procedimentos Realizados por Município"
    // Realized lines of the authorizations imported from `inicio` 00:00 to the end of `fim`.
    static std::unique_ptr<rel::Relatorio> Monta(Transacao& tr, const QDate& inicio, const QDate& fim);
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, const QDate& inicio, const QDate& fim);
};

} // namespace vx
