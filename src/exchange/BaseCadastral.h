#pragma once
// The registry base: the consortium writes its registries (BaseCUNE.xml) and its recent blocks
// (BaseGlosas.xml); municipalities and providers merge them into their own databases.
//
// A received file is read twice, as a stream: first every value of every section is converted
// (a file that is not well formed, is cut short or holds a value its column cannot take changes
// nothing), then each section is merged in its own transaction. Rows are matched on the table's
// primary key; a row whose values are already stored is not written again.
#include "exchange/ftp/TransporteFtp.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace vx {

class Transacao;

inline constexpr const char* kArquivoBase = "BaseCUNE.xml";
inline constexpr const char* kArquivoGlosas = "BaseGlosas.xml";
// The registry tables of the base, in the order they are written and merged.
const QStringList& TabelasBase();

// ---- writing ----

// A value as the base carries it: "&" becomes the letter "e"; "<" and ">" are written as
// entities and CR as a character reference; characters XML forbids are dropped and characters
// outside ISO-8859-1 become character references, so a conforming reader gets the text back.
QString EscapaBase(const QString& valor);
// The whole BaseCUNE.xml: municipalities with their limits of the year of `dataAtual` and the
// next, then the six registry tables (columns in alphabetical order; entities hidden from
// municipalities left out with their links).
QByteArray MontaBaseCune(Transacao& tr, const QDate& dataAtual, const QDateTime& agora = QDateTime::currentDateTime());
// BaseGlosas.xml: the authorizations blocked in the last 60 days (server date).
QByteArray MontaBaseGlosas(Transacao& tr, const QDateTime& agora = QDateTime::currentDateTime());

// ---- reading ----

// Class of a local column by its catalogue type name.
enum class ClasseColuna { Texto, Data, Inteiro, Numero };
ClasseColuna ClasseDoTipo(const QString& tipo);
// SQL value of a file text: quoted text; date literal (null when empty); integer (null when
// empty or 0); decimal (empty gives 0). Throws ErroValor for a value its class cannot take.
QString ValorSqlBase(ClasseColuna classe, const QString& texto);

struct ColunaBase {
    QString nome; // upper case, as the catalogue has it
    QString tipo; // SMALLINT, INTEGER, DATE, VARCHAR, INT64, ...
    ClasseColuna classe = ClasseColuna::Texto;
};
// The local columns of a table in position order (the catalogue query of the table import).
QVector<ColunaBase> ColunasLocais(Transacao& tr, const QString& tabela);

// One det of a section: its child elements (names in lower case) and, in municipios, the
// detLimites that follow it.
struct RegistroBase {
    int seq = 0; // position in its section, from 1
    QHash<QString, QString> campos;
    QVector<QHash<QString, QString>> limites;
    QString valor(const QString& nome) const { return campos.value(nome); }
};

// Statements of the merges (quoted texts, numbers refused by ValorSqlBase's rules).
// Municipality: all columns with limits; provider: codigo..cep only.
QString SqlClienteBase(const RegistroBase& r, bool completo);
QStringList SqlLimitesBase(const RegistroBase& r);
QString SqlLinhaBase(const QString& tabela, const QVector<ColunaBase>& colunas, const RegistroBase& r);
QString SqlGlosaBase(const RegistroBase& r);

// What a merge reports as it goes.
struct AvisosBase {
    LinhaStatus status;                            // " => ..." lines (without the time)
    std::function<void(const QString&)> linhaAtual; // the row being imported ("<first>-<third>")
    // A row the database refused: its statement and error. The import goes on; the statement
    // has already been saved as "erro importacao <hhnnss>.txt" in the installation folder.
    std::function<void(const QString& sql, const QString& erro)> erroLinha;
};

enum class ConteudoBase { Municipio, Prestador };

struct ResultadoBase {
    bool lido = false;          // both passes could read the file
    QString erro;               // why nothing was merged (file unreadable or a value refused)
    bool municipiosOk = false;
    QStringList ausentes;       // registry sections missing from the file (left as they are)
    QStringList falharam;       // sections whose transaction failed
    int linhasComErro = 0;      // rows the database refused
    int linhasGravadas = 0;     // rows written (new or changed)
    int linhasIguais = 0;       // rows already as in the file
    int excluidas = 0;          // local rows the file no longer lists, marked excluded
    bool completo() const { return lido && municipiosOk && falharam.isEmpty() && linhasComErro == 0; }
};

// Checks the whole file (every value of the sections this installation takes) and throws
// ErroMensagem or ErroValor with the place of the first fault. `tr` reads the local columns.
void ValidaBase(Transacao& tr, const QString& caminho, ConteudoBase conteudo);
// Merges a base file that ValidaBase accepted: municipalities, then the registry tables, each
// in its own transaction on `tr`. A section missing from the file leaves its table as it is; a
// section present without rows marks every active row of the table excluded. A provider's
// merge stops when the municipalities step fails.
ResultadoBase ImportaBase(Transacao& tr, const QString& caminho, ConteudoBase conteudo, const AvisosBase& avisos,
                          const QDateTime& agora = QDateTime::currentDateTime());

// Checks BaseGlosas.xml (throws like ValidaBase).
void ValidaGlosas(const QString& caminho);
// Reopens, in one transaction, the realizations typed before the consortium blocked them.
// Returns the number of glosas read; throws on a database error (rolled back).
int AplicaGlosas(Transacao& tr, const QString& caminho);

// "erro importacao <hhnnss>.txt" in the installation folder, holding the statement and its
// error. Returns the path (empty when it could not be written).
QString GravaErroImportacao(const QString& sql, const QString& erro, const QDateTime& agora);

} // namespace vx
