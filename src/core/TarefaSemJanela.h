#pragma once
// Unattended jobs (vornex --pasta DIR --<job>): the installation loaded as at start-up (its
// configuration, identity and working date), the database connected and checked to be at the
// program's schema version, then the job. Lines go to standard output, errors to standard error.
#include <QString>

#include <functional>

class QTextStream;

namespace vx {

class TDMCUNE;

// Exit statuses of a job.
enum SaidaTarefa : int {
    TarefaCompleta = 0,   // everything the job had to do was done
    TarefaIncompleta = 1, // it ran, but something was left undone (see its lines)
    TarefaImpossivel = 2, // it could not run: configuration, database or role
};

using Tarefa = std::function<int(TDMCUNE& dm, QTextStream& saida)>;
// Needs a QCoreApplication. `pasta` empty: the installation folder already in effect.
int ExecutaTarefaSemJanela(const QString& pasta, const Tarefa& tarefa);

} // namespace vx
