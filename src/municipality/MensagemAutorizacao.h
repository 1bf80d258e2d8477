#pragma once
// The authorization message: built at finalization and re-created from the database.
#include <QDateTime>
#include <QString>

namespace vx {

class Transacao;
class EscritorMensagem;
class Consulta;

// "M" + origin (7 digits) + "_ID" + number (7 digits) [+ "_" + installation user] + ".xml".
QString NomeMensagemAutorizacao(const QString& cliOrigem, qint64 idMarcacao, const QString& usuario = {});

// Text of the message written at finalization (municipio = the name shown on the screen).
// Throws ErroMensagem when the authorization does not exist, ErroBanco on database errors.
QString MontaMensagemAutorizacao(Transacao& tr, const QString& cliOrigem, const QString& nomeMunicipio,
                                 qint64 idMarcacao, const QDateTime& agora = QDateTime::currentDateTime());
// Writes it to arquivosxml/env/ (CR LF after the line) and returns the file name.
QString GravaMensagemAutorizacao(Transacao& tr, const QString& cliOrigem, const QString& nomeMunicipio,
                                 qint64 idMarcacao, const QDateTime& agora = QDateTime::currentDateTime());

// Re-creates arquivosxml/env/<arquivo> (no line end after the text) and returns the
// authorization's CODPROFISSIONAL (0 when null). A municipality writes the authorization message;
// entity and professional installations write their realization message.
qint64 RecriaMensagem(Transacao& tr, const QString& cliOrigem, qint64 idMarcacao, const QString& arquivo,
                      const QDateTime& agora = QDateTime::currentDateTime());
// Same, on the data module's free transaction.
qint64 RecriaMensagem(const QString& cliOrigem, qint64 idMarcacao, const QString& arquivo);

// Text of a re-created message (see RecriaMensagem).
QString MontaMensagemRecriada(Transacao& tr, const QString& cliOrigem, qint64 idMarcacao, qint64* codProfissional,
                              const QDateTime& agora = QDateTime::currentDateTime());

// Shared parts of the messages built from an authorization row (columns of the header select):
// the paciente element, and the marcacao element up to its open procedimentos element.
void EscrevePaciente(EscritorMensagem& w, const Consulta& q);
void EscreveMarcacaoInicio(EscritorMensagem& w, const Consulta& q, bool comDatasRealizacao);
// The det elements of the given procedure rows (quantidade, valortotal, codigo, nome).
void EscreveProcedimentos(EscritorMensagem& w, Consulta& procs);

} // namespace vx
