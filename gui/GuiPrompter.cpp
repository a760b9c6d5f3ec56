#include "GuiPrompter.h"

#include "AlphaFormWidget.h"
#include "BookmarkDialogWidget.h"
#include "ChoiceDialog.h"
#include "CountDialog.h"
#include "FontDialog.h"
#include "GlyphChooserWidget.h"
#include "HelpWindow.h"
#include "HotKeyDialog.h"
#include "LineDialog.h"
#include "LinePrinter.h"
#include "MailDialogWidget.h"
#include "PageNavigatorDialog.h"
#include "PasswordDialog.h"
#include "Progress.h"
#include "UserProfileWidget.h"
#include "WinColor.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>

GuiPrompter::GuiPrompter(QWidget* parent) : m_parent(parent) {}

int GuiPrompter::run(QDialog& dialog)
{
    // Window-modal: the help window, a window of its own, stays usable while a
    // dialog waits for an answer.
    if (m_parent)
        dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec();
}

QWidget* GuiPrompter::dialogParent() const
{
    // A dialog asked for from within another one stacks above it and takes
    // the keyboard from it.
    if (QWidget* open = QApplication::activeModalWidget())
        return open;
    return m_parent;
}

GuiPrompter::~GuiPrompter()
{
    delete m_help;
}

Prompter::Answer GuiPrompter::message(const QString& text, Type type, Buttons buttons, int helpContext)
{
    return ask(text, type, buttons, helpContext, {}, nullptr);
}

Prompter::Answer GuiPrompter::confirm(const QString& text, const QString& checkBox, bool& ticked)
{
    return ask(text, Type::Confirmation, Buttons::YesNo, 0, checkBox, &ticked);
}

Prompter::Answer GuiPrompter::ask(const QString& text, Type type, Buttons buttons, int helpContext,
                                  const QString& checkBox, bool* ticked)
{
    QMessageBox box(dialogParent());
    if (ticked) {
        *ticked = false;
        // The box owns it.
        box.setCheckBox(new QCheckBox(checkBox));
    }
    switch (type) {
    case Type::Information:
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QStringLiteral("Information"));
        break;
    case Type::Warning:
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(QStringLiteral("Warning"));
        break;
    case Type::Error:
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QStringLiteral("Error"));
        break;
    case Type::Confirmation:
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QStringLiteral("Confirm"));
        break;
    }
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    QAbstractButton* help = nullptr;
    if (buttons == Buttons::Ok || buttons == Buttons::OkHelp) {
        box.setStandardButtons(QMessageBox::Ok);
        if (buttons == Buttons::OkHelp)
            help = box.addButton(QMessageBox::Help);
    } else {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        if (buttons == Buttons::YesNoHelp)
            help = box.addButton(QMessageBox::Help);
    }
    // Help shows the help page and leaves the question open.
    for (;;) {
        run(box);
        if (help && box.clickedButton() == help) {
            showHelp(helpContext);
            continue;
        }
        break;
    }
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    if (ticked)
        *ticked = box.checkBox()->isChecked();
    if (buttons == Buttons::Ok || buttons == Buttons::OkHelp)
        return Answer::Ok;
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

int GuiPrompter::choice(const ChoiceRequest& request)
{
    ChoiceDialog dialog(request, dialogParent());
    run(dialog);
    return dialog.pressed();
}

QString GuiPrompter::password(const PasswordRequest& request)
{
    PasswordDialog dialog(request, dialogParent());
    run(dialog);
    return dialog.password();
}

int GuiPrompter::chooseItem(const QString& title, const QString& text, const QStringList& items)
{
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(text);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    if (run(dialog) != QDialog::Accepted)
        return -1;
    return items.indexOf(dialog.textValue());
}

QString GuiPrompter::pageName(const QString& proposal)
{
    LineDialog dialog(QStringLiteral("Enter New Page Name"), QStringLiteral("TabName"), QStringLiteral("Save Name"),
                      dialogParent());
    dialog.setObjectName(QStringLiteral("TNameForm"));
    dialog.setText(proposal);
    run(dialog);
    return dialog.text();
}

QString GuiPrompter::qtFilter(const QString& windowsFilter)
{
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (QString p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) {
                patterns << QStringLiteral("*");
                continue;
            }
            for (const QString& v : {p, p.toLower(), p.toUpper()})
                if (!patterns.contains(v))
                    patterns << v;
        }
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}

