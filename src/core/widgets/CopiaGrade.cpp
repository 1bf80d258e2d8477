#include "core/widgets/CopiaGrade.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QClipboard>
#include <QStringList>
#include <QTableView>

namespace vx {

QString TextoGrade(const QTableView* grade)
{
    const QAbstractItemModel* m = grade ? grade->model() : nullptr;
    if (!m)
        return QString();
    QList<int> colunas;
    for (int c = 0; c < m->columnCount(); ++c)
        if (!grade->isColumnHidden(c))
            colunas << c;
    QStringList linhas;
    QStringList cab;
    for (int c : colunas) {
        const QVariant nome = m->headerData(c, Qt::Horizontal, Qt::UserRole);
        cab << (nome.isValid() ? nome.toString() : m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    }
    linhas << cab.join(QLatin1Char('\t'));
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList l;
        for (int c : colunas)
            l << m->index(r, c).data(Qt::DisplayRole).toString();
        linhas << l.join(QLatin1Char('\t'));
    }
    return linhas.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void CopiaGrade(const QTableView* grade)
{
    QApplication::clipboard()->setText(TextoGrade(grade));
}

} // namespace vx
