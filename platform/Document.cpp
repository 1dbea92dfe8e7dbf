// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Document.h"

#include "platform/Alert.h"
#include "platform/DocumentController.h"
#include "platform/SavePanel.h"
#include "platform/Settings.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QScreen>
#include <QStyle>

namespace {

// Edits are made in many views that do not announce them; the window's
// mark follows them at this pace.
constexpr int EditedCheckInterval = 250; // ms
constexpr double ComfortableShare = 0.7; // of the screen's free area, each way
constexpr QSize SmallestComfortable(900, 600);
constexpr int CascadeStep = 28;

} // namespace

Document::Document()
{
    m_editedCheck.setInterval(EditedCheckInterval);
    connect(&m_editedCheck, &QTimer::timeout, this, [this] {
        if (m_window)
            m_window->setWindowModified(isDocumentEdited());
    });
}

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
    placeWindow();
    m_window->show();
    m_editedCheck.start();
}

void Document::updateWindowTitle()
{
    if (!m_window)
        return;
    const bool readOnly = !filePath().isEmpty() && !QFileInfo(filePath()).isWritable();
    m_window->setWindowTitle(readOnly ? tr("%1[*] — read-only").arg(displayName())
                                      : displayName() + QStringLiteral("[*]"));
    m_window->setWindowModified(isDocumentEdited());
}

void Document::placeWindow()
{
    const QByteArray saved = Settings::shared().documentWindowGeometry();
    if (!saved.isEmpty() && m_window->restoreGeometry(saved)) {
        for (Document *open : DocumentController::shared().documents()) {
            if (open != this && open->window() && open->window()->pos() == m_window->pos())
                m_window->move(m_window->pos() + QPoint(CascadeStep, CascadeStep));
        }
        return;
    }
    const QRect screen = m_window->screen()->availableGeometry();
    const QSize size =
        (QSizeF(screen.size()) * ComfortableShare).toSize().expandedTo(SmallestComfortable).boundedTo(screen.size());
    m_window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, screen));
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
    const QString path = SavePanel::run(m_window,
                                        {tr("Save As"), requiredFileExtension(),
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

bool Document::revertDocumentToSaved()
{
    if (!canRevertToSaved())
        return false;
    const Alert::Request question{tr("Revert to the saved “%1”?").arg(displayName()),
                                  tr("Your unsaved changes will be lost."),
                                  tr("Revert"),
                                  tr("Cancel"),
                                  {},
                                  Alert::Icon::Warning};
    if (Alert::run(m_window, question) != Alert::DefaultButton)
        return false;
    revertToSaved();
    if (m_window)
        m_window->setWindowModified(isDocumentEdited());
    return true;
}

bool Document::canClose()
{
    if (!isDocumentEdited())
        return true;
    const Alert::Request question{tr("Do you want to save the changes you made to “%1”?").arg(displayName()),
                                  tr("Your changes will be lost if you don’t save them."), tr("Save"), tr("Cancel"),
                                  tr("Don’t Save")};
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
    m_editedCheck.stop();
    if (m_window) {
        if (m_window->isVisible())
            Settings::shared().setDocumentWindowGeometry(m_window->saveGeometry());
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
