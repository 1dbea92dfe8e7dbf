// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/ProgressPanel.h"

#include <QProgressDialog>
#include <QTest>
#include <QThread>

class tst_ProgressPanel : public QObject
{
    Q_OBJECT

private slots:
    void quickWorkShowsNothing();
    void longWorkShowsABusyDialogOnTheWindow();
};

void tst_ProgressPanel::quickWorkShowsNothing()
{
    QWidget window;
    ProgressPanel progress(&window, QStringLiteral("Copying"));
    for (int i = 0; i < 1000; ++i)
        progress.step();
    QVERIFY(!progress.isShowing());
    QVERIFY(!window.findChild<QProgressDialog *>());
}

void tst_ProgressPanel::longWorkShowsABusyDialogOnTheWindow()
{
    QWidget window;
    {
        ProgressPanel progress(&window, QStringLiteral("Copying"));
        QThread::msleep(600); // work that takes longer than half a second
        progress.step();
        QVERIFY(progress.isShowing());
        auto *dialog = window.findChild<QProgressDialog *>();
        QVERIFY(dialog);
        QCOMPARE(dialog->labelText(), QStringLiteral("Copying"));
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    }
    // It goes with the work.
    QVERIFY(!window.findChild<QProgressDialog *>());
}

QTEST_MAIN(tst_ProgressPanel)
#include "tst_ProgressPanel.moc"
