// SPDX-License-Identifier: GPL-2.0-or-later
#include "find/FindInWidgetPanel.h"

#include "tests/common/DocumentFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

const QString Replaced = QStringLiteral("😀 é alpha beta alphabet \u017ftar\nAlpha(2)\n");
const QStringList ReplacedFiles = {QStringLiteral("a.js"), QStringLiteral("b.css"), QStringLiteral("Parts/c.html"),
                                   QStringLiteral("Parts/Deep/d.txt"), QStringLiteral("e.json")};
// Typed into the first file before replacing: edits it holds are replaced too.
const QString Typed = QStringLiteral("// alpha\n");

} // namespace

class tst_FindInWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fixture.reset(); }
    void find_data();
    void find();
    void aNewSearchStopsTheOld();
    void replaceAll_data();
    void replaceAll();

private:
    template <class Widget> Widget *child(const char *name) const
    {
        return m_panel->findChild<Widget *>(QString::fromLatin1(name));
    }
    /// The columns of the query, which `ask` types into the panel.
    static void addQueryColumns();
    /// Opens the panel with Ctrl+Shift+F and fills it in with the row's query.
    void ask();
    // The search runs on another thread; the status says when it is done.
    void waitForSearch() const
    {
        QTRY_VERIFY(!child<QLabel>("findStatus")->text().contains(QStringLiteral("Searching")));
    }

    std::unique_ptr<DocumentFixture> m_fixture;
    WidgetDocument *m_document = nullptr;
    FindInWidgetPanel *m_panel = nullptr;
    QTemporaryDir m_outside;
};

void tst_FindInWidget::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    const QString bundle = m_fixture->bundle();
    // kelvin.txt, sun.txt and later.txt: files whose bytes do not hold what matches as it is typed.
    Tree::write(bundle,
                {{u"main.html"_qs, "<p>Hello world</p>\r\n\t<p>hello World</p>\n"},
                 {u"Scripts/app.js"_qs, "var helloWorld = 1;\nhello(world);\n"},
                 {u"notes.txt"_qs, "caf\xe9 hello\n"},
                 {u"kelvin.txt"_qs, "\xff\xfe\x2a\x21"},
                 {u"sun.txt"_qs, "\xc5\xbfun"},
                 {u"later.txt"_qs, "one\r\ntwo\rthree\nfour ZEBRA zebra \xc3\xa9\n"},
                 {u"data.bin"_qs, QByteArray("hello\0world", 11)},
                 {u"Images/hello.png"_qs, "hello"}});
    Tree::write(m_outside.path(), QStringLiteral("secret.txt"), "hello");
    QFile::link(m_outside.filePath(QStringLiteral("secret.txt")), bundle + QStringLiteral("/outside.txt"));
    for (const QString &name : ReplacedFiles)
        Tree::write(bundle, name, Replaced.toUtf8());
    m_document = m_fixture->open(bundle);
    m_panel = m_document->findPanel();
}

void tst_FindInWidget::addQueryColumns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<bool>("regex");
}

void tst_FindInWidget::ask()
{
    QFETCH(QString, text);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWords);
    QFETCH(bool, regex);
    QMainWindow *window = m_document->window();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(m_panel->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), child<QLineEdit>("findField"));
    child<QLineEdit>("findField")->setText(text);
    child<QCheckBox>("matchCase")->setChecked(matchCase);
    child<QCheckBox>("wholeWords")->setChecked(wholeWords);
    child<QCheckBox>("regularExpression")->setChecked(regex);
}

void tst_FindInWidget::find_data()
{
    addQueryColumns();
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("selected");

    const QString hello1 = QStringLiteral("main.html|line 1: <p>Hello world</p>");
    const QString hello2 = QStringLiteral("main.html|line 2: <p>hello World</p>");
    const QString notes = QStringLiteral("notes.txt|line 1: café hello");
    const QString app1 = QStringLiteral("Scripts/app.js|line 1: var helloWorld = 1;");
    const QString app2 = QStringLiteral("Scripts/app.js|line 2: hello(world);");
    QTest::newRow("case ignored") << "hello" << false << false << false << ""
                                  << QStringList{hello1, hello2, notes, app1, app2} << "Hello";
    QTest::newRow("case matched") << "World" << true << false << false << "" << QStringList{hello2, app1} << "World";
    QTest::newRow("whole words") << "hello" << false << true << false << "" << QStringList{hello1, hello2, notes, app2}
                                 << "Hello";
    QTest::newRow("regular expression") << "hel+o\\(\\w+\\)" << false << false << true << "" << QStringList{app2}
                                        << "hello(world)";
    QTest::newRow("line ends") << "world</p>$" << false << false << true << "" << QStringList{hello1, hello2}
                               << "world</p>";
    QTest::newRow("invalid expression") << "hel(" << false << false << true << "" << QStringList() << "";
    QTest::newRow("UTF-16 Kelvin sign") << "k" << false << false << false << ""
                                        << QStringList{u"kelvin.txt|line 1: \u212a"_qs} << "\u212a";
    QTest::newRow("past lines of ASCII") << "zebra" << false << false << false << ""
                                         << QStringList{u"later.txt|line 4: four ZEBRA zebra \u00e9"_qs,
                                                        u"later.txt|line 4: four ZEBRA zebra \u00e9"_qs}
                                         << "ZEBRA";
    QTest::newRow("long s") << "SUN" << false << false << false << "" << QStringList{u"sun.txt|line 1: \u017fun"_qs}
                            << "\u017fun";
    QTest::newRow("ISO 8859-1 file") << "CAFÉ" << false << false << false << "" << QStringList{notes} << "café";
    QTest::newRow("unsaved edits") << "goodbye" << false << false << false << "Goodbye "
                                   << QStringList{QStringLiteral("main.html|line 1: Goodbye <p>Hello world</p>")}
                                   << "Goodbye";
}

