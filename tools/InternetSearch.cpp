#include "InternetSearch.h"

#include "AnsiText.h"
#include "Board.h"
#include "CommandError.h"
#include "FileError.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "IniStore.h"
#include "PathNames.h"
#include "SettingsFile.h"

#include <QUrl>
#include <algorithm>

namespace {

const QString kFilter = QStringLiteral("Search Engine Files|*.ISE");

bool lessNoCase(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

// A site's name is a key of the file: an "=" would end the key, and a
// leading "[" or ";" would make the line a section or a comment.
QByteArray keyName(const QString& typed)
{
    QByteArray name = AnsiText::fromUi(typed.simplified());
    name.replace('=', '-');
    while (!name.isEmpty() && (name.startsWith('[') || name.startsWith(';')))
        name.remove(0, 1);
    return name.trimmed();
}

} // namespace

InternetSearch::InternetSearch(Board& board) : m_board(board), m_alive(std::make_shared<bool>(true)) {}

InternetSearch::~InternetSearch()
{
    *m_alive = false;
    m_board.vars().NetSearchBusy = false;
}

const QList<InternetSearch::Site>& InternetSearch::startingSites()
{
    static const QList<Site> sites{
        {"DuckDuckGo", "https://duckduckgo.com/?q=", ""},
        {"Wikipedia", "https://en.wikipedia.org/w/index.php?search=", ""},
        {"OpenStreetMap", "https://www.openstreetmap.org/search?query=", ""},
        {"Debian Packages", "https://packages.debian.org/search?keywords=", "&searchon=names&suite=all&section=all"},
        {"GitHub", "https://github.com/search?q=", "&type=repositories"},
    };
    return sites;
}

QByteArray InternetSearch::encodeTopic(const QString& topic)
{
    QByteArray encoded = QUrl::toPercentEncoding(topic, " ");
    encoded.replace(' ', '+');
    return encoded;
}

void InternetSearch::guarded(const std::function<void()>& run)
{
    try {
        run();
    } catch (const CommandError& e) {
        m_board.ui().message(e.text(), Prompter::Type::Error, Prompter::Buttons::Ok);
        loadList();
    } catch (const std::exception& e) {
        m_board.ui().message(QString::fromLocal8Bit(e.what()), Prompter::Type::Error, Prompter::Buttons::Ok);
        loadList();
    }
    emit changed();
}

QByteArray InternetSearch::defaultFile() const
{
    Board& b = m_board;
    const QByteArray named = b.files().read(SettingsFile::SearchName);
    if (!named.isEmpty())
        return named;
    // The bookmark file's own search sites, beside it, when it has them.
    const QByteArray beside = PathNames::stem(b.files().BookmarkFileName()) + ".ISE";
    if (PathNames::fileExists(beside))
        return beside;
    return b.files().ProgramDir() + "Disk.ISE";
}

QList<InternetSearch::Site> InternetSearch::readSites(Board& board, const QByteArray& path)
{
    QList<Site> out;
    if (!PathNames::fileExists(path))
        return out;
    const TIniFile32 ini(board.store(), path);
    const int count = ini.ReadInteger(kSection, "Count", 0);
    for (int n = 1; n <= count; ++n) {
        const QByteArray name = ini.ReadString(kSection, QByteArray::number(n), {});
        if (name.isEmpty())
            continue;
        out.push_back({name, ini.ReadString(kSection, name + "1", {}), ini.ReadString(kSection, name + "2", {})});
    }
    return out;
}

void InternetSearch::loadList()
{
    sites.clear();
    for (const Site& site : readSites(m_board, file))
        sites << AnsiText::toUi(site.name);
    std::stable_sort(sites.begin(), sites.end(), lessNoCase);
    selected.clear();
    refreshSelection();
}

QList<InternetSearch::Site> InternetSearch::listedSites() const
{
    // The file's sites in the list's order.
    const QList<Site> stored = readSites(m_board, file);
    QList<Site> out;
    for (const QString& shown : sites) {
        const QByteArray name = AnsiText::fromUi(shown);
        auto it = std::find_if(stored.begin(), stored.end(), [&](const Site& s) { return s.name == name; });
        out.push_back(it != stored.end() ? *it : Site{name, {}, {}});
    }
    return out;
}

bool InternetSearch::writeSites(const QList<Site>& given)
{
    Board& b = m_board;
    // The list is sorted by name; its order is the file's order.
    QList<Site> sitesInOrder = given;
    std::stable_sort(sitesInOrder.begin(), sitesInOrder.end(), [](const Site& x, const Site& y) {
        return lessNoCase(AnsiText::toUi(x.name), AnsiText::toUi(y.name));
    });
    try {
        IniBatch batch(b.store(), file);
        TIniFile32 ini(b.store(), file);
        ini.EraseSection(kSection);
        ini.WriteInteger(kSection, "Count", static_cast<int>(sitesInOrder.size()));
        for (int i = 0; i < sitesInOrder.size(); ++i)
            ini.WriteString(kSection, QByteArray::number(i + 1), sitesInOrder[i].name);
        for (const Site& site : sitesInOrder) {
            ini.WriteString(kSection, site.name + "1", site.prefix);
            if (!site.suffix.isEmpty())
                ini.WriteString(kSection, site.name + "2", site.suffix);
        }
        batch.commit();
    } catch (const FileError& e) {
        b.ui().message(QStringLiteral("The search sites could not be saved in \"%1\": %2\nThe list stays as it was.")
                           .arg(PathNames::toQt(file), e.text()),
                       Prompter::Type::Warning, Prompter::Buttons::Ok);
        loadList();
        return false;
    }
    loadList();
    return true;
}

QList<int> InternetSearch::selectedRows() const
{
    QList<int> rows(selected.begin(), selected.end());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void InternetSearch::setCurrentFile(const QByteArray& path)
{
    file = path;
    m_board.files().write(SettingsFile::SearchName, file);
    showCaption();
}

void InternetSearch::showCaption()
{
    QByteArray shown = PathNames::fileName(file);
    shown.chop(4);
    caption = QStringLiteral("Internet Search  [ ") + PathNames::toQt(shown) + QStringLiteral(" ]");
}

QByteArray InternetSearch::askFile(bool newName)
{
    const FileRequest request{
        newName ? QStringLiteral("Enter New File Name") : QStringLiteral("Select Search Engine File."), kFilter,
        PathNames::toQt(m_board.files().ProgramDir()), newName ? QStringLiteral("ISE") : QString(), 0};
    return PathNames::fromQt(newName ? m_board.ui().saveFile(request) : m_board.ui().openFile(request));
}

void InternetSearch::refreshSelection()
{
    selectedLabel = QString::number(selected.size()) + QStringLiteral(" Selected");
    const bool any = !selected.isEmpty();
    deleteEnabled = any && !adding && !renaming;
    renameEnabled = any && !adding;
    addEnabled = !any;
    fileButtonsEnabled = !any && !adding && !renaming;
}

void InternetSearch::FormActivate()
{
    Board& b = m_board;
    result.clear();
    adding = false;
    renaming = false;
    siteName.clear();
    b.vars().NetSearchBusy = false;
    colors = b.state().tabStyle();
    guarded([&] {
        file = defaultFile();
        // The first search-site file starts with a few general sites.
        if (!PathNames::fileExists(file))
            writeSites(startingSites());
        showCaption();
        loadList();
    });
}

void InternetSearch::SiteListClick(const QSet<int>& rows)
{
    selected.clear();
    for (int row : rows)
        if (row >= 0 && row < sites.size())
            selected.insert(row);
    refreshSelection();
    emit changed();
}

void InternetSearch::SearchButton1Click()
{
    Board& b = m_board;
    b.vars().NetSearchBusy = true;
    if (topic.isEmpty()) {
        b.ui().message(QStringLiteral("You must have text in the Enter Search Topic field."));
        return;
    }
    const QByteArray encoded = encodeTopic(topic);
    const QList<Site> listed = listedSites();
    QList<QByteArray> addresses;
    for (int row : selectedRows())
        addresses << listed[row].prefix + encoded + listed[row].suffix;
    if (addresses.isEmpty()) {
        b.ui().message(QStringLiteral("Select a search site from the list."));
        return;
    }
    result = addresses.join(";;");
    b.vars().NetSearchBusy = false;
    emit closeRequested();
}

void InternetSearch::AddButton1Click()
{
    Board& b = m_board;
    if (adding) {
        guarded([&] { saveNewSite(); });
        return;
    }
    BookmarkLauncher* launcher = b.launcher();
    if (!launcher)
        return;
    std::weak_ptr<bool> alive = m_alive;
    launcher->CurrentPage([this, alive](bool ok, const QByteArray& title, const QByteArray& url) {
        if (alive.expired() || !ok)
            return;
        m_pageUrl = url;
        siteName = AnsiText::toUi(title);
        adding = true;
        refreshSelection();
        emit changed();
    });
}

void InternetSearch::saveNewSite()
{
    Board& b = m_board;
    adding = false;
    refreshSelection();
    const QByteArray name = keyName(siteName);
    if (topic.isEmpty() || name.isEmpty()) {
        b.ui().message(QStringLiteral("You must have a site name in the New Site Name field as well as text in the "
                                      "Enter Search Topic field."));
        return;
    }
    // The browser shows the topic encoded; older sites wrote blanks as "%20".
    const QByteArray encoded = encodeTopic(topic);
    QList<QByteArray> forms{encoded, QByteArray(encoded).replace('+', "%20"),
                            AnsiText::fromUi(QString(topic).replace(QLatin1Char(' '), QLatin1Char('+')))};
    qsizetype at = -1;
    QByteArray found;
    for (const QByteArray& form : forms) {
        at = m_pageUrl.indexOf(form);
        if (at >= 0) {
            found = form;
            break;
        }
    }
    if (at < 0) {
        b.ui().message(QStringLiteral("Search Topic does not match!"));
        return;
    }
    const Site site{name, m_pageUrl.left(at), m_pageUrl.mid(at + found.size())};
    QList<Site> list = listedSites();
    // A name already listed takes the new address instead of a second entry.
    auto same = std::find_if(list.begin(), list.end(), [&](const Site& s) { return s.name == name; });
    if (same != list.end())
        *same = site;
    else
        list.push_back(site);
    siteName.clear();
    m_pageUrl.clear();
    writeSites(list);
}

void InternetSearch::RenameButton1Click()
{
    Board& b = m_board;
    if (renaming) {
        guarded([&] { saveRename(); });
        return;
    }
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    if (rows.size() > 1)
        b.ui().message(QStringLiteral("Only 1 site at a time can be renamed."));
    m_renameRow = rows.first();
    siteName = sites[m_renameRow];
    renaming = true;
    refreshSelection();
    emit changed();
}

void InternetSearch::saveRename()
{
    renaming = false;
    const QByteArray name = keyName(siteName);
    siteName.clear();
    QList<Site> list = listedSites();
    if (m_renameRow < 0 || m_renameRow >= list.size() || name.isEmpty()) {
        refreshSelection();
        return;
    }
    // Renaming onto another site's name would merge two sites into one key.
    for (int i = 0; i < list.size(); ++i)
        if (i != m_renameRow && list[i].name == name) {
            m_board.ui().message(
                QStringLiteral("There is already a search site named \"%1\".").arg(AnsiText::toUi(name)));
            refreshSelection();
            return;
        }
    list[m_renameRow].name = name;
    m_renameRow = -1;
    writeSites(list);
}

void InternetSearch::DeleteButton1Click()
{
    Board& b = m_board;
    if (selected.isEmpty())
        return;
    if (b.ui().message(QStringLiteral("Are you sure you want to delete search site?"), Prompter::Type::Information,
                       Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
        return;
    guarded([&] {
        QList<Site> list = listedSites();
        const QList<int> rows = selectedRows();
        for (auto it = rows.rbegin(); it != rows.rend(); ++it)
            list.removeAt(*it);
        writeSites(list);
    });
}

void InternetSearch::NewButton1Click()
{
    Board& b = m_board;
    const QByteArray chosen = askFile(true);
    if (chosen.isEmpty())
        return;
    guarded([&] {
        const QByteArray before = file;
        file = chosen;
        const QList<Site> existing = readSites(b, file);
        if (!writeSites(existing)) {
            file = before;
            loadList();
            return;
        }
        setCurrentFile(file);
    });
}

void InternetSearch::LoadButton1Click()
{
    const QByteArray chosen = askFile(false);
    guarded([&] {
        if (!chosen.isEmpty())
            file = chosen;
        setCurrentFile(file);
        loadList();
    });
}

void InternetSearch::MergeButton1Click()
{
    const QByteArray chosen = askFile(false);
    if (chosen.isEmpty())
        return;
    guarded([&] {
        QList<Site> list = listedSites();
        for (const Site& site : readSites(m_board, chosen)) {
            // A site of the same name stays as this file has it.
            if (std::none_of(list.begin(), list.end(), [&](const Site& s) { return s.name == site.name; }))
                list.push_back(site);
        }
        writeSites(list);
    });
}

void InternetSearch::SaveButton1Click()
{
    const QByteArray to = askFile(true);
    if (to.isEmpty())
        return;
    guarded([&] {
        if (to != file) {
            QByteArray bytes = IniStore::readBytes(file);
            if (bytes.isEmpty())
                bytes = "[Sites]\r\nCount=0\r\n";
            IniStore::writeAtomically(to, bytes, PathNames::fileExists(file) ? file : QByteArray());
        }
        setCurrentFile(to);
        loadList();
    });
}

void InternetSearch::HelpButton1Click()
{
    m_board.ui().showHelp(kHelpContext);
}

void InternetSearch::SearchText1Enter()
{
    if (renaming)
        guarded([&] { saveRename(); });
    SearchButton1Click();
}

void InternetSearch::SiteName1Enter()
{
    // Enter after typing a new site's name saves it.
    if (adding) {
        guarded([&] { saveNewSite(); });
        return;
    }
    SearchText1Enter();
}

void InternetSearch::FormClose()
{
    selectedLabel = QStringLiteral("0 Selected");
    m_board.vars().NetSearchBusy = false;
}

void WebSearchCommand::SearchNetButtonClick()
{
    Board& b = m_board;
    QByteArray addresses;
    {
        InternetSearch search(b);
        search.FormActivate();
        b.ui().internetSearch(search);
        search.FormClose();
        addresses = search.result;
    }
    if (!addresses.isEmpty() && b.launcher())
        b.launcher()->Launch({}, addresses);
}
