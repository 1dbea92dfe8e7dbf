// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "check/Problem.h"
#include "check/ScriptSyntax.h"
#include "check/SourceScan.h"

#include <QCoreApplication>
#include <QList>
#include <QSet>
#include <QVariantMap>

#include <optional>

/// Looks a widget bundle over for what keeps it from running here, or from
/// running as its author meant: its property list, the files its main page
/// and the style sheets and scripts that page loads refer to (letter case
/// included, which the Mac's disk forgave), scripts that do not parse, the
/// shared resources it expects of the runtime, the calls the access keys
/// refuse, what only a Mac has (a native plug-in, Mac programs run through
/// widget.system), and an identifier another installed widget already has.
class WidgetChecker
{
    Q_DECLARE_TR_FUNCTIONS(WidgetChecker)

public:
    /// The problems of the bundle folder at `bundlePath`: those of its
    /// property list first, then those of its files in the order the main
    /// page reaches them.
    static QList<Problem> check(const QString &bundlePath);

private:
    explicit WidgetChecker(const QString &bundlePath)
        : m_bundle(bundlePath)
    { }
    bool readInfo();
    QString requiredString(const QString &key);
    void checkSize();
    void checkIdentifier(const QString &identifier);
    void checkFonts();
    void checkPlugins();
    void checkSource(const QString &file, SourceScan (*scan)(const QString &));
    bool staysInside(const QString &file);
    /// The path within the bundle that `target`, named in `from` and read
    /// from the folder `base`, leads to; nothing for what the bundle does
    /// not hold.
    std::optional<QString> resolve(const QString &from, int line, QString target, const QString &base);
    void checkReference(const QString &from, const SourceScan::Reference &reference);
    void checkUses(const QString &file, const QList<SourceScan::Use> &uses);
    void checkCommands(const QString &file, const QList<SourceScan::Command> &commands);
    void checkSyntax(const QString &file, const QList<SourceScan::Script> &scripts);
    /// Where the runtime finds `relative`: in its place, else in a localized
    /// folder. When it is not there, one problem at `file`:`line` says so.
    std::optional<QString> locate(const QString &relative, const QString &file, int line, const QString &name);
    /// "`name` is missing", saying how the bundle spells the file if only
    /// letter case differs.
    QString missing(const QString &relative, const QString &name) const;
    bool isFile(const QString &relative) const;
    /// Whether a file of that name, in any letter case, lies anywhere in the
    /// bundle.
    bool holdsFileNamed(const QString &name);
    bool granted(const QString &key) const;
    void add(Problem::Severity severity, const QString &file, int line, const QString &text);

    QString m_bundle;
    QString m_infoName;
    /// The folder of the main page, which its scripts name files from.
    QString m_pageFolder;
    QVariantMap m_info;
    ScriptSyntax m_syntax;
    QSet<QString> m_scanned;
    std::optional<QSet<QString>> m_fileNames; ///< in lower case, read once

    QList<Problem> m_problems;
};
