#include "FileFinder.h"

#include <QDirIterator>
#include <QRegularExpression>

QString findFirstFile(const QString& folder, const QString& pattern,
                      const std::function<bool()>& keepGoing)
{
    // Names are matched without regard to case, as the names people type
    // rarely match the disk's spelling.
    const QRegularExpression match(
        QRegularExpression::wildcardToRegularExpression(pattern, QRegularExpression::UnanchoredWildcardConversion),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression whole(QStringLiteral("^(?:%1)$").arg(match.pattern()),
                                   QRegularExpression::CaseInsensitiveOption);
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    for (int seen = 0; it.hasNext(); ++seen) {
        if (seen % 256 == 0 && !keepGoing())
            return {};
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isFile() && whole.match(info.fileName()).hasMatch())
            return info.absoluteFilePath();
    }
    return {};
}
