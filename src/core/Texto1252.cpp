#include "core/Texto1252.h"

namespace vx {

namespace {
// Unicode code points for bytes 0x80..0x9F in Windows-1252 (0 = undefined).
const char16_t k1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int byte1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    if (u >= 0x80 && u <= 0x9F)
        return k1252[u - 0x80] == 0 ? u : -1; // undefined positions round-trip
    for (int i = 0; i < 32; ++i)
        if (k1252[i] == u)
            return 0x80 + i;
    return -1;
}

// Closest Latin-1 character for a character outside the target set.
char16_t aproxima(QChar c)
{
    const QString d = QString(c).normalized(QString::NormalizationForm_KD);
    if (!d.isEmpty() && d[0].unicode() < 0x80 && d[0].unicode() >= 0x20)
        return d[0].unicode();
    switch (c.unicode()) {
    case 0x2018: case 0x2019: case 0x201A: case 0x2032: return '\'';
    case 0x201C: case 0x201D: case 0x201E: case 0x2033: return '"';
    case 0x2013: case 0x2014: case 0x2212: return '-';
    case 0x2026: return '.';
    case 0x2022: return '*';
    case 0x20AC: return 'E';
    case 0x0141: return 'L';
    case 0x0142: return 'l';
    case 0x0110: return 'D';
    case 0x0111: return 'd';
    case 0x0131: return 'i';
    default: return '?';
    }
}
} // namespace

QString de1252(const char* data, int len)
{
    QString s;
    s.resize(len);
    QChar* out = s.data();
    for (int i = 0; i < len; ++i) {
        const unsigned char b = static_cast<unsigned char>(data[i]);
        if (b >= 0x80 && b <= 0x9F && k1252[b - 0x80] != 0)
            out[i] = QChar(k1252[b - 0x80]);
        else
            out[i] = QChar(b);
    }
    return s;
}

QString de1252(const QByteArray& bytes)
{
    return de1252(bytes.constData(), int(bytes.size()));
}

QByteArray para1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        int b = byte1252(c.unicode());
        if (b < 0)
            b = aproxima(c);
        out.append(char(b));
    }
    return out;
}

QByteArray paraLatin1(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        out.append(char(u <= 0xFF ? u : aproxima(c)));
    }
    return out;
}

bool cabeEm1252(const QString& text)
{
    for (const QChar c : text)
        if (byte1252(c.unicode()) < 0)
            return false;
    return true;
}

QString ajustaPara1252(const QString& text)
{
    return cabeEm1252(text) ? text : de1252(para1252(text));
}

} // namespace vx
