// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DocumentWindowCommands.h"

#include "app/PreviewLoader.h"
#include "app/RunLogPanel.h"
#include "app/WidgetPanels.h"
#include "editors/ContentView.h"
#include "filelist/FileListController.h"
#include "platform/Alert.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"
#include "platform/FileManager.h"
#include "platform/Images.h"
#include "platform/ProgressPanel.h"
#include "platform/Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>

namespace {

const QString ToolbarIdentifier = QStringLiteral("Toolbar Identifier");
const QString NewToolbarItemIdentifier = QStringLiteral("New Widget Toolbar Item Identifier");
const QString OpenToolbarItemIdentifier = QStringLiteral("Open Toolbar Item Identifier");
const QString SaveToolbarItemIdentifier = QStringLiteral("Save Toolbar Item Identifier");
const QString PreviewToolbarItemIdentifier = QStringLiteral("Preview Toolbar Item Identifier");
const QString BuildRunToolbarItemIdentifier = QStringLiteral("Build and Run Toolbar Item Identifier");
const QString SearchToolbarItemIdentifier = QStringLiteral("Search Toolbar Item Identifier");

constexpr int SearchItemWidth = 123;

QString widgetFolder()
{
    return QDir::homePath() + QStringLiteral("/Library/Widgets");
}

} // namespace

DocumentWindowCommands::DocumentWindowCommands(QMainWindow *mainWindow, FileListController *fileList)
    : QObject(mainWindow)
    , m_mainWindow(mainWindow)
    , m_fileList(fileList)
    , m_searchView(new FileListSearchField(mainWindow, fileList))
    , m_panels(new WidgetPanels(mainWindow, fileList))
{ }

DocumentWindowCommands::~DocumentWindowCommands() = default;

void DocumentWindowCommands::setUp()
{
    setupToolbar();
}

void DocumentWindowCommands::setupToolbar()
{
    auto *toolbar = new Toolbar(ToolbarIdentifier);
    toolbar->setAllowsUserCustomization(true);
    toolbar->setAutosavesConfiguration(true);
    toolbar->setDisplayMode(Toolbar::DisplayModeDefault);
    toolbar->setDelegate(this);
    toolbar->install(m_mainWindow);
}

QStringList DocumentWindowCommands::toolbarDefaultItemIdentifiers() const
{
    return {NewToolbarItemIdentifier,     OpenToolbarItemIdentifier,
            SaveToolbarItemIdentifier,    Toolbar::FlexibleSpaceItemIdentifier,
            PreviewToolbarItemIdentifier, BuildRunToolbarItemIdentifier,
            SearchToolbarItemIdentifier};
}

QStringList DocumentWindowCommands::toolbarAllowedItemIdentifiers() const
{
    return {NewToolbarItemIdentifier,
            OpenToolbarItemIdentifier,
            BuildRunToolbarItemIdentifier,
            SaveToolbarItemIdentifier,
            PreviewToolbarItemIdentifier,
            Toolbar::SpaceItemIdentifier,
            Toolbar::FlexibleSpaceItemIdentifier,
            Toolbar::CustomizeToolbarItemIdentifier,
            Toolbar::SeparatorItemIdentifier,
            SearchToolbarItemIdentifier};
}

