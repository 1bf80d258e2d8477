#include "support/Galeria.h"
#include "support/Fixtures.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace vx::test {

QString SalvaTela(QWidget* w, const QString& nome)
{
    if (!w)
        return QString();
    if (!w->isVisible())
        w->show();
    w->ensurePolished();
    QApplication::processEvents();
    const QString arquivo = QDir(PastaTelas()).filePath(nome + QStringLiteral(".png"));
    const QPixmap p = w->grab();
    return !p.isNull() && p.save(arquivo, "PNG") ? arquivo : QString();
}

} // namespace vx::test
