#pragma once

#include "Clipboard.h"

// The clipboard as a string; cleared counts how often it was emptied.
struct FakeClipboard : Clipboard
{
    QString content;
    int cleared = 0;
    void clear() override
    {
        content.clear();
        ++cleared;
    }
    void setText(const QString& text) override { content = text; }
    QString text() const override { return content; }
};
