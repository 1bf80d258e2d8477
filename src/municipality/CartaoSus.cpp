#include "municipality/CartaoSus.h"

namespace vx {

namespace {

int somaPonderada(const QString& n, int digitos)
{
    int s = 0;
    for (int i = 0; i < digitos; ++i)
        s += (n[i].unicode() - '0') * (15 - i);
    return s;
}

bool regraDefinitiva(const QString& n)
{
    const int s = somaPonderada(n, 11);
    int d = 11 - s % 11;
    if (d == 11)
        d = 0;
    QString esperado;
    if (d == 10) {
        const int d2 = 11 - (s + 2) % 11;
        esperado = n.left(11) + QStringLiteral("001") + QString::number(d2);
    } else {
        esperado = n.left(11) + QStringLiteral("000") + QString::number(d);
    }
    return n == esperado;
}

bool regraProvisoria(const QString& n)
{
    return somaPonderada(n, 15) % 11 == 0;
}

} // namespace

AvaliacaoCartaoSus AvaliaCartaoSUS(const QString& texto)
{
    AvaliacaoCartaoSus r;
    if (texto.isEmpty())
        return r;
    QString n = texto.trimmed();
    n.remove(QLatin1Char('.'));
    n.remove(QLatin1Char(' '));
    if (n.size() != 15) {
        r = {false, QStringLiteral("O número do Cartão SUS deve ter 15 dígitos!"), IconeMsg::Aviso};
        return r;
    }
    if (n.toUpper().contains(QLatin1Char('X'))) {
        r = {false, QStringLiteral("Número do Cartão SUS inválido!"), IconeMsg::Aviso};
        return r;
    }
    bool digitos = true;
    for (const QChar c : n)
        digitos = digitos && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    bool ok = false;
    if (digitos) {
        const QChar primeiro = n[0];
        if (primeiro == QLatin1Char('1') || primeiro == QLatin1Char('2'))
            ok = regraDefinitiva(n);
        else if (primeiro == QLatin1Char('7') || primeiro == QLatin1Char('8') || primeiro == QLatin1Char('9'))
            ok = regraProvisoria(n);
    }
    if (!ok)
        r = {false, QStringLiteral("Número de Cartão SUS inválido: ") + n, IconeMsg::Erro};
    return r;
}

bool ValidaCartaoSUS(const QString& texto)
{
    const AvaliacaoCartaoSus r = AvaliaCartaoSUS(texto);
    if (!r.valido)
        MostraMensagem({QString(), r.mensagem, r.icone, {}, 0, -1});
    return r.valido;
}

} // namespace vx
