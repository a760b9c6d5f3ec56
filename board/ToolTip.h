#pragma once

#include <QByteArray>

namespace ToolTip {

// The hint of a bookmark button: the address (when shown), the notes (when
// shown; line breaks restored and, for the board, wrapped at column 56), or
// both separated by CR. A password-protected address gives "Password Protected".
QByteArray build(const QByteArray& url, const QByteArray& storedNotes, bool showUrl, bool showNotes, bool wrap = true);

inline const QByteArray kPasswordProtected = "Password Protected";

} // namespace ToolTip
