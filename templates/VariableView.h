// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileManager.h"
#include "platform/Outcome.h"

#include <QVariantMap>
#include <QWidget>

#include <functional>

class QComboBox;

/// One template variable's view in the wizard: it shows the variable and
/// holds the user's value in its controls, and writes that value (or the
/// variable's default) into the new widget. A view keeps no copy of its
/// variable; it is handed the dictionary again when it writes.
class VariableView : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    /// Shows the variable: its name as label, its tooltip, its options.
    virtual void setInfoDictionary(const QVariantMap &info) = 0;
    /// Writes the value into every file the variable lists, in order.
    virtual Outcome saveToPath(const QString &widgetPath, const QVariantMap &info) = 0;
    /// `InPlace` lets `saveToPath` write the files over where they stand,
    /// for a widget no one sees before every value is in (the wizard's
    /// private copy); a failed write then leaves a file cut short.
    void setWriting(FileManager::Writing writing) { m_writing = writing; }

    /// The height the wizard reserves for a view of the type; 0 for a type
    /// that has no view.
    static int heightForType(const QString &type);
    /// A fresh view for the type; null for a type that has no view.
    static VariableView *makeForType(const QString &type);

    /// The view width every type shares.
    static constexpr int Width = 451;

protected:
    /// Writes `value` in place of the variable's placeholder in every listed file.
    Outcome writeValue(const QString &widgetPath, const QVariantMap &info, const QString &value) const;
    FileManager::Writing writing() const { return m_writing; }
    /// Adds an item at the end of a pop-up, first taking out an item of the
    /// same title: a title is listed once, at its last place.
    static void addItemWithTitle(QComboBox *popUp, const QString &title);
    static QStringList itemTitles(const QComboBox *popUp);
    /// The variable's listed files, as strings.
    static QStringList files(const QVariantMap &info);
    /// Where a File or Image variable's default lies: inside the widget being
    /// made, which is the template's own copy, so a template can only hand
    /// over files it ships. An absolute default or one that leads outside
    /// (by "..", or a link) gives nothing.
    static QString defaultFile(const QString &widgetPath, const QVariantMap &info);

    /// Label and tooltip, which every view shows the same way.
    void showNameAndTooltip(const QVariantMap &info, const std::function<void(const QString &)> &setLabel);

private:
    FileManager::Writing m_writing = FileManager::Writing::Replacing;
};
