// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Document.h"

#include "platform/Alert.h"
#include "platform/DocumentController.h"
#include "platform/SavePanel.h"
#include "platform/Settings.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMainWindow>

Document::Document() = default;

Document::~Document()
{
    delete m_window;
}

void Document::setFileURL(const QUrl &url)
{
    m_fileURL = url;
    updateWindowTitle();
}

QString Document::displayName() const
{
    if (!filePath().isEmpty())
        return QFileInfo(filePath()).fileName();
    return m_untitledNumber <= 1 ? tr("Untitled") : tr("Untitled %1").arg(m_untitledNumber);
}

void Document::makeWindowControllers()
{
    Q_ASSERT(!m_window);
    if (filePath().isEmpty())
        m_untitledNumber = DocumentController::shared().nextUntitledNumber();
    m_window = makeWindow();
    m_window->installEventFilter(this);
    windowControllerDidLoadNib();
    updateWindowTitle();
    m_window->show();
}

void Document::updateWindowTitle()
{
    if (m_window)
        m_window->setWindowTitle(displayName());
}

bool Document::saveDocument()
{
    if (filePath().isEmpty())
        return saveDocumentAs();
    return saveToURL(m_fileURL);
}

bool Document::saveDocumentAs()
{
    const QFileInfo current(filePath());
    const QString path = SavePanel::run(
        m_window, {tr("Save As"), requiredFileExtension(),
                   filePath().isEmpty() ? QString() : current.absolutePath(), displayName()});
    return !path.isEmpty() && saveToURL(QUrl::fromLocalFile(path));
}

bool Document::saveToURL(const QUrl &url)
{
    const Outcome written = writeToURL(url, m_fileURL);
    if (written) {
        setFileURL(url);
        Settings::shared().noteRecentDocument(filePath());
        return true;
    }
    Alert::report(m_window, tr("“%1” could not be saved.").arg(QFileInfo(url.toLocalFile()).fileName()), written);
    return false;
}

bool Document::canClose()
{
    if (!isDocumentEdited())
        return true;
    const Alert::Request question{
        tr("Do you want to save the changes you made to “%1”?").arg(displayName()),
        tr("Your changes will be lost if you don’t save them."),
        tr("Save"), tr("Cancel"), tr("Don’t Save")};
    switch (Alert::run(m_window, question)) {
    case Alert::DefaultButton:
        return saveDocument();
    case Alert::OtherButton:
        return true;
    case Alert::AlternateButton:
        break;
    }
    return false;
}

void Document::close()
{
    if (m_closed)
        return;
    m_closed = true;
    if (m_window) {
        m_window->removeEventFilter(this);
        m_window->hide();
    }
    DocumentController::shared().removeDocument(this);
    deleteLater();
}

bool Document::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Close) {
        if (canClose())
            close();
        else
            event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
