#include "FileFinder.h"

#include <QDirIterator>
#include <QRegularExpression>

QStringList findFiles(const QString& folder, const QString& pattern, const std::function<bool()>& keepGoing, int most)
{
    // Names are matched without regard to case, as the names people type
    // rarely match the disk's spelling.
    const QRegularExpression whole(
        QRegularExpression::wildcardToRegularExpression(pattern, QRegularExpression::UnanchoredWildcardConversion)
            .prepend(QStringLiteral("^(?:"))
            .append(QStringLiteral(")$")),
        QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    // Without QDir::Hidden neither hidden files nor hidden folders are entered:
    // a configuration folder's copy is never what the user meant.
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    for (int seen = 0; it.hasNext(); ++seen) {
        if (seen % 256 == 0 && !keepGoing())
            return {};
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isFile() && whole.match(info.fileName()).hasMatch()) {
            found << info.absoluteFilePath();
            if (found.size() >= most)
                break;
        }
    }
    found.sort();
    return found;
}
