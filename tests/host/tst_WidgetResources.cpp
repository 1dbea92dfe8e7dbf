// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/LocalizedResource.h"

#include "tests/host/WidgetPage.h"

#include <QLocale>

// Loads each shared script, and one that is not there, recording in
// window.loaded and window.failed which loaded; two scripts of its own, one
// missing at the top, the other not; and three shared images, the last one
// drawn by the runtime. Rows build
// their elements with add(parent).
static QString sharedPage()
{
    QString page = u"<script>window.loaded = []; window.failed = [];"
                   " function add(parent) { return parent.appendChild(document.createElement('div')); }</script>"_s;
    for (const QString &script :
         {u"AppleClasses/AppleAnimator"_s, u"AppleClasses/AppleButton"_s, u"AppleClasses/AppleInfoButton"_s,
          u"AppleClasses/AppleScrollbar"_s, u"AppleClasses/AppleScrollArea"_s, u"AppleClasses/AppleSlider"_s,
          u"button/genericButton"_s, u"AppleClasses/AppleNothing"_s})
        page += u"<script src=\"file:///System/Library/WidgetResources/%1.js\" onload=\"loaded.push('%1')\""
                " onerror=\"failed.push('%1')\"></script>"_s.arg(script);
    return page
        + u"<script src=\"strings.js\"></script><script src=\"top.js\"></script>"
          "<img src=\"/System/Library/WidgetResources/resize.png\">"
          "<img src=\"/System/Library/WidgetResources/ibutton/white_i.png\">"
          "<img src=\"/System/Library/WidgetResources/AppleClasses/Images/scroll_thumb_vmid.png\">"_s;
}

class tst_WidgetResources : public QObject
{
    Q_OBJECT

