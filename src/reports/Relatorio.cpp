#include "reports/Relatorio.h"
#include "billing/Planilha.h"
#include "core/Banco.h"
#include "core/UFunc.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QThread>
#include <QFile>

#include <QVarLengthArray>

#include <cmath>
#include <deque>

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



namespace {
// vx::FormataMoeda without reading the mask on every call (a listing formats every money cell).
QString moeda(const Decimal& d)
{
    if (d.scale() < 2 && (d.unscaled() > Q_INT64_C(1000000000000000) || d.unscaled() < -Q_INT64_C(1000000000000000)))
        return vx::FormataMoeda(d);
    const qint64 centavos = d.rescaled(2).unscaled();
    const quint64 a = centavos < 0 ? quint64(0) - quint64(centavos) : quint64(centavos);
    char buf[40];
    int i = sizeof buf;
    quint64 resto = a;
    buf[--i] = char('0' + resto % 10);
    resto /= 10;
    buf[--i] = char('0' + resto % 10);
    resto /= 10;
    buf[--i] = ',';
    int digitos = 0;
    do {
        if (digitos && digitos % 3 == 0)
            buf[--i] = '.';
        buf[--i] = char('0' + resto % 10);
        resto /= 10;
        ++digitos;
    } while (resto);
    if (centavos < 0)
        buf[--i] = '-';
    return QString::fromLatin1(buf + i, int(sizeof buf) - i);
}

// dd/MM/yyyy of a date in years 1 to 9999 (QDate::toString goes through the calendar).
QString data(const QDate& d)
{
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        return d.toString(QStringLiteral("dd/MM/yyyy"));
    const int dia = d.day(), mes = d.month(), ano = d.year();
    const char t[10] = {char('0' + dia / 10), char('0' + dia % 10), '/', char('0' + mes / 10), char('0' + mes % 10), '/',
                        char('0' + ano / 1000), char('0' + ano / 100 % 10), char('0' + ano / 10 % 10), char('0' + ano % 10)};
    return QString::fromLatin1(t, 10);
}
} // namespace

