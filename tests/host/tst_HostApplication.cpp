// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/CloseBox.h"
#include "host/HostApplication.h"
#include "host/HostTray.h"
#include "platform/Alert.h"
#include "platform/OpenPanel.h"
#include "platform/WidgetShelf.h"
#include "platform/ZipArchive.h"

#include "tests/host/WidgetPage.h"

#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>

using WidgetPage::LoadTimeout;

// The host's windows on screen by title, the name of their bundle's folder.
static QMultiMap<QString, BorderlessWindow *> shown()
{
    QMultiMap<QString, BorderlessWindow *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<BorderlessWindow *>(widget); window && window->isVisible())
            windows.insert(window->windowTitle(), window);
    return windows;
}

// The pointer comes over the window, or goes away from it.
static void hover(QWidget *window, bool over)
{
    if (over) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), window->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(window, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(window, &leave);
    }
}

// What a host program logged on standard output so far.
static QStringList log(QProcess *p)
{
    return QString::fromUtf8(p->peek(1 << 20)).split(u'\n', Qt::SkipEmptyParts);
}

// The menu's item of that text, in it or in one of its menus.
static QAction *item(const QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (QAction *inner = action->menu() ? item(action->menu(), text) : nullptr)
            return inner;
    }
    return nullptr;
}

// The tray menu's item of that text as the menu opens now.
static QAction *trayItem(const HostTray &tray, const QString &text)
{
    emit tray.menu()->aboutToShow();
    return item(tray.menu(), text);
}

static QString showing(const QString &bundle)
{
    return u"showing "_s + QFileInfo(bundle).canonicalFilePath();
}

// A page that notes in the installed widgets' preferences that it was removed.
static const QString NotesRemoval = u"<script>widget.onremove = function () {"
                                    " widget.setPreferenceForKey(widget.identifier, 'removed'); };</script>"_s;

// Two bundles with that page, and a host in this program, in a home of their own.
struct HostFixture
{
    TestHome home;
    QTemporaryDir dir;
    QString first = TestBundle::write(dir.filePath(u"First.wdgt"_s), QSize(200, 100), u"First"_s, {}, NotesRemoval);
    QString second = TestBundle::write(dir.filePath(u"Second.wdgt"_s), QSize(150, 90), u"Second"_s, {}, NotesRemoval);
    HostApplication host;
    // Started in the test's runtime folder, so they find only each other.
    std::vector<std::unique_ptr<QProcess>> programs;

    ~HostFixture()
    {
        for (const auto &program : programs) {
            program->kill();
            program->waitForFinished();
        }
    }
    QProcess *start(const QStringList &arguments)
    {
        QProcess *program = programs.emplace_back(std::make_unique<QProcess>()).get();
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
        program->setWorkingDirectory(dir.path());
        program->start(QStringLiteral(QUILLET_HOST), arguments);
        return program;
    }
};

// In this program, and as the host program users start.
class tst_HostApplication : public QObject
{
    Q_OBJECT

    std::optional<HostFixture> m_f;

private slots:
    void init() { m_f.emplace(); }
    void cleanup() { m_f.reset(); }

    void sameBundleAgainReloadsItsWindow_data()
    {
        columns<QString, bool>("spelling", "closing");
        QTest::newRow("trailing slash") << u"First.wdgt/"_s << false;
        QTest::newRow("round about") << u"Second.wdgt/../First.wdgt"_s << false;
        QTest::newRow("through a link") << u"Link.wdgt"_s << false;
        QTest::newRow("while its window closes, in a new one") << u"First.wdgt"_s << true;
    }
    void sameBundleAgainReloadsItsWindow()
    {
        QFETCH(QString, spelling);
        QFETCH(bool, closing);
        QVERIFY(QFile::link(m_f->first, m_f->dir.filePath(u"Link.wdgt"_s)));
        m_f->host.showWidgets({m_f->first});
        const QPointer<BorderlessWindow> first = shown().value(u"First"_s);
        QTRY_COMPARE_WITH_TIMEOUT(first->widgetView()->title(), u"First"_s, LoadTimeout);
        TestBundle::write(m_f->first, QSize(260, 140), u"Rebuilt"_s);
        QVERIFY(!closing || first->close());

        m_f->host.showWidgets({m_f->dir.filePath(spelling)});

        BorderlessWindow *again = shown().value(u"First"_s);
        QCOMPARE(shown().keys(), QStringList{u"First"_s});
        QCOMPARE(again == first, !closing);
        QCOMPARE(again->size(), QSize(260, 140));
        QTRY_COMPARE_WITH_TIMEOUT(again->widgetView()->title(), u"Rebuilt"_s, LoadTimeout);
        QTRY_VERIFY(!closing || !first);
    }

