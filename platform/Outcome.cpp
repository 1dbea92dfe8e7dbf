// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Outcome.h"

#include <QCoreApplication>

#include <cstring>

Outcome Outcome::failure(const QString &file, const QString &reason)
{
    Outcome outcome;
    outcome.m_failed = true;
    outcome.m_file = file;
    outcome.m_reason = reason;
    return outcome;
}

Outcome Outcome::systemError(const QString &file, int error)
{
    return failure(file, QString::fromLocal8Bit(std::strerror(error)));
}

Outcome Outcome::stopped(const QString &file)
{
    Outcome outcome = failure(file, QCoreApplication::translate("Outcome", "Stopped"));
    outcome.m_stopped = true;
    return outcome;
}

Outcome Outcome::naming(const QString &file) const
{
    Outcome outcome = *this;
    if (m_failed)
        outcome.m_file = file;
    return outcome;
}

void Outcome::add(const Outcome &other)
{
    if (other.succeeded()) {
        m_skipped.append(other.m_skipped);
        return;
    }
    if (succeeded()) {
        const QStringList skipped = m_skipped;
        *this = other;
        m_skipped = skipped + m_skipped;
        return;
    }
    m_moreFailures.append(other.failures());
}

QList<std::pair<QString, QString>> Outcome::failures() const
{
    if (succeeded())
        return {};
    return QList<std::pair<QString, QString>>{{m_file, m_reason}} + m_moreFailures;
}
