// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ContentView.h"

#include "platform/Document.h"
#include "platform/DocumentController.h"

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
