#pragma once
// "Envio de Bases Cadastrais": the consortium writes BaseCUNE.xml and BaseGlosas.xml and puts
// both on the server (see RecepcaoBase.h).
#include "core/widgets/TelaExecucao.h"
#include "exchange/RecepcaoBase.h"

namespace vx {

class TFEnvioBaseCUNE : public TelaExecucao {
    Q_OBJECT
public:
    explicit TFEnvioBaseCUNE(QWidget* parent = nullptr);
    static TFEnvioBaseCUNE* Abre();

    void PBtnGravarClick();
    const ResultadoEnvioBase& resultado() const { return m_resultado; }

private:
    ResultadoEnvioBase m_resultado;
};

} // namespace vx
