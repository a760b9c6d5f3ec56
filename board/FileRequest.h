#pragma once

#include <QString>

// What a file picker shows.
struct FileRequest
{
    QString title;
    QString filter; // "Lynkor Files|*.LYK|All Files|*.*"
    QString startFolder;
    QString fileName;
    int helpContext = 0;
    // A save picker asks before an existing file is chosen (it would be replaced).
    bool confirmOverwrite = false;
};
