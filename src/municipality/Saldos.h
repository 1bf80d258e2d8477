#pragma once
// Balances of the authorization screen: what the municipality authorized in the month against its
// limit (CLILIMITES), what is scheduled for the appointment month and what the user's care unit
// spent against its limit (LIMITESUNIDADES). Blocked and cancelled authorizations never count.
#include "core/Decimal.h"

#include <QDate>
#include <QString>

#include <optional>

namespace vx {

class Transacao;

// The month of a date: first and last day and its key "mm-yyyy".
struct PeriodoMes {
    QDate inicio, fim;
    QString chave;
};
PeriodoMes PeriodoDoMes(const QDate& d);
// Last day of the month of `d`.
QDate UltimoDiaMes(const QDate& d);

// Sum of VALORTOTAL of the municipality's authorization procedures whose authorization date
// (DATALANC) or, with `porAgendamento`, appointment date (DATAMARC) lies in [de, ate]; only the
// authorizations of `unidade` when given. Blocked ones are left out; nothing matching gives 0.
Decimal SomaAutorizada(Transacao& tr, const QString& municipio, const QDate& de, const QDate& ate,
                       bool porAgendamento = false, std::optional<qint64> unidade = std::nullopt);

struct EntradaSaldos {
    QString municipio;              // IBGE code of the installation
    QDate dataLanc;                 // authorization (working) date
    QDate dataMarc;                 // appointment date; invalid when not given
    std::optional<qint64> unidade;  // the user's care unit
    bool impressaoConcluida = true; // no authorization printout is being shown
    bool municipioConfigurado = true;
};

// What the balance panel shows, and what it does to the finalize button.
struct Saldos {
    QString legendaAutorizado;  // "Valor já autorizado no período dd/mm/yyyy a dd/mm/yyyy: R$ "
    Decimal autorizado;
    Decimal limite;             // 0: no limit for the month
    QString obsLimite;          // the limit's remark
    std::optional<Decimal> saldo; // limit − authorized, only when there is a limit
    QString legendaAgendado;    // empty without an appointment date
    std::optional<Decimal> agendado;
    // The unit line ("REF. UNIDADE:   GASTO: R$ …"); with a unit it takes the remark's place.
    QString linhaUnidade;
    bool excedido = false;      // a balance turned negative: the panel is yellow
    enum class Finaliza { Manter, Habilitar, Desabilitar } finaliza = Finaliza::Manter;

    // Texts of the labels: amounts as "#####0.00".
    QString textoAutorizado() const;
    QString textoLimite() const;
    QString textoSaldo() const;   // empty without a limit
    QString textoAgendado() const; // empty without an appointment date
    QString textoObs() const;     // the unit line when there is one, else the limit's remark
};

// Reads the balances on `tr` (a read started here is rolled back). Over the limit, or while the
// municipality is not configured, the finalize button is disabled; otherwise it is enabled once
// the printout is over, and left alone while it is shown.
Saldos CalcSaldos(Transacao& tr, const EntradaSaldos& e);

} // namespace vx
