// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/ZipArchive.h"

#include "platform/FileManager.h"
#include "platform/FileName.h"
#include "platform/StagingFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <numeric>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// What no widget comes near; a zip stating more is a bomb, not a widget.
constexpr zip_int64_t MaximumEntries = 100'000;
constexpr zip_uint64_t MaximumBytes = zip_uint64_t(2) << 30;

const QString WidgetExtension = QStringLiteral(".wdgt");

QString tr(const char *text)
{
    return QCoreApplication::translate("ZipArchive", text);
}

QByteArray encoded(const QString &path)
{
    return FileName::encode(path);
}

Outcome zipFailure(const QString &file, zip_error_t *error)
{
    return Outcome::failure(file, QString::fromLocal8Bit(zip_error_strerror(error)));
}

Outcome zipFailure(const QString &file, int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const Outcome outcome = zipFailure(file, &error);
    zip_error_fini(&error);
    return outcome;
}

// A link is kept only when no step of it leaves the widget, so that it
// points inside whatever the widget's folder is called where it lands.
// `entry` is the link's path inside the widget.
bool linkStaysInside(const QString &entry, const QByteArray &target)
{
    if (target.isEmpty() || target.startsWith('/'))
        return false;
    qsizetype depth = entry.count(u'/');
    for (const QByteArray &part : target.split('/')) {
        if (part == "..") {
            if (--depth < 0)
                return false;
        } else if (!part.isEmpty() && part != ".") {
            ++depth;
        }
    }
    return true;
}

QByteArray linkText(const QString &path)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(encoded(path).constData(), target, sizeof target);
    return length <= 0 || length == ssize_t(sizeof target) ? QByteArray() : QByteArray(target, length);
}

// Hands one file of the bundle to libzip, which reads it only while writing
// the zip. It is opened only when its turn comes (a bundle may hold more
// files than a process may keep open) and without blocking, so a FIFO put in
// its place meanwhile cannot hang the export.
struct FileSource
{
    QString path;
    struct stat status;
    Outcome *failure; // the first file that could not be read, for the message
    int fd = -1;
    zip_error_t error{};

    zip_int64_t fail(const Outcome &outcome, int system)
    {
        zip_error_set(&error, ZIP_ER_READ, system);
        if (*failure)
            *failure = outcome;
        return -1;
    }

