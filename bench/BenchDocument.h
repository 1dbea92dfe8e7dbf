// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/WidgetDocument.h"
#include "platform/DocumentController.h"

#include <QDir>
#include <QFile>
#include <QStringList>

/// Makes the folder `bundle` holding `count` scripts ("file0.js"…) of
/// `body`; their paths, or none when one could not be written.
inline QStringList writeScripts(const QString &bundle, int count, const QByteArray &body)
{
    if (!QDir().mkpath(bundle))
        return {};
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        paths.append(bundle + QStringLiteral("/file%1.js").arg(i));
        QFile file(paths.last());
        if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size())
            return {};
    }
    return paths;
}

/// Script-like lines of at least `size` bytes, then the needle "needleAtEnd"
/// on a line of its own.
inline QByteArray scriptWithNeedleAtEnd(qsizetype size)
{
    const QByteArray line = "var someValue = computeSomething(42); // a line of widget script\n";
    QByteArray body;
    while (body.size() < size)
        body += line;
    return body + "needleAtEnd\n";
}

/// The widget the search benches search: 500 scripts of 50 KB, 25 MB in
/// all, each ending in "needleAtEnd"; their paths, or none on a failure.
inline QStringList writeSearchedWidget(const QString &bundle)
{
    constexpr int FileCount = 500;
    constexpr int FileSize = 50 * 1024;
    return writeScripts(bundle, FileCount, scriptWithNeedleAtEnd(FileSize));
}

/// Opens `bundle` as the editor does, for benches that measure a document.
inline WidgetDocument *openBundle(const QString &bundle)
{
    DocumentController::shared().setDocumentFactory([] { return new WidgetDocument; });
    DocumentController::shared().setQuitsWithLastDocument(false);
    return qobject_cast<WidgetDocument *>(DocumentController::shared().openDocumentWithPath(bundle));
}

/// Writes the searched widget ("Search.wdgt") into `folder` and opens it;
/// null when it could not be written. `scripts` receives their paths.
inline WidgetDocument *openSearchedWidget(const QString &folder, QStringList *scripts = nullptr)
{
    const QString bundle = folder + QStringLiteral("/Search.wdgt");
    const QStringList written = writeSearchedWidget(bundle);
    if (scripts)
        *scripts = written;
    return written.isEmpty() ? nullptr : openBundle(bundle);
}
