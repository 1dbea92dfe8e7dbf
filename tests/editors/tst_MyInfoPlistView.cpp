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

    void showsWhatItCanAndWritesNothingUntouched();
    void editedFields_data();
    void editedFields();
    void otherKeysSurviveAnEdit_data();
    void otherKeysSurviveAnEdit();
    void missingFileIsWrittenAnew();
    void unreadableFileOpensAsText();

private:
    MyInfoPlistView *open(const QByteArray &bytes)
    {
        return m_fixture->openView<MyInfoPlistView>(QStringLiteral("Info.plist"), bytes);
    }
    QString plistPath() const { return m_fixture->bundle() + QStringLiteral("/Info.plist"); }
    static void edit(MyInfoPlistView *view, const char *field, const QString &text);
    static QLineEdit *field(MyInfoPlistView *view, const char *name) { return view->findChild<QLineEdit *>(QLatin1String(name)); }
    static QCheckBox *box(MyInfoPlistView *view, const char *name) { return view->findChild<QCheckBox *>(QLatin1String(name)); }
    static bool save(MyInfoPlistView *view) { return DocumentController::shared().documentForWindow(view)->saveDocument(); }

    std::unique_ptr<DocumentFixture> m_fixture;
};

void tst_MyInfoPlistView::edit(MyInfoPlistView *view, const char *name, const QString &text)
{
    QLineEdit *line = field(view, name);
    QTest::keyClicks(line, QStringLiteral("x")); // so that clearing an empty field is an edit too
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    QTest::keyClicks(line, text);
}

// A value of a type its field cannot show is read-only there; access keys
// stored as strings mean what the widget runtime takes them for.
void tst_MyInfoPlistView::showsWhatItCanAndWritesNothingUntouched()
{
    const QByteArray odd = R"(<plist version="1.0"><dict>
        <key>CFBundleName</key><dict><key>x</key><string>y</string></dict>
        <key>Height</key><true/>
        <key>AllowSystem</key><string>YES</string>
        <key>AllowJava</key><string>NO</string>
        </dict></plist>)";
    MyInfoPlistView *view = open(Sample);
    QVERIFY(!box(view, "allowJavaBox")->isChecked());
    QVERIFY(box(view, "allowNetworkAccessBox")->isChecked());
    QCOMPARE(field(view, "widthField")->text(), QStringLiteral("300"));
    QCOMPARE(field(view, "fontsField")->text(), QStringLiteral("One.ttf, Two,Three.otf"));
    QVERIFY(save(view));
    QCOMPARE(Tree::read(plistPath()), Sample);
    QVERIFY(Tree::write(m_fixture->bundle(), QStringLiteral("Info.plist"), odd));
    view->openTheFile();
    QVERIFY(save(view));
    QCOMPARE(Tree::read(plistPath()), odd);
    QVERIFY(field(view, "bundleNameField")->isReadOnly());
    QVERIFY(field(view, "heightField")->isReadOnly());
    QVERIFY(box(view, "allowSystemBox")->isChecked());
    QVERIFY(!box(view, "allowJavaBox")->isChecked());
}

void tst_MyInfoPlistView::editedFields_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("saved"); // invalid: the key is removed
    QTest::newRow("width as a string") << QByteArray("widthField") << u"320"_qs << u"Width"_qs << QVariant(u"320"_qs);
    QTest::newRow("inset 12px") << QByteArray("closeBoxInsetXField") << u"12px"_qs << u"CloseBoxInsetX"_qs << QVariant(qint64(12));
    QTest::newRow("inset abc") << QByteArray("closeBoxInsetXField") << u"abc"_qs << u"CloseBoxInsetX"_qs << QVariant(qint64(0));
    QTest::newRow("negative inset") << QByteArray("closeBoxInsetYField") << u"-3"_qs << u"CloseBoxInsetY"_qs << QVariant(qint64(-3));
    QTest::newRow("inset cleared") << QByteArray("closeBoxInsetXField") << QString() << u"CloseBoxInsetX"_qs << QVariant();
    QTest::newRow("height cleared") << QByteArray("heightField") << QString() << u"Height"_qs << QVariant();
    QTest::newRow("empty version still written") << QByteArray("bundleVersionField") << QString() << u"CFBundleVersion"_qs << QVariant(QString());
    QTest::newRow("fonts split at comma and blank") << QByteArray("fontsField") << u"A.ttf, B,C.ttf"_qs << u"Fonts"_qs
                                                    << QVariant(QVariantList{u"A.ttf"_qs, u"B,C.ttf"_qs});
    // Keys the user did not change are never rewritten.
    QTest::newRow("untouched false flag kept") << QByteArray("pluginField") << u"x.plugin"_qs << u"AllowJava"_qs << QVariant(false);
    QTest::newRow("untouched main page not added") << QByteArray("pluginField") << QString() << u"MainHTML"_qs << QVariant();
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

// Every key the user did not change keeps its type, value and place: those
// the form does not show, values it cannot show, and what another program
// changed meanwhile. Binary files come back as XML.
void tst_MyInfoPlistView::otherKeysSurviveAnEdit_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("changedElsewhere");
    QTest::newRow("keys the form does not show") << Sample << false;
    QTest::newRow("changed elsewhere meanwhile") << Sample << true;
    QTest::newRow("binary") << Tree::read(QStringLiteral(QUILLET_TEST_DATA "/binary.plist")) << false;
    QTest::newRow("a real widget") << Tree::read(QStringLiteral(QUILLET_TEST_DATA "/corpus/To Do.wdgt/Info.plist")) << false;
    QTest::newRow("values the form cannot show")
        << QByteArray("<plist><dict><key>CFBundleName</key><dict/><key>Height</key><true/>"
                      "<key>AllowJava</key><string>YES</string></dict></plist>") << false;
}

void tst_MyInfoPlistView::otherKeysSurviveAnEdit()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, changedElsewhere);
    MyInfoPlistView *view = open(bytes);
    edit(view, "widthField", QStringLiteral("250"));
    box(view, "allowSystemBox")->click();
    if (changedElsewhere)
        QVERIFY(Tree::write(m_fixture->bundle(), QStringLiteral("Info.plist"), QByteArray(bytes).replace("1.0", "2.0")));
    QVariantMap expected = mapOf(plistPath());
    QVERIFY(save(view));
    expected.insert(QStringLiteral("Width"), QStringLiteral("250"));
    if (PropertyList::boolValue(expected.value(QStringLiteral("AllowSystem"))))
        expected.remove(QStringLiteral("AllowSystem"));
    else
        expected.insert(QStringLiteral("AllowSystem"), true);
    QCOMPARE(mapOf(plistPath()), expected);
    const QByteArray xml = Tree::read(plistPath());
    QVERIFY(xml.startsWith("<?xml"));
    QVERIFY(xml.indexOf("Zebra") <= xml.indexOf("AllowNetworkAccess"));
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
    auto *document = qobject_cast<MyDocument *>(DocumentController::shared().documentForWindow(view));
    notice->findChild<QPushButton *>()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto *text = qobject_cast<MyTextFileView *>(document->contentView()->viewFor(QStringLiteral("Info.plist")));
    QVERIFY(text);
    QCOMPARE(text->text(), QString::fromLatin1(broken));
}

QTEST_MAIN(tst_MyInfoPlistView)
#include "tst_MyInfoPlistView.moc"
