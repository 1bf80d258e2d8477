#pragma once
// Receipts and bank slips issued to the municipalities (DOCEMISSAO): numbering per type, the
// documents of a billing period, one-off documents, annulment, and what the printed receipts
// and slips show. Registering a document makes the database refresh the municipality's
// receivable for the month (trigger DOCEMISSAO_BI0); an annulled document leaves it alone.
#include "billing/Boleto.h"
#include "core/Decimal.h"

#include <QChar>
#include <QDate>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace vx {

class Transacao;

inline constexpr QChar kRecibo = QLatin1Char('R');
inline constexpr QChar kBoleto = QLatin1Char('B');

// DOCEMISSAO.AVULSOFATURA of a billing document: 'T' monthly fee, 'F' production.
inline QChar OrigemFatura(bool taxas) { return taxas ? QLatin1Char('T') : QLatin1Char('F'); }

// Highest NUMDOC of the type + 1 (1 when none), read on `tr` as it is.
qint64 ProximoNumeroDocumento(Transacao& tr, QChar tipo);

// Who pays: the municipality alone when the reference name (slip holder or consortium) holds
// "PLOVEX"; else "Município de X/Poder Executivo" for names with "OZU"; else "Poder Executivo do
// Município de X".
QString NomePagador(const QString& referencia, const QString& municipio);
// The "aviso de empenho" form of the same rule (no PLOVEX case).
QString NomePagadorAviso(const QString& municipio);

// A billing run of documents: the period's invoices of one type.
struct CobrancaPeriodo {
    QDate inicio, fim;          // FAT_MUNICIPIO.DATAINI / DATAFIM
    bool taxas = false;         // TIPO 'TAXA' (monthly fee) instead of 'FAT'
    QDate emissao, vencimento;
    QString descTaxas;          // fee description of the billing screen
    QString municipio;          // only this municipality (individual aviso de empenho); empty = all
};

// An invoice of the run with the municipality's data.
struct FaturaCobranca {
    QString codigo, nome, boleto, cnpj, lei, endereco, endnum, bairro, cep, codContTaxa, codContProd;
    Decimal liquido, bruto, descSus, acrescDesc;
};

// Invoices of the run whose collection letter (COBRPRODUCAO or COBRTAXA) is one of `letras`
// ("RA" receipts, "BA" slips), ordered by name; `positivos`: net above 0 only.
QVector<FaturaCobranca> FaturasCobranca(Transacao& tr, const CobrancaPeriodo& c, const QString& letras, bool positivos);

// The consortium as receipts show it (GERAL keys).
struct IdentidadeConsorcio {
    QString nome, endereco, numero, cnpj, contato, cidade, uf, responsavel, cargo;
    static IdentidadeConsorcio DaConfiguracao();
    QString linhaEndereco() const; // "address, number"
};

// One standard receipt as printed.
struct Recibo {
    qint64 numero = 0;
    QString codigo;
    QString pagador;      // with " - CNPJ: "
    Decimal valor;
    QString referente;
    QString condicionado; // "Documento condicionado a quitação do Boleto nº …" or empty
    QDate emissao;
};

// "RECIBO Nº 00012".
QString TituloRecibo(qint64 numero);
// "R$ 1.234,56 (um mil ...)".
QString ValorRecibo(const Decimal& v);
// "CIDADE/UF, 5 de Março de 2026".
QString LocalDataRecibo(const IdentidadeConsorcio& id, const QDate& emissao);

// The billing receipts of the run (collection 'R' or 'A', net above 0), by name. A municipality
// that already has a receipt of that emission date and origin prints its registered number; the
// others the next free numbers in this order, as the save gives them.
QVector<Recibo> RecibosFatura(Transacao& tr, const CobrancaPeriodo& c, const IdentidadeConsorcio& id);
// Registers them: new receipts numbered in the same order, existing ones updated in place
// (due date, value, description). One transaction with its audit row; returns how many.
int GravaRecibosFatura(Transacao& tr, const CobrancaPeriodo& c);

