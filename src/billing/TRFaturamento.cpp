#include "billing/TRFaturamento.h"
#include "core/Utilitarios.h"
#include "core/Banco.h"
#include "core/UFunc.h"
#include "reports/UiPreview.h"

namespace vx {

using namespace rel;

namespace {

const QString kValor = QStringLiteral("###,##0.00");
const QString kTotalPrincipal = QStringLiteral("#,###,##0.00");
const QColor kCinza(0xE6, 0xE6, 0xE6); // the zebra's grey

Decimal zero() { return Decimal::cents(0); }

QColor zebra(const Contexto& c) { return c.indice % 2 == 1 ? kCinza : QColor(); }

QString juntaNaoVazios(const QStringList& partes, const QString& separador)
{
    QStringList r;
    for (const QString& s : partes)
        if (!s.trimmed().isEmpty())
            r << s.trimmed();
    return r.join(separador);
}

// Left edge (mm) of a column laid out as the engine does.
double xColuna(const QVector<Coluna>& cols, int indice, double larguraUtil)
{
    return PosicoesColunas(cols, larguraUtil).value(indice).first;
}

int indiceColuna(const QVector<Coluna>& cols, const QString& titulo)
{
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].titulo == titulo)
            return i;
    return -1;
}

// Entity rows with the short names of the municipalities with most production at the entity.
class ComMunicipios : public FonteDados {
public:
    ComMunicipios(std::unique_ptr<FonteDados> base, Transacao& tr, const QDate& inicio, const QDate& fim)
        : m_base(std::move(base)), m_tr(tr), m_inicio(inicio), m_fim(fim)
    {
    }
    bool proxima(Linha& l) override
    {
        if (!m_base->proxima(l))
            return false;
        l.define(QStringLiteral("MUNICIPIOS"),
                 MunicipiosMaisAtendidos(m_tr, l.inteiro(QStringLiteral("CODENTIDADE")), m_inicio, m_fim));
        return true;
    }

private:
    std::unique_ptr<FonteDados> m_base;
    Transacao& m_tr;
    QDate m_inicio, m_fim;
};

std::unique_ptr<FonteDados> leLinhas(Transacao& tr, const ConsultaDemonstrativo& c)
{
    Consulta q(tr);
    q.abre(c.sql, c.parametros);
    const QStringList nomes = q.nomesCampos();
    QVector<QVariantList> linhas;
    for (; !q.eof(); q.proximo()) {
        QVariantList v;
        for (int i = 0; i < q.numCampos(); ++i)
            v << ValorDoCampo(q.campo(i));
        linhas << v;
    }
    return std::make_unique<DadosMemoria>(nomes, std::move(linhas));
}

QString codigoMunicipio(const Linha& l)
{
    const QString c = l.texto(QStringLiteral("CODCLIENTE")).trimmed();
    return c.rightJustified(7, QLatin1Char('0')) + QStringLiteral(" - ") + l.texto(QStringLiteral("NOME"));
}

Coluna& valor(Relatorio& r, const QString& titulo, const QString& campo, double largura, bool principal = false)
{
    return r.coluna(titulo, campo, largura).soma().comMascara(kValor, principal ? kTotalPrincipal : kValor);
}

// A narrow empty column between a right-aligned value and a left-aligned text.
void espaco(Relatorio& r)
{
    r.coluna(QString(), QString(), 3).calculada([](const Contexto&) { return QString(); });
}

