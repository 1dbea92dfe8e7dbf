// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/BorderlessWindow.h"
#include "host/CloseBox.h"
#include "host/HostApplication.h"
#include "host/WidgetPreviewView.h"
#include "host/WidgetRuntime.h"

#include "tests/common/TestHome.h"
#include "tests/host/TestBundle.h"
#include "tests/host/WebEngineTestMain.h"
#include "tests/host/WidgetPage.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using WidgetPage::LoadTimeout;

class tst_HostApplication : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsOneWindowPerBundle();
    void sameBundleAgainReloadsItsWindow_data();
    void sameBundleAgainReloadsItsWindow();
    void reloadReadsTheBundleAgain();
    void closeBoxSitsAtTheInset_data();
    void closeBoxSitsAtTheInset();
    void pageMovesTheCloseBox();
    void closeBoxRunsOnremoveBeforeClosing();
    void installedWidgetsKeepTheirOwnPreferences();
    void closingTheLastWindowEndsTheHost_data();
    void closingTheLastWindowEndsTheHost();
    void startingAgainWhileClosingMakesANewWindow();
    void pathThatIsNoFolderIsSkipped();
    void handOverReachesTheListeningHost();
    void handOverWithoutHostFails();
    void listenReplacesALeftoverSocket();

private:
    QString serverName() const { return m_dir->filePath(u"host"_s); }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_first;
    QString m_second;
    std::unique_ptr<HostApplication> m_host;
};

void tst_HostApplication::init()
{
    m_home = std::make_unique<TestHome>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_first = TestBundle::write(m_dir->filePath(u"First.wdgt"_s), QSize(200, 100),
                                u"First"_s,
                                {{u"CloseBoxInsetX"_s, 10},
                                 {u"CloseBoxInsetY"_s, 12}});
    m_second = TestBundle::write(m_dir->filePath(u"Second.wdgt"_s), QSize(150, 90),
                                 u"Second"_s);
    m_host = std::make_unique<HostApplication>();
}

void tst_HostApplication::cleanup()
{
    m_host.reset();
    m_dir.reset();
    m_home.reset();
}

void tst_HostApplication::showsOneWindowPerBundle()
{
    m_host->showWidgets({m_first, m_second});

    QCOMPARE(m_host->widgetCount(), 2);
    BorderlessWindow *first = m_host->windowForBundle(m_first);
    BorderlessWindow *second = m_host->windowForBundle(m_second);
    QVERIFY(first && second && first != second);
    QVERIFY(first->isVisible() && second->isVisible());
    QCOMPARE(first->size(), QSize(200, 100));
    QCOMPARE(second->size(), QSize(150, 90));
    QVERIFY(first->closesOnEscape() && second->closesOnEscape());
}

void tst_HostApplication::sameBundleAgainReloadsItsWindow_data()
{
    QTest::addColumn<QString>("spelling");
    QTest::newRow("same path") << u"First.wdgt"_s;
    QTest::newRow("trailing slash") << u"First.wdgt/"_s;
    QTest::newRow("round about") << u"Second.wdgt/../First.wdgt"_s;
    QTest::newRow("through a link") << u"Link.wdgt"_s;
}

void tst_HostApplication::sameBundleAgainReloadsItsWindow()
{
    QFETCH(QString, spelling);
    QVERIFY(QFile::link(m_first, m_dir->filePath(u"Link.wdgt"_s)));
    m_host->showWidgets({m_first});
    BorderlessWindow *window = m_host->windowForBundle(m_first);
    QSignalSpy loaded(window->widgetView(), &QWebEngineView::loadFinished);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, LoadTimeout);

    m_host->showWidgets({m_dir->filePath(spelling)});

    QCOMPARE(m_host->widgetCount(), 1);
    QCOMPARE(m_host->windowForBundle(m_dir->filePath(spelling)), window);
    QVERIFY(window->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 2, LoadTimeout);
}

void tst_HostApplication::reloadReadsTheBundleAgain()
{
    m_host->showWidgets({m_first});
    TestBundle::write(m_first, QSize(260, 140), u"Rebuilt"_s);

    m_host->showWidgets({m_first});

    BorderlessWindow *window = m_host->windowForBundle(m_first);
    QCOMPARE(window->size(), QSize(260, 140));
    QTRY_COMPARE_WITH_TIMEOUT(window->widgetView()->title(), u"Rebuilt"_s, LoadTimeout);
}

void tst_HostApplication::closeBoxSitsAtTheInset_data()
{
    QTest::addColumn<bool>("first");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("inset in the list") << true << QPoint(10, 12);
    QTest::newRow("no inset") << false << QPoint(8, 8);
}

void tst_HostApplication::closeBoxSitsAtTheInset()
{
    QFETCH(bool, first);
    QFETCH(QPoint, expected);
    const QString bundle = first ? m_first : m_second;
    m_host->showWidgets({bundle});

    BorderlessWindow *window = m_host->windowForBundle(bundle);
    const QList<CloseBox *> boxes = window->findChildren<CloseBox *>();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first()->pos(), expected);
    QVERIFY(boxes.first()->isVisible());
    QVERIFY(window->rect().contains(boxes.first()->geometry()));
    // Stacked above the page, which would hide it otherwise.
    QCOMPARE(window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).constLast(),
             boxes.first());
}

