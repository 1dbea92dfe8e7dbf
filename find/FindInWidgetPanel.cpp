// SPDX-License-Identifier: GPL-2.0-or-later
#include "find/FindInWidgetPanel.h"

#include "editors/TextEditorView.h"
#include "editors/WidgetFiles.h"
#include "platform/FileManager.h"
#include "platform/ProgressPanel.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QtConcurrent/QtConcurrentRun>

#include <optional>
#include <utility>

namespace {

enum Role { IdentifierRole = Qt::UserRole, StartRole, LengthRole, ColumnRole };

// Names of skipped files the status line spells out before "…".
constexpr qsizetype MostNamesShown = 5;
// Files found are handed to the window at most this often, in one go: a
// hand-over per file woke the window's thread more often than it can paint.
constexpr qint64 HandOverMilliseconds = 5;

QString counted(qsizetype count, const QString &one, const QString &many)
{
    return count == 1 ? one : many.arg(QLocale().toString(count));
}

// Draws a match row's line with the match on a tint that reads on light
// and dark palettes, selected or not.
class MatchHighlight : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QVariant column = index.data(ColumnRole);
        if (!column.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        const QWidget *widget = item.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect area =
            style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).adjusted(margin, 0, -margin, 0);
        const qsizetype start = std::min(column.toLongLong(), text.size());
        const qsizetype length = std::min(index.data(LengthRole).toLongLong(), text.size() - start);
        const QFontMetrics metrics(item.font);
        const QRect match(area.left() + metrics.horizontalAdvance(text.first(start)), area.top(),
                          std::max(metrics.horizontalAdvance(text.sliced(start, length)), 2), area.height());
        painter->save();
        painter->setClipRect(area);
        painter->fillRect(match, QColor(255, 190, 0, 110));
        painter->setFont(item.font);
        painter->setPen(
            item.palette.color(item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        painter->restore();
    }
};

} // namespace

FindInWidgetPanel::FindInWidgetPanel(QMainWindow *window, WidgetFiles *files)
    : QDockWidget(tr("Find in Widget"), window)
    , m_files(files)
    , m_findField(new QLineEdit)
    , m_replaceField(new QLineEdit)
    , m_matchCase(new QCheckBox(tr("Match Case")))
    , m_wholeWords(new QCheckBox(tr("Whole Words")))
    , m_regularExpression(new QCheckBox(tr("Regular Expression")))
    , m_error(new QLabel)
    , m_results(new QTreeWidget)
    , m_status(new QLabel)
{
    setObjectName(QStringLiteral("findInWidget"));
    setFeatures(DockWidgetClosable | DockWidgetMovable);
    m_findField->setObjectName(QStringLiteral("findField"));
    m_findField->setPlaceholderText(tr("Find"));
    m_findField->setClearButtonEnabled(true);
    m_replaceField->setObjectName(QStringLiteral("replaceField"));
    m_replaceField->setPlaceholderText(tr("Replace with"));
    m_replaceField->setToolTip(tr("With Regular Expression, \\1 to \\99 stand for what the expression's groups "
                                  "captured; $1 and \\0 are plain text."));
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    m_wholeWords->setObjectName(QStringLiteral("wholeWords"));
    m_regularExpression->setObjectName(QStringLiteral("regularExpression"));
    auto *findButton = new QPushButton(tr("Find"));
    findButton->setObjectName(QStringLiteral("findButton"));
    auto *replaceButton = new QPushButton(tr("Replace All"));
    replaceButton->setObjectName(QStringLiteral("replaceAllButton"));
    m_error->setObjectName(QStringLiteral("findError"));
    m_error->setStyleSheet(QStringLiteral("color: #e01b24"));
    m_error->setWordWrap(true);
    m_error->hide();
    m_results->setObjectName(QStringLiteral("findResults"));
    m_results->setHeaderHidden(true);
    m_results->setUniformRowHeights(true);
    m_results->setItemDelegate(new MatchHighlight(m_results));
    m_status->setObjectName(QStringLiteral("findStatus"));
    m_status->setWordWrap(true);

    auto *fields = new QHBoxLayout;
    fields->addWidget(m_findField);
    fields->addWidget(m_replaceField);
    auto *options = new QHBoxLayout;
    for (QWidget *option : {m_matchCase, m_wholeWords, m_regularExpression})
        options->addWidget(option);
    options->addStretch();
    options->addWidget(findButton);
    options->addWidget(replaceButton);
    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->addLayout(fields);
    column->addLayout(options);
    column->addWidget(m_error);
    column->addWidget(m_results);
    column->addWidget(m_status);
    setWidget(content);
    window->addDockWidget(Qt::BottomDockWidgetArea, this);
    hide();

    connect(findButton, &QPushButton::clicked, this, &FindInWidgetPanel::find);
    connect(m_findField, &QLineEdit::returnPressed, this, &FindInWidgetPanel::find);
    connect(replaceButton, &QPushButton::clicked, this, &FindInWidgetPanel::replaceAll);
    connect(m_results, &QTreeWidget::itemActivated, this, &FindInWidgetPanel::openMatch);
    // A pattern says what is wrong with it as it is typed.
    connect(m_findField, &QLineEdit::textChanged, this, [this] { pattern(); });
    connect(m_regularExpression, &QCheckBox::toggled, this, [this] { pattern(); });
}

