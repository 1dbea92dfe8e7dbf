// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileManager.h"

#include "platform/FileName.h"
#include "platform/StagingFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>

namespace {

QByteArray encoded(const QString &path)
{
    return FileName::encode(path);
}

// What this program names what it writes before the write is whole.
// By FileManager::Leftover.
constexpr std::array LeftoverPrefixes{QLatin1StringView(".quillet-save-"), QLatin1StringView(".quillet-copy-"),
                                      QLatin1StringView(".quillet-zip-"), QLatin1StringView(".quillet-unzip-")};
// Older than any write still going on could be, in seconds.
constexpr std::time_t LeftoverAge = 60 * 60;

QString tr(const char *text)
{
    return QCoreApplication::translate("FileManager", text);
}

// Files of the kernel's own file systems (/proc, /sys, ...) are made up as
// they are read: their size says nothing, and some never end.
bool isMadeUpAsRead(const struct statfs &system)
{
    static constexpr std::array<unsigned long, 8> kinds{PROC_SUPER_MAGIC,    SYSFS_MAGIC,      DEBUGFS_MAGIC,
                                                        TRACEFS_MAGIC,       SECURITYFS_MAGIC, CGROUP_SUPER_MAGIC,
                                                        CGROUP2_SUPER_MAGIC, BPF_FS_MAGIC};
    return std::find(kinds.begin(), kinds.end(), static_cast<unsigned long>(system.f_type)) != kinds.end();
}

Outcome notARegularFile(const QString &path)
{
    return Outcome::failure(path, tr("It is not a regular file"));
}


// The permissions a new file gets from this process: 0666 less the umask.
mode_t newFileMode()
{
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return 0666 & ~mask;
    }();
    return mode;
}

// Keeps the link's own text, so relative links stay relative in the copy.
Outcome copyLink(const QString &source, const QString &destination)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(encoded(source).constData(), target, sizeof target);
    if (length < 0)
        return Outcome::systemError(source, errno);
    if (length == ssize_t(sizeof target))
        return Outcome::systemError(source, ENAMETOOLONG);
    if (::symlink(QByteArray(target, length).constData(), encoded(destination).constData()) != 0)
        return Outcome::systemError(destination, errno);
    return {};
}

// Copies the bytes in the kernel where it can; 0 or the errno value.
int copyFileContents(int in, int out, off_t size)
{
    off_t left = size;
    while (left > 0) {
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, size_t(left), 0);
        if (copied <= 0)
            break;
        left -= copied;
    }
    if (left == 0)
        return 0;
    // Some file systems refuse to copy in the kernel: go through a buffer.
    if (::lseek(in, size - left, SEEK_SET) < 0)
        return errno;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            return 0;
        if (got < 0)
            return errno;
        for (ssize_t done = 0; done < got;) {
            const ssize_t written = ::write(out, buffer + done, size_t(got - done));
            if (written < 0 && errno != EINTR)
                return errno;
            done += std::max<ssize_t>(written, 0);
        }
    }
}

