// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/GlobalShortcut.h"

#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// On an X11 display, pressed as a user presses it, whichever window has the
// keyboard.
class tst_GlobalShortcut : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != u"xcb")
            QSKIP("needs an X11 display");
    }

    void keys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("pressed"); // as xdotool names it; none when the key is not had
        QTest::newRow("a function key") << u"F12"_s << u"F12"_s;
        QTest::newRow("with modifiers") << u"Ctrl+Alt+K"_s << u"ctrl+alt+k"_s;
        QTest::newRow("two keys in turn") << u"Ctrl+K, Ctrl+L"_s << QString();
        QTest::newRow("a key of no kind grabbed") << u"Ctrl+Left"_s << QString();
    }
    void keys()
    {
        QFETCH(QString, key);
        QFETCH(QString, pressed);
        GlobalShortcut shortcut;
        QSignalSpy activated(&shortcut, &GlobalShortcut::activated);
        QCOMPARE(shortcut.setKey(QKeySequence::fromString(key)), !pressed.isEmpty());
        QCOMPARE(shortcut.problem().isEmpty(), !pressed.isEmpty());
        if (pressed.isEmpty())
            return;
        QCOMPARE(QProcess::execute(u"xdotool"_s, {u"key"_s, u"shift+a"_s, pressed}), 0);
        QTRY_COMPARE(activated.count(), 1);
        // Let go, it no longer answers.
        QVERIFY(!shortcut.setKey({}));
        QCOMPARE(QProcess::execute(u"xdotool"_s, {u"key"_s, pressed}), 0);
        QTest::qWait(200);
        QCOMPARE(activated.count(), 1);
    }
};

QTEST_MAIN(tst_GlobalShortcut)
#include "tst_GlobalShortcut.moc"
