// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/DimmedScreens.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace {

const QColor Dim(0, 0, 0, 128);

// On X11 the screen as it is, darkened: a translucent window dims nothing
// where no compositor blends it, and shows black instead. Elsewhere (Wayland
// lets no client read the screen) the window is translucent, which every
// Wayland compositor blends.
QBrush backdrop(QScreen *screen)
{
    QPixmap shown = QGuiApplication::platformName() == u"xcb" ? screen->grabWindow(0) : QPixmap();
    if (shown.isNull())
        return Dim;
    QPainter darken(&shown);
    darken.fillRect(shown.rect(), Dim);
    return shown;
}

} // namespace

DimmedScreens::DimmedScreens(QObject *parent)
    : QObject(parent)
{ }

DimmedScreens::~DimmedScreens()
{
    hide();
}

void DimmedScreens::show()
{
    hide();
    for (QScreen *screen : QGuiApplication::screens()) {
        auto *window = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        window->setObjectName(QStringLiteral("dimmedScreen"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        const QBrush brush = backdrop(screen);
        window->setAttribute(Qt::WA_TranslucentBackground, brush.texture().isNull());
        QPalette dimmed = window->palette();
        dimmed.setBrush(QPalette::Window, brush);
        window->setPalette(dimmed);
        window->setGeometry(screen->geometry());
        window->installEventFilter(this);
        window->show();
        m_windows.append(window);
    }
}

void DimmedScreens::hide()
{
    for (const QPointer<QWidget> &window : std::as_const(m_windows)) {
        if (window)
            window->close();
    }
    m_windows.clear();
}

// The backdrop is painted by hand: a translucent window's own background
// fill leaves it clear, whatever its palette says.
bool DimmedScreens::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        auto *window = static_cast<QWidget *>(watched);
        QPainter painter(window);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(window->rect(), window->palette().window());
        return true;
    }
    const bool escape = event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape;
    if (event->type() == QEvent::MouseButtonPress || escape) {
        emit dismissed();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
