#include "ScriptedPrompter.h"

#include "Progress.h"

#include <QTest>

QVariant ScriptedPrompter::closed()
{
    return QVariant::fromValue(Closed{});
}

ScriptedPrompter::~ScriptedPrompter()
{
    if (!answers.empty() && !QTest::currentTestFailed()) {
        const QByteArray what = QByteArray::number(answers.size()) + " scripted answers were never asked for";
        QTest::qFail(what.constData(), __FILE__, __LINE__);
    }
}

void ScriptedPrompter::unscripted()
{
    const Question& q = asked.last();
    const QByteArray what = "Nobody scripted an answer to the " + q.kind.toUtf8() + " \"" + q.text.toUtf8() + '"';
    QTest::qFail(what.constData(), __FILE__, __LINE__);
}

QVariant ScriptedPrompter::next()
{
    if (answers.empty()) {
        unscripted();
        return closed();
    }
    QVariant v = answers.front();
    answers.pop_front();
    return v;
}

QStringList ScriptedPrompter::messages() const
{
    QStringList out;
    for (const Question& q : asked)
        if (q.kind == QLatin1String("message"))
            out << q.text;
    return out;
}

Prompter::Answer ScriptedPrompter::message(const QString& text, Type type, Buttons buttons, int helpContext)
{
    asked.push_back({QStringLiteral("message"), text, type, buttons, helpContext, {}, {}, false});
    if (whileOpen) {
        const Question open = asked.last();
        whileOpen(open);
    }
    if (buttons == Buttons::Ok || buttons == Buttons::OkHelp)
        return Answer::Ok;
    const QVariant v = next();
    return v.metaType() == QMetaType::fromType<Answer>() ? v.value<Answer>() : Answer::No;
}

Prompter::Answer ScriptedPrompter::confirm(const QString& text, const QString& checkBox, bool& ticked)
{
    Question q{QStringLiteral("message"), text, Type::Confirmation, Buttons::YesNo, 0, {checkBox}, {}, false};
    asked.push_back(q);
    if (whileOpen)
        whileOpen(q);
    const QVariant v = next();
    ticked = v.metaType() == QMetaType::fromType<Ticked>();
    if (ticked)
        return v.value<Ticked>().answer;
    return v.metaType() == QMetaType::fromType<Answer>() ? v.value<Answer>() : Answer::No;
}

int ScriptedPrompter::choice(const ChoiceRequest& request)
{
    Question q;
    q.kind = QStringLiteral("choice");
    q.text = request.title;
    q.options = request.buttons;
    q.lines = request.lines;
    asked.push_back(q);
    const QVariant v = next();
    return v.metaType() == QMetaType::fromType<int>() ? v.toInt() : -1;
}

QString ScriptedPrompter::password(const PasswordRequest& request)
{
    Question q;
    q.kind = QStringLiteral("password");
    q.text = request.purpose;
    q.newPassword = request.newPassword;
    asked.push_back(q);
    const QVariant v = next();
    return v.metaType() == QMetaType::fromType<QString>() ? v.toString() : QString();
}

int ScriptedPrompter::chooseItem(const QString& title, const QString& text, const QStringList& items)
{
    Question q;
    q.kind = QStringLiteral("chooseItem");
    q.text = title;
    q.lines = {text};
    q.options = items;
    asked.push_back(q);
    const QVariant v = next();
    return v.metaType() == QMetaType::fromType<int>() ? v.toInt() : -1;
}

QString ScriptedPrompter::pageName(const QString& proposal)
{
    Question q;
    q.kind = QStringLiteral("pageName");
    q.text = proposal;
    asked.push_back(q);
    const QVariant v = next();
    return v.metaType() == QMetaType::fromType<QString>() ? v.toString() : QString();
}

QString ScriptedPrompter::fileQuestion(const QString& kind, const FileRequest& request)
{
    Question q;
    q.kind = kind;
    q.text = request.title;
    q.options = {request.filter, request.startFolder};
    q.helpContext = request.helpContext;
    q.confirmOverwrite = request.confirmOverwrite;
    asked.push_back(q);
    const QVariant v = next();
    return v.metaType() == QMetaType::fromType<QString>() ? v.toString() : QString();
}

