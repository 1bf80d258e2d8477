#include "core/UProcuraNome.h"
#include "core/Banco.h"
#include "core/Texto1252.h"
#include "core/UFunc.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <algorithm>

namespace vx {

namespace {

const QString kPdes = QStringLiteral(":pdes");

// Second column of the tables whose rows are also found by it (table names compared upper-cased).
QString colunaExtra(const QString& tabela)
{
    const QString t = tabela.trimmed().toUpper();
    if (t == QLatin1String("PESSOAS"))
        return QStringLiteral("cartaosus");
    if (t == QLatin1String("V_ENTIDADES"))
        return QStringLiteral("NomeFantasia");
    if (t == QLatin1String("V_PROFISSIONAIS"))
        return QStringLiteral("OCUPACAOENTIDADE");
    return {};
}

QString linhaExtra(const QString& extra)
{
    return extra.isEmpty() ? QString() : QStringLiteral("or Upper(") + extra + QStringLiteral(") like :pdes");
}

QStringList naoVazios(const QStringList& campos)
{
    QStringList r;
    for (const QString& c : campos)
        if (!c.trimmed().isEmpty())
            r << c.trimmed();
    return r;
}

DefinicaoBusca baseProcura(const QStringList& campos, const QString& coluna)
{
    DefinicaoBusca d;
    const QStringList exprs = naoVazios(campos);
    d.selecao = exprs.join(QLatin1String(", "));
    d.numColunas = int(exprs.size());
    for (int i = 1; i < exprs.size(); ++i)
        d.exibicao << i;
    if (!exprs.isEmpty()) {
        d.exibicao << 0;
        d.cortaHifen = exprs.first().compare(QLatin1String("codconcat"), Qt::CaseInsensitive) == 0;
    }
    for (int i : d.exibicao)
        d.titulos << TituloColuna(exprs.at(i));
    d.colunaChave = 0;
    d.ordem = coluna;
    return d;
}

DefinicaoBusca baseSimples(const QString& chave, const QString& nome)
{
    DefinicaoBusca d;
    d.selecao = chave + QLatin1Char(',') + nome + QLatin1String(" as Campo");
    d.numColunas = 2;
    d.exibicao = {0, 1};
    // A key given as alias.column is named by its column.
    d.titulos << chave.section(QLatin1Char('.'), -1) << QStringLiteral("Campo");
    d.colunaChave = 0;
    d.ordem = nome;
    d.tituloErro = QStringLiteral("Erro, verifique os dados digitados.");
    return d;
}

// Order of two values of one column as the server sorts them ascending: nulls first, texts by
// their stored bytes with trailing blanks ignored.
int comparaCampos(const Campo& a, const Campo& b)
{
    if (a.nulo || b.nulo)
        return int(!a.nulo) - int(!b.nulo);
    switch (a.tipo) {
    case Campo::Tipo::Texto:
    case Campo::Tipo::Blob: {
        QString x = a.s, y = b.s;
        while (x.endsWith(QLatin1Char(' ')))
            x.chop(1);
        while (y.endsWith(QLatin1Char(' ')))
            y.chop(1);
        const QByteArray bx = para1252(x), by = para1252(y);
        return bx < by ? -1 : (by < bx ? 1 : 0);
    }
    case Campo::Tipo::Inteiro:
    case Campo::Tipo::Decimal:
    case Campo::Tipo::Booleano:
        if (a.escala == b.escala)
            return a.i < b.i ? -1 : (b.i < a.i ? 1 : 0);
        return a.decimal() < b.decimal() ? -1 : (b.decimal() < a.decimal() ? 1 : 0);
    case Campo::Tipo::Real:
        return a.d < b.d ? -1 : (b.d < a.d ? 1 : 0);
    case Campo::Tipo::Data:
    case Campo::Tipo::Hora:
    case Campo::Tipo::DataHora: {
        if (a.dt != b.dt)
            return a.dt < b.dt ? -1 : 1;
        return a.tm < b.tm ? -1 : (b.tm < a.tm ? 1 : 0);
    }
    case Campo::Tipo::Nulo:
        break;
    }
    return 0;
}

LinhaBusca linhaDe(const Consulta& q, const DefinicaoBusca& d)
{
    LinhaBusca l;
    for (int i : d.exibicao)
        l.colunas << (i < q.numCampos() ? q.campo(i).texto() : QString());
    if (d.colunaChave < q.numCampos())
        l.chave = q.campo(d.colunaChave).texto();
    return l;
}

} // namespace

QString PadraoBusca(ModoBusca modo, const QString& texto)
{
    const QString t = texto.toUpper();
    switch (modo) {
    case ModoBusca::InicioNome:
        return t + QLatin1Char('%');
    case ModoBusca::QualquerPalavra: {
        // Each blank becomes " %": the words in order, anything (or nothing more) between them.
        QString p = t;
        p.replace(QLatin1Char(' '), QLatin1String(" %"));
        return QLatin1Char('%') + p + QLatin1Char('%');
    }
    case ModoBusca::TrechoNome:
        break;
    }
    return QLatin1Char('%') + t + QLatin1Char('%');
}

QString DefinicaoBusca::sql() const
{
    // The two-column forms keep "from" on the select line; the filtered one is a single line.
    if (forma == Forma::Simples)
        return QStringLiteral("select first 400 ") + selecao + QLatin1Char(' ') + restoSql +
               QStringLiteral("\norder by ") + ordem;
    if (forma == Forma::SimplesFiltro)
        return QStringLiteral("select first 400 ") + selecao + QLatin1Char(' ') + restoSql +
               QStringLiteral(" order by ") + ordem;
    return QStringLiteral("select first 400 ") + selecao + QLatin1Char('\n') + restoSql +
           QStringLiteral("\norder by ") + ordem;
}

QString TituloColuna(const QString& expressao)
{
    const int i = expressao.indexOf(QLatin1String("CAST("), 0, Qt::CaseInsensitive);
    if (i < 0)
        return expressao;
    const int ini = i + 5;
    const int fim = expressao.indexOf(QLatin1String(" AS"), ini, Qt::CaseInsensitive);
    return (fim < 0 ? expressao.mid(ini) : expressao.mid(ini, fim - ini)).trimmed();
}

DefinicaoBusca MontaProcura(const QStringList& campos, const QString& coluna, const QString& tabela)
{
    DefinicaoBusca d = baseProcura(campos, coluna);
    d.forma = DefinicaoBusca::Forma::Procura;
    d.tabela = tabela;
    d.extra = colunaExtra(tabela);
    d.onde = QStringLiteral("Upper(") + coluna + QStringLiteral(") like :pdes");
    if (!d.extra.isEmpty())
        d.onde += QLatin1Char('\n') + linhaExtra(d.extra);
    d.restoSql = QStringLiteral("from ") + tabela + QStringLiteral(" where ") + d.onde;
    d.tituloErro = QStringLiteral("Erro, verifique os dados digitados");
    return d;
}

DefinicaoBusca MontaProcuraFiltro(const QStringList& campos, const QString& coluna, const QString& tabela,
                                  const QString& condicao)
{
    DefinicaoBusca d = baseProcura(campos, coluna);
    d.forma = DefinicaoBusca::Forma::Filtro;
    d.tabela = tabela;
    d.condicao = condicao;
    d.extra = colunaExtra(tabela);
    d.onde = QStringLiteral("(") + condicao + QStringLiteral(") and (Upper(") + coluna + QStringLiteral(") like :pdes");
    d.onde += d.extra.isEmpty() ? QStringLiteral(")") : QLatin1Char('\n') + linhaExtra(d.extra) + QLatin1Char(')');
    d.restoSql = QStringLiteral("from ") + tabela + QStringLiteral(" where ") + d.onde;
    d.tituloErro = QStringLiteral("Erro, verifique os dados digitados.");
    return d;
}

DefinicaoBusca MontaProcuraSimples(const QString& chave, const QString& nome, const QString& tabela)
{
    DefinicaoBusca d = baseSimples(chave, nome);
    d.forma = DefinicaoBusca::Forma::Simples;
    d.tabela = tabela;
    d.onde = QStringLiteral("Upper(") + nome + QStringLiteral(") like :pdes");
    d.restoSql = QStringLiteral("from ") + tabela + QStringLiteral(" where ") + d.onde;
    return d;
}

DefinicaoBusca MontaProcuraSimplesFiltro(const QString& chave, const QString& nome, const QString& tabela,
                                         const QString& condicao)
{
    DefinicaoBusca d = baseSimples(chave, nome);
    d.forma = DefinicaoBusca::Forma::SimplesFiltro;
    d.tabela = tabela;
    d.condicao = condicao;
    d.onde = condicao + QStringLiteral(" and Upper(") + nome + QStringLiteral(") like :pdes");
    d.restoSql = QStringLiteral("from ") + tabela + QStringLiteral(" where ") + d.onde;
    return d;
}

QString ChaveResultado(const DefinicaoBusca& d, const QString& chave)
{
    if (d.cortaHifen)
        return chave.section(QLatin1Char('-'), 0, 0);
    return chave;
}

namespace {

struct Item {
    Campo ordem;
    LinhaBusca linha;
};

// A query whose reading asks `continua` every few rows (and after opening).
class Leitor {
public:
    Leitor(Transacao& tr, const std::function<bool()>& continua) : c(tr), m_continua(continua) { m_rel.start(); }
    void abre(const QString& sql)
    {
        c.abre(sql);
        verifica(true);
    }
    bool eof() const { return c.eof(); }
    void proximo()
    {
        c.proximo();
        verifica(false);
    }
    const Campo& campo(int i) const { return c.campo(i); }
    void fecha() { c.fecha(); }
    Consulta c;

private:
    void verifica(bool agora)
    {
        if (!m_continua || (!agora && m_rel.elapsed() < 25))
            return;
        m_rel.restart();
        if (!m_continua()) {
            c.fecha();
            throw BuscaInterrompida{};
        }
    }
    const std::function<bool()>& m_continua;
    QElapsedTimer m_rel;
};

// The statement with the pattern literal in place of each :pdes outside quotes (a condition may
// hold a quoted value that happens to contain ":pdes").
QString comPadrao(const QString& sql, const QString& padrao)
{
    const QString lit = SqlLiteralTexto(padrao);
    QString r;
    r.reserve(sql.size() + lit.size());
    QChar aspa; // quote character of the literal or identifier we are in, null outside
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!aspa.isNull()) {
            if (c == aspa)
                aspa = QChar(); // a doubled quote closes and reopens: same result
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            aspa = c;
        } else if (QStringView(sql).mid(i, kPdes.size()).compare(kPdes, Qt::CaseInsensitive) == 0 &&
                   (i + kPdes.size() >= sql.size() || !(sql.at(i + kPdes.size()).isLetterOrNumber() ||
                                                        sql.at(i + kPdes.size()) == QLatin1Char('_')))) {
            r += lit;
            i += kPdes.size() - 1;
            continue;
        }
        r += c;
    }
    return r;
}

