// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "preview/WidgetPreview.h"

#include <QtPlugin>

#include <memory>

/// What the preview plugin answers: previews, made on demand.
class WidgetPreviewPlugin
{
public:
    virtual ~WidgetPreviewPlugin() = default;
    virtual std::unique_ptr<WidgetPreview> makePreview() = 0;
};

#define WidgetPreviewPlugin_iid "org.quillet.WidgetPreviewPlugin/1.0"
Q_DECLARE_INTERFACE(WidgetPreviewPlugin, WidgetPreviewPlugin_iid)
