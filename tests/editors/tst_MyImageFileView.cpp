// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ImageCanvas.h"
#include "editors/MyImageFileView.h"

#include "tests/common/DocumentFixture.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImageReader>

#ifndef QUILLET_CORPUS
#error "QUILLET_CORPUS must name the folder of sample widgets"
#endif

namespace {

QByteArray encodedImage(const QSize &size, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Pastes a 20×10 image onto the view, as the user replaces one.
void replace(MyImageFileView *view)
{
    QImage replacement(20, 10, QImage::Format_RGB32);
    replacement.fill(Qt::blue);
    QApplication::clipboard()->setImage(replacement);
    QMetaObject::invokeMethod(view->findChild<ImageCanvas *>(), "paste");
}

} // namespace

class tst_MyImageFileView : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture = std::make_unique<DocumentFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void writtenOnlyWhenReplaced_data();
    void writtenOnlyWhenReplaced();
    void imageChangedElsewhereShowsWhenUntouched_data();
    void imageChangedElsewhereShowsWhenUntouched();

private:
    std::unique_ptr<DocumentFixture> m_fixture;
};

// Untouched images keep their bytes, whatever Qt makes of them; a replaced
// one is written in the format its name names when Qt can write it.
void tst_MyImageFileView::writtenOnlyWhenReplaced_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("written"); // the format written; empty: untouched
    const auto sample = [](const char *path) { return Tree::read(QStringLiteral(QUILLET_CORPUS "/") + QLatin1String(path)); };
    QTest::newRow("animated gif") << u"a.gif"_qs << sample("RiverLevels.wdgt/images/rot_refresh.gif") << QByteArray();
    QTest::newRow("png") << u"Default.png"_qs << sample("RiverLevels.wdgt/Default.png") << QByteArray();
    QTest::newRow("tiff") << u"knob.tiff"_qs << sample("To Do.wdgt/Images/NoteScrollerKnobTop.tiff") << QByteArray();
    QTest::newRow("not an image") << u"broken.png"_qs << QByteArray("not an image") << QByteArray();
    QTest::newRow("png replaced") << u"a.png"_qs << encodedImage(QSize(8, 8), "png") << QByteArray("png");
    QTest::newRow("jpeg replaced keeps jpeg") << u"photo.jpg"_qs << encodedImage(QSize(8, 8), "jpeg") << QByteArray("jpeg");
    QTest::newRow("gif, which Qt cannot write, gets png") << u"anim.gif"_qs << encodedImage(QSize(8, 8), "png") << QByteArray("png");
}

void tst_MyImageFileView::writtenOnlyWhenReplaced()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, written);
    QVERIFY(bytes.size() > 8);
    MyImageFileView *view = m_fixture->openView<MyImageFileView>(name, bytes);
    if (!written.isEmpty())
        replace(view);
    QCOMPARE(view->isEdited(), !written.isEmpty());
    QVERIFY(DocumentController::shared().documentForWindow(view)->saveDocument());
    QVERIFY(!view->isEdited());
    const QString path = m_fixture->bundle() + u'/' + name;
    if (written.isEmpty()) {
        QCOMPARE(Tree::read(path), bytes);
        return;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), written);
    QCOMPARE(reader.read().size(), QSize(20, 10));
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
    MyImageFileView *view = m_fixture->openView<MyImageFileView>(QStringLiteral("Default.png"), encodedImage(QSize(8, 8), "png"));
    if (replacedHere)
        replace(view);
    QVERIFY(Tree::write(m_fixture->bundle(), QStringLiteral("Default.png"), encodedImage(QSize(30, 15), "png")));
    view->hide();
    view->show();
    QCOMPARE(view->image().size(), shown);
    QCOMPARE(view->isEdited(), replacedHere);
}

QTEST_MAIN(tst_MyImageFileView)
#include "tst_MyImageFileView.moc"
