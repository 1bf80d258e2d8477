// 1,000 standard receipts (two halves a page, amount in words, wrapped description) laid out and
// written to one PDF. Prints layout and PDF times and peak memory. Target: < 10 s, < 500 MB.
#include "billing/TRImpRecibos.h"
#include "MedidaPdf.h"
#include "core/UFunc.h"

#include <QGuiApplication>


using namespace vx;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int n = argc > 1 ? atoi(argv[1]) : 1000;

    IdentidadeConsorcio id;
    id.nome = QStringLiteral("CONSÓRCIO INTERMUNICIPAL DE SAÚDE");
    id.endereco = QStringLiteral("RUA DOS ANDRADAS");
    id.numero = QStringLiteral("1234");
    id.cnpj = QStringLiteral("12.345.678/0001-90");
    id.contato = QStringLiteral("(51) 3210-4455");
    id.cidade = QStringLiteral("PORTO ALEGRE");
    id.uf = QStringLiteral("RS");
    id.responsavel = QStringLiteral("HELENA MACHADO");
    id.cargo = QStringLiteral("PRESIDENTE");
    QVector<Recibo> recibos;
    recibos.reserve(n);
    for (int i = 0; i < n; ++i) {
        Recibo r;
        r.numero = i + 1;
        r.pagador = NomePagador(id.nome, QStringLiteral("MUNICÍPIO %1").arg(i)) + QStringLiteral(" - CNPJ: 88.577.416/0001-18");
        r.valor = Decimal::cents(10000 + (qint64(i) * 7919) % 500000000);
        r.referente = QStringLiteral("Serviços de saúde prestados pelo consórcio ao município %1 no mês, conforme "
                                     "demonstrativo de produção enviado à secretaria de saúde.").arg(i);
        if (i % 2)
            r.condicionado = QStringLiteral("Documento condicionado a quitação do Boleto nº %1, venc. em 20/04/2026.")
                                 .arg(ZerosEsquerda(i, 10));
        r.emissao = QDate(2026, 4, 5);
        recibos.append(r);
    }

    return bench::MedePdf("bench_recibos", QStringLiteral("%1 receipts").arg(n), 10, 500, [&] { return TRImpRecibos::Gera(recibos, id); });
}
