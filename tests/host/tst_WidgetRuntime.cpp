// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/BorderlessWindow.h"
#include "host/FlipOverlay.h"
#include "host/SystemCommand.h"
#include "host/WidgetBundle.h"
#include "host/WidgetPreferences.h"
#include "host/WidgetPreviewView.h"
#include "host/WidgetRuntime.h"

#include "tests/common/TestHome.h"
#include "tests/common/Tree.h"
#include "tests/host/MessageLog.h"
#include "tests/host/TestBundle.h"
#include "tests/host/WebEngineTestMain.h"
#include "tests/host/WidgetPage.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using WidgetPage::evaluate;

namespace {

constexpr int CommandTimeout = 10000;

// Two sides of a page, for transitions.
const char SidesPage[] = R"(
<style> body { margin: 0; } #front { background: red; } #back { background: blue; display: none; }
        div { width: 200px; height: 100px; } </style>
<div id="front"></div><div id="back"></div>
<script>
  function turn(toBack) {
    widget.prepareForTransition(toBack ? 'ToBack' : 'ToFront');
    document.getElementById('front').style.display = toBack ? 'none' : 'block';
    document.getElementById('back').style.display = toBack ? 'block' : 'none';
    setTimeout('widget.performTransition()', 0);
  }
</script>
)";

} // namespace

/// Receives what the page hands to the desktop's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { urls.append(url); }

public:
    QList<QUrl> urls;
};

class tst_WidgetRuntime : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void widgetExistsBeforeThePageScripts();
    void identifierIsStableForTheFolder();
    void preferencesRoundTrip_data();
    void preferencesRoundTrip();
    void unknownPreferenceIsUndefined();
    void nullRemovesAPreference_data();
    void nullRemovesAPreference();
    void preferencesOutliveTheRuntime();
    void previewAndInstalledKeepApart();
    void systemNeedsItsKey_data();
    void systemNeedsItsKey();
    void pagesShownTogetherKeepTheirOwnWidget();
    void synchronousSystemReturnsTheResult();
    void synchronousSystemRunsInTheBundle();
    void asynchronousSystemCallsTheHandler();
    void asynchronousSystemReadsOutputAndTakesInput();
    void cancelledCommandEndsSilently();
    void openURLHandsTheAddressToTheDesktop();
    void openApplicationStartsItsDesktopEntry();
    void openApplicationIgnoresUnknownIdentifiers();
    void showAndHideReachThePage();
    void closeBoxOffsetIsClamped_data();
    void closeBoxOffsetIsClamped();
    void transitionTurnsThePageOver();

private:
    QString writeBundle(const QVariantMap &keys = {}, const QString &body = {});
    void show(const QString &bundle);
    QVariant run(const QString &script) { return evaluate(*m_window, script); }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<BorderlessWindow> m_window;
};

void tst_WidgetRuntime::init()
{
    m_home = std::make_unique<TestHome>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_window = std::make_unique<BorderlessWindow>();
}

void tst_WidgetRuntime::cleanup()
{
    m_window.reset();
    m_dir.reset();
    m_home.reset();
}

QString tst_WidgetRuntime::writeBundle(const QVariantMap &keys, const QString &body)
{
    QVariantMap info = keys;
    info.insert(u"CFBundleIdentifier"_s, u"org.quillet.test.Runtime"_s);
    const QString bundle = m_dir->filePath(u"Runtime.wdgt"_s);
    TestBundle::write(bundle, QSize(200, 100), u"Runtime"_s, info);
    TestBundle::writePage(bundle, u"main.html"_s, u"Runtime"_s, body);
    return bundle;
}

void tst_WidgetRuntime::show(const QString &bundle)
{
    QVERIFY(WidgetPage::showAndWait(*m_window, bundle));
}

void tst_WidgetRuntime::widgetExistsBeforeThePageScripts()
{
    show(writeBundle({}, u"<script>window.seen = typeof widget + ' ' + typeof widget.preferenceForKey;</script>"_s));
    QCOMPARE(run(u"window.seen"_s).toString(), u"object function"_s);
}

void tst_WidgetRuntime::identifierIsStableForTheFolder()
{
    const QString bundle = writeBundle();
    show(bundle);
    const QString identifier = run(u"widget.identifier"_s).toString();
    QCOMPARE(identifier, WidgetBundle::read(bundle).folderIdentifier());
    QCOMPARE(identifier.size(), 16);

    BorderlessWindow other;
    QVERIFY(WidgetPage::showAndWait(other, bundle));
    QCOMPARE(evaluate(other, u"widget.identifier"_s).toString(), identifier);
}

