// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/FileListSearchField.h"
#include "filelist/FileListController.h"
#include "host/WidgetPreview.h"
#include "platform/Toolbar.h"

#include <QObject>
#include <QPointer>

#include <memory>

class WidgetPanels;

/// Builds the document window's toolbar and carries its commands: New
/// Widget, Open, Save, Preview (Stop while the preview shows), Build and Run,
/// and the search field (FileListSearchField).
///
/// Lives as long as the document window, its parent. The preview window is
/// made the first time a preview is shown, so the web engine loads only then.
class DocumentWindowCommands : public QObject, public Toolbar::Delegate
{
    Q_OBJECT

public:
    DocumentWindowCommands(QMainWindow *mainWindow, FileListController *fileList);
    ~DocumentWindowCommands() override;

    void setUp();
    /// Builds a new toolbar and installs it on the window, replacing the old one.
    void setupToolbar();

    QStringList toolbarDefaultItemIdentifiers() const override;
    QStringList toolbarAllowedItemIdentifiers() const override;
    std::optional<ToolbarItem> itemForItemIdentifier(const QString &identifier) override;

    void newWidget();
    void openWidget();
    void saveWidget();
    /// Build and Run: saves, installs a copy into ~/Library/Widgets (after
    /// asking) and starts it in the widget host.
    void saveRunWidget();
    /// Saves and shows the widget in a frameless window above all others.
    void previewWidget();
    void closeWidgetPreview();
    /// Previews the widget if it is not shown, and opens the developer
    /// tools on the preview's page.
    void inspectPreview();
    void findNext() { m_searchView->findInShownFile(true); }
    void findPrevious() { m_searchView->findInShownFile(false); }

    /// The search field the Search item carries.
    FileListSearchField *searchView() const { return m_searchView; }
    /// The preview; null until the first preview.
    WidgetPreview *preview() const { return m_preview.get(); }
    /// Loads the saved bundle again into the preview, if it shows.
    void reloadPreview(const QString &bundlePath);
    /// The Run Log and the Problems.
    WidgetPanels *panels() const { return m_panels; }
    bool isPreviewShowing() const;

signals:
    /// The preview was shown, or it went away.
    void previewShowingChanged(bool showing);

private:
    /// The toolbar's Preview item and the Widget menu follow the preview.
    void previewStateChanged();
    /// Hands an installed bundle to the widget host, saying so when it cannot.
    void runInstalled(const QString &bundle);
    QString savedBundlePath();

    QPointer<QMainWindow> m_mainWindow;
    QPointer<FileListController> m_fileList;
    QPointer<FileListSearchField> m_searchView;
    WidgetPanels *m_panels;
    std::unique_ptr<WidgetPreview> m_preview;
};
