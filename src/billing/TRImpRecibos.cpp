#include "billing/TRImpRecibos.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"
#include "reports/UiPreview.h"

#include "reports/Folha.h"

namespace vx {

using rel::Alinha;
using rel::Banda;
using rel::Contexto;
using rel::Folha;
using rel::Fonte;

namespace {

Fonte fonte(double pontos, bool negrito = false) { return Fonte{}.tamanho(pontos).emNegrito(negrito); }
Fonte mono(double pontos)
{
    Fonte f = fonte(pontos);
    f.familia = QStringLiteral("Liberation Mono");
    return f;
}

// Text of the current row's field.
rel::FuncTexto campo(const QString& nome)
{
    return [nome](const Contexto& c) { return c.campo(nome); };
}

// Logo, name, address, tax number and contact across the width; returns the height used.
double cabecalho(Folha& f, const IdentidadeConsorcio& id, double largura)
{
    const QImage logo(CaminhoInstalacao(QStringLiteral("logoconsorcio.jpg")));
    double x = 0;
    if (!logo.isNull() && logo.height() > 0) {
        const double w = qMin(36.0, 20.0 * logo.width() / logo.height());
        f.imagem(QRectF(0, 0, w, 20), logo);
        x = w + 4;
    }
    f.texto(x, 0.5, largura - x, 7, id.nome, fonte(13, true));
    f.texto(x, 8, largura - x, 4.5, id.linhaEndereco() + QStringLiteral(" - ") + id.cidade + QLatin1Char('/') + id.uf,
            fonte(9));
    f.texto(x, 12.5, largura - x, 4.5, QStringLiteral("CNPJ: ") + id.cnpj + QStringLiteral("    Contato: ") + id.contato,
            fonte(9));
    f.linha(0, 21.5, largura, 21.5, 0.4);
    return 23;
}

// "Label:" on the left, the row's field wrapped beside it in at most `linhas` lines.
void rotulado(Folha& f, double y, int linhas, const QString& rotulo, const QString& nomeCampo, double largura,
              const Fonte& fv = fonte(10))
{
    const double passo = fv.pontos * 0.45;
    f.texto(0, y, 28, passo, rotulo, fonte(10, true));
    f.paragrafo(29, y, largura - 29, passo, linhas, campo(nomeCampo), fv);
}

void assinatura(Folha& f, double y, double largura, const IdentidadeConsorcio& id)
{
    const double x = largura - 95;
    f.linha(x, y, largura, y, 0.3);
    f.texto(x, y + 0.8, 95, 4.5, id.responsavel, fonte(9, true), Alinha::Centro);
    f.texto(x, y + 5, 95, 4.5, id.cargo, fonte(9), Alinha::Centro);
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
    f.forma.altura = H;
    Folha b(f.forma);
    double y = cabecalho(b, id, W);
    b.calculado(0, y + 2, W, 8, campo(QStringLiteral("TITULO")), fonte(15, true), Alinha::Centro);
    y += 14;
    rotulado(b, y, 2, QStringLiteral("Recebemos de:"), QStringLiteral("PAGADOR"), W);
    y += 12;
    rotulado(b, y, 2, QStringLiteral("o valor de:"), QStringLiteral("VALOR"), W);
    y += 12;
    rotulado(b, y, 6, QStringLiteral("referente a:"), QStringLiteral("REFERENTE"), W, fonte(9.5));
    y += 27;
    b.calculado(29, y, W - 29, 5, campo(QStringLiteral("CONDICIONADO")), fonte(9.5, true));
    y += 6;
    b.texto(29, y, W - 29, 5, QStringLiteral("e para clareza firmamos o presente."), fonte(10));
    y += 8;
    b.calculado(0, y, W, 5, campo(QStringLiteral("LOCALDATA")), fonte(10), Alinha::Direita);
    assinatura(b, H - 16, W, id);
    // Cut line between the halves.
    f.forma.linha(QLineF(0, H - 2, W, H - 2), 0.1).cor = Qt::gray;

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
    f.forma.altura = f.pagina.alturaUtilMm();
    Folha b(f.forma);
    double y = cabecalho(b, id, W);
    b.calculado(0, y, W, 5, campo(QStringLiteral("LOCALDATA")), fonte(10), Alinha::Direita);
    y += 8;
    b.texto(0, y, W, 8, QStringLiteral("AVISO DE EMPENHO / RECIBO"), fonte(15, true), Alinha::Centro);
    y += 14;
    rotulado(b, y, 1, QStringLiteral("Recebemos de:"), QStringLiteral("PAGADOR"), W);
    y += 5;
    b.calculado(29, y, W - 29, 5, [](const Contexto& c) {
        return QStringLiteral("autorizado pela Lei Municipal nº ") + c.campo(QStringLiteral("LEI"));
    }, fonte(10));
    y += 8;
    rotulado(b, y, 3, QStringLiteral("o valor de:"), QStringLiteral("VALOR"), W);
    y += 15;
    b.texto(0, y, W, 5, QStringLiteral("conforme demonstrativo abaixo:"), fonte(10));
    y += 7;
    b.paragrafo(10, y, W - 10, 4.6, 14, campo(QStringLiteral("DEMONSTRATIVO")), mono(10));
    y += 66;
    const QStringList deposito = InstrucoesDeposito(perfil);
    b.caixa(0, y, W, 30, 0.4);
    b.texto(3, y + 2, 60, 6, deposito.value(0), fonte(11, true));
    b.linhas(63, y + 2, W - 66, 26, 5, deposito.mid(1), fonte(10));
    y += 34;
    b.linhas(0, y, W, 16, 4, {NotaAviso()}, fonte(8.5, true));
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
