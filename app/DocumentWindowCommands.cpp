// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DocumentWindowCommands.h"

#include "app/DocumentToolbar.h"
#include "app/WidgetInstaller.h"
#include "app/WidgetPanels.h"
#include "editors/TextEditorView.h"
#include "editors/WidgetPart.h"
#include "filelist/FileListController.h"
#include "platform/Alert.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"
#include "platform/PropertyList.h"

#include <QMainWindow>
#include <QRegularExpression>

DocumentWindowCommands::DocumentWindowCommands(QMainWindow *mainWindow, FileListController *fileList)
    : QObject(mainWindow)
    , m_mainWindow(mainWindow)
    , m_files(fileList)
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

void DocumentWindowCommands::insertPart(const WidgetPart &part)
{
    if (TextEditorView *page = pageForParts())
        page->insertPart(part);
}

TextEditorView *DocumentWindowCommands::pageForParts()
{
    static const QRegularExpression pageName(QStringLiteral(R"(\.x?html?$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    auto *shown = qobject_cast<TextEditorView *>(m_files->shownView());
    if (shown && pageName.match(shown->viewIdentifier()).hasMatch())
        return shown;
    const QString bundle = m_files->bundlePath();
    const QString mainPage = PropertyList::read(bundle + QStringLiteral("/Info.plist"))
                                 .value_or(QVariant())
                                 .toMap()
                                 .value(QStringLiteral("MainHTML"))
                                 .toString();
    TextEditorView *page = mainPage.isEmpty() ? nullptr : m_files->openTextEditor(mainPage);
    if (!page)
        Alert::report(m_mainWindow, tr("The part could not be inserted."),
                      Outcome::failure(bundle,
                                       tr("The widget names no main page (MainHTML) that opens as text, and "
                                          "no page is shown")));
    return page;
}

void DocumentWindowCommands::previewStateChanged(bool showing)
{
    installToolbar();
    emit previewShowingChanged(showing);
}