// One "aviso de empenho" receipt (profiles CUMBEL and CULVAR).
struct AvisoEmpenho {
    QString codigo;
    QString pagador;
    QString lei;
    Decimal liquido;
    QVector<QPair<QString, Decimal>> demonstrativo;
    QDate emissao;
};
// "R$ 1.234,56 (…)" or, below 0, the fixed text of a month with nothing to pay.
QString ValorAviso(const Decimal& v);
// The statement line: label left-justified in 30 characters, " R$ " and the amount.
QString LinhaDemonstrativo(const QString& rotulo, const Decimal& v);
// The avisos of the run (collection 'R' or 'A', negative nets included), by name.
QVector<AvisoEmpenho> AvisosFatura(Transacao& tr, const CobrancaPeriodo& c, const QString& perfil);
// The deposit box: the day line and the account lines of the profile (GERAL/DEPOSITO1..3 when set).
QStringList InstrucoesDeposito(const QString& perfil);
QString NotaAviso();

// The slips of the run (collection 'B' or 'A', net above 0), by name, numbered from `primeiro`.
struct LoteBoletos {
    qint64 primeiro = 0;
    QVector<Boleto> boletos;
    QVector<QString> municipios;  // code of each slip
    QVector<QString> descricoes;  // DOCEMISSAO.DESCRICAO of each slip
};
LoteBoletos BoletosFatura(Transacao& tr, const CobrancaPeriodo& c, const CedenteBoleto& conta);
// Registers the slips of the lot as new documents. Refuses (nothing written) when another
// workstation took those numbers since the lot was made, so paper and register always agree.
void GravaBoletosFatura(Transacao& tr, const CobrancaPeriodo& c, const LoteBoletos& lote);
// The account of the run: TAXA='S' for fees, PRODUCAO='S' for production (first row).
std::optional<CedenteBoleto> ContaDaCobranca(Transacao& tr, bool taxas);
// The slip of one municipality (CLIENTES row read by code): payer by the name rule in capitals
// (+ " (code)" when given), species, acceptance, numbers and messages.
Boleto MontaBoleto(const CedenteBoleto& conta, const FaturaCobranca& m, qint64 numero, const QDate& emissao,
                   const QDate& vencimento, const QDate& processamento, const Decimal& valor,
                   const QStringList& mensagens, const QString& codigoContabil = {});

// One DOCEMISSAO row.
struct DocumentoEmissao {
    QChar tipo = kRecibo;
    qint64 numero = 0;
    QChar origem = QLatin1Char('A');
    QString municipio;
    QDate emissao, vencimento;
    Decimal valor;
    QString descricao;
    QDate exclusao;
};
std::optional<DocumentoEmissao> LeDocumento(Transacao& tr, QChar tipo, qint64 numero);
// A one-off document saved ("update or insert"); a new one gets origin 'A'. Audit row included.
void GravaDocumentoAvulso(Transacao& tr, const DocumentoEmissao& d);
// Annulment: DATAEXCLUSAO = the working date; the row stays.
void AnulaDocumento(Transacao& tr, QChar tipo, qint64 numero, const QDate& dataAtual);
// The printed receipt of a one-off document.
Recibo ReciboAvulso(Transacao& tr, qint64 numero, const IdentidadeConsorcio& id);
// The slip of a one-off document with the given account.
Boleto BoletoAvulso(Transacao& tr, const DocumentoEmissao& d, const CedenteBoleto& conta, const QDate& dataAtual);

// Bank accounts for the one-off screen: (ID_CONTA, TITULO) by id.
QVector<QPair<int, QString>> ContasBoletos(Transacao& tr);

// The issued-documents report: period and which types ('B', 'R' or both when null).
QString SqlRelatorioDocumentos(QChar tipo);

} // namespace vx
