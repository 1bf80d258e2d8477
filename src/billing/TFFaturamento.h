#pragma once
// "Faturamento de Serviços": billing of the municipalities or of the entities for a period, in the
// mode fixed by the menu item that opened it. Lists the production with the stored billing or
// computes it afresh, lets the grid be edited, saves and prints the statement, exports the grid
// to a spreadsheet.
#include "billing/Faturamento.h"
#include "core/widgets/TFBase.h"

class QAction;
class QCheckBox;
class QLabel;
class QTableWidget;

namespace vx {

class TPersonBtn;
class TPersonEdit;

class TFFaturamento : public TFBase {
    Q_OBJECT
public:
    explicit TFFaturamento(ModoFaturamento modo, QWidget* parent = nullptr);
    // Shows the one instance in `modo` (an open screen of the other mode is closed first).
    static TFFaturamento* Abre(ModoFaturamento modo);

    ModoFaturamento modo() const { return m_modo; }
    // Flags other screens read: production or fees listed, and the two recalculation flags.
    bool faturaProducao() const { return m_producao; }
    bool faturaTaxas() const { return m_taxas; }
    bool recalcular() const { return m_recalcular; }
    bool recalcularTaxas() const { return m_recalcularTaxas; }

    void PBCalcularClick();
    void ConsultarFatura1Click();
    void ReCalcularFatura1Click();
    void PBCalcularTaxasClick();
    void ReCalcularTaxasMensais1Click();
    void PBEditarGridClick();
    void PBtnGravarClick();
    void PBExcelClick();
    // Recomputes the derived columns from what the grid holds (each cell selection, focus out).
    void RecalculaGrade();

    // Code of the grid's selected row (empty when none): the production report opens on it.
    QString codigoSelecionado() const;
    // The grid's cells as text (rows with their columns).
    GradeFaturamento grade() const;
    void defineGrade(const GradeFaturamento& g);

    TPersonEdit* PEData1() const { return m_data1; }
    TPersonEdit* PEData2() const { return m_data2; }
    TPersonEdit* PEDataEmissao() const { return m_emissao; }
    TPersonEdit* PEDataVencimento() const { return m_vencimento; }
    TPersonEdit* PEDescTaxas() const { return m_descTaxas; }
    QTableWidget* SG() const { return m_sg; }
    QLabel* LMensagem() const { return m_mensagem; }
    QLabel* LModo() const { return m_lmodo; }
    QLabel* LTotais() const { return m_totais; }
    TPersonBtn* PBCalcular() const { return m_calcular; }
    TPersonBtn* PBCalcularTaxas() const { return m_calcularTaxas; }
    TPersonBtn* PBEditarGrid() const { return m_editar; }
    TPersonBtn* PBtnGravar() const { return m_gravar; }
    TPersonBtn* PBRateioSUS() const { return m_rateio; }
    TPersonBtn* PBRecibo() const { return m_recibo; }
    TPersonBtn* PBBoletos() const { return m_boletos; }
    TPersonBtn* PBExcel() const { return m_excel; }
    TPersonBtn* PBRelMunicipio() const { return m_relMunicipio; }
    QCheckBox* CBListarMunics() const { return m_listarMunics; }
    QAction* ReCalcularFatura1() const { return m_menuRecalcular; }
    QAction* ReCalcularTaxasMensais1() const { return m_menuRecalcularTaxas; }

    // Where the spreadsheet of the last export was written (tests).
    QString ultimaPlanilha() const { return m_ultimaPlanilha; }

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    bool periodoValido();
    void listaProducao();
    void listaTaxas();
    void mostraGrade(const GradeFaturamento& g);
    void atualizaTotais(const GradeFaturamento& g);
    void falhaListagem(const std::exception& e);
    void imprime();
    void exportaMunicipios();
    void exportaEntidades();
    void abreOutraTela(const QString& nome);
    // The entity columns ticked in the export panel (empty when it was closed).
    QVector<bool> escolheColunas();
    void informaPlanilha(bool aberta);

    ModoFaturamento m_modo;
    RegrasFaturamento m_regras;
    bool m_producao = false;
    bool m_taxas = false;
    bool m_recalcular = false;
    bool m_recalcularTaxas = false;
    bool m_editavel = false;
    bool m_mostrando = false;
    QString m_ultimaPlanilha;

    QLabel* m_lmodo;
    TPersonEdit* m_data1;
    TPersonEdit* m_data2;
    TPersonEdit* m_emissao;
    TPersonEdit* m_vencimento;
    TPersonEdit* m_descTaxas;
    QLabel* m_mensagem;
    QLabel* m_totais;
    QTableWidget* m_sg;
    TPersonBtn* m_calcular;
    TPersonBtn* m_calcularTaxas = nullptr;
    TPersonBtn* m_editar;
    TPersonBtn* m_gravar;
    TPersonBtn* m_rateio = nullptr;
    TPersonBtn* m_recibo = nullptr;
    TPersonBtn* m_boletos = nullptr;
    TPersonBtn* m_excel;
    TPersonBtn* m_relMunicipio;
    QCheckBox* m_listarMunics = nullptr;
    QAction* m_menuConsultar;
    QAction* m_menuRecalcular;
    QAction* m_menuRecalcularTaxas;
};

} // namespace vx
