#pragma once
// Band report engine. A report is declared as bands (page header and footer, title, column
// headers, group headers and footers, detail, summary) or as a fixed form; MontaDocumento lays it
// out once into a Documento (pages of drawing commands) that is painted on demand: preview page,
// printer, PDF file or image. Definitions use millimetres; the layout works in 1/1200 inch.
#include "core/Decimal.h"

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QLineF>
#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>

class QPainter;
class QPagedPaintDevice;

namespace vx {
class Consulta;
class Campo;
class Transacao;
struct Planilha;
} // namespace vx

namespace vx::rel {

inline constexpr double kDpi = 1200.0;           // layout units per inch
inline double mm(double v) { return v * kDpi / 25.4; }

enum class Alinha { Esquerda, Centro, Direita };
enum class Formato { Auto, Texto, Moeda, Inteiro, Data, DataHora, DataHoraMin, Hora };

// Money is formatted by vx::FormataMoeda / vx::FormataValor (core/UFunc.h).
// Integer part with "." every three digits: "1.234".
QString FormataInteiro(qint64 v);
// A value as text in the given format (Auto: decimals as money when their scale is at most 2,
// dates dd/mm/yyyy, date-times dd/mm/yyyy hh:mm:ss).
QString FormataValor(const QVariant& v, Formato f = Formato::Auto);

struct Fonte {
    QString familia = QStringLiteral("Liberation Sans");
    double pontos = 8;
    bool negrito = false;
    bool italico = false;
    double estreitamento = 100; // horizontal stretch in percent (100 = natural width)

