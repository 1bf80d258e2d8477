#pragma once
// Reading written .xlsx files back in tests (the zip members through python3's zipfile).
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace vx::test {

// A member of the .xlsx (zip) container; empty when it is not there.
QByteArray MembroXlsx(const QString& arquivo, const QString& nome);

// The first sheet as rows of "t:text", "n:value@format" (value with two decimals) or "" (empty),
// plus the column widths.
struct FolhaXlsx {
    QVector<QStringList> linhas;
    QMap<int, double> larguras;
};
FolhaXlsx LeXlsx(const QString& arquivo);

} // namespace vx::test
