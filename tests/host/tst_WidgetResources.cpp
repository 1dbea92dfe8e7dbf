// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/BorderlessWindow.h"
#include "host/LocalizedResource.h"

#include "tests/common/TestHome.h"
#include "tests/common/Tree.h"
#include "tests/host/MessageLog.h"
#include "tests/host/TestBundle.h"
#include "tests/host/WebEngineTestMain.h"
#include "tests/host/WidgetPage.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using WidgetPage::evaluate;

namespace {

const QString SharedFolder = u"file:///System/Library/WidgetResources/"_s;

// A page that loads `scripts` in order and records in window.loaded and
// window.failed which of them loaded.
QString pageLoading(const QStringList &scripts)
{
    QString body = u"<script>window.loaded = []; window.failed = [];</script>"_s;
    for (const QString &script : scripts) {
        body += u"<script src=\"%1\" onload=\"loaded.push('%1')\" onerror=\"failed.push('%1')\">"
                "</script>"_s.arg(script);
    }
    return body;
}

} // namespace

class tst_WidgetResources : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sharedScriptsDefineTheirClasses_data();
    void sharedScriptsDefineTheirClasses();
    void sharedImagesLoad_data();
    void sharedImagesLoad();
    void missingSharedResourceFailsCleanly();
    void sharedClassesBehave_data();
    void sharedClassesBehave();
    void localizedFolderStandsInForTheTop_data();
    void localizedFolderStandsInForTheTop();
    void localizedFolderNamesFollowTheLanguage();
    void imagesTheEngineCannotDecodeArriveAsPng_data();
    void imagesTheEngineCannotDecodeArriveAsPng();

private:
    QString writeBundle(const QString &body, const QVariantMap &keys = {});

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<BorderlessWindow> m_window;
    std::unique_ptr<MessageLog> m_log;
};

void tst_WidgetResources::init()
{
    m_home = std::make_unique<TestHome>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_window = std::make_unique<BorderlessWindow>();
    m_log = std::make_unique<MessageLog>();
}

void tst_WidgetResources::cleanup()
{
    QLocale::setDefault(QLocale::system());
    m_log.reset();
    m_window.reset();
    m_dir.reset();
    m_home.reset();
}

QString tst_WidgetResources::writeBundle(const QString &body, const QVariantMap &keys)
{
    QVariantMap info = keys;
    info.insert(u"CFBundleName"_s, u"Resources"_s);
    const QString bundle = TestBundle::write(m_dir->filePath(u"Resources.wdgt"_s),
                                             QSize(300, 200), u"Resources"_s, info);
    TestBundle::writePage(bundle, u"main.html"_s, u"Resources"_s, body);
    return bundle;
}

void tst_WidgetResources::sharedScriptsDefineTheirClasses_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("globals");
    QTest::newRow("AppleAnimator")
        << u"AppleClasses/AppleAnimator.js"_s
        << QStringList{u"AppleAnimator"_s, u"AppleAnimation"_s, u"AppleRect"_s,
                       u"AppleRectAnimation"_s};
    QTest::newRow("AppleButton") << u"AppleClasses/AppleButton.js"_s
                                 << QStringList{u"AppleButton"_s, u"AppleGlassButton"_s};
    QTest::newRow("AppleInfoButton") << u"AppleClasses/AppleInfoButton.js"_s
                                     << QStringList{u"AppleInfoButton"_s};
    QTest::newRow("AppleScrollArea") << u"AppleClasses/AppleScrollArea.js"_s
                                     << QStringList{u"AppleScrollArea"_s};
    QTest::newRow("AppleScrollbar")
        << u"AppleClasses/AppleScrollbar.js"_s
        << QStringList{u"AppleScrollbar"_s, u"AppleVerticalScrollbar"_s,
                       u"AppleHorizontalScrollbar"_s};
    QTest::newRow("genericButton") << u"button/genericButton.js"_s
                                   << QStringList{u"createGenericButton"_s};
}

void tst_WidgetResources::sharedScriptsDefineTheirClasses()
{
    QFETCH(QString, script);
    QFETCH(QStringList, globals);
    QVERIFY(WidgetPage::showAndWait(*m_window, writeBundle(pageLoading({SharedFolder + script}))));

    QCOMPARE(evaluate(*m_window, u"loaded.length"_s).toInt(), 1);
    for (const QString &name : globals)
        QCOMPARE(evaluate(*m_window, u"typeof "_s + name).toString(), u"function"_s);
    QVERIFY(MessageLog::containing(u"not available"_s).isEmpty());
}

