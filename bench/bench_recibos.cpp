// 1,000 standard receipts (two halves a page, amount in words, wrapped description) laid out and
// written to one PDF. Prints layout and PDF times and peak memory. Target: < 10 s, < 500 MB.
#include "billing/TRImpRecibos.h"
#include "core/UFunc.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

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

    QElapsedTimer t;
    t.start();
    auto doc = TRImpRecibos::Gera(recibos, id);
    const double tLayout = t.nsecsElapsed() / 1e9;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("recibos.pdf"));
    QElapsedTimer t2;
    t2.start();
    if (!rel::GravaPdf(*doc, pdf)) {
        std::fprintf(stderr, "PDF falhou\n");
        return 1;
    }
    const double tPdf = t2.nsecsElapsed() / 1e9;
    const double total = t.nsecsElapsed() / 1e9;
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    const double mb = ru.ru_maxrss / 1024.0;
    std::printf("bench_recibos: %d receipts, %d pages, PDF %.1f KB\n", n, doc->numPaginas(), QFileInfo(pdf).size() / 1024.0);
    std::printf("  layout %.3f s, pdf %.3f s, total %.3f s (target < 10 s)\n", tLayout, tPdf, total);
    std::printf("  peak memory %.1f MB (target < 500 MB)\n", mb);
    std::printf("  %s\n", total < 10.0 && mb < 500 ? "within target" : "OVER TARGET");
    return 0;
}
