#pragma once
// Conversions between QString and the single-byte encodings the system stores and exchanges.
#include <QByteArray>
#include <QString>

namespace vx {

// Windows-1252 bytes → text (0x80–0x9F through the 1252 table; undefined bytes kept as Latin-1).
QString de1252(const QByteArray& bytes);
QString de1252(const char* data, int len);
// Text → Windows-1252; characters outside it become their closest Latin letter or '?'.
QByteArray para1252(const QString& text);
// Text → ISO-8859-1 (exchange files); characters outside Latin-1 mapped the same way.
QByteArray paraLatin1(const QString& text);
// True when every character can be stored as Windows-1252 without change.
bool cabeEm1252(const QString& text);
// Text with every character outside Windows-1252 replaced as para1252 would.
QString ajustaPara1252(const QString& text);

} // namespace vx
