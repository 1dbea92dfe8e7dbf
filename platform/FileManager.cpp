// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileManager.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <vector>
#include <unistd.h>

namespace {

// lstat-style existence: a dangling link still occupies its name.
bool occupied(const QString &path)
{
    return QFileInfo(path).isSymLink() || QFileInfo::exists(path);
}

// Keeps the link's own text, so relative links stay relative in the copy.
quint64 listings = 0;

bool copyLink(const QString &source, const QString &destination)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(QFile::encodeName(source).constData(), target, sizeof target);
    if (length < 0 || length == ssize_t(sizeof target))
        return false;
    return ::symlink(QByteArray(target, length).constData(),
                     QFile::encodeName(destination).constData()) == 0;
}

// Copies the bytes in the kernel where it can, and keeps the permissions;
// never replaces an existing file.
bool copyFileContents(int in, int out, off_t size)
{
    off_t left = size;
    while (left > 0) {
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, size_t(left), 0);
        if (copied <= 0)
            break;
        left -= copied;
    }
    if (left == 0)
        return true;
    // Some file systems refuse to copy in the kernel: go through a buffer.
    if (::lseek(in, size - left, SEEK_SET) < 0)
        return false;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0 || ::write(out, buffer, size_t(got)) != got)
            return false;
    }
}

bool copyFile(const QString &source, const QString &destination)
{
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat status{};
    bool copied = false;
    if (::fstat(in, &status) == 0) {
        const int out = ::open(QFile::encodeName(destination).constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, status.st_mode & 07777);
        if (out >= 0) {
            copied = copyFileContents(in, out, status.st_size);
            copied = ::close(out) == 0 && copied;
        }
    }
    ::close(in);
    return copied;
}

bool copyTree(const QString &source, const QString &destination, const std::function<void()> &progress)
{
    if (progress)
        progress();
    const QFileInfo info(source);
    if (info.isSymLink())
        return copyLink(source, destination);
    if (!info.isDir()) {
        if (!source.startsWith(u':'))
            return copyFile(source, destination);
        // The program's own resources are no files to the system; they arrive read-only.
        return QFile::copy(source, destination)
            && QFile::setPermissions(destination, QFile::permissions(destination)
                                     | QFile::WriteOwner | QFile::ReadOwner);
    }
    if (!QDir().mkdir(destination))
        return false;
    for (const QString &name : FileManager::contentsOfDirectory(source)) {
        if (!copyTree(source + u'/' + name, destination + u'/' + name, progress))
            return false;
    }
    return true;
}

} // namespace

QStringList FileManager::contentsOfDirectory(const QString &path)
{
    ++listings;
    QStringList names;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }
    return names;
}

quint64 FileManager::listingCount()
{
    return listings;
}

