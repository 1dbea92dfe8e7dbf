// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileManager.h"
#include "platform/Outcome.h"

#include <QList>
#include <QString>

#include <optional>

/// How a template variable writes its value into the widget being made: every
/// occurrence of its placeholder in a listed file is replaced by the value.
/// Every variable view writes through here.
class PlaceholderSubstitution
{
public:
    /// "Template_" followed by the variable's name, character for character.
    static QString placeholderFor(const QString &name);

    /// The full path of a file a template lists, relative to the widget's top
    /// folder; nothing when the entry would lead outside the widget (an
    /// absolute path, ".." climbing out, or a link pointing elsewhere).
    static std::optional<QString> pathInWidget(const QString &widgetPath, const QString &entry);

    /// Replaces every occurrence of `placeholder` in the listed file with
    /// `value` (as `valueIn` gives it for that file), scanning from the start, matches taken whole and never
    /// overlapping; text the value brings in is not scanned again. The file
    /// keeps its encoding (ISO 8859-1 becomes UTF-8 only when the value does
    /// not fit) and is written even when the placeholder did not occur. A
    /// missing file, a folder or an entry outside the widget is skipped and
    /// nothing is created; a failed read or write names the file and why.
    /// `InPlace` is for a widget no one sees before it is whole, as the
    /// wizard's private copy: a file is then read whole and written over.
    using Writing = FileManager::Writing;
    static Outcome apply(const QString &widgetPath, const QString &entry, const QString &placeholder,
                         const QString &value, Writing writing = Writing::Replacing);

    /// The text a value becomes in a listed file: escaped for XML (`&`, `<`,
    /// `>`) in property-list files (".plist"), so that "Tom & Jerry" leaves
    /// Info.plist readable; unchanged in every other file, where a template
    /// may want the markup a value brings.
    static QString valueIn(const QString &entry, const QString &value);

    /// Several placeholders in one reading, one scan and one writing of the
    /// file, as one placeholder is: from the start, the leftmost match of
    /// any of them, the first listed where several start at one place, and
    /// what any value brings in is not scanned again.
    using Replacements = QList<std::pair<QString, QString>>;
    static Outcome apply(const QString &widgetPath, const QString &entry, const Replacements &replacements,
                         Writing writing = Writing::Replacing);
    /// `apply` on every entry listed, going on past a failure; the first one.
    static Outcome applyToAll(const QString &widgetPath, const QStringList &entries, const Replacements &replacements,
                              Writing writing = Writing::Replacing);

    /// The same rule on bytes already read, for callers that hold a file.
    static QByteArray substitute(const QByteArray &bytes, const QString &placeholder, const QString &value);
};
