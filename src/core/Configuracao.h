#pragma once
// The installation's INI file ("vornex.conf"): case-insensitive section and key names, values kept
// verbatim, Windows-1252/Latin-1 text, CR LF or LF. Writing a key rewrites only its line.
#include <QString>
#include <QStringList>

namespace vx {

class Configuracao {
public:
    Configuracao() = default;
    explicit Configuracao(const QString& arquivo) { carrega(arquivo); }

    void carrega(const QString& arquivo); // a missing file reads as empty
    const QString& arquivo() const { return m_arquivo; }

    QString le(const QString& secao, const QString& chave, const QString& padrao = {}) const;
    bool leBool(const QString& secao, const QString& chave, bool padrao) const;
    int leInt(const QString& secao, const QString& chave, int padrao) const;
    bool existe(const QString& secao, const QString& chave) const;

    // Sets the value and writes the file at once, touching only that key's line
    // (a missing key is added at the end of its section; a missing section at the end).
    void escreve(const QString& secao, const QString& chave, const QString& valor);

private:
    int linhaDa(const QString& secao, const QString& chave) const;
    QString m_arquivo;
    QStringList m_linhas;   // without line ends
    QString m_fimLinha = QStringLiteral("\r\n");
    bool m_fimFinal = true; // the file ended with a line end
};

// Keys of section GERAL with their defaults.
namespace Geral {
QString DATABASE();
QString USUARIO();
QString CONSORCIO();
QString NTP();
bool ATIVARFTP();
int PORTA();
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
} // namespace Geral

// Installation folder: --pasta DIR, else $VORNEX_PASTA, else the executable's folder.
QString PastaInstalacao();
void DefinePastaInstalacao(const QString& pasta);
// Path of a file relative to the installation folder.
QString CaminhoInstalacao(const QString& relativo);

// Opens "vornex.conf" of the installation folder and keeps it for the run.
void CarregaConfiguracao();
Configuracao& Ini();

// Default NTP host.
inline constexpr const char* kNtpPadrao = "pool.ntp.org";

} // namespace vx