    Fonte tamanho(double p) const { Fonte f = *this; f.pontos = p; return f; }
    Fonte emNegrito(bool b = true) const { Fonte f = *this; f.negrito = b; return f; }
    QFont qfont() const; // pixel-sized for the layout resolution
};

// The font a printer-font name resolves to: the family itself when installed; otherwise a
// monospace family condensed to about 17 characters per inch at the given size.
Fonte ResolveFonte(const QString& familia, const Fonte& base);

// ---------------------------------------------------------------------------------------------
// Rows

class Linha {
public:
    Linha() = default;
    Linha(QSharedPointer<const QStringList> nomes, QVector<QVariant> valores);
    // Case-insensitive; an unknown name or a null value gives an invalid QVariant.
    QVariant valor(const QString& nome) const;
    bool tem(const QString& nome) const;
    QString texto(const QString& nome) const { return FormataValor(valor(nome), Formato::Texto); }
    Decimal decimal(const QString& nome) const;
    qint64 inteiro(const QString& nome) const;
    QDate data(const QString& nome) const;
    bool vazia() const { return m_valores.isEmpty(); }
    const QVector<QVariant>& valores() const { return m_valores; }
    // Adds or replaces a value (computed fields).
    void define(const QString& nome, const QVariant& v);

private:
    int indice(const QString& nome) const;
    QSharedPointer<const QStringList> m_nomes;
    QVector<QVariant> m_valores;
    QStringList m_extraNomes;
    QVector<QVariant> m_extra;
};

// A database value as a QVariant (decimals as vx::Decimal, never double).
QVariant ValorDoCampo(const Campo& c);

// Rows read once, in order.
class FonteDados {
public:
    virtual ~FonteDados() = default;
    virtual bool proxima(Linha& l) = 0;
};

class DadosMemoria : public FonteDados {
public:
    DadosMemoria(const QStringList& nomes, QVector<QVariantList> linhas);
    bool proxima(Linha& l) override;

private:
    QSharedPointer<const QStringList> m_nomes;
    QVector<QVariantList> m_linhas;
    int m_pos = 0;
};

// Streams an open query (vx::Consulta::abre already called); the query must outlive the layout.
class DadosConsulta : public FonteDados {
public:
    explicit DadosConsulta(Consulta& q);
    bool proxima(Linha& l) override;

private:
    Consulta& m_q;
    QSharedPointer<const QStringList> m_nomes;
};

// Opens a query of its own and streams it (sub-lists under a master row, single-query reports).
class DadosSql : public FonteDados {
public:
    DadosSql(Transacao& tr, const QString& sql, const QVariantList& parametros = {});
    ~DadosSql() override;
    bool proxima(Linha& l) override;

private:
    std::unique_ptr<Consulta> m_q;
    std::unique_ptr<DadosConsulta> m_dados;
};

// ---------------------------------------------------------------------------------------------
// Bands

// Values of running totals, by total name.
class Totais {
public:
    Decimal soma(const QString& nome) const;
    qint64 contagem() const { return m_contagem; }
    void zera();
    void acumula(const QString& nome, const Decimal& v);
    void conta() { ++m_contagem; }

private:
    QHash<QString, Decimal> m_somas;
    qint64 m_contagem = 0;
};

// What an element sees when it is laid out.
struct Contexto {
    const Linha* linha = nullptr;   // current row (the group's last row in its footer)
    const Totais* totais = nullptr; // totals of the band's level
    int pagina = 0;                 // 1-based
    int copia = 0;                  // fixed forms: 1-based copy number
    int indice = 0;                 // detail: 0-based row number within its section
    QString campo(const QString& nome) const { return linha ? linha->texto(nome) : QString(); }
};

using FuncTexto = std::function<QString(const Contexto&)>;
using FuncCondicao = std::function<bool(const Contexto&)>;
using FuncCor = std::function<QColor(const Contexto&)>; // invalid colour = none

struct Elemento {
    enum class Tipo { Texto, Campo, Soma, Contagem, Linha, Caixa, Imagem };
    Tipo tipo = Tipo::Texto;
    QRectF ret;               // mm, relative to the band's top-left corner (inside the margins)
    QString texto;            // Texto: template with {FIELD}, {PAGINA}, {PAGINAS}, {COPIA}; Campo/Soma: name
    FuncTexto funcao;         // computed text (overrides texto)
    Formato formato = Formato::Auto;
    QString mascara;          // decimal mask ("###,##0.00", "#,###,##0.00"); overrides formato
    Alinha alinha = Alinha::Esquerda;
    bool fonteDefinida = false;
    Fonte fonte;
    bool quebra = false;      // word wrap; the band grows to fit
    QColor cor = Qt::black;
    QColor fundo;             // invalid = transparent
    FuncCor corFundo;         // background by row (overrides fundo when valid)
    double espessura = 0.2;   // mm, lines and boxes
    QImage imagem;
    FuncCondicao visivel;

    Elemento& com(const Fonte& f) { fonte = f; fonteDefinida = true; return *this; }
    Elemento& negrito();
    Elemento& tamanho(double pontos);
    Elemento& quebraLinha() { quebra = true; return *this; }
    Elemento& formatado(Formato f) { formato = f; return *this; }
    Elemento& comMascara(const QString& m) { mascara = m; return *this; }
    Elemento& alinhado(Alinha a) { alinha = a; return *this; }
    Elemento& comFundo(const QColor& c) { fundo = c; return *this; }
    Elemento& comFundo(FuncCor f) { corFundo = std::move(f); return *this; }
    Elemento& seVisivel(FuncCondicao f) { visivel = std::move(f); return *this; }
};

class Banda {
public:
    Banda() = default;
    explicit Banda(double alturaMm) : altura(alturaMm) {}

    double altura = 0;           // mm; 0 = not printed
    QVector<Elemento> elementos;
    FuncCondicao visivel;        // printed only when true
    FuncCor fundo;               // background of the whole band width

