// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Alert.h"
#include "platform/OpenPanel.h"
#include "platform/SavePanel.h"

#include "tests/common/Tree.h"

#include <QTemporaryDir>
#include <QTest>

class tst_Panels : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void bundleIsChosenAsOneItem_data();
    void bundleIsChosenAsOneItem();
    void enteringABundleChoosesIt();
    void plainFolderIsEntered();

    void saveAddsTheRequiredExtension_data();
    void saveAddsTheRequiredExtension();
    void saveAsksBeforeReplacing_data();
    void saveAsksBeforeReplacing();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<Alert::Request> m_questions;
};

void tst_Panels::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    Tree::write(m_dir->path(), QStringLiteral("Clock.wdgt/Info.plist"), "<plist/>");
    Tree::write(m_dir->path(), QStringLiteral("Note.WDTP/template.plist"), "<plist/>");
    Tree::write(m_dir->path(), QStringLiteral("Folder/inside.txt"), "x");
    m_questions.clear();
}

void tst_Panels::cleanup()
{
    Alert::responder = nullptr;
}

void tst_Panels::bundleIsChosenAsOneItem_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("widget") << QStringLiteral("Clock.wdgt");
    QTest::newRow("template, upper case") << QStringLiteral("Note.WDTP");
}

void tst_Panels::bundleIsChosenAsOneItem()
{
    QFETCH(QString, name);
    QVERIFY(BundlePanel::isBundle(m_dir->filePath(name)));
    OpenPanel panel(nullptr, {QStringLiteral("Open"), {}, {QStringLiteral("wdgt")}, true, false, {}});
    panel.setDirectory(m_dir->path());
    panel.selectFile(name);
    panel.accept();
    QCOMPARE(panel.result(), int(QDialog::Accepted));
    QCOMPARE(panel.chosenPaths(), QStringList{m_dir->filePath(name)});
}

void tst_Panels::enteringABundleChoosesIt()
{
    OpenPanel panel(nullptr, {QStringLiteral("Open"), {}, {}, false, false, {}});
    panel.setDirectory(m_dir->path());
    // What double-click and Return do to a folder.
    emit panel.directoryEntered(m_dir->filePath(QStringLiteral("Clock.wdgt")));
    QCOMPARE(panel.result(), int(QDialog::Accepted));
    QCOMPARE(panel.chosenPaths(), QStringList{m_dir->filePath(QStringLiteral("Clock.wdgt"))});
    QCOMPARE(QDir(panel.directory()).canonicalPath(), QDir(m_dir->path()).canonicalPath());
}

void tst_Panels::plainFolderIsEntered()
{
    OpenPanel panel(nullptr, {QStringLiteral("Open"), {}, {}, false, false, {}});
    panel.setDirectory(m_dir->path());
    panel.selectFile(QStringLiteral("Folder"));
    panel.accept();
    QVERIFY(panel.result() != QDialog::Accepted);
    QCOMPARE(QDir(panel.directory()).canonicalPath(),
             QDir(m_dir->filePath(QStringLiteral("Folder"))).canonicalPath());
}

void tst_Panels::saveAddsTheRequiredExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("no extension") << QStringLiteral("Weather") << QStringLiteral("Weather.wdgt");
    QTest::newRow("other extension") << QStringLiteral("Weather.txt") << QStringLiteral("Weather.txt.wdgt");
    QTest::newRow("upper case") << QStringLiteral("Weather.WDGT") << QStringLiteral("Weather.WDGT");
}

void tst_Panels::saveAddsTheRequiredExtension()
{
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    QCOMPARE(SavePanel::withRequiredExtension(typed, QStringLiteral("wdgt")), chosen);
    SavePanel panel(nullptr, {QStringLiteral("Save"), QStringLiteral("wdgt"), m_dir->path(), typed});
    panel.accept();
    QCOMPARE(panel.result(), int(QDialog::Accepted));
    QCOMPARE(panel.chosenPath(), m_dir->filePath(chosen));
}

void tst_Panels::saveAsksBeforeReplacing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("replace, typed without extension") << QStringLiteral("Clock") << int(Alert::DefaultButton) << true;
    QTest::newRow("replace") << QStringLiteral("Clock.wdgt") << int(Alert::DefaultButton) << true;
    QTest::newRow("cancel") << QStringLiteral("Clock.wdgt") << int(Alert::AlternateButton) << false;
}

void tst_Panels::saveAsksBeforeReplacing()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(bool, accepted);
    Alert::responder = [this, answer](const Alert::Request &request) {
        m_questions.append(request);
        return Alert::Response(answer);
    };
    SavePanel panel(nullptr, {QStringLiteral("Save"), QStringLiteral("wdgt"), m_dir->path(), typed});
    panel.accept();
    QCOMPARE(m_questions.size(), 1);
    QVERIFY(m_questions.first().title.contains(QStringLiteral("Clock.wdgt")));
    QCOMPARE(m_questions.first().defaultButton, QStringLiteral("Replace"));
    QCOMPARE(panel.result() == QDialog::Accepted, accepted);
    QCOMPARE(panel.chosenPath(), accepted ? m_dir->filePath(QStringLiteral("Clock.wdgt")) : QString());
    // Whatever the answer, the panel itself leaves the existing bundle alone.
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("Clock.wdgt/Info.plist"))));
}

QTEST_MAIN(tst_Panels)
#include "tst_Panels.moc"