void FindInWidgetPanel::showAndFocus()
{
    for (QWidget *focus = QApplication::focusWidget(); focus; focus = focus->parentWidget()) {
        if (const auto *editor = qobject_cast<TextEditorView *>(focus)) {
            const QString selected = editor->selectedText();
            if (!selected.isEmpty() && !selected.contains(u'\n') && !selected.contains(u'\r'))
                m_findField->setText(selected);
            break;
        }
    }
    show();
    raise();
    m_findField->setFocus();
    m_findField->selectAll();
}

SearchQuery FindInWidgetPanel::query() const
{
    return {m_findField->text(), m_matchCase->isChecked(), m_wholeWords->isChecked(), m_regularExpression->isChecked()};
}

std::optional<SearchPattern> FindInWidgetPanel::pattern()
{
    QString error;
    std::optional<SearchPattern> pattern = WidgetSearch::pattern(query(), &error);
    m_error->setText(error);
    m_error->setVisible(!error.isEmpty());
    return pattern;
}

FindInWidgetPanel::~FindInWidgetPanel()
{
    stopSearch();
}

void FindInWidgetPanel::stopSearch()
{
    if (m_searchStopped)
        *m_searchStopped = true;
    m_search.waitForFinished();
}

// An editor without edits shows its file as it is on disk, or will once
// shown again after another program changed it; so its file is read. The
// edits are read here, keyed by the files' real paths, so that a search on
// another thread need not touch an editor.
WidgetSearch::EditedText FindInWidgetPanel::editedTexts() const
{
    QHash<QString, QByteArray> texts;
    for (ContentView *view : m_files->contentViews()) {
        const auto *text = qobject_cast<TextEditorView *>(view);
        if (text && text->isEdited())
            texts.insert(FileManager::canonicalPath(text->fullPath()), text->utf8());
    }
    return [bundle = m_files->bundlePath(), texts](const QString &identifier) -> std::optional<QByteArray> {
        if (texts.isEmpty())
            return std::nullopt;
        const auto text = texts.constFind(FileManager::canonicalPath(bundle + u'/' + identifier));
        return text == texts.constEnd() ? std::nullopt : std::optional(*text);
    };
}

void FindInWidgetPanel::find()
{
    search(QString());
}

void FindInWidgetPanel::search(const QString &before)
{
    stopSearch();
    m_results->clear();
    m_statusBefore = before;
    setStatus(QString());
    m_found = m_filesFound = 0;
    const std::optional<SearchPattern> found = pattern();
    if (!found)
        return;
    setStatus(tr("Searching…"));
    const auto stopped = std::make_shared<std::atomic<bool>>(false);
    m_searchStopped = stopped;
    // Only this thread touches the panel: what the search finds comes here
    // queued, and a stopped search's leftovers are dropped. The panel waits
    // for its search before it goes.
    m_search = QtConcurrent::run(
        [this, bundle = m_files->bundlePath(), pattern = *found, editedText = editedTexts(), stopped] {
            QList<FileMatches> unshown;
            const auto handOver = [this, stopped, &unshown](const QStringList *skipped) {
                QMetaObject::invokeMethod(
                    this,
                    [this, stopped, files = std::exchange(unshown, {}),
                     skipped = skipped ? std::optional(*skipped) : std::nullopt] {
                        if (*stopped)
                            return;
                        for (const FileMatches &file : files)
                            showFile(file);
                        if (skipped)
                            showSkipped(*skipped);
                    },
                    Qt::QueuedConnection);
            };
            QElapsedTimer sinceHandOver;
            sinceHandOver.start();
            const auto found = [&](const FileMatches &file) {
                unshown.append(file);
                if (sinceHandOver.elapsed() >= HandOverMilliseconds) {
                    handOver(nullptr);
                    sinceHandOver.restart();
                }
                return !*stopped;
            };
            const QStringList skipped = WidgetSearch::find(bundle, pattern, editedText, found).skipped;
            handOver(&skipped);
        });
}

void FindInWidgetPanel::showFile(const FileMatches &file)
{
    static const QFont lineFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto *fileRow = new QTreeWidgetItem(m_results);
    fileRow->setText(0,
                     file.more ? tr("%1 (first %2)").arg(file.identifier, QLocale().toString(file.matches.size()))
                               : tr("%1 (%2)").arg(file.identifier).arg(file.matches.size()));
    fileRow->setData(0, IdentifierRole, file.identifier);
    for (const TextMatch &match : file.matches) {
        auto *row = new QTreeWidgetItem(fileRow);
        const QString shown = tr("line %1: %2").arg(match.line).arg(match.lineText);
        row->setText(0, shown);
        row->setFont(0, lineFont);
        row->setData(0, IdentifierRole, file.identifier);
        row->setData(0, StartRole, match.start);
        row->setData(0, LengthRole, match.length);
        row->setData(0, ColumnRole, shown.size() - match.lineText.size() + match.column);
    }
    fileRow->setExpanded(true);
    m_found += file.matches.size();
    ++m_filesFound;
    setStatus(tr("Searching… %1 in %2 so far.")
                  .arg(counted(m_found, tr("1 match"), tr("%1 matches")),
                       counted(m_filesFound, tr("1 file"), tr("%1 files"))));
}

