#pragma once
// Printed audit-log report: header GERAL/PREFEITURA, title, filter line, one line per LOGS row,
// page numbers; every text in the printer font "Draft 17Cpi" (or its fallback).
#include "core/RelatorioLogs.h"
#include "reports/Relatorio.h"

#include <memory>

class QWidget;

namespace vx {

class Consulta;
class Transacao;

class TRLog {
public:
    // The report over an open query of LOGS rows.
    static std::unique_ptr<rel::Relatorio> Monta(Consulta& q, const QString& linhaFiltro);
    // Runs the filter's query on `tr` and lays the report out.
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, const FiltroLogs& f, const QString& linhaFiltro);
    // Same, shown in the print preview until it is closed. False when printing failed.
    static bool Executa(Transacao& tr, const FiltroLogs& f, const QString& linhaFiltro, QWidget* pai = nullptr);
};

} // namespace vx
