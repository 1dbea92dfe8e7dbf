// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QStringList>
#include <QtGlobal>

/// Records the lines the code under test logs while it lives, each as
/// "<category>: <message>" (the message alone in the default category),
/// and still passes them on to the test's own log.
class MessageLog
{
public:
    MessageLog()
    {
        lines().clear();
        previous() = qInstallMessageHandler(record);
    }
    ~MessageLog() { qInstallMessageHandler(previous()); }

    static QStringList &lines()
    {
        static QStringList recorded;
        return recorded;
    }

    /// The recorded lines that contain `text`.
    static QStringList containing(const QString &text) { return lines().filter(text); }

private:
    static QtMessageHandler &previous()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }

    static void record(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        const QString category = QString::fromLatin1(context.category ? context.category : "");
        lines().append(category.isEmpty() || category == u"default"
                           ? message
                           : category + QStringLiteral(": ") + message);
        previous()(type, context, message);
    }
};
