// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileStamp.h"

#include <QWidget>

#include <optional>

/// A view that shows and edits one file or folder of the bundle. Content
/// views live in the document window's content area, one per opened file,
/// and keep no reference to their document: they find the bundle through the
/// document of the window they sit in, each time they need it.
class ContentView : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    /// The kind of view an entry needs, by its path.
    enum FileKind { TextKind = 0, FolderKind = 1, ImageKind = 2, InfoPlistKind = 3 };
    /// A folder is a folder; an entry named "info.plist" in any letter case is
    /// the Info.plist when `infoPlistHasItsOwnKind` (top-level entries), text
    /// otherwise; no extension is text; an extension Qt reads as an image,
    /// compared with case, is an image; anything else is text.
    static int fileKindForPath(const QString &path, bool infoPlistHasItsOwnKind);

    // The content area: a widget whose direct children are the content
    // views, stacked in one grid cell so that the one shown fills it.
    /// The area's views, in the area's order.
    static QList<ContentView *> viewsIn(const QWidget *area);
    /// Adds the view last, shown.
    static void addToArea(QWidget *area, ContentView *view);
    /// Shows the views named `identifier` and hides every other one; the
    /// shown ones read their file again when `reopen`. False when none has
    /// that name.
    static bool showOnly(const QWidget *area, const QString &identifier, bool reopen);

    /// Names the view's file by its path relative to the bundle; loads nothing.
    virtual void setViewIdentifier(const QString &identifier) = 0;
    virtual QString viewIdentifier() const = 0;
    /// Loads the view from its file, dropping whatever it showed.
    virtual void openTheFile() = 0;
    /// Writes the view's content to its file; reports nothing.
    virtual void save() = 0;
    /// Whether the content holds `text`; the view may select the match.
    virtual bool searchString(const QString &text) = 0;
    /// Selects the next match of `text` after the selection (the previous
    /// one before it when not `forward`), going round the end; false when
    /// the content has none or the view cannot search.
    virtual bool findNext(const QString &text, bool forward)
    {
        Q_UNUSED(text);
        Q_UNUSED(forward);
        return false;
    }
    /// Whether the view holds edits that `save` would write.
    virtual bool isEdited() const { return false; }

protected:
    /// Notes the file as it is on disk now; call after reading or writing
    /// it. From then on, when the view is shown or its window becomes
    /// active and the file changed on disk meanwhile, a view without edits
    /// loads it again and a view with edits is told, so that old text is
    /// never written over another program's changes unasked. Views that
    /// never call this are left alone.
    void rememberFileOnDisk();
    /// Loads the file that changed on disk, and remembers it as
    /// `openTheFile` does; by default as `openTheFile`.
    virtual void reloadChangedFile() { openTheFile(); }
    /// The file changed on disk while the view held edits; they are kept.
    virtual void fileChangedWhileEdited() {}

    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

    /// The bundle path of the document whose window holds this view; empty
    /// while the view sits outside a located document's window.
    QString bundlePath() const;
    /// Bundle path + "/" + identifier; empty without a bundle path, so that
    /// a view never reads or writes relative to the file system's root.
    QString fullPath() const;

private:
    void reloadIfChangedOnDisk();

    std::optional<FileStamp> m_fileOnDisk;
};