// Rows of "select first n … <resto> order by <ordem>", read in the server's order.
void leOrdenado(Leitor& q, const DefinicaoBusca& d, const QString& resto, int n, QVector<LinhaBusca>& linhas)
{
    q.abre(QStringLiteral("select first %1 ").arg(n) + d.selecao + QLatin1Char('\n') + resto +
           QStringLiteral("\norder by ") + d.ordem);
    for (int i = 0; !q.eof() && i < n; ++i, q.proximo())
        linhas.push_back(linhaDe(q.c, d));
    q.fecha();
}

// Reads at most `limite` + 1 matches unordered, with their order value, in storage order.
QVector<Item> leAmostra(Leitor& q, const DefinicaoBusca& d, const QString& resto, int limite)
{
    q.abre(QStringLiteral("select first %1 ").arg(limite + 1) + d.selecao + QStringLiteral(", ") + d.ordem +
           QLatin1Char('\n') + resto);
    QVector<Item> itens;
    const int iOrdem = d.numColunas;
    for (; !q.eof() && itens.size() <= limite; q.proximo())
        itens.push_back({q.campo(iOrdem), linhaDe(q.c, d)});
    q.fecha();
    return itens;
}

// Sorts as the server would (stable: equal values keep storage order).
void ordena(QVector<Item>& itens)
{
    std::stable_sort(itens.begin(), itens.end(),
                     [](const Item& a, const Item& b) { return comparaCampos(a.ordem, b.ordem) < 0; });
}

