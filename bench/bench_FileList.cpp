// SPDX-License-Identifier: GPL-2.0-or-later
// Refreshing the file list of a 10,000-entry bundle (reading the folder,
// resetting the model, and the relayout and repaint that posts), against the
// floor of a bare opendir/readdir loop over the same folder in the same
// process; medians of many runs spread over the whole run. Target: a refresh
// costs at most 1.5 times the floor. Exits non-zero when it does not.
#include "bench/BenchDocument.h"
#include "bench/MedianReporter.h"
#include "filelist/FileListController.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include <dirent.h>

namespace {

constexpr int EntryCount = 10000;
constexpr double TargetRatio = 1.5;

QString bundlePath;
FileListController *fileList = nullptr;

void PlainDirectoryRead(benchmark::State &state)
{
    const QByteArray path = QFile::encodeName(bundlePath);
    for (auto _ : state) {
        std::vector<std::string> names;
        DIR *folder = ::opendir(path.constData());
        while (const dirent *entry = ::readdir(folder))
            names.emplace_back(entry->d_name);
        ::closedir(folder);
        benchmark::DoNotOptimize(names);
    }
}
BENCHMARK(PlainDirectoryRead)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);

void FileListRefresh(benchmark::State &state)
{
    for (auto _ : state) {
        fileList->reloadData();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(fileList->rowCount());
    }
}
BENCHMARK(FileListRefresh)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;
    bundlePath = dir.filePath(QStringLiteral("Large.wdgt"));
    if (writeScripts(bundlePath, EntryCount, {}).isEmpty())
        return 2;
    WidgetDocument *document = openBundle(bundlePath);
    fileList = document->fileListController();
    fileList->reloadData();
    if (fileList->rowCount() != EntryCount || !document->window()->isVisible())
        return 2;

    MedianReporter reporter;
    runInterleaved(argc, argv, reporter);

    const bool met = reporter.meets("refresh / readdir", QStringLiteral("FileListRefresh"),
                                    QStringLiteral("PlainDirectoryRead"), TargetRatio);
    document->close();
    return met ? 0 : 1;
}
