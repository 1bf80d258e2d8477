#pragma once
// Process-wide settings of the program, shared by the executable and the screen tests.
#include <QString>

namespace vx {

// Name shown by windows and message boxes that have no title of their own.
inline constexpr const char* kNomeAplicacao = "VORNEX";

// Application name, Brazilian locale and Qt's own texts in Portuguese (print dialog, context
// menus, standard buttons). Call once after the application object exists.
void ConfiguraAplicacao();

// Qt translation files of the Brazilian locale that were loaded (empty when none was found).
QStringList TraducoesCarregadas();

} // namespace vx
