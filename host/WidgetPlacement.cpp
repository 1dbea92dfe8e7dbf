// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetPlacement.h"

#include "host/BorderlessWindow.h"
#include "host/ScreenPlace.h"
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

// The screens there are now, the primary first.
QList<ScreenPlace::Screen> screens()
{
    QList<ScreenPlace::Screen> all;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const ScreenPlace::Screen known{screen->name(), screen->availableGeometry()};
        screen == QGuiApplication::primaryScreen() ? all.prepend(known) : all.append(known);
    }
    return all;
}

// Where the widget of `domain`, `size` large (as large as it was, when no
// size is given), goes after its last place, if it has been anywhere.
std::optional<QRect> savedPlace(const QSettings &positions, const QString &domain, const QSize &size = {})
{
    const QList<ScreenPlace::Screen> now = screens();
    const std::optional<ScreenPlace> saved = ScreenPlace::fromVariant(positions.value(domain), now);
    if (!saved)
        return std::nullopt;
    return saved->restoredOn(now, size);
}

// The rectangle moved just enough to lie on the screen it is most on.
QRect onScreen(const QRect &rect)
{
    const QList<ScreenPlace::Screen> now = screens();
    return ScreenPlace::of(rect, now).restoredOn(now);
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
    connect(qApp, &QGuiApplication::screenAdded, this, [this, follow](QScreen *screen) {
        follow(screen);
        keepOnScreen();
    });
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
    const std::optional<QRect> saved = savedPlace(positions(), domain, window->size());
    window->move(saved ? saved->topLeft() : onScreen(QRect(freePosition(window), window->size())).topLeft());
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
    positions().setValue(m_domains.value(window), ScreenPlace::of(window->geometry(), screens()).toVariant());
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
            taken.append(savedPlace(saved, other).value_or(QRect()));
    }
    for (auto it = m_domains.cbegin(); it != m_domains.cend(); ++it) {
        if (it.key() != window && it.key()->isVisible())
            taken.append(it.key()->geometry());
    }
    return taken;
}

// Each widget goes to its place on the screens there are now: back to its
// own screen as that returns, onto the first while it is away. The place
// kept is left as it is, so the screen's return brings the widget back.
void WidgetPlacement::keepOnScreen()
{
    const QSettings saved = positions();
    for (auto it = m_domains.cbegin(); it != m_domains.cend(); ++it) {
        BorderlessWindow *window = it.key();
        window->move(savedPlace(saved, it.value(), window->size()).value_or(onScreen(window->geometry())).topLeft());
    }
}
