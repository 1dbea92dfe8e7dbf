// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

#include <QString>
#include <QVariant>

#include <optional>

/// Property lists, read in XML or binary form and written as XML. Values map
/// onto QVariant: dictionary QVariantMap, array QVariantList, string QString,
/// integer qint64, real double, boolean bool, date QDateTime, data QByteArray.
class PropertyList
{
public:
    /// The whole property list in a file; nothing when it cannot be read or
    /// parsed.
    static std::optional<QVariant> read(const QString &path);
    static std::optional<QVariant> parse(const QByteArray &bytes);

    /// The list as an XML property list document.
    static QByteArray toXml(const QVariant &value);
    /// Writes the list as XML, atomically.
    static Outcome writeXml(const QString &path, const QVariant &value);

    /// A dictionary file edited in place: keys not touched keep their order,
    /// types and values exactly as read.
    class Dictionary
    {
    public:
        Dictionary(Dictionary &&other) noexcept;
        ~Dictionary();

        /// The file's top-level dictionary; nothing when the file cannot be
        /// read or its top level is not a dictionary, and then `why`, when
        /// given, says which.
        static std::optional<Dictionary> read(const QString &path, Outcome *why = nullptr);
        /// A dictionary with no keys, for a file made anew.
        static Dictionary empty();

        bool contains(const QString &key) const;
        QVariant value(const QString &key) const;
        void setString(const QString &key, const QString &value);
        void setInteger(const QString &key, qint64 value);
        void setTrue(const QString &key);
        void setStringList(const QString &key, const QStringList &value);
        void remove(const QString &key);

        /// Writes the dictionary as an XML property list, atomically.
        Outcome writeXml(const QString &path) const;

    private:
        explicit Dictionary(void *node) : m_node(node) {}
        void set(const QString &key, void *node);
        void *m_node;
    };

    /// The leading whole number of a value, the way property-list readers
    /// take "intValue": a number's own value, a string's leading digits after
    /// blanks and an optional sign ("300px" gives 300), anything else 0.
    static qint64 intValue(const QVariant &value);
    /// Whether a value means yes, as the access keys are read everywhere:
    /// a true boolean, a number other than 0, or one of the strings "true",
    /// "YES", "yes", "Yes" and "1". Anything else means no.
    static bool boolValue(const QVariant &value);
};
