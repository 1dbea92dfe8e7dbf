// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/ToolbarCustomizationPalette.h"

#include "platform/Toolbar.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

bool mayRepeat(const QString &identifier)
{
    return identifier == Toolbar::SpaceItemIdentifier || identifier == Toolbar::FlexibleSpaceItemIdentifier
        || identifier == Toolbar::SeparatorItemIdentifier;
}

QListWidget *makeList()
{
    auto *list = new QListWidget;
    list->setIconSize(QSize(24, 24));
    list->setMinimumSize(220, 280);
    return list;
}

} // namespace

ToolbarCustomizationPalette::ToolbarCustomizationPalette(QWidget *parent, const Request &request)
    : QDialog(parent)
    , m_request(request)
    , m_offered(makeList())
    , m_toolbar(makeList())
    , m_displayMode(new QComboBox)
{
    setWindowTitle(tr("Customize Toolbar"));
    for (const QString &identifier : request.allowed) {
        const Label label = request.labels.value(identifier);
        auto *item = new QListWidgetItem(label.image, label.text, m_offered);
        item->setData(Qt::UserRole, identifier);
    }
    m_toolbar->setDragDropMode(QAbstractItemView::InternalMove);
    fillToolbarList(request.current);
    m_displayMode->addItem(tr("Icon and Text"), int(Toolbar::DisplayModeIconAndLabel));
    m_displayMode->addItem(tr("Icon Only"), int(Toolbar::DisplayModeIconOnly));
    m_displayMode->addItem(tr("Text Only"), int(Toolbar::DisplayModeLabelOnly));
    showDisplayMode(request.displayMode);

    auto *add = new QPushButton(tr("Add →"));
    auto *remove = new QPushButton(tr("← Remove"));
    auto *up = new QPushButton(tr("Move Up"));
    auto *down = new QPushButton(tr("Move Down"));
    auto *defaults = new QPushButton(tr("Use Default Set"));
    connect(add, &QPushButton::clicked, this, [this] { addOfferedItem(m_offered->currentRow()); });
    connect(m_offered, &QListWidget::itemDoubleClicked, this, [this] { addOfferedItem(m_offered->currentRow()); });
    connect(remove, &QPushButton::clicked, this, [this] { removeItem(m_toolbar->currentRow()); });
    connect(up, &QPushButton::clicked, this, [this] { moveItem(m_toolbar->currentRow(), -1); });
    connect(down, &QPushButton::clicked, this, [this] { moveItem(m_toolbar->currentRow(), +1); });
    connect(defaults, &QPushButton::clicked, this, &ToolbarCustomizationPalette::useDefaultSet);

    auto *buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {add, remove, up, down})
        buttons->addWidget(button);
    buttons->addStretch();

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Available items:")), 0, 0);
    grid->addWidget(new QLabel(tr("Toolbar items (drag to reorder):")), 0, 2);
    grid->addWidget(m_offered, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(m_toolbar, 1, 2);

    auto *show = new QHBoxLayout;
    show->addWidget(new QLabel(tr("Show:")));
    show->addWidget(m_displayMode);
    show->addStretch();
    show->addWidget(defaults);

    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(show);
    layout->addWidget(box);
}

std::optional<ToolbarCustomizationPalette::Result> ToolbarCustomizationPalette::run(QWidget *parent,
                                                                                    const Request &request)
{
    if (responder)
        return responder(request);
    ToolbarCustomizationPalette palette(parent, request);
    if (palette.exec() != Accepted)
        return std::nullopt;
    return palette.result();
}

ToolbarCustomizationPalette::Result ToolbarCustomizationPalette::result() const
{
    return {toolbarItems(), m_displayMode->currentData().toInt()};
}

QStringList ToolbarCustomizationPalette::toolbarItems() const
{
    QStringList identifiers;
    for (int row = 0; row < m_toolbar->count(); ++row)
        identifiers.append(m_toolbar->item(row)->data(Qt::UserRole).toString());
    return identifiers;
}

void ToolbarCustomizationPalette::fillToolbarList(const QStringList &identifiers)
{
    m_toolbar->clear();
    for (const QString &identifier : identifiers)
        appendToToolbarList(identifier);
}

void ToolbarCustomizationPalette::appendToToolbarList(const QString &identifier)
{
    const Label label = m_request.labels.value(identifier);
    auto *item = new QListWidgetItem(label.image, label.text, m_toolbar);
    item->setData(Qt::UserRole, identifier);
    // Only reordering by drag; items never land inside one another.
    item->setFlags(item->flags() & ~Qt::ItemIsDropEnabled);
}

void ToolbarCustomizationPalette::addOfferedItem(int row)
{
    if (row < 0 || row >= m_offered->count())
        return;
    const QString identifier = m_offered->item(row)->data(Qt::UserRole).toString();
    if (!mayRepeat(identifier) && toolbarItems().contains(identifier))
        return;
    appendToToolbarList(identifier);
    m_toolbar->setCurrentRow(m_toolbar->count() - 1);
}

void ToolbarCustomizationPalette::removeItem(int row)
{
    delete m_toolbar->takeItem(row);
}

void ToolbarCustomizationPalette::moveItem(int row, int offset)
{
    const int target = row + offset;
    if (row < 0 || row >= m_toolbar->count() || target < 0 || target >= m_toolbar->count())
        return;
    m_toolbar->insertItem(target, m_toolbar->takeItem(row));
    m_toolbar->setCurrentRow(target);
}

void ToolbarCustomizationPalette::useDefaultSet()
{
    fillToolbarList(m_request.defaults);
    showDisplayMode(Toolbar::DisplayModeDefault);
}

void ToolbarCustomizationPalette::showDisplayMode(int mode)
{
    // The default mode shows icons and text.
    const int index = m_displayMode->findData(mode);
    m_displayMode->setCurrentIndex(index < 0 ? 0 : index);
}
