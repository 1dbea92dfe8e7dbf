// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/PlaceholderSubstitution.h"

#include "platform/FileManager.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

bool isUtf16(const QByteArray &bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

bool isInside(const QString &path, const QString &folder)
{
    return path.startsWith(folder + u'/');
}

} // namespace

QString PlaceholderSubstitution::placeholderFor(const QString &name)
{
    return QStringLiteral("Template_") + name;
}

std::optional<QString> PlaceholderSubstitution::pathInWidget(const QString &widgetPath, const QString &entry)
{
    if (entry.isEmpty() || QDir::isAbsolutePath(entry))
        return std::nullopt;
    const QString widget = QDir::cleanPath(QFileInfo(widgetPath).absoluteFilePath());
    const QString path = QDir::cleanPath(widget + u'/' + entry);
    if (!isInside(path, widget))
        return std::nullopt;
    // A link inside the template must not lead the write elsewhere.
    const QString real = QFileInfo(path).canonicalFilePath();
    const QString realWidget = QFileInfo(widget).canonicalFilePath();
    if (!real.isEmpty() && !isInside(real, realWidget))
        return std::nullopt;
    return path;
}

QByteArray PlaceholderSubstitution::substitute(const QByteArray &bytes, const QString &placeholder,
                                               const QString &value)
{
    // ASCII text means the same bytes in UTF-8 and ISO 8859-1, and never
    // occurs inside a UTF-8 sequence: the bytes can be replaced directly,
    // which is what makes large files quick.
    if (!isUtf16(bytes) && isAscii(placeholder) && isAscii(value)) {
        QByteArray result = bytes;
        return placeholder.isEmpty() ? result : result.replace(placeholder.toLatin1(), value.toLatin1());
    }
    TextFile::Text text = TextFile::decode(bytes);
    if (!placeholder.isEmpty())
        text.text = text.text.split(placeholder).join(value);
    return TextFile::encode(text);
}

bool PlaceholderSubstitution::apply(const QString &widgetPath, const QString &entry,
                                    const QString &placeholder, const QString &value)
{
    const std::optional<QString> path = pathInWidget(widgetPath, entry);
    if (!path || QFileInfo(*path).isDir())
        return false;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    file.close();
    return FileManager::writeFile(*path, substitute(bytes, placeholder, value),
                                  FileManager::WriteMode::InPlace);
}
