// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"
#include "preview/WidgetPreview.h"

#include <QStringList>

#include <memory>

/// Makes widget previews from the preview plugin, which is loaded the first
/// time one is asked for: the plugin carries the web engine, whose libraries
/// would otherwise be mapped and relocated at every start of the editor.
class PreviewLoader
{
public:
    /// A new preview; null when the plugin cannot be loaded, and then
    /// `outcome` names the plugin's file and the loader's reason.
    static std::unique_ptr<WidgetPreview> makePreview(Outcome *outcome);

    /// Where the plugin is looked for, in order: the folder named by
    /// QUILLET_PLUGIN_DIR when it is set, the program's own folder (a build
    /// tree) and the folder it is installed in.
    static QStringList pluginFolders();
};
