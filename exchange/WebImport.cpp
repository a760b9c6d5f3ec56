#include "WebImport.h"

#include "AnsiText.h"
#include "Board.h"
#include "BoardState.h"
#include "BookmarkAddress.h"
#include "BookmarkFile.h"
#include "BookmarkSlot.h"
#include "Clipboard.h"
#include "HttpRequests.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "PageCommands.h"
#include "PageDisplay.h"
#include "PathNames.h"
#include "RecordOps.h"

#include <QFile>
#include <QUrl>

namespace {

// A page takes 80 links, as four columns show, whatever its column count.
constexpr int kSlots = BookmarkFile::kMaxSlots;

} // namespace

WebImport::WebImport(Board& board, HttpRequests& http, Clipboard& clipboard)
    : m_board(board), m_http(http), m_clipboard(clipboard)
{
    m_board.setLinkImporter(this);
}

WebImport::~WebImport()
{
    if (m_board.linkImporter() == this)
        m_board.setLinkImporter(nullptr);
}

HttpOptions WebImport::fetchOptions()
{
    HttpOptions options;
    options.userAgent = "Mozilla/3.0 (compatible)";
    options.accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    options.cookie = "Lynkor";
    options.timeoutMs = 15000;
    options.maxBodyBytes = kMaxPageBytes;
    return options;
}

void WebImport::MWSImportClick(Source source)
{
    if (source == Source::WebPage) {
        fromBrowser();
        return;
    }
    const QString html = m_clipboard.html();
    int skipped = 0;
    const std::vector<WebLinks::Link> links =
        html.isEmpty() ? WebLinks::fromText(m_clipboard.text()) : WebLinks::fromHtml(html.toUtf8(), {}, &skipped);
    std::vector<Placed> placed;
    found(links, skipped, &placed);
    // What was taken is taken once; a clipboard that gave nothing is left alone.
    if (!links.empty())
        m_clipboard.clear();
    int titled = 0;
    for (const Placed& p : placed)
        if (p.untitled && titled++ < kMaxTitledByPage)
            m_board.AutoIcon("B" + p.slot, p.url, p.page, p.slot, IconFetcher::Title::FromPage);
}

void WebImport::fromBrowser()
{
    Board& b = m_board;
    BookmarkLauncher* launcher = b.launcher();
    if (!launcher)
        return;
    const QByteArray file = b.files().BookmarkFileName();
    launcher->CurrentPage(
        [this, file](bool ok, const QByteArray& title, const QByteArray& url) {
            if (m_board.files().BookmarkFileName() != file)
                return;
            if (!ok) {
                // A browser to go to a page with.
                m_board.launcher()->Launch({}, kStartAddress);
                return;
            }
            fromPage(url, title);
        },
        {QStringLiteral("You need to have a browser open to a web page!"), kNoPageHelp});
}

void WebImport::fromPage(const QByteArray& url, const QByteArray& title)
{
    Board& b = m_board;
    // A page of the user's own disk is read from there.
    if (url.left(7).toLower() == "file://") {
        QFile page(QUrl(AnsiText::toUi(url)).toLocalFile());
        if (!page.open(QIODevice::ReadOnly)) {
            notFound(QStringLiteral("No Bookmarks Found: %1 could not be read.").arg(page.fileName()));
            return;
        }
        int skipped = 0;
        const std::vector<WebLinks::Link> links = WebLinks::fromHtml(page.read(kMaxPageBytes), url, &skipped);
        found(links, skipped);
        return;
    }
    if (!WebLinks::isWebAddress(AnsiText::toUi(url))) {
        b.ui().message(QStringLiteral("You need to have a browser open to a web page!"), Prompter::Type::Warning,
                       Prompter::Buttons::OkHelp, kNoPageHelp);
        return;
    }
    b.state().setTitle(QStringLiteral("Loading Bookmarks from Web Page ") + AnsiText::toUi(title));
    auto wait = b.waitForAnswer();
    m_http.request(url, fetchOptions(), &m_context,
                   [this, url, wait](const HttpResult& result) { m_board.deliver([&] { loaded(url, result); }); });
}

void WebImport::loaded(const QByteArray& url, const HttpResult& result)
{
    if (!result.ok || result.statusCode >= 400) {
        const QString why = !result.ok ? result.error : QStringLiteral("the server answered %1").arg(result.statusCode);
        notFound(QStringLiteral("No Bookmarks Found: %1 could not be loaded (%2).").arg(AnsiText::toUi(url), why));
        return;
    }
    // Relative links are relative to where the page ended up.
    int skipped = 0;
    const std::vector<WebLinks::Link> links =
        WebLinks::fromHtml(result.body, result.finalUrl.isEmpty() ? url : result.finalUrl, &skipped);
    found(links, skipped);
}

void WebImport::notFound(const QString& why)
{
    m_board.state().setTitle(QStringLiteral("No Bookmarks Found"));
    m_board.ui().message(why, Prompter::Type::Warning, Prompter::Buttons::Ok);
}

void WebImport::found(const std::vector<WebLinks::Link>& links, int skipped, std::vector<Placed>* placed)
{
    if (links.empty()) {
        m_board.state().setTitle(QStringLiteral("No Bookmarks Found"));
    } else {
        addLinks(links, placed);
        m_board.FormCaption();
    }
    // Said once the import is done, never from inside the page's answer.
    if (skipped > 0)
        m_board.whenIdle([this, skipped] {
            m_board.ui().message(
                BookmarkAddress::skippedText(skipped, QStringLiteral("link"), BookmarkAddress::Origin::Web),
                Prompter::Type::Information, Prompter::Buttons::Ok);
        });
}

int WebImport::addLinks(const std::vector<WebLinks::Link>& links, std::vector<Placed>* placed)
{
    Board& b = m_board;
    std::vector<QByteArray> tabs = b.state().tabs();
    const int index = b.state().tabIndex();
    if (links.empty() || index < 0 || index >= int(tabs.size()))
        return 0;
    b.records().takeBackup();
    const QByteArray path = b.files().BookmarkFileName();
    QByteArray page = tabs[size_t(index)];
    int continuation = 0;
    int slot = 1;
    {
        IniBatch batch(b.store(), path);
        TIniFile32 ini(b.store(), path);
        // New pages follow the page among the pages the file lists now.
        tabs = b.pageCommands().ReadTabs(ini);
        const auto listed = std::find(tabs.begin(), tabs.end(), page);
        const int after = listed == tabs.end() ? int(tabs.size()) - 1 : int(listed - tabs.begin());
        for (const WebLinks::Link& link : links) {
            // Bookmarks already there keep their slots; a full page goes on
            // on a new page after it.
            for (;;) {
                while (slot <= kSlots && !BookmarkSlot(ini, page, BookmarkFile::SlotKey(slot)).url().isEmpty())
                    ++slot;
                if (slot <= kSlots)
                    break;
                ++continuation;
                page = BookmarkFile::DupePageName(page + "+", tabs);
                tabs.insert(tabs.begin() + after + continuation, page);
                slot = 1;
            }
            BookmarkSlot target(ini, page, BookmarkFile::SlotKey(slot));
            target.setTitle(AnsiText::oneLine(link.title));
            target.setUrl(AnsiText::oneLine(link.url));
            if (placed)
                placed->push_back({page, BookmarkFile::SlotKey(slot), AnsiText::oneLine(link.url),
                                   link.title == WebLinks::hostTitle(link.url)});
            ++slot;
        }
        if (continuation > 0)
            b.pageCommands().SaveTabs(ini, tabs, after);
        batch.commit();
    }
    b.pages().LoadCurrent();
    return int(links.size());
}
