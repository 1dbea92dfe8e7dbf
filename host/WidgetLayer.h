// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <Qt>

#include <optional>

/// Where the host's widgets stand among the desktop's windows.
enum class WidgetLayer {
    /// Above every other window, as they always have.
    Above,
    /// Below every other window, out of the task bar: part of the desktop.
    Desktop,
    /// Hidden until shown all at once (--toggle, --show-all), then above a
    /// dimmed screen, and hidden again on Escape or a click beside them.
    Dashboard,
};

namespace WidgetLayers {

/// The layer a command line names ("above", "desktop", "dashboard").
std::optional<WidgetLayer> named(const QString &name);
QString nameOf(WidgetLayer layer);
/// The window flags that stack a widget's window in `layer`.
Qt::WindowFlags windowFlags(WidgetLayer layer);

} // namespace WidgetLayers
