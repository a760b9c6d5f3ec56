#include "Alphabetize.h"

#include "AlphaForm.h"
#include "AnsiText.h"
#include "Board.h"
#include "BookmarkFile.h"
#include "IniBatch.h"
#include "IniDocument.h"
#include "IniFiles32.h"
#include "PageDisplay.h"
#include "RecordOps.h"
#include "WindowModes.h"

#include <QCollator>
#include <algorithm>
#include <numeric>
#include <optional>

using F = BookmarkRecord;

namespace {

// A field line ("01N=...") whose value is empty once trimmed: such a key
// reads as missing, so it does not move with its bookmark.
bool blankValue(const QByteArray& line)
{
    for (qsizetype i = 4; i < line.size(); ++i)
        if (uchar(line[i]) > ' ')
            return false;
    return true;
}

} // namespace

std::vector<size_t> Alphabetize::sortOrder(size_t count, const std::function<const QByteArray&(size_t)>& title,
                                           const std::function<QByteArray(size_t, int)>& field)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Folded first: without ICU the collator's sort keys keep letter case.
    auto text = [](const QByteArray& bytes) { return AnsiText::toUi(bytes).toLower(); };
    // Titles decide nearly always; the other fields only between equal titles.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(count);
    for (size_t i = 0; i < count; ++i)
        keys.push_back(collator.sortKey(text(title(i))));
    // Addresses next, made once a first pair of equal titles needs them.
    std::vector<std::optional<QCollatorSortKey>> urls(count);
    auto url = [&](size_t i) -> const QCollatorSortKey& {
        if (!urls[i])
            urls[i] = collator.sortKey(text(field(i, F::Url)));
        return *urls[i];
    };
    std::vector<size_t> order(count);
    std::iota(order.begin(), order.end(), size_t(0));
    // Equal records keep their order: the position decides last.
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (const int c = keys[a].compare(keys[b]); c != 0)
            return c < 0;
        // Whole records are compared field by field: no field's text can end
        // up in another field, whatever it holds.
        if (const int c = url(a).compare(url(b)); c != 0)
            return c < 0;
        for (int f = F::Color; f < F::kFieldCount; ++f) {
            const QByteArray x = field(a, f);
            const QByteArray y = field(b, f);
            if (x == y)
                continue;
            if (const int c = collator.compare(text(x), text(y)); c != 0)
                return c < 0;
        }
        return a < b;
    });
    return order;
}

