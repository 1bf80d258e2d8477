#pragma once
// Exact fixed-point number: money (scale 2), rates (scale 5), any NUMERIC of the database.
// Never passes through binary floating point.
#include <QString>
#include <QtGlobal>
#include <optional>

namespace vx {

class Decimal {
public:
    Decimal() = default;
    Decimal(qint64 unscaled, int scale) : m_v(unscaled), m_scale(scale) {}
    static Decimal fromInt(qint64 v) { return Decimal(v, 0); }
    static Decimal cents(qint64 c) { return Decimal(c, 2); }

    // Parses "-1234.5" / "1234,5" (one decimal separator, no thousands). Empty → nullopt.
    static std::optional<Decimal> parse(const QString& text);

    qint64 unscaled() const { return m_v; }
    int scale() const { return m_scale; }
    bool isZero() const { return m_v == 0; }

    // Same value at another scale; rounding half away from zero when scale shrinks.
    Decimal rescaled(int scale) const;
    qint64 toCents() const { return rescaled(2).m_v; }
    double toDouble() const;

    // Locale-free SQL/ISO form: "-1234.50" (all digits of the scale).
    QString toSql() const;
    // Shortest form without trailing zeros, with the given decimal separator: "30,3", "12".
    QString toShortString(QChar sep = QLatin1Char(',')) const;

    Decimal operator+(const Decimal& o) const;
    Decimal operator-(const Decimal& o) const;
    Decimal operator-() const { return Decimal(-m_v, m_scale); }
    // Product keeps the sum of scales; use rescaled() to round.
    Decimal operator*(const Decimal& o) const { return Decimal(m_v * o.m_v, m_scale + o.m_scale); }
    // a × b ÷ c exactly, rounded half away from zero to `scale`; nullopt when c is zero or the
    // result does not fit.
    static std::optional<Decimal> proporcao(const Decimal& a, const Decimal& b, const Decimal& c, int scale);
    int compare(const Decimal& o) const;
    bool operator==(const Decimal& o) const { return compare(o) == 0; }
    bool operator!=(const Decimal& o) const { return compare(o) != 0; }
    bool operator<(const Decimal& o) const { return compare(o) < 0; }
    bool operator<=(const Decimal& o) const { return compare(o) <= 0; }
    bool operator>(const Decimal& o) const { return compare(o) > 0; }
    bool operator>=(const Decimal& o) const { return compare(o) >= 0; }

private:
    qint64 m_v = 0;
    int m_scale = 0;
};

} // namespace vx
