// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/BorderlessWindow.h"
#include "host/WidgetRuntime.h"
#include "host/WidgetBundle.h"
#include "host/WidgetPreviewView.h"

#include "tests/common/TestHome.h"
#include "tests/common/Tree.h"
#include "tests/host/MessageLog.h"
#include "tests/host/TestBundle.h"
#include "tests/host/WebEngineTestMain.h"
#include "tests/host/WidgetPage.h"

#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineSettings>

using namespace Qt::StringLiterals;
using WidgetPage::LoadTimeout;

namespace {

constexpr std::chrono::milliseconds ShortUnresponsiveTimeout{1000};
constexpr int StopTimeout = 15000;

QVariant evaluate(QWebEngineView *view, const QString &script)
{
    return WidgetPage::evaluate(view, script);
}

// Where a window of `size` lies when centred in `area`, its middle pixel on
// the area's middle pixel.
QRect centred(const QSize &size, const QRect &area)
{
    return QRect(area.x() + area.width() / 2 - size.width() / 2,
                 area.y() + area.height() / 2 - size.height() / 2, size.width(), size.height());
}

// A page of 200 by 100 pixels: a bare background with controls on it.
const char DragPage[] = R"(
<style>
  body { margin: 0; width: 200px; height: 100px; }
  .spot { position: absolute; width: 40px; height: 20px; margin: 0; padding: 0; border: 0;
          display: block; }
</style>
<button class="spot" style="left: 0; top: 0"><span>OK</span></button>
<a class="spot" href="#" style="left: 50px; top: 0"></a>
<input class="spot" style="left: 100px; top: 0">
<div class="spot" onclick="void 0" style="left: 0; top: 40px"></div>
<div class="spot" id="handled" style="left: 50px; top: 40px"></div>
<div class="spot" contenteditable style="left: 100px; top: 40px"></div>
<div class="spot" role="button" style="left: 150px; top: 40px"></div>
<div class="spot" onmousedown="void 0" style="left: 0; top: 70px"></div>
<div class="spot" role="scrollbar" style="left: 50px; top: 70px"></div>
<script>
  document.getElementById('handled').onclick = function () {};
  window.presses = 0;
  document.addEventListener('mousedown', function () { ++window.presses; });
</script>
)";

} // namespace

class tst_BorderlessWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowIsBorderlessTranslucentAndOnTop();
    void viewHasNoMenuBackgroundOrScrollBars();
    void showWidgetSizesAndCentres_data();
    void showWidgetSizesAndCentres();
    void showWidgetLoadsThePage();
    void showingAgainShowsTheBundleAnew();
    void bundleWithoutPageShowsBlank();
    void unusedKeysWriteADash_data();
    void unusedKeysWriteADash();
    void escapeClosesWhenAsked();
    void dragFromBackgroundMovesTheWindow_data();
    void dragFromBackgroundMovesTheWindow();
    void reloadPicksUpChangedFiles_data();
    void reloadPicksUpChangedFiles();
    void reloadKeepsThePlaceAndTakesTheSize_data();
    void reloadKeepsThePlaceAndTakesTheSize();
    void pageWrittenForTheOldEngineIsRepaired();
    void crashedPageShowsThatItStopped();
    void hungPageIsStoppedWithoutFreezingTheProgram();
    void removeWidgetRunsOnremoveFirst();
    void removeWidgetClosesAPageThatNeverAnswers();
    void pageResizesItsWindow();

private:
    void showAndWaitForLoad(const QString &bundle);
    QWidget *pageSurface() const;

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_bundle;
    std::unique_ptr<BorderlessWindow> m_window;
    std::unique_ptr<MessageLog> m_log;
};

void tst_BorderlessWindow::init()
{
    m_home = std::make_unique<TestHome>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_bundle = m_dir->filePath(u"Preview.wdgt"_s);
    m_window = std::make_unique<BorderlessWindow>();
    m_log = std::make_unique<MessageLog>();
}

void tst_BorderlessWindow::cleanup()
{
    m_log.reset();
    m_window.reset();
    m_dir.reset();
    m_home.reset();
}

void tst_BorderlessWindow::showAndWaitForLoad(const QString &bundle)
{
    QSignalSpy loaded(m_window->widgetView(), &QWebEngineView::loadFinished);
    m_window->showWidget(WidgetBundle::read(bundle));
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, LoadTimeout);
    QVERIFY(loaded.first().first().toBool());
}

