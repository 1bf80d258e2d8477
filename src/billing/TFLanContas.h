#pragma once
// Entry screen of a ledger (receivables or payables): the entry typed by id, loaded on leaving the
// id, saved whole and deleted. TFLanReceber and TFLanPagar are this screen for their ledger.
#include "billing/Contas.h"
#include "core/widgets/TFCadastro.h"

class QLabel;

namespace vx {

class TFLanContas : public TFCadastro {
    Q_OBJECT
public:
    Livro livro() const { return m_livro; }

    // Clears the other fields and loads the entry of the typed id (an unknown id loads nothing).
    void PEIDExit();
    void PBtnGravarClick() override;
    void PBtnExcluirClick() override;
    // The fields as an entry.
    LancamentoConta Lancamento() const;

    TPersonEdit* PEID() const { return m_id; }
    // PECodMunicipio (receivables) or PECodEntidade (payables), and the name beside it.
    TPersonEdit* PECodigoConta() const { return m_codigo; }
    QLabel* LNome() const { return m_nome; }
    TPersonEdit* PEOrigem() const { return m_origem; }
    TPersonEdit* PEDataDebito() const { return m_dataDebito; }
    TPersonEdit* PEDataVencimento() const { return m_dataVencimento; }
    TPersonEdit* PEValorDebito() const { return m_valorDebito; }
    TPersonEdit* PEDocDebito() const { return m_docDebito; }
    TPersonEdit* PEDataPgto() const { return m_dataPgto; }
    TPersonEdit* PEValorPgto() const { return m_valorPgto; }
    TPersonEdit* PEDocPgto() const { return m_docPgto; }
    TPersonEdit* PEHistorico() const { return m_historico; }
    TPersonEdit* PEObs() const { return m_obs; }

protected:
    TFLanContas(const char* nome, const QString& titulo, Livro livro, QWidget* parent);
    void showEvent(QShowEvent* ev) override;

private:
    Livro m_livro;
    TPersonEdit* m_id;
    TPersonEdit* m_codigo;
    QLabel* m_nome;
    TPersonEdit* m_origem;
    TPersonEdit* m_dataDebito;
    TPersonEdit* m_dataVencimento;
    TPersonEdit* m_valorDebito;
    TPersonEdit* m_docDebito;
    TPersonEdit* m_dataPgto;
    TPersonEdit* m_valorPgto;
    TPersonEdit* m_docPgto;
    TPersonEdit* m_historico;
    TPersonEdit* m_obs;
};

} // namespace vx
