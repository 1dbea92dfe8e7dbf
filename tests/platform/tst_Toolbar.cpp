// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Settings.h"
#include "platform/Toolbar.h"
#include "platform/ToolbarCustomizationPalette.h"

#include "tests/common/TestHome.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QTest>

namespace {

const QString A = QStringLiteral("A");
const QString B = QStringLiteral("B");
const QString Field = QStringLiteral("Field");

// Makes two commands and a field, the field living as long as the delegate.
class Delegate : public Toolbar::Delegate
{
public:
    explicit Delegate(QWidget *owner)
        : field(new QLineEdit(owner))
    { }

    QStringList toolbarDefaultItemIdentifiers() const override
    {
        return {A, Toolbar::FlexibleSpaceItemIdentifier, Field};
    }
    QStringList toolbarAllowedItemIdentifiers() const override
    {
        return {A,
                B,
                Field,
                Toolbar::SpaceItemIdentifier,
                Toolbar::FlexibleSpaceItemIdentifier,
                Toolbar::SeparatorItemIdentifier};
    }
    std::optional<ToolbarItem> itemForItemIdentifier(const QString &identifier) override
    {
        if (identifier == Field)
            return ToolbarItem{identifier, identifier,   identifier,    {},           {},
                               {},         field.data(), QSize(90, 20), QSize(90, 20)};
        if (identifier == A || identifier == B)
            return ToolbarItem{identifier, identifier, identifier,
                               {},         {},         [this, identifier] { triggered.append(identifier); },
                               {},         {},         {}};
        return std::nullopt;
    }

    QPointer<QLineEdit> field;
    QStringList triggered;
};

Toolbar *install(QMainWindow *window, Delegate *delegate, const QString &identifier = QStringLiteral("Test Toolbar"))
{
    auto *toolbar = new Toolbar(identifier);
    toolbar->setAllowsUserCustomization(true);
    toolbar->setAutosavesConfiguration(true);
    toolbar->setDelegate(delegate);
    toolbar->install(window);
    return toolbar;
}

} // namespace

class tst_Toolbar : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_home = std::make_unique<TestHome>(); }
    void cleanup()
    {
        m_home.reset();
        ToolbarCustomizationPalette::responder = nullptr;
    }

    void arrangementIsSharedAndSaved();
    void paletteAnswerIsApplied_data();
    void paletteAnswerIsApplied();

private:
    std::unique_ptr<TestHome> m_home;
};

void tst_Toolbar::arrangementIsSharedAndSaved()
{
    QMainWindow one, two;
    Delegate first(&one), second(&two);
    Toolbar *toolbarOne = install(&one, &first);
    Toolbar *toolbarTwo = install(&two, &second);
    QCOMPARE(toolbarOne->itemIdentifiers(), first.toolbarDefaultItemIdentifiers());
    toolbarOne->toolBar()->findChild<QAction *>(A)->trigger();
    QCOMPARE(first.triggered, QStringList{A});
    const QStringList arranged{B, Toolbar::SeparatorItemIdentifier, A, QStringLiteral("Unknown")};
    toolbarOne->setConfiguration(arranged, Toolbar::DisplayModeIconOnly);

    const QStringList expected{B, Toolbar::SeparatorItemIdentifier, A};
    QCOMPARE(toolbarOne->itemIdentifiers(), expected);
    QCOMPARE(toolbarTwo->itemIdentifiers(), expected);
    QCOMPARE(toolbarTwo->displayMode(), Toolbar::DisplayModeIconOnly);
    QCOMPARE(toolbarTwo->toolBar()->toolButtonStyle(), Qt::ToolButtonIconOnly);
    // With labels alone, a field stays a field.
    toolbarOne->setConfiguration({Field}, Toolbar::DisplayModeLabelOnly);
    QVERIFY(first.field->isVisibleTo(&one));
    toolbarOne->setConfiguration(arranged, Toolbar::DisplayModeIconOnly);
    // A window made later, as after a restart, starts from the saved
    // arrangement (tst_WidgetDocument::earlierSettingsStillApply).
    QCOMPARE(Settings::shared().toolbarItems(QStringLiteral("Test Toolbar")), expected);
    // An arrangement of items this toolbar does not know leaves the defaults.
    Settings::shared().setToolbarConfiguration(QStringLiteral("Test Toolbar"),
                                               {QStringLiteral("Other"), Toolbar::SpaceItemIdentifier}, 0);
    QMainWindow foreign;
    Delegate third(&foreign);
    QCOMPARE(install(&foreign, &third)->itemIdentifiers(), third.toolbarDefaultItemIdentifiers());
}

// What the palette answers becomes the arrangement; a cancelled palette
// changes nothing and saves nothing.
void tst_Toolbar::paletteAnswerIsApplied_data()
{
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("chosen") << false;
    QTest::newRow("cancelled") << true;
}

void tst_Toolbar::paletteAnswerIsApplied()
{
    QFETCH(bool, cancelled);
    QMainWindow window;
    Delegate delegate(&window);
    Toolbar *toolbar = install(&window, &delegate);
    ToolbarCustomizationPalette::Request asked;
    ToolbarCustomizationPalette::responder = [&](const ToolbarCustomizationPalette::Request &request) {
        asked = request;
        return cancelled ? std::optional<ToolbarCustomizationPalette::Result>()
                         : ToolbarCustomizationPalette::Result{{B}, Toolbar::DisplayModeLabelOnly};
    };
    toolbar->runCustomizationPalette();
    QCOMPARE(asked.allowed, delegate.toolbarAllowedItemIdentifiers());
    QCOMPARE(Toolbar::toolbarOf(&window)->itemIdentifiers(),
             cancelled ? delegate.toolbarDefaultItemIdentifiers() : QStringList{B});
    QCOMPARE(Settings::shared().toolbarItems(QStringLiteral("Test Toolbar")).value_or(QStringList()),
             cancelled ? QStringList() : QStringList{B});
}

QTEST_MAIN(tst_Toolbar)
#include "tst_Toolbar.moc"