// Keeps the permissions; never replaces an existing file. The source is
// opened without blocking, so a FIFO swapped in meanwhile cannot hang us.
Outcome copyFile(const QString &source, const QString &destination)
{
    const int in = ::open(encoded(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0)
        return Outcome::systemError(source, errno);
    struct stat status
    { };
    Outcome outcome;
    if (::fstat(in, &status) != 0) {
        outcome = Outcome::systemError(source, errno);
    } else if (!S_ISREG(status.st_mode)) {
        outcome = notARegularFile(source);
    } else {
        // The copy is the user's to edit, whatever the original allowed.
        const int out = ::open(encoded(destination).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                               (status.st_mode & 07777) | S_IRUSR | S_IWUSR);
        if (out < 0) {
            outcome = Outcome::systemError(destination, errno);
        } else {
            int error = copyFileContents(in, out, status.st_size);
            if (::close(out) != 0 && error == 0)
                error = errno;
            if (error != 0)
                outcome = Outcome::systemError(destination, error);
        }
    }
    ::close(in);
    return outcome;
}

// The program's own resources are no files to the system; they arrive read-only.
Outcome copyResource(const QString &source, const QString &destination)
{
    if (QFile::copy(source, destination)
        && QFile::setPermissions(destination, QFile::permissions(destination) | QFile::WriteOwner | QFile::ReadOwner))
        return {};
    return Outcome::failure(destination, tr("The program's own copy of it could not be written there"));
}

// One entry of a copy: a folder is made empty, its entries follow.
Outcome copyEntry(const QString &source, const QString &destination, const struct stat &status, bool resource)
{
    if (resource && !QFileInfo(source).isDir())
        return copyResource(source, destination);
    if (!resource && S_ISLNK(status.st_mode))
        return copyLink(source, destination);
    if (!resource && S_ISREG(status.st_mode))
        return copyFile(source, destination);
    if (::mkdir(encoded(destination).constData(), 0777) != 0)
        return Outcome::systemError(destination, errno);
    return {};
}

void copyTree(const QString &source, const QString &destination, const std::function<void()> &progress,
              Outcome &outcome)
{
    if (progress)
        progress();
    // A failure keeps the list of entries left out before it.
    const auto fail = [&outcome](Outcome failure) {
        for (const QString &skipped : outcome.skipped())
            failure.noteSkipped(skipped);
        outcome = failure;
    };
    const bool resource = source.startsWith(u':');
    struct stat status
    { };
    if (!resource && ::lstat(encoded(source).constData(), &status) != 0)
        return fail(Outcome::systemError(source, errno));
    const bool folder = resource ? QFileInfo(source).isDir() : S_ISDIR(status.st_mode);
    if (!resource && !folder && !S_ISLNK(status.st_mode) && !S_ISREG(status.st_mode)) {
        outcome.noteSkipped(source); // a FIFO, socket or device: never opened
        return;
    }
    if (const Outcome copied = copyEntry(source, destination, status, resource); !copied)
        return fail(copied);
    if (!folder)
        return;
    for (const QString &name : FileManager::contentsOfDirectory(source)) {
        if (FileManager::isLeftover(name))
            continue;
        copyTree(source + u'/' + name, destination + u'/' + name, progress, outcome);
        if (!outcome)
            return;
    }
    if (!resource)
        ::chmod(encoded(destination).constData(), (status.st_mode & 07777) | S_IRWXU);
}

Outcome removeTree(const QString &path)
{
    const QByteArray name = encoded(path);
    struct stat status
    { };
    if (::lstat(name.constData(), &status) != 0)
        return Outcome::systemError(path, errno);
    if (!S_ISDIR(status.st_mode))
        return ::unlink(name.constData()) == 0 ? Outcome() : Outcome::systemError(path, errno);
    for (const QString &entry : FileManager::contentsOfDirectory(path)) {
        const Outcome removed = removeTree(path + u'/' + entry);
        if (!removed)
            return removed;
    }
    return ::rmdir(name.constData()) == 0 ? Outcome() : Outcome::systemError(path, errno);
}

// Gathers pieces and hands them to the kernel many at a time.
class PieceWriter
{
public:
    explicit PieceWriter(int fd)
        : m_fd(fd)
    { }

    void add(const char *data, qsizetype length)
    {
        if (length <= 0 || m_error != 0)
            return;
        m_pieces.push_back({const_cast<char *>(data), size_t(length)});
        if (m_pieces.size() == MaximumPieces)
            flush();
    }

    /// 0 when every byte went out, else the errno value of the failure.
    int finish()
    {
        flush();
        return m_error;
    }

private:
    static constexpr size_t MaximumPieces = 1024;

    void flush()
    {
        size_t first = 0;
        while (m_error == 0 && first < m_pieces.size()) {
            const ssize_t written = ::writev(m_fd, m_pieces.data() + first, int(m_pieces.size() - first));
            if (written < 0) {
                m_error = errno == EINTR ? 0 : errno;
                continue;
            }
            // Skip what went out, keeping the rest of a piece written in part.
            size_t left = size_t(written);
            while (first < m_pieces.size() && left >= m_pieces[first].iov_len)
                left -= m_pieces[first++].iov_len;
            if (first < m_pieces.size()) {
                m_pieces[first].iov_base = static_cast<char *>(m_pieces[first].iov_base) + left;
                m_pieces[first].iov_len -= left;
            }
        }
        m_pieces.clear();
    }

    int m_fd;
    std::vector<iovec> m_pieces;
    int m_error = 0;
};

enum class Flush { ToDisk, Lazily };

// The one way a file is replaced: a sibling temporary file takes the
// target's place only when every write, the flush and the close succeeded.
Outcome writeThroughTemporary(const QString &path, const std::function<void(const FileManager::PieceSink &)> &produce,
                              Flush flush)
{
    if (path.isEmpty())
        return Outcome::systemError(path, ENOENT);
    // A link stays a link: its target is what gets written.
    const QString canonical = FileManager::canonicalPath(path);
    const QString target = canonical.isEmpty() ? path : canonical;
    struct stat existing
    { };
    const bool replacing = ::stat(encoded(target).constData(), &existing) == 0;
    if (replacing && S_ISDIR(existing.st_mode))
        return Outcome::systemError(path, EISDIR);
    if (replacing && !S_ISREG(existing.st_mode))
        return notARegularFile(path);
    if (replacing && ::access(encoded(target).constData(), W_OK) != 0)
        return Outcome::systemError(path, errno);
    QByteArray temporary =
        encoded(FileManager::leftoverPattern(QFileInfo(target).absolutePath(), FileManager::Leftover::Save));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return Outcome::systemError(path, errno);
    ::fchmod(fd, replacing ? existing.st_mode & 07777 : newFileMode());
    // Another user's file stays theirs when root saves it; others cannot and need not.
    if (replacing && existing.st_uid != ::geteuid()) {
        [[maybe_unused]] const int kept = ::fchown(fd, existing.st_uid, existing.st_gid);
    }
    PieceWriter writer(fd);
    produce([&writer](const char *data, qsizetype length) { writer.add(data, length); });
    int error = writer.finish();
    if (error == 0 && flush == Flush::ToDisk && ::fdatasync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), encoded(target).constData()) != 0)
        error = errno;
    if (error == 0)
        return {};
    ::unlink(temporary.constData());
    return Outcome::systemError(path, error);
}

