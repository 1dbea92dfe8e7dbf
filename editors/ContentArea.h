// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

#include <QFileSystemWatcher>
#include <QSet>
#include <QStackedWidget>
#include <QTimer>

class ContentView;

/// The document window's content area and the registry of its open
/// editors: one content view per file, stacked so that exactly one shows.
/// A file's view is found by the file's identity (its canonical path), not
/// by the spelling that reached it, so a file reached through a link inside
/// the widget, or through another spelling of the bundle's path, shares one
/// editor. The area owns its views.
///
/// A view owns its file's unsaved state. Nothing reads a file into a view
/// that holds edits unless the user says so (Reload, Revert to Saved), and
/// every write compares the disk with what the view read. The area watches
/// the open files, so that a change another program makes shows at once,
/// whether the window is active or not.
class ContentArea : public QStackedWidget
{
    Q_OBJECT

public:
    explicit ContentArea(QWidget *parent = nullptr);

    /// The area that holds `widget` (or one of its parents); null outside one.
    static ContentArea *of(const QWidget *widget);

    /// The views, in the order they were added.
    QList<ContentView *> views() const;
    /// The view of the entry named `identifier` (relative to the bundle),
    /// however it is spelled; the empty view for "". Null when none.
    ContentView *viewFor(const QString &identifier) const;
    /// The views of the entry `identifier` and of every entry inside it.
    QList<ContentView *> viewsInside(const QString &identifier) const;

    /// Shows the view of the entry `identifier`, whose kind is `kind`
    /// (ContentView::FileKind), making and reading one the first time. A
    /// folder's view reads its folder again. A view without edits that no
    /// longer suits its entry (a file that became a folder, an Info.plist
    /// repaired in the text editor) gives way to a new one; a view with edits
    /// is shown as it is.
    ContentView *open(const QString &identifier, int kind);
    /// Adds a view, which the area then owns, and shows it.
    void add(ContentView *view);
    /// Shows `view` alone.
    void show(ContentView *view);
    /// Shows the view of "", the empty view.
    void showEmpty();

    /// Writes the edits of the views of the entry `identifier` and of all
    /// inside it, and takes each out of the area once its edits are safe.
    /// A view whose save failed stays, with its edits; every failure.
    Outcome saveAndCloseInside(const QString &identifier);
    /// Takes the view out of the area, dropping whatever it holds.
    void close(ContentView *view);
    /// Writes the edits of every view that holds some; every failure.
    Outcome saveAll();
    /// Reads every file whose view holds edits again, dropping the edits.
    void revertAll();
    /// After the entry `from` was renamed to `to`, points the views of it
    /// and of everything inside it at the new names.
    void repoint(const QString &from, const QString &to);
    /// The views that follow a file and whose files on disk are the ones
    /// they read (the others wait for the user's answer to another
    /// program's change).
    QList<ContentView *> viewsCurrentWithDisk() const;
    /// After the bundle moved (Save As), notes the files of `views` at the
    /// new place as the ones they hold, and watches them there.
    void rememberFilesOnDisk(const QList<ContentView *> &views);

private:
    QString bundlePath() const;
    /// What tells files apart: the canonical path, or the cleaned path of
    /// an entry that is not on disk.
    QString identity(const QString &identifier) const;
    /// Whether `view` is the kind of view the entry needs now.
    static bool suits(const ContentView *view, int kind);
    static ContentView *makeView(int kind);
    /// Every view compares its file with the disk; then the watch follows
    /// the views' files again (a replaced file is a new one to watch).
    void checkFilesOnDisk();
    /// Watches what tells of a change to each view's file, and nothing else.
    void watchFiles();
    /// Adds what tells of a change to `view`'s file to the watch.
    void watch(const ContentView *view);
    /// Adds those of `paths` not watched yet.
    void watch(QSet<QString> paths);
    void addPathsToWatch(const ContentView *view, QSet<QString> &paths) const;

    QFileSystemWatcher m_watch;
    QTimer m_checkSoon;
};
