#pragma once
// Procedure registry "Cadastro de Procedimentos", with the procedure groups panel and the price
// adjustment panel.
#include "core/widgets/TFCadastro.h"

#include <memory>

class QGroupBox;

namespace vx {

class GradeConsulta;

class TFCadProcedimentos : public TFCadastro {
    Q_OBJECT
public:
    explicit TFCadProcedimentos(QWidget* parent = nullptr);
    ~TFCadProcedimentos() override;
    static TFCadProcedimentos* Abre();

    void SBCodigoClick();
    void PECodTabSUSExit();
    void PBtnGravarClick() override;
    void PBtnExcluirClick() override;
    void CBGruposClick();
    void CBReajusteClick();
    void PBCadGrupoInserirClick();
    void PBCadGrupoExcluirClick();
    void PBAplicarReajusteClick();

    TPersonEdit* PENome() const { return m_nome; }
    TPersonEdit* PECodGrupo() const { return m_codGrupo; }
    QCheckBox* CBAPAC() const { return m_apac; }
    TPersonEdit* PECBO() const { return m_cbo; }
    TPersonEdit* PEQuantMax() const { return m_quantMax; }
    TPersonEdit* PEValor() const { return m_valor; }
    TPersonEdit* PEValorSUS() const { return m_valorSus; }
    TPersonEdit* PEValorPopular() const { return m_valorPopular; }
    TPersonEdit* PERegistro() const { return m_registro; }
    TPersonEdit* PECodTabSUS() const { return m_codTabSus; }
    QLabel* LGrupo() const;
    QLabel* LCBO() const;

    QCheckBox* CBGrupos() const { return m_cbGrupos; }
    QGroupBox* PainelGrupos() const { return m_painelGrupos; }
    TPersonEdit* PECadGrupoCodigo() const { return m_grupoCodigo; }
    TPersonEdit* PECadGrupoNome() const { return m_grupoNome; }
    TPersonEdit* PECadGrupoCobr() const { return m_grupoCobr; }
    TPersonBtn* PBCadGrupoInserir() const { return m_grupoGravar; }
    TPersonBtn* PBCadGrupoExcluir() const { return m_grupoExcluir; }
    GradeConsulta* GradeGrupos() const { return m_grade; }

    QCheckBox* CBReajuste() const { return m_cbReajuste; }
    QGroupBox* PainelReajuste() const { return m_painelReajuste; }
    TPersonEdit* PEIndiceReajuste() const { return m_indice; }
    TPersonEdit* PEGrupoReajuste() const { return m_grupoReajuste; }
    TPersonBtn* PBAplicarReajuste() const { return m_aplicar; }

protected:
    void limpaExtra() override;

private:
    void carregaGrupos();
    void copiaGrupo();
    void limpaGrupo();

    TPersonEdit* m_nome;
    TPersonEdit* m_codGrupo;
    QCheckBox* m_apac;
    TPersonEdit* m_cbo;
    TPersonEdit* m_quantMax;
    TPersonEdit* m_valor;
    TPersonEdit* m_valorSus;
    TPersonEdit* m_valorPopular;
    TPersonEdit* m_registro;
    TPersonEdit* m_codTabSus;
    QCheckBox* m_cbGrupos;
    QCheckBox* m_cbReajuste;
    QGroupBox* m_painelGrupos;
    TPersonEdit* m_grupoCodigo;
    TPersonEdit* m_grupoNome;
    TPersonEdit* m_grupoCobr;
    TPersonBtn* m_grupoGravar;
    TPersonBtn* m_grupoExcluir;
    GradeConsulta* m_grade;
    QGroupBox* m_painelReajuste;
    TPersonEdit* m_indice;
    TPersonEdit* m_grupoReajuste;
    TPersonBtn* m_aplicar;
};

} // namespace vx
