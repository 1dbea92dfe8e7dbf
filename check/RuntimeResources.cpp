// SPDX-License-Identifier: GPL-2.0-or-later
#include "check/RuntimeResources.h"

#include <QDir>
#include <QStringList>

namespace {

// As listed in host/CMakeLists.txt, from host/runtime/WidgetResources.
const QStringList Files = {
    QStringLiteral("AppleClasses/AppleAnimator.js"),
    QStringLiteral("AppleClasses/AppleButton.js"),
    QStringLiteral("AppleClasses/AppleInfoButton.js"),
    QStringLiteral("AppleClasses/AppleScrollArea.js"),
    QStringLiteral("AppleClasses/AppleScrollbar.js"),
    QStringLiteral("AppleClasses/AppleSlider.js"),
    QStringLiteral("button/genericButton.js"),
    QStringLiteral("ibutton/black_i.png"),
    QStringLiteral("ibutton/black_rollie.png"),
    QStringLiteral("ibutton/white_i.png"),
    QStringLiteral("ibutton/white_rollie.png"),
    QStringLiteral("resize.png"),
};

} // namespace

bool RuntimeResources::provides(const QString &relative)
{
    const QString clean = QDir::cleanPath(relative);
    // The classes' own images are drawn when asked for, whatever their name.
    const bool drawn = clean.startsWith(u"AppleClasses/Images/") && clean.endsWith(u".png") && clean.count(u'/') == 2;
    return drawn || Files.contains(clean);
}