void tst_HostApplication::pageMovesTheCloseBox()
{
    m_host->showWidgets({m_first});
    BorderlessWindow *window = m_host->windowForBundle(m_first);
    QVERIFY(QSignalSpy(window->widgetView(), &QWebEngineView::loadFinished).wait(LoadTimeout));

    WidgetPage::evaluate(*window, u"widget.setCloseBoxOffset(30, 140);"_s);

    QCOMPARE(window->findChild<CloseBox *>()->pos(), QPoint(30, 100));
}

void tst_HostApplication::closeBoxRunsOnremoveBeforeClosing()
{
    TestBundle::writePage(m_first, u"main.html"_s, u"First"_s,
                          u"<script>widget.onremove = function () {"
                          " widget.setPreferenceForKey('removed', widget.identifier); };</script>"_s);
    m_host->showWidgets({m_first});
    BorderlessWindow *window = m_host->windowForBundle(m_first);
    QVERIFY(QSignalSpy(window->widgetView(), &QWebEngineView::loadFinished).wait(LoadTimeout));
    const WidgetPreferences preferences = window->runtime()->preferences();
    const QString identifier = window->runtime()->identifier();

    QTest::mouseClick(window->findChild<CloseBox *>(), Qt::LeftButton);

    QTRY_VERIFY(!m_host->windowForBundle(m_first));
    QCOMPARE(preferences.value(identifier).value_or(QJsonValue()), QJsonValue(u"removed"_s));
}

void tst_HostApplication::installedWidgetsKeepTheirOwnPreferences()
{
    m_host->showWidgets({m_first});
    const WidgetRuntime *runtime = m_host->windowForBundle(m_first)->runtime();
    QCOMPARE(runtime->preferenceStore(), WidgetPreferences::Store::Installed);
    QCOMPARE(runtime->identifier(), WidgetBundle::read(m_first).folderIdentifier());
}

void tst_HostApplication::closingTheLastWindowEndsTheHost_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Escape") << u"Escape"_s;
    QTest::newRow("close box") << u"close box"_s;
}

void tst_HostApplication::closingTheLastWindowEndsTheHost()
{
    QFETCH(QString, how);
    QVERIFY(m_host->listen(serverName()));
    m_host->showWidgets({m_first, m_second});
    QSignalSpy ended(m_host.get(), &HostApplication::lastWidgetClosed);

    for (const QString &bundle : {m_first, m_second}) {
        QCOMPARE(ended.count(), 0);
        BorderlessWindow *window = m_host->windowForBundle(bundle);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        if (how == u"Escape")
            QTest::keyClick(window->widgetView()->focusProxy(), Qt::Key_Escape);
        else
            QTest::mouseClick(window->findChild<CloseBox *>(), Qt::LeftButton);
        QTRY_VERIFY(!m_host->windowForBundle(bundle));
    }

    QCOMPARE(ended.count(), 1);
    QCOMPARE(m_host->widgetCount(), 0);
    QVERIFY(!HostApplication::handOver(serverName(), {m_first}));
}

void tst_HostApplication::startingAgainWhileClosingMakesANewWindow()
{
    m_host->showWidgets({m_first});
    const QPointer<BorderlessWindow> closing = m_host->windowForBundle(m_first);
    QVERIFY(closing->close());

    m_host->showWidgets({m_first});

    const QPointer<BorderlessWindow> fresh = m_host->windowForBundle(m_first);
    QVERIFY(fresh && fresh != closing);
    QTRY_VERIFY(!closing);
    QVERIFY(fresh && fresh->isVisible());
    QCOMPARE(m_host->widgetCount(), 1);
}

void tst_HostApplication::pathThatIsNoFolderIsSkipped()
{
    const QString missing = m_dir->filePath(u"Missing.wdgt"_s);
    QTest::ignoreMessage(QtWarningMsg, qPrintable(u"not a widget bundle: "_s + missing));

    m_host->showWidgets({missing, m_first});

    QCOMPARE(m_host->widgetCount(), 1);
    QVERIFY(!m_host->windowForBundle(missing));
}

void tst_HostApplication::handOverReachesTheListeningHost()
{
    QVERIFY(m_host->listen(serverName()));

    QVERIFY(HostApplication::handOver(serverName(), {m_first, m_second}));

    QTRY_COMPARE(m_host->widgetCount(), 2);
    QVERIFY(m_host->windowForBundle(m_first) && m_host->windowForBundle(m_second));
}

void tst_HostApplication::handOverWithoutHostFails()
{
    QVERIFY(!HostApplication::handOver(serverName(), {m_first}));
}

// A host that died leaves its socket file behind; the next host replaces it.
void tst_HostApplication::listenReplacesALeftoverSocket()
{
    QVERIFY(Tree::write(m_dir->path(), u"host"_s, "left over"));

    QVERIFY(m_host->listen(serverName()));

    QVERIFY(HostApplication::handOver(serverName(), {m_second}));
    QTRY_COMPARE(m_host->widgetCount(), 1);
}

QUILLET_WEB_ENGINE_TEST_MAIN(tst_HostApplication)
#include "tst_HostApplication.moc"
