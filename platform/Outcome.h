// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

/// What an operation on files came to: done, or failed, naming the file it
/// failed on and the system's reason ("No space left on device"). A copy
/// that is done may still have left out entries it must never open (FIFOs,
/// sockets, devices); it lists them. Every operation that can fail returns
/// one, and the compiler insists that the caller looks at it.
class [[nodiscard]] Outcome
{
public:
    /// Done.
    Outcome() = default;
    static Outcome failure(const QString &file, const QString &reason);
    /// A failure for the system error `error`, an errno value.
    static Outcome systemError(const QString &file, int error);
    /// Not done because the user stopped it: nothing to report.
    static Outcome stopped(const QString &file);

    bool succeeded() const { return !m_failed; }
    explicit operator bool() const { return succeeded(); }
    QString file() const { return m_file; }
    QString reason() const { return m_reason; }
    bool wasStopped() const { return m_stopped; }

    /// The same outcome naming `file` in place of the file it names, so
    /// that a message can say "Images/notes.txt" rather than a full path.
    Outcome naming(const QString &file) const;

    /// Takes in the outcome of another operation of the same command: the
    /// first failure stays this one's file and reason, and every later one
    /// is kept as well, so that one message can name every file that failed.
    void add(const Outcome &other);
    /// Every failure, the first one first, as (file, reason) pairs.
    QList<std::pair<QString, QString>> failures() const;

    /// Entries a done copy left out, by path.
    QStringList skipped() const { return m_skipped; }
    void noteSkipped(const QString &path) { m_skipped.append(path); }

private:
    bool m_failed = false;
    bool m_stopped = false;
    QString m_file;
    QString m_reason;
    QStringList m_skipped;
    QList<std::pair<QString, QString>> m_moreFailures;
};
