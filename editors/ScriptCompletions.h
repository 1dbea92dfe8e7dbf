// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QStringList>

class QsciLexer;

/// What the code editor offers to complete in a widget's scripts and pages:
/// the `widget` object's members, the runtime's shared classes and their
/// methods, with their arguments (read from the runtime's own scripts, built
/// into the program, so that the list never drifts from what runs), and the
/// functions and variables the widget's own scripts define.
class ScriptCompletions
{
public:
    /// Gives `lexer` the runtime's names and those of the scripts in the
    /// bundle at `bundlePath`, replacing what it was given before. They are
    /// indexed on another thread; the lexer offers them once that is done.
    static void attach(QsciLexer *lexer, const QString &bundlePath);
    /// Takes the names from `lexer` (which may be null), waiting for their
    /// indexing to stop. A lexer must not go before: the indexing reads it.
    static void detach(QsciLexer *lexer);

    /// The names `script` defines, as entries such as "name(arguments)":
    /// functions, variables, methods of prototypes ("method(arguments)"),
    /// members of objects it assigns or writes out ("object.member").
    static QStringList definedIn(const QString &script);

    /// The runtime's names, read once.
    static const QStringList &runtimeNames();
};
