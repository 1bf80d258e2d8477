#pragma once
// What the two income-tax statements read of the stored billing.
//
// IRRF by municipality: every municipality billed ('FAT') with exactly the period's dates, its
// net value and the entities whose production (received from inicio 00:00 to fim 00:00, realized,
// not blocked) it used, each with 1,5 % of that production as its withheld tax when the entity's
// billing of the period withheld any ("0,00" when it withheld nothing, empty without a billing
// row).
//
// DIRF by entity: every entity with billing periods ending in the interval, one line per period.
#include "core/Decimal.h"

#include <QDate>
#include <QString>
#include <QVector>

#include <optional>

namespace vx {

class Transacao;

struct EntidadeIrrf {
    std::optional<qint64> codigo; // null when the production has no entity
    QString razaoSocial;
    Decimal valor;                // production for the municipality
    QString irrf;                 // the "IRRF" cell
    Decimal valorIrrf;            // what the cell adds to the total
};

struct MunicipioIrrf {
    QString codigo;
    QString nome;
    std::optional<Decimal> liquido; // null when a part of the billing row is null
    QVector<EntidadeIrrf> entidades;
    Decimal totalIrrf;
};

struct MesDirf {
    QString mes; // "mm/yyyy" of the period's end
    Decimal bruto, irrf;
};

struct EntidadeDirf {
    qint64 codigo = 0;
    QString razaoSocial, nomeFantasia, cnpj;
    QVector<MesDirf> meses;
    Decimal totalBruto, totalIrrf;
    // "<razão social> - <nome fantasia>".
    QString titulo() const { return razaoSocial + QStringLiteral(" - ") + nomeFantasia; }
};

// The "IRRF" cell of an entity's production `valor`: `irrfFaturado` is the IRRF of its billing row
// for the period (nullopt: no row).
EntidadeIrrf CelulaIrrf(const std::optional<Decimal>& irrfFaturado, const Decimal& valor);

// "Período: dd/mm/yyyy e dd/mm/yyyy".
QString LinhaPeriodoIrrf(const QDate& inicio, const QDate& fim);

// Both throw ErroValor when a date is invalid.
QVector<MunicipioIrrf> DadosIrrf(Transacao& tr, const QDate& inicio, const QDate& fim);
QVector<EntidadeDirf> DadosDirf(Transacao& tr, const QDate& inicio, const QDate& fim);

} // namespace vx