bool FileManager::writeFile(const QString &path, const QByteArray &data, WriteMode mode)
{
    if (path.isEmpty())
        return false;
    if (mode == WriteMode::InPlace) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(data) == data.size();
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

namespace {

// Gathers pieces and hands them to the kernel many at a time.
class PieceWriter
{
public:
    explicit PieceWriter(int fd) : m_fd(fd) {}

    void add(const char *data, qsizetype length)
    {
        if (length <= 0 || !m_ok)
            return;
        m_pieces.push_back({const_cast<char *>(data), size_t(length)});
        if (m_pieces.size() == MaximumPieces)
            flush();
    }

    bool finish()
    {
        flush();
        return m_ok;
    }

private:
    static constexpr size_t MaximumPieces = 1024;

    void flush()
    {
        size_t first = 0;
        while (m_ok && first < m_pieces.size()) {
            const ssize_t written = ::writev(m_fd, m_pieces.data() + first, int(m_pieces.size() - first));
            if (written < 0) {
                m_ok = errno == EINTR;
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
    bool m_ok = true;
};

} // namespace

bool FileManager::writeFileInPieces(const QString &path, const std::function<void(const PieceSink &)> &produce)
{
    const QFileInfo target(path);
    QByteArray temporary = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                              + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    struct stat existing{};
    if (::stat(QFile::encodeName(path).constData(), &existing) == 0)
        ::fchmod(fd, existing.st_mode & 07777);
    PieceWriter writer(fd);
    produce([&writer](const char *data, qsizetype length) { writer.add(data, length); });
    const bool written = writer.finish();
    if (::close(fd) == 0 && written
        && ::rename(temporary.constData(), QFile::encodeName(path).constData()) == 0)
        return true;
    ::unlink(temporary.constData());
    return false;
}

bool FileManager::exists(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool FileManager::isDirectory(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool FileManager::createDirectory(const QString &path)
{
    return !path.isEmpty() && QDir().mkdir(path);
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
    // A link inside the folder must not lead elsewhere.
    const QString real = QFileInfo(path).canonicalFilePath();
    const QString realTop = QFileInfo(top).canonicalFilePath();
    if (!real.isEmpty() && !real.startsWith(realTop + u'/'))
        return std::nullopt;
    return path;
}

bool FileManager::copyItem(const QString &source, const QString &destination, const std::function<void()> &progress)
{
    if (source.isEmpty() || destination.isEmpty() || occupied(destination)
        || !occupied(source) || isSameOrInside(destination, source))
        return false;
    if (copyTree(source, destination, progress))
        return true;
    removeItem(destination);
    return false;
}

bool FileManager::moveItem(const QString &source, const QString &destination)
{
    if (source.isEmpty() || destination.isEmpty() || !occupied(source)
        || isSameOrInside(destination, source))
        return false;
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(destination);
    // RENAME_NOREPLACE makes "never replace" hold even against a racing writer.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EXDEV)
        return false;
    // Another file system: copy, and give up the source only once the copy is whole.
    return copyItem(source, destination) && removeItem(source);
}

void FileManager::moveItemsInto(const QList<QUrl> &items, const QString &folder)
{
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    for (const QUrl &item : items) {
        const QString source = item.toLocalFile();
        if (source.isEmpty() || isSameOrInside(folder, source))
            continue;
        const QString canonicalSource = QFileInfo(source).canonicalFilePath();
        if (!canonicalSource.isEmpty() && isSameOrInside(canonicalFolder, canonicalSource))
            continue;
        moveItem(source, folder + u'/' + QFileInfo(source).fileName());
    }
}

bool FileManager::replaceItem(const QString &source, const QString &destination)
{
    if (!occupied(destination))
        return moveItem(source, destination);
    if (source.isEmpty() || !occupied(source) || isSameOrInside(source, destination))
        return false;
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(destination);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0) {
        removeItem(source); // the old entry, now sitting where the new one was
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // No atomic exchange here: set the old entry aside until the new one is in.
    const QString aside = destination + QStringLiteral(".quillet-old");
    if (!moveItem(destination, aside))
        return false;
    if (moveItem(source, destination)) {
        removeItem(aside);
        return true;
    }
    moveItem(aside, destination);
    return false;
}

bool FileManager::copyItemReplacing(const QString &source, const QString &destination,
                                    const std::function<void()> &progress)
{
    const QFileInfo target(destination);
    QTemporaryDir staging(target.absolutePath() + QStringLiteral("/.quillet-copy-XXXXXX"));
    if (!staging.isValid())
        return false;
    const QString staged = staging.path() + u'/' + target.fileName();
    return copyItem(source, staged, progress) && replaceItem(staged, destination);
}

bool FileManager::isSameFile(const QString &first, const QString &second)
{
    struct stat a{}, b{};
    return !first.isEmpty() && !second.isEmpty()
        && ::stat(QFile::encodeName(first).constData(), &a) == 0
        && ::stat(QFile::encodeName(second).constData(), &b) == 0
        && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool FileManager::removeItem(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !occupied(path))
        return false;
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}
