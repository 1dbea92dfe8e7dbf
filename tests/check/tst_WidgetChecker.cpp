// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DocumentWindowCommands.h"
#include "app/ProblemsPanel.h"
#include "app/WidgetPanels.h"
#include "check/RuntimeResources.h"
#include "check/WidgetChecker.h"

#include "tests/common/DocumentFixture.h"

#include <QImage>
#include <QListWidget>

using namespace Qt::StringLiterals;

namespace {

using Files = QList<std::pair<QByteArray, QByteArray>>;

QByteArray info(const QByteArray &keys)
{
    return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>" + keys + "</dict></plist>";
}

const QByteArray Id = "<key>CFBundleIdentifier</key><string>com.example.clock</string>";
const QByteArray Name = "<key>CFBundleName</key><string>Clock</string>";
const QByteArray Main = "<key>MainHTML</key><string>main.html</string>";
const QByteArray Size = "<key>Width</key><integer>300</integer><key>Height</key><integer>200</integer>";

// A widget that runs; each row then writes (or, with no bytes, removes)
// files of its own, "~/" ones in HOME; bytes "-> target" make a link.
void writeWidget(const QString &bundle, const Files &files)
{
    Tree::write(bundle, QStringLiteral("Info.plist"), info(Id + Name + Main + Size));
    Tree::write(bundle, QStringLiteral("main.html"), "<html></html>");
    for (const QString &picture : {QStringLiteral("Default.png"), QStringLiteral("Icon.png")})
        QImage(20, 10, QImage::Format_ARGB32).save(bundle + u'/' + picture);
    for (const auto &[file, bytes] : files) {
        const QString name = QString::fromUtf8(file);
        const QString path = name.startsWith(u"~/") ? QDir::homePath() + name.sliced(1) : bundle + u'/' + name;
        if (bytes.isNull())
            QVERIFY(FileManager::removeItem(path));
        else if (bytes.startsWith("-> "))
            QVERIFY(QFile::link(QString::fromUtf8(bytes.sliced(3)), path));
        else
            QVERIFY(Tree::write(QFileInfo(path).path(), QFileInfo(path).fileName(), bytes));
    }
}

} // namespace

class tst_WidgetChecker : public QObject
{
    Q_OBJECT

private slots:
    void problems_data();
    void problems();
    void sharedResourcesAreTheHosts();
    void panelFollowsTheSavedBundle();
};

