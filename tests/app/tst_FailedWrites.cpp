// SPDX-License-Identifier: GPL-2.0-or-later
// Every command that writes an editor's edits, without a fault and against
// faults that hold for root too. The edits reach the disk, or else the old
// file is whole, the editor still holds the edits, and exactly one critical
// message names the file.
#include "app/MyDocument.h"
#include "editors/ContentArea.h"
#include "editors/MyTextFileView.h"
#include "editors/NoticeBar.h"
#include "app/ToolbarDelegate.h"
#include "platform/FileManager.h"
#include "platform/Workspace.h"

#include "tests/common/DocumentFixture.h"
#include "tests/common/Tree.h"

#include <Qsci/qsciscintilla.h>

#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

enum class Command { Save, SaveAs, Close, DragOut, OpenWith };
enum class Fault { None, FullDisk, FileWhereFolderWas, Fifo };

const QString Edited = QStringLiteral("Images/notes.txt");
const QByteArray OldNotes = "old notes\n";

// Writes past this many bytes fail as on a full disk (SIGXFSZ is ignored).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Fault)

class tst_FailedWrites : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }
    void init();
    void cleanup();

    void editsReachTheDiskOrStay_data();
    void editsReachTheDiskOrStay();

private:
    MyTextFileView *editNotes();
    QStringList criticalMessages() const;
    void answer(Alert::Response response);

    std::unique_ptr<DocumentFixture> m_fixture;
    MyDocument *m_document = nullptr;
    QList<Alert::Request> m_alerts;
};

void tst_FailedWrites::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    Tree::writeBundle(m_fixture->bundle());
    Tree::write(m_fixture->bundle(), Edited, OldNotes);
    m_document = m_fixture->open(m_fixture->bundle());
    m_alerts.clear();
    answer(Alert::DefaultButton);
}

void tst_FailedWrites::cleanup()
{
    Workspace::responder = nullptr;
    m_fixture.reset();
}

void tst_FailedWrites::answer(Alert::Response response)
{
    Alert::responder = [this, response](const Alert::Request &request) {
        m_alerts.append(request);
        return response;
    };
}

QStringList tst_FailedWrites::criticalMessages() const
{
    QStringList messages;
    for (const Alert::Request &alert : m_alerts) {
        if (alert.icon == Alert::Icon::Critical)
            messages.append(alert.message);
    }
    return messages;
}

// Edits larger than the limit the full-disk fault sets.
MyTextFileView *tst_FailedWrites::editNotes()
{
    m_document->fileListController()->openFileAtPath(m_fixture->bundle() + u'/' + Edited);
    auto *view = qobject_cast<MyTextFileView *>(m_document->contentView()->viewFor(Edited));
    if (view)
        view->findChild<QsciScintilla *>()->insert(QString(20000, u'x'));
    return view;
}

void tst_FailedWrites::editsReachTheDiskOrStay_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<Fault>("fault");
    const std::pair<const char *, Command> commands[] = {{"save", Command::Save}, {"close", Command::Close},
                                                         {"drag out", Command::DragOut},
                                                         {"open with", Command::OpenWith}};
    const std::pair<const char *, Fault> faults[] = {{"no fault", Fault::None}, {"full disk", Fault::FullDisk},
                                                     {"file where the folder was", Fault::FileWhereFolderWas},
                                                     {"FIFO", Fault::Fifo}};
    for (const auto &[commandName, command] : commands) {
        for (const auto &[faultName, fault] : faults)
            QTest::addRow("%s, %s", commandName, faultName) << command << fault;
    }
    // The copy is made whole first; the edits then go, or fail to go, into it.
    QTest::newRow("save as, no fault") << Command::SaveAs << Fault::None;
    QTest::newRow("save as, full disk") << Command::SaveAs << Fault::FullDisk;
    QTest::newRow("save as, file where the folder was") << Command::SaveAs << Fault::FileWhereFolderWas;
}

void tst_FailedWrites::editsReachTheDiskOrStay()
{
    QFETCH(Command, command);
    QFETCH(Fault, fault);
    MyTextFileView *view = editNotes();
    QVERIFY(view);
    const QString edited = view->text();
    const QString bundle = m_fixture->bundle();
    QString oldFile = bundle + u'/' + Edited;
    if (fault == Fault::FileWhereFolderWas) {
        QVERIFY(QDir(bundle).rename(QStringLiteral("Images"), QStringLiteral("Moved")));
        QVERIFY(Tree::write(bundle, QStringLiteral("Images"), "a file"));
        oldFile = bundle + QStringLiteral("/Moved/notes.txt");
    } else if (fault == Fault::Fifo) {
        QVERIFY(QFile::remove(oldFile));
        QCOMPARE(::mkfifo(QFile::encodeName(oldFile).constData(), 0600), 0);
    }
    const FileSizeLimit limit(fault == Fault::FullDisk ? 4096 : RLIM_INFINITY);
    int handedOver = 0;
    Workspace::responder = [&handedOver](const QString &, const QString &) { return ++handedOver > 0; };
    OpenPanel::responder = [](const OpenPanel::Options &) { return QStringList{QStringLiteral("/usr/share/applications/x.desktop")}; };
    const QString copy = m_fixture->folder() + QStringLiteral("/Copy.wdgt");
    SavePanel::responder = [&copy](const SavePanel::Options &) { return copy; };
    FileListController *list = m_document->fileListController();
    const int images = int(list->rowList().indexOf(QStringLiteral("Images")));

    const bool fine = fault == Fault::None;
    switch (command) {
    case Command::Save:
        QCOMPARE(m_document->saveDocument(), fine);
        break;
    case Command::SaveAs:
        QCOMPARE(m_document->saveDocumentAs(), fine);
        oldFile = copy + oldFile.mid(bundle.size());
        break;
    case Command::Close:
        m_document->window()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(DocumentController::shared().documents().isEmpty(), fine);
        break;
    case Command::DragOut: {
        const std::unique_ptr<QMimeData> dragged(list->mimeData({list->index(images, EntryListModel::NameColumn)}));
        QCOMPARE(dragged ? dragged->urls() : QList<QUrl>(),
                 fine ? QList<QUrl>{QUrl::fromLocalFile(bundle + QStringLiteral("/Images"))} : QList<QUrl>());
        break;
    }
    case Command::OpenWith:
        DocumentFixture::table(m_document)->selectRow(images);
        list->openFileWith();
        QCOMPARE(handedOver, fine ? 1 : 0);
        break;
    }

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // No temporary file is left beside the file, written or not.
    const QStringList beside = FileManager::contentsOfDirectory(QFileInfo(oldFile).absolutePath());
    QVERIFY(std::none_of(beside.cbegin(), beside.cend(), [](const QString &name) { return name.startsWith(u'.'); }));
    const QStringList messages = criticalMessages();
    if (fine) {
        QVERIFY(messages.isEmpty());
        QCOMPARE(Tree::read(oldFile), edited.toUtf8());
        return;
    }
    QCOMPARE(m_document->contentView()->viewFor(Edited), view);
    QVERIFY(view->isEdited());
    QCOMPARE(view->text(), edited);
    if (fault == Fault::Fifo)
        QVERIFY(QFileInfo(oldFile).isFile() == (command == Command::SaveAs));
    else
        QCOMPARE(Tree::read(oldFile), OldNotes);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().startsWith(QStringLiteral("“%1”: ").arg(Edited)), qPrintable(messages.first()));
}

QTEST_MAIN(tst_FailedWrites)
#include "tst_FailedWrites.moc"
