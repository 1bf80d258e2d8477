#pragma once
// User registry "Cadastro de Usuários e Senhas": users, passwords, care unit, billing flag and
// the per-user menu permissions.
#include "core/widgets/TFBase.h"

#include <QStringList>

class QCheckBox;
class QLabel;
class QListWidget;
class QToolButton;

namespace vx {

class TPersonBtn;
class TPersonEdit;

class TFCadSenhas : public TFBase {
    Q_OBJECT
public:
    explicit TFCadSenhas(QWidget* parent = nullptr);
    ~TFCadSenhas() override;

    // Creates the one instance when none exists and shows it.
    static TFCadSenhas* Abre();
    static TFCadSenhas* instancia();

    // Clears the fields, applies the "ADM" rule to the unit field and fills the permission list.
    void FormShow();
    void LimpaEdits();
    void PEUsuarioExit();
    void PECodUnidadeExit();
    void SBUnidadeClick();
    void PBtnGravarClick();
    void PBtnExcluirClick();
    void CheckBox1Click();

    TPersonEdit* PEUsuario() const { return m_usuario; }
    TPersonEdit* PESenha() const { return m_senha; }
    TPersonEdit* PEConfirmaSenha() const { return m_confirma; }
    TPersonEdit* PECodUnidade() const { return m_unidade; }
    QToolButton* SBUnidade() const { return m_sbUnidade; }
    QLabel* LNomeUnidade() const { return m_nomeUnidade; }
    QCheckBox* CBPodeFaturar() const { return m_podeFaturar; }
    QListWidget* CLBMenus() const { return m_menus; }
    QCheckBox* CheckBox1() const { return m_todos; }
    QLabel* LInfo() const { return m_info; }
    QLabel* LSenha() const { return m_lSenha; }
    QLabel* LConfirmaSenha() const { return m_lConfirma; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    TPersonBtn* PBtnExcluir() const { return m_excluir; }

    QStringList entradas() const;
    QVector<bool> marcas() const;
    void setMarca(const QString& entrada, bool marcada);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void mostraNovo(bool novo);

    TPersonEdit* m_usuario;
    TPersonEdit* m_senha;
    TPersonEdit* m_confirma;
    TPersonEdit* m_unidade;
    QToolButton* m_sbUnidade;
    QLabel* m_nomeUnidade;
    QLabel* m_lSenha;
    QLabel* m_lConfirma;
    QCheckBox* m_podeFaturar;
    QListWidget* m_menus;
    QCheckBox* m_todos;
    QLabel* m_info;
    TPersonBtn* m_gravar;
    TPersonBtn* m_excluir;
};

// Permission list from the main window's menu (top level, 3 and 6 blanks); the designed tree
// when no main window exists.
QStringList ListaPermissoesDaJanela();

} // namespace vx
