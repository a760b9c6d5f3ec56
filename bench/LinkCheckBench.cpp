// The link checker against slow local servers: 1,000 links, each answered
// after 100 ms, asked 8 at a time (at most two per server, so four servers).
// Ideal: 1000 x 0.1 s / 8 = 12.5 s; the ratio to it is printed.
#include "BenchBoard.h"
#include "BookmarkFile.h"
#include "HttpClient.h"
#include "LinkChecker.h"
#include "MeanReporter.h"
#include "PathNames.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kLinks = 1000;
constexpr int kServers = 4;
constexpr int kDelayMs = 100;
constexpr int kParallel = 8;

struct SlowServer
{
    httplib::Server server;
    std::thread thread;
    int port = 0;
    SlowServer()
    {
        server.Get(".*", [](const httplib::Request&, httplib::Response& r) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kDelayMs));
            r.set_content("ok", "text/html");
        });
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~SlowServer()
    {
        server.stop();
        thread.join();
    }
};

struct Fixture : BenchBoard
{
    HttpClient http;
    std::vector<std::unique_ptr<SlowServer>> servers;
    int pages = 0;
};

void checkAll(benchmark::State& st, Fixture& fx)
{
    for (auto _ : st) {
        LinkChecker checker(fx.board, fx.http);
        checker.setParallel(kParallel);
        checker.run(0, fx.pages - 1, true, 111, 111);
        while (checker.busy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (checker.checkedCount() != kLinks || checker.badCount() != 0)
            st.SkipWithError("not every link was checked, or some failed");
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    QCoreApplication app(argc, argv);
    Fixture fx;
    for (int i = 0; i < kServers; ++i)
        fx.servers.push_back(std::make_unique<SlowServer>());
    // 1,000 links over pages of 80, spread over the servers.
    const int perPage = 80;
    fx.pages = (kLinks + perPage - 1) / perPage;
    QByteArray text = "[Tabs]\r\nCount=" + QByteArray::number(fx.pages) + "\r\n";
    for (int p = 1; p <= fx.pages; ++p)
        text += "Tab" + QByteArray::number(p) + "=P" + QByteArray::number(p) + "\r\n";
    for (int i = 0; i < kLinks; ++i) {
        if (i % perPage == 0)
            text += "[P" + QByteArray::number(i / perPage + 1) + "]\r\n";
        const QByteArray key = BookmarkFile::SlotKey(i % perPage + 1);
        const int port = fx.servers[size_t(i % kServers)]->port;
        text += key + "N=Link " + QByteArray::number(i) + "\r\n" + key +
                "U=http://127.0.0.1:" + QByteArray::number(port) + "/" + QByteArray::number(i) + "\r\n";
    }
    const QByteArray path = PathNames::fromQt(fx.dir.filePath(QStringLiteral("Links.LYK")));
    QFile f(PathNames::toQt(path));
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return 1;
    f.close();
    fx.files.setProgramDir(PathNames::fromQt(fx.dir.path()));
    fx.files.setBookmarkFileName(path);
    fx.board.vars().Columns = 4;
    std::vector<QByteArray> names;
    for (int p = 1; p <= fx.pages; ++p)
        names.push_back("P" + QByteArray::number(p));
    fx.state.setTabs(names, 0);

    benchmark::RegisterBenchmark("LinkCheck1000", [&fx](benchmark::State& st) { checkAll(st, fx); })
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(2);
    MeanReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults
                                                 : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double ideal = kLinks * kDelayMs / double(kParallel);
    std::printf("\n  1000 links, %d at a time / ideal %.0f ms = %.2f   (goal <= 1.3)\n", kParallel, ideal,
                reporter.meanMs("LinkCheck1000") / ideal);
    return 0;
}
