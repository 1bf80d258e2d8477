#pragma once
// The transmission run: every pending message of arquivosxml/env is sent, then the recent
// authorizations (municipality) or realizations (entity, professional) are checked against the
// server and the missing messages re-created and sent. Shared by the transmission screen and the
// unattended run.
#include "exchange/ftp/TransporteFtp.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QTextStream;

namespace vx {

class FtpCliente;
class TDMCUNE;
class Transacao;

// Pending files of arquivosxml/env in name order: "M…" names ending in ".xml" (a sent file carries
// a suffix after it).
QStringList ArquivosPendentes();

// Destination of a pending message (see EnviaArquivoFtp): "F" + year_month of its typing (or
// realization) date for a realization message, "P" + its professional for the others; empty when
// an authorization message names no professional. Throws ErroMensagem for a file that cannot be
// read or whose date is not one.
QString DestinoDaMensagem(const QString& caminho);

// Remote folder and file names of the server check.
struct ConferenciaPapel {
    bool municipio = true;
    QString pastaBase;  // "marcacao" or "faturamento"
    QString mascara;    // listing mask: "*M<code>*.xml", or "*_<role letter><code>*.xml"
};
ConferenciaPapel ConferenciaDoPapel();
// Name of the message an authorization row is checked by.
QString NomeConferido(const QString& cliOrigem, qint64 idMarcacao);

// Listing of one remote folder, indexed by the message names its lines carry.
class IndiceListagem {
public:
    // Lines whose name does not match `mascara` are left out.
    void carrega(const QStringList& linhas, const QString& mascara);
    void limpa() { m_nomes.clear(); }
    // Present: a line carries the name (any case), unless that line lists exactly this name with
    // size 0.
    bool presente(const QString& nome) const;

private:
    struct Visto {
        bool exato = false;  // the line's name is the message name as written
        QString escrito;
        qint64 tamanho = -2;
    };
    QHash<QString, Visto> m_nomes;
};

struct ContextoTransmissao {
    Transacao* principal = nullptr; // TABDIV update
    Transacao* leitura = nullptr;   // rows to check and re-created messages
    Transacao* marca = nullptr;     // CONFERIUFTP marks and audit rows
    FtpCliente* ftp = nullptr;      // uploads
    FtpCliente* lista = nullptr;    // listings of the server check
    QDate dataAtual;                // the working date written to TABDIV
    LinhaStatus status;             // status lines (each with its date and time)
    std::function<bool()> cancelado;
    bool semJanela = false;         // an unattended run: no wording about the screen
    std::function<void(int feitos, int total)> progresso; // phase 1 files
};

struct ResultadoTransmissao {
    int enviados = 0;   // pending files sent
    int falhados = 0;   // pending files not sent (unreadable ones and " (ja existe)" included)
    int ignorados = 0;  // authorization messages without a professional, left alone
    int conferidos = 0; // rows marked as checked
    int recriados = 0;  // messages re-created and sent by the check
    int naoRecriados = 0; // messages the check could not re-create or send
    bool semConexaoConferencia = false; // the check found no server
    bool cancelada = false;
    bool concluida = false; // ran to the end and recorded the date
    QString erro;           // what ended the run early
    // Every pending file and every missing message reached the server.
    bool tudoEnviado() const
    {
        return concluida && falhados == 0 && ignorados == 0 && naoRecriados == 0 && !semConexaoConferencia;
    }
};

// The whole run. `conferir`: the server check also outside the municipality role. Errors of the
// database end the run ("=> Erro na execução!!!", date not recorded); one bad file does not.
ResultadoTransmissao ExecutaTransmissao(const ContextoTransmissao& ctx, bool conferir);

// What a run on the data module needs: its main transaction, a read and a mark transaction of
// its own, the listing client; `ftp` carries the uploads. Fill in the callbacks of `ctx`.
class TransmissaoNoBanco {
public:
    TransmissaoNoBanco(TDMCUNE& dm, FtpCliente& ftp);
    ~TransmissaoNoBanco();
    TransmissaoNoBanco(const TransmissaoNoBanco&) = delete;
    TransmissaoNoBanco& operator=(const TransmissaoNoBanco&) = delete;
    ContextoTransmissao ctx;

private:
    std::unique_ptr<Transacao> m_leitura, m_marca;
    std::unique_ptr<FtpCliente> m_lista;
};

// The run without a window (vornex --transmitir): status lines and a summary on `saida`; the exit
// status of TarefaSemJanela.h (complete only when everything was sent).
int TransmiteSemJanela(TDMCUNE& dm, QTextStream& saida);

} // namespace vx
