// SPDX-License-Identifier: GPL-2.0-or-later
// Filtering the file list by the text of 500 open 50 KB files (25 MB), with
// the text absent and with it at the end of every file, against the C
// library's memmem finding the same bytes, letter case as written, in the
// same texts held in memory; medians of many runs, spread over the whole run.
// Target: the filter, which ignores letter case, costs at most what memmem
// does, in both cases. Exits non-zero when it does not.
#include "bench/BenchDocument.h"
#include "bench/MedianReporter.h"
#include "filelist/FileListController.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstring>


namespace {

constexpr double TargetRatio = 1.0;

QStringList files;
QList<QByteArray> texts;
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

void memmem(benchmark::State &state, const QByteArray &needle)
{
    for (auto _ : state) {
        int found = 0;
        for (const QByteArray &text : std::as_const(texts))
            found +=
                ::memmem(text.constData(), size_t(text.size()), needle.constData(), size_t(needle.size())) != nullptr;
        benchmark::DoNotOptimize(found);
    }
}

void FilterAbsent(benchmark::State &state)
{
    filter(state, QStringLiteral("absentneedle"));
}
void MemmemAbsent(benchmark::State &state)
{
    memmem(state, "absentneedle");
}
void FilterAtEnd(benchmark::State &state)
{
    filter(state, QStringLiteral("NEEDLEATEND"));
}
void MemmemAtEnd(benchmark::State &state)
{
    memmem(state, "needleAtEnd");
}
BENCHMARK(FilterAbsent)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(MemmemAbsent)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(FilterAtEnd)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(MemmemAtEnd)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;
    WidgetDocument *document = openSearchedWidget(dir.path(), &files);
    if (!document)
        return 2;
    fileList = document->fileListController();
    for (const QString &file : std::as_const(files)) {
        fileList->openFileAtPath(file);
        QFile read(file);
        if (!read.open(QIODevice::ReadOnly))
            return 2;
        texts.append(read.readAll());
    }
    QLineEdit searchField;
    field = &searchField;
    fileList->setSearchField(field);

    MedianReporter reporter;
    runInterleaved(argc, argv, reporter);

    const bool absent = reporter.meets("filter / memmem, text absent", QStringLiteral("FilterAbsent"),
                                       QStringLiteral("MemmemAbsent"), TargetRatio);
    const bool atEnd = reporter.meets("filter / memmem, text at the end", QStringLiteral("FilterAtEnd"),
                                      QStringLiteral("MemmemAtEnd"), TargetRatio);
    document->close();
    return absent && atEnd ? 0 : 1;
}
