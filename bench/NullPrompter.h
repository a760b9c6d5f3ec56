#pragma once

#include "AlphaForm.h"
#include "Prompter.h"

// Loading and saving never ask anything; a question here would be a fault
// worth seeing, so message() reports it on stderr. The name dialog gives the
// name a benchmark sets.
class NullPrompter : public Prompter
{
public:
    Answer message(const QString& text, Type, Buttons buttons, int) override
    {
        if (buttons == Buttons::YesNoHelp && yesToRange)
            return Answer::Yes;
        qWarning("unexpected message: %s", qPrintable(text));
        return Answer::Ok;
    }
    // The page-and-colour chooser takes every page, and its question is answered Yes.
    bool yesToRange = false;
    int choice(const ChoiceRequest&) override { return -1; }
    QString password(const PasswordRequest&) override { return {}; }
    int chooseItem(const QString&, const QString&, const QStringList&) override { return -1; }
    QString pageName(const QString&) override { return nextPageName; }
    QString nextPageName;
    QString openFile(const FileRequest&) override { return {}; }
    QString saveFile(const FileRequest&) override { return {}; }
    QString folder(const QString&, const QString&) override { return {}; }
    std::optional<int> color(int, QStringList&) override { return std::nullopt; }
    std::optional<FontChoice> font(const FontChoice&) override { return std::nullopt; }
    bool hotKeys(HotKeys&, const QString&) override { return false; }
    void tabForm(TabForm&) override {}
    void pingWindow(PingForm&) override {}
    void internetSearch(InternetSearch&) override {}
    void bookmarkDialog(BookmarkDialog&) override {}
    void chooseIcon(GlyphChooser&) override {}
    void userProfile(UserProfile&) override {}
    void alphaForm(AlphaForm& form) override
    {
        for (int i = 0; i < form.pages.size(); ++i)
            form.selected.insert(i);
        form.AlphaBtnClick();
    }
    void bookmarkCount(BookmarkCount&) override {}
    void pageNavigator(PageNavigator&) override {}
    PrintOutcome printLines(const QStringList&, const FontChoice&) override { return {}; }
    void mailDialog(MailDialog&) override {}
    void setCursor(ScreenCursor cursor) override { m_cursor = cursor; }
    ScreenCursor cursor() const override { return m_cursor; }
    void showHelp(int) override {}
    void showHelpSearch() override {}
    void beep() override {}
    void showProgress(Progress&) override {}

private:
    ScreenCursor m_cursor = ScreenCursor::Default;
};
