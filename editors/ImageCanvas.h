// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

/// Shows one image whole, scaled down to fit and never up, over a checker
/// pattern that makes transparency visible. An image dropped or pasted onto
/// it replaces the one shown; the canvas remembers that it was replaced.
class ImageCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit ImageCanvas(QWidget *parent = nullptr);

    QImage image() const { return m_image; }
    /// Shows an image as read from its file: not a replacement.
    void setImage(const QImage &image);
    /// Whether the user put another image in since it was shown or saved.
    bool isReplaced() const { return m_replaced; }
    void markSaved() { m_replaced = false; }

    QSize sizeHint() const override;

public slots:
    /// Replaces the image with the one on the clipboard, if it holds one.
    void paste();

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void replaceImage(const QImage &image);

    QImage m_image;
    bool m_replaced = false;
};
