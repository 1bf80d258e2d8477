#pragma once
// Import of patient registers kept by other systems into PESSOAS: a SEPIN database, a CadSUS
// database (DB_CNS) or the municipality's fixed-width text file. Every source becomes a list of
// RegistroOrigem; one loop matches each record (card, then exact name and birth date) and inserts,
// updates or leaves it alone, all in one transaction. No widgets here: the screen
// TFImportacaoSepin, the tests and the benchmark call these.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace vx {

class Transacao;

enum class FonteImportacao { Sepin, CadSus, ArquivoMunicipal };

// The source label of the menu items: "SEPIN", "CADSUS", "OUTROBDMUNIC".
QString RotuloFonte(FonteImportacao fonte);
// Caption of the file field: "Local do Banco de Dados BDSEPIN:", "Local do Banco de Dados DB_CNS:",
// "Arquivo Base de Dados:".
QString LegendaArquivo(FonteImportacao fonte);

// One patient as the source holds it (texts trimmed, SEPIN names without "*").
struct RegistroOrigem {
    int linha = 0;     // line of the text file (1-based); position in the source for the databases
    QString codigo;    // the patient's code in the other system
    QString cartao;
    QString nome;
    QDate nascimento;  // invalid when the source has none
    QString sexo;
    QString raca;      // as stored in PESSOAS (already mapped for the source)
    QString nomeMae;
    QString endereco;
    QString fones;
};

// A line of the text file that is not imported, and why.
struct LinhaRecusada {
    int linha = 0;
    QString motivo;
};

struct LeituraOrigem {
    QVector<RegistroOrigem> registros;
    QVector<LinhaRecusada> recusadas;
};

// Text file: one patient per line, Windows-1252 (ISO-8859-1 files read the same), CR LF or LF.
// Blank lines are skipped. `hoje` bounds the birth date.
LeituraOrigem LeArquivoMunicipal(const QByteArray& dados, const QDate& hoje);
// One line: empty when read into `r`, else the reason it is refused.
QString LeLinhaMunicipal(const QString& linha, const QDate& hoje, RegistroOrigem& r);

// SEPIN and CadSUS databases: read whole through a second attachment with the server's
// administrator account and a read transaction of their own, rolled back and detached before
// returning (also on error).
QVector<RegistroOrigem> LeBancoSepin(const QString& banco);
QVector<RegistroOrigem> LeBancoCadSus(const QString& banco);
// Race of a CadSUS record: "X" (and anything that is not a number of one or two digits) → "99",
// else left-padded with zeros to two digits.
QString RacaCadSus(const QString& raca);

// Origin remark written into OBS.
QString ObsOrigem(FonteImportacao fonte, const QString& codigo, const QString& hoje);
// The message of a record already registered by another municipality.
QString AvisoOutroMunicipio(const QString& codigo, const QString& cliOrigem);
// "Cadastro 000012 de 000340 - MARIA DA SILVA"
QString TextoProgresso(int n, int total, const QString& nome);

struct ResumoImportacao {
    int lidos = 0;           // records of the databases, non-blank lines of the text file
    int inseridos = 0;
    int atualizados = 0;
    int outroMunicipio = 0;  // registered by another municipality: message, left alone
    int semNascimento = 0;   // SEPIN without birth date and without a match: left alone
    QVector<LinhaRecusada> recusadas;
    QStringList avisos;      // the messages of the records of other municipalities
    bool concluida = false;
    QString erro;            // the failure that rolled the import back

    // The summary as the screen lists it: the counts, then one line per refused line.
    QStringList linhas() const;
};

// n of total and the record's name, before each record is handled.
using ProgressoImportacao = std::function<void(int n, int total, const QString& nome)>;

struct ParametrosImportacao {
    FonteImportacao fonte = FonteImportacao::ArquivoMunicipal;
    QString arquivo;    // the database (path or host:path) or the text file
    QString municipio;  // the installation's municipality (CLI_ORIGEM of the imported patients)
    QString hoje;       // working date "dd/mm/yyyy" (origin remark, birth-date bound)
};

// The whole import on the main transaction `tr`: fresh start, every record, an audit row
// ("Pessoas", "I", the counts), commit. Records of other municipalities are told by Informa, one
// message each. Any error rolls everything back (PESSOAS as before) and is rethrown; `resumo`
// then holds what had been counted and the error text.
void ImportaPacientes(Transacao& tr, const ParametrosImportacao& p, ResumoImportacao& resumo,
                      const ProgressoImportacao& progresso = {});

} // namespace vx
