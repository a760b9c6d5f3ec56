#pragma once

#include <QString>

// The desktop's clipboard, as plain text (and HTML when a program put some).
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // Empties the clipboard.
    virtual void clear() = 0;
    // Puts text on the clipboard; empty text leaves it empty.
    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;
    // The clipboard's HTML (text/html) when it holds some; "" otherwise.
    virtual QString html() const = 0;
};