    Elemento& texto(const QRectF& r, const QString& modelo, Alinha a = Alinha::Esquerda);
    Elemento& campo(const QRectF& r, const QString& nome, Formato f = Formato::Auto, Alinha a = Alinha::Esquerda);
    Elemento& calculado(const QRectF& r, FuncTexto f, Alinha a = Alinha::Esquerda);
    Elemento& soma(const QRectF& r, const QString& total, Alinha a = Alinha::Direita);
    Elemento& contagem(const QRectF& r, Alinha a = Alinha::Direita);
    Elemento& linha(const QLineF& l, double espessuraMm = 0.2);
    Elemento& caixa(const QRectF& r, double espessuraMm = 0.2);
    Elemento& imagem(const QRectF& r, const QImage& img);
    bool vazia() const { return altura <= 0; }
};

// A column of a listing: header, cell and optional sum in group footers and the summary.
struct Coluna {
    QString titulo;
    QString campo;             // field shown (ignored when funcao is set)
    double largura = 20;       // mm; 0 = the rest of the line
    Alinha alinha = Alinha::Esquerda;
    Formato formato = Formato::Auto;
    FuncTexto funcao;
    bool quebra = false;       // long texts wrap and the row grows
    bool somar = false;        // sum shown under the column in footers with totais
    QString mascara;           // decimal mask of the cells
    QString mascaraTotal;      // decimal mask of the sums (the cells' when empty)
    FuncCor fundoCelula;       // background of the cell by row
    std::function<Decimal(const Linha&)> valorSoma; // what soma() adds up (default: the field)

    // Name of the column's total in Totais.
    QString nomeTotal() const { return campo.isEmpty() ? titulo : campo; }

    Coluna& alinhado(Alinha a) { alinha = a; return *this; }
    Coluna& formatado(Formato f) { formato = f; return *this; }
    Coluna& quebraLinha() { quebra = true; return *this; }
    // Summed column: right-aligned money unless set otherwise.
    Coluna& soma()
    {
        somar = true;
        if (alinha == Alinha::Esquerda)
            alinha = Alinha::Direita;
        if (formato == Formato::Auto)
            formato = Formato::Moeda;
        return *this;
    }
    Coluna& calculada(FuncTexto f) { funcao = std::move(f); return *this; }
    // Summed through a function of the row (calculated columns).
    Coluna& somaDe(std::function<Decimal(const Linha&)> f) { soma(); valorSoma = std::move(f); return *this; }
    Coluna& comFundo(FuncCor f) { fundoCelula = std::move(f); return *this; }
    Coluna& comMascara(const QString& m, const QString& total = {}) { mascara = m; mascaraTotal = total; return *this; }
};

// A named running total: the sum of a field (or of a function of the row).
struct Total {
    QString nome;
    QString campo;
    std::function<Decimal(const Linha&)> valor;
};

struct Grupo {
    QString campo;                              // the group changes when this value changes
    std::function<QString(const Linha&)> chave; // or when this key changes
    Banda cabecalho;
    Banda rodape;
    bool novaPagina = false;                    // every group after the first starts a page
    bool repeteCabecalho = false;               // header printed again on pages the group continues on
};

// A data section: rows, groups, detail bands, summary, and sub-sections run under every row.
class Secao {
public:
    Secao() = default;
    Secao(Secao&&) = default;
    Secao& operator=(Secao&&) = default;

    std::unique_ptr<FonteDados> dados;           // root section
    std::function<std::unique_ptr<FonteDados>(const Linha& mestre)> fabrica; // sub-sections
    QVector<Coluna> colunas;
    Fonte fonteColunas;
    double alturaLinha = 4.2;                    // mm, the column detail line
    bool zebrado = false;                        // alternating white / light grey rows
    FuncCor fundoLinha;                          // overrides zebra when it gives a valid colour
    QVector<Grupo> grupos;
    QVector<Banda> detalhes;                     // printed after the column line, per row
    Banda cabecalho;                             // once before the first row (sub-sections)
    Banda resumo;                                // after the last row (section totals)
    bool resumoSemLinhas = false;                // print the summary even without rows
    QVector<Total> totais;
    std::vector<std::unique_ptr<Secao>> filhas;

