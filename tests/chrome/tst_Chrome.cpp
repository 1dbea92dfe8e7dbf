// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/CenteredTextDelegate.h"
#include "chrome/PreferencesToolbar.h"
#include "chrome/SelectionTableView.h"

#include "platform/Settings.h"
#include "platform/Toolbar.h"

#include "tests/common/TestHome.h"

#include <QMainWindow>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct PreferencesWindow
{
    TestHome home;
    QMainWindow window;
    QTabWidget *tabs = new QTabWidget;

    explicit PreferencesWindow(int pane)
    {
        tabs->addTab(new QWidget, u"General"_s);
        tabs->addTab(new QWidget, u"Other"_s);
        tabs->setCurrentIndex(pane);
        window.setCentralWidget(tabs);
        (new PreferencesToolbar(tabs))->setUp();
    }

    Toolbar *toolbar() const { return Toolbar::toolbarOf(&window); }
    QImage icon() const { return toolbar()->items().first().image.pixmap(32).toImage(); }
    void clickGeneral() const { toolbar()->toolBar()->actions().first()->trigger(); }
};

} // namespace

class tst_Chrome : public QObject
{
    Q_OBJECT

private slots:
    void generalSelectsTheFirstPaneAndShowsItSelected()
    {
        PreferencesWindow preferences(1);
        const QImage unselected = preferences.icon();
        preferences.clickGeneral();
        QCOMPARE(preferences.tabs->currentIndex(), 0);
        // Items take their image when made: only a fresh toolbar shows the pane as selected.
        QVERIFY(preferences.icon() != unselected);
        QCOMPARE(preferences.icon(), PreferencesWindow(0).icon());
    }

    void documentArrangementDoesNotEmptyIt()
    {
        PreferencesWindow preferences(0);
        const QStringList own = preferences.toolbar()->itemIdentifiers();
        QVERIFY(!own.isEmpty());
        // The document window's toolbar saves its arrangement under the same identifier.
        Settings::shared().setToolbarConfiguration(preferences.toolbar()->identifier(),
                                                   {u"Save Toolbar Item Identifier"_s}, 0);
        QCOMPARE(preferences.toolbar()->itemIdentifiers(), own);
        preferences.clickGeneral();
        QCOMPARE(preferences.toolbar()->itemIdentifiers(), own);
    }

    // The column browser reads a folder again when the user lets go of the
    // mouse over it; of its columns, the one with the keys shows its
    // selection in colour, the others in grey. Icons on it keep their colours.
    void selectionShowsTheFocusKeepsIconsAndReleaseReloads()
    {
        QStandardItemModel model(3, 1);
        QPixmap red(16, 16);
        red.fill(Qt::red);
        model.setData(model.index(1, 0), QIcon(red), Qt::DecorationRole);
        SelectionTableView table;
        table.setModel(&model);
        table.setItemDelegate(new CenteredTextDelegate(&table));
        table.show();
        QVERIFY(QTest::qWaitForWindowActive(&table));
        QSignalSpy reload(&table, &SelectionTableView::reloadRequested);
        const QRect row = table.visualRect(model.index(1, 0));
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(reload.count(), 1);
        const auto colourAt = [&table](QPoint at) { return table.viewport()->grab().toImage().pixelColor(at); };
        QCOMPARE(colourAt({row.left() + 12, row.center().y()}), QColor(Qt::red));
        const QPoint selection = row.topLeft() + QPoint(1, 2);
        QVERIFY2(table.hasFocus() && colourAt(selection).hslSaturation() > 64, qPrintable(colourAt(selection).name()));
        table.clearFocus();
        QVERIFY2(colourAt(selection).hslSaturation() < 16, qPrintable(colourAt(selection).name()));
    }
};

QTEST_MAIN(tst_Chrome)
#include "tst_Chrome.moc"
