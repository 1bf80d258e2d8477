#include "billing/TRBpa.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"

namespace vx {

using namespace rel;

namespace {

std::unique_ptr<Relatorio> novo(const QString& titulo, const QString& filtro, bool paisagem)
{
    auto r = std::make_unique<Relatorio>();
    if (paisagem)
        r->paisagem();
    r->cabecalhoPadrao(Geral::CONSORCIO().toUpper(), titulo, filtro);
    return r;
}

QString numero(const Decimal& d)
{
    return QString::number(d.rescaled(0).unscaled());
}

} // namespace

QString TRBpa::Periodo(const QDate& inicio, const QDate& fim, bpa::Exibir exibir)
{
    QString t = QStringLiteral("Período: ") + TextoData(inicio) + QStringLiteral(" a ") + TextoData(fim);
    if (exibir == bpa::Exibir::Pab)
        t += QStringLiteral("   (Proceds. PAB - Atenção Básica)");
    else if (exibir == bpa::Exibir::Mac)
        t += QStringLiteral("   (Proceds. MAC - Média e Alta Complexidade)");
    return t;
}

std::shared_ptr<Documento> TRBpa::Consolidado(Transacao& tr, const QDate& inicio, const QDate& fim, bpa::Exibir exibir)
{
    const QStringList nomes{QStringLiteral("FOLHA"), QStringLiteral("SEQ"), QStringLiteral("CODTABSUS"),
                            QStringLiteral("CBO"), QStringLiteral("IDADE"), QStringLiteral("QTD"), QStringLiteral("VALOR")};
    QVector<QVariantList> linhas;
    Lendo(tr, [&] {
        Consulta q(tr);
        q.abre(bpa::SqlPreviaConsolidado(exibir), bpa::ParametrosPeriodo(inicio, fim));
        bpa::Numeracao n;
        for (; !q.eof(); q.proximo(), n.avanca()) {
            const Campo& idade = q.campo(QStringLiteral("IDADE"));
            linhas.append({ZerosEsquerda(n.folha, 3), ZerosEsquerda(n.sequencia, 2), q.campo(QStringLiteral("CODTABSUS")).texto(),
                           q.campo(QStringLiteral("CBO")).texto(),
                           idade.nulo || idade.inteiro() == 999 ? QString() : idade.texto(),
                           QVariant::fromValue(q.campo(QStringLiteral("QTD")).decimal()),
                           QVariant::fromValue(q.campo(QStringLiteral("VALOR")).decimal())});
        }
        return 0;
    });
    auto r = novo(QStringLiteral("BPA - Consolidado"), Periodo(inicio, fim, exibir), false);
    r->dados = std::make_unique<DadosMemoria>(nomes, std::move(linhas));
    r->coluna(QStringLiteral("Folha"), QStringLiteral("FOLHA"), 14);
    r->coluna(QStringLiteral("Seq."), QStringLiteral("SEQ"), 12);
    r->coluna(QStringLiteral("Procedimento"), QStringLiteral("CODTABSUS"), 30);
    r->coluna(QStringLiteral("CBO"), QStringLiteral("CBO"), 20);
    r->coluna(QStringLiteral("Idade"), QStringLiteral("IDADE"), 14).alinhado(Alinha::Direita);
    r->coluna(QStringLiteral("Quantidade"), QStringLiteral("QTD"), 26).soma().formatado(Formato::Inteiro);
    r->coluna(QStringLiteral("Valor SUS"), QStringLiteral("VALOR"), 30).soma();
    Grupo& g = r->grupo(QStringLiteral("CODTABSUS"));
    g.rodape = Banda(5);
    g.rodape.calculado({0, 0.5, 150, 4.2}, [](const Contexto& c) {
        return QStringLiteral("SubTot: ") + numero(c.totais->soma(QStringLiteral("QTD"))) + QStringLiteral(" => R$ ")
            + FormataValor(c.totais->soma(QStringLiteral("VALOR")));
    }).negrito();
    r->resumo = r->bandaTotais(QStringLiteral("Total:"), r->pagina.larguraUtilMm());
    FonteRelatorio(*r);
    return MontaDocumento(*r);
}

std::shared_ptr<Documento> TRBpa::Individualizado(Transacao& tr, const QDate& inicio, const QDate& fim,
                                                  bpa::Exibir exibir, qint64 grupo, bool comCns)
{
    auto r = novo(QStringLiteral("BPA - Individualizado"), Periodo(inicio, fim, exibir), true);
    return Lendo(tr, [&] {
        Consulta q(tr);
        q.abre(bpa::SqlPreviaIndividualizado(exibir, grupo, comCns), bpa::ParametrosPeriodo(inicio, fim));
        r->dados = std::make_unique<DadosConsulta>(q);
        r->coluna(QStringLiteral("Nº"), {}, 10).calculada([](const Contexto& c) { return ZerosEsquerda(c.indice + 1, 3); });
        r->coluna(QStringLiteral("Procedimento"), QStringLiteral("CODTABSUS"), 20);
        r->coluna(QStringLiteral("Chave"), QStringLiteral("CHAVEIMPRE"), 24);
        r->coluna(QStringLiteral("Paciente"), QStringLiteral("NOME"), 0);
        r->coluna(QStringLiteral("Cartão SUS"), QStringLiteral("CARTAOSUS"), 27);
        r->coluna(QStringLiteral("Nasc."), QStringLiteral("DATANASC"), 17);
        r->coluna(QStringLiteral("Idade"), {}, 10).alinhado(Alinha::Direita).calculada([](const Contexto& c) {
            const QDate n = c.linha->data(QStringLiteral("DATANASC"));
            const QDate d = c.linha->data(QStringLiteral("DATAREALIZACAO"));
            return n.isValid() && d.isValid() ? QString::number(d.year() - n.year()) : QString();
        });
        r->coluna(QStringLiteral("Sexo"), QStringLiteral("SEXO"), 8).alinhado(Alinha::Centro);
        r->coluna(QStringLiteral("Realização"), QStringLiteral("DATAREALIZACAO"), 17);
        r->coluna(QStringLiteral("CBO"), QStringLiteral("CBO"), 12);
        r->coluna(QStringLiteral("CNS Profissional"), QStringLiteral("CNSBPA"), 27);
        r->coluna(QStringLiteral("CID"), QStringLiteral("CODCID"), 10);
        r->coluna(QStringLiteral("Qtd."), QStringLiteral("QUANTIDADE"), 12).soma().comMascara(QStringLiteral("#####0"));
        r->coluna(QStringLiteral("Valor SUS"), QStringLiteral("VALORTOTALSUS"), 22).soma().comMascara(QStringLiteral("###,###,##0.00"));
        r->resumo = r->bandaTotais(QStringLiteral("Total:"), r->pagina.larguraUtilMm());
        FonteRelatorio(*r);
        return MontaDocumento(*r);
    });
}

} // namespace vx