void entidades(Relatorio& r, const PedidoDemonstrativo& p)
{
    const RegrasFaturamento perfil = RegrasFaturamento::DoPerfil(p.perfil);
    Fonte f;
    f.pontos = 6.5;
    f.estreitamento = 90;
    r.fonteColunas = f;
    r.alturaLinha = 3.6;
    r.zebrado = true;

    r.coluna(QStringLiteral("Entidade"), QStringLiteral("RAZAOSOCIAL"), 0)
        .calculada([](const Contexto& c) {
            return c.campo(QStringLiteral("CODENTIDADE")) + QStringLiteral(" - ") + c.campo(QStringLiteral("RAZAOSOCIAL"));
        })
        .quebraLinha();
    valor(r, QStringLiteral("Vlr.Bruto"), QStringLiteral("VALORBRUTO"), 14, true);
    if (perfil.cune) {
        valor(r, QStringLiteral("Acr/Des."), QStringLiteral("ACRESCDESC"), 12);
        valor(r, QStringLiteral("SubTotal"), QStringLiteral("VALORBRUTONOTA"), 14);
    }
    valor(r, QStringLiteral("IRRF"), QStringLiteral("IRRF"), 11);
    valor(r, QStringLiteral("Cofins"), QStringLiteral("COFINS"), 11);
    valor(r, QStringLiteral("Tar.Cred."), QStringLiteral("TARIFA"), 11);
    valor(r, QStringLiteral("ISSQN"), QStringLiteral("ISSQN"), 11);
    valor(r, QStringLiteral("PIS"), QStringLiteral("PIS"), 10);
    valor(r, QStringLiteral("CSLL"), QStringLiteral("CSLL"), 10);
    // The net total is gross + addition/discount − the six withholdings of the totals.
    valor(r, QStringLiteral("Vlr.Líq."), QStringLiteral("VALORLIQUIDO"), 14, true).valorSoma = [](const Linha& l) {
        return l.decimal(QStringLiteral("VALORBRUTO")) + l.decimal(QStringLiteral("ACRESCDESC"))
               - l.decimal(QStringLiteral("IRRF")) - l.decimal(QStringLiteral("COFINS"))
               - l.decimal(QStringLiteral("TARIFA")) - l.decimal(QStringLiteral("ISSQN"))
               - l.decimal(QStringLiteral("PIS")) - l.decimal(QStringLiteral("CSLL"));
    };
    if (perfil.culvar) {
        valor(r, QStringLiteral("SUS1"), QStringLiteral("VALORSUS1"), 12);
        valor(r, QStringLiteral("SUS2"), QStringLiteral("VALORSUS2"), 12);
        valor(r, QStringLiteral("POP."), QStringLiteral("VALORPOPULAR"), 12);
        valor(r, QStringLiteral("MUN."), QStringLiteral("VALORMUN"), 12);
    }
    r.coluna(QStringLiteral("Cont"), QStringLiteral("CODCONTABIL"), 11, Alinha::Centro);
    r.coluna(QStringLiteral("Info Bancárias"), QStringLiteral("BANCO"), 26)
        .calculada([](const Contexto& c) {
            return juntaNaoVazios({c.campo(QStringLiteral("BANCO")), c.campo(QStringLiteral("AGENCIA")),
                                   c.campo(QStringLiteral("CONTA"))},
                                  QStringLiteral(" / "));
        });
    r.coluna(QStringLiteral("IR/SN"), QStringLiteral("ISENTOIR"), 7, Alinha::Centro).calculada([](const Contexto& c) {
        return c.campo(QStringLiteral("ISENTOIR")) + QLatin1Char('/') + c.campo(QStringLiteral("SIMPLESNAC"));
    });
    r.coluna(QStringLiteral("CNPJ"), QStringLiteral("CNPJ"), 21);
    r.coluna(QStringLiteral("Município"), QStringLiteral("CIDADE"), 17);
    r.coluna(QStringLiteral("NF/Doc"), QStringLiteral("DOCNF"), 10);
    r.coluna(QStringLiteral("Dt.Pgto."), QStringLiteral("DTPGTO"), 12).calculada([](const Contexto&) { return QString(); });

    const double w = r.pagina.larguraUtilMm();
    Banda& obs = r.detalhe(r.alturaLinha);
    obs.visivel = [](const Contexto& c) { return !c.campo(QStringLiteral("OBS")).trimmed().isEmpty(); };
    obs.fundo = zebra;
    obs.calculado(QRectF(4, 0, w - 4, r.alturaLinha),
                  [](const Contexto& c) { return QStringLiteral("Obs.: ") + c.campo(QStringLiteral("OBS")); })
        .com(f)
        .quebraLinha();
    if (p.listarMunicipios) {
        Banda& mun = r.detalhe(r.alturaLinha);
        mun.visivel = [](const Contexto& c) { return !c.campo(QStringLiteral("MUNICIPIOS")).isEmpty(); };
        mun.fundo = zebra;
        mun.calculado(QRectF(4, 0, w - 4, r.alturaLinha),
                      [](const Contexto& c) {
                          return QStringLiteral("Municípios c/ mais atendimentos: ") + c.campo(QStringLiteral("MUNICIPIOS"));
                      })
            .com(f);
    }
    r.resumo = r.bandaTotais(QStringLiteral("Total Geral:"), w);
}

