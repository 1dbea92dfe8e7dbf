// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/ScreenPlace.h"

#include <QVariantMap>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

// The rectangle moved just enough to lie inside `area`, its top left kept
// inside when it is larger.
QRect inside(QRect rect, const QRect &area)
{
    rect.moveRight(std::min(rect.right(), area.right()));
    rect.moveBottom(std::min(rect.bottom(), area.bottom()));
    rect.moveLeft(std::max(rect.left(), area.left()));
    rect.moveTop(std::max(rect.top(), area.top()));
    return rect;
}

} // namespace

ScreenPlace ScreenPlace::of(const QRect &geometry, const QList<Screen> &screens)
{
    if (screens.isEmpty())
        return {{}, geometry.topLeft(), geometry.size()};
    // A window of no size still lies on the screen its corner is on.
    const QRect measured = geometry.isEmpty() ? QRect(geometry.topLeft(), QSize(1, 1)) : geometry;
    const auto most = std::max_element(screens.cbegin(), screens.cend(), [&](const Screen &a, const Screen &b) {
        return overlap(measured, a.available) < overlap(measured, b.available);
    });
    const Screen &screen = overlap(measured, most->available) > 0 ? *most : screens.first();
    return {screen.name, geometry.topLeft() - screen.available.topLeft(), geometry.size()};
}

QRect ScreenPlace::restoredOn(const QList<Screen> &screens, QSize size) const
{
    if (!size.isValid())
        size = this->size;
    if (screens.isEmpty())
        return {offset, size};
    const auto own =
        std::find_if(screens.cbegin(), screens.cend(), [this](const Screen &s) { return s.name == screen; });
    const QRect area = (own != screens.cend() ? *own : screens.first()).available;
    return inside(QRect(area.topLeft() + offset, size), area);
}

QVariant ScreenPlace::toVariant() const
{
    return QVariantMap{{u"screen"_s, screen},
                       {u"x"_s, offset.x()},
                       {u"y"_s, offset.y()},
                       {u"width"_s, size.width()},
                       {u"height"_s, size.height()}};
}

std::optional<ScreenPlace> ScreenPlace::fromVariant(const QVariant &kept, const QList<Screen> &screens)
{
    switch (kept.typeId()) {
    case QMetaType::QVariantMap: {
        const QVariantMap place = kept.toMap();
        return ScreenPlace{place.value(u"screen"_s).toString(),
                           QPoint(place.value(u"x"_s).toInt(), place.value(u"y"_s).toInt()),
                           QSize(place.value(u"width"_s).toInt(), place.value(u"height"_s).toInt())};
    }
    case QMetaType::QRect:
        return of(kept.toRect(), screens);
    case QMetaType::QPoint:
        return of(QRect(kept.toPoint(), QSize(0, 0)), screens);
    default:
        return std::nullopt;
    }
}
