#pragma once
// The billing grid exported as a spreadsheet: an .xlsx file written with libxlsxwriter and opened
// with the desktop's default application.
#include "core/Decimal.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace vx {

// Excel number formats: the values of the rows, and the two formats of the totals row.
inline constexpr const char* kFormatoValor = "#,##0.00";
inline constexpr const char* kFormatoTotalPrincipal = "#,###,##0.00"; // gross and net
inline constexpr const char* kFormatoTotal = "###,##0.00";

struct CelulaPlanilha {
    enum class Tipo { Vazia, Texto, Numero };
    Tipo tipo = Tipo::Vazia;
    QString texto;
    Decimal numero;
    QString formato; // number format of a number

    static CelulaPlanilha vazia() { return {}; }
    // An empty text gives an empty cell.
    static CelulaPlanilha deTexto(const QString& texto);
    static CelulaPlanilha deNumero(const Decimal& valor, const QString& formato = QString::fromLatin1(kFormatoValor));
};

using LinhaPlanilha = QVector<CelulaPlanilha>;

// One sheet: rows of cells, written from A1 on; the columns are sized to their longest content.
struct Planilha {
    QString nome = QStringLiteral("Planilha1");
    QVector<LinhaPlanilha> linhas;
};

// Writes the workbook (a file already there is replaced only when the new one is complete).
// False with the library's error text in *erro when it could not be written.
bool GravaPlanilha(const QString& arquivo, const Planilha& p, QString* erro);

// The municipality grid as shown: the titles in the first row, every cell in its own row and column.
// Cells of the columns in `colunasValor` that read as Brazilian decimals ("1.234,56", "-0,50") become
// numbers; everything else (codes such as "4314902" included) stays text.
Planilha PlanilhaMunicipios(const QStringList& titulos, const QVector<QStringList>& celulas,
                            const QList<int>& colunasValor);

// One entity of the billing grid. Subtotal and net are computed from the values.
struct LinhaExportEntidade {
    QString codigo, razaoSocial, codContabil, banco, infoBanc;
    Decimal bruto, acrescDesc, irrf, cofins, tarifa, issqn, pis, csll;
    QString isentoIr, simplesNac, nf, municipios, obs, email;
};

inline constexpr int kColunasExportEntidades = 22;
// The titles of the exportable entity columns, in sheet order (also the check boxes' captions).
QStringList TitulosExportEntidades();

// Titles of the ticked columns, one row per entity and, when a totalled column (gross, addition/
// discount, the six withholdings, net) is ticked, a totals row with those totals and nothing else.
// `marcadas` holds one flag per column of TitulosExportEntidades(); a missing flag is unticked.
// Nothing ticked gives an empty sheet.
Planilha PlanilhaEntidades(const QVector<LinhaExportEntidade>& linhas, const QVector<bool>& marcadas);

// Opens the file in the desktop's spreadsheet application; false when it could not be started.
bool AbrePlanilha(const QString& arquivo);

// The opening step; an empty member runs xdg-open detached.
struct AcoesPlanilha {
    std::function<bool(const QString& arquivo)> abre;
};
void DefineAcoesPlanilha(const AcoesPlanilha& acoes);

// "planilhas" under the installation folder, created when missing.
QString PastaPlanilhas();
// "Faturamento Entidades 01-03-2026 a 31-03-2026.xlsx"; characters a file name cannot hold become "-".
QString NomeArquivoPlanilha(const QString& assunto, const QDate& inicio, const QDate& fim);
// That name in PastaPlanilhas().
QString CaminhoPlanilha(const QString& assunto, const QDate& inicio, const QDate& fim);

// Messages of the export (shown with the title "Erro").
QString MensagemFalhaAberturaPlanilha();
QString MensagemErroPlanilha(const QString& erro);

// Writes and opens the file; a failure is shown through MostraErro and gives false.
bool ExportaPlanilha(const QString& arquivo, const Planilha& p);

} // namespace vx
