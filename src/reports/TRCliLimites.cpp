#include "reports/TRCliLimites.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "reports/RelCadastros.h"

namespace vx {

using namespace rel;

namespace {

const QString kValor = QStringLiteral("###,##0.00");

QString vazio(const Contexto&) { return {}; }

} // namespace

QString TRCliLimites::Titulo() { return QStringLiteral("Cotas Máximas Cadastradas por Municípios"); }

std::unique_ptr<Relatorio> TRCliLimites::Monta(Transacao& tr, const QString& municipio, int ano)
{
    auto r = std::make_unique<Relatorio>();
    AplicaMargemCadastros(r->pagina);
    const QString codigo = municipio.trimmed();
    QString municipios = QStringLiteral("SELECT C.CODIGO, C.NOME, C.FONES, C.POPULACAO FROM CLIENTES C ");
    if (!codigo.isEmpty())
        municipios += QStringLiteral("WHERE C.CODIGO=") + SqlTexto(codigo) + QLatin1Char(' ');
    r->dados = std::make_unique<DadosSql>(tr, municipios + QStringLiteral("ORDER BY C.CODIGO"));
    r->cabecalhoPadrao(SessaoAtual().PerfilConsorcio, Titulo(),
                       ano > 0 ? QStringLiteral("Ano: ") + QString::number(ano) : QString());
    const double w = r->pagina.larguraUtilMm();
    const Fonte normal = r->fonteColunas;

    // The municipality's row in bold, its phones and population under the name; its limits and
    // their entries below, in the same columns.
    r->fonteColunas = normal.tamanho(9).emNegrito();
    r->alturaLinha = 6;
    r->coluna(QStringLiteral("Código"), QStringLiteral("CODIGO"), 17);
    r->coluna(QStringLiteral("Município"), QStringLiteral("NOME"), 0);
    r->coluna(QStringLiteral("Período"), QString(), 17).calculada(vazio);
    r->coluna(QStringLiteral("Lançamento"), QString(), 21).calculada(vazio);
    r->coluna(QStringLiteral("Valor"), QString(), 25, Alinha::Direita).calculada(vazio);
    r->coluna(QString(), QString(), 3).calculada(vazio);
    r->coluna(QStringLiteral("Obs."), QString(), 55).calculada(vazio);
    Banda& dados = r->detalhe(4.6);
    const double xNome = CelulaDaColuna(*r, 1, 4.2).left();
    dados.calculado(QRectF(xNome, 0, w - xNome, 4.2), [](const Contexto& c) {
        const QVariant p = c.linha ? c.linha->valor(QStringLiteral("POPULACAO")) : QVariant();
        return QStringLiteral("Fones: ") + c.campo(QStringLiteral("FONES")) + QStringLiteral("    População: ")
               + (p.isValid() ? FormataInteiro(p.toLongLong()) : QString());
    }).com(normal);

    const double h = 4.2;
    // A hyphen before the year: "MM-YYYY" periods of that year.
    const QString doAno =
        ano > 0 ? QStringLiteral("AND L.PERIODO LIKE ") + SqlTexto(QStringLiteral("%-%1%").arg(ano)) + QLatin1Char(' ') : QString();
    Secao& lim = r->filha(SubLista(tr, [doAno](const Linha& m) {
        return QStringLiteral("SELECT L.CODCLIENTE, L.PERIODO, L.VALOR, L.OBS FROM CLILIMITES L WHERE L.CODCLIENTE=")
               + SqlTexto(m.texto(QStringLiteral("CODIGO"))) + QLatin1Char(' ') + doAno + QStringLiteral("ORDER BY L.PERIODO");
    }));
    Banda& limite = lim.detalhe(h);
    limite.linha(QLineF(CelulaDaColuna(*r, 2, h).left(), 0.1, w, 0.1), 0.1).cor = Qt::gray;
    limite.campo(CelulaDaColuna(*r, 2, h), QStringLiteral("PERIODO")).com(normal.emNegrito());
    limite.campo(CelulaDaColuna(*r, 4, h), QStringLiteral("VALOR"), Formato::Auto, Alinha::Direita)
        .com(normal.emNegrito())
        .comMascara(kValor);
    limite.campo(CelulaDaColuna(*r, 6, h), QStringLiteral("OBS")).com(normal).quebraLinha();
    lim.resumo = Banda(2);

    Secao& lanc = lim.filha(SubLista(tr, [](const Linha& l) {
        return QStringLiteral("SELECT * FROM LANCLIMITES WHERE CODCLIENTE=") + SqlTexto(l.texto(QStringLiteral("CODCLIENTE")))
               + QStringLiteral(" AND PERIODO=") + SqlTexto(l.texto(QStringLiteral("PERIODO"))) + QStringLiteral(" ORDER BY DATALANC");
    }));
    Fonte italico = normal;
    italico.italico = true;
    Banda& entrada = lanc.detalhe(h);
    entrada.campo(CelulaDaColuna(*r, 3, h), QStringLiteral("DATALANC"), Formato::Data, Alinha::Centro).com(italico);
    entrada.campo(CelulaDaColuna(*r, 4, h), QStringLiteral("VALOR"), Formato::Auto, Alinha::Direita).com(italico).comMascara(kValor);
    entrada.campo(CelulaDaColuna(*r, 6, h), QStringLiteral("OBS")).com(italico).quebraLinha();
    return r;
}

std::shared_ptr<Documento> TRCliLimites::Gera(Transacao& tr, const QString& municipio, int ano)
{
    return MontaDocumento(*Monta(tr, municipio, ano));
}

} // namespace vx
