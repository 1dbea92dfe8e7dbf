// SPDX-License-Identifier: GPL-2.0-or-later
#include "check/WidgetChecker.h"

#include "check/RuntimeResources.h"
#include "platform/FileManager.h"
#include "platform/PropertyList.h"
#include "platform/TextFile.h"
#include "platform/WidgetShelf.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace {

// The most read of a page, style sheet or script to look into it.
constexpr qint64 LargestScannedSource = qint64(64) << 20;

using Severity = Problem::Severity;

QString quoted(const QString &text)
{
    return QStringLiteral("“%1”").arg(text);
}

QString describe(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return quoted(value.toString());
    case QMetaType::QVariantMap:
        return WidgetChecker::tr("a dictionary");
    case QMetaType::QVariantList:
        return WidgetChecker::tr("an array");
    default:
        return value.toString().isEmpty() ? WidgetChecker::tr("a %1").arg(QString::fromLatin1(value.typeName()))
                                          : value.toString();
    }
}

// The localized folders the runtime looks in when no other language of the
// user's has the file.
const QStringList EnglishFolders = {QStringLiteral("English.lproj"), QStringLiteral("en.lproj")};

// Commands of the Mac's that Linux does not have, or has as another program
// (open is openvt on Debian).
const QSet<QString> MacCommands = {
    QStringLiteral("afplay"),
    QStringLiteral("airport"),
    QStringLiteral("caffeinate"),
    QStringLiteral("defaults"),
    QStringLiteral("diskutil"),
    QStringLiteral("ditto"),
    QStringLiteral("hdiutil"),
    QStringLiteral("ioreg"),
    QStringLiteral("launchctl"),
    QStringLiteral("mdfind"),
    QStringLiteral("mdls"),
    QStringLiteral("networksetup"),
    QStringLiteral("open"),
    QStringLiteral("osascript"),
    QStringLiteral("pbcopy"),
    QStringLiteral("pbpaste"),
    QStringLiteral("plutil"),
    QStringLiteral("pmset"),
    QStringLiteral("say"),
    QStringLiteral("screencapture"),
    QStringLiteral("scutil"),
    QStringLiteral("sips"),
    QStringLiteral("softwareupdate"),
    QStringLiteral("sw_vers"),
    QStringLiteral("system_profiler"),
    QStringLiteral("vm_stat"),
};

// The first bytes of a Mac program: Mach-O of 32 or 64 bits, either byte
// order, or a universal binary.
bool isMachO(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    static const QByteArrayList magics = {"\xFE\xED\xFA\xCE", "\xCE\xFA\xED\xFE", "\xFE\xED\xFA\xCF",
                                          "\xCF\xFA\xED\xFE", "\xCA\xFE\xBA\xBE"};
    return magics.contains(file.read(4));
}

} // namespace

QList<Problem> WidgetChecker::check(const QString &bundlePath)
{
    WidgetChecker checker(bundlePath);
    if (!FileManager::isDirectory(bundlePath)) {
        checker.add(Severity::Error, {}, 0,
                    FileManager::exists(bundlePath) ? tr("not a folder") : tr("does not exist"));
        return checker.m_problems;
    }
    QString identifier;
    QString mainHTML;
    if (checker.readInfo()) {
        identifier = checker.requiredString(QStringLiteral("CFBundleIdentifier"));
        checker.requiredString(QStringLiteral("CFBundleName"));
        mainHTML = checker.requiredString(QStringLiteral("MainHTML"));
    }
    checker.checkSize();
    if (!identifier.isEmpty())
        checker.checkIdentifier(identifier);
    checker.checkFonts();
    checker.checkPlugins();
    const QString icon = QStringLiteral("Icon.png");
    if (!checker.isFile(icon))
        checker.add(Severity::Warning, {}, 0, checker.missing(icon, icon) + tr(" (the widget's icon)"));
    // The main page is named from the top of the bundle, as the property list is.
    const std::optional<QString> page =
        mainHTML.isEmpty() ? std::nullopt : checker.resolve(checker.m_infoName, 0, mainHTML, {});
    const std::optional<QString> found =
        page ? checker.locate(*page, checker.m_infoName, 0, tr("MainHTML %1").arg(quoted(*page))) : std::nullopt;
    if (found) {
        checker.m_pageFolder = QFileInfo(*found).path();
        checker.checkSource(*found, &SourceScan::page);
    }
    return checker.m_problems;
}

