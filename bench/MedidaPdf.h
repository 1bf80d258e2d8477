#pragma once
// Benchmarks of printed documents: lays a document out, writes it as one PDF and prints layout and
// PDF times, pages per second and peak memory against the targets.
#include "reports/Relatorio.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace vx::bench {

// `monta` returns the laid-out document; `oque` names what was laid out ("1000 slips").
// Returns the program's exit status (1 when the PDF could not be written).
template <class F>
int MedePdf(const char* nome, const QString& oque, double alvoSegundos, double alvoMb, F&& monta)
{
    QElapsedTimer t;
    t.start();
    const std::shared_ptr<rel::Documento> doc = monta();
    const double tLayout = t.nsecsElapsed() / 1e9;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bench.pdf"));
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
    std::printf("%s: %s, %d pages, PDF %.1f KB\n", nome, qPrintable(oque), doc->numPaginas(),
                QFileInfo(pdf).size() / 1024.0);
    std::printf("  layout %.3f s, pdf %.3f s, total %.3f s (target < %.0f s)\n", tLayout, tPdf, total, alvoSegundos);
    std::printf("  %.1f pages/s, peak memory %.1f MB (target < %.0f MB)\n", doc->numPaginas() / total, mb, alvoMb);
    std::printf("  %s\n", total < alvoSegundos && mb < alvoMb ? "within target" : "OVER TARGET");
    return 0;
}

} // namespace vx::bench
