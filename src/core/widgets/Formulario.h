#pragma once
// Rows of captioned fields for screens: typed fields and check boxes placed on form rows (or
// beside the previous one), sized for their contents, and their bindings to the columns of a row
// so that loading and clearing are one call each.
//
//   Formulario f(this);
//   painel->setLayout(f.novoForm());
//   f.liga(f.campo("PEEndereco", TPersonEdit::peTexto, "Endereço:", 50), "ENDERECO");
//   f.liga(f.campo("PEEndNum", TPersonEdit::peTexto, "Nº:", 10, Formulario::MesmaLinha), "ENDNUM");
//   f.mostra(linha);   // or f.limpa();
#include "core/widgets/TPersonEdit.h"

#include <QDate>
#include <QString>
#include <QVector>

#include <functional>

class QCheckBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QToolButton;
class QWidget;

namespace vx {

class LinhaCadastro;

class Formulario {
public:
    enum Opcao : unsigned {
        Maiusculo = 1,   // upper-case field
        Requerido = 2,   // checked by the buttons that check required fields
        MesmaLinha = 4,  // placed on the row of the previous field
        Avulso = 8,      // not part of the row: limpa() leaves it alone
    };
    // Fields are created as children of `dono`.
    explicit Formulario(QWidget* dono);

    // Ends the current row and starts a new form layout (the caller places it); fields go into it.
    QFormLayout* novoForm();
    QFormLayout* form() const { return m_form; }
    // A new form row captioned `rotulo` (may be null), or the current row with `mesmaLinha`.
    QHBoxLayout* novaLinha(QWidget* rotulo, bool mesmaLinha);
    // The row of the field created last.
    QHBoxLayout* linhaAtual() const { return m_linha; }
    // Adds the closing stretch to the current row; the next field starts a new one.
    void fechaLinha();

    // A typed field with its caption, in tab order. `max` 0: no typing limit.
    TPersonEdit* campo(const char* nome, TPersonEdit::Tipo tipo, const QString& rotulo, int max, unsigned opcoes = 0);
    QCheckBox* marca(const char* nome, const QString& texto, unsigned opcoes = 0);
    // A code of another table: the field, its "..." search button (F2) and the name beside it.
    // `busca` returns the chosen code (empty when none), which is typed in; leaving the field shows
    // `nomeDe(code)` (errors go to the error box and empty the name). The owner must be a TFBase.
    struct CampoCodigo {
        TPersonEdit* campo;
        QToolButton* busca;
        QLabel* nome;
    };
    CampoCodigo codigo(const char* nome, const QString& rotulo, int max, const char* nomeRotulo,
                       std::function<QString()> busca, std::function<QString(const QString&)> nomeDe,
                       unsigned opcoes = 0);
    // "Período:" and "a:" on one row, both required, from the first day of the month of `hoje` to
    // `hoje` (the working date when invalid, else today).
    QPair<TPersonEdit*, TPersonEdit*> periodoDoMes(const char* nomeInicial, const char* nomeFinal, QDate hoje = {});

    void liga(TPersonEdit* campo, const QString& coluna);
    // The box is ticked when the column holds exactly `marcado`.
    void liga(QCheckBox* marca, const QString& coluna, const QString& marcado = QStringLiteral("S"));
    // Fills the bound fields and boxes from `linha` (decimals in their field form, nulls empty).
    void mostra(const LinhaCadastro& linha) const;
    // Empties the fields created here (not the Avulso ones) and unticks the bound boxes.
    void limpa() const;

private:
    QWidget* m_dono;
    QFormLayout* m_form = nullptr;
    QHBoxLayout* m_linha = nullptr;
    QVector<TPersonEdit*> m_criados;
    struct LigacaoCampo { TPersonEdit* campo; QString coluna; };
    struct LigacaoMarca { QCheckBox* marca; QString coluna; QString marcado; };
    QVector<LigacaoCampo> m_campos;
    QVector<LigacaoMarca> m_marcas;
};

} // namespace vx
