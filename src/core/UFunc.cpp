#include "core/UFunc.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/Texto1252.h"
#include "core/UDMCune.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <zlib.h>

#include <vector>

namespace vx {

ErroValor::ErroValor(const QString& texto)
    : std::runtime_error(texto.toStdString()), m_texto(texto)
{
}

QString TextoErro(const std::exception& e)
{
    if (const auto* b = dynamic_cast<const ErroBanco*>(&e))
        return b->texto();
    if (const auto* v = dynamic_cast<const ErroValor*>(&e))
        return v->texto();
    return QString::fromUtf8(e.what());
}

void MostraExcecao(const std::exception& e, const QString& titulo)
{
    MostraErro(TextoErro(e), titulo);
}

namespace {

const QString kMascaraData = QStringLiteral("  /  /    ");

bool ehDigito(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool soDigitos(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (!ehDigito(c))
            return false;
    return true;
}

// Optional sign followed by digits only.
bool inteiroValido(const QString& t)
{
    QStringView v(t);
    if (!v.isEmpty() && (v[0] == QLatin1Char('-') || v[0] == QLatin1Char('+')))
        v = v.mid(1);
    return soDigitos(v);
}

QString aspas(const QString& t)
{
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

} // namespace

// ---- SQL literals ----

QString SqlTexto(const QString& texto)
{
    if (texto == kMascaraData)
        return QStringLiteral("null");
    return SqlLiteralTexto(texto);
}

QString SqlLiteralTexto(const QString& texto)
{
    QString t = ajustaPara1252(texto);
    t.replace(QLatin1Char('\''), QStringLiteral("''"));
    return aspas(t);
}

QString SqlInteiro(const QString& texto)
{
    const QString t = texto.trimmed();
    if (t.isEmpty() || t == QLatin1String("0"))
        return QStringLiteral("null");
    if (!inteiroValido(t))
        throw ErroValor(QStringLiteral("'%1' não é um valor inteiro válido").arg(texto));
    return t;
}

QString SqlInteiro(qint64 valor)
{
    return valor == 0 ? QStringLiteral("null") : QString::number(valor);
}

Decimal DecimalTexto(const QString& texto)
{
    const QString t = texto.trimmed();
    if (t.isEmpty())
        return Decimal();
    const auto erro = [&] {
        return ErroValor(QStringLiteral("'%1' não é um valor numérico válido").arg(texto));
    };
    int i = 0;
    bool neg = false;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {
        neg = t[0] == QLatin1Char('-');
        ++i;
    }
    QString digitos;
    int escala = 0;
    bool virgula = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (ehDigito(c)) {
            digitos += c;
            if (virgula)
                ++escala;
        } else if (c == QLatin1Char('.') && !virgula) {
            // thousand separator: dropped
        } else if (c == QLatin1Char(',') && !virgula) {
            virgula = true;
        } else {
            throw erro();
        }
    }
    if (digitos.isEmpty())
        throw erro();
    // Leading zeros do not count towards the 18 digits a qint64 holds safely.
    int z = 0;
    while (z < digitos.size() - 1 - escala && digitos[z] == QLatin1Char('0'))
        ++z;
    digitos = digitos.mid(z);
    if (digitos.size() > 18)
        throw erro();
    const qint64 v = digitos.toLongLong();
    return Decimal(neg ? -v : v, escala);
}

QString SqlDecimal(const QString& texto)
{
    if (texto.trimmed().isEmpty())
        return QStringLiteral("0");
    return DecimalTexto(texto).toSql();
}

QString SqlDecimal(const Decimal& valor)
{
    return valor.toSql();
}

namespace {
struct DataHoraLida {
    QDate data;
    QTime hora;
    bool temHora = false;
};

// "d/m/yyyy" optionally followed by "h:mm" or "h:mm:ss" (a blank time mask counts as no time).
bool leDataHora(const QString& texto, DataHoraLida& r)
{
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(\d{1,2})/(\d{1,2})/(\d{4}|\d{1,2})(?:\s+(?:(\d{1,2}):(\d{2})(?::(\d{2}))?|\s*:\s*(?::\s*)?))?\s*$)"));
    const auto m = re.match(texto);
    if (!m.hasMatch())
        return false;
    const int ano = AnoCompleto(m.captured(3).toInt(), int(m.captured(3).size()));
    r.data = QDate(ano, m.captured(2).toInt(), m.captured(1).toInt());
    if (!r.data.isValid())
        return false;
    r.temHora = m.capturedLength(4) > 0;
    r.hora = QTime(0, 0);
    if (r.temHora) {
        r.hora = QTime(m.captured(4).toInt(), m.captured(5).toInt(),
                       m.capturedLength(6) ? m.captured(6).toInt() : 0);
        if (!r.hora.isValid())
            return false;
    }
    return true;
}
} // namespace

QString SqlData(const QString& texto)
{
    if (texto.isEmpty() || texto.left(10) == kMascaraData)
        return QStringLiteral("null");
    DataHoraLida l;
    if (!leDataHora(texto, l))
        throw ErroValor(QStringLiteral("'%1' não é uma data válida").arg(texto));
    if (texto.size() > 10)
        return aspas(l.data.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char(' ') +
                     l.hora.toString(QStringLiteral("hh:mm")));
    return aspas(l.data.toString(QStringLiteral("MM/dd/yyyy")));
}

QString SqlData(const QDate& data)
{
    return data.isValid() ? aspas(data.toString(QStringLiteral("MM/dd/yyyy"))) : QStringLiteral("null");
}

// ---- numbers and texts ----

QString ZerosEsquerda(const QString& numero, int largura)
{
    QString t = numero.trimmed();
    if (t.isEmpty())
        t = QStringLiteral("0");
    if (!inteiroValido(t))
        throw ErroValor(QStringLiteral("'%1' não é um valor inteiro válido").arg(numero));
    QString sinal;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {
        if (t[0] == QLatin1Char('-'))
            sinal = QStringLiteral("-");
        t = t.mid(1);
    }
    int z = 0;
    while (z < t.size() - 1 && t[z] == QLatin1Char('0'))
        ++z;
    t = t.mid(z);
    if (t == QLatin1String("0"))
        sinal.clear();
    return (sinal + t).rightJustified(largura, QLatin1Char('0'));
}

QString ZerosEsquerda(qint64 numero, int largura)
{
    return QString::number(numero).rightJustified(largura, QLatin1Char('0'));
}

QString AjustaTexto(const QString& texto, int largura)
{
    if (largura <= 0)
        return QString();
    return texto.size() > largura ? texto.left(largura) : texto.leftJustified(largura, QLatin1Char(' '));
}

QString SubstituiCaractere(const QString& texto, QChar c, QChar r)
{
    QString t = texto;
    t.replace(c, r);
    return t;
}

QString FormataValor(const Decimal& valor, const QString& mascara)
{
    const int ponto = mascara.indexOf(QLatin1Char('.'));
    const QString inteira = ponto < 0 ? mascara : mascara.left(ponto);
    const QString fracao = ponto < 0 ? QString() : mascara.mid(ponto + 1);
    const bool milhar = inteira.contains(QLatin1Char(','));
    const int minInteiros = std::max<int>(1, int(inteira.count(QLatin1Char('0'))));
    const int minDecimais = int(fracao.count(QLatin1Char('0')));
    const int maxDecimais = minDecimais + int(fracao.count(QLatin1Char('#')));

    Decimal v = valor.scale() > maxDecimais ? valor.rescaled(maxDecimais) : valor;
    int escala = v.scale();
    qint64 u = v.unscaled();
    // Drop trailing zeros beyond the minimum, then pad up to it.
    while (escala > minDecimais && u % 10 == 0) {
        u /= 10;
        --escala;
    }
    const bool neg = u < 0;
    QString dig = QString::number(neg ? -u : u);
    if (dig.size() <= escala)
        dig = QString(escala - dig.size() + 1, QLatin1Char('0')) + dig;
    QString parteInt = dig.left(dig.size() - escala);
    QString parteDec = dig.mid(dig.size() - escala);
    while (parteDec.size() < minDecimais)
        parteDec += QLatin1Char('0');
    parteInt = parteInt.rightJustified(minInteiros, QLatin1Char('0'));
    if (milhar) {
        for (int i = int(parteInt.size()) - 3; i > 0; i -= 3)
            parteInt.insert(i, QLatin1Char('.'));
    }
    QString r = parteInt;
    if (!parteDec.isEmpty())
        r += QLatin1Char(',') + parteDec;
    const bool zero = !std::any_of(r.begin(), r.end(), [](QChar c) { return c > QLatin1Char('0') && c <= QLatin1Char('9'); });
    return neg && !zero ? QLatin1Char('-') + r : r;
}

QString FormataMoeda(const Decimal& valor)
{
    return FormataValor(valor, QStringLiteral("###,##0.00"));
}

// ---- dates ----

int Dia(const QDate& d)
{
    return d.day();
}

int Mes(const QDate& d)
{
    return d.month();
}

QString Ano(const QDate& d)
{
    return QString::number(d.year());
}

void PercorreLinhas(const QByteArray& dados, const std::function<void(int, const char*, qsizetype)>& f)
{
    int numero = 0;
    qsizetype inicio = 0;
    while (inicio < dados.size()) {
        qsizetype fim = dados.indexOf('\n', inicio);
        if (fim < 0)
            fim = dados.size();
        qsizetype tamanho = fim - inicio;
        if (tamanho > 0 && dados.at(inicio + tamanho - 1) == '\r')
            --tamanho;
        f(++numero, dados.constData() + inicio, tamanho);
        inicio = fim + 1;
    }
}

namespace {

// Latin-1 letters with their base letter (upper case); 0 = keep the character.
struct TabelaSemAcentos {
    char16_t base[256] = {};
    TabelaSemAcentos()
    {
        const auto mapa = [this](const char* de, char para) {
            for (const char* c = de; *c; ++c)
                base[static_cast<unsigned char>(*c)] = static_cast<char16_t>(para);
        };
        // The characters as Latin-1 bytes.
        mapa("\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5\xAA", 'A');
        mapa("\xC7\xE7", 'C');
        mapa("\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", 'E');
        mapa("\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", 'I');
        mapa("\xD1\xF1", 'N');
        mapa("\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8\xBA", 'O');
        mapa("\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", 'U');
        mapa("\xDD\xFD\xFF", 'Y');
        for (int c = 'a'; c <= 'z'; ++c)
            base[c] = static_cast<char16_t>(c - 'a' + 'A');
    }
};

} // namespace

QString SemAcentos(const QString& texto)
{
    static const TabelaSemAcentos tabela;
    QString r;
    r.reserve(texto.size());
    bool branco = false;
    for (QChar c : texto) {
        if (c.isSpace()) {
            branco = !r.isEmpty();
            continue;
        }
        if (branco) {
            r += QLatin1Char(' ');
            branco = false;
        }
        const char16_t u = c.unicode();
        if (u < 256) {
            r += tabela.base[u] ? QChar(tabela.base[u]) : c.toUpper();
            continue;
        }
        // Outside Latin-1: the base letters of the canonical decomposition.
        for (QChar d : QString(c).normalized(QString::NormalizationForm_D))
            if (d.category() != QChar::Mark_NonSpacing)
                r += d.toUpper();
    }
    return r;
}

bool SoDigitos(const QString& texto)
{
    if (texto.isEmpty())
        return false;
    for (const QChar c : texto)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString Digitos(const QString& texto)
{
    QString d;
    for (const QChar c : texto)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            d += c;
    return d;
}

bool CpfValido(const QString& cpf)
{
    QString d;
    for (QChar c : cpf) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            d += c;
        else if (c != QLatin1Char('.') && c != QLatin1Char('-'))
            return false;
    }
    if (d.size() != 11 || d.count(d[0]) == 11)
        return false;
    const auto dv = [&](int n) {
        int soma = 0;
        for (int i = 0; i < n; ++i)
            soma += (d[i].unicode() - '0') * (n + 1 - i);
        const int r = 11 - soma % 11;
        return r >= 10 ? 0 : r;
    };
    return dv(9) == d[9].unicode() - '0' && dv(10) == d[10].unicode() - '0';
}

QString NomeMes(int mes)
{
    static const char* const nomes[] = {"Janeiro", "Fevereiro", "Março", "Abril", "Maio", "Junho",
                                        "Julho", "Agosto", "Setembro", "Outubro", "Novembro", "Dezembro"};
    return mes >= 1 && mes <= 12 ? QString::fromUtf8(nomes[mes - 1]) : QString();
}

QString DataExtenso(const QDate& d)
{
    return QStringLiteral("%1 de %2 de %3").arg(d.day()).arg(NomeMes(d.month())).arg(d.year());
}

int IdadeAnos(const QDate& nascimento, const QDate& hoje)
{
    const QDate h = hoje.isValid() ? hoje : QDate::currentDate();
    int anos = h.year() - nascimento.year();
    if (h.month() < nascimento.month() || (h.month() == nascimento.month() && h.day() < nascimento.day()))
        --anos;
    return anos;
}

int AnoCompleto(int ano, int digitos, int anoAtual)
{
    if (digitos > 2 || ano < 0 || ano > 99)
        return ano;
    const int base = (anoAtual > 0 ? anoAtual : QDate::currentDate().year()) - 50;
    int r = base / 100 * 100 + ano;
    if (r < base)
        r += 100;
    return r;
}

QDate LeData(const QString& texto)
{
    DataHoraLida l;
    if (texto.trimmed().size() > 10 || !leDataHora(texto, l))
        return QDate();
    return l.data;
}

QString TextoData(const QDate& d)
{
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

// ---- amount in words ----

namespace {
QString ate99(int n)
{
    static const char* const unidades[] = {"um", "dois", "três", "quatro", "cinco", "seis", "sete",
                                           "oito", "nove", "dez", "onze", "doze", "treze", "quatorze",
                                           "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
    static const char* const dezenas[] = {"vinte", "trinta", "quarenta", "cinquenta", "sessenta",
                                          "setenta", "oitenta", "noventa"};
    if (n <= 0)
        return QString();
    if (n < 20)
        return QString::fromUtf8(unidades[n - 1]);
    QString r = QString::fromUtf8(dezenas[n / 10 - 2]);
    if (n % 10)
        r += QStringLiteral(" e ") + QString::fromUtf8(unidades[n % 10 - 1]);
    return r;
}

QString grupo(int n)
{
    static const char* const centenas[] = {"cento", "duzentos", "trezentos", "quatrocentos", "quinhentos",
                                           "seissentos", "setecentos", "oitocentos", "novecentos"};
    if (n == 100)
        return QStringLiteral("cem");
    QString r;
    if (n / 100)
        r = QString::fromUtf8(centenas[n / 100 - 1]);
    if (n % 100) {
        if (!r.isEmpty())
            r += QStringLiteral(" e ");
        r += ate99(n % 100);
    }
    return r;
}
} // namespace

QString ValorExtenso(const Decimal& valor)
{
    const qint64 centavos = valor.toCents();
    if (centavos < 0 || centavos > Q_INT64_C(99999999999999))
        throw ErroValor(QStringLiteral("Valor fora do limite para escrever por extenso"));
    const QString n = QString::number(centavos).rightJustified(14, QLatin1Char('0'));
    static const char* const singular[] = {"bilhão", "milhão", "mil", ""};
    static const char* const plural[] = {"bilhões", "milhões", "mil", ""};
    QString r;
    for (int g = 0; g < 4; ++g) {
        const int v = n.mid(g * 3, 3).toInt();
        if (v == 0)
            continue;
        if (!r.isEmpty())
            r += QStringLiteral(", ");
        r += grupo(v);
        if (g < 3)
            r += QLatin1Char(' ') + QString::fromUtf8(v == 1 ? singular[g] : plural[g]);
    }
    if (!r.isEmpty())
        r += centavos / 100 == 1 ? QStringLiteral(" real") : QStringLiteral(" reais");
    const int c = int(centavos % 100);
    if (c) {
        if (!r.isEmpty())
            r += QStringLiteral(" e ");
        r += c == 1 ? QStringLiteral("um centavo") : ate99(c) + QStringLiteral(" centavos");
    }
    return r;
}

// ---- installation ----

namespace {
// Name-by-code lookup on the free query: codes of 6+ characters or with non-digits are quoted.
QString nomeDoCodigo(const QString& codigo, const QString& chave, const QString& nome, const QString& tabela)
{
    TDMCUNE* dm = DMCUNE();
    if (!dm || codigo.isEmpty())
        return QString();
    const bool texto = codigo.size() >= 6 || !soDigitos(codigo);
    const QString sql = QStringLiteral("select %1 as Nome from %2 where %3=%4")
                            .arg(nome, tabela, chave, texto ? SqlTexto(codigo) : codigo);
    Consulta& q = dm->IBQLivre;
    q.fecha();
    q.abre(sql);
    const QString r = q.eof() ? QString() : q.campo(QStringLiteral("NOME")).texto();
    q.fecha();
    return r;
}
} // namespace

QString NomeInstalacao(const QString& usuario)
{
    const QString u = usuario.toUpper();
    if (u.isEmpty())
        return QString();
    const QString codigo = u.mid(1, 7);
    switch (u[0].unicode()) {
    case 'C':
        return u;
    case 'M':
        return QStringLiteral("Município de ") +
               nomeDoCodigo(codigo, QStringLiteral("CODIGO"), QStringLiteral("NOME"), QStringLiteral("CLIENTES"));
    case 'E':
        return QStringLiteral("Entidade: ") +
               nomeDoCodigo(codigo, QStringLiteral("CODIGO"), QStringLiteral("RAZAOSOCIAL"), QStringLiteral("ENTIDADES"));
    case 'P':
        return QStringLiteral("Profissional: ") +
               nomeDoCodigo(codigo, QStringLiteral("CODIGO"), QStringLiteral("NOME"), QStringLiteral("PROFISSIONAIS"));
    default:
        return QString();
    }
}

QString NomeInstalacao()
{
    return NomeInstalacao(Ini().le(QStringLiteral("GERAL"), QStringLiteral("USUARIO")));
}

// ---- files ----

QStringList ListaArquivos(const QString& caminhoComMascara)
{
    const QFileInfo fi(caminhoComMascara);
    QString mascara = fi.fileName();
    if (mascara.isEmpty() || mascara == QLatin1String("*.*"))
        mascara = QStringLiteral("*");
    // Only * and ? are wildcards (brackets are ordinary characters in file masks).
    QString padrao;
    for (QChar c : mascara) {
        if (c == QLatin1Char('*'))
            padrao += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            padrao += QLatin1Char('.');
        else
            padrao += QRegularExpression::escape(QString(c));
    }
    const QRegularExpression ancorada(QRegularExpression::anchoredPattern(padrao),
                                      QRegularExpression::CaseInsensitiveOption |
                                          QRegularExpression::DotMatchesEverythingOption);
    QStringList r;
    const QDir dir(fi.path());
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (ancorada.match(f.fileName()).hasMatch())
            r << f.fileName();
    }
    std::sort(r.begin(), r.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return r;
}

bool DescompactaArquivo(const QString& origem, const QString& destino)
{
    QFile in(origem);
    if (!in.exists() || !in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(destino);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return false;
    char entrada[1024];
    char saida[16384];
    int ret = Z_OK;
    bool ok = true;
    while (ok && ret != Z_STREAM_END) {
        const qint64 n = in.read(entrada, sizeof entrada);
        if (n <= 0)
            break; // end of file before the end of the stream
        zs.next_in = reinterpret_cast<Bytef*>(entrada);
        zs.avail_in = uInt(n);
        do {
            zs.next_out = reinterpret_cast<Bytef*>(saida);
            zs.avail_out = sizeof saida;
            ret = inflate(&zs, Z_NO_FLUSH);
            if (ret != Z_OK && ret != Z_STREAM_END && ret != Z_BUF_ERROR) {
                ok = false;
                break;
            }
            const qint64 produzido = qint64(sizeof saida - zs.avail_out);
            if (produzido > 0 && out.write(saida, produzido) != produzido) {
                ok = false;
                break;
            }
        } while (ret != Z_STREAM_END && zs.avail_out == 0);
    }
    inflateEnd(&zs);
    if (!ok || ret != Z_STREAM_END) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

bool CompactaArquivo(const QString& origem, const QString& destino, const std::function<void()>& vivo)
{
    QFile in(origem);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(destino);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    z_stream zs{};
    if (deflateInit(&zs, Z_BEST_COMPRESSION) != Z_OK)
        return false;
    std::vector<char> entrada(1 << 20);
    std::vector<char> saida(1 << 18);
    bool ok = true;
    int flush = Z_NO_FLUSH;
    while (ok && flush != Z_FINISH) {
        const qint64 n = in.read(entrada.data(), qint64(entrada.size()));
        if (n < 0) {
            ok = false;
            break;
        }
        flush = in.atEnd() || n == 0 ? Z_FINISH : Z_NO_FLUSH;
        zs.next_in = reinterpret_cast<Bytef*>(entrada.data());
        zs.avail_in = uInt(n);
        do {
            zs.next_out = reinterpret_cast<Bytef*>(saida.data());
            zs.avail_out = uInt(saida.size());
            deflate(&zs, flush);
            const qint64 produzido = qint64(saida.size() - zs.avail_out);
            if (produzido > 0 && out.write(saida.data(), produzido) != produzido) {
                ok = false;
                break;
            }
        } while (zs.avail_out == 0);
        if (vivo)
            vivo();
    }
    deflateEnd(&zs);
    if (!ok) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace vx
