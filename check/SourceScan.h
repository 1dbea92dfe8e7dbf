// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>

/// What a page, a style sheet or a script names and calls, with the line of
/// each. Read leniently, as the pages of the era need: no parser would take
/// them all, and a page the runtime shows must not come out as broken.
struct SourceScan
{
    enum class Kind { Page, Script, StyleSheet, Other };
    /// Markup names a file from where it stands; a script names it from the
    /// page it runs in, by its path, or by its name alone (which it may join
    /// to any folder), or by the folder it builds paths in.
    enum class Origin { Markup, ScriptText, NameOnly, BuiltAtRunTime };
    struct Reference
    {
        QString target; ///< as written, entities of the markup undone
        int line;
        Kind kind;
        /// BuiltAtRunTime: the target is the folder a script builds paths
        /// in ("Parts/core/" + name), the rest being known only as it runs.
        Origin origin = Origin::Markup;
    };
    enum class Call { System, Network };
    struct Use
    {
        Call call;
        int line;
    };
    /// A program a script runs through widget.system, at its first use.
    struct Command
    {
        QString program;
        int line;
    };
    /// A script of a page, or a whole script file, to be parsed.
    struct Script
    {
        QString text;
        int firstLine;
    };

    /// What the page's tags name (`<script src>`, `<link href>`, `<img src>`,
    /// `<iframe src>`, `<embed src>`, `<object data>`, `<audio>`, `<video>`
    /// and `<source>` `src`, `<input type=image src>`, `<body background>`),
    /// and what its inline styles and scripts name and call. Comments are
    /// skipped, and an empty script tag (`<script src="a.js"/>`) is closed at
    /// once, as the runtime closes it.
    static SourceScan page(const QString &html);
    /// Its `url()` and `@import` references; comments are skipped.
    static SourceScan styleSheet(const QString &css);
    /// Its calls, and the files its string literals name: as a file's path
    /// ('Images/sun.png'), in markup it writes ('<script src="a.js">'), or as
    /// the folder a path is built in ('Parts/' + name). Comments are skipped.
    static SourceScan script(const QString &javaScript);

    QList<Reference> references;
    /// The first use of each call, when any.
    QList<Use> uses;
    /// Each program run, once.
    QList<Command> commands;
    /// The page's inline script elements; a script file is one, whole.
    QList<Script> scripts;
};
