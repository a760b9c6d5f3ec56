#include "LynkorApp.h"

#include "AccessSpeed.h"
#include "Board.h"
#include "BoardState.h"
#include "BrowserBridge.h"
#include "BrowserConnect.h"
#include "CurlSmtp.h"
#include "DevToolsConversation.h"
#include "Exchange.h"
#include "ExtensionConversation.h"
#include "GuiPrompter.h"
#include "HttpClient.h"
#include "IconLibrary.h"
#include "IniStore.h"
#include "InternetSearch.h"
#include "Launcher.h"
#include "LinkChecker.h"
#include "LinuxDesktop.h"
#include "MainWindow.h"
#include "NameLookup.h"
#include "NetDetector.h"
#include "ProcessStarter.h"
#include "ProgramFiles.h"
#include "SingleInstance.h"
#include "SystemClipboard.h"
#include "SystemEcho.h"
#include "TermSignals.h"
#include "WebIcon.h"
#include "X11Hotkeys.h"
#include "XdgAutostart.h"
#include "XdgScreenSaver.h"

#include "SettingsFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSessionManager>

struct LynkorApp::Parts
{
    QStringList arguments;
    QByteArray programDir;
    IniStore store;
    ProgramFiles files{store};
    BoardState state;
    GuiPrompter guiPrompter;
    Prompter* prompter = nullptr;
    LinuxDesktop desktop;
    X11Hotkeys hotkeys;
    XdgAutostart autostart = XdgAutostart::forThisProgram();
    XdgScreenSaver screenSaver;
    std::unique_ptr<Board> board;
    std::unique_ptr<DevToolsConversation> conversation;
    BrowserBridge bridge;
    std::unique_ptr<ExtensionConversation> extension;
    std::unique_ptr<LinkedConversation> linked;
    std::unique_ptr<BrowserConnect> browserConnect;
    ProcessStarter starter;
    std::unique_ptr<Launcher> launcher;
    HttpClient http;
    NameLookup lookup;
    std::unique_ptr<WebIcon> webIcon;
    SystemClipboard clipboard;
    CurlSmtp smtp;
    std::unique_ptr<Exchange> exchange;
    std::unique_ptr<LinkChecker> linkChecker;
    std::unique_ptr<WebSearchCommand> webSearch;
    SystemEcho echo;
    std::unique_ptr<PingTest> pingTest;
    std::unique_ptr<NetDetector> net;
    std::unique_ptr<IconLibrary> icons;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<TermSignals> term;
    bool terminating = false;
};

LynkorApp::LynkorApp(QStringList arguments, QByteArray programDir, Prompter* prompter) : m(std::make_unique<Parts>())
{
    m->arguments = std::move(arguments);
    m->programDir = std::move(programDir);
    m->prompter = prompter ? prompter : &m->guiPrompter;
    m->files.setProgramDir(m->programDir);
    m->board = std::make_unique<Board>(m->files, m->state, *m->prompter, m->desktop,
                                       Platform{&m->hotkeys, &m->autostart, &m->screenSaver});
    m->conversation = std::make_unique<DevToolsConversation>(SettingsFile::DevToolsPort.defaultNumber(),
                                                             QFile::decodeName(m->programDir + "browser-profile"));
    // The browser link: Lynkor's extension when a browser with it is
    // connected, else the DevTools endpoint.
    m->extension = std::make_unique<ExtensionConversation>(m->bridge);
    m->linked = std::make_unique<LinkedConversation>(*m->extension, *m->conversation);
    m->launcher = std::make_unique<Launcher>(*m->board, *m->linked, m->starter);
    m->board->setLauncher(m->launcher.get());
    m->webIcon = std::make_unique<WebIcon>(*m->board, m->http, m->lookup);
    m->board->setIconFetcher(m->webIcon.get());
    m->exchange = std::make_unique<Exchange>(*m->board, m->clipboard, m->smtp, m->http);
    m->webSearch = std::make_unique<WebSearchCommand>(*m->board);
    m->board->setNetSearcher(m->webSearch.get());
    m->pingTest = std::make_unique<PingTest>(*m->board, m->echo, m->lookup);
    m->board->setSiteSpeed(m->pingTest.get());
}

LynkorApp::~LynkorApp() = default;

