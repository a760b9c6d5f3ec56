#pragma once

#include "Clipboard.h"

// The clipboard of the desktop session (QClipboard).
class SystemClipboard : public Clipboard
{
public:
    void clear() override;
    void setText(const QString& text) override;
    QString text() const override;
    QString html() const override;
};
