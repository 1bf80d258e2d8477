#include "reports/TRConsolidadoMunicipios.h"
#include "billing/Faturamento.h"
#include "core/UFunc.h"
#include "reports/RelCadastros.h"

#include <QDateTime>

namespace vx {

using namespace rel;

namespace {

const QString kValor = QStringLiteral("###,##0.00");
const QString kTotal = QStringLiteral("VALOR");

// The import window, in the parameters that follow it: from the first day's start to the last
// day's end.
const QString kNoPeriodo = QStringLiteral("where m.data_importacao >= ? and m.data_importacao <= ? AND MP.REALIZADO='S' ");

QVariantList periodo(const QDate& inicio, const QDate& fim)
{
    return {QDateTime(inicio, QTime(0, 0)), QDateTime(fim, QTime(23, 59, 59, 999))};
}

} // namespace

QString TRConsolidadoMunicipios::Titulo() { return QStringLiteral("Consolidado de Procedimentos Realizados por Município"); }

std::unique_ptr<Relatorio> TRConsolidadoMunicipios::Monta(Transacao& tr, const QDate& inicio, const QDate& fim)
{
    auto r = std::make_unique<Relatorio>();
    r->dados = std::make_unique<DadosSql>(
        tr,
        QStringLiteral("select m.cli_origem, c.nome, sum(MP.valortotal) AS VALOR") + kDeLinhasProducao
            + QStringLiteral("left outer join clientes c on m.cli_origem=c.codigo ") + kNoPeriodo
            + QStringLiteral("group by m.cli_origem, c.nome order by c.nome"),
        periodo(inicio, fim));
    r->cabecalhoPadrao(NomeInstalacao(), Titulo(),
                       QStringLiteral("Procedimentos realizados entre ") + TextoData(inicio) + QStringLiteral(" e ") + TextoData(fim));
    const double w = r->pagina.larguraUtilMm();
    const Fonte normal = r->fonteColunas;
    // The municipality's row, in bold; its procedures below it in the same columns.
    r->fonteColunas = normal.tamanho(9).emNegrito();
    r->alturaLinha = 6;
    r->coluna(QStringLiteral("Grupo"), QString(), 14).calculada([](const Contexto&) { return QString(); });
    r->coluna(QStringLiteral("Código"), QStringLiteral("CLI_ORIGEM"), 20);
    r->coluna(QStringLiteral("Município / Procedimento"), QStringLiteral("NOME"), 0);
    r->coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 30).soma().comMascara(kValor);

    Secao& proc = r->filha([&tr, inicio, fim](const Linha& m) -> std::unique_ptr<FonteDados> {
        return std::make_unique<DadosSql>(
            tr,
            QStringLiteral("select p.codgrupo, mp.codprocedimento, p.nome, sum(mp.valortotal) AS VALOR") + kDeLinhasProducao
                + QStringLiteral("left outer join procedimentos p on mp.codprocedimento=p.codigo ") + kNoPeriodo
                + QStringLiteral("and m.cli_origem=") + SqlTexto(m.texto(QStringLiteral("CLI_ORIGEM")))
                + QStringLiteral(" group by p.codgrupo, mp.codprocedimento, p.nome order by p.codgrupo, mp.codprocedimento"),
            periodo(inicio, fim));
    });
    const double h = 4.2;
    Banda& linha = proc.detalhe(h);
    linha.campo(CelulaDaColuna(*r, 0, h), QStringLiteral("CODGRUPO")).com(normal);
    linha.campo(CelulaDaColuna(*r, 1, h), QStringLiteral("CODPROCEDIMENTO")).com(normal);
    linha.campo(CelulaDaColuna(*r, 2, h).adjusted(4, 0, 0, 0), QStringLiteral("NOME")).com(normal);
    linha.campo(CelulaDaColuna(*r, 3, h), QStringLiteral("VALOR"), Formato::Auto, Alinha::Direita).com(normal).comMascara(kValor);
    proc.resumo = Banda(2);

    Banda& rodape = r->resumo = Banda(9);
    rodape.linha(QLineF(0, 1.5, w, 1.5), 0.3);
    rodape.texto(QRectF(0, 3, 60, 4.8), QStringLiteral("Valor Total: R$")).com(r->fonteColunas);
    rodape.soma(CelulaDaColuna(*r, 3, 4.8).translated(0, 3), kTotal).com(r->fonteColunas).comMascara(kValor);
    return r;
}

std::shared_ptr<Documento> TRConsolidadoMunicipios::Gera(Transacao& tr, const QDate& inicio, const QDate& fim)
{
    return MontaDocumento(*Monta(tr, inicio, fim));
}

} // namespace vx
