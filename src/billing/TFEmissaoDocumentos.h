#pragma once
// "Controle de Emissão de Boletos e Recibos": one-off receipts and bank slips, numbered per
// type, registered, printed, reprinted and annulled.
#include "billing/Documentos.h"
#include "core/widgets/TFBase.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace vx {

class Formulario;
class TPersonBtn;
class TPersonEdit;

class TFEmissaoDocumentos : public TFBase {
    Q_OBJECT
public:
    explicit TFEmissaoDocumentos(QWidget* parent = nullptr);
    ~TFEmissaoDocumentos() override;
    static TFEmissaoDocumentos* Abre();

    // The type of the chosen item: 'R' for "000 - Recibo Avulso", 'B' for a bank account.
    QChar tipo() const;
    int idConta() const; // bank account of the chosen item (0 for receipts)

    void CBTipoChange();
    void PENumDocExit();
    void PBtnGravarClick();
    void PBExcluirClick();

    QComboBox* CBTipo;
    QWidget* PPainel;
    TPersonEdit* PENumDoc;
    TPersonEdit* PECodMun;
    QToolButton* SBCodMun;
    QLabel* LMunicipio;
    TPersonEdit* PEDataEmissao;
    TPersonEdit* PEDataVencimento;
    TPersonEdit* PEValor;
    QPlainTextEdit* MDescricao;
    TPersonBtn* PBtnGravar;
    TPersonBtn* PBExcluir;

private:
    void limpaCampos();
    void editavel(bool sim);
    void proximoNumero();
    void imprime(const DocumentoEmissao& d);
    DocumentoEmissao documentoDigitado() const;

    std::unique_ptr<Formulario> m_form;
    std::optional<DocumentoEmissao> m_carregado; // the registered document shown (reprint)
};

} // namespace vx
