// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/MyInfoPlistView.h"
#include "editors/MyTextFileView.h"
#include "editors/NoticeBar.h"

#include "platform/PropertyList.h"

#include "tests/common/DocumentFixture.h"
#include "tests/common/Tree.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#ifndef QUILLET_TEST_DATA
#error "QUILLET_TEST_DATA must name the test data folder"
#endif

namespace {

const QByteArray Sample = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>Zebra</key>
	<real>2.5</real>
	<key>AllowJava</key>
	<false/>
	<key>AllowNetworkAccess</key>
	<true/>
	<key>Width</key>
	<integer>300</integer>
	<key>CloseBoxInsetX</key>
	<integer>4</integer>
	<key>Fonts</key>
	<array><string>One.ttf</string><string>Two,Three.otf</string></array>
	<key>DefaultImage</key>
	<string>Default</string>
	<key>When</key>
	<date>2020-05-17T12:30:00Z</date>
	<key>CFBundleVersion</key>
	<string>1.0</string>
</dict>
</plist>
)";

QVariantMap mapOf(const QString &path)
{
    return PropertyList::read(path).value_or(QVariant()).toMap();
}

} // namespace

class tst_MyInfoPlistView : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture = std::make_unique<DocumentFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void showsTheFile();
    void editedFields_data();
    void editedFields();
    void untouchedFormNeverRewrites();
    void keysTheFormDoesNotShowSurvive();
    void binaryOpensAndSavesAsXml();
    void missingFileIsWrittenAnew();
    void changeElsewhereToOtherKeysSurvives();
    void oddValuesAreKept();
    void unreadableFileOpensAsText();
    void realWidgetKeepsEveryOtherKey();

private:
    MyInfoPlistView *open(const QByteArray &bytes)
    {
        return m_fixture->openView<MyInfoPlistView>(QStringLiteral("Info.plist"), bytes);
    }
    QString plistPath() const { return m_fixture->bundle() + QStringLiteral("/Info.plist"); }
    static void edit(MyInfoPlistView *view, const char *field, const QString &text);
    static bool save(MyInfoPlistView *view)
    {
        return DocumentController::shared().documentForWindow(view)->saveDocument();
    }

    std::unique_ptr<DocumentFixture> m_fixture;
};

void tst_MyInfoPlistView::edit(MyInfoPlistView *view, const char *field, const QString &text)
{
    auto *line = view->findChild<QLineEdit *>(QString::fromLatin1(field));
    QTest::keyClicks(line, QStringLiteral("x")); // so that clearing an empty field is an edit too
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    QTest::keyClicks(line, text);
}

void tst_MyInfoPlistView::showsTheFile()
{
    MyInfoPlistView *view = open(Sample);
    QVERIFY(view);
    QCOMPARE(view->viewIdentifier(), QStringLiteral("Info.plist"));
    QVERIFY(!view->findChild<QCheckBox *>(QStringLiteral("allowJavaBox"))->isChecked());
    QVERIFY(view->findChild<QCheckBox *>(QStringLiteral("allowNetworkAccessBox"))->isChecked());
    QCOMPARE(view->findChild<QLineEdit *>(QStringLiteral("widthField"))->text(), QStringLiteral("300"));
    QCOMPARE(view->findChild<QLineEdit *>(QStringLiteral("fontsField"))->text(), QStringLiteral("One.ttf, Two,Three.otf"));
    QVERIFY(!view->searchString(QStringLiteral("One")));
    QVERIFY(!view->isEdited());
}

