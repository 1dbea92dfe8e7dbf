// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/BundlePanel.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QSplitter>
#include <QTreeView>

namespace {

// Kept for the run only: a new run starts at home, not wherever Qt's own
// dialog was last left.
QHash<QString, QString> &lastFolders()
{
    static QHash<QString, QString> folders;
    return folders;
}

class BundleIconProvider : public QFileIconProvider
{
public:
    QIcon icon(const QFileInfo &info) const override
    {
        return BundlePanel::isBundle(info.filePath()) ? QFileIconProvider::icon(File) : QFileIconProvider::icon(info);
    }

    QString type(const QFileInfo &info) const override
    {
        if (info.suffix() == u"desktop" && !info.isDir())
            return QFileDialog::tr("Application");
        if (!BundlePanel::isBundle(info.filePath()))
            return QFileIconProvider::type(info);
        return info.suffix().compare(u"wdtp", Qt::CaseInsensitive) == 0 ? QFileDialog::tr("Widget template")
                                                                        : QFileDialog::tr("Widget");
    }
};

} // namespace

bool BundlePanel::isBundle(const QString &path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    return info.isDir() && (suffix == u"wdgt" || suffix == u"wdtp");
}

QString BundlePanel::lastFolder(const QString &purpose, const QString &otherwise)
{
    return lastFolders().value(purpose, otherwise.isEmpty() ? QDir::homePath() : otherwise);
}

void BundlePanel::noteChoice(const QString &purpose, const QString &chosen)
{
    if (!chosen.isEmpty())
        lastFolders().insert(purpose, QFileInfo(chosen).absolutePath());
}

BundlePanel::BundlePanel(QWidget *parent, const QString &title)
    : QFileDialog(parent, title)
    , m_icons(std::make_unique<BundleIconProvider>())
{
    // The bundle rules need Qt's own dialog; a desktop portal would enter bundles.
    setOption(DontUseNativeDialog);
    setIconProvider(m_icons.get());
    layOutRoomily();
    connect(this, &QFileDialog::directoryEntered, this, &BundlePanel::bounceOutOfBundle);
}

BundlePanel::~BundlePanel() = default;

// Qt's defaults cut the places' names and the detail view's dates short.
// Fixed widths rather than widths fitted to the contents, which would
// measure every row of a large folder on each change.
void BundlePanel::layOutRoomily()
{
    resize(800, 480);
    if (auto *splitter = findChild<QSplitter *>(QStringLiteral("splitter")))
        splitter->setSizes({150, 650});
    auto *details = findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!details)
        return;
    QHeaderView *header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    const int dateWidth = details->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000 00:00 AM")) + 24;
    header->resizeSection(header->count() - 1, dateWidth);
}

void BundlePanel::bounceOutOfBundle(const QString &directory)
{
    if (!isBundle(directory))
        return;
    const QFileInfo bundle(directory);
    setDirectory(bundle.absolutePath());
    selectFile(bundle.fileName());
    chooseBundle(bundle.absoluteFilePath());
}
