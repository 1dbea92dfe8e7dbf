// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/DocumentController.h"

#include "platform/Alert.h"
#include "platform/Document.h"
#include "platform/FileManager.h"
#include "platform/OpenPanel.h"
#include "platform/ProgressPanel.h"
#include "platform/Settings.h"
#include "platform/ZipArchive.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QTimer>

namespace {
// How often an idle application without documents looks again whether a
// modal panel (say, an Open panel run after the last window closed) is done.
constexpr int IdleRecheckMilliseconds = 200;
} // namespace

DocumentController &DocumentController::shared()
{
    static DocumentController instance;
    return instance;
}

void DocumentController::setDocumentFactory(std::function<Document *()> factory)
{
    m_factory = std::move(factory);
}

Document *DocumentController::newDocument()
{
    Q_ASSERT(m_factory);
    Document *document = m_factory();
    m_documents.append(document);
    document->makeWindowControllers();
    return document;
}

void DocumentController::openDocument(QWidget *parent)
{
    const OpenPanel::Options options{tr("Open"),
                                     tr("Widgets, zipped widgets and templates"),
                                     {QStringLiteral("wdgt"), QStringLiteral("zip"), QStringLiteral("wdtp")},
                                     true,
                                     false,
                                     {}};
    for (const QString &path : OpenPanel::run(parent, options))
        openDocumentWithPath(path);
}

Document *DocumentController::openDocumentWithPath(const QString &path)
{
    Q_ASSERT(m_factory);
    // A zipped widget opens as the bundle it holds, unpacked beside it.
    if (ZipArchive::isArchive(path)) {
        QString bundle;
        ProgressPanel progress(QApplication::activeWindow(), tr("Unpacking “%1”…").arg(QFileInfo(path).fileName()),
                               ProgressPanel::Stopping::Offered);
        const Outcome extracted = ZipArchive::extractWidget(path, &bundle, [&progress](quint64 done, quint64 total) {
            return progress.step(qint64(done), qint64(total));
        });
        if (extracted)
            return openDocumentWithPath(bundle);
        if (!extracted.wasStopped())
            Alert::report(nullptr, tr("“%1” cannot be opened.").arg(QFileInfo(path).fileName()), extracted);
        scheduleQuitCheck();
        return nullptr;
    }
    // "Clock.wdgt/" and "./Clock.wdgt" are the bundle "Clock.wdgt", as is a link to it.
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (Document *open : std::as_const(m_documents)) {
        if ((open->filePath() == absolute || FileManager::isSameFile(open->filePath(), absolute)) && open->window()) {
            open->window()->raise();
            open->window()->activateWindow();
            return open;
        }
    }
    Document *document = m_factory();
    document->setFileURL(QUrl::fromLocalFile(absolute));
    if (!document->readFromURL(document->fileURL())) {
        delete document;
        scheduleQuitCheck();
        return nullptr;
    }
    m_documents.append(document);
    document->makeWindowControllers();
    Settings::shared().noteRecentDocument(absolute);
    return document;
}

Document *DocumentController::documentForWindow(const QWidget *widget) const
{
    if (!widget)
        return nullptr;
    const QWidget *window = widget->window();
    for (Document *document : m_documents) {
        if (document->window() == window)
            return document;
    }
    return nullptr;
}

bool DocumentController::closeAllDocuments()
{
    const QList<Document *> open = m_documents;
    for (Document *document : open) {
        if (!document->canClose())
            return false;
        document->close();
    }
    return true;
}

void DocumentController::removeDocument(Document *document)
{
    m_documents.removeOne(document);
    scheduleQuitCheck();
}

void DocumentController::scheduleQuitCheck()
{
    // Deferred, so that a command that closes one document and opens another
    // (Install, the wizard's Open) never leaves the application without one.
    QTimer::singleShot(0, this, &DocumentController::quitIfIdle);
}

void DocumentController::quitIfIdle()
{
    if (!m_quitsWithLastDocument || !m_documents.isEmpty())
        return;
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(IdleRecheckMilliseconds, this, &DocumentController::quitIfIdle);
        return;
    }
    QCoreApplication::quit();
}