void FindInWidgetPanel::showSkipped(const QStringList &skipped)
{
    QString status = m_found == 0 ? tr("No matches.")
                                  : tr("%1 in %2.")
                                        .arg(counted(m_found, tr("1 match"), tr("%1 matches")),
                                             counted(m_filesFound, tr("1 file"), tr("%1 files")));
    if (!skipped.isEmpty()) {
        QStringList names = skipped.first(std::min(skipped.size(), MostNamesShown));
        if (skipped.size() > MostNamesShown)
            names.append(tr("…"));
        status += u' ' + tr("Not searched (binary, unreadable or larger than 32 MiB): %1.").arg(names.join(tr(", ")));
    }
    setStatus(status);
}

void FindInWidgetPanel::setStatus(const QString &status)
{
    m_status->setText(m_statusBefore.isEmpty() || status.isEmpty() ? m_statusBefore + status
                                                                   : m_statusBefore + u' ' + status);
}

void FindInWidgetPanel::openMatch(const QTreeWidgetItem *item)
{
    const QString identifier = item->data(0, IdentifierRole).toString();
    if (identifier.isEmpty())
        return;
    auto *view = m_files->openTextEditor(identifier);
    const QVariant start = item->data(0, StartRole);
    if (view && start.isValid())
        view->selectRange(start.toLongLong(), start.toLongLong() + item->data(0, LengthRole).toLongLong());
}

// A plain query is replaced in the editor's bytes as they stand; others in
// its decoded text. Long lines shown broken are the text's only whole.
std::optional<TextEditorView::Rewrite>
FindInWidgetPanel::rewriteOf(const TextEditorView *view, const SearchPattern &pattern, qsizetype *count) const
{
    if (!view->showsLinesBroken()) {
        if (const auto spans = WidgetSearch::literalMatchesIn(view->editorBytes(), pattern)) {
            *count = spans->size();
            return view->rewrite(*spans, m_replaceField->text().toUtf8());
        }
    }
    const QString text = view->text();
    const QList<TextEditorView::Replacement> changes =
        WidgetSearch::replacements(text, pattern.expression, m_replaceField->text(), query().regularExpression);
    *count = changes.size();
    return view->rewrite(text, changes);
}

// Each file is opened in its editor and changed there, so that its edits
// show, Undo takes them back, and Save writes them like any other edits.
// Every file's new text is made before any editor changes, so that Stop
// leaves every file as it was.
void FindInWidgetPanel::replaceAll()
{
    stopSearch();
    const std::optional<SearchPattern> found = pattern();
    if (!found)
        return;
    const QString bundle = m_files->bundlePath();
    const WidgetSearch::Results results =
        WidgetSearch::find(bundle, *found, editedTexts(), {}, WidgetSearch::Detail::FilesOnly);
    ProgressPanel progress(window(), tr("Replacing…"), ProgressPanel::Stopping::Offered);
    struct Planned
    {
        QString identifier;
        QPointer<TextEditorView> view;
        TextEditorView::Rewrite rewrite;
        qsizetype count;
    };
    QList<Planned> planned;
    QStringList left;
    for (const FileMatches &file : results.files) {
        if (!progress.step(planned.size() + left.size(), results.files.size())) {
            m_status->setText(tr("Replace All stopped: no file was changed."));
            return;
        }
        auto *view = m_files->openTextEditor(file.identifier);
        qsizetype count = 0;
        const std::optional<TextEditorView::Rewrite> rewrite = view ? rewriteOf(view, *found, &count) : std::nullopt;
        if (!rewrite) {
            left.append(file.identifier);
            continue;
        }
        planned.append({file.identifier, view, *rewrite, count});
    }
    // A file read again from disk meanwhile is left as it now is.
    qsizetype replaced = 0, files = 0;
    for (const Planned &file : std::as_const(planned)) {
        if (!file.view || !file.view->apply(file.rewrite)) {
            left.append(file.identifier);
            continue;
        }
        replaced += file.count;
        files += file.count > 0 ? 1 : 0;
    }
    QString status =
        tr("Replaced %1 in %2. Undo in a file's editor takes its replacements back; Save writes them.")
            .arg(counted(replaced, tr("1 match"), tr("%1 matches")), counted(files, tr("1 file"), tr("%1 files")));
    if (!left.isEmpty())
        status += u' '
            + tr("Left as they are (read-only, edited in a form, or changed meanwhile): %1.").arg(left.join(tr(", ")));
    search(status);
}
