#pragma once
// Search statements of the name search dialog, their execution, and the name-by-code lookup.
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace vx {

class Consulta;
class Transacao;

// How the typed text matches the name.
enum class ModoBusca { TrechoNome, InicioNome, QualquerPalavra };

// LIKE pattern for the typed text: upper-cased (accented letters included);
// TrechoNome "%T%", InicioNome "T%", QualquerPalavra "%" + each blank as " %" + "%".
QString PadraoBusca(ModoBusca modo, const QString& texto);

// Collation the searched columns are compared under: Windows-1252 without accents or case
// ("conceic" matches "CONCEIÇÃO"). A column it cannot apply to (another character set, a number)
// is compared upper-cased, as typed.
inline constexpr const char* kColacaoBusca = "WIN_PTBR";

// The lowest text (byte order of the name column) whose characters each compare equal, without
// accents or case, to those of `prefixo`: every name starting with something equal to `prefixo`
// sorts at or after it.
QString LimiteSemAcentos(const QString& prefixo);

// A search ready to run: the statement (with :pdes where the pattern goes) and how its result
// columns are shown.
struct DefinicaoBusca {
    enum class Forma { Procura, Filtro, Simples, SimplesFiltro };
    Forma forma = Forma::Procura;
    QString tabela;
    QString condicao;       // filter of the Filtro forms
    QString extra;          // second column matched with OR (PESSOAS, V_ENTIDADES, V_PROFISSIONAIS)
    bool colunaSemAcentos = true; // the searched column compares under kColacaoBusca
    bool extraSemAcentos = true;  // so does the second column (never the card: digits)
    bool preparada = false;       // the two above were checked on the database (PreparaBusca)
    bool usaTrechos = false;      // fragments may take their candidates from the patients' word pieces
    QString selecao;        // select list, in statement order
    QString onde;           // where clause with :pdes, as executed
    QString restoSql;       // "from … where …" with :pdes, no order by, as executed
    QString ordem;          // order by column (the searched column)
    int numColunas = 0;     // expressions in the select list
    QVector<int> exibicao;  // select-list positions shown in the list, in order
    QStringList titulos;    // list caption of each shown column
    int colunaChave = 0;    // select-list position of the key
    bool cortaHifen = false; // key is "codconcat": keep the part before the first "-"
    QString tituloErro;

    // The statement as executed (the comparisons as the flags above say).
    QString sql() const;
    // Rebuilds `onde` and `restoSql` from the flags.
    void monta();
};

DefinicaoBusca MontaProcura(const QStringList& campos, const QString& coluna, const QString& tabela);
DefinicaoBusca MontaProcuraFiltro(const QStringList& campos, const QString& coluna, const QString& tabela,
                                  const QString& condicao);
DefinicaoBusca MontaProcuraSimples(const QString& chave, const QString& nome, const QString& tabela);
DefinicaoBusca MontaProcuraSimplesFiltro(const QString& chave, const QString& nome, const QString& tabela,
                                         const QString& condicao);

// Checks on the database which searched columns take the accent-insensitive comparison and
// whether the patients' word pieces serve this search. ExecutaBusca does it on a copy when the
// caller has not.
void PreparaBusca(Transacao& tr, DefinicaoBusca& d);

// Caption the list uses for a select expression: the text between "CAST(" and " AS" for a
// converted column, otherwise the expression itself.
QString TituloColuna(const QString& expressao);

// Key as returned to the caller (cut before "-" when the definition says so).
QString ChaveResultado(const DefinicaoBusca& d, const QString& chave);

struct LinhaBusca {
    QStringList colunas; // shown columns, in list order
    QString chave;       // raw key value
};

// How a fragment search spends its work (the defaults suit tables of a million rows).
struct AjusteBusca {
    int amostra = 2000;  // matches read unordered first; when all fit they are sorted here (0: none)
    int faixa = 20000;   // rows read unordered between two sample bounds
    int passo = 8;       // sample position up to which the ordered walk runs
    bool trechos = true; // fragments of patients' names take their candidates from the word pieces
    int poucos = 1000;   // candidates read through a piece at first; the first piece with fewer wins
    int muitos = 20000;  // then, per piece, up to this many before the fragment counts as common
    int juntar = 6000;   // a single piece's patients read at most through the pieces; above, the walk
    // Asked now and then while rows are read (a screen processes its events there); false stops
    // the search with BuscaInterrompida.
    std::function<bool()> continua;
};

struct BuscaInterrompida {};

// Runs the search with `padrao` on `tr` and returns at most 400 rows, the rows and order the
// statement itself gives. Throws ErroBanco.
QVector<LinhaBusca> ExecutaBusca(Transacao& tr, const DefinicaoBusca& d, const QString& padrao,
                                 const AjusteBusca& ajuste = {});

// Maximum rows a search returns.
inline constexpr int kLimiteBusca = 400;

// Name-by-code lookup statement; a code of 6+ characters or with a non-digit is quoted.
QString SqlNomePorCodigo(const QString& codigo, const QString& chave, const QString& nome, const QString& tabela);
// Returns the Nome of the first row, or empty (also for an empty code when a key column is given).
// Errors reach the caller.
QString NomePorCodigo(Consulta& q, const QString& codigo, const QString& chave, const QString& nome,
                      const QString& tabela);

} // namespace vx