void Alphabetize::AlphaButtonClick()
{
    Board& b = m_board;
    AlphaForm form(b);
    if (!form.ask(QStringLiteral("Alphabetize the \"%1\" Page").arg(AnsiText::toUi(b.state().currentPage())),
                  QStringLiteral("Alphabetize"),
                  QStringLiteral("You did not select a page, or pages, to Alphabetize.")))
        return;
    if (form.last != form.first &&
        b.ui().message(QStringLiteral("Are you sure you want to alphabetize Page %1 through Page %2\nThis will "
                                      "alphabetize all bookmarks within this range together.")
                           .arg(form.first + 1)
                           .arg(form.last + 1),
                       Prompter::Type::Information, Prompter::Buttons::YesNoHelp, 48) != Prompter::Answer::Yes)
        return;

    b.ui().setCursor(ScreenCursor::HourGlass);
    const bool all = form.allColors();
    const int colorDefault = form.colorDefault();
    const int filter = form.filterColor();
    b.records().takeBackup();

    const std::vector<QByteArray>& tabs = b.state().tabs();
    const int lastPage = std::min(form.last, int(tabs.size()) - 1);
    const int slotCount = b.vars().Columns * 20;
    const QByteArray path = b.files().BookmarkFileName();
    bool recentChanged = false;
    {
        // The whole command is one save. Each page is taken apart into its
        // slots' lines once; a bookmark moves as its own lines with the slot
        // number changed, so every value comes back byte for byte.
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        struct Page
        {
            std::vector<QByteArray> others;                        // lines of no slot field
            std::vector<std::array<qsizetype, F::kFieldCount>> at; // line of each field, -1 none
            std::vector<QByteArray> lines;
            std::vector<bool> free;
        };
        struct Moving
        {
            std::array<QByteArray, F::kFieldCount> lines;
            QByteArray title;
        };
        std::vector<Page> pages(size_t(lastPage - form.first + 1));
        std::vector<Moving> moving;
        for (int p = form.first; p <= lastPage; ++p) {
            Page& page = pages[size_t(p - form.first)];
            page.lines = ini.SectionLines(tabs[p]);
            page.at.assign(size_t(slotCount) + 1, {});
            for (auto& a : page.at)
                a.fill(-1);
            page.free.assign(size_t(slotCount) + 1, false);
            for (qsizetype i = 0; i < qsizetype(page.lines.size()); ++i) {
                const QByteArray& line = page.lines[size_t(i)];
                int n = 0;
                int f = -1;
                if (line.size() >= 4 && line[3] == '=' && isdigit(uchar(line[0])) && isdigit(uchar(line[1]))) {
                    n = (line[0] - '0') * 10 + (line[1] - '0');
                    const auto letter = std::find(F::kLetters.begin(), F::kLetters.end(), line[2]);
                    f = letter == F::kLetters.end() ? -1 : int(letter - F::kLetters.begin());
                }
                if (n < 1 || n > slotCount || f < 0) {
                    const QByteArray key = IniDocument::lineKey(line);
                    // A slot field written another way ("01N = x") is read
                    // as the field: the page keeps its bookmarks' places.
                    if (key.size() == 3 && isdigit(uchar(key[0])) && isdigit(uchar(key[1])) &&
                        std::find(F::kLetters.begin(), F::kLetters.end(), key[2]) != F::kLetters.end()) {
                        page.lines.clear();
                        break;
                    }
                    page.others.push_back(line);
                    continue;
                }
                auto& slot = page.at[size_t(n)];
                if (slot[size_t(f)] < 0)
                    slot[size_t(f)] = i;
            }
            if (page.lines.empty() && !ini.SectionLines(tabs[p]).empty()) {
                pages[size_t(p - form.first)] = Page{};
                continue; // left as it is
            }
            auto value = [&page](int n, int f) {
                const qsizetype i = page.at[size_t(n)][size_t(f)];
                return i < 0 ? QByteArray() : IniDocument::trimmed(page.lines[size_t(i)].mid(4));
            };
            for (int n = 1; n <= slotCount; ++n) {
                const qsizetype urlLine = page.at[size_t(n)][F::Url];
                const bool filled = urlLine >= 0 && !blankValue(page.lines[size_t(urlLine)]);
                if (filled && !all) {
                    bool ok = false;
                    const int color = TIniFile32::toInteger(value(n, F::Color), &ok);
                    if ((ok ? color : colorDefault) != filter)
                        continue;
                }
                page.free[size_t(n)] = true;
                if (!filled)
                    continue;
                Moving m;
                for (int f = 0; f < F::kFieldCount; ++f) {
                    const qsizetype i = page.at[size_t(n)][size_t(f)];
                    if (i >= 0 && !blankValue(page.lines[size_t(i)]))
                        m.lines[size_t(f)] = page.lines[size_t(i)];
                }
                m.title = value(n, F::Title);
                if (!b.MruList1().items().isEmpty()) {
                    const QByteArray entry = WindowModes::recentEntry(
                        WindowModes::recentTitle(m.title, value(n, F::Url)), tabs[p], BookmarkFile::SlotKey(n));
                    if (b.MruList1().items().contains(entry)) {
                        b.MruList1().blank(entry);
                        recentChanged = true;
                    }
                }
                moving.push_back(std::move(m));
            }
        }
        std::vector<size_t> order = sortOrder(
            moving.size(), [&](size_t i) -> const QByteArray& { return moving[i].title; },
            [&](size_t i, int f) { return IniDocument::trimmed(moving[i].lines[size_t(f)].mid(4)); });
        size_t next = 0;
        for (int p = form.first; p <= lastPage; ++p) {
            Page& page = pages[size_t(p - form.first)];
            if (page.free.empty())
                continue;
            // Lines of no slot, then the kept slots' lines, then the slots
            // refilled, in slot order.
            std::vector<QByteArray> body = std::move(page.others);
            for (int n = 1; n <= slotCount; ++n)
                if (!page.free[size_t(n)])
                    for (qsizetype i : page.at[size_t(n)])
                        if (i >= 0)
                            body.push_back(page.lines[size_t(i)]);
            for (int n = 1; n <= slotCount && next < order.size(); ++n) {
                if (!page.free[size_t(n)])
                    continue;
                const QByteArray key = BookmarkFile::SlotKey(n);
                for (QByteArray line : moving[order[next]].lines) {
                    if (line.isEmpty())
                        continue;
                    if (line[0] != key[0] || line[1] != key[1]) {
                        line[0] = key[0];
                        line[1] = key[1];
                    }
                    body.push_back(std::move(line));
                }
                ++next;
            }
            ini.SetSectionLines(tabs[p], std::move(body));
        }
        if (recentChanged)
            b.MruList1().save(b.store());
        // The page is shown from the lines about to be saved, not read again.
        b.pages().LoadCurrent();
        try {
            batch.commit();
        } catch (...) {
            b.pages().LoadCurrent();
            throw;
        }
    }
    if (recentChanged)
        b.showRecent();
    b.ui().setCursor(ScreenCursor::Default);
}
