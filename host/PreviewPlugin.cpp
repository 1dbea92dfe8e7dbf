// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/PreviewPlugin.h"

#include "host/WebWidgetPreview.h"
#include "host/WidgetWebPage.h"

std::unique_ptr<WidgetPreview> PreviewPlugin::makePreview()
{
    // Straight away, so that the engine's start-up happens while the
    // editor loads the plugin.
    WidgetWebPage::prepareEngine();
    return std::make_unique<WebWidgetPreview>();
}
