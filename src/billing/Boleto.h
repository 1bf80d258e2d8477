#pragma once
// Banrisul bank slips: the account holder (a CONTASBOLETOS row), the slip's data and the numbers
// printed on it: the double check digit "NC", the due-date factor, the 25-digit free field, the
// 44-digit bar code and the digitable line. Invalid data throws ErroValor; no code is ever
// made from a value that does not fit its field.
#include "core/Decimal.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace vx {

class Consulta;
class Transacao;

struct CedenteBoleto {          // one row of CONTASBOLETOS
    int idConta = 0;
    QString titulo, banco, agencia, agenciaDigito, bairro, cep, cidade, cnpjCpf, codigoCedente,
            codigoTrans, complemento, conta, contaDigito, convenio, logradouro, numeroRes, modalidade, nome, uf;
};

struct SacadoBoleto { QString nome, cnpjCpf, logradouro, numero, bairro, cidade, uf, cep; };

struct Boleto {
    CedenteBoleto cedente;
    SacadoBoleto sacado;
    QDate vencimento, dataDocumento, dataProcessamento;
    QString numeroDocumento;   // NUMDOC left-padded to 10 digits
    QString especie = QStringLiteral("8050.76");
    QString aceite = QStringLiteral("S");
    QString nossoNumero;       // NUMDOC left-padded to 8 digits
    QString carteira = QStringLiteral("1");
    Decimal valor;
    QString localPagamento = QStringLiteral("Pagável em qualquer banco até a data de vencimento");
    QStringList mensagens;     // message lines printed in the instructions area
};

// CONTASBOLETOS row read by the given SELECT (first row); nullopt when none.
std::optional<CedenteBoleto> LeContaBoleto(Transacao& tr, const QString& sql);
CedenteBoleto ContaDaLinha(const Consulta& q); // from an open query row

// Modulo 10 check digit (weights 2,1 from the right, products above 9 minus 9; rest 0 → 0).
int Modulo10(const QString& digitos);
// Banrisul double check digit of any digit string: modulo 10, then modulo 11 (weights 2..7) over
// the number followed by the first digit; rest 1 moves the first digit on by one.
QString DigitoDuplo(const QString& digitos);
QString DigitosNossoNumero(const QString& nossoNumero8);   // Banrisul double check digit "NC" (2 digits)
int FatorVencimento(const QDate& vencimento);               // FEBRABAN due-date factor
QString CampoLivre(const Boleto& b);                        // the 25-digit Banrisul free field
QString CodigoBarras(const Boleto& b);                      // the 44 digits
QString LinhaDigitavel(const QString& codigoBarras44);      // "04192.xxxxx xxxxx.xxxxxx xxxxx.xxxxxx x xxxxxxxxxxxxxx"

// Printed forms: "12345678-NC"; agency and holder code "0817.05 4216093.71" (the digits only
// when the account has them).
QString NossoNumeroImpresso(const Boleto& b);
QString AgenciaCodigoImpresso(const CedenteBoleto& c);
// "00.000.000/0000-00" for 14 digits, "000.000.000-00" for 11, else as given; "00000-000".
QString FormataCnpjCpf(const QString& numero);
QString FormataCep(const QString& cep);

} // namespace vx
