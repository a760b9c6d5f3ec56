#pragma once

#include <QByteArray>

// Gives a bookmark that gets a link its icon, description and address, as
// the web layer does it.
class IconFetcher
{
public:
    virtual ~IconFetcher() = default;
    // Whether the bookmark keeps its title, or (a link that came without its
    // text, titled with its site's name) takes its page's title.
    enum class Title { Kept, FromPage };
    // The icon code decided for the slot (see Glyph); the button shows it.
    virtual QByteArray AutoIcon(const QByteArray& buttonName, const QByteArray& link, const QByteArray& page,
                                const QByteArray& slot, Title title = Title::Kept) = 0;
};
