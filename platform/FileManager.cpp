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

bool copyTree(const QString &source, const QString &destination)
{
    const QFileInfo info(source);
    if (info.isSymLink())
        return copyLink(source, destination);
    if (!info.isDir()) {
        if (!QFile::copy(source, destination))
            return false;
        // Files copied out of the program's own resources arrive read-only.
        if (source.startsWith(u':'))
            QFile::setPermissions(destination, QFile::permissions(destination)
                                  | QFile::WriteOwner | QFile::ReadOwner);
        return true;
    }
    if (!QDir().mkdir(destination))
        return false;
    for (const QString &name : FileManager::contentsOfDirectory(source)) {
        if (!copyTree(source + u'/' + name, destination + u'/' + name))
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

bool FileManager::copyItem(const QString &source, const QString &destination)
{
    if (source.isEmpty() || destination.isEmpty() || occupied(destination)
        || !occupied(source) || isSameOrInside(destination, source))
        return false;
    if (copyTree(source, destination))
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

bool FileManager::copyItemReplacing(const QString &source, const QString &destination)
{
    const QFileInfo target(destination);
    QTemporaryDir staging(target.absolutePath() + QStringLiteral("/.quillet-copy-XXXXXX"));
    if (!staging.isValid())
        return false;
    const QString staged = staging.path() + u'/' + target.fileName();
    return copyItem(source, staged) && replaceItem(staged, destination);
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
