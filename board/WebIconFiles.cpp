#include "WebIconFiles.h"

#include "LaunchText.h"
#include "PathNames.h"

namespace WebIconFiles {

namespace {

QByteArray replaced(QByteArray text)
{
    for (char& c : text)
        if (QByteArray("\\/:*?\"<>|.,").contains(c))
            c = '_';
    return text;
}

} // namespace

QByteArray folder(const QByteArray& bookmarkFile)
{
    // Without its extension: the stem, so that a name without ".LYK" is not cut.
    return PathNames::stem(bookmarkFile) + "webicons/";
}

QByteArray strippedLink(const QByteArray& link)
{
    return replaced(link.mid(LaunchText::TrimHTTP(link) - 1));
}

QByteArray siteName(const QByteArray& url)
{
    QByteArray site = url.mid(LaunchText::TrimHTTP(url) - 1);
    const qsizetype cut = std::max(site.lastIndexOf('\\'), site.lastIndexOf(':'));
    if (cut >= 0)
        site = site.mid(cut + 1);
    return replaced(site);
}

bool belongsTo(const QByteArray& iconFile, const QByteArray& url)
{
    if (iconFile.isEmpty() || !PathNames::fileExists(iconFile))
        return false;
    const QByteArray name = PathNames::fileName(iconFile);
    const qsizetype dot = name.indexOf('.');
    return (dot < 0 ? name : name.left(dot)) == siteName(url);
}

} // namespace WebIconFiles
