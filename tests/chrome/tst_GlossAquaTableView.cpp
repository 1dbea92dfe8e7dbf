// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/GlossAquaTableView.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTest>

class tst_GlossAquaTableView : public QObject
{
    Q_OBJECT

private slots:
    void paintsOnlyTheCurrentSelectedRow_data();
    void paintsOnlyTheCurrentSelectedRow();
    void selectionIsDrawnWithTheImage();
};

namespace {

struct Table
{
    QStandardItemModel model{5, 1};
    GlossAquaTableView view;

    explicit Table(int rowHeight)
    {
        view.setModel(&model);
        view.verticalHeader()->setMinimumSectionSize(1);
        view.verticalHeader()->setDefaultSectionSize(rowHeight);
        view.verticalHeader()->hide();
        view.horizontalHeader()->hide();
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.resize(200, 200);
    }

    void select(const QList<int> &rows)
    {
        for (int row : rows)
            view.selectionModel()->setCurrentIndex(model.index(row, 0),
                                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

} // namespace

void tst_GlossAquaTableView::paintsOnlyTheCurrentSelectedRow_data()
{
    QTest::addColumn<int>("rowHeight");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QRect>("painted");

    QTest::newRow("18-point row loses 2 at the bottom") << 18 << QList<int>{1} << QRect(0, 18, 200, 16);
    QTest::newRow("no selection") << 18 << QList<int>{} << QRect();
    QTest::newRow("several rows: only the current one") << 24 << QList<int>{0, 3, 2} << QRect(0, 48, 200, 22);
    QTest::newRow("row of 2 leaves nothing") << 2 << QList<int>{0} << QRect();
}

void tst_GlossAquaTableView::paintsOnlyTheCurrentSelectedRow()
{
    QFETCH(int, rowHeight);
    QFETCH(QList<int>, selected);
    QFETCH(QRect, painted);

    Table table(rowHeight);
    table.select(selected);
    const QRect rect = table.view.selectionImageRect();
    QCOMPARE(rect.isEmpty(), painted.isEmpty());
    if (!painted.isEmpty())
        QCOMPARE(rect, QRect(painted.topLeft(), QSize(table.view.viewport()->width(), painted.height())));
}

void tst_GlossAquaTableView::selectionIsDrawnWithTheImage()
{
    Table table(18);
    table.view.show();
    table.select({1});
    const QImage image = table.view.viewport()->grab().toImage();
    const QColor background = image.pixelColor(100, 2);
    const QColor top = image.pixelColor(100, 18 + 8);
    const QColor strip = image.pixelColor(100, 18 + 17);
    QVERIFY2(top != background, "the selected row shows the image");
    QVERIFY(top.blue() > top.red());
    QCOMPARE(strip, background);
}

QTEST_MAIN(tst_GlossAquaTableView)
#include "tst_GlossAquaTableView.moc"
