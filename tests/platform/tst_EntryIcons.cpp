// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/EntryIcons.h"
#include "platform/Images.h"

#include "tests/common/Tree.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_EntryIcons : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void filesShowTheirKind_data();
    void filesShowTheirKind();
    void kindsLookApart();

private:
    QIcon iconOf(const QString &name, const QByteArray &content);

    QTemporaryDir m_dir;
};

// Off screen there is no desktop and so no icon theme, as on a bare X server.
void tst_EntryIcons::initTestCase()
{
    Images::chooseIconTheme();
}

QIcon tst_EntryIcons::iconOf(const QString &name, const QByteArray &content)
{
    if (!Tree::write(m_dir.path(), name, content))
        return {};
    EntryIcons icons;
    return icons.cell(name, m_dir.filePath(name), false, Qt::DecorationRole).value<QIcon>();
}

void tst_EntryIcons::filesShowTheirKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("icon");
    QTest::newRow("page") << u"Widget.html"_s << QByteArray("<html></html>") << u"text-html"_s;
    QTest::newRow("script") << u"Widget.js"_s << QByteArray("var a;") << u"text-x-script"_s;
    QTest::newRow("image") << u"Default.png"_s << QByteArray() << u"image-x-generic"_s;
    QTest::newRow("no extension") << u"README"_s << QByteArray("words") << u"text-x-generic"_s;
}

void tst_EntryIcons::filesShowTheirKind()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, icon);
    const QIcon shown = iconOf(name, content);
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.name(), icon);
}

void tst_EntryIcons::kindsLookApart()
{
    const QImage page = iconOf(u"a.html"_s, "<html></html>").pixmap(16).toImage();
    const QImage picture = iconOf(u"b.png"_s, QByteArray()).pixmap(16).toImage();
    QVERIFY(!page.isNull());
    QVERIFY(page != picture);
}

QTEST_MAIN(tst_EntryIcons)
#include "tst_EntryIcons.moc"
