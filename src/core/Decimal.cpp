#include "core/Decimal.h"

#include <limits>

namespace vx {

namespace {
qint64 pow10(int n)
{
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}
} // namespace

std::optional<Decimal> Decimal::parse(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int i = 0;
    bool neg = false;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {
        neg = t[0] == QLatin1Char('-');
        ++i;
    }
    qint64 v = 0;
    int scale = 0;
    bool sep = false, digits = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (v > Q_INT64_C(92233720368547757))
                return std::nullopt;
            v = v * 10 + (c.unicode() - '0');
            digits = true;
            if (sep)
                ++scale;
        } else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && !sep) {
            sep = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    return Decimal(neg ? -v : v, scale);
}

Decimal Decimal::rescaled(int scale) const
{
    if (scale == m_scale)
        return *this;
    if (scale > m_scale)
        return Decimal(m_v * pow10(scale - m_scale), scale);
    const qint64 d = pow10(m_scale - scale);
    qint64 q = m_v / d;
    const qint64 r = m_v % d;
    if (r * 2 >= d)
        ++q;
    else if (r * 2 <= -d)
        --q;
    return Decimal(q, scale);
}

std::optional<Decimal> Decimal::proporcao(const Decimal& a, const Decimal& b, const Decimal& c, int scale)
{
    if (c.m_v == 0 || scale < 0 || scale > 18)
        return std::nullopt;
    using I = __int128;
    auto p10 = [](int n) {
        I p = 1;
        while (n-- > 0)
            p *= 10;
        return p;
    };
    // a·b·10^(scale + c.scale) / (c·10^(a.scale + b.scale))
    I num = I(a.m_v) * I(b.m_v);
    I den = I(c.m_v);
    const int exp = scale + c.m_scale - a.m_scale - b.m_scale;
    if (exp >= 0)
        num *= p10(exp);
    else
        den *= p10(-exp);
    if (den < 0) {
        num = -num;
        den = -den;
    }
    I q = num / den;
    const I r = num % den;
    if (r * 2 >= den)
        ++q;
    else if (r * 2 <= -den)
        --q;
    if (q > I(std::numeric_limits<qint64>::max()) || q < I(std::numeric_limits<qint64>::min()))
        return std::nullopt;
    return Decimal(qint64(q), scale);
}

double Decimal::toDouble() const
{
    return double(m_v) / double(pow10(m_scale));
}

QString Decimal::toSql() const
{
    QString digits = QString::number(m_v < 0 ? -m_v : m_v);
    if (m_scale > 0) {
        if (digits.size() <= m_scale)
            digits = QString(m_scale - digits.size() + 1, QLatin1Char('0')) + digits;
        digits.insert(digits.size() - m_scale, QLatin1Char('.'));
    }
    return m_v < 0 ? QLatin1Char('-') + digits : digits;
}

QString Decimal::toShortString(QChar sep) const
{
    QString s = toSql();
    if (m_scale > 0) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    s.replace(QLatin1Char('.'), sep);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

Decimal Decimal::operator+(const Decimal& o) const
{
    const int s = qMax(m_scale, o.m_scale);
    return Decimal(rescaled(s).m_v + o.rescaled(s).m_v, s);
}

Decimal Decimal::operator-(const Decimal& o) const
{
    const int s = qMax(m_scale, o.m_scale);
    return Decimal(rescaled(s).m_v - o.rescaled(s).m_v, s);
}

int Decimal::compare(const Decimal& o) const
{
    const int s = qMax(m_scale, o.m_scale);
    const qint64 a = rescaled(s).m_v, b = o.rescaled(s).m_v;
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace vx
