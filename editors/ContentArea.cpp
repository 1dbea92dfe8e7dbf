// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ContentArea.h"

#include "editors/ContentView.h"
#include "editors/FolderView.h"
#include "editors/ImageView.h"
#include "editors/InfoPlistForm.h"
#include "editors/TextEditorView.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"
#include "platform/FileManager.h"
#include "platform/PropertyList.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSet>

ContentArea::ContentArea(QWidget *parent)
    : QStackedWidget(parent)
{
    // A save of many files is as many changes at once: they are looked at
    // together, once they have all come in.
    m_checkSoon.setSingleShot(true);
    m_checkSoon.setInterval(0);
    connect(&m_checkSoon, &QTimer::timeout, this, &ContentArea::checkFilesOnDisk);
    connect(&m_watch, &QFileSystemWatcher::fileChanged, &m_checkSoon, qOverload<>(&QTimer::start));
    connect(&m_watch, &QFileSystemWatcher::directoryChanged, &m_checkSoon, qOverload<>(&QTimer::start));
}

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

ContentView *ContentArea::open(const QString &identifier, int kind)
{
    ContentView *view = viewFor(identifier);
    if (view && !view->isEdited() && !suits(view, kind)) {
        close(view);
        view = nullptr;
    }
    if (view) {
        // A folder holds no edits; the user expects to see it as it is now.
        if (kind == ContentView::FolderKind && qobject_cast<FolderView *>(view))
            view->openTheFile();
        show(view);
        return view;
    }
    view = makeView(kind);
    view->setViewIdentifier(identifier);
    add(view);
    view->openTheFile();
    watch(view);
    return view;
}

// An Info.plist that cannot be read as a property list is repaired in the
// text editor, which stays until the file reads again.
bool ContentArea::suits(const ContentView *view, int kind)
{
    switch (kind) {
    case ContentView::FolderKind:
        return qobject_cast<const FolderView *>(view);
    case ContentView::ImageKind:
        return qobject_cast<const ImageView *>(view);
    case ContentView::InfoPlistKind:
        return qobject_cast<const InfoPlistForm *>(view)
            || (qobject_cast<const TextEditorView *>(view) && !PropertyList::Dictionary::read(view->fullPath()));
    default:
        return qobject_cast<const TextEditorView *>(view);
    }
}

// The one place that chooses a view's form by the entry's kind.
ContentView *ContentArea::makeView(int kind)
{
    switch (kind) {
    case ContentView::FolderKind:
        return new FolderView;
    case ContentView::ImageKind:
        return new ImageView;
    case ContentView::InfoPlistKind:
        return new InfoPlistForm;
    default:
        return new TextEditorView;
    }
}

void ContentArea::add(ContentView *view)
{
    addWidget(view);
    setCurrentWidget(view);
}

void ContentArea::show(ContentView *view)
{
    setCurrentWidget(view);
}

void ContentArea::showEmpty()
{
    if (ContentView *empty = viewFor(QString()))
        setCurrentWidget(empty);
}

Outcome ContentArea::saveAndCloseInside(const QString &identifier)
{
    Outcome outcome;
    for (ContentView *view : viewsInside(identifier)) {
        const Outcome saved = view->save();
        if (saved)
            close(view);
        outcome.add(saved);
    }
    return outcome;
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
    Outcome outcome;
    for (const QPointer<ContentView> &view : std::as_const(all)) {
        if (view)
            outcome.add(view->save());
    }
    watchFiles();
    return outcome;
}

void ContentArea::revertAll()
{
    for (ContentView *view : views()) {
        if (view->isEdited())
            view->reload();
    }
    watchFiles();
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
    watchFiles();
}

QList<ContentView *> ContentArea::viewsCurrentWithDisk() const
{
    QList<ContentView *> current = views();
    current.removeIf([](const ContentView *view) { return !view->followsFileOnDisk() || !view->isCurrentWithDisk(); });
    return current;
}

void ContentArea::rememberFilesOnDisk(const QList<ContentView *> &views)
{
    for (ContentView *view : views)
        view->rememberFileOnDisk();
    watchFiles();
}

void ContentArea::checkFilesOnDisk()
{
    for (ContentView *view : views())
        view->checkFileOnDisk();
    // A file renamed over keeps the old one's watch: every file is watched
    // afresh.
    if (!m_watch.files().isEmpty())
        m_watch.removePaths(m_watch.files());
    watchFiles();
}

// A file written in place shows on the file's watch; one removed, made or
// renamed over on its folder's; a folder (the bundle too) moved away or back
// on the folder above it.
void ContentArea::addPathsToWatch(const ContentView *view, QSet<QString> &paths) const
{
    const QString path = view->viewIdentifier().isEmpty() ? QString() : view->fullPath();
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path))
        paths.insert(path);
    // A folder already there was climbed from before.
    const QString top = QFileInfo(bundlePath()).path();
    for (QString folder = QFileInfo(path).path(); folder.size() >= top.size() && !paths.contains(folder);
         folder = QFileInfo(folder).path()) {
        if (FileManager::isDirectory(folder))
            paths.insert(folder);
        if (folder == top)
            break;
    }
}

void ContentArea::watchFiles()
{
    QSet<QString> wanted;
    for (const ContentView *view : views())
        addPathsToWatch(view, wanted);
    QStringList gone = m_watch.files() + m_watch.directories();
    gone.removeIf([&wanted](const QString &path) { return wanted.contains(path); });
    if (!gone.isEmpty())
        m_watch.removePaths(gone);
    watch(wanted);
}

void ContentArea::watch(const ContentView *view)
{
    QSet<QString> wanted;
    addPathsToWatch(view, wanted);
    watch(wanted);
}

void ContentArea::watch(QSet<QString> paths)
{
    for (const QString &path : m_watch.files() + m_watch.directories())
        paths.remove(path);
    if (!paths.isEmpty())
        m_watch.addPaths(QStringList(paths.cbegin(), paths.cend()));
}
