#pragma once
// Indexes that keep the search dialog fast on large tables.
namespace vx {
class Transacao;
// Creates the search indexes that are missing (idempotent).
void CriaIndicesBusca(Transacao& tr);
} // namespace vx
