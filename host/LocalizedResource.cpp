// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/LocalizedResource.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

const QString FolderSuffix = u".lproj"_s;

} // namespace

// Bundles name their folders by code with an underscore ("pt_BR"), by bare
// language code ("pt") or by the language's English name ("Portuguese"):
// for each language, the most particular name comes first.
QStringList LocalizedResource::folderNames()
{
    const QStringList tags = QLocale().uiLanguages();
    QStringList names;
    for (qsizetype i = 0; i < tags.size(); ++i) {
        const QLocale::Language language = QLocale(tags.at(i)).language();
        names.append(QString(tags.at(i)).replace(u'-', u'_'));
        if (i + 1 == tags.size() || QLocale(tags.at(i + 1)).language() != language)
            names += {QLocale::languageToCode(language), QLocale::languageToString(language)};
    }
    names += {u"English"_s, u"en"_s};
    names.removeDuplicates();
    for (QString &name : names)
        name += FolderSuffix;
    return names;
}

QString LocalizedResource::find(const QString &bundleFolder, const QString &relative)
{
    if (relative.section(u'/', 0, 0).endsWith(FolderSuffix))
        return {};
    const QDir bundle(bundleFolder);
    for (const QString &folder : folderNames()) {
        const QString candidate = bundle.filePath(folder + u'/' + relative);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}
