#include "reports/Relatorio.h"
#include "core/Banco.h"
#include "core/UFunc.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QFile>

#include <cmath>

namespace vx::rel {

// ---------------------------------------------------------------------------------------------
// Formatting

QString FormataInteiro(qint64 v)
{
    const bool neg = v < 0;
    QString d = QString::number(neg ? -v : v);
    for (int i = int(d.size()) - 3; i > 0; i -= 3)
        d.insert(i, QLatin1Char('.'));
    return neg ? QLatin1Char('-') + d : d;
}



QString FormataValor(const QVariant& v, Formato f)
{
    if (!v.isValid() || v.isNull())
        return {};
    const QMetaType t = v.metaType();
    const bool ehDecimal = t == QMetaType::fromType<Decimal>();
    switch (f) {
    case Formato::Moeda:
        if (ehDecimal)
            return vx::FormataMoeda(v.value<Decimal>());
        if (t.id() == QMetaType::LongLong || t.id() == QMetaType::Int)
            return vx::FormataMoeda(Decimal::fromInt(v.toLongLong()));
        if (auto d = Decimal::parse(v.toString()))
            return vx::FormataMoeda(*d);
        return v.toString();
    case Formato::Inteiro:
        if (ehDecimal)
            return FormataInteiro(v.value<Decimal>().rescaled(0).unscaled());
        return FormataInteiro(v.toLongLong());
    case Formato::Data:
        if (t.id() == QMetaType::QDateTime)
            return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy"));
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case Formato::DataHora:
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    case Formato::DataHoraMin:
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    case Formato::Hora:
        if (t.id() == QMetaType::QTime)
            return v.toTime().toString(QStringLiteral("HH:mm"));
        return v.toDateTime().toString(QStringLiteral("HH:mm"));
    case Formato::Texto:
    case Formato::Auto:
        break;
    }
    if (ehDecimal) {
        const Decimal d = v.value<Decimal>();
        return f == Formato::Auto && d.scale() <= 2 ? vx::FormataMoeda(d) : d.toShortString();
    }
    switch (t.id()) {
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    default:
        return v.toString();
    }
}

// ---------------------------------------------------------------------------------------------
// Fonts

QFont Fonte::qfont() const
{
    QFont f(familia);
    f.setPixelSize(qMax(1, qRound(pontos * kDpi / 72.0)));
    f.setBold(negrito);
    f.setItalic(italico);
    if (std::abs(estreitamento - 100) > 0.5)
        f.setStretch(qBound(1, qRound(estreitamento), 4000));
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

namespace {
QString familiaMonoespacada()
{
    static const QString fam = [] {
        for (const char* c : {"Liberation Mono", "DejaVu Sans Mono"})
            if (QFontDatabase::hasFamily(QString::fromLatin1(c)))
                return QString::fromLatin1(c);
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    return fam;
}
} // namespace

Fonte ResolveFonte(const QString& familia, const Fonte& base)
{
    Fonte f = base;
    if (familia.isEmpty())
        return f;
    if (QFontDatabase::hasFamily(familia)) {
        f.familia = familia;
        return f;
    }
    // Printer-resident draft font: 17 characters per inch on a condensed monospace face.
    f.familia = familiaMonoespacada();
    f.estreitamento = 100;
    const double avanco = QFontMetricsF(f.qfont()).horizontalAdvance(QLatin1Char('0'));
    if (avanco > 0)
        f.estreitamento = qBound(50.0, std::floor(100.0 * (kDpi / 17.0) / avanco), 100.0);
    return f;
}

void FonteRelatorio(Parte& parte, const QString& familia)
{
    parte.familiaForcada = familia.trimmed().isEmpty() ? QStringLiteral("Draft 17Cpi") : familia;
}

// ---------------------------------------------------------------------------------------------
// Rows

Linha::Linha(QSharedPointer<const QStringList> nomes, QVector<QVariant> valores)
    : m_nomes(std::move(nomes)), m_valores(std::move(valores))
{
}

int Linha::indice(const QString& nome) const
{
    if (m_nomes) {
        for (int i = 0; i < m_nomes->size(); ++i)
            if (m_nomes->at(i).compare(nome, Qt::CaseInsensitive) == 0)
                return i;
    }
    for (int i = 0; i < m_extraNomes.size(); ++i)
        if (m_extraNomes.at(i).compare(nome, Qt::CaseInsensitive) == 0)
            return 100000 + i;
    return -1;
}

QVariant Linha::valor(const QString& nome) const
{
    const int i = indice(nome);
    if (i >= 100000)
        return m_extra.at(i - 100000);
    if (i < 0 || i >= m_valores.size())
        return {};
    return m_valores.at(i);
}

bool Linha::tem(const QString& nome) const { return indice(nome) >= 0; }

void Linha::define(const QString& nome, const QVariant& v)
{
    const int i = indice(nome);
    if (i >= 100000)
        m_extra[i - 100000] = v;
    else if (i >= 0 && i < m_valores.size())
        m_valores[i] = v;
    else {
        m_extraNomes << nome;
        m_extra << v;
    }
}

Decimal Linha::decimal(const QString& nome) const
{
    const QVariant v = valor(nome);
    if (!v.isValid() || v.isNull())
        return Decimal::cents(0);
    if (v.metaType() == QMetaType::fromType<Decimal>())
        return v.value<Decimal>();
    if (v.metaType().id() == QMetaType::LongLong || v.metaType().id() == QMetaType::Int)
        return Decimal::fromInt(v.toLongLong());
    return Decimal::parse(v.toString()).value_or(Decimal::cents(0));
}

qint64 Linha::inteiro(const QString& nome) const
{
    const QVariant v = valor(nome);
    if (v.metaType() == QMetaType::fromType<Decimal>())
        return v.value<Decimal>().rescaled(0).unscaled();
    return v.toLongLong();
}

QDate Linha::data(const QString& nome) const
{
    const QVariant v = valor(nome);
    return v.metaType().id() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
}

QVariant ValorDoCampo(const Campo& c)
{
    if (c.nulo)
        return {};
    switch (c.tipo) {
    case Campo::Tipo::Decimal:
        return QVariant::fromValue(c.decimal());
    case Campo::Tipo::Inteiro:
        return QVariant(c.inteiro());
    case Campo::Tipo::Data:
        return QVariant(c.data());
    case Campo::Tipo::DataHora:
        return QVariant(c.dataHora());
    case Campo::Tipo::Hora:
        return QVariant(c.tm);
    case Campo::Tipo::Real:
        return QVariant(c.real());
    default:
        return QVariant(c.texto());
    }
}

DadosMemoria::DadosMemoria(const QStringList& nomes, QVector<QVariantList> linhas)
    : m_nomes(QSharedPointer<const QStringList>::create(nomes)), m_linhas(std::move(linhas))
{
}

bool DadosMemoria::proxima(Linha& l)
{
    if (m_pos >= m_linhas.size())
        return false;
    l = Linha(m_nomes, m_linhas.at(m_pos++));
    return true;
}

DadosConsulta::DadosConsulta(Consulta& q)
    : m_q(q), m_nomes(QSharedPointer<const QStringList>::create(q.nomesCampos()))
{
}

bool DadosConsulta::proxima(Linha& l)
{
    if (m_q.eof())
        return false;
    QVector<QVariant> v;
    v.reserve(m_q.numCampos());
    for (int i = 0; i < m_q.numCampos(); ++i)
        v << ValorDoCampo(m_q.campo(i));
    l = Linha(m_nomes, std::move(v));
    m_q.proximo();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Totals and bands

Decimal Totais::soma(const QString& nome) const { return m_somas.value(nome.toUpper(), Decimal::cents(0)); }

void Totais::zera()
{
    m_somas.clear();
    m_contagem = 0;
}

void Totais::acumula(const QString& nome, const Decimal& v)
{
    Decimal& s = m_somas[nome.toUpper()];
    s = s + v;
}

Elemento& Elemento::negrito()
{
    if (!fonteDefinida)
        fonte = Fonte{};
    fonte.negrito = true;
    fonteDefinida = true;
    return *this;
}

Elemento& Elemento::tamanho(double pontos)
{
    if (!fonteDefinida)
        fonte = Fonte{};
    fonte.pontos = pontos;
    fonteDefinida = true;
    return *this;
}

namespace {
Elemento& novo(QVector<Elemento>& v, Elemento::Tipo t, const QRectF& r)
{
    Elemento e;
    e.tipo = t;
    e.ret = r;
    v.append(e);
    return v.last();
}
} // namespace

Elemento& Banda::texto(const QRectF& r, const QString& modelo, Alinha a)
{
    Elemento& e = novo(elementos, Elemento::Tipo::Texto, r);
    e.texto = modelo;
    e.alinha = a;
    return e;
}

Elemento& Banda::campo(const QRectF& r, const QString& nome, Formato f, Alinha a)
{
    Elemento& e = novo(elementos, Elemento::Tipo::Campo, r);
    e.texto = nome;
    e.formato = f;
    e.alinha = a;
    return e;
}

Elemento& Banda::calculado(const QRectF& r, FuncTexto f, Alinha a)
{
    Elemento& e = novo(elementos, Elemento::Tipo::Texto, r);
    e.funcao = std::move(f);
    e.alinha = a;
    return e;
}

Elemento& Banda::soma(const QRectF& r, const QString& total, Alinha a)
{
    Elemento& e = novo(elementos, Elemento::Tipo::Soma, r);
    e.texto = total;
    e.formato = Formato::Moeda;
    e.alinha = a;
    return e;
}

Elemento& Banda::contagem(const QRectF& r, Alinha a)
{
    Elemento& e = novo(elementos, Elemento::Tipo::Contagem, r);
    e.alinha = a;
    return e;
}

Elemento& Banda::linha(const QLineF& l, double espessuraMm)
{
    Elemento& e = novo(elementos, Elemento::Tipo::Linha, QRectF(l.p1(), l.p2()));
    e.espessura = espessuraMm;
    return e;
}

Elemento& Banda::caixa(const QRectF& r, double espessuraMm)
{
    Elemento& e = novo(elementos, Elemento::Tipo::Caixa, r);
    e.espessura = espessuraMm;
    return e;
}

Elemento& Banda::imagem(const QRectF& r, const QImage& img)
{
    Elemento& e = novo(elementos, Elemento::Tipo::Imagem, r);
    e.imagem = img;
    return e;
}

Coluna& Secao::coluna(const QString& titulo, const QString& campo, double larguraMm, Alinha a)
{
    Coluna c;
    c.titulo = titulo;
    c.campo = campo;
    c.largura = larguraMm;
    c.alinha = a;
    colunas.append(c);
    return colunas.last();
}

Grupo& Secao::grupo(const QString& campo)
{
    Grupo g;
    g.campo = campo;
    grupos.append(g);
    return grupos.last();
}

Banda& Secao::detalhe(double alturaMm)
{
    detalhes.append(Banda(alturaMm));
    return detalhes.last();
}

void Secao::total(const QString& nome, const QString& campo) { totais.append(Total{nome, campo, {}}); }

void Secao::total(const QString& nome, std::function<Decimal(const Linha&)> f)
{
    totais.append(Total{nome, {}, std::move(f)});
}

Secao& Secao::filha(std::function<std::unique_ptr<FonteDados>(const Linha&)> f)
{
    filhas.push_back(std::make_unique<Secao>());
    filhas.back()->fabrica = std::move(f);
    return *filhas.back();
}

QVector<QPair<double, double>> PosicoesColunas(const QVector<Coluna>& cols, double larguraUtil)
{
    double fixas = 0;
    int elasticas = 0;
    for (const Coluna& c : cols) {
        if (c.largura > 0)
            fixas += c.largura;
        else
            ++elasticas;
    }
    const double resto = elasticas ? qMax(5.0, (larguraUtil - fixas) / elasticas) : 0;
    QVector<QPair<double, double>> r;
    double x = 0;
    for (const Coluna& c : cols) {
        const double w = c.largura > 0 ? c.largura : resto;
        r.append({x, w});
        x += w;
    }
    return r;
}

namespace {
const auto posicoes = PosicoesColunas;
constexpr double kFolga = 0.8; // mm between columns
} // namespace

Banda Secao::bandaTotais(const QString& rotulo, double larguraUtilMm) const
{
    Banda b(alturaLinha + 1);
    const auto pos = posicoes(colunas, larguraUtilMm);
    double xPrimeiraSoma = larguraUtilMm;
    for (int i = 0; i < colunas.size(); ++i) {
        if (!colunas[i].somar)
            continue;
        xPrimeiraSoma = qMin(xPrimeiraSoma, pos[i].first);
        b.soma(QRectF(pos[i].first, 0.5, pos[i].second - kFolga, alturaLinha), colunas[i].nomeTotal(), colunas[i].alinha)
            .formatado(colunas[i].formato == Formato::Auto ? Formato::Moeda : colunas[i].formato)
            .com(fonteColunas.emNegrito())
            .mascara = colunas[i].mascaraTotal.isEmpty() ? colunas[i].mascara : colunas[i].mascaraTotal;
        b.linha(QLineF(pos[i].first, 0.3, pos[i].first + pos[i].second - kFolga, 0.3), 0.15);
    }
    if (!rotulo.isEmpty())
        b.texto(QRectF(0, 0.5, qMax(20.0, xPrimeiraSoma - kFolga), alturaLinha), rotulo).com(fonteColunas.emNegrito());
    return b;
}

QSizeF Pagina::tamanhoMm() const
{
    return orientacao == QPageLayout::Landscape ? QSizeF(297, 210) : QSizeF(210, 297);
}

double Pagina::larguraUtilMm() const { return tamanhoMm().width() - margens.left() - margens.right(); }
double Pagina::alturaUtilMm() const { return tamanhoMm().height() - margens.top() - margens.bottom(); }

// ---------------------------------------------------------------------------------------------
// Document

QSizeF Documento::tamanho(int pagina) const
{
    const bool deitada = m_paginas.at(pagina).orientacao == QPageLayout::Landscape;
    return deitada ? QSizeF(mm(297), mm(210)) : QSizeF(mm(210), mm(297));
}

int Documento::indiceFonte(const QFont& f)
{
    for (int i = 0; i < m_fontes.size(); ++i)
        if (m_fontes[i] == f)
            return i;
    m_fontes.append(f);
    return int(m_fontes.size() - 1);
}

int Documento::indiceImagem(const QImage& img)
{
    for (int i = 0; i < m_imagens.size(); ++i)
        if (m_imagens[i].cacheKey() == img.cacheKey())
            return i;
    m_imagens.append(img);
    return int(m_imagens.size() - 1);
}

void Documento::desenha(QPainter& p, int pagina) const
{
    const QString total = QString::number(numPaginas());
    for (const Comando& c : m_paginas.at(pagina).comandos) {
        switch (c.tipo) {
        case Comando::Tipo::Texto: {
            if (c.fundo.isValid())
                p.fillRect(c.r, c.fundo);
            p.setFont(m_fontes.at(c.fonte));
            p.setPen(c.cor);
            const QString t = c.totalPaginas ? QString(c.texto).replace(QLatin1String("{PAGINAS}"), total) : c.texto;
            if (c.flags & Qt::TextWordWrap) {
                p.save();
                p.setClipRect(c.r);
                p.drawText(c.r, c.flags, t);
                p.restore();
            } else {
                p.drawText(c.r, c.flags | Qt::TextDontClip, t);
            }
            break;
        }
        case Comando::Tipo::Linha:
            p.setPen(QPen(c.cor, c.espessura));
            p.drawLine(c.r.topLeft(), c.r.bottomRight());
            break;
        case Comando::Tipo::Retangulo:
            if (c.fundo.isValid())
                p.fillRect(c.r, c.fundo);
            if (c.espessura > 0) {
                p.setPen(QPen(c.cor, c.espessura));
                p.setBrush(Qt::NoBrush);
                p.drawRect(c.r);
            }
            break;
        case Comando::Tipo::Imagem:
            if (c.imagem >= 0)
                p.drawImage(c.r, m_imagens.at(c.imagem));
            break;
        }
    }
}

QStringList Documento::textos(int pagina) const
{
    QStringList r;
    const QString total = QString::number(numPaginas());
    for (const Comando& c : m_paginas.at(pagina).comandos)
        if (c.tipo == Comando::Tipo::Texto)
            r << (c.totalPaginas ? QString(c.texto).replace(QLatin1String("{PAGINAS}"), total) : c.texto);
    return r;
}

// ---------------------------------------------------------------------------------------------
// Layout

class Montador {
public:
    Montador(Documento& d, const ProgressoMontagem& p) : doc(d), progresso(p) {}

    void iniciaParte(Parte* p, Relatorio* r)
    {
        parte = p;
        rel = r;
        primeiraDaParte = true;
        paginaAberta = false;
        cabColunas = nullptr;
        abertos.clear();
    }

    void terminaParte()
    {
        if (paginaAberta)
            fechaPagina();
    }

    double x0() const { return mm(parte->pagina.margens.left()); }
    double y0() const { return mm(parte->pagina.margens.top()); }
    double larguraUtil() const { return mm(parte->pagina.larguraUtilMm()); }
    double fundoPagina() const { return mm(parte->pagina.tamanhoMm().height() - parte->pagina.margens.bottom()); }

    int numeroPagina() const { return int(doc.paginas().size()); }

    void abrePagina()
    {
        PaginaDoc pg;
        pg.orientacao = parte->pagina.orientacao;
        doc.paginas().append(pg);
        paginaAberta = true;
        y = y0();
        limite = fundoPagina();
        if (rel) {
            if (!rel->rodapePagina.vazia())
                limite -= mm(rel->rodapePagina.altura);
            Contexto c;
            c.pagina = numeroPagina();
            emiteAqui(rel->cabecalhoPagina, c);
            if (primeiraDaParte)
                emiteAqui(rel->titulo, c);
            if (cabColunas && (rel->repeteColunas || primeiraDaParte))
                emiteAqui(*cabColunas, c);
            for (const auto& a : abertos)
                if (a.first) {
                    Contexto cg;
                    cg.pagina = c.pagina;
                    cg.linha = &a.second;
                    emiteAqui(*a.first, cg);
                }
        }
        primeiraDaParte = false;
        yTopo = y;
    }

    void fechaPagina()
    {
        if (rel && !rel->rodapePagina.vazia()) {
            Contexto c;
            c.pagina = numeroPagina();
            y = limite;
            emiteAqui(rel->rodapePagina, c);
        }
        paginaAberta = false;
    }

    void novaPagina()
    {
        if (paginaAberta)
            fechaPagina();
        abrePagina();
    }

    // Emits a band at the cursor, starting a page when it does not fit (with `reserva` more
    // units kept free for the band that must follow it).
    void emite(const Banda& b, const Contexto& ctx, double reserva = 0)
    {
        if (b.vazia() || (b.visivel && !b.visivel(ctx)))
            return;
        if (!paginaAberta)
            abrePagina();
        QVector<Medida> medidas;
        double h = mede(b, ctx, medidas);
        if (y + h + reserva > limite + 0.5 && y > topoConteudo() + 0.5) {
            novaPagina();
            medidas.clear();
            h = mede(b, ctx, medidas);
        }
        Contexto c = ctx;
        c.pagina = numeroPagina();
        desenhaBanda(b, c, x0(), y, h, medidas);
        y += h;
    }

    // Emits at the cursor without page checks (page header, footer, column header).
    void emiteAqui(const Banda& b, const Contexto& ctx)
    {
        if (b.vazia() || (b.visivel && !b.visivel(ctx)))
            return;
        QVector<Medida> medidas;
        const double h = mede(b, ctx, medidas);
        desenhaBanda(b, ctx, x0(), y, h, medidas);
        y += h;
    }

    // Emits at a fixed place (forms).
    void emiteEm(const Banda& b, const Contexto& ctx, double x, double yy)
    {
        QVector<Medida> medidas;
        const double h = mede(b, ctx, medidas);
        desenhaBanda(b, ctx, x, yy, h, medidas);
    }

    double alturaDe(const Banda& b, const Contexto& ctx)
    {
        if (b.vazia() || (b.visivel && !b.visivel(ctx)))
            return 0;
        QVector<Medida> m;
        return mede(b, ctx, m);
    }

    void processaSecao(Secao& s, FonteDados& dados, bool raiz);
    void linhaFeita()
    {
        ++linhas;
        if (progresso && linhas % 200 == 0 && !progresso(linhas))
            throw Cancelado{};
    }

    Documento& doc;
    ProgressoMontagem progresso;
    Parte* parte = nullptr;
    Relatorio* rel = nullptr;
    const Banda* cabColunas = nullptr;
    QVector<QPair<const Banda*, Linha>> abertos; // root groups whose header repeats on new pages
    bool primeiraDaParte = true;
    bool paginaAberta = false;
    double y = 0;
    double limite = 0;
    qint64 linhas = 0;

private:
    struct Medida {
        QString texto;
        int fonte = 0;
        double altura = 0; // wrapped text height
        double deslocamento = 0; // wrapped text: first line level with the centred cells
        bool visivel = true;
        bool totalPaginas = false;
    };

    double topoConteudo() const { return yTopo; }

    struct InfoFonte {
        int indice;
        QFontMetricsF metricas;
    };

    const InfoFonte& infoFonte(const Elemento& e)
    {
        Fonte f = e.fonteDefinida ? e.fonte : Fonte{};
        const QString chave = parte->familiaForcada + QLatin1Char('|') + f.familia + QLatin1Char('|')
                              + QString::number(f.pontos) + (f.negrito ? QLatin1Char('b') : QLatin1Char('-'))
                              + (f.italico ? QLatin1Char('i') : QLatin1Char('-')) + QString::number(f.estreitamento);
        auto it = fontes.find(chave);
        if (it == fontes.end()) {
            if (!parte->familiaForcada.isEmpty())
                f = ResolveFonte(parte->familiaForcada, f);
            const QFont qf = f.qfont();
            it = fontes.insert(chave, InfoFonte{doc.indiceFonte(qf), QFontMetricsF(qf)});
        }
        return it.value();
    }

    QString textoDe(const Elemento& e, const Contexto& ctx, bool& totalPaginas) const
    {
        totalPaginas = false;
        switch (e.tipo) {
        case Elemento::Tipo::Campo:
            if (!ctx.linha)
                return {};
            if (!e.mascara.isEmpty()) {
                const QVariant v = ctx.linha->valor(e.texto);
                return v.isValid() ? vx::FormataValor(ctx.linha->decimal(e.texto), e.mascara) : QString();
            }
            return FormataValor(ctx.linha->valor(e.texto), e.formato);
        case Elemento::Tipo::Soma:
            if (ctx.totais && !e.mascara.isEmpty())
                return vx::FormataValor(ctx.totais->soma(e.texto), e.mascara);
            return ctx.totais ? FormataValor(QVariant::fromValue(ctx.totais->soma(e.texto)),
                                             e.formato == Formato::Auto ? Formato::Moeda : e.formato)
                              : QString();
        case Elemento::Tipo::Contagem:
            return ctx.totais ? FormataInteiro(ctx.totais->contagem()) : QString();
        case Elemento::Tipo::Texto:
            break;
        default:
            return {};
        }
        if (e.funcao) {
            QString t = e.funcao(ctx);
            totalPaginas = t.contains(QLatin1String("{PAGINAS}"));
            return t;
        }
        if (!e.texto.contains(QLatin1Char('{')))
            return e.texto;
        // Template: {PAGINA}, {PAGINAS} (resolved when painted), {COPIA}, {FIELD}.
        QString r;
        const QString& m = e.texto;
        int i = 0;
        while (i < m.size()) {
            const int a = int(m.indexOf(QLatin1Char('{'), i));
            if (a < 0) {
                r += m.mid(i);
                break;
            }
            const int f = int(m.indexOf(QLatin1Char('}'), a));
            if (f < 0) {
                r += m.mid(i);
                break;
            }
            r += m.mid(i, a - i);
            const QString nome = m.mid(a + 1, f - a - 1);
            if (nome == QLatin1String("PAGINA"))
                r += QString::number(ctx.pagina);
            else if (nome == QLatin1String("PAGINAS")) {
                r += QLatin1String("{PAGINAS}");
                totalPaginas = true;
            } else if (nome == QLatin1String("COPIA"))
                r += QString::number(ctx.copia);
            else if (ctx.linha && ctx.linha->tem(nome))
                r += FormataValor(ctx.linha->valor(nome), e.formato);
            else
                r += m.mid(a, f - a + 1);
            i = f + 1;
        }
        return r;
    }

    static int alinhamento(const Elemento& e)
    {
        int h = e.alinha == Alinha::Direita ? Qt::AlignRight : e.alinha == Alinha::Centro ? Qt::AlignHCenter : Qt::AlignLeft;
        return h | (e.quebra ? Qt::AlignTop | Qt::TextWordWrap : Qt::AlignVCenter);
    }

    // Cuts a single-line text to the width of its cell.
    static QString corta(const QString& t, const QFontMetricsF& fm, double largura)
    {
        if (fm.horizontalAdvance(t) <= largura)
            return t;
        int lo = 0, hi = int(t.size());
        while (lo < hi) {
            const int meio = (lo + hi + 1) / 2;
            if (fm.horizontalAdvance(t.left(meio)) <= largura)
                lo = meio;
            else
                hi = meio - 1;
        }
        return t.left(lo);
    }

    double mede(const Banda& b, const Contexto& ctx, QVector<Medida>& medidas)
    {
        const double base = mm(b.altura);
        double h = base;
        const double maximo = qMax(base, limite - yTopo);
        medidas.resize(b.elementos.size());
        for (int i = 0; i < b.elementos.size(); ++i) {
            const Elemento& e = b.elementos[i];
            Medida& md = medidas[i];
            md.visivel = !e.visivel || e.visivel(ctx);
            if (!md.visivel || e.tipo == Elemento::Tipo::Linha || e.tipo == Elemento::Tipo::Caixa
                || e.tipo == Elemento::Tipo::Imagem)
                continue;
            const InfoFonte& inf = infoFonte(e);
            md.fonte = inf.indice;
            md.texto = textoDe(e, ctx, md.totalPaginas);
            const double w = mm(e.ret.width());
            if (e.quebra) {
                const QRectF br = inf.metricas.boundingRect(QRectF(0, 0, w, 1e7), alinhamento(e), md.texto);
                md.deslocamento = qMax(0.0, (mm(e.ret.height()) - inf.metricas.height()) / 2);
                md.altura = qMax(mm(e.ret.height()), br.height() + md.deslocamento);
                h = qMax(h, qMin(maximo, mm(e.ret.top()) + md.altura + (base - mm(e.ret.bottom()))));
            } else if (!md.totalPaginas) {
                md.texto = corta(md.texto, inf.metricas, w);
            }
        }
        return h;
    }

    void desenhaBanda(const Banda& b, const Contexto& ctx, double bx, double by, double h, const QVector<Medida>& medidas)
    {
        PaginaDoc& pg = doc.paginas().last();
        if (b.fundo) {
            const QColor c = b.fundo(ctx);
            if (c.isValid() && c != Qt::white) {
                Comando cmd;
                cmd.tipo = Comando::Tipo::Retangulo;
                cmd.r = QRectF(bx, by, larguraUtil(), h);
                cmd.fundo = c;
                pg.comandos.append(cmd);
            }
        }
        const double extra = h - mm(b.altura);
        for (int i = 0; i < b.elementos.size(); ++i) {
            const Elemento& e = b.elementos[i];
            const Medida& md = medidas[i];
            if (!md.visivel)
                continue;
            QRectF r(bx + mm(e.ret.x()), by + mm(e.ret.y()), mm(e.ret.width()), mm(e.ret.height()));
            Comando cmd;
            cmd.cor = e.cor;
            cmd.fundo = e.fundo;
            if (e.corFundo) {
                const QColor c = e.corFundo(ctx);
                if (c.isValid())
                    cmd.fundo = c;
            }
            cmd.espessura = mm(e.espessura);
            switch (e.tipo) {
            case Elemento::Tipo::Linha:
                cmd.tipo = Comando::Tipo::Linha;
                cmd.r = QRectF(QPointF(bx + mm(e.ret.left()), by + mm(e.ret.top())),
                               QPointF(bx + mm(e.ret.right()), by + mm(e.ret.bottom())));
                break;
            case Elemento::Tipo::Caixa:
                cmd.tipo = Comando::Tipo::Retangulo;
                cmd.r = r;
                break;
            case Elemento::Tipo::Imagem:
                cmd.tipo = Comando::Tipo::Imagem;
                cmd.r = r;
                cmd.imagem = e.imagem.isNull() ? -1 : doc.indiceImagem(e.imagem);
                break;
            default:
                if (md.texto.isEmpty() && !e.fundo.isValid())
                    continue;
                cmd.tipo = Comando::Tipo::Texto;
                if (e.quebra) {
                    r.setHeight(qMax(r.height(), qMin(md.altura, r.height() + extra)) - md.deslocamento);
                    r.translate(0, md.deslocamento);
                }
                cmd.r = r;
                cmd.texto = md.texto;
                cmd.fonte = qint16(md.fonte);
                cmd.flags = alinhamento(e);
                cmd.totalPaginas = md.totalPaginas;
                break;
            }
            pg.comandos.append(std::move(cmd));
        }
    }

public:
    double yTopo = 0; // top of the content area of the current page (after headers)

private:
    QHash<QString, InfoFonte> fontes;
};

namespace {
// Column header and column line bands of a section.
Banda bandaCabecalhoColunas(const Secao& s, double larguraUtil)
{
    Banda b(s.alturaLinha + 1.2);
    const auto pos = posicoes(s.colunas, larguraUtil);
    for (int i = 0; i < s.colunas.size(); ++i) {
        const Coluna& c = s.colunas[i];
        Elemento& e = b.texto(QRectF(pos[i].first, 0.2, pos[i].second - kFolga, s.alturaLinha), c.titulo, c.alinha);
        e.com(s.fonteColunas.emNegrito());
    }
    b.linha(QLineF(0, s.alturaLinha + 0.6, larguraUtil, s.alturaLinha + 0.6), 0.25);
    return b;
}

Banda bandaLinhaColunas(const Secao& s, double larguraUtil)
{
    Banda b(s.alturaLinha);
    const auto pos = posicoes(s.colunas, larguraUtil);
    for (int i = 0; i < s.colunas.size(); ++i) {
        const Coluna& c = s.colunas[i];
        const QRectF r(pos[i].first, 0, pos[i].second - kFolga, s.alturaLinha);
        Elemento& e = c.funcao ? b.calculado(r, c.funcao, c.alinha) : b.campo(r, c.campo, c.formato, c.alinha);
        e.com(s.fonteColunas);
        e.mascara = c.mascara;
        e.corFundo = c.fundoCelula;
        if (c.quebra)
            e.quebraLinha();
    }
    return b;
}

const QColor kCinzaClaro(0xE6, 0xE6, 0xE6);

QString chaveGrupo(const Grupo& g, const Linha& l)
{
    if (g.chave)
        return g.chave(l);
    return FormataValor(l.valor(g.campo), Formato::Texto);
}
} // namespace

void Montador::processaSecao(Secao& s, FonteDados& dados, bool raiz)
{
    const double larguraMm = parte->pagina.larguraUtilMm();
    Banda cab, linhaCol;
    if (!s.colunas.isEmpty()) {
        cab = bandaCabecalhoColunas(s, larguraMm);
        linhaCol = bandaLinhaColunas(s, larguraMm);
        if (s.zebrado || s.fundoLinha) {
            const bool zebra = s.zebrado;
            auto fundo = s.fundoLinha;
            linhaCol.fundo = [zebra, fundo](const Contexto& c) {
                if (fundo) {
                    const QColor cor = fundo(c);
                    if (cor.isValid())
                        return cor;
                }
                return zebra && c.indice % 2 == 1 ? kCinzaClaro : QColor();
            };
        }
    }
    if (raiz && !s.colunas.isEmpty()) {
        cabColunas = &cab;
        if (paginaAberta && rel)
            emite(cab, Contexto{});
    }
    if (!paginaAberta)
        abrePagina();

    // Totals: declared ones and the summed columns.
    QVector<Total> defs = s.totais;
    for (const Coluna& c : s.colunas)
        if (c.somar)
            defs.append(Total{c.nomeTotal(), c.campo, c.valorSoma});
    const int n = int(s.grupos.size());
    Totais geral;
    QVector<Totais> niveis(n);
    QStringList chaves(n);
    Linha atual, anterior;
    bool temAnterior = false;
    int indice = 0;
    if (raiz)
        abertos = QVector<QPair<const Banda*, Linha>>(n, {nullptr, Linha()});
    double primeiraLinha = s.colunas.isEmpty() ? 0 : mm(s.alturaLinha);
    if (s.colunas.isEmpty() && !s.detalhes.isEmpty())
        primeiraLinha = mm(s.detalhes.first().altura);

    auto ctxDe = [](const Linha* l, const Totais* t) {
        Contexto c;
        c.linha = l;
        c.totais = t;
        return c;
    };

    while (dados.proxima(atual)) {
        int k = temAnterior ? n : 0;
        QStringList novas(n);
        for (int i = 0; i < n; ++i) {
            novas[i] = chaveGrupo(s.grupos[i], atual);
            if (temAnterior && k == n && novas[i] != chaves[i])
                k = i;
        }
        if (!temAnterior) {
            Contexto c = ctxDe(&atual, &geral);
            emite(s.cabecalho, c, primeiraLinha);
            if (!raiz && !s.colunas.isEmpty())
                emite(cab, c, primeiraLinha);
        }
        if (temAnterior)
            for (int i = n - 1; i >= k; --i) {
                emite(s.grupos[i].rodape, ctxDe(&anterior, &niveis[i]));
                if (raiz)
                    abertos[i].first = nullptr;
            }
        for (int i = k; i < n; ++i) {
            niveis[i].zera();
            chaves[i] = novas[i];
            if (i == k && temAnterior && s.grupos[i].novaPagina)
                novaPagina();
            // A header stays with the headers below it and the first row.
            double reserva = primeiraLinha;
            for (int j = i + 1; j < n; ++j)
                reserva += alturaDe(s.grupos[j].cabecalho, ctxDe(&atual, &niveis[j]));
            emite(s.grupos[i].cabecalho, ctxDe(&atual, &niveis[i]), reserva);
            if (raiz && s.grupos[i].repeteCabecalho)
                abertos[i] = {&s.grupos[i].cabecalho, atual};
        }
        for (const Total& t : defs) {
            const Decimal v = t.valor ? t.valor(atual) : atual.decimal(t.campo);
            geral.acumula(t.nome, v);
            for (Totais& tn : niveis)
                tn.acumula(t.nome, v);
        }
        geral.conta();
        for (Totais& tn : niveis)
            tn.conta();

        Contexto c = ctxDe(&atual, &geral);
        c.indice = indice;
        if (!s.colunas.isEmpty())
            emite(linhaCol, c);
        for (const Banda& b : s.detalhes)
            emite(b, c);
        for (auto& f : s.filhas) {
            if (!f->fabrica)
                continue;
            std::unique_ptr<FonteDados> d = f->fabrica(atual);
            if (d)
                processaSecao(*f, *d, false);
        }
        anterior = atual;
        temAnterior = true;
        ++indice;
        linhaFeita();
    }
    if (temAnterior)
        for (int i = n - 1; i >= 0; --i) {
            emite(s.grupos[i].rodape, ctxDe(&anterior, &niveis[i]));
            if (raiz)
                abertos[i].first = nullptr;
        }
    if (temAnterior || s.resumoSemLinhas)
        emite(s.resumo, ctxDe(temAnterior ? &anterior : nullptr, &geral));
}

Relatorio::Relatorio() = default;

void Relatorio::cabecalhoPadrao(const QString& linha1, const QString& tituloTexto, const QString& filtro,
                                bool totalPaginas)
{
    const double w = pagina.larguraUtilMm();
    Banda b;
    double y = 0;
    const Fonte normal;
    const QString emissao = QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    b.texto(QRectF(0, y, w * 0.7, 4.5), linha1).com(normal.tamanho(9).emNegrito());
    b.texto(QRectF(w * 0.7, y, w * 0.3, 4.5), emissao, Alinha::Direita).com(normal);
    y += 5;
    if (!tituloTexto.isEmpty()) {
        b.texto(QRectF(0, y, w, 6), tituloTexto, Alinha::Centro).com(normal.tamanho(12).emNegrito());
        y += 6.5;
    }
    const QString pag = totalPaginas ? QStringLiteral("Página: {PAGINA} de {PAGINAS}") : QStringLiteral("Página: {PAGINA}");
    b.texto(QRectF(0, y, w * 0.8, 4.5), filtro).com(normal);
    b.texto(QRectF(w * 0.8, y, w * 0.2, 4.5), pag, Alinha::Direita).com(normal);
    y += 5;
    b.linha(QLineF(0, y, w, y), 0.3);
    b.altura = y + 1;
    cabecalhoPagina = b;
}

void Relatorio::monta(Montador& m)
{
    m.iniciaParte(this, this);
    if (dados)
        m.processaSecao(*this, *dados, true);
    else {
        DadosMemoria vazio({}, {});
        m.processaSecao(*this, vazio, true);
    }
    m.terminaParte();
}

void Formulario::monta(Montador& m)
{
    m.iniciaParte(this, nullptr);
    const double passo = mm(pagina.alturaUtilMm()) / qMax(1, porPagina);
    int posicao = 0;
    auto umaLinha = [&](const Linha* l) {
        for (int c = 1; c <= copias; ++c) {
            const int slot = posicao % qMax(1, porPagina);
            if (slot == 0)
                m.novaPagina();
            Contexto ctx;
            ctx.linha = l;
            ctx.copia = c;
            ctx.pagina = m.numeroPagina();
            m.emiteEm(forma, ctx, m.x0(), m.y0() + slot * passo);
            ++posicao;
        }
        m.linhaFeita();
    };
    if (dados) {
        Linha l;
        while (dados->proxima(l))
            umaLinha(&l);
    } else {
        umaLinha(nullptr);
    }
    m.terminaParte();
}

std::shared_ptr<Documento> MontaDocumento(const QVector<Parte*>& partes, const ProgressoMontagem& progresso)
{
    auto doc = std::make_shared<Documento>();
    Montador m(*doc, progresso);
    for (Parte* p : partes)
        p->monta(m);
    return doc;
}

std::shared_ptr<Documento> MontaDocumento(Parte& parte, const ProgressoMontagem& progresso)
{
    return MontaDocumento(QVector<Parte*>{&parte}, progresso);
}

// ---------------------------------------------------------------------------------------------
// Output

bool DesenhaDocumento(const Documento& doc, QPagedPaintDevice& dispositivo, int primeira, int ultima)
{
    if (doc.numPaginas() == 0)
        return false;
    if (ultima < 0 || ultima >= doc.numPaginas())
        ultima = doc.numPaginas() - 1;
    primeira = qBound(0, primeira, ultima);
    QPainter p;
    for (int i = primeira; i <= ultima; ++i) {
        const QPageLayout lay(QPageSize(QPageSize::A4), doc.orientacao(i), QMarginsF(0, 0, 0, 0));
        if (i == primeira) {
            dispositivo.setPageLayout(lay);
            if (!p.begin(&dispositivo))
                return false;
        } else {
            if (dispositivo.pageLayout().orientation() != doc.orientacao(i))
                dispositivo.setPageLayout(lay);
            if (!dispositivo.newPage())
                return false;
        }
        p.resetTransform();
        const int dpi = dispositivo.logicalDpiX();
        const QRect util = dispositivo.pageLayout().paintRectPixels(dpi);
        p.translate(-util.topLeft());
        p.scale(dpi / kDpi, dispositivo.logicalDpiY() / kDpi);
        p.setRenderHint(QPainter::Antialiasing);
        doc.desenha(p, i);
    }
    return p.end();
}

bool GravaPdf(const Documento& doc, const QString& arquivo, QString* erro)
{
    {
        QFile teste(arquivo);
        if (!teste.open(QIODevice::WriteOnly)) {
            if (erro)
                *erro = teste.errorString();
            return false;
        }
    }
    QPdfWriter w(arquivo);
    w.setResolution(int(kDpi));
    w.setCreator(QStringLiteral("VORNEX"));
    const bool ok = DesenhaDocumento(doc, w);
    if (!ok && erro)
        *erro = QStringLiteral("Não foi possível gerar o arquivo PDF.");
    return ok;
}

QImage ImagemPagina(const Documento& doc, int pagina, double dpi)
{
    const QSizeF t = doc.tamanho(pagina);
    QImage img(qRound(t.width() * dpi / kDpi), qRound(t.height() * dpi / kDpi), QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(dpi / kDpi, dpi / kDpi);
    doc.desenha(p, pagina);
    return img;
}

} // namespace vx::rel
