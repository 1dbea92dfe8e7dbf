// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "templates/VariableView.h"

#include <QDateTime>

#include <memory>

namespace Ui {
class DateVariableView;
}

/// A "Date" variable: a moment (date and time of day, starting at the moment
/// the view was shown) written into the listed files in twenty-two
/// renderings, one per placeholder "Template_<name>_<letter>".
class DateVariableView : public VariableView
{
    Q_OBJECT

public:
    explicit DateVariableView(QWidget *parent = nullptr);
    ~DateVariableView() override;

    void setInfoDictionary(const QVariantMap &info) override;
    Outcome saveToPath(const QString &widgetPath, const QVariantMap &info) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QDateTime dateValue() const;
    void setDateValue(const QDateTime &moment);

    /// The letters that have a placeholder.
    static const QString Letters;
    /// The moment rendered as the calendar conversion "%" + letter does.
    static QString render(const QDateTime &moment, QChar letter);

    std::unique_ptr<Ui::DateVariableView> ui;
};
