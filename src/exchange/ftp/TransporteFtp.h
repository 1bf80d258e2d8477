#pragma once
// FTP accounts by consortium profile, the connection routine, the shared upload with its
// progress lines, and the local exchange folders.
#include <QString>

#include <functional>

namespace vx {

class FtpCliente;

// Receives one progress line ("dd/mm/yyyy hh:nn:ss => ..."); screens append it to their status box.
using LinhaStatus = std::function<void(const QString&)>;

// Account family chosen by the consortium profile.
enum class FamiliaFtp { Cune, Consorcios, Culvar, Padrao };

struct ContaFtp {
    FamiliaFtp familia = FamiliaFtp::Padrao;
    QString host;
    int porta = 21;
    QString usuario;
    QString senha;
};

FamiliaFtp FamiliaFtpDoPerfil();
// Account for an attempt: families CUNE and CONSORCIOS append the two-digit number to the prefix.
// Hosts, prefixes and passwords may be overridden in GERAL (see docs/FTP.md).
ContaFtp ContaFtpPara(int numero);
// First account number: 1 in a municipality installation, 3 otherwise.
int NumeroContaInicial();
// Remote profile folder ("cumbel", …, "teste"); empty when the profile names none.
QString PastaFtpDoPerfil();
// The folder the client works in: the profile folder, or "teste" for an unknown profile.
QString PastaFtpDeTrabalho();

// Remote folder of a destination code: "" → profile folder; "P42" → marcacao/profiss00042;
// "F2015_03" → faturamento/2015_03.
QString PastaFtpDoDestino(const QString& destino);

// Local exchange folders under the installation folder (created on demand), with a final "/".
QString PastaEnvio();    // arquivosxml/env/
QString PastaRecebidos(); // arquivosxml/rec/
QString PastaErros();     // arquivosxml/erros/
void CriaPastasTroca();

// A status line: the local date and time, then `texto` (which begins with " => ").
QString LinhaComHora(const QString& texto);

// Connects (after disconnecting) with up to three accounts and enters the profile folder; the
// client's low-speed limit comes from GERAL/FTPTEMPOLENTO.
// False when FTP is disabled or every attempt failed; an error entering the folder is raised.
bool ConectaFtp(FtpCliente& ftp);

// Uploads arquivosxml/env/<arquivo> to the destination (see PastaFtpDoDestino). The file travels
// under a temporary name (NomeTemporarioFtp) and is renamed to its own name once it arrived whole,
// so an interrupted upload never leaves a partial file under that name. Into a billing folder the
// file is not sent when the consortium already marked a twin of the same content ("okcune " + name:
// the local file gets " (ja existe)"); a marked twin of other content makes it go as "<name>-2.xml". Every attempt together
// stops after GERAL/FTPTEMPOTOTAL seconds (or the client's earlier deadline); a cancelled client
// (FtpCliente::cancela) stops at once. Never raises; progress goes to `status`. True when the file
// is on the server.
struct OpcoesEnvioFtp {
    // For runs of many uploads: an open connection is used as it is (no new login; the client goes
    // to the destination from where it is) and the file is checked at once, waiting before a
    // second check only when the first one did not find it whole. A failure reconnects as usual.
    bool mantemConexao = false;
    QString* motivo = nullptr; // why the file was not sent
};
bool EnviaArquivoFtp(FtpCliente& ftp, const QString& arquivo, const QString& destino, const LinhaStatus& status,
                     const OpcoesEnvioFtp& opcoes = {});

// The line after a failed upload: what was saved stands, and its file waits in arquivosxml/env/
// for the next transmission (`gravado`: "A autorização está gravada", ...).
QString LinhaEnvioPendente(const QString& gravado, const QString& arquivo);

// Gives a sent file in arquivosxml/env/ the suffix " (enviado)"; when that rename fails, copies it
// to "<name> (enviado e deletado)" and deletes it. False when the file is still pending.
enum class MarcaEnvio { Renomeado, Copiado, Falhou };
MarcaEnvio MarcaEnviado(const QString& arquivo);

// A fresh "_tmp-<hex>.part" name: it ends in neither ".xml" nor any name of the exchange, so no
// listing mask matches it, and it does not contain the name of the file it carries. No leading
// "~" (some servers expand it as a home folder) or "." (hidden from listings by many).
QString NomeTemporarioFtp();

// True when `arquivo` is in the current remote folder with a non-zero size; with `tamanhoLocal`
// (>= 0) only when its size is exactly that. A listed file whose size neither the listing nor SIZE
// tells counts as present.
bool ArquivoExisteFtp(FtpCliente& ftp, const QString& arquivo, qint64 tamanhoLocal = -1);
// The decision on the detailed listing of `arquivo`: the first line naming it (any case) counts,
// and only an empty file listed under exactly that name counts as absent. Unix and DOS forms.
bool ListagemMostraArquivo(const QStringList& linhas, const QString& arquivo);
// Size that decision reads: -1 not listed, -2 listed without a size for exactly that name.
qint64 TamanhoNaListagem(const QStringList& linhas, const QString& arquivo);
// Name and size of one detailed listing line (Unix or DOS form); an empty name when the line has
// neither form, a size of -2 for a folder.
struct EntradaListagem {
    QString nome;
    qint64 tamanho = -2;
};
EntradaListagem LeLinhaListagem(const QString& linha);

// Waits, pumping window events.
void EsperaMs(int ms);

} // namespace vx
