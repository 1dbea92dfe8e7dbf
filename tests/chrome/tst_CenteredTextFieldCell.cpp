// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/CenteredTextFieldCell.h"

#include <QPainter>
#include <QStandardItemModel>
#include <QTest>

class tst_CenteredTextFieldCell : public QObject
{
    Q_OBJECT

private slots:
    void contentIsCentredVertically_data();
    void contentIsCentredVertically();
    void selectedTextIsBlack();
};

void tst_CenteredTextFieldCell::contentIsCentredVertically_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<int>("contentHeight");
    QTest::addColumn<QRect>("band");

    QTest::newRow("30 high, 14 of text") << QRect(0, 0, 100, 30) << 14 << QRect(0, 8, 100, 14);
    QTest::newRow("lower row") << QRect(4, 60, 80, 24) << 16 << QRect(4, 64, 80, 16);
    QTest::newRow("content fills it") << QRect(0, 10, 50, 20) << 20 << QRect(0, 10, 50, 20);
}

void tst_CenteredTextFieldCell::contentIsCentredVertically()
{
    QFETCH(QRect, frame);
    QFETCH(int, contentHeight);
    QFETCH(QRect, band);
    QCOMPARE(CenteredTextFieldCell::centredRect(frame, contentHeight), band);
}

void tst_CenteredTextFieldCell::selectedTextIsBlack()
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), QStringLiteral("MMMMMMMM"));
    CenteredTextFieldCell cell;
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 160, 30);
    option.state = QStyle::State_Selected | QStyle::State_Enabled | QStyle::State_Active;
    // A white highlight with white text: only the cell's own black shows.
    option.palette.setColor(QPalette::Highlight, Qt::white);
    option.palette.setColor(QPalette::HighlightedText, Qt::white);
    QImage image(160, 30, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        cell.paint(&painter, option, model.index(0, 0));
    }
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 80;
    QVERIFY(dark > 20);
}

QTEST_MAIN(tst_CenteredTextFieldCell)
#include "tst_CenteredTextFieldCell.moc"
