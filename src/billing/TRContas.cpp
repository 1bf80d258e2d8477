#include "billing/TRContas.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"
#include "reports/UiPreview.h"

namespace vx {

using namespace rel;

namespace {

const QString kValor = QStringLiteral("###,##0.00");
const QString kTotal = QStringLiteral("TOTAL");

QString vazio(const Contexto&) { return {}; }

} // namespace

std::unique_ptr<Relatorio> TRContas::Monta(Consulta& q, const PedidoContas& p)
{
    auto r = std::make_unique<Relatorio>();
    r->paisagem();
    r->dados = std::make_unique<DadosConsulta>(q);
    r->cabecalhoPadrao(Geral::CONSORCIO().toUpper(), TituloRelatorioConta(p.relatorio), LinhaFiltroContas(p));
    r->resumoSemLinhas = true;

    const bool aberto = RelatorioEmAberto(p.relatorio);
    const QString campoValor = aberto ? QStringLiteral("VALOR") : QStringLiteral("VALORPGTO");
    if (LivroDe(p.relatorio) == Livro::Receber)
        r->coluna(QStringLiteral("Município"), QStringLiteral("NOME"), 0);
    else
        r->coluna(QStringLiteral("Entidade"), QStringLiteral("RAZAOSOCIAL"), 0).calculada([](const Contexto& c) {
            return c.campo(QStringLiteral("CODENTIDADE")) + QStringLiteral(" - ") + c.campo(QStringLiteral("RAZAOSOCIAL"));
        });
    r->coluna(QStringLiteral("ID"), QStringLiteral("ID"), 14, Alinha::Direita);
    r->coluna(QStringLiteral("Venc."), QStringLiteral("DATAVENCIMENTO"), 20, Alinha::Centro);
    r->coluna(QStringLiteral("Doc."), QStringLiteral("DOCDEBITO"), 20);
    r->coluna(aberto ? QStringLiteral("Valor Pendente") : QStringLiteral("Valor Pago"), campoValor, 28, Alinha::Direita)
        .comMascara(kValor);
    r->coluna(QString(), QString(), 3).calculada(vazio);
    r->coluna(QStringLiteral("Histórico"), QStringLiteral("HISTORICO"), 80).quebraLinha();
    const double w = r->pagina.larguraUtilMm();
    if (aberto) {
        // Left blank for the date and bank written by hand, with a line to write on.
        r->coluna(QStringLiteral("Data"), QString(), 22).calculada(vazio);
        r->coluna(QStringLiteral("Banco"), QString(), 30).calculada(vazio);
        const double x = PosicoesColunas(r->colunas, w).value(r->colunas.size() - 2).first;
        Banda& linha = r->detalhe(0.3);
        linha.linha(QLineF(x, 0, w, 0), 0.1).cor = Qt::darkGray;
    } else {
        r->coluna(QStringLiteral("Pagamento"), QStringLiteral("DATAPGTO"), 22, Alinha::Centro);
        r->coluna(QStringLiteral("Doc."), QStringLiteral("DOCPGTO"), 20);
    }
    r->total(kTotal, campoValor);

    const Fonte negrito = r->fonteColunas.emNegrito();
    Banda& fim = r->resumo = Banda(12);
    fim.linha(QLineF(0, 1, w, 1), 0.2);
    fim.calculado(QRectF(0, 2.5, w / 2, 4.5), [](const Contexto& c) {
        return QStringLiteral("Valor Total:   R$ ") + FormataValor(c.totais ? c.totais->soma(kTotal) : Decimal::cents(0), kValor);
    }).com(negrito);
    fim.calculado(QRectF(0, 7, w / 2, 4.5), [](const Contexto& c) {
        return QString::number(c.totais ? c.totais->contagem() : 0) + QStringLiteral(" lançamentos listados.");
    }).com(negrito);
    return r;
}

namespace {
template <typename F>
auto comRelatorio(Transacao& tr, const PedidoContas& p, F&& f)
{
    const ConsultaContas c = SqlRelatorioContas(p);
    Consulta q(tr);
    q.abre(c.sql, c.parametros);
    auto r = TRContas::Monta(q, p);
    return f(*r);
}
} // namespace

std::shared_ptr<Documento> TRContas::Gera(Transacao& tr, const PedidoContas& p)
{
    return comRelatorio(tr, p, [](Relatorio& r) { return MontaDocumento(r); });
}

bool TRContas::Executa(Transacao& tr, const PedidoContas& p, const QString& titulo, QWidget* pai)
{
    return comRelatorio(tr, p, [&](Relatorio& r) { return MostraRelatorio(r, titulo, pai); });
}

} // namespace vx
