#pragma once
// A provider confirming an authorization by its printed key: finding the key (in the database, or
// its message on the server), the confirmation with its realization date and the realization
// message sent to the consortium. Writes run in a fresh transaction on the given one and are
// committed there; progress lines go to `status`.
#include "core/Decimal.h"
#include "exchange/ftp/TransporteFtp.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

namespace vx {

class FtpCliente;
class LogErros;
class Transacao;

// "profiss" + the professional's code in 5 digits (the folder under marcacao).
QString PastaProfissional(qint64 profissional);
// Enters that folder from marcacao, creating it once when the server says it is missing; a failure
// logs " => Verificando procedimentos marcados...(FALHOU!)".
bool EntraPastaProfissional(FtpCliente& ftp, qint64 profissional, const LinhaStatus& linha);

// Start of the authorization file name of a printed key: "M43" + its first five characters +
// "_ID0" + the next six (14 characters) or "_ID00" + the next five (any other length).
QString PrefixoArquivoChave(const QString& chave);

// The order in which the stored copies of one authorization speak: realized, then blocked, then
// the newest import (alias `m` of MARCACAO).
QString OrdemCopiasAutorizacao(const QString& m);
// The authorization of a key that has procedures (the first row: see OrdemCopiasAutorizacao) with
// patient and professional.
QString SqlAtendimentoPorChave(const QString& chave);
// Its procedure lines (parameters CLI_ORIGEM, ID_MARCACAO, DATA_IMP_ADM).
QString SqlProcedimentosAtendimento();
// "01 x CONSULTA (37,50)".
QString TextoLinhaProcedimento(qint64 quantidade, const QString& nome, const Decimal& valor);

// Whose folders are searched for a key.
struct BuscaChave {
    QString chave;
    QChar papel;                  // 'E', 'P' or 'C'
    QString codigoProprio;        // characters 2-8 of GERAL/USUARIO
    QString profissionalDigitado; // Cód.Prof. as typed ("" when empty)
};
// The professionals whose folders are searched, in order; an entity adds professional 0 after
// them.
QList<qint64> ProfissionaisDaBusca(Transacao& tr, const BuscaChave& b);

struct ResultadoBusca {
    bool conectou = false;
    int importados = 0;
};
// Connects, and for each professional of the search and profiss00000 lists "*<prefix>*.xml" in
// marcacao/profissNNNNN (creating a missing folder); then downloads and imports (fetch by key,
// marked "okch ") the authorization files before the block files, so that a block found with its
// authorization blocks it. Failed imports go to `erros`.
ResultadoBusca BuscaChaveNoServidor(FtpCliente& ftp, Transacao& tr, const BuscaChave& b, LogErros& erros,
                                    const LinhaStatus& status);

// Realization year accepted: from 2014 to the year of the working date.
bool AnoRealizacaoValido(const QDate& realizacao, const QDate& dataAtual);

struct Confirmacao {
    QString chave;
    QString cliOrigem;
    qint64 idMarcacao = 0;
    QDate realizacao;
    QList<qint64> procedimentos;  // the ticked lines
    QString profissional;         // typed professional, written only for an authorization without one
    bool semProfissional = false;
    QDateTime agora = QDateTime::currentDateTime(); // its time goes with the working date
};
// Marks the ticked procedures realized on every stored copy (VALORTOTALSUS recomputed, VALORTOTAL
// only where it is empty), the realization and typing dates of the key, and the audit row
// "Atendimento"/"I", committed. False (nothing written) when no procedure is ticked.
bool ConfirmaRealizacao(Transacao& tr, const Confirmacao& c);

// New realization date of a key with its audit row "Atendimento"/"U", committed.
void AlteraDataRealizacao(Transacao& tr, const QString& chave, const QString& antiga, const QDate& nova);

// Writes the realization message of the key into arquivosxml/env/ and uploads it to the month of
// the working date in faturamento/ (null `ftp`: left pending). Status lines as the screen shows them.
void EnviaRealizacao(Transacao& tr, FtpCliente* ftp, const QString& chave, const QString& nomeResp,
                     const LinhaStatus& status, const QDateTime& agora = QDateTime::currentDateTime());

} // namespace vx
