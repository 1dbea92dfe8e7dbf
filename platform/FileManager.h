// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

/// The file operations every subsystem uses on bundles. None of them ever
/// replaces an existing entry: copy and move fail, leaving both sides as they
/// were, when the destination exists. Results are returned, never reported;
/// callers that must stay silent simply ignore them.
class FileManager
{
public:
    /// Names of the directory's entries, one level deep, hidden ones included,
    /// in the order the file system lists them. Empty when it cannot be listed.
    static QStringList contentsOfDirectory(const QString &path);

    /// Whether anything exists at the path; a link counts by what it points at.
    static bool exists(const QString &path);
    /// Whether the path is a directory, links followed.
    static bool isDirectory(const QString &path);

    /// Creates one directory; its parent must exist.
    static bool createDirectory(const QString &path);

    /// Copies a file or a whole tree. Symbolic links are copied as links, so a
    /// link that loops back up the tree cannot make the copy run away. Fails
    /// without touching anything when the destination exists or lies inside
    /// the source; a copy that fails half-way is removed again.
    /// `progress`, when given, is called once per entry copied.
    static bool copyItem(const QString &source, const QString &destination,
                         const std::function<void()> &progress = {});

    /// Moves a file or a tree, across file systems too. Fails without change
    /// when the destination exists or lies inside the source.
    static bool moveItem(const QString &source, const QString &destination);

    /// Moves the local files and folders of `items` into `folder` under
    /// their own names, as a drop on a list of that folder does: never
    /// replacing, and skipping `folder` itself and any folder that holds
    /// it, also when links make the paths look unrelated.
    static void moveItemsInto(const QList<QUrl> &items, const QString &folder);

    /// Puts `source` in the place of `destination`, which may exist and is
    /// then replaced in one step where the file system allows it. Only for a
    /// replacement the user agreed to. On failure `destination` is as before.
    static bool replaceItem(const QString &source, const QString &destination);

    /// Writes a whole file. Atomic by default: the data goes to a temporary
    /// file that then takes the target's place, so a failed write leaves the
    /// old file whole. In place, the target itself is overwritten.
    enum class WriteMode { Atomic, InPlace };
    static bool writeFile(const QString &path, const QByteArray &data,
                          WriteMode mode = WriteMode::Atomic);

    /// Writes a file from the pieces `produce` hands to its sink, in order.
    /// The pieces must stay valid until the call returns; they are written
    /// without being gathered first, into a sibling file that then takes the
    /// target's place with the target's permissions. Meant for large files
    /// made anew: no flush to disk is forced.
    using PieceSink = std::function<void(const char *data, qsizetype length)>;
    static bool writeFileInPieces(const QString &path, const std::function<void(const PieceSink &)> &produce);

    /// How many directory listings this process made; lets benchmarks and
    /// tests see that a view does not list a folder per cell.
    static quint64 listingCount();

    /// Copies `source` in the place of `destination`, which may exist and is
    /// then replaced. The copy is made whole beside the destination first, so
    /// a failed copy leaves whatever was there untouched. Only for a
    /// replacement the user agreed to.
    static bool copyItemReplacing(const QString &source, const QString &destination,
                                  const std::function<void()> &progress = {});

    /// Whether two paths name the same file or folder, however they are
    /// spelled (links, letter case on a case-blind file system).
    static bool isSameFile(const QString &first, const QString &second);

    /// Removes a file, a link (never what it points at) or a whole tree.
    static bool removeItem(const QString &path);

    /// The full path of `relative` within `folder`; nothing when it would lead
    /// outside it: an absolute path, ".." climbing out, a link pointing
    /// elsewhere, or the folder itself.
    static std::optional<QString> pathInside(const QString &folder, const QString &relative);

    /// Whether `path` is `ancestor` itself or lies below it, comparing cleaned
    /// absolute paths.
    static bool isSameOrInside(const QString &path, const QString &ancestor);
};
