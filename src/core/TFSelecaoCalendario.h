#pragma once
// "Seleção de Calendário": picks the current billing calendar. Modal; stays open after
// "Confirmar" (the main window reloads the calendar once it is closed).
#include "core/Utilitarios.h"
#include "core/widgets/TFBase.h"

class QComboBox;
class QPushButton;

namespace vx {

class TFSelecaoCalendario : public TFBase {
    Q_OBJECT
public:
    explicit TFSelecaoCalendario(QWidget* parent = nullptr);
    static void Abre();

    void PBtnConfirmarClick();
    QComboBox* CBCalendario() const { return m_lista; }

private:
    QComboBox* m_lista;
    QVector<ItemCalendario> m_itens;
};

} // namespace vx
