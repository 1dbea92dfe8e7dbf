// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/EntryListModel.h"

#include "platform/Alert.h"
#include "platform/FileManager.h"

#include <QApplication>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Names sort by keys compared byte by byte: letters folded to lower case and
// stripped of their accents, and each run of digits turned into a mark, its
// length and its digits without leading zeros, so that numbers go by value.
// Keys are UTF-8, whose byte order is that of the characters. A locale's
// collator would take several times as long as reading the folder.
constexpr char NumberMark = '0';
constexpr qsizetype LongestNumber = 255;
// Each UTF-16 unit adds at most three bytes: a one-digit number, a character
// of three UTF-8 bytes, or half of a character of four.
constexpr qsizetype KeyBytesPerUnit = 3;
constexpr size_t KeyStartBytes = 16;

bool isDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

// Writes the key of `name` at `out` and returns where it ends.
char *writeSortKey(const QString &name, char *out)
{
    const auto *unit = reinterpret_cast<const char16_t *>(name.constData());
    const char16_t *end = unit + name.size();
    while (unit < end) {
        if (isDigit(*unit)) {
            while (*unit == u'0' && unit + 1 < end && isDigit(unit[1]))
                ++unit;
            const char16_t *first = unit;
            while (unit < end && isDigit(*unit) && unit - first < LongestNumber)
                ++unit;
            *out++ = NumberMark;
            *out++ = char(unit - first);
            for (const char16_t *digit = first; digit < unit; ++digit)
                *out++ = char(*digit);
            continue;
        }
        char32_t c = *unit++;
        if (c < 0x80) {
            *out++ = char(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && unit < end && QChar::isLowSurrogate(*unit))
            c = QChar::surrogateToUcs4(char16_t(c), *unit++);
        if (QChar::decompositionTag(c) == QChar::Canonical)
            c = QChar::decomposition(c).at(0).unicode();
        const QByteArray utf8 = QStringView(QChar::fromUcs4(QChar::toCaseFolded(c))).toUtf8();
        out = std::copy(utf8.cbegin(), utf8.cend(), out);
    }
    return out;
}

// A name's place in the sort: the first bytes of its key, where most names
// already differ, and where the rest of the key lies.
struct SortPlace
{
    std::array<quint8, KeyStartBytes> start{};
    quint32 name = 0;
    quint32 restOffset = 0;
    quint32 restSize = 0;
};

// A radix sort on the key starts, byte by byte from the last, each pass
// stable: no comparisons, whose mispredicted branches would make up most of
// the time. A pass over a byte all keys share is left out.
void radixSort(std::vector<SortPlace> &places)
{
    std::array<std::array<quint32, 256>, KeyStartBytes> counts{};
    for (const SortPlace &place : places) {
        for (size_t byte = 0; byte < KeyStartBytes; ++byte)
            ++counts[byte][place.start[byte]];
    }
    std::vector<SortPlace> sorted(places.size());
    for (size_t byte = KeyStartBytes; byte-- > 0;) {
        std::array<quint32, 256> &next = counts[byte];
        if (std::find(next.cbegin(), next.cend(), quint32(places.size())) != next.cend())
            continue;
        quint32 before = 0;
        for (quint32 &count : next)
            before += std::exchange(count, before);
        for (const SortPlace &place : places)
            sorted[next[place.start[byte]]++] = place;
        places.swap(sorted);
    }
}

// Case-insensitive, numbers by value; names only their case or leading zeros
// tell apart keep one order, that of their characters. Sorting 10,000 names
// so takes a fraction of the time reading them from the folder takes.
void sortAsFileManagersDo(QStringList &names)
{
    std::vector<SortPlace> places(size_t(names.size()));
    std::string key;
    std::string rests;
    for (qsizetype i = 0; i < names.size(); ++i) {
        key.resize(size_t(names.at(i).size() * KeyBytesPerUnit));
        const size_t size = size_t(writeSortKey(names.at(i), key.data()) - key.data());
        SortPlace &place = places[size_t(i)];
        std::memcpy(place.start.data(), key.data(), std::min(size, KeyStartBytes));
        place.name = quint32(i);
        if (size > KeyStartBytes) {
            place.restOffset = quint32(rests.size());
            place.restSize = quint32(size - KeyStartBytes);
            rests.append(key, KeyStartBytes, place.restSize);
        }
    }
    radixSort(places);
    const auto rest = [&rests](const SortPlace &place) {
        return std::string_view(rests).substr(place.restOffset, place.restSize);
    };
    for (auto run = places.begin(); run != places.end();) {
        const auto runEnd =
            std::find_if(run + 1, places.end(), [&run](const SortPlace &place) { return place.start != run->start; });
        std::sort(run, runEnd, [&](const SortPlace &a, const SortPlace &b) {
            const int order = rest(a).compare(rest(b));
            return order != 0 ? order < 0 : names.at(a.name) < names.at(b.name);
        });
        run = runEnd;
    }
    QStringList sorted;
    sorted.reserve(names.size());
    for (const SortPlace &place : places)
        sorted.append(std::move(names[place.name]));
    names = std::move(sorted);
}

} // namespace