// While one search runs on, a new one replaces it: nothing of the first
// shows, whenever its files come in.
void tst_FindInWidget::aNewSearchStopsTheOld()
{
    for (int i = 0; i < 300; ++i)
        Tree::write(m_fixture->bundle(), QStringLiteral("Many/file%1.js").arg(i), QByteArray("alpha\n").repeated(200));
    Tree::write(m_fixture->bundle(), QStringLiteral("beta.js"), "zyxwvu\n");
    m_document->fileListController()->reloadData();
    for (const char *text : {"alpha", "zyxwvu"}) {
        child<QLineEdit>("findField")->setText(QString::fromLatin1(text));
        QTest::mouseClick(child<QPushButton>("findButton"), Qt::LeftButton);
    }
    waitForSearch();
    auto *results = child<QTreeWidget>("findResults");
    QCOMPARE(results->topLevelItemCount(), 1);
    QCOMPARE(results->topLevelItem(0)->data(0, Qt::UserRole).toString(), QStringLiteral("beta.js"));
    QVERIFY(child<QLabel>("findStatus")->text().startsWith(QStringLiteral("1 match in 1 file.")));
}

void tst_FindInWidget::find()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    QFETCH(QString, selected);
    if (!typed.isEmpty())
        m_fixture->typeInto(QStringLiteral("main.html"), typed);
    ask();
    QTest::mouseClick(child<QPushButton>("findButton"), Qt::LeftButton);
    waitForSearch();

    auto *results = child<QTreeWidget>("findResults");
    QStringList found;
    for (int file = 0; file < results->topLevelItemCount(); ++file) {
        const QTreeWidgetItem *row = results->topLevelItem(file);
        for (int match = 0; match < row->childCount(); ++match)
            found.append(row->data(0, Qt::UserRole).toString() + u'|' + row->child(match)->text(0));
    }
    QCOMPARE(found, expected);
    QCOMPARE(child<QLabel>("findError")->isVisible(), expected.isEmpty());
    QCOMPARE(child<QLabel>("findStatus")->text().contains(QStringLiteral("data.bin")), !expected.isEmpty());
    if (expected.isEmpty())
        return;

    QTreeWidgetItem *first = results->topLevelItem(0)->child(0);
    results->scrollToItem(first);
    // A real double-click: the second press comes as a double-click.
    const QPoint place = results->visualItemRect(first).center();
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, place);
    QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, place);
    const QString identifier = expected.first().section(u'|', 0, 0);
    const auto *view =
        qobject_cast<TextEditorView *>(m_document->fileListController()->contentViewWithIdentifier(identifier));
    QVERIFY(view);
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{identifier});
    QCOMPARE(view->selectedText(), selected);
}

void tst_FindInWidget::replaceAll_data()
{
    addQueryColumns();
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "alpha" << false << false << false << "omega"
                           << "😀 é omega beta omegabet \u017ftar\nomega(2)\n";
    QTest::newRow("plain, case matched") << "Alpha" << true << false << false << "omega"
                                         << "😀 é alpha beta alphabet \u017ftar\nomega(2)\n";
    QTest::newRow("plain, a letter beyond ASCII") << "STAR" << false << false << false << "star"
                                                  << "😀 é alpha beta alphabet star\nAlpha(2)\n";
    QTest::newRow("whole words, case matched") << "alpha" << true << true << false << "ω"
                                               << "😀 é ω beta alphabet \u017ftar\nAlpha(2)\n";
    QTest::newRow("captures") << "(\\w+)\\((\\d)\\)" << false << false << true << "\\2:\\1$1\\0"
                              << "😀 é alpha beta alphabet \u017ftar\n2:Alpha$1\\0\n";
    QTest::newRow("plain takes backslashes as typed") << "beta" << false << false << false << "\\1"
                                                      << "😀 é alpha \\1 alphabet \u017ftar\nAlpha(2)\n";
}

// Each file's replacements are one undo action in its own editor, and only
// Save writes them.
void tst_FindInWidget::replaceAll()
{
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    m_fixture->typeInto(ReplacedFiles.first(), Typed);
    ask();
    child<QLineEdit>("replaceField")->setText(replacement);
    QTest::mouseClick(child<QPushButton>("replaceAllButton"), Qt::LeftButton);
    waitForSearch();

    for (const QString &name : ReplacedFiles) {
        auto *view = qobject_cast<TextEditorView *>(m_document->fileListController()->contentViewWithIdentifier(name));
        QVERIFY2(view, qPrintable(name));
        QVERIFY(view->text().endsWith(expected));
        QCOMPARE(Tree::read(m_fixture->bundle() + u'/' + name), Replaced.toUtf8());
        auto *editor = view->findChild<QsciScintilla *>();
        editor->undo();
        QCOMPARE(view->text(), (name == ReplacedFiles.first() ? Typed : QString()) + Replaced);
        editor->redo();
    }
    QVERIFY(m_document->saveDocument());
    for (const QString &name : ReplacedFiles)
        QVERIFY(QString::fromUtf8(Tree::read(m_fixture->bundle() + u'/' + name)).endsWith(expected));
}

QTEST_MAIN(tst_FindInWidget)
#include "tst_FindInWidget.moc"