void tst_WidgetResources::sharedImagesLoad_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<QSize>("size");
    QTest::newRow("resize grip") << u"resize.png"_s << QSize(12, 12);
    QTest::newRow("white i") << u"ibutton/white_i.png"_s << QSize(13, 13);
    QTest::newRow("black i") << u"ibutton/black_i.png"_s << QSize(13, 13);
    QTest::newRow("white disc") << u"ibutton/white_rollie.png"_s << QSize(13, 13);
    QTest::newRow("black disc") << u"ibutton/black_rollie.png"_s << QSize(13, 13);
}

void tst_WidgetResources::sharedImagesLoad()
{
    QFETCH(QString, image);
    QFETCH(QSize, size);
    QVERIFY(WidgetPage::showAndWait(
        *m_window, writeBundle(u"<img id=\"shared\" src=\"%1\">"_s.arg(SharedFolder + image))));
    QTRY_COMPARE(evaluate(*m_window, u"document.getElementById('shared').complete"_s).toBool(),
                 true);
    QCOMPARE(evaluate(*m_window, u"document.getElementById('shared').naturalWidth"_s).toInt(),
             size.width());
    QCOMPARE(evaluate(*m_window, u"document.getElementById('shared').naturalHeight"_s).toInt(),
             size.height());
}

void tst_WidgetResources::missingSharedResourceFailsCleanly()
{
    QVERIFY(WidgetPage::showAndWait(
        *m_window, writeBundle(pageLoading({SharedFolder + u"AppleClasses/AppleSlider.js"_s,
                                            SharedFolder + u"AppleClasses/AppleAnimator.js"_s}))));

    QCOMPARE(evaluate(*m_window, u"failed.length + ' ' + loaded.length"_s).toString(),
             u"1 1"_s);
    QCOMPARE(MessageLog::containing(u"not available"_s),
             QStringList{u"quillet: Resources: /System/Library/WidgetResources/"
                         "AppleClasses/AppleSlider.js is not available"_s});
}

