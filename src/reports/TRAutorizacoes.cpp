#include "reports/TRAutorizacoes.h"
#include "core/UFunc.h"

namespace vx {

using namespace rel;

void CabecalhoAutorizacoes(Relatorio& r, const QString& linha1, const QString& titulo, const QString& filtro,
                           const QString& controle)
{
    r.cabecalhoPadrao(linha1, titulo, filtro);
    if (!controle.isEmpty()) // the second element of the usual header is the printing date
        r.cabecalhoPagina.elementos[1].texto = controle;
}

QString TituloRelatorioAutorizacoes(const FiltroAutorizacoes& f)
{
    switch (EscolheRelatorio(f)) {
    case RelatorioAutorizacoes::Lista:
        return f.municipioPapel() ? QStringLiteral("Relação de Autorizações Emitidas")
                                  : QStringLiteral("Listagem de Procedimentos Realizados");
    case RelatorioAutorizacoes::Totais:
        return QStringLiteral("Totalizador de Procedimentos por ") + f.ordemTexto;
    case RelatorioAutorizacoes::PorMunicipio:
        return QStringLiteral("Procedimentos por Município");
    case RelatorioAutorizacoes::PorEntidade:
        return QStringLiteral("Procedimentos por Entidade");
    case RelatorioAutorizacoes::Extrato:
    case RelatorioAutorizacoes::ExtratoComTotais:
        break;
    }
    return QStringLiteral("Relação de Atendimentos por Município");
}

std::unique_ptr<Relatorio> TRAutorizacoes::Monta(Transacao& tr, const FiltroAutorizacoes& f)
{
    const ConsultaRelatorio c = SqlLista(f);
    auto r = std::make_unique<Relatorio>();
    r->dados = std::make_unique<DadosSql>(tr, c.sql, c.parametros);
    CabecalhoAutorizacoes(*r, NomeInstalacao(f.identidade), TituloRelatorioAutorizacoes(f), c.legenda);
    const double w = r->pagina.larguraUtilMm();
    r->coluna(QStringLiteral("Código"), QStringLiteral("CODPROCEDIMENTO"), 18).formatado(Formato::Texto);
    r->coluna(QStringLiteral("Cód. SUS"), QStringLiteral("CODTABSUS"), 26);
    r->coluna(QStringLiteral("Procedimento"), QStringLiteral("NOME"), 0);
    r->coluna(QStringLiteral("Quant."), QStringLiteral("QUANTIDADE"), 16, Alinha::Direita);
    r->coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 26).soma();

    // One group per authorization (origin, number and import stamp).
    Grupo& g = r->grupo(QString());
    g.chave = [](const Linha& l) {
        return l.texto(QStringLiteral("CLI_ORIGEM")) + QLatin1Char('|') + l.texto(QStringLiteral("ID_MARCACAO"))
               + QLatin1Char('|') + l.texto(QStringLiteral("DATA_IMP_ADM"));
    };
    const bool chave = f.consorcioPapel() || f.municipioPapel();
    const Fonte negrito = Fonte{}.emNegrito();
    g.cabecalho = Banda(9);
    g.cabecalho.linha(QLineF(0, 0.3, w, 0.3), 0.1);
    g.cabecalho.calculado(QRectF(0, 0.6, w * 0.78, 4), [](const Contexto& c) {
        QString t = QStringLiteral("Autorização: ") + c.campo(QStringLiteral("ID_MARCACAO")) + QStringLiteral("   Data: ")
                    + c.campo(QStringLiteral("DATALANC"));
        if (!c.campo(QStringLiteral("DATAMARC")).isEmpty())
            t += QStringLiteral("   Agendado: ") + c.campo(QStringLiteral("DATAMARC")) + QLatin1Char(' ')
                 + c.campo(QStringLiteral("HORAMARC"));
        if (!c.campo(QStringLiteral("DATAREALIZACAO")).isEmpty())
            t += QStringLiteral("   Realizado: ") + c.campo(QStringLiteral("DATAREALIZACAO"));
        return t;
    }).com(negrito);
    if (chave)
        g.cabecalho.texto(QRectF(w * 0.78, 0.6, w * 0.22, 4), QStringLiteral("Chave: {CHAVEIMPRE}"), Alinha::Direita);
    g.cabecalho.calculado(QRectF(0, 4.6, w, 4), [](const Contexto& c) {
        return QStringLiteral("Paciente: ") + c.campo(QStringLiteral("NOMEPACIENTE")) + QStringLiteral("      Profissional: ")
               + c.campo(QStringLiteral("NOMEPROFISSIONAL"));
    });
    r->resumo = r->bandaTotais(QStringLiteral("Valor Total: R$"), w);
    return r;
}

std::shared_ptr<Documento> GeraRelatorioAutorizacoes(Transacao& tr, const FiltroAutorizacoes& f,
                                                     const ProgressoMontagem& progresso)
{
    std::unique_ptr<Relatorio> r;
    switch (EscolheRelatorio(f)) {
    case RelatorioAutorizacoes::Lista:
        r = TRAutorizacoes::Monta(tr, f);
        break;
    case RelatorioAutorizacoes::Totais:
        r = TRAutorizacoesTot::Monta(tr, f);
        break;
    case RelatorioAutorizacoes::PorMunicipio:
        r = TRAutorizacoesPorMunicipio::Monta(tr, f);
        break;
    case RelatorioAutorizacoes::PorEntidade:
        r = TRAutorizacoesPorEntidade::Monta(tr, f);
        break;
    case RelatorioAutorizacoes::Extrato:
    case RelatorioAutorizacoes::ExtratoComTotais: {
        const auto partes = TRAutorizacoesPorMunicipioLista::Monta(
            tr, f, EscolheRelatorio(f) == RelatorioAutorizacoes::ExtratoComTotais);
        QVector<Parte*> ps;
        for (const auto& p : partes)
            ps << p.get();
        return MontaDocumento(ps, progresso);
    }
    }
    return MontaDocumento(*r, progresso);
}

} // namespace vx
