// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TemplateList.h"

#include "templates/TemplateFolder.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>

namespace {
constexpr int IconSize = 32;
} // namespace

void TemplateList::refresh()
{
    beginResetModel();
    TemplateFolder::prepare();
    m_entries = TemplateFolder::installedTemplates();
    endResetModel();
}

QString TemplateList::nameAt(int row) const
{
    return row >= 0 && row < m_entries.size() ? QFileInfo(m_entries.at(row)).completeBaseName() : QString();
}

int TemplateList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int TemplateList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TemplateList::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (index.column() == NameColumn)
        return role == Qt::DisplayRole ? QVariant(nameAt(index.row())) : QVariant();
    if (role != Qt::DecorationRole)
        return {};
    // A template that carries its widget's icon shows it; others a folder icon.
    const QString bundle = TemplateFolder::templatesPath() + u'/' + m_entries.at(index.row());
    const QIcon own(bundle + QStringLiteral("/Icon.png"));
    if (!own.pixmap(IconSize).isNull())
        return own;
    static const QFileIconProvider provider;
    return provider.icon(QFileInfo(bundle));
}
