// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QFrame>

#include <functional>

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

    /// Shows `message` with one button per title, in order, in place of
    /// whatever the notice said before. A button hides the notice and hands
    /// its index to `chosen`, once.
    void showNotice(const QString &message, const QStringList &buttons = {},
                    const std::function<void(int)> &chosen = {});
    QString message() const;

private:
    QLabel *m_message;
    QHBoxLayout *m_layout;
};
