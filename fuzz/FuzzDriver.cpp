// SPDX-License-Identifier: GPL-2.0-or-later
// Runs a fuzz target where libFuzzer is not at hand, as a quick test of every
// build: each seed, then a fixed set of mutated seeds, the same on every run
// so that a failure repeats. scripts/fuzz runs the long campaign.
#include <QDir>
#include <QFile>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <random>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

constexpr int Mutations = 4000;
const QByteArray *current = nullptr;

// A failed property aborts: the input is kept, for scripts/fuzz or a debugger.
void keepInput(int)
{
    if (std::FILE *file = std::fopen("fuzz-failure.bin", "wb")) {
        std::fwrite(current->constData(), 1, size_t(current->size()), file);
        std::fclose(file);
        std::fputs("The failing input is in fuzz-failure.bin\n", stderr);
    }
}

void run(const QByteArray &input)
{
    current = &input;
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
}

// A few of the edits libFuzzer makes most: a byte changed, inserted or
// removed, a stretch repeated, a piece of another seed spliced in.
QByteArray mutated(QByteArray input, const QList<QByteArray> &seeds, std::mt19937 &random)
{
    const auto below = [&random](qsizetype n) { return qsizetype(random() % std::max<qsizetype>(n, 1)); };
    for (qsizetype edits = below(4) + 1; edits > 0; --edits) {
        const qsizetype at = below(input.size() + 1);
        const QByteArray &other = seeds[below(seeds.size())];
        switch (below(5)) {
        case 0:
            input.replace(at, 1, QByteArray(1, char(random())));
            break;
        case 1:
            input.insert(at, char(random()));
            break;
        case 2:
            input.remove(at, below(8) + 1);
            break;
        case 3:
            input.insert(at, input.mid(below(input.size()), below(16) + 1));
            break;
        default:
            input.insert(at, other.mid(below(other.size()), below(64) + 1));
            break;
        }
    }
    return input;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEED-FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QList<QByteArray> seeds;
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return std::fprintf(stderr, "%s: %s\n", qPrintable(file.fileName()), qPrintable(file.errorString())), 2;
        seeds.append(file.readAll());
    }
    if (seeds.isEmpty())
        return std::fprintf(stderr, "%s holds no seeds\n", argv[1]), 2;
    std::signal(SIGABRT, keepInput);
    for (const QByteArray &seed : seeds)
        run(seed);
    std::mt19937 random(1);
    for (int i = 0; i < Mutations; ++i)
        run(mutated(seeds[random() % seeds.size()], seeds, random));
    std::printf("%lld seeds and %d mutations of them passed\n", qlonglong(seeds.size()), Mutations);
    return 0;
}
