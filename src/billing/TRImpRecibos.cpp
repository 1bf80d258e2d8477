#include "billing/TRImpRecibos.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"
#include "reports/UiPreview.h"

#include <QTextLayout>

namespace vx {

using rel::Alinha;
using rel::Banda;
using rel::Contexto;
using rel::Fonte;

namespace {

Fonte fonte(double pontos, bool negrito = false) { return Fonte{}.tamanho(pontos).emNegrito(negrito); }
Fonte mono(double pontos, bool negrito = false)
{
    Fonte f = fonte(pontos, negrito);
    f.familia = QStringLiteral("Liberation Mono");
    return f;
}

// Text of the current row's field.
rel::FuncTexto campo(const QString& nome)
{
    return [nome](const Contexto& c) { return c.campo(nome); };
}

void texto(Banda& b, const QRectF& r, const QString& t, const Fonte& f, Alinha a = Alinha::Esquerda)
{
    b.calculado(r, [t](const Contexto&) { return t; }, a).com(f);
}

// The lines of a text wrapped at words to the width (mm) in the font; the last text is kept, so the
// elements of one paragraph share the work.
const QStringList& linhasQuebradas(const QString& texto, const Fonte& f, double largura)
{
    static QString ultimoTexto;
    static QString ultimaChave;
    static QStringList linhas;
    const QString chave = f.qfont().key() + QString::number(largura);
    if (texto == ultimoTexto && chave == ultimaChave && !linhas.isEmpty())
        return linhas;
    ultimoTexto = texto;
    ultimaChave = chave;
    linhas.clear();
    for (const QString& paragrafo : texto.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragrafo, f.qfont());
        QTextOption op;
        op.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(op);
        layout.beginLayout();
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(rel::mm(largura));
            linhas << paragrafo.mid(l.textStart(), l.textLength()).trimmed();
        }
        layout.endLayout();
    }
    return linhas;
}

// A paragraph of the row's field in at most `maxLinhas` lines of `altura` mm from the top of `r`;
// what does not fit is left out rather than overlapping the next field.
void paragrafo(Banda& b, const QRectF& r, const QString& nomeCampo, const Fonte& f, int maxLinhas, double altura)
{
    for (int i = 0; i < maxLinhas; ++i)
        b.calculado(QRectF(r.left(), r.top() + i * altura, r.width(), altura), [=](const Contexto& c) {
             return linhasQuebradas(c.campo(nomeCampo), f, r.width()).value(i);
         }).com(f);
}

QImage logoConsorcio()
{
    return QImage(CaminhoInstalacao(QStringLiteral("logoconsorcio.jpg")));
}

// Logo, name, address, tax number and contact across the width; returns the height used.
double cabecalho(Banda& b, const IdentidadeConsorcio& id, double largura)
{
    const QImage logo = logoConsorcio();
    double x = 0;
    if (!logo.isNull() && logo.height() > 0) {
        const double h = 20, w = qMin(36.0, h * logo.width() / logo.height());
        b.imagem(QRectF(0, 0, w, h), logo);
        x = w + 4;
    }
    texto(b, QRectF(x, 0.5, largura - x, 7), id.nome, fonte(13, true));
    texto(b, QRectF(x, 8, largura - x, 4.5), id.linhaEndereco() + QStringLiteral(" - ") + id.cidade
                                                  + QLatin1Char('/') + id.uf, fonte(9));
    texto(b, QRectF(x, 12.5, largura - x, 4.5), QStringLiteral("CNPJ: ") + id.cnpj + QStringLiteral("    Contato: ")
                                                     + id.contato, fonte(9));
    b.linha(QLineF(0, 21.5, largura, 21.5), 0.4);
    return 23;
}

// "Label:" on the left, the row's field wrapped beside it.
void rotulado(Banda& b, double y, int linhas, const QString& rotulo, const QString& nomeCampo, double largura,
              const Fonte& f = fonte(10))
{
    const double altura = f.pontos * 0.45;
    texto(b, QRectF(0, y, 28, altura), rotulo, fonte(10, true));
    paragrafo(b, QRectF(29, y, largura - 29, altura), nomeCampo, f, linhas, altura);
}

void assinatura(Banda& b, double y, double largura, const IdentidadeConsorcio& id)
{
    const double x = largura - 95;
    b.linha(QLineF(x, y, largura, y), 0.3);
    texto(b, QRectF(x, y + 0.8, 95, 4.5), id.responsavel, fonte(9, true), Alinha::Centro);
    texto(b, QRectF(x, y + 5, 95, 4.5), id.cargo, fonte(9), Alinha::Centro);
}

} // namespace

// ---------------------------------------------------------------------------------------------

