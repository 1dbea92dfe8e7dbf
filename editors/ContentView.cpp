// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ContentView.h"

#include "editors/NoticeBar.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"
#include "platform/FileManager.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QImageReader>

int ContentView::fileKindForPath(const QString &path, bool infoPlistHasItsOwnKind)
{
    const QFileInfo info(path);
    if (info.isDir())
        return FolderKind;
    if (infoPlistHasItsOwnKind && info.fileName().compare(u"info.plist", Qt::CaseInsensitive) == 0)
        return InfoPlistKind;
    if (info.suffix().isEmpty())
        return TextKind;
    // Qt names its formats in lower case; a picture named in upper case
    // opened as text would be destroyed by its first save.
    static const QList<QByteArray> imageFormats = QImageReader::supportedImageFormats();
    return imageFormats.contains(info.suffix().toLower().toLatin1()) ? ImageKind : TextKind;
}

QString ContentView::bundlePath() const
{
    const Document *document = DocumentController::shared().documentForWindow(window());
    return document ? document->filePath() : QString();
}

QString ContentView::fullPath() const
{
    const QString bundle = bundlePath();
    return bundle.isEmpty() ? QString() : bundle + u'/' + viewIdentifier();
}

void ContentView::rememberFileOnDisk()
{
    m_fileOnDisk = FileStamp::of(fullPath());
}

bool ContentView::isCurrentWithDisk() const
{
    return !m_fileOnDisk || FileStamp::of(fullPath()) == *m_fileOnDisk;
}

void ContentView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    checkFileOnDisk();
}

// Coming back to the window is when files edited elsewhere are expected.
// The window passes its activation on to the visible widgets in it.
bool ContentView::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        checkFileOnDisk();
    return QWidget::event(event);
}

void ContentView::checkFileOnDisk()
{
    if (isCurrentWithDisk())
        return;
    if (isEdited())
        fileChangedWhileEdited();
    else
        reload();
}

NoticeBar *ContentView::notice()
{
    if (!m_notice) {
        m_notice = new NoticeBar(this);
        if (auto *box = qobject_cast<QBoxLayout *>(layout()))
            box->insertWidget(1, m_notice);
    }
    return m_notice;
}

void ContentView::fileChangedWhileEdited()
{
    notice()->showNotice(tr("“%1” was changed by another program. Reload it and lose your edits, or keep "
                            "your edits and write them over that change at the next save?")
                             .arg(viewIdentifier()),
                         {tr("Reload"), tr("Keep Your Edits")}, [this](int button) {
                             if (button == 0)
                                 reload();
                             else
                                 rememberFileOnDisk();
                         });
}

// The disk is compared at the moment of writing: a change another program
// made since the last look would otherwise be written over without a word.
Outcome ContentView::save()
{
    if (!isEdited())
        return {};
    if (leadsOutside())
        return Outcome::failure(viewIdentifier(), tr("It leads outside the widget, where Quillet writes nothing"));
    if (!isCurrentWithDisk()) {
        fileChangedWhileEdited();
        return Outcome::failure(viewIdentifier(),
                                tr("Another program changed or removed it since Quillet read it. "
                                   "Choose Reload or Keep Your Edits above its editor"));
    }
    return writeEdits();
}

bool ContentView::leadsOutside() const
{
    const QString path = fullPath();
    return !path.isEmpty() && FileManager::leadsOutside(bundlePath(), path);
}

void ContentView::showLeadsOutside()
{
    notice()->showNotice(tr("“%1” leads outside the widget, to “%2”. Quillet shows it but will not change it.")
                             .arg(viewIdentifier(), QFileInfo(fullPath()).canonicalFilePath()));
}

void ContentView::showUnreadable(const Outcome &outcome)
{
    notice()->showNotice(
        tr("“%1” could not be read: %2. Quillet will not write it.").arg(viewIdentifier(), outcome.reason()));
}
