#pragma once
// Database backup at close: the proposed file name, where the backup is written, and the steps
// run once the file is chosen (backup service, check, copy "bdcopia.bkp", deflate to
// "bdcopia.zlib", mail to the support mailbox), each reported as a log line.
#include "core/Email.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vx {

class TDMCUNE;

// "BACKUP " + the first profile word the consortium value holds (CUMBEL, CEVRANDOSA, CASLUNE,
// CORVANE, CULVAR, CUNE, in that order) + " " + the date without "/" + ".GBK"; "" with none.
QString NomeBackupProposto(const QString& consorcio, const QString& dataAtual);

// Where the backup of database `nomeBanco` goes, seen from computer `computador`.
struct DestinoBackup {
    bool rede = false;   // written on the server, into `pasta`
    QString servico;     // "service_mgr" (embedded engine) or "host:service_mgr"
    QString banco;       // the database as the service sees it
    QString pasta;       // network: the folder BACKUP beside the database, in the server's form
    QString arquivo(const QString& nome) const; // network: `nome` inside `pasta`
};
// A "host:path" name whose host is this computer (or "localhost") is a local backup through that
// server; another host is a network backup; a bare file name is taken in `pastaAtual`.
DestinoBackup DestinoDoBackup(const QString& nomeBanco, const QString& computador, const QString& pastaAtual);

// The byte count of the service's closing line ("… 123456 bytes written"), -1 in other lines.
qint64 BytesGravadosBackup(const QString& linha);

struct PassosBackup {
    DestinoBackup destino;
    QString arquivo;                 // the .GBK (local path, or the server path of a network backup)
    QString pastaTrabalho;           // receives "bdcopia.bkp" and "bdcopia.zlib"
    QString usuario;                 // database administrator account
    QString senha;
    bool enviaEmail = false;         // municipality installations mail the compressed copy
    ContaEmail conta;
    QString assunto;                 // "Backup BD <GERAL/USUARIO> - <installation name>"
    std::function<void(const QString&)> log;
    std::function<void()> vivo;      // keeps the caller's window alive during long steps
};

// Runs the backup steps from the service on. The data module's connection is closed first and,
// after a failure, opened again. True when "BACKUP CONCLUIDO" was logged: the service ended
// without error, the .GBK (or, on the server, the streamed copy) holds every byte the service
// wrote, and the compression and the mail worked.
bool ExecutaPassosBackup(const PassosBackup& p, TDMCUNE* dm);

} // namespace vx
