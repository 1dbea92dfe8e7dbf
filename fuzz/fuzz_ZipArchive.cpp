// SPDX-License-Identifier: GPL-2.0-or-later
// Any bytes as a zipped widget: unpacking it writes nothing outside the
// folder the zip lies in; a refused zip leaves that folder as it was, and
// an unpacked widget is one new folder holding no link that leads out of it.
#include "fuzz/FuzzCheck.h"
#include "platform/FileManager.h"
#include "platform/FileName.h"
#include "platform/ZipArchive.h"

#include <QStringList>

#include <cstdlib>
#include <sys/stat.h>

namespace {

// root/ holds only zips/, where each input is unpacked and then removed.
char rootPath[] = "/tmp/fuzz_ZipArchive-XXXXXX";

const QString &root()
{
    static const QString made = [] {
        const char *folder = ::mkdtemp(rootPath);
        FUZZ_CHECK(folder && ::mkdir((QByteArray(rootPath) + "/zips").constData(), 0700) == 0, "a folder to unpack in");
        std::atexit([] { (void)FileManager::removeItem(FileName::decode(rootPath)); });
        return FileName::decode(rootPath);
    }();
    return made;
}

// Every entry of the widget, and where each link leads as the system
// follows it, stays inside.
void checkInside(const QString &realBundle, const QString &folder)
{
    for (const QString &name : FileManager::contentsOfDirectory(folder)) {
        const QString path = folder + u'/' + name;
        const QString real = FileManager::canonicalPath(path);
        FUZZ_CHECK(real.isEmpty() || FileManager::isSameOrInside(real, realBundle),
                   "no link in an unpacked widget leads out of it");
        struct stat status
        { };
        if (::lstat(FileName::encode(path).constData(), &status) == 0 && S_ISDIR(status.st_mode))
            checkInside(realBundle, path);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString zips = root() + QStringLiteral("/zips");
    const QString zip = zips + QStringLiteral("/Fuzz.wdgt.zip");
    FUZZ_CHECK(FileManager::writeFile(zip, fuzzBytes(data, size)), "the zip is written");
    QString bundle;
    const Outcome extracted = ZipArchive::extractWidget(zip, &bundle);
    QStringList expected{QStringLiteral("Fuzz.wdgt.zip")};
    if (extracted)
        expected.append(bundle.section(u'/', -1));
    QStringList found = FileManager::contentsOfDirectory(zips);
    found.sort();
    expected.sort();
    FUZZ_CHECK(FileManager::contentsOfDirectory(root()) == QStringList{QStringLiteral("zips")},
               "nothing is written beside the zip's folder");
    FUZZ_CHECK(found == expected, "a refused zip leaves nothing; an unpacked one, its widget alone");
    if (extracted) {
        FUZZ_CHECK(bundle.startsWith(zips + u'/') && bundle.endsWith(QStringLiteral(".wdgt"), Qt::CaseInsensitive),
                   "the widget is a .wdgt folder beside the zip");
        checkInside(FileManager::canonicalPath(bundle), bundle);
    }
    for (const QString &name : std::as_const(found))
        FUZZ_CHECK(FileManager::removeItem(zips + u'/' + name), "the folder is emptied for the next input");
    return 0;
}