void tst_MyInfoPlistView::editedFields_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("saved"); // invalid: the key is removed
    QTest::newRow("width as a string") << QByteArray("widthField") << QStringLiteral("320") << QStringLiteral("Width") << QVariant(QStringLiteral("320"));
    QTest::newRow("inset 12px") << QByteArray("closeBoxInsetXField") << QStringLiteral("12px") << QStringLiteral("CloseBoxInsetX") << QVariant(qint64(12));
    QTest::newRow("inset abc") << QByteArray("closeBoxInsetXField") << QStringLiteral("abc") << QStringLiteral("CloseBoxInsetX") << QVariant(qint64(0));
    QTest::newRow("negative inset") << QByteArray("closeBoxInsetYField") << QStringLiteral("-3") << QStringLiteral("CloseBoxInsetY") << QVariant(qint64(-3));
    QTest::newRow("inset cleared") << QByteArray("closeBoxInsetXField") << QString() << QStringLiteral("CloseBoxInsetX") << QVariant();
    QTest::newRow("height cleared") << QByteArray("heightField") << QString() << QStringLiteral("Height") << QVariant();
    QTest::newRow("empty version still written") << QByteArray("bundleVersionField") << QString() << QStringLiteral("CFBundleVersion") << QVariant(QString());
    QTest::newRow("fonts split at comma and blank") << QByteArray("fontsField") << QStringLiteral("A.ttf, B,C.ttf")
                                                    << QStringLiteral("Fonts") << QVariant(QVariantList{QStringLiteral("A.ttf"), QStringLiteral("B,C.ttf")});
    // Keys the user did not change are never rewritten.
    QTest::newRow("untouched false flag kept") << QByteArray("pluginField") << QStringLiteral("x.plugin") << QStringLiteral("AllowJava") << QVariant(false);
    QTest::newRow("untouched main page not added") << QByteArray("pluginField") << QString() << QStringLiteral("MainHTML") << QVariant();
}

void tst_MyInfoPlistView::editedFields()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, typed);
    QFETCH(QString, key);
    QFETCH(QVariant, saved);
    MyInfoPlistView *view = open(Sample);
    edit(view, field.constData(), typed);
    QVERIFY(view->isEdited());
    QVERIFY(save(view));
    const QVariantMap map = mapOf(plistPath());
    QCOMPARE(map.contains(key), saved.isValid());
    if (saved.isValid())
        QCOMPARE(map.value(key), saved);
    QVERIFY(Tree::read(plistPath()).startsWith("<?xml"));
    QVERIFY(!view->isEdited());
}

void tst_MyInfoPlistView::untouchedFormNeverRewrites()
{
    MyInfoPlistView *view = open(Sample);
    QVERIFY(save(view));
    QCOMPARE(Tree::read(plistPath()), Sample);
}

void tst_MyInfoPlistView::keysTheFormDoesNotShowSurvive()
{
    MyInfoPlistView *view = open(Sample);
    // Unchanged fields are written back in their own form (the fonts list round-trips).
    view->findChild<QCheckBox *>(QStringLiteral("allowSystemBox"))->click();
    QVERIFY(save(view));
    const QVariantMap before = PropertyList::parse(Sample)->toMap();
    const QVariantMap after = mapOf(plistPath());
    for (const char *key : {"Zebra", "DefaultImage", "When", "Fonts", "AllowNetworkAccess", "CloseBoxInsetX"})
        QCOMPARE(after.value(QString::fromLatin1(key)), before.value(QString::fromLatin1(key)));
    QCOMPARE(after.value(QStringLiteral("AllowSystem")), QVariant(true));
    // Keys keep their place in the file.
    const QByteArray xml = Tree::read(plistPath());
    QVERIFY(xml.indexOf("Zebra") < xml.indexOf("AllowNetworkAccess"));
    QVERIFY(xml.indexOf("DefaultImage") < xml.indexOf("When"));
}

void tst_MyInfoPlistView::binaryOpensAndSavesAsXml()
{
    MyInfoPlistView *view = open(Tree::read(QStringLiteral(QUILLET_TEST_DATA "/binary.plist")));
    QCOMPARE(view->findChild<QLineEdit *>(QStringLiteral("heightField"))->text(), QStringLiteral("150"));
    edit(view, "widthField", QStringLiteral("400"));
    QVERIFY(save(view));
    QVERIFY(Tree::read(plistPath()).startsWith("<?xml"));
    const QVariantMap map = mapOf(plistPath());
    QCOMPARE(map.value(QStringLiteral("Width")), QVariant(QStringLiteral("400")));
    QCOMPARE(map.value(QStringLiteral("Blob")).toByteArray(), QByteArray("\x00\x01\xff", 3));
}

// A deleted Info.plist is written anew from the whole form.
void tst_MyInfoPlistView::missingFileIsWrittenAnew()
{
    MyInfoPlistView *view = open(Sample);
    QVERIFY(QFile::remove(plistPath()));
    edit(view, "widthField", QStringLiteral("10"));
    QVERIFY(save(view));
    const QVariantMap map = mapOf(plistPath());
    QCOMPARE(map.value(QStringLiteral("Width")), QVariant(QStringLiteral("10")));
    QCOMPARE(map.value(QStringLiteral("CFBundleVersion")), QVariant(QStringLiteral("1.0")));
    QCOMPARE(map.value(QStringLiteral("AllowNetworkAccess")), QVariant(true));
}

