// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QStringList>

#include <functional>
#include <optional>

class QComboBox;
class QListWidget;

/// The dialog in which the user arranges a toolbar: it offers exactly the
/// allowed items, and lets the user add, remove and reorder items (buttons,
/// or dragging within the toolbar's list), go back to the default set and
/// choose how items are shown.
class ToolbarCustomizationPalette : public QDialog
{
    Q_OBJECT

public:
    struct Label
    {
        QString text;
        QIcon image;
    };
    struct Request
    {
        QStringList allowed;
        QStringList defaults;
        QStringList current;
        int displayMode = 0;
        QHash<QString, Label> labels; ///< by identifier
    };
    struct Result
    {
        QStringList items;
        int displayMode = 0;
    };

    ToolbarCustomizationPalette(QWidget *parent, const Request &request);

    /// Runs the palette modally; nothing when the user cancelled.
    static std::optional<Result> run(QWidget *parent, const Request &request);
    /// When set, answers every palette in the user's place (tests do this).
    static inline std::function<std::optional<Result>(const Request &)> responder;

    /// The arrangement as it stands in the dialog.
    Result result() const;

    /// Adds the offered item at `row` to the end of the toolbar; an item
    /// other than a space or separator appears at most once.
    void addOfferedItem(int row);
    void removeItem(int row);
    void moveItem(int row, int offset);
    void useDefaultSet();

private:
    void fillToolbarList(const QStringList &identifiers);
    void appendToToolbarList(const QString &identifier);
    QStringList toolbarItems() const;
    void showDisplayMode(int mode);

    Request m_request;
    QListWidget *m_offered;
    QListWidget *m_toolbar;
    QComboBox *m_displayMode;
};
