#pragma once
// Drawing on a fixed form's band in millimetres from its top-left corner: literal and computed
// texts, boxes, lines, filled boxes, fitted images and texts wrapped into a fixed number of lines
// (a form never grows: what does not fit is left out rather than drawn over the next field).
#include "reports/Relatorio.h"

namespace vx::rel {

// Width of the text in the font, in mm.
double LarguraMm(const QString& texto, const Fonte& f);
// The largest size, from the font's down to 6 points, at which the text fits the width.
Fonte Cabe(const QString& texto, Fonte f, double larguraMm);
// The texts wrapped at words (a word longer than the line is cut) to the width; each text starts
// a new line. At most `maximo` lines (0: all).
QStringList QuebraLinhas(const QStringList& textos, const Fonte& f, double larguraMm, int maximo = 0);

// The non-blank parts, trimmed, joined by the separator.
QString Juntos(const QStringList& partes, const QString& sep);

class Folha {
public:
    explicit Folha(Banda& b) : m_b(b) {}
    Banda& banda() { return m_b; }

    // Literal text (never read as a template).
    Elemento& texto(double x, double y, double w, double h, const QString& t, const Fonte& f,
                    Alinha a = Alinha::Esquerda);
    // Text computed for each row or copy.
    Elemento& calculado(double x, double y, double w, double h, FuncTexto fn, const Fonte& f,
                        Alinha a = Alinha::Esquerda);
    Elemento& caixa(double x, double y, double w, double h, double esp = 0.2, const QColor& fundo = {});
    void linha(double x1, double y1, double x2, double y2, double esp = 0.2);
    void preenchido(double x, double y, double w, double h);
    // The image fitted into the rectangle, keeping its proportions, centred (left-aligned with
    // `aEsquerda`). Nothing for a null image.
    void imagem(const QRectF& r, const QImage& img, bool aEsquerda = false);
    // Fixed texts wrapped into the area, one line every `passo` mm.
    void linhas(double x, double y, double w, double h, double passo, const QStringList& textos, const Fonte& f);
    // A text of each row wrapped into at most `maxLinhas` lines of `passo` mm.
    void paragrafo(double x, double y, double w, double passo, int maxLinhas, FuncTexto fn, const Fonte& f);

private:
    Banda& m_b;
};

} // namespace vx::rel