void acrescenta(QVector<Item>& itens, int n, QVector<LinhaBusca>& linhas)
{
    for (int i = 0; i < itens.size() && i < n; ++i)
        linhas.push_back(std::move(itens[i].linha));
}

// When every match fits in `limite` rows, sorts them here, appends the first `n` and returns true.
bool leSemOrdem(Leitor& q, const DefinicaoBusca& d, const QString& resto, int limite, int n,
                QVector<LinhaBusca>& linhas)
{
    QVector<Item> itens = leAmostra(q, d, resto, limite);
    if (itens.size() > limite)
        return false;
    ordena(itens);
    acrescenta(itens, n, linhas);
    return true;
}

// A fragment with more matches than the probe holds. The probe is a random sample of the matches
// (storage order is unrelated to names): its 400th smallest value U bounds the answer. The
// ordered walk runs only up to a small sample value S (cheap: about eight sample gaps of index);
// the rest, between S and U, is read through the name index range unordered and sorted here.
// The ordered walk of the whole index (a row read per entry) is the last resort.
void buscaTrechoAmostrada(Leitor& q, const DefinicaoBusca& d, const QString& onde, QVector<Item> amostra,
                          const AjusteBusca& ajuste, QVector<LinhaBusca>& linhas)
{
    const QString resto = QStringLiteral("from ") + d.tabela + QStringLiteral(" where ") + onde;
    ordena(amostra);
    // Rows without a value come first (the sample may have missed them); the index finds them.
    const QString filtro = QStringLiteral("from ") + d.tabela + QStringLiteral(" where (") + onde + QStringLiteral(") and ");
    if (!leSemOrdem(q, d, filtro + d.ordem + QStringLiteral(" is null"), kLimiteBusca, kLimiteBusca, linhas)) {
        leOrdenado(q, d, resto, kLimiteBusca, linhas);
        return;
    }
    if (linhas.size() >= kLimiteBusca)
        return;
    QVector<Item> valores;
    for (Item& it : amostra)
        if (!it.ordem.nulo)
            valores.push_back(std::move(it));
    const int nulos = int(linhas.size());
    const int falta = kLimiteBusca - nulos;
    if (valores.size() < falta || valores.first().ordem.tipo != Campo::Tipo::Texto) {
        linhas.clear();
        leOrdenado(q, d, resto, kLimiteBusca, linhas);
        return;
    }
    const QString s = SqlLiteralTexto(valores.at(qBound(0, ajuste.passo - 1, falta - 1)).ordem.s);
    const QString u = SqlLiteralTexto(valores.at(falta - 1).ordem.s);
    leOrdenado(q, d, filtro + d.ordem + QStringLiteral(" <= ") + s, falta, linhas);
    const int faltam = kLimiteBusca - int(linhas.size());
    if (faltam <= 0)
        return;
    const QString meio = filtro + d.ordem + QStringLiteral(" > ") + s;
    if (!leSemOrdem(q, d, meio + QStringLiteral(" and ") + d.ordem + QStringLiteral(" <= ") + u,
                    ajuste.faixa, faltam, linhas))
        leOrdenado(q, d, meio, faltam, linhas);
}

} // namespace

