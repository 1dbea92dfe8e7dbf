// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/host/WidgetPage.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QScreen>
#include <QTimer>

// Where a window of `size` lies when centred in `area`, its middle pixel on
// the area's middle pixel.
static QRect centred(const QSize &size, const QRect &area)
{
    return {area.topLeft() + QPoint(area.width() / 2 - size.width() / 2, area.height() / 2 - size.height() / 2), size};
}

// Controls of 40 by 20 pixels in a row at the top of a bare background; the
// page listens for presses anywhere.
const char DragPage[] = R"(
<style> body { margin: 0; width: 200px; height: 100px; }
  .spot { position: absolute; top: 0; width: 40px; height: 20px; margin: 0; padding: 0; border: 0; display: block; }
</style>
<button class="spot" style="left: 0"><span>OK</span></button><div class="spot" id="handled" style="left: 100px"></div>
<div class="spot" id="track" style="left: 150px"><div style="width: 4px; height: 4px"></div></div>
<script> document.getElementById('handled').onclick = function () {};
  document.getElementById('track').addEventListener('mousedown', function () {});
  document.addEventListener('mousedown', function () { ++window.presses; }); </script>)";

// The tests share one window, but for those that stop its page.
// Crashes the window's page, or makes it hang, as `blow` says.
void blowUp(BorderlessWindow &window, const QString &blow)
{
    if (blow.startsWith(u"chrome:"))
        window.widgetView()->load(QUrl(blow));
    else
        WidgetPage::evaluate(window, blow + u"; 1"_s);
}

class tst_BorderlessWindow : public QObject
{
    Q_OBJECT

    WidgetFixture m_f;
    BorderlessWindow &window() { return m_f.window; }

private slots:
    void init() { WidgetPage::log().clear(); }

    // The size comes from Info.plist ("Info.plist" before "info.plist"), an
    // axis it leaves at 0 from Default.png; reading the bundle writes nothing.
    // A bundle without a page shows a blank one, not the page shown before.
    void showWidgetSizesAndCentres_data()
    {
        columns<QVariantMap, QVariantMap, QSize, QSize>("upper", "lower", "defaultImage", "expected");
        const QSize none, image(200, 120);
        const QVariantMap noList, noKeys{{u"CFBundleName"_s, u"Sized"_s}};
        auto sized = [](QVariant w, QVariant h) { return QVariantMap{{u"Width"_s, w}, {u"Height"_s, h}}; };
        QTest::newRow("numbers") << sized(300, 150) << noList << image << QSize(300, 150);
        QTest::newRow("digits and a unit") << sized(u"250px"_s, u" 91"_s) << noList << none << QSize(250, 91);
        QTest::newRow("keys missing") << noKeys << noList << image << image;
        QTest::newRow("keys 0") << sized(0, u"0"_s) << noList << image << image;
        QTest::newRow("no width, odd height")
            << QVariantMap{{u"Height"_s, u"151"_s}} << noList << QSize(201, 120) << QSize(201, 151);
        QTest::newRow("lower-case info.plist") << noList << sized(300, 150) << none << QSize(300, 150);
        QTest::newRow("both lists") << sized(300, 150) << sized(10, 10) << none << QSize(300, 150);
        QTest::newRow("no list, Default.png") << noList << noList << image << image;
        QTest::newRow("nothing") << noList << noList << none << QSize(0, 0);
        QTest::newRow("negative is no size") << sized(-40, 150) << noList << image << QSize(0, 150);
    }
    void showWidgetSizesAndCentres()
    {
        QFETCH(QVariantMap, upper);
        QFETCH(QVariantMap, lower);
        QFETCH(QSize, defaultImage);
        QFETCH(QSize, expected);
        const QString bundle = m_f.dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".wdgt"_s);
        QVERIFY(QDir().mkpath(bundle));
        QVERIFY(upper.isEmpty() || TestBundle::writeInfo(bundle, upper));
        QVERIFY(lower.isEmpty() || TestBundle::writeInfo(bundle, lower, u"info.plist"_s));
        QImage picture(defaultImage, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        QVERIFY(defaultImage.isEmpty() || picture.save(bundle + u"/Default.png"_s));
        const auto before = Tree::snapshot(bundle);

        window().showWidget(WidgetBundle::read(bundle));

        QVERIFY(window().isVisible());
        QCOMPARE(window().geometry(), centred(expected, window().screen()->availableGeometry()));
        QCOMPARE(window().widgetView()->geometry(), window().rect());
        QTRY_COMPARE(window().widgetView()->url(), QUrl(u"about:blank"_s));
        QCOMPARE(Tree::snapshot(bundle), before);
    }

