// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Alert.h"
#include "platform/OpenPanel.h"
#include "platform/SavePanel.h"
#include "platform/Workspace.h"

#include "tests/common/Tree.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

class tst_Panels : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openChoosesBundlesAsOneItem_data();
    void openChoosesBundlesAsOneItem();
    void saveAddsTheExtensionAndAsksBeforeReplacing_data();
    void saveAddsTheExtensionAndAsksBeforeReplacing();
    void eachPurposeStartsWhereItLastChose();
    void desktopEntries();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Panels::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    Tree::write(m_dir->path(),
                {{u"Clock.wdgt/Info.plist"_qs, "<plist/>"},
                 {u"Note.WDTP/template.plist"_qs, "<plist/>"},
                 {u"Folder/inside.txt"_qs, "x"}});
}

void tst_Panels::cleanup()
{
    Alert::responder = nullptr;
    OpenPanel::responder = nullptr;
    SavePanel::responder = nullptr;
}

void tst_Panels::openChoosesBundlesAsOneItem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("entered"); // as double-click and Return do to a folder
    QTest::addColumn<bool>("chosen"); // else the panel goes into the folder
    QTest::newRow("widget") << u"Clock.wdgt"_qs << false << true;
    QTest::newRow("template, upper case") << u"Note.WDTP"_qs << false << true;
    QTest::newRow("widget entered") << u"Clock.wdgt"_qs << true << true;
    QTest::newRow("plain folder") << u"Folder"_qs << false << false;
}

void tst_Panels::openChoosesBundlesAsOneItem()
{
    QFETCH(QString, name);
    QFETCH(bool, entered);
    QFETCH(bool, chosen);
    const QString path = m_dir->filePath(name);
    OpenPanel panel(nullptr, {QStringLiteral("Open"), {}, {}, false, false, {}});
    panel.setDirectory(m_dir->path());
    if (entered) {
        emit panel.directoryEntered(path);
    } else {
        panel.selectFile(name);
        panel.accept();
    }
    QCOMPARE(panel.result() == QDialog::Accepted, chosen);
    QCOMPARE(panel.chosenPaths(), chosen ? QStringList{path} : QStringList());
    QCOMPARE(QDir(panel.directory()).canonicalPath(), QDir(chosen ? m_dir->path() : path).canonicalPath());
}

void tst_Panels::saveAddsTheExtensionAndAsksBeforeReplacing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer"); // -1: nothing to replace, nothing asked
    QTest::addColumn<QString>("chosen");
    QTest::newRow("no extension") << u"Weather"_qs << -1 << u"Weather.wdgt"_qs;
    QTest::newRow("other extension") << u"Weather.txt"_qs << -1 << u"Weather.txt.wdgt"_qs;
    QTest::newRow("upper case") << u"Weather.WDGT"_qs << -1 << u"Weather.WDGT"_qs;
    QTest::newRow("replace, typed without extension") << u"Clock"_qs << int(Alert::DefaultButton) << u"Clock.wdgt"_qs;
    QTest::newRow("cancel the replacing") << u"Clock.wdgt"_qs << int(Alert::AlternateButton) << QString();
}

void tst_Panels::saveAddsTheExtensionAndAsksBeforeReplacing()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QString, chosen);
    QList<Alert::Request> questions;
    Alert::responder = [&questions, answer](const Alert::Request &request) {
        questions.append(request);
        return Alert::Response(answer);
    };
    SavePanel panel(nullptr, {QStringLiteral("Save"), QStringLiteral("wdgt"), m_dir->path(), typed});
    // Saving over a bundle is saving, not opening a folder.
    QCOMPARE(panel.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save)->text(), QFileDialog::tr("&Save"));
    panel.accept();
    QCOMPARE(questions.size(), answer < 0 ? 0 : 1);
    if (answer >= 0)
        QVERIFY(questions.first().title.contains(QStringLiteral("Clock.wdgt"))
                && questions.first().icon == Alert::Icon::Warning);
    QCOMPARE(panel.result() == QDialog::Accepted, !chosen.isEmpty());
    QCOMPARE(panel.chosenPath(), chosen.isEmpty() ? QString() : m_dir->filePath(chosen));
    // Whatever the answer, the panel itself leaves the existing bundle alone.
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("Clock.wdgt/Info.plist"))));
}

