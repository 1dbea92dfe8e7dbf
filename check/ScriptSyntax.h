// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QJSEngine>

#include <optional>

/// Whether a widget's script parses, found without running any of it: the
/// script is handed to a JavaScript engine behind a statement that throws
/// first, so a script that parses stops before its first line, and one that
/// does not is refused whole with the place of its first fault. Scripts are
/// read as browsers read them, with the HTML comment markers they allow.
class ScriptSyntax
{
public:
    struct Fault
    {
        int line;
        QString message;
    };

    /// The first syntax fault of `script`, whose first line is `firstLine`
    /// of its file; nothing when it parses.
    std::optional<Fault> firstFault(const QString &script, int firstLine);

private:
    QJSEngine m_engine;
};
