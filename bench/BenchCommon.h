#pragma once

// What several benchmark programs share: the baseline P (a file read and cut
// into lines), reading the memory high-water mark, the setup every program
// makes before Google Benchmark runs, and the printed ratios.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace BenchCommon {

// The least any load must do: a file's bytes cut into lines, one buffer each.
inline std::vector<QByteArray> splitLines(const QByteArray& bytes)
{
    std::vector<QByteArray> lines;
    const char* d = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && d[end] != '\r' && d[end] != '\n')
            ++end;
        lines.emplace_back(d + pos, end - pos);
        pos = (end + 1 < size && d[end] == '\r' && d[end + 1] == '\n') ? end + 2 : end + 1;
    }
    return lines;
}

// A file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The peak resident memory of this program since it started (VmHWM; unlike
// getrusage's figure it is not carried over from the parent across exec).
inline long highWaterKilobytes()
{
    for (const QByteArray& line : readFile(QStringLiteral("/proc/self/status")).split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Every benchmark frees some megabytes per iteration. By default glibc hands
// big blocks and a free heap top back to the system, and whichever benchmark
// happens to leave the top free then pays a page fault for each page on the
// next iteration (thousands, at several microseconds each in a virtual
// machine). Keeping freed memory in the process times the code, not the
// allocator's trimming.
inline void keepFreedMemory()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
#endif
}

// The ratios compare benchmarks run at different moments; on a shared machine
// the speed drifts over seconds, so by default the repetitions of all
// benchmarks are shuffled together and each mean spans the whole run. The
// arguments with that option added unless given.
inline std::vector<char*> interleavedArguments(int argc, char** argv)
{
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args(argv, argv + argc);
    if (std::none_of(args.begin(), args.end(),
                     [](const char* a) { return std::strncmp(a, "--benchmark_enable_random_interleaving", 38) == 0; }))
        args.insert(args.begin() + 1, interleave);
    return args;
}

inline void printRatio(const char* label, double part, double whole, double goal)
{
    const double ratio = part / whole;
    if (std::isfinite(ratio))
        std::printf("  %-36s = %.2f   (goal <= %.1f)\n", label, ratio, goal);
    else
        std::printf("  %-36s = n/a    (goal <= %.1f)\n", label, goal);
}

} // namespace BenchCommon
