// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/HostTray.h"

#include "host/GlobalShortcut.h"
#include "host/HostApplication.h"
#include "platform/Alert.h"
#include "platform/FileManager.h"
#include "platform/OpenPanel.h"
#include "platform/WidgetShelf.h"

#include <QActionGroup>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

HostTray::HostTray(HostApplication *host)
    : QObject(host)
    , m_host(host)
    , m_menu(new QMenu)
{
    m_menu->setObjectName(QStringLiteral("hostMenu"));
    connect(m_menu, &QMenu::aboutToShow, this, &HostTray::fill);
    fill();
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_icon = new QSystemTrayIcon(QIcon(QStringLiteral(":/quillet/quillet.svg")), this);
        m_icon->setToolTip(tr("Quillet widgets"));
        m_icon->setContextMenu(m_menu);
        // A click on the icon shows or hides the widgets, as the key does.
        connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                m_host->toggleAll();
        });
        m_icon->show();
    }
}

HostTray::~HostTray()
{
    delete m_menu;
}

bool HostTray::isShown() const
{
    return m_icon && m_icon->isVisible();
}

void HostTray::fill()
{
    m_menu->clear();
    // The widget folder is read once per opening of the menu.
    const QStringList installed = WidgetShelf::installed();
    addInstalled(installed);
    m_menu->addSeparator();
    m_menu->addAction(tr("Add Widget…"), this, &HostTray::addWidget);
    addRemove(installed);
    m_menu->addSeparator();
    m_menu->addAction(tr("Show All"), m_host, &HostApplication::showAll);
    m_menu->addAction(tr("Hide All"), m_host, &HostApplication::hideAll);
    addLayers();
    addShortcut();
    addOpenInEditor(installed);
    addStartAtLogin();
    m_menu->addSeparator();
    m_menu->addAction(tr("Quit"), m_host, &HostApplication::quit);
}

void HostTray::addInstalled(const QStringList &installed)
{
    if (installed.isEmpty())
        m_menu->addAction(tr("No Widgets Installed"))->setEnabled(false);
    for (const QString &bundle : installed) {
        QAction *widget = m_menu->addAction(QFileInfo(bundle).completeBaseName());
        widget->setCheckable(true);
        widget->setChecked(m_host->isRunning(bundle));
        connect(widget, &QAction::triggered, m_host,
                [host = m_host, bundle](bool run) { run ? host->showWidgets({bundle}) : host->closeWidget(bundle); });
    }
}

// Under Wayland no client stacks its own windows: the compositor keeps
// them where it will, so the layers that stack are not offered as if they
// worked. The dashboard, which only shows and hides, is.
void HostTray::addLayers()
{
    const bool stacks = !QGuiApplication::platformName().startsWith(u"wayland");
    QMenu *layers = m_menu->addMenu(tr("Layer"));
    auto *choice = new QActionGroup(layers);
    const std::pair<WidgetLayer, QString> names[] = {{WidgetLayer::Above, tr("Above Windows")},
                                                     {WidgetLayer::Desktop, tr("On the Desktop")},
                                                     {WidgetLayer::Dashboard, tr("Dashboard")}};
    for (const auto &[layer, name] : names) {
        const bool offered = stacks || layer == WidgetLayer::Dashboard;
        QAction *item = layers->addAction(offered ? name : tr("%1 (not in a Wayland session)").arg(name));
        item->setEnabled(offered);
        item->setCheckable(true);
        item->setChecked(m_host->layer() == layer);
        choice->addAction(item);
        connect(item, &QAction::triggered, m_host, [host = m_host, layer] { host->setLayer(layer); });
    }
}

void HostTray::addOpenInEditor(const QStringList &installed)
{
    QMenu *open = m_menu->addMenu(tr("Open in Quillet"));
    for (const QString &bundle : installed) {
        connect(open->addAction(QFileInfo(bundle).completeBaseName()), &QAction::triggered, this,
                [bundle] { QProcess::startDetached(QStringLiteral("quillet"), {bundle}); });
    }
    open->setEnabled(!open->isEmpty());
}

QString HostTray::autostartEntry()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/quillet-host.desktop");
}

// Started with no bundle, the host brings back the widgets that ran.
void HostTray::addStartAtLogin()
{
    QAction *login = m_menu->addAction(tr("Start at Login"));
    login->setCheckable(true);
    login->setChecked(QFileInfo::exists(autostartEntry()));
    connect(login, &QAction::triggered, this, [](bool start) {
        const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Quillet Widgets\n"
                                 "Comment=Runs the Dashboard widgets that ran when the session ended\n"
                                 "Exec=quillet-host\nIcon=quillet\nX-GNOME-Autostart-enabled=true\n";
        if (start)
            QDir().mkpath(QFileInfo(autostartEntry()).path());
        Alert::report(nullptr, tr("Start at Login could not be changed."),
                      start ? FileManager::writeFile(autostartEntry(), entry)
                            : FileManager::removeItem(autostartEntry()));
    });
}

// Installed, the widget starts.
void HostTray::addWidget()
{
    const QStringList chosen = OpenPanel::run(
        nullptr, {tr("Add Widget"), tr("Widgets and zipped widgets"), {u"wdgt"_s, u"zip"_s}, false, false, {}});
    if (chosen.isEmpty())
        return;
    const auto replace = [](const QString &name) {
        const Alert::Request question{tr("Replace"),
                                      tr("A widget named “%1” is installed already. Replace it?").arg(name),
                                      tr("Replace"),
                                      tr("Cancel"),
                                      {}};
        return Alert::run(nullptr, question) == Alert::DefaultButton;
    };
    QString installed;
    const Outcome done = WidgetShelf::install(chosen.first(), replace, &installed);
    Alert::report(nullptr, tr("The widget could not be added."), done);
    if (!installed.isEmpty())
        m_host->showWidgets({installed});
}

void HostTray::addRemove(const QStringList &installed)
{
    QMenu *remove = m_menu->addMenu(tr("Remove"));
    for (const QString &bundle : installed) {
        const QString name = QFileInfo(bundle).completeBaseName();
        connect(remove->addAction(name), &QAction::triggered, this, [this, bundle, name] {
            const Alert::Request question{
                tr("Remove"),
                tr("Remove “%1” from your widgets? It is deleted from ~/Library/Widgets.").arg(name),
                tr("Remove"),
                tr("Cancel"),
                {}};
            if (Alert::run(nullptr, question) != Alert::DefaultButton)
                return;
            // Its files go once it has closed: its onremove may still need them.
            m_host->closeWidget(bundle, [bundle] {
                Alert::report(nullptr, tr("The widget could not be removed."), WidgetShelf::remove(bundle));
            });
        });
    }
    remove->setEnabled(!remove->isEmpty());
}

// What the key is, or why there is none, and the choice of another.
void HostTray::addShortcut()
{
    const GlobalShortcut *shortcut = m_host->shortcut();
    const QString state = shortcut->problem().isEmpty() ? tr("Show and Hide Key: %1").arg(shortcut->bound())
                                                        : tr("No Show and Hide Key: %1").arg(shortcut->problem());
    m_menu->addAction(state)->setEnabled(false);
    m_menu->addAction(tr("Choose Show and Hide Key…"), this, [this] {
        QDialog dialog;
        dialog.setWindowTitle(tr("Show and Hide Key"));
        auto *layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(tr("Press the key that shows and hides the widgets from any program:")));
        auto *edit = new QKeySequenceEdit(m_host->shortcut()->key());
        layout->addWidget(edit);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        if (dialog.exec() == QDialog::Accepted)
            m_host->setShortcutKey(edit->keySequence());
    });
}
