#pragma once
// The BPA production file: a header, the consolidated records (BPA-C) and the individualized
// records (BPA-I) in the national fixed-width layout, Latin-1 text with CR LF line ends.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

namespace vx {

class Transacao;

namespace bpa {

inline constexpr int kTamCabecalho = 130;
inline constexpr int kTamConsolidado = 48;
inline constexpr int kTamIndividualizado = 350;
inline constexpr int kMaxRegistros = 9999;
inline constexpr int kPorFolha = 20;

// Sheet and sequence of the next record: 20 records per sheet.
struct Numeracao {
    int folha = 1;
    int sequencia = 1;
    void avanca();
};

// X modulo 1111 plus 1111, X being the sum of the quantities and procedure codes of the records.
int CampoControle(qint64 soma);

// "NP" (MAC) or "PA", the first six characters of the CNES, ".", the month of `fim` ("Mar").
QString NomeArquivoBpa(const QString& cnes, const QDate& fim, bool mac);

// The consortium as the header and the records name it.
struct Identificacao {
    QString cnes;
    QString consorcio;
    QString cnpjcpf;
    QString versao;
    static Identificacao DaConfiguracao();
};

// Refuses (ErroValor) a CNES that is not exactly seven digits.
void ValidaCnes(const QString& cnes);

// One BPA-C row: production summed by procedure, occupation and age.
struct Consolidado {
    QString codigo;              // CODTABSUS
    QString cbo;
    std::optional<qint64> idade; // null: none
    qint64 quantidade = 0;
};

// One BPA-I row: a procedure line with its patient.
struct Individualizado {
    QString codigo;        // CODTABSUS
    qint64 quantidade = 0;
    QString cbo;
    QString cnsProfissional;
    QString chave;         // CHAVEIMPRE
    std::optional<qint64> idade;
    QDate realizacao;
    std::optional<qint64> carater;
    QString cep;           // the municipality's
    QString origem;        // CLI_ORIGEM
    QString cartao;        // CARTAOSUS
    QString sexo;
    QString nome;
    QString raca;
    QString etnia;
    QDate nascimento;
    std::optional<qint64> tipoLogradouro;
    QString endereco;
    std::optional<qint64> numero;
    QString fones;
    QString bairro;
    QString cid;
};

// The patient's card when it is a valid national card (15 digits by the national rule), else "".
QString CartaoBpa(const QString& cartao);
// The CPF held in the card field (11 digits, valid check digits), digits only, else "".
QString CpfBpa(const QString& cartao);
// Digits of the first telephone (the text before the first "/", "," or ";"), leading zeros
// dropped; "" when there are none or more than 11.
QString TelefoneBpa(const QString& fones);

QByteArray Cabecalho(const Identificacao& id, const QDate& competencia, int linhas, int folhas, int controle);
// Throw ErroValor when a numeric field holds something else or does not fit its width.
QByteArray RegistroConsolidado(const Identificacao& id, const QDate& competencia, const Numeracao& n,
                               const Consolidado& c);
// `faltas` receives the missing items ("CNS Paciente; CID; ").
QByteArray RegistroIndividualizado(const Identificacao& id, const QDate& competencia, const Numeracao& n,
                                   const Individualizado& r, QString* faltas = nullptr);

struct ArquivoBpa {
    QString nome;
    QByteArray conteudo;
    int registros = 0;
    int folhas = 0;
    int controle = 0;
    QStringList erros;   // "Chave <key>: <missing items>"
    QStringList falhas;  // BPA-C rows left out: "Erro: <sequence> => <line so far>"
};

// Reads the production imported in the period and builds the file in memory. Refuses (ErroValor)
// a CNES that is not seven digits, more than 9 999 records and a BPA-I value that cannot be
// written as a number. Only reads.
ArquivoBpa MontaArquivoBpa(Transacao& tr, const QDate& inicio, const QDate& fim, bool mac, const Identificacao& id);

// The export folder: GERAL/PASTABPA, else BPA/ under the installation folder.
QString PastaExportacaoBpa();
// The copy's folder, ARQBPA/ under the installation folder.
QString PastaCopiaBpa();

struct GravacaoBpa {
    QString arquivo;    // the file in the export folder
    QString copia;      // its copy's path
    bool copiou = false;
};
// Writes the file into `pasta` (replacing an earlier one; ErroValor when it cannot) and copies it
// into `pastaCopia`, replacing an earlier copy.
GravacaoBpa GravaArquivoBpa(const ArquivoBpa& a, const QString& pasta, const QString& pastaCopia);

// The selections' parameters: the period's first day at 00:00:01 and its last at 23:59:59.
QVariantList ParametrosPeriodo(const QDate& inicio, const QDate& fim);

// The previews' selections; parameters: ParametrosPeriodo.
enum class Exibir { Pab, Mac, Todos };
QString SqlPreviaConsolidado(Exibir exibir);
QString SqlPreviaIndividualizado(Exibir exibir, qint64 grupo, bool comCns);
// Fills the age of the authorizations that have none (years of realization minus birth).
void CompletaIdades(Transacao& tr);

} // namespace bpa
} // namespace vx
