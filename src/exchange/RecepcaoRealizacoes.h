#pragma once
// The consortium's reception of the realization messages of a billing period: the folders
// faturamento/yyyy_mm are listed, every message imported in its own transaction and marked on the
// server, then the missing procedure values are completed. Shared by the reception screen and the
// unattended run.
#include "exchange/ImportacaoMensagens.h"
#include "exchange/LoteImportacao.h"
#include "exchange/ftp/TransporteFtp.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

class QTextStream;

namespace vx {

class FtpCliente;
class TDMCUNE;
class Transacao;

// Access codes typed in the screen's hidden field for the two maintenance runs.
inline constexpr const char* kCodigoRenumeracao = "48151623";
inline constexpr const char* kCodigoAuditoria = "RECARGA-AUDITORIA-20150";

// The empty period as the year-month field gives it.
inline constexpr const char* kPeriodoVazio = "    -  ";

// "yyyy-mm" of a date ("" for an invalid one).
QString PeriodoDe(const QDate& d);
// Remote folder of a "yyyy-mm" period: "yyyy_mm"; empty when the text is no period.
QString PastaDoPeriodo(const QString& periodo);
// "MM/AAAA" (the command line's form) → "yyyy-mm"; empty when it is no month.
QString PeriodoDaLinhaDeComando(const QString& texto);

// The passes of a run: under the CUNE profile the months of the calendar's first and last day
// (empty periods without a selected calendar), else the one typed period.
QStringList PeriodosDaRecepcao(bool perfilCune, const QString& inicioCalendario, const QString& fimCalendario,
                               const QString& digitado);

struct PedidoRecepcao {
    QStringList periodos;       // "yyyy-mm" each, kPeriodoVazio for a pass without a period
    QString inicioCalendario;   // "dd/mm/yyyy" of the selected calendar, or empty
    QDate dataBase;             // CUMBEL: the date of DATA_IMPORTACAO
    ModoRealizacao modo = ModoRealizacao::Normal;
    bool corrigeConsultas = false; // CUNE: the consultation-value correction at the end
    bool consomeCreditos = false;  // CULVAR: credit consumption after the values are completed
};
// The request of a normal run for this installation's profile and the calendar selected in the
// database (read on `tr`, left open).
PedidoRecepcao PedidoDoPerfil(Transacao& tr, const QString& periodoDigitado, const QDate& dataBase = {});

struct ContextoRecepcao {
    Transacao* tr = nullptr;  // the main transaction
    FtpCliente* ftp = nullptr;
    LogErros* erros = nullptr;
    LinhaStatus status;                          // log lines, as the screen shows them
    std::function<void(const QString&)> aviso;   // a message box ("Informe o Período…")
    std::function<void(int feito, int total)> progresso; // per listed file of a pass
    QDateTime agora; // invalid: the clock at each file
};

struct ResultadoRecepcao {
    bool conectou = false;
    bool falhou = false;     // the run stopped: no connection, a period folder or the database
    bool concluida = false;  // ran to "PROCESSO CONCLUIDO!"
    int listados = 0;
    int importados = 0;
    int foraDoPeriodo = 0;   // typed before the calendar, left on the server
    int naoBaixados = 0;     // downloads that failed (tried again next run)
    int falhados = 0;        // imports that failed (Erro.TXT)
    int periodosVazios = 0;  // passes without a period
    ResultadoLote lote;      // every file of the run, as the import loop counted them
    QString erro;            // what stopped the run
    // Files left for the next run: not downloaded, failed, not yet marked, taken by another station.
    int pendencias() const { return naoBaixados + falhados + lote.naoMarcados + lote.emOutraEstacao; }
    bool tudoRecebido() const { return concluida && pendencias() == 0 && periodosVazios == 0; }
};

ResultadoRecepcao ExecutaRecepcao(const ContextoRecepcao& ctx, const PedidoRecepcao& pedido);

// The one summary line of a run (what the unattended run prints last).
QString ResumoRecepcao(const ResultadoRecepcao& r, const QString& erroTxt);

// The run without a window (vornex --receber [--periodo MM/AAAA]): log lines and a summary on
// `saida`; exit statuses of TarefaSemJanela.h (complete when every listed file was received).
int RecebeSemJanela(TDMCUNE& dm, QTextStream& saida, const QString& periodo);

} // namespace vx
