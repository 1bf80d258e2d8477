#include "core/UFunc.h"
#include "reports/TRAutorizacoes.h"

namespace vx {

using namespace rel;

std::unique_ptr<Relatorio> TRAutorizacoesTot::Monta(Transacao& tr, const FiltroAutorizacoes& f)
{
    const ConsultaRelatorio c = SqlTotais(f);
    auto r = std::make_unique<Relatorio>();
    r->dados = std::make_unique<DadosSql>(tr, c.sql, c.parametros);
    CabecalhoAutorizacoes(*r, NomeInstalacao(f.identidade), TituloRelatorioAutorizacoes(f), c.legenda,
                          !f.municipioPapel() && f.comControle() ? ControleTotais(f.data1) : QString());
    r->zebrado = true;
    r->coluna(QStringLiteral("Código"), QStringLiteral("CODIGO"), 22).formatado(Formato::Texto);
    r->coluna(f.ordemTexto, QStringLiteral("NOME"), 0);
    r->coluna(QStringLiteral("Quant."), QStringLiteral("QUANT"), 20).formatado(Formato::Inteiro).soma();
    r->coluna(f.valorSus ? QStringLiteral("Valor SUS") : QStringLiteral("Valor"), QStringLiteral("VALOR"), 30).soma();
    r->resumo = r->bandaTotais(QStringLiteral("Total Geral:"), r->pagina.larguraUtilMm());
    return r;
}

} // namespace vx
