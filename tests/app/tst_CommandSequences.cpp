// SPDX-License-Identifier: GPL-2.0-or-later
// Seeded random sequences of user commands and of other programs' actions,
// driven against a real document window off screen and checked after every
// step against a small model of what the disk and each editor must hold. A
// failing sequence is cut down to the shortest one found that still fails,
// which is printed with its seed; a crash says at which step of which seed.
//
// QUILLET_SEQUENCE_STEPS (steps in all) and QUILLET_SEQUENCE_SEED (the first
// seed) choose the run; scripts/soak sets them.
#include "app/DocumentWindowCommands.h"
#include "editors/FolderView.h"
#include "editors/InfoPlistForm.h"
#include "editors/NoticeBar.h"
#include "filelist/EntryOperations.h"
#include "platform/PropertyList.h"
#include "platform/Toolbar.h"
#include "platform/Workspace.h"

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
    Type,
    Click,
    FindNext,
    Search,
    EditForm,
    Select,
    OpenInFolder,
    AnswerBar,
    Save,
    SaveAs,
    Close,
    Rename,
    Remove,
    Add,
    Drop,
    HandOver,
    Revert,
    DisplayMode,
    WriteElsewhere,
    RemoveElsewhere,
    FolderElsewhere,
    MoveBundle,
    Count
};
// How often each comes, in the order above: editing most, other programs'
// actions often enough to meet every command.
constexpr int Weights[int(Op::Count)] = {8, 2, 2, 2, 3, 8, 2, 3, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3, 1, 1, 1};

// Its choices are resolved against the state the step meets.
struct Step
{
    Op op;
    quint32 a, b;
    bool fullDisk; // the commands that write meet a full disk
};

const QStringList Typed = {u"Q"_qs, u"var "_qs, u"tick"_qs, u"x1 "_qs, u"BODY"_qs};
// A folder's view is asked about its entries' names, case counting: "notes" is in
// Images/Notes.txt, but not in its name.
const QStringList Searches = {u"var"_qs, u"tick"_qs, u"body"_qs, u"notes"_qs, u"Notes"_qs,
                              u"q"_qs,   u"zz"_qs,   u"js"_qs,   QString()};
// The form's fields the steps edit, by their keys.
const QMap<QString, QString> FormFields = {{u"CFBundleName"_qs, u"bundleNameField"_qs},
                                           {u"Width"_qs, u"widthField"_qs}};
const QStringList FormKeys = FormFields.keys();
const QStringList FormValues = {QString(), u"Tick"_qs, u"320"_qs};

QByteArray plistXml(const QMap<QString, QString> &keys)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        xml += "<key>" + it.key().toUtf8() + "</key><string>" + it.value().toUtf8() + "</string>\n";
    return xml + "</dict>\n</plist>\n";
}

// What the disk holds and each editor must show.
struct Model
{
    struct Entry
    {
        QByteArray bytes;
        bool folder = false;
        quint64 id = 0; // new for every file made or written: what a view's stamp tells apart
    };
    enum class Kind { Text, Form, Folder };
    struct View
    {
        Kind kind = Kind::Text;
        QString text;
        qsizetype anchor = 0, caret = 0;
        bool edited = false, readOnly = false;
        bool asks = false; // about another program's change
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
    QStringList order; // of the views in the area
    QString shown, selected, search;
    int displayMode = Toolbar::DisplayModeDefault;
    QSet<QString> beside; // the names in the folder that holds the bundle
    quint64 lastId = 0;
    // This step's messages: how many, the files failures name (nothing: any
    // one file), and text the question must hold.
    int alerts = 0;
    std::optional<QSet<QString>> failed;
    QStringList mentioned;

    quint64 newId() { return ++lastId; }
    quint64 idAt(const QString &path) const { return away || !disk.contains(path) ? 0 : disk[path].id; }
    bool isFolder(const QString &path) const { return !away && disk.value(path).folder; }
    bool isFile(const QString &path) const { return !away && disk.contains(path) && !disk[path].folder; }
    bool anyEdited() const
    {
        return std::any_of(views.cbegin(), views.cend(), [](const View &view) { return view.isEdited(); });
    }
    static bool within(const QString &path, const QString &name)
    {
        return path == name || path.startsWith(name + u'/');
    }
    QStringList inside(const QStringList &paths, const QString &name) const
    {
        QStringList found = paths;
        found.removeIf([&name](const QString &path) { return !within(path, name); });
        return found;
    }

