#pragma once
// Shared helpers: SQL literals (the only way values enter SQL text), numbers and texts, dates,
// amounts in words, the installation's display name, files. No widgets here.
#include "core/Decimal.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace vx {

// A value that is not what the helper accepts (not a number, unsafe for SQL...).
// what() holds the message in UTF-8; texto() as QString.
class ErroValor : public std::runtime_error {
public:
    explicit ErroValor(const QString& texto);
    QString texto() const { return m_texto; }

private:
    QString m_texto;
};

// The text of an error as the error box shows it: ErroBanco::texto() (the server's message),
// ErroValor::texto(), else what() read as UTF-8.
QString TextoErro(const std::exception& e);
// Shows that text through MostraErro.
void MostraExcecao(const std::exception& e, const QString& titulo = QStringLiteral("Erro"));

// ---- SQL literals ----
// 'text' with quotes doubled; "null" only for exactly the empty date mask "  /  /    ".
QString SqlTexto(const QString& texto);
// 'text' as it reaches the database: mapped to Windows-1252 first (where look-alikes such as
// U+FF07 or U+2032 become a real quote), then every quote doubled. Never "null". Every quoted
// literal pasted into SQL text is built here.
QString SqlLiteralTexto(const QString& texto);
// Trimmed optional sign and digits; empty or "0" → "null"; anything else throws ErroValor.
QString SqlInteiro(const QString& texto);
QString SqlInteiro(qint64 valor);
// Brazilian decimal ("1.234,56") → "1234.56"; empty → "0"; only digits, "." thousand separators,
// one "," and a leading sign are accepted, else ErroValor.
QString SqlDecimal(const QString& texto);
QString SqlDecimal(const Decimal& valor);
// "dd/mm/yyyy" → 'MM/dd/yyyy'; longer texts as date-time → 'MM/dd/yyyy hh:mm' (seconds dropped);
// empty or starting with "  /  /    " → "null". An unreadable date throws ErroValor.
QString SqlData(const QString& texto);
QString SqlData(const QDate& data);   // invalid → "null"

// ---- numbers and texts ----
// Number left-padded with zeros to `largura`; a longer number is returned whole. Empty counts as
// "0"; a non-numeric text throws ErroValor.
QString ZerosEsquerda(const QString& numero, int largura);
QString ZerosEsquerda(qint64 numero, int largura);
// Cut to `largura` characters or padded on the right with blanks.
QString AjustaTexto(const QString& texto, int largura);
// Brazilian decimal text → Decimal (empty → 0); same accepted forms as SqlDecimal.
Decimal DecimalTexto(const QString& texto);
QString SubstituiCaractere(const QString& texto, QChar c, QChar r);

// Money/number formatting with Brazilian separators (dot thousands, decimal comma), masks in the
// usual form: "###,##0.00" → "1.234,56"; "#####0.00" → "1234,56"; "###########0.00########" →
// at least two decimals, more only when the value has them. Rounds half away from zero.
QString FormataValor(const Decimal& valor, const QString& mascara = QStringLiteral("###,##0.00"));
// "1.234,56" (the most common mask).
QString FormataMoeda(const Decimal& valor);

// ---- dates ----
int Dia(const QDate& d);
int Mes(const QDate& d);
QString Ano(const QDate& d);
// True for a non-empty text of the digits 0-9 only.
bool SoDigitos(const QString& texto);
// The digits of a text, in order.
QString Digitos(const QString& texto);
// Every line of a text file's bytes, LF or CR LF (the CR dropped), with its 1-based number; blank
// lines included.
void PercorreLinhas(const QByteArray& dados, const std::function<void(int numero, const char* inicio, qsizetype tamanho)>& f);
// The text as names are compared: letters without accents, upper case, blanks trimmed and runs
// of blanks made one ("José  da Conceição " → "JOSE DA CONCEICAO").
QString SemAcentos(const QString& texto);
// CPF check digits; digits with or without the mask's "." and "-"; repeated digits refused.
bool CpfValido(const QString& cpf);
QString NomeMes(int mes);           // 1..12 → "Janeiro".."Dezembro"; other → ""
QString DataExtenso(const QDate& d); // "5 de Março de 2015"
// Whole years from `nascimento` to `hoje` (default: today's date of the local clock).
int IdadeAnos(const QDate& nascimento, const QDate& hoje = QDate());
// A year typed with one or two digits, in the hundred years from 50 years before the current year
// (`anoAtual`, default the local clock's): 85 → 1985, 16 → 2016 in 2026. Other years unchanged.
int AnoCompleto(int ano, int digitos, int anoAtual = 0);
// Reads "dd/mm/yyyy" (invalid QDate when not a date).
QDate LeData(const QString& texto);
QString TextoData(const QDate& d);   // "dd/mm/yyyy"

// ---- amount in words ----
// Non-negative amount below one trillion, two decimals: "cento e vinte e um reais".
// Negative or too large amounts throw ErroValor.
QString ValorExtenso(const Decimal& valor);

// ---- installation ----
// "Município de <name>", "Entidade: <razão social>", "Profissional: <name>" or the consortium's
// identity, from GERAL/USUARIO; names read on the free query of DMCUNE() (empty when not found).
QString NomeInstalacao();
// Same, for the given identity (the role letter and the code of characters 2 to 8).
QString NomeInstalacao(const QString& usuario);

// ---- files ----
// Names (without folder) of the ordinary files matching a wildcard path ("/pasta/M*.xml"),
// the mask compared without regard to case, sorted by name case-insensitively.
QStringList ListaArquivos(const QString& caminhoComMascara);
// Inflates the zlib stream `origem` into `destino`. False (and no destination file left) when the
// source is missing or the stream is damaged or does not end properly.
bool DescompactaArquivo(const QString& origem, const QString& destino);
// Deflates `origem` into the zlib stream `destino` at the highest compression. `vivo` (may be
// empty) runs now and then. False (and no destination file left) on any read or write failure.
bool CompactaArquivo(const QString& origem, const QString& destino, const std::function<void()>& vivo = {});

} // namespace vx
