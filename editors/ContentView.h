// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileStamp.h"
#include "platform/Outcome.h"

#include <QWidget>

#include <optional>

/// A view that shows and edits one file or folder of the bundle. Content
/// views live in the document window's ContentArea, one per opened file,
/// and keep no reference to their document: they find the bundle through the
/// document of the window they sit in, each time they need it.
class NoticeBar;

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
    /// in any letter case ("PHOTO.JPG"), is an image; anything else is text.
    static int fileKindForPath(const QString &path, bool infoPlistHasItsOwnKind);

    /// Names the view's file by its path relative to the bundle; loads nothing.
    virtual void setViewIdentifier(const QString &identifier) = 0;
    virtual QString viewIdentifier() const = 0;
    /// Loads the view from its file, dropping whatever it showed.
    virtual void openTheFile() = 0;
    /// Writes the view's edits to its file, when it holds any. Nothing is
    /// written over a file another program changed, removed or replaced
    /// since the view read it: the view then asks above its content whether
    /// to reload or keep the edits, and the save fails until the user chose.
    /// A failure names the file by its identifier ("Images/notes.txt") and
    /// gives the reason; the view then keeps its edits. Edits to an entry
    /// that leads outside the widget are never written.
    Outcome save();
    /// Whether the content holds `text`. A question only: neither the
    /// selection nor anything else in the view changes.
    virtual bool searchString(const QString &text) const = 0;
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
    /// Reads the file again, dropping the edits, keeping the user's place
    /// where the view can; by default as `openTheFile`.
    virtual void reload() { openTheFile(); }

    /// Compares the file on disk with the one the view read or last wrote.
    /// A view without edits shows the file as it is now; a view with edits
    /// keeps them and asks above its content whether to reload the file or
    /// keep the edits. Edits are never dropped unasked.
    void checkFileOnDisk();
    /// Whether the file on disk is the one the view read or last wrote (or
    /// the view follows no file).
    bool isCurrentWithDisk() const;
    /// Whether the view follows a file on disk (a folder's view does not).
    bool followsFileOnDisk() const { return m_fileOnDisk.has_value(); }
    /// Notes the file as it is on disk now as the one the view holds; called
    /// after reading or writing it, and when the user keeps the edits over
    /// another program's change. Views that never call it are left alone.
    void rememberFileOnDisk();
    /// The path the view reads and writes: bundle path + "/" + identifier;
    /// empty without a bundle path, so that a view never reads or writes
    /// relative to the file system's root.
    QString fullPath() const;

protected:
    /// Writes the edits the view holds; called by `save` only when the
    /// entry lies within the widget and the file on disk is the one read.
    virtual Outcome writeEdits() = 0;
    /// The file changed on disk while the view held edits; they are kept,
    /// and the notice asks whether to load the file again or keep them
    /// (written over that change at the next save).
    virtual void fileChangedWhileEdited();

    /// The notice above the view's content, made on first use and placed
    /// under the identifier field of the view's form.
    NoticeBar *notice();
    /// Says in the notice that the file could not be read, and why.
    void showUnreadable(const Outcome &outcome);
    /// Whether the view's entry is a link leading outside the widget, or lies
    /// beyond one. Such a view shows its file read-only, so that nothing is
    /// ever written outside the widget through it.
    bool leadsOutside() const;
    /// Says in the notice where the entry leads and that it stays unchanged.
    void showLeadsOutside();

    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

    /// The bundle path of the document whose window holds this view; empty
    /// while the view sits outside a located document's window.
    QString bundlePath() const;

private:
    std::optional<FileStamp> m_fileOnDisk;
    NoticeBar *m_notice = nullptr;
};
