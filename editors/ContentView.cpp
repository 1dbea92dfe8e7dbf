// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ContentView.h"

#include "platform/Document.h"
#include "platform/DocumentController.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>

int ContentView::fileKindForPath(const QString &path, bool infoPlistHasItsOwnKind)
{
    const QFileInfo info(path);
    if (info.isDir())
        return FolderKind;
    if (infoPlistHasItsOwnKind && info.fileName().compare(u"info.plist", Qt::CaseInsensitive) == 0)
        return InfoPlistKind;
    if (info.suffix().isEmpty())
        return TextKind;
    static const QList<QByteArray> imageFormats = QImageReader::supportedImageFormats();
    return imageFormats.contains(info.suffix().toLatin1()) ? ImageKind : TextKind;
}

QString ContentView::bundlePath() const
{
    const Document *document = DocumentController::shared().documentForWindow(window());
    return document ? document->filePath() : QString();
}

QString ContentView::fullPath() const
{
    const QString bundle = bundlePath();
    return bundle.isEmpty() ? QString() : bundle + u'/' + viewIdentifier();
}

void ContentView::rememberFileOnDisk()
{
    m_fileOnDisk = FileStamp::of(fullPath());
}

void ContentView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    reloadIfChangedOnDisk();
}

// Coming back to the window is when files edited elsewhere are expected.
// The window passes its activation on to the visible widgets in it.
bool ContentView::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        reloadIfChangedOnDisk();
    return QWidget::event(event);
}

// Edits are never dropped unasked: a view holding them keeps them.
void ContentView::reloadIfChangedOnDisk()
{
    if (!m_fileOnDisk || FileStamp::of(fullPath()) == *m_fileOnDisk)
        return;
    if (isEdited()) {
        fileChangedWhileEdited();
        return;
    }
    reloadChangedFile();
}

QList<ContentView *> ContentView::viewsIn(const QWidget *area)
{
    return area ? area->findChildren<ContentView *>(Qt::FindDirectChildrenOnly) : QList<ContentView *>();
}

void ContentView::addToArea(QWidget *area, ContentView *view)
{
    auto *grid = qobject_cast<QGridLayout *>(area->layout());
    Q_ASSERT(grid);
    grid->addWidget(view, 0, 0);
    view->show();
}

bool ContentView::showOnly(const QWidget *area, const QString &identifier, bool reopen)
{
    bool found = false;
    for (ContentView *view : viewsIn(area)) {
        const bool match = view->viewIdentifier() == identifier;
        view->setHidden(!match);
        if (match && reopen)
            view->openTheFile();
        found = found || match;
    }
    return found;
}
