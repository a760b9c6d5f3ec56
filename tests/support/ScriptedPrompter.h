#pragma once

#include "HotKeys.h"
#include "Prompter.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <deque>
#include <functional>

// Answers the board's questions from a script and records every question, so a
// test can check the exact text that was asked.
class ScriptedPrompter : public Prompter
{
public:
    struct Question
    {
        QString kind; // "message", "choice", "password", "pageName", "openFile", ...
        QString text; // message text, dialog title, or proposal
        Type type = Type::Information;
        Buttons buttons = Buttons::Ok;
        int helpContext = 0;
        QStringList options; // choice buttons, or file filter
        QStringList lines;
        bool newPassword = false;      // a password being set, typed twice
        bool confirmOverwrite = false; // a save picker that asks itself before replacing
    };

    // The user closed the dialog (Escape, Cancel, the window's close box).
    struct Closed
    {
    };
    // An answer to confirm() given with its check box ticked.
    struct Ticked
    {
        Answer answer = Answer::No;
    };
    static QVariant closed();
    ~ScriptedPrompter() override;

    // Answers, taken in order: Answer, int (choice position), QString (text
    // dialogs and file pickers), int (colour), FontChoice, HotKeys, or
    // closed(). A question that needs an answer when none is left fails the
    // running test: every question a test causes is one it expects.
    std::deque<QVariant> answers;
    QList<Question> asked;
    // Runs while a message is open, before it is answered: what the event
    // loop of a real dialog lets happen meanwhile (it may wait for events).
    std::function<void(const Question&)> whileOpen;
    QList<int> helpShown; // context numbers; -1 = the search window

    void answer(const QVariant& v) { answers.push_back(v); }
    QStringList messages() const;

    Answer message(const QString& text, Type type, Buttons buttons, int helpContext) override;
    // Recorded as a message whose options hold the check box's text; answered
    // with an Answer (box left clear) or a Ticked.
    Answer confirm(const QString& text, const QString& checkBox, bool& ticked) override;
    int choice(const ChoiceRequest& request) override;
    QString password(const PasswordRequest& request) override;
    // Answered with an int (the position), -1 or closed() to cancel.
    int chooseItem(const QString& title, const QString& text, const QStringList& items) override;
    QString pageName(const QString& proposal) override;
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    QString folder(const QString& title, const QString& startFolder) override;
    std::optional<int> color(int initial, QStringList& customColors) override;
    std::optional<FontChoice> font(const FontChoice& initial) override;
    // Answered with a HotKeys value (saved) or closed().
    bool hotKeys(HotKeys& keys, const QString& notice) override;
    // The dialogs run the next script on their model, as a user would; a
    // script that does nothing closes the dialog unchanged.
    void bookmarkDialog(BookmarkDialog& dialog) override;
    void chooseIcon(GlyphChooser& chooser) override;
    std::deque<std::function<void(BookmarkDialog&)>> bookmarkDialogs;
    std::deque<std::function<void(GlyphChooser&)>> iconChoosers;
    void userProfile(UserProfile& profile) override;
    void alphaForm(AlphaForm& form) override;
    std::deque<std::function<void(AlphaForm&)>> alphaForms;
    void bookmarkCount(BookmarkCount& count) override;
    std::deque<std::function<void(BookmarkCount&)>> bookmarkCounts;
    void pageNavigator(PageNavigator& navigator) override;
    std::deque<std::function<void(PageNavigator&)>> pageNavigators;
    // Printing is answered with printOutcome; the lines go to printed.
    PrintOutcome printLines(const QStringList& lines, const FontChoice& font) override;
    PrintOutcome printOutcome{true, {}};
    QStringList printed;
    FontChoice printFont;
    void mailDialog(MailDialog& dialog) override;
    std::deque<std::function<void(UserProfile&)>> userProfiles;
    // A mail dialog script runs while the dialog is open; it may wait for a
    // message to go out before it returns (the dialog then closes).
    std::deque<std::function<void(MailDialog&)>> mailDialogs;
    void tabForm(TabForm& form) override;
    std::deque<std::function<void(TabForm&)>> tabForms;
    // A ping script runs while the window is open; it may wait for the
    // measurements to end before it returns.
    void pingWindow(PingForm& form) override;
    std::deque<std::function<void(PingForm&)>> pingWindows;
    // A search script runs while the window is open.
    void internetSearch(InternetSearch& search) override;
    std::deque<std::function<void(InternetSearch&)>> internetSearches;
    void setCursor(ScreenCursor cursor) override { m_cursor = cursor; }
    ScreenCursor cursor() const override { return m_cursor; }
    void showHelp(int context) override { helpShown << context; }
    void showHelpSearch() override { helpShown << -1; }
    void beep() override { ++beeps; }
    // Recorded as a question of kind "progress" (its caption and text); with
    // cancelProgress set, Cancel is pressed at once.
    void showProgress(Progress& progress) override;
    bool cancelProgress = false;
    // The progress shown last, while its work lasts.
    QPointer<Progress> shownProgress;

    int beeps = 0;

private:
    // The next answer; fails the test when none is left.
    QVariant next();
    void unscripted();
    // The dialogs' scripts: the next one runs on the model; none left fails the test.
    template <typename Model>
    void runScript(const char* kind, std::deque<std::function<void(Model&)>>& scripts, Model& model);
    QString fileQuestion(const QString& kind, const FileRequest& request);
    ScreenCursor m_cursor = ScreenCursor::Default;
};

Q_DECLARE_METATYPE(Prompter::Answer)
Q_DECLARE_METATYPE(FontChoice)
Q_DECLARE_METATYPE(HotKeys)
Q_DECLARE_METATYPE(ScriptedPrompter::Closed)
Q_DECLARE_METATYPE(ScriptedPrompter::Ticked)