QVector<LinhaBusca> ExecutaBusca(Transacao& tr, const DefinicaoBusca& d, const QString& padraoDigitado,
                                 const AjusteBusca& ajuste)
{
    // The pattern as the server sees it: a look-alike of "%" or "_" is a wildcard there too.
    const QString padrao = ajustaPara1252(padraoDigitado);
    // The pattern goes in as a literal: with a parameter the server plans before knowing it and
    // cannot use the upper-case name index for a prefix.
    const QString lit = SqlLiteralTexto(padrao);
    const QString resto = comPadrao(d.restoSql, padrao);
    QVector<LinhaBusca> linhas;
    Leitor q(tr, ajuste.continua);

    // Every row matches: the ordered walk stops after 400 rows at once.
    if (padrao.count(QLatin1Char('%')) == padrao.size()) {
        leOrdenado(q, d, resto, kLimiteBusca, linhas);
        return linhas;
    }

    qsizetype fimPrefixo = 0;
    while (fimPrefixo < padrao.size() && padrao[fimPrefixo] != QLatin1Char('%') && padrao[fimPrefixo] != QLatin1Char('_'))
        ++fimPrefixo;
    if (fimPrefixo > 0) {
        // A prefix P. Upper-casing never lowers a stored byte (a..z → A..Z, à..þ → À..Þ, š → Š, …),
        // so every name whose upper-case form starts with P sorts at or after P: the ordered walk
        // of the name index can start there. Rows found only by the second column (card, trade
        // name, occupation) with a name before P — or none — sort before all of them.
        const QString limite = SqlLiteralTexto(padrao.left(fimPrefixo));
        if (!d.extra.isEmpty()) {
            QString ondeExtra = QStringLiteral("Upper(") + d.extra + QStringLiteral(") like ") + lit +
                                QStringLiteral(" and (") + d.ordem + QStringLiteral(" < ") + limite +
                                QStringLiteral(" or ") + d.ordem + QStringLiteral(" is null)");
            if (d.forma == DefinicaoBusca::Forma::Filtro)
                ondeExtra = QLatin1Char('(') + d.condicao + QStringLiteral(") and ") + ondeExtra;
            const QString restoExtra = QStringLiteral("from ") + d.tabela + QStringLiteral(" where ") + ondeExtra;
            if (!leSemOrdem(q, d, restoExtra, kLimiteBusca, kLimiteBusca, linhas)) {
                leOrdenado(q, d, restoExtra, kLimiteBusca, linhas);
                return linhas;
            }
        }
        // The bound joins the whole filter, except where the filter is "condition and …" as
        // written (an OR in the condition must keep rows of any name).
        const QString onde = comPadrao(d.onde, padrao);
        const QString ondeLimitado = d.forma == DefinicaoBusca::Forma::SimplesFiltro
            ? onde + QStringLiteral(" and ") + d.ordem + QStringLiteral(" >= ") + limite
            : QLatin1Char('(') + onde + QStringLiteral(") and ") + d.ordem + QStringLiteral(" >= ") + limite;
        const int faltam = kLimiteBusca - int(linhas.size());
        if (faltam > 0)
            leOrdenado(q, d, QStringLiteral("from ") + d.tabela + QStringLiteral(" where ") + ondeLimitado, faltam,
                       linhas);
        return linhas;
    }

    // A fragment cannot use an index range. When no more than `ajuste.amostra` rows match, one pass
    // over the table finds them all and they are sorted here.
    if (ajuste.amostra > 0) {
        QVector<Item> amostra = leAmostra(q, d, resto, ajuste.amostra);
        if (amostra.size() <= ajuste.amostra) {
            ordena(amostra);
            acrescenta(amostra, kLimiteBusca, linhas);
            return linhas;
        }
        if (amostra.size() >= kLimiteBusca) {
            buscaTrechoAmostrada(q, d, comPadrao(d.onde, padrao), std::move(amostra), ajuste, linhas);
            return linhas;
        }
    }
    leOrdenado(q, d, resto, kLimiteBusca, linhas);
    return linhas;
}

QString SqlNomePorCodigo(const QString& codigo, const QString& chave, const QString& nome, const QString& tabela)
{
    if (codigo.isEmpty())
        return QStringLiteral("select first 1 ") + nome + QStringLiteral(" as Nome from ") + tabela;
    static const QRegularExpression soDigitos(QStringLiteral("^[0-9]+$"));
    const bool texto = codigo.size() >= 6 || !soDigitos.match(codigo).hasMatch();
    return QStringLiteral("select ") + nome + QStringLiteral(" as Nome from ") + tabela + QStringLiteral(" where ") +
           chave + QLatin1Char('=') + (texto ? SqlLiteralTexto(codigo) : codigo);
}

QString NomePorCodigo(Consulta& q, const QString& codigo, const QString& chave, const QString& nome,
                      const QString& tabela)
{
    q.abre(SqlNomePorCodigo(codigo, chave, nome, tabela));
    QString r;
    if (!q.eof() && (!codigo.isEmpty() || chave.isEmpty()))
        r = q.campo(0).texto();
    q.fecha();
    return r;
}

} // namespace vx