void tst_WidgetRuntime::preferencesRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("string") << u"'River'"_s << u"\"River\""_s;
    QTest::newRow("empty string") << u"''"_s << u"\"\""_s;
    QTest::newRow("unicode") << u"'Gr\u00fc\u00dfe \u2603'"_s << u"\"Gr\u00fc\u00dfe \u2603\""_s;
    QTest::newRow("number stays a number") << u"42.5"_s << u"42.5"_s;
    QTest::newRow("true stays a boolean") << u"true"_s << u"true"_s;
    QTest::newRow("false stays a boolean") << u"false"_s << u"false"_s;
    QTest::newRow("object becomes its string") << u"({ a: 1 })"_s << u"\"[object Object]\""_s;
    QTest::newRow("array becomes its string") << u"[1, 2]"_s << u"\"1,2\""_s;
}

void tst_WidgetRuntime::preferencesRoundTrip()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const QString key = u"a/key with [odd] chars\\ %"_s;
    show(writeBundle());

    run(u"widget.setPreferenceForKey(%1, 'a/key with [odd] chars\\\\ %');"_s.arg(value));

    QCOMPARE(run(u"JSON.stringify(widget.preferenceForKey('a/key with [odd] chars\\\\ %'))"_s)
                 .toString(),
             expected);
    const std::optional<QJsonValue> stored = m_window->runtime()->preferences().value(key);
    QVERIFY(stored);
    QCOMPARE(QJsonDocument(QJsonArray{*stored}).toJson(QJsonDocument::Compact),
             u"[%1]"_s.arg(expected).toUtf8());
}

void tst_WidgetRuntime::unknownPreferenceIsUndefined()
{
    show(writeBundle());
    QCOMPARE(run(u"String(widget.preferenceForKey('never set'))"_s).toString(), u"undefined"_s);
}

void tst_WidgetRuntime::nullRemovesAPreference_data()
{
    QTest::addColumn<QString>("removal");
    QTest::newRow("null") << u"null"_s;
    QTest::newRow("undefined") << u"undefined"_s;
}

void tst_WidgetRuntime::nullRemovesAPreference()
{
    QFETCH(QString, removal);
    show(writeBundle());
    run(u"widget.setPreferenceForKey('kept', 'key');"_s);

    run(u"widget.setPreferenceForKey(%1, 'key');"_s.arg(removal));

    QCOMPARE(run(u"String(widget.preferenceForKey('key'))"_s).toString(), u"undefined"_s);
    QVERIFY(!m_window->runtime()->preferences().value(u"key"_s));
}

void tst_WidgetRuntime::preferencesOutliveTheRuntime()
{
    const QString bundle = writeBundle();
    show(bundle);
    run(u"widget.setPreferenceForKey('Moretown', widget.identifier + '-station');"_s);
    m_window.reset();

    m_window = std::make_unique<BorderlessWindow>();
    show(bundle);
    QCOMPARE(run(u"widget.preferenceForKey(widget.identifier + '-station')"_s).toString(),
             u"Moretown"_s);
}

void tst_WidgetRuntime::previewAndInstalledKeepApart()
{
    const QString bundle = writeBundle();
    QCOMPARE(m_window->runtime()->preferenceStore(), WidgetPreferences::Store::Preview);
    show(bundle);
    run(u"widget.setPreferenceForKey('preview', 'where');"_s);

    BorderlessWindow installed;
    installed.runtime()->setPreferenceStore(WidgetPreferences::Store::Installed);
    QVERIFY(WidgetPage::showAndWait(installed, bundle));
    QCOMPARE(evaluate(installed, u"String(widget.preferenceForKey('where'))"_s).toString(),
             u"undefined"_s);
    evaluate(installed, u"widget.setPreferenceForKey('installed', 'where');"_s);

    QCOMPARE(run(u"widget.preferenceForKey('where')"_s).toString(), u"preview"_s);
    QVERIFY(m_window->runtime()->preferences().filePath()
            != installed.runtime()->preferences().filePath());
    QCOMPARE(installed.runtime()->preferences().domain(), u"org.quillet.test.Runtime"_s);
}