    void reloadReadsTheBundleAnew_data()
    {
        columns<bool, bool>("showAgain", "shown");
        QTest::newRow("reloadWidget, as after a save") << false << true;
        QTest::newRow("reloadWidget while hidden") << false << false;
        QTest::newRow("showWidget, as after Build and Run") << true << true;
    }
    // Scripts, style sheets and images come anew, not from a cache. A reload
    // keeps the window's place and visibility, a new show centres it. The page
    // is written for the old engine, closing its script with "/>": read as
    // today's pages are, the script would swallow the rest of the page.
    void reloadReadsTheBundleAnew()
    {
        QFETCH(bool, showAgain);
        QFETCH(bool, shown);
        const QString bundle = m_f.dir.filePath(u"Reload.wdgt"_s);
        const auto writeVersion = [&bundle](int version) {
            const QByteArray n = QByteArray::number(version);
            TestBundle::write(
                bundle, QSize(160 + 40 * version, 80 + 20 * version), u"Reload"_s, {},
                u"<script src='lib/code.js'/><link rel='stylesheet' href='look.css'><img src='img.svg'>"_s);
            return Tree::write(bundle, u"lib/code.js"_s, "window.version = " + n + ";")
                && Tree::write(bundle, u"look.css"_s, "body { margin: " + n + "px; }")
                && Tree::write(bundle, u"img.svg"_s, "<svg xmlns='http://www.w3.org/2000/svg' width='" + n + "'/>");
        };
        QVERIFY(writeVersion(1));
        QVERIFY(m_f.show(bundle));
        QCOMPARE(m_f.run(u"window.version"_s).toInt(), 1);
        window().move(window().pos() + QPoint(30, 40));
        const QPoint place = window().pos();
        window().setVisible(shown);
        QVERIFY(writeVersion(2));
        QSignalSpy loaded(window().widgetView(), &QWebEngineView::loadFinished);

        showAgain ? window().showWidget(WidgetBundle::read(bundle)) : window().reloadWidget(WidgetBundle::read(bundle));

        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, WidgetPage::LoadTimeout);
        QCOMPARE(window().widgetView()->url(), WidgetBundle::read(bundle).mainPage());
        QCOMPARE(
            m_f.run(u"[version, getComputedStyle(document.body).marginLeft, location.protocol].join()"_s).toString(),
            u"2,2px,file:"_s);
        QTRY_COMPARE(m_f.run(u"document.images[0].naturalWidth"_s).toInt(), 2);
        QCOMPARE(window().isVisible(), shown);
        const QRect screen = window().screen()->availableGeometry();
        QCOMPARE(window().geometry(), showAgain ? centred(QSize(240, 120), screen) : QRect(place, QSize(240, 120)));
    }

    void dragFromBackgroundMovesTheWindow_data()
    {
        columns<QPoint, bool>("start", "moves");
        QTest::newRow("background") << QPoint(100, 70) << true;
        QTest::newRow("button, on its label") << QPoint(20, 10) << false;
        QTest::newRow("element with an onclick handler") << QPoint(120, 10) << false;
        QTest::newRow("inside an element with a listener") << QPoint(170, 10) << false;
    }
    void dragFromBackgroundMovesTheWindow()
    {
        QFETCH(QPoint, start);
        QFETCH(bool, moves);
        QVERIFY(m_f.showOnce(m_f.bundle(u"Drag"_s, {}, QString::fromUtf8(DragPage))));
        m_f.run(u"window.presses = 0"_s);
        QWidget *surface = window().widgetView()->focusProxy();
        const QPoint expected = window().pos() + (moves ? QPoint(-30, 25) : QPoint());

        QTest::mousePress(surface, Qt::LeftButton, {}, start);
        QTest::mouseMove(surface, start + QPoint(-30, 25));
        // The page answers in order: once this answer is in, so is the one about the press.
        m_f.run(u"0"_s);
        QTRY_COMPARE(window().pos(), expected);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, start);

        QTRY_COMPARE(m_f.run(u"window.presses"_s).toInt(), 1);
        QCOMPARE(window().pos(), expected);
    }

    void pageResizesItsWindow()
    {
        QVERIFY(m_f.show(m_f.bundle(u"Grows"_s)));
        const QPoint place = window().pos();
        m_f.run(u"window.resizeTo(260, 150);"_s);
        QTRY_COMPARE(window().geometry(), QRect(place, QSize(260, 150)));
    }

    void stoppedPageSaysSo_data()
    {
        columns<QString, int, QString>("blow", "earliest", "reason");
        QTest::newRow("crashed") << u"chrome://crash"_s << 0 << u"its page crashed"_s;
        // The renderer is a process of its own: while the page hangs, this
        // program's own thread keeps running.
        QTest::newRow("hung") << u"setTimeout(function () { for (;;) {} }, 0)"_s << 1000 << u"its page was ended"_s;
    }
    // It says so until it is shown again, and then runs as any widget does.
    void stoppedPageSaysSo()
    {
        QFETCH(QString, blow);
        QFETCH(int, earliest);
        QFETCH(QString, reason);
        const QString bundle = m_f.bundle(u"Fragile"_s, {{u"CFBundleName"_s, u"Fragile One"_s}});
        BorderlessWindow window;
        window.setUnresponsiveTimeout(std::chrono::milliseconds(1000));
        QVERIFY(WidgetPage::show(window, bundle));
        auto *notice = window.findChild<QLabel *>();
        QTimer ticker;
        QSignalSpy ticks(&ticker, &QTimer::timeout);
        ticker.start(10);
        QElapsedTimer clock;
        clock.start();

        blowUp(window, blow);

        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 15000);
        QVERIFY(clock.elapsed() >= earliest);
        QVERIFY2(ticks.count() >= clock.elapsed() / 100, qPrintable(QString::number(ticks.count())));
        QVERIFY(window.isVisible() && !window.widgetView()->isVisible());
        QCOMPARE(notice->geometry(), window.rect());
        QCOMPARE(WidgetPage::log().filter(u"stopped"_s), QStringList{u"quillet: Fragile One: stopped: "_s + reason});
        QVERIFY(WidgetPage::show(window, bundle));
        QVERIFY(!notice->isVisible() && window.widgetView()->isVisible());
        QCOMPARE(WidgetPage::evaluate(window, u"typeof widget + ' ' + typeof RTCPeerConnection"_s).toString(),
                 u"object undefined"_s);
        // and is watched as before.
        blowUp(window, blow);
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 15000);
    }

    // After a grace time; last, since the page hangs on. That the handler runs
    // first is seen where the host closes its widgets.
    void removeWidgetClosesAPageThatNeverAnswers()
    {
        const QString bundle = m_f.bundle(u"Removed"_s, {},
                                          u"<script>widget.onremove = function () {"
                                          " widget.setPreferenceForKey('stuck', 'removal'); for (;;) {} };</script>"_s);
        QVERIFY(m_f.show(bundle));
        QSignalSpy closed(&window(), &BorderlessWindow::closed);

        window().removeWidget();

        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 5000);
        QVERIFY(!window().isVisible());
        const QString domain = WidgetPreferences::domainOf(WidgetBundle::read(bundle));
        QCOMPARE(WidgetPreferences(WidgetPreferences::Store::Preview, domain).value(u"removal"_s),
                 QJsonValue(u"stuck"_s));
    }
};

QTEST_MAIN(tst_BorderlessWindow)
#include "tst_BorderlessWindow.moc"
