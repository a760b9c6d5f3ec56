#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The choice dialog Dlg1: the caller's title, button captions and lines; the
// answer is the position of the pressed button, -1 when it was closed.
struct ChoiceRequest
{
    QString title;
    QStringList buttons;
    QStringList lines;
    std::optional<int> background; // 0x00BBGGRR
};
