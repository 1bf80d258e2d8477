#pragma once
// Print preview of a laid-out report: page navigation, zoom, printing through the printer dialog,
// export to PDF and, for listings, to a spreadsheet. Pages are painted only when shown, so long reports open at once.
// It opens at page width (the page fills the width of the view and follows its size) until a
// zoom is chosen with the - / + buttons; "Largura" returns to page width.
#include "reports/Relatorio.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;
class QToolButton;

namespace vx::rel {

class VistaPagina;

class UiPreview : public QDialog {
    Q_OBJECT
public:
    UiPreview(std::shared_ptr<const Documento> doc, const QString& titulo, QWidget* pai = nullptr);

    const Documento& documento() const { return *m_doc; }
    int paginaAtual() const { return m_pagina; } // 0-based
    double zoom() const { return m_zoom; }        // 1.0 = real size on the screen
    bool naLargura() const { return m_naLargura; } // zoom follows the width of the view

    // Prints the pages first..last (0-based, -1 = to the end) on a configured printer, without
    // dialogs. False (and falhouImpressao()) when the printer could not be painted.
    bool imprimeEm(QPrinter& impressora, int primeira = 0, int ultima = -1);
    // Writes the whole document as PDF; shows the error and returns false on failure.
    bool exportaPdf(const QString& arquivo);
    // Writes the listing's table as XLSX (PlanilhaDoDocumento); shows the error and returns false
    // on failure.
    bool exportaPlanilha(const QString& arquivo);

    bool falhouImpressao() const { return m_falhou; }
    bool imprimiu() const { return m_imprimiu; }
    // Pages painted so far (the preview paints only what is shown).
    int paginasDesenhadas() const { return m_desenhadas; }

public slots:
    void irPara(int pagina);
    void defineZoom(double z);   // a fixed zoom (leaves page width)
    void ajustaLargura();        // page width
    void imprimir();   // printer dialog, then print
    void salvarPdf();  // file dialog, then PDF
    void salvarPlanilha(); // file dialog (the title + ".xlsx" proposed), then XLSX

protected:
    void keyPressEvent(QKeyEvent* ev) override; // Page Up / Page Down, Ctrl+Home / Ctrl+End
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    friend class VistaPagina;
    void atualiza();
    void aplicaZoom(double z);
    void aplicaLargura();
    int larguraUtil() const;

    std::shared_ptr<const Documento> m_doc;
    int m_pagina = 0;
    double m_zoom = 1.0;
    bool m_naLargura = true;
    bool m_falhou = false;
    bool m_imprimiu = false;
    int m_desenhadas = 0;
    QScrollArea* m_area = nullptr;
    VistaPagina* m_vista = nullptr;
    QSpinBox* m_spinPagina = nullptr;
    QLabel* m_total = nullptr;
    QLabel* m_zoomTexto = nullptr;
    QToolButton* m_largura = nullptr;
};

// Shows the preview modally (through ExecutaModal) and waits until it is closed.
// Returns false when printing was asked for and failed.
bool MostraPreview(std::shared_ptr<const Documento> doc, const QString& titulo, QWidget* pai = nullptr);

// Lays out the parts (with a progress window for long reports), then shows the preview.
// Returns false when the layout was cancelled or printing failed.
bool MostraRelatorio(const QVector<Parte*>& partes, const QString& titulo, QWidget* pai = nullptr);
bool MostraRelatorio(Parte& parte, const QString& titulo, QWidget* pai = nullptr);

} // namespace vx::rel