// Each script answers true when the class did what its documentation says.
void tst_WidgetResources::sharedClassesBehave_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("check");
    QTest::newRow("animator ends on the end value") << uR"(
        window.values = [];
        new AppleAnimator(100, 10, 1, 0, function (a, now, from, to) {
            values.push([now, from, to]);
        }).start();)"_s
        << u"values.length > 1 && values[values.length - 1].join() === '0,1,0'"
           " && values.every(function (v) { return v[0] >= 0 && v[0] <= 1; })"_s;
    QTest::newRow("animator calls oncomplete once") << uR"(
        window.completed = 0;
        var animator = new AppleAnimator(50, 10);
        animator.addAnimation(new AppleRectAnimation(new AppleRect(0, 0, 10, 10),
                                                     new AppleRect(10, 20, 30, 40),
                                                     function (a, now) { window.rect = now; }));
        animator.oncomplete = function () { ++completed; };
        animator.start();)"_s
        << u"completed === 1 && rect.left === 10 && rect.bottom === 40"_s;
    QTest::newRow("glass button clicks") << uR"(
        window.clicks = 0;
        var holder = document.body.appendChild(document.createElement('div'));
        var button = new AppleGlassButton(holder, 'Done', function () { ++clicks; });
        var face = holder.firstChild;
        var box = face.getBoundingClientRect();
        var options = { bubbles: true, button: 0, clientX: box.left + 5, clientY: box.top + 5 };
        face.dispatchEvent(new MouseEvent('mousedown', options));
        face.dispatchEvent(new MouseEvent('mouseup', options));
        button.setEnabled(false);
        face.dispatchEvent(new MouseEvent('mousedown', options));
        face.dispatchEvent(new MouseEvent('mouseup', options));)"_s
        << u"clicks === 1 && button.textElement.textContent === 'Done'"_s;
    QTest::newRow("info button shows over the front and clicks") << uR"(
        window.clicks = 0;
        var front = document.body.appendChild(document.createElement('div'));
        var flipper = front.appendChild(document.createElement('div'));
        new AppleInfoButton(flipper, front, 'black', 'white', function () { ++clicks; });
        window.before = flipper.style.opacity;
        front.dispatchEvent(new MouseEvent('mousemove', { bubbles: true }));
        window.after = flipper.style.opacity;
        flipper.firstChild.dispatchEvent(new MouseEvent('click', { bubbles: true }));)"_s
        << u"clicks === 1 && before === '0' && after === '1'"_s;
    QTest::newRow("scroll area follows its scroll bar") << uR"(
        var content = document.body.appendChild(document.createElement('div'));
        content.style.cssText = 'position: absolute; left: 0; top: 0; width: 100px; height: 100px;';
        content.innerHTML = '<div style="height: 400px">tall</div>';
        var bar = document.body.appendChild(document.createElement('div'));
        bar.style.cssText = 'position: absolute; left: 120px; top: 0; width: 15px; height: 100px;';
        window.scrollbar = new AppleVerticalScrollbar(bar);
        window.area = new AppleScrollArea(content, scrollbar);
        area.verticalScrollTo(150);)"_s
        << u"content.scrollTop === 150 && !scrollbar.hidden && area._scrollbars[0] === scrollbar"
           " && Math.abs(area.viewToContentHeightRatio - 0.25) < 0.01"
           " && parseInt(scrollbar._thumb.element.style.top) > 0"_s;
    QTest::newRow("scroll bar hides through its prototype when all fits") << uR"(
        window.hiddenBy = '';
        AppleScrollbar.prototype.hide = function () { this.hidden = true; hiddenBy = 'widget'; };
        var content = document.body.appendChild(document.createElement('div'));
        content.style.cssText = 'width: 100px; height: 100px;';
        var bar = document.body.appendChild(document.createElement('div'));
        window.scrollbar = new AppleVerticalScrollbar(bar);
        new AppleScrollArea(content, scrollbar);)"_s
        << u"scrollbar.hidden && hiddenBy === 'widget'"_s;
    QTest::newRow("generic button clicks") << uR"(
        window.clicks = 0;
        var holder = document.body.appendChild(document.createElement('div'));
        createGenericButton(holder, 'Done', function () { ++clicks; });
        holder.firstChild.click();)"_s
        << u"clicks === 1 && holder.textContent === 'Done'"_s;
}

void tst_WidgetResources::sharedClassesBehave()
{
    QFETCH(QString, setup);
    QFETCH(QString, check);
    QStringList scripts;
    for (const QString &name : {u"AppleAnimator"_s, u"AppleButton"_s, u"AppleInfoButton"_s,
                                u"AppleScrollbar"_s, u"AppleScrollArea"_s})
        scripts.append(SharedFolder + u"AppleClasses/"_s + name + u".js"_s);
    scripts.append(SharedFolder + u"button/genericButton.js"_s);
    QVERIFY(WidgetPage::showAndWait(*m_window, writeBundle(pageLoading(scripts))));
    QCOMPARE(evaluate(*m_window, u"failed.join()"_s).toString(), QString());

    QVERIFY(evaluate(*m_window, setup + u"; true"_s).toBool());

    QTRY_VERIFY(evaluate(*m_window, check).toBool());
}

void tst_WidgetResources::localizedFolderStandsInForTheTop_data()
{
    QTest::addColumn<QLocale::Language>("language");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("expected");
    const QStringList all{u"de.lproj"_s, u"English.lproj"_s, u"en.lproj"_s};
    QTest::newRow("the user's language by code") << QLocale::German << all << u"de"_s;
    QTest::newRow("the user's language by name")
        << QLocale::German << QStringList{u"German.lproj"_s, u"English.lproj"_s} << u"German"_s;
    QTest::newRow("another language: English") << QLocale::French << all << u"English"_s;
    QTest::newRow("English by code") << QLocale::French << QStringList{u"en.lproj"_s} << u"en"_s;
    QTest::newRow("at the top already") << QLocale::German << QStringList{QString()} << u"top"_s;
    QTest::newRow("nowhere") << QLocale::German << QStringList{u"fr.lproj"_s} << u"none"_s;
}

