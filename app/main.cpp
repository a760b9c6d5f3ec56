#include "CommandLine.h"
#include "LynkorApp.h"
#include "PathNames.h"
#include "ProgramDirLocator.h"

#include <QApplication>
#include <QMessageBox>
#include <QProxyStyle>

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
    LynkorApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lynkor"));
    QApplication::setStyle(new ToolTipStyle);

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
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
