#pragma once
// An authorization found by its printed key: blocking it (the update, then the block message sent
// to the professional), the reprint rule and the individual retransmission of its message.
// Writes run in a fresh transaction on the given one and are committed there; progress lines go
// to `status` (each one "dd/mm/yyyy hh:nn:ss => ...").
#include "exchange/ftp/TransporteFtp.h"
#include "municipality/Marcacao.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

namespace vx {

class FtpCliente;
class Transacao;

// "M" + municipality (7 digits) + "_ID" + number (7 digits) + "-bloq.xml".
QString NomeMensagemBloqueio(const QString& municipio, qint64 numero);

// The authorization row of a key (the unblocked copy first) with the patient's name.
QString SqlAutorizacaoPorChave(const QString& chave);
// Code and name of its procedures (columns CODIGO, PROCEDIMENTO).
QString SqlProcedimentosAutorizacao(const QString& cliOrigem, qint64 numero);

// What the block message carries.
struct MensagemBloqueio {
    QString municipio;                  // respEnvio
    QString nomeMunicipio;              // IBGEMUNIC.CIDADE
    qint64 numero = 0;
    std::optional<qint64> profissional; // null: empty element
    QString chave;                      // as typed
    QDate data;
    QString motivo;
};
QString MontaMensagemBloqueio(const MensagemBloqueio& m, const QDateTime& agora = QDateTime::currentDateTime());

struct PedidoBloqueio {
    QString municipio;
    QString nomeMunicipio;
    QString chave;
    QDate data;
    QString motivo;            // written to OBS
    qint64 codMotivo = 0;      // > 0: the registry reason, also written to CODMOTIVOBLOQUEIO
};

enum class SituacaoBloqueio { ChaveNaoEncontrada, JaBloqueada, Bloqueada };

struct ResultadoBloqueio {
    SituacaoBloqueio situacao = SituacaoBloqueio::ChaveNaoEncontrada;
    qint64 numero = 0;
    std::optional<qint64> profissional;
    EnvioAutorizacao envio;    // the block message (Bloqueada only)
};

// Blocks the authorization of `p.chave`. An unknown key or an authorization already blocked
// writes nothing; an invalid date is refused (ErroValor). Otherwise the update and its audit row
// are committed first (a database error there is raised and nothing else happens); then the block
// message is written to arquivosxml/env/ and uploaded to the professional's folder ("P0" without
// one). Once on the server the file gets " (enviado)" and the audit row "Bloqueou xml."; after a
// failed upload it stays pending for the transmission run (null `ftp`: not sent).
ResultadoBloqueio BloqueiaAutorizacao(Transacao& tr, FtpCliente* ftp, const PedidoBloqueio& p, const LinhaStatus& status,
                                      const QDateTime& agora = QDateTime::currentDateTime());

// True when the printout of the authorization carries the APAC page: a procedure requiring it in
// a municipality that issues it (CLIENTES.APAC), as at finalization.
bool ApacNaImpressao(Transacao& tr, const QString& municipio, qint64 numero);

// Re-creates the authorization message (NomeMensagemAutorizacao) from the database and uploads it
// to its professional; an authorization that does not exist or has no professional is not sent
// (and leaves no file). Otherwise the audit row "Enviou xml.", "Falhou ao enviar xml." or "Não foi
// possível enviar xml." (null `ftp`).
EnvioAutorizacao RetransmiteAutorizacao(Transacao& tr, FtpCliente* ftp, const QString& municipio, qint64 numero,
                                        const LinhaStatus& status,
                                        const QDateTime& agora = QDateTime::currentDateTime());

} // namespace vx
