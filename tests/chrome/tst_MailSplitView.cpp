// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/MailSplitView.h"
#include "chrome/MailSplitViewHandle.h"

#include <QTest>

class tst_MailSplitView : public QObject
{
    Q_OBJECT

private slots:
    void dividerIsTenThick_data();
    void dividerIsTenThick();
    void dimpleSitsOnTheDivider_data();
    void dimpleSitsOnTheDivider();
};

void tst_MailSplitView::dividerIsTenThick_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::newRow("panes side by side") << Qt::Horizontal;
    QTest::newRow("panes stacked") << Qt::Vertical;
}

void tst_MailSplitView::dividerIsTenThick()
{
    QFETCH(Qt::Orientation, orientation);
    MailSplitView split(orientation);
    split.addWidget(new QWidget);
    split.addWidget(new QWidget);
    split.resize(400, 400);
    split.show();
    QSplitterHandle *handle = split.handle(1);
    QVERIFY(qobject_cast<MailSplitViewHandle *>(handle));
    const QSize size = handle->size();
    QCOMPARE(orientation == Qt::Horizontal ? size.width() : size.height(), 10);
}

void tst_MailSplitView::dimpleSitsOnTheDivider_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<QRectF>("divider");
    QTest::addColumn<QSizeF>("dimple");
    QTest::addColumn<QPointF>("origin");

    QTest::newRow("upright divider, dimple as thick")
        << Qt::Horizontal << QRectF(100, 0, 10, 300) << QSizeF(10, 10) << QPointF(100, 140);
    QTest::newRow("lying divider, dimple as thick")
        << Qt::Vertical << QRectF(0, 100, 300, 10) << QSizeF(10, 10) << QPointF(140, 100);
    QTest::newRow("upright divider, small dimple")
        << Qt::Horizontal << QRectF(50, 20, 10, 100) << QSizeF(6, 8) << QPointF(54, 62);
    QTest::newRow("lying divider, small dimple")
        << Qt::Vertical << QRectF(20, 50, 100, 10) << QSizeF(8, 6) << QPointF(62, 54);
}

void tst_MailSplitView::dimpleSitsOnTheDivider()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(QRectF, divider);
    QFETCH(QSizeF, dimple);
    QFETCH(QPointF, origin);
    QCOMPARE(MailSplitViewHandle::dimpleOrigin(divider, dimple, orientation), origin);
}

QTEST_MAIN(tst_MailSplitView)
#include "tst_MailSplitView.moc"
