// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QSplitter>

/// A splitter whose dividers are 10 pixels thick and drawn with a grip
/// (see MailSplitViewHandle).
class MailSplitView : public QSplitter
{
    Q_OBJECT

public:
    explicit MailSplitView(QWidget *parent = nullptr);
    explicit MailSplitView(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    QSplitterHandle *createHandle() override;

private:
    static constexpr int DividerThickness = 10;
};
