#pragma once
// Messages built from an authorization: the authorization message (finalization, re-creation)
// and the realization message a provider sends once it confirmed the procedures.
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

// "M" + origin (7 digits) + "_ID" + number (7 digits) + "_" + GERAL/USUARIO in upper case + ".xml".
QString NomeMensagemRealizacao(const QString& cliOrigem, qint64 idMarcacao);

struct MensagemRealizacao {
    QString cliOrigem;
    qint64 idMarcacao = 0;
    QString arquivo;  // NomeMensagemRealizacao
    QString texto;
};
// The realization message of the printed key: the first copy with realized procedures, its
// realized procedures only; nomeResp is the sender's name. Throws ErroMensagem for an unknown key.
MensagemRealizacao MontaMensagemRealizacao(Transacao& tr, const QString& chave, const QString& nomeResp,
                                           const QDateTime& agora = QDateTime::currentDateTime());
// Same, written to arquivosxml/env/ (no line end after the text).
MensagemRealizacao GravaMensagemRealizacao(Transacao& tr, const QString& chave, const QString& nomeResp,
                                           const QDateTime& agora = QDateTime::currentDateTime());

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
