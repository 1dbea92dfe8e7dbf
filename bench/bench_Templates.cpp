// SPDX-License-Identifier: GPL-2.0-or-later
// Making a widget from a 1,000-file, 50 MB template (copying it out of sight,
// filling in its Text variable in that copy, then putting the copy in place,
// as the wizard does) against two floors measured in the same run: `cp -r`
// of the template followed by `sed -i` with the same replacement, each in a
// process of its own, and a bare write of the same bytes into a fresh folder
// (each file mapped, written to a temporary file, renamed into place). Also a
// Date variable against a Text variable filling in the same 50 MB file.
// Medians of repeated runs, timed by the clock.
// Targets: making a widget takes at most a third of cp + sed and at most 1.25
// times the bare write; the Date variable at most 1.2 times the Text variable.
// Exits non-zero when a target is missed.
#include "bench/MedianReporter.h"
#include "platform/FileManager.h"
#include "templates/VariableView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 TotalBytes = 50 * 1024 * 1024;
constexpr int TemplateFileCount = 1000;
constexpr int Repetitions = 11;
const QString TextValue = QStringLiteral("Weather Report");

QString workFolder;
QStringList templateFiles;
QVariantMap textEverywhere, textInLarge, dateInLarge;
std::unique_ptr<VariableView> textView, dateView;

QString templatePath()
{
    return workFolder + QStringLiteral("/Many.wdtp");
}
QString madePath()
{
    return workFolder + QStringLiteral("/Made.wdgt");
}
QString largeWidget()
{
    return workFolder + QStringLiteral("/Large.wdgt");
}
QString largeTemplate()
{
    return workFolder + QStringLiteral("/large.js");
}

// A step that failed would leave nothing worth timing.
void mustSucceed(const Outcome &outcome)
{
    if (!outcome) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(outcome.file()), qPrintable(outcome.reason()));
        std::abort();
    }
}

// What an earlier round made goes before the clock runs again.
void clearMadeWidget(benchmark::State &state)
{
    state.PauseTiming();
    if (FileManager::isOccupied(madePath()))
        mustSucceed(FileManager::removeItem(madePath()));
    state.ResumeTiming();
}

void MakeWidget(benchmark::State &state)
{
    const auto fillIn = [](const QString &staged) {
        const Outcome removed = FileManager::removeItem(staged + QStringLiteral("/template.plist"));
        return removed ? textView->saveToPath(staged, textEverywhere) : removed;
    };
    for (auto _ : state) {
        clearMadeWidget(state);
        mustSucceed(FileManager::copyItemReplacing(templatePath(), madePath(), {}, fillIn));
    }
}

void CpAndSed(benchmark::State &state)
{
    QStringList sedArguments{QStringLiteral("-i"), QStringLiteral("s/Template_Name/%1/g").arg(TextValue)};
    for (const QString &file : std::as_const(templateFiles))
        sedArguments.append(madePath() + u'/' + file);
    for (auto _ : state) {
        clearMadeWidget(state);
        if (QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), templatePath(), madePath()}) != 0
            || QProcess::execute(QStringLiteral("sed"), sedArguments) != 0)
            std::abort();
    }
}

// The least any way of making the widget must do: every byte read once and
// written once, each file whole under a temporary name before it takes its own.
void WriteFloor(benchmark::State &state)
{
    const QByteArray from = QFile::encodeName(templatePath()) + '/', to = QFile::encodeName(madePath());
    for (auto _ : state) {
        clearMadeWidget(state);
        if (::mkdir(to.constData(), 0777) != 0)
            std::abort();
        for (const QString &file : std::as_const(templateFiles)) {
            const QByteArray name = QFile::encodeName(file);
            const QByteArray destination = to + '/' + name, temporary = to + "/." + name + ".tmp";
            const int in = ::open((from + name).constData(), O_RDONLY | O_CLOEXEC);
            struct stat status
            { };
            if (in < 0 || ::fstat(in, &status) != 0)
                std::abort();
            void *bytes = ::mmap(nullptr, size_t(status.st_size), PROT_READ, MAP_PRIVATE, in, 0);
            const int out = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (bytes == MAP_FAILED || out < 0 || ::write(out, bytes, size_t(status.st_size)) != status.st_size
                || ::close(out) != 0 || ::rename(temporary.constData(), destination.constData()) != 0)
                std::abort();
            ::munmap(bytes, size_t(status.st_size));
            ::close(in);
        }
    }
}

