// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QJsonValue>
#include <QString>

#include <memory>
#include <optional>

class QSettings;
class QWebEngineProfile;
class WidgetBundle;

/// The preferences a widget keeps with `widget.setPreferenceForKey`: values
/// by key, in one settings file per widget under the user's configuration
/// folder, kept from run to run. A value is a string, a number or a boolean,
/// and comes back as what it was: widgets compare a stored `true` with
/// `true`. The preview keeps its own files apart from
/// those of installed widgets, so that trying a widget out never changes
/// the widget the user has installed.
///
/// The file is found afresh on every use, so a change of home (tests make
/// one) is followed.
class WidgetPreferences
{
public:
    enum class Store { Preview, Installed };

    WidgetPreferences() = default;
    WidgetPreferences(Store store, const QString &domain);

    /// Whose preferences a bundle's page sees: its "CFBundleIdentifier", or
    /// for a bundle without one a name made from its folder.
    static QString domainOf(const WidgetBundle &bundle);

    /// The widget's web storage (localStorage, IndexedDB, cookies, cache),
    /// kept from run to run beside its preferences, and apart for the
    /// preview: one engine profile per widget and store, made at first use
    /// and owned by the application, so that it outlives every page.
    QWebEngineProfile *webProfile() const;

    /// The value stored under `key`; nothing when none is.
    std::optional<QJsonValue> value(const QString &key) const;
    /// Stores `value` under `key`; nothing, or a value that is neither a
    /// string, a number nor a boolean, removes the key.
    void setValue(const QString &key, const std::optional<QJsonValue> &value) const;

private:
    /// Where the preferences are kept.
    QString filePath() const;
    std::unique_ptr<QSettings> open() const;

    Store m_store = Store::Preview;
    QString m_domain;
};
