#pragma once
// Schema of new databases and the upgrade chain.
#include <QString>

#include <functional>

namespace vx {

class Transacao;

using Progresso = std::function<void(const QString&)>;

// Creates the tables that exist before the first upgrade (version "0.00") on a connected,
// empty database, and the TABDIV row. Commits its own work.
void CriaTabelasIniciais(Transacao& tr);

// Creates a new database file at `arquivo` and brings it to the current schema version.
// A local file is built as `arquivo`.criando and renamed into place only when complete; an
// existing `arquivo` is refused. Returns the version reached. Throws ErroBanco.
QString CriaBancoNovo(const QString& arquivo, const Progresso& progresso = {}, bool escritaForcada = true);

} // namespace vx
