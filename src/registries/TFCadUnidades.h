#pragma once
// Care-unit registry "Cadastro de Unidades de Atendimento" with the panel of the unit's limits.
// Only users named with "ADM" may change anything.
#include "core/widgets/TFCadastro.h"

class QGroupBox;
class QRadioButton;

namespace vx {

class TFCadUnidades : public TFCadastro {
    Q_OBJECT
public:
    explicit TFCadUnidades(QWidget* parent = nullptr);
    static TFCadUnidades* Abre();

    // "i" (new unit) or "u" (a unit loaded).
    QString modo() const { return linhaCarregada() ? QStringLiteral("u") : QStringLiteral("i"); }
    void SBCodigoClick();
    void PBtnGravarClick() override;
    void PBtnExcluirClick() override;
    void PBGravarLimiteClick();
    void PBConsultarClick();
    void PBApagarCotasClick();

    TPersonEdit* PENome() const { return m_nome; }
    QGroupBox* PainelLimites() const { return m_painel; }
    TPersonEdit* PEDataInicial() const { return m_dataInicial; }
    TPersonEdit* PEDataFinal() const { return m_dataFinal; }
    TPersonEdit* PEValor() const { return m_valor; }
    TPersonEdit* PEObs() const { return m_obs; }
    QRadioButton* RBLimiteTotal() const { return m_total; }
    QRadioButton* RBLimiteDiario() const { return m_diario; }
    TPersonBtn* PBGravarLimite() const { return m_gravarLimite; }
    TPersonBtn* PBConsultar() const { return m_consultar; }
    TPersonBtn* PBApagarCotas() const { return m_apagarCotas; }

private:
    // Refuses (message, focus on the code) a limit action without a unit code.
    bool temUnidade();

    TPersonEdit* m_nome;
    QGroupBox* m_painel;
    TPersonEdit* m_dataInicial;
    TPersonEdit* m_dataFinal;
    TPersonEdit* m_valor;
    TPersonEdit* m_obs;
    QRadioButton* m_total;
    QRadioButton* m_diario;
    TPersonBtn* m_gravarLimite;
    TPersonBtn* m_consultar;
    TPersonBtn* m_apagarCotas;
};

} // namespace vx
