#pragma once
// Copies a grid to the clipboard as text: a first line with the column field names separated by
// tabs, then one line per row with each column's displayed text. Hidden columns are left out.
// The field name of a column is its header's Qt::UserRole data, else its header text.
#include <QString>

class QTableView;

namespace vx {

QString TextoGrade(const QTableView* grade);
void CopiaGrade(const QTableView* grade);

} // namespace vx