void tst_WidgetResources::localizedFolderStandsInForTheTop()
{
    QFETCH(QLocale::Language, language);
    QFETCH(QStringList, folders);
    QFETCH(QString, expected);
    QLocale::setDefault(QLocale(language));
    const QString bundle = writeBundle(
        u"<script>window.from = 'none';</script><script src=\"strings.js\"></script>"_s);
    for (const QString &folder : folders) {
        const QString from = folder.isEmpty() ? u"top"_s : folder.section(u'.', 0, 0);
        const QString path = folder.isEmpty() ? u"strings.js"_s : folder + u"/strings.js"_s;
        QVERIFY(Tree::write(bundle, path, u"window.from = '%1';"_s.arg(from).toUtf8()));
    }

    QVERIFY(WidgetPage::showAndWait(*m_window, bundle));

    QCOMPARE(evaluate(*m_window, u"window.from"_s).toString(), expected);
}

void tst_WidgetResources::localizedFolderNamesFollowTheLanguage()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const QStringList names = LocalizedResource::folderNames();
    const qsizetype withRegion = names.indexOf(u"pt_BR.lproj"_s);
    const qsizetype byCode = names.indexOf(u"pt.lproj"_s);
    const qsizetype byName = names.indexOf(u"Portuguese.lproj"_s);
    QVERIFY2(withRegion >= 0 && byCode > withRegion && byName > withRegion,
             qPrintable(names.join(u' ')));
    QVERIFY(byCode < names.indexOf(u"English.lproj"_s));
    QCOMPARE(names.mid(names.size() - 2), (QStringList{u"English.lproj"_s, u"en.lproj"_s}));
}

// "@outside@" in a source stands for a folder beside the bundle.
void tst_WidgetResources::imagesTheEngineCannotDecodeArriveAsPng_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<int>("width");
    const QVariantMap none;
    const QVariantMap files{{u"AllowFileAccessOutsideOfWidget"_s, true}};
    QTest::newRow("TIFF in the bundle") << u"Images/Knob.tiff"_s << u"Images/Knob.tiff"_s << none << 7;
    QTest::newRow("upper-case suffix") << u"Knob.TIF"_s << u"Knob.TIF"_s << none << 7;
    QTest::newRow("from a localized folder")
        << u"English.lproj/Knob.tiff"_s << u"Knob.tiff"_s << none << 7;
    QTest::newRow("outside, without the key")
        << u"@outside@/Knob.tiff"_s << u"file://@outside@/Knob.tiff"_s << none << 0;
    QTest::newRow("outside, with the key")
        << u"@outside@/Knob.tiff"_s << u"file://@outside@/Knob.tiff"_s << files << 7;
    QTest::newRow("outside, asked of the runtime directly")
        << u"@outside@/Knob.tiff"_s
        << u"quillet://runtime/image?%7B%22path%22%3A%22@outside@%2FKnob.tiff%22%7D"_s << none << 0;
    QTest::newRow("not really an image") << u"Broken.tiff"_s << u"Broken.tiff"_s << none << 0;
}

void tst_WidgetResources::imagesTheEngineCannotDecodeArriveAsPng()
{
    QFETCH(QString, file);
    QFETCH(QString, source);
    QFETCH(QVariantMap, keys);
    QFETCH(int, width);
    const QString outside = m_dir->filePath(u"Outside"_s);
    const QString bundle = writeBundle(
        u"<img id=\"picture\" src=\"%1\">"_s.arg(QString(source).replace(u"@outside@"_s, outside)),
        keys);
    const QString path = file.startsWith(u"@outside@"_s) ? QString(file).replace(u"@outside@"_s, outside)
                                                          : bundle + u'/' + file;
    QImage knob(7, 5, QImage::Format_ARGB32);
    knob.fill(Qt::darkCyan);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QVERIFY(file.startsWith(u"Broken"_s) ? Tree::write(bundle, file, "not a TIFF")
                                         : knob.save(path, "TIFF"));

    QVERIFY(WidgetPage::showAndWait(*m_window, bundle));

    QCOMPARE(evaluate(*m_window, u"document.getElementById('picture').naturalWidth"_s).toInt(),
             width);
}

QUILLET_WEB_ENGINE_TEST_MAIN(tst_WidgetResources)
#include "tst_WidgetResources.moc"