QString ScriptedPrompter::openFile(const FileRequest& request)
{
    return fileQuestion(QStringLiteral("openFile"), request);
}

QString ScriptedPrompter::saveFile(const FileRequest& request)
{
    return fileQuestion(QStringLiteral("saveFile"), request);
}

QString ScriptedPrompter::folder(const QString& title, const QString& startFolder)
{
    Question q;
    q.kind = QStringLiteral("folder");
    q.text = title;
    q.options = {startFolder};
    asked.push_back(q);
    const QVariant v = next();
    return v.metaType() == QMetaType::fromType<QString>() ? v.toString() : QString();
}

std::optional<int> ScriptedPrompter::color(int initial, QStringList& customColors)
{
    Question q;
    q.kind = QStringLiteral("color");
    q.text = QString::number(initial);
    q.lines = customColors;
    asked.push_back(q);
    const QVariant v = next();
    if (v.metaType() != QMetaType::fromType<int>())
        return std::nullopt;
    return v.toInt();
}

std::optional<FontChoice> ScriptedPrompter::font(const FontChoice& initial)
{
    Question q;
    q.kind = QStringLiteral("font");
    q.text = initial.name;
    asked.push_back(q);
    const QVariant v = next();
    if (v.metaType() != QMetaType::fromType<FontChoice>())
        return std::nullopt;
    return v.value<FontChoice>();
}

bool ScriptedPrompter::hotKeys(HotKeys& keys, const QString& notice)
{
    Question q;
    q.kind = QStringLiteral("hotKeys");
    q.text = notice;
    asked.push_back(q);
    const QVariant v = next();
    if (v.metaType() != QMetaType::fromType<HotKeys>())
        return false;
    keys = v.value<HotKeys>();
    return true;
}

template <typename Model>
void ScriptedPrompter::runScript(const char* kind, std::deque<std::function<void(Model&)>>& scripts, Model& model)
{
    Question q;
    q.kind = QString::fromLatin1(kind);
    asked.push_back(q);
    if (scripts.empty()) {
        unscripted();
        return;
    }
    auto script = std::move(scripts.front());
    scripts.pop_front();
    script(model);
}

void ScriptedPrompter::bookmarkDialog(BookmarkDialog& dialog)
{
    runScript("bookmarkDialog", bookmarkDialogs, dialog);
}

void ScriptedPrompter::chooseIcon(GlyphChooser& chooser)
{
    runScript("chooseIcon", iconChoosers, chooser);
}

void ScriptedPrompter::userProfile(UserProfile& profile)
{
    runScript("userProfile", userProfiles, profile);
}

void ScriptedPrompter::mailDialog(MailDialog& dialog)
{
    runScript("mailDialog", mailDialogs, dialog);
}

void ScriptedPrompter::tabForm(TabForm& form)
{
    runScript("tabForm", tabForms, form);
}

void ScriptedPrompter::pingWindow(PingForm& form)
{
    runScript("pingWindow", pingWindows, form);
}

void ScriptedPrompter::internetSearch(InternetSearch& search)
{
    runScript("internetSearch", internetSearches, search);
}

void ScriptedPrompter::alphaForm(AlphaForm& form)
{
    runScript("alphaForm", alphaForms, form);
}

void ScriptedPrompter::bookmarkCount(BookmarkCount& count)
{
    runScript("bookmarkCount", bookmarkCounts, count);
}

void ScriptedPrompter::pageNavigator(PageNavigator& navigator)
{
    runScript("pageNavigator", pageNavigators, navigator);
}

Prompter::PrintOutcome ScriptedPrompter::printLines(const QStringList& lines, const FontChoice& font)
{
    Question q;
    q.kind = QStringLiteral("print");
    asked.push_back(q);
    if (printOutcome.printed)
        printed = lines;
    printFont = font;
    return printOutcome;
}

void ScriptedPrompter::showProgress(Progress& progress)
{
    Question q;
    q.kind = QStringLiteral("progress");
    q.text = progress.caption();
    q.lines = QStringList{progress.text()};
    asked << q;
    shownProgress = &progress;
    if (cancelProgress)
        progress.cancel();
}
