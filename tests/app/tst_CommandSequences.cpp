// SPDX-License-Identifier: GPL-2.0-or-later
// Seeded random sequences of user commands and of other programs' actions,
// driven against a real document window off screen and checked after every
// step against a small model of what the disk and each editor must hold. A
// failing sequence is cut down to the shortest one that still fails, which
// is printed with its seed.
//
// QUILLET_SEQUENCE_STEPS (steps in all) and QUILLET_SEQUENCE_SEED (the first
// seed) choose the run; scripts/soak sets them.
#include "app/ToolbarDelegate.h"
#include "editors/MyFolderBrowserView.h"
#include "editors/MyInfoPlistView.h"
#include "editors/NoticeBar.h"
#include "platform/PropertyList.h"
#include "platform/Toolbar.h"

#include "tests/common/DocumentFixture.h"
#include "tests/common/FileSizeLimit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QToolBar>

#include <csignal>
#include <numeric>
#include <optional>
#include <unistd.h>

namespace {

constexpr int StepsPerSequence = 200;
constexpr int DefaultSteps = 3000;
constexpr int MostShrinkingRuns = 400;
constexpr int ClockTick = 11; // ms, more than one tick of the kernel's coarse clock

enum class Op {
    Type, Click, FindNext, Search, EditForm, Select, OpenInFolder, AnswerBar, Save, SaveAs, Close, Rename, Remove,
    Add, Drop, DragOut, Revert, DisplayMode, OutsideWrite, OutsideRemove, OutsideFolder, MoveBundle, Count
};

// What a step does, with choices resolved against the state it meets.
struct Step
{
    Op op;
    quint32 a, b;
    bool fullDisk; // in-app writes fail as on a full disk
};

const QStringList Typed = {u"Q"_qs, u"var "_qs, u"tick"_qs, u"x1 "_qs, u"BODY"_qs};
const QStringList Searches = {u"var"_qs, u"tick"_qs, u"body"_qs, u"notes"_qs, u"q"_qs, u"zz"_qs, u"js"_qs, QString()};
const QStringList FormKeys = {u"CFBundleName"_qs, u"Width"_qs};
const QStringList FormValues = {QString(), u"Tick"_qs, u"320"_qs};
const char *const ChangedNotice = "was changed by another program";

QString fieldName(const QString &key)
{
    return key == u"Width" ? u"widthField"_qs : u"bundleNameField"_qs;
}

QByteArray plistXml(const QMap<QString, QString> &keys)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        xml += "\t<key>" + it.key().toUtf8() + "</key>\n\t<string>" + it.value().toUtf8() + "</string>\n";
    return xml + "</dict>\n</plist>\n";
}

// What the disk holds and each editor must show.
struct Model
{
    struct Entry
    {
        QByteArray bytes;
        bool folder = false;
        quint64 id = 0; // a new one for every file made or written: what a view's stamp tells apart
    };
    enum class Kind { Text, Form, Folder };
    struct View
    {
        Kind kind = Kind::Text;
        QString text;
        qsizetype anchor = 0;
        qsizetype caret = 0;
        bool edited = false;
        bool readOnly = false;
        bool bar = false; // the question about another program's change shows
        quint64 readId = 0;
        QMap<QString, QString> fields;
        QSet<QString> editedKeys;
        bool isEdited() const { return edited || !editedKeys.isEmpty(); }
    };

    QMap<QString, Entry> disk; // by path inside the bundle, wherever the bundle is
    QMap<QString, QString> plist;
    QString bundle;
    bool away = false; // another program moved the bundle aside
    QMap<QString, View> views;
    QStringList order; // of the views, as the area holds them
    QString shown, selected, search;
    int displayMode = Toolbar::DisplayModeDefault;
    QSet<QString> folderEntries; // names beside the bundle
    quint64 lastId = 0;
    // Each step's messages: how many alerts, and the files the failure names.
    int alerts = 0;
    std::optional<QSet<QString>> failed = QSet<QString>();

    quint64 newId() { return ++lastId; }
    quint64 idAt(const QString &path) const { return away || !disk.contains(path) ? 0 : disk[path].id; }
    bool isFolder(const QString &path) const { return !away && disk.contains(path) && disk[path].folder; }
    bool isFile(const QString &path) const { return !away && disk.contains(path) && !disk[path].folder; }
    bool anyEdited() const
    {
        return std::any_of(views.cbegin(), views.cend(), [](const View &view) { return view.isEdited(); });
    }
    QStringList topLevel() const
    {
        QStringList names;
        for (const QString &path : disk.keys()) {
            if (!away && !path.contains(u'/'))
                names.append(path);
        }
        return names;
    }
    QStringList inside(const QString &name) const
    {
        QStringList paths;
        for (const QString &path : disk.keys()) {
            if (path == name || path.startsWith(name + u'/'))
                paths.append(path);
        }
        return paths;
    }
    QStringList viewsInside(const QString &name) const
    {
        QStringList ids = order;
        ids.removeIf([&name](const QString &id) { return id != name && !id.startsWith(name + u'/'); });
        return ids;
    }

