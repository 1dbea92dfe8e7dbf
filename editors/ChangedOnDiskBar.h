// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFrame>

class QLabel;

/// The notice an editor shows above its content when another program
/// changed the file while the editor held edits of its own: the user
/// chooses between the file's new content and the edits, and nothing is
/// dropped before they do.
class ChangedOnDiskBar : public QFrame
{
    Q_OBJECT

public:
    explicit ChangedOnDiskBar(QWidget *parent = nullptr);

    /// Shows the notice for the file named `name`.
    void showFor(const QString &name);

signals:
    void reloadChosen();
    void keepChosen();

private:
    QLabel *m_message;
};
