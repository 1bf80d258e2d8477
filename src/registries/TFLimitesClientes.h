#pragma once
// "Limites Financeiros": the limit of one municipality for a month ("MM-YYYY"), raised or lowered
// by an amount with its justification; every change is journalled.
#include "core/Decimal.h"
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"

class QLabel;

namespace vx {

class TPersonBtn;

class TFLimitesClientes : public TFBase {
    Q_OBJECT
public:
    explicit TFLimitesClientes(QWidget* parent = nullptr);
    // Shows the one instance for the municipality `codigo` (cleared).
    static TFLimitesClientes* Abre(const QString& codigo, const QString& nome);
    void defineMunicipio(const QString& codigo, const QString& nome);

    void PEPeriodoExit();
    void PEAcrescentarExit();
    void PBtnGravarClick();
    void PBConsultarClick();
    void LimpaCampos();

    QString codigo() const { return m_codigo; }
    QLabel* LMunicipio() const { return m_municipio; }
    TPersonEdit* PEPeriodo() const { return m_periodo; }
    TPersonEdit* PEValor() const { return m_valor; }
    TPersonEdit* PEObs() const { return m_obs; }
    TPersonEdit* PEAcrescentar() const { return m_acrescentar; }
    TPersonEdit* PEJustificativa() const { return m_justificativa; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    TPersonBtn* PBConsultar() const { return m_consultar; }
    // The limit read for the typed month (0 when cleared).
    Decimal LValorGravado() const { return m_valorGravado; }

private:
    Formulario m_form{this};
    QString m_codigo, m_nome;
    Decimal m_valorGravado = Decimal::cents(0);
    QLabel* m_municipio;
    TPersonEdit* m_periodo;
    TPersonEdit* m_valor;
    TPersonEdit* m_obs;
    TPersonEdit* m_acrescentar;
    TPersonEdit* m_justificativa;
    TPersonBtn* m_gravar;
    TPersonBtn* m_consultar;
};

} // namespace vx
