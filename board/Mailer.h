#pragma once

#include <QByteArray>
#include <QList>

// The mail dialog, as the exchange layer provides it.
class Mailer
{
public:
    virtual ~Mailer() = default;
    // Shows the mail dialog modally for a mail scope ("One", "Page" or "All")
    // with the bookmark lines of the work text.
    virtual void MailBookmarks(const QByteArray& scope, const QList<QByteArray>& workText) = 0;

    // A bookmark as the work text lists it for mailing: an HTML link.
    static QByteArray BookmarkLine(const QByteArray& url, const QByteArray& title)
    {
        return "<A HREF=\"" + url + "\">" + title + "</A><BR>";
    }
};
