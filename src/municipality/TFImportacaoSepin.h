#pragma once
// "Importação de Cadastros de Pacientes do Sistema Sepin": one screen for the three imports of
// patient registers (SEPIN database, CadSUS database, municipal text file), opened modally from
// the menu item of its source. The work is ImportaPacientes (ImportacaoPacientes.h).
#include "core/widgets/TFBase.h"
#include "municipality/ImportacaoPacientes.h"

#include <QElapsedTimer>

class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace vx {

class TPersonBtn;
class TPersonEdit;

class TFImportacaoSepin : public TFBase {
    Q_OBJECT
public:
    explicit TFImportacaoSepin(FonteImportacao fonte, QWidget* parent = nullptr);
    // Shows the screen for `fonte` modally and returns once it is closed.
    static void AbreModal(FonteImportacao fonte);

    FonteImportacao fonte() const { return m_fonte; }
    // The "..." file dialog.
    void SBArquivoBDClick();
    void PBOKClick();

    QLabel* LCodMun() const { return m_lCodMun; }
    QLabel* LNomeMun() const { return m_lNomeMun; }
    TPersonEdit* PEArquivoBD() const { return m_arquivo; }
    QToolButton* SBArquivoBD() const { return m_sbArquivo; }
    QLabel* LProgresso() const { return m_progresso; }
    TPersonBtn* PBOK() const { return m_ok; }
    QLabel* LResultado() const { return m_resultado; }
    QPlainTextEdit* MResumo() const { return m_resumo; }
    const ResumoImportacao& resumo() const { return m_ultimo; }

protected:
    void closeEvent(QCloseEvent* ev) override;

private:
    // The progress label, repainted at most every 100 ms (and for the last record).
    void progresso(int n, int total, const QString& nome);

    FonteImportacao m_fonte;
    QString m_municipio;
    QLabel* m_lCodMun;
    QLabel* m_lNomeMun;
    TPersonEdit* m_arquivo;
    QToolButton* m_sbArquivo;
    QLabel* m_progresso;
    TPersonBtn* m_ok;
    QLabel* m_resultado;
    QPlainTextEdit* m_resumo;
    ResumoImportacao m_ultimo;
    QElapsedTimer m_pintura;
    bool m_rodando = false;
};

} // namespace vx
