// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/ProgressPanel.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>

class tst_ProgressPanel : public QObject
{
    Q_OBJECT

private slots:
    void showsOnlyForLongWork_data();
    void showsOnlyForLongWork();
};

void tst_ProgressPanel::showsOnlyForLongWork_data()
{
    QTest::addColumn<bool>("stoppable");
    QTest::newRow("cannot stop") << false;
    QTest::newRow("can stop") << true;
}

// Quick work shows nothing; work longer than half a second shows a dialog
// on the window, gone with the work. Work that can stop stops when the user
// presses Stop, and nothing else in the application reacts meanwhile.
void tst_ProgressPanel::showsOnlyForLongWork()
{
    QFETCH(bool, stoppable);
    QWidget window;
    {
        ProgressPanel progress(&window, QStringLiteral("Copying"),
                               stoppable ? ProgressPanel::Stopping::Offered : ProgressPanel::Stopping::NotOffered);
        for (int i = 0; i < 1000; ++i)
            QVERIFY(progress.step(i, 1000));
        QVERIFY(!window.findChild<QProgressDialog *>());
        QThread::msleep(600);
        QVERIFY(progress.step(250, 1000));
        auto *dialog = window.findChild<QProgressDialog *>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->labelText(), QStringLiteral("Copying"));
        QCOMPARE(dialog->value() * 4, dialog->maximum());
        QCOMPARE(dialog->windowModality(), stoppable ? Qt::ApplicationModal : Qt::WindowModal);
        auto *stop = dialog->findChild<QPushButton *>();
        QCOMPARE(stop != nullptr, stoppable);
        if (stop) {
            QTest::mouseClick(stop, Qt::LeftButton);
            QVERIFY(!progress.step());
        }
    }
    QVERIFY(!window.findChild<QProgressDialog *>());
}

QTEST_MAIN(tst_ProgressPanel)
#include "tst_ProgressPanel.moc"
