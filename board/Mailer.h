#pragma once

#include <QByteArray>
#include <QList>

// A bookmark as it goes into a mail: its address as it opens and its title,
// both as stored.
struct MailedBookmark
{
    QByteArray url;
    QByteArray title;
    bool operator==(const MailedBookmark&) const = default;
};

// The mail dialog, as the exchange layer provides it.
class Mailer
{
public:
    virtual ~Mailer() = default;
    // Shows the mail dialog modally for a mail scope ("One", "Page" or "All")
    // with the bookmarks the caller picked.
    virtual void MailBookmarks(const QByteArray& scope, const QList<MailedBookmark>& bookmarks) = 0;
};
