// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/ScreenPlace.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Screens = QList<ScreenPlace::Screen>;

namespace {

// Two screens side by side, the laptop's the primary.
const ScreenPlace::Screen Laptop{u"eDP-1"_s, QRect(0, 0, 1280, 800)};
const ScreenPlace::Screen Monitor{u"HDMI-1"_s, QRect(1280, 0, 1920, 1080)};
const QSize Widget(200, 100);

} // namespace

class tst_ScreenPlace : public QObject
{
    Q_OBJECT

private slots:
    // A widget left at `was` among `before` comes back at `expected` among
    // `after`, through the file it is kept in.
    void restored_data()
    {
        QTest::addColumn<Screens>("before");
        QTest::addColumn<QRect>("was");
        QTest::addColumn<Screens>("after");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("screens as they were") << Screens{Laptop, Monitor} << QRect(QPoint(1500, 40), Widget)
                                              << Screens{Laptop, Monitor} << QPoint(1500, 40);
        QTest::newRow("the monitor moved to the left")
            << Screens{Laptop, Monitor} << QRect(QPoint(1500, 40), Widget)
            << Screens{Laptop, {Monitor.name, QRect(-1920, 0, 1920, 1080)}} << QPoint(-1700, 40);
        QTest::newRow("the monitor away: on the primary at the same offset")
            << Screens{Laptop, Monitor} << QRect(QPoint(1500, 40), Widget) << Screens{Laptop} << QPoint(220, 40);
        QTest::newRow("the monitor renamed is another screen")
            << Screens{Laptop, Monitor} << QRect(QPoint(1500, 40), Widget)
            << Screens{Laptop, {u"DP-2"_s, Monitor.available}} << QPoint(220, 40);
        QTest::newRow("far on a large monitor, inside a small one")
            << Screens{Laptop, Monitor} << QRect(QPoint(3000, 900), Widget) << Screens{Laptop}
            << QPoint(1280 - 200, 800 - 100);
        QTest::newRow("the primary swapped: a place keeps its own screen")
            << Screens{Laptop, Monitor} << QRect(QPoint(10, 10), Widget) << Screens{Monitor, Laptop} << QPoint(10, 10);
        QTest::newRow("across two screens: on the one it covers most")
            << Screens{Laptop, Monitor} << QRect(QPoint(1250, 10), Widget) << Screens{Laptop, Monitor}
            << QPoint(1280, 10);
        QTest::newRow("off every screen: on the primary")
            << Screens{Laptop, Monitor} << QRect(QPoint(-900, 10), Widget) << Screens{Laptop, Monitor} << QPoint(0, 10);
    }
    void restored()
    {
        QFETCH(Screens, before);
        QFETCH(QRect, was);
        QFETCH(Screens, after);
        QFETCH(QPoint, expected);
        const QVariant kept = ScreenPlace::of(was, before).toVariant();
        const std::optional<ScreenPlace> place = ScreenPlace::fromVariant(kept, after);
        QVERIFY(place);
        QCOMPARE(place->restoredOn(after), QRect(expected, Widget));
    }

    // Places kept by earlier versions, as points or rectangles of the whole
    // desktop, are on the screen they lie on.
    void earlierPlacesRead()
    {
        const Screens screens{Laptop, Monitor};
        const std::optional<ScreenPlace> rect = ScreenPlace::fromVariant(QRect(QPoint(1500, 40), Widget), screens);
        QVERIFY(rect && rect->screen == Monitor.name);
        QCOMPARE(rect->restoredOn(Screens{Laptop, {Monitor.name, QRect(-1920, 0, 1920, 1080)}}).topLeft(),
                 QPoint(-1700, 40));
        const std::optional<ScreenPlace> point = ScreenPlace::fromVariant(QPoint(1500, 40), screens);
        QVERIFY(point && point->screen == Monitor.name);
        QVERIFY(!ScreenPlace::fromVariant(QVariant(), screens));
    }
};

QTEST_MAIN(tst_ScreenPlace)
#include "tst_ScreenPlace.moc"
