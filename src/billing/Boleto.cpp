#include "billing/Boleto.h"
#include "core/Banco.h"
#include "core/UFunc.h"

namespace vx {

namespace {

const QDate kDataBase(1997, 10, 7);       // factor 0
const QDate kRecomeco(2025, 2, 22);       // factor back to 1000 (9999 was reached the day before)
constexpr int kCicloFator = 9000;         // 1000..9999
constexpr qint64 kValorMaximo = 9999999999; // cents: ten digits on the bar code

int digito(QChar c) { return c.unicode() - '0'; }

QString agencia4(const CedenteBoleto& c)
{
    const QString a = c.agencia.trimmed();
    if (!SoDigitos(a) || a.size() > 4)
        throw ErroValor(QStringLiteral("Agência do beneficiário inválida para o boleto: '%1' (até 4 dígitos, "
                                       "sem o dígito verificador).").arg(c.agencia));
    return a.rightJustified(4, QLatin1Char('0'));
}

// The holder code's digits: 7, or 9 with its two check digits.
QString digitosCedente(const CedenteBoleto& c)
{
    QString d = c.codigoCedente.trimmed();
    d.remove(QLatin1Char('.')).remove(QLatin1Char('-')).remove(QLatin1Char(' '));
    if (!SoDigitos(d) || d.size() == 8 || d.size() > 9)
        throw ErroValor(QStringLiteral("Código do beneficiário inválido para o boleto: '%1' (7 dígitos, ou 9 com "
                                       "os dígitos de controle).").arg(c.codigoCedente));
    return d.size() < 7 ? d.rightJustified(7, QLatin1Char('0')) : d;
}

QString validaNossoNumero(const QString& nn)
{
    const QString n = nn.trimmed();
    if (!SoDigitos(n) || n.size() != 8)
        throw ErroValor(QStringLiteral("Nosso número inválido para o boleto: '%1' (8 dígitos).").arg(nn));
    return n;
}

qint64 centavos(const Decimal& v)
{
    if (v < Decimal::cents(0))
        throw ErroValor(QStringLiteral("O valor do boleto não pode ser negativo (%1).").arg(FormataMoeda(v)));
    const qint64 c = v.toCents();
    if (Decimal::cents(c) != v)
        throw ErroValor(QStringLiteral("O valor do boleto tem mais de duas casas decimais (%1).").arg(v.toShortString()));
    if (c > kValorMaximo)
        throw ErroValor(QStringLiteral("O valor do boleto (%1) excede o máximo de 99.999.999,99.").arg(FormataMoeda(v)));
    return c;
}

// General check digit of the bar code: modulo 11, weights 2..9 from the right; 0, 10 and 11 give 1.
int digitoGeral(const QString& digitos43)
{
    int soma = 0;
    for (int i = 0; i < digitos43.size(); ++i)
        soma += digito(digitos43.at(digitos43.size() - 1 - i)) * (2 + i % 8);
    const int dv = 11 - soma % 11;
    return dv >= 10 ? 1 : dv;
}

QString texto(const Campo& c) { return c.texto().trimmed(); }

} // namespace

CedenteBoleto ContaDaLinha(const Consulta& q)
{
    auto campo = [&](const char* nome) {
        const QString n = QString::fromLatin1(nome);
        return q.temCampo(n) ? texto(q.campo(n)) : QString();
    };
    CedenteBoleto c;
    c.idConta = q.temCampo(QStringLiteral("ID_CONTA")) ? int(q.campo(QStringLiteral("ID_CONTA")).inteiro()) : 0;
    c.titulo = campo("TITULO");
    c.banco = campo("BANCO");
    c.agencia = campo("AGENCIA");
    c.agenciaDigito = campo("AGENCIADIGITO");
    c.bairro = campo("BAIRRO");
    c.cep = campo("CEP");
    c.cidade = campo("CIDADE");
    c.cnpjCpf = campo("CNPJCPF");
    c.codigoCedente = campo("CODIGOCEDENTE");
    c.codigoTrans = campo("CODIGOTRANS");
    c.complemento = campo("COMPLEMENTO");
    c.conta = campo("CONTA");
    c.contaDigito = campo("CONTADIGITO");
    c.convenio = campo("CONVENIO");
    c.logradouro = campo("LOGRADOURO");
    c.numeroRes = campo("NUMERORES");
    c.modalidade = campo("MODALIDADE");
    c.nome = campo("NOME");
    c.uf = campo("UF");
    return c;
}

std::optional<CedenteBoleto> LeContaBoleto(Transacao& tr, const QString& sql)
{
    Consulta q(tr);
    q.abre(sql);
    if (q.eof())
        return std::nullopt;
    return ContaDaLinha(q);
}

int Modulo10(const QString& digitos)
{
    int soma = 0;
    for (int i = 0; i < digitos.size(); ++i) {
        int p = digito(digitos.at(digitos.size() - 1 - i)) * (i % 2 == 0 ? 2 : 1);
        soma += p > 9 ? p - 9 : p;
    }
    const int resto = soma % 10;
    return resto == 0 ? 0 : 10 - resto;
}

QString DigitoDuplo(const QString& digitos)
{
    if (!SoDigitos(digitos))
        throw ErroValor(QStringLiteral("'%1' não é um número para o dígito de controle.").arg(digitos));
    int primeiro = Modulo10(digitos);
    for (;;) {
        const QString n = digitos + QChar(u'0' + primeiro);
        int soma = 0;
        for (int i = 0; i < n.size(); ++i)
            soma += digito(n.at(n.size() - 1 - i)) * (2 + i % 6);
        const int resto = soma % 11;
        if (resto == 1) {
            // Rest 1 gives no second digit: the first one moves on (9 becomes 0).
            primeiro = (primeiro + 1) % 10;
            continue;
        }
        const int segundo = resto == 0 ? 0 : 11 - resto;
        return QString::number(primeiro) + QString::number(segundo);
    }
}

QString DigitosNossoNumero(const QString& nossoNumero8) { return DigitoDuplo(validaNossoNumero(nossoNumero8)); }

int FatorVencimento(const QDate& vencimento)
{
    if (!vencimento.isValid())
        throw ErroValor(QStringLiteral("Data de vencimento do boleto inválida."));
    if (vencimento <= kDataBase)
        throw ErroValor(QStringLiteral("A data de vencimento do boleto (%1) não é posterior à data-base do fator de "
                                       "vencimento (07/10/1997).").arg(TextoData(vencimento)));
    if (vencimento < kRecomeco)
        return int(kDataBase.daysTo(vencimento));
    return 1000 + int(kRecomeco.daysTo(vencimento) % kCicloFator);
}

QString CampoLivre(const Boleto& b)
{
    // Product 2 (collection with the slip issued by the client), constant 1, agency, holder code,
    // nosso número, constant 40, then the double check digit of those 23 digits.
    const QString base = QStringLiteral("21") + agencia4(b.cedente) + digitosCedente(b.cedente).left(7)
                         + validaNossoNumero(b.nossoNumero) + QStringLiteral("40");
    return base + DigitoDuplo(base);
}

QString CodigoBarras(const Boleto& b)
{
    const QString fator = QString::number(FatorVencimento(b.vencimento)).rightJustified(4, QLatin1Char('0'));
    const QString valor = QString::number(centavos(b.valor)).rightJustified(10, QLatin1Char('0'));
    const QString sem = QStringLiteral("0419") + fator + valor + CampoLivre(b);
    return sem.left(4) + QString::number(digitoGeral(sem)) + sem.mid(4);
}

QString LinhaDigitavel(const QString& cb)
{
    if (cb.size() != 44 || !SoDigitos(cb) || digitoGeral(cb.left(4) + cb.mid(5)) != digito(cb.at(4)))
        throw ErroValor(QStringLiteral("Código de barras inválido: '%1'.").arg(cb));
    const QString livre = cb.mid(19);
    auto campo = [](const QString& d) { return d + QString::number(Modulo10(d)); };
    const QString c1 = campo(cb.left(4) + livre.left(5));
    const QString c2 = campo(livre.mid(5, 10));
    const QString c3 = campo(livre.mid(15, 10));
    return c1.left(5) + QLatin1Char('.') + c1.mid(5) + QLatin1Char(' ') + c2.left(5) + QLatin1Char('.') + c2.mid(5)
           + QLatin1Char(' ') + c3.left(5) + QLatin1Char('.') + c3.mid(5) + QLatin1Char(' ') + cb.at(4)
           + QLatin1Char(' ') + cb.mid(5, 14);
}

QString NossoNumeroImpresso(const Boleto& b)
{
    const QString nn = validaNossoNumero(b.nossoNumero);
    return nn + QLatin1Char('-') + DigitoDuplo(nn);
}

QString AgenciaCodigoImpresso(const CedenteBoleto& c)
{
    QString r = agencia4(c);
    if (!c.agenciaDigito.trimmed().isEmpty())
        r += QLatin1Char('.') + c.agenciaDigito.trimmed();
    const QString cod = digitosCedente(c);
    r += QLatin1Char(' ') + cod.left(7);
    if (cod.size() == 9)
        r += QLatin1Char('.') + cod.mid(7);
    return r;
}

QString FormataCnpjCpf(const QString& numero)
{
    const QString n = numero.trimmed();
    if (n.size() == 14 && SoDigitos(n))
        return QStringLiteral("%1.%2.%3/%4-%5").arg(n.left(2), n.mid(2, 3), n.mid(5, 3), n.mid(8, 4), n.mid(12));
    if (n.size() == 11 && SoDigitos(n))
        return QStringLiteral("%1.%2.%3-%4").arg(n.left(3), n.mid(3, 3), n.mid(6, 3), n.mid(9));
    return n;
}

QString FormataCep(const QString& cep)
{
    const QString c = cep.trimmed();
    return c.size() == 8 && SoDigitos(c) ? c.left(5) + QLatin1Char('-') + c.mid(5) : c;
}

} // namespace vx
