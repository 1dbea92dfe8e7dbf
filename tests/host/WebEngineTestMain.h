// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QApplication>
#include <QTest>

/// QTEST_MAIN for tests that make web views: the web engine needs shared
/// OpenGL contexts, which must be asked for before the application exists.
#define QUILLET_WEB_ENGINE_TEST_MAIN(TestClass)                                                    \
    int main(int argc, char *argv[])                                                              \
    {                                                                                             \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                               \
        QApplication application(argc, argv);                                                    \
        TestClass test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                   \
    }
