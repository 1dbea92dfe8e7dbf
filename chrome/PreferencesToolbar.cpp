// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/PreferencesToolbar.h"

#include "platform/Images.h"

#include <QMainWindow>

namespace {
const QString ToolbarIdentifier = QStringLiteral("Toolbar Identifier");
const QString GeneralIdentifier = QStringLiteral("General Preferences Toolbar Item Identifier");
} // namespace

PreferencesToolbar::PreferencesToolbar(QTabWidget *tabView)
    : QObject(tabView)
    , m_tabView(tabView)
{ }

void PreferencesToolbar::setUp()
{
    setupToolbar();
}

void PreferencesToolbar::setupToolbar()
{
    auto *window = qobject_cast<QMainWindow *>(m_tabView->window());
    Q_ASSERT(window);
    auto *toolbar = new Toolbar(ToolbarIdentifier);
    toolbar->setAllowsUserCustomization(false);
    toolbar->setAutosavesConfiguration(true);
    toolbar->setDisplayMode(Toolbar::DisplayModeDefault);
    toolbar->setDelegate(this);
    toolbar->install(window);
}

QStringList PreferencesToolbar::toolbarDefaultItemIdentifiers() const
{
    return {GeneralIdentifier};
}

QStringList PreferencesToolbar::toolbarAllowedItemIdentifiers() const
{
    return toolbarDefaultItemIdentifiers();
}

std::optional<ToolbarItem> PreferencesToolbar::itemForItemIdentifier(const QString &identifier)
{
    if (identifier != GeneralIdentifier)
        return std::nullopt;
    const QString image =
        m_tabView->currentIndex() == 0 ? QStringLiteral("generalPrefIconSelected") : QStringLiteral("generalPrefIcon");
    return ToolbarItem{
        identifier, tr("General"), tr("General"), {}, Images::named(image), [this] { selectGeneralTab(); }, {}, {}, {}};
}

void PreferencesToolbar::selectGeneralTab()
{
    m_tabView->setCurrentIndex(0);
    setupToolbar();
}
