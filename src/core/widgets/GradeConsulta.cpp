#include "core/widgets/GradeConsulta.h"
#include "core/Banco.h"
#include "core/UFunc.h"

#include <QHeaderView>

namespace vx {

GradeConsulta::GradeConsulta(QWidget* parent)
    : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int linha, int, int anterior, int) {
        if (linha != anterior)
            emit linhaAtual(linha);
    });
}

void GradeConsulta::carrega(Transacao& tr, const QString& sql)
{
    setRowCount(0);
    const bool jaAtiva = tr.ativa();
    QVector<QStringList> linhas;
    QVector<bool> dinheiro;
    try {
        Consulta q(tr);
        q.abre(sql);
        m_colunas.clear();
        for (int i = 0; i < q.numCampos(); ++i)
            m_colunas.append(q.campo(i).nome.toUpper());
        for (; !q.eof(); q.proximo()) {
            QStringList l;
            if (dinheiro.isEmpty())
                for (int i = 0; i < q.numCampos(); ++i)
                    dinheiro.append(q.campo(i).tipo == Campo::Tipo::Decimal && q.campo(i).escala == 2);
            for (int i = 0; i < q.numCampos(); ++i) {
                const Campo& c = q.campo(i);
                l.append(dinheiro[i] && !c.nulo ? FormataMoeda(c.decimal()) : c.texto());
            }
            linhas.append(l);
        }
        q.fecha();
        if (!jaAtiva && tr.ativa())
            tr.rollback();
    } catch (...) {
        if (!jaAtiva && tr.ativa())
            tr.rollback();
        throw;
    }
    const QSignalBlocker bloqueio(this);
    setColumnCount(int(m_colunas.size()));
    QStringList titulos = m_colunas;
    for (int i = 0; i < m_titulos.size() && i < titulos.size(); ++i)
        titulos[i] = m_titulos[i];
    setHorizontalHeaderLabels(titulos);
    setRowCount(int(linhas.size()));
    for (int r = 0; r < linhas.size(); ++r)
        for (int c = 0; c < linhas[r].size(); ++c) {
            auto* it = new QTableWidgetItem(linhas[r][c]);
            if (dinheiro[c])
                it->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(r, c, it);
        }
    resizeColumnsToContents();
    if (m_elastica >= 0 && m_elastica < columnCount()) {
        horizontalHeader()->setStretchLastSection(false);
        horizontalHeader()->setSectionResizeMode(m_elastica, QHeaderView::Stretch);
    } else if (horizontalHeader()->stretchLastSection()) {
        // Sizing to the contents also sizes the last column; let it fill the width again.
        horizontalHeader()->setStretchLastSection(false);
        horizontalHeader()->setStretchLastSection(true);
    }
}

QString GradeConsulta::valor(const QString& coluna, int linha) const
{
    const int r = linha < 0 ? currentRow() : linha;
    const int c = int(m_colunas.indexOf(coluna.toUpper()));
    if (r < 0 || r >= rowCount() || c < 0)
        return {};
    const QTableWidgetItem* it = item(r, c);
    return it ? it->text() : QString();
}

} // namespace vx