    // The entries `listed` (in the list's order) whose names hold the search
    // text, then those an open view inside holds it for, in the area's order.
    QStringList rows(QStringList listed) const
    {
        listed.removeIf([this](const QString &name) {
            return away || !disk.contains(name) || name.contains(u'/') || !name.contains(search, Qt::CaseInsensitive);
        });
        for (const QString &id : order) {
            const QString top = id.section(u'/', 0, 0);
            if (!search.isEmpty() && !away && disk.contains(top) && !listed.contains(top) && holds(id, views[id]))
                listed.append(top);
        }
        return listed;
    }
    // A folder's view is asked about its entries' names, case counting.
    bool holds(const QString &id, const View &view) const
    {
        if (view.kind != Kind::Folder)
            return view.kind == Kind::Text && view.text.contains(search, Qt::CaseInsensitive);
        const QStringList paths = disk.keys();
        return std::any_of(paths.cbegin(), paths.cend(), [&](const QString &path) {
            return path.section(u'/', 0, -2) == id && path.section(u'/', -1).contains(search);
        });
    }

    void read(View &view, const QString &id)
    {
        view.readId = idAt(id);
        view.asks = view.edited = false;
        view.editedKeys.clear();
        // A form keeps what it shows of the keys the file lacks.
        for (const QString &key : FormKeys) {
            if (view.kind == Kind::Form && isFile(id) && plist.contains(key))
                view.fields[key] = plist[key];
        }
        view.readOnly = !isFile(id);
        view.text = view.readOnly || view.kind != Kind::Text ? QString() : QString::fromLatin1(disk[id].bytes);
        view.anchor = view.caret = std::min(view.caret, view.text.size());
    }
    void close(const QString &id)
    {
        views.remove(id);
        order.removeAll(id);
        if (shown == id)
            shown.clear();
    }
    // A view with edits shows whatever became of its file; one without
    // gives way to the view the entry needs now.
    void open(const QString &id)
    {
        const Kind kind = isFolder(id) ? Kind::Folder : id == u"Info.plist" ? Kind::Form : Kind::Text;
        if (views.contains(id) && !views[id].isEdited() && views[id].kind != kind)
            close(id);
        if (!views.contains(id)) {
            View &view = views[id];
            view.kind = kind;
            view.fields = {{FormKeys[0], {}}, {FormKeys[1], {}}};
            read(view, id);
            order.append(id);
        }
        shown = id;
    }
    // A click on a row that is selected opens only when its view does not show.
    void select(const QString &name)
    {
        if (selected != name || shown != name)
            open(name);
        selected = name;
    }

    Entry &write(const QString &path, const QByteArray &bytes) { return disk[path] = {bytes, false, newId()}; }
    bool save(const QString &id, bool fullDisk)
    {
        View &view = views[id];
        if (!view.isEdited())
            return true;
        const QString parent = id.section(u'/', 0, -2);
        const bool current = view.readId == idAt(id);
        const qsizetype size = view.kind == Kind::Form ? 1 : view.text.size();
        if (!current || away || isFolder(id) || (!parent.isEmpty() && !isFolder(parent)) || (fullDisk && size > 0)) {
            view.asks = view.asks || !current;
            if (failed)
                failed->insert(id);
            return false;
        }
        if (view.kind == Kind::Text) {
            view.readId = write(id, view.text.toLatin1()).id;
            view.edited = view.asks = false;
            return true;
        }
        for (const QString &key : std::as_const(view.editedKeys)) {
            if (key == u"Width" && view.fields[key].isEmpty())
                plist.remove(key);
            else
                plist[key] = view.fields[key];
        }
        write(id, {});
        read(view, id);
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
                view.asks = true;
            else
                read(view, id);
        }
        if (!rows(disk.keys()).contains(selected))
            selected.clear();
    }
};

// Said before a crash takes the process down, so that it can be replayed;
// then whoever handled the signal before (a sanitizer) has its say.
char crashNote[256] = "";
struct sigaction previousSegv, previousAbort;