    Coluna& coluna(const QString& titulo, const QString& campo, double larguraMm, Alinha a = Alinha::Esquerda);
    Grupo& grupo(const QString& campo);
    Banda& detalhe(double alturaMm);
    void total(const QString& nome, const QString& campo);
    void total(const QString& nome, std::function<Decimal(const Linha&)> f);
    Secao& filha(std::function<std::unique_ptr<FonteDados>(const Linha& mestre)> f);
    // Footer band with a label and the sums of the columns marked soma().
    Banda bandaTotais(const QString& rotulo, double larguraUtilMm) const;
};

// x position and width (mm) of every column as the engine lays them out; a zero width takes what
// is left.
QVector<QPair<double, double>> PosicoesColunas(const QVector<Coluna>& cols, double larguraUtil);

// Page geometry shared by listings and forms.
struct Pagina {
    QPageLayout::Orientation orientacao = QPageLayout::Portrait;
    QMarginsF margens{10, 10, 10, 10}; // mm
    QSizeF tamanhoMm() const;           // A4 in the orientation
    double larguraUtilMm() const;
    double alturaUtilMm() const;
};

class Documento;
class Montador;

// Something that lays out pages: a band listing or a fixed form.
class Parte {
public:
    virtual ~Parte() = default;
    Pagina pagina;
    // Replaces the family of every text of the part ("Draft 17Cpi" with its fallback).
    QString familiaForcada;
    virtual void monta(Montador& m) = 0;
};

// A band listing.
class Relatorio : public Parte, public Secao {
public:
    Relatorio();
    Banda titulo;          // first page only, under the page header
    Banda cabecalhoPagina; // every page
    Banda rodapePagina;    // every page, at the bottom
    bool repeteColunas = true;

    // The usual header: line1 and the date at the top, the title centred, the filter line and
    // "Página: N de M" ("Página: N" without totalPaginas); an empty title leaves its line out.
    // Uses the page width: set the orientation and margins first.
    void cabecalhoPadrao(const QString& linha1, const QString& tituloTexto, const QString& filtro,
                         bool totalPaginas = true);
    void paisagem() { pagina.orientacao = QPageLayout::Landscape; }
    void monta(Montador& m) override;
};

// A fixed page: every row gives `copias` copies of the form band; `porPagina` copies share a
// page, stacked from the top (a receipt in two halves: copias 2, porPagina 2).
class Formulario : public Parte {
public:
    Banda forma;                       // its height is the height of one copy
    std::unique_ptr<FonteDados> dados; // none: one form without data
    int copias = 1;
    int porPagina = 1;
    void monta(Montador& m) override;
};

// Sets the text font family of a report ("Draft 17Cpi" when none or an empty name is given).
void FonteRelatorio(Parte& parte, const QString& familia = QStringLiteral("Draft 17Cpi"));

// ---------------------------------------------------------------------------------------------
// Laid-out document

// One drawing command; kept small, a long listing holds about ten per row.
struct Comando {
    enum class Tipo : quint8 { Texto, Linha, Retangulo, Imagem };
    Tipo tipo = Tipo::Texto;
    bool totalPaginas = false; // text holds {PAGINAS}
    qint16 fonte = 0;
    quint16 flags = 0;         // Qt::Alignment and Qt::TextWordWrap
    int imagem = -1;
    QRgb cor = 0;
    QRgb fundo = 0;            // alpha 0 = none
    double espessura = 0;
    QRectF r;                  // layout units, page coordinates
    QString texto;
};

struct PaginaDoc {
    QPageLayout::Orientation orientacao = QPageLayout::Portrait;
    QVector<Comando> comandos;
};

// A cell of a listing's table: a text of a band as laid out (uncut), in the column of the root
// section whose range holds its x position. The text is the command's own (shared).
struct CelulaTabela {
    QString texto;
    qint16 coluna = 0;
    qint8 casas = -1;    // a number shown with this many decimals; -1 = text
    quint8 estilo = 0;   // numbers: Milhar (thousands separators), Livre (variable decimals)
    enum : quint8 { Milhar = 1, Livre = 2 };
    bool numero() const { return casas >= 0; }
};

class Documento {
public:
    int numPaginas() const { return int(m_paginas.size()); }
    QSizeF tamanho(int pagina) const; // layout units
    QPageLayout::Orientation orientacao(int pagina) const { return m_paginas.at(pagina).orientacao; }
    // Paints a page on a painter whose coordinates are layout units.
    void desenha(QPainter& p, int pagina) const;
    // All text of a page, in command order (tests, search).
    QStringList textos(int pagina) const;
    // Data rows laid out (every section and form); 0 = the report found nothing.
    qint64 linhas() const { return m_linhas; }
    void defineLinhas(qint64 n) { m_linhas = n; }

