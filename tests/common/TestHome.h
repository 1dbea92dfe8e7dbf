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
        : m_previousHome(qgetenv("HOME"))
        , m_previousConfig(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/.config")));
    }
    ~TestHome()
    {
        qputenv("HOME", m_previousHome);
        qputenv("XDG_CONFIG_HOME", m_previousConfig);
    }

    QString path() const { return m_dir.path(); }

private:
    QByteArray m_previousHome;
    QByteArray m_previousConfig;
    QTemporaryDir m_dir;
};
