#pragma once
// Reading rendered PDFs back in tests (poppler-utils).
#include <QString>
#include <QStringList>

namespace vx::test {

// Text of every page (pdftotext -layout), one entry per page.
QStringList PaginasPdf(const QString& arquivo);
// Output of pdfinfo for pages 1 to 99 (page sizes and orientation).
QString InfoPdf(const QString& arquivo);

} // namespace vx::test
