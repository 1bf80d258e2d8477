#pragma once
// The schema upgrade chain: brings a database from the version in TABDIV.VERSAOBANCO to the
// version this program needs, one step at a time.
#include "core/schema/Esquema.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vx {

class Transacao;

struct ResultadoCadeia {
    enum class Estado { Ok, Falhou, VersaoMaior };
    Estado estado = Estado::Ok;
    QString versaoInicial;   // as read ("0.00" for null)
    QString versaoFinal;     // as stored after the run
    QStringList passos;      // steps whose version group was committed in this run
    QString erro;            // server message of the failing statement
    QString passoFalho;      // step that failed
};

// The versions of the chain, in order.
const QStringList& VersoesCadeia();
// The schema version this program brings databases to.
QString VersaoEsquemaAtual();

// Message shown when the database is newer than the program.
QString MensagemVersaoMaior(const QString& versaoBanco);

// Runs the chain on the main transaction `tr`. `correcaoCune` replaces the consultation-value
// correction run between steps 2.23 and 2.24 for the CUNE profile (CorrigeValorConsultas).
// `bancoNovo`: a database being created (gets every key of the current schema). Errors do not
// escape: they stop the chain and are reported in the result.
ResultadoCadeia AtualizaEsquema(Transacao& tr, const Progresso& progresso = {},
                                const std::function<void()>& correcaoCune = {}, bool bancoNovo = false);

// Objects every database at the current version gets, whatever its history, created when
// missing: the keys and trigger of the last steps, the before-insert code rules and the search
// indexes (the one-time fill of the patients' word pieces reports through `progresso`). The chain
// runs it before recording the last version, and on every start after that.
void ComplementaEsquema(Transacao& tr, bool bancoNovo = false, const Progresso& progresso = {});

// Reads TABDIV.VERSAOBANCO ("0.00" when null or when TABDIV has no row).
QString LeVersaoBanco(Transacao& tr);

} // namespace vx