// Cuts the file and writes it where it stands: no sibling, no rename. The
// old bytes are written over before the rest is cut off, so the pages the
// file already holds are reused.
Outcome writeInPlace(const QString &path, const std::function<void(const FileManager::PieceSink &)> &produce)
{
    // Without blocking: a FIFO found there must not hang us.
    const int fd = ::open(encoded(path).constData(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, newFileMode());
    if (fd < 0)
        return Outcome::systemError(path, path.isEmpty() ? ENOENT : errno);
    struct stat status
    { };
    const Outcome refused = ::fstat(fd, &status) != 0 ? Outcome::systemError(path, errno)
        : S_ISREG(status.st_mode)                     ? Outcome()
                                                      : notARegularFile(path);
    if (!refused) {
        ::close(fd);
        return refused;
    }
    PieceWriter writer(fd);
    produce([&writer](const char *data, qsizetype length) { writer.add(data, length); });
    int error = writer.finish();
    const off_t written = error == 0 ? ::lseek(fd, 0, SEEK_CUR) : -1;
    if (error == 0 && (written < 0 || ::ftruncate(fd, written) != 0))
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error == 0 ? Outcome() : Outcome::systemError(path, error);
}

} // namespace

// A plain readdir loop: lists are refreshed often, and nothing here needs
// more than the names. Qt's resources (":/...") are no folders of the system.
QStringList FileManager::contentsOfDirectory(const QString &path)
{
    QStringList names;
    if (path.startsWith(u':')) {
        for (QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
             it.hasNext();)
            names.append(QFileInfo(it.next()).fileName());
        return names;
    }
    DIR *folder = ::opendir(encoded(path).constData());
    if (!folder)
        return names;
    while (const dirent *entry = ::readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.append(FileName::decode(entry->d_name));
    }
    ::closedir(folder);
    return names;
}

QString FileManager::leftoverPattern(const QString &folder, Leftover kind)
{
    return folder + u'/' + LeftoverPrefixes[size_t(kind)] + QStringLiteral("XXXXXX");
}

bool FileManager::isLeftover(const QString &name)
{
    return std::any_of(LeftoverPrefixes.begin(), LeftoverPrefixes.end(),
                       [&name](QLatin1StringView prefix) { return name.startsWith(prefix); });
}

