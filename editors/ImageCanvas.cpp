// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ImageCanvas.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QPen>

namespace {

constexpr int CheckerSquare = 8;
constexpr int Margin = 12;

QImage imageFrom(const QMimeData *data)
{
    if (!data)
        return {};
    if (data->hasImage())
        return qvariant_cast<QImage>(data->imageData());
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile()) {
            const QImage image = QImageReader(url.toLocalFile()).read();
            if (!image.isNull())
                return image;
        }
    }
    return {};
}

QPixmap checker()
{
    QPixmap tile(2 * CheckerSquare, 2 * CheckerSquare);
    tile.fill(QColor(0xff, 0xff, 0xff));
    QPainter painter(&tile);
    const QColor grey(0xe8, 0xe8, 0xe8);
    painter.fillRect(0, 0, CheckerSquare, CheckerSquare, grey);
    painter.fillRect(CheckerSquare, CheckerSquare, CheckerSquare, CheckerSquare, grey);
    return tile;
}

} // namespace

ImageCanvas::ImageCanvas(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ImageCanvas::setImage(const QImage &image)
{
    m_image = image;
    m_replaced = false;
    update();
}

void ImageCanvas::replaceImage(const QImage &image)
{
    if (image.isNull())
        return;
    m_image = image;
    m_replaced = true;
    update();
}

QSize ImageCanvas::sizeHint() const
{
    return m_image.isNull() ? QSize(200, 200) : m_image.size() + QSize(2 * Margin, 2 * Margin);
}

void ImageCanvas::paste()
{
    replaceImage(imageFrom(QApplication::clipboard()->mimeData()));
}

void ImageCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int margin = std::min({Margin, width() / 8, height() / 8});
    const QRect room = rect().adjusted(margin, margin, -margin, -margin);
    if (m_image.isNull()) {
        // An empty well still shows where an image can be dropped.
        painter.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 1, Qt::DashLine));
        painter.drawRoundedRect(QRectF(room).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        painter.setPen(QColor(0x99, 0x99, 0x99));
        painter.drawText(room, Qt::AlignCenter | Qt::TextWordWrap, tr("No image"));
        return;
    }
    QSize size = m_image.size();
    if (size.width() > room.width() || size.height() > room.height())
        size.scale(room.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), size);
    target.moveCenter(room.center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawTiledPixmap(target, checker());
    painter.drawImage(target, m_image);
}

void ImageCanvas::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasImage() || event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void ImageCanvas::dropEvent(QDropEvent *event)
{
    const QImage image = imageFrom(event->mimeData());
    if (image.isNull())
        return;
    replaceImage(image);
    event->acceptProposedAction();
}
