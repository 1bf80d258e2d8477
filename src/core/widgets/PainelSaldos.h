#pragma once
// The balance panel of the authorization screen: authorized in the month, the month's limit and
// balance, the limit's remark (or the care unit's line), and what is scheduled for the appointment
// month. Light sky blue normally, yellow while a balance is negative.
//
//   PainelSaldos* p = new PainelSaldos(this);
//   p->mostra(CalcSaldos(dm->IBTLivre, entrada), PBtnGravar);
//   if (p->excedido()) return; // finalizing is blocked
#include "municipality/Saldos.h"

#include <QFrame>

class QLabel;

namespace vx {

class PainelSaldos : public QFrame {
    Q_OBJECT
public:
    explicit PainelSaldos(QWidget* parent = nullptr);

    // Shows `s` and applies it to `finaliza` (may be null): enabled, disabled or left alone.
    void mostra(const Saldos& s, QWidget* finaliza = nullptr);
    bool excedido() const { return m_excedido; }
    QColor cor() const;

    static QColor corNormal() { return QColor(0xA6, 0xCA, 0xF0); }
    static QColor corExcedido() { return QColor(0xFF, 0xFF, 0x00); }

    QLabel* LPeriodoAutorizado() const { return m_legendaAutorizado; }
    QLabel* LValorAutorizado() const { return m_autorizado; }
    QLabel* LValorLimite() const { return m_limite; }
    QLabel* LSaldo() const { return m_saldo; }
    QLabel* LObsLimite() const { return m_obs; }
    QLabel* LPeriodoAgendado() const { return m_legendaAgendado; }
    QLabel* LValorAgendado() const { return m_agendado; }

private:
    void pinta(const QColor& c);
    QLabel* m_legendaAutorizado;
    QLabel* m_autorizado;
    QLabel* m_limite;
    QLabel* m_saldo;
    QLabel* m_obs;
    QLabel* m_legendaAgendado;
    QLabel* m_agendado;
    bool m_excedido = false;
};

} // namespace vx