void FileManager::removeLeftovers(const QString &bundle)
{
    const auto stale = [](const QString &path) {
        struct stat status
        { };
        return ::lstat(encoded(path).constData(), &status) == 0 && std::time(nullptr) - status.st_mtime > LeftoverAge;
    };
    const QString folder = QFileInfo(bundle).absolutePath();
    for (const QString &name : contentsOfDirectory(folder)) {
        const QString beside = folder + u'/' + name;
        if (isLeftover(name) && stale(beside))
            (void)removeItem(beside);
    }
    // Links are not followed: what they lead to is not the bundle's.
    const std::function<void(const QString &)> clean = [&](const QString &folder) {
        for (const QString &name : contentsOfDirectory(folder)) {
            const QString path = folder + u'/' + name;
            if (isLeftover(name) && stale(path))
                (void)removeItem(path);
            else if (struct stat status{}; ::lstat(encoded(path).constData(), &status) == 0 && S_ISDIR(status.st_mode))
                clean(path);
        }
    };
    clean(bundle);
}

Outcome FileManager::openForReading(const QString &path, int *fd, qint64 *size)
{
    *fd = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (*fd < 0)
        return Outcome::systemError(path, errno);
    struct stat status
    { };
    struct statfs system
    { };
    Outcome outcome;
    if (::fstat(*fd, &status) != 0 || ::fstatfs(*fd, &system) != 0)
        outcome = Outcome::systemError(path, errno);
    else if (S_ISDIR(status.st_mode))
        outcome = Outcome::systemError(path, EISDIR);
    else if (!S_ISREG(status.st_mode) || isMadeUpAsRead(system))
        outcome = notARegularFile(path);
    if (size)
        *size = status.st_size;
    if (!outcome) {
        ::close(*fd);
        *fd = -1;
    }
    return outcome;
}

Outcome FileManager::readFile(const QString &path, QByteArray *data, qint64 limit)
{
    int fd = -1;
    qint64 size = 0;
    Outcome outcome = openForReading(path, &fd, &size);
    if (!outcome)
        return outcome;
    QByteArray bytes;
    bytes.reserve(qsizetype(std::clamp<qint64>(size, 0, limit)));
    char buffer[64 * 1024];
    while (outcome) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0 && errno != EINTR)
            outcome = Outcome::systemError(path, errno);
        else if (got > 0 && bytes.size() + got > limit)
            outcome = tooLarge(path, limit);
        else if (got > 0)
            bytes.append(buffer, got);
    }
    ::close(fd);
    if (outcome)
        *data = std::move(bytes);
    return outcome;
}

Outcome FileManager::tooLarge(const QString &path, qint64 limit)
{
    return Outcome::failure(
        path, tr("It is larger than %1, more than is read of such a file").arg(QLocale().formattedDataSize(limit, 0)));
}

Outcome FileManager::writeFile(const QString &path, const QByteArray &data)
{
    return writeThroughTemporary(
        path, [&data](const PieceSink &sink) { sink(data.constData(), data.size()); }, Flush::ToDisk);
}

Outcome FileManager::writeFileInPieces(const QString &path, const std::function<void(const PieceSink &)> &produce,
                                       Writing writing)
{
    return writing == Writing::InPlace ? writeInPlace(path, produce)
                                       : writeThroughTemporary(path, produce, Flush::Lazily);
}

