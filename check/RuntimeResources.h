// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

/// The shared resources the widget runtime serves in place of the Mac's
/// /System/Library/WidgetResources. The host holds them, and the editor never
/// links the host: the build hands this the host's list.
namespace RuntimeResources {

/// Where pages name the shared resources.
inline constexpr QStringView Folder = u"/System/Library/WidgetResources/";

/// Whether the runtime serves `relative`, a path below Folder.
bool provides(const QString &relative);

} // namespace RuntimeResources