    WidgetFixture m_f;

private slots:
    void init() { WidgetPage::log().clear(); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    // The bundle's localized folder stands in for a file missing at the top.
    void sharedAndLocalizedResourcesAreServed()
    {
        const QString bundle = m_f.bundle(u"Shared"_s, {}, sharedPage());
        QVERIFY(Tree::write(bundle,
                            {{u"English.lproj/strings.js"_s, "window.strings = 'English';"},
                             {u"English.lproj/top.js"_s, "window.atTop = 'English';"},
                             {u"top.js"_s, "window.atTop = 'top';"}}));

        QVERIFY(m_f.show(bundle));

        QCOMPARE(m_f.run(u"[loaded.length, failed, strings, atTop].join()"_s).toString(),
                 u"7,AppleClasses/AppleNothing,English,top"_s);
        QCOMPARE(WidgetPage::log().filter(u"not available"_s),
                 QStringList{u"quillet: Shared: /System/Library/WidgetResources/AppleClasses/AppleNothing.js"
                             " is not available"_s});
        QTRY_COMPARE(
            m_f.run(u"Array.from(document.images, function (i) { return i.naturalWidth + 'x' + i.naturalHeight; })"
                    ".join()"_s)
                .toString(),
            u"12x12,13x13,8x8"_s);
    }

    // Each row sets a class to work on the shared page; its check answers true
    // once the class did what widgets count on.
    void sharedClassesBehave_data()
    {
        columns<QString, QString>("setup", "check");
        QTest::newRow("animator ends on the end values, completing once")
            << uR"(
            window.values = []; window.completed = 0;
            var animator = new AppleAnimator(100, 10, 1, 0, function (a, now, from, to) { values.push([now, from, to]); });
            animator.addAnimation(new AppleRectAnimation(new AppleRect(0, 0, 10, 10), new AppleRect(10, 20, 30, 40),
                                                         function (a, now) { window.rect = now; }));
            animator.oncomplete = function () { ++completed; }; animator.start();)"_s
            << u"completed === 1 && rect.left === 10 && rect.bottom === 40 && values.length > 1"
               " && values[values.length - 1].join() === '0,1,0'"
               " && values.every(function (v) { return v[0] >= 0 && v[0] <= 1; })"_s;
        QTest::newRow("info button shows over the front and clicks") << uR"(
            window.clicks = 0; var front = add(document.body), flipper = add(front);
            new AppleInfoButton(flipper, front, 'black', 'white', function () { ++clicks; });
            window.opacities = [flipper.style.opacity];
            front.dispatchEvent(new MouseEvent('mousemove', { bubbles: true })); opacities.push(flipper.style.opacity);
            flipper.firstChild.dispatchEvent(new MouseEvent('click', { bubbles: true }));)"_s
                                                                     << u"clicks === 1 && opacities.join() === '0,1'"_s;
        QTest::newRow("scroll area follows its scroll bar") << uR"(
            var content = add(document.body), bar = add(document.body);
            content.style.cssText = 'position: absolute; left: 0; top: 0; width: 100px; height: 100px;';
            content.innerHTML = '<div style="height: 400px">tall</div>';
            bar.style.cssText = 'position: absolute; left: 120px; top: 0; width: 15px; height: 100px;';
            window.scrollbar = new AppleVerticalScrollbar(bar); window.area = new AppleScrollArea(content, scrollbar);
            area.verticalScrollTo(150);)"_s
                                                            << u"content.scrollTop === 150 && !scrollbar.hidden && "
                                                               u"Math.abs(area.viewToContentHeightRatio - 0.25) < 0.01"
                                                               " && parseInt(scrollbar._thumb.element.style.top) > 0"_s;
        QTest::newRow("slider follows a press, reports it, and is set quietly")
            << uR"(
            window.heard = []; var box = add(document.body);
            box.style.cssText = 'position: absolute; left: 10px; top: 150px; width: 115px; height: 20px;';
            window.slider = new AppleHorizontalSlider(box, function (value) { heard.push(value); });
            box.dispatchEvent(new MouseEvent('mousedown', { bubbles: true, clientX: 10 + 7.5 + 25, clientY: 160 }));
            document.dispatchEvent(new MouseEvent('mouseup', { bubbles: true }));
            slider.setValue(0.75); window.vertical = new AppleVerticalSlider(add(document.body)); vertical.slideTo(2);)"_s
            << u"heard.length === 1 && Math.abs(heard[0] - 0.25) < 0.02 && slider.value === 0.75 && "
               u"slider._thumb.style.left === '75px'"
               " && vertical.value === 1"_s;
    }
    void sharedClassesBehave()
    {
        QFETCH(QString, setup);
        QFETCH(QString, check);
        QVERIFY(m_f.showOnce(m_f.bundle(u"Shared"_s, {}, sharedPage())));
        QVERIFY(m_f.run(setup + u"; true"_s).toBool());
        QTRY_VERIFY(m_f.run(check).toBool());
    }

    void localizedFolderStandsIn_data()
    {
        columns<QString, QStringList, QString>("locale", "folders", "expected");
        const QStringList all{u"pt_BR"_s, u"Portuguese"_s, u"pt"_s, u"de"_s, u"English"_s, u"en"_s};
        QTest::newRow("language and region first") << u"pt_BR"_s << all << u"pt_BR"_s;
        QTest::newRow("then the language by code") << u"pt_BR"_s << all.mid(1) << u"pt"_s;
        QTest::newRow("then by name") << u"pt_BR"_s << QStringList{u"Portuguese"_s, u"English"_s} << u"Portuguese"_s;
        QTest::newRow("another language: English") << u"fr"_s << all << u"English"_s;
        QTest::newRow("English by code") << u"fr"_s << QStringList{u"en"_s} << u"en"_s;
        QTest::newRow("nowhere") << u"de"_s << QStringList{u"fr"_s} << QString();
    }
    // A path into a localized folder is never looked up in another.
    void localizedFolderStandsIn()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, folders);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QTemporaryDir bundle;
        for (const QString &folder : folders)
            QVERIFY(Tree::write(bundle.path(), folder + u".lproj/Images/strings.js"_s, "x"));

        QCOMPARE(LocalizedResource::find(bundle.path(), u"Images/strings.js"_s),
                 expected.isEmpty() ? QString() : bundle.filePath(expected + u".lproj/Images/strings.js"_s));
        QCOMPARE(LocalizedResource::find(bundle.path(), u"en.lproj/Images/strings.js"_s), QString());
    }

    // "@outside@" stands for a folder beside the bundle.
    void imagesTheEngineCannotDecodeArriveAsPng_data()
    {
        columns<QString, QString, QVariantMap, int>("file", "source", "keys", "width");
        const QString outside = u"@outside@/Knob.tiff"_s;
        QTest::newRow("upper-case suffix") << u"Knob.TIF"_s << u"Knob.TIF"_s << QVariantMap() << 7;
        QTest::newRow("from a localized folder")
            << u"English.lproj/Knob.tiff"_s << u"Knob.tiff"_s << QVariantMap() << 7;
        QTest::newRow("outside, without the key") << outside << u"file://"_s + outside << QVariantMap() << 0;
        QTest::newRow("outside, with the key")
            << outside << u"file://"_s + outside << QVariantMap{{u"AllowFileAccessOutsideOfWidget"_s, true}} << 7;
        QTest::newRow("outside, asked of the runtime directly")
            << outside << u"quillet://runtime/image?%7B%22path%22%3A%22@outside@%2FKnob.tiff%22%7D"_s << QVariantMap()
            << 0;
        QTest::newRow("not really an image") << u"Broken.tiff"_s << u"Broken.tiff"_s << QVariantMap() << 0;
    }
    void imagesTheEngineCannotDecodeArriveAsPng()
    {
        QFETCH(QString, file);
        QFETCH(QString, source);
        QFETCH(QVariantMap, keys);
        QFETCH(int, width);
        QTemporaryDir dir;
        const QString outside = dir.filePath(u"Outside"_s);
        const QString bundle =
            TestBundle::write(dir.filePath(u"Images.wdgt"_s), QSize(200, 100), {}, keys,
                              u"<img id=\"picture\" src=\"%1\">"_s.arg(source.replace(u"@outside@"_s, outside)));
        const QString path =
            file.startsWith(u"@outside@"_s) ? file.replace(u"@outside@"_s, outside) : bundle + u'/' + file;
        QImage knob(7, 5, QImage::Format_ARGB32);
        knob.fill(Qt::darkCyan);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QVERIFY(file.startsWith(u"Broken"_s) ? Tree::write(bundle, file, "not a TIFF") : knob.save(path, "TIFF"));

        QVERIFY(m_f.show(bundle));

        QCOMPARE(m_f.run(u"document.getElementById('picture').naturalWidth"_s).toInt(), width);
    }
};

QTEST_MAIN(tst_WidgetResources)
#include "tst_WidgetResources.moc"