// Open panels by their titles, Save panels all together; all in this run only.
void tst_Panels::eachPurposeStartsWhereItLastChose()
{
    QStringList starts;
    OpenPanel::responder = [&](const OpenPanel::Options &options) {
        starts.append(options.directory);
        return QStringList{m_dir->filePath(QStringLiteral("Folder/inside.txt"))};
    };
    SavePanel::responder = [&](const SavePanel::Options &options) {
        starts.append(options.directory);
        return m_dir->filePath(QStringLiteral("Clock.wdgt"));
    };
    const OpenPanel::Options application{u"Choose an Application"_qs,  {}, {}, false, false,
                                         u"/usr/share/applications"_qs};
    OpenPanel::run(nullptr, application);
    OpenPanel::run(nullptr, application);
    OpenPanel::run(nullptr, {u"Copy Into the Widget"_qs, {}, {}, false, true, {}});
    SavePanel::run(nullptr, {u"Save New Widget"_qs, u"wdgt"_qs, {}, {}});
    SavePanel::run(nullptr, {u"Save As"_qs, u"wdgt"_qs, {}, {}});
    SavePanel::run(nullptr, {u"Save As"_qs, u"wdgt"_qs, u"/srv"_qs, {}});
    QCOMPARE(starts,
             (QStringList{u"/usr/share/applications"_qs, m_dir->filePath(u"Folder"_qs), QDir::homePath(),
                          QDir::homePath(), m_dir->path(), u"/srv"_qs}));
}

// The panel shows an entry by its name in the user's language and its icon,
// in the order of the names, and chooses it by its file; its Exec line
// starts it. An entry is read as the desktop reads it: one whose program is
// not installed is no application.
void tst_Panels::desktopEntries()
{
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(m_dir->filePath(QStringLiteral("red.png"))));
    const QString apps = m_dir->filePath(QStringLiteral("Apps"));
    Tree::write(apps, QStringLiteral("a.desktop"), "[Desktop Entry]\nType=Application\nName=Zeta\nExec=true --fast\n");
    Tree::write(apps, QStringLiteral("b.desktop"),
                "[Desktop Entry]\nType=Application\nName=Beta\nName[de]=Anfang\nExec=sh -c true %U %i\nIcon="
                    + m_dir->filePath(QStringLiteral("red.png")).toUtf8()
                    + "\n[Desktop Action New]\nName[de]=Neu\nExec=other %f\n");
    Tree::write(apps, QStringLiteral("c.desktop"),
                "[Desktop Entry]\nType=Application\nName=Alpha\nExec=quillet-not-installed\n");
    qputenv("LANGUAGE", "de_DE");
    OpenPanel panel(nullptr, {u"Choose an Application"_qs, {}, {u"desktop"_qs}, false, false, apps});
    const auto *view = panel.findChild<QTreeView *>(QStringLiteral("treeView"));
    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 3);
    const QModelIndex first = view->model()->index(0, 0, view->rootIndex());
    QCOMPARE(first.data(Qt::AccessibleTextRole).toString(), u"Anfang"_qs);
    QCOMPARE(first.data().toString(), u"b.desktop"_qs);
    QCOMPARE(first.data(Qt::DecorationRole).value<QIcon>().pixmap(8).toImage().pixelColor(0, 0), QColor(Qt::red));
    const QModelIndex notInstalled = view->model()->match(first, Qt::DisplayRole, u"c.desktop"_qs).value(0);
    QVERIFY(notInstalled.isValid() && notInstalled.data(Qt::AccessibleTextRole).toString() != u"Alpha"_qs);
    qunsetenv("LANGUAGE");

    // Quoted words with quotes, `$` and `%` in them, by the desktop entry
    // rules, and the file given in place of %f.
    Tree::write(apps, QStringLiteral("d.desktop"),
                "[Desktop Entry]\nType=Application\nName=Write\n"
                "Exec=sh -c \"printf %%s \\\\\"hi there\\\\\" > \\\\\"\\\\$1\\\\\"\" sh %f\n");
    const QString file = m_dir->filePath(QStringLiteral("a b.js"));
    const Outcome started = Workspace::openFile(file, apps + QStringLiteral("/d.desktop"));
    QVERIFY2(started, qPrintable(started.reason()));
    QTRY_COMPARE(Tree::read(file), QByteArray("hi there"));
    const Outcome missing = Workspace::openFile(file, apps + QStringLiteral("/missing.desktop"));
    QVERIFY(!missing && missing.reason().contains(u"desktop entry"));
}

QTEST_MAIN(tst_Panels)
#include "tst_Panels.moc"
