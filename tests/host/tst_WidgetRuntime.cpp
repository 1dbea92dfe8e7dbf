// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/FlipOverlay.h"
#include "host/SystemCommand.h"
#include "host/WidgetRuntime.h"

#include "tests/host/WidgetPage.h"

#include <QDesktopServices>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>

#include <csignal>

using WidgetPage::evaluate;

// Notes when it shows and hides, and has two sides to turn between. Its
// script needs the widget object before the page's scripts run.
const char RuntimePage[] = R"(
<style> body { margin: 0; } div { width: 200px; height: 100px; background: red; } #back { display: none; } </style>
<div id="front"></div><div id="back"></div>
<script> window.events = []; widget.onshow = function () { events.push('show'); };
  widget.onhide = function () { events.push('hide'); }; </script>)";

// Keys and values go into scripts as literals, whatever characters they hold.
static QString json(const QJsonValue &value)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)).chopped(1).sliced(1);
}

/// Stands in for the desktop's browser and file opener while it lives.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    UrlCatcher()
    {
        for (const QString &scheme : Schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCatcher() override
    {
        for (const QString &scheme : Schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    Q_INVOKABLE void open(const QUrl &url) { urls.append(url.toString()); }
    const QStringList Schemes{u"https"_s, u"file"_s};
    QStringList urls;
};

// The rows of each table share the page shown at the start.
class tst_WidgetRuntime : public QObject
{
    Q_OBJECT

    WidgetFixture m_f;
    QString m_bundle =
        m_f.bundle(u"Runtime"_s, {{u"CFBundleIdentifier"_s, u"org.quillet.test.Runtime"_s}, {u"AllowSystem"_s, true}},
                   QString::fromUtf8(RuntimePage));
    QString placed(QString text) const { return text.replace(u"@dir@"_s, m_f.dir.path()); }

private slots:
    void initTestCase() { QVERIFY(m_f.show(m_bundle)); }
    void init() { WidgetPage::log().clear(); }

    void preferences_data()
    {
        columns<QStringList, QString>("values", "expected");
        QTest::newRow("empty string") << QStringList{u"''"_s} << u"\"\""_s;
        QTest::newRow("unicode") << QStringList{u"'Gr\u00fc\u00dfe \u2603'"_s} << u"\"Gr\u00fc\u00dfe \u2603\""_s;
        QTest::newRow("number stays a number") << QStringList{u"42.5"_s} << u"42.5"_s;
        QTest::newRow("false stays a boolean") << QStringList{u"false"_s} << u"false"_s;
        QTest::newRow("object becomes its string") << QStringList{u"({ a: 1 })"_s} << u"\"[object Object]\""_s;
        QTest::newRow("null removes it") << QStringList{u"'kept'"_s, u"null"_s} << u"undefined"_s;
        QTest::newRow("undefined removes it") << QStringList{u"'kept'"_s, u"undefined"_s} << u"undefined"_s;
        QTest::newRow("never set") << QStringList() << u"undefined"_s;
    }
    // What the page reads back is what was kept on disk, in the preview's
    // store and not in that of installed widgets.
    void preferences()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, expected);
        const QString key = u"a/key with [odd] chars\\ % "_s + QString::fromLatin1(QTest::currentDataTag());
        for (const QString &value : values)
            m_f.run(u"widget.setPreferenceForKey(%1, %2);"_s.arg(value, json(key)));

        QCOMPARE(m_f.run(u"String(JSON.stringify(widget.preferenceForKey(%1)))"_s.arg(json(key))).toString(), expected);
        const auto stored =
            WidgetPreferences(WidgetPreferences::Store::Preview, u"org.quillet.test.Runtime"_s).value(key);
        QCOMPARE(stored ? json(*stored) : u"undefined"_s, expected);
        QVERIFY(!WidgetPreferences(WidgetPreferences::Store::Installed, u"org.quillet.test.Runtime"_s).value(key));
    }

    // Every page calls the same address; each must still reach its own runtime.
    void pagesShownTogetherKeepTheirOwnWidget()
    {
        const QString plain = m_f.bundle(u"Plain"_s);
        BorderlessWindow other;
        QVERIFY(WidgetPage::show(other, plain));

        m_f.run(u"widget.setPreferenceForKey('trusted', 'who');"_s);
        evaluate(other, u"widget.setPreferenceForKey('plain', 'who');"_s);

        const QString facts = u"[widget.preferenceForKey('who'), typeof widget.system, widget.identifier].join()"_s;
        QCOMPARE(m_f.run(facts).toString(), u"trusted,function,"_s + WidgetBundle::read(m_bundle).folderIdentifier());
        QCOMPARE(evaluate(other, facts).toString(),
                 u"plain,undefined,"_s + WidgetBundle::read(plain).folderIdentifier());
    }

    void system_data()
    {
        columns<QString, QString>("script", "expected");
        QTest::newRow("synchronous: output, errors and status")
            << u"var c = widget.system('printf out; printf err >&2; exit 3', null);"
               " result = [c.outputString, c.errorString, c.status].join();"_s
            << u"out,err,3"_s;
        QTest::newRow("synchronous: nothing printed is undefined")
            << u"var c = widget.system('true'); result = [c.outputString === undefined, c.errorString == null].join();"_s
            << u"true,true"_s;
        QTest::newRow("synchronous: in the bundle")
            << u"result = widget.system('pwd -P').outputString;"_s << QFileInfo(m_bundle).canonicalFilePath() + u'\n';
        QTest::newRow("asynchronous: the handler gets the ended command") << uR"(
            var ended = function (c) { result = [started, c === command, c.outputString, c.status].join(); };
            var command = widget.system('sleep 0.2; echo done; exit 4', ended);
            var started = command.status + ' ' + typeof command.cancel;)"_s
                                                                          << u"undefined function,true,done\n,4"_s;
        QTest::newRow("asynchronous: output as it comes, and input") << uR"(
            var pieces = [];
            var command = widget.system('cat', function (c) { result = pieces.join('') + ',' + c.outputString; });
            command.onreadoutput = function (text) { pieces.push(text); };
            command.write('first '); command.write('second'); command.close();)"_s
                                                                     << u"first second,first second"_s;
    }
    // No command outlives its row.
    void system()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        m_f.run(u"window.result = null; (function () {"_s + script + u"})();"_s);

        QTRY_COMPARE_WITH_TIMEOUT(m_f.run(u"window.result"_s).toString(), expected, 10000);
        QTRY_VERIFY(m_f.window.runtime()->findChildren<SystemCommand *>().isEmpty());
    }

    // Its handler is never called, and nothing it started runs on.
    void cancelEndsTheWholeCommand()
    {
        m_f.run(uR"(window.result = null;
            var command = widget.system('sleep 30 & echo $!; wait', function () { result = 'ended'; });
            command.onreadoutput = function (pid) { command.cancel(); result = pid.trim(); };)"_s);
        QTRY_VERIFY(m_f.run(u"window.result"_s).toInt() > 0);
        const int pid = m_f.run(u"window.result"_s).toInt();
        const auto running = [pid] {
            const QByteArray stat = Tree::read(u"/proc/%1/stat"_s.arg(pid));
            return stat.contains("(sleep)") && !stat.contains(") Z ");
        };
        const auto reap = qScopeGuard([&] {
            if (running())
                ::kill(pid, SIGKILL);
        });
        QTRY_VERIFY(m_f.window.runtime()->findChildren<SystemCommand *>().isEmpty());
        QCOMPARE(m_f.run(u"window.result"_s).toInt(), pid);
        QTRY_VERIFY_WITH_TIMEOUT(!running(), 500);
    }

    void desktop_data()
    {
        columns<QString, QString>("script", "expected");
        QTest::newRow("web address") << u"widget.openURL('https://example.org/river?station=1')"_s
                                     << u"https://example.org/river?station=1"_s;
        QTest::newRow("address relative to the page")
            << u"widget.openURL('help.html')"_s << u"file://@dir@/Runtime.wdgt/help.html"_s;
        QTest::newRow("file outside, without the key")
            << u"widget.openURL('file://@dir@/outside.txt')"_s
            << u"quillet: Runtime: file @dir@/outside.txt blocked (AllowFileAccessOutsideOfWidget is not set)"_s;
        QTest::newRow("a scheme other than web, mail or file")
            << u"widget.openURL('javascript:alert(1)')"_s
            << u"quillet: Runtime: address javascript:alert(1) blocked (only web, mail and file addresses open)"_s;
        QTest::newRow("application") << u"widget.openApplication('org.quillet.Probe')"_s << u"Probe started"_s;
        QTest::newRow("unknown application")
            << u"widget.openApplication('com.example.Missing')"_s
            << u"quillet: Runtime: application com.example.Missing not opened: no installed application answers to it"_s;
    }
    // What reached the desktop: addresses opened, refusals, applications started.
    void desktop()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        const QString marker = m_f.dir.filePath(u"started"_s);
        QFile::remove(marker);
        QVERIFY(Tree::write(m_f.dir.path(), u"outside.txt"_s, "outside"));
        QVERIFY(Tree::write(
            QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation), u"org.quillet.Probe.desktop"_s,
            u"[Desktop Entry]\nType=Application\nName=Probe\nExec=touch %1 %U\n"_s.arg(marker).toUtf8()));
        UrlCatcher catcher;

        QCOMPARE(m_f.run(placed(script) + u"; 'answered'"_s).toString(), u"answered"_s);

        QTRY_COMPARE_WITH_TIMEOUT((catcher.urls + WidgetPage::log().filter(QRegularExpression(u"blocked|not opened"_s))
                                   + (QFileInfo::exists(marker) ? QStringList{u"Probe started"_s} : QStringList()))
                                      .join(u'\n'),
                                  placed(expected), 10000);
    }

    void macFacesHaveStandIns_data()
    {
        columns<QString, QString>("named", "standIn");
        for (const QString &sans : {u"Lucida Grande"_s, u"Helvetica Neue"_s, u"Helvetica"_s, u"Geneva"_s, u"Arial"_s})
            QTest::newRow(qPrintable(sans)) << sans << u"Liberation Sans"_s;
        QTest::newRow("Verdana") << u"Verdana"_s << u"DejaVu Sans"_s;
        QTest::newRow("Times") << u"Times"_s << u"Liberation Serif"_s;
        QTest::newRow("Monaco") << u"Monaco"_s << u"DejaVu Sans Mono"_s;
    }
    // A face the era's widgets name is drawn as an installed face of about
    // its width, never in the engine's serif default.
    void macFacesHaveStandIns()
    {
        QFETCH(QString, named);
        QFETCH(QString, standIn);
        const QString width = uR"((function (family) {
            var s = document.body.appendChild(document.createElement('span'));
            s.style.font = '13px ' + family; s.textContent = 'Hamburgefonstiv 0123';
            var w = s.getBoundingClientRect().width; s.remove(); return String(w); }))"_s;
        const auto measured = [&](const QString &family) {
            return m_f.run(width + u"(\"'%1'\")"_s.arg(family)).toString();
        };
        QCOMPARE(measured(named), measured(standIn));
        QVERIFY(measured(named) != measured(u"serif"_s));
    }

    void showAndHideReachThePage()
    {
        m_f.run(u"window.events = [];"_s);
        m_f.window.hide();
        QTRY_COMPARE(m_f.run(u"window.events.join()"_s).toString(), u"hide"_s);
        m_f.window.show();
        QTRY_COMPARE(m_f.run(u"window.events.join()"_s).toString(), u"hide,show"_s);
    }

    // The page turns over in the window's overlay, out of sight meanwhile, and
    // is back in place showing its other side once the turn is over.
    void transitionTurnsThePageOver()
    {
        auto *flip = m_f.window.findChild<FlipOverlay *>();
        QVERIFY(flip && !flip->isVisible());
        QSignalSpy finished(flip, &FlipOverlay::finished);

        m_f.run(u"widget.prepareForTransition('ToBack'); front.style.display = 'none'; back.style.display = 'block';"
                " setTimeout('widget.performTransition()', 0);"_s);

        QVERIFY(flip->isVisible());
        QVERIFY(!m_f.window.rect().intersects(m_f.window.widgetView()->geometry()));
        QTRY_VERIFY(flip->isTurning());
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(!flip->isVisible());
        QCOMPARE(m_f.window.widgetView()->geometry(), m_f.window.rect());
        QCOMPARE(m_f.run(u"getComputedStyle(document.getElementById('back')).display"_s).toString(), u"block"_s);
    }
};

QTEST_MAIN(tst_WidgetRuntime)
#include "tst_WidgetRuntime.moc"