    void closeBoxSitsWhereTheWidgetSays_data()
    {
        columns<QVariantMap, QString, QPoint>("inset", "offset", "expected");
        const QVariantMap inset{{u"CloseBoxInsetX"_s, 10}, {u"CloseBoxInsetY"_s, 12}};
        QTest::newRow("inset") << inset << QString() << QPoint(10, 12);
        QTest::newRow("no inset") << QVariantMap() << QString() << QPoint(8, 8);
        QTest::newRow("page offset") << inset << u"20, 30"_s << QPoint(20, 30);
        QTest::newRow("page offset too large") << inset << u"150, 101"_s << QPoint(100, 100);
        QTest::newRow("page offset negative") << inset << u"-5, 7"_s << QPoint(0, 7);
        QTest::newRow("page offset no numbers") << inset << u"'x', null"_s << QPoint(0, 0);
    }
    void closeBoxSitsWhereTheWidgetSays()
    {
        QFETCH(QVariantMap, inset);
        QFETCH(QString, offset);
        QFETCH(QPoint, expected);
        m_f->host.showWidgets({TestBundle::write(m_f->dir.filePath(u"Boxed.wdgt"_s), QSize(200, 200), {}, inset)});
        BorderlessWindow *boxed = shown().value(u"Boxed"_s);
        if (!offset.isEmpty()) {
            QVERIFY(QSignalSpy(boxed->widgetView(), &QWebEngineView::loadFinished).wait(LoadTimeout));
            WidgetPage::evaluate(*boxed, u"widget.setCloseBoxOffset(%1);"_s.arg(offset));
        }

        auto *box = boxed->findChild<CloseBox *>();
        QCOMPARE(box->pos(), expected);
        // It shows while the pointer is over the widget, and only then.
        QVERIFY(!box->isVisible());
        hover(boxed, true);
        QVERIFY(box->isVisible() && boxed->rect().contains(box->geometry()));
        hover(boxed, false);
        QVERIFY(!box->isVisible());
        // Stacked above the page, which would hide it otherwise.
        QCOMPARE(boxed->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).constLast(), box);
    }

    void closingRunsOnremoveAndTheLastEndsTheHost_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close box") << false;
    }
    // The page runs as an installed widget, keeping its preferences apart from
    // the preview's. With the last window the host stops listening.
    void closingRunsOnremoveAndTheLastEndsTheHost()
    {
        QFETCH(bool, escape);
        QVERIFY(m_f->host.listen(m_f->dir.filePath(u"host"_s)));
        m_f->host.showWidgets({m_f->first, m_f->second});
        QSignalSpy ended(&m_f->host, &HostApplication::lastWidgetClosed);

        for (const QString &bundle : {m_f->first, m_f->second}) {
            QCOMPARE(ended.count(), 0);
            const QString title = QFileInfo(bundle).completeBaseName();
            BorderlessWindow *closing = shown().value(title);
            QTRY_COMPARE_WITH_TIMEOUT(WidgetPage::evaluate(*closing, u"typeof widget.onremove"_s).toString(),
                                      u"function"_s, LoadTimeout);
            closing->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(closing));
            hover(closing, true);
            escape ? QTest::keyClick(closing->widgetView()->focusProxy(), Qt::Key_Escape)
                   : QTest::mouseClick(closing->findChild<CloseBox *>(), Qt::LeftButton);
            QTRY_VERIFY(!shown().contains(title));
            const WidgetBundle read = WidgetBundle::read(bundle);
            const WidgetPreferences installed(WidgetPreferences::Store::Installed, WidgetPreferences::domainOf(read));
            QCOMPARE(installed.value(u"removed"_s).value_or(QJsonValue()).toString(), read.folderIdentifier());
        }

        QCOMPARE(ended.count(), 1);
        QVERIFY(!HostApplication::handOver(m_f->dir.filePath(u"host"_s), {m_f->first}));
    }

    // Widgets seen for the first time cover no other, started or not yet;
    // each comes back where it was, dragged or not, also after its window
    // closed; one that grows over another moves out of its way.
    void widgetsKeepTheirPlaces()
    {
        m_f->host.showWidgets({m_f->first});
        const QRect firstPlace = shown().value(u"First"_s)->geometry();
        QVERIFY(shown().value(u"First"_s)->close());
        m_f->host.showWidgets({m_f->second});
        BorderlessWindow *second = shown().value(u"Second"_s);
        QVERIFY(!second->geometry().intersects(firstPlace));
        m_f->host.showWidgets({m_f->first});
        BorderlessWindow *first = shown().value(u"First"_s);
        QCOMPARE(first->geometry(), firstPlace);

        QTRY_COMPARE(WidgetPage::evaluate(*second, u"typeof widget"_s).toString(), u"object"_s);
        WidgetPage::evaluate(*second,
                             u"window.resizeTo(%1, %2)"_s.arg(firstPlace.right() + 100).arg(firstPlace.bottom() + 100));
        QTRY_COMPARE(second->width(), firstPlace.right() + 100);
        QVERIFY(!second->geometry().intersects(first->geometry()));

        first->move(first->pos() + QPoint(40, 30));
        emit first->widgetView()->dragged();
        const QPoint dragged = first->pos();
        QVERIFY(first->close());
        m_f->host.showWidgets({m_f->first});
        QCOMPARE(shown().value(u"First"_s)->pos(), dragged);

        // A screen that shrank or went takes no widget with it.
        BorderlessWindow *again = shown().value(u"First"_s);
        again->move(5000, 5000);
        QScreen *screen = QGuiApplication::primaryScreen();
        emit screen->availableGeometryChanged(screen->availableGeometry());
        QVERIFY(screen->availableGeometry().contains(again->geometry()));
    }

    // All the widgets show and hide at once, from this program and from later
    // starts, and keep running hidden; each layer stacks them as it says. The
    // dashboard hides them until called up, over dimmed screens, and goes at
    // Escape or a click beside them.
    void layersAndShowingAll()
    {
        const auto dimmed = [] {
            int count = 0;
            for (QWidget *window : QApplication::topLevelWidgets())
                count += window->objectName() == u"dimmedScreen" && window->isVisible();
            return count;
        };
        m_f->host.showWidgets({m_f->first, m_f->second});
        QVERIFY(shown().first()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(m_f->host.listen(m_f->dir.filePath(u"host"_s)));
        QVERIFY(HostApplication::handOver(m_f->dir.filePath(u"host"_s), {u"toggle"_s}));
        QTRY_COMPARE(shown().size(), 0);
        m_f->host.receive({u"show-all"_s, u"layer=desktop"_s});
        QCOMPARE(shown().size(), 2);
        for (BorderlessWindow *window : shown())
            QVERIFY(window->windowFlags().testFlags(Qt::Tool | Qt::WindowStaysOnBottomHint));

        m_f->host.receive({u"layer=dashboard"_s});
        QCOMPARE(shown().size(), 0);
        m_f->host.receive({u"toggle"_s});
        QCOMPARE(shown().size(), 2);
        QCOMPARE(dimmed(), QGuiApplication::screens().size());
        QTest::keyClick(shown().first(), Qt::Key_Escape);
        QCOMPARE(shown().size() + dimmed(), 0);
        m_f->host.receive({u"toggle"_s});
        QWidget *backdrop = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets())
            backdrop = window->objectName() == u"dimmedScreen" && window->isVisible() ? window : backdrop;
        QVERIFY(backdrop);
        QTest::mouseClick(backdrop, Qt::LeftButton);
        QCOMPARE(shown().size() + dimmed(), 0);
        m_f->host.receive({u"layer=above"_s});
        QCOMPARE(shown().size(), 2);
    }

    // The tray's menu lists the installed widgets, each checked while it
    // runs; choosing one starts or closes it; Hide All, Show All and the
    // layer act on the host. What runs, and the layer, are kept for the
    // next start.
    void trayMenuKeepsTheSession()
    {
        const QString clock =
            TestBundle::write(WidgetShelf::folder() + u"/Clock.wdgt"_s, QSize(120, 80), u"Clock"_s, {}, NotesRemoval);
        TestBundle::write(WidgetShelf::folder() + u"/Notes.wdgt"_s, QSize(120, 80), u"Notes"_s);
        HostTray tray(&m_f->host);
        const auto menuItem = [&tray](const QString &text) { return trayItem(tray, text); };
        QVERIFY(menuItem(u"Notes"_s) && !menuItem(u"Clock"_s)->isChecked());
        menuItem(u"Clock"_s)->trigger();
        QCOMPARE(shown().keys(), QStringList{u"Clock"_s});
        QVERIFY(menuItem(u"Clock"_s)->isChecked());
        menuItem(u"Hide All"_s)->trigger();
        QVERIFY(shown().isEmpty());
        menuItem(u"Show All"_s)->trigger();
        // Under Wayland, where no program stacks its own windows, only the
        // dashboard is offered.
        const bool wayland = QGuiApplication::platformName().startsWith(u"wayland");
        const WidgetLayer layer = wayland ? WidgetLayer::Dashboard : WidgetLayer::Desktop;
        const QAction *desktop =
            menuItem(wayland ? u"On the Desktop (not in a Wayland session)"_s : u"On the Desktop"_s);
        QVERIFY(desktop && desktop->isEnabled() != wayland);
        menuItem(wayland ? u"Dashboard"_s : u"On the Desktop"_s)->trigger();
        QCOMPARE(m_f->host.layer(), layer);
        QCOMPARE(HostApplication::savedRunning(), QStringList{QFileInfo(clock).canonicalFilePath()});
        QCOMPARE(HostApplication::savedLayer(), layer);
        menuItem(u"Clock"_s)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!m_f->host.isRunning(clock), LoadTimeout);
        QVERIFY(HostApplication::savedRunning().isEmpty());
        // Quit keeps what runs for the next start, though its windows close
        // on the way out.
        menuItem(u"Clock"_s)->trigger();
        menuItem(u"Quit"_s)->trigger();
        for (QWidget *window : QApplication::topLevelWidgets())
            if (qobject_cast<BorderlessWindow *>(window))
                window->close();
        QVERIFY(!m_f->host.isRunning(clock));
        QCOMPARE(HostApplication::savedRunning(), QStringList{QFileInfo(clock).canonicalFilePath()});
        menuItem(u"Start at Login"_s)->trigger();
        QVERIFY(Tree::read(HostTray::autostartEntry()).contains("\nExec=quillet-host\n"));
        QVERIFY(menuItem(u"Start at Login"_s)->isChecked());
        menuItem(u"Start at Login"_s)->trigger();
        QVERIFY(!QFileInfo::exists(HostTray::autostartEntry()));
        // Off screen there is no X11 to have a key from, and the menu says so.
        m_f->host.setShortcutKey(QKeySequence(Qt::Key_F11));
        QCOMPARE(HostApplication::savedShortcutKey(), QKeySequence(Qt::Key_F11));
        const QAction *keyState = menuItem(
            u"No Show and Hide Key: The desktop offers no keys for all programs, and this session is not X11"_s);
        QVERIFY(keyState && !keyState->isEnabled());
    }

    // Add Widget installs a bundle or a zipped one and starts it, asking
    // before it replaces one of the same name; Remove asks, closes the
    // widget and deletes it.
    void trayAddsAndRemovesWidgets()
    {
        HostTray tray(&m_f->host);
        QString chosen = m_f->first;
        OpenPanel::responder = [&chosen](const OpenPanel::Options &) { return QStringList{chosen}; };
        QStringList asked;
        Alert::Response answer = Alert::AlternateButton;
        Alert::responder = [&](const Alert::Request &request) {
            asked.append(request.message);
            return answer;
        };
        const QString installed = WidgetShelf::folder() + u"/First.wdgt"_s;
        trayItem(tray, u"Add Widget…"_s)->trigger();
        QVERIFY(asked.isEmpty() && QFileInfo::exists(installed + u"/main.html"_s));
        QCOMPARE(shown().keys(), QStringList{u"First"_s});
        Tree::write(installed, u"mine.txt"_s, "kept");
        trayItem(tray, u"Add Widget…"_s)->trigger();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(Tree::read(installed + u"/mine.txt"_s), QByteArray("kept"));

        chosen = m_f->dir.filePath(u"Second.wdgt.zip"_s);
        QVERIFY(ZipArchive::exportBundle(m_f->second, chosen));
        trayItem(tray, u"Add Widget…"_s)->trigger();
        QTRY_COMPARE(shown().keys(), (QStringList{u"First"_s, u"Second"_s}));

        // Its files stay until it has closed, its page never missing one.
        QTest::failOnWarning(QRegularExpression(u"is missing"_s));
        answer = Alert::DefaultButton;
        item(trayItem(tray, u"Remove"_s)->menu(), u"First"_s)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(shown().keys(), QStringList{u"Second"_s}, LoadTimeout);
        QTRY_VERIFY(!QFileInfo::exists(installed));
        OpenPanel::responder = nullptr;
        Alert::responder = nullptr;
    }

    // Each widget keeps its own web storage, which outlives its window; the
    // preview of the same widget keeps another.
    void eachWidgetKeepsItsOwnStorage()
    {
        m_f->host.showWidgets({m_f->first, m_f->second});
        const auto stored = [](const char *title, const QString &script) -> QString {
            BorderlessWindow *window = shown().value(QLatin1String(title));
            if (!QTest::qWaitFor([&] { return window->widgetView()->title() == QLatin1String(title); }, LoadTimeout))
                return u"not loaded"_s;
            return WidgetPage::evaluate(*window, script + u"; localStorage.getItem('mine')"_s).toString();
        };
        QCOMPARE(stored("First", u"localStorage.setItem('mine', 'first')"_s), u"first"_s);
        QCOMPARE(stored("Second", {}), QString());
        QVERIFY(shown().value(u"First"_s)->close());
        m_f->host.showWidgets({m_f->first});
        QCOMPARE(stored("First", {}), u"first"_s);

        BorderlessWindow preview(WidgetPreferences(WidgetPreferences::Store::Preview,
                                                   WidgetPreferences::domainOf(WidgetBundle::read(m_f->first)))
                                     .webProfile());
        QVERIFY(WidgetPage::show(preview, m_f->first));
        QCOMPARE(WidgetPage::evaluate(preview, u"localStorage.getItem('mine')"_s).toString(), QString());
    }

    // A start with nothing to show ends; a host that died leaves its socket
    // behind, and the next host replaces it. Later starts name bundles
    // relatively, and a path that is no folder.
    void laterStartsHandOverToTheRunningHost()
    {
        QProcess *alone = m_f->start({u"--toggle"_s});
        QVERIFY(alone->waitForFinished(LoadTimeout));
        QCOMPARE(alone->exitCode(), 1);
        QVERIFY(alone->readAllStandardError().contains("no widget host is running"));
        QProcess *nothing = m_f->start({u"Missing.wdgt"_s});
        QVERIFY(nothing->waitForFinished(LoadTimeout));
        QCOMPARE(nothing->exitCode(), 1);
        QVERIFY(nothing->readAllStandardError().contains("not a widget bundle"));
        QVERIFY(Tree::write(m_f->dir.path(), u"quillet-host"_s, "left over"));
        QProcess *host = m_f->start({m_f->first});
        QTRY_COMPARE_WITH_TIMEOUT(log(host), QStringList{showing(m_f->first)}, LoadTimeout);

        for (const QStringList &bundles : {QStringList{u"Missing.wdgt"_s, u"Second.wdgt"_s}, QStringList{m_f->first}}) {
            QProcess *later = m_f->start(bundles);
            QVERIFY(later->waitForFinished(LoadTimeout));
            QVERIFY(later->exitStatus() == QProcess::NormalExit && later->exitCode() == 0);
            QVERIFY(log(later).isEmpty());
        }

        QTRY_COMPARE_WITH_TIMEOUT(
            log(host), (QStringList{showing(m_f->first), showing(m_f->second), showing(m_f->first)}), LoadTimeout);
        QProcess *command = m_f->start({u"--layer=dashboard"_s, u"--show-all"_s});
        QVERIFY(command->waitForFinished(LoadTimeout) && command->exitCode() == 0);
        QTRY_COMPARE_WITH_TIMEOUT(log(host).mid(3),
                                  (QStringList{u"hiding all"_s, u"layer dashboard"_s, u"showing all"_s}), LoadTimeout);
        QCOMPARE(host->state(), QProcess::Running);
    }
};

QTEST_MAIN(tst_HostApplication)
#include "tst_HostApplication.moc"
