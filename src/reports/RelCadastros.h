#pragma once
// What the registry listings share: the page margin of the installation, the background of
// closed rows and the sub-lists read under a master row.
#include "reports/Relatorio.h"

#include <functional>
#include <memory>

namespace vx {

class Transacao;

// Top margin (mm) of the entity and limit listings: 50 when the installation is the CUNE
// consortium itself, 20 for any other identity.
double MargemCadastros();
void AplicaMargemCadastros(rel::Pagina& pagina);

// Yellow for a row closed on DATAEXCLUSAO; no colour for an active one.
QColor FundoExcluido(const rel::Contexto& c);

// The entity an entity or professional installation is bound to: its own code, or the entity
// linked to the professional in ENTIDADESPROFISS (an active link first). Empty in other roles.
QString EntidadeDaInstalacao(Transacao& tr);

// The cell of root column `coluna` on a band `altura` mm high: sub-lists print in the root's
// columns, so their rows also fill the listing's table.
QRectF CelulaDaColuna(const rel::Relatorio& r, int coluna, double altura);

// White and light grey rows of a sub-list's detail band.
QColor FundoZebrado(const rel::Contexto& c);

// An integer key read from a master row as an SQL literal; 0 stays 0 (a code, not "none").
QString SqlCodigo(qint64 codigo);

// A sub-list under every master row: `sql(master)` read on `tr`.
using SqlDoMestre = std::function<QString(const rel::Linha& mestre)>;
std::function<std::unique_ptr<rel::FonteDados>(const rel::Linha&)> SubLista(Transacao& tr, SqlDoMestre sql);

} // namespace vx
