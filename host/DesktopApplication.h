// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

/// The desktop's applications, found by the identifiers widgets use for
/// them. Identifiers are reverse domain names ("org.gnome.Calculator"),
/// which is also how many desktop entries are named; failing that, the
/// identifier's last part names the entry ("com.example.gedit" finds
/// "gedit.desktop").
class DesktopApplication
{
public:
    /// Starts the application and returns at once; false when no desktop
    /// entry answers to the identifier or its program could not start.
    static bool launch(const QString &identifier);
};
