#include "CommandLine.h"
#include "LynkorApp.h"
#include "PathNames.h"
#include "ProgramDirLocator.h"
#include "StartOptions.h"
#include "Version.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QProxyStyle>
#include <cstdio>

namespace {

// Tool tips show at once and stay up for two minutes.
class ToolTipStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay || hint == SH_ToolTip_FallAsleepDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The last resort: a failure that reached the event loop past every handler
// is shown, and the program runs on instead of ending.
class LynkorApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(nullptr, QStringLiteral("Error"), QString::fromLocal8Bit(e.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, QStringLiteral("Error"), QStringLiteral("An unexpected error occurred."));
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    // --help and --version answer before anything starts: no display is
    // needed and a running Lynkor is not disturbed.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const StartOptions options = StartOptions::parse(raw);
    switch (options.action) {
    case StartOptions::Action::Help:
        std::fputs(StartOptions::usage().toLocal8Bit().constData(), stdout);
        return 0;
    case StartOptions::Action::Version:
        std::fputs("Lynkor " LYNKOR_VERSION "\n", stdout);
        return 0;
    case StartOptions::Action::Refuse:
        std::fprintf(stderr, "lynkor: unknown option %s\n%s", options.refused.toLocal8Bit().constData(),
                     StartOptions::usage().toLocal8Bit().constData());
        return 2;
    case StartOptions::Action::Run:
        break;
    }

    LynkorApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lynkor"));
    QApplication::setApplicationVersion(QStringLiteral(LYNKOR_VERSION));
    // The desktop entry that started us, and the window's class it names.
    QGuiApplication::setDesktopFileName(QStringLiteral("lynkor"));
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/app/lynkor-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    QApplication::setStyle(new ToolTipStyle);

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    arguments.removeAll(QStringLiteral("--"));
    const QByteArray programDir =
        ProgramDirLocator::fromEnvironment(PathNames::fromQt(QApplication::applicationDirPath()),
                                           CommandLine::parse(arguments).stem)
            .locate();
    if (programDir.isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Error"),
                              QStringLiteral("Cannot create the Lynkor data folder."));
        return 1;
    }

    LynkorApp lynkor(arguments, programDir);
    if (!lynkor.claimInstance())
        return 0;
    lynkor.start();
    if (lynkor.terminating())
        return 0;
    return app.exec();
}
