// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DocumentWindowCommands.h"

#include "app/DocumentToolbar.h"
#include "app/WidgetInstaller.h"
#include "app/WidgetPanels.h"
#include "filelist/FileListController.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"

#include <QMainWindow>

DocumentWindowCommands::DocumentWindowCommands(QMainWindow *mainWindow, FileListController *fileList)
    : QObject(mainWindow)
    , m_mainWindow(mainWindow)
    , m_searchView(new FileListSearchField(mainWindow, fileList))
    , m_panels(new WidgetPanels(mainWindow, fileList))
    , m_preview(new PreviewSession(mainWindow, m_panels->runLog()))
    , m_toolbar(new DocumentToolbar(mainWindow, this))
{
    connect(m_preview, &PreviewSession::showingChanged, this, &DocumentWindowCommands::previewStateChanged);
}

void DocumentWindowCommands::installToolbar()
{
    m_toolbar->install();
}

void DocumentWindowCommands::newWidget()
{
    DocumentController::shared().newDocument();
}

void DocumentWindowCommands::openWidget()
{
    DocumentController::shared().openDocument(m_mainWindow);
}

void DocumentWindowCommands::saveWidget()
{
    if (Document *document = DocumentController::shared().documentForWindow(m_mainWindow))
        document->saveDocument();
}

QString DocumentWindowCommands::savedBundlePath()
{
    Document *document = DocumentController::shared().documentForWindow(m_mainWindow);
    if (!document || !document->saveDocument())
        return {};
    return document->filePath();
}

void DocumentWindowCommands::previewWidget()
{
    const QString bundle = savedBundlePath();
    if (!bundle.isEmpty())
        m_preview->show(bundle);
}

void DocumentWindowCommands::closeWidgetPreview()
{
    m_preview->hide();
}

void DocumentWindowCommands::inspectPreview()
{
    if (!isPreviewShowing())
        previewWidget();
    const Document *document = DocumentController::shared().documentForWindow(m_mainWindow);
    m_preview->inspect(document ? document->displayName() : QString());
}

void DocumentWindowCommands::saveRunWidget()
{
    const QString bundle = savedBundlePath();
    if (!bundle.isEmpty())
        WidgetInstaller::installAndRun(m_mainWindow, bundle);
}

void DocumentWindowCommands::previewStateChanged(bool showing)
{
    installToolbar();
    emit previewShowingChanged(showing);
}