Outcome FileManager::createFile(const QString &path)
{
    const int fd = ::open(encoded(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return Outcome::systemError(path, path.isEmpty() ? ENOENT : errno);
    return ::close(fd) == 0 ? Outcome() : Outcome::systemError(path, errno);
}

bool FileManager::isOccupied(const QString &path)
{
    struct stat status
    { };
    if (path.startsWith(u':'))
        return QFileInfo::exists(path); // the program's own resources
    return !path.isEmpty() && ::lstat(encoded(path).constData(), &status) == 0;
}

bool FileManager::exists(const QString &path)
{
    struct stat status
    { };
    if (path.startsWith(u':'))
        return QFileInfo::exists(path);
    return !path.isEmpty() && ::stat(encoded(path).constData(), &status) == 0;
}

bool FileManager::isDirectory(const QString &path)
{
    struct stat status
    { };
    if (path.startsWith(u':'))
        return QFileInfo(path).isDir();
    return !path.isEmpty() && ::stat(encoded(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

QString FileManager::canonicalPath(const QString &path)
{
    char real[PATH_MAX];
    return !path.isEmpty() && ::realpath(encoded(path).constData(), real) ? FileName::decode(real) : QString();
}

Outcome FileManager::createDirectory(const QString &path)
{
    if (path.isEmpty())
        return Outcome::systemError(path, ENOENT);
    return ::mkdir(encoded(path).constData(), 0777) == 0 ? Outcome() : Outcome::systemError(path, errno);
}

bool FileManager::isSameOrInside(const QString &path, const QString &ancestor)
{
    const QString p = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString a = QDir::cleanPath(QFileInfo(ancestor).absoluteFilePath());
    return p == a || p.startsWith(a.endsWith(u'/') ? a : a + u'/');
}

std::optional<QString> FileManager::pathInside(const QString &folder, const QString &relative)
{
    if (relative.isEmpty() || QDir::isAbsolutePath(relative))
        return std::nullopt;
    const QString top = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString path = QDir::cleanPath(top + u'/' + relative);
    if (!path.startsWith(top + u'/'))
        return std::nullopt;
    // A link inside the folder must not lead elsewhere, also when the entry
    // itself does not exist yet: then its nearest existing parent decides.
    QString existing = path;
    while (!FileManager::isOccupied(existing) && existing.size() > top.size())
        existing = existing.section(u'/', 0, -2);
    const QString real = canonicalPath(existing);
    const QString realTop = canonicalPath(top);
    if (existing != top && real != realTop && (real.isEmpty() || !real.startsWith(realTop + u'/')))
        return std::nullopt;
    return path;
}

bool FileManager::leadsOutside(const QString &folder, const QString &path)
{
    const QString top = QDir::cleanPath(folder);
    const QString cleaned = QDir::cleanPath(path);
    if (cleaned == top)
        return false;
    return !cleaned.startsWith(top + u'/') || !pathInside(top, cleaned.mid(top.size() + 1));
}

namespace {

// Why a copy or move to `destination` may not even start; done when it may.
Outcome checkDestination(const QString &source, const QString &destination)
{
    if (source.isEmpty() || !FileManager::isOccupied(source))
        return Outcome::systemError(source, ENOENT);
    if (FileManager::isOccupied(destination))
        return Outcome::systemError(destination, EEXIST);
    if (FileManager::isSameOrInside(destination, source))
        return Outcome::failure(destination, tr("A folder cannot go inside itself"));
    return {};
}

} // namespace

Outcome FileManager::copyItem(const QString &source, const QString &destination, const std::function<void()> &progress)
{
    if (const Outcome allowed = checkDestination(source, destination); !allowed)
        return allowed;
    Outcome outcome;
    copyTree(source, destination, progress, outcome);
    if (!outcome && FileManager::isOccupied(destination)) {
        // Whatever the half-made copy holds is ours to remove.
        [[maybe_unused]] const Outcome removed = removeTree(destination);
    }
    return outcome;
}

namespace {

// Removes the tree at `path` but the entries `kept`, and the folders that
// hold them.
Outcome removeAllBut(const QString &path, const QStringList &kept)
{
    const auto holds = [&kept](const QString &folder) {
        return std::any_of(kept.cbegin(), kept.cend(),
                           [&folder](const QString &entry) { return entry.startsWith(folder + u'/'); });
    };
    if (kept.contains(path))
        return {};
    if (!holds(path))
        return FileManager::removeItem(path);
    Outcome outcome;
    for (const QString &name : FileManager::contentsOfDirectory(path))
        outcome.add(removeAllBut(path + u'/' + name, kept));
    return outcome;
}

} // namespace

Outcome FileManager::moveItem(const QString &source, const QString &destination)
{
    if (const Outcome allowed = checkDestination(source, destination); !allowed)
        return allowed;
    // RENAME_NOREPLACE makes "never replace" hold even against a racing writer.
    if (::renameat2(AT_FDCWD, encoded(source).constData(), AT_FDCWD, encoded(destination).constData(), RENAME_NOREPLACE)
        == 0)
        return {};
    if (errno != EXDEV)
        return Outcome::systemError(source, errno);
    // Another file system: copy, and give up the source only once the copy
    // is whole, and only what arrived: what the copy left out stays.
    const Outcome copied = copyItem(source, destination);
    if (!copied)
        return copied;
    Outcome moved = removeAllBut(source, copied.skipped());
    if (moved)
        moved = copied;
    return moved;
}

Outcome FileManager::moveItemsInto(const QList<QUrl> &items, const QString &folder, int *moved)
{
    const QString canonicalFolder = canonicalPath(folder);
    Outcome all;
    int count = 0;
    for (const QUrl &item : items) {
        const QString source = item.toLocalFile();
        if (source.isEmpty() || isSameOrInside(folder, source))
            continue;
        const QString canonicalSource = canonicalPath(source);
        if (!canonicalSource.isEmpty() && isSameOrInside(canonicalFolder, canonicalSource))
            continue;
        // An entry dropped back into its own folder stays where it is.
        if (isSameFile(QFileInfo(source).absolutePath(), folder))
            continue;
        const Outcome outcome = moveItem(source, folder + u'/' + QFileInfo(source).fileName());
        count += outcome ? 1 : 0;
        all.add(outcome);
    }
    if (moved)
        *moved = count;
    return all;
}

Outcome FileManager::replaceItem(const QString &source, const QString &destination)
{
    if (!FileManager::isOccupied(destination))
        return moveItem(source, destination);
    if (source.isEmpty() || !FileManager::isOccupied(source))
        return Outcome::systemError(source, ENOENT);
    if (isSameOrInside(source, destination))
        return Outcome::failure(destination, tr("A folder cannot go inside itself"));
    if (::renameat2(AT_FDCWD, encoded(source).constData(), AT_FDCWD, encoded(destination).constData(), RENAME_EXCHANGE)
        == 0) {
        // The old entry, now sitting where the new one was, is no longer wanted.
        [[maybe_unused]] const Outcome removed = removeTree(source);
        return {};
    }
    if (errno != EINVAL && errno != ENOSYS)
        return Outcome::systemError(destination, errno);
    // No atomic exchange here: set the old entry aside until the new one is in.
    const QString aside = destination + QStringLiteral(".quillet-old");
    if (const Outcome setAside = moveItem(destination, aside); !setAside)
        return setAside;
    const Outcome placed = moveItem(source, destination);
    const Outcome cleanUp = placed ? removeTree(aside) : moveItem(aside, destination);
    Q_UNUSED(cleanUp);
    return placed;
}

Outcome FileManager::copyItemReplacing(const QString &source, const QString &destination,
                                       const std::function<void()> &progress,
                                       const std::function<Outcome(const QString &staged)> &finish)
{
    const QFileInfo target(destination);
    const StagingFolder staging(target.absolutePath(), Leftover::Copy);
    if (!staging.made())
        return staging.made();
    const QString staged = staging.path() + u'/' + target.fileName();
    // The staging folder goes with this call: the user knows the copy by where it was to go.
    const auto named = [&staged, &destination](const Outcome &outcome) {
        const QString file = outcome.file();
        return file == staged || file.startsWith(staged + u'/') ? outcome.naming(destination + file.mid(staged.size()))
                                                                : outcome;
    };
    const Outcome copied = copyItem(source, staged, progress);
    if (!copied)
        return named(copied);
    if (const Outcome finished = finish ? finish(staged) : Outcome(); !finished)
        return named(finished);
    Outcome replaced = replaceItem(staged, destination);
    for (const QString &skipped : copied.skipped())
        replaced.noteSkipped(skipped);
    return replaced;
}

bool FileManager::isSameFile(const QString &first, const QString &second)
{
    struct stat a
    {
    }, b{};
    return !first.isEmpty() && !second.isEmpty() && ::stat(encoded(first).constData(), &a) == 0
        && ::stat(encoded(second).constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

Outcome FileManager::removeItem(const QString &path)
{
    if (path.isEmpty())
        return Outcome::systemError(path, ENOENT);
    return removeTree(path);
}