std::shared_ptr<rel::Documento> TRImpRecibos::Gera(const QVector<Recibo>& recibos, const IdentidadeConsorcio& id)
{
    rel::Formulario f;
    f.copias = 2;
    f.porPagina = 2;
    const double W = f.pagina.larguraUtilMm();
    const double H = f.pagina.alturaUtilMm() / 2;
    Banda& b = f.forma;
    b.altura = H;
    double y = cabecalho(b, id, W);
    b.calculado(QRectF(0, y + 2, W, 8), campo(QStringLiteral("TITULO")), Alinha::Centro).com(fonte(15, true));
    y += 14;
    rotulado(b, y, 2, QStringLiteral("Recebemos de:"), QStringLiteral("PAGADOR"), W);
    y += 12;
    rotulado(b, y, 2, QStringLiteral("o valor de:"), QStringLiteral("VALOR"), W);
    y += 12;
    rotulado(b, y, 6, QStringLiteral("referente a:"), QStringLiteral("REFERENTE"), W, fonte(9.5));
    y += 27;
    b.calculado(QRectF(29, y, W - 29, 5), campo(QStringLiteral("CONDICIONADO"))).com(fonte(9.5, true));
    y += 6;
    texto(b, QRectF(29, y, W - 29, 5), QStringLiteral("e para clareza firmamos o presente."), fonte(10));
    y += 8;
    b.calculado(QRectF(0, y, W, 5), campo(QStringLiteral("LOCALDATA")), Alinha::Direita).com(fonte(10));
    assinatura(b, H - 16, W, id);
    // Cut line between the halves.
    b.linha(QLineF(0, H - 2, W, H - 2), 0.1).cor = Qt::gray;

    QVector<QVariantList> linhas;
    linhas.reserve(recibos.size());
    for (const Recibo& r : recibos)
        linhas << QVariantList{TituloRecibo(r.numero), r.pagador, ValorRecibo(r.valor), r.referente, r.condicionado,
                               LocalDataRecibo(id, r.emissao)};
    f.dados = std::make_unique<rel::DadosMemoria>(
        QStringList{QStringLiteral("TITULO"), QStringLiteral("PAGADOR"), QStringLiteral("VALOR"),
                    QStringLiteral("REFERENTE"), QStringLiteral("CONDICIONADO"), QStringLiteral("LOCALDATA")},
        std::move(linhas));
    return rel::MontaDocumento(f);
}

bool TRImpRecibos::Executa(const QVector<Recibo>& recibos, const IdentidadeConsorcio& id, QWidget* pai)
{
    return rel::MostraPreview(Gera(recibos, id), QStringLiteral("Recibos"), pai);
}

// ---------------------------------------------------------------------------------------------

std::shared_ptr<rel::Documento> TRImpRecibosCumbel::Gera(const QVector<AvisoEmpenho>& avisos,
                                                         const IdentidadeConsorcio& id, const QString& perfil)
{
    rel::Formulario f;
    const double W = f.pagina.larguraUtilMm();
    Banda& b = f.forma;
    b.altura = f.pagina.alturaUtilMm();
    double y = cabecalho(b, id, W);
    b.calculado(QRectF(0, y, W, 5), campo(QStringLiteral("LOCALDATA")), Alinha::Direita).com(fonte(10));
    y += 8;
    texto(b, QRectF(0, y, W, 8), QStringLiteral("AVISO DE EMPENHO / RECIBO"), fonte(15, true), Alinha::Centro);
    y += 14;
    rotulado(b, y, 1, QStringLiteral("Recebemos de:"), QStringLiteral("PAGADOR"), W);
    y += 5;
    b.calculado(QRectF(29, y, W - 29, 5), [](const Contexto& c) {
         return QStringLiteral("autorizado pela Lei Municipal nº ") + c.campo(QStringLiteral("LEI"));
     }).com(fonte(10));
    y += 8;
    rotulado(b, y, 3, QStringLiteral("o valor de:"), QStringLiteral("VALOR"), W);
    y += 15;
    texto(b, QRectF(0, y, W, 5), QStringLiteral("conforme demonstrativo abaixo:"), fonte(10));
    y += 7;
    paragrafo(b, QRectF(10, y, W - 10, 5), QStringLiteral("DEMONSTRATIVO"), mono(10), 14, 4.6);
    y += 66;
    const QStringList deposito = InstrucoesDeposito(perfil);
    b.caixa(QRectF(0, y, W, 30), 0.4);
    texto(b, QRectF(3, y + 2, 60, 6), deposito.value(0), fonte(11, true));
    for (int i = 1; i < deposito.size(); ++i)
        texto(b, QRectF(63, y + 2 + (i - 1) * 5, W - 66, 5), deposito.at(i), fonte(10));
    y += 34;
    const Fonte fn = fonte(8.5, true);
    const QStringList nota = linhasQuebradas(NotaAviso(), fn, W);
    for (int i = 0; i < nota.size(); ++i)
        texto(b, QRectF(0, y + i * 4, W, 4), nota.at(i), fn);
    assinatura(b, y + 34, W, id);

    QVector<QVariantList> linhas;
    linhas.reserve(avisos.size());
    for (const AvisoEmpenho& a : avisos) {
        QStringList demo;
        for (const auto& l : a.demonstrativo)
            demo << LinhaDemonstrativo(l.first, l.second);
        linhas << QVariantList{a.pagador, a.lei, ValorAviso(a.liquido), demo.join(QLatin1Char('\n')),
                               LocalDataRecibo(id, a.emissao)};
    }
    f.dados = std::make_unique<rel::DadosMemoria>(QStringList{QStringLiteral("PAGADOR"), QStringLiteral("LEI"),
                                                              QStringLiteral("VALOR"), QStringLiteral("DEMONSTRATIVO"),
                                                              QStringLiteral("LOCALDATA")},
                                                  std::move(linhas));
    return rel::MontaDocumento(f);
}

bool TRImpRecibosCumbel::Executa(const QVector<AvisoEmpenho>& avisos, const IdentidadeConsorcio& id,
                                 const QString& perfil, QWidget* pai)
{
    return rel::MostraPreview(Gera(avisos, id, perfil), QStringLiteral("Aviso de Empenho / Recibo"), pai);
}

} // namespace vx
