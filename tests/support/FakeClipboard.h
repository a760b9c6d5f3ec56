#pragma once

#include "Clipboard.h"

// The clipboard as strings (text, and HTML when set); cleared counts how
// often it was emptied.
struct FakeClipboard : Clipboard
{
    QString content;
    QString htmlContent;
    int cleared = 0;
    void clear() override
    {
        content.clear();
        htmlContent.clear();
        ++cleared;
    }
    void setText(const QString& text) override
    {
        content = text;
        htmlContent.clear();
    }
    QString text() const override { return content; }
    QString html() const override { return htmlContent; }
};
