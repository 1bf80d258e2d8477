#pragma once
// The professional search by occupation or procedure and the list of a professional's contracted
// procedures (statements only; the screen TFPesquisaProfissionais runs them).
#include <QString>

namespace vx {

// Professionals whose occupation (upper-cased) contains `texto`, or who perform an active
// procedure whose name contains it at the entity of the row; by name or by the entity's city.
QString SqlPesquisaProfissionais(const QString& texto, bool porMunicipio);

// SUS code, name and price of the professional's procedures (closed links included); with
// `conformePesquisa` only those whose upper-cased name contains `texto`.
QString SqlProcedimentosProfissional(const QString& codigo, const QString& texto, bool conformePesquisa);

} // namespace vx
