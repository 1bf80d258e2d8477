#pragma once
// Screen gallery: renders widgets offscreen into PNGs under PastaTelas().
#include <QList>
#include <QSize>
#include <QString>

class QWidget;

namespace vx::test {

// Shows the widget if needed, lets it lay out and paints it into <PastaTelas()>/<nome>.png.
// Returns the file path (empty on failure).
QString SalvaTela(QWidget* w, const QString& nome);

// Called before the QApplication exists: the offscreen platform gets one screen of this size
// (its default is 800x600, smaller than several screens). Other platforms are left alone.
void DefineDesktopGaleria(const QSize& tamanho);

// Paints the desktop: the primary screen with the given top-level windows (menus included) at
// their places, in the order given, each with a thin border. Saved as <PastaTelas()>/<nome>.png;
// returns the file path (empty on failure).
QString SalvaDesktop(const QList<QWidget*>& janelas, const QString& nome);

// Puts the demo installation's logo into the current installation folder; false on failure.
bool InstalaLogoDemo();

} // namespace vx::test
