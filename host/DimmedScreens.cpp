// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/DimmedScreens.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>

namespace {

const QColor Dim(0, 0, 0, 128);

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
        window->setAttribute(Qt::WA_TranslucentBackground);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPalette dimmed = window->palette();
        dimmed.setColor(QPalette::Window, Dim);
        window->setPalette(dimmed);
        window->setAutoFillBackground(true);
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

bool DimmedScreens::eventFilter(QObject *watched, QEvent *event)
{
    const bool escape = event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape;
    if (event->type() == QEvent::MouseButtonPress || escape) {
        emit dismissed();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
