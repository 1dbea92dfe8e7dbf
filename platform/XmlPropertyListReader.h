// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QVariant>
#include <QXmlStreamReader>

#include <optional>

/// Reads the XML property-list format into the stored form of
/// `PropertyList`. The document must be well-formed XML holding one value
/// (inside `plist` or alone); nesting past `PropertyList::MaximumDepth` and
/// elements that are not property-list values are refused.
class XmlPropertyListReader
{
public:
    static std::optional<QVariant> read(const QByteArray &bytes);

private:
    explicit XmlPropertyListReader(const QByteArray &bytes)
        : m_xml(bytes)
    { }
    std::optional<QVariant> value(int depth);
    std::optional<QVariant> leaf(QStringView name, const QString &text) const;
    std::optional<QVariant> array(int depth);
    std::optional<QVariant> dictionary(int depth);
    bool readToRoot();
    bool finished();

    QXmlStreamReader m_xml;
};