bool LynkorApp::claimInstance()
{
    m->instance = std::make_unique<SingleInstance>(SingleInstance::keyFor(m->programDir));
    // The running Lynkor has a working folder of its own: a relative path
    // goes to it from this one. A bare name stays, a file of the data folder.
    QStringList handed;
    for (const QString& argument : std::as_const(m->arguments))
        handed << (argument.contains(QLatin1Char('/')) && QDir::isRelativePath(argument)
                       ? QDir::current().absoluteFilePath(argument)
                       : argument);
    return m->instance->start(handed);
}

void LynkorApp::start()
{
    m->net = std::make_unique<NetDetector>();
    m->board->NetDetectorChanged(m->net->online());
    QObject::connect(m->net.get(), &NetDetector::changed, m->board->context(), [this](bool online) {
        m->board->deliver([this, online] { m->board->NetDetectorChanged(online); });
    });
    m->net->start();
    m->icons = std::make_unique<IconLibrary>();
    m->guiPrompter.setIcons(m->icons.get());
    m->window = std::make_unique<MainWindow>(*m->board, *m->prompter, *m->icons, *m->launcher, *m->exchange);
    m->linkChecker = std::make_unique<LinkChecker>(*m->board, m->http);
    m->window->setLinkChecker(m->linkChecker.get());
    {
        const QString bin = QCoreApplication::applicationDirPath();
        QString extensionFolder = QDir::cleanPath(bin + QStringLiteral("/../share/lynkor/browser-extension"));
        if (!QFileInfo::exists(extensionFolder))
            extensionFolder = QDir::cleanPath(bin + QStringLiteral("/../browser-extension"));
        m->browserConnect =
            std::make_unique<BrowserConnect>(*m->board, bin + QStringLiteral("/lynkor-browser-host"), extensionFolder,
                                             QDir::homePath(), QFile::decodeName(qgetenv("XDG_CONFIG_HOME")));
        m->window->setBrowserConnect(m->browserConnect.get());
        // Browsers with Lynkor's extension connect to this socket; another
        // Lynkor of this user may have it, then this one uses DevTools only.
        BoardState* state = &m->state;
        if (!m->bridge.listen()) {
            qInfo("browser link through the extension is off: %s", qPrintable(m->bridge.error()));
            state->setBrowserLinkOff(m->bridge.error());
        }
        BrowserBridge* bridge = &m->bridge;
        QObject::connect(bridge, &BrowserBridge::browsersChanged, m->window.get(),
                         [state, bridge] { state->setConnectedBrowsers(bridge->browsers()); });
    }
    m->guiPrompter.setParent(m->window.get());
    MainWindow* window = m->window.get();
    Board* board = m->board.get();
    if (m->instance)
        QObject::connect(m->instance.get(), &SingleInstance::anotherInstanceStarted, window,
                         [window, board](const QStringList& arguments) {
                             window->deliver([board, arguments] { board->OnceInstanceStarted(arguments); });
                         });
    // The program ends with its main window, whatever other windows (help)
    // are open, and only then: a hidden window in the tray is no end.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(window, &MainWindow::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    // A termination request or the end of the desktop session closes the
    // window as its close box does, even while a dialog is open.
    m->term = std::make_unique<TermSignals>();
    QObject::connect(m->term.get(), &TermSignals::terminationRequested, window, [this, window] {
        m->terminating = true;
        window->close();
        // exit, not quit: quit does nothing before the main loop runs, and a
        // start-up question (an error box) runs a loop of its own.
        QCoreApplication::exit(0);
    });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, window,
                     [window](QSessionManager&) { window->close(); });
    // Start-up found no file it may open and the user chose to end.
    QObject::connect(&m->state, &BoardState::quitRequested, window, [this] { m->terminating = true; });
    window->dispatch([this] {
        m->board->FormCreate(m->arguments);
        m->conversation->setPort(m->files.readNumber(SettingsFile::DevToolsPort));
    });
    // A termination that came while start-up asked something (an error box)
    // ends the program here; the event loop is not entered.
    if (m->terminating)
        return;
    if (m->state.visible())
        window->show();
}

bool LynkorApp::terminating() const
{
    return m->terminating;
}

MainWindow& LynkorApp::window()
{
    return *m->window;
}

Board& LynkorApp::board()
{
    return *m->board;
}

BoardState& LynkorApp::state()
{
    return m->state;
}

Launcher& LynkorApp::launcher()
{
    return *m->launcher;
}
