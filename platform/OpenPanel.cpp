// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/OpenPanel.h"

#include "platform/DesktopEntry.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QListView>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <algorithm>

namespace {

const QString DesktopEntryType = QStringLiteral("desktop");

struct Application
{
    QString name;
    QIcon icon;
};

Application readDesktopEntry(const QString &path)
{
    const DesktopEntry::Description entry = DesktopEntry::describe(path);
    return {entry.name, QFileInfo(entry.icon).isAbsolute() ? QIcon(entry.icon) : QIcon::fromTheme(entry.icon)};
}

// Desktop entries by their applications' names, folders first. The names go
// to screen readers and, through ApplicationNameDelegate, to the eye; the
// display role keeps the file name, which the panel types and chooses.
class ApplicationEntries : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (index.column() == 0 && (role == Qt::AccessibleTextRole || role == Qt::DecorationRole)) {
            const Application &application = applicationAt(mapToSource(index));
            if (role == Qt::AccessibleTextRole && !application.name.isEmpty())
                return application.name;
            if (role == Qt::DecorationRole && !application.icon.isNull())
                return application.icon;
        }
        return QSortFilterProxyModel::data(index, role);
    }

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        const auto *files = static_cast<const QFileSystemModel *>(sourceModel());
        if (left.column() != 0)
            return QSortFilterProxyModel::lessThan(left, right);
        if (files->isDir(left) != files->isDir(right))
            return files->isDir(left);
        return shownName(left).localeAwareCompare(shownName(right)) < 0;
    }

private:
    QString shownName(const QModelIndex &source) const
    {
        const QString name = applicationAt(source).name;
        return name.isEmpty() ? source.data().toString() : name;
    }

    // Each entry is read once, when first shown or sorted.
    const Application &applicationAt(const QModelIndex &source) const
    {
        const QString path = source.data(QFileSystemModel::FilePathRole).toString();
        auto known = m_applications.constFind(path);
        if (known == m_applications.cend()) {
            const bool isEntry = QFileInfo(path).suffix() == DesktopEntryType;
            known = m_applications.insert(path, isEntry ? readDesktopEntry(path) : Application());
        }
        return *known;
    }

    mutable QHash<QString, Application> m_applications;
};

class ApplicationNameDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString name = index.data(Qt::AccessibleTextRole).toString();
        if (!name.isEmpty())
            option->text = name;
    }
};

} // namespace

OpenPanel::OpenPanel(QWidget *parent, const Options &options)
    : BundlePanel(parent, options.title)
    , m_canChooseDirectories(options.canChooseDirectories)
{
    setAcceptMode(AcceptOpen);
    setFileMode(options.allowsMultipleSelection ? ExistingFiles : ExistingFile);
    if (options.fileTypes.contains(DesktopEntryType))
        listApplications();
    if (!options.directory.isEmpty())
        setDirectory(options.directory);
    if (!options.fileTypes.isEmpty()) {
        QStringList patterns;
        for (const QString &type : options.fileTypes)
            patterns.append(QStringLiteral("*.") + type);
        const QString description =
            options.typeDescription.isEmpty() ? options.fileTypes.join(QStringLiteral(", ")) : options.typeDescription;
        setNameFilters({QStringLiteral("%1 (%2)").arg(description, patterns.join(u' ')), tr("All files (*)")});
    }
}

// Each view gets a delegate of its own: views must not share one.
void OpenPanel::listApplications()
{
    auto *entries = new ApplicationEntries(this);
    setProxyModel(entries);
    entries->sort(0);
    for (QAbstractItemView *view : std::initializer_list<QAbstractItemView *>{
             findChild<QListView *>(QStringLiteral("listView")), findChild<QTreeView *>(QStringLiteral("treeView"))})
        view->setItemDelegate(new ApplicationNameDelegate(view));
}

// Each purpose, named by the title, starts where it last chose: choosing an
// application does not send the next Copy In among the applications.
QStringList OpenPanel::run(QWidget *parent, Options options)
{
    const QString purpose = QStringLiteral("open ") + options.title;
    options.directory = lastFolder(purpose, options.directory);
    QStringList chosen;
    if (responder)
        chosen = responder(options);
    else if (OpenPanel panel(parent, options); panel.exec() == Accepted)
        chosen = panel.chosenPaths();
    noteChoice(purpose, chosen.value(0));
    return chosen;
}

QStringList OpenPanel::chosenPaths() const
{
    return result() == Accepted ? selectedFiles() : QStringList();
}

bool OpenPanel::canChoose(const QString &path) const
{
    const QFileInfo info(path);
    return info.exists() && (!info.isDir() || m_canChooseDirectories || isBundle(path));
}

void OpenPanel::accept()
{
    const QStringList paths = selectedFiles();
    if (!paths.isEmpty()
        && std::all_of(paths.begin(), paths.end(), [this](const QString &p) { return canChoose(p); })) {
        QDialog::accept();
        return;
    }
    // A plain folder: let the dialog step into it.
    QFileDialog::accept();
}

void OpenPanel::chooseBundle(const QString &)
{
    accept();
}