void tst_WidgetChecker::problems_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QByteArrayList>("expected");

    QTest::newRow("widget that runs") << Files{} << QByteArrayList{};
    QTest::newRow("no Info.plist") << Files{{"Info.plist", {}}}
                                   << QByteArrayList{"Clock.wdgt: error: Info.plist is missing"};
    QTest::newRow("Info.plist a folder") << Files{{"Info.plist", {}}, {"Info.plist/x", ""}}
                                         << QByteArrayList{
                                                "Clock.wdgt/Info.plist: error: cannot be read: Is a directory"};
    QTest::newRow("Info.plist a link out, to a file that never ends")
        << Files{{"Info.plist", {}}, {"Info.plist", "-> /proc/self/pagemap"}}
        << QByteArrayList{"Clock.wdgt/Info.plist: error: leads outside the widget, so it is not read"};
    QTest::newRow("Info.plist beyond any property list")
        << Files{{"Info.plist", QByteArray(17 << 20, ' ')}}
        << QByteArrayList{"Clock.wdgt/Info.plist: error: cannot be read: It is larger than 16 MiB, more than is read "
                          "of such a file"};
    QTest::newRow("main page a link out") << Files{{"main.html", {}}, {"main.html", "-> /etc/passwd"}}
                                          << QByteArrayList{"Clock.wdgt/main.html: error: leads outside the widget, so "
                                                            "it is not read"};
    QTest::newRow("not a property list") << Files{{"Info.plist", "hello"}}
                                         << QByteArrayList{"Clock.wdgt/Info.plist: error: not a property list"};
    QTest::newRow("keys missing") << Files{{"Info.plist", info(Size)}}
                                  << QByteArrayList{"Clock.wdgt/Info.plist: error: CFBundleIdentifier is missing",
                                                    "Clock.wdgt/Info.plist: error: CFBundleName is missing",
                                                    "Clock.wdgt/Info.plist: error: MainHTML is missing"};
    QTest::newRow("main page in other case")
        << Files{{"Info.plist", info(Id + Name + "<key>MainHTML</key><string>Main.html</string>" + Size)}}
        << QByteArrayList{"Clock.wdgt/Info.plist: error: MainHTML “Main.html” is missing; it exists as “main.html”: "
                          "letter case differs"};
    QTest::newRow("size unusable")
        << Files{{"Info.plist",
                  info(Id + Name + Main
                       + "<key>Width</key><string>300px</string>"
                         "<key>Height</key><integer>0</integer>")}}
        << QByteArrayList{"Clock.wdgt/Info.plist: warning: Width is “300px”, not a positive whole number: 300 is used",
                          "Clock.wdgt/Info.plist: warning: Height is 0, not a positive whole number: the height of "
                          "Default.png, 10, is used"};
    QTest::newRow("size from nowhere")
        << Files{{"Info.plist", info(Id + Name + Main)}, {"Default.png", {}}, {"Icon.png", {}}}
        << QByteArrayList{"Clock.wdgt: warning: Default.png is missing, and Info.plist has no Width and Height: the "
                          "widget has no size",
                          "Clock.wdgt: warning: Icon.png is missing (the widget's icon)"};
    QTest::newRow("references")
        << Files{{"main.html",
                  "<html><head>\n"
                  "<link rel=\"stylesheet\" href=\"Styles/look.css?v=2\">\n"
                  "<script src=\"a.js\"/>\n"
                  "<img src=\"Images/back.png\">\n"
                  "<!-- <img src=\"gone.png\"> -->\n"
                  "<img src=\"http://example.com/x.png\"><img src=\"data:image/png;base64,AA\"><img src=\"#top\">\n"
                  "<div style=\"background: url('Images/My%20Back.png')\" onclick=\"widget.system('ls', null)\">\n"
                  "<script>document.write('<img src=\"x.png\">'); new XMLHttpRequest();</script>\n"
                  "<script src=\"strings.js\"></script><script src=\"only.js\"></script>\n"
                  "<script src=\"/System/Library/WidgetResources/AppleClasses/AppleButton.js\"></script>\n"
                  "<img src=\"file:///System/Library/WidgetResources/AppleClasses/Images/scroll_thumb.png\">\n"
                  "<script src=\"/System/Library/WidgetResources/AppleClasses/AppleGlassButton.js\"></script>\n"
                  "<img src=\"Images/gone.png\">\n"},
                 {"Styles/look.css", "body {\n  background: url(../Images/missing.png);\n}\n/* url(none.png) */\n"},
                 {"a.js", "// fetch(x) in a comment\n"},
                 {"Images/Back.png", "png"},
                 {"Images/My Back.png", "png"},
                 {"en.lproj/strings.js", "var s;"},
                 {"de.lproj/only.js", "var s;"}}
        << QByteArrayList{
               "Clock.wdgt/Styles/look.css:2: error: “Images/missing.png” is missing",
               "Clock.wdgt/main.html:4: error: “Images/back.png” is missing; it exists as “Images/Back.png”: letter "
               "case differs",
               "Clock.wdgt/main.html:8: error: “x.png” is missing",
               "Clock.wdgt/main.html:9: warning: “only.js” is only in de.lproj: other languages go without it",
               "Clock.wdgt/main.html:12: warning: “/System/Library/WidgetResources/AppleClasses/AppleGlassButton.js” "
               "is not among the shared resources the runtime provides",
               "Clock.wdgt/main.html:13: error: “Images/gone.png” is missing",
               "Clock.wdgt/main.html:7: warning: calls widget.system, which the runtime refuses: Info.plist does not "
               "set AllowSystem",
               "Clock.wdgt/main.html:8: warning: makes network requests, which the runtime blocks: Info.plist does "
               "not set AllowNetworkAccess"};
    QTest::newRow("more references: found, missing, case differs")
        << Files{{"Info.plist",
                  info(Id + Name + Main + Size
                       + "<key>Fonts</key><array><string>Fonts/Face.ttf</string><string>Fonts/Gone.otf</string>"
                         "</array>")},
                 {"main.html",
                  "<body background=\"back.png\">\n"
                  "<iframe src=\"frame.html\"></iframe><embed src=\"movie.swf\"><object data=\"clip.mov\">\n"
                  "<audio src=\"ding.mp3\"></audio><video poster=\"Poster.PNG\"><source src=\"clip.mov\"></video>\n"
                  "<input type=\"image\" src=\"go.png\"><input type=\"text\" src=\"ignored.png\">\n"},
                 {"frame.html", "<img src=\"inner.png\">"},
                 {"Fonts/Face.ttf", "font"},
                 {"clip.mov", "movie"},
                 {"poster.png", "png"}}
        << QByteArrayList{
               "Clock.wdgt/Info.plist: error: The font “Fonts/Gone.otf” is missing",
               "Clock.wdgt/main.html:1: error: “back.png” is missing",
               "Clock.wdgt/frame.html:1: error: “inner.png” is missing",
               "Clock.wdgt/main.html:2: error: “movie.swf” is missing",
               "Clock.wdgt/main.html:3: error: “ding.mp3” is missing",
               "Clock.wdgt/main.html:3: error: “Poster.PNG” is missing; it exists as “poster.png”: letter case differs",
               "Clock.wdgt/main.html:4: error: “go.png” is missing"};
    QTest::newRow("files scripts name")
        << Files{{"main.html", "<script src=\"Scripts/loader.js\"></script>"},
                 {"Scripts/loader.js",
                  "document.write('<script src=\"Parts/core/utilities.js\"><\\/script>');\n"
                  "document.write('<script src=\"' + base + 'more.js\"></script>');\n"
                  "var sun = 'Images/Sun.png', moon = 'Images/moon.png', text = \"not a file.txt at all\";\n"
                  "var part = 'Parts/' + name + '.js', picture = 'Images/' + name;\n"
                  "document.write('<script src=\"Lib/' + name + '.js\"></script>');\n"},
                 {"Images/sun.png", "png"},
                 {"Images/moon.png", "png"}}
        << QByteArrayList{"Clock.wdgt/Scripts/loader.js:1: error: “Parts/core/utilities.js” is missing",
                          "Clock.wdgt/Scripts/loader.js:3: error: “Images/Sun.png” is missing; it exists as "
                          "“Images/sun.png”: letter case differs",
                          "Clock.wdgt/Scripts/loader.js:4: warning: builds paths in “Parts/”, which the widget does "
                          "not hold: what it loads from there is missing",
                          "Clock.wdgt/Scripts/loader.js:5: warning: builds paths in “Lib/”, which the widget does not "
                          "hold: what it loads from there is missing"};
    QTest::newRow("what cannot run on Linux")
        << Files{{"Info.plist",
                  info(Id + Name + Main + Size
                       + "<key>Plugin</key><string>Battery.widgetplugin</string>"
                         "<key>AllowSystem</key><true/>")},
                 {"main.html",
                  "<script>\nwidget.system(\"/usr/bin/osascript -e 'beep'\", null);\n"
                  "widget.system('pmset -g batt | grep -o [0-9]*%', done);\nwidget.system(\"/usr/bin/osascript\", "
                  "null);\n"
                  "widget.system('bin/helper', null); widget.system('/bin/ls -l', null); widget.system(command, "
                  "null);\n"
                  "</script>"},
                 {"bin/helper", "\xCF\xFA\xED\xFE and the rest"}}
        << QByteArrayList{
               "Clock.wdgt/Info.plist: warning: Plugin “Battery.widgetplugin” is a native Mac plug-in, which cannot "
               "load on Linux: whatever the scripts ask of it does nothing",
               "Clock.wdgt/main.html:2: warning: runs “osascript”, a Mac command that Linux does not have (or has as "
               "another program): the widget.system call fails here",
               "Clock.wdgt/main.html:3: warning: runs “pmset”, a Mac command that Linux does not have (or has as "
               "another program): the widget.system call fails here",
               "Clock.wdgt/main.html:5: warning: runs “bin/helper”, a Mac program (Mach-O), which cannot run on Linux"};
    QTest::newRow("scripts that do not parse")
        << Files{{"main.html",
                  "<script>\n<!--\nvar a = 1;\n// -->\n</script>\n<script src=\"broken.js\"></script>\n"
                  "<script>\nif (a {\n}\n</script>\n"},
                 {"broken.js", "var fine = 1;\nvar b = ;\nwhile (true) {}\n"}}
        << QByteArrayList{"Clock.wdgt/main.html:8: error: the script does not parse: Expected token “)”",
                          "Clock.wdgt/broken.js:2: error: the script does not parse: Expected token “numeric literal”"};
    QTest::newRow("access keys as strings")
        << Files{{"Info.plist",
                  info(Id + Name + Main + Size
                       + "<key>AllowSystem</key><string>YES</string>"
                         "<key>AllowNetworkAccess</key><string>no</string>")},
                 {"main.html", "<script>\nwidget.system('date', null);\nfetch('http://example.com');\n</script>"}}
        << QByteArrayList{"Clock.wdgt/main.html:3: warning: makes network requests, which the runtime blocks: "
                          "Info.plist does not set AllowNetworkAccess"};
    QTest::newRow("identifier taken")
        << Files{{"~/Library/Widgets/Other.wdgt/Info.plist", info(Id)},
                 {"~/Library/Widgets/Clock.wdgt/Info.plist", info(Id)}}
        << QByteArrayList{"Clock.wdgt/Info.plist: warning: CFBundleIdentifier “com.example.clock” is also the "
                          "identifier of “~/Library/Widgets/Other.wdgt”: the two widgets share their preferences and "
                          "storage"};
}