    // The listings' table (spreadsheet export): the column titles, then one row per band of the
    // data flow. Forms and listings without columns add nothing.
    bool temPlanilha() const { return !m_inicioLinhas.isEmpty(); }
    int numLinhasTabela() const { return int(m_inicioLinhas.size()); }
    // Cells of row i: celulaTabela(k) for k in [inicioLinhaTabela(i), inicioLinhaTabela(i + 1)).
    int inicioLinhaTabela(int i) const { return i < m_inicioLinhas.size() ? m_inicioLinhas.at(i) : m_numCelulas; }
    const CelulaTabela& celulaTabela(int k) const { return m_celulas.at(k >> kBitsBloco).at(k & (kBloco - 1)); }
    void novaLinhaTabela() { m_inicioLinhas.append(m_numCelulas); }
    void adicionaCelula(CelulaTabela c);

    // Used by the layout.
    QVector<PaginaDoc>& paginas() { return m_paginas; }
    int indiceFonte(const QFont& f);
    int indiceImagem(const QImage& img);
    const QFont& fonte(int i) const { return m_fontes.at(i); }
    int numFontes() const { return int(m_fontes.size()); }

private:
    QVector<PaginaDoc> m_paginas;
    QVector<QFont> m_fontes;
    QVector<QImage> m_imagens;
    qint64 m_linhas = 0;
    // Cells in fixed blocks: a long table grows without moving what it holds.
    static constexpr int kBitsBloco = 12;
    static constexpr int kBloco = 1 << kBitsBloco;
    QVector<QVector<CelulaTabela>> m_celulas;
    int m_numCelulas = 0;
    QVector<qint32> m_inicioLinhas;
};

// Called every few rows with the rows laid out so far; false cancels the layout.
using ProgressoMontagem = std::function<bool(qint64 linhas)>;

// Lays out the parts in order into one document (one print job).
std::shared_ptr<Documento> MontaDocumento(const QVector<Parte*>& partes, const ProgressoMontagem& progresso = {});
std::shared_ptr<Documento> MontaDocumento(Parte& parte, const ProgressoMontagem& progresso = {});

// Paints every page on a paged device (QPdfWriter, QPrinter with full page), first..last
// 0-based inclusive (-1 = to the end). Returns false when the device could not be painted.
bool DesenhaDocumento(const Documento& doc, QPagedPaintDevice& dispositivo, int primeira = 0, int ultima = -1);
// Writes the document as a PDF file.
bool GravaPdf(const Documento& doc, const QString& arquivo, QString* erro = nullptr);
// One page as an image at the given resolution (dots per inch).
QImage ImagemPagina(const Documento& doc, int pagina, double dpi = 96);
// The document's table as a sheet: numbers (sums, counts, money, integers, decimal masks) as
// numbers equal to the printed text, "#,##0.00" for money, "#,##0" / "0" for integers; texts that
// fall in the same column joined with a blank; everything else text.
Planilha PlanilhaDoDocumento(const Documento& doc);

// Thrown when the progress callback cancels a layout.
struct Cancelado {};

} // namespace vx::rel

Q_DECLARE_TYPEINFO(vx::rel::Comando, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(vx::rel::CelulaTabela, Q_RELOCATABLE_TYPE);
