#pragma once
// The program update check made when the exchange files are received: fetches the updater from
// the profile folder of the FTP server and the version document from the update site, downloads
// a newer version's package and tells the user, closing the program for a mandatory update.
#include <QString>

#include <functional>
#include <stdexcept>

namespace vx {

class FtpCliente;

// The version document could not be obtained or read. what() holds the message in UTF-8.
class ErroAtualizacao : public std::runtime_error {
public:
    explicit ErroAtualizacao(const QString& texto);
    const QString& texto() const { return m_texto; }

private:
    QString m_texto;
};

// What the check does outside the program. An empty member does the real thing: starts the
// program detached in its own folder (false when it could not be started), opens the folder in the
// desktop's file manager, asks the application to quit once control is back in the event loop.
struct AcoesAtualizacao {
    std::function<bool(const QString& programa)> iniciaPrograma;
    std::function<void(const QString& pasta)> abrePasta;
    std::function<void()> encerraPrograma;
};
void DefineAcoesAtualizacao(const AcoesAtualizacao& acoes);
// Asks the program to end through those actions (the base reception's 4-day rule uses it too).
void PedeEncerramentoPrograma();

// Local file names in the installation folder.
inline constexpr const char* kAtualizadorCompactado = "AtualizaSistema.zlib";
inline constexpr const char* kAtualizador = "AtualizaSistema";
inline constexpr const char* kDocumentoVersao = "versao.xml";
// "ATUALIZACAO 2_29.ZIP" for version "2.29".
QString NomePacoteAtualizacao(const QString& versao);

// Runs the check with `ftp` connected and in the profile folder; files go to the installation
// folder. The updater and the package are downloaded under temporary names, so a failed transfer
// leaves the files already there untouched. False when the program must close for a mandatory
// update (the close was already asked for); true when it may go on. Throws ErroAtualizacao when
// there is no readable version document (neither downloaded now nor left from an earlier run).
bool VerificaAtualizacao(FtpCliente& ftp);

} // namespace vx