void sayWhereItCrashed(int signal)
{
    // A note that cannot be written leaves nothing else to do: the crash goes on.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, crashNote, std::strlen(crashNote));
    sigaction(signal, signal == SIGSEGV ? &previousSegv : &previousAbort, nullptr);
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
        m_model.bundle = m_fixture.bundle();
        m_model.plist = {{u"CFBundleIdentifier"_qs, u"com.example.clock"_qs},
                         {u"CFBundleName"_qs, u"Clock"_qs},
                         {u"MainHTML"_qs, u"main.html"_qs},
                         {u"Width"_qs, u"200"_qs},
                         {u"Height"_qs, u"100"_qs}};
        const std::pair<QString, QByteArray> files[] = {{u"Info.plist"_qs, plistXml(m_model.plist)},
                                                        {u"main.js"_qs, "var tick = 1;\n"},
                                                        {u"style.css"_qs, "body { color: red; }\n"},
                                                        {u"README"_qs, "Read the notes\n"},
                                                        {u"Images/Notes.txt"_qs, "old notes\n"}};
        for (const auto &[path, bytes] : files)
            Tree::write(m_model.bundle, path, m_model.write(path, bytes).bytes);
        m_model.disk[u"Images"_qs] = {{}, true, m_model.newId()};
        m_model.beside = {u"Clock.wdgt"_qs};
        QTest::qSleep(ClockTick);
        Alert::responder = [this](const Alert::Request &request) {
            m_alerts.append(request);
            return request.alternateButton.isEmpty() ? Alert::DefaultButton : m_answer;
        };
        OpenPanel::responder = [](const OpenPanel::Options &) {
            return QStringList{u"/usr/share/applications/x.desktop"_qs};
        };
        Workspace::responder = [](const QString &, const QString &) { return true; };
        m_document = m_fixture.open(m_model.bundle);
    }
    ~Run() { Workspace::responder = nullptr; }

    /// The first step that went wrong, and how; nothing when none did.
    std::optional<QString> play(const QList<Step> &steps)
    {
        for (qsizetype index = 0; index < steps.size(); ++index) {
            std::snprintf(crashNote, sizeof crashNote, "crashed at step %lld of seed %u\n",
                          static_cast<long long>(index), m_seed);
            m_alerts.clear();
            m_model.alerts = 0;
            m_model.failed = QSet<QString>();
            m_model.mentioned.clear();
            m_focus = nullptr;
            m_broken.clear();
            m_marked.reset();
            const QString done = perform(steps[index]);
            settle();
            if (m_verbose && !done.isEmpty())
                qInfo("  %lld. %s", static_cast<long long>(index), qPrintable(done));
            if (const std::optional<QString> wrong = check())
                return QStringLiteral("step %1 (%2): %3").arg(index).arg(done, *wrong);
        }
        return std::nullopt;
    }

