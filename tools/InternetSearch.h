#pragma once

#include "NetSearcher.h"
#include "TabStyle.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

class Board;

// TSearchForm ("Internet Search  [ ... ]"): a topic sent to several search
// sites at once. A site is an address cut around a topic: what comes before
// it and what comes after. Sites are learnt from the browser (search there,
// type the same topic here, Add) and kept in search-site files (".ISE",
// section Sites). The window shows this model and calls its handlers; the
// search addresses are launched once it has closed.
class InternetSearch : public QObject
{
    Q_OBJECT
public:
    explicit InternetSearch(Board& board);
    ~InternetSearch() override;

    struct Site
    {
        QByteArray name;
        QByteArray prefix;
        QByteArray suffix;
    };

    // Shown state.
    QString caption;
    QByteArray file;    // the search-site file in use
    QStringList sites;  // SiteList, sorted
    QSet<int> selected; // rows selected in SiteList
    QString selectedLabel = QStringLiteral("0 Selected");
    QString topic;         // SearchText1
    QString siteName;      // SiteName1
    bool adding = false;   // AddButton1 reads "SAVE"
    bool renaming = false; // RenameButton1 reads "Save Name"
    bool addEnabled = true;
    bool deleteEnabled = false;
    bool renameEnabled = false;
    bool fileButtonsEnabled = true; // New, Load, Merge, Save File As
    TabStyle colors;

    // The search addresses joined by ";;", left for the launch.
    QByteArray result;

    QString addCaption() const { return adding ? QStringLiteral("SAVE") : QStringLiteral("Add"); }
    QString renameCaption() const { return renaming ? QStringLiteral("Save Name") : QStringLiteral("Rename"); }

    static constexpr int kHelpContext = 72;
    static constexpr const char* kSection = "Sites";

    void FormActivate();
    void SiteListClick(const QSet<int>& rows);
    void SearchButton1Click();
    void AddButton1Click();
    void RenameButton1Click();
    void DeleteButton1Click();
    void NewButton1Click();
    void LoadButton1Click();
    void MergeButton1Click();
    void SaveButton1Click();
    void HelpButton1Click();
    // Enter in the topic field, and in the site-name field.
    void SearchText1Enter();
    void SiteName1Enter();
    void FormClose();

    // The topic as it goes into an address: blanks become "+", and what
    // would end or change the address (&, #, ?, %, +, ;, non-ASCII ...) is
    // percent-encoded (UTF-8).
    static QByteArray encodeTopic(const QString& topic);
    // The sites of a search-site file, in key order ("1" .. Count).
    static QList<Site> readSites(Board& board, const QByteArray& path);
    // The sites a first search-site file starts with.
    static const QList<Site>& startingSites();

signals:
    void changed();
    void closeRequested();

private:
    // Runs a handler; a failure is said and the list shows the file as it is.
    void guarded(const std::function<void()>& run);
    void loadList();
    // Writes the section Sites anew: Count, the names in list order, and
    // each site's prefix and suffix; false (said) when it cannot be saved.
    bool writeSites(const QList<Site>& sitesInOrder);
    QList<Site> listedSites() const;
    QList<int> selectedRows() const;
    void setCurrentFile(const QByteArray& path);
    void showCaption();
    // The file dialog of New File / Save File As (newName), or of Load and
    // Merge; "" when cancelled.
    QByteArray askFile(bool newName);
    void refreshSelection();
    void saveNewSite();
    void saveRename();
    QByteArray defaultFile() const;

    Board& m_board;
    QByteArray m_pageUrl; // the browser's address while adding
    int m_renameRow = -1;
    std::shared_ptr<bool> m_alive;
};

// "Search the Internet": the window, then the addresses it left.
class WebSearchCommand : public NetSearcher
{
public:
    explicit WebSearchCommand(Board& board) : m_board(board) {}
    void SearchNetButtonClick() override;

private:
    Board& m_board;
};
