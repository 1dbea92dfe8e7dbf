// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>
#include <utility>

/// Property lists, read in XML or binary form and written as XML.
///
/// Callers see values as QVariant: dictionary QVariantMap, array
/// QVariantList, string QString, integer qint64 (quint64 above its range),
/// real double, boolean bool, date QDateTime, data QByteArray; a keyed-archive
/// reference (UID) is an invalid QVariant.
///
/// Inside, a list is held as stored, so that writing it back loses nothing:
/// dictionaries as `Entries` in file order, dates as `Date` with every
/// fraction of a second, UIDs as `Uid`.
class PropertyList
{
public:
    /// The most read of a property list: Info.plist files hold a few
    /// kilobytes; a larger one is refused before it is parsed.
    static constexpr qint64 ReadLimit = qint64(16) << 20;

    using Entries = QList<std::pair<QString, QVariant>>;
    /// Seconds from 2001-01-01 00:00:00 UTC.
    struct Date
    {
        double seconds;
    };
    struct Uid
    {
        quint64 value;
    };
    /// Deeper lists are refused, so that hostile files cannot exhaust the
    /// stack of any reader, writer or comparison.
    static constexpr int MaximumDepth = 512;

    /// The whole property list in a file; nothing when it cannot be read or
    /// parsed.
    static std::optional<QVariant> read(const QString &path);
    static std::optional<QVariant> parse(const QByteArray &bytes);

    /// Writes the list as XML, atomically; refuses what XML cannot hold.
    static Outcome writeXml(const QString &path, const QVariant &value);
    /// The same for a list in its stored form, as storedValue gives it.
    static Outcome writeStoredXml(const QString &path, const QVariant &stored);

    /// A dictionary file edited in place: keys not touched keep their order,
    /// types and values exactly as read.
    class Dictionary
    {
    public:
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

        /// Writes the dictionary as an XML property list, atomically. A value
        /// XML cannot hold leaves the file as it was and says which.
        Outcome writeXml(const QString &path) const;

    private:
        explicit Dictionary(Entries entries)
            : m_entries(std::move(entries))
        { }
        void set(const QString &key, const QVariant &stored);
        Entries m_entries;
    };

    /// The stored form of a file's bytes, XML or binary; nothing when they
    /// are not a property list.
    static std::optional<QVariant> storedValue(const QByteArray &bytes);
    /// Sets a key of stored entries: in place when present (the last of
    /// repeated keys wins, where the first stood), else at the end.
    static void put(Entries &entries, const QString &key, const QVariant &stored);
    /// Whether two stored values are the same list (a NaN equals a NaN).
    static bool same(const QVariant &left, const QVariant &right);

    /// The leading whole number of a value, the way property-list readers
    /// take "intValue": a number's own value (saturated, NaN gives 0), a
    /// string's leading digits after blanks and an optional sign ("300px"
    /// gives 300), anything else 0.
    static qint64 intValue(const QVariant &value);
    /// Whether a value means yes, as the access keys are read everywhere:
    /// a true boolean, a number other than 0, or one of the strings "true",
    /// "YES", "yes", "Yes" and "1". Anything else means no.
    static bool boolValue(const QVariant &value);
};

Q_DECLARE_METATYPE(PropertyList::Date)
Q_DECLARE_METATYPE(PropertyList::Uid)
