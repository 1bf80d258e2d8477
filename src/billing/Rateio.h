#pragma once
// Funding sources spread over the production: the consumption of the municipalities' credits
// (SUS1, SUS2, POPULAR) line by line after each reception, and the apportionment of a SUS
// transfer base among the municipalities of a billing period (their invoices' SUS discount).
#include "core/Cadastro.h"
#include "core/Decimal.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <optional>

namespace vx {

class Transacao;

// ---- credit consumption ----

// What one production line may draw: v from each SUS source, w from POPULAR, t its value.
struct LinhaConsumo {
    Decimal valorSus;     // PROCEDIMENTOS.VALORSUS (null = 0)
    Decimal valorPopular; // PROCEDIMENTOS.VALORPOPULAR (null = 0)
    Decimal total;        // MARCACAO_PROCEDS.VALORTOTAL (null = 0)
};
struct SaldosCreditos {
    Decimal sus1, sus2, popular;
};
struct ConsumoLinha {
    Decimal sus1, sus2, popular;
};
// Draws one line from the balances (updated in place): SUS1 when v fits its balance (the line's
// value is not compared), SUS2 when v fits its balance and what the line already drew plus v
// stays within its value, POPULAR likewise with w.
ConsumoLinha ConsomeLinha(SaldosCreditos& saldos, const LinhaConsumo& linha);

struct ResumoConsumo {
    int municipios = 0;
    int linhas = 0;     // lines of the period
    int alteradas = 0;  // lines whose values changed (the others are not written again)
};
// Rewrites VALORSUS1/VALORSUS2/VALORPOPULAR of every realized, unblocked line received from
// inicio 00:00 to fim 23:59, municipality by municipality, in the order the lines arrived, from
// the credits dated up to fim less what the lines received before inicio drew. Runs on `tr`
// without committing; repeatable.
ResumoConsumo ConsomeCreditos(Transacao& tr, const QDate& inicio, const QDate& fim);
// The same over the billing calendar selected in CALENDARIOS; refused (ErroValor) without one.
ResumoConsumo ConsomeCreditos(Transacao& tr);

// ---- transfer bases ----

struct BaseRateio {
    qint64 id = 0;
    QString descricao;
    Decimal total;
    QDate inicio, fim; // reference period whose billing gives the weights
};
// "select * from rateiosus where idrateio=" id; nullopt for an empty or "0" id or no row.
std::optional<BaseRateio> LeBaseRateio(Transacao& tr, const QString& id);

struct DadosBaseRateio {
    QString descricao, inicio, fim, total, obs; // as typed
};
// Saves a base: a new one (highest + 1) when `id` is empty, else the base `id`. Audit "RateioSUS",
// "I" or "U", details id-description-total as typed.
RegistroLog GravaBaseRateio(Transacao& tr, const QString& id, const DadosBaseRateio& d);
// Deletes a base and its shares; refused while invoices point to it.
RegistroLog ExcluiBaseRateio(Transacao& tr, const QString& id, const DadosBaseRateio& d);

// ---- application to a billing period ----

// One municipality's share: the indexes (percent of the total) and the two parts.
struct ParteRateio {
    QString codigo;
    Decimal indiceFixo, indiceVariavel; // 5 decimals
    Decimal valorFixo, valorVariavel;   // cents, each rounded half away from zero on its own
    Decimal valor() const { return valorFixo + valorVariavel; }
};
// Default profiles: all variable, weight = the municipality's gross billed in the reference
// period over the total gross G. Refused (ErroValor) when G is 0.
ParteRateio ParteFaturamento(const QString& codigo, const Decimal& total, const Decimal& bruto, const Decimal& brutoTotal);
// CUMBEL: the fixed index 50/29 and half of the municipality's share of the population.
inline const Decimal kIndiceFixoCumbel(Q_INT64_C(17241379310344827), 16);
ParteRateio ParteCumbel(const QString& codigo, const Decimal& total, const Decimal& populacao, const Decimal& populacaoTotal);

struct LinhaAplicacao {
    QString codigo;
    QString bruto; // the grid's "Vlr.Bruto" cell
};
struct PedidoAplicacao {
    BaseRateio base;
    QDate inicio, fim;          // the billing period on the billing screen
    bool cumbel = false;
    QString usuario;
    QDateTime agora;
};
// Writes each listed municipality's share (RATEIOSUSDET) and its invoice's SUS discount and base
// (FAT_MUNICIPIO 'FAT'), in one transaction; any failure leaves nothing written. Returns the shares.
QVector<ParteRateio> AplicaRateio(Transacao& tr, const PedidoAplicacao& p, const QVector<LinhaAplicacao>& linhas);

} // namespace vx
