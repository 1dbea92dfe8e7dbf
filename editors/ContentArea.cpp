// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ContentArea.h"

#include "editors/ContentView.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

ContentArea *ContentArea::of(const QWidget *widget)
{
    for (QWidget *parent = widget ? widget->parentWidget() : nullptr; parent; parent = parent->parentWidget()) {
        if (auto *area = qobject_cast<ContentArea *>(parent))
            return area;
    }
    return nullptr;
}

QString ContentArea::bundlePath() const
{
    const Document *document = DocumentController::shared().documentForWindow(window());
    return document ? document->filePath() : QString();
}

QString ContentArea::identity(const QString &identifier) const
{
    const QString path = bundlePath() + u'/' + identifier;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
}

QList<ContentView *> ContentArea::views() const
{
    QList<ContentView *> list;
    for (int index = 0; index < count(); ++index) {
        if (auto *view = qobject_cast<ContentView *>(widget(index)))
            list.append(view);
    }
    return list;
}

ContentView *ContentArea::viewFor(const QString &identifier) const
{
    const QList<ContentView *> all = views();
    if (identifier.isEmpty()) {
        const auto empty = std::find_if(all.cbegin(), all.cend(),
                                        [](const ContentView *view) { return view->viewIdentifier().isEmpty(); });
        return empty == all.cend() ? nullptr : *empty;
    }
    const QString wanted = identity(identifier);
    for (ContentView *view : all) {
        if (!view->viewIdentifier().isEmpty() && identity(view->viewIdentifier()) == wanted)
            return view;
    }
    return nullptr;
}

QList<ContentView *> ContentArea::viewsInside(const QString &identifier) const
{
    const QString top = identity(identifier);
    QList<ContentView *> inside;
    for (ContentView *view : views()) {
        const QString own = view->viewIdentifier();
        if (own.isEmpty())
            continue;
        // By name as well as by identity: a view reached through a link
        // inside the entry goes with it too.
        const QString path = identity(own);
        if (own == identifier || own.startsWith(identifier + u'/') || path == top || path.startsWith(top + u'/'))
            inside.append(view);
    }
    return inside;
}

void ContentArea::add(ContentView *view)
{
    addWidget(view);
    setCurrentWidget(view);
}

void ContentArea::show(ContentView *view, bool reopen)
{
    if (reopen)
        view->openTheFile();
    setCurrentWidget(view);
}

void ContentArea::showEmpty()
{
    if (ContentView *empty = viewFor(QString()))
        setCurrentWidget(empty);
}

Outcome ContentArea::saveAndCloseInside(const QString &identifier)
{
    Outcome first;
    for (ContentView *view : viewsInside(identifier)) {
        const Outcome saved = view->save();
        if (saved)
            close(view);
        else if (first)
            first = saved;
    }
    return first;
}

void ContentArea::close(ContentView *view)
{
    const bool wasShown = currentWidget() == view;
    removeWidget(view);
    view->hide();
    view->setParent(nullptr);
    view->deleteLater();
    if (wasShown)
        showEmpty();
}

Outcome ContentArea::saveAll()
{
    // A view's save may change the area; views that went meanwhile are skipped.
    QList<QPointer<ContentView>> all;
    for (ContentView *view : views())
        all.append(view);
    Outcome first;
    for (const QPointer<ContentView> &view : std::as_const(all)) {
        if (!view)
            continue;
        const Outcome saved = view->save();
        if (!saved && first)
            first = saved;
    }
    return first;
}

void ContentArea::repoint(const QString &from, const QString &to)
{
    for (ContentView *view : views()) {
        const QString own = view->viewIdentifier();
        if (own == from)
            view->setViewIdentifier(to);
        else if (own.startsWith(from + u'/'))
            view->setViewIdentifier(to + own.mid(from.size()));
    }
}
