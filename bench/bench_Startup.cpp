// SPDX-License-Identifier: GPL-2.0-or-later
// The editor started with a widget, from process start to its document
// window first exposed and painted, against a bare Qt main window built in
// the same tree; both ended by the same preloaded probe. Medians of many
// starts, by the clock. Target: at most 1.5 times the bare window. Exits
// non-zero when it misses. Needs a display (xvfb-run).
#include "bench/MedianReporter.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>


using namespace Qt::StringLiterals;

namespace {

constexpr double TargetRatio = 1.5;

QTemporaryDir *home = nullptr;
QString bundlePath;

void start(benchmark::State &state, const QString &program, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(QUILLET_STARTUP_PROBE));
    environment.insert(QStringLiteral("HOME"), home->path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home->filePath(QStringLiteral(".config")));
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            state.SkipWithError("the program did not show a window");
            return;
        }
    }
}

void Editor(benchmark::State &state) { start(state, QStringLiteral(QUILLET_EDITOR), {bundlePath}); }
void BareWindow(benchmark::State &state) { start(state, QStringLiteral(QUILLET_BARE_WINDOW), {}); }
BENCHMARK(Editor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BareWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(9)->ReportAggregatesOnly(true);

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

bool writeBundle(const QString &path)
{
    return QDir().mkpath(path)
        && writeFile(path + QStringLiteral("/Info.plist"),
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                     "<key>CFBundleIdentifier</key><string>com.example.clock</string>"
                     "<key>CFBundleName</key><string>Clock</string>"
                     "<key>MainHTML</key><string>Clock.html</string></dict></plist>\n")
        && writeFile(path + QStringLiteral("/Clock.html"), "<html><script src=\"Clock.js\"></script></html>\n")
        && writeFile(path + QStringLiteral("/Clock.js"), "document.title = new Date();\n");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir homeFolder;
    home = &homeFolder;
    bundlePath = homeFolder.filePath(QStringLiteral("Clock.wdgt"));
    if (!writeBundle(bundlePath))
        return 2;
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return reporter.meets("editor start / bare window start", u"Editor"_s, u"BareWindow"_s, TargetRatio) ? 0 : 1;
}
