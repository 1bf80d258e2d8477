#pragma once
// Login dialog "Usuário e Senha".
#include <QDialog>

class QPushButton;

namespace vx {

class TFprincipal;
class TPersonEdit;

class TFUsuario : public QDialog {
    Q_OBJECT
public:
    // `principal` receives the permissions and the caption of the logged-in user (may be null).
    explicit TFUsuario(TFprincipal* principal, QWidget* parent = nullptr);

    void setPrincipal(TFprincipal* principal) { m_principal = principal; }
    TPersonEdit* PEUsuario() const { return m_usuario; }
    TPersonEdit* PESenha() const { return m_senha; }
    QPushButton* PBConfirmar() const { return m_confirmar; }
    QPushButton* PBFechar() const { return m_fechar; }

    // "&Confirmar": true when the login succeeded (the dialog is then accepted).
    bool PBConfirmarClick();
    // Whether the last successful login used the maintenance password.
    bool usouManutencao() const { return m_manutencao; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    TFprincipal* m_principal;
    TPersonEdit* m_usuario;
    TPersonEdit* m_senha;
    QPushButton* m_confirmar;
    QPushButton* m_fechar;
    bool m_manutencao = false;
};

} // namespace vx
