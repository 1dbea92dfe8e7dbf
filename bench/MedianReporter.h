// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <benchmark/benchmark.h>

#include <QList>
#include <QMap>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <vector>

/// The median of times a bench kept itself (0 for none).
inline double medianOf(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

/// Prints the runs as the console does and keeps each benchmark's median
/// time per iteration by its name, so that a bench can judge its ratio.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    // Plain text: scripts/bench reads the ratios from it.
    MedianReporter()
        : ConsoleReporter(OO_Tabular)
    { }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times[QString::fromStdString(run.run_name.function_name)] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    /// Prints "<what> = <ratio> (target <= <target>)", the ratio of the
    /// medians of `ours` and `floor`, and says whether it meets the target.
    /// Benchmarks a filter left out meet it: there is nothing to judge.
    bool meets(const char *what, const QString &ours, const QString &floor, double target) const
    {
        if (times.value(ours) <= 0 || times.value(floor) <= 0)
            return true;
        const double ratio = times.value(ours) / times.value(floor);
        std::printf("%s = %.2f (target <= %.2f)\n", what, ratio, target);
        return ratio <= target;
    }

    QMap<QString, double> times;
};

/// Runs the benchmarks the command line selects, their repetitions spread at
/// random over the whole run, so that a floor and what is measured against it
/// share whatever else the machine does meanwhile. A flag given on the
/// command line prevails.
inline void runInterleaved(int argc, char **argv, benchmark::BenchmarkReporter &reporter)
{
    std::vector<char *> arguments(argv, argv + argc);
    char interleaved[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleaved);
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
}
