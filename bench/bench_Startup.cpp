// SPDX-License-Identifier: GPL-2.0-or-later
// The editor started with a widget, from process start to its file list
// painted with the widget's files, against a bare Qt main window built in the
// same tree, first exposed and painted; both ended by the same preloaded
// probe, which counts an error alert as no start. Medians of many starts by
// the clock, spread over the whole run. Kate and Sigil, when installed and
// built on the same Qt, are timed the same way to their first window with the
// widget's page. Targets: at most 1.5 times the bare window, at most half of
// either editor. Exits non-zero when one misses. Needs a display (xvfb-run).
#include "bench/MedianReporter.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>


using namespace Qt::StringLiterals;

namespace {

constexpr double TargetRatio = 1.5;
constexpr double PeerRatio = 0.5;

QTemporaryDir *home = nullptr;
QString bundlePath;

void start(benchmark::State &state, const QString &program, const QStringList &arguments, bool waitsForRows)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(QUILLET_STARTUP_PROBE));
    environment.insert(QStringLiteral("HOME"), home->path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home->filePath(QStringLiteral(".config")));
    if (waitsForRows)
        environment.insert(QStringLiteral("QUILLET_PROBE_WAITS_FOR_ROWS"), QStringLiteral("1"));
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0) {
            state.SkipWithError("the program did not start ready for its user");
            return;
        }
    }
}

void byTheClock(benchmark::internal::Benchmark *bench)
{
    bench->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(9)->ReportAggregatesOnly(true);
}

void Editor(benchmark::State &state)
{
    start(state, QStringLiteral(QUILLET_EDITOR), {bundlePath}, true);
}
void BareWindow(benchmark::State &state)
{
    start(state, QStringLiteral(QUILLET_BARE_WINDOW), {}, false);
}
BENCHMARK(Editor)->Apply(byTheClock);
BENCHMARK(BareWindow)->Apply(byTheClock);

// The probe is built on this Qt: a program on another cannot load it.
bool builtOnThisQt(const QString &program)
{
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {program});
    return ldd.waitForFinished() && ldd.readAllStandardOutput().contains("libQt6Core.so");
}

// Registers a row for each peer editor that can be timed; says why not for others.
QStringList registerPeers()
{
    QStringList peers;
    for (const QString &name : {u"kate"_s, u"sigil"_s}) {
        const QString program = QStandardPaths::findExecutable(name);
        if (program.isEmpty() || !builtOnThisQt(program)) {
            std::printf("%s: %s; its row is skipped\n", qPrintable(name),
                        program.isEmpty() ? "not installed" : "not built on Qt 6, which the probe needs");
            continue;
        }
        benchmark::RegisterBenchmark(qPrintable(name), [program](benchmark::State &state) {
            start(state, program, {bundlePath + u"/Clock.html"_s}, false);
        })->Apply(byTheClock);
        peers.append(name);
    }
    return peers;
}

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
    const QStringList peers = registerPeers();
    MedianReporter reporter;
    runInterleaved(argc, argv, reporter);
    bool met = reporter.meets("editor start / bare window start", u"Editor"_s, u"BareWindow"_s, TargetRatio);
    for (const QString &peer : peers)
        met =
            reporter.meets(qPrintable(u"editor start / "_s + peer + u" start"_s), u"Editor"_s, peer, PeerRatio) && met;
    return met ? 0 : 1;
}
