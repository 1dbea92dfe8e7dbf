// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

#include <QStackedWidget>

class ContentView;

/// The document window's content area and the registry of its open
/// editors: one content view per file, stacked so that exactly one shows.
/// A file's view is found by the file's identity (its canonical path), not
/// by the spelling that reached it, so a file reached through a link inside
/// the widget, or through another spelling of the bundle's path, shares one
/// editor. The area owns its views.
class ContentArea : public QStackedWidget
{
    Q_OBJECT

public:
    using QStackedWidget::QStackedWidget;

    /// The area that holds `widget` (or one of its parents); null outside one.
    static ContentArea *of(const QWidget *widget);

    /// The views, in the order they were added.
    QList<ContentView *> views() const;
    /// The view of the entry named `identifier` (relative to the bundle),
    /// however it is spelled; the empty view for "". Null when none.
    ContentView *viewFor(const QString &identifier) const;
    /// The views of the entry `identifier` and of every entry inside it.
    QList<ContentView *> viewsInside(const QString &identifier) const;

    /// Adds a view, which the area then owns, and shows it.
    void add(ContentView *view);
    /// Shows `view` alone, reading its file again first when `reopen`.
    void show(ContentView *view, bool reopen = false);
    /// Shows the view of "", the empty view.
    void showEmpty();

    /// Writes the edits of the views of the entry `identifier` and of all
    /// inside it, and takes each out of the area once its edits are safe.
    /// A view whose save failed stays, with its edits; the first failure.
    Outcome saveAndCloseInside(const QString &identifier);
    /// Takes the view out of the area, dropping whatever it holds.
    void close(ContentView *view);
    /// Writes the edits of every view that holds some; the first failure.
    Outcome saveAll();
    /// After the entry `from` was renamed to `to`, points the views of it
    /// and of everything inside it at the new names.
    void repoint(const QString &from, const QString &to);

private:
    QString bundlePath() const;
    /// What tells files apart: the canonical path, or the cleaned path of
    /// an entry that is not on disk.
    QString identity(const QString &identifier) const;
};
