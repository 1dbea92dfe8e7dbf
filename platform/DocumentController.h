// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QObject>

#include <functional>

class Document;
class QWidget;

/// Makes, finds and keeps the open documents. Every controller and view finds
/// its document through `documentForWindow`, so nothing else holds on to one.
/// The application quits once its last document has closed.
class DocumentController : public QObject
{
    Q_OBJECT

public:
    static DocumentController &shared();

    /// Makes the document objects; the application sets it once at start-up.
    void setDocumentFactory(std::function<Document *()> factory);

    /// A new untitled document with its window.
    Document *newDocument();
    /// Runs the Open panel and opens every bundle chosen in it.
    void openDocument(QWidget *parent);
    /// Opens the document at `path`, or brings forward the one already open
    /// there. Null when the document declined to open.
    Document *openDocumentWithPath(const QString &path);

    /// The document whose window holds `widget`; null when there is none.
    Document *documentForWindow(const QWidget *widget) const;
    QList<Document *> documents() const { return m_documents; }

    /// Offers every document to close, as Quit does; false when one stayed.
    bool closeAllDocuments();

    /// Whether the last document's closing quits the application (tests turn
    /// it off).
    void setQuitsWithLastDocument(bool quits) { m_quitsWithLastDocument = quits; }

    int nextUntitledNumber() { return ++m_untitledCount; }

private:
    friend class Document;
    DocumentController() = default;

    void removeDocument(Document *document);
    void scheduleQuitCheck();
    void quitIfIdle();

    std::function<Document *()> m_factory;
    QList<Document *> m_documents;
    int m_untitledCount = 0;
    bool m_quitsWithLastDocument = true;
};
