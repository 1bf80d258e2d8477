#pragma once
// The installation's INI file ("vornex.conf"): case-insensitive section and key names, values kept
// verbatim, Windows-1252/Latin-1 text (UTF-8 after a byte-order mark), CR LF, LF or CR line ends.
// Writing a key rewrites only its line.
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace vx {

// A configuration file that cannot be read or written, or a value it cannot hold.
// what() holds the message in UTF-8.
class ErroConfiguracao : public std::runtime_error {
public:
    explicit ErroConfiguracao(const QString& texto);
    const QString& texto() const { return m_texto; }

private:
    QString m_texto;
};

class Configuracao {
public:
    Configuracao() = default;
    explicit Configuracao(const QString& arquivo) { carrega(arquivo); }

    // A missing file reads as empty; a file that exists but cannot be read (no permission, a
    // folder) throws ErroConfiguracao, and the object then refuses to write it.
    void carrega(const QString& arquivo);
    const QString& arquivo() const { return m_arquivo; }

    // As the Windows INI functions read it: trimmed, and a value wholly enclosed in matching
    // double or single quotes loses them.
    QString le(const QString& secao, const QString& chave, const QString& padrao = {}) const;
    bool leBool(const QString& secao, const QString& chave, bool padrao) const;
    int leInt(const QString& secao, const QString& chave, int padrao) const;
    bool existe(const QString& secao, const QString& chave) const;

    // Sets the value and writes the file at once, touching only that key's line
    // (a missing key is added at the end of its section; a missing section at the end).
    // Throws ErroConfiguracao, leaving the value unchanged, for a value with a line break or a
    // file that cannot be written.
    void escreve(const QString& secao, const QString& chave, const QString& valor);

private:
    int linhaDa(const QString& secao, const QString& chave) const;
    ErroConfiguracao erroLeitura() const;
    QString m_arquivo;
    QString m_erroLeitura;  // why the file could not be read
    QStringList m_linhas;   // without line ends
    QString m_fimLinha = QStringLiteral("\r\n");
    bool m_fimFinal = true; // the file ended with a line end
    bool m_utf8 = false;    // the file began with a UTF-8 byte-order mark
};

// Keys of section GERAL with their defaults.
namespace Geral {
QString DATABASE(); // a relative local path is resolved against the installation folder
QString USUARIO();
QString CONSORCIO();
QString NTP();
bool ATIVARFTP();
int PORTA();
// Seconds one upload may take with all its attempts (0: no limit; default 120).
int FTPTEMPOTOTAL();
// Seconds without progress after which a transfer fails (default 30).
int FTPTEMPOLENTO();
QString CEP();
QString LOGO();
QString CNES();
QString CNPJCPF();
QString ENDERECO();
QString NUMERO();
QString CIDADE();
QString UF();
QString CONTATO();
QString RESPONSAVEL();
QString CARGORESP();
QString DESCTAXA();
QString PREFEITURA();
// Largest exchange file read, in MB (8 when missing or not a positive number).
int TAMANHOMAXXML();
// Base address of the program update site, always ending in "/".
QString SITEATUALIZACAO();
// Web folder of the SIGTAP table files (empty: the files already in the sigtap folder are used).
QString SIGTAPURL();
QString PASTABPA();   // export folder of the BPA file; empty: BPA/ under the installation folder
// The attendance screen offers "Alterar Data Realização" for realized authorizations (default false).
bool ALTERADATAREALIZACAO();
} // namespace Geral

// Installation folder: --pasta DIR, else $VORNEX_PASTA, else the executable's folder.
QString PastaInstalacao();
void DefinePastaInstalacao(const QString& pasta);
// Path of a file relative to the installation folder.
QString CaminhoInstalacao(const QString& relativo);

// Opens "vornex.conf" of the installation folder and keeps it for the run (ErroConfiguracao when
// it exists but cannot be read).
void CarregaConfiguracao();
Configuracao& Ini();

// Default NTP host.
inline constexpr const char* kNtpPadrao = "pool.ntp.org";

} // namespace vx
