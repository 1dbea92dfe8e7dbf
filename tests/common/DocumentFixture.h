// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/WidgetDocument.h"
#include "editors/ContentArea.h"
#include "editors/ContentView.h"
#include "editors/TextEditorView.h"
#include "filelist/FileListController.h"
#include "platform/Alert.h"
#include "platform/DocumentController.h"
#include "platform/OpenPanel.h"
#include "platform/SavePanel.h"

#include "tests/common/TestHome.h"
#include "tests/common/Tree.h"

#include <Qsci/qsciscintilla.h>

#include <QCoreApplication>
#include <QMainWindow>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

/// Opens bundles as documents the way the application does, in a throw-away
/// HOME, and closes whatever is left when it goes. It also gives each test an
/// empty bundle folder of its own, "Clock.wdgt".
class DocumentFixture
{
public:
    DocumentFixture()
        : m_bundle(m_dir.filePath(QStringLiteral("Clock.wdgt")))
    {
        QDir().mkpath(m_bundle);
        DocumentController::shared().setDocumentFactory([] { return new WidgetDocument; });
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
    WidgetDocument *open(const QString &path) const
    {
        return qobject_cast<WidgetDocument *>(DocumentController::shared().openDocumentWithPath(path));
    }

    QString bundle() const { return m_bundle; }
    QString folder() const { return m_dir.path(); }

    /// Every alert shown since, answered with `response` from now on.
    QList<Alert::Request> alerts;
    void answerAlerts(Alert::Response response)
    {
        Alert::responder = [this, response](const Alert::Request &request) {
            alerts.append(request);
            return response;
        };
    }

    /// Opens the bundle's file `name` in its text editor and types `text` at its start.
    TextEditorView *typeInto(const QString &name, const QString &text) const
    {
        WidgetDocument *document = open(m_bundle);
        document->fileListController()->openFileAtPath(m_bundle + u'/' + name);
        auto *view = qobject_cast<TextEditorView *>(document->fileListController()->contentViewWithIdentifier(name));
        view->findChild<QsciScintilla *>()->insert(text);
        return view;
    }

    /// Writes a file into the bundle, opens the bundle and selects the file;
    /// returns the content view that shows it, if it is a View.
    template <class View> View *openView(const QString &name, const QByteArray &bytes) const
    {
        Tree::write(m_bundle, name, bytes);
        WidgetDocument *document = open(m_bundle);
        if (!document || !select(document, name))
            return nullptr;
        return qobject_cast<View *>(document->fileListController()->contentViewWithIdentifier(name));
    }

    static QTableView *table(const WidgetDocument *document)
    {
        return document->window()->findChild<QTableView *>(QStringLiteral("fileList"));
    }

    /// Selects the row named `name` as a click would; false when not listed.
    static bool select(const WidgetDocument *document, const QString &name)
    {
        const int row = int(document->fileListController()->rowList().indexOf(name));
        if (row < 0)
            return false;
        table(document)->selectRow(row);
        return true;
    }

    /// The views of the content area that are not hidden.
    static QStringList shownIdentifiers(const WidgetDocument *document)
    {
        const auto *view = qobject_cast<ContentView *>(document->contentView()->currentWidget());
        return view && view->isVisibleTo(document->window()) ? QStringList{view->viewIdentifier()} : QStringList();
    }

private:
    TestHome m_home;
    QTemporaryDir m_dir;
    QString m_bundle;
};
