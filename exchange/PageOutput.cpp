#include "PageOutput.h"

#include "AlphaForm.h"
#include "AnsiText.h"
#include "Board.h"
#include "BookmarkAddress.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "CommandError.h"
#include "HtmlText.h"
#include "IniFiles32.h"
#include "IniStore.h"
#include "Mailer.h"
#include "PathNames.h"

#include <functional>

namespace {

QString actionWord(PageOutput::Mode mode)
{
    switch (mode) {
    case PageOutput::Mode::Print:
        return QStringLiteral("Print");
    case PageOutput::Mode::Html:
        return QStringLiteral("Create HTML");
    case PageOutput::Mode::Email:
        return QStringLiteral("EMail");
    }
    return {};
}

QString captionFor(PageOutput::Mode mode, const QString& page)
{
    switch (mode) {
    case PageOutput::Mode::Print:
        return QStringLiteral("Print the \"%1\" Page").arg(page);
    case PageOutput::Mode::Html:
        return QStringLiteral("Create HTML from the \"%1\" Page").arg(page);
    case PageOutput::Mode::Email:
        return QStringLiteral("EMail the \"%1\" Page").arg(page);
    }
    return {};
}

// The address and title of each bookmark of a page that the output lists,
// in slot order: filled, no file or program, of the colour chosen.
void forListed(const TIniFile32& ini, const QByteArray& page, const PageOutput::Range& range,
               const std::function<void(const QByteArray& url, const QByteArray& title)>& take)
{
    for (int n = 1; n <= range.slotCount; ++n) {
        const BookmarkSlot slot(ini, page, BookmarkFile::SlotKey(n));
        const QByteArray url = slot.url();
        if (url.isEmpty() || slot.launchAs() == "Yes")
            continue;
        if (!range.allColors && slot.color(range.colorDefault) != range.filter)
            continue;
        take(url, slot.title());
    }
}

} // namespace

QStringList PageOutput::Lines(const TIniFile32& ini, const std::vector<QByteArray>& pages, const Range& range,
                              Mode mode)
{
    QStringList lines;
    const bool html = mode == Mode::Html;
    auto text = [html](const QByteArray& bytes) {
        const QString t = AnsiText::toUi(bytes);
        return html ? HtmlText::escape(t) : t;
    };
    const QString bullet = QStringLiteral("\u2022");
    if (html) {
        lines << QStringLiteral("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">");
        lines << QStringLiteral("<A Name=\"Links\"></A>|");
        QString index;
        for (int p = range.first; p <= range.last; ++p)
            index += QStringLiteral("| <A HREF=\"#%1\">%1</A> |").arg(text(pages[p]));
        lines << index;
    }
    for (int p = range.first; p <= range.last; ++p) {
        const QString name = text(pages[p]);
        if (mode == Mode::Print)
            lines << name;
        else if (html)
            lines << QStringLiteral("<BR><BR><A HREF=\"#Links\">%1 </A><A Name=\"%2\">%2</A><A HREF=\"#Links\"> %1</A>"
                                    "<BR><BR>")
                         .arg(bullet, name);
        forListed(ini, pages[p], range, [&](const QByteArray& url, const QByteArray& stored) {
            const QString title = text(stored);
            switch (mode) {
            case Mode::Print:
                lines << QStringLiteral("        %1    %2").arg(title, text(url));
                break;
            case Mode::Html:
                // An address that would run or show what it holds in the
                // reader's browser is no link: the title stands alone.
                if (BookmarkAddress::mayBecomeBookmark(url, BookmarkAddress::Origin::Own))
                    lines << QStringLiteral("<A HREF=\"%1\">%2</A><BR>").arg(text(url), title);
                else
                    lines << title + QStringLiteral("<BR>");
                break;
            case Mode::Email:
                lines << QStringLiteral("%1 > %2 <").arg(text(url), title);
                break;
            }
        });
    }
    return lines;
}

QList<MailedBookmark> PageOutput::Mailed(const TIniFile32& ini, const std::vector<QByteArray>& pages,
                                         const Range& range)
{
    QList<MailedBookmark> out;
    for (int p = range.first; p <= range.last; ++p)
        forListed(ini, pages[p], range, [&out](const QByteArray& url, const QByteArray& title) {
            out << MailedBookmark{url, title};
        });
    return out;
}

void PageOutput::PrintClick(Mode mode)
{
    Board& b = m_board;
    AlphaForm form(b);
    if (!form.ask(captionFor(mode, AnsiText::toUi(b.state().currentPage())), actionWord(mode),
                  QStringLiteral("You did not select a page, or pages, of bookmarks to %1.").arg(actionWord(mode))))
        return;
    if (form.last != form.first &&
        b.ui().message(QStringLiteral("Are you sure you want to %1 Page %2 through Page %3")
                           .arg(actionWord(mode))
                           .arg(form.first + 1)
                           .arg(form.last + 1),
                       Prompter::Type::Confirmation, Prompter::Buttons::YesNoHelp, 48) != Prompter::Answer::Yes)
        return;

    b.ui().setCursor(ScreenCursor::HourGlass);
    Range range;
    range.first = form.first;
    range.last = std::min(form.last, int(b.state().tabs().size()) - 1);
    range.allColors = form.allColors();
    range.colorDefault = form.colorDefault();
    range.filter = form.filterColor();
    range.slotCount = b.vars().Columns * 20;
    QStringList lines;
    QList<MailedBookmark> mailed;
    {
        const TIniFile32 ini(b.store(), b.files().BookmarkFileName());
        if (mode == Mode::Email)
            mailed = Mailed(ini, b.state().tabs(), range);
        else
            lines = Lines(ini, b.state().tabs(), range, mode);
    }
    b.ui().setCursor(ScreenCursor::Default);

    switch (mode) {
    case Mode::Print: {
        const FontChoice font{AnsiText::toUi(b.vars().ButtonFontName), b.vars().ButtonFontSize,
                              b.vars().ButtonFontColor};
        const Prompter::PrintOutcome outcome = b.ui().printLines(lines, font);
        if (!outcome.error.isEmpty())
            b.ui().message(QStringLiteral("The bookmarks were not printed: %1").arg(outcome.error),
                           Prompter::Type::Error, Prompter::Buttons::Ok);
        break;
    }
    case Mode::Html: {
        FileRequest request;
        request.title = QStringLiteral("Save Links to HTML File");
        request.filter = QStringLiteral("HTM, HTML, SHTML|*.HTM;*.HTML;*.SHTML|All Files|*.*");
        request.startFolder = PathNames::toQt(b.files().ProgramDir());
        request.helpContext = kHtmlHelpContext;
        request.confirmOverwrite = true;
        const QString chosen = b.ui().saveFile(request);
        if (chosen.isEmpty())
            break;
        const QByteArray bytes = lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
        try {
            IniStore::writeAtomically(PathNames::fromQt(chosen), bytes);
        } catch (const CommandError& e) {
            b.ui().message(QStringLiteral("The HTML file was not saved: %1").arg(e.text()), Prompter::Type::Error,
                           Prompter::Buttons::Ok);
        }
        break;
    }
    case Mode::Email:
        if (b.mailer())
            b.mailer()->MailBookmarks("All", mailed);
        break;
    }
}
