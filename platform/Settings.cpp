// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Settings.h"

#include <QSettings>
#include <QStandardPaths>

namespace {
const QString EditorFontSizeKey = QStringLiteral("Editor/FontSize");
const QString RecentDocumentsKey = QStringLiteral("Documents/Recent");
const QString WindowGeometryKey = QStringLiteral("Documents/WindowGeometry");

QString toolbarKey(const QString &identifier, const QString &what)
{
    // Identifiers hold blanks; QSettings keys must not hold slashes.
    return QStringLiteral("Toolbars/") + QString(identifier).replace(u'/', u'_') + u'/' + what;
}
} // namespace

Settings &Settings::shared()
{
    static Settings instance;
    return instance;
}

std::unique_ptr<QSettings> Settings::store()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::make_unique<QSettings>(folder + QStringLiteral("/Quillet/Quillet.conf"), QSettings::IniFormat);
}

int Settings::editorFontSize() const
{
    const int points = store()->value(EditorFontSizeKey, DefaultEditorFontSize).toInt();
    return std::clamp(points, MinimumEditorFontSize, MaximumEditorFontSize);
}

void Settings::setEditorFontSize(int points)
{
    points = std::clamp(points, MinimumEditorFontSize, MaximumEditorFontSize);
    if (points == editorFontSize())
        return;
    store()->setValue(EditorFontSizeKey, points);
    emit editorFontSizeChanged(points);
}

QStringList Settings::recentDocuments() const
{
    return store()->value(RecentDocumentsKey).toStringList();
}

void Settings::noteRecentDocument(const QString &path)
{
    QStringList paths = recentDocuments();
    paths.removeAll(path);
    paths.prepend(path);
    store()->setValue(RecentDocumentsKey, paths.mid(0, MaximumRecentDocuments));
}

void Settings::clearRecentDocuments()
{
    store()->remove(RecentDocumentsKey);
}

std::optional<QStringList> Settings::toolbarItems(const QString &identifier) const
{
    const QVariant items = store()->value(toolbarKey(identifier, QStringLiteral("items")));
    if (!items.isValid())
        return std::nullopt;
    return items.toStringList();
}

int Settings::toolbarDisplayMode(const QString &identifier) const
{
    return store()->value(toolbarKey(identifier, QStringLiteral("displayMode")), 0).toInt();
}

void Settings::setToolbarConfiguration(const QString &identifier, const QStringList &items, int displayMode)
{
    {
        const std::unique_ptr<QSettings> settings = store();
        settings->setValue(toolbarKey(identifier, QStringLiteral("items")), items);
        settings->setValue(toolbarKey(identifier, QStringLiteral("displayMode")), displayMode);
    }
    emit toolbarConfigurationChanged(identifier);
}

QByteArray Settings::documentWindowGeometry() const
{
    return store()->value(WindowGeometryKey).toByteArray();
}

void Settings::setDocumentWindowGeometry(const QByteArray &geometry)
{
    store()->setValue(WindowGeometryKey, geometry);
}
