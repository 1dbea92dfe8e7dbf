// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "preview/WidgetPreviewPlugin.h"

#include <QObject>

/// The entry to the preview plugin: everything that needs the web engine
/// for the editor is reached from here.
class PreviewPlugin : public QObject, public WidgetPreviewPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WidgetPreviewPlugin_iid)
    Q_INTERFACES(WidgetPreviewPlugin)

public:
    std::unique_ptr<WidgetPreview> makePreview() override;
};
