#include "PageMerge.h"

#include "AnsiText.h"
#include "Board.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "PageCommands.h"
#include "SettingsFile.h"

#include <QList>
#include <vector>

using F = BookmarkRecord;

void PageMerge::MergePage(const QByteArray& sourcePage, const QByteArray& destinationPage, const QByteArray& sourceFile,
                          const QByteArray& destinationFile, Missing missing)
{
    using namespace BookmarkFile;
    Board& b = m_board;
    const int filter = b.files().readNumber(SettingsFile::MergeColor);
    IniBatch batch(b.store(), destinationFile);
    const TIniFile32 source(b.store(), sourceFile);
    TIniFile32 destination(b.store(), destinationFile);

    if (missing == Missing::Add) {
        std::vector<QByteArray> tabs = b.pageCommands().ReadTabs(destination);
        bool listed = false;
        for (const QByteArray& tab : tabs)
            listed = listed || AnsiText::equalsNoCase(tab, sourcePage);
        if (!listed) {
            tabs.push_back(sourcePage);
            SaveTabs(destination, tabs);
            if (destinationFile == b.files().BookmarkFileName())
                b.state().setTabs(tabs, b.state().tabIndex());
        }
    }

    QList<QByteArray> present;
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        const QByteArray url = BookmarkSlot(destination, destinationPage, SlotKey(slot)).url();
        if (!url.isEmpty())
            present << url;
    }
    QList<QByteArray> candidates;
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        const BookmarkSlot s(source, sourcePage, SlotKey(slot));
        const QByteArray url = s.url();
        if (url.isEmpty())
            continue;
        if (filter != kNoFilter) {
            bool ok = false;
            const int color = TIniFile32::toInteger(s.get(F::Color), &ok);
            if ((ok ? color : kNoFilter) != filter)
                continue;
        }
        candidates << url;
    }
    for (const QByteArray& url : present)
        candidates.removeOne(url);

    int target = 1;
    for (const QByteArray& url : candidates) {
        int from = 1;
        while (from <= kMaxSlots && BookmarkSlot(source, sourcePage, SlotKey(from)).url() != url)
            ++from;
        while (target <= kMaxSlots && !BookmarkSlot(destination, destinationPage, SlotKey(target)).url().isEmpty())
            ++target;
        if (target > kMaxSlots)
            break; // the page is full: the rest is left out
        const BookmarkSlot in(source, sourcePage, SlotKey(from));
        BookmarkSlot out(destination, destinationPage, SlotKey(target));
        for (int f = 0; f < F::kFieldCount; ++f) {
            const auto field = static_cast<F::Field>(f);
            const QByteArray value = in.get(field);
            if (!value.isEmpty())
                out.set(field, value);
        }
    }
    batch.commit();
}

void PageMerge::MColor(const QString& operation)
{
    Board& b = m_board;
    const int filter = b.files().readNumber(SettingsFile::MergeColor);
    const bool set = filter != kNoFilter;
    ChoiceRequest request;
    request.title = QStringLiteral("Select %1 Bookmark Color").arg(operation);
    request.buttons = {QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Color"), QStringLiteral("Help")};
    request.lines = {QStringLiteral("Do you want to %1 by a selected bookmark color").arg(operation), QString(),
                     set ? QStringLiteral("Yes   =  Accept displayed color for %1.").arg(operation)
                         : QStringLiteral("Yes   =  Select filter color for %1.").arg(operation),
                     QStringLiteral("No    =  Turn off color filter for %1.").arg(operation),
                     QStringLiteral("Color  =  Change filter color for %1.").arg(operation)};
    if (set)
        request.background = filter;
    int answer = b.ui().choice(request);
    if (answer == 3) {
        b.ui().showHelp(kHelpColorFilter);
        request.buttons.removeLast();
        answer = b.ui().choice(request);
    }
    if (answer == 1) {
        b.files().write(SettingsFile::MergeColor, kNoFilter);
    } else if (answer == 2 || (answer == 0 && !set)) {
        QStringList custom = b.GetCustomPalette();
        const std::optional<int> chosen = b.ui().color(set ? filter : 0, custom);
        b.SaveCustomPalette(custom);
        if (chosen)
            b.files().write(SettingsFile::MergeColor, *chosen);
    }
}