void tst_WidgetRuntime::systemNeedsItsKey_data()
{
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<QString>("type");
    QTest::newRow("no key") << QVariantMap() << u"undefined"_s;
    QTest::newRow("AllowSystem false") << QVariantMap{{u"AllowSystem"_s, false}} << u"undefined"_s;
    QTest::newRow("AllowSystem") << QVariantMap{{u"AllowSystem"_s, true}} << u"function"_s;
    QTest::newRow("AllowFullAccess") << QVariantMap{{u"AllowFullAccess"_s, true}} << u"function"_s;
    QTest::newRow("other keys only") << QVariantMap{{u"AllowNetworkAccess"_s, true},
                                                    {u"AllowFileAccessOutsideOfWidget"_s, true}}
                                     << u"undefined"_s;
}

void tst_WidgetRuntime::systemNeedsItsKey()
{
    QFETCH(QVariantMap, keys);
    QFETCH(QString, type);
    show(writeBundle(keys));
    QCOMPARE(run(u"typeof widget.system"_s).toString(), type);
}

// Every page calls the same address; each must still reach its own runtime.
void tst_WidgetRuntime::pagesShownTogetherKeepTheirOwnWidget()
{
    const QString plain = writeBundle();
    const QString trusted = m_dir->filePath(u"Trusted.wdgt"_s);
    TestBundle::write(trusted, QSize(200, 100), u"Trusted"_s, {{u"AllowSystem"_s, true}});
    show(plain);
    BorderlessWindow other;
    QVERIFY(WidgetPage::showAndWait(other, trusted));

    run(u"widget.setPreferenceForKey('plain', 'who');"_s);
    evaluate(other, u"widget.setPreferenceForKey('trusted', 'who');"_s);

    QCOMPARE(run(u"widget.preferenceForKey('who') + ' ' + typeof widget.system"_s).toString(),
             u"plain undefined"_s);
    QCOMPARE(evaluate(other, u"widget.preferenceForKey('who') + ' ' + typeof widget.system"_s)
                 .toString(),
             u"trusted function"_s);
    QCOMPARE(run(u"widget.identifier"_s).toString(), WidgetBundle::read(plain).folderIdentifier());
    QCOMPARE(evaluate(other, u"widget.identifier"_s).toString(),
             WidgetBundle::read(trusted).folderIdentifier());
}

void tst_WidgetRuntime::synchronousSystemReturnsTheResult()
{
    show(writeBundle({{u"AllowSystem"_s, true}}));
    const QVariantMap result =
        run(u"widget.system('printf out; printf err >&2; exit 3', null)"_s).toMap();
    QCOMPARE(result.value(u"outputString"_s).toString(), u"out"_s);
    QCOMPARE(result.value(u"errorString"_s).toString(), u"err"_s);
    QCOMPARE(result.value(u"status"_s).toInt(), 3);
}

void tst_WidgetRuntime::synchronousSystemRunsInTheBundle()
{
    const QString bundle = writeBundle({{u"AllowSystem"_s, true}});
    show(bundle);
    QCOMPARE(run(u"widget.system('pwd -P').outputString"_s).toString(),
             QFileInfo(bundle).canonicalFilePath() + u'\n');
}

void tst_WidgetRuntime::asynchronousSystemCallsTheHandler()
{
    show(writeBundle({{u"AllowSystem"_s, true}}));
    const QVariantMap started = run(uR"(
        window.ended = null;
        var command = widget.system('sleep 0.2; echo done; exit 4', function (c) {
            window.ended = { same: c === command, output: c.outputString, status: c.status };
        });
        ({ status: String(command.status), hasCancel: typeof command.cancel }))"_s).toMap();
    QCOMPARE(started.value(u"status"_s).toString(), u"undefined"_s);
    QCOMPARE(started.value(u"hasCancel"_s).toString(), u"function"_s);

    QTRY_VERIFY_WITH_TIMEOUT(run(u"window.ended"_s).isValid()
                                 && !run(u"window.ended"_s).isNull(), CommandTimeout);
    const QVariantMap ended = run(u"window.ended"_s).toMap();
    QVERIFY(ended.value(u"same"_s).toBool());
    QCOMPARE(ended.value(u"output"_s).toString(), u"done\n"_s);
    QCOMPARE(ended.value(u"status"_s).toInt(), 4);
}

void tst_WidgetRuntime::asynchronousSystemReadsOutputAndTakesInput()
{
    show(writeBundle({{u"AllowSystem"_s, true}}));
    run(uR"(
        window.pieces = [];
        window.ended = null;
        var command = widget.system('cat', function (c) { window.ended = c.outputString; });
        command.onreadoutput = function (text) { window.pieces.push(text); };
        command.write('first ');
        command.write('second');
        command.close();)"_s);
    QTRY_COMPARE_WITH_TIMEOUT(run(u"window.ended"_s).toString(), u"first second"_s,
                              CommandTimeout);
    QCOMPARE(run(u"window.pieces.join('')"_s).toString(), u"first second"_s);
}