    static zip_int64_t run(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        auto *source = static_cast<FileSource *>(state);
        switch (command) {
        case ZIP_SOURCE_OPEN: {
            struct stat now
            { };
            source->fd = ::open(encoded(source->path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
            if (source->fd < 0 || ::fstat(source->fd, &now) != 0)
                return source->fail(Outcome::systemError(source->path, errno), errno);
            if (!S_ISREG(now.st_mode))
                return source->fail(Outcome::failure(source->path, tr("It is not a regular file")), EINVAL);
            return 0;
        }
        case ZIP_SOURCE_READ: {
            ssize_t got;
            do
                got = ::read(source->fd, data, length);
            while (got < 0 && errno == EINTR);
            return got >= 0 ? got : source->fail(Outcome::systemError(source->path, errno), errno);
        }
        case ZIP_SOURCE_CLOSE:
            ::close(std::exchange(source->fd, -1));
            return 0;
        case ZIP_SOURCE_STAT: {
            auto *stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &source->error);
            if (!stat)
                return -1;
            zip_stat_init(stat);
            stat->size = zip_uint64_t(source->status.st_size);
            stat->mtime = source->status.st_mtime;
            stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            return sizeof *stat;
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&source->error, data, length);
        case ZIP_SOURCE_FREE:
            if (source->fd >= 0)
                ::close(source->fd);
            zip_error_fini(&source->error);
            delete source;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_READABLE;
        default:
            zip_error_set(&source->error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }
};

// Walks the bundle into the zip under its own folder name.
class BundleZipper
{
public:
    BundleZipper(zip_t *zip, const QString &root, const QString &zipPath)
        : m_zip(zip)
        , m_root(root)
        , m_name(QFileInfo(root).fileName())
        , m_zipPath(zipPath)
    { }

    /// Adds the entry at `relative` inside the bundle (empty: the bundle
    /// itself) and everything below it.
    void add(const QString &relative)
    {
        const QString path = relative.isEmpty() ? m_root : m_root + u'/' + relative;
        // As the bytes the system knows them by; libzip marks those that are UTF-8.
        const QByteArray name = encoded(relative.isEmpty() ? m_name : m_name + u'/' + relative);
        struct stat status
        { };
        // The bundle itself may be reached through a link; nothing in it is.
        const int got = relative.isEmpty() ? ::stat(encoded(path).constData(), &status)
                                           : ::lstat(encoded(path).constData(), &status);
        if (got != 0)
            return fail(Outcome::systemError(path, errno));
        zip_int64_t index = -1;
        if (S_ISDIR(status.st_mode)) {
            index = zip_dir_add(m_zip, name.constData(), ZIP_FL_ENC_GUESS);
        } else if (S_ISREG(status.st_mode)) {
            auto *file = new FileSource{path, status, &m_readFailure};
            zip_source_t *source = zip_source_function(m_zip, &FileSource::run, file);
            if (!source)
                delete file;
            index = addSource(name, source);
        } else if (S_ISLNK(status.st_mode) && leadsInside(relative, path)) {
            const QByteArray target = linkText(path);
            void *copy = std::malloc(size_t(target.size()));
            std::memcpy(copy, target.constData(), size_t(target.size()));
            index = addSource(name, zip_source_buffer(m_zip, copy, zip_uint64_t(target.size()), 1));
        } else {
            m_outcome.noteSkipped(path);
            return;
        }
        // zlib's usual level: libzip's own default, the highest, takes
        // several times as long for a zip a percent or two smaller.
        if (index < 0
            || (S_ISREG(status.st_mode) && zip_set_file_compression(m_zip, zip_uint64_t(index), ZIP_CM_DEFLATE, 6) != 0)
            || zip_file_set_external_attributes(m_zip, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                                zip_uint32_t(status.st_mode & (S_IFMT | 07777)) << 16)
                != 0
            || zip_file_set_mtime(m_zip, zip_uint64_t(index), status.st_mtime, 0) != 0)
            return fail(zipFailure(m_zipPath, zip_get_error(m_zip)));
        if (!S_ISDIR(status.st_mode))
            return;
        // Sorted, so that the same bundle always makes the same zip.
        QStringList names = FileManager::contentsOfDirectory(path);
        names.sort();
        for (const QString &entry : std::as_const(names)) {
            if (FileManager::isLeftover(entry))
                continue;
            add(relative.isEmpty() ? entry : relative + u'/' + entry);
            if (!m_outcome)
                return;
        }
    }

    Outcome outcome() const { return m_outcome; }
    /// Why writing the zip failed: the file that could not be read, else libzip's reason.
    Outcome closingFailure() { return m_readFailure ? zipFailure(m_zipPath, zip_get_error(m_zip)) : m_readFailure; }

private:
    bool leadsInside(const QString &relative, const QString &path) const
    {
        return linkStaysInside(relative, linkText(path))
            && !(FileManager::exists(path) && FileManager::leadsOutside(m_root, path));
    }

    zip_int64_t addSource(const QByteArray &name, zip_source_t *source)
    {
        const zip_int64_t index = source ? zip_file_add(m_zip, name.constData(), source, ZIP_FL_ENC_GUESS) : -1;
        if (source && index < 0)
            zip_source_free(source);
        return index;
    }

    void fail(const Outcome &failure)
    {
        Outcome outcome = failure;
        for (const QString &skipped : m_outcome.skipped())
            outcome.noteSkipped(skipped);
        m_outcome = outcome;
    }

    zip_t *m_zip;
    QString m_root;
    QString m_name;
    QString m_zipPath;
    Outcome m_outcome;
    Outcome m_readFailure;
};

// The permissions a new file gets from this process: 0666 less the umask.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes the finished zip's bytes to the disk and puts it in its place,
// with the permissions of the file it replaces, if any; 0 or the errno
// value.
int placeZip(const QByteArray &temporary, const QString &zipPath)
{
    struct stat replaced
    { };
    const bool replaces = ::stat(encoded(zipPath).constData(), &replaced) == 0 && S_ISREG(replaced.st_mode);
    const int fd = ::open(temporary.constData(), O_RDONLY | O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    if (error == 0 && (::fchmod(fd, replaces ? replaced.st_mode & 07777 : newFileMode()) != 0 || ::fdatasync(fd) != 0))
        error = errno;
    if (fd >= 0)
        ::close(fd);
    if (error == 0 && ::rename(temporary.constData(), encoded(zipPath).constData()) != 0)
        error = errno;
    return error;
}

// One entry a zip unpacks, by its path inside the widget.
struct Entry
{
    enum Kind { Folder, File, Link };
    zip_uint64_t index;
    QString relative;
    Kind kind;
    mode_t mode; // permissions, 0 when the zip did not record them
    zip_uint64_t size;
    QByteArray target; // a link's text
};

// Entries are unpacked under the bytes of their names, so that a name that
// is not UTF-8 comes back as it went in; libzip would take it for CP 437.
QString entryName(zip_t *zip, zip_uint64_t index)
{
    return FileName::decode(zip_get_name(zip, index, ZIP_FL_ENC_RAW));
}

// Reads a link entry's text, which is small, or nothing when it is not.
QByteArray readLinkEntry(zip_t *zip, const zip_stat_t &stat)
{
    if (stat.size == 0 || stat.size >= PATH_MAX)
        return {};
    QByteArray text(qsizetype(stat.size), Qt::Uninitialized);
    zip_file_t *file = zip_fopen_index(zip, stat.index, 0);
    const bool read = file && zip_fread(file, text.data(), stat.size) == zip_int64_t(stat.size);
    if (file)
        zip_fclose(file);
    return read ? text : QByteArray();
}

// An entry's name as the parts of its path, "." left out; none for what a
// Mac adds beside the folder it zipped.
QStringList partsOf(const QString &name, bool isFile)
{
    QStringList parts = name.split(u'/', Qt::SkipEmptyParts);
    parts.removeAll(QStringLiteral("."));
    if (parts.isEmpty() || parts.first() == u"__MACOSX"
        || (parts == QStringList{QStringLiteral(".DS_Store")} && isFile))
        return {};
    return parts;
}

// Where the widget lies in a zip: the folders around its own (none for a
// zip of its folder), and its folder's name. A zip of a widget's contents
// alone, Info.plist at its top, is a widget named after the zip.
struct Layout
{
    QStringList around;
    QString widget;
    bool contentsOnly = false;
};

Outcome findLayout(zip_t *zip, const QString &zipPath, Layout *layout)
{
    QSet<QStringList> widgets;
    bool infoAtTop = false;
    for (zip_int64_t index = 0; index < zip_get_num_entries(zip, 0); ++index) {
        const QString name = entryName(zip, zip_uint64_t(index));
        const QStringList parts = partsOf(name, !name.endsWith(u'/'));
        infoAtTop = infoAtTop || (parts.size() == 1 && parts[0].compare(u"Info.plist", Qt::CaseInsensitive) == 0);
        for (qsizetype i = 0; i < parts.size() && !parts.contains(QStringLiteral("..")); ++i) {
            if (parts[i].endsWith(WidgetExtension, Qt::CaseInsensitive)
                && (i + 1 < parts.size() || name.endsWith(u'/'))) {
                widgets.insert(parts.first(i + 1));
                break;
            }
        }
    }
    if (widgets.size() > 1) {
        QStringList names;
        for (const QStringList &found : std::as_const(widgets))
            names.append(found.last());
        names.sort();
        return Outcome::failure(zipPath, tr("It holds more than one widget: “%1” and “%2”").arg(names[0], names[1]));
    }
    if (widgets.size() == 1) {
        layout->around = *widgets.begin();
        layout->widget = layout->around.takeLast();
        return {};
    }
    if (!infoAtTop)
        return Outcome::failure(zipPath, tr("It holds no widget, no folder whose name ends in “.wdgt”"));
    QString named = QFileInfo(zipPath).fileName();
    if (named.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive))
        named.chop(4);
    layout->widget = named.endsWith(WidgetExtension, Qt::CaseInsensitive) ? named : named + WidgetExtension;
    layout->contentsOnly = true;
    return {};
}

// Where `path` leads inside the widget once the links `links` (by their
// path) exist, as the file system will follow them; nothing when it leads
// out. Links that go round and round lead nowhere the system would follow.
std::optional<QStringList> resolved(QStringList path, const QHash<QString, QByteArray> &links)
{
    QStringList reached;
    for (int hops = 0; !path.isEmpty();) {
        const QString part = path.takeFirst();
        if (part == u"..") {
            if (reached.isEmpty())
                return std::nullopt;
            reached.removeLast();
            continue;
        }
        if (part.isEmpty() || part == u".")
            continue;
        reached.append(part);
        const auto link = links.constFind(reached.join(u'/'));
        if (link == links.constEnd())
            continue;
        if (link->startsWith('/'))
            return std::nullopt;
        if (++hops > 40)
            return reached;
        reached.removeLast();
        path = FileName::decode(*link).split(u'/') + path;
    }
    return reached;
}

// The first link that leads out of the widget through other links, each
// of which alone stays inside ("a/up -> .." and "root -> a/up/.."); null
// when there is none.
const Entry *linkLeadingOut(const std::vector<Entry> &entries)
{
    QHash<QString, QByteArray> links;
    for (const Entry &entry : entries) {
        if (entry.kind == Entry::Link)
            links.insert(entry.relative, entry.target);
    }
    for (const Entry &entry : entries) {
        if (entry.kind != Entry::Link)
            continue;
        const QStringList folder = entry.relative.split(u'/').mid(0, entry.relative.count(u'/'));
        if (!resolved(folder + FileName::decode(entry.target).split(u'/'), links))
            return &entry;
    }
    return nullptr;
}

// Checks every entry before anything is written: what it holds, where each
// entry would land, and how much it states it unpacks to. Entries beside
// the widget inside the folders around it (a ReadMe) are left in the zip.
Outcome planExtraction(zip_t *zip, const QString &zipPath, QString *widget, std::vector<Entry> *entries)
{
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    if (count > MaximumEntries)
        return Outcome::failure(zipPath, tr("It holds more than %L1 entries").arg(MaximumEntries));
    Layout layout;
    if (const Outcome found = findLayout(zip, zipPath, &layout); !found)
        return found;
    *widget = layout.widget;
    const QStringList folder = layout.around + QStringList{layout.widget};
    zip_uint64_t total = 0;
    QSet<QString> seen;
    for (zip_uint64_t index = 0; index < zip_uint64_t(count); ++index) {
        zip_stat_t stat;
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_stat_index(zip, index, ZIP_FL_ENC_RAW, &stat) != 0
            || zip_file_get_external_attributes(zip, index, 0, &system, &attributes) != 0)
            return zipFailure(zipPath, zip_get_error(zip));
        const QString name = FileName::decode(stat.name);
        const mode_t mode = system == ZIP_OPSYS_UNIX ? mode_t(attributes >> 16) : 0;
        const Entry::Kind kind = name.endsWith(u'/') || S_ISDIR(mode) ? Entry::Folder
            : S_ISLNK(mode)                                           ? Entry::Link
                                                                      : Entry::File;
        const Outcome landsOutside =
            Outcome::failure(zipPath, tr("It holds “%1”, which would land outside the widget").arg(name));
        QStringList parts = partsOf(name, kind == Entry::File);
        if (name.startsWith(u'/') || parts.contains(QStringLiteral("..")))
            return landsOutside;
        const bool aroundWidget = !layout.around.isEmpty() && parts.mid(0, folder.size()) != folder
            && (parts.mid(0, layout.around.size()) == layout.around || parts == layout.around.mid(0, parts.size()));
        if (parts.isEmpty() || aroundWidget)
            continue;
        if (!layout.contentsOnly) {
            if (parts.mid(0, folder.size()) != folder || (parts.size() == folder.size() && kind != Entry::Folder))
                return landsOutside;
            parts = parts.mid(folder.size());
        }
        Entry entry{index, parts.join(u'/'), kind, mode & 0777, stat.size, {}};
        if (kind == Entry::Link) {
            entry.target = readLinkEntry(zip, stat);
            if (!linkStaysInside(entry.relative, entry.target))
                return Outcome::failure(zipPath, tr("It holds “%1”, a link leading outside the widget").arg(name));
        }
        if (kind != Entry::Folder && seen.contains(entry.relative))
            return Outcome::failure(zipPath, tr("It holds “%1” twice").arg(name));
        seen.insert(entry.relative);
        // Compared before adding: stated sizes near 2^64 would wrap the sum.
        if (stat.size > MaximumBytes - total)
            return Outcome::failure(zipPath, tr("It would unpack to more than 2 GiB"));
        total += stat.size;
        entries->push_back(std::move(entry));
    }
    if (const Entry *out = linkLeadingOut(*entries))
        return Outcome::failure(zipPath,
                                tr("It holds “%1”, a link leading outside the widget").arg(entryName(zip, out->index)));
    return {};
}

// Unpacks the planned entries into a folder no one sees yet.
class Unpacker
{
public:
    Unpacker(zip_t *zip, const QString &zipPath, const QString &staged, const QString &destination,
             const ZipArchive::Progress &progress, zip_uint64_t total)
        : m_zip(zip)
        , m_zipPath(zipPath)
        , m_staged(staged)
        , m_destination(destination)
        , m_progress(progress)
        , m_total(total)
    { }

    /// Folders and files first, links last, so nothing is written through a
    /// link; the folders' permissions at the end, so none shuts out the rest.
    Outcome unpack(const std::vector<Entry> &entries)
    {
        Outcome outcome = makeFolders(QString());
        for (const Entry::Kind kind : {Entry::Folder, Entry::File, Entry::Link}) {
            for (auto entry = entries.begin(); outcome && entry != entries.end(); ++entry) {
                if (entry->kind == kind)
                    outcome = unpack(*entry);
            }
        }
        for (const Entry &entry : entries) {
            if (outcome && entry.kind == Entry::Folder && entry.mode != 0)
                ::chmod(encoded(staged(entry.relative)).constData(), entry.mode | S_IRWXU);
        }
        return outcome;
    }

private:
    QString staged(const QString &relative) const { return relative.isEmpty() ? m_staged : m_staged + u'/' + relative; }
    // Failures name the file where the user will look for it.
    QString shown(const QString &relative) const
    {
        return relative.isEmpty() ? m_destination : m_destination + u'/' + relative;
    }

    Outcome unpack(const Entry &entry)
    {
        if (entry.kind == Entry::Folder)
            return makeFolders(entry.relative);
        if (const Outcome made = makeFolders(entry.relative.section(u'/', 0, -2)); !made)
            return made;
        const QByteArray path = encoded(staged(entry.relative));
        if (entry.kind == Entry::Link)
            return ::symlink(entry.target.constData(), path.constData()) == 0
                ? Outcome()
                : Outcome::systemError(shown(entry.relative), errno);
        const int out = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (out < 0)
            return Outcome::systemError(shown(entry.relative), errno);
        Outcome outcome = copyContents(entry, out);
        if (entry.mode != 0)
            ::fchmod(out, entry.mode | S_IRUSR | S_IWUSR);
        if (::close(out) != 0 && outcome)
            outcome = Outcome::systemError(shown(entry.relative), errno);
        return outcome;
    }

    // Every byte is counted against the size the zip states, which the
    // checks for bombs trusted.
    Outcome copyContents(const Entry &entry, int out)
    {
        zip_file_t *file = zip_fopen_index(m_zip, entry.index, 0);
        if (!file)
            return zipFailure(m_zipPath, zip_get_error(m_zip));
        const Outcome wrongSize = Outcome::failure(
            m_zipPath, tr("“%1” does not hold as many bytes as it says").arg(m_destination + u'/' + entry.relative));
        Outcome outcome;
        zip_uint64_t written = 0;
        char buffer[64 * 1024];
        while (outcome) {
            const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
            if (got <= 0) {
                outcome = got < 0           ? zipFailure(m_zipPath, zip_file_get_error(file))
                    : written != entry.size ? wrongSize
                                            : outcome;
                break;
            }
            written += zip_uint64_t(got);
            m_done += zip_uint64_t(got);
            if (written > entry.size)
                outcome = wrongSize;
            else if (m_progress && !m_progress(m_done, m_total))
                outcome = Outcome::stopped(m_zipPath);
            for (zip_int64_t done = 0; outcome && done < got;) {
                const ssize_t put = ::write(out, buffer + done, size_t(got - done));
                if (put < 0 && errno != EINTR)
                    outcome = Outcome::systemError(shown(entry.relative), errno);
                done += std::max<ssize_t>(put, 0);
            }
        }
        zip_fclose(file);
        return outcome;
    }

    // Makes the folder and those above it that the zip did not list.
    Outcome makeFolders(const QString &relative) const
    {
        QString path = m_staged;
        const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
        for (qsizetype made = -1; made < parts.size(); ++made) {
            if (made >= 0)
                path += u'/' + parts[made];
            struct stat status
            { };
            if (::mkdir(encoded(path).constData(), 0777) != 0
                && (errno != EEXIST || ::lstat(encoded(path).constData(), &status) != 0 || !S_ISDIR(status.st_mode)))
                return Outcome::systemError(shown(parts.mid(0, made + 1).join(u'/')), errno);
        }
        return {};
    }

    zip_t *m_zip;
    QString m_zipPath;
    QString m_staged;
    QString m_destination;
    const ZipArchive::Progress &m_progress;
    zip_uint64_t m_total;
    zip_uint64_t m_done = 0;
};

// Refuses what would fill the disk the widget is unpacked on.
Outcome checkFreeSpace(const QString &zipPath, const QString &folder, zip_uint64_t total)
{
    struct statvfs disk
    { };
    if (::statvfs(encoded(folder).constData(), &disk) != 0)
        return Outcome::systemError(folder, errno);
    const zip_uint64_t free = zip_uint64_t(disk.f_bavail) * disk.f_frsize;
    if (total <= free)
        return {};
    const QLocale locale;
    return Outcome::failure(zipPath,
                            tr("It would unpack to %1, but the disk has only %2 free")
                                .arg(locale.formattedDataSize(qint64(total)), locale.formattedDataSize(qint64(free))));
}

// "Clock.wdgt", else "Clock 2.wdgt", "Clock 3.wdgt", ...: never a name taken.
QString freePath(const QString &folder, const QString &name)
{
    const QString stem = name.chopped(WidgetExtension.size());
    const QString extension = name.right(WidgetExtension.size());
    QString path = folder + u'/' + name;
    for (int number = 2; FileManager::isOccupied(path); ++number)
        path = QStringLiteral("%1/%2 %3%4").arg(folder, stem).arg(number).arg(extension);
    return path;
}

} // namespace

bool ZipArchive::isArchive(const QString &path)
{
    const QFileInfo info(path);
    // A missing zip too, so that it is reported as missing rather than made anew.
    return info.suffix().compare(u"zip", Qt::CaseInsensitive) == 0 && !info.isDir();
}

Outcome ZipArchive::exportBundle(const QString &bundle, const QString &zipPath)
{
    const QString root = QDir::cleanPath(QFileInfo(bundle).absoluteFilePath());
    const QFileInfo target(QDir::cleanPath(QFileInfo(zipPath).absoluteFilePath()));
    if (!FileManager::isDirectory(root) || !root.endsWith(WidgetExtension, Qt::CaseInsensitive))
        return FileManager::exists(root) ? Outcome::failure(bundle, tr("It is not a widget bundle folder"))
                                         : Outcome::systemError(bundle, ENOENT);
    if (FileManager::isSameOrInside(target.filePath(), root))
        return Outcome::failure(zipPath, tr("A widget cannot be zipped into itself"));
    QByteArray temporary = encoded(FileManager::leftoverPattern(target.absolutePath(), FileManager::Leftover::Zip));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return Outcome::systemError(zipPath, errno);
    ::close(fd);
    int code = 0;
    zip_t *zip = zip_open(temporary.constData(), ZIP_TRUNCATE, &code);
    if (!zip) {
        ::unlink(temporary.constData());
        return zipFailure(zipPath, code);
    }
    BundleZipper zipper(zip, root, zipPath);
    zipper.add(QString());
    Outcome outcome = zipper.outcome();
    if (outcome && zip_close(zip) != 0)
        outcome = zipper.closingFailure();
    if (!outcome)
        zip_discard(zip);
    else if (const int error = placeZip(temporary, target.filePath()); error != 0)
        outcome = Outcome::systemError(zipPath, error);
    if (!outcome)
        ::unlink(temporary.constData());
    return outcome;
}

Outcome ZipArchive::extractWidget(const QString &zipPath, QString *bundle, const Progress &progress)
{
    // Without blocking: a FIFO named ".zip" must not hang us.
    const int fd = ::open(encoded(zipPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Outcome::systemError(zipPath, zipPath.isEmpty() ? ENOENT : errno);
    struct stat status
    { };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = errno;
        ::close(fd);
        return S_ISREG(status.st_mode) ? Outcome::systemError(zipPath, error)
                                       : Outcome::failure(zipPath, tr("It is not a regular file"));
    }
    int code = 0;
    const std::unique_ptr<zip_t, void (*)(zip_t *)> zip(zip_fdopen(fd, 0, &code), zip_discard);
    if (!zip) {
        ::close(fd);
        return zipFailure(zipPath, code);
    }
    QString widget;
    std::vector<Entry> entries;
    if (const Outcome planned = planExtraction(zip.get(), zipPath, &widget, &entries); !planned)
        return planned;
    const QString folder = QFileInfo(zipPath).absolutePath();
    const zip_uint64_t total = std::accumulate(entries.begin(), entries.end(), zip_uint64_t(0),
                                               [](zip_uint64_t sum, const Entry &entry) { return sum + entry.size; });
    if (const Outcome room = checkFreeSpace(zipPath, folder, total); !room)
        return room;
    const QString destination = freePath(folder, widget);
    const StagingFolder staging(folder, FileManager::Leftover::Unzip);
    if (!staging.made())
        return staging.made();
    const QString staged = staging.path() + u'/' + QFileInfo(destination).fileName();
    Outcome outcome = Unpacker(zip.get(), zipPath, staged, destination, progress, total).unpack(entries);
    if (outcome)
        outcome = FileManager::moveItem(staged, destination);
    if (outcome)
        *bundle = destination;
    return outcome;
}
