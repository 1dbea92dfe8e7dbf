// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

/// Where installed templates live, and the first-use filling of that folder
/// from the templates the program ships.
class TemplateFolder
{
public:
    /// "~/Library/Application Support/Quillet/", the tilde expanded.
    static QString applicationSupportPath();
    /// "~/Library/Application Support/Quillet/Templates", the tilde expanded.
    static QString templatesPath();

    /// Makes sure the templates folder exists: on first use it is filled with
    /// the shipped templates; when even that fails it is made empty, so that a
    /// template can always be installed into it.
    static void prepare();

    /// Entries of the templates folder whose last extension is exactly
    /// "wdtp", in the file system's order; read afresh on every call.
    static QStringList installedTemplates();

    /// The bundle of the template with this name (without its extension).
    static QString templateBundlePath(const QString &name);

    /// The template's variables, in order, from its "template.plist"; empty
    /// when that is missing, unreadable or not an array.
    static QList<QVariantMap> variableList(const QString &name);
    /// The same from the bytes of a "template.plist", so that they can be
    /// checked without a templates folder.
    static QList<QVariantMap> variablesIn(const QByteArray &templatePlist);
};
