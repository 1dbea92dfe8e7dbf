// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/ProgressPanel.h"

#include <QProgressDialog>
#include <QTest>
#include <QThread>

class tst_ProgressPanel : public QObject
{
    Q_OBJECT

private slots:
    void showsOnlyForLongWork();
};

// Quick work shows nothing; work longer than half a second shows a busy
// dialog on the window, gone with the work.
void tst_ProgressPanel::showsOnlyForLongWork()
{
    QWidget window;
    {
        ProgressPanel progress(&window, QStringLiteral("Copying"));
        for (int i = 0; i < 1000; ++i)
            progress.step();
        QVERIFY(!window.findChild<QProgressDialog *>());
        QThread::msleep(600);
        progress.step();
        auto *dialog = window.findChild<QProgressDialog *>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->labelText(), QStringLiteral("Copying"));
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    }
    QVERIFY(!window.findChild<QProgressDialog *>());
}

QTEST_MAIN(tst_ProgressPanel)
#include "tst_ProgressPanel.moc"
