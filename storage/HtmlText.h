#pragma once

#include <QByteArray>
#include <QString>

namespace HtmlText {

// Text read from a web page: its bytes as UTF-8 when valid, else Windows-1252,
// with character references (&amp; &#233; &#x20AC; ...) turned back into
// characters.
QString decode(const QByteArray& html);
// Text written into HTML: & < > " escaped.
QString escape(const QString& text);

} // namespace HtmlText
