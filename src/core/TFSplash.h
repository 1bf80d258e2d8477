#pragma once
// Start-up splash window: caption, progress gauge, a status line, title and version.
#include <QWidget>

class QLabel;
class QProgressBar;

namespace vx {

// Product titles (window, task bar, splash).
QString TituloProduto();      // short title
QString TituloCompleto();     // full title

class TFSplash : public QWidget {
    Q_OBJECT
public:
    explicit TFSplash(QWidget* parent = nullptr);

    void setLinha(const QString& texto);   // repaints at once
    QString linha() const;
    void avanca();                          // gauge + 1
    int posicao() const;
    void escondeGauge();

private:
    QLabel* m_linha;
    QProgressBar* m_gauge;
};

} // namespace vx
