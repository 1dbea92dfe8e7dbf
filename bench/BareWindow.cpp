// SPDX-License-Identifier: GPL-2.0-or-later
// The floor of bench_Startup: the least a Qt Widgets program does to show a
// main window.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.resize(800, 600);
    window.show();
    return application.exec();
}
