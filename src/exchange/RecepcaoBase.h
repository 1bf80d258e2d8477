#pragma once
// The runs around the registry base: the consortium writes and publishes it; a municipality and a
// provider download and merge it (the provider also applies the blocks and imports the
// authorizations addressed to it). Shared by the screens and the unattended runs.
#include "exchange/BaseCadastral.h"
#include "exchange/ImportacaoMensagens.h"
#include "exchange/LoteImportacao.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

class QTextStream;

namespace vx {

class FtpCliente;
class TDMCUNE;
class Transacao;

// ---- consortium ----

struct ResultadoEnvioBase {
    bool baseEnviada = false;
    bool glosasEnviadas = false;
    QString erro; // a file that could not be written
};
// Writes arquivosxml/env/BaseCUNE.xml and BaseGlosas.xml and sends each to the profile folder
// (the second whatever became of the first).
ResultadoEnvioBase EnviaBaseCadastral(Transacao& tr, FtpCliente& ftp, const LinhaStatus& status,
                                      const QDateTime& agora = QDateTime::currentDateTime());

// ---- receptions ----

// "select first 1 DATAULTRECEPCAO from tabdiv": 01/01/0001 when null or without a row.
QDate LeDataUltRecepcao(Transacao& tr);
// The automatic run: the working date is later than the last completed reception.
bool DeveReceberBase(const QDate& dataAtual, const QDate& ultimaRecepcao);
// A consortium profile with CUNE terminates a municipality 4 or more days behind.
bool AtrasoEncerraMunicipio(const QDate& dataAtual, const QDate& ultimaRecepcao);

struct ContextoBase {
    Transacao* tr = nullptr; // the main transaction
    FtpCliente* ftp = nullptr;
    LinhaStatus status;      // status lines, time included
    AvisosBase avisos;       // the merge's row label and refused rows (its lines go to `status`)
    // Message boxes: a plain warning, an error box with its title.
    std::function<void(const QString& texto)> aviso;
    std::function<void(const QString& titulo, const QString& texto)> erro;
    // The version may no longer run: the main window's notice (the municipality's reception).
    std::function<void()> versaoBloqueada;
    // The municipality is 4 or more days without the base and cannot connect: the message is
    // shown here, then the program must end.
    std::function<void(const QString& texto)> encerraPorAtraso;
    QDateTime agora; // invalid: the clock
    bool semJanela = false; // an unattended run: no wording about the screen
};

struct ResultadoRecepcaoBase {
    bool conectou = false;
    bool falhou = false;          // stopped before the merge, or a merge step failed
    bool concluida = false;       // every step committed: the reception date moved on
    bool terminou = false;        // the provider's run reached its last line (button back on)
    bool encerrarPrograma = false; // mandatory update or the 4-day rule
    ResultadoBase base;
    int glosas = 0;               // glosas read (provider)
    int importados = 0;           // authorization and block messages imported (provider)
    int naoBaixados = 0;
    int falhados = 0;             // messages that failed (Erro.TXT)
    int bloqueiosAguardando = 0;  // blocks whose authorization is not here: left on the server
    ResultadoLote lote;           // the messages, as the import loop counted them (provider)
    // Messages left for the next run (a waiting block is not one: it waits for its authorization).
    int pendencias() const { return naoBaixados + falhados + lote.naoMarcados + lote.emOutraEstacao; }
    QString erro;
};

// The municipality's reception: connect, update check, download BaseCUNE.xml, merge.
ResultadoRecepcaoBase RecebeBaseMunicipio(const ContextoBase& ctx);
// The provider's reception: connect, access report appended on the server, update check,
// download BaseCUNE.xml and BaseGlosas.xml, merge, blocks, then the authorizations of each of its
// professionals' folders in bulk.
ResultadoRecepcaoBase RecebeBasePrestador(const ContextoBase& ctx, LogErros& erros);

// The access report "User: ... - <working date> - <now>" / "Versão: ..." (CR LF lines).
QByteArray RelatorioAcesso(const QString& usuario, const QString& dataAtual, const QDateTime& agora);
// Professionals whose folders a provider reads, in order: an entity's linked professionals (0
// without any), a professional's own code.
QList<qint64> ProfissionaisDoPrestador(Transacao& tr, QChar papel, const QString& codigoProprio);

// The one summary line of a base reception.
QString ResumoRecepcaoBase(const ResultadoRecepcaoBase& r, bool prestador, const QString& erroTxt);

// Unattended runs (exit statuses of TarefaSemJanela.h).
int EnviaBaseSemJanela(TDMCUNE& dm, QTextStream& saida);
int RecebeBaseSemJanela(TDMCUNE& dm, QTextStream& saida);

} // namespace vx