    QSet<QString> rows() const
    {
        QSet<QString> rows;
        const QStringList names = topLevel();
        for (const QString &name : names) {
            if (name.contains(search, Qt::CaseInsensitive))
                rows.insert(name);
        }
        if (search.isEmpty())
            return rows;
        for (const QString &id : order) {
            const QString top = id.section(u'/', 0, 0);
            if (names.contains(top) && holds(id, views[id]))
                rows.insert(top);
        }
        return rows;
    }
    bool holds(const QString &id, const View &view) const
    {
        if (view.kind == Kind::Text)
            return view.text.contains(search, Qt::CaseInsensitive);
        if (view.kind == Kind::Form)
            return false;
        for (const QString &path : disk.keys()) {
            if (path.startsWith(id + u'/') && !path.mid(id.size() + 1).contains(u'/')
                && path.mid(id.size() + 1).contains(search, Qt::CaseSensitive))
                return true;
        }
        return false;
    }

    void read(View &view, const QString &id, bool keepCaret)
    {
        view.readId = idAt(id);
        view.bar = false;
        view.edited = false;
        view.editedKeys.clear();
        if (view.kind == Kind::Form) {
            for (const QString &key : FormKeys) {
                if (isFile(id) && plist.contains(key))
                    view.fields[key] = plist[key];
            }
            return;
        }
        view.readOnly = !isFile(id);
        view.text = view.readOnly ? QString() : QString::fromLatin1(disk[id].bytes);
        view.caret = keepCaret ? std::min(view.caret, view.text.size()) : 0;
        view.anchor = view.caret;
    }
    void close(const QString &id)
    {
        views.remove(id);
        order.removeAll(id);
        if (shown == id)
            shown.clear();
    }
    Kind kindAt(const QString &id) const
    {
        if (isFolder(id))
            return Kind::Folder;
        return id == u"Info.plist" ? Kind::Form : Kind::Text;
    }
    void open(const QString &id)
    {
        const Kind kind = kindAt(id);
        if (views.contains(id) && !views[id].isEdited() && views[id].kind != kind)
            close(id);
        if (!views.contains(id)) {
            View view;
            view.kind = kind;
            for (const QString &key : FormKeys)
                view.fields[key] = QString();
            read(view, id, false);
            views[id] = view;
            order.append(id);
        }
        shown = id;
    }
    // As a click on the row: a row already selected opens only when its
    // view does not show.
    void select(const QString &name)
    {
        if (selected != name || shown != name)
            open(name);
        selected = name;
    }

    Entry &write(const QString &path, const QByteArray &bytes)
    {
        return disk[path] = {bytes, false, newId()};
    }
    void fail(const QString &file)
    {
        if (failed)
            failed->insert(file);
    }
    bool canWrite(const QString &id, qsizetype size, bool fullDisk) const
    {
        const QString parent = id.section(u'/', 0, -2);
        return !away && !isFolder(id) && (parent.isEmpty() || isFolder(parent)) && !(fullDisk && size > 0);
    }
    bool save(const QString &id, bool fullDisk)
    {
        View &view = views[id];
        if (!view.isEdited())
            return true;
        if (view.readId != idAt(id)) {
            view.bar = true;
            fail(id);
            return false;
        }
        if (view.kind == Kind::Form) {
            if (!canWrite(id, 1, fullDisk) || !isFile(id)) {
                fail(id);
                return false;
            }
            for (const QString &key : std::as_const(view.editedKeys)) {
                if (view.fields[key].isEmpty() && key == u"Width")
                    plist.remove(key);
                else
                    plist[key] = view.fields[key];
            }
            write(id, {});
            read(view, id, true);
            return true;
        }
        if (!canWrite(id, view.text.size(), fullDisk)) {
            fail(id);
            return false;
        }
        view.readId = write(id, view.text.toLatin1()).id;
        view.edited = false;
        view.bar = false;
        return true;
    }
    bool saveAll(bool fullDisk)
    {
        bool saved = true;
        for (const QString &id : std::as_const(order))
            saved = save(id, fullDisk) && saved;
        alerts += saved ? 0 : 1;
        return saved;
    }
    // The watch on the open files.
    void followDisk()
    {
        for (const QString &id : std::as_const(order)) {
            View &view = views[id];
            if (view.kind == Kind::Folder || view.readId == idAt(id))
                continue;
            if (view.isEdited())
                view.bar = true;
            else
                read(view, id, true);
        }
        if (!rows().contains(selected))
            selected.clear();
    }
};

// Said before a crash takes the process down, so that it can be replayed.
char crashNote[256] = "";