// The engine's widget that receives the page's mouse and keys.
QWidget *tst_BorderlessWindow::pageSurface() const
{
    return m_window->widgetView()->focusProxy();
}

void tst_BorderlessWindow::windowIsBorderlessTranslucentAndOnTop()
{
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(m_window->isWindow());
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(m_window->testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(m_window->focusPolicy() != Qt::NoFocus);
    QVERIFY(!m_window->closesOnEscape());
}

void tst_BorderlessWindow::viewHasNoMenuBackgroundOrScrollBars()
{
    WidgetPreviewView *view = m_window->widgetView();
    QCOMPARE(view->parentWidget(), m_window.get());
    QCOMPARE(view->contextMenuPolicy(), Qt::NoContextMenu);
    QCOMPARE(view->page()->backgroundColor(), QColor(Qt::transparent));
    QVERIFY(!view->settings()->testAttribute(QWebEngineSettings::ShowScrollBars));
}

void tst_BorderlessWindow::showWidgetSizesAndCentres_data()
{
    QTest::addColumn<QVariantMap>("info");
    QTest::addColumn<QSize>("defaultImage");
    QTest::addColumn<QSize>("expected");

    QTest::newRow("from the list") << QVariantMap{{u"Width"_s, 300},
                                                  {u"Height"_s, 150}}
                                   << QSize(10, 10) << QSize(300, 150);
    QTest::newRow("from Default.png") << QVariantMap() << QSize(200, 120) << QSize(200, 120);
    QTest::newRow("width from Default.png")
        << QVariantMap{{u"Height"_s, u"151"_s}} << QSize(201, 120)
        << QSize(201, 151);
}

void tst_BorderlessWindow::showWidgetSizesAndCentres()
{
    QFETCH(QVariantMap, info);
    QFETCH(QSize, defaultImage);
    QFETCH(QSize, expected);
    QVERIFY(TestBundle::writeInfo(m_bundle, info));
    QVERIFY(TestBundle::writeDefaultImage(m_bundle, defaultImage));

    m_window->showWidget(WidgetBundle::read(m_bundle));

    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->size(), expected);
    QCOMPARE(m_window->geometry(), centred(expected, m_window->screen()->availableGeometry()));
    QCOMPARE(m_window->widgetView()->geometry(), m_window->rect());
}

void tst_BorderlessWindow::showWidgetLoadsThePage()
{
    TestBundle::write(m_bundle, QSize(200, 100), u"Preview test"_s);
    showAndWaitForLoad(m_bundle);
    QCOMPARE(m_window->widgetView()->url(), WidgetBundle::read(m_bundle).mainPage());
    QCOMPARE(evaluate(m_window->widgetView(), u"document.title"_s).toString(),
             u"Preview test"_s);
}

void tst_BorderlessWindow::showingAgainShowsTheBundleAnew()
{
    TestBundle::write(m_bundle, QSize(200, 100), u"First"_s);
    showAndWaitForLoad(m_bundle);
    TestBundle::write(m_bundle, QSize(240, 180), u"Second"_s);

    showAndWaitForLoad(m_bundle);
    const QRect screen = m_window->screen()->availableGeometry();
    QCOMPARE(m_window->geometry(), centred(QSize(240, 180), screen));
    QCOMPARE(evaluate(m_window->widgetView(), u"document.title"_s).toString(),
             u"Second"_s);
}

void tst_BorderlessWindow::bundleWithoutPageShowsBlank()
{
    TestBundle::write(m_bundle, QSize(200, 100), u"First"_s);
    showAndWaitForLoad(m_bundle);
    QVERIFY(TestBundle::writeInfo(m_bundle, {{u"Width"_s, 120},
                                             {u"Height"_s, 80}}));

    showAndWaitForLoad(m_bundle);
    QCOMPARE(m_window->widgetView()->url(), QUrl(u"about:blank"_s));
    QCOMPARE(m_window->size(), QSize(120, 80));
}