// The command is gone long before it would have ended, and its handler is
// never called.
void tst_WidgetRuntime::cancelledCommandEndsSilently()
{
    show(writeBundle({{u"AllowSystem"_s, true}}));
    run(uR"(
        window.ended = false;
        widget.system('sleep 30', function () { window.ended = true; }).cancel();)"_s);
    QTRY_VERIFY(m_window->runtime()->findChildren<SystemCommand *>().isEmpty());
    QVERIFY(!run(u"window.ended"_s).toBool());
}

void tst_WidgetRuntime::openURLHandsTheAddressToTheDesktop()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"https"_s, &catcher, "open");
    show(writeBundle());
    run(u"widget.openURL('https://example.org/river?station=1');"_s);
    QDesktopServices::unsetUrlHandler(u"https"_s);
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl(u"https://example.org/river?station=1"_s)});
}

void tst_WidgetRuntime::openApplicationStartsItsDesktopEntry()
{
    const QString marker = m_dir->filePath(u"started"_s);
    const QString entries = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    QVERIFY(Tree::write(entries, u"org.quillet.Probe.desktop"_s,
                        u"[Desktop Entry]\nType=Application\nName=Probe\nExec=touch %1 %U\n"_s
                            .arg(marker)
                            .toUtf8()));
    show(writeBundle());
    run(u"widget.openApplication('org.quillet.Probe');"_s);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), CommandTimeout);
}

void tst_WidgetRuntime::openApplicationIgnoresUnknownIdentifiers()
{
    show(writeBundle());
    QCOMPARE(run(u"widget.openApplication('com.example.NoSuchApplication'); 'still here'"_s)
                 .toString(),
             u"still here"_s);
}

void tst_WidgetRuntime::showAndHideReachThePage()
{
    show(writeBundle({}, uR"(<script>
        window.events = [];
        widget.onshow = function () { window.events.push('show'); };
        widget.onhide = function () { window.events.push('hide'); };
    </script>)"_s));

    m_window->hide();
    QTRY_COMPARE(run(u"window.events.join()"_s).toString(), u"hide"_s);
    m_window->show();
    QTRY_COMPARE(run(u"window.events.join()"_s).toString(), u"hide,show"_s);
}

void tst_WidgetRuntime::closeBoxOffsetIsClamped_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("inside") << u"20, 30"_s << QPoint(20, 30);
    QTest::newRow("too large") << u"150, 101"_s << QPoint(100, 100);
    QTest::newRow("negative") << u"-5, 7"_s << QPoint(0, 7);
    QTest::newRow("not numbers") << u"'x', null"_s << QPoint(0, 0);
}

void tst_WidgetRuntime::closeBoxOffsetIsClamped()
{
    QFETCH(QString, arguments);
    QFETCH(QPoint, expected);
    show(writeBundle());
    QSignalSpy requested(m_window->runtime(), &WidgetRuntime::closeBoxOffsetRequested);
    run(u"widget.setCloseBoxOffset(%1);"_s.arg(arguments));
    QCOMPARE(requested.count(), 1);
    QCOMPARE(requested.first().first().toPoint(), expected);
}

// The page turns over in the window's overlay, out of sight meanwhile, and
// is back in place showing its other side once the turn is over.
void tst_WidgetRuntime::transitionTurnsThePageOver()
{
    show(writeBundle({}, QString::fromUtf8(SidesPage)));
    auto *flip = m_window->findChild<FlipOverlay *>();
    QVERIFY(flip);
    QVERIFY(!flip->isVisible());
    QSignalSpy finished(flip, &FlipOverlay::finished);

    run(u"turn(true);"_s);

    QVERIFY(flip->isVisible());
    QVERIFY(!m_window->rect().intersects(m_window->widgetView()->geometry()));
    QTRY_VERIFY(flip->isTurning());
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(!flip->isVisible());
    QCOMPARE(m_window->widgetView()->geometry(), m_window->rect());
    QCOMPARE(run(u"getComputedStyle(document.getElementById('back')).display"_s).toString(),
             u"block"_s);
}

QUILLET_WEB_ENGINE_TEST_MAIN(tst_WidgetRuntime)
#include "tst_WidgetRuntime.moc"
