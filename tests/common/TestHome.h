// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDir>
#include <QTemporaryDir>

/// Points HOME at a fresh folder for as long as it lives, so a test never
/// touches the real user's templates, widgets or settings.
class TestHome
{
public:
    TestHome()
        : m_previous(qgetenv("HOME"))
    {
        qputenv("HOME", QFile::encodeName(m_dir.path()));
    }
    ~TestHome() { qputenv("HOME", m_previous); }

    QString path() const { return m_dir.path(); }

private:
    QByteArray m_previous;
    QTemporaryDir m_dir;
};
