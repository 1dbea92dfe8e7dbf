// SPDX-License-Identifier: GPL-2.0-or-later
#include "check/Problem.h"

QString Problem::place(const QString &bundle) const
{
    QString where = bundle.isEmpty() || file.isEmpty() ? bundle + file : bundle + u'/' + file;
    if (line > 0)
        where += u':' + QString::number(line);
    return where;
}

QString Problem::toString(const QString &bundle) const
{
    const QString kind = severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
    return place(bundle) + QStringLiteral(": ") + kind + QStringLiteral(": ") + text;
}
