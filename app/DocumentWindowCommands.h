// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/FileListSearchField.h"
#include "app/PreviewSession.h"

#include <QObject>
#include <QPointer>

class DocumentToolbar;
class FileListController;
class QMainWindow;
class TextEditorView;
class WidgetFiles;
class WidgetPanels;
struct WidgetPart;

/// The commands of a document window, as the toolbar and the menus give
/// them: New Widget, Open, Save, Preview and Stop, Inspect, Build and Run,
/// Find Next and Previous. Preview and Build and Run save first; an untitled
/// widget asks for its place then. The pieces each command needs (the
/// toolbar, the search field, the preview, the panels) live here for as long
/// as the window, their parent.
class DocumentWindowCommands : public QObject
{
    Q_OBJECT

public:
    DocumentWindowCommands(QMainWindow *mainWindow, FileListController *fileList);

    /// Builds the toolbar and installs it on the window, replacing the old
    /// one: once the window is loaded, and as the preview starts and stops.
    void installToolbar();

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
    /// Puts `part` into the page shown, at its caret; when no page shows,
    /// into the widget's main page, which it shows.
    void insertPart(const WidgetPart &part);
    void findNext() { m_searchView->findInShownFile(true); }
    void findPrevious() { m_searchView->findInShownFile(false); }

    /// The search field the Search item carries.
    FileListSearchField *searchView() const { return m_searchView; }
    /// The preview; null until the first preview.
    WidgetPreview *preview() const { return m_preview->preview(); }
    /// Loads the saved bundle again into the preview, if it shows.
    void reloadPreview(const QString &bundlePath) { m_preview->reload(bundlePath); }
    bool isPreviewShowing() const { return m_preview->isShowing(); }
    /// The Run Log and the Problems.
    WidgetPanels *panels() const { return m_panels; }

signals:
    /// The preview was shown, or it went away.
    void previewShowingChanged(bool showing);

private:
    /// The toolbar's Preview item and the Widget menu follow the preview.
    void previewStateChanged(bool showing);
    /// Saves as Save does; empty when nothing was saved to go on with (the
    /// user cancelled, or the save failed).
    QString savedBundlePath();
    /// The page a part goes into; null, said on the window, when the widget
    /// has no main page to show.
    TextEditorView *pageForParts();

    QPointer<QMainWindow> m_mainWindow;
    WidgetFiles *m_files;
    QPointer<FileListSearchField> m_searchView;
    WidgetPanels *m_panels;
    PreviewSession *m_preview;
    DocumentToolbar *m_toolbar;
};