private:
    FileListController *list() const { return m_document->fileListController(); }
    ContentArea *area() const { return m_document->contentView(); }
    QString path(const QString &id) const { return m_model.bundle + u'/' + id; }
    static QString pick(const QStringList &from, quint32 choice)
    {
        return from.isEmpty() ? QString() : from[int(choice % quint32(from.size()))];
    }
    QString fresh(const QString &stem, const QString &suffix = {}) { return stem + QString::number(++m_made) + suffix; }
    static QString answered(Alert::Response answer)
    {
        return QStringList{u"yes (save)"_qs, u"no (cancel)"_qs, u"don't save"_qs}[answer];
    }

    // What a step left pending (the watch on the files, views being deleted)
    // comes in, and the list is read again, as the folder's watch would.
    void settle()
    {
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        list()->reloadData();
        m_model.followDisk();
    }

    void select(const QString &name)
    {
        QTableView *table = DocumentFixture::table(m_document);
        const QModelIndex index = list()->index(int(list()->rowList().indexOf(name)), EntryListModel::NameColumn);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
        m_model.select(name);
    }

    QString perform(const Step &step)
    {
        static const QSet<Op> writers = {Op::Save, Op::SaveAs, Op::Close, Op::Rename, Op::HandOver};
        const bool fullDisk = step.fullDisk && writers.contains(step.op);
        std::optional<FileSizeLimit> limit;
        if (fullDisk)
            limit.emplace(0);
        const QString done = act(step, fullDisk);
        return fullDisk && !done.isEmpty() ? done + u" on a full disk"_qs : done;
    }

    QString act(const Step &step, bool fullDisk)
    {
        Model &model = m_model;
        const QStringList rows = list()->rowList();
        const QString row = pick(rows, step.a);
        m_answer = Alert::Response(step.b % (step.op == Op::Close ? 3 : 2));
        switch (step.op) {
        case Op::Type:
        case Op::Click:
            return edit(step.op == Op::Type, step.a);
        case Op::FindNext:
            findNext();
            return u"find next"_qs;
        case Op::Search:
            model.search = pick(Searches, step.a);
            if (model.search.isEmpty()) // as the user empties a search field
                QTest::keyClick(m_document->windowCommands()->searchView(), Qt::Key_Escape);
            else
                m_document->windowCommands()->searchView()->setText(model.search);
            m_document->windowCommands()->searchView()->refresh();
            return QStringLiteral("search for “%1”").arg(model.search);
        case Op::EditForm:
            return editForm(pick(FormKeys, step.a), pick(FormValues, step.b));
        case Op::Select:
            if (row.isEmpty())
                return {};
            select(row);
            return QStringLiteral("select %1").arg(row);
        case Op::OpenInFolder:
            return openInFolder(step.a);
        case Op::AnswerBar:
            return answerBar(step.a, step.b % 2 == 0);
        case Op::Save:
            m_document->saveDocument();
            if (model.saveAll(fullDisk))
                m_marked = false;
            return u"save"_qs;
        case Op::SaveAs:
            return saveAs(step.a, fullDisk);
        case Op::Close:
            return close(fullDisk);
        case Op::Rename:
            return rename(row, fullDisk);
        case Op::Remove:
            return remove(row);
        case Op::Add:
        case Op::Drop:
            return model.away ? QString() : add(step.op == Op::Drop, step.b % 2 == 0);
        case Op::HandOver:
            return handOver(row, step.b % 2 == 0, fullDisk);
        case Op::Revert:
            return revert();
        case Op::DisplayMode: {
            model.displayMode = int(step.a % 4);
            Toolbar *toolbar = Toolbar::toolbarOf(m_document->window());
            toolbar->setConfiguration(toolbar->itemIdentifiers(), Toolbar::DisplayMode(model.displayMode));
            m_document->windowCommands()->installToolbar(); // as showing or stopping a preview does
            return QStringLiteral("toolbar display mode %1").arg(model.displayMode);
        }
        case Op::WriteElsewhere:
        case Op::RemoveElsewhere:
        case Op::FolderElsewhere:
            // While the bundle is away, it comes back: such moves last a few steps.
            return model.away ? moveBundle() : elsewhere(step.op, step.a);
        case Op::MoveBundle:
            return moveBundle();
        case Op::Count:
            break;
        }
        return {};
    }

    QString edit(bool type, quint32 choice)
    {
        auto *view = qobject_cast<TextEditorView *>(area()->currentWidget());
        if (!view || m_model.views[m_model.shown].readOnly)
            return {};
        Model::View &expected = m_model.views[m_model.shown];
        auto *editor = view->findChild<QsciScintilla *>();
        if (!type) {
            expected.anchor = expected.caret = qsizetype(choice % quint32(expected.text.size() + 1));
            editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, static_cast<unsigned long>(expected.caret));
            return QStringLiteral("click at %1 in %2").arg(expected.caret).arg(m_model.shown);
        }
        const QString text = pick(Typed, choice);
        QTest::keyClicks(editor, text);
        const qsizetype from = std::min(expected.anchor, expected.caret);
        expected.text.replace(from, std::max(expected.anchor, expected.caret) - from, text);
        expected.anchor = expected.caret = from + text.size();
        expected.edited = true;
        return QStringLiteral("type “%1” in %2").arg(text, m_model.shown);
    }

    // With nothing to find, the search field takes the keys; a match, its editor.
    void findNext()
    {
        m_document->window()->findChild<QAction *>(u"actionFindNext"_qs)->trigger();
        m_focus = m_model.search.isEmpty() ? m_document->windowCommands()->searchView() : nullptr;
        if (m_model.search.isEmpty() || !m_model.views.contains(m_model.shown))
            return;
        Model::View &view = m_model.views[m_model.shown];
        const QString text = view.text.toLower(), needle = m_model.search.toLower();
        qsizetype at = text.indexOf(needle, std::max(view.anchor, view.caret));
        at = at < 0 ? text.indexOf(needle) : at;
        if (at >= 0 && view.kind == Model::Kind::Text) {
            view.anchor = at;
            view.caret = at + needle.size();
            m_focus = area()->viewFor(m_model.shown)->focusProxy();
        }
    }

    // The form is selected first where it does not show.
    QString editForm(const QString &key, const QString &value)
    {
        const QString selecting =
            qobject_cast<InfoPlistForm *>(area()->currentWidget()) || !list()->rowList().contains(u"Info.plist"_qs)
            ? QString()
            : u"select Info.plist, "_qs;
        if (!selecting.isEmpty())
            select(u"Info.plist"_qs);
        auto *view = qobject_cast<InfoPlistForm *>(area()->currentWidget());
        auto *field = view ? view->findChild<QLineEdit *>(FormFields[key]) : nullptr;
        if (!field || (value.isEmpty() && field->text().isEmpty()))
            return selecting.chopped(2);
        field->selectAll();
        if (value.isEmpty())
            QTest::keyClick(field, Qt::Key_Backspace);
        else
            QTest::keyClicks(field, value);
        m_model.views[m_model.shown].fields[key] = value;
        m_model.views[m_model.shown].editedKeys.insert(key);
        return QStringLiteral("%1set %2 to “%3” in the form").arg(selecting, key, value);
    }

    QString openInFolder(quint32 choice)
    {
        auto *folder = qobject_cast<FolderView *>(area()->currentWidget());
        QStringList files = m_model.disk.keys();
        files.removeIf([this](const QString &entry) {
            return entry.section(u'/', 0, -2) != m_model.shown || !m_model.isFile(entry);
        });
        const QString id = pick(files, choice);
        if (!folder || id.isEmpty())
            return {};
        folder->openFile(path(id));
        m_model.open(id);
        return QStringLiteral("open %1 from its folder").arg(id);
    }

    QString answerBar(quint32 choice, bool reload)
    {
        QStringList asking = m_model.order;
        asking.removeIf([this](const QString &id) { return !m_model.views[id].asks; });
        const QString id = pick(asking, choice);
        if (id.isEmpty())
            return {};
        const QString button = reload ? u"Reload"_qs : u"Keep Your Edits"_qs;
        for (QPushButton *choice : area()->viewFor(id)->findChild<NoticeBar *>()->findChildren<QPushButton *>()) {
            if (choice->text() == button)
                choice->click();
        }
        Model::View &view = m_model.views[id];
        if (reload)
            m_model.read(view, id);
        view.readId = m_model.idAt(id);
        view.asks = false;
        return QStringLiteral("answer %1 about %2").arg(button, id);
    }

    // To a new name, over another widget beside (replaced whole), or into the
    // widget itself, which is refused; whatever comes, the widget saved from
    // is left as it was.
    QString saveAs(quint32 choice, bool fullDisk)
    {
        Model &model = m_model;
        QStringList others(model.beside.cbegin(), model.beside.cend());
        others.removeIf(
            [&model](const QString &name) { return !name.endsWith(u".wdgt") || model.bundle.endsWith(u'/' + name); });
        const bool inside = choice % 3 == 2;
        const QString name = inside           ? u"Inner.wdgt inside itself"_qs
            : choice % 3 && !others.isEmpty() ? pick(others, choice / 3)
                                              : fresh(u"Copy"_qs, u".wdgt"_qs);
        const QString target = inside ? model.bundle + u"/Inner.wdgt"_qs : m_fixture.folder() + u'/' + name;
        const QString original = model.away ? model.bundle + u".aside"_qs : model.bundle;
        const auto before = Tree::snapshot(original);
        SavePanel::responder = [target](const SavePanel::Options &) { return target; };
        m_document->saveDocumentAs();
        if (Tree::snapshot(original) != before)
            m_broken = u"the widget saved from changed"_qs;
        if (model.away || fullDisk || inside) {
            model.alerts = 1;
            // Refused, naming the bundle; or any file the copy met first.
            model.failed = model.away && !inside ? std::optional(QSet<QString>{model.bundle}) : std::nullopt;
            return QStringLiteral("save as %1").arg(name);
        }
        // A view that held the file on disk holds the copy's; the others still wait.
        QStringList current = model.order;
        current.removeIf([&model](const QString &id) { return model.views[id].readId != model.idAt(id); });
        for (Model::Entry &entry : model.disk)
            entry.id = model.newId();
        for (const QString &id : std::as_const(current))
            model.views[id].readId = model.idAt(id);
        model.bundle = target;
        model.beside.insert(name);
        if (model.saveAll(false))
            m_marked = false;
        return QStringLiteral("save as %1").arg(name);
    }

    QString close(bool fullDisk)
    {
        Model &model = m_model;
        m_document->window()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (model.anyEdited()) {
            model.alerts = 1;
            if (m_answer == Alert::AlternateButton || (m_answer == Alert::DefaultButton && !model.saveAll(fullDisk)))
                return QStringLiteral("close, %1 (the window stays)").arg(answered(m_answer));
        }
        if (model.away)
            moveBundle();
        model.views.clear();
        model.order.clear();
        model.shown = model.selected = model.search = QString();
        m_document = m_fixture.open(model.bundle);
        return QStringLiteral("close, %1, and open again").arg(answered(m_answer));
    }

    QString rename(const QString &name, bool fullDisk)
    {
        Model &model = m_model;
        if (name.isEmpty() || name == u"Info.plist")
            return {};
        select(name);
        const QString to = model.isFolder(name) ? fresh(u"Folder"_qs) : fresh(u"renamed"_qs, u".js"_qs);
        list()->operations()->renameFile();
        list()->operations()->renamePanel()->findChild<QLineEdit *>(u"filenameField"_qs)->setText(to);
        if (m_answer == Alert::DefaultButton)
            list()->operations()->renamePanelOK();
        if (list()->operations()->renamePanel()->isVisible())
            list()->operations()->renamePanelCancel();
        if (m_answer != Alert::DefaultButton)
            return QStringLiteral("rename %1, cancel").arg(name);
        if (model.views.contains(name) && !model.save(name, fullDisk)) {
            model.alerts = 1;
            return QStringLiteral("rename %1 to %2 (its save failed)").arg(name, to);
        }
        for (const QString &entry : model.inside(model.disk.keys(), name))
            model.disk[to + entry.mid(name.size())] = model.disk.take(entry);
        for (QString &id : model.order) {
            if (!Model::within(id, name))
                continue;
            const QString now = to + id.mid(name.size());
            model.views[now] = model.views.take(id);
            model.shown = model.shown == id ? now : model.shown;
            id = now;
        }
        model.selected.clear();
        if (model.rows(model.disk.keys()).contains(to))
            model.select(to);
        return QStringLiteral("rename %1 to %2").arg(name, to);
    }

    QString remove(const QString &name)
    {
        Model &model = m_model;
        if (name.isEmpty() || name == u"Info.plist")
            return {};
        select(name);
        list()->operations()->removeFile();
        model.alerts = 1;
        for (const QString &id : model.inside(model.order, name)) {
            if (model.views[id].isEdited())
                model.mentioned.append(id);
            if (m_answer == Alert::DefaultButton)
                model.close(id);
        }
        for (const QString &entry :
             model.inside(m_answer == Alert::DefaultButton ? model.disk.keys() : QStringList(), name))
            model.disk.remove(entry);
        return QStringLiteral("remove %1, %2").arg(name, answered(m_answer));
    }

    QString add(bool dropped, bool folder)
    {
        if (dropped) {
            const QString name = fresh(u"dropped"_qs, u".js"_qs);
            const QByteArray bytes = "var dropped = " + QByteArray::number(m_made) + ";\n";
            Tree::write(m_fixture.folder(), u"Downloads/"_qs + name, bytes);
            m_model.beside.insert(u"Downloads"_qs);
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(m_fixture.folder() + u"/Downloads/"_qs + name)});
            list()->dropMimeData(&data, Qt::MoveAction, -1, 0, {});
            m_model.write(name, bytes);
            return QStringLiteral("drop %1 in").arg(name);
        }
        const QString name = folder ? fresh(u"Added"_qs) : fresh(u"added"_qs, u".txt"_qs);
        list()->operations()->addFile();
        list()->operations()->addPanel()->findChild<QLineEdit *>(u"filenameField"_qs)->setText(name);
        list()->operations()->addPanel()->findChild<QCheckBox *>(u"folderCheckbox"_qs)->setChecked(folder);
        list()->operations()->addPanelOK();
        m_model.disk[name] = {{}, folder, m_model.newId()};
        return QStringLiteral("add %1").arg(name);
    }

    // A drag out, or Open With, takes the entry as it is on disk: its views
    // are saved and closed first, and it goes only when all of them were.
    QString handOver(const QString &name, bool drag, bool fullDisk)
    {
        if (name.isEmpty())
            return {};
        if (drag) {
            delete list()->mimeData({list()->index(int(list()->rowList().indexOf(name)), EntryListModel::NameColumn)});
        } else {
            select(name);
            list()->operations()->openFileWith();
        }
        bool saved = true;
        for (const QString &id : m_model.inside(m_model.order, name)) {
            if (m_model.save(id, fullDisk))
                m_model.close(id);
            else
                saved = false;
        }
        m_model.alerts = saved ? 0 : 1;
        return QStringLiteral("%1 %2").arg(drag ? u"drag out"_qs : u"open with another application"_qs, name);
    }

    QString revert()
    {
        m_document->revertDocumentToSaved();
        if (!m_model.anyEdited())
            return {};
        m_model.alerts = 1;
        for (const QString &id : std::as_const(m_model.order)) {
            if (m_answer == Alert::DefaultButton && m_model.views[id].isEdited())
                m_model.read(m_model.views[id], id);
        }
        if (m_answer == Alert::DefaultButton)
            m_marked = false;
        return QStringLiteral("revert, %1").arg(answered(m_answer));
    }

    // Another program writes a file the model knows or an editor shows (a
    // folder in its place goes first), removes one, or puts a folder in its
    // place.
    QString elsewhere(Op op, quint32 choice)
    {
        Model &model = m_model;
        QStringList paths = model.disk.keys();
        if (op == Op::WriteElsewhere)
            paths += model.order;
        else
            paths.removeAll(u"Info.plist"_qs);
        paths.removeDuplicates();
        const QString id = pick(paths, choice);
        if (id.isEmpty())
            return {};
        if (id == u"Info.plist") {
            model.plist[u"CFBundleName"_qs] = fresh(u"Renamed"_qs);
            model.plist[u"Height"_qs] = QString::number(m_made * 10);
            writeInPlace(id, plistXml(model.plist));
            return u"another program changes Info.plist"_qs;
        }
        QDir(path(id)).removeRecursively();
        QFile::remove(path(id));
        for (const QString &entry : model.inside(model.disk.keys(), id))
            model.disk.remove(entry);
        if (op == Op::RemoveElsewhere)
            return QStringLiteral("another program removes %1").arg(id);
        if (op == Op::FolderElsewhere) {
            QDir().mkpath(path(id));
            model.disk[id] = {{}, true, model.newId()};
            return QStringLiteral("another program puts a folder in the place of %1").arg(id);
        }
        // A file in the place of a folder on the way goes too.
        for (QString parent = id.section(u'/', 0, -2); !parent.isEmpty(); parent = parent.section(u'/', 0, -2)) {
            if (model.isFile(parent))
                QFile::remove(path(parent));
            if (!model.isFolder(parent))
                model.disk[parent] = {{}, true, model.newId()};
        }
        writeInPlace(id, "changed elsewhere " + QByteArray::number(++m_made) + "\n");
        return QStringLiteral("another program writes %1").arg(id);
    }

    // Into the file itself, as most programs write. Its stamp then differs
    // from the one before only by size or by the clock, which the file
    // system reads in ticks of a few milliseconds: the size differs from
    // what the file held, and the next tick is waited for, so that no two
    // writes share one.
    void writeInPlace(const QString &id, QByteArray bytes)
    {
        if (m_model.isFile(id) && Tree::read(path(id)).size() == bytes.size())
            bytes += '\n';
        Tree::write(m_model.bundle, id, m_model.write(id, bytes).bytes);
        QTest::qSleep(ClockTick);
    }

    QString moveBundle()
    {
        const QString name = QFileInfo(m_model.bundle).fileName(), aside = name + u".aside"_qs;
        QDir folder(m_fixture.folder());
        folder.rename(m_model.away ? aside : name, m_model.away ? name : aside);
        m_model.away = !m_model.away;
        m_model.beside.remove(m_model.away ? name : aside);
        m_model.beside.insert(m_model.away ? aside : name);
        return m_model.away ? u"another program moves the bundle aside"_qs
                            : u"another program moves the bundle back"_qs;
    }

    // ---- what must hold after every step ----

    std::optional<QString> check() const
    {
        if (!m_broken.isEmpty())
            return m_broken;
        for (const auto &part : {&Run::checkDisk, &Run::checkViews, &Run::checkWindow, &Run::checkAlerts}) {
            if (std::optional<QString> wrong = (this->*part)())
                return wrong;
        }
        return std::nullopt;
    }

    std::optional<QString> checkDisk() const
    {
        const Model &model = m_model;
        const QStringList beside =
            QDir(m_fixture.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        if (QSet<QString>(beside.cbegin(), beside.cend()) != model.beside)
            return QStringLiteral("beside the bundle: %1").arg(beside.join(u", "));
        const QString root = model.away ? model.bundle + u".aside"_qs : model.bundle;
        const QMap<QString, QByteArray> onDisk = Tree::snapshot(root);
        if (onDisk.keys() != model.disk.keys())
            return QStringLiteral("the bundle holds %1").arg(onDisk.keys().join(u", "));
        for (auto it = model.disk.cbegin(); it != model.disk.cend(); ++it) {
            if (it.key() != u"Info.plist" && onDisk[it.key()] != (it->folder ? QByteArray("<dir>") : it->bytes))
                return QStringLiteral("%1 holds “%2”").arg(it.key(), QString::fromLatin1(onDisk[it.key()]));
        }
        QMap<QString, QString> keys;
        const QVariantMap map = PropertyList::read(root + u"/Info.plist"_qs).value_or(QVariant()).toMap();
        for (auto key = map.cbegin(); key != map.cend(); ++key)
            keys[key.key()] = key.value().toString();
        if (keys != model.plist)
            return u"Info.plist holds other values"_qs;
        return std::nullopt;
    }

    std::optional<QString> checkViews() const
    {
        QStringList open;
        for (const ContentView *view : area()->views()) {
            if (!view->viewIdentifier().isEmpty())
                open.append(view->viewIdentifier());
        }
        if (open != m_model.order)
            return QStringLiteral("open editors %1").arg(open.join(u", "));
        for (const QString &id : m_model.order) {
            const ContentView *view = area()->viewFor(id);
            const Model::View &expected = m_model.views[id];
            const NoticeBar *bar = view->findChild<NoticeBar *>();
            const bool asks =
                bar && bar->isVisibleTo(view) && bar->message().contains(u"was changed by another program"_qs);
            if (asks != expected.asks || view->isEdited() != expected.isEdited())
                return QStringLiteral("%1 asks: %2, holds edits: %3").arg(id).arg(asks).arg(view->isEdited());
            if (const auto *text = qobject_cast<const TextEditorView *>(view)) {
                const auto *editor = text->findChild<QsciScintilla *>();
                const long start = editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART);
                const long end = editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONEND);
                if (expected.kind != Model::Kind::Text || text->text() != expected.text
                    || editor->isReadOnly() != expected.readOnly || start != std::min(expected.anchor, expected.caret)
                    || end != std::max(expected.anchor, expected.caret))
                    return QStringLiteral("%1 shows “%2”, selects %3 to %4, read-only: %5")
                        .arg(id, text->text())
                        .arg(start)
                        .arg(end)
                        .arg(editor->isReadOnly());
            } else if (qobject_cast<const InfoPlistForm *>(view)) {
                for (const QString &key : FormKeys) {
                    const QString shown = view->findChild<QLineEdit *>(FormFields[key])->text();
                    if (expected.kind != Model::Kind::Form || shown != expected.fields.value(key))
                        return QStringLiteral("the form shows %1 “%2”").arg(key, shown);
                }
            } else if (expected.kind != Model::Kind::Folder) {
                return QStringLiteral("%1 shows as a folder").arg(id);
            }
        }
        return std::nullopt;
    }

    std::optional<QString> checkWindow() const
    {
        const auto *shown = qobject_cast<const ContentView *>(area()->currentWidget());
        if ((shown ? shown->viewIdentifier() : QString()) != m_model.shown)
            return QStringLiteral("shows “%1”").arg(shown ? shown->viewIdentifier() : QString());
        const QStringList rows = list()->rowList();
        const QStringList expected = m_model.rows(EntryListModel::visibleDirectoryContentsAtPath(m_model.bundle));
        if (rows != expected)
            return QStringLiteral("lists %1, expected %2").arg(rows.join(u", "), expected.join(u", "));
        const QLineEdit *field = m_document->windowCommands()->searchView();
        const Toolbar *toolbar = Toolbar::toolbarOf(m_document->window());
        if (!field || !toolbar->toolBar()->isAncestorOf(field) || !field->isVisibleTo(m_document->window())
            || field->text() != m_model.search || toolbar->displayMode() != m_model.displayMode)
            return u"the toolbar lost its search field, its text or its display mode"_qs;
        // The title names the widget; the mark of unsaved edits follows them at
        // once where a step says so, and otherwise on a timer.
        const QMainWindow *window = m_document->window();
        if (!window->windowTitle().startsWith(QFileInfo(m_model.bundle).fileName() + u"[*]"_qs)
            || (m_marked && window->isWindowModified() != *m_marked))
            return QStringLiteral("the window is titled “%1”, marked: %2")
                .arg(window->windowTitle())
                .arg(window->isWindowModified());
        if (const QWidget *keys = m_document->window()->focusWidget(); m_focus && keys != m_focus)
            return QStringLiteral("the keys go to “%1”")
                .arg(keys ? QString::fromLatin1(keys->metaObject()->className()) : QString());
        return std::nullopt;
    }

    std::optional<QString> checkAlerts() const
    {
        QString said;
        QSet<QString> named;
        static const QRegularExpression file(u"^“([^”]+)”: "_qs, QRegularExpression::MultilineOption);
        for (const Alert::Request &alert : m_alerts) {
            said += alert.title + u' ' + alert.message + u' ';
            for (auto match = file.globalMatch(alert.message); match.hasNext();)
                named.insert(match.next().captured(1));
        }
        const bool mentions = std::all_of(m_model.mentioned.cbegin(), m_model.mentioned.cend(),
                                          [&said](const QString &id) { return said.contains(id); });
        if (m_alerts.size() != m_model.alerts || !mentions || (m_model.failed && named != *m_model.failed))
            return QStringLiteral("%1 messages, expected %2, naming %3: %4")
                .arg(m_alerts.size())
                .arg(m_model.alerts)
                .arg(m_model.failed ? QStringList(m_model.failed->cbegin(), m_model.failed->cend()).join(u", ")
                                    : u"any file"_qs,
                     said);
        return std::nullopt;
    }

    quint32 m_seed;
    bool m_verbose;
    DocumentFixture m_fixture;
    Model m_model;
    WidgetDocument *m_document = nullptr;
    QList<Alert::Request> m_alerts;
    Alert::Response m_answer = Alert::DefaultButton;
    int m_made = 0;
    const QWidget *m_focus = nullptr; // where this step sent the keys, where it says
    std::optional<bool> m_marked; // whether the window's title marks unsaved edits after this step, where it says
    QString m_broken; // what this step did wrong beyond the model
};

