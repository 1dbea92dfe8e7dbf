// SPDX-License-Identifier: GPL-2.0-or-later
// Find in Widget over a widget of 500 scripts, 25 MB, with no match and
// with one at the end of each file, against `grep -rn` over the same folder,
// round by round; and the longest the window's thread went without turning
// to its events while a search ran (a 1 ms timer notes each turn).
// Targets: at most what grep takes; no turn longer than one frame (16 ms).
// Exits non-zero when any is missed.
#include "bench/BenchDocument.h"
#include "bench/MedianReporter.h"
#include "find/FindInWidgetPanel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Rounds = 9;

QString bundlePath;
WidgetDocument *document = nullptr;
QMap<QString, QList<double>> times;
double longestTurn = 0;

// Runs one search to its end, noting the longest gap between event-loop turns.
double search(const QString &text)
{
    FindInWidgetPanel *panel = document->findPanel();
    panel->findChild<QLineEdit *>(QStringLiteral("findField"))->setText(text);
    auto *status = panel->findChild<QLabel *>(QStringLiteral("findStatus"));
    QElapsedTimer since, timer;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&since] {
        longestTurn = std::max(longestTurn, double(since.nsecsElapsed()) / 1e6);
        since.restart();
    });
    timer.start();
    since.start();
    tick.start();
    panel->find();
    while (status->text().contains(QStringLiteral("Searching")))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return double(timer.nsecsElapsed()) / 1e9;
}

double grep(const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    QProcess grep;
    grep.start(QStringLiteral("grep"), {QStringLiteral("-rn"), text, bundlePath});
    grep.waitForFinished(-1);
    benchmark::DoNotOptimize(grep.readAllStandardOutput());
    return double(timer.nsecsElapsed()) / 1e9;
}

void FindInWidget(benchmark::State &state)
{
    const QString text = state.range(0) == 0 ? QStringLiteral("absentneedle") : QStringLiteral("needleAtEnd");
    for (auto _ : state) {
        times[u"ours "_qs + text].append(search(text));
        state.SetIterationTime(times[u"ours "_qs + text].last());
        times[u"grep "_qs + text].append(grep(text));
    }
}
BENCHMARK(FindInWidget)->Arg(0)->Arg(1)->Iterations(Rounds)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;
    document = openSearchedWidget(dir.path());
    if (!document)
        return 2;
    bundlePath = document->filePath();

    benchmark::Initialize(&argc, argv);
    benchmark::ConsoleReporter reporter(benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);

    bool met = true;
    for (const QString &text : {u"absentneedle"_qs, u"needleAtEnd"_qs}) {
        if (!times.contains(u"ours "_qs + text))
            continue;
        const double ratio = medianOf(times.value(u"ours "_qs + text)) / medianOf(times.value(u"grep "_qs + text));
        std::printf("Find in Widget / grep -rn, %s = %.2f (target <= 1.00)\n",
                    text == u"absentneedle" ? "no match" : "500 matches", ratio);
        met = met && ratio <= 1.0;
    }
    std::printf("longest wait of the window during a search, ms = %.2f (target <= 16.00)\n", longestTurn);
    met = met && longestTurn <= 16;
    document->close();
    return met ? 0 : 1;
}
