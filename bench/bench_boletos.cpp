// 1,000 Banrisul bank slips laid out (one page each, bar code as vector bars) and written to one PDF.
// Prints layout and PDF times and peak memory. Target: < 15 s, < 500 MB.
#include "billing/TRBoleto.h"
#include "MedidaPdf.h"

#include <QGuiApplication>


using namespace vx;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int n = argc > 1 ? atoi(argv[1]) : 1000;

    CedenteBoleto c;
    c.agencia = QStringLiteral("0817");
    c.agenciaDigito = QStringLiteral("05");
    c.codigoCedente = QStringLiteral("421609371");
    c.nome = QStringLiteral("CONSORCIO INTERMUNICIPAL DE SAUDE");
    c.cnpjCpf = QStringLiteral("12345678000195");
    c.logradouro = QStringLiteral("RUA DOS ANDRADAS");
    c.numeroRes = QStringLiteral("1234");
    c.bairro = QStringLiteral("CENTRO");
    c.cidade = QStringLiteral("PORTO ALEGRE");
    c.uf = QStringLiteral("RS");
    c.cep = QStringLiteral("90020008");
    QVector<Boleto> boletos;
    boletos.reserve(n);
    for (int i = 0; i < n; ++i) {
        Boleto b;
        b.cedente = c;
        b.sacado = {QStringLiteral("PODER EXECUTIVO DO MUNICÍPIO DE NÚMERO %1").arg(i), QStringLiteral("88577416000118"),
                    QStringLiteral("RUA XV DE NOVEMBRO"), QString::number(i), QStringLiteral("CENTRO"),
                    QStringLiteral("MUNICÍPIO %1").arg(i), QStringLiteral("RS"), QStringLiteral("92010300")};
        b.vencimento = QDate(2025, 2, 10).addDays(i % 60);
        b.dataDocumento = b.dataProcessamento = QDate(2025, 2, 1);
        b.numeroDocumento = QString::number(i + 1).rightJustified(10, QLatin1Char('0'));
        b.nossoNumero = QString::number(i + 1).rightJustified(8, QLatin1Char('0'));
        b.valor = Decimal::cents(10000 + (i * 7919) % 5000000);
        b.mensagens = QStringList{QStringLiteral("NÃO COBRAR MULTAS E JUROS"), QStringLiteral("NÃO ENVIAR A CARTÓRIO"),
                                  QStringLiteral("Produção de serviços de saúde do município %1").arg(i),
                                  QStringLiteral("Serviços prestados no mês 01/2025")};
        boletos.append(b);
    }

    return bench::MedePdf("bench_boletos", QStringLiteral("%1 slips").arg(n), 15, 500, [&] { return TRBoleto::Gera(boletos); });
}
