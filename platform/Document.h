// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

/// One document and its window. The base knows the document's location,
/// runs Save and Save As, and closes the document with its window; a subclass
/// reads and writes its content and makes its window.
///
/// Documents are made and owned by DocumentController; a document deletes
/// itself (and its window) when it is closed.
class Document : public QObject
{
    Q_OBJECT

public:
    Document();
    ~Document() override;

    /// The document's location; empty for a new, untitled document.
    QUrl fileURL() const { return m_fileURL; }
    void setFileURL(const QUrl &url);
    /// The local path of the location, empty when untitled.
    QString filePath() const { return m_fileURL.toLocalFile(); }

    /// The location's file name, or "Untitled" (numbered) without one.
    QString displayName() const;

    /// The document window, once made; null after the document closed.
    QMainWindow *window() const { return m_window; }

    /// Reads the document from the location; false drops the document
    /// without a window and without a message (it speaks for itself).
    virtual bool readFromURL(const QUrl &url) = 0;
    /// Writes the document to `destination`; `original` is the location of
    /// its current content (empty for untitled). A failure names the file
    /// that could not be written and why; the document then stays where it
    /// was, unless the subclass moved it.
    virtual Outcome writeToURL(const QUrl &destination, const QUrl &original) = 0;
    /// Whether the document holds edits that a save would write.
    virtual bool isDocumentEdited() const { return false; }
    /// Drops the unsaved edits, reading what is saved in their place.
    virtual void revertToSaved() { }

    /// Saves at the location; an untitled document first asks for one.
    bool saveDocument();
    /// Asks for a new location and saves there; the document moves with it.
    bool saveDocumentAs();
    /// Writes to `url` and makes it the location when that succeeds; a
    /// failure is reported, naming the file and the reason.
    bool saveToURL(const QUrl &url);

    /// Whether there is a saved document and edits to drop.
    bool canRevertToSaved() const { return !filePath().isEmpty() && isDocumentEdited(); }
    /// Asks whether to drop the unsaved edits, and reads the saved document
    /// back when the user agrees; false when nothing was reverted.
    bool revertDocumentToSaved();

    /// Asks about unsaved edits; false when the user chose to keep the
    /// document open.
    bool canClose();
    /// Closes the document and its window at once, without asking.
    void close();

    /// Makes and shows the window; called once by the controller.
    void makeWindowControllers();

protected:
    /// Builds the window from the document's form.
    virtual QMainWindow *makeWindow() = 0;
    /// Runs once the window is built, before it is shown.
    virtual void windowControllerDidLoadNib() { }
    /// The extension a location chosen in the Save panel must carry.
    virtual QString requiredFileExtension() const { return {}; }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// The title names the document, marks unsaved edits ("[*]") and says
    /// when the bundle cannot be written.
    void updateWindowTitle();
    /// Where the window opens: where the last one closed (a step aside when
    /// another window is there), else at a comfortable size for the screen.
    void placeWindow();

    QUrl m_fileURL;
    QPointer<QMainWindow> m_window;
    int m_untitledNumber = 0;
    bool m_closed = false;
    QTimer m_editedCheck;
};