QString FormataValor(const QVariant& v, Formato f)
{
    if (!v.isValid() || v.isNull())
        return {};
    const QMetaType t = v.metaType();
    const bool ehDecimal = t == QMetaType::fromType<Decimal>();
    switch (f) {
    case Formato::Moeda:
        if (ehDecimal)
            return moeda(v.value<Decimal>());
        if (t.id() == QMetaType::LongLong || t.id() == QMetaType::Int)
            return moeda(Decimal::fromInt(v.toLongLong()));
        if (auto d = Decimal::parse(v.toString()))
            return moeda(*d);
        return v.toString();
    case Formato::Inteiro:
        if (ehDecimal)
            return FormataInteiro(v.value<Decimal>().rescaled(0).unscaled());
        return FormataInteiro(v.toLongLong());
    case Formato::Data:
        if (t.id() == QMetaType::QDateTime)
            return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy"));
        return data(v.toDate());
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
        return f == Formato::Auto && d.scale() <= 2 ? moeda(d) : d.toShortString();
    }
    switch (t.id()) {
    case QMetaType::QDate:
        return data(v.toDate());
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
        // Names are usually written as the query gives them: the exact spelling first.
        const qsizetype exato = m_nomes->indexOf(nome);
        if (exato >= 0)
            return int(exato);
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

DadosSql::DadosSql(Transacao& tr, const QString& sql, const QVariantList& parametros)
    : m_q(std::make_unique<Consulta>(tr))
{
    m_q->abre(sql, parametros);
    m_dados = std::make_unique<DadosConsulta>(*m_q);
}

DadosSql::~DadosSql() = default;

bool DadosSql::proxima(Linha& l) { return m_dados->proxima(l); }

// ---------------------------------------------------------------------------------------------
// Totals and bands

// Totals are kept under upper-case names; names usually come that way already.
Decimal Totais::soma(const QString& nome) const
{
    const auto it = m_somas.constFind(nome);
    return it != m_somas.cend() ? *it : m_somas.value(nome.toUpper(), Decimal::cents(0));
}

void Totais::zera()
{
    m_somas.clear();
    m_contagem = 0;
}

void Totais::acumula(const QString& nome, const Decimal& v)
{
    const auto it = m_somas.find(nome);
    Decimal& s = it != m_somas.end() ? *it : m_somas[nome.toUpper()];
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

void Documento::adicionaCelula(CelulaTabela c)
{
    if ((m_numCelulas & (kBloco - 1)) == 0) {
        m_celulas.append(QVector<CelulaTabela>());
        m_celulas.last().reserve(kBloco);
    }
    m_celulas.last().append(std::move(c));
    ++m_numCelulas;
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
            if (qAlpha(c.fundo))
                p.fillRect(c.r, QColor::fromRgba(c.fundo));
            p.setFont(m_fontes.at(c.fonte));
            p.setPen(QColor::fromRgba(c.cor));
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
            p.setPen(QPen(QColor::fromRgba(c.cor), c.espessura));
            p.drawLine(c.r.topLeft(), c.r.bottomRight());
            break;
        case Comando::Tipo::Retangulo:
            if (qAlpha(c.fundo))
                p.fillRect(c.r, QColor::fromRgba(c.fundo));
            if (c.espessura > 0) {
                p.setPen(QPen(QColor::fromRgba(c.cor), c.espessura));
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

namespace {
// Widths of single-line texts from the advance of each character and the kerning of each pair,
// measured once per font. Exact for fonts shaped pair by pair (the report fonts), which is
// checked when the font is first used on sample texts and on "ff" beside every character (where
// fonts with ligatures or contextual kerning differ); for other fonts only an estimate, and texts
// near the cell's edge are measured.
class Larguras {
public:
    explicit Larguras(const QFont& f) : m_fm(f), m_avancos(256, kNaoMedido)
    {
        static const char* const amostras[] = {
            "ff fi fl ffi ffl ft fj Th st ct tt", "The quick brown fox jumps over the lazy dog.",
            "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789", "AVA LTA Te Yo P. F, r. W; 1/2 (x) [y] \"z\" 'a'",
            "\xc3\x81\xc3\x89\xc3\x8d\xc3\x93\xc3\x9a \xc3\x82\xc3\x8a\xc3\x94 \xc3\x83\xc3\x95 \xc3\x87 "
            "\xc3\xa1\xc3\xa9\xc3\xad\xc3\xb3\xc3\xba \xc3\xa2\xc3\xaa\xc3\xb4 \xc3\xa3\xc3\xb5 \xc3\xa7 \xc3\xa0 N\xc2\xba"};
        QVarLengthArray<double, 128> w;
        const auto confere = [&](const QString& t) { return prefixos(t, w) && w[t.size()] == m_fm.horizontalAdvance(t); };
        for (const char* a : amostras)
            m_exata = m_exata && confere(QString::fromUtf8(a));
        for (ushort u = 32; u < 256 && m_exata; ++u) {
            if (!coberto(u))
                continue;
            const QChar c(u), f(u'f');
            m_exata = confere(QString(f) + f + c) && confere(QString(c) + f + f);
        }
    }

    // Whether the table gives the widths the shaping gives.
    bool exata() const { return m_exata; }

    // Width of every prefix: w[k] is the width of t.left(k). False when t holds a character
    // outside the table.
    bool prefixos(const QString& t, QVarLengthArray<double, 128>& w)
    {
        const qsizetype n = t.size();
        w.resize(n + 1);
        w[0] = 0;
        if (n == 0)
            return true;
        const QChar* c = t.constData();
        ushort anterior = 0;
        double x = 0;
        for (qsizetype i = 0; i < n; ++i) {
            const ushort u = c[i].unicode();
            if (!coberto(u))
                return false;
            if (i > 0)
                x += par(anterior, u);
            x += avanco(u);
            w[i + 1] = x;
            anterior = u;
        }
        return true;
    }

private:
    static constexpr float kNaoMedido = -1e30f;

    // Printable Latin-1 without the soft hyphen.
    static bool coberto(ushort u) { return (u >= 32 && u < 127) || (u >= 160 && u < 256 && u != 0xAD); }

    double avanco(ushort u)
    {
        float& a = m_avancos[u];
        if (a == kNaoMedido)
            a = float(m_fm.horizontalAdvance(QChar(u)));
        return a;
    }

    // Kerning of a pair: what the pair measures beyond its two advances.
    double par(ushort a, ushort b)
    {
        if (m_pares.empty())
            m_pares.assign(256 * 256, kNaoMedido);
        float& k = m_pares[size_t(a) * 256 + b];
        if (k == kNaoMedido) {
            const QChar dois[2] = {QChar(a), QChar(b)};
            k = float(m_fm.horizontalAdvance(QString(dois, 2)) - avanco(a) - avanco(b));
        }
        return k;
    }

    const QFontMetricsF m_fm;
    std::vector<float> m_avancos;
    std::vector<float> m_pares;
    bool m_exata = true;
};

QHash<QString, std::shared_ptr<Larguras>>& tabelasLarguras()
{
    thread_local QHash<QString, std::shared_ptr<Larguras>> tabelas;
    return tabelas;
}

// The width table of a font, kept for every later layout in the thread (the main thread's go with
// the application, before the fonts do).
Larguras& LargurasDe(const QFont& f)
{
    auto& tabelas = tabelasLarguras();
    const QCoreApplication* app = QCoreApplication::instance();
    if (tabelas.isEmpty() && app && QThread::currentThread() == app->thread())
        qAddPostRoutine([] { tabelasLarguras().clear(); });
    std::shared_ptr<Larguras>& l = tabelas[f.key()];
    if (!l)
        l = std::make_shared<Larguras>(f);
    return *l;
}

// Decimals of a mask ("###,##0.00": 2 to 2, "#,##0.###": 0 to 3) and whether it groups thousands.
void casasDaMascara(const QString& mascara, qint8& casas, quint8& estilo)
{
    const qsizetype ponto = mascara.indexOf(QLatin1Char('.'));
    const QStringView inteira = ponto < 0 ? QStringView(mascara) : QStringView(mascara).left(ponto);
    const QStringView fracao = ponto < 0 ? QStringView() : QStringView(mascara).mid(ponto + 1);
    const int minimo = int(fracao.count(QLatin1Char('0')));
    const int maximo = minimo + int(fracao.count(QLatin1Char('#')));
    casas = qint8(qMin(maximo, 30));
    estilo = (inteira.contains(QLatin1Char(',')) ? CelulaTabela::Milhar : 0) | (maximo > minimo ? CelulaTabela::Livre : 0);
}

// How a formatted value reads back as a number: money and integers (Moeda, Inteiro); in Auto a
// decimal (money up to two decimals, its short form beyond) or an integer (no separators).
void casasDoFormato(Formato f, const QVariant* v, qint8& casas, quint8& estilo)
{
    switch (f) {
    case Formato::Moeda:
        casas = 2;
        estilo = CelulaTabela::Milhar;
        return;
    case Formato::Inteiro:
        casas = 0;
        estilo = CelulaTabela::Milhar;
        return;
    case Formato::Auto:
        if (!v)
            break;
        if (v->metaType() == QMetaType::fromType<Decimal>()) {
            const bool moeda = v->value<Decimal>().scale() <= 2;
            casas = moeda ? 2 : 0;
            estilo = moeda ? CelulaTabela::Milhar : CelulaTabela::Livre;
            return;
        }
        switch (v->metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            casas = 0;
            estilo = 0;
            return;
        default:
            break;
        }
        break;
    default:
        break;
    }
    casas = -1;
    estilo = 0;
}
} // namespace

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
        tabela = false;
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
        // Pages of a listing hold about as many commands as the one before.
        if (!doc.paginas().isEmpty())
            pg.comandos.reserve(doc.paginas().last().comandos.size() + 16);
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
    // units kept free for the band that must follow it). Bands of the data flow also make a row
    // of the listing's table; naTabela false leaves one out (the column header of a later part).
    void emite(const Banda& b, const Contexto& ctx, double reserva = 0, bool naTabela = true)
    {
        if (b.vazia() || (b.visivel && !b.visivel(ctx)))
            return;
        if (!paginaAberta)
            abrePagina();
        Emprestimo emp(*this);
        QVector<Medida>& medidas = emp.v;
        double h = mede(b, ctx, medidas);
        if (y + h + reserva > limite + 0.5 && y > topoConteudo() + 0.5) {
            novaPagina();
            h = mede(b, ctx, medidas);
        }
        Contexto c = ctx;
        c.pagina = numeroPagina();
        desenhaBanda(b, c, x0(), y, h, medidas);
        y += h;
        if (tabela && naTabela)
            registraNaTabela(b, medidas);
    }

    // Emits at the cursor without page checks (page header, footer, column header).
    void emiteAqui(const Banda& b, const Contexto& ctx)
    {
        if (b.vazia() || (b.visivel && !b.visivel(ctx)))
            return;
        Emprestimo emp(*this);
        const double h = mede(b, ctx, emp.v);
        desenhaBanda(b, ctx, x0(), y, h, emp.v);
        y += h;
    }

    // Emits at a fixed place (forms).
    void emiteEm(const Banda& b, const Contexto& ctx, double x, double yy)
    {
        Emprestimo emp(*this);
        const double h = mede(b, ctx, emp.v);
        desenhaBanda(b, ctx, x, yy, h, emp.v);
    }

    double alturaDe(const Banda& b, const Contexto& ctx)
    {
        if (b.vazia() || (b.visivel && !b.visivel(ctx)))
            return 0;
        Emprestimo emp(*this);
        return mede(b, ctx, emp.v);
    }

    // The listing's table starts with the root section's columns: their titles open it, or open a
    // new block after an empty row when an earlier part had other columns.
    void iniciaTabela(const QVector<Coluna>& colunas)
    {
        const auto pos = posicoesDe(colunas);
        inicioColunas.clear();
        QStringList titulos;
        for (int i = 0; i < colunas.size(); ++i) {
            inicioColunas.append(pos[i].first);
            titulos << colunas[i].titulo;
        }
        tabela = true;
        if (doc.temPlanilha() && titulos == titulosTabela)
            return;
        if (doc.temPlanilha())
            doc.novaLinhaTabela();
        doc.novaLinhaTabela();
        for (int i = 0; i < titulos.size(); ++i)
            if (!titulos[i].isEmpty())
                doc.adicionaCelula(CelulaTabela{titulos[i], qint16(i)});
        titulosTabela = titulos;
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
    bool tabela = false;          // the part's bands go into the table
    QVector<double> inicioColunas; // mm, left of each root column
    QStringList titulosTabela;

    QVector<QPair<double, double>> posicoesDe(const QVector<Coluna>& cols) const
    {
        return PosicoesColunas(cols, parte->pagina.larguraUtilMm());
    }

private:
    struct Medida {
        QString texto;   // as laid out (the table's text)
        QString exibido; // cut to the cell
        int fonte = 0;
        double altura = 0; // wrapped text height
        double deslocamento = 0; // wrapped text: first line level with the centred cells
        bool visivel = true;
        bool totalPaginas = false;
        qint8 casas = -1;
        quint8 estilo = 0;
    };

    // Measure vectors reused band after band; bands nest (a page break emits the page header
    // while a band is being placed), so there is one vector per depth.
    std::deque<QVector<Medida>> pilhaMedidas;
    int nivelMedidas = 0;
    struct Emprestimo {
        Montador& m;
        QVector<Medida>& v;
        explicit Emprestimo(Montador& mm) : m(mm), v(mm.pegaMedidas()) {}
        ~Emprestimo() { --m.nivelMedidas; }
    };
    QVector<Medida>& pegaMedidas()
    {
        if (nivelMedidas == int(pilhaMedidas.size()))
            pilhaMedidas.emplace_back();
        return pilhaMedidas[size_t(nivelMedidas++)];
    }

    double topoConteudo() const { return yTopo; }

    struct InfoFonte {
        QString forcada;
        Fonte fonte;
        int indice;
        QFontMetricsF metricas;
        double em;
        Larguras& larguras;
        InfoFonte(const QString& fc, const Fonte& f, int i, const QFont& qf)
            : forcada(fc), fonte(f), indice(i), metricas(qf), em(metricas.height()), larguras(LargurasDe(qf))
        {
        }
    };

    static bool mesmaFonte(const Fonte& a, const Fonte& b)
    {
        return a.pontos == b.pontos && a.negrito == b.negrito && a.italico == b.italico
            && a.estreitamento == b.estreitamento && a.familia == b.familia;
    }

    InfoFonte& infoFonte(const Elemento& e)
    {
        static const Fonte padrao;
        const Fonte& f = e.fonteDefinida ? e.fonte : padrao;
        if (ultimaFonte && mesmaFonte(ultimaFonte->fonte, f) && ultimaFonte->forcada == parte->familiaForcada)
            return *ultimaFonte;
        for (const auto& inf : fontes)
            if (mesmaFonte(inf->fonte, f) && inf->forcada == parte->familiaForcada) {
                ultimaFonte = inf.get();
                return *inf;
            }
        const Fonte resolvida = parte->familiaForcada.isEmpty() ? f : ResolveFonte(parte->familiaForcada, f);
        const QFont qf = resolvida.qfont();
        fontes.push_back(std::make_unique<InfoFonte>(parte->familiaForcada, f, doc.indiceFonte(qf), qf));
        ultimaFonte = fontes.back().get();
        return *ultimaFonte;
    }

    // The element's text; `casas`/`estilo` tell how it reads back as a number (casas -1: text).
    QString textoDe(const Elemento& e, const Contexto& ctx, bool& totalPaginas, qint8& casas, quint8& estilo) const
    {
        totalPaginas = false;
        casas = -1;
        estilo = 0;
        switch (e.tipo) {
        case Elemento::Tipo::Campo: {
            if (!ctx.linha)
                return {};
            const QVariant v = ctx.linha->valor(e.texto);
            if (!e.mascara.isEmpty()) {
                if (!v.isValid())
                    return {};
                casasDaMascara(e.mascara, casas, estilo);
                return vx::FormataValor(ctx.linha->decimal(e.texto), e.mascara);
            }
            casasDoFormato(e.formato, &v, casas, estilo);
            return FormataValor(v, e.formato);
        }
        case Elemento::Tipo::Soma: {
            if (!ctx.totais)
                return {};
            const Decimal soma = ctx.totais->soma(e.texto);
            if (!e.mascara.isEmpty()) {
                casasDaMascara(e.mascara, casas, estilo);
                return vx::FormataValor(soma, e.mascara);
            }
            const Formato f = e.formato == Formato::Auto ? Formato::Moeda : e.formato;
            if (f == Formato::Texto) {
                casas = 0;
                estilo = CelulaTabela::Livre;
            } else {
                casasDoFormato(f, nullptr, casas, estilo);
            }
            return FormataValor(QVariant::fromValue(soma), f);
        }
        case Elemento::Tipo::Contagem:
            if (!ctx.totais)
                return {};
            casas = 0;
            estilo = CelulaTabela::Milhar;
            return FormataInteiro(ctx.totais->contagem());
        case Elemento::Tipo::Texto:
            break;
        default:
            return {};
        }
        // Computed and template texts read back as numbers only when formatted as such.
        if (!e.mascara.isEmpty())
            casasDaMascara(e.mascara, casas, estilo);
        else if (e.formato == Formato::Moeda || e.formato == Formato::Inteiro)
            casasDoFormato(e.formato, nullptr, casas, estilo);
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

    // Cuts a single-line text to the width of its cell: the longest prefix that fits, searched
    // the same way on the width table as on measured widths. With a font the table does not
    // give exactly, a text near the cell's edge is measured and a cut is confirmed by measuring
    // the prefix and the prefix one character longer.
    static QString corta(const QString& t, InfoFonte& inf, double largura)
    {
        QVarLengthArray<double, 128> w;
        if (!inf.larguras.prefixos(t, w))
            return cortaMedindo(t, inf.metricas, largura);
        const int n = int(t.size());
        const bool exata = inf.larguras.exata();
        const double folga = exata ? 0 : inf.em * (0.1 + 0.01 * n);
        if (w[n] + folga <= largura)
            return t;
        if (w[n] - folga > largura) {
            int lo = 0, hi = n;
            while (lo < hi) {
                const int meio = (lo + hi + 1) / 2;
                if (w[meio] <= largura)
                    lo = meio;
                else
                    hi = meio - 1;
            }
            if (exata
                || ((lo == 0 || inf.metricas.horizontalAdvance(t.left(lo)) == w[lo])
                    && inf.metricas.horizontalAdvance(t.left(lo + 1)) == w[lo + 1]))
                return t.left(lo);
        }
        return cortaMedindo(t, inf.metricas, largura);
    }

    static QString cortaMedindo(const QString& t, const QFontMetricsF& fm, double largura)
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
            InfoFonte& inf = infoFonte(e);
            md.fonte = inf.indice;
            md.texto = textoDe(e, ctx, md.totalPaginas, md.casas, md.estilo);
            md.altura = md.deslocamento = 0;
            const double w = mm(e.ret.width());
            if (e.quebra) {
                const QRectF br = inf.metricas.boundingRect(QRectF(0, 0, w, 1e7), alinhamento(e), md.texto);
                md.deslocamento = qMax(0.0, (mm(e.ret.height()) - inf.metricas.height()) / 2);
                md.altura = qMax(mm(e.ret.height()), br.height() + md.deslocamento);
                h = qMax(h, qMin(maximo, mm(e.ret.top()) + md.altura + (base - mm(e.ret.bottom()))));
                md.exibido = md.texto;
            } else if (!md.totalPaginas) {
                md.exibido = corta(md.texto, inf, w);
            } else {
                md.exibido = md.texto;
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
                cmd.fundo = c.rgba();
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
            cmd.cor = e.cor.rgba();
            cmd.fundo = e.fundo.isValid() ? e.fundo.rgba() : 0;
            if (e.corFundo) {
                const QColor c = e.corFundo(ctx);
                if (c.isValid())
                    cmd.fundo = c.rgba();
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
                if (md.exibido.isEmpty() && !e.fundo.isValid())
                    continue;
                cmd.tipo = Comando::Tipo::Texto;
                if (e.quebra) {
                    r.setHeight(qMax(r.height(), qMin(md.altura, r.height() + extra)) - md.deslocamento);
                    r.translate(0, md.deslocamento);
                }
                cmd.r = r;
                cmd.texto = md.exibido;
                cmd.fonte = qint16(md.fonte);
                cmd.flags = quint16(alinhamento(e));
                cmd.totalPaginas = md.totalPaginas;
                break;
            }
            pg.comandos.append(std::move(cmd));
        }
    }

    // Rows of the table from the texts of a band: one per line of texts (a text below every text
    // of the row so far starts the next one); a band without text adds none.
    void registraNaTabela(const Banda& b, const QVector<Medida>& medidas)
    {
        bool aberta = false;
        double fundoLinha = 0;
        for (int i = 0; i < b.elementos.size(); ++i) {
            const Elemento& e = b.elementos[i];
            const Medida& md = medidas[i];
            if (!md.visivel || md.texto.isEmpty() || e.tipo == Elemento::Tipo::Linha
                || e.tipo == Elemento::Tipo::Caixa || e.tipo == Elemento::Tipo::Imagem)
                continue;
            if (!aberta || e.ret.top() >= fundoLinha - 1e-6) {
                doc.novaLinhaTabela();
                aberta = true;
                fundoLinha = e.ret.bottom();
            } else
                fundoLinha = qMax(fundoLinha, e.ret.bottom());
            int col = int(inicioColunas.size()) - 1;
            while (col > 0 && e.ret.x() < inicioColunas[col] - 1e-6)
                --col;
            doc.adicionaCelula(CelulaTabela{md.texto, qint16(qMax(0, col)), md.casas, md.estilo});
        }
    }

public:
    double yTopo = 0; // top of the content area of the current page (after headers)

private:
    std::vector<std::unique_ptr<InfoFonte>> fontes;
    InfoFonte* ultimaFonte = nullptr;
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
        e.formato = c.formato;
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
            emite(cab, Contexto{}, 0, false);
        if (rel)
            iniciaTabela(s.colunas);
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
    doc->defineLinhas(m.linhas);
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

namespace {
// A table cell as a sheet cell: the printed text read back as a number when it was formatted as
// one ("1.234,56", "12", "1,655"), otherwise the text.
CelulaPlanilha celulaDe(const CelulaTabela& c)
{
    if (!c.numero())
        return CelulaPlanilha::deTexto(c.texto);
    const bool milhar = c.estilo & CelulaTabela::Milhar;
    const std::optional<Decimal> v = Decimal::parse(milhar ? QString(c.texto).remove(QLatin1Char('.')) : c.texto);
    if (!v)
        return CelulaPlanilha::deTexto(c.texto);
    if (c.estilo & CelulaTabela::Livre)
        return CelulaPlanilha::deNumero(*v, QString());
    // One string per format, shared by the cells.
    static const QString moeda = QString::fromLatin1(kFormatoValor), milhares = QStringLiteral("#,##0"),
                         unidades = QStringLiteral("0");
    if (c.casas == 0)
        return CelulaPlanilha::deNumero(*v, milhar ? milhares : unidades);
    if (milhar && c.casas == 2)
        return CelulaPlanilha::deNumero(*v, moeda);
    return CelulaPlanilha::deNumero(*v, (milhar ? milhares : unidades) + QLatin1Char('.') + QString(c.casas, QLatin1Char('0')));
}
} // namespace

Planilha PlanilhaDoDocumento(const Documento& doc)
{
    Planilha p;
    p.linhas.reserve(doc.numLinhasTabela());
    for (int r = 0; r < doc.numLinhasTabela(); ++r) {
        const int inicio = doc.inicioLinhaTabela(r), fim = doc.inicioLinhaTabela(r + 1);
        int colunas = 0;
        for (int i = inicio; i < fim; ++i)
            colunas = qMax(colunas, doc.celulaTabela(i).coluna + 1);
        LinhaPlanilha linha(colunas);
        QVector<int> origem(colunas, -1);
        for (int i = inicio; i < fim; ++i) {
            const CelulaTabela& c = doc.celulaTabela(i);
            CelulaPlanilha& destino = linha[c.coluna];
            if (origem[c.coluna] < 0) {
                destino = celulaDe(c);
                origem[c.coluna] = i;
            } else {
                // Texts of one column are joined as printed.
                const QString junto = destino.tipo == CelulaPlanilha::Tipo::Texto ? destino.texto
                                                                                  : doc.celulaTabela(origem[c.coluna]).texto;
                destino = CelulaPlanilha::deTexto(junto + QLatin1Char(' ') + c.texto);
            }
        }
        p.linhas.append(std::move(linha));
    }
    return p;
}

} // namespace vx::rel
