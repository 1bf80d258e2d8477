#include "billing/TRBoleto.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"
#include "reports/Folha.h"
#include "reports/UiPreview.h"

#include <QFile>

#include <zint.h>

namespace vx {

using namespace rel;

namespace {

constexpr double W = 190;          // usable width of the page (mm)
constexpr double kColuna = 145;    // left edge of the right-hand column of boxes
const QColor kRotulo(0x30, 0x30, 0x30);

Fonte fonte(double pontos, bool negrito = false)
{
    Fonte f;
    f.pontos = pontos;
    f.negrito = negrito;
    return f;
}


// Bars of the Interleaved 2 of 5 symbol (3:1, no check digit added), x and width in modules.
struct Barra {
    double x, largura;
};

QVector<Barra> BarrasI25(const QString& digitos)
{
    struct Simbolo {
        zint_symbol* s = ZBarcode_Create();
        ~Simbolo() { ZBarcode_Delete(s); }
    } z;
    if (!z.s)
        throw ErroValor(QStringLiteral("Não foi possível gerar o código de barras."));
    z.s->symbology = BARCODE_C25INTER;
    z.s->show_hrt = 0;
    const QByteArray d = digitos.toLatin1();
    if (ZBarcode_Encode_and_Buffer_Vector(z.s, reinterpret_cast<const unsigned char*>(d.constData()), int(d.size()), 0)
            >= ZINT_ERROR
        || !z.s->vector || z.s->width <= 0)
        throw ErroValor(QStringLiteral("Não foi possível gerar o código de barras: %1").arg(QString::fromLatin1(z.s->errtxt)));
    // Vector units per module (the symbol has no quiet zones of its own).
    const double unidade = z.s->vector->width / z.s->width;
    QVector<Barra> r;
    for (const zint_vector_rect* q = z.s->vector->rectangles; q; q = q->next)
        r.append({q->x / unidade, q->width / unidade});
    return r;
}

QImage LogoBanco()
{
    for (const char* nome : {"logobanrisul.png", "logobanrisul.jpg"}) {
        const QString caminho = CaminhoInstalacao(QString::fromLatin1(nome));
        if (QFile::exists(caminho)) {
            QImage img(caminho);
            if (!img.isNull())
                return img;
        }
    }
    return {};
}

class Folha : public rel::Folha {
public:
    using rel::Folha::Folha;

