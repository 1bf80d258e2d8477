#pragma once
// Typed edit field: a single-line edit with a bound caption label, an input type with its mask,
// focus/error colours, validation and normalisation on leaving it and a "required" flag checked by
// TPersonBtn before an action runs.
//
//   auto* PEData = new vx::TPersonEdit(vx::TPersonEdit::peData, "Data", this);
//   PEData->setRequerido(true);
//   PEData->text();   // "  /  /    " when empty, "25/12/2015" when filled
//
// text()/setText() hide QLineEdit's: masked types read and take the text forms with blanks in empty
// positions ("  /  /    ", "   .   .   -  "); setText() never cuts a value by maxLength. Only
// characters Windows-1252 can hold are accepted (others are mapped as the database would).
// Failures of validation and of the required check raise ErroCampo; the field then has the error
// colour and the focus. Validation on leaving the field shows the error by MostraErro itself.
#include "core/Decimal.h"

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QLineEdit>
#include <QPointer>

#include <optional>
#include <stdexcept>

#include <QLabel>

namespace vx {

// A failed validation or required check; what() is the text shown to the user (UTF-8).
class ErroCampo : public std::runtime_error {
public:
    explicit ErroCampo(const QString& texto);
    QString texto() const { return m_texto; }

private:
    QString m_texto;
};

class TPersonEdit : public QLineEdit {
    Q_OBJECT
public:
    enum Tipo { peData, peDataHora, peFloat, peInteiro, peTexto, peCpf, peCnpj };
    Q_ENUM(Tipo)
    enum LabelPosition { lpAbove, lpBelow, lpLeft, lpRight };
    Q_ENUM(LabelPosition)
    enum Caixa { caixaNormal, caixaMaiuscula, caixaMinuscula };

    explicit TPersonEdit(QWidget* parent = nullptr);
    TPersonEdit(Tipo tipo, const QString& rotulo, QWidget* parent = nullptr);
    ~TPersonEdit() override;

    // Type: installs its mask and empty text (peFloat "0,00", peInteiro "0").
    Tipo tipo() const { return m_tipo; }
    void setTipo(Tipo t);

    bool requerido() const { return m_requerido; }
    void setRequerido(bool v) { m_requerido = v; }
    bool validar() const { return m_validar; }
    void setValidar(bool v) { m_validar = v; }
    // Upper-case / lower-case fields: typed and set text is converted.
    Caixa caixa() const { return m_caixa; }
    void setCaixa(Caixa c);

    QColor corDestaque() const { return m_corDestaque; }
    void setCorDestaque(const QColor& c) { m_corDestaque = c; }
    QColor corErro() const { return m_corErro; }
    void setCorErro(const QColor& c) { m_corErro = c; }
    static QColor corDestaquePadrao() { return QColor(0xA6, 0xCA, 0xF0); }
    static QColor corErroPadrao() { return QColor(0xFF, 0xFF, 0x00); }
    // Current background colour (the palette's Base role).
    QColor corFundo() const;
    bool emErro() const { return m_emErro; }
    // The field painted with the focus colour: the one holding the focus in the active window
    // (null while another window, e.g. a message box, is active).
    static TPersonEdit* destacado();

    // Caption label (created with the field, parented to the field's parent, placed beside it by
    // LabelPosition/LabelSpacing). In a layout, put it into the layout yourself, e.g.
    // form->addRow(campo->editLabel(), campo); the field then leaves its position alone.
    QLabel* editLabel() const { return m_label; }
    QString rotulo() const;
    void setRotulo(const QString& texto);
    LabelPosition labelPosition() const { return m_labelPos; }
    void setLabelPosition(LabelPosition p);
    int labelSpacing() const { return m_labelSpacing; }
    void setLabelSpacing(int px);
    bool labeled() const { return m_labeled; }
    void setLabeled(bool v);

    // Limit for typing (unmasked types; 0 = none). Loaded values are never cut.
    int maxLength() const { return m_maxLen; }
    void setMaxLength(int n);

    // A mask of its own on a text field, in Qt's notation ("99-9999;_"), with its empty text
    // ("  -    "): read and set as the typed masks are, blank positions as spaces.
    void setMascara(const QString& mascaraQt, const QString& vazio);
    // The empty text of this field (its own mask's, else its type's).
    QString vazioAtual() const;
    QString text() const;
    void setText(const QString& t);
    // Empties the field; peFloat gets "0,00", peInteiro "0", masked types their empty text.
    void clear();
    // True when the text is empty or the type's empty text.
    bool vazio() const;
    // The type's empty text ("  /  /    ", "0,00", "0", "").
    static QString textoVazio(Tipo t);

    // Typed values (nullopt when empty or invalid).
    std::optional<Decimal> decimal() const;          // peFloat / peInteiro
    void setDecimal(const Decimal& d);              // "###########0.00########" form
    std::optional<qint64> inteiro() const;
    QDate data() const;                              // peData / peDataHora (invalid when empty)
    QDateTime dataHora() const;

    // Validation of leaving the field (runs only when Validar): normalises the text or throws
    // ErroCampo (error colour and focus set).
    void valida();
    // True when leaving the field now would pass its validation (nothing is changed).
    bool textoValido() const;
    // Required check (only when Requerido): throws ErroCampo.
    void verificaRequerido();
    // Clears the error colour (restores the normal background).
    void limpaErro();

    // Word capitalisation of text fields (never lower-cases; words of 4+ characters; "par…" kept).
    static QString Capitaliza(const QString& texto);
    static bool CpfValido(const QString& cpf);    // digits with or without mask literals
    static bool CnpjValido(const QString& cnpj);  // base may hold letters (A–Z)

signals:
    // Emitted after the field was left and validated successfully.
    void saiu();

protected:
    void focusInEvent(QFocusEvent* ev) override;
    void focusOutEvent(QFocusEvent* ev) override;
    void keyPressEvent(QKeyEvent* ev) override;
    void keyReleaseEvent(QKeyEvent* ev) override;
    void moveEvent(QMoveEvent* ev) override;
    void resizeEvent(QResizeEvent* ev) override;
    void showEvent(QShowEvent* ev) override;
    void hideEvent(QHideEvent* ev) override;
    void changeEvent(QEvent* ev) override;

private:
    void inicializa(Tipo tipo);
    bool confere(const QString& t, QString* normalizado, QString* erro) const;
    void pintaFundo(const QColor& c);
    void destaca(bool sim);
    void marcaErro(const QString& texto);
    void posicionaLabel();
    void aoEditar(const QString& t);
    bool mascarado() const;

    Tipo m_tipo = peTexto;
    bool m_requerido = false;
    bool m_validar = true;
    Caixa m_caixa = caixaNormal;
    QColor m_corDestaque = corDestaquePadrao();
    QColor m_corErro = corErroPadrao();
    QColor m_fundoSalvo;
    bool m_temFundoSalvo = false;
    bool m_emErro = false;
    bool m_destacado = false;
    bool m_validando = false;
    bool m_ajustando = false;
    QPointer<QLabel> m_label;
    LabelPosition m_labelPos = lpLeft;
    int m_labelSpacing = 3;
    bool m_labeled = true;
    int m_maxLen = 0;
    QString m_vazioProprio;
};

} // namespace vx
