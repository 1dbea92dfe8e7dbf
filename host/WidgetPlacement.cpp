// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetPlacement.h"

#include "host/BorderlessWindow.h"
#include "host/WidgetPreviewView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

#include <optional>

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

// Where the widget of `domain` was last, if it has been anywhere. A place
// kept as a point only has no size.
std::optional<QRect> savedPlace(const QString &domain)
{
    const QVariant saved = positions().value(domain);
    if (!saved.isValid())
        return std::nullopt;
    return saved.typeId() == QMetaType::QPoint ? QRect(saved.toPoint(), QSize(0, 0)) : saved.toRect();
}

// Whether `rect`, with a gap around it, meets any of `taken`.
bool meets(const QRect &rect, const QList<QRect> &taken)
{
    const QRect spot = rect.adjusted(-Step / 2, -Step / 2, Step / 2, Step / 2);
    return std::any_of(taken.cbegin(), taken.cend(), [&](const QRect &other) { return other.intersects(spot); });
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
        connect(window->widgetView(), &WidgetPreviewView::dragged, this, [this, window] { remember(window); });
        connect(window, &QObject::destroyed, this, [this, window] { m_domains.remove(window); });
        window->installEventFilter(this);
    }
    m_domains.insert(window, domain);
    const std::optional<QRect> saved = savedPlace(domain);
    window->move(onScreen(QRect(saved ? saved->topLeft() : freePosition(window), window->size())).topLeft());
    remember(window);
}

// A widget that grew over another, as its page asked, moves out of its way.
bool WidgetPlacement::eventFilter(QObject *watched, QEvent *event)
{
    auto *window = static_cast<BorderlessWindow *>(watched);
    if (event->type() == QEvent::Resize && m_domains.contains(window) && window->isVisible()) {
        if (meets(window->geometry(), others(window)))
            window->move(freePosition(window));
        remember(window);
    }
    return QObject::eventFilter(watched, event);
}

void WidgetPlacement::remember(BorderlessWindow *window) const
{
    positions().setValue(m_domains.value(window), window->geometry());
}

// The first place, row by row from the top left of the screen, where the
// window covers no other widget; where it stands when there is none.
QPoint WidgetPlacement::freePosition(BorderlessWindow *window) const
{
    const QList<QRect> taken = others(window);
    const QRect available = window->screen()->availableGeometry();
    const QSize size = window->size();
    for (int y = available.top(); y + size.height() <= available.bottom(); y += Step) {
        for (int x = available.left(); x + size.width() <= available.right(); x += Step) {
            if (!meets(QRect(QPoint(x, y), size), taken))
                return {x, y};
        }
    }
    return window->pos();
}

// Where the other widgets are: those shown now, and the places kept for
// those that are not, which may start later.
QList<QRect> WidgetPlacement::others(BorderlessWindow *window) const
{
    QList<QRect> taken;
    const QString domain = m_domains.value(window);
    const QSettings saved = positions();
    for (const QString &other : saved.childKeys()) {
        if (other != domain)
            taken.append(saved.value(other).toRect());
    }
    for (auto it = m_domains.cbegin(); it != m_domains.cend(); ++it) {
        if (it.key() != window && it.key()->isVisible())
            taken.append(it.key()->geometry());
    }
    return taken;
}

void WidgetPlacement::keepOnScreen()
{
    for (auto it = m_domains.cbegin(); it != m_domains.cend(); ++it)
        it.key()->move(onScreen(it.key()->geometry()).topLeft());
}
