#include "billing/TRIrrfDirf.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"

#include <QSharedPointer>

namespace vx {

using namespace rel;

namespace {

const QString kValor = QStringLiteral("###,##0.00");
const QString kBrutoMes = QStringLiteral("#,###,##0.00");
const QString kTotalDirf = QStringLiteral("###,###,##0.00");

QVariant decimal(const Decimal& d) { return QVariant::fromValue(d); }

QString vazio(const Contexto&) { return {}; }

std::unique_ptr<Relatorio> novo(const QString& titulo, const QDate& inicio, const QDate& fim)
{
    auto r = std::make_unique<Relatorio>();
    r->cabecalhoPadrao(Geral::CONSORCIO().toUpper(), titulo, LinhaPeriodoIrrf(inicio, fim));
    return r;
}

// The sub-listing's summary: its label and sums, with some space before the next block.
Banda totais(const Secao& s, const QString& rotulo, double largura)
{
    Banda b = s.bandaTotais(rotulo, largura);
    b.altura += 3;
    return b;
}

} // namespace

QString TRIrrfDirf::TituloIrrf() { return QStringLiteral("Demonstrativo IRRF das Entidades"); }
QString TRIrrfDirf::TituloDirf() { return QStringLiteral("DIRF Anual por Entidade"); }

std::unique_ptr<Relatorio> TRIrrfDirf::MontaIrrf(const QVector<MunicipioIrrf>& dados, const QDate& inicio,
                                                 const QDate& fim)
{
    auto r = novo(TituloIrrf(), inicio, fim);
    const double w = r->pagina.larguraUtilMm();
    const auto municipios = QSharedPointer<const QVector<MunicipioIrrf>>::create(dados);

    QVector<QVariantList> linhas;
    for (int i = 0; i < dados.size(); ++i) {
        const MunicipioIrrf& m = dados[i];
        linhas.append({i, m.codigo, m.nome, m.liquido ? decimal(*m.liquido) : QVariant()});
    }
    r->dados = std::make_unique<DadosMemoria>(
        QStringList{QStringLiteral("INDICE"), QStringLiteral("CODCLIENTE"), QStringLiteral("NOME"), QStringLiteral("LIQUIDO")},
        std::move(linhas));

    const Fonte negrito = r->fonteColunas.tamanho(9).emNegrito();
    Banda& mun = r->detalhe(7);
    mun.texto(QRectF(0, 1.5, w - 45, 5), QStringLiteral("{CODCLIENTE} - {NOME}")).com(negrito);
    mun.campo(QRectF(w - 45, 1.5, 45, 5), QStringLiteral("LIQUIDO"), Formato::Auto, Alinha::Direita)
        .com(negrito)
        .comMascara(kValor);

    Secao& ent = r->filha([municipios](const Linha& mestre) {
        QVector<QVariantList> l;
        for (const EntidadeIrrf& e : municipios->at(int(mestre.inteiro(QStringLiteral("INDICE")))).entidades)
            l.append({e.codigo ? ZerosEsquerda(*e.codigo, 5) : QString(), e.razaoSocial, decimal(e.valor), e.irrf,
                      decimal(e.valorIrrf)});
        return std::make_unique<DadosMemoria>(QStringList{QStringLiteral("CODENTIDADE"), QStringLiteral("RAZAOSOCIAL"),
                                                          QStringLiteral("VALOR"), QStringLiteral("IRRF"),
                                                          QStringLiteral("VALORIRRF")},
                                              std::move(l));
    });
    ent.coluna(QStringLiteral("Código"), QStringLiteral("CODENTIDADE"), 18);
    ent.coluna(QStringLiteral("Entidade"), QStringLiteral("RAZAOSOCIAL"), 0);
    ent.coluna(QStringLiteral("Valor"), QStringLiteral("VALOR"), 32, Alinha::Direita).comMascara(kValor);
    ent.coluna(QStringLiteral("IRRF"), QStringLiteral("IRRF"), 28)
        .somaDe([](const Linha& l) { return l.decimal(QStringLiteral("VALORIRRF")); })
        .calculada([](const Contexto& c) { return c.campo(QStringLiteral("IRRF")); })
        .comMascara(QString(), kValor);
    ent.resumo = totais(ent, QStringLiteral("TOTAL:"), w);
    ent.resumoSemLinhas = true;
    return r;
}

std::unique_ptr<Relatorio> TRIrrfDirf::MontaDirf(const QVector<EntidadeDirf>& dados, const QDate& inicio,
                                                 const QDate& fim)
{
    auto r = novo(TituloDirf(), inicio, fim);
    const double w = r->pagina.larguraUtilMm();
    const auto entidades = QSharedPointer<const QVector<EntidadeDirf>>::create(dados);

    QVector<QVariantList> linhas;
    for (int i = 0; i < dados.size(); ++i)
        linhas.append({i, dados[i].codigo, dados[i].titulo(), dados[i].cnpj});
    r->dados = std::make_unique<DadosMemoria>(
        QStringList{QStringLiteral("INDICE"), QStringLiteral("CODENTIDADE"), QStringLiteral("TITULO"), QStringLiteral("CNPJ")},
        std::move(linhas));

    // Every entity after the first starts a page.
    Grupo& g = r->grupo(QStringLiteral("INDICE"));
    g.novaPagina = true;
    const Fonte negrito = r->fonteColunas.tamanho(9).emNegrito();
    g.cabecalho = Banda(12);
    g.cabecalho.texto(QRectF(0, 1.5, w, 5), QStringLiteral("{TITULO}")).com(negrito);
    g.cabecalho.texto(QRectF(0, 6.5, w, 4.5), QStringLiteral("CNPJ: {CNPJ}")).com(r->fonteColunas.tamanho(9));

    Secao& meses = r->filha([entidades](const Linha& mestre) {
        QVector<QVariantList> l;
        for (const MesDirf& m : entidades->at(int(mestre.inteiro(QStringLiteral("INDICE")))).meses)
            l.append({m.mes, decimal(m.bruto), decimal(m.irrf)});
        return std::make_unique<DadosMemoria>(
            QStringList{QStringLiteral("MES"), QStringLiteral("VALORBRUTO"), QStringLiteral("IRRF")}, std::move(l));
    });
    meses.zebrado = true;
    meses.coluna(QStringLiteral("Mês"), QStringLiteral("MES"), 30);
    meses.coluna(QStringLiteral("Valor Total"), QStringLiteral("VALORBRUTO"), 40).soma().comMascara(kBrutoMes, kTotalDirf);
    meses.coluna(QStringLiteral("Valor IR"), QStringLiteral("IRRF"), 40).soma().comMascara(kValor, kTotalDirf);
    meses.coluna(QString(), QString(), 8).calculada(vazio);
    meses.coluna(QStringLiteral("Lei 10.833"), QString(), 40).calculada(vazio);
    meses.resumo = totais(meses, QStringLiteral("Total:"), w);
    meses.resumoSemLinhas = true;
    return r;
}

std::shared_ptr<Documento> TRIrrfDirf::GeraIrrf(Transacao& tr, const QDate& inicio, const QDate& fim)
{
    return MontaDocumento(*MontaIrrf(DadosIrrf(tr, inicio, fim), inicio, fim));
}

std::shared_ptr<Documento> TRIrrfDirf::GeraDirf(Transacao& tr, const QDate& inicio, const QDate& fim)
{
    return MontaDocumento(*MontaDirf(DadosDirf(tr, inicio, fim), inicio, fim));
}

} // namespace vx
