// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetLayer.h"

#include <array>

namespace WidgetLayers {
namespace {

const std::array<std::pair<WidgetLayer, const char16_t *>, 3> Names = {{
    {WidgetLayer::Above, u"above"},
    {WidgetLayer::Desktop, u"desktop"},
    {WidgetLayer::Dashboard, u"dashboard"},
}};

} // namespace

std::optional<WidgetLayer> named(const QString &name)
{
    for (const auto &[layer, text] : Names) {
        if (name == QStringView(text))
            return layer;
    }
    return std::nullopt;
}

QString nameOf(WidgetLayer layer)
{
    for (const auto &[known, text] : Names) {
        if (known == layer)
            return QString::fromUtf16(text);
    }
    return {};
}

// The desktop layer's windows are tool windows, which the task bars and
// pagers leave out (TaskbarHint makes sure on X11), kept below the others
// (_NET_WM_STATE_BELOW on X11).
Qt::WindowFlags windowFlags(WidgetLayer layer)
{
    const Qt::WindowFlags frameless = Qt::FramelessWindowHint;
    return layer == WidgetLayer::Desktop ? frameless | Qt::Tool | Qt::WindowStaysOnBottomHint
                                         : frameless | Qt::Window | Qt::WindowStaysOnTopHint;
}

} // namespace WidgetLayers
