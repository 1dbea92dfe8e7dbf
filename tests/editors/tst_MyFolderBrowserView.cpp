// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/MyFolderBrowserView.h"
#include "editors/MyImageFileView.h"
#include "editors/MyTextFileView.h"
#include "editors/PaneFileBrowser.h"
#include "editors/EntryListModel.h"

#include "tests/common/DocumentFixture.h"
#include "tests/common/Tree.h"

#include <Qsci/qsciscintilla.h>

#include <QImage>
#include <QMimeData>

class tst_MyFolderBrowserView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void selectingTheFolderShowsTheBrowser();
    void doubleClickShowsThenReshowsTheSameView();
    void entriesOpenByKind_data();
    void entriesOpenByKind();
    void subFolderShowsNoView();
    void searchIsCaseSensitiveOnEntryNames_data();
    void searchIsCaseSensitiveOnEntryNames();
    void showingAgainReturnsToTheFolder();
    void draggingOutSavesAndClosesTheView();

private:
    MyFolderBrowserView *openFolder();
    void doubleClick(const QString &name);

    std::unique_ptr<DocumentFixture> m_fixture;
    MyDocument *m_document = nullptr;
    MyFolderBrowserView *m_view = nullptr;
};

void tst_MyFolderBrowserView::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    const QString bundle = m_fixture->bundle();
    Tree::write(bundle, QStringLiteral("main.html"), "<html/>");
    Tree::write(bundle, QStringLiteral("Images/notes.txt"), "old");
    Tree::write(bundle, QStringLiteral("Images/Info.plist"), "<plist/>");
    Tree::write(bundle, QStringLiteral("Images/README"), "read me");
    Tree::write(bundle, QStringLiteral("Images/Sub/deep.txt"), "deep");
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    image.save(bundle + QStringLiteral("/Images/Icon.png"));
    m_view = openFolder();
}

void tst_MyFolderBrowserView::cleanup()
{
    m_fixture.reset();
    m_document = nullptr;
    m_view = nullptr;
}

MyFolderBrowserView *tst_MyFolderBrowserView::openFolder()
{
    m_document = m_fixture->open(m_fixture->bundle());
    if (!m_document || !DocumentFixture::select(m_document, QStringLiteral("Images")))
        return nullptr;
    return qobject_cast<MyFolderBrowserView *>(
        m_document->fileListController()->contentViewWithIdentifier(QStringLiteral("Images")));
}

void tst_MyFolderBrowserView::doubleClick(const QString &name)
{
    PaneFileBrowser *browser = m_view->browser();
    const int row = int(browser->fileListItems(0).indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name));
    browser->fileList(0)->selectRow(row);
    browser->openFile();
}

void tst_MyFolderBrowserView::selectingTheFolderShowsTheBrowser()
{
    QVERIFY(m_view);
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{QStringLiteral("Images")});
    QCOMPARE(m_view->browser()->rootPath(), m_fixture->bundle() + QStringLiteral("/Images"));
    QCOMPARE(m_view->browser()->fileListItems(0).size(), 5);
}

void tst_MyFolderBrowserView::doubleClickShowsThenReshowsTheSameView()
{
    QVERIFY(m_view);
    doubleClick(QStringLiteral("notes.txt"));
    const QString identifier = QStringLiteral("Images/notes.txt");
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{identifier});
    auto *text = qobject_cast<MyTextFileView *>(
        m_document->fileListController()->contentViewWithIdentifier(identifier));
    QVERIFY(text);
    auto *editor = text->findChild<QsciScintilla *>();
    editor->setText(QStringLiteral("edited"));
    Tree::write(m_fixture->bundle(), identifier, "changed on disk");

    QVERIFY(DocumentFixture::select(m_document, QStringLiteral("main.html")));
    QVERIFY(DocumentFixture::select(m_document, QStringLiteral("Images")));
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{QStringLiteral("Images")});
    doubleClick(QStringLiteral("notes.txt"));
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{identifier});
    QCOMPARE(m_document->fileListController()->contentViewWithIdentifier(identifier), text);
    QCOMPARE(editor->text(), QStringLiteral("edited"));
}

