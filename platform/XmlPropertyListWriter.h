// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QVariant>

/// Writes the stored form of `PropertyList` as an XML property list, laid out
/// the way the Mac's own tools lay it out. Values XML cannot hold (control
/// characters, dates with a fraction of a second or beyond year 9999, UIDs)
/// are refused rather than written differently.
class XmlPropertyListWriter
{
public:
    /// The document; empty, with `why` saying which value, when XML cannot
    /// hold one.
    static QByteArray write(const QVariant &stored, QString *why);

private:
    bool value(const QVariant &stored, int depth);
    bool text(const char *element, const QString &string, int depth);
    bool date(double seconds, int depth);
    void line(int depth, const QByteArray &markup);
    bool refuse(const QString &what);

    QByteArray m_document;
    QStringList m_keyPath;
    QString m_why;
};
