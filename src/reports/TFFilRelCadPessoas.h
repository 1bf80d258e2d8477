#pragma once
// "Relatório do Cadastro de Pessoas": the patient listing by code or by name.
#include "reports/TFFiltroRelatorio.h"

class QRadioButton;

namespace vx {

class TFFilRelCadPessoas : public TFFiltroRelatorio {
    Q_OBJECT
public:
    explicit TFFilRelCadPessoas(QWidget* parent = nullptr);
    static TFFilRelCadPessoas* Abre();

    QRadioButton* RBCodigo;
    QRadioButton* RBNome;

protected:
    std::shared_ptr<rel::Documento> gera(Transacao& tr) override;
    QString tituloPreview() const override;
};

} // namespace vx
