#include "billing/TRCreditos.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"

namespace vx {

using namespace rel;

namespace {
const QString kValor = QStringLiteral("###,##0.00");
} // namespace

std::unique_ptr<Relatorio> TRCreditos::Monta(const RelatorioCreditos& r, const QString& tipo,
                                             const QString& legendaCalendario)
{
    QVector<QVariantList> linhas;
    for (const SaldoCredito& l : r.linhas)
        linhas.append({l.codigo, l.nome, QVariant::fromValue(l.saldoInicial), QVariant::fromValue(l.valorGasto),
                       QVariant::fromValue(l.saldoFinal)});
    auto rel = std::make_unique<Relatorio>();
    rel->dados = std::make_unique<DadosMemoria>(
        QStringList{QStringLiteral("CLI_ORIGEM"), QStringLiteral("NOME"), QStringLiteral("SALDOINICIAL"),
                    QStringLiteral("VALORGASTO"), QStringLiteral("SALDOFINAL")},
        linhas);
    rel->cabecalhoPadrao(NomeInstalacao(), QStringLiteral("Créditos Financeiros dos Municípios"),
                         QStringLiteral("Recurso: ") + tipo + QStringLiteral("      ") + legendaCalendario);
    rel->resumoSemLinhas = true;
    rel->coluna(QStringLiteral("Município"), QStringLiteral("NOME"), 0).calculada([](const Contexto& c) {
        return c.campo(QStringLiteral("CLI_ORIGEM")) + QStringLiteral(" - ") + c.campo(QStringLiteral("NOME"));
    });
    rel->coluna(QStringLiteral("Saldo Inicial"), QStringLiteral("SALDOINICIAL"), 32).soma().comMascara(kValor);
    rel->coluna(QStringLiteral("Valor Gasto"), QStringLiteral("VALORGASTO"), 32).soma().comMascara(kValor);
    rel->coluna(QStringLiteral("Saldo Final"), QStringLiteral("SALDOFINAL"), 32).soma().comMascara(kValor);
    rel->resumo = rel->bandaTotais(QStringLiteral("Totais:"), rel->pagina.larguraUtilMm());
    return rel;
}

std::shared_ptr<Documento> TRCreditos::Gera(Transacao& tr, const QString& tipo, const Calendario& c)
{
    const RelatorioCreditos r = SaldosCreditosMunicipios(tr, tipo, LeData(c.inicio), LeData(c.fim));
    auto rel = Monta(r, tipo, c.inicio.isEmpty() && c.fim.isEmpty()
                                  ? QString()
                                  : QStringLiteral("Calendário: ") + c.descricao + QStringLiteral(" (") + c.inicio
                                        + QStringLiteral(" a ") + c.fim + QLatin1Char(')'));
    return MontaDocumento(*rel);
}

} // namespace vx
