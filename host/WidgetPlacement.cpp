// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetPlacement.h"

#include "host/BorderlessWindow.h"
#include "host/WidgetPreviewView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

// The grid free places are sought on, and the gap kept to other widgets.
constexpr int Step = 16;

// Found afresh on every use, so a change of home is followed.
QSettings positions()
{
    return QSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                         + u"/Quillet/Widget Positions.conf"_s,
                     QSettings::IniFormat);
}

// The rectangle moved just enough to lie on the screen it is most on.
QRect onScreen(const QRect &rect)
{
    const QScreen *screen = QGuiApplication::screenAt(rect.center());
    const QRect available = (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry();
    QRect placed = rect;
    placed.moveRight(std::min(placed.right(), available.right()));
    placed.moveBottom(std::min(placed.bottom(), available.bottom()));
    placed.moveLeft(std::max(placed.left(), available.left()));
    placed.moveTop(std::max(placed.top(), available.top()));
    return placed;
}

} // namespace

WidgetPlacement::WidgetPlacement(QObject *parent)
    : QObject(parent)
{
    const auto follow = [this](QScreen *screen) {
        connect(screen, &QScreen::availableGeometryChanged, this, &WidgetPlacement::keepOnScreen);
    };
    for (QScreen *screen : QGuiApplication::screens())
        follow(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, follow);
    connect(qApp, &QGuiApplication::screenRemoved, this, &WidgetPlacement::keepOnScreen);
}

void WidgetPlacement::place(BorderlessWindow *window, const QString &domain)
{
    if (!m_domains.contains(window)) {
        connect(window->widgetView(), &WidgetPreviewView::dragged, this,
                [this, window] { positions().setValue(m_domains.value(window), window->pos()); });
        connect(window, &QObject::destroyed, this, [this, window] { m_domains.remove(window); });
    }
    m_domains.insert(window, domain);
    const std::optional<QPoint> saved = savedPosition(domain);
    window->move(onScreen(QRect(saved ? *saved : freePosition(window), window->size())).topLeft());
}

std::optional<QPoint> WidgetPlacement::savedPosition(const QString &domain) const
{
    const QVariant saved = positions().value(domain);
    return saved.isValid() ? std::optional(saved.toPoint()) : std::nullopt;
}

// The first place, row by row from the top left of the screen, where the
// window covers no other widget; where it stands when there is none.
QPoint WidgetPlacement::freePosition(const BorderlessWindow *window) const
{
    const QRect available = window->screen()->availableGeometry();
    const QSize size = window->size();
    for (int y = available.top(); y + size.height() <= available.bottom(); y += Step) {
        for (int x = available.left(); x + size.width() <= available.right(); x += Step) {
            const QRect spot = QRect(QPoint(x, y), size).adjusted(-Step / 2, -Step / 2, Step / 2, Step / 2);
            const bool free = std::none_of(m_domains.keyBegin(), m_domains.keyEnd(), [&](const BorderlessWindow *other) {
                return other != window && other->isVisible() && other->geometry().intersects(spot);
            });
            if (free)
                return {x, y};
        }
    }
    return window->pos();
}

void WidgetPlacement::keepOnScreen()
{
    for (auto it = m_domains.cbegin(); it != m_domains.cend(); ++it)
        it.key()->move(onScreen(it.key()->geometry()).topLeft());
}
