// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QSplitter>

/// A splitter whose dividers are 10 pixels thick and drawn with a grip
/// (see GripSplitterHandle).
class GripSplitter : public QSplitter
{
    Q_OBJECT

public:
    explicit GripSplitter(QWidget *parent = nullptr);
    explicit GripSplitter(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    QSplitterHandle *createHandle() override;

private:
    static constexpr int DividerThickness = 10;
};
