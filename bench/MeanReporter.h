#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <string>

// Prints as usual and keeps each benchmark's mean real time per iteration, so
// main() can compare the benchmarks with each other once they have all run.
class MeanReporter : public benchmark::ConsoleReporter
{
public:
    explicit MeanReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const std::string& name = run.run_name.function_name;
            const double ms = run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "mean")
                    m_means[name] = ms;
            } else {
                Sum& s = m_single[name];
                s.total += ms;
                ++s.count;
            }
        }
    }

    // Mean milliseconds per iteration: the "mean" aggregate of the
    // repetitions, else the average of the single runs; NaN when it did not
    // run (filtered out or failed).
    double meanMs(const std::string& name) const
    {
        if (auto it = m_means.find(name); it != m_means.end())
            return it->second;
        if (auto it = m_single.find(name); it != m_single.end() && it->second.count > 0)
            return it->second.total / it->second.count;
        return std::nan("");
    }

private:
    struct Sum
    {
        double total = 0;
        int count = 0;
    };
    std::map<std::string, double> m_means;
    std::map<std::string, Sum> m_single;
};
