#pragma once

#include <QString>

// The desktop's clipboard, as plain text.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // Empties the clipboard.
    virtual void clear() = 0;
    // Puts text on the clipboard; empty text leaves it empty.
    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;
};
