#pragma once
// Action button: before its action runs, checks every required TPersonEdit of its screen in the
// screen's component order (creation order of the children); the first failure shows its message,
// leaves the field with the error colour and the focus, and the action does not run.
//
//   auto* PBtnGravar = new vx::TPersonBtn("&Gravar", this);
//   connect(PBtnGravar, &vx::TPersonBtn::Acao, this, &TFFoo::PBtnGravarClick);
//
// A click that takes the focus from a field whose validation fails does not act.
// Connect to Acao (not clicked). Kind Fechar closes the button's window; kind Ajuda does nothing
// (no help files); kind Normal emits Acao. Wrap the slot body with vx::ExecutaAcao(botao, ...)
// to get the disable/rollback/error/re-enable pattern.
#include <QColor>
#include <QPushButton>

class QWidget;

namespace vx {

class TPersonEdit;

class TPersonBtn : public QPushButton {
    Q_OBJECT
public:
    enum Tipo { Normal, Fechar, Ajuda };
    Q_ENUM(Tipo)

    explicit TPersonBtn(QWidget* parent = nullptr);
    TPersonBtn(const QString& texto, QWidget* parent = nullptr);

    bool verRequeridos() const { return m_verRequeridos; }
    void setVerRequeridos(bool v) { m_verRequeridos = v; }
    Tipo tipo() const { return m_tipo; }
    void setTipo(Tipo t) { m_tipo = t; }
    QColor corDestaque() const { return m_corDestaque; }
    void setCorDestaque(const QColor& c) { m_corDestaque = c; }

    // The screen whose fields are checked: the button's top-level window, unless set.
    void setTela(QWidget* tela) { m_tela = tela; }
    QWidget* tela() const;

    // Required check of every TPersonEdit of `tela` in component order; on the first failure shows
    // the message and returns false.
    static bool VerificaRequeridos(QWidget* tela);

    // Runs the click as the user would (checks, then the kind's behaviour).
    void executa();

signals:
    void Acao();

protected:
    void focusInEvent(QFocusEvent* ev) override;
    void focusOutEvent(QFocusEvent* ev) override;

private:
    bool m_verRequeridos = true;
    Tipo m_tipo = Normal;
    QColor m_corDestaque = QColor(0xA6, 0xCA, 0xF0);
    QWidget* m_tela = nullptr;
    bool m_temFundo = false;
    QPalette m_paletaSalva;
};

} // namespace vx
