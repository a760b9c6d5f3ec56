#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// What the user is told when the browser shows no page.
struct NoPageNotice
{
    QString text;        // "" for the default
    int helpContext = 0; // a Help button when set
};

// Opening what bookmarks point at; the launching layer provides it.
class BookmarkLauncher
{
public:
    virtual ~BookmarkLauncher() = default;
    // Opens an address: a web page in the browser, or a program or document.
    // page: the page of the launched bookmark (empty for a loose address); the
    // slot is the one of the current button.
    virtual void Launch(const QByteArray& page, const QByteArray& address) = 0;
    // The same for a bookmark listed by a tool window (search, link checker):
    // its own slot decides how it opens. fromSearch leaves the window as it
    // is afterwards (no hiding or minimizing; mini mode stays).
    virtual void LaunchListed(const QByteArray& page, const QByteArray& slot, const QByteArray& address,
                              bool fromSearch) = 0;
    // The rest of a click on a bookmark button, after it became the current
    // button: a filled slot is launched, a blank one filled.
    virtual void SlotClicked(const QByteArray& buttonName) = 0;
    // Opens a stored bookmark as a click on it would (passwords, "IP"); false
    // when it was not opened (wrong password, nothing stored).
    virtual bool LaunchStored(const QByteArray& page, const QByteArray& slot) = 0;
    // The title and address of the page the browser shows, answered later
    // (never inside the call); when there is none the user has been told why
    // (notice, or that nothing was stored, with what to do about it) and ok is
    // false. The board is busy meanwhile.
    using PageShown = std::function<void(bool ok, const QByteArray& title, const QByteArray& url)>;
    virtual void CurrentPage(PageShown done, const NoPageNotice& notice = {}) = 0;
};
