#pragma once
// A provider takes the authorization and block messages municipalities put on the server into its
// own database, one file per transaction, and marks the server copy as processed. Failed files are
// logged to Erro.TXT and left on the server under their own names.
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "exchange/LoteImportacao.h"

namespace vx {

class FtpCliente;
class Transacao;

// In-memory log of the failed files of a screen's life, rewritten whole as Erro.TXT (installation
// folder, Windows-1252, CR LF) after every failure. Each failure adds four lines: the date and
// time, the statement being run, the error and a line of 55 "=".
class LogErros {
public:
    // Empty `caminho`: Erro.TXT of the installation folder.
    explicit LogErros(const QString& caminho = {});

    void adiciona(const QString& sql, const QString& erro, const QString& prefixo = QStringLiteral("Erro. "),
                  const QDateTime& agora = QDateTime::currentDateTime());
    // False when the file could not be written.
    bool grava() const;
    const QStringList& linhas() const { return m_linhas; }
    bool vazio() const { return m_linhas.isEmpty(); }
    QString caminho() const { return m_caminho; }

private:
    QString m_caminho;
    QStringList m_linhas;
};

// Import stamp (DATA_IMP_ADM) of a file: the working date, a blank and the milliseconds of `agora`.
QString CarimboImportacao(const QDateTime& agora = QDateTime::currentDateTime());

enum class ModoImportacao {
    PorChave, // the attendance screen fetching one printed key: marked "okch "
    EmLote    // the daily reception of every new file: marked "ok "
};

enum class SituacaoImportacao {
    Importado,      // rows committed (now or by an earlier run); renamed unless the rename failed
    SemAutorizacao, // bulk block message for an authorization not here yet: committed, nothing written
    Falhou          // nothing kept, Erro.TXT written
};

// Prefix of the rename of an imported message: "okch " or "ok ".
QString MarcaDoModo(ModoImportacao modo);
// A block message ("-bloq" in its name).
bool EhMensagemBloqueio(const QString& nome);
// The rows of one authorization or block message, for ImportaLote. A bulk block of an
// authorization that is not here yet changes nothing (Desfecho::SemEfeito); a block of one that is
// here blocks every stored copy, in either mode. Invalid `agora`: the clock at each file.
ImportaArquivo ImportadorDeMensagem(ModoImportacao modo, const QDateTime& agora = {});

// Imports the downloaded copy `local` of the file `remoto` in the client's current folder. A file
// that is refused (see LeitorMensagem), has another root than mensagemVXO, no sender, or a value
// that does not fit its column kind (a code that is not a number, an unreadable date) fails like
// a database error: rolled back, logged, left on the server; `motivo` receives the error.
SituacaoImportacao ImportaMensagem(Transacao& tr, FtpCliente& ftp, const QString& local, const QString& remoto,
                                   ModoImportacao modo, LogErros& erros, QString* motivo = nullptr,
                                   const QDateTime& agora = QDateTime::currentDateTime());

// The consortium's reception of realization messages.
enum class ModoRealizacao {
    Normal,      // patient, authorization and realized procedures; marked "okcune "
    Renumeracao, // repair of "okcune " files: the patient renumbered from a counter; marked "2ren "
    Auditoria    // re-load of "okcune " files into PESSOASTESTE and MARCACAOTESTE; not marked
};

struct OpcoesRealizacao {
    ModoRealizacao modo = ModoRealizacao::Normal;
    // Start of the selected calendar (invalid: none). Files typed before it are left alone, and a
    // file without a readable typing date fails.
    QDate inicioCalendario;
    // Valid: DATA_IMPORTACAO takes this date (the CUMBEL "Data Base p/ Relatórios").
    QDate dataBase;
    qint64* contador = nullptr; // Renumeracao: patient code, increased before each non-block file
    int posicao = 0;            // Auditoria: the file's position in the listing (ID_ARQUIVO)
};

enum class SituacaoRealizacao {
    Importado,     // committed (and marked, except in the audit re-load)
    ForaDoPeriodo, // typed before the calendar: nothing written, left under its name
    Falhou         // nothing kept, Erro.TXT written
};

// Prefix of the rename of a realization message: "okcune ", "2ren ", none for the audit re-load.
QString MarcaDaRealizacao(ModoRealizacao modo);
// The rows of one realization message, for ImportaLote (its authorization insert logs its own
// failure in `erros` with the "Erro: " prefix).
ImportaArquivo ImportadorDeRealizacao(const OpcoesRealizacao& opcoes, LogErros& erros, const QDateTime& agora = {});

// Imports one downloaded realization message of the current remote folder in one transaction:
// the origin (respEnvio, or codMun when a provider sent it), a fresh stamp, the patient ("update
// or insert"), a new authorization row and its realized procedures, then the mark given by
// ImportaLote (registered, committed, then renamed). Block messages ("-bloq" in the name) write nothing and are only marked.
SituacaoRealizacao ImportaRealizacao(Transacao& tr, FtpCliente& ftp, const QString& local, const QString& remoto,
                                     const OpcoesRealizacao& opcoes, LogErros& erros, QString* motivo = nullptr,
                                     const QDateTime& agora = QDateTime::currentDateTime());

} // namespace vx
