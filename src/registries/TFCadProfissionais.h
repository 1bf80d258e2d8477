#pragma once
// Professionals registry "Cadastro de Profissionais": the professional, its entity and the grid of
// the entities it is actively linked to.
#include "core/widgets/TFCadastro.h"

#include <memory>

namespace vx {

class GradeConsulta;
class Transacao;
struct Profissional;

class TFCadProfissionais : public TFCadastro {
    Q_OBJECT
public:
    explicit TFCadProfissionais(QWidget* parent = nullptr);
    ~TFCadProfissionais() override;
    static TFCadProfissionais* Abre();

    void SBCodigoClick();
    void PBtnGravarClick() override;
    void PBtnExcluirClick() override;
    // Opens the entities registry; this screen stays open while it lives.
    void PBCadEntidadesClick();
    // The screen's fields as typed.
    Profissional dados() const;

    TPersonEdit* PENome() const { return m_nome; }
    TPersonEdit* PEContato() const { return m_contato; }
    TPersonEdit* PEEmail() const { return m_email; }
    TPersonEdit* PECpf() const { return m_cpf; }
    TPersonEdit* PECartaoSUS() const { return m_cartao; }
    TPersonEdit* PECNSBPA() const { return m_cnsBpa; }
    TPersonEdit* PEConselho() const { return m_conselho; }
    TPersonEdit* PECBO() const { return m_cbo; }
    TPersonEdit* PECodEntidade() const { return m_entidade; }
    TPersonEdit* PEObs() const { return m_obs; }
    QLabel* LCBO() const { return m_lCbo; }
    QLabel* LEntidade() const { return m_lEntidade; }
    TPersonBtn* PBCadEntidades() const { return m_cadEntidades; }
    GradeConsulta* grade() const { return m_grade; }

protected:
    void showEvent(QShowEvent* ev) override;
    void limpaExtra() override;
    void aposCarregar(const LinhaCadastro& linha) override;

private:
    void confereCartao(TPersonEdit* campo, bool aceitaX);

    TPersonEdit* m_nome;
    TPersonEdit* m_contato;
    TPersonEdit* m_email;
    TPersonEdit* m_cpf;
    TPersonEdit* m_cartao;
    TPersonEdit* m_cnsBpa;
    TPersonEdit* m_conselho;
    TPersonEdit* m_cbo;
    TPersonEdit* m_entidade;
    TPersonEdit* m_obs;
    QLabel* m_lCbo;
    QLabel* m_lEntidade;
    TPersonBtn* m_cadEntidades;
    GradeConsulta* m_grade;
};

} // namespace vx
