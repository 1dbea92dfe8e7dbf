// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFrame>

class QHBoxLayout;
class QLabel;

/// A notice an editor shows above its content, with buttons for the
/// choices it offers: the file changed on disk while the editor held edits,
/// the file could not be read, the file is too large to open unasked.
class NoticeBar : public QFrame
{
    Q_OBJECT

public:
    explicit NoticeBar(QWidget *parent = nullptr);

    /// Shows `message` with one button per title, in order; a button hides
    /// the notice and reports its index through `chosen`.
    void showNotice(const QString &message, const QStringList &buttons = {});
    QString message() const;

signals:
    void chosen(int button);

private:
    QLabel *m_message;
    QHBoxLayout *m_layout;
};
