#pragma once
// Read-only grid filled from a SELECT: one column per selected column (captions as the column
// names unless given), whole-row selection; two-decimal numbers shown as money ("1.234,56",
// right-aligned). Registry screens use it for their lists.
#include <QStringList>
#include <QTableWidget>

namespace vx {

class Transacao;

class GradeConsulta : public QTableWidget {
    Q_OBJECT
public:
    explicit GradeConsulta(QWidget* parent = nullptr);

    // Runs `sql` on `tr` and shows its rows (a read started here is rolled back afterwards).
    // Errors reach the caller; the grid is then empty.
    void carrega(Transacao& tr, const QString& sql);
    // Captions shown instead of the column names (in column order).
    void defineTitulos(const QStringList& titulos) { m_titulos = titulos; }
    // The column that takes the width left over (the last one unless given).
    void defineColunaElastica(int coluna) { m_elastica = coluna; }
    // Name of each column as the statement returned it (upper case).
    QStringList colunas() const { return m_colunas; }
    // Text of `coluna` in `linha` (the current row when -1); empty when out of range.
    QString valor(const QString& coluna, int linha = -1) const;
    int linhas() const { return rowCount(); }

signals:
    // The current row changed (click, arrows, paging): its index, -1 when none.
    void linhaAtual(int linha);

private:
    QStringList m_colunas;
    QStringList m_titulos;
    int m_elastica = -1;
};

} // namespace vx