// Each round fills in a fresh copy of the large file, made outside the clock
// as the wizard makes one: copied from the template, not yet on disk.
void fillLargeFile(benchmark::State &state, VariableView *view, const QVariantMap &info)
{
    const QString copy = largeWidget() + QStringLiteral("/main.js");
    for (auto _ : state) {
        state.PauseTiming();
        if (FileManager::isOccupied(copy))
            mustSucceed(FileManager::removeItem(copy));
        mustSucceed(FileManager::copyItem(largeTemplate(), copy));
        state.ResumeTiming();
        mustSucceed(view->saveToPath(largeWidget(), info));
    }
    state.SetBytesProcessed(state.iterations() * TotalBytes);
}

void TextVariable(benchmark::State &state)
{
    fillLargeFile(state, textView.get(), textInLarge);
}
void DateVariable(benchmark::State &state)
{
    fillLargeFile(state, dateView.get(), dateInLarge);
}

// Medians of repeated runs, timed by the clock: cp and sed spend their time
// in processes of their own.
void byTheClock(benchmark::internal::Benchmark *bench)
{
    bench->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(Repetitions)->ReportAggregatesOnly(true);
}
BENCHMARK(MakeWidget)->Apply(byTheClock);
BENCHMARK(CpAndSed)->Apply(byTheClock);
BENCHMARK(WriteFloor)->Apply(byTheClock);
BENCHMARK(TextVariable)->Apply(byTheClock);
BENCHMARK(DateVariable)->Apply(byTheClock);

QVariantMap variable(const char *type, const char *name, const QStringList &files)
{
    return {{QStringLiteral("TPVType"), QString::fromLatin1(type)},
            {QStringLiteral("TPVName"), QString::fromLatin1(name)},
            {QStringLiteral("TPVFiles"), files},
            {QStringLiteral("TPVDefaultValue"), TextValue}};
}

std::unique_ptr<VariableView> viewFor(const QVariantMap &info)
{
    std::unique_ptr<VariableView> view(VariableView::makeForType(info.value(QStringLiteral("TPVType")).toString()));
    view->setInfoDictionary(info);
    // As the wizard's views, which fill in a copy no one sees yet.
    view->setWriting(FileManager::Writing::InPlace);
    return view;
}

// Script-like text with a Text and a Date variable's placeholders every few
// kilobytes: the template's files share it, and the large file is made of it.
bool prepare()
{
    const QByteArray line = "    var title = document.getElementById('title'); // some code around it\n";
    QByteArray chunk;
    while (chunk.size() < 4096)
        chunk += line;
    chunk += "    title.textContent = 'Template_Name, Template_Day_Y-Template_Day_m-Template_Day_d';\n";
    QByteArray fileText;
    while (fileText.size() + chunk.size() <= TotalBytes / TemplateFileCount)
        fileText += chunk;
    fileText += line.first(TotalBytes / TemplateFileCount - fileText.size());
    if (!FileManager::createDirectory(largeWidget()) || !FileManager::createDirectory(templatePath())
        || !FileManager::writeFile(largeTemplate(), fileText.repeated(TemplateFileCount)))
        return false;
    for (int i = 0; i < TemplateFileCount; ++i) {
        templateFiles.append(QStringLiteral("file%1.js").arg(i));
        if (!FileManager::writeFile(templatePath() + u'/' + templateFiles.last(), fileText))
            return false;
    }
    textEverywhere = variable("Text", "Name", templateFiles);
    textInLarge = variable("Text", "Name", {QStringLiteral("main.js")});
    dateInLarge = variable("Date", "Day", {QStringLiteral("main.js")});
    textView = viewFor(textEverywhere);
    dateView = viewFor(dateInLarge);
    return FileManager::writeFile(templatePath() + QStringLiteral("/template.plist"), "<plist><array/></plist>")
        .succeeded();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;
    workFolder = dir.path();
    if (!prepare())
        return 2;
    // Creating files slows down while many were recently deleted, which every
    // round does: spread over the whole run, no bench bears that alone.
    MedianReporter reporter;
    runInterleaved(argc, argv, reporter);

    // One line per ratio, after everything the benchmarks print.
    bool met = reporter.meets("make/sed", QStringLiteral("MakeWidget"), QStringLiteral("CpAndSed"), 1.0 / 3);
    met = reporter.meets("make/floor", QStringLiteral("MakeWidget"), QStringLiteral("WriteFloor"), 1.25) && met;
    met = reporter.meets("date/text", QStringLiteral("DateVariable"), QStringLiteral("TextVariable"), 1.2) && met;
    textView.reset();
    dateView.reset();
    return met ? 0 : 1;
}
