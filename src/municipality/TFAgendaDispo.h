#pragma once
// "Configuração de Agenda Médica": places, starting time and remark of a professional's day.
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"

class QCalendarWidget;
class QLabel;
class QToolButton;

namespace vx {

class TPersonBtn;
class TPersonEdit;

class TFAgendaDispo : public TFBase {
    Q_OBJECT
public:
    explicit TFAgendaDispo(QWidget* parent = nullptr);

    // The one non-modal instance (menu item).
    static TFAgendaDispo* Abre();
    // Opens the screen modally on professional `profissional` (empty: none) and returns when it
    // is closed.
    static void AbreModal(const QString& profissional, QWidget* pai = nullptr);

    void PECodProfissionalExit();
    void SBCodProfissionalClick();
    void PEDataExit();
    // The day chosen on the calendar (click or arrows).
    void CalendarioMudou();
    // Empties places, time and remark and fills them from the day's row, when there is one.
    void CarregaDia();
    void PBtnGravarClick();

    TPersonEdit* PECodProfissional() const { return m_profissional; }
    QToolButton* SBCodProfissional() const { return m_sbProfissional; }
    QLabel* LProfissional() const { return m_lProfissional; }
    TPersonEdit* PEData() const { return m_data; }
    QCalendarWidget* Calendario() const { return m_calendario; }
    TPersonEdit* PEQuantDispo() const { return m_quant; }
    TPersonEdit* PEHoraInicio() const { return m_hora; }
    TPersonEdit* PEObs() const { return m_obs; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }

private:
    void defineProfissional(const QString& codigo);
    void mostraData(const QDate& d);

    Formulario m_form{this};
    TPersonEdit* m_profissional;
    QToolButton* m_sbProfissional;
    QLabel* m_lProfissional;
    TPersonEdit* m_data;
    QCalendarWidget* m_calendario;
    TPersonEdit* m_quant;
    TPersonEdit* m_hora;
    TPersonEdit* m_obs;
    TPersonBtn* m_gravar;
};

} // namespace vx
