// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/DesktopEntry.h"

#include "platform/FileName.h"

#include <QCoreApplication>

// GLib names a structure member "signals", which Qt's keywords would replace.
#undef signals
#include <gio/gdesktopappinfo.h>

#include <memory>

namespace {

template <class Object> using Owned = std::unique_ptr<Object, decltype(&g_object_unref)>;

QString translated(const char *text)
{
    return QCoreApplication::translate("DesktopEntry", text);
}

} // namespace

DesktopEntry::Description DesktopEntry::describe(const QString &entryPath)
{
    const Owned<GDesktopAppInfo> application(
        g_desktop_app_info_new_from_filename(FileName::encode(entryPath).constData()), g_object_unref);
    if (!application)
        return {};
    Description description{QString::fromUtf8(g_app_info_get_display_name(G_APP_INFO(application.get()))), {}};
    if (GIcon *icon = g_app_info_get_icon(G_APP_INFO(application.get()))) {
        char *text = g_icon_to_string(icon);
        description.icon = QString::fromUtf8(text);
        g_free(text);
    }
    return description;
}

Outcome DesktopEntry::launch(const QString &entryPath, const QString &path)
{
    const Owned<GDesktopAppInfo> application(
        g_desktop_app_info_new_from_filename(FileName::encode(entryPath).constData()), g_object_unref);
    if (!application)
        return Outcome::failure(entryPath,
                                translated("It is not a desktop entry of an application that can be started"));
    GList *files = nullptr;
    if (!path.isEmpty())
        files = g_list_append(files, g_file_new_for_path(FileName::encode(path).constData()));
    GError *error = nullptr;
    const bool launched = g_app_info_launch(G_APP_INFO(application.get()), files, nullptr, &error);
    g_list_free_full(files, g_object_unref);
    if (launched)
        return {};
    const QString reason = QString::fromUtf8(error->message);
    g_error_free(error);
    return Outcome::failure(entryPath, reason);
}

QString DesktopEntry::locate(const QString &identifier)
{
    if (identifier.isEmpty() || identifier.contains(u'/'))
        return {};
    for (const QString &name : {identifier, identifier.section(u'.', -1).toLower()}) {
        const Owned<GDesktopAppInfo> application(
            g_desktop_app_info_new((name + QStringLiteral(".desktop")).toUtf8().constData()), g_object_unref);
        if (application)
            return FileName::decode(g_desktop_app_info_get_filename(application.get()));
    }
    return {};
}
