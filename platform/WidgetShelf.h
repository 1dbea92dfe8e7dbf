// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

#include <QString>
#include <QStringList>

#include <functional>

/// The user's installed widgets, in ~/Library/Widgets, where the widget
/// host runs them from: widgets are put there (from a bundle folder or a
/// zipped one) and taken away.
namespace WidgetShelf {

/// ~/Library/Widgets.
QString folder();
/// The widget bundles installed there, by name.
QStringList installed();

/// Installs the widget at `source`, a bundle or a zip holding one, under its
/// own name; `replace` is asked before one of that name is replaced, and
/// nothing changes when it says no. `installed` is set to the installed
/// bundle's path, and left empty when nothing was installed. A failed copy
/// leaves the widget that was there whole. `progress` is called as the copy
/// goes on.
Outcome install(const QString &source, const std::function<bool(const QString &name)> &replace, QString *installed,
                const std::function<void()> &progress = {});

/// Deletes the installed bundle.
Outcome remove(const QString &bundle);

} // namespace WidgetShelf