void municipios(Relatorio& r)
{
    Fonte f;
    f.pontos = 7.5;
    r.fonteColunas = f;
    r.alturaLinha = 4.2;

    r.coluna(QStringLiteral("Município"), QStringLiteral("NOME"), 0)
        .calculada([](const Contexto& c) { return c.linha ? codigoMunicipio(*c.linha) : QString(); });
    valor(r, QStringLiteral("Vlr.Bruto"), QStringLiteral("VALORBRUTO"), 20, true);
    valor(r, QStringLiteral("Desc.SUS"), QStringLiteral("DESCSUS"), 18);
    valor(r, QStringLiteral("CUNE"), QStringLiteral("DESCCUNE"), 16);
    valor(r, QStringLiteral("Desc.SUS Líq."), QStringLiteral("DESCSUSLIQ"), 22);
    valor(r, QStringLiteral("Des.PPC"), QStringLiteral("DESCPPC"), 16);
    valor(r, QStringLiteral("Acr/Desc."), QStringLiteral("ACRESCDESC"), 16);
    valor(r, QStringLiteral("Vlr.Líquido"), QStringLiteral("VALORLIQUIDO"), 20, true).valorSoma = [](const Linha& l) {
        return l.decimal(QStringLiteral("VALORBRUTO")) + l.decimal(QStringLiteral("ACRESCDESC"))
               - l.decimal(QStringLiteral("DESCSUS")) + l.decimal(QStringLiteral("DESCCUNE"))
               - l.decimal(QStringLiteral("DESCPPC"));
    };
    espaco(r);
    r.coluna(QStringLiteral("Obs"), QStringLiteral("OBS"), 40).quebraLinha();
    // Left blank for handwritten notes, with a line to write on.
    for (const auto& [titulo, largura] : {std::pair{QStringLiteral("Data"), 15.0}, std::pair{QStringLiteral("Op"), 10.0},
                                          std::pair{QStringLiteral("Conta"), 18.0}})
        r.coluna(titulo, QString(), largura).calculada([](const Contexto&) { return QString(); });

    const double w = r.pagina.larguraUtilMm();
    const double x = xColuna(r.colunas, indiceColuna(r.colunas, QStringLiteral("Data")), w);
    Banda& linha = r.detalhe(0.3);
    linha.linha(QLineF(x, 0, w, 0), 0.1).cor = Qt::darkGray;
    r.resumo = r.bandaTotais(QStringLiteral("Total Geral:"), w);
}

