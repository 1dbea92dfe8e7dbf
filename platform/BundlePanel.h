// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFileDialog>

#include <memory>

class QAbstractFileIconProvider;

/// The file dialog beneath the Open and Save panels. A directory whose name
/// ends in ".wdgt" or ".wdtp" is a document, not a folder: it shows with a
/// document's icon, and entering it (double-click, Return, a typed path)
/// chooses it instead.
class BundlePanel : public QFileDialog
{
    Q_OBJECT

public:
    /// Whether the path is a directory that stands as one document.
    static bool isBundle(const QString &path);

protected:
    BundlePanel(QWidget *parent, const QString &title);
    ~BundlePanel() override;

    /// Called when the user tried to enter the bundle at `path`.
    virtual void chooseBundle(const QString &path) = 0;

    /// The folder that held what the last panel for `purpose` chose in this
    /// run; before any choice `otherwise`, or the home folder.
    static QString lastFolder(const QString &purpose, const QString &otherwise = {});
    /// Remembers the folder that holds `chosen` for the next panel for
    /// `purpose`; an empty `chosen` (a cancelled panel) changes nothing.
    static void noteChoice(const QString &purpose, const QString &chosen);

private:
    void bounceOutOfBundle(const QString &directory);
    void layOutRoomily();

    // The dialog does not own its icon provider.
    std::unique_ptr<QAbstractFileIconProvider> m_icons;
};
