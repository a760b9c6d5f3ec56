#include "BridgeProtocol.h"
#include "BrowserHost.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

// Started by a browser for Lynkor's extension (native messaging); see
// BrowserHost.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (!BrowserHost::calledByOurExtension(arguments)) {
        std::fputs("lynkor-browser-host: this program is started by a browser for Lynkor's extension only.\n", stderr);
        return 1;
    }
    BrowserHost host(STDIN_FILENO, STDOUT_FILENO, BrowserHost::parentBrowser(), BridgeProtocol::socketPath());
    QObject::connect(&host, &BrowserHost::finished, &app, &QCoreApplication::exit);
    host.start();
    return app.exec();
}
