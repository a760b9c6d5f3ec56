#pragma once

#include <QByteArray>
#include <QList>

// The ping test ("Access Speed"), as the web checks provide it.
class SiteSpeed
{
public:
    virtual ~SiteSpeed() = default;
    // Measures the hosts (one per selected bookmark, in list order) and shows
    // the bars modally. buttons holds the bookmarks' button names ("B" + slot
    // key) in the same order. Returns the button name of the bar the user
    // clicked, "" when the window was closed otherwise.
    virtual QByteArray PingSites(const QList<QByteArray>& hosts, const QList<QByteArray>& buttons) = 0;

    // The site of a bookmark's address: the text after "://" when there is
    // one, then after "www." when the rest holds it, up to the first "/".
    // An address without a "/" after the host gives "".
    static QByteArray HostOf(const QByteArray& url)
    {
        QByteArray rest = url;
        const qsizetype scheme = rest.indexOf("://");
        if (scheme >= 0)
            rest = rest.mid(scheme + 3);
        const qsizetype www = rest.indexOf("www.");
        if (www >= 0)
            rest = rest.mid(www + 4);
        const qsizetype slash = rest.indexOf('/');
        return slash >= 0 ? rest.left(slash) : QByteArray();
    }
};