QList<Step> stepsFor(quint32 seed, int count)
{
    QRandomGenerator random(seed);
    const int total = std::accumulate(std::begin(Weights), std::end(Weights), 0);
    QList<Step> steps;
    for (int index = 0; index < count; ++index) {
        int draw = random.bounded(total), op = 0;
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

// Leaves out stretches of steps, ever shorter, as long as what is left fails.
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

} // namespace

class tst_CommandSequences : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        struct sigaction action
        { };
        action.sa_handler = sayWhereItCrashed;
        sigaction(SIGSEGV, &action, &previousSegv);
        sigaction(SIGABRT, &action, &previousAbort);
    }
    void editsSurviveAnySequence();
};

void tst_CommandSequences::editsSurviveAnySequence()
{
    bool set = false;
    const int total = qEnvironmentVariableIntValue("QUILLET_SEQUENCE_STEPS", &set);
    const auto first = quint32(std::max(qEnvironmentVariableIntValue("QUILLET_SEQUENCE_SEED"), 1));
    int played = 0;
    for (quint32 seed = first; played < (set ? total : DefaultSteps); ++seed) {
        const QList<Step> steps = stepsFor(seed, std::min(StepsPerSequence, (set ? total : DefaultSteps) - played));
        played += int(steps.size());
        if (const std::optional<QString> wrong = play(seed, steps)) {
            const QList<Step> shortest = shrink(seed, steps);
            qInfo("Seed %u fails at %s. The shortest failing sequence found, %lld steps:", seed, qPrintable(*wrong),
                  static_cast<long long>(shortest.size()));
            QFAIL(qPrintable(QStringLiteral("seed %1, %2").arg(seed).arg(play(seed, shortest, true).value_or(*wrong))));
        }
    }
    qInfo("%d steps played, seeds %u to %u", played, first, first + quint32((played - 1) / StepsPerSequence));
}

QTEST_MAIN(tst_CommandSequences)
#include "tst_CommandSequences.moc"
