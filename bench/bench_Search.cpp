// SPDX-License-Identifier: GPL-2.0-or-later
// Filtering the file list by the text of 500 open 50 KB files (25 MB), with
// the text absent and with it at the end of every file, against `grep -il`
// over the same files run as the standard tool; medians of many runs, timed
// by the clock (grep spends its time in a process of its own).
// Target: the filter costs at most what grep does, in both cases. Exits
// non-zero when it does not.
#include "bench/BenchDocument.h"
#include "bench/MedianReporter.h"
#include "filelist/FileListController.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>


namespace {

constexpr int FileCount = 500;
constexpr int FileSize = 50 * 1024;
constexpr double TargetRatio = 1.0;

QString bundlePath;
QStringList files;
FileListController *fileList = nullptr;
QLineEdit *field = nullptr;

void filter(benchmark::State &state, const QString &text)
{
    field->setText(text);
    for (auto _ : state) {
        fileList->reloadData();
        benchmark::DoNotOptimize(fileList->rowCount());
    }
}

void grep(benchmark::State &state, const QString &text)
{
    for (auto _ : state) {
        QProcess grep;
        grep.start(QStringLiteral("grep"), QStringList{QStringLiteral("-il"), text} + files);
        grep.waitForFinished(-1);
        benchmark::DoNotOptimize(grep.readAllStandardOutput());
    }
}

void FilterAbsent(benchmark::State &state) { filter(state, QStringLiteral("absentneedle")); }
void GrepAbsent(benchmark::State &state) { grep(state, QStringLiteral("absentneedle")); }
void FilterAtEnd(benchmark::State &state) { filter(state, QStringLiteral("NEEDLEATEND")); }
void GrepAtEnd(benchmark::State &state) { grep(state, QStringLiteral("NEEDLEATEND")); }
BENCHMARK(FilterAbsent)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(GrepAbsent)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(FilterAtEnd)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(GrepAtEnd)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;
    bundlePath = dir.filePath(QStringLiteral("Search.wdgt"));
    files = writeScripts(bundlePath, FileCount, scriptWithNeedleAtEnd(FileSize));
    if (files.isEmpty())
        return 2;
    MyDocument *document = openBundle(bundlePath);
    fileList = document->fileListController();
    for (const QString &file : std::as_const(files))
        fileList->openFileAtPath(file);
    QLineEdit searchField;
    field = &searchField;
    fileList->setSearchField(field);

    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const bool absent = reporter.meets("filter / grep -il, text absent", QStringLiteral("FilterAbsent"),
                                       QStringLiteral("GrepAbsent"), TargetRatio);
    const bool atEnd = reporter.meets("filter / grep -il, text at the end", QStringLiteral("FilterAtEnd"),
                                      QStringLiteral("GrepAtEnd"), TargetRatio);
    document->close();
    return absent && atEnd ? 0 : 1;
}
