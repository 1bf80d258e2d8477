#include "support/Pdf.h"

#include <QProcess>

namespace vx::test {

QStringList PaginasPdf(const QString& arquivo)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), arquivo, QStringLiteral("-")});
    p.waitForFinished(60000);
    QStringList pg = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pg.isEmpty() && pg.last().trimmed().isEmpty())
        pg.removeLast();
    return pg;
}

QString InfoPdf(const QString& arquivo)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                        QStringLiteral("99"), arquivo});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace vx::test
