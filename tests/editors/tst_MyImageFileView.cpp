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

namespace {

// An image of `size` in one colour, encoded in `format`.
QByteArray encodedImage(const QSize &size, Qt::GlobalColor colour, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

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
    const QByteArray bytes = encodedImage(QSize(8, 8), Qt::red, format.constData());
    QVERIFY(!bytes.isEmpty());
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
    MyImageFileView *view = m_fixture->openView<MyImageFileView>(
        QStringLiteral("Default.png"), encodedImage(QSize(8, 8), Qt::red, "PNG"));
    QVERIFY(view);
    if (replacedHere) {
        QImage replacement(20, 10, QImage::Format_RGB32);
        replacement.fill(Qt::blue);
        QApplication::clipboard()->setImage(replacement);
        QMetaObject::invokeMethod(view->findChild<ImageCanvas *>(), "paste");
    }
    QVERIFY(Tree::write(m_bundle, QStringLiteral("Default.png"),
                        encodedImage(QSize(30, 15), Qt::green, "PNG")));

    view->hide();
    view->show();

    QCOMPARE(view->image().size(), shown);
    QCOMPARE(view->isEdited(), replacedHere);
}

QTEST_MAIN(tst_MyImageFileView)
#include "tst_MyImageFileView.moc"
