// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

class QWidget;

/// Build and Run's second half: a saved widget runs from the user's widget
/// folder (~/Library/Widgets) in the widget host. A widget elsewhere is
/// copied there first, after asking, replacing one of the same name only
/// when the copy is whole. Every failure is reported on `window`.
namespace WidgetInstaller {

void installAndRun(QWidget *window, const QString &bundlePath);

} // namespace WidgetInstaller
