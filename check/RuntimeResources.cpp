// SPDX-License-Identifier: GPL-2.0-or-later
#include "check/RuntimeResources.h"

#include <QDir>
#include <QStringList>

namespace {

using namespace Qt::StringLiterals;

// Made by the build from host/runtime/WidgetResources.cmake, the host's list.
const QStringList Files = {
#include "RuntimeResourceFiles.inc"
};

} // namespace

bool RuntimeResources::provides(const QString &relative)
{
    const QString clean = QDir::cleanPath(relative);
    // The classes' own images are drawn when asked for, whatever their name.
    const bool drawn = clean.startsWith(u"AppleClasses/Images/") && clean.endsWith(u".png") && clean.count(u'/') == 2;
    return drawn || Files.contains(clean);
}