// Another program's change to keys the user left alone survives the save.
void tst_MyInfoPlistView::changeElsewhereToOtherKeysSurvives()
{
    MyInfoPlistView *view = open(Sample);
    edit(view, "widthField", QStringLiteral("320"));
    QByteArray changed = Sample;
    changed.replace("<string>1.0</string>", "<string>2.0</string>");
    QVERIFY(Tree::write(m_fixture->bundle(), QStringLiteral("Info.plist"), changed));
    QVERIFY(save(view));
    const QVariantMap map = mapOf(plistPath());
    QCOMPARE(map.value(QStringLiteral("CFBundleVersion")), QVariant(QStringLiteral("2.0")));
    QCOMPARE(map.value(QStringLiteral("Width")), QVariant(QStringLiteral("320")));
}

// Values the form cannot show are read-only there and never rewritten;
// access keys stored as strings mean what the widget runtime takes them for.
void tst_MyInfoPlistView::oddValuesAreKept()
{
    MyInfoPlistView *view = open(R"(<plist version="1.0"><dict>
        <key>CFBundleName</key><dict><key>x</key><string>y</string></dict>
        <key>Height</key><true/>
        <key>AllowSystem</key><string>YES</string>
        <key>AllowJava</key><string>NO</string>
        </dict></plist>)");
    QVERIFY(view->findChild<QLineEdit *>(QStringLiteral("bundleNameField"))->isReadOnly());
    QVERIFY(view->findChild<QLineEdit *>(QStringLiteral("heightField"))->isReadOnly());
    QVERIFY(view->findChild<QCheckBox *>(QStringLiteral("allowSystemBox"))->isChecked());
    QVERIFY(!view->findChild<QCheckBox *>(QStringLiteral("allowJavaBox"))->isChecked());
    const QVariantMap before = mapOf(plistPath());
    edit(view, "widthField", QStringLiteral("200"));
    QVERIFY(save(view));
    QVariantMap expected = before;
    expected.insert(QStringLiteral("Width"), QStringLiteral("200"));
    QCOMPARE(mapOf(plistPath()), expected);
}

// A file that is not a property list is never written; it can be repaired as text.
void tst_MyInfoPlistView::unreadableFileOpensAsText()
{
    const QByteArray broken = "<plist><dict><key>Width</key>";
    MyInfoPlistView *view = open(broken);
    const auto *notice = view->findChild<NoticeBar *>();
    QVERIFY(notice->isVisibleTo(view));
    QVERIFY(notice->message().contains(QStringLiteral("can’t be read as a property list")));
    QVERIFY(save(view));
    QCOMPARE(Tree::read(plistPath()), broken);
    MyDocument *document = qobject_cast<MyDocument *>(DocumentController::shared().documentForWindow(view));
    notice->findChild<QPushButton *>()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto *text = qobject_cast<MyTextFileView *>(
        document->fileListController()->contentViewWithIdentifier(QStringLiteral("Info.plist")));
    QVERIFY(text);
    QCOMPARE(text->text(), QString::fromLatin1(broken));
}

void tst_MyInfoPlistView::realWidgetKeepsEveryOtherKey()
{
    const QByteArray original = Tree::read(QStringLiteral(QUILLET_TEST_DATA "/corpus/To Do.wdgt/Info.plist"));
    MyInfoPlistView *view = open(original);
    edit(view, "widthField", QStringLiteral("250"));
    view->findChild<QCheckBox *>(QStringLiteral("allowJavaBox"))->click();
    QVERIFY(save(view));
    QVariantMap expected = PropertyList::parse(original)->toMap();
    expected.insert(QStringLiteral("Width"), QStringLiteral("250"));
    expected.insert(QStringLiteral("AllowJava"), !expected.value(QStringLiteral("AllowJava")).toBool());
    if (!expected.value(QStringLiteral("AllowJava")).toBool())
        expected.remove(QStringLiteral("AllowJava"));
    QCOMPARE(mapOf(plistPath()), expected);
}

QTEST_MAIN(tst_MyInfoPlistView)
#include "tst_MyInfoPlistView.moc"
