// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <algorithm>
#include <climits>
#include <unistd.h>

/// Builds and reads small folder trees for tests.
namespace Tree {

/// Writes `content` at root/relative, making the folders on the way.
inline bool write(const QString &root, const QString &relative, const QByteArray &content)
{
    const QString path = root + u'/' + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

/// Writes each pair of a relative path and its content.
inline bool write(const QString &root, std::initializer_list<std::pair<QString, QByteArray>> files)
{
    return std::all_of(files.begin(), files.end(),
                       [&root](const auto &file) { return write(root, file.first, file.second); });
}

inline QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

/// A small widget bundle: Info.plist, main.html, a hidden .DS_Store and an
/// image in a folder.
inline QString writeBundle(const QString &root)
{
    write(root, QStringLiteral("Info.plist"), "<plist/>");
    write(root, QStringLiteral("main.html"), "<html>old \xe9</html>");
    write(root, QStringLiteral(".DS_Store"), "x");
    write(root, QStringLiteral("Images/back.png"), QByteArray(64, '\x89'));
    return root;
}

/// The link's own text, relative or not.
inline QByteArray linkText(const QString &path)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    return length < 0 ? QByteArray() : QByteArray(target, length);
}

/// Every entry below root, hidden ones included, by relative path: a file's
/// bytes, "<dir>" for a folder, "-> target" for a link (never followed).
inline QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = QDir(root).relativeFilePath(info.filePath());
        if (info.isSymLink())
            entries[relative] = "-> " + linkText(info.filePath());
        else if (info.isDir())
            entries[relative] = "<dir>";
        else
            entries[relative] = read(info.filePath());
    }
    return entries;
}

} // namespace Tree
