#pragma once

#include "ChoiceRequest.h"
#include "FileRequest.h"
#include "FontChoice.h"
#include "PasswordRequest.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct HotKeys;
class BookmarkDialog;
class AlphaForm;
class BookmarkCount;
class PageNavigator;
class GlyphChooser;
class MailDialog;
class UserProfile;
class Progress;
class PingForm;
class InternetSearch;
class TabForm;

// The screen cursor doubles as a mode flag: the hourglass means an operation
// runs and clicks on buttons and tabs are ignored; the drag cursors mean a
// picked-up bookmark or page waits for its target.
enum class ScreenCursor { Default, HandPoint, HourGlass, Drag, PickUp };

// Every question the behaviour classes ask the user goes through here. The
// window implements it with real dialogs; tests answer from a script.
class Prompter
{
public:
    enum class Type { Information, Warning, Error, Confirmation };
    enum class Buttons { Ok, OkHelp, YesNo, YesNoHelp };
    enum class Answer { Ok, Yes, No };

    virtual ~Prompter() = default;

    virtual Answer message(const QString& text, Type type = Type::Information, Buttons buttons = Buttons::Ok,
                           int helpContext = 0) = 0;
    // A Yes/No confirmation with a check box under its text ("Don't ask again
    // for this site"); ticked says whether it was ticked. Escape answers No.
    virtual Answer confirm(const QString& text, const QString& checkBox, bool& ticked)
    {
        ticked = false;
        return message(text, Type::Confirmation, Buttons::YesNo);
    }
    virtual int choice(const ChoiceRequest& request) = 0;
    // TPassForm: the password typed ("" after Cancel or Escape).
    virtual QString password(const PasswordRequest& request) = 0;
    // One of several items (files found, ...): its position, -1 when cancelled.
    virtual int chooseItem(const QString& title, const QString& text, const QStringList& items) = 0;
    // TNameForm: opens showing proposal; "" after Escape.
    virtual QString pageName(const QString& proposal) = 0;
    // File pickers: "" when cancelled.
    virtual QString openFile(const FileRequest& request) = 0;
    virtual QString saveFile(const FileRequest& request) = 0;
    virtual QString folder(const QString& title, const QString& startFolder) = 0;
    // Colour dialog with the 16 custom colours as lines "ColorA=FFFFFF"; they
    // come back as the dialog left them.
    virtual std::optional<int> color(int initial, QStringList& customColors) = 0;
    virtual std::optional<FontChoice> font(const FontChoice& initial) = 0;
    // TBConfigForm, modal: the dialog shows the model and calls its handlers.
    virtual void bookmarkDialog(BookmarkDialog& dialog) = 0;
    // TGlyphForm, modal, the same way.
    virtual void chooseIcon(GlyphChooser& chooser) = 0;
    // TAlphaForm, modal, the same way.
    virtual void alphaForm(AlphaForm& form) = 0;
    // TCountForm and TNavPage, modal.
    virtual void bookmarkCount(BookmarkCount& count) = 0;
    virtual void pageNavigator(PageNavigator& navigator) = 0;
    // The print dialog, then the lines on the chosen printer, each in font.
    struct PrintOutcome
    {
        bool printed = false;
        QString error; // why it failed; empty when printed or cancelled
    };
    virtual PrintOutcome printLines(const QStringList& lines, const FontChoice& font) = 0;
    // TUserSetup, modal, the same way.
    virtual void userProfile(UserProfile& profile) = 0;
    // TEForm, modal, the same way; it stays open while a message is sent, and
    // closes when the model asks for it.
    virtual void mailDialog(MailDialog& dialog) = 0;
    // THotKeyForm: shows and edits the six hotkeys; true after "Save and
    // Close". notice says why hotkeys cannot work here ("" when they can).
    virtual bool hotKeys(HotKeys& keys, const QString& notice) = 0;
    // TTabForm, modal: the page's options; the model records the command chosen.
    virtual void tabForm(TabForm& form) = 0;
    // TPForm ("Access Speed"), modal: it measures while it is open and closes
    // when the model asks for it.
    virtual void pingWindow(PingForm& form) = 0;
    // TSearchForm, modal; it closes when the model asks for it.
    virtual void internetSearch(InternetSearch& search) = 0;

    virtual void setCursor(ScreenCursor cursor) = 0;
    virtual ScreenCursor cursor() const = 0;

    virtual void showHelp(int context) = 0;
    virtual void showHelpSearch() = 0;

    virtual void beep() = 0;
    // Shows long work's progress with Cancel (not modal: it returns at once);
    // it goes when the progress finishes or is destroyed.
    virtual void showProgress(Progress& progress) = 0;
};
