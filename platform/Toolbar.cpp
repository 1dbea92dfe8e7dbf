// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Toolbar.h"

#include "platform/Settings.h"
#include "platform/ToolbarCustomizationPalette.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

const QString Toolbar::SpaceItemIdentifier = QStringLiteral("NSToolbarSpaceItem");
const QString Toolbar::FlexibleSpaceItemIdentifier = QStringLiteral("NSToolbarFlexibleSpaceItem");
const QString Toolbar::SeparatorItemIdentifier = QStringLiteral("NSToolbarSeparatorItem");
const QString Toolbar::CustomizeToolbarItemIdentifier = QStringLiteral("NSToolbarCustomizeToolbarItem");

namespace {

constexpr int SpaceWidth = 12;
constexpr int IconSize = 32;

Qt::ToolButtonStyle buttonStyleFor(Toolbar::DisplayMode mode)
{
    switch (mode) {
    case Toolbar::DisplayModeIconOnly:
        return Qt::ToolButtonIconOnly;
    case Toolbar::DisplayModeLabelOnly:
        return Qt::ToolButtonTextOnly;
    case Toolbar::DisplayModeDefault:
    case Toolbar::DisplayModeIconAndLabel:
        break;
    }
    return Qt::ToolButtonTextUnderIcon;
}

QWidget *spacer(bool flexible)
{
    auto *space = new QWidget;
    space->setSizePolicy(flexible ? QSizePolicy::Expanding : QSizePolicy::Fixed, QSizePolicy::Preferred);
    if (!flexible)
        space->setFixedWidth(SpaceWidth);
    return space;
}

} // namespace

Toolbar::Toolbar(const QString &identifier)
    : m_identifier(identifier)
{
    connect(&Settings::shared(), &Settings::toolbarConfigurationChanged, this, &Toolbar::followSavedConfiguration);
}

Toolbar::~Toolbar()
{
    takeBackViews();
    delete m_toolBar;
}

QString Toolbar::standardItemLabel(const QString &identifier)
{
    if (identifier == SpaceItemIdentifier)
        return tr("Space");
    if (identifier == FlexibleSpaceItemIdentifier)
        return tr("Flexible Space");
    if (identifier == SeparatorItemIdentifier)
        return tr("Separator");
    if (identifier == CustomizeToolbarItemIdentifier)
        return tr("Customize");
    return {};
}

Toolbar *Toolbar::toolbarOf(const QMainWindow *window)
{
    return window ? window->findChild<Toolbar *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void Toolbar::install(QMainWindow *window)
{
    Q_ASSERT(m_delegate);
    if (Toolbar *previous = toolbarOf(window))
        delete previous;
    m_window = window;
    setParent(window);
    m_items = m_delegate->toolbarDefaultItemIdentifiers();
    const Settings &settings = Settings::shared();
    if (m_autosaves) {
        const QStringList saved = allowedOnly(settings.toolbarItems(m_identifier).value_or(QStringList()));
        // Another kind of toolbar may have saved under the same identifier;
        // only an arrangement of this toolbar's own items replaces the defaults.
        const bool hasOwnItems =
            std::any_of(saved.begin(), saved.end(), [](const QString &id) { return standardItemLabel(id).isEmpty(); });
        if (hasOwnItems)
            m_items = saved;
        m_displayMode = DisplayMode(settings.toolbarDisplayMode(m_identifier));
    }
    rebuild();
}

QStringList Toolbar::allowedOnly(const QStringList &identifiers) const
{
    const QStringList allowed = m_delegate->toolbarAllowedItemIdentifiers();
    QStringList kept;
    for (const QString &identifier : identifiers) {
        if (allowed.contains(identifier))
            kept.append(identifier);
    }
    return kept;
}

void Toolbar::setConfiguration(const QStringList &identifiers, DisplayMode mode)
{
    m_items = allowedOnly(identifiers);
    m_displayMode = mode;
    if (m_autosaves)
        Settings::shared().setToolbarConfiguration(m_identifier, m_items, m_displayMode);
    rebuild();
}

void Toolbar::followSavedConfiguration(const QString &identifier)
{
    if (identifier != m_identifier || !m_autosaves || !m_window)
        return;
    const std::optional<QStringList> saved = Settings::shared().toolbarItems(identifier);
    const QStringList items = allowedOnly(saved.value_or(QStringList()));
    const auto mode = DisplayMode(Settings::shared().toolbarDisplayMode(identifier));
    if ((items == m_items || items.isEmpty()) && mode == m_displayMode)
        return;
    if (!items.isEmpty())
        m_items = items;
    m_displayMode = mode;
    rebuild();
}

// Views carried by items belong to the delegate: they are taken out of the
// old tool bar before it goes, so they outlive every rebuild.
void Toolbar::takeBackViews()
{
    for (const ToolbarItem &item : std::as_const(m_madeItems)) {
        if (item.view) {
            item.view->hide();
            // The window as the QObject parent it is: when it is being
            // destroyed it is no QMainWindow any more, only a QWidget.
            item.view->setParent(static_cast<QWidget *>(parent()));
        }
    }
    m_madeItems.clear();
}

void Toolbar::rebuild()
{
    takeBackViews();
    delete m_toolBar;
    m_toolBar = new QToolBar(tr("Toolbar"), m_window);
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(IconSize, IconSize));
    m_toolBar->setToolButtonStyle(buttonStyleFor(m_displayMode));
    m_toolBar->setContextMenuPolicy(m_allowsUserCustomization ? Qt::CustomContextMenu : Qt::PreventContextMenu);
    connect(m_toolBar, &QWidget::customContextMenuRequested, this, &Toolbar::showContextMenu);
    for (const QString &identifier : std::as_const(m_items))
        addItem(identifier);
    m_window->addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_toolBar->show();
}

