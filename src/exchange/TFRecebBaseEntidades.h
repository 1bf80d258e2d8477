#pragma once
// "Recepção de Bases Cadastrais" of an entity or professional: the base, the blocks and the
// authorizations addressed to it (see RecepcaoBase.h). Modal; opened at start-up on weekdays and
// from the menu, it runs by itself a second after opening when the day's reception is not done.
#include "core/widgets/TelaExecucao.h"
#include "exchange/RecepcaoBase.h"

#include <memory>

namespace vx {

class LogErros;

class TFRecebBaseEntidades : public TelaExecucao {
    Q_OBJECT
public:
    explicit TFRecebBaseEntidades(QWidget* parent = nullptr);
    ~TFRecebBaseEntidades() override;
    // Shown modally; returns when it is closed.
    static void AbreModal();

    void PBtnGravarClick();
    const ResultadoRecepcaoBase& resultado() const { return m_resultado; }
    const LogErros& erros() const { return *m_erros; }
    // Delay of the automatic run (1 s; tests set 0).
    static void DefineEsperaInicio(int ms);

protected:
    void aoMostrar() override;

private:
    std::unique_ptr<LogErros> m_erros;
    ResultadoRecepcaoBase m_resultado;
};

} // namespace vx
