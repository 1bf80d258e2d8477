#include "support/Galeria.h"
#include "support/Fixtures.h"
#include "core/Configuracao.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
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

void DefineDesktopGaleria(const QSize& tamanho)
{
    const QByteArray plataforma = qgetenv("QT_QPA_PLATFORM");
    if (!plataforma.isEmpty() && plataforma != "offscreen")
        return;
    // One file per size: runs side by side write the same text.
    const QString arquivo = QDir::temp().filePath(
        QStringLiteral("vornex-galeria-%1x%2.json").arg(tamanho.width()).arg(tamanho.height()));
    QFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    f.write(QStringLiteral(R"({"windowFrameMargins": false, "screens": [{"name": "Galeria", "x": 0, "y": 0,
 "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                .arg(tamanho.width())
                .arg(tamanho.height())
                .toUtf8());
    f.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(arquivo));
}

QString SalvaDesktop(const QList<QWidget*>& janelas, const QString& nome)
{
    QApplication::processEvents();
    const QScreen* tela = QGuiApplication::primaryScreen();
    if (!tela)
        return QString();
    QImage desktop(tela->geometry().size(), QImage::Format_RGB32);
    desktop.fill(QColor(0x3A, 0x6E, 0xA5));
    {
        QPainter p(&desktop);
        p.translate(-tela->geometry().topLeft());
        for (QWidget* w : janelas) {
            if (!w || !w->isVisible())
                continue;
            const QRect g = w->geometry();
            p.drawPixmap(g.topLeft(), w->grab());
            p.setPen(QColor(0x20, 0x20, 0x20));
            p.drawRect(g.adjusted(-1, -1, 0, 0));
        }
    }
    const QString arquivo = QDir(PastaTelas()).filePath(nome + QStringLiteral(".png"));
    return desktop.save(arquivo, "PNG") ? arquivo : QString();
}

bool InstalaLogoDemo()
{
    const QString destino = CaminhoInstalacao(QStringLiteral("logoconsorcio.jpg"));
    QFile::remove(destino);
    return QFile::copy(QStringLiteral(VX_SOURCE_DIR "/scripts/demo/logoconsorcio.jpg"), destino);
}

} // namespace vx::test
