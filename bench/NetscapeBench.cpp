// Times importing a browser's bookmark file of 100,000 links (100 folders of
// 1,000) against P + S: reading that HTML file and cutting it into lines, and
// one atomic save of the bookmark file the import makes. Also reports the
// peak memory of one import, and of one of an export of 25,000 links with a
// picture each (71 MB), and how the time of making pages grows with the
// number of folders that share one name.

#include "BenchCommon.h"
#include "IniStore.h"
#include "MeanReporter.h"
#include "NetscapeFile.h"
#include "PathNames.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace {

QByteArray browserFile()
{
    QByteArray out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                     "charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks Menu</H1>\n<DL><p>\n";
    for (int f = 1; f <= 100; ++f) {
        out += "    <DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000001\">Folder " + QByteArray::number(f) +
               "</H3>\n    <DL><p>\n";
        for (int l = 1; l <= 1000; ++l)
            out += "        <DT><A HREF=\"https://www.site" + QByteArray::number(l % 997) + ".example/articles/" +
                   QByteArray::number(f * 1000 + l) +
                   "/page.html?ref=bookmarks&amp;lang=en\" ADD_DATE=\"1700000000\" "
                   "LAST_MODIFIED=\"1700000002\">Article " +
                   QByteArray::number(f * 1000 + l) + " &amp; notes about caf\xc3\xa9 life</A>\n";
        out += "    </DL><p>\n";
    }
    out += "</DL><p>\n";
    return out;
}

// A browser's export where every link carries its site's picture, as one
// browser writes it: 25,000 links, 71 MB.
QByteArray iconsFile()
{
    const QByteArray icon = "data:image/png;base64," + QByteArray(2800, 'Q');
    QByteArray out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                     "charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
    for (int f = 1; f <= 25; ++f) {
        out += "    <DT><H3 ADD_DATE=\"1700000000\">Folder " + QByteArray::number(f) + "</H3>\n    <DL><p>\n";
        for (int l = 1; l <= 1000; ++l)
            out += "        <DT><A HREF=\"https://www.site" + QByteArray::number(f * 1000 + l) +
                   ".example/\" ADD_DATE=\"1700000000\" ICON=\"" + icon + "\">Site " +
                   QByteArray::number(f * 1000 + l) + "</A>\n";
        out += "    </DL><p>\n";
    }
    out += "</DL><p>\n";
    return out;
}

// Folders of one name, one link each.
std::vector<NetscapeFile::Folder> sameName(int count)
{
    return std::vector<NetscapeFile::Folder>(size_t(count), NetscapeFile::Folder{"News", {{"http://n.example/", "N"}}});
}

// The import's own work, as the command does it: read the file piece by
// piece, understand it, write the new file once; each step's input goes as
// soon as the next has it.
void importOnce(const QByteArray& html, const QByteArray& target)
{
    std::vector<NetscapeFile::Folder> folders = NetscapeFile::readFile(PathNames::toQt(html));
    const std::vector<NetscapeFile::Page> pages = NetscapeFile::pages(std::move(folders));
    IniStore::writeAtomically(target, NetscapeFile::bookmarkFile(pages));
}

bool writeFile(const QByteArray& path, const QByteArray& bytes)
{
    QFile f(PathNames::toQt(path));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The peak memory of one import in a process of its own, in megabytes.
double peakOf(const QByteArray& html, const QByteArray& target)
{
    QProcess peak;
    peak.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--peak"), PathNames::toQt(html), PathNames::toQt(target)});
    peak.waitForFinished(120000);
    return peak.readAllStandardOutput().trimmed().toLong() / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--steps") == 0) {
        // Where one import's time goes.
        QElapsedTimer t;
        t.start();
        const QByteArray html = BenchCommon::readFile(PathNames::toQt(argv[2]));
        const qint64 read = t.nsecsElapsed();
        auto folders = NetscapeFile::read(html);
        const qint64 parsed = t.nsecsElapsed();
        const auto pages = NetscapeFile::pages(std::move(folders));
        const qint64 paged = t.nsecsElapsed();
        const QByteArray file = NetscapeFile::bookmarkFile(pages);
        const qint64 made = t.nsecsElapsed();
        IniStore::writeAtomically(argv[3], file);
        std::printf("read %.1f, parse %.1f, pages %.1f, file %.1f, save %.1f ms\n", read / 1e6, (parsed - read) / 1e6,
                    (paged - parsed) / 1e6, (made - paged) / 1e6, (t.nsecsElapsed() - made) / 1e6);
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "--peak") == 0) {
        importOnce(argv[2], argv[3]);
        std::printf("%ld\n", BenchCommon::highWaterKilobytes());
        return 0;
    }
    int count = argc;
    benchmark::Initialize(&count, argv);
    QCoreApplication app(count, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QByteArray html = PathNames::fromQt(dir.filePath(QStringLiteral("bookmarks.html")));
    const QByteArray target = PathNames::fromQt(dir.filePath(QStringLiteral("Netscape.lyk")));
    const QByteArray icons = PathNames::fromQt(dir.filePath(QStringLiteral("icons.html")));
    const QByteArray bytes = browserFile();
    const QByteArray pictures = iconsFile();
    if (!writeFile(html, bytes) || !writeFile(icons, pictures))
        return 1;
    importOnce(html, target);
    const QByteArray result = BenchCommon::readFile(PathNames::toQt(target));
    std::printf("browser file: 100 folders x 1,000 links, %.1f MB; bookmark file made: %.1f MB; the export with "
                "pictures: %.1f MB\n",
                bytes.size() / 1e6, result.size() / 1e6, pictures.size() / 1e6);
    const auto add = [](const char* name, auto fn) {
        benchmark::RegisterBenchmark(name, fn)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0)
            ->Repetitions(3);
    };
    add("P", [&](benchmark::State& st) {
        for (auto _ : st)
            benchmark::DoNotOptimize(BenchCommon::splitLines(BenchCommon::readFile(PathNames::toQt(html))).size());
    });
    add("S", [&](benchmark::State& st) {
        for (auto _ : st)
            IniStore::writeAtomically(target, result);
    });
    add("Import", [&](benchmark::State& st) {
        for (auto _ : st)
            importOnce(html, target);
    });
    for (const int count : {1000, 4000}) {
        const std::string name = "Pages of " + std::to_string(count) + " folders News";
        add(name.c_str(), [count](benchmark::State& st) {
            for (auto _ : st) {
                st.PauseTiming();
                std::vector<NetscapeFile::Folder> folders = sameName(count);
                st.ResumeTiming();
                benchmark::DoNotOptimize(NetscapeFile::pages(std::move(folders)).size());
            }
        });
    }
    MeanReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults
                                                 : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double peak = peakOf(html, target);
    const double iconsPeak = peakOf(icons, target);

    const double p = reporter.meanMs("P");
    const double s = reporter.meanMs("S");
    const double import = reporter.meanMs("Import");
    std::printf("\nmean real time: P %.1f ms, S %.1f ms, import %.1f ms\n", p, s, import);
    std::printf("  import / (P + S)             = %.2f   (goal <= 3.0)\n", import / (p + s));
    std::printf("  peak memory of one import    = %.1f MB (goal < 100)\n", peak);
    std::printf("  the same, 71 MB with pictures = %.1f MB (goal < 100)\n", iconsPeak);
    // Linear: four times the folders, four times the time.
    BenchCommon::printRatio("4,000 / 1,000 folders News", reporter.meanMs("Pages of 4000 folders News"),
                            reporter.meanMs("Pages of 1000 folders News"), 5.0);
    // Measures only: the ratios are read by people, not enforced here.
    return 0;
}
