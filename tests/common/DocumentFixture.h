// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/MyDocument.h"
#include "filelist/FileListController.h"
#include "platform/Alert.h"
#include "platform/DocumentController.h"
#include "platform/OpenPanel.h"
#include "platform/SavePanel.h"

#include "tests/common/TestHome.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QTableView>
#include <QTest>

/// Opens bundles as documents the way the application does, in a throw-away
/// HOME, and closes whatever is left when it goes.
class DocumentFixture
{
public:
    DocumentFixture()
    {
        DocumentController::shared().setDocumentFactory([] { return new MyDocument; });
        DocumentController::shared().setQuitsWithLastDocument(false);
    }

    ~DocumentFixture()
    {
        for (Document *document : DocumentController::shared().documents())
            document->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Alert::responder = nullptr;
        OpenPanel::responder = nullptr;
        SavePanel::responder = nullptr;
    }

    /// Opens the bundle and fills its list at once instead of after the
    /// half-second delay.
    MyDocument *open(const QString &path) const
    {
        auto *document = qobject_cast<MyDocument *>(
            DocumentController::shared().openDocumentWithPath(path));
        if (document)
            document->fileListController()->reloadData();
        return document;
    }

    static QTableView *table(const MyDocument *document)
    {
        return document->window()->findChild<QTableView *>(QStringLiteral("fileList"));
    }

    /// Selects the row named `name` as a click would; false when not listed.
    static bool select(const MyDocument *document, const QString &name)
    {
        const int row = int(document->fileListController()->rowList().indexOf(name));
        if (row < 0)
            return false;
        table(document)->selectRow(row);
        return true;
    }

    /// The views of the content area that are not hidden.
    static QStringList shownIdentifiers(const MyDocument *document)
    {
        QStringList shown;
        for (ContentView *view : document->fileListController()->contentViews()) {
            if (!view->isHidden())
                shown.append(view->viewIdentifier());
        }
        return shown;
    }

private:
    TestHome m_home;
};