std::optional<ToolbarItem> DocumentWindowCommands::itemForItemIdentifier(const QString &identifier)
{
    const auto command = [this, &identifier](const QString &label, const QString &image,
                                             void (DocumentWindowCommands::*action)()) {
        return ToolbarItem{identifier, label, label, {}, Images::named(image), [this, action] { (this->*action)(); },
                           {},         {},    {}};
    };
    if (identifier == NewToolbarItemIdentifier)
        return command(tr("New Widget"), QStringLiteral("new"), &DocumentWindowCommands::newWidget);
    if (identifier == OpenToolbarItemIdentifier)
        return command(tr("Open"), QStringLiteral("folder"), &DocumentWindowCommands::openWidget);
    if (identifier == SaveToolbarItemIdentifier)
        return command(tr("Save"), QStringLiteral("files"), &DocumentWindowCommands::saveWidget);
    if (identifier == PreviewToolbarItemIdentifier) {
        return isPreviewShowing()
            ? command(tr("Stop"), QStringLiteral("stop"), &DocumentWindowCommands::closeWidgetPreview)
            : command(tr("Preview"), QStringLiteral("run"), &DocumentWindowCommands::previewWidget);
    }
    if (identifier == BuildRunToolbarItemIdentifier)
        return command(tr("Build and Run"), QStringLiteral("buildlaunch"), &DocumentWindowCommands::saveRunWidget);
    if (identifier == SearchToolbarItemIdentifier) {
        const QSize size(SearchItemWidth, m_searchView->sizeHint().height());
        return ToolbarItem{identifier,          tr("Search"), tr("Search"), tr("Search Your Document"), {}, {},
                           m_searchView.data(), size,         size};
    }
    return std::nullopt;
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

// Saves as Save does; an untitled document asks for its place first. Empty
// when there is nothing saved to go on with (the user cancelled, or the save failed).
QString DocumentWindowCommands::savedBundlePath()
{
    Document *document = DocumentController::shared().documentForWindow(m_mainWindow);
    if (!document || !document->saveDocument())
        return {};
    return document->filePath();
}

bool DocumentWindowCommands::isPreviewShowing() const
{
    return m_preview && m_preview->isShowing();
}

void DocumentWindowCommands::previewWidget()
{
    const QString bundle = savedBundlePath();
    if (bundle.isEmpty())
        return;
    if (!m_preview) {
        Outcome loaded;
        m_preview = PreviewLoader::makePreview(&loaded);
        Alert::report(m_mainWindow, tr("The preview could not be shown."), loaded);
        if (!m_preview)
            return;
        m_preview->setLogListener([log = QPointer(m_panels->runLog())](const QString &line) {
            if (log)
                log->append(line);
        });
        // Closed by the window manager or by the widget: Stop turns back into Preview.
        m_preview->setClosedListener([self = QPointer(this)] {
            if (self)
                self->previewStateChanged();
        });
    }
    m_panels->runLog()->clear();
    Alert::report(m_mainWindow, tr("The widget cannot be previewed."), m_preview->show(bundle));
    previewStateChanged();
}

void DocumentWindowCommands::previewStateChanged()
{
    setupToolbar();
    emit previewShowingChanged(isPreviewShowing());
}

void DocumentWindowCommands::reloadPreview(const QString &bundlePath)
{
    if (m_preview)
        m_preview->reload(bundlePath);
}

void DocumentWindowCommands::closeWidgetPreview()
{
    if (m_preview)
        m_preview->hide();
    previewStateChanged();
}

void DocumentWindowCommands::inspectPreview()
{
    if (!isPreviewShowing())
        previewWidget();
    if (!isPreviewShowing())
        return;
    const Document *document = DocumentController::shared().documentForWindow(m_mainWindow);
    m_preview->inspect(tr("Inspector — %1").arg(document ? document->displayName() : QString()));
}

void DocumentWindowCommands::saveRunWidget()
{
    const QString bundle = savedBundlePath();
    if (bundle.isEmpty())
        return;
    const QString folder = widgetFolder();
    const QString installed = folder + u'/' + QFileInfo(bundle).fileName();
    // A bundle already in the widget folder, however its path is spelled, runs in place.
    if (QFileInfo(bundle).absolutePath() == folder || FileManager::isSameFile(installed, bundle)) {
        runInstalled(bundle);
        return;
    }
    const Alert::Request question{
        tr("Install"),
        tr("In order to run this widget a copy needs to be installed to your widgets folder.  "
           "This will replace any widget in your widget folder with the same name."),
        tr("Install"),
        tr("Cancel"),
        {}};
    if (Alert::run(m_mainWindow, question) != Alert::DefaultButton)
        return;
    QDir().mkpath(folder);
    Outcome copied;
    {
        ProgressPanel progress(m_mainWindow, tr("Installing the widget…"));
        copied = FileManager::copyItemReplacing(bundle, installed, [&progress] { progress.step(); });
    }
    // The widget installed there before, if any, is unchanged by a failed copy.
    Alert::report(m_mainWindow, tr("The widget could not be installed."), copied);
    if (copied)
        runInstalled(installed);
}

void DocumentWindowCommands::runInstalled(const QString &bundle)
{
    Alert::report(m_mainWindow, tr("The widget could not be started."),
                  Workspace::openFile(bundle, Workspace::WidgetHostApplication));
}