    // A box with its caption and the value under it.
    void campo(double x, double y, double w, double h, const QString& legenda, const QString& valor = {},
               Alinha a = Alinha::Esquerda, bool negrito = false)
    {
        caixa(x, y, w, h);
        texto(x + 1, y + 0.3, w - 2, 2.6, legenda, fonte(6)).cor = kRotulo;
        if (!valor.isEmpty())
            texto(x + 1, y + 2.9, w - 2, h - 3.1, valor, fonte(8.5, negrito), a);
    }
    // Logo (or the bank's name), the bank code and the text at the right of the header.
    void cabecalho(double y, const QImage& logo, const QString& direita, const Fonte& fd)
    {
        if (logo.isNull() || logo.height() == 0) {
            texto(0, y, 38, 8.5, QStringLiteral("Banrisul"), fonte(15, true));
        } else {
            imagem(QRectF(0, y + 0.3, 38, 8), logo, true);
        }
        linha(40, y + 1, 40, y + 9, 0.5);
        texto(40, y, 20, 9, QStringLiteral("041-8"), fonte(14, true), Alinha::Centro);
        linha(60, y + 1, 60, y + 9, 0.5);
        texto(62, y, W - 62, 9, direita, fd, Alinha::Direita);
        linha(0, y + 9, W, y + 9, 0.5);
    }
};

struct Textos {
    QString linha, vencimento, agenciaCodigo, nossoNumero, valor, beneficiario, enderecoBeneficiario, pagador,
        enderecoPagador, cidadePagador, numeroDocumento, dataDocumento, dataProcessamento;
};

Textos textosDe(const Boleto& b, const QString& linhaDigitavel)
{
    const CedenteBoleto& c = b.cedente;
    const SacadoBoleto& s = b.sacado;
    Textos t;
    t.linha = linhaDigitavel;
    t.vencimento = TextoData(b.vencimento);
    t.agenciaCodigo = AgenciaCodigoImpresso(c);
    t.nossoNumero = NossoNumeroImpresso(b);
    t.valor = FormataMoeda(b.valor);
    auto documento = [](const QString& n) {
        const QString d = n.trimmed();
        if (d.isEmpty())
            return QString();
        return (d.size() == 11 ? QStringLiteral("CPF: ") : QStringLiteral("CNPJ: ")) + FormataCnpjCpf(d);
    };
    t.beneficiario = rel::Juntos({c.nome, documento(c.cnpjCpf)}, QStringLiteral(" - "));
    const QString rua = rel::Juntos({rel::Juntos({c.logradouro, c.numeroRes}, QStringLiteral(", ")), c.complemento}, QStringLiteral(" "));
    const QString cidade = rel::Juntos({c.cidade, c.uf}, QStringLiteral("/"));
    t.enderecoBeneficiario = rel::Juntos({rua, c.bairro, cidade,
                                     c.cep.trimmed().isEmpty() ? QString() : QStringLiteral("CEP: ") + FormataCep(c.cep)},
                                    QStringLiteral(" - "));
    t.pagador = rel::Juntos({s.nome, documento(s.cnpjCpf)}, QStringLiteral(" - "));
    t.enderecoPagador = rel::Juntos({rel::Juntos({s.logradouro, s.numero}, QStringLiteral(", ")), s.bairro}, QStringLiteral(" - "));
    t.cidadePagador = rel::Juntos({s.cep.trimmed().isEmpty() ? QString() : QStringLiteral("CEP: ") + FormataCep(s.cep),
                              rel::Juntos({s.cidade, s.uf}, QStringLiteral("/"))},
                             QStringLiteral(" - "));
    t.numeroDocumento = b.numeroDocumento;
    t.dataDocumento = TextoData(b.dataDocumento);
    t.dataProcessamento = TextoData(b.dataProcessamento);
    return t;
}

// The payer's receipt at the top of the page.
void ReciboPagador(Folha& f, const Boleto& b, const Textos& t, const QImage& logo)
{
    f.cabecalho(0, logo, QStringLiteral("Recibo do Pagador"), fonte(10, true));
    double y = 9.5;
    const double h = 8.5;
    const double wd = W - kColuna;
    f.campo(0, y, kColuna, h, QStringLiteral("Beneficiário"), t.beneficiario);
    f.campo(kColuna, y, wd, h, QStringLiteral("Vencimento"), t.vencimento, Alinha::Direita, true);
    y += h;
    f.campo(0, y, kColuna, h, QStringLiteral("Endereço do Beneficiário"), t.enderecoBeneficiario);
    f.campo(kColuna, y, wd, h, QStringLiteral("Agência/Código Beneficiário"), t.agenciaCodigo, Alinha::Direita);
    y += h;
    f.campo(0, y, kColuna, h, QStringLiteral("Pagador"), t.pagador);
    f.campo(kColuna, y, wd, h, QStringLiteral("Nosso Número"), t.nossoNumero, Alinha::Direita);
    y += h;
    f.campo(0, y, 35, h, QStringLiteral("Nº do Documento"), t.numeroDocumento);
    f.campo(35, y, 35, h, QStringLiteral("Data do Documento"), t.dataDocumento);
    f.campo(70, y, 25, h, QStringLiteral("Espécie Doc."), b.especie);
    f.campo(95, y, 35, h, QStringLiteral("Data Processamento"), t.dataProcessamento);
    f.campo(130, y, kColuna - 130, h, QStringLiteral("Espécie"), QStringLiteral("R$"));
    f.campo(kColuna, y, wd, h, QStringLiteral("Valor do Documento"), t.valor, Alinha::Direita, true);
    y += h;
    f.caixa(0, y, kColuna, 3 * h);
    f.texto(1, y + 0.3, kColuna - 2, 2.6, QStringLiteral("Demonstrativo"), fonte(6)).cor = kRotulo;
    f.linhas(1, y + 3.2, kColuna - 2, 3 * h - 3.4, 3.3, b.mensagens, fonte(8));
    f.campo(kColuna, y, wd, h, QStringLiteral("(-) Desconto/Abatimento"));
    f.campo(kColuna, y + h, wd, h, QStringLiteral("(+) Mora/Multa"));
    f.campo(kColuna, y + 2 * h, wd, h, QStringLiteral("(=) Valor Cobrado"));
    y += 3 * h;
    f.texto(90, y + 0.4, W - 90, 3, QStringLiteral("Autenticação Mecânica - Recibo do Pagador"), fonte(6.5, true),
            Alinha::Direita);
}

// The compensation slip, from `topo` down: boxes, then the bar code.
void FichaCompensacao(Folha& f, const Boleto& b, const Textos& t, const QString& barras, const QImage& logo, double topo)
{
    f.cabecalho(topo, logo, t.linha, fonte(11, true));
    const double wd = W - kColuna;
    const double h = 7.5;
    double y = topo + 9.5;
    f.campo(0, y, kColuna, h, QStringLiteral("Local de Pagamento"), b.localPagamento);
    f.campo(kColuna, y, wd, h, QStringLiteral("Vencimento"), t.vencimento, Alinha::Direita, true);
    y += h;
    f.caixa(0, y, kColuna, 10);
    f.texto(1, y + 0.3, kColuna - 2, 2.6, QStringLiteral("Beneficiário"), fonte(6)).cor = kRotulo;
    f.texto(1, y + 2.9, kColuna - 2, 3.4, t.beneficiario, fonte(8.5));
    f.texto(1, y + 6.3, kColuna - 2, 3.4, t.enderecoBeneficiario, fonte(7.5));
    f.campo(kColuna, y, wd, 10, QStringLiteral("Agência/Código Beneficiário"), t.agenciaCodigo, Alinha::Direita);
    y += 10;
    f.campo(0, y, 30, h, QStringLiteral("Data do Documento"), t.dataDocumento);
    f.campo(30, y, 40, h, QStringLiteral("Nº do Documento"), t.numeroDocumento);
    f.campo(70, y, 25, h, QStringLiteral("Espécie Doc."), b.especie);
    f.campo(95, y, 15, h, QStringLiteral("Aceite"), b.aceite, Alinha::Centro);
    f.campo(110, y, kColuna - 110, h, QStringLiteral("Data Processamento"), t.dataProcessamento);
    f.campo(kColuna, y, wd, h, QStringLiteral("Nosso Número"), t.nossoNumero, Alinha::Direita);
    y += h;
    f.campo(0, y, 30, h, QStringLiteral("Uso do Banco"));
    f.campo(30, y, 20, h, QStringLiteral("Carteira"), b.carteira, Alinha::Centro);
    f.campo(50, y, 20, h, QStringLiteral("Espécie"), QStringLiteral("R$"), Alinha::Centro);
    f.campo(70, y, 40, h, QStringLiteral("Quantidade"));
    f.campo(110, y, kColuna - 110, h, QStringLiteral("Valor"));
    f.campo(kColuna, y, wd, h, QStringLiteral("Valor do Documento"), t.valor, Alinha::Direita, true);
    y += h;
    const double hi = 7;
    f.caixa(0, y, kColuna, 5 * hi);
    f.texto(1, y + 0.3, kColuna - 2, 2.6, QStringLiteral("Instruções (texto de responsabilidade do beneficiário)"),
            fonte(6)).cor = kRotulo;
    f.linhas(1, y + 3.2, kColuna - 2, 5 * hi - 3.4, 3.5, b.mensagens, fonte(8.5));
    const char* const direita[] = {"(-) Desconto/Abatimento", "(-) Outras Deduções", "(+) Mora/Multa",
                                   "(+) Outros Acréscimos", "(=) Valor Cobrado"};
    for (int i = 0; i < 5; ++i)
        f.campo(kColuna, y + i * hi, wd, hi, QString::fromUtf8(direita[i]));
    y += 5 * hi;
    f.caixa(0, y, W, 12);
    f.texto(1, y + 0.3, 30, 2.6, QStringLiteral("Pagador"), fonte(6)).cor = kRotulo;
    f.texto(1, y + 2.8, W - 2, 3.1, t.pagador, fonte(8));
    f.texto(1, y + 5.8, W - 2, 3.1, t.enderecoPagador, fonte(8));
    f.texto(1, y + 8.8, W - 2, 3.1, t.cidadePagador, fonte(8));
    y += 12;
    f.texto(90, y + 0.3, W - 90, 3, QStringLiteral("Autenticação Mecânica - Ficha de Compensação"), fonte(6.5, true),
            Alinha::Direita);
    // Interleaved 2 of 5 with its quiet zone: 5 mm of blank paper on each side of the bars.
    y += 4;
    const double x0 = 5;
    for (const Barra& br : BarrasI25(barras))
        f.preenchido(x0 + br.x * kBarraEstreitaMm, y, br.largura * kBarraEstreitaMm, kAlturaBarrasMm);
}

std::unique_ptr<Formulario> PaginaBoleto(const Boleto& b, const QImage& logo)
{
    const QString barras = CodigoBarras(b);
    const Textos t = textosDe(b, LinhaDigitavel(barras));
    auto form = std::make_unique<Formulario>();
    const double alturaUtil = form->pagina.alturaUtilMm();
    form->forma = Banda(alturaUtil);
    Folha f(form->forma);
    ReciboPagador(f, b, t, logo);
    // The compensation slip takes the bottom of the sheet; the cut line runs just above it.
    const double ficha = alturaUtil - 107;
    const double corte = ficha - 5;
    f.texto(110, corte - 3.4, W - 110, 3, QStringLiteral("Corte na linha pontilhada"), fonte(6), Alinha::Direita);
    for (double x = 0; x < W; x += 3.5)
        f.linha(x, corte, qMin(W, x + 2), corte, 0.2);
    FichaCompensacao(f, b, t, barras, logo, ficha);
    return form;
}

std::vector<std::unique_ptr<Formulario>> Paginas(const QVector<Boleto>& boletos)
{
    const QImage logo = LogoBanco();
    std::vector<std::unique_ptr<Formulario>> r;
    r.reserve(size_t(boletos.size()));
    for (const Boleto& b : boletos)
        r.push_back(PaginaBoleto(b, logo));
    return r;
}

QVector<Parte*> partesDe(const std::vector<std::unique_ptr<Formulario>>& paginas)
{
    QVector<Parte*> r;
    r.reserve(qsizetype(paginas.size()));
    for (const auto& p : paginas)
        r.append(p.get());
    return r;
}

} // namespace

std::shared_ptr<Documento> TRBoleto::Gera(const QVector<Boleto>& boletos)
{
    const auto paginas = Paginas(boletos);
    return MontaDocumento(partesDe(paginas));
}

bool TRBoleto::Executa(const QVector<Boleto>& boletos, const QString& titulo, QWidget* pai)
{
    if (boletos.isEmpty())
        return true;
    const auto paginas = Paginas(boletos);
    return MostraRelatorio(partesDe(paginas), titulo, pai);
}

} // namespace vx
