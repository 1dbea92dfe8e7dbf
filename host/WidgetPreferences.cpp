// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetPreferences.h"

#include "host/WidgetBundle.h"
#include "host/WidgetWebPage.h"

#include <QCoreApplication>
#include <QHash>
#include <QWebEngineProfile>

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// The domain becomes a file name: whatever could leave the folder or upset
// a file system is replaced.
QString fileNameOf(const QString &domain)
{
    QString name = domain;
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != u'.' && c != u'-' && c != u'_' && c != u' ')
            c = u'_';
    }
    return name.startsWith(u'.') ? u'_' + name : name;
}

// Widgets use any string as a key; settings take slashes as group
// separators and treat other characters specially, so keys are escaped.
QString settingsKey(const QString &key)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(key));
}

// Settings files keep text; the value's JSON text keeps its type too.
QString stored(const QJsonValue &value)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact));
}

std::optional<QJsonValue> restored(const QString &text)
{
    const QJsonArray array = QJsonDocument::fromJson(text.toUtf8()).array();
    if (array.isEmpty())
        return std::nullopt;
    return array.first();
}

bool isStorable(const QJsonValue &value)
{
    return value.isString() || value.isDouble() || value.isBool();
}

} // namespace

WidgetPreferences::WidgetPreferences(Store store, const QString &domain)
    : m_store(store)
    , m_domain(domain)
{ }

QString WidgetPreferences::domainOf(const WidgetBundle &bundle)
{
    const QString identifier = bundle.info().value(u"CFBundleIdentifier"_s).toString();
    return identifier.isEmpty() ? u"widget."_s + bundle.folderIdentifier() : identifier;
}

QWebEngineProfile *WidgetPreferences::webProfile() const
{
    const QString store = m_store == Store::Installed ? u"Widget"_s : u"Preview"_s;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Quillet/"_s
        + store + u" Storage/"_s + fileNameOf(m_domain);
    static QHash<QString, QWebEngineProfile *> profiles;
    QWebEngineProfile *&profile = profiles[folder];
    if (!profile) {
        WidgetWebPage::prepareEngine();
        profile = new QWebEngineProfile(store + u' ' + fileNameOf(m_domain), QCoreApplication::instance());
        profile->setPersistentStoragePath(folder);
        profile->setCachePath(folder + u"/Cache"_s);
        profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    }
    return profile;
}

QString WidgetPreferences::filePath() const
{
    const QString folder = m_store == Store::Installed ? u"Widget Preferences"_s : u"Preview Preferences"_s;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/Quillet/"_s + folder + u'/'
        + fileNameOf(m_domain) + u".conf"_s;
}

std::optional<QJsonValue> WidgetPreferences::value(const QString &key) const
{
    const QVariant text = open()->value(settingsKey(key));
    if (!text.isValid())
        return std::nullopt;
    return restored(text.toString());
}

void WidgetPreferences::setValue(const QString &key, const std::optional<QJsonValue> &value) const
{
    if (value && isStorable(*value))
        open()->setValue(settingsKey(key), stored(*value));
    else
        open()->remove(settingsKey(key));
}

std::unique_ptr<QSettings> WidgetPreferences::open() const
{
    return std::make_unique<QSettings>(filePath(), QSettings::IniFormat);
}