void municipiosCumbel(Relatorio& r, Transacao& tr, const PedidoDemonstrativo& p)
{
    Fonte f;
    f.pontos = 7.5;
    r.fonteColunas = f;
    r.alturaLinha = 4.2;

    auto liquido = [](const Linha& l) { return l.decimal(QStringLiteral("VALORLIQUIDO")); };
    r.coluna(QStringLiteral("Município"), QStringLiteral("NOME"), 0)
        .calculada([](const Contexto& c) { return c.linha ? codigoMunicipio(*c.linha) : QString(); });
    valor(r, QStringLiteral("Vlr.Bruto"), QStringLiteral("VALORBRUTO"), 22, true);
    valor(r, QStringLiteral("Desc.SUS"), QStringLiteral("DESCSUSLIQ"), 20);
    valor(r, QStringLiteral("(Fixo"), QStringLiteral("DESCSUSFIXO"), 18);
    valor(r, QStringLiteral("Variável)"), QStringLiteral("DESCSUSVAR"), 18);
    valor(r, QStringLiteral("Acr/Desc."), QStringLiteral("ACRESCDESC"), 18);
    // A negative net is not charged: 0,00 here and its excess under "Diferença".
    valor(r, QStringLiteral("V.Líquido"), QStringLiteral("VALORLIQUIDO"), 22, true)
        .calculada([liquido](const Contexto& c) {
            if (!c.linha)
                return QString();
            const Decimal v = liquido(*c.linha);
            return FormataValor(v < zero() ? zero() : v, kValor);
        })
        .valorSoma = [liquido](const Linha& l) {
        const Decimal v = liquido(l);
        return v < zero() ? zero() : v;
    };
    r.coluna(QStringLiteral("Diferença"), QStringLiteral("DIFERENCA"), 20, Alinha::Direita)
        .calculada([liquido](const Contexto& c) {
            if (!c.linha)
                return QString();
            const Decimal v = liquido(*c.linha);
            return v < zero() ? FormataValor(-v, kValor) : QString();
        });
    r.total(QStringLiteral("EXCESSO"), [liquido](const Linha& l) {
        const Decimal v = liquido(l);
        return v < zero() ? -v : zero();
    });
    espaco(r);
    r.coluna(QStringLiteral("Obs"), QStringLiteral("OBS"), 50).quebraLinha();

    const double w = r.pagina.larguraUtilMm();
    r.resumo = r.bandaTotais(QStringLiteral("Total Geral:"), w);
    const int iDif = indiceColuna(r.colunas, QStringLiteral("Diferença"));
    const double xDif = xColuna(r.colunas, iDif, w);
    r.resumo
        .calculado(QRectF(xDif, 0.5, r.colunas[iDif].largura - 0.8, r.alturaLinha),
                   [](const Contexto& c) {
                       const Decimal e = c.totais ? c.totais->soma(QStringLiteral("EXCESSO")) : zero();
                       return e > zero() ? QStringLiteral(" - ") + FormataValor(e, kValor) : QString();
                   },
                   Alinha::Direita)
        .com(f.emNegrito());

    // Production of each municipality by charging group.
    const QDate inicio = p.inicio, fim = p.fim;
    Secao& grupos = r.filha([&tr, inicio, fim](const Linha& m) {
        return leLinhas(tr, SqlGruposMunicipio(m.texto(QStringLiteral("CODCLIENTE")), inicio, fim));
    });
    Fonte fg = f.tamanho(6.5);
    fg.italico = true;
    const double h = 3.4;
    grupos.cabecalho = Banda(h);
    grupos.cabecalho.texto(QRectF(8, 0, 80, h), QStringLiteral("Produção por grupo de cobrança:")).com(fg.emNegrito());
    Banda& g = grupos.detalhe(h);
    g.campo(QRectF(14, 0, 50, h), QStringLiteral("GRUPO")).com(fg);
    g.campo(QRectF(64, 0, 22, h), QStringLiteral("VALOR"), Formato::Auto, Alinha::Direita).com(fg).comMascara(kValor);
    grupos.resumo = Banda(1);
}

} // namespace

std::unique_ptr<Relatorio> TRFaturamento::Monta(Transacao& tr, Consulta& q, const PedidoDemonstrativo& p,
                                                const QString& linhaFiltro)
{
    auto r = std::make_unique<Relatorio>();
    r->paisagem();
    const ModeloDemonstrativo modelo = ModeloDe(p);
    r->cabecalhoPadrao(NomeInstalacao(), TituloDemonstrativo(modelo), linhaFiltro);
    std::unique_ptr<FonteDados> dados = std::make_unique<DadosConsulta>(q);
    switch (modelo) {
    case ModeloDemonstrativo::Entidades:
        if (p.listarMunicipios)
            dados = std::make_unique<ComMunicipios>(std::move(dados), tr, p.inicio, p.fim);
        entidades(*r, p);
        break;
    case ModeloDemonstrativo::Municipios:
        municipios(*r);
        break;
    case ModeloDemonstrativo::MunicipiosCumbel:
        municipiosCumbel(*r, tr, p);
        break;
    }
    r->dados = std::move(dados);
    r->resumoSemLinhas = true;
    return r;
}

namespace {
template <typename F>
auto comRelatorio(Transacao& tr, const PedidoDemonstrativo& p, F&& f)
{
    const QString filtro = LinhaFiltroDemonstrativo(p.inicio, p.fim, DescricaoCalendario(tr, p.inicio, p.fim));
    const ConsultaDemonstrativo c = SqlDemonstrativo(p);
    Consulta q(tr);
    q.abre(c.sql, c.parametros);
    auto r = TRFaturamento::Monta(tr, q, p, filtro);
    return f(*r);
}
} // namespace

std::shared_ptr<Documento> TRFaturamento::Gera(Transacao& tr, const PedidoDemonstrativo& p)
{
    return comRelatorio(tr, p, [](Relatorio& r) { return MontaDocumento(r); });
}

bool TRFaturamento::Executa(Transacao& tr, const PedidoDemonstrativo& p, QWidget* pai)
{
    return comRelatorio(tr, p, [&](Relatorio& r) { return MostraRelatorio(r, TituloDemonstrativo(ModeloDe(p)), pai); });
}

} // namespace vx
