// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/MyDocument.h"
#include "platform/DocumentController.h"

/// Opens `bundle` as the editor does, for benches that measure a document.
inline MyDocument *openBundle(const QString &bundle)
{
    DocumentController::shared().setDocumentFactory([] { return new MyDocument; });
    DocumentController::shared().setQuitsWithLastDocument(false);
    return qobject_cast<MyDocument *>(DocumentController::shared().openDocumentWithPath(bundle));
}
