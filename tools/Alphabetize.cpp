#include "Alphabetize.h"

#include "AlphaForm.h"
#include "AnsiText.h"
#include "Board.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "PageDisplay.h"
#include "RecordOps.h"
#include "WindowModes.h"

#include <QCollator>
#include <algorithm>
#include <numeric>

using F = BookmarkRecord;

void Alphabetize::sortByTitle(std::vector<BookmarkRecord>& records)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Folded first: without ICU the collator's sort keys keep letter case.
    auto text = [](const QByteArray& field) { return AnsiText::toUi(field).toLower(); };
    // Titles decide nearly always; the other fields only between equal titles.
    std::vector<QCollatorSortKey> titles;
    titles.reserve(records.size());
    for (const BookmarkRecord& r : records)
        titles.push_back(collator.sortKey(text(r[F::Title])));
    std::vector<size_t> order(records.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (const int c = titles[a].compare(titles[b]); c != 0)
            return c < 0;
        // Whole records are compared field by field: no field's text can end
        // up in another field, whatever it holds.
        for (int f = F::Url; f < F::kFieldCount; ++f) {
            const QByteArray& x = records[a].fields[f];
            const QByteArray& y = records[b].fields[f];
            if (x == y)
                continue;
            if (const int c = collator.compare(text(x), text(y)); c != 0)
                return c < 0;
        }
        return false;
    });
    std::vector<BookmarkRecord> sorted;
    sorted.reserve(records.size());
    for (size_t i : order)
        sorted.push_back(std::move(records[i]));
    records = std::move(sorted);
}

void Alphabetize::AlphaButtonClick()
{
    Board& b = m_board;
    AlphaForm form(b);
    form.caption = QStringLiteral("Alphabetize the \"%1\" Page").arg(AnsiText::toUi(b.state().currentPage()));
    form.actionText = QStringLiteral("Alphabetize");
    form.FormShow();
    b.ui().alphaForm(form);
    if (form.first < 0 || form.last < 0) {
        b.ui().message(QStringLiteral("You did not select a page, or pages, to Alphabetize."),
                       Prompter::Type::Information, Prompter::Buttons::Ok);
        return;
    }
    if (form.last != form.first &&
        b.ui().message(QStringLiteral("Are you sure you want to alphabetize Page %1 through Page %2\nThis will "
                                      "alphabetize all bookmarks within this range together.")
                           .arg(form.first + 1)
                           .arg(form.last + 1),
                       Prompter::Type::Information, Prompter::Buttons::YesNoHelp, 48) != Prompter::Answer::Yes)
        return;

    b.ui().setCursor(ScreenCursor::HourGlass);
    const bool all = form.mode == AlphaForm::ColorMode::All;
    const int colorDefault = form.mode == AlphaForm::ColorMode::Default ? b.vars().ButtonFontColor : 111;
    const int filter = form.filterColor();
    b.records().takeBackup();

    const std::vector<QByteArray>& tabs = b.state().tabs();
    const int lastPage = std::min(form.last, int(tabs.size()) - 1);
    const int slotCount = b.vars().Columns * 20;
    const QByteArray path = b.files().BookmarkFileName();
    std::vector<BookmarkRecord> records;
    bool recentChanged = false;
    {
        // The whole command is one save. A slot that takes part, or is blank,
        // is free: the sorted records refill the free slots in order, and
        // the keys a free slot no longer needs go in one pass per page.
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        std::vector<std::vector<bool>> free(size_t(lastPage - form.first + 1), std::vector<bool>(slotCount + 1));
        for (int p = form.first; p <= lastPage; ++p) {
            for (int n = 1; n <= slotCount; ++n) {
                const BookmarkSlot slot(ini, tabs[p], BookmarkFile::SlotKey(n));
                const QByteArray url = slot.url();
                if (url.isEmpty()) {
                    free[size_t(p - form.first)][size_t(n)] = true;
                    continue;
                }
                if (!all && slot.color(colorDefault) != filter)
                    continue;
                free[size_t(p - form.first)][size_t(n)] = true;
                BookmarkRecord r;
                for (int f = 0; f < F::kFieldCount; ++f)
                    r.fields[f] = slot.get(F::Field(f));
                const QByteArray entry =
                    WindowModes::recentEntry(WindowModes::recentTitle(r[F::Title], url), tabs[p], slot.slotKey());
                if (b.MruList1().items().contains(entry)) {
                    b.MruList1().blank(entry);
                    recentChanged = true;
                }
                records.push_back(std::move(r));
            }
        }
        sortByTitle(records);
        size_t next = 0;
        for (int p = form.first; p <= lastPage; ++p) {
            QList<QByteArray> unused;
            for (int n = 1; n <= slotCount; ++n) {
                if (!free[size_t(p - form.first)][size_t(n)])
                    continue;
                const QByteArray key = BookmarkFile::SlotKey(n);
                const BookmarkRecord* r = next < records.size() ? &records[next++] : nullptr;
                BookmarkSlot slot(ini, tabs[p], key);
                for (int f = 0; f < F::kFieldCount; ++f) {
                    if (r && !r->fields[f].isEmpty())
                        slot.set(F::Field(f), r->fields[f]);
                    else
                        unused << BookmarkFile::FieldKey(key, F::Field(f));
                }
            }
            ini.DeleteKeys(tabs[p], unused);
        }
        if (recentChanged)
            b.MruList1().save(b.store());
        batch.commit();
    }
    if (recentChanged)
        b.showRecent();
    b.pages().LoadCurrent();
    b.ui().setCursor(ScreenCursor::Default);
}
