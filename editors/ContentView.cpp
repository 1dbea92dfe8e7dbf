// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ContentView.h"

#include "platform/Document.h"
#include "platform/DocumentController.h"

#include <QFileInfo>
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
