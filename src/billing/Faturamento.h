#pragma once
// Billing of a period: the production received (realized, not blocked) totalled per municipality
// or per entity, the stored billing (FAT_MUNICIPIO / FAT_ENTIDADE), the monthly fees, the
// withholdings of each consortium profile and the save with the entities' payables.
//
// The billing screen works on a grid of cell texts (decimal comma, two decimals); these functions
// fill and recompute that grid, so a test reads exactly what the clerk sees. Every computed value is
// rounded half away from zero as it is put in its cell, and later computations read the cells.
#include "core/Decimal.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>

namespace vx {

class Transacao;

enum class ModoFaturamento { Municipio, Entidade };

// Profile rules of the billing (GERAL/CONSORCIO; each word found inside the upper-cased value).
struct RegrasFaturamento {
    bool cune = false;
    bool culvar = false;
    bool cumbel = false;
    static RegrasFaturamento DoPerfil(const QString& perfil);
};

// Grid columns. Municipality: code, name, gross, SUS discount, popular discount, free
// addition/discount, net, remark.
namespace colmun {
enum : int { Codigo, Nome, Bruto, DescSus, DescPop, AcrescDesc, Liquido, Obs, Total };
}
// Entity: code, name, gross, addition/discount, the six withholdings, invoice number, remark.
namespace colent {
enum : int { Codigo, Nome, Bruto, AcrescDesc, Irrf, Cofins, Tarifa, Issqn, Pis, Csll, Nf, Obs, Total };
}

QStringList TitulosGradeFaturamento(ModoFaturamento modo);

// " FROM MARCACAO_PROCEDS MP INNER JOIN MARCACAO M ON …": production lines joined to their own copy
// of the authorization (origin, number and import stamp: every import is a row of its own).
inline const QString kDeLinhasProducao = QStringLiteral(
    " FROM MARCACAO_PROCEDS MP INNER JOIN MARCACAO M ON MP.CLI_ORIGEM=M.CLI_ORIGEM AND MP.ID_MARCACAO=M.ID_MARCACAO "
    "AND MP.DATA_IMP_ADM=M.DATA_IMP_ADM ");

// One grid row: the cell texts, as many as the mode's columns.
using LinhaGrade = QStringList;
using GradeFaturamento = QVector<LinhaGrade>;

// Gross values "#####0.00", the others "####0.00" (no thousands separator, decimal comma).
QString CelulaBruto(const Decimal& v);
QString CelulaValor(const Decimal& v);
// A cell read as a number: dots dropped, comma as the decimal point, empty = 0. Throws ErroValor
// for anything else.
Decimal ValorCelula(const QString& texto);

// The production of the period (received from inicio 00:01 to fim 23:59, realized, not blocked,
// procedure known), one row per municipality or entity, ordered by name.
struct ProducaoPeriodo {
    QString codigo;
    QString nome;
    Decimal valor, sus1, sus2, popular;
};
QVector<ProducaoPeriodo> ConsultaProducao(Transacao& tr, ModoFaturamento modo, const QDate& inicio, const QDate& fim);
// The aggregate statement itself (tests and the benchmark compare it).
QString SqlProducao(ModoFaturamento modo);
// The window of the period: inicio at 00:01, fim at 23:59.
QDateTime InicioJanela(const QDate& inicio);
QDateTime FimJanela(const QDate& fim);

// What the withholdings read of an entity.
struct DadosFiscaisEntidade {
    bool isentoIr = false;
    bool simplesNac = false;
    Decimal issqn, pis, cofins, csll; // percent
};
QHash<QString, DadosFiscaisEntidade> LeDadosFiscais(Transacao& tr);

// Where a recomputation met a cell that is not a number (row, column).
using CelulasInvalidas = QVector<QPoint>;

// "Vlr.Liq." = gross − SUS discount − popular discount + addition/discount, for every row with a
// code. Rows with a cell that is not a number are left as they are and reported.
CelulasInvalidas RecalculaLiquidos(GradeFaturamento& g);
// The withholdings of every entity row with a code, from the cells and the entity's data.
CelulasInvalidas CalculaRetencoes(GradeFaturamento& g, const QHash<QString, DadosFiscaisEntidade>& entidades,
                                  const RegrasFaturamento& regras, const QDate& fimPeriodo);

// The withholdings of one entity row for a gross and an addition/discount (already rounded to
// cents), each rounded as its cell.
struct Retencoes {
    Decimal irrf, cofins, tarifa, issqn, pis, csll;
};
Retencoes CalculaRetencao(const Decimal& bruto, const Decimal& acrescDesc, const DadosFiscaisEntidade& e,
                          const RegrasFaturamento& regras, const QDate& fimPeriodo);

// The listing of "Consultar Fatura": production rows with the stored billing, or computed afresh
// (recalcular). Runs in a fresh transaction on `tr`, committed at the end; any error rolls it back
// and propagates.
struct PedidoFatura {
    ModoFaturamento modo = ModoFaturamento::Municipio;
    QDate inicio, fim;
    bool recalcular = false;
    RegrasFaturamento regras;
};
GradeFaturamento ListaFatura(Transacao& tr, const PedidoFatura& p);

// The monthly fees of "Consultar Taxas": municipalities with VALORTAXA > 0, the fee and its
// collection letter from CLIENTES (recalcular) or the stored 'TAXA' rows.
GradeFaturamento ListaTaxas(Transacao& tr, const QDate& inicio, const QDate& fim, bool recalcular);

// Saving: the period's rows of the mode (of the type, for municipalities) are deleted and the grid
// written again; an entity's payable "FAT" + mm/yyyy is created or updated in place. One
// transaction with its audit row; nothing stays on any error (a cell that is not a number too).
struct GravacaoFatura {
    ModoFaturamento modo = ModoFaturamento::Municipio;
    bool taxas = false;            // municipality: TIPO 'TAXA' instead of 'FAT'
    QString inicio, fim;           // "dd/mm/yyyy" as typed
    QString emissao, vencimento;   // "dd/mm/yyyy"
    QDate hoje;                    // "Gerado em" date
    QDateTime agora;               // DATAPROCESSAMENTO
};
void GravaFatura(Transacao& tr, const GravacaoFatura& g, const GradeFaturamento& grade);

// The message shown when saving without both dates.
QString MensagemDatasGravacao();
// Net of a municipality row as stored: gross + addition/discount − SUS discount + consortium part
// − popular discount.
Decimal LiquidoMunicipio(const Decimal& bruto, const Decimal& acrescDesc, const Decimal& descSus,
                         const Decimal& descCune, const Decimal& descPpc);

// True when USUARIOS.PODEFATURAR of the user is 'S'.
bool PodeFaturar(Transacao& tr, const QString& usuario);

} // namespace vx