void tst_BorderlessWindow::unusedKeysWriteADash_data()
{
    QTest::addColumn<bool>("throughThePage");
    QTest::addColumn<int>("key");

    QTest::newRow("letter at the window") << false << int(Qt::Key_A);
    QTest::newRow("Escape at the window") << false << int(Qt::Key_Escape);
    QTest::newRow("letter the page leaves") << true << int(Qt::Key_A);
}

void tst_BorderlessWindow::unusedKeysWriteADash()
{
    QFETCH(bool, throughThePage);
    QFETCH(int, key);
    TestBundle::write(m_bundle, QSize(200, 100), u"Keys"_s);
    showAndWaitForLoad(m_bundle);

    QWidget *target = throughThePage ? pageSurface() : m_window.get();
    QTest::keyClick(target, Qt::Key(key));

    QTRY_COMPARE(MessageLog::lines().count(u"-"_s), 1);
    QVERIFY(m_window->isVisible());
}

void tst_BorderlessWindow::escapeClosesWhenAsked()
{
    TestBundle::write(m_bundle, QSize(200, 100), u"Escape"_s);
    showAndWaitForLoad(m_bundle);
    m_window->setClosesOnEscape(true);
    QVERIFY(m_window->closesOnEscape());
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QSignalSpy closed(m_window.get(), &BorderlessWindow::closed);

    QTest::keyClick(pageSurface(), Qt::Key_Escape);

    QTRY_COMPARE(closed.count(), 1);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(MessageLog::lines().count(u"-"_s), 0);
}

void tst_BorderlessWindow::dragFromBackgroundMovesTheWindow_data()
{
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<bool>("moves");

    QTest::newRow("background") << QPoint(170, 80) << true;
    QTest::newRow("button, on its label") << QPoint(20, 10) << false;
    QTest::newRow("link") << QPoint(70, 10) << false;
    QTest::newRow("input") << QPoint(120, 10) << false;
    QTest::newRow("onclick attribute") << QPoint(20, 50) << false;
    QTest::newRow("onclick handler") << QPoint(70, 50) << false;
    QTest::newRow("contenteditable") << QPoint(120, 50) << false;
    QTest::newRow("role button") << QPoint(170, 50) << false;
    QTest::newRow("onmousedown attribute") << QPoint(20, 80) << false;
    QTest::newRow("role scrollbar") << QPoint(70, 80) << false;
}

void tst_BorderlessWindow::dragFromBackgroundMovesTheWindow()
{
    QFETCH(QPoint, start);
    QFETCH(bool, moves);
    QVERIFY(TestBundle::writeInfo(m_bundle, {{u"MainHTML"_s, u"main.html"_s},
                                             {u"Width"_s, 200},
                                             {u"Height"_s, 100}}));
    QVERIFY(TestBundle::writePage(m_bundle, u"main.html"_s, u"Drag"_s,
                                  QString::fromUtf8(DragPage)));
    showAndWaitForLoad(m_bundle);
    const QPoint before = m_window->pos();
    const QPoint travel(-30, 25);

    QTest::mousePress(pageSurface(), Qt::LeftButton, {}, start);
    QTest::mouseMove(pageSurface(), start + travel);
    // The page answers in order: once this answer is in, so is the one about
    // the press.
    evaluate(m_window->widgetView(), u"0"_s);
    const QPoint expected = moves ? before + travel : before;
    QTRY_COMPARE(m_window->pos(), expected);
    QTest::mouseRelease(pageSurface(), Qt::LeftButton, {}, start);

    QTRY_COMPARE(evaluate(m_window->widgetView(), u"window.presses"_s).toInt(), 1);
    QCOMPARE(m_window->pos(), expected);
}

void tst_BorderlessWindow::reloadPicksUpChangedFiles_data()
{
    QTest::addColumn<bool>("showAgain");
    QTest::newRow("reloadWidget, as after a save") << false;
    QTest::newRow("showWidget, as after Build and Run") << true;
}

