#pragma once
// Base of the registry screens: a code field that loads its row on leaving, typed fields bound to
// columns, reference fields that show the referenced name, a yellow exclusion notice, the
// Gravar/Excluir buttons on the right and a free area below for panels and grids.
//
//   TFCadMotivoBloqueios() : TFCadastro("TFCadMotivoBloqueios", "Tabela de ...", "MOTIVOBLOQUEIOS")
//   {
//       novoCampoCodigo(7, [this] { SBCodigoClick(); });
//       liga(novoCampo("PEDescricao", TPersonEdit::peTexto, "Descricao:", 100, Requerido), "DESCRICAO");
//       concluiTela();
//   }
//   void PBtnGravarClick() { acaoRegistro(PBtnGravar(), [&] { GravaMotivo(...); }); }
//
// The screen's own rules (what is saved, closed or deleted) live in files of vxcore that the tests
// call without a window; the screen gathers its fields and calls them through acaoRegistro().
#include "core/Cadastro.h"
#include "core/widgets/Formulario.h"
#include "core/widgets/TFBase.h"
#include "core/widgets/TPersonEdit.h"

#include <QVector>

#include <functional>
#include <memory>

class QBoxLayout;
class QCheckBox;
class QFormLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QToolButton;
class QVBoxLayout;

namespace vx {

class TPersonBtn;

class TFCadastro : public TFBase {
    Q_OBJECT
public:
    // `tabela`: the table the code field loads from ("select * from <tabela> where codigo=<code>");
    // `prefixoAviso`: the exclusion notice before its date ("PROCEDIMENTO EXCLUÍDO EM "); empty: no
    // notice.
    TFCadastro(const char* nome, const QString& titulo, const QString& tabela, const QString& prefixoAviso = {},
               QWidget* parent = nullptr);
    ~TFCadastro() override;

    // Clears every field but the Avulso ones (typed fields to their empty text), the bound check
    // boxes, the reference names and the exclusion notice, then limpaExtra().
    void LimpaEdits();
    // Loads the row of the code typed in PECodigo (the screen is cleared first; an unknown code
    // leaves the fields empty, without a message).
    void PECodigoExit();
    // Runs every reference lookup (names beside the reference fields).
    void atualizaReferencias();

    TPersonEdit* PECodigo() const { return m_codigo; }
    QToolButton* SBCodigo() const { return m_sbCodigo; }
    QLabel* LAvisoExclusao() const { return m_aviso; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    TPersonBtn* PBtnExcluir() const { return m_excluir; }
    // The row last loaded (empty after a clear or an unknown code).
    const std::optional<LinhaCadastro>& linhaCarregada() const { return m_linha; }

protected:
    // Formulario's options (Requerido: checked by the Gravar button; Avulso: LimpaEdits leaves it
    // alone, side panels' fields).
    enum Opcao : unsigned {
        Maiusculo = Formulario::Maiusculo,
        Requerido = Formulario::Requerido,
        MesmaLinha = Formulario::MesmaLinha,
        Avulso = Formulario::Avulso,
    };
    // A typed field with its caption, in tab order, on a new row of the form (or beside the
    // previous one with MesmaLinha). `max` 0: no typing limit.
    TPersonEdit* novoCampo(const char* nome, TPersonEdit::Tipo tipo, const QString& rotulo, int max,
                           unsigned opcoes = 0);
    // "Codigo:" with the hint of automatic codes and its search button (F2); leaving it loads.
    TPersonEdit* novoCampoCodigo(int max, std::function<void()> busca, bool comDica = true);
    // A code of another table: search button (F2) running `busca` (the chosen code is put in the
    // field and the name looked up), and a label `nomeRotulo` with `nome` of `tabela` where
    // `chave` = the code.
    struct Referencia {
        QString tabela, chave, nome;
        std::function<QString()> busca; // returns the chosen code or empty
        // When set, gives the name instead of the table lookup (a field whose table varies).
        std::function<QString(const QString&)> nomeDe = {};
    };
    TPersonEdit* novoCampoReferencia(const char* nome, const QString& rotulo, int max, const char* nomeRotulo,
                                     Referencia ref, unsigned opcoes = 0);
    QCheckBox* novaMarca(const char* nome, const QString& texto, unsigned opcoes = 0);
    // A button of the right-hand column (Gravar and Excluir are created by the base), or of
    // `onde` (a panel's row).
    TPersonBtn* novoBotao(const char* nome, const QString& texto, bool verRequeridos, std::function<void()> acao,
                          QBoxLayout* onde = nullptr);
    // The form row of the field created last (for a unit or a button beside it).
    QHBoxLayout* linhaAtual() const { return m_formulario.linhaAtual(); }
    // Where panels and grids go, below the form.
    QVBoxLayout* areaInferior() const { return m_inferior; }
    // A framed panel added to areaInferior() (or, `aDireita`, to a column between the form and the
    // buttons) with a form of its own: the fields created next (novoCampo, novoCampoReferencia,
    // novaMarca) go into it, until the next panel. Its layout is a QVBoxLayout holding that form;
    // add buttons and grids below it.
    QGroupBox* novoPainel(const char* nome, const QString& titulo = {}, bool aDireita = false);
    // Call at the end of the constructor: connects the standard buttons and clears the screen.
    void concluiTela();

    // Column bindings used by loading and clearing.
    void liga(TPersonEdit* campo, const QString& coluna);
    void liga(QCheckBox* marca, const QString& coluna, const QString& marcado = QStringLiteral("S"));
    // Fills the bound fields from `linha`.
    void mostraLinha(const LinhaCadastro& linha);

    // Hooks of the screens.
    virtual void PBtnGravarClick() = 0;
    virtual void PBtnExcluirClick() = 0;
    virtual void limpaExtra() {}
    virtual void aposCarregar(const LinhaCadastro& linha) { Q_UNUSED(linha); }
    // Statement that loads the row of `codigo`.
    virtual QString sqlCarga(const QString& codigo) const;

    // Runs a write action on `botao` (ExecutaAcao: disable, rollback and error box on failure);
    // on success clears the screen (the code stays when `manterCodigo`) and puts the focus on the
    // code. Returns true on success.
    bool acaoRegistro(QWidget* botao, const std::function<void()>& acao, bool manterCodigo = false);
    // The deletion question; true for Yes.
    bool confirmaExclusao(const QString& texto = QStringLiteral("Deseja realmente excluir?"));

    QString tabela() const { return m_tabela; }
    // The code field gets the focus whenever the screen is shown.
    void showEvent(QShowEvent* ev) override;

private:
    QString m_tabela;
    QString m_prefixoAviso;
    Formulario m_formulario{this};
    QHBoxLayout* m_topo;
    QVBoxLayout* m_direita = nullptr;
    QVBoxLayout* m_botoes;
    QVBoxLayout* m_inferior;
    TPersonEdit* m_codigo = nullptr;
    QToolButton* m_sbCodigo = nullptr;
    QLabel* m_aviso;
    TPersonBtn* m_gravar;
    TPersonBtn* m_excluir;
    struct LigacaoReferencia { TPersonEdit* campo; QLabel* rotulo; Referencia ref; };
    QVector<QCheckBox*> m_marcas;
    QVector<LigacaoReferencia> m_referencias;
    std::optional<LinhaCadastro> m_linha;
};

} // namespace vx