bool WidgetChecker::readInfo()
{
    // The runtime reads either spelling.
    m_infoName = isFile(QStringLiteral("info.plist")) && !isFile(QStringLiteral("Info.plist"))
        ? QStringLiteral("info.plist")
        : QStringLiteral("Info.plist");
    const QString path = m_bundle + u'/' + m_infoName;
    if (!FileManager::exists(path)) {
        add(Severity::Error, {}, 0, tr("Info.plist is missing"));
        return false;
    }
    if (!staysInside(m_infoName))
        return false;
    QByteArray bytes;
    const Outcome read = FileManager::readFile(path, &bytes, PropertyList::ReadLimit);
    const std::optional<QVariant> list = read ? PropertyList::parse(bytes) : std::nullopt;
    if (!read)
        add(Severity::Error, m_infoName, 0, tr("cannot be read: %1").arg(read.reason()));
    else if (!list)
        add(Severity::Error, m_infoName, 0, tr("not a property list"));
    else if (list->typeId() != QMetaType::QVariantMap)
        add(Severity::Error, m_infoName, 0, tr("holds %1, not a dictionary").arg(describe(*list)));
    else
        m_info = list->toMap();
    return list && list->typeId() == QMetaType::QVariantMap;
}

// A file that is a link leading out of the widget is not the widget's, and
// is never read: it could be anything on the machine. Said as an error.
bool WidgetChecker::staysInside(const QString &file)
{
    if (!FileManager::leadsOutside(m_bundle, m_bundle + u'/' + file))
        return true;
    add(Severity::Error, file, 0, tr("leads outside the widget, so it is not read"));
    return false;
}

