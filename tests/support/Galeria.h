#pragma once
// Screen gallery: renders a widget offscreen into a PNG under PastaTelas().
#include <QString>

class QWidget;

namespace vx::test {

// Shows the widget if needed, lets it lay out and paints it into <PastaTelas()>/<nome>.png.
// Returns the file path (empty on failure).
QString SalvaTela(QWidget* w, const QString& nome);

} // namespace vx::test
