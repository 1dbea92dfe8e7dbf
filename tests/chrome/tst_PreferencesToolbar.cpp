// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/PreferencesToolbar.h"

#include "platform/Settings.h"
#include "platform/Toolbar.h"

#include "tests/common/TestHome.h"

#include <QMainWindow>
#include <QTest>

namespace {
const QString GeneralIdentifier = QStringLiteral("General Preferences Toolbar Item Identifier");
} // namespace

class tst_PreferencesToolbar : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void oneFixedItem();
    void generalSelectsTheFirstPaneAndRebuilds();
    void documentArrangementDoesNotEmptyIt();

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QMainWindow> m_window;
    QTabWidget *m_tabs = nullptr;
    PreferencesToolbar *m_toolbar = nullptr;
};

void tst_PreferencesToolbar::init()
{
    m_home = std::make_unique<TestHome>();
    m_window = std::make_unique<QMainWindow>();
    m_tabs = new QTabWidget;
    m_tabs->addTab(new QWidget, QStringLiteral("General"));
    m_tabs->addTab(new QWidget, QStringLiteral("Other"));
    m_window->setCentralWidget(m_tabs);
    m_toolbar = new PreferencesToolbar(m_tabs);
    m_toolbar->awakeFromNib();
}

void tst_PreferencesToolbar::cleanup()
{
    m_window.reset();
    m_home.reset();
}

void tst_PreferencesToolbar::oneFixedItem()
{
    QCOMPARE(m_toolbar->toolbarDefaultItemIdentifiers(), QStringList{GeneralIdentifier});
    QCOMPARE(m_toolbar->toolbarAllowedItemIdentifiers(), QStringList{GeneralIdentifier});
    QVERIFY(!m_toolbar->itemForItemIdentifier(QStringLiteral("Toolbar Identifier")));
    Toolbar *toolbar = Toolbar::toolbarOf(m_window.get());
    QVERIFY(toolbar);
    QCOMPARE(toolbar->identifier(), QStringLiteral("Toolbar Identifier"));
    QVERIFY(!toolbar->allowsUserCustomization());
    QCOMPARE(toolbar->toolBar()->contextMenuPolicy(), Qt::PreventContextMenu);
    QCOMPARE(toolbar->items().size(), 1);
    QCOMPARE(toolbar->items().first().label, QStringLiteral("General"));
}

void tst_PreferencesToolbar::generalSelectsTheFirstPaneAndRebuilds()
{
    const QIcon selected = m_toolbar->itemForItemIdentifier(GeneralIdentifier)->image;
    m_tabs->setCurrentIndex(1);
    const QIcon unselected = m_toolbar->itemForItemIdentifier(GeneralIdentifier)->image;
    QVERIFY(!selected.isNull());
    QVERIFY(!unselected.isNull());
    QVERIFY(selected.pixmap(32).toImage() != unselected.pixmap(32).toImage());

    QPointer<Toolbar> before = Toolbar::toolbarOf(m_window.get());
    Toolbar::toolbarOf(m_window.get())->toolBar()->findChild<QAction *>(GeneralIdentifier)->trigger();
    QCOMPARE(m_tabs->currentIndex(), 0);
    QVERIFY(!before); // a fresh toolbar, so the item shows it is selected
    QCOMPARE(Toolbar::toolbarOf(m_window.get())->items().first().image.pixmap(32).toImage(),
             selected.pixmap(32).toImage());
}

void tst_PreferencesToolbar::documentArrangementDoesNotEmptyIt()
{
    // The document toolbar saves under the same identifier.
    Settings::shared().setToolbarConfiguration(QStringLiteral("Toolbar Identifier"),
                                               {QStringLiteral("Save Toolbar Item Identifier")}, 0);
    m_toolbar->setupToolbar();
    QCOMPARE(Toolbar::toolbarOf(m_window.get())->itemIdentifiers(), QStringList{GeneralIdentifier});
}

QTEST_MAIN(tst_PreferencesToolbar)
#include "tst_PreferencesToolbar.moc"
