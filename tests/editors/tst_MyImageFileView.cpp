// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ImageCanvas.h"
#include "editors/MyImageFileView.h"

#include "tests/common/DocumentFixture.h"
#include "tests/common/Tree.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImageReader>
#include <QTemporaryDir>

#ifndef QUILLET_CORPUS
#error "QUILLET_CORPUS must name the folder of sample widgets"
#endif

class tst_MyImageFileView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void untouchedImageKeepsItsBytes_data();
    void untouchedImageKeepsItsBytes();
    void replacedImageIsWrittenInTheFormatItsNameAsks_data();
    void replacedImageIsWrittenInTheFormatItsNameAsks();
    void unreadableImageShowsNothing();
    void imageChangedElsewhereShowsWhenUntouched_data();
    void imageChangedElsewhereShowsWhenUntouched();

private:

    std::unique_ptr<DocumentFixture> m_fixture;
    QString m_bundle;
};

void tst_MyImageFileView::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    m_bundle = m_fixture->bundle();
}

void tst_MyImageFileView::cleanup()
{
    m_fixture.reset();
}


void tst_MyImageFileView::untouchedImageKeepsItsBytes_data()
{
    QTest::addColumn<QString>("sample");
    QTest::newRow("animated gif") << QStringLiteral("RiverLevels.wdgt/images/rot_refresh.gif");
    QTest::newRow("png") << QStringLiteral("RiverLevels.wdgt/Default.png");
    QTest::newRow("tiff") << QStringLiteral("To Do.wdgt/Images/NoteScrollerKnobTop.tiff");
}

void tst_MyImageFileView::untouchedImageKeepsItsBytes()
{
    QFETCH(QString, sample);
    const QByteArray bytes = Tree::read(QStringLiteral(QUILLET_CORPUS "/") + sample);
    QVERIFY(bytes.size() > 16);
    const QString name = QFileInfo(sample).fileName();
    MyImageFileView *view = m_fixture->openView<MyImageFileView>(name, bytes);
    QVERIFY(view);
    QVERIFY(!view->image().isNull());
    QVERIFY(DocumentController::shared().documentForWindow(view)->saveDocument());
    QCOMPARE(Tree::read(m_bundle + u'/' + name), bytes);
}

void tst_MyImageFileView::replacedImageIsWrittenInTheFormatItsNameAsks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("png") << QStringLiteral("a.png") << QByteArray("png");
    QTest::newRow("jpeg keeps jpeg") << QStringLiteral("photo.jpg") << QByteArray("jpeg");
    QTest::newRow("gif, which Qt cannot write, gets png") << QStringLiteral("anim.gif") << QByteArray("png");
}

void tst_MyImageFileView::replacedImageIsWrittenInTheFormatItsNameAsks()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QImage original(8, 8, QImage::Format_RGB32);
    original.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(original.save(&buffer, format.constData()));
    MyImageFileView *view = m_fixture->openView<MyImageFileView>(name, bytes);
    QVERIFY(view);

    QImage replacement(20, 10, QImage::Format_RGB32);
    replacement.fill(Qt::blue);
    QApplication::clipboard()->setImage(replacement);
    QMetaObject::invokeMethod(view->findChild<ImageCanvas *>(), "paste");
    QVERIFY(view->isEdited());
    QVERIFY(DocumentController::shared().documentForWindow(view)->saveDocument());

    QImageReader reader(m_bundle + u'/' + name);
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), format);
    QCOMPARE(reader.read().size(), QSize(20, 10));
    QVERIFY(!view->isEdited());
}

void tst_MyImageFileView::unreadableImageShowsNothing()
{
    MyImageFileView *view = m_fixture->openView<MyImageFileView>(QStringLiteral("broken.png"), "not an image");
    QVERIFY(view);
    QVERIFY(view->image().isNull());
    QVERIFY(DocumentController::shared().documentForWindow(view)->saveDocument());
    QCOMPARE(Tree::read(m_bundle + QStringLiteral("/broken.png")), QByteArray("not an image"));
}

void tst_MyImageFileView::imageChangedElsewhereShowsWhenUntouched_data()
{
    QTest::addColumn<bool>("replacedHere");
    QTest::addColumn<QSize>("shown");
    QTest::newRow("untouched: the new image") << false << QSize(30, 15);
    QTest::newRow("replaced here: the replacement") << true << QSize(20, 10);
}

void tst_MyImageFileView::imageChangedElsewhereShowsWhenUntouched()
{
    QFETCH(bool, replacedHere);
    QFETCH(QSize, shown);
    QImage original(8, 8, QImage::Format_RGB32);
    original.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(original.save(&buffer, "PNG"));
    MyImageFileView *view = m_fixture->openView<MyImageFileView>(QStringLiteral("Default.png"), bytes);
    QVERIFY(view);
    if (replacedHere) {
        QImage replacement(20, 10, QImage::Format_RGB32);
        replacement.fill(Qt::blue);
        QApplication::clipboard()->setImage(replacement);
        QMetaObject::invokeMethod(view->findChild<ImageCanvas *>(), "paste");
    }
    QImage elsewhere(30, 15, QImage::Format_RGB32);
    elsewhere.fill(Qt::green);
    QVERIFY(elsewhere.save(m_bundle + QStringLiteral("/Default.png"), "PNG"));

    view->hide();
    view->show();

    QCOMPARE(view->image().size(), shown);
    QCOMPARE(view->isEdited(), replacedHere);
}

QTEST_MAIN(tst_MyImageFileView)
#include "tst_MyImageFileView.moc"
