#pragma once

#include "Prompter.h"

#include <QFileDialog>
#include <QPointer>

class QWidget;
class HelpWindow;

// The real dialogs behind the Prompter seam.
class GuiPrompter : public Prompter
{
public:
    explicit GuiPrompter(QWidget* parent = nullptr);
    ~GuiPrompter() override;
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer message(const QString& text, Type type, Buttons buttons, int helpContext) override;
    Answer confirm(const QString& text, const QString& checkBox, bool& ticked) override;
    int choice(const ChoiceRequest& request) override;
    QString password(const PasswordRequest& request) override;
    int chooseItem(const QString& title, const QString& text, const QStringList& items) override;
    QString pageName(const QString& proposal) override;
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    QString folder(const QString& title, const QString& startFolder) override;
    std::optional<int> color(int initial, QStringList& customColors) override;
    std::optional<FontChoice> font(const FontChoice& initial) override;
    bool hotKeys(HotKeys& keys, const QString& notice) override;
    void tabForm(TabForm& form) override;
    void pingWindow(PingForm& form) override;
    void internetSearch(InternetSearch& search) override;
    void bookmarkDialog(BookmarkDialog& dialog) override;
    void chooseIcon(GlyphChooser& chooser) override;
    void userProfile(UserProfile& profile) override;
    void alphaForm(AlphaForm& form) override;
    void bookmarkCount(BookmarkCount& count) override;
    void pageNavigator(PageNavigator& navigator) override;
    PrintOutcome printLines(const QStringList& lines, const FontChoice& font) override;
    void mailDialog(MailDialog& dialog) override;
    void setIcons(class IconLibrary* icons) { m_icons = icons; }
    void setCursor(ScreenCursor cursor) override;
    ScreenCursor cursor() const override { return m_cursor; }
    void showHelp(int context) override;
    void showHelpSearch() override;
    void beep() override;
    void showProgress(Progress& progress) override;

    HelpWindow* helpWindow();
    // "Lynkor Files|*.LYK|All Files|*.*" as Qt file dialog filters, each
    // pattern in both letter cases.
    static QString qtFilter(const QString& windowsFilter);

private:
    int run(class QDialog& dialog);
    // A message box; with ticked, a check box under the text says it back.
    Answer ask(const QString& text, Type type, Buttons buttons, int helpContext, const QString& checkBox, bool* ticked);
    // The parent of a dialog: the dialog open now, else the main window.
    QWidget* dialogParent() const;
    QString pickFile(const FileRequest& request, QFileDialog::AcceptMode mode);

    QPointer<QWidget> m_parent;
    HelpWindow* m_help = nullptr;
    class IconLibrary* m_icons = nullptr;
    ScreenCursor m_cursor = ScreenCursor::Default;
    bool m_overridden = false;
};
