#include "reports/Folha.h"

#include <QFontMetricsF>
#include <QTextLayout>

namespace vx::rel {

double LarguraMm(const QString& texto, const Fonte& f)
{
    return QFontMetricsF(f.qfont()).horizontalAdvance(texto) * 25.4 / kDpi;
}

Fonte Cabe(const QString& texto, Fonte f, double larguraMm)
{
    while (f.pontos > 6 && LarguraMm(texto, f) > larguraMm)
        f.pontos -= 0.5;
    return f;
}

QStringList QuebraLinhas(const QStringList& textos, const Fonte& f, double larguraMm, int maximo)
{
    const QFont fonte = f.qfont();
    QTextOption op;
    op.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QStringList r;
    for (const QString& t : textos) {
        const QString& s = t;
        if (s.trimmed().isEmpty()) {
            r << QString();
            continue;
        }
        QTextLayout layout(s, fonte);
        layout.setTextOption(op);
        layout.beginLayout();
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(mm(larguraMm));
            r << s.mid(l.textStart(), l.textLength()).trimmed();
        }
        layout.endLayout();
    }
    if (maximo > 0 && r.size() > maximo)
        r.resize(maximo);
    return r;
}

QString Juntos(const QStringList& partes, const QString& sep)
{
    QStringList r;
    for (const QString& p : partes)
        if (!p.trimmed().isEmpty())
            r << p.trimmed();
    return r.join(sep);
}

Elemento& Folha::texto(double x, double y, double w, double h, const QString& t, const Fonte& f, Alinha a)
{
    return m_b.calculado(QRectF(x, y, w, h), [t](const Contexto&) { return t; }, a).com(f);
}

Elemento& Folha::calculado(double x, double y, double w, double h, FuncTexto fn, const Fonte& f, Alinha a)
{
    return m_b.calculado(QRectF(x, y, w, h), std::move(fn), a).com(f);
}

Elemento& Folha::caixa(double x, double y, double w, double h, double esp, const QColor& fundo)
{
    Elemento& e = m_b.caixa(QRectF(x, y, w, h), esp);
    e.fundo = fundo;
    return e;
}

void Folha::linha(double x1, double y1, double x2, double y2, double esp)
{
    m_b.linha(QLineF(x1, y1, x2, y2), esp);
}

void Folha::preenchido(double x, double y, double w, double h)
{
    caixa(x, y, w, h, 0, Qt::black);
}

void Folha::imagem(const QRectF& r, const QImage& img, bool aEsquerda)
{
    if (img.isNull() || img.height() == 0)
        return;
    const double ar = double(img.width()) / img.height();
    QRectF alvo = r;
    if (ar > r.width() / r.height())
        alvo.setHeight(r.width() / ar);
    else
        alvo.setWidth(r.height() * ar);
    alvo.moveCenter(aEsquerda ? QPointF(r.left() + alvo.width() / 2, r.center().y()) : r.center());
    m_b.imagem(alvo, img);
}

void Folha::linhas(double x, double y, double w, double h, double passo, const QStringList& textos, const Fonte& f)
{
    int i = 0;
    for (const QString& l : QuebraLinhas(textos, f, w, int((h + 0.01) / passo)))
        texto(x, y + passo * i++, w, passo, l, f);
}

void Folha::paragrafo(double x, double y, double w, double passo, int maxLinhas, FuncTexto fn, const Fonte& f)
{
    // The lines of the row's text are wrapped once and shared by the paragraph's elements.
    struct Cache {
        QString texto;
        QStringList linhas;
    };
    auto cache = std::make_shared<Cache>();
    for (int i = 0; i < maxLinhas; ++i)
        calculado(x, y + i * passo, w, passo, [=](const Contexto& c) {
            const QString t = fn(c);
            if (t != cache->texto) {
                cache->texto = t;
                cache->linhas = QuebraLinhas(t.split(QLatin1Char('\n')), f, w, maxLinhas);
            }
            return cache->linhas.value(i);
        }, f);
}

} // namespace vx::rel
