// SPDX-License-Identifier: GPL-2.0-or-later
// Opening a 20 MB script as selecting it in the file list does (reading and
// checking the file, making its text view, painting it) against the floor of
// Scintilla taking the same UTF-8 bytes by SCI_SETTEXT into a fresh editor,
// in the same process; medians of many runs. Also the resident memory an
// open adds at its peak, against the file's size, and the time a search of
// the open file for a word it lacks takes, as each keystroke in the search
// field runs it.
// Targets: an open costs at most 1.5 times the floor and adds at most 3 times
// the file's size in memory. Exits non-zero when either is missed.
#include "bench/BenchDocument.h"
#include "bench/MedianReporter.h"
#include "editors/ContentArea.h"
#include "editors/ContentView.h"
#include "filelist/FileListController.h"

#include <benchmark/benchmark.h>

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

#include <malloc.h>

namespace {

constexpr qsizetype FileSize = 20 * 1024 * 1024;
constexpr double TargetRatio = 1.5;
constexpr double TargetMemory = 3.0;
const QString FileName = QStringLiteral("main.js");

QString filePath;
QByteArray script;
FileListController *fileList = nullptr;
ContentArea *area = nullptr;

void open()
{
    fileList->openFileAtPath(filePath);
    QCoreApplication::processEvents();
}

void close()
{
    if (ContentView *view = area->viewFor(FileName))
        area->close(view);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SetText(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<QsciScintilla>();
        editor->setUtf8(true);
        state.ResumeTiming();
        editor->SendScintilla(QsciScintilla::SCI_SETTEXT, 0UL, script.constData());
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
}

void Open(benchmark::State &state)
{
    for (auto _ : state) {
        open();
        state.PauseTiming();
        close();
        state.ResumeTiming();
    }
}

void Search(benchmark::State &state)
{
    open();
    ContentView *view = area->viewFor(FileName);
    for (auto _ : state)
        benchmark::DoNotOptimize(view->searchString(QStringLiteral("absentneedle")));
    close();
}
BENCHMARK(SetText)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Open)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Search)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);

qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// The kernel's high-water mark of resident memory (VmHWM) is set back to the
// present size (VmRSS) by writing 5 to clear_refs; what it stands at after
// the open is the open's peak. glibc first hands back what earlier opens
// freed, so that the open touches its memory afresh and it shows in the mark.
double peakOverFileSize()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return -1;
    clear.close();
    const qint64 before = statusKb("VmRSS:");
    open();
    const qint64 peak = statusKb("VmHWM:");
    close();
    return before < 0 || peak < 0 ? -1 : double(peak - before) * 1024 / double(script.size());
}

// Script lines, one in eight with characters beyond ASCII.
QByteArray makeScript()
{
    const QByteArray plain = "function update(widget) { return widget.value * 42 + offset; } // recompute\n";
    const QByteArray accented = "label.innerText = \"Temp\xC3\xA9rature \xE2\x80\x94 ok\"; // shown as typed\n";
    const QByteArray lines = plain.repeated(7) + accented;
    return lines.repeated(FileSize / lines.size() + 1);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;
    const QString bundle = dir.filePath(QStringLiteral("Big.wdgt"));
    filePath = bundle + QLatin1Char('/') + FileName;
    script = makeScript();
    QFile file(filePath);
    if (!QDir().mkpath(bundle) || !file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
        return 2;
    file.close();
    MyDocument *document = openBundle(bundle);
    fileList = document->fileListController();
    area = document->contentView();

    // The first open also loads what every text view shares (fonts, lexer).
    open();
    const ContentView *view = area->viewFor(FileName);
    if (!view || !view->isVisible())
        return 2;
    close();
    double memory = 0;
    for (int run = 0; run < 5; ++run)
        memory = std::max(memory, peakOverFileSize());

    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    if (reporter.times.contains(QStringLiteral("Search")))
        std::printf("search of the open file, word absent: %.1f ms\n", reporter.times.value(QStringLiteral("Search")));
    const bool fast = reporter.meets("open / setText", QStringLiteral("Open"), QStringLiteral("SetText"), TargetRatio);
    std::printf("peak memory / file size = %.2f (target <= %.2f)\n", memory, TargetMemory);
    const bool met = fast && memory > 0 && memory <= TargetMemory;
    document->close();
    return met ? 0 : 1;
}