QString GuiPrompter::pickFile(const FileRequest& r, QFileDialog::AcceptMode mode)
{
    QString start = r.startFolder;
    if (!r.fileName.isEmpty())
        start += QLatin1Char('/') + r.fileName;
    QFileDialog dialog(dialogParent(), r.title, start, qtFilter(r.filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
    if (!r.fileName.isEmpty())
        dialog.selectFile(r.fileName);
    if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

QString GuiPrompter::openFile(const FileRequest& r)
{
    return pickFile(r, QFileDialog::AcceptOpen);
}

QString GuiPrompter::saveFile(const FileRequest& r)
{
    return pickFile(r, QFileDialog::AcceptSave);
}

QString GuiPrompter::folder(const QString& title, const QString& startFolder)
{
    QFileDialog dialog(dialogParent(), title, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

std::optional<int> GuiPrompter::color(int initial, QStringList& customColors)
{
    for (int i = 0; i < customColors.size() && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, WinColor::fromHex(customColors[i].section(QLatin1Char('='), 1)));
    QColorDialog dialog(WinColor::toQColor(initial), dialogParent());
    const bool ok = run(dialog) == QDialog::Accepted;
    for (int i = 0; i < customColors.size() && i < QColorDialog::customCount(); ++i)
        customColors[i] = customColors[i].section(QLatin1Char('='), 0, 0) + QLatin1Char('=') +
                          WinColor::toHex(QColorDialog::customColor(i));
    if (!ok)
        return std::nullopt;
    return WinColor::fromQColor(dialog.selectedColor());
}

std::optional<FontChoice> GuiPrompter::font(const FontChoice& initial)
{
    FontDialog dialog(initial, dialogParent());
    if (run(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

void GuiPrompter::bookmarkDialog(BookmarkDialog& dialog)
{
    BookmarkDialogWidget widget(dialog, *m_icons, dialogParent());
    run(widget);
}

void GuiPrompter::chooseIcon(GlyphChooser& chooser)
{
    GlyphChooserWidget widget(chooser, *m_icons, dialogParent());
    run(widget);
}

void GuiPrompter::alphaForm(AlphaForm& form)
{
    AlphaFormWidget widget(form, dialogParent());
    run(widget);
}

void GuiPrompter::bookmarkCount(BookmarkCount& count)
{
    CountDialog dialog(count, dialogParent());
    run(dialog);
}

void GuiPrompter::pageNavigator(PageNavigator& navigator)
{
    PageNavigatorDialog dialog(navigator, dialogParent());
    run(dialog);
}

Prompter::PrintOutcome GuiPrompter::printLines(const QStringList& lines, const FontChoice& font)
{
    QPrinter printer;
    QPrintDialog dialog(&printer, dialogParent());
    if (run(dialog) != QDialog::Accepted)
        return {};
    QFont f(font.name);
    if (font.size > 0)
        f.setPointSize(font.size);
    PrintOutcome outcome;
    outcome.printed = LinePrinter::print(printer, lines, f, WinColor::toQColor(font.color), &outcome.error);
    return outcome;
}

void GuiPrompter::userProfile(UserProfile& profile)
{
    UserProfileWidget widget(profile, dialogParent());
    run(widget);
}

void GuiPrompter::mailDialog(MailDialog& dialog)
{
    MailDialogWidget widget(dialog, dialogParent());
    run(widget);
}

bool GuiPrompter::hotKeys(HotKeys& keys, const QString& notice)
{
    HotKeyDialog dialog(keys, notice, dialogParent());
    if (run(dialog) != QDialog::Accepted)
        return false;
    keys = dialog.keys();
    return true;
}

void GuiPrompter::setCursor(ScreenCursor cursor)
{
    m_cursor = cursor;
    if (m_overridden) {
        QApplication::restoreOverrideCursor();
        m_overridden = false;
    }
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (cursor) {
    case ScreenCursor::Default:
    case ScreenCursor::HandPoint:
        return;
    case ScreenCursor::HourGlass:
        shape = Qt::WaitCursor;
        break;
    case ScreenCursor::Drag:
        shape = Qt::DragMoveCursor;
        break;
    case ScreenCursor::PickUp:
        shape = Qt::ClosedHandCursor;
        break;
    }
    QApplication::setOverrideCursor(QCursor(shape));
    m_overridden = true;
}

HelpWindow* GuiPrompter::helpWindow()
{
    if (!m_help)
        m_help = new HelpWindow;
    return m_help;
}

void GuiPrompter::showHelp(int context)
{
    helpWindow()->showContext(context);
}

void GuiPrompter::showHelpSearch()
{
    helpWindow()->showSearch();
}

void GuiPrompter::beep()
{
    QApplication::beep();
}

void GuiPrompter::showProgress(Progress& progress)
{
    auto* dialog = new QProgressDialog(progress.text(), QStringLiteral("Cancel"), 0, 100, m_parent);
    dialog->setObjectName(QStringLiteral("ProgressForm"));
    dialog->setWindowTitle(progress.caption());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Not modal: a modal one would run the event loop inside every setValue.
    dialog->setWindowModality(Qt::NonModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // Quick work never shows it.
    dialog->setMinimumDuration(500);
    dialog->setValue(0);
    QPointer<Progress> watched(&progress);
    QObject::connect(&progress, &Progress::changed, dialog, [dialog, watched] {
        if (!watched)
            return;
        // Work that cannot say how far it got shows a busy gauge.
        if (watched->percent() < 0)
            dialog->setRange(0, 0);
        else
            dialog->setValue(watched->percent());
        if (watched->cancelled())
            dialog->setLabelText(QStringLiteral("Cancelling ..."));
    });
    QObject::connect(&progress, &Progress::finished, dialog, &QWidget::close);
    QObject::connect(&progress, &QObject::destroyed, dialog, &QWidget::close);
    QObject::connect(dialog, &QProgressDialog::canceled, &progress, &Progress::cancel);
}
