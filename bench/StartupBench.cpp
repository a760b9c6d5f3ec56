// Times Lynkor's start on files of 1,000, 4,000, 10,000 and 100,000 pages: settings,
// page list, the tab strip filled and the first page shown (offscreen), and
// measures the peak memory of a start on a file with one 10 MB title.

#include "BenchBoard.h"
#include "BenchCommon.h"
#include "Exchange.h"
#include "FakeClipboard.h"
#include "IconLibrary.h"
#include "Launcher.h"
#include "MainWindow.h"
#include "MeanReporter.h"
#include "PageCommands.h"
#include "PathNames.h"
#include "RecordingMailTransport.h"
#include "RecordingStarter.h"
#include "ScriptedConversation.h"
#include "ScriptedHttp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

// A page list of n pages, two bookmarks on every tenth page.
QByteArray pagesFile(int pages)
{
    QByteArray out = "[Tabs]\r\nCount=" + QByteArray::number(pages) + "\r\n";
    for (int p = 1; p <= pages; ++p)
        out += "Tab" + QByteArray::number(p) + "=Page " + QByteArray::number(p) + "\r\n";
    for (int p = 1; p <= pages; p += 10)
        out += "[Page " + QByteArray::number(p) +
               "]\r\n01N=First\r\n01U=http://first.example/\r\n02N=Second\r\n"
               "02U=http://second.example/\r\n";
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Everything a start builds, on a data folder that holds the file.
struct Start : BenchServices
{
    ScriptedConversation conversation;
    RecordingStarter starter;
    Launcher launcher{board, conversation, starter};
    FakeClipboard clipboard;
    RecordingMailTransport mail;
    ScriptedHttp http;
    Exchange exchange{board, clipboard, mail, http};
    IconLibrary icons;
    std::unique_ptr<MainWindow> window;

    explicit Start(const QByteArray& dir)
    {
        files.setProgramDir(dir);
        board.setLauncher(&launcher);
        QElapsedTimer t;
        t.start();
        window = std::make_unique<MainWindow>(board, ui, icons, launcher, exchange);
        const qint64 a = t.elapsed();
        board.FormCreate({});
        const qint64 b = t.elapsed();
        window->show();
        const qint64 c = t.elapsed();
        QCoreApplication::processEvents();
        if (qEnvironmentVariableIsSet("LYNKOR_BENCH_STEPS"))
            std::fprintf(stderr, "window %lld, start %lld, show %lld, events %lld ms\n", a, b - a, c - b,
                         t.elapsed() - c);
    }
};

void start(benchmark::State& st, const QByteArray& dir, int pages)
{
    for (auto _ : st) {
        auto s = std::make_unique<Start>(dir);
        st.PauseTiming();
        const bool whole = int(s->state.tabs().size()) == pages;
        // Taking it all down is no part of the start.
        s.reset();
        st.ResumeTiming();
        if (!whole) {
            st.SkipWithError("the pages were not all read");
            return;
        }
    }
}

// "Add Page" on a started file: the page list saved, the strip and the new
// page shown.
void addPage(benchmark::State& st, const QByteArray& dir, int pages)
{
    Start s(dir);
    s.ui.nextPageName = QStringLiteral("Added");
    int n = 0;
    for (auto _ : st) {
        s.ui.nextPageName = QStringLiteral("Added %1").arg(++n);
        s.board.pageCommands().MAddPageTab1Click();
        QCoreApplication::processEvents();
    }
    if (int(s.state.tabs().size()) != pages + n)
        st.SkipWithError("a page was not added");
    // The data folder is used again: the added pages go.
    QFile::remove(PathNames::toQt(dir + "Disk.LYK"));
    writeFile(PathNames::toQt(dir + "Disk.LYK"), pagesFile(pages));
}

long residentKilobytes()
{
    const QList<QByteArray> fields = BenchCommon::readFile(QStringLiteral("/proc/self/statm")).split(' ');
    return fields.value(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

// `--peak <folder>`: one start, then the peak resident memory in kilobytes
// (the larger of the process's peak and what it holds with the window up).
int peakRun(const QByteArray& dir)
{
    long held = 0;
    {
        Start s(dir);
        s.window->repaint();
        QCoreApplication::processEvents();
        held = residentKilobytes();
    }
    std::printf("%ld\n", std::max(held, BenchCommon::highWaterKilobytes()));
    return 0;
}

long peakOf(const QString& dir)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak"), dir});
    if (!p.waitForFinished(120000))
        return -1;
    bool ok = false;
    const long kb = p.readAllStandardOutput().trimmed().toLong(&ok);
    return ok ? kb : -1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--peak") == 0) {
        QApplication app(argc, argv);
        return peakRun(PathNames::fromQt(QString::fromLocal8Bit(argv[2])) + '/');
    }
    int count = argc;
    benchmark::Initialize(&count, argv);
    QApplication app(count, argv);

    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    // 100,000 pages: past the 10,000 a damaged count is cut at, a file that
    // names its pages shows them all.
    const int sizes[] = {1000, 4000, 10000, 100000};
    constexpr int kSizes = int(std::size(sizes));
    QByteArray dirs[kSizes];
    for (int i = 0; i < kSizes; ++i) {
        const QString dir = root.filePath(QStringLiteral("p%1").arg(sizes[i]));
        QDir().mkpath(dir);
        dirs[i] = PathNames::fromQt(dir) + '/';
        if (!writeFile(dir + QStringLiteral("/Disk.LYK"), pagesFile(sizes[i])) ||
            !writeFile(dir + QStringLiteral("/lyk.ini"), "[File]\r\nName=" + dirs[i] + "Disk.LYK\r\n"))
            return 1;
    }
    for (int i = 0; i < kSizes; ++i) {
        const int pages = sizes[i];
        const QByteArray dir = dirs[i];
        benchmark::RegisterBenchmark(("Start" + std::to_string(pages)).c_str(),
                                     [dir, pages](benchmark::State& st) { start(st, dir, pages); })
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0)
            ->Repetitions(3);
    }
    for (int i = 0; i < kSizes; ++i) {
        const int pages = sizes[i];
        const QByteArray dir = dirs[i];
        benchmark::RegisterBenchmark(("AddPage" + std::to_string(pages)).c_str(),
                                     [dir, pages](benchmark::State& st) { addPage(st, dir, pages); })
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(10)
            ->Repetitions(2);
    }
    MeanReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults
                                                 : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // Peak memory: an empty file, and one whose only bookmark has a 10 MB title.
    const QString empty = root.filePath(QStringLiteral("empty"));
    const QString big = root.filePath(QStringLiteral("big"));
    const QByteArray title(10 << 20, 'T');
    for (const QString& dir : {empty, big}) {
        QDir().mkpath(dir);
        const QByteArray d = PathNames::fromQt(dir) + '/';
        const QByteArray file = dir == empty ? QByteArray("[Tabs]\r\nCount=1\r\nTab1=Page\r\n")
                                             : "[Tabs]\r\nCount=1\r\nTab1=Page\r\n[Page]\r\n01N=" + title +
                                                   "\r\n01U=http://big.example/\r\n";
        if (!writeFile(dir + QStringLiteral("/Disk.LYK"), file) ||
            !writeFile(dir + QStringLiteral("/lyk.ini"), "[File]\r\nName=" + d + "Disk.LYK\r\n"))
            return 1;
    }
    const long emptyKb = peakOf(empty);
    const long bigKb = peakOf(big);

    const double t1 = reporter.meanMs("Start1000");
    const double t4 = reporter.meanMs("Start4000");
    const double t10 = reporter.meanMs("Start10000");
    const double t100 = reporter.meanMs("Start100000");
    std::printf(
        "\nmean real time per start:\n  1,000 pages  %9.1f ms\n  4,000 pages  %9.1f ms\n  10,000 pages %9.1f ms\n"
        "  100,000 pages %8.1f ms\n",
        t1, t4, t10, t100);
    std::printf("\n  t(4,000) / t(1,000)          = %.2f   (goal <= 4.5)\n", t4 / t1);
    std::printf("  t(10,000) / t(4,000)         = %.2f   (goal <= 2.8)\n", t10 / t4);
    std::printf("  t(100,000) / t(10,000)       = %.2f   (goal <= 12)\n", t100 / t10);
    std::printf("  10,000-page start            = %.0f ms (goal <= 500)\n", t10);
    std::printf("\nmean real time per \"Add Page\":\n  1,000 pages  %9.1f ms\n  4,000 pages  %9.1f ms\n"
                "  10,000 pages %9.1f ms\n  100,000 pages %8.1f ms\n",
                reporter.meanMs("AddPage1000"), reporter.meanMs("AddPage4000"), reporter.meanMs("AddPage10000"),
                reporter.meanMs("AddPage100000"));
    const double fileMb = (title.size() + 60) / 1048576.0;
    std::printf("\npeak memory: empty file %.1f MB, 10 MB title %.1f MB\n", emptyKb / 1024.0, bigKb / 1024.0);
    std::printf("  (peak - empty) / file size   = %.2f   (goal <= 3.0)\n", (bigKb - emptyKb) / 1024.0 / fileMb);
    // Measures only: the ratios are read by people, not enforced here.
    return 0;
}