void tst_WidgetChecker::problems()
{
    QFETCH(Files, files);
    QFETCH(QByteArrayList, expected);
    const TestHome home;
    const QTemporaryDir folder;
    const QString bundle = folder.filePath(QStringLiteral("Clock.wdgt"));
    writeWidget(bundle, files);
    QByteArrayList lines;
    for (const Problem &problem : WidgetChecker::check(bundle))
        lines.append(problem.toString(QStringLiteral("Clock.wdgt")).toUtf8());
    QCOMPARE(lines, expected);
}

void tst_WidgetChecker::sharedResourcesAreTheHosts()
{
    const QDir shared(QStringLiteral(QUILLET_SOURCE_DIR "/host/runtime/WidgetResources"));
    QDirIterator files(shared.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        QVERIFY2(RuntimeResources::provides(shared.relativeFilePath(files.next())), qPrintable(files.filePath()));
}

void tst_WidgetChecker::panelFollowsTheSavedBundle()
{
    const DocumentFixture fixture;
    writeWidget(fixture.bundle(), {{"main.html", "<html>\n<img src=\"gone.png\">\n</html>"}});
    WidgetDocument *document = fixture.open(fixture.bundle());
    ProblemsPanel *panel = document->windowCommands()->panels()->problems();
    QVERIFY(panel->lines().isEmpty()); // checked only once shown
    document->windowCommands()->panels()->toggleProblems();
    QCOMPARE(panel->lines(), QStringList{u"main.html:2: “gone.png” is missing"_s});
    emit panel->findChild<QListWidget *>()->itemDoubleClicked(panel->findChild<QListWidget *>()->item(0));
    QCOMPARE(DocumentFixture::shownIdentifiers(document), QStringList{u"main.html"_s});
    Tree::write(fixture.bundle(), QStringLiteral("gone.png"), "png");
    document->saveDocument();
    QCOMPARE(panel->lines(), QStringList{u"No problems found."_s});
}

QTEST_MAIN(tst_WidgetChecker)
#include "tst_WidgetChecker.moc"
