// Times the storage engine on a heavy bookmark file against two baselines:
// P, the least any load must do (read the file and cut it into lines), and
// S, the least any save must do (one atomic write of the file's bytes).

#include "Alphabetize.h"
#include "BenchBoard.h"
#include "BenchCommon.h"
#include "BookmarkFile.h"
#include "IniBatch.h"
#include "IniFiles32.h"
#include "MeanReporter.h"
#include "PageCommands.h"
#include "PageDisplay.h"
#include "PageMerge.h"
#include "PathNames.h"
#include "SampleBookmarks.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using F = BookmarkRecord;

// In the middle of the file, so that nothing found near the top is cheap.
constexpr int kPage = 100;
// Slots whose keys a put-down rewrites, and slots it adds keys for; 79 x 10
// writes in all, the size of one put-down.
constexpr int kReplacedSlots = 70;
constexpr int kAddedSlots = 9;

struct Fixture : BenchBoard
{
    QByteArray path;
    QByteArray original;

    // Puts the generated file back, so each benchmark starts from the same
    // bytes whatever ran before it. Overwritten in place and cut to length:
    // ext4 starts writing a file back at once when it was truncated to zero
    // or renamed over another, and that disk traffic would land in the timed
    // save that follows.
    void restore() const
    {
        QFile f(PathNames::toQt(path));
        if (!f.open(QIODevice::ReadWrite) || f.write(original) != original.size() || !f.resize(original.size()))
            throw std::runtime_error("cannot write the bookmark file");
    }
};

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// An exception would end the whole program; it ends only its benchmark.
// Page faults are counted because in a virtual machine each costs several
// microseconds: a benchmark that faults in its working set every iteration
// shows it here rather than as unexplained time.
template <class Body> void guarded(benchmark::State& st, Body&& body)
{
    const long faults = minorFaults();
    try {
        body();
    } catch (const std::exception& e) {
        st.SkipWithError(e.what());
    }
    st.counters["faults"] =
        benchmark::Counter(static_cast<double>(minorFaults() - faults), benchmark::Counter::kAvgIterations);
}

void readAndSplit(benchmark::State& st, Fixture& fx)
{
    guarded(st, [&] {
        fx.restore();
        for (auto _ : st) {
            QFile f(PathNames::toQt(fx.path));
            if (!f.open(QIODevice::ReadOnly))
                throw std::runtime_error("cannot open the bookmark file");
            const std::vector<QByteArray> lines = BenchCommon::splitLines(f.readAll());
            benchmark::DoNotOptimize(lines.data());
        }
    });
}

void atomicSave(benchmark::State& st, Fixture& fx)
{
    guarded(st, [&] {
        for (auto _ : st)
            IniStore::writeAtomically(fx.path, fx.original);
    });
}

void pageLoad(benchmark::State& st, Fixture& fx)
{
    guarded(st, [&] {
        fx.restore();
        FormVars& vars = fx.board.vars();
        vars.Columns = 4;
        fx.board.pages().setClientWidth(620);
        vars.FirstBuild = true;
        fx.board.pages().Buttons(vars.Columns);
        // The first load is the one at start-up (it also reads the page list);
        // the timed ones are page switches.
        const QByteArray page = SampleBookmarks::pageName(kPage);
        fx.board.pages().Load(page);
        const std::vector<ButtonFace>& faces = fx.state.buttons();
        if (faces.size() != static_cast<size_t>(SampleBookmarks::kSlots))
            throw std::runtime_error("wrong number of buttons");
        for (int s = 1; s <= SampleBookmarks::kSlots; ++s) {
            const ButtonFace& face = faces[s - 1];
            if (face.caption != SampleBookmarks::field(kPage, s, F::Title) || face.hint.isEmpty())
                throw std::runtime_error("the page load built no faces");
        }
        for (auto _ : st)
            fx.board.pages().Load(page);
    });
}

void oneKeyWrite(benchmark::State& st, Fixture& fx)
{
    guarded(st, [&] {
        fx.restore();
        const QByteArray page = SampleBookmarks::pageName(kPage);
        const QByteArray key = BookmarkFile::FieldKey(BookmarkFile::SlotKey(7), F::Url);
        // Two values that both differ from the file's, taken in turn, so every
        // write changes the file and has to save it.
        const QByteArray values[2] = {SampleBookmarks::field(kPage, 7, F::Url, 1),
                                      SampleBookmarks::field(kPage, 7, F::Url, 2)};
        if (values[0] == values[1])
            throw std::runtime_error("the two written values are equal");
        int n = 0;
        for (auto _ : st) {
            TIniFile32 ini(fx.store, fx.path);
            ini.WriteString(page, key, values[n++ % 2]);
        }
        if (TIniFile32(fx.store, fx.path).ReadString(page, key, {}) != values[(n - 1) % 2])
            throw std::runtime_error("the written key did not reach the file");
    });
}

