// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "editors/ContentView.h"

#include <memory>

class ColumnBrowser;
namespace Ui {
class FolderView;
}

/// The content view of a folder of the bundle: a three-column browser rooted
/// at the folder. A double-clicked file opens in a text or image view of its
/// own, placed beside this view in the same content area and shown in its
/// place; those views are ordinary content views, saved with the document.
class FolderView : public ContentView
{
    Q_OBJECT

public:
    explicit FolderView(QWidget *parent = nullptr);
    ~FolderView() override;

    void setViewIdentifier(const QString &identifier) override;
    QString viewIdentifier() const override;
    /// Binds the browser to the folder again, back at its top level.
    void openTheFile() override;
    /// The folder itself has nothing to write; the views it opened are
    /// saved on their own by the document.
    /// Whether one of the folder's own entry names holds `text`, case
    /// counting; neither sub-folders nor file contents are searched.
    bool searchString(const QString &text) const override;

    /// Shows the content view of the entry at `path`, making one for a file
    /// seen for the first time; a sub-folder leaves no view shown.
    void openFile(const QString &path);

    /// The file list's kinds without its own for Info.plist, which opens as
    /// text inside a folder.
    static int fileTypeForPath(const QString &path);

    ColumnBrowser *browser() const;

protected:
    Outcome writeEdits() override { return {}; }

private:
    std::unique_ptr<Ui::FolderView> ui;
};
