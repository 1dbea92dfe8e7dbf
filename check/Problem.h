// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

/// One thing wrong with a widget bundle, as WidgetChecker finds it.
struct Problem
{
    enum class Severity { Error, Warning };

    /// Relative to the bundle; empty when the problem is the bundle's as a whole.
    QString file;
    /// Counted from 1; 0 when the problem has no line.
    int line = 0;
    Severity severity = Severity::Error;
    QString text;

    /// "file:line" under `bundle` ("Clock.wdgt/main.html:12"), the bundle
    /// alone for a problem of the whole bundle.
    QString place(const QString &bundle = {}) const;
    /// One line as compilers write theirs: "place: error: text".
    QString toString(const QString &bundle) const;

    bool operator==(const Problem &) const = default;
};
