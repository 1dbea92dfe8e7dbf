// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DocumentToolbar.h"

#include "app/DocumentWindowCommands.h"
#include "app/FileListSearchField.h"
#include "platform/Images.h"

#include <QMainWindow>

namespace {

const QString ToolbarIdentifier = QStringLiteral("Toolbar Identifier");
const QString NewToolbarItemIdentifier = QStringLiteral("New Widget Toolbar Item Identifier");
const QString OpenToolbarItemIdentifier = QStringLiteral("Open Toolbar Item Identifier");
const QString SaveToolbarItemIdentifier = QStringLiteral("Save Toolbar Item Identifier");
const QString PreviewToolbarItemIdentifier = QStringLiteral("Preview Toolbar Item Identifier");
const QString BuildRunToolbarItemIdentifier = QStringLiteral("Build and Run Toolbar Item Identifier");
const QString SearchToolbarItemIdentifier = QStringLiteral("Search Toolbar Item Identifier");

constexpr int SearchItemWidth = 123;

} // namespace

DocumentToolbar::DocumentToolbar(QMainWindow *window, DocumentWindowCommands *commands)
    : QObject(commands)
    , m_window(window)
    , m_commands(commands)
{ }

void DocumentToolbar::install()
{
    auto *toolbar = new Toolbar(ToolbarIdentifier);
    toolbar->setAllowsUserCustomization(true);
    toolbar->setAutosavesConfiguration(true);
    toolbar->setDisplayMode(Toolbar::DisplayModeDefault);
    toolbar->setDelegate(this);
    toolbar->install(m_window);
}

QStringList DocumentToolbar::toolbarDefaultItemIdentifiers() const
{
    return {NewToolbarItemIdentifier,     OpenToolbarItemIdentifier,
            SaveToolbarItemIdentifier,    Toolbar::FlexibleSpaceItemIdentifier,
            PreviewToolbarItemIdentifier, BuildRunToolbarItemIdentifier,
            SearchToolbarItemIdentifier};
}

QStringList DocumentToolbar::toolbarAllowedItemIdentifiers() const
{
    return {NewToolbarItemIdentifier,
            OpenToolbarItemIdentifier,
            BuildRunToolbarItemIdentifier,
            SaveToolbarItemIdentifier,
            PreviewToolbarItemIdentifier,
            Toolbar::SpaceItemIdentifier,
            Toolbar::FlexibleSpaceItemIdentifier,
            Toolbar::CustomizeToolbarItemIdentifier,
            Toolbar::SeparatorItemIdentifier,
            SearchToolbarItemIdentifier};
}

std::optional<ToolbarItem> DocumentToolbar::itemForItemIdentifier(const QString &identifier)
{
    const auto command = [this, &identifier](const QString &label, const QString &image,
                                             void (DocumentWindowCommands::*action)()) {
        DocumentWindowCommands *commands = m_commands;
        return ToolbarItem{
            identifier, label, label, {}, Images::named(image), [commands, action] { (commands->*action)(); },
            {},         {},    {}};
    };
    if (identifier == NewToolbarItemIdentifier)
        return command(tr("New Widget"), QStringLiteral("new"), &DocumentWindowCommands::newWidget);
    if (identifier == OpenToolbarItemIdentifier)
        return command(tr("Open"), QStringLiteral("folder"), &DocumentWindowCommands::openWidget);
    if (identifier == SaveToolbarItemIdentifier)
        return command(tr("Save"), QStringLiteral("files"), &DocumentWindowCommands::saveWidget);
    if (identifier == PreviewToolbarItemIdentifier) {
        return m_commands->isPreviewShowing()
            ? command(tr("Stop"), QStringLiteral("stop"), &DocumentWindowCommands::closeWidgetPreview)
            : command(tr("Preview"), QStringLiteral("run"), &DocumentWindowCommands::previewWidget);
    }
    if (identifier == BuildRunToolbarItemIdentifier)
        return command(tr("Build and Run"), QStringLiteral("buildlaunch"), &DocumentWindowCommands::saveRunWidget);
    if (identifier == SearchToolbarItemIdentifier) {
        FileListSearchField *field = m_commands->searchView();
        const QSize size(SearchItemWidth, field->sizeHint().height());
        return ToolbarItem{identifier, tr("Search"), tr("Search"), tr("Search Your Document"), {}, {},
                           field,      size,         size};
    }
    return std::nullopt;
}
