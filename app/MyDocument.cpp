// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/MyDocument.h"

#include "ui_MyDocument.h"

#include "app/MainMenu.h"
#include "app/ToolbarDelegate.h"
#include "chrome/CenteredTextFieldCell.h"
#include "editors/ContentView.h"
#include "filelist/FileListController.h"
#include "host/WidgetBundle.h"
#include "platform/Alert.h"
#include "platform/DocumentController.h"
#include "platform/FileManager.h"
#include "platform/ProgressPanel.h"
#include "templates/TemplateFolder.h"
#include "templates/TemplateWizardPanel.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QPointer>
#include <QTemporaryDir>

#include <algorithm>

namespace {
// The file list's share of a new window; the content area takes the rest.
constexpr int InitialFileListWidth = 220;

QString cleanAbsolute(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

MyDocument::MyDocument()
    : ui(std::make_unique<Ui::MyDocument>())
{
}

MyDocument::~MyDocument() = default;

QString MyDocument::windowNibName() const
{
    return QStringLiteral("MyDocument");
}

QMainWindow *MyDocument::makeWindow()
{
    auto *window = new QMainWindow;
    ui->setupUi(window);
    new MainMenu(window);
    ui->fileList->setItemDelegate(new CenteredTextFieldCell(ui->fileList));
    m_fileList = new FileListController(window, ui->fileList, ui->contentView);
    connect(ui->addButton, &QToolButton::clicked, m_fileList, &FileListController::addFile);
    connect(ui->removeButton, &QToolButton::clicked, m_fileList, &FileListController::removeFile);
    connect(ui->renameButton, &QToolButton::clicked, m_fileList, &FileListController::renameFile);
    connect(ui->openWithButton, &QToolButton::clicked, m_fileList, &FileListController::openFileWith);
    m_toolbarDelegate = new ToolbarDelegate(window, m_fileList);
    m_fileList->setSearchField(m_toolbarDelegate->searchView());
    m_teplatePanel = new TemplateWizardPanel(window, m_fileList);
    m_fileList->setTemplateView(m_teplatePanel);
    return window;
}

void MyDocument::windowControllerDidLoadNib()
{
    QPalette palette = window()->palette();
    palette.setColor(QPalette::Window, Qt::white);
    window()->setPalette(palette);
    window()->setAutoFillBackground(true);
    ui->splitView->setSizes({InitialFileListWidth, window()->width() - InitialFileListWidth});
    m_fileList->awakeFromNib();
    m_toolbarDelegate->awakeFromNib();
}

QString MyDocument::requiredFileExtension() const
{
    return QStringLiteral("wdgt");
}

QWidget *MyDocument::contentView() const
{
    return window() ? ui->contentView : nullptr;
}

bool MyDocument::readFromURL(const QUrl &url)
{
    const QString path = url.toLocalFile();
    const QString extension = QFileInfo(path).suffix().toLower();
    if (!FileManager::exists(path) || extension != u"wdtp")
        return true;
    const Alert::Request question{tr("Edit or Install"),
                                  tr("Would you like to edit or install this template?"),
                                  tr("Install"), tr("Edit"), {}};
    if (Alert::run(nullptr, question) == Alert::AlternateButton)
        return true;
    return installTemplate(path);
}

bool MyDocument::installTemplate(const QString &path)
{
    TemplateFolder::prepare();
    // Never replaces an installed template of the same name: the move fails
    // and the template stays where it was.
    FileManager::moveItem(path, TemplateFolder::templatesPath() + u'/' + QFileInfo(path).fileName());
    DocumentController::shared().newDocument();
    // The template itself is not shown: the opening document goes away.
    return false;
}

bool MyDocument::writeToURL(const QUrl &destination, const QUrl &original)
{
    const QString target = cleanAbsolute(destination.toLocalFile());
    const QString source = cleanAbsolute(original.toLocalFile());
    if (target != source) {
        if (!placeCopyAt(target, source))
            return false;
        // The content views write under the document's location: moving it
        // first puts the unsaved edits into the new copy, not the old bundle.
        setFileURL(QUrl::fromLocalFile(target));
    }
    const bool written = saveContentViews();
    // A preview that shows follows what was just saved.
    if (m_toolbarDelegate && m_toolbarDelegate->isPreviewShowing())
        m_toolbarDelegate->previewWindow()->reloadWidget(WidgetBundle::read(target));
    return written;
}

bool MyDocument::placeCopyAt(const QString &destination, const QString &original)
{
    if (!original.isEmpty() && FileManager::exists(original)) {
        ProgressPanel progress(window(), tr("Saving a copy of the widget…"));
        return FileManager::copyItemReplacing(original, destination, [&progress] { progress.step(); });
    }
    // Nothing on disk yet: the new location becomes an empty bundle.
    const QTemporaryDir empty;
    return empty.isValid() && FileManager::copyItemReplacing(empty.path(), destination);
}

// False when a view could not write its edits: it still holds them then, and
// the save must not pass for done, or closing would throw them away.
bool MyDocument::saveContentViews()
{
    if (!m_fileList)
        return true;
    // A view's save may change the area; views that went meanwhile are skipped.
    QList<QPointer<ContentView>> views;
    for (ContentView *view : m_fileList->contentViews())
        views.append(view);
    for (const QPointer<ContentView> &view : std::as_const(views)) {
        if (view)
            view->save();
    }
    return std::none_of(views.cbegin(), views.cend(),
                        [](const QPointer<ContentView> &view) { return view && view->isEdited(); });
}

bool MyDocument::isDocumentEdited() const
{
    if (!m_fileList)
        return false;
    const QList<ContentView *> views = m_fileList->contentViews();
    return std::any_of(views.begin(), views.end(),
                       [](const ContentView *view) { return view->isEdited(); });
}
