// Times the bookmark search on the 200-page file (16,000 bookmarks) and on a
// 1,250-page file (100,000 bookmarks) against P, the least any load of the
// same file must do (read it and cut it into lines).

#include "BenchCommon.h"
#include "BookmarkIndex.h"
#include "IniStore.h"
#include "MeanReporter.h"
#include "SampleBookmarks.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct SampleFile
{
    QByteArray path;
    int bookmarks = 0;
    IniStore store;
};

void readAndSplit(benchmark::State& st, SampleFile& file)
{
    for (auto _ : st) {
        QFile f(QString::fromUtf8(file.path));
        if (!f.open(QIODevice::ReadOnly)) {
            st.SkipWithError("cannot open the bookmark file");
            return;
        }
        const std::vector<QByteArray> lines = BenchCommon::splitLines(f.readAll());
        benchmark::DoNotOptimize(lines.data());
    }
}

void indexBuild(benchmark::State& st, SampleFile& file)
{
    BookmarkIndex index;
    for (auto _ : st) {
        index.build(file.store, file.path, 4);
        benchmark::DoNotOptimize(index.size());
    }
    if (index.size() != file.bookmarks)
        st.SkipWithError("the index missed bookmarks");
}

// A word in about one title of six: a search that lists thousands.
const QString kWord = QStringLiteral("recipes");

void titleSearch(benchmark::State& st, SampleFile& file)
{
    BookmarkIndex index;
    index.build(file.store, file.path, 4);
    size_t found = 0;
    for (auto _ : st) {
        found = index.find(BookmarkIndex::Column::Title, kWord, false).size();
        benchmark::DoNotOptimize(found);
    }
    st.counters["found"] = double(found);
}

// The first keystroke after the window opened: the index is built and
// searched.
void firstSearch(benchmark::State& st, SampleFile& file)
{
    for (auto _ : st) {
        BookmarkIndex index;
        index.build(file.store, file.path, 4);
        benchmark::DoNotOptimize(index.find(BookmarkIndex::Column::Title, kWord, false).size());
    }
}

void duplicates(benchmark::State& st, SampleFile& file)
{
    BookmarkIndex index;
    index.build(file.store, file.path, 4);
    for (auto _ : st)
        benchmark::DoNotOptimize(index.duplicates().size());
}

} // namespace

int main(int argc, char** argv)
{
    BenchCommon::keepFreedMemory();
    std::vector<char*> args = BenchCommon::interleavedArguments(argc, argv);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    QCoreApplication app(count, args.data());

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    SampleFile files[2];
    const int pages[2] = {SampleBookmarks::kPages, 1250};
    for (int i = 0; i < 2; ++i) {
        files[i].path = QFile::encodeName(dir.filePath(QStringLiteral("Bench%1.LYK").arg(pages[i])));
        files[i].bookmarks = pages[i] * SampleBookmarks::kSlots;
        const QByteArray bytes = SampleBookmarks::file(pages[i]);
        QFile f(QString::fromUtf8(files[i].path));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write the bookmark file\n");
            return 1;
        }
        std::printf("bookmark file: %d pages x %d slots, %d bookmarks, %.1f MB\n", pages[i], SampleBookmarks::kSlots,
                    files[i].bookmarks, bytes.size() / 1e6);
    }
    std::fflush(stdout);

    const auto add = [](const std::string& name, void (*fn)(benchmark::State&, SampleFile&), SampleFile& file) {
        benchmark::RegisterBenchmark(name.c_str(), [fn, &file](benchmark::State& st) { fn(st, file); })
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5)
            ->Repetitions(4);
    };
    add("P", readAndSplit, files[0]);
    add("IndexBuild", indexBuild, files[0]);
    add("TitleSearch", titleSearch, files[0]);
    add("FirstSearch", firstSearch, files[0]);
    add("Duplicates", duplicates, files[0]);
    add("P100k", readAndSplit, files[1]);
    add("IndexBuild100k", indexBuild, files[1]);
    add("TitleSearch100k", titleSearch, files[1]);

    MeanReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults
                                                 : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nmean real time per iteration:\n");
    for (const char* name : {"P", "IndexBuild", "TitleSearch", "FirstSearch", "Duplicates", "P100k", "IndexBuild100k",
                             "TitleSearch100k"}) {
        const double ms = reporter.meanMs(name);
        if (std::isfinite(ms))
            std::printf("  %-16s %9.2f ms\n", name, ms);
        else
            std::printf("  %-16s       n/a\n", name);
    }
    std::printf("\n");
    const double p = reporter.meanMs("P");
    const double p100k = reporter.meanMs("P100k");
    BenchCommon::printRatio("index build / P", reporter.meanMs("IndexBuild"), p, 0.5);
    BenchCommon::printRatio("title search / P", reporter.meanMs("TitleSearch"), p, 0.5);
    BenchCommon::printRatio("first keystroke (build + search) / P", reporter.meanMs("FirstSearch"), p, 1.0);
    BenchCommon::printRatio("duplicates / P", reporter.meanMs("Duplicates"), p, 1.0);
    BenchCommon::printRatio("100,000 bookmarks: title search / P", reporter.meanMs("TitleSearch100k"), p100k, 0.5);
    BenchCommon::printRatio("100,000 bookmarks: index build / P", reporter.meanMs("IndexBuild100k"), p100k, 0.5);
    // Measures only: the ratios are read by people, not enforced here.
    return 0;
}