// Scripts, style sheets and images are read anew, not taken from a cache.
void tst_BorderlessWindow::reloadPicksUpChangedFiles()
{
    QFETCH(bool, showAgain);
    const auto writeVersion = [this](int version) {
        QImage image(10 * version, 10, QImage::Format_ARGB32);
        image.fill(Qt::red);
        return Tree::write(m_bundle, u"code.js"_s, "window.version = " + QByteArray::number(version) + ";")
               && Tree::write(m_bundle, u"look.css"_s, "body { margin: " + QByteArray::number(version) + "px; }")
               && image.save(m_bundle + u"/picture.png"_s);
    };
    TestBundle::write(m_bundle, QSize(200, 100), u"Reload"_s);
    QVERIFY(TestBundle::writePage(m_bundle, u"main.html"_s, u"Reload"_s,
                                  u"<link rel=\"stylesheet\" href=\"look.css\"><script src=\"code.js\">"
                                  "</script><img id=\"picture\" src=\"picture.png\">"_s));
    QVERIFY(writeVersion(1));
    showAndWaitForLoad(m_bundle);
    QCOMPARE(evaluate(m_window->widgetView(), u"window.version"_s).toInt(), 1);

    QVERIFY(writeVersion(2));
    QSignalSpy loaded(m_window->widgetView(), &QWebEngineView::loadFinished);
    const WidgetBundle bundle = WidgetBundle::read(m_bundle);
    if (showAgain)
        m_window->showWidget(bundle);
    else
        m_window->reloadWidget(bundle);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, LoadTimeout);

    QCOMPARE(evaluate(m_window->widgetView(), u"window.version"_s).toInt(), 2);
    QCOMPARE(evaluate(m_window->widgetView(), u"getComputedStyle(document.body).marginLeft"_s)
                 .toString(),
             u"2px"_s);
    QTRY_COMPARE(evaluate(m_window->widgetView(),
                          u"document.getElementById('picture').naturalWidth"_s).toInt(),
                 20);
}

void tst_BorderlessWindow::reloadKeepsThePlaceAndTakesTheSize_data()
{
    QTest::addColumn<bool>("shown");
    QTest::newRow("shown") << true;
    QTest::newRow("hidden") << false;
}

void tst_BorderlessWindow::reloadKeepsThePlaceAndTakesTheSize()
{
    QFETCH(bool, shown);
    TestBundle::write(m_bundle, QSize(200, 100), u"First"_s);
    showAndWaitForLoad(m_bundle);
    m_window->move(m_window->pos() + QPoint(30, 40));
    const QPoint place = m_window->pos();
    m_window->setVisible(shown);
    TestBundle::write(m_bundle, QSize(240, 120), u"Saved"_s);

    m_window->reloadWidget(WidgetBundle::read(m_bundle));

    QTRY_COMPARE_WITH_TIMEOUT(m_window->widgetView()->title(), u"Saved"_s, LoadTimeout);
    QCOMPARE(m_window->isVisible(), shown);
    QCOMPARE(m_window->pos(), place);
    QCOMPARE(m_window->size(), QSize(240, 120));
}

// Such pages close scripts with "/>"; read as today's pages are, the first
// script would swallow the rest of the page.
void tst_BorderlessWindow::pageWrittenForTheOldEngineIsRepaired()
{
    TestBundle::write(m_bundle, QSize(200, 100), u"Old"_s);
    QVERIFY(Tree::write(m_bundle, u"main.html"_s,
                        "<html><head><title>Old</title><script type='text/javascript' "
                        "src='lib/first.js'/><script src='lib/second.js' /></head>"
                        "<body onload='loaded = true'><div id='front'>front</div></body></html>"));
    QVERIFY(Tree::write(m_bundle, u"lib/first.js"_s, "window.first = 1;"));
    QVERIFY(Tree::write(m_bundle, u"lib/second.js"_s, "window.second = 2;"));

    showAndWaitForLoad(m_bundle);

    QCOMPARE(m_window->widgetView()->url(), WidgetBundle::read(m_bundle).mainPage());
    QCOMPARE(evaluate(m_window->widgetView(),
                      u"[window.first, window.second, window.loaded, location.protocol,"
                      " document.getElementById('front').textContent].join()"_s)
                 .toString(),
             u"1,2,true,file:,front"_s);
}

