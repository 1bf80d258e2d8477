#pragma once
// "Relatório de Procedimentos": the active procedures of one group or of all.
#include "reports/TFFiltroRelatorio.h"

class QLabel;
class QToolButton;

namespace vx {

class TFFilRelCadProcedimentos : public TFFiltroRelatorio {
    Q_OBJECT
public:
    explicit TFFilRelCadProcedimentos(QWidget* parent = nullptr);
    static TFFilRelCadProcedimentos* Abre();

    TPersonEdit* PECodGrupo;
    QToolButton* SBCodGrupo;
    QLabel* LNomeGrupo;

protected:
    std::shared_ptr<rel::Documento> gera(Transacao& tr) override;
    QString tituloPreview() const override;
};

} // namespace vx
