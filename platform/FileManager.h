// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

/// The file operations every subsystem uses on bundles. None of them ever
/// replaces an existing entry unasked: copy and move fail, leaving both
/// sides as they were, when the destination exists. Each returns its
/// outcome, naming the file it failed on and the system's reason; only
/// regular files, folders and links are ever opened or copied.
class FileManager
{
public:
    /// Names of the directory's entries, one level deep, hidden ones included,
    /// in the order the file system lists them. Empty when it cannot be listed.
    static QStringList contentsOfDirectory(const QString &path);

    /// Whether anything exists at the path; a link counts by what it points at.
    static bool exists(const QString &path);
    /// Whether anything stands at the path, a dangling link included: the
    /// name is taken even when nothing exists behind it.
    static bool isOccupied(const QString &path);
    /// Whether the path is a directory, links followed.
    static bool isDirectory(const QString &path);
    /// The path with every link and "." or ".." resolved; empty when it
    /// names nothing.
    static QString canonicalPath(const QString &path);

    /// What this program writes before the write is whole: a temporary
    /// beside a file or a zip, a folder staging a copy or an unpacked zip.
    enum class Leftover { Save, Copy, Zip, Unzip };
    /// The name pattern (for mkstemp and QTemporaryDir) of a leftover of
    /// `kind` in `folder`: of the same length whatever the file it stands
    /// in for, so that a target's name as long as the system allows still
    /// has one beside it.
    static QString leftoverPattern(const QString &folder, Leftover kind);
    /// Whether `name` is one leftoverPattern gives. A stopped program leaves
    /// them; copies, exports and installs leave them out.
    static bool isLeftover(const QString &name);
    /// Removes the leftovers in `bundle` (at any depth) and beside it that
    /// are older than any write still going on could be; what could not be
    /// removed stays, as it harms nothing.
    static void removeLeftovers(const QString &bundle);

    /// The most a read takes in unless told otherwise.
    static constexpr qint64 ReadLimit = qint64(512) << 20;
    /// Opens a regular file for reading, its descriptor in `fd` for the
    /// caller to close, and its size as it says in `size` when given.
    /// Anything else (a folder, a FIFO, a device, a file the kernel makes up
    /// as it is read, as under /proc, whose size says nothing) is refused
    /// without being read, so that it can neither hang nor flood the
    /// caller; `fd` is then -1.
    static Outcome openForReading(const QString &path, int *fd, qint64 *size = nullptr);
    /// Reads a whole regular file, as openForReading takes it, into `data`.
    /// One longer than `limit` is refused once `limit` bytes were read,
    /// whatever size it claims.
    static Outcome readFile(const QString &path, QByteArray *data, qint64 limit = ReadLimit);
    /// The refusal of a file longer than `limit` bytes.
    static Outcome tooLarge(const QString &path, qint64 limit);

    /// Writes a whole file: the data goes to a sibling temporary file, which
    /// takes the target's place only once every byte reached the disk, so a
    /// failed write (a full disk, a missing folder) leaves the old file
    /// whole. The file keeps its permissions; a link is written through to
    /// the file it leads to and stays a link.
    static Outcome writeFile(const QString &path, const QByteArray &data);

    /// How a file is rewritten. `Replacing`, as `writeFile` does, leaves the
    /// old file whole when the write fails. `InPlace` cuts the file and
    /// writes it where it stands, sparing a new file and a rename, so a
    /// failed write leaves it cut short: only for a file no one sees yet,
    /// such as one in a copy that is still being made out of sight.
    enum class Writing { Replacing, InPlace };

    /// As `writeFile`, from the pieces `produce` hands to its sink, in order.
    /// The pieces must stay valid until the call returns; they are written
    /// without being gathered first, so with `InPlace` they must not come
    /// from the file itself (a map of it). Meant for large files made anew:
    /// no flush to disk is forced.
    using PieceSink = std::function<void(const char *data, qsizetype length)>;
    static Outcome writeFileInPieces(const QString &path, const std::function<void(const PieceSink &)> &produce,
                                     Writing writing = Writing::Replacing);

    /// Creates an empty file; fails when anything exists at the path.
    static Outcome createFile(const QString &path);
    /// Creates one directory; its parent must exist.
    static Outcome createDirectory(const QString &path);

    /// Copies a file or a whole tree. Symbolic links are copied as links, so a
    /// link that loops back up the tree cannot make the copy run away; FIFOs,
    /// sockets and devices are left out and listed in the outcome. Fails
    /// without touching anything when the destination exists or lies inside
    /// the source; a copy that fails half-way is removed again.
    /// `progress`, when given, is called once per entry copied.
    static Outcome copyItem(const QString &source, const QString &destination,
                            const std::function<void()> &progress = {});

    /// Moves a file or a tree, across file systems too. Fails without change
    /// when the destination exists or lies inside the source.
    static Outcome moveItem(const QString &source, const QString &destination);

    /// Moves the local files and folders of `items` into `folder` under
    /// their own names, as a drop on a list of that folder does: never
    /// replacing, and skipping `folder` itself and any folder that holds
    /// it, also when links make the paths look unrelated, and entries that
    /// already lie in `folder`. Moves what it can; the outcome names every
    /// failure, the first first, and every entry a move left out where it
    /// was. `moved`, when given, counts the items that moved.
    static Outcome moveItemsInto(const QList<QUrl> &items, const QString &folder, int *moved = nullptr);

    /// Puts `source` in the place of `destination`, which may exist and is
    /// then replaced in one step where the file system allows it. Only for a
    /// replacement the user agreed to. On failure `destination` is as before.
    static Outcome replaceItem(const QString &source, const QString &destination);

    /// Copies `source` in the place of `destination`, which may exist and is
    /// then replaced. The copy is made whole beside the destination first, so
    /// a failed copy leaves whatever was there untouched. Only for a
    /// replacement the user agreed to.
    /// `finish`, when given, completes the copy at the path it is handed
    /// while no one sees it yet; when it fails nothing is replaced, and its
    /// outcome is returned, naming a file of the copy by its final path.
    static Outcome copyItemReplacing(const QString &source, const QString &destination,
                                     const std::function<void()> &progress = {},
                                     const std::function<Outcome(const QString &staged)> &finish = {});

    /// Removes a file, a link (never what it points at) or a whole tree.
    static Outcome removeItem(const QString &path);

    /// Whether two paths name the same file or folder, however they are
    /// spelled (links, letter case on a case-blind file system).
    static bool isSameFile(const QString &first, const QString &second);

    /// The full path of `relative` within `folder`; nothing when it would lead
    /// outside it: an absolute path, ".." climbing out, a link pointing
    /// elsewhere, or the folder itself.
    static std::optional<QString> pathInside(const QString &folder, const QString &relative);
    /// Whether `path`, a full path, ends up outside `folder` once its links
    /// are followed; the folder itself is inside.
    static bool leadsOutside(const QString &folder, const QString &path);

    /// Whether `path` is `ancestor` itself or lies below it, comparing cleaned
    /// absolute paths.
    static bool isSameOrInside(const QString &path, const QString &ancestor);
};
