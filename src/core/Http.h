#pragma once
// Downloads of whole files over HTTP(S) (and ftp:// addresses) through libcurl.
#include <QString>

namespace vx {

// Downloads `url` onto `destino`. The body is written to a temporary file in the destination's
// folder that replaces the destination only when the transfer ended well: an HTTP error status,
// a refused or dropped connection, a body shorter than its Content-Length or a stall leave the
// destination as it was and no other file behind. Redirects are followed. A connection must be
// made within 15 s and a transfer below 1 byte/s for `tempoLento` seconds (0: GERAL/FTPTEMPOLENTO)
// fails. Window events are pumped meanwhile. False on failure, with the reason in *erro.
bool BaixaHttp(const QString& url, const QString& destino, QString* erro = nullptr, int tempoLento = 0);

} // namespace vx