void sayWhereItCrashed(int signal)
{
    ::write(STDERR_FILENO, crashNote, std::strlen(crashNote));
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

/// One sequence of steps, on a new bundle, with the model beside it.
class Run
{
public:
    Run(quint32 seed, bool verbose)
        : m_seed(seed)
        , m_verbose(verbose)
    {
        writeBundle();
        Alert::responder = [this](const Alert::Request &request) {
            m_alerts.append(request);
            return request.alternateButton.isEmpty() ? Alert::DefaultButton : m_answer;
        };
        m_document = m_fixture.open(m_model.bundle);
    }

    /// The first step that went wrong, and how; nothing when none did.
    std::optional<QString> play(const QList<Step> &steps)
    {
        for (qsizetype index = 0; index < steps.size(); ++index) {
            std::snprintf(crashNote, sizeof crashNote, "crashed at step %lld of seed %u\n",
                          static_cast<long long>(index), m_seed);
            m_alerts.clear();
            m_model.alerts = 0;
            m_model.failed = QSet<QString>();
            QString done = perform(steps[index]);
            settle();
            if (m_verbose && !done.isEmpty())
                qInfo("  %lld. %s", static_cast<long long>(index), qPrintable(done));
            if (const std::optional<QString> wrong = check())
                return QStringLiteral("step %1 (%2): %3").arg(index).arg(done, *wrong);
        }
        return std::nullopt;
    }

private:
    void writeBundle()
    {
        m_model.bundle = m_fixture.bundle();
        m_model.plist = {{u"CFBundleIdentifier"_qs, u"com.example.clock"_qs}, {u"CFBundleName"_qs, u"Clock"_qs},
                         {u"MainHTML"_qs, u"main.html"_qs}, {u"Width"_qs, u"200"_qs}, {u"Height"_qs, u"100"_qs}};
        const std::pair<QString, QByteArray> files[] = {{u"Info.plist"_qs, plistXml(m_model.plist)},
                                                        {u"main.js"_qs, "var tick = 1;\n"},
                                                        {u"style.css"_qs, "body { color: red; }\n"},
                                                        {u"README"_qs, "Read the notes\n"},
                                                        {u"Images/notes.txt"_qs, "old notes\n"}};
        for (const auto &[path, bytes] : files) {
            Tree::write(m_model.bundle, path, bytes);
            m_model.write(path, bytes);
        }
        m_model.disk[u"Images"_qs] = {{}, true, m_model.newId()};
        m_model.folderEntries = {u"Clock.wdgt"_qs};
        QTest::qSleep(ClockTick);
    }

    FileListController *list() const { return m_document->fileListController(); }
    ContentArea *area() const { return m_document->contentView(); }
    QString path(const QString &id) const { return m_model.bundle + u'/' + id; }
    template <class T>
    T *shownView() const
    {
        return qobject_cast<T *>(area()->currentWidget());
    }
    QString pick(const QStringList &from, quint32 choice) const
    {
        return from.isEmpty() ? QString() : from[int(choice % quint32(from.size()))];
    }
    QString fresh(const QString &stem, const QString &suffix = {}) { return stem + QString::number(++m_made) + suffix; }

    // Whatever a step left pending (the watch on the files, views being
    // deleted) comes in, and the list is read again, as the folder's watch
    // would have it.
    void settle()
    {
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        list()->reloadData();
        m_model.followDisk();
    }

    void clickRow(const QString &name)
    {
        QTableView *table = DocumentFixture::table(m_document);
        const QModelIndex index = list()->index(int(list()->rowList().indexOf(name)), EntryListModel::NameColumn);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
    }
    void select(const QString &name)
    {
        clickRow(name);
        m_model.select(name);
    }

    // The commands that write take the step's full disk; other programs'
    // writes never do.
    QString perform(const Step &step)
    {
        static const QSet<Op> writers = {Op::Save, Op::SaveAs, Op::Close, Op::Rename, Op::DragOut};
        const bool fullDisk = step.fullDisk && writers.contains(step.op);
        std::optional<FileSizeLimit> limit;
        if (fullDisk)
            limit.emplace(0);
        const QString done = act(step, fullDisk);
        return fullDisk && !done.isEmpty() ? done + u" on a full disk"_qs : done;
    }

    QString act(const Step &step, bool fullDisk)
    {
        const QStringList rows = list()->rowList();
        Model &model = m_model;
        switch (step.op) {
        case Op::Type: {
            auto *view = shownView<MyTextFileView>();
            Model::View *expected = model.views.contains(model.shown) ? &model.views[model.shown] : nullptr;
            if (!view || !expected || expected->readOnly)
                return {};
            const QString text = pick(Typed, step.a);
            QTest::keyClicks(view->findChild<QsciScintilla *>(), text);
            const qsizetype from = std::min(expected->anchor, expected->caret);
            expected->text.replace(from, std::max(expected->anchor, expected->caret) - from, text);
            expected->caret = expected->anchor = from + text.size();
            expected->edited = true;
            return QStringLiteral("type “%1” in %2").arg(text, model.shown);
        }
        case Op::Click: {
            auto *view = shownView<MyTextFileView>();
            if (!view)
                return {};
            Model::View &expected = model.views[model.shown];
            expected.caret = expected.anchor = qsizetype(step.a % quint32(expected.text.size() + 1));
            view->findChild<QsciScintilla *>()->SendScintilla(QsciScintilla::SCI_GOTOPOS,
                                                               static_cast<unsigned long>(expected.caret));
            return QStringLiteral("click at %1 in %2").arg(expected.caret).arg(model.shown);
        }
        case Op::FindNext: {
            m_document->toolbarDelegate()->findNext();
            if (!model.search.isEmpty() && model.views.value(model.shown).kind == Model::Kind::Text
                && model.views.contains(model.shown)) {
                Model::View &view = model.views[model.shown];
                const QString text = view.text.toLower(), needle = model.search.toLower();
                qsizetype at = text.indexOf(needle, std::max(view.anchor, view.caret));
                if (at < 0)
                    at = text.indexOf(needle);
                if (at >= 0) {
                    view.anchor = at;
                    view.caret = at + needle.size();
                }
            }
            return u"find next"_qs;
        }
        case Op::Search: {
            model.search = pick(Searches, step.a);
            m_document->toolbarDelegate()->searchView()->setText(model.search);
            m_document->toolbarDelegate()->searchRefresh();
            return QStringLiteral("search for “%1”").arg(model.search);
        }
        case Op::EditForm: {
            auto *view = shownView<MyInfoPlistView>();
            if (!view)
                return {};
            const QString key = pick(FormKeys, step.a), value = pick(FormValues, step.b);
            auto *field = view->findChild<QLineEdit *>(fieldName(key));
            Model::View &expected = model.views[model.shown];
            if (value.isEmpty() && field->text().isEmpty())
                return {};
            field->selectAll();
            if (value.isEmpty())
                QTest::keyClick(field, Qt::Key_Backspace);
            else
                QTest::keyClicks(field, value);
            expected.fields[key] = value;
            expected.editedKeys.insert(key);
            return QStringLiteral("set %1 to “%2” in the form").arg(key, value);
        }
        case Op::Select: {
            const QString name = pick(rows, step.a);
            if (name.isEmpty())
                return {};
            select(name);
            return QStringLiteral("select %1").arg(name);
        }
        case Op::OpenInFolder: {
            auto *folder = shownView<MyFolderBrowserView>();
            QStringList files;
            for (const QString &entry : model.disk.keys()) {
                if (entry.section(u'/', 0, -2) == model.shown && model.isFile(entry))
                    files.append(entry);
            }
            const QString id = pick(files, step.a);
            if (!folder || id.isEmpty())
                return {};
            folder->openFile(path(id));
            model.open(id);
            return QStringLiteral("open %1 from its folder").arg(id);
        }
        case Op::AnswerBar: {
            QStringList asking;
            for (const QString &id : std::as_const(model.order)) {
                if (model.views[id].bar)
                    asking.append(id);
            }
            const QString id = pick(asking, step.a);
            if (id.isEmpty())
                return {};
            const bool reload = step.b % 2 == 0;
            const QString button = reload ? u"Reload"_qs : u"Keep Your Edits"_qs;
            for (QPushButton *choice : area()->viewFor(id)->findChild<NoticeBar *>()->findChildren<QPushButton *>()) {
                if (choice->text() == button)
                    choice->click();
            }
            Model::View &view = model.views[id];
            if (reload)
                model.read(view, id, true);
            view.readId = model.idAt(id);
            view.bar = false;
            return QStringLiteral("answer %1 about %2").arg(button, id);
        }
        case Op::Save:
            m_document->saveDocument();
            model.saveAll(fullDisk);
            return u"save"_qs;
        case Op::SaveAs:
            return saveAs(fullDisk);
        case Op::Close:
            return close(Alert::Response(step.a % 3), fullDisk);
        case Op::Rename:
            return rename(pick(rows, step.a), step.b % 2 == 0, fullDisk);
        case Op::Remove: {
            QStringList removable = rows;
            removable.removeAll(u"Info.plist"_qs);
            const QString name = pick(removable, step.a);
            if (name.isEmpty())
                return {};
            select(name);
            m_answer = step.b % 2 == 0 ? Alert::DefaultButton : Alert::AlternateButton;
            list()->removeFile();
            model.alerts = 1;
            if (m_answer == Alert::DefaultButton) {
                for (const QString &id : model.viewsInside(name))
                    model.close(id);
                for (const QString &entry : model.inside(name))
                    model.disk.remove(entry);
            }
            return QStringLiteral("remove %1, %2").arg(name, m_answer == Alert::DefaultButton ? u"yes"_qs : u"no"_qs);
        }
        case Op::Add: {
            if (model.away)
                return {};
            const bool folder = step.a % 2 == 0;
            const QString name = fresh(folder ? u"Added"_qs : u"added"_qs, folder ? QString() : u".txt"_qs);
            list()->addFile();
            list()->addPanel()->findChild<QLineEdit *>(u"filenameField"_qs)->setText(name);
            list()->addPanel()->findChild<QCheckBox *>(u"folderCheckbox"_qs)->setChecked(folder);
            list()->addPanelOK();
            model.disk[name] = {{}, folder, model.newId()};
            return QStringLiteral("add %1").arg(name);
        }
        case Op::Drop: {
            if (model.away)
                return {};
            const QString name = fresh(u"dropped"_qs, u".js"_qs);
            const QByteArray bytes = "var dropped = " + QByteArray::number(m_made) + ";\n";
            Tree::write(m_fixture.folder(), u"Downloads/"_qs + name, bytes);
            model.folderEntries.insert(u"Downloads"_qs);
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(m_fixture.folder() + u"/Downloads/"_qs + name)});
            list()->dropMimeData(&data, Qt::MoveAction, -1, 0, {});
            model.write(name, bytes);
            return QStringLiteral("drop %1 in").arg(name);
        }
        case Op::DragOut:
            return dragOut(pick(rows, step.a), fullDisk);
        case Op::Revert: {
            m_answer = step.a % 2 == 0 ? Alert::DefaultButton : Alert::AlternateButton;
            m_document->revertDocumentToSaved();
            if (!model.anyEdited())
                return {};
            model.alerts = 1;
            for (const QString &id : std::as_const(model.order)) {
                if (m_answer == Alert::DefaultButton && model.views[id].isEdited())
                    model.read(model.views[id], id, true);
            }
            return QStringLiteral("revert, %1").arg(m_answer == Alert::DefaultButton ? u"yes"_qs : u"no"_qs);
        }
        case Op::DisplayMode: {
            model.displayMode = int(step.a % 4);
            Toolbar *toolbar = Toolbar::toolbarOf(m_document->window());
            toolbar->setConfiguration(toolbar->itemIdentifiers(), Toolbar::DisplayMode(model.displayMode));
            // As showing or stopping a preview builds it again.
            m_document->toolbarDelegate()->setupToolbar();
            return QStringLiteral("toolbar display mode %1").arg(model.displayMode);
        }
        case Op::OutsideWrite:
            if (model.away)
                break; // the bundle comes back: other programs' moves last a few steps
            return writeElsewhere(step.a);
        case Op::OutsideRemove:
        case Op::OutsideFolder: {
            if (model.away)
                break;
            QStringList paths = model.disk.keys();
            paths.removeAll(u"Info.plist"_qs);
            const QString id = pick(model.away ? QStringList() : paths, step.a);
            if (id.isEmpty())
                return {};
            QDir(path(id)).removeRecursively();
            QFile::remove(path(id));
            for (const QString &entry : model.inside(id))
                model.disk.remove(entry);
            if (step.op == Op::OutsideRemove)
                return QStringLiteral("another program removes %1").arg(id);
            QDir().mkpath(path(id));
            model.disk[id] = {{}, true, model.newId()};
            return QStringLiteral("another program puts a folder in the place of %1").arg(id);
        }
        case Op::MoveBundle:
            break;
        case Op::Count:
            return {};
        }
        moveBundle();
        return model.away ? u"another program moves the bundle aside"_qs : u"another program moves the bundle back"_qs;
    }

    // Of any file the model knows or an editor shows; a folder in its place
    // goes first. The size always differs, so the change shows in a stamp
    // however soon it follows the last.
    QString writeElsewhere(quint32 choice)
    {
        Model &model = m_model;
        QStringList paths = model.disk.keys() + model.order;
        paths.removeDuplicates();
        const QString id = pick(model.away ? QStringList() : paths, choice);
        if (id.isEmpty())
            return {};
        if (id == u"Info.plist") {
            model.plist[u"CFBundleName"_qs] = fresh(u"Renamed"_qs);
            model.plist[u"Height"_qs] = QString::number(m_made * 10);
            writeInPlace(id, plistXml(model.plist));
            model.write(id, {});
            return u"another program changes Info.plist"_qs;
        }
        QDir(path(id)).removeRecursively();
        for (const QString &entry : model.inside(id))
            model.disk.remove(entry);
        QByteArray bytes = "changed elsewhere " + QByteArray::number(++m_made) + "\n";
        if (model.isFile(id) && model.disk[id].bytes.size() == bytes.size())
            bytes += '\n';
        writeInPlace(id, bytes);
        for (QString parent = id.section(u'/', 0, -2); !parent.isEmpty(); parent = parent.section(u'/', 0, -2)) {
            if (!model.isFolder(parent))
                model.disk[parent] = {{}, true, model.newId()};
        }
        model.write(id, bytes);
        return QStringLiteral("another program writes %1").arg(id);
    }

    // Written as most programs write, into the file itself. Its stamp then
    // differs from every earlier one only by size or by the clock, which
    // the file system reads in ticks of a few milliseconds: the next tick is
    // waited for, so that no two writes share one.
    void writeInPlace(const QString &id, const QByteArray &bytes)
    {
        Tree::write(m_model.bundle, id, bytes);
        QTest::qSleep(ClockTick);
    }

    void moveBundle()
    {
        const QString aside = m_model.bundle + u".aside"_qs;
        const QString name = QFileInfo(m_model.bundle).fileName();
        if (m_model.away)
            QDir().rename(aside, m_model.bundle);
        else
            QDir().rename(m_model.bundle, aside);
        m_model.away = !m_model.away;
        m_model.folderEntries.remove(m_model.away ? name : name + u".aside"_qs);
        m_model.folderEntries.insert(m_model.away ? name + u".aside"_qs : name);
    }

    QString saveAs(bool fullDisk)
    {
        Model &model = m_model;
        const QString name = fresh(u"Copy"_qs, u".wdgt"_qs);
        const QString target = m_fixture.folder() + u'/' + name;
        SavePanel::responder = [target](const SavePanel::Options &) { return target; };
        m_document->saveDocumentAs();
        if (model.away || fullDisk) {
            model.alerts = 1;
            if (model.away)
                model.fail(model.bundle);
            else
                model.failed.reset(); // whichever file the copy met first
            return QStringLiteral("save as %1").arg(name);
        }
        // A view that was current holds the copy's file; the others still wait.
        QStringList current;
        for (auto view = model.views.cbegin(); view != model.views.cend(); ++view) {
            if (view->kind != Model::Kind::Folder && view->readId == model.idAt(view.key()))
                current.append(view.key());
        }
        for (Model::Entry &entry : model.disk)
            entry.id = model.newId();
        for (const QString &id : std::as_const(current))
            model.views[id].readId = model.idAt(id);
        model.bundle = target;
        model.folderEntries.insert(name);
        model.saveAll(false);
        return QStringLiteral("save as %1").arg(name);
    }

    QString close(Alert::Response answer, bool fullDisk)
    {
        Model &model = m_model;
        m_answer = answer;
        const bool edited = model.anyEdited();
        m_document->window()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QString said = edited ? QStringList{u"save"_qs, u"cancel"_qs, u"don't save"_qs}[int(answer)] : u"no question"_qs;
        if (edited) {
            model.alerts = 1;
            if (answer == Alert::AlternateButton)
                return u"close, cancel"_qs;
            if (answer == Alert::DefaultButton && !model.saveAll(fullDisk)) {
                model.alerts = 2;
                return u"close, save"_qs;
            }
        }
        if (!DocumentController::shared().documents().isEmpty())
            return u"close (the window stayed)"_qs;
        if (model.away)
            moveBundle();
        model.views.clear();
        model.order.clear();
        model.shown.clear();
        model.selected.clear();
        model.search.clear();
        m_document = m_fixture.open(model.bundle);
        return QStringLiteral("close, %1, and open again").arg(said);
    }

    QString rename(const QString &name, bool ok, bool fullDisk)
    {
        Model &model = m_model;
        if (name.isEmpty() || name == u"Info.plist" || model.away)
            return {};
        select(name);
        const QString to = model.isFolder(name) ? fresh(u"Folder"_qs) : fresh(u"renamed"_qs, u".js"_qs);
        list()->renameFile();
        list()->renamePanel()->findChild<QLineEdit *>(u"filenameField"_qs)->setText(to);
        if (!ok) {
            list()->renamePanelCancel();
            return QStringLiteral("rename %1, cancel").arg(name);
        }
        list()->renamePanelOK();
        if (list()->renamePanel()->isVisible())
            list()->renamePanelCancel();
        if (model.views.contains(name) && !model.save(name, fullDisk)) {
            model.alerts = 1;
            return QStringLiteral("rename %1 to %2 (its save failed)").arg(name, to);
        }
        for (const QString &entry : model.inside(name))
            model.disk[to + entry.mid(name.size())] = model.disk.take(entry);
        for (QString &id : model.order) {
            if (id != name && !id.startsWith(name + u'/'))
                continue;
            const QString now = to + id.mid(name.size());
            model.views[now] = model.views.take(id);
            if (model.shown == id)
                model.shown = now;
            id = now;
        }
        model.selected.clear();
        if (model.rows().contains(to)) {
            model.open(to);
            model.selected = to;
        }
        return QStringLiteral("rename %1 to %2").arg(name, to);
    }

    QString dragOut(const QString &name, bool fullDisk)
    {
        Model &model = m_model;
        if (name.isEmpty())
            return {};
        const int row = int(list()->rowList().indexOf(name));
        delete list()->mimeData({list()->index(row, EntryListModel::NameColumn)});
        bool saved = true;
        for (const QString &id : model.viewsInside(name)) {
            if (model.save(id, fullDisk))
                model.close(id);
            else
                saved = false;
        }
        model.alerts = saved ? 0 : 1;
        return QStringLiteral("drag %1 out").arg(name);
    }

    // ---- the checks ----

    std::optional<QString> check() const
    {
        for (const auto &part : {&Run::checkDisk, &Run::checkViews, &Run::checkWindow, &Run::checkAlerts}) {
            if (std::optional<QString> wrong = (this->*part)())
                return wrong;
        }
        return std::nullopt;
    }

    std::optional<QString> checkDisk() const
    {
        const Model &model = m_model;
        QStringList beside = QDir(m_fixture.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QStringList expectedBeside(model.folderEntries.cbegin(), model.folderEntries.cend());
        beside.sort();
        expectedBeside.sort();
        if (beside != expectedBeside)
            return QStringLiteral("beside the bundle: %1, expected %2").arg(beside.join(u", "), expectedBeside.join(u", "));
        const QString root = model.away ? model.bundle + u".aside"_qs : model.bundle;
        const QMap<QString, QByteArray> onDisk = Tree::snapshot(root);
        if (QStringList(onDisk.keys()) != QStringList(model.disk.keys()))
            return QStringLiteral("the bundle holds %1, expected %2").arg(onDisk.keys().join(u", "), model.disk.keys().join(u", "));
        for (auto it = model.disk.cbegin(); it != model.disk.cend(); ++it) {
            if (it.key() == u"Info.plist") {
                const QVariantMap map = PropertyList::read(root + u"/Info.plist"_qs).value_or(QVariant()).toMap();
                QMap<QString, QString> keys;
                for (auto key = map.cbegin(); key != map.cend(); ++key)
                    keys[key.key()] = key.value().toString();
                if (keys != model.plist)
                    return QStringLiteral("Info.plist holds other values");
            } else if (onDisk[it.key()] != (it->folder ? QByteArray("<dir>") : it->bytes)) {
                return QStringLiteral("%1 holds “%2”, expected “%3”")
                    .arg(it.key(), QString::fromLatin1(onDisk[it.key()]), QString::fromLatin1(it->bytes));
            }
        }
        return std::nullopt;
    }

    std::optional<QString> checkViews() const
    {
        const Model &model = m_model;
        QStringList open;
        for (const ContentView *view : area()->views()) {
            if (!view->viewIdentifier().isEmpty())
                open.append(view->viewIdentifier());
        }
        if (open != model.order)
            return QStringLiteral("open editors %1, expected %2").arg(open.join(u", "), model.order.join(u", "));
        for (const QString &id : model.order) {
            const ContentView *view = area()->viewFor(id);
            const Model::View &expected = model.views[id];
            const NoticeBar *bar = view->findChild<NoticeBar *>();
            const bool asking = bar && bar->isVisibleTo(view) && bar->message().contains(QLatin1String(ChangedNotice));
            if (asking != expected.bar)
                return QStringLiteral("%1 %2 about another program's change").arg(id, asking ? u"asks"_qs : u"does not ask"_qs);
            if (view->isEdited() != expected.isEdited())
                return QStringLiteral("%1 %2 edits").arg(id, view->isEdited() ? u"holds"_qs : u"holds no"_qs);
            if (std::optional<QString> wrong = checkView(id, view, expected))
                return wrong;
        }
        return std::nullopt;
    }

    static std::optional<QString> checkView(const QString &id, const ContentView *view, const Model::View &expected)
    {
        if (const auto *text = qobject_cast<const MyTextFileView *>(view)) {
            if (expected.kind != Model::Kind::Text)
                return QStringLiteral("%1 shows as text").arg(id);
            const auto *editor = text->findChild<QsciScintilla *>();
            const long start = editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART);
            const long end = editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONEND);
            if (text->text() != expected.text)
                return QStringLiteral("%1 shows “%2”, expected “%3”").arg(id, text->text(), expected.text);
            if (start != std::min(expected.anchor, expected.caret) || end != std::max(expected.anchor, expected.caret))
                return QStringLiteral("%1 selects %2 to %3, expected %4 to %5").arg(id).arg(start).arg(end)
                    .arg(std::min(expected.anchor, expected.caret)).arg(std::max(expected.anchor, expected.caret));
            if (editor->isReadOnly() != expected.readOnly)
                return QStringLiteral("%1 is %2read-only").arg(id, editor->isReadOnly() ? QString() : u"not "_qs);
        } else if (qobject_cast<const MyInfoPlistView *>(view)) {
            if (expected.kind != Model::Kind::Form)
                return QStringLiteral("%1 shows as a form").arg(id);
            for (const QString &key : FormKeys) {
                const QString shown = view->findChild<QLineEdit *>(fieldName(key))->text();
                if (shown != expected.fields.value(key))
                    return QStringLiteral("the form shows %1 “%2”, expected “%3”").arg(key, shown, expected.fields.value(key));
            }
        } else if (expected.kind != Model::Kind::Folder) {
            return QStringLiteral("%1 shows as a folder").arg(id);
        }
        return std::nullopt;
    }

    std::optional<QString> checkWindow() const
    {
        const Model &model = m_model;
        const auto *shown = qobject_cast<const ContentView *>(area()->currentWidget());
        const QString id = shown ? shown->viewIdentifier() : QString();
        if (id != model.shown)
            return QStringLiteral("shows “%1”, expected “%2”").arg(id, model.shown);
        const QStringList rowList = list()->rowList();
        if (QSet<QString>(rowList.cbegin(), rowList.cend()) != model.rows())
            return QStringLiteral("lists %1").arg(rowList.join(u", "));
        QLineEdit *field = m_document->toolbarDelegate()->searchView();
        const Toolbar *toolbar = Toolbar::toolbarOf(m_document->window());
        if (!field || !toolbar->toolBar()->isAncestorOf(field) || !field->isVisibleTo(m_document->window()))
            return u"the search field is not in the toolbar"_qs;
        if (field->text() != model.search || toolbar->displayMode() != model.displayMode)
            return u"the toolbar lost its search text or display mode"_qs;
        return std::nullopt;
    }

    std::optional<QString> checkAlerts() const
    {
        if (m_alerts.size() != m_model.alerts)
            return QStringLiteral("%1 messages, expected %2: %3").arg(m_alerts.size()).arg(m_model.alerts)
                .arg(m_alerts.isEmpty() ? QString() : m_alerts.last().title + u' ' + m_alerts.last().message);
        static const QRegularExpression named(u"^“([^”]+)”: "_qs, QRegularExpression::MultilineOption);
        QSet<QString> files;
        for (const Alert::Request &alert : m_alerts) {
            for (auto match = named.globalMatch(alert.message); match.hasNext();)
                files.insert(match.next().captured(1));
        }
        if (m_model.failed && files != *m_model.failed)
            return QStringLiteral("the message names %1, expected %2")
                .arg(QStringList(files.cbegin(), files.cend()).join(u", "),
                     QStringList(m_model.failed->cbegin(), m_model.failed->cend()).join(u", "));
        return std::nullopt;
    }

    quint32 m_seed;
    bool m_verbose;
    DocumentFixture m_fixture;
    Model m_model;
    MyDocument *m_document = nullptr;
    QList<Alert::Request> m_alerts;
    Alert::Response m_answer = Alert::DefaultButton;
    int m_made = 0;
};

