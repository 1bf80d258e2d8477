#include "core/Banco.h"
#include "core/UFunc.h"
#include "reports/TRAutorizacoes.h"

namespace vx {

using namespace rel;

namespace {

const QString kValor = QStringLiteral("###,##0.00");

// Columns, grouping and totals shared by both grouped listings; `cabecalho` fills the master band.
std::unique_ptr<Relatorio> agrupado(Transacao& tr, FiltroAutorizacoes f, bool porEntidade,
                                    const std::function<void(Banda&, double)>& cabecalho)
{
    f.porEntidade = porEntidade;
    const ConsultaRelatorio c = SqlAgrupado(f);
    auto r = std::make_unique<Relatorio>();
    r->dados = std::make_unique<DadosSql>(tr, c.sql, c.parametros);
    CabecalhoAutorizacoes(*r, NomeInstalacao(f.identidade), TituloRelatorioAutorizacoes(f), c.legenda);
    const double w = r->pagina.larguraUtilMm();
    r->coluna(QStringLiteral("Cód. SUS"), QStringLiteral("CODTABSUS"), 26);
    r->coluna(QStringLiteral("Procedimento"), QStringLiteral("NOME"), 0);
    r->coluna(QStringLiteral("Quant."), QStringLiteral("QUANTIDADE"), 18).formatado(Formato::Inteiro).soma();
    r->coluna(QStringLiteral("Valor Unit."), QStringLiteral("VALOR"), 24, Alinha::Direita).comMascara(kValor);
    r->coluna(QStringLiteral("Valor Total"), QStringLiteral("VALORTOTAL"), 28).soma();
    Grupo& g = r->grupo(QStringLiteral("CODMESTRE"));
    g.repeteCabecalho = true;
    g.cabecalho = Banda(5.5);
    g.cabecalho.fundo = [](const Contexto&) { return QColor(0xE6, 0xE6, 0xE6); };
    g.cabecalho.texto(QRectF(0, 0.7, w * 0.55, 4.5), QStringLiteral("{CODMESTRE} - {NOMEMESTRE}")).negrito();
    cabecalho(g.cabecalho, w);
    g.rodape = r->bandaTotais(QStringLiteral("SubTotal:"), w);
    r->resumo = r->bandaTotais(QStringLiteral("Total Geral:"), w);
    return r;
}

} // namespace

std::unique_ptr<Relatorio> TRAutorizacoesPorMunicipio::Monta(Transacao& tr, const FiltroAutorizacoes& f)
{
    return agrupado(tr, f, false, [](Banda& b, double w) {
        b.texto(QRectF(w * 0.55, 0.7, w * 0.45, 4.5), QStringLiteral("Fones: {FONES}   CNPJ: {CNPJ}"), Alinha::Direita);
    });
}

std::unique_ptr<Relatorio> TRAutorizacoesPorEntidade::Monta(Transacao& tr, const FiltroAutorizacoes& f)
{
    // The entity's active professionals with their occupations, read once per entity.
    auto profissionais = [&tr](const Contexto& c) {
        Consulta q(tr);
        q.abre(QStringLiteral("SELECT P.NOME, P.CBO FROM ENTIDADESPROFISS EP INNER JOIN PROFISSIONAIS P ON "
                              "EP.CODPROFISSIONAL=P.CODIGO WHERE EP.CODENTIDADE=? AND EP.DATAEXCLUSAO IS NULL "
                              "ORDER BY P.NOME"),
               {c.campo(QStringLiteral("CODMESTRE")).toLongLong()});
        QStringList nomes;
        for (; !q.eof(); q.proximo()) {
            const QString cbo = q.campo(1).texto().trimmed();
            nomes << q.campo(0).texto().trimmed() + (cbo.isEmpty() ? QString() : QStringLiteral(" (CBO ") + cbo + QLatin1Char(')'));
        }
        return nomes.isEmpty() ? QString() : QStringLiteral("Profissionais: ") + nomes.join(QStringLiteral("; "));
    };
    auto r = agrupado(tr, f, true, [profissionais](Banda& b, double w) {
        b.texto(QRectF(w * 0.55, 0.7, w * 0.45, 4.5), QStringLiteral("CNPJ: {CNPJ}   Fones: {FONES}"), Alinha::Direita);
        b.altura = 14.5;
        b.texto(QRectF(0, 5.5, w, 4), QStringLiteral("{ENDERECO}"));
        b.calculado(QRectF(0, 9.8, w, 4), profissionais).quebraLinha().tamanho(7);
    });
    if (f.chamador == chamador::AdministrativoF && f.municipio.preenchido()) {
        // The municipality's invoice of the period under the grand total.
        Consulta q(tr);
        q.abre(QStringLiteral("SELECT VALORBRUTO, DESCSUS, DESCCUNE, DESCPPC, ACRESCDESC FROM FAT_MUNICIPIO WHERE "
                              "CODCLIENTE=? AND DATAINI=? AND DATAFIM=? AND TIPO='FAT'"),
               {f.municipio.codigo.trimmed(), f.data1, f.data2});
        if (!q.eof()) {
            const Decimal bruto = q.campo(0).decimal(), sus = q.campo(1).decimal(), cune = q.campo(2).decimal(),
                          ppc = q.campo(3).decimal(), outros = q.campo(4).decimal();
            const QStringList linhas{
                QStringLiteral(" Total Município: ") + FormataValor(bruto, kValor),
                QStringLiteral(" Desconto SUS   : ") + FormataValor(sus - cune, kValor),
                QStringLiteral(" SubTotal       : ") + FormataValor(bruto - (sus - cune), kValor),
                QStringLiteral(" Desc. PPC      : ") + FormataValor(ppc, kValor),
                QStringLiteral(" Outros         : ") + FormataValor(outros, kValor),
                QStringLiteral(" TOTAL FINAL    : ") + FormataValor(bruto + outros - sus + cune - ppc, kValor)};
            const double w = r->pagina.larguraUtilMm();
            const double y = r->resumo.altura + 1;
            for (int i = 0; i < linhas.size(); ++i)
                r->resumo.texto(QRectF(w - 90, y + i * 4.2, 90, 4), linhas[i]).com(Fonte{QStringLiteral("Liberation Mono"), 8, i == 5});
            r->resumo.altura = y + linhas.size() * 4.2 + 1;
        }
    }
    return r;
}

} // namespace vx
