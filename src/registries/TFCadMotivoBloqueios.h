#pragma once
// Block-reason registry "Tabela de Motivos para Bloqueio de Autorizações".
#include "core/widgets/TFCadastro.h"

namespace vx {

class TFCadMotivoBloqueios : public TFCadastro {
    Q_OBJECT
public:
    explicit TFCadMotivoBloqueios(QWidget* parent = nullptr);
    static TFCadMotivoBloqueios* Abre();

    // "i" (new reason) or "u" (a reason loaded).
    QString modo() const { return linhaCarregada() ? QStringLiteral("u") : QStringLiteral("i"); }
    void SBCodigoClick();
    void PBtnGravarClick() override;
    void PBtnExcluirClick() override;

    TPersonEdit* PEDescricao() const { return m_descricao; }

private:
    TPersonEdit* m_descricao;
};

} // namespace vx
