// SPDX-License-Identifier: GPL-2.0-or-later
// Replace All in Find in Widget: 400,000 matches in a 23 MB script and
// 20,000 in a 1 MB one, each the one script of its widget, replaced in its open editor (and the widget
// searched again, as the command does), against `sed -i` making the same
// change to a copy of the file, round by round; the editor's change is
// undone between rounds.
// Targets: at most twice what sed takes for 400,000 matches; at most 0.2 s
// for 20,000. Exits non-zero when either is missed.
#include "bench/BenchDocument.h"
#include "bench/MedianReporter.h"
#include "find/FindInWidgetPanel.h"

#include <benchmark/benchmark.h>

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Rounds = 7;

struct Case
{
    const char *name;
    QByteArray needle;
    qsizetype matches;
    qsizetype size;
};

// Script lines, one needle in each.
QByteArray scriptWith(const Case &matched)
{
    const QByteArray line = "var value = compute(" + matched.needle + ", 42); // a widget line\n";
    QByteArray body = line.repeated(matched.matches);
    const QByteArray filler = "// filler line of the script with nothing to find\n";
    return body + filler.repeated(std::max<qsizetype>(matched.size - body.size(), 0) / filler.size());
}

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

QList<WidgetDocument *> documents;
QList<Case> cases;
QStringList paths;
QString sedCopy;
QMap<QString, QList<double>> times;

// One round: Replace All, undone afterwards, then sed on a fresh copy.
void ReplaceAll(benchmark::State &state)
{
    const qsizetype index = state.range(0);
    const Case &matched = cases[index];
    WidgetDocument *document = documents[index];
    FindInWidgetPanel *panel = document->findPanel();
    panel->findChild<QLineEdit *>(QStringLiteral("findField"))->setText(QString::fromLatin1(matched.needle));
    panel->findChild<QLineEdit *>(QStringLiteral("replaceField"))->setText(QStringLiteral("threadGamma"));
    const QString name = QString::fromLatin1(matched.name);
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        panel->replaceAll();
        times[u"ours "_qs + name].append(seconds(timer));
        state.SetIterationTime(times[u"ours "_qs + name].last());
        for (QsciScintilla *editor : document->window()->findChildren<QsciScintilla *>())
            editor->undo();
        QFile::remove(sedCopy);
        QFile::copy(paths[index], sedCopy);
        timer.restart();
        QProcess::execute(QStringLiteral("sed"),
                          {QStringLiteral("-i"),
                           QStringLiteral("s/%1/threadGamma/g").arg(QString::fromLatin1(matched.needle)), sedCopy});
        times[u"sed "_qs + name].append(seconds(timer));
    }
}
BENCHMARK(ReplaceAll)->Arg(0)->Arg(1)->Iterations(Rounds)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;
    sedCopy = dir.filePath(QStringLiteral("copy.js"));
    cases = {{"400,000 matches in 23 MB", "needleAlpha", 400'000, 23 * 1024 * 1024},
             {"20,000 matches in 1 MB", "needleBeta", 20'000, 1024 * 1024}};
    // A widget each, so that each Replace All searches its own file alone.
    for (const Case &matched : std::as_const(cases)) {
        const QString bundle = dir.filePath(QString::fromLatin1(matched.needle) + QStringLiteral(".wdgt"));
        paths.append(bundle + QStringLiteral("/main.js"));
        QFile file(paths.last());
        const QByteArray script = scriptWith(matched);
        if (!QDir().mkpath(bundle) || !file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
            return 2;
        documents.append(openBundle(bundle));
    }

    benchmark::Initialize(&argc, argv);
    benchmark::ConsoleReporter reporter(benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);

    bool met = true;
    for (const Case &matched : std::as_const(cases)) {
        const QString name = QString::fromLatin1(matched.name);
        if (!times.contains(u"ours "_qs + name))
            continue;
        const double ours = medianOf(times.value(u"ours "_qs + name)), sed = medianOf(times.value(u"sed "_qs + name));
        std::printf("%s: Replace All %.3f s, sed -i %.3f s\n", matched.name, ours, sed);
        const bool many = matched.matches > 100'000;
        const double value = many ? ours / sed : ours, target = many ? 2.0 : 0.2;
        std::printf("%s, %s = %.2f (target <= %.2f)\n", many ? "Replace All / sed -i" : "Replace All, s", matched.name,
                    value, target);
        met = met && value <= target;
    }
    for (WidgetDocument *document : std::as_const(documents))
        document->close();
    return met ? 0 : 1;
}
