// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Document.h"

#include <memory>

class ContentArea;
class FileListController;
class FindInWidgetPanel;
class TemplateWizardPanel;
class DocumentWindowCommands;
namespace Ui {
class WidgetDocument;
}

/// One widget bundle. The document holds no data: the bundle directory on
/// disk is its content, and the only unsaved state lives in the content views
/// of its window's content area.
class WidgetDocument : public Document
{
    Q_OBJECT

public:
    WidgetDocument();
    ~WidgetDocument() override;

    bool readFromURL(const QUrl &url) override;
    Outcome writeToURL(const QUrl &destination, const QUrl &original) override;
    bool isDocumentEdited() const override;
    void revertToSaved() override;

    /// The content area, which holds the open content views.
    ContentArea *contentView() const;
    /// The window's file list; null before the window is made.
    FileListController *fileListController() const { return m_fileList; }
    /// The template wizard of the window; null before the window is made.
    TemplateWizardPanel *templatePanel() const { return m_templatePanel; }
    /// The window's Find in Widget panel; null before the window is made.
    /// The Find in Widget panel, made when first asked for: most windows
    /// never use it, and it would weigh on every window's opening.
    FindInWidgetPanel *findPanel();
    /// The window's toolbar commands; null before the window is made.
    DocumentWindowCommands *windowCommands() const { return m_windowCommands; }

protected:
    QMainWindow *makeWindow() override;
    void windowControllerDidLoadNib() override;
    QString requiredFileExtension() const override;

private:
    bool installTemplate(const QString &path);
    Outcome placeCopyAt(const QString &destination, const QString &original);

    std::unique_ptr<Ui::WidgetDocument> ui;
    FileListController *m_fileList = nullptr; // owned by the window
    DocumentWindowCommands *m_windowCommands = nullptr; // owned by the window
    TemplateWizardPanel *m_templatePanel = nullptr; // owned by the window
    FindInWidgetPanel *m_findPanel = nullptr; // owned by the window
};