QString WidgetChecker::requiredString(const QString &key)
{
    const QVariant value = m_info.value(key);
    if (!m_info.contains(key))
        add(Severity::Error, m_infoName, 0, tr("%1 is missing").arg(key));
    else if (value.typeId() != QMetaType::QString)
        add(Severity::Error, m_infoName, 0, tr("%1 is %2, not a string").arg(key, describe(value)));
    else if (value.toString().isEmpty())
        add(Severity::Error, m_infoName, 0, tr("%1 is empty").arg(key));
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

// As the runtime sizes the window: a whole number read from the key, else
// the side of Default.png, and never below zero.
void WidgetChecker::checkSize()
{
    const QString image = QStringLiteral("Default.png");
    const QSize picture = staysInside(image) ? QImageReader(m_bundle + u'/' + image).size() : QSize();
    const struct
    {
        QString key;
        QString side;
        int fallback;
    } sides[] = {{QStringLiteral("Width"), tr("width"), picture.width()},
                 {QStringLiteral("Height"), tr("height"), picture.height()}};
    QStringList absentKeys;
    QStringList absentSides;
    for (const auto &[key, side, fallback] : sides) {
        if (!m_info.contains(key)) {
            absentKeys.append(key);
            absentSides.append(side);
            continue;
        }
        const QVariant value = m_info.value(key);
        const qint64 number = PropertyList::intValue(value);
        const bool integer = value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::ULongLong;
        if (integer && number > 0)
            continue;
        const QString used = number > 0 ? tr("%1 is used").arg(number)
            : number < 0                ? tr("the widget has no %1").arg(side)
            : picture.isValid()         ? tr("the %1 of Default.png, %2, is used").arg(side).arg(fallback)
                                        : tr("and without a readable Default.png the widget has no %1").arg(side);
        add(Severity::Warning, m_infoName, 0,
            tr("%1 is %2, not a positive whole number: %3").arg(key, describe(value), used));
    }
    if (isFile(image))
        return;
    const QString why = absentKeys.isEmpty()
        ? tr(" (the picture shown while the widget loads)")
        : tr(", and Info.plist has no %1: the widget has no %2")
              .arg(absentKeys.join(tr(" and ")), absentKeys.size() > 1 ? tr("size") : absentSides.first());
    add(Severity::Warning, {}, 0, missing(image, image) + why);
}

// A copy of this widget installed under its own name is the one Build and
// Run replaces, not another widget.
void WidgetChecker::checkIdentifier(const QString &identifier)
{
    const QString folder = WidgetShelf::folder();
    const QString ownName = QFileInfo(QDir::cleanPath(QFileInfo(m_bundle).absoluteFilePath())).fileName();
    for (const QString &name : FileManager::contentsOfDirectory(folder)) {
        const QString other = folder + u'/' + name;
        if (name == ownName || !FileManager::isDirectory(other) || FileManager::isSameFile(other, m_bundle))
            continue;
        const QString info = QFileInfo::exists(other + QStringLiteral("/Info.plist")) ? QStringLiteral("/Info.plist")
                                                                                      : QStringLiteral("/info.plist");
        const std::optional<QVariant> list = PropertyList::read(other + info);
        if (list && list->toMap().value(QStringLiteral("CFBundleIdentifier")).toString() == identifier) {
            add(Severity::Warning, m_infoName, 0,
                tr("CFBundleIdentifier %1 is also the identifier of %2: the two widgets share their preferences and "
                   "storage")
                    .arg(quoted(identifier), quoted(QStringLiteral("~/Library/Widgets/") + name)));
        }
    }
}

// Fonts are named from the top of the bundle, as the property list is.
void WidgetChecker::checkFonts()
{
    for (const QVariant &font : m_info.value(QStringLiteral("Fonts")).toList()) {
        const std::optional<QString> relative = resolve(m_infoName, 0, font.toString(), {});
        if (relative)
            locate(*relative, m_infoName, 0, tr("The font %1").arg(quoted(*relative)));
    }
}

// Native code of the Mac's: the widget's plug-in, and web plug-ins that
// draw the page's <object> and <embed> elements of their types.
void WidgetChecker::checkPlugins()
{
    const QString plugin = m_info.value(QStringLiteral("Plugin")).toString();
    if (!plugin.isEmpty())
        add(Severity::Warning, m_infoName, 0,
            tr("Plugin %1 is a native Mac plug-in, which cannot load on Linux: whatever the scripts ask of it does "
               "nothing")
                .arg(quoted(plugin)));
    for (const QString &entry : FileManager::contentsOfDirectory(m_bundle)) {
        if (entry.endsWith(QStringLiteral(".webplugin"), Qt::CaseInsensitive))
            add(Severity::Warning, {}, 0,
                tr("%1 is a native Mac web plug-in, which cannot load on Linux: the page's elements of its types "
                   "stay empty")
                    .arg(quoted(entry)));
    }
}

void WidgetChecker::checkSource(const QString &file, SourceScan (*scan)(const QString &))
{
    if (m_scanned.contains(file))
        return;
    m_scanned.insert(file);
    if (!staysInside(file))
        return;
    TextFile::Text text;
    const Outcome read = TextFile::read(m_bundle + u'/' + file, &text, LargestScannedSource);
    if (!read) {
        add(Severity::Error, file, 0, tr("cannot be read: %1").arg(read.reason()));
        return;
    }
    const SourceScan found = scan(text.text);
    checkSyntax(file, found.scripts);
    for (const SourceScan::Reference &reference : found.references)
        checkReference(file, reference);
    checkUses(file, found.uses);
    checkCommands(file, found.commands);
}

void WidgetChecker::checkSyntax(const QString &file, const QList<SourceScan::Script> &scripts)
{
    for (const SourceScan::Script &script : scripts) {
        if (const std::optional<ScriptSyntax::Fault> fault = m_syntax.firstFault(script.text, script.firstLine))
            add(Severity::Error, file, fault->line, tr("the script does not parse: %1").arg(fault->message));
    }
}

// Said once per program, where a script first runs it.
void WidgetChecker::checkCommands(const QString &file, const QList<SourceScan::Command> &commands)
{
    for (const SourceScan::Command &command : commands) {
        const QString name = command.program.section(u'/', -1);
        const std::optional<QString> bundled = command.program.startsWith(u'/') || command.program.startsWith(u'~')
            ? std::nullopt
            : resolve(file, command.line, command.program, QStringLiteral("."));
        if (MacCommands.contains(name))
            add(Severity::Warning, file, command.line,
                tr("runs %1, a Mac command that Linux does not have (or has as another program): the widget.system "
                   "call fails here")
                    .arg(quoted(name)));
        else if (bundled && isFile(*bundled) && isMachO(m_bundle + u'/' + *bundled))
            add(Severity::Warning, file, command.line,
                tr("runs %1, a Mac program (Mach-O), which cannot run on Linux").arg(quoted(*bundled)));
    }
}

// Only what the bundle itself holds is looked for: web addresses, data,
// fragments and scripts run as links are not files, and other absolute
// paths and paths out of the bundle are the access keys' to allow.
std::optional<QString> WidgetChecker::resolve(const QString &from, int line, QString target, const QString &base)
{
    static const QRegularExpression scheme(QStringLiteral("^[a-zA-Z][a-zA-Z0-9+.-]*:"));
    static const QRegularExpression suffix(QStringLiteral("[?#].*"));
    target = target.trimmed();
    if (target.startsWith(u"file:", Qt::CaseInsensitive))
        target = QUrl(target).path();
    else if (target.isEmpty() || target.startsWith(u'#') || target.startsWith(u"//") || scheme.match(target).hasMatch())
        return std::nullopt;
    else
        target = QUrl::fromPercentEncoding(target.remove(suffix).toUtf8());
    if (target.startsWith(RuntimeResources::Folder)
        && !RuntimeResources::provides(target.sliced(RuntimeResources::Folder.size())))
        add(Severity::Warning, from, line,
            tr("%1 is not among the shared resources the runtime provides").arg(quoted(target)));
    const QString folder = base.isNull() ? QFileInfo(from).path() : base;
    const QString relative = QDir::cleanPath(folder + u'/' + target);
    if (target.startsWith(u'/') || relative == u"." || relative == u".." || relative.startsWith(u"../"))
        return std::nullopt;
    return relative;
}

void WidgetChecker::checkReference(const QString &from, const SourceScan::Reference &reference)
{
    // A name alone is no path to resolve: the script may join it to any folder.
    if (reference.origin == SourceScan::Origin::NameOnly) {
        if (!holdsFileNamed(reference.target))
            add(Severity::Warning, from, reference.line,
                tr("%1, named in a script, is nowhere in the widget").arg(quoted(reference.target)));
        return;
    }
    const bool fromScript = reference.origin != SourceScan::Origin::Markup;
    const std::optional<QString> relative =
        resolve(from, reference.line, reference.target, fromScript ? m_pageFolder : QString());
    if (relative && reference.origin == SourceScan::Origin::BuiltAtRunTime) {
        if (!FileManager::isDirectory(m_bundle + u'/' + *relative))
            add(Severity::Warning, from, reference.line,
                tr("builds paths in %1, which the widget does not hold: what it loads from there is missing")
                    .arg(quoted(*relative + u'/')));
        return;
    }
    const std::optional<QString> found =
        relative ? locate(*relative, from, reference.line, quoted(*relative)) : std::nullopt;
    if (found && reference.kind == SourceScan::Kind::Script)
        checkSource(*found, &SourceScan::script);
    else if (found && reference.kind == SourceScan::Kind::StyleSheet)
        checkSource(*found, &SourceScan::styleSheet);
    else if (found && reference.kind == SourceScan::Kind::Page)
        checkSource(*found, &SourceScan::page);
}

void WidgetChecker::checkUses(const QString &file, const QList<SourceScan::Use> &uses)
{
    for (const SourceScan::Use &use : uses) {
        if (use.call == SourceScan::Call::System && !granted(QStringLiteral("AllowSystem")))
            add(Severity::Warning, file, use.line,
                tr("calls widget.system, which the runtime refuses: Info.plist does not set AllowSystem"));
        else if (use.call == SourceScan::Call::Network && !granted(QStringLiteral("AllowNetworkAccess")))
            add(Severity::Warning, file, use.line,
                tr("makes network requests, which the runtime blocks: Info.plist does not set AllowNetworkAccess"));
    }
}

std::optional<QString> WidgetChecker::locate(const QString &relative, const QString &file, int line,
                                             const QString &name)
{
    if (isFile(relative))
        return relative;
    QStringList localized;
    for (const QString &entry : FileManager::contentsOfDirectory(m_bundle)) {
        if (entry.endsWith(u".lproj") && isFile(entry + u'/' + relative))
            localized.append(entry);
    }
    for (const QString &folder : EnglishFolders) {
        if (localized.contains(folder))
            return folder + u'/' + relative;
    }
    if (!localized.isEmpty()) {
        localized.sort();
        add(Severity::Warning, file, line,
            tr("%1 is only in %2: other languages go without it").arg(name, localized.join(tr(", "))));
        return localized.first() + u'/' + relative;
    }
    add(Severity::Error, file, line, missing(relative, name));
    return std::nullopt;
}

QString WidgetChecker::missing(const QString &relative, const QString &name) const
{
    QString spelling;
    for (const QString &part : relative.split(u'/')) {
        const QStringList entries = FileManager::contentsOfDirectory(m_bundle + u'/' + spelling);
        const auto same = std::find_if(entries.begin(), entries.end(), [&part](const QString &entry) {
            return entry.compare(part, Qt::CaseInsensitive) == 0;
        });
        if (same == entries.end())
            return tr("%1 is missing").arg(name);
        spelling += (spelling.isEmpty() ? QString() : QStringLiteral("/")) + (entries.contains(part) ? part : *same);
    }
    return isFile(spelling) ? tr("%1 is missing; it exists as %2: letter case differs").arg(name, quoted(spelling))
                            : tr("%1 is missing").arg(name);
}

bool WidgetChecker::isFile(const QString &relative) const
{
    return QFileInfo(m_bundle + u'/' + relative).isFile();
}

bool WidgetChecker::holdsFileNamed(const QString &name)
{
    if (!m_fileNames) {
        m_fileNames.emplace();
        QDirIterator files(m_bundle, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext())
            m_fileNames->insert(files.nextFileInfo().fileName().toLower());
    }
    return m_fileNames->contains(name.toLower());
}

// As the runtime reads the access keys: AllowFullAccess grants them all.
bool WidgetChecker::granted(const QString &key) const
{
    return PropertyList::boolValue(m_info.value(key))
        || PropertyList::boolValue(m_info.value(QStringLiteral("AllowFullAccess")));
}

void WidgetChecker::add(Severity severity, const QString &file, int line, const QString &text)
{
    m_problems.append({file, line, severity, text});
}
