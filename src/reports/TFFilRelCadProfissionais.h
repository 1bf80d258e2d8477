#pragma once
// "Relatório do Cadastro de Profissionais": entities and their professionals, of one entity or
// all; in an entity or professional installation the entity is fixed.
#include "reports/TFFiltroRelatorio.h"
#include "reports/TRCadProfissionais.h"

class QCheckBox;
class QLabel;
class QRadioButton;
class QToolButton;

namespace vx {

class TFFilRelCadProfissionais : public TFFiltroRelatorio {
    Q_OBJECT
public:
    explicit TFFilRelCadProfissionais(QWidget* parent = nullptr);
    static TFFilRelCadProfissionais* Abre();
    FiltroCadProfissionais filtro() const;

    TPersonEdit* PECodEntidade;
    QToolButton* SBCodEntidade;
    QLabel* LNomeEntidade;
    QRadioButton* RBCodigo;
    QRadioButton* RBNome;
    QCheckBox* CBExibirProcedimentos;
    QCheckBox* CBExibirExcluidos;
    QCheckBox* CBExibirOcultos;

protected:
    std::shared_ptr<rel::Documento> gera(Transacao& tr) override;
    QString tituloPreview() const override;

private:
    bool m_entidadeFixa = false;
};

} // namespace vx
