#include "core/UProcuraNome.h"
#include "core/Banco.h"
#include "core/Texto1252.h"
#include "core/UFunc.h"
#include "core/schema/IndicesBusca.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSet>

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

// The card is digits, compared upper-cased as written: its expression index serves prefixes.
bool extraSemAcentos(const QString& extra)
{
    return !extra.isEmpty() && extra.compare(QLatin1String("cartaosus"), Qt::CaseInsensitive) != 0;
}

// "<expr> like :pdes" under the search collation, or upper-cased for a column it does not apply to.
QString comparacao(const QString& expr, bool semAcentos)
{
    if (!semAcentos)
        return QStringLiteral("Upper(") + expr + QStringLiteral(") like :pdes");
    static const QRegularExpression simples(QStringLiteral("^[A-Za-z_$][A-Za-z0-9_$]*(\\.[A-Za-z_$][A-Za-z0-9_$]*)?$"));
    const QString e = simples.match(expr.trimmed()).hasMatch() ? expr.trimmed() : QLatin1Char('(') + expr + QLatin1Char(')');
    return e + QStringLiteral(" collate ") + QLatin1String(kColacaoBusca) + QStringLiteral(" like :pdes");
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

QString LimiteSemAcentos(const QString& prefixo)
{
    // Each character compares equal (without accents or case) only to characters of its class;
    // the class's lowest byte stands for it. Classes of more than one character, as the server
    // has them for WIN_PTBR (checked by the tests against the server):
    static const struct {
        char base;
        const char* membros;
    } classes[] = {
        {'A', "\xAA\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xE0\xE1\xE2\xE3\xE4\xE5\xE6"},
        {'C', "\xC7\xE7"},
        {'D', "\xD0\xF0"},
        {'E', "\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB"},
        {'I', "\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF"},
        {'N', "\xD1\xF1"},
        {'O', "\xB0\xBA\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8"},
        {'S', "\xDF"},
        {'T', "\xDE\xFE"},
        {'U', "\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC"},
        {'Y', "\xDD\xFD\xFF"},
        {'1', "\xB9\xBC\xBD"},
        {'2', "\xB2"},
        {'3', "\xB3\xBE"},
    };
    static const QByteArray menor = [] {
        QByteArray m(256, 0);
        for (int b = 0; b < 256; ++b)
            m[b] = char(b >= 'a' && b <= 'z' ? b - 32 : b);
        for (const auto& c : classes)
            for (const char* p = c.membros; *p; ++p)
                m[uchar(*p)] = c.base;
        return m;
    }();
    QByteArray b = para1252(prefixo);
    for (char& c : b)
        c = menor.at(uchar(c));
    return de1252(b.constData(), int(b.size()));
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
    d.extraSemAcentos = extraSemAcentos(d.extra);
    d.tituloErro = QStringLiteral("Erro, verifique os dados digitados");
    d.monta();
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
    d.extraSemAcentos = extraSemAcentos(d.extra);
    d.tituloErro = QStringLiteral("Erro, verifique os dados digitados.");
    d.monta();
    return d;
}

DefinicaoBusca MontaProcuraSimples(const QString& chave, const QString& nome, const QString& tabela)
{
    DefinicaoBusca d = baseSimples(chave, nome);
    d.forma = DefinicaoBusca::Forma::Simples;
    d.tabela = tabela;
    d.monta();
    return d;
}

DefinicaoBusca MontaProcuraSimplesFiltro(const QString& chave, const QString& nome, const QString& tabela,
                                         const QString& condicao)
{
    DefinicaoBusca d = baseSimples(chave, nome);
    d.forma = DefinicaoBusca::Forma::SimplesFiltro;
    d.tabela = tabela;
    d.condicao = condicao;
    d.monta();
    return d;
}

void DefinicaoBusca::monta()
{
    // The searched column is the order column in every form.
    const QString coluna = comparacao(ordem, colunaSemAcentos);
    const QString outra = extra.isEmpty() ? QString() : QStringLiteral("or ") + comparacao(extra, extraSemAcentos);
    switch (forma) {
    case Forma::Procura:
        onde = outra.isEmpty() ? coluna : coluna + QLatin1Char('\n') + outra;
        break;
    case Forma::Filtro:
        onde = QLatin1Char('(') + condicao + QStringLiteral(") and (") + coluna +
               (outra.isEmpty() ? QStringLiteral(")") : QLatin1Char('\n') + outra + QLatin1Char(')'));
        break;
    case Forma::Simples:
        onde = coluna;
        break;
    case Forma::SimplesFiltro:
        onde = condicao + QStringLiteral(" and ") + coluna;
        break;
    }
    restoSql = QStringLiteral("from ") + tabela + QStringLiteral(" where ") + onde;
}

namespace {

// Table name and the name its columns are qualified with ("PESSOAS P" -> PESSOAS, P).
std::pair<QString, QString> tabelaEApelido(const QString& tabela)
{
    const QStringList partes = tabela.simplified().split(QLatin1Char(' '));
    if (partes.size() == 1)
        return {partes.first().toUpper(), partes.first()};
    if (partes.size() == 2)
        return {partes.first().toUpper(), partes.at(1)};
    return {};
}

// The word pieces hold NOME and CARTAOSUS of PESSOAS: they serve a search over those columns
// whose rows all have to match the name or card (a written condition with OR may let rows of any
// name through).
bool servemTrechos(const DefinicaoBusca& d)
{
    const auto [tabela, apelido] = tabelaEApelido(d.tabela);
    if (tabela != QLatin1String("PESSOAS"))
        return false;
    auto eColuna = [&](const QString& expr, const char* coluna) {
        const QString e = expr.trimmed();
        const int ponto = int(e.indexOf(QLatin1Char('.')));
        if (ponto >= 0 && e.left(ponto).compare(apelido, Qt::CaseInsensitive) != 0)
            return false;
        return e.mid(ponto + 1).compare(QLatin1String(coluna), Qt::CaseInsensitive) == 0;
    };
    if (!eColuna(d.ordem, "NOME") || (!d.extra.isEmpty() && !eColuna(d.extra, "CARTAOSUS")))
        return false;
    static const QRegularExpression ou(QStringLiteral("\\bor\\b"), QRegularExpression::CaseInsensitiveOption);
    return d.forma != DefinicaoBusca::Forma::SimplesFiltro || !d.condicao.contains(ou);
}

bool aceitaColacao(Transacao& tr, const QString& tabela, const QString& expr)
{
    try {
        // Prepared only: the statement is not run.
        Comando c(tr, QStringLiteral("select 1 from ") + tabela + QStringLiteral(" where ") +
                          QString(comparacao(expr, true)).replace(QLatin1String(":pdes"), QLatin1String("''")));
        return true;
    } catch (const ErroBanco&) {
        return false;
    }
}

} // namespace

void PreparaBusca(Transacao& tr, DefinicaoBusca& d)
{
    d.colunaSemAcentos = aceitaColacao(tr, d.tabela, d.ordem);
    d.extraSemAcentos = extraSemAcentos(d.extra) && aceitaColacao(tr, d.tabela, d.extra);
    d.usaTrechos = servemTrechos(d) && TrechosProntos(tr);
    d.preparada = true;
    d.monta();
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

// A row read through the word pieces, with its record's place: the server orders rows of equal
// names by it.
struct ItemComLugar {
    Campo ordem;
    QByteArray lugar; // record number, most significant byte first
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


// The rows of the candidates, sorted as the server sorts (ties by record place), the first 400.
void acrescentaOrdenados(QVector<ItemComLugar>& itens, QVector<LinhaBusca>& linhas)
{
    std::sort(itens.begin(), itens.end(), [](const ItemComLugar& a, const ItemComLugar& b) {
        const int c = comparaCampos(a.ordem, b.ordem);
        return c != 0 ? c < 0 : a.lugar < b.lugar;
    });
    for (int i = 0; i < itens.size() && i < kLimiteBusca; ++i)
        linhas.push_back(std::move(itens[i].linha));
}

// The row of a statement whose select list is the definition's, the order column and the record
// place.
ItemComLugar itemDe(const Consulta& q, const DefinicaoBusca& d)
{
    // The place is relation (4 bytes) then record number (4 bytes), little-endian.
    QByteArray lugar = q.campo(d.numColunas + 1).s.toLatin1();
    std::reverse(lugar.begin(), lugar.end());
    return {q.campo(d.numColunas), lugar, linhaDe(q, d)};
}

void leComLugar(Leitor& q, const DefinicaoBusca& d, const QString& sql, QVector<ItemComLugar>& itens)
{
    for (q.abre(sql); !q.eof(); q.proximo())
        itens.push_back(itemDe(q.c, d));
    q.fecha();
}

using ChavePessoa = QPair<QString, qint64>; // CLI_ORIGEM, CODIGO

// Fragments of a patients' search: the candidates are the patients with a word piece starting
// with a piece of the pattern (a run of three or more characters without a blank or wildcard,
// which lies inside one word of the name or card); the pattern itself then filters their rows.
// Entries of a piece lie together on disk and read fast; the patients' rows do not, so the
// smallest candidate set is sought: a piece with few entries, or the common part of the lists of
// several pieces. When every piece is common the fragment is left to the paths that walk the name
// index (a single piece: at once; several: false, to the sampled path).
bool buscaPorTrechos(Leitor& q, const DefinicaoBusca& d, const QString& padrao, const AjusteBusca& ajuste,
                     QVector<LinhaBusca>& linhas)
{
    static const QRegularExpression separa(QStringLiteral("[%_ ]"));
    QStringList pecas;
    for (const QString& parte : padrao.split(separa, Qt::SkipEmptyParts))
        if (parte.size() >= kMinimoTrecho && !pecas.contains(parte.left(kTamanhoTrecho)))
            pecas << parte.left(kTamanhoTrecho);
    if (pecas.isEmpty())
        return false;
    std::stable_sort(pecas.begin(), pecas.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    // The patients of a piece's entries, when there are no more than `limite` entries.
    auto lista = [&](const QString& peca, int limite, QVector<ChavePessoa>* chaves) {
        q.abre(QStringLiteral("select first %1 CLI_ORIGEM, CODIGO from BUSCA_PESSOAS where TRECHO starting with %2 "
                              "order by TRECHO")
                   .arg(limite + 1)
                   .arg(SqlLiteralTexto(peca)));
        int n = 0;
        for (; !q.eof() && n <= limite; q.proximo(), ++n)
            if (chaves)
                chaves->push_back({q.campo(0).texto(), q.campo(1).i});
        q.fecha();
        if (chaves && n > limite)
            chaves->clear();
        return n <= limite;
    };
    const QString ref = tabelaEApelido(d.tabela).second;
    const QString filtro = comPadrao(d.onde, padrao);
    const QString colunas = QStringLiteral("select ") + d.selecao + QStringLiteral(", ") + d.ordem +
                            QStringLiteral(", cast(") + ref + QStringLiteral(".RDB$DB_KEY as varchar(8) character set octets)\n");
    // One statement for the patients of one piece.
    auto lePeca = [&](const QString& peca) {
        QVector<ItemComLugar> itens;
        leComLugar(q, d,
                   colunas +
                       QStringLiteral("from (select distinct CLI_ORIGEM as O_VX, CODIGO as C_VX from BUSCA_PESSOAS "
                                      "where TRECHO starting with ") +
                       SqlLiteralTexto(peca) + QStringLiteral(") K_VX\njoin ") + d.tabela + QStringLiteral(" on ") + ref +
                       QStringLiteral(".CLI_ORIGEM = K_VX.O_VX and ") + ref +
                       QStringLiteral(".CODIGO = K_VX.C_VX\nwhere ") + filtro,
                   itens);
        acrescentaOrdenados(itens, linhas);
        return true;
    };

    for (const QString& p : pecas)
        if (lista(p, ajuste.poucos, nullptr))
            return lePeca(p);
    // A single piece's list is of use only up to what one join reads.
    const int limite = pecas.size() == 1 ? qMin(ajuste.juntar, ajuste.muitos) : ajuste.muitos;
    QVector<QVector<ChavePessoa>> listas;
    for (const QString& p : pecas) {
        QVector<ChavePessoa> c;
        if (lista(p, limite, &c))
            listas.push_back(std::move(c));
        else
            listas.push_back({});
    }
    int menor = -1;
    for (int i = 0; i < listas.size(); ++i)
        if (!listas[i].isEmpty() && (menor < 0 || listas[i].size() < listas[menor].size()))
            menor = i;
    if (menor >= 0 && pecas.size() == 1 && listas[menor].size() <= ajuste.juntar)
        return lePeca(pecas.first());
    if (menor < 0 || pecas.size() == 1) {
        const QString resto = QStringLiteral("from ") + d.tabela + QStringLiteral(" where ") + filtro;
        if (pecas.size() == 1) {
            // One common piece: the ordered walk of the name index meets 400 matches soon.
            leOrdenado(q, d, resto, kLimiteBusca, linhas);
            return true;
        }
        // Several common words: their conjunction may be rare, where the walk would read most of
        // the index; the sampled path is bounded by a pass over the table.
        return false;
    }
    // Several pieces: the candidates are the patients in every list; a list too long above is
    // read further when that costs less than reading the rows it would spare.
    QSet<ChavePessoa> candidatos(listas[menor].cbegin(), listas[menor].cend());
    for (int i = 0; i < listas.size() && candidatos.size() > ajuste.poucos / 10; ++i) {
        if (i == menor)
            continue;
        if (listas[i].isEmpty()) {
            // Longer than `muitos` already: read on only when that may end below twice the candidates.
            const qsizetype ate = 2 * candidatos.size();
            if (ate <= limite || !lista(pecas[i], int(qMin<qsizetype>(ate, 100000)), &listas[i]))
                continue;
        }
        const QSet<ChavePessoa> outra(listas[i].cbegin(), listas[i].cend());
        candidatos.intersect(outra);
    }
    if (candidatos.size() > ajuste.poucos)
        return lePeca(pecas[menor]);
    // Few patients: their rows one by one through the primary key.
    QVector<ItemComLugar> itens;
    Consulta um(q.c.transacao());
    bool aberta = false;
    for (const ChavePessoa& c : std::as_const(candidatos)) {
        const QVariantList params{c.first, c.second};
        if (!aberta) {
            um.abre(colunas + QStringLiteral("from ") + d.tabela + QStringLiteral(" where ") + ref +
                        QStringLiteral(".CLI_ORIGEM = ? and ") + ref + QStringLiteral(".CODIGO = ? and (") + filtro +
                        QLatin1Char(')'),
                    params);
            aberta = true;
        } else {
            um.reabre(params);
        }
        for (; !um.eof(); um.proximo())
            itens.push_back(itemDe(um, d));
    }
    if (aberta)
        um.fecha();
    acrescentaOrdenados(itens, linhas);
    return true;
}

} // namespace

QVector<LinhaBusca> ExecutaBusca(Transacao& tr, const DefinicaoBusca& definicao, const QString& padraoDigitado,
                                 const AjusteBusca& ajuste)
{
    DefinicaoBusca preparada;
    if (!definicao.preparada) {
        preparada = definicao;
        PreparaBusca(tr, preparada);
    }
    const DefinicaoBusca& d = definicao.preparada ? definicao : preparada;
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
        // A prefix P. Every name starting with something equal to P (without accents or case, or
        // upper-cased: upper-casing never lowers a stored byte) sorts at or after the lowest such
        // text: the ordered walk of the name index can start there. Rows found only by the second column (card, trade
        // name, occupation) with a name before P — or none — sort before all of them.
        const QString limite = SqlLiteralTexto(d.colunaSemAcentos ? LimiteSemAcentos(padrao.left(fimPrefixo))
                                                                  : padrao.left(fimPrefixo));
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

    if (ajuste.trechos && d.usaTrechos && buscaPorTrechos(q, d, padrao, ajuste, linhas))
        return linhas;

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