void batch790(benchmark::State& st, Fixture& fx)
{
    guarded(st, [&] {
        const QByteArray page = SampleBookmarks::pageName(kPage);
        std::vector<std::pair<QByteArray, QByteArray>> writes;
        for (int s = 1; s <= kReplacedSlots + kAddedSlots; ++s) {
            // Slots beyond the page's last one have no keys yet; the engine
            // treats every key name alike.
            const int slot = s <= kReplacedSlots ? s : SampleBookmarks::kSlots + s - kReplacedSlots;
            for (int f = 0; f < F::kFieldCount; ++f) {
                const auto field = static_cast<F::Field>(f);
                writes.emplace_back(BookmarkFile::FieldKey(BookmarkFile::SlotKey(slot), field),
                                    SampleBookmarks::field(kPage, slot, field, 1));
            }
        }
        for (auto _ : st) {
            // Every put-down starts from the generated file: the replaced
            // values differ from it and the added keys are new to it.
            st.PauseTiming();
            fx.restore();
            st.ResumeTiming();
            IniBatch batch(fx.store, fx.path);
            TIniFile32 ini(fx.store, fx.path);
            for (const auto& [key, value] : writes)
                ini.WriteString(page, key, value);
            batch.commit();
        }
        TIniFile32 check(fx.store, fx.path);
        for (const auto& [key, value] : writes) {
            if (check.ReadString(page, key, {}) != value)
                throw std::runtime_error("a batched write did not reach the file");
        }
    });
}

// The board shows the generated file with the page in the middle selected.
void showPages(Fixture& fx)
{
    FormVars& vars = fx.board.vars();
    vars.Columns = 4;
    fx.board.pages().setClientWidth(620);
    vars.FirstBuild = true;
    fx.board.pages().Buttons(vars.Columns);
    vars.FirstBuild = false;
    std::vector<QByteArray> names;
    for (int p = 1; p <= SampleBookmarks::kPages; ++p)
        names.push_back(SampleBookmarks::pageName(p));
    fx.state.setTabs(names, kPage - 1);
}

// "Change Name on Page Tab" on a full page: every key goes to the new
// section, the old one is erased, the page is shown again.
void renamePage(benchmark::State& st, Fixture& fx)
{
    guarded(st, [&] {
        const QByteArray renamed = "Renamed page";
        for (auto _ : st) {
            st.PauseTiming();
            fx.restore();
            showPages(fx);
            fx.ui.nextPageName = QString::fromLatin1(renamed);
            st.ResumeTiming();
            fx.board.pageCommands().MChangePageTabName1Click();
        }
        fx.ui.nextPageName.clear();
        TIniFile32 check(fx.store, fx.path);
        const QByteArray title = BookmarkFile::FieldKey(BookmarkFile::SlotKey(SampleBookmarks::kSlots), F::Title);
        if (check.ReadString(renamed, title, {}) != SampleBookmarks::field(kPage, SampleBookmarks::kSlots, F::Title) ||
            !check.ReadString(SampleBookmarks::pageName(kPage), title, {}).isEmpty())
            throw std::runtime_error("the page was not renamed");
    });
}

// Alphabetize over the whole 200-page range: every bookmark collected,
// sorted by title and written back, in one save.
void alphabetizeAll(benchmark::State& st, Fixture& fx)
{
    guarded(st, [&] {
        fx.ui.yesToRange = true;
        for (auto _ : st) {
            st.PauseTiming();
            fx.restore();
            showPages(fx);
            st.ResumeTiming();
            Alphabetize(fx.board).AlphaButtonClick();
        }
        fx.ui.yesToRange = false;
        TIniFile32 check(fx.store, fx.path);
        const QByteArray first = check.ReadString(SampleBookmarks::pageName(1), "01N", {});
        const QByteArray second = check.ReadString(SampleBookmarks::pageName(1), "02N", {});
        if (first.isEmpty() || QString::fromLatin1(first).compare(QString::fromLatin1(second), Qt::CaseInsensitive) > 0)
            throw std::runtime_error("the range was not sorted");
    });
}

