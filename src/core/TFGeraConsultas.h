#pragma once
// "Gerador de Consultas": runs any statement typed or loaded from a file, with its audit row.
// A SELECT shows its rows in the grid, fetched as the grid scrolls; any other statement is
// executed and committed.
#include "core/widgets/TFBase.h"

#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace vx {

class ModeloResultado;

class TFGeraConsultas : public TFBase {
    Q_OBJECT
public:
    explicit TFGeraConsultas(QWidget* parent = nullptr);
    ~TFGeraConsultas() override;
    static void Abre();

    void SBArquivoClick();
    void CarregaArquivo();
    void PBtnExecutarClick();
    void PBtnAbrirQrpClick();
    void PBtnCopiarClick();

    QLineEdit* PEArquivoSQL() const { return m_arquivo; }
    QPlainTextEdit* MInstru() const { return m_instrucao; }
    QTableView* DBGrid() const { return m_grade; }
    QLabel* LAguarde() const { return m_aguarde; }
    // Rows fetched so far, and all of them (what the copy puts on the clipboard).
    int linhasCarregadas() const;
    void carregaTudo();

private:
    void fechaResultado();
    QLineEdit* m_arquivo;
    QPlainTextEdit* m_instrucao;
    QPushButton* m_executar;
    QTableView* m_grade;
    QLabel* m_aguarde;
    std::unique_ptr<ModeloResultado> m_modelo;
};

} // namespace vx