// How often each command comes, in the order of Op: editing most, what
// other programs do often enough to meet every command.
constexpr int Weights[int(Op::Count)] = {8, 2, 2, 2, 3, 8, 2, 3, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3, 1, 1, 1};

QList<Step> stepsFor(quint32 seed, int count)
{
    QRandomGenerator random(seed);
    const int total = std::accumulate(std::begin(Weights), std::end(Weights), 0);
    QList<Step> steps;
    for (int index = 0; index < count; ++index) {
        int draw = random.bounded(total);
        int op = 0;
        while (draw >= Weights[op])
            draw -= Weights[op++];
        steps.append({Op(op), random.generate(), random.generate(), random.bounded(6) == 0});
    }
    return steps;
}

std::optional<QString> play(quint32 seed, const QList<Step> &steps, bool verbose = false)
{
    return Run(seed, verbose).play(steps);
}

// Leaves out stretches of steps, ever shorter, as long as what is left
// still fails.
QList<Step> shrink(quint32 seed, QList<Step> steps)
{
    int runs = 0;
    for (qsizetype chunk = steps.size() / 2; chunk >= 1 && runs < MostShrinkingRuns; chunk /= 2) {
        for (qsizetype from = 0; from < steps.size() && runs < MostShrinkingRuns; ++runs) {
            QList<Step> shorter = steps;
            shorter.remove(from, std::min(chunk, steps.size() - from));
            if (play(seed, shorter))
                steps = shorter;
            else
                from += chunk;
        }
    }
    return steps;
}

int environmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

} // namespace

class tst_CommandSequences : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        std::signal(SIGSEGV, sayWhereItCrashed);
        std::signal(SIGABRT, sayWhereItCrashed);
    }
    void editsSurviveAnySequence();
};

void tst_CommandSequences::editsSurviveAnySequence()
{
    const int total = environmentNumber("QUILLET_SEQUENCE_STEPS", DefaultSteps);
    const auto first = quint32(environmentNumber("QUILLET_SEQUENCE_SEED", 1));
    int played = 0;
    for (quint32 seed = first; played < total; ++seed) {
        const QList<Step> steps = stepsFor(seed, std::min(StepsPerSequence, total - played));
        played += int(steps.size());
        if (const std::optional<QString> wrong = play(seed, steps)) {
            const QList<Step> shortest = shrink(seed, steps);
            qInfo("Seed %u fails: %s. The shortest sequence found, %lld steps:", seed, qPrintable(*wrong),
                  static_cast<long long>(shortest.size()));
            const std::optional<QString> again = play(seed, shortest, true);
            QFAIL(qPrintable(QStringLiteral("seed %1: %2").arg(seed).arg(again.value_or(*wrong))));
        }
    }
    qInfo("%d steps played, seeds %u to %u", played, first, first + quint32((played - 1) / StepsPerSequence));
}

QTEST_MAIN(tst_CommandSequences)
#include "tst_CommandSequences.moc"