void Toolbar::addItem(const QString &identifier)
{
    if (identifier == SpaceItemIdentifier || identifier == FlexibleSpaceItemIdentifier) {
        m_toolBar->addWidget(spacer(identifier == FlexibleSpaceItemIdentifier));
        return;
    }
    if (identifier == SeparatorItemIdentifier) {
        m_toolBar->addSeparator();
        return;
    }
    if (identifier == CustomizeToolbarItemIdentifier) {
        QAction *customize = m_toolBar->addAction(m_toolBar->style()->standardIcon(QStyle::SP_FileDialogDetailedView),
                                                  standardItemLabel(identifier));
        connect(customize, &QAction::triggered, this, &Toolbar::runCustomizationPalette);
        return;
    }
    std::optional<ToolbarItem> item = m_delegate->itemForItemIdentifier(identifier);
    if (!item)
        return;
    m_madeItems.append(*item);
    if (item->view)
        addView(*item);
    else
        addCommand(*item);
}

void Toolbar::addCommand(const ToolbarItem &item)
{
    QAction *action = m_toolBar->addAction(item.image, item.label);
    action->setObjectName(item.identifier);
    action->setToolTip(item.toolTip.isEmpty() ? item.label : item.toolTip);
    if (item.action)
        connect(action, &QAction::triggered, this, [action = item.action] { action(); });
}

void Toolbar::addView(const ToolbarItem &item)
{
    // A view stays itself in every display mode: a search field replaced by
    // a menu while labels show alone could no longer be cleared.
    item.view->setToolTip(item.toolTip);
    if (item.minSize.width() > 0 && item.minSize.width() == item.maxSize.width())
        item.view->setFixedWidth(item.minSize.width());
    // The tool bar deletes the widget it was given with the bar, so the view
    // always sits in a holder of the bar's own, and is taken back out of it
    // before the bar goes. With labels shown, the view gets its label
    // beneath it, as buttons do.
    auto *holder = new QWidget;
    auto *layout = new QVBoxLayout(holder);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(2);
    layout->addStretch();
    layout->addWidget(item.view, 0, Qt::AlignHCenter);
    if (m_displayMode != DisplayModeIconOnly)
        layout->addWidget(new QLabel(item.label), 0, Qt::AlignHCenter);
    else
        layout->addStretch();
    m_toolBar->addWidget(holder)->setObjectName(item.identifier);
    item.view->show();
}

void Toolbar::showContextMenu(const QPoint &position)
{
    QMenu menu;
    const std::pair<DisplayMode, QString> modes[] = {
        {DisplayModeIconAndLabel, tr("Icon and Text")},
        {DisplayModeIconOnly, tr("Icon Only")},
        {DisplayModeLabelOnly, tr("Text Only")},
    };
    for (const auto &[mode, title] : modes) {
        QAction *choice = menu.addAction(title);
        choice->setCheckable(true);
        choice->setChecked(buttonStyleFor(mode) == buttonStyleFor(m_displayMode));
        connect(choice, &QAction::triggered, this, [this, mode = mode] { setConfiguration(m_items, mode); });
    }
    menu.addSeparator();
    connect(menu.addAction(tr("Customize Toolbar…")), &QAction::triggered, this, &Toolbar::runCustomizationPalette);
    menu.exec(m_toolBar->mapToGlobal(position));
}

void Toolbar::runCustomizationPalette()
{
    if (!m_allowsUserCustomization)
        return;
    ToolbarCustomizationPalette::Request request{m_delegate->toolbarAllowedItemIdentifiers(),
                                                 m_delegate->toolbarDefaultItemIdentifiers(),
                                                 m_items,
                                                 m_displayMode,
                                                 {}};
    for (const QString &identifier : request.allowed) {
        const QString standard = standardItemLabel(identifier);
        if (!standard.isEmpty()) {
            request.labels.insert(identifier, {standard, {}});
            continue;
        }
        if (const std::optional<ToolbarItem> item = m_delegate->itemForItemIdentifier(identifier))
            request.labels.insert(identifier, {item->paletteLabel, item->image});
    }
    if (const auto chosen = ToolbarCustomizationPalette::run(m_window, request))
        setConfiguration(chosen->items, DisplayMode(chosen->displayMode));
}
