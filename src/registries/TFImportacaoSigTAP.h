#pragma once
// "Importação de tabelas do SIGTAP": downloads the table files when GERAL/SIGTAPURL is set, offers
// each table by the presence of its files and imports them (see SigTap.h).
#include "core/widgets/TFBase.h"

#include <QElapsedTimer>

class QCheckBox;
class QLabel;

namespace vx {

class TPersonBtn;

class TFImportacaoSigTAP : public TFBase {
    Q_OBJECT
public:
    explicit TFImportacaoSigTAP(QWidget* parent = nullptr);
    static TFImportacaoSigTAP* Abre();

    // Runs once after the first show: the download (when configured), then VerificaArquivos.
    void FormShow();
    // Sets the options and their labels from the files in the folder.
    void VerificaArquivos();
    void PBOKClick();
    // FormShow has ended.
    bool preparada() const { return m_preparada; }
    QString pasta() const { return m_pasta; }

    QCheckBox* CBCBO() const { return m_cbo; }
    QCheckBox* CBProcedimentos() const { return m_procedimentos; }
    QCheckBox* CBProcedCBO() const { return m_procedCbo; }
    QLabel* LCBO() const { return m_lCbo; }
    QLabel* LProcedimentos() const { return m_lProcedimentos; }
    QLabel* LRegistro() const { return m_lRegistro; }
    QLabel* LProcedCBO() const { return m_lProcedCbo; }
    QLabel* LContador() const { return m_contador; }
    QLabel* LAguardeConcluido() const { return m_aguarde; }
    TPersonBtn* PBOK() const { return m_ok; }

protected:
    void showEvent(QShowEvent* ev) override;
    void closeEvent(QCloseEvent* ev) override;

private:
    // Shows a counter text, letting the window paint at most every 50 ms.
    void contador(const QString& texto);
    // The file's label in green or red; true when the file is there.
    bool marca(QLabel* rotulo, const char* arquivo);

    QString m_pasta;
    QCheckBox* m_cbo;
    QCheckBox* m_procedimentos;
    QCheckBox* m_procedCbo;
    QLabel* m_lCbo;
    QLabel* m_lProcedimentos;
    QLabel* m_lRegistro;
    QLabel* m_lProcedCbo;
    QLabel* m_contador;
    QLabel* m_aguarde;
    TPersonBtn* m_ok;
    QElapsedTimer m_pintura;
    bool m_mostrada = false;
    bool m_preparada = false;
    bool m_rodando = false;
};

} // namespace vx