// MergePage of one full page into another page: into a full one, where
// every address is compared and nothing fits, or into an empty one, where all
// 80 bookmarks are written.
void mergePages(benchmark::State& st, Fixture& fx, bool intoEmpty)
{
    guarded(st, [&] {
        const QByteArray source = SampleBookmarks::pageName(kPage);
        const QByteArray destination = intoEmpty ? QByteArray("Empty page") : SampleBookmarks::pageName(kPage + 1);
        for (auto _ : st) {
            st.PauseTiming();
            fx.restore();
            st.ResumeTiming();
            fx.board.pageMerge().MergePage(source, destination, fx.path, fx.path);
        }
        TIniFile32 check(fx.store, fx.path);
        const QByteArray url = BookmarkFile::FieldKey(BookmarkFile::SlotKey(SampleBookmarks::kSlots), F::Url);
        const QByteArray expected =
            SampleBookmarks::field(intoEmpty ? kPage : kPage + 1, SampleBookmarks::kSlots, F::Url);
        if (check.ReadString(destination, url, {}) != expected)
            throw std::runtime_error("the merge did not give the expected page");
    });
}

} // namespace

int main(int argc, char** argv)
{
    BenchCommon::keepFreedMemory();
    std::vector<char*> args = BenchCommon::interleavedArguments(argc, argv);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    QCoreApplication app(count, args.data());

    Fixture fx;
    if (!fx.dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    fx.path = PathNames::fromQt(fx.dir.filePath(QStringLiteral("Bench.LYK")));
    fx.original = SampleBookmarks::file();
    fx.files.setProgramDir(PathNames::fromQt(fx.dir.path()));
    fx.files.setBookmarkFileName(fx.path);
    fx.state.setChecked(MenuItem::MBIcon, true);
    fx.state.setChecked(MenuItem::MBNotes, true);
    fx.state.setChecked(MenuItem::MBUrl, true);
    try {
        fx.restore();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("bookmark file: %d pages x %d slots, %.2f MB, %lld lines\n", SampleBookmarks::kPages,
                SampleBookmarks::kSlots, fx.original.size() / 1e6, static_cast<long long>(fx.original.count('\n')));
    std::fflush(stdout);

    const auto add = [&fx](const char* name, void (*fn)(benchmark::State&, Fixture&)) {
        benchmark::RegisterBenchmark(name, [fn, &fx](benchmark::State& st) { fn(st, fx); })
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5)
            ->Repetitions(6);
    };
    add("P", readAndSplit);
    add("S", atomicSave);
    add("PageLoad", pageLoad);
    add("OneKeyWrite", oneKeyWrite);
    add("Batch790", batch790);
    add("RenamePage", renamePage);
    add("MergeFullPages", [](benchmark::State& st, Fixture& fx) { mergePages(st, fx, false); });
    add("MergeIntoEmpty", [](benchmark::State& st, Fixture& fx) { mergePages(st, fx, true); });
    add("Alphabetize200", alphabetizeAll);

    // A reporter of our own does not get the library's terminal check.
    MeanReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults
                                                 : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double p = reporter.meanMs("P");
    const double ps = p + reporter.meanMs("S");
    std::printf("\nmean real time per iteration:\n");
    for (const char* name : {"P", "S", "PageLoad", "OneKeyWrite", "Batch790", "RenamePage", "MergeFullPages",
                             "MergeIntoEmpty", "Alphabetize200"}) {
        const double ms = reporter.meanMs(name);
        if (std::isfinite(ms))
            std::printf("  %-12s %9.2f ms\n", name, ms);
        else
            std::printf("  %-12s       n/a\n", name);
    }
    std::printf("\n");
    BenchCommon::printRatio("page load / P", reporter.meanMs("PageLoad"), p, 1.5);
    BenchCommon::printRatio("one key write / (P + S)", reporter.meanMs("OneKeyWrite"), ps, 1.2);
    BenchCommon::printRatio("790-write batch / (P + S)", reporter.meanMs("Batch790"), ps, 1.5);
    BenchCommon::printRatio("page rename / (P + S)", reporter.meanMs("RenamePage"), ps, 1.5);
    BenchCommon::printRatio("merge, full pages / (P + S)", reporter.meanMs("MergeFullPages"), ps, 1.5);
    BenchCommon::printRatio("merge, into empty / (P + S)", reporter.meanMs("MergeIntoEmpty"), ps, 1.5);
    BenchCommon::printRatio("alphabetize 200 pages / (P + S)", reporter.meanMs("Alphabetize200"), ps, 2.0);
    // Measures only: the ratios are read by people, not enforced here.
    return 0;
}
