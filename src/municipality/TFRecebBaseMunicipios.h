#pragma once
// "Recepção de Bases Cadastrais" of a municipality: downloads BaseCUNE.xml and merges it (see
// RecepcaoBase.h). Opened at start-up on weekdays and from the menu; when the working date is
// later than the last completed reception the run starts by itself, and a completed run closes
// the screen after a short wait.
#include "core/widgets/TelaExecucao.h"
#include "exchange/RecepcaoBase.h"

namespace vx {

class TFRecebBaseMunicipios : public TelaExecucao {
    Q_OBJECT
public:
    explicit TFRecebBaseMunicipios(QWidget* parent = nullptr);
    static TFRecebBaseMunicipios* Abre();

    void PBtnGravarClick();
    QLabel* LInstalacao() const { return m_instalacao; }
    const ResultadoRecepcaoBase& resultado() const { return m_resultado; }

protected:
    void aoMostrar() override;

private:
    QLabel* m_instalacao;
    ResultadoRecepcaoBase m_resultado;
};

} // namespace vx
