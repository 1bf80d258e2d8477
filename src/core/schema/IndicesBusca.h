#pragma once
// Indexes that keep the search dialog fast on large tables.
#include <QString>

#include <functional>

namespace vx {

class Transacao;

// Word pieces of the patients' names and cards ("trechos"): for every word of NOME and CARTAOSUS
// and every position of the word with at least three characters left, the rest of the word cut
// at kTamanhoTrecho characters. A fragment of three or more characters without a blank lies
// inside one word, so the patients holding it are among those with a piece starting with it.
// The column compares without accents or case, as the search does.
inline constexpr int kTamanhoTrecho = 12;
inline constexpr int kMinimoTrecho = 3;

// Creates the search indexes that are missing (idempotent). The pieces table is filled once, in
// one transaction, reporting "Preparando a busca de pacientes... N%" through `progresso`; its
// index on the piece is created last and marks it complete.
void CriaIndicesBusca(Transacao& tr, const std::function<void(const QString&)>& progresso = {});

// True when the pieces table is complete and kept by its trigger.
bool TrechosProntos(Transacao& tr);

// The pieces of a text, as the database computes them (for tests and tools).
QStringList TrechosDe(const QString& texto);

} // namespace vx
