// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <benchmark/benchmark.h>

#include <QMap>
#include <QString>

/// Prints the runs as the console does and keeps each benchmark's median
/// time per iteration by its name, so that a bench can judge its ratio.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times[QString::fromStdString(run.run_name.function_name)] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    QMap<QString, double> times;
};