QStringList EntryListModel::visibleDirectoryContentsAtPath(const QString &path)
{
    QStringList names = visibleNamesAsListed(path);
    sortAsFileManagersDo(names);
    return names;
}

QStringList EntryListModel::visibleNamesAsListed(const QString &path)
{
    QStringList names = FileManager::contentsOfDirectory(path);
    names.removeIf([](const QString &name) { return name.startsWith(u'.'); });
    return names;
}

// Most readings find the folder as it was (a refresh on coming back to the
// window, a change inside a file): comparing the names as the system lists
// them costs a tenth of sorting them again.
QStringList EntryListModel::visibleEntries(const QString &folder)
{
    QStringList names = visibleNamesAsListed(folder);
    if (folder != m_sortedFolder || names != m_namesAsListed) {
        m_sortedFolder = folder;
        m_namesAsListed = names;
        sortAsFileManagersDo(names);
        m_namesSorted = std::move(names);
    }
    return m_namesSorted;
}

QStringList EntryListModel::listing(const QString &folder)
{
    return visibleEntries(folder);
}

bool EntryListModel::setFolder(const QString &folder, bool force)
{
    const QStringList items = folder.isEmpty() ? QStringList() : listing(folder);
    if (folder == m_folder && items == m_items && !force)
        return false;
    beginResetModel();
    m_folder = folder;
    m_items = items;
    m_outsideLinks.clear();
    m_icons.clear();
    endResetModel();
    return true;
}

// Asked when a row is first drawn, not for every entry at each reading: a
// refresh of a large folder then costs little more than the reading.
bool EntryListModel::leadsOutside(const QString &name) const
{
    auto known = m_outsideLinks.constFind(name);
    if (known == m_outsideLinks.cend()) {
        const QString path = m_folder + u'/' + name;
        known = m_outsideLinks.insert(name, QFileInfo(path).isSymLink() && FileManager::leadsOutside(boundary(), path));
    }
    return *known;
}

QString EntryListModel::pathAt(int row) const
{
    return row >= 0 && row < m_items.size() ? m_folder + u'/' + m_items.at(row) : QString();
}

void EntryListModel::setDragHandler(std::function<Outcome(const QString &)> handler)
{
    m_dragHandler = std::move(handler);
}

int EntryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int EntryListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EntryListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const QString &name = m_items.at(index.row());
    const bool outside = leadsOutside(name);
    if (outside && role == Qt::ToolTipRole)
        return tr("%1 leads outside the widget, to %2").arg(name, QFileInfo(pathAt(index.row())).symLinkTarget());
    return m_icons.cell(name, pathAt(index.row()), index.column() == NameColumn, role, outside);
}

Qt::ItemFlags EntryListModel::flags(const QModelIndex &index) const
{
    // Rows take no drops themselves: whatever row a drop is aimed at, it
    // lands in the folder the list shows.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList EntryListModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

Qt::DropActions EntryListModel::supportedDropActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}

Qt::DropActions EntryListModel::supportedDragActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}

QMimeData *EntryListModel::mimeData(const QModelIndexList &indexes) const
{
    // Only one entry is dragged, however many rows are selected.
    const QString path = indexes.isEmpty() ? QString() : pathAt(indexes.first().row());
    if (path.isEmpty())
        return nullptr;
    // The entry travels as it is on disk: its edits go first, or it stays.
    if (m_dragHandler) {
        const Outcome saved = m_dragHandler(path);
        if (!saved) {
            report(tr("The file could not be saved before dragging it."), saved);
            return nullptr;
        }
    }
    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    return data;
}

bool EntryListModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int, const QModelIndex &) const
{
    return data && data->hasUrls() && !m_folder.isEmpty() && !FileManager::leadsOutside(boundary(), m_folder);
}

bool EntryListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                  const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    int moved = 0;
    const Outcome outcome = FileManager::moveItemsInto(data->urls(), m_folder, &moved);
    report(tr("Some items could not be moved into the widget."), outcome);
    emit itemsDropped();
    return moved > 0;
}

void EntryListModel::report(const QString &title, const Outcome &outcome) const
{
    Alert::report(QApplication::activeWindow(), title, outcome);
}
