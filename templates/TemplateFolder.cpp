// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TemplateFolder.h"

#include "platform/FileManager.h"

#include <QDir>

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
    QDir().mkpath(QDir::homePath() + QStringLiteral("/Library/Application Support"));
    if (!FileManager::exists(applicationSupportPath()))
        FileManager::createDirectory(applicationSupportPath());
    if (FileManager::exists(templatesPath()))
        return;
    if (!FileManager::copyItem(DefaultTemplatesPath, templatesPath()))
        FileManager::createDirectory(templatesPath());
}