void tst_BorderlessWindow::crashedPageShowsThatItStopped()
{
    TestBundle::write(m_bundle, QSize(200, 100), u"Fragile"_s, {{u"CFBundleName"_s, u"Fragile"_s}});
    showAndWaitForLoad(m_bundle);
    QVERIFY(!m_window->hasStopped());
    QSignalSpy stopped(m_window.get(), &BorderlessWindow::widgetStopped);

    m_window->widgetView()->load(QUrl(u"chrome://crash"_s));

    QTRY_COMPARE_WITH_TIMEOUT(stopped.count(), 1, StopTimeout);
    QVERIFY(m_window->hasStopped());
    QVERIFY(m_window->isVisible());
    QVERIFY(!m_window->widgetView()->isVisible());
    const QList<QLabel *> labels = m_window->findChildren<QLabel *>();
    QCOMPARE(labels.size(), 1);
    QVERIFY(labels.first()->isVisible());
    QCOMPARE(labels.first()->geometry(), m_window->rect());
    QVERIFY(labels.first()->text().contains(u"stopped"_s));
    QCOMPARE(MessageLog::containing(u"stopped"_s),
             QStringList{u"quillet: Fragile: stopped: its page crashed"_s});

    showAndWaitForLoad(m_bundle);
    QVERIFY(!m_window->hasStopped());
    QVERIFY(m_window->widgetView()->isVisible());
    QCOMPARE(evaluate(m_window->widgetView(), u"document.title"_s).toString(), u"Fragile"_s);
}

// The renderer is a process of its own: while the page hangs, this
// program's own thread keeps running, and after the timeout the page is
// stopped.
void tst_BorderlessWindow::hungPageIsStoppedWithoutFreezingTheProgram()
{
    TestBundle::write(m_bundle, QSize(200, 100), u"Hung"_s);
    showAndWaitForLoad(m_bundle);
    m_window->setUnresponsiveTimeout(ShortUnresponsiveTimeout);
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(10);
    QElapsedTimer clock;
    clock.start();

    evaluate(m_window->widgetView(), u"setTimeout(function () { for (;;) {} }, 0); 1"_s);

    QTRY_VERIFY_WITH_TIMEOUT(m_window->hasStopped(), StopTimeout);
    QVERIFY(clock.elapsed() >= ShortUnresponsiveTimeout.count());
    QVERIFY2(ticks >= clock.elapsed() / 10 / 10, qPrintable(QString::number(ticks)));

    showAndWaitForLoad(m_bundle);
    QVERIFY(!m_window->hasStopped());
}

void tst_BorderlessWindow::removeWidgetRunsOnremoveFirst()
{
    TestBundle::write(m_bundle, QSize(200, 100), u"Removed"_s);
    QVERIFY(TestBundle::writePage(m_bundle, u"main.html"_s, u"Removed"_s,
                                  u"<script>widget.onremove = function () {"
                                  " widget.setPreferenceForKey('yes', 'onremove ran'); };</script>"_s));
    showAndWaitForLoad(m_bundle);
    QSignalSpy closed(m_window.get(), &BorderlessWindow::closed);

    m_window->removeWidget();

    QTRY_COMPARE(closed.count(), 1);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_window->runtime()->preferences().value(u"onremove ran"_s).value_or(QJsonValue()),
             QJsonValue(u"yes"_s));
}

void tst_BorderlessWindow::removeWidgetClosesAPageThatNeverAnswers()
{
    TestBundle::write(m_bundle, QSize(200, 100), u"Stuck"_s);
    QVERIFY(TestBundle::writePage(m_bundle, u"main.html"_s, u"Stuck"_s,
                                  u"<script>widget.onremove = function () { for (;;) {} };</script>"_s));
    showAndWaitForLoad(m_bundle);
    QSignalSpy closed(m_window.get(), &BorderlessWindow::closed);
    QElapsedTimer clock;
    clock.start();

    m_window->removeWidget();

    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, StopTimeout);
    QVERIFY(clock.elapsed() < 5000);
}

void tst_BorderlessWindow::pageResizesItsWindow()
{
    TestBundle::write(m_bundle, QSize(200, 100), u"Grows"_s);
    showAndWaitForLoad(m_bundle);
    const QPoint place = m_window->pos();

    evaluate(m_window->widgetView(), u"window.resizeTo(260, 150);"_s);

    QTRY_COMPARE(m_window->size(), QSize(260, 150));
    QCOMPARE(m_window->pos(), place);
    QCOMPARE(m_window->widgetView()->geometry(), m_window->rect());
}

QUILLET_WEB_ENGINE_TEST_MAIN(tst_BorderlessWindow)
#include "tst_BorderlessWindow.moc"