void tst_MyFolderBrowserView::entriesOpenByKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("asText");
    QTest::newRow("Info.plist opens as text") << QStringLiteral("Info.plist") << true;
    QTest::newRow("no extension opens as text") << QStringLiteral("README") << true;
    QTest::newRow("image") << QStringLiteral("Icon.png") << false;
}

void tst_MyFolderBrowserView::entriesOpenByKind()
{
    QFETCH(QString, name);
    QFETCH(bool, asText);
    QVERIFY(m_view);
    doubleClick(name);
    ContentView *opened = m_document->fileListController()->contentViewWithIdentifier(QStringLiteral("Images/") + name);
    QVERIFY(opened);
    QCOMPARE(qobject_cast<MyTextFileView *>(opened) != nullptr, asText);
    QCOMPARE(qobject_cast<MyImageFileView *>(opened) != nullptr, !asText);
    QVERIFY(!opened->isHidden());
}

void tst_MyFolderBrowserView::subFolderShowsNoView()
{
    QVERIFY(m_view);
    doubleClick(QStringLiteral("Sub"));
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{QString()});
}

void tst_MyFolderBrowserView::searchIsCaseSensitiveOnEntryNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::newRow("Icon") << QStringLiteral("Icon") << true;
    QTest::newRow("icon") << QStringLiteral("icon") << false;
    QTest::newRow("inside a sub-folder only") << QStringLiteral("deep") << false;
    QTest::newRow("inside a file only") << QStringLiteral("read me") << false;
}

void tst_MyFolderBrowserView::searchIsCaseSensitiveOnEntryNames()
{
    QFETCH(QString, text);
    QFETCH(bool, found);
    QVERIFY(m_view);
    QCOMPARE(m_view->searchString(text), found);
}

void tst_MyFolderBrowserView::showingAgainReturnsToTheFolder()
{
    QVERIFY(m_view);
    PaneFileBrowser *browser = m_view->browser();
    browser->fileList(0)->selectRow(int(browser->fileListItems(0).indexOf(QStringLiteral("Sub"))));
    browser->keyDown(Qt::Key_Right);
    QCOMPARE(browser->fileListItems(1), QStringList{QStringLiteral("deep.txt")});
    QVERIFY(DocumentFixture::select(m_document, QStringLiteral("main.html")));
    QVERIFY(DocumentFixture::select(m_document, QStringLiteral("Images")));
    QCOMPARE(browser->browserPath(), m_fixture->bundle() + QStringLiteral("/Images"));
    QCOMPARE(browser->fileListItems(1), QStringList());
}

void tst_MyFolderBrowserView::draggingOutSavesAndClosesTheView()
{
    QVERIFY(m_view);
    doubleClick(QStringLiteral("notes.txt"));
    const QString identifier = QStringLiteral("Images/notes.txt");
    auto *text = m_document->fileListController()->contentViewWithIdentifier(identifier);
    QVERIFY(text);
    text->findChild<QsciScintilla *>()->setText(QStringLiteral("dragged"));
    PaneFileBrowser *browser = m_view->browser();
    auto *model = qobject_cast<EntryListModel *>(browser->fileList(0)->model());
    const int row = int(browser->fileListItems(0).indexOf(QStringLiteral("notes.txt")));
    std::unique_ptr<QMimeData> data(model->mimeData({model->index(row, EntryListModel::NameColumn)}));
    QVERIFY(data);
    QCOMPARE(data->urls(), QList<QUrl>{QUrl::fromLocalFile(m_fixture->bundle() + u'/' + identifier)});
    QCOMPARE(Tree::read(m_fixture->bundle() + u'/' + identifier), QByteArray("dragged"));
    QVERIFY(!m_document->fileListController()->contentViewExistsWithIdentifier(identifier));
}

QTEST_MAIN(tst_MyFolderBrowserView)
#include "tst_MyFolderBrowserView.moc"
