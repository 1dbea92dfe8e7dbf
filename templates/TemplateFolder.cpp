// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TemplateFolder.h"

#include "platform/FileManager.h"
#include "platform/PropertyList.h"

#include <QDir>
#include <QFileInfo>

namespace {
// The shipped templates, compiled into the program's resources.
const QString DefaultTemplatesPath = QStringLiteral(":/Templates");
} // namespace

QString TemplateFolder::applicationSupportPath()
{
    return QDir::homePath() + QStringLiteral("/Library/Application Support/Quillet");
}

QString TemplateFolder::templatesPath()
{
    return applicationSupportPath() + QStringLiteral("/Templates");
}

void TemplateFolder::prepare()
{
    // The parent chain above the support folder may be missing on a new system.
    QDir().mkpath(applicationSupportPath());
    if (FileManager::exists(templatesPath()))
        return;
    // Without the shipped templates the folder still exists, empty; the
    // wizard then lists none, which says enough.
    if (!FileManager::copyItem(DefaultTemplatesPath, templatesPath())) {
        [[maybe_unused]] const Outcome made = FileManager::createDirectory(templatesPath());
    }
}

QStringList TemplateFolder::installedTemplates()
{
    QStringList names = FileManager::contentsOfDirectory(templatesPath());
    // Only folders are templates: a plain file of that name would make a
    // file, not a widget.
    names.removeIf([](const QString &name) {
        return QFileInfo(name).suffix() != u"wdtp" || !QFileInfo(templatesPath() + u'/' + name).isDir();
    });
    return names;
}

QString TemplateFolder::templateBundlePath(const QString &name)
{
    return templatesPath() + u'/' + name + QStringLiteral(".wdtp");
}

QList<QVariantMap> TemplateFolder::variableList(const QString &name)
{
    QByteArray bytes;
    if (!FileManager::readFile(templateBundlePath(name) + QStringLiteral("/template.plist"), &bytes,
                               PropertyList::ReadLimit))
        return {};
    return variablesIn(bytes);
}

QList<QVariantMap> TemplateFolder::variablesIn(const QByteArray &templatePlist)
{
    const std::optional<QVariant> list = PropertyList::parse(templatePlist);
    QList<QVariantMap> variables;
    if (!list || list->typeId() != QMetaType::QVariantList)
        return variables;
    for (const QVariant &variable : list->toList())
        variables.append(variable.toMap());
    return variables;
}
