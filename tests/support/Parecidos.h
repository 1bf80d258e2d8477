#pragma once
// Characters that look like an apostrophe (or a LIKE wildcard), for the SQL literal tests.
#include "core/Banco.h"
#include "core/Texto1252.h"

#include <QList>
#include <QString>

namespace vx::test {

// Every BMP character that reaches the database as a byte `alvo` once the text is converted to
// Windows-1252 (the character itself included).
inline QList<QChar> ViramNo1252(char alvo)
{
    QList<QChar> r;
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        if (para1252(QString(QChar(char16_t(u)))) == QByteArray(1, alvo))
            r << QChar(char16_t(u));
    }
    return r;
}

// The characters that become "'" plus look-alikes that stay what they are in Windows-1252 or
// become something else.
inline QList<QChar> ParecidosComAspa()
{
    QList<QChar> r = ViramNo1252('\'');
    for (char16_t u : {0x2019, 0x2018, 0x201B, 0x02BC, 0x02B9, 0x02C8, 0x00B4, 0x0060, 0x2035, 0xFF40, 0x055A, 0xA78C})
        if (!r.contains(QChar(u)))
            r << QChar(u);
    return r;
}

// The look-alikes of the apostrophe and of the LIKE wildcards "%" and "_".
inline QList<QChar> ParecidosDeBusca()
{
    QList<QChar> r = ParecidosComAspa();
    for (char16_t u : {0xFF05, 0xFF3F, 0xFE4D})
        r << QChar(u);
    return r;
}

// For the k-th character of ParecidosDeBusca() (k from 1): patients 2k-1 "A<c>B <2k-1>" (card
// "<2k-1><c>") and 2k "B<c>" of municipality 4314902, and the municipality "K<c><2k>" named
// "CLIENTE <2k>"; then a few plain names. Run inside a started transaction.
inline void InsereParecidos(Transacao& tr)
{
    int i = 0;
    const auto insere = [&](const QString& nome, const QString& cartao) {
        ++i;
        tr.executa(QStringLiteral("insert into pessoas (cli_origem, codigo, nome, cartaosus) values ('4314902', ?, ?, ?)"),
                   {i, nome, cartao});
    };
    for (QChar c : ParecidosDeBusca()) {
        insere(QStringLiteral("A%1B %2").arg(c).arg(i + 1), QStringLiteral("%1%2").arg(i + 1).arg(c));
        insere(QStringLiteral("B%1").arg(c), QString());
        tr.executa(QStringLiteral("insert into clientes (codigo, nome) values (?, ?)"),
                   {QStringLiteral("K%1%2").arg(c).arg(i), QStringLiteral("CLIENTE %1").arg(i)});
    }
    for (const char* n : {"AB", "A B", "AXB", "A_B", "A%B", "ZZ OR 1=1 OR ZZ"})
        insere(QString::fromLatin1(n), QString());
}

// Texts a user might type or paste with the character `c`.
inline QStringList TextosComParecido(const QString& c)
{
    return {"a" + c + "b", c, "zz" + c + " or 1=1 or " + c + "zz", "zz" + c + ") or 1=1 or (" + c + "zz",
            c + " or 1=1) --"};
}

inline QString NomeCodigo(QChar c)
{
    return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace vx::test
