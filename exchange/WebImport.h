#pragma once

#include "HttpOptions.h"
#include "LinkImporter.h"
#include "WebLinks.h"

#include <QByteArray>
#include <QObject>
#include <vector>

class Board;
class Clipboard;
class HttpRequests;
struct HttpResult;

// "Import from Web Page" (the tool-bar's WebIn, the WebImport hotkey) and
// "Import from Clipboard": the web links of the page the browser shows,
// loaded again over HTTP, or of the clipboard's text, added to the current
// page's free slots.
class WebImport : public LinkImporter
{
public:
    WebImport(Board& board, HttpRequests& http, Clipboard& clipboard);
    ~WebImport() override;

    enum class Source { WebPage, Clipboard };
    void MWSImportClick(Source source);
    void ImportWebPage() override { MWSImportClick(Source::WebPage); }

    // Opened in the browser when it shows no page to import from.
    static constexpr const char* kStartAddress = "about:blank";
    static constexpr int kNoPageHelp = 54;
    // A page is read up to this size; the links of what came are used.
    static constexpr qint64 kMaxPageBytes = 8 * 1024 * 1024;
    static HttpOptions fetchOptions();

    // The links on the current page's free slots from slot 1 (80 slots, as
    // many as four columns show), then on new pages after it named as it is
    // with "+" (made unique), each from slot 1: the backup first, one save.
    // Returns how many were added; placed, when given, receives where each went.
    struct Placed
    {
        QByteArray page;
        QByteArray slot;
        QByteArray url;
        bool untitled = false; // titled with its site's name: the link came without text
    };
    int addLinks(const std::vector<WebLinks::Link>& links, std::vector<Placed>* placed = nullptr);
    // Pasted addresses without text that are titled by their pages at once
    // (as a dropped link is); the rest keep their sites' names.
    static constexpr int kMaxTitledByPage = 20;

private:
    void fromBrowser();
    void fromPage(const QByteArray& url, const QByteArray& title);
    void loaded(const QByteArray& url, const HttpResult& result);
    // skipped: the links left out for their address, said after the others are added.
    void found(const std::vector<WebLinks::Link>& links, int skipped, std::vector<Placed>* placed = nullptr);
    // The page gave no links because it could not be read: the title and a word why.
    void notFound(const QString& why);

    Board& m_board;
    HttpRequests& m_http;
    Clipboard& m_clipboard;
    QObject m_context; // answers for an importer that is gone are dropped
};
