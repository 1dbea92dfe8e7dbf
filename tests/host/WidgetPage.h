// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "host/BorderlessWindow.h"
#include "host/WidgetBundle.h"
#include "host/WidgetPreferences.h"
#include "host/WidgetPreviewView.h"

#include "platform/PropertyList.h"
#include "tests/common/TestHome.h"
#include "tests/common/Tree.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

/// Writes small widget bundles for the host's tests.
namespace TestBundle {

inline bool writeInfo(const QString &bundle, const QVariantMap &info, const QString &name = u"Info.plist"_s)
{
    return QDir().mkpath(bundle) && PropertyList::writeXml(bundle + u'/' + name, info);
}

/// A complete bundle: an Info.plist with `keys`, naming "main.html" and
/// giving the size, and that page titled `title` with `body` as its body.
inline QString write(const QString &bundle, const QSize &size, const QString &title, const QVariantMap &keys = {},
                     const QString &body = {})
{
    QVariantMap info = keys;
    info.insert({{u"MainHTML"_s, u"main.html"_s}, {u"Width"_s, size.width()}, {u"Height"_s, size.height()}});
    writeInfo(bundle, info);
    Tree::write(bundle, u"main.html"_s,
                u"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                "<body>%2</body></html>"_s.arg(title, body)
                    .toUtf8());
    return bundle;
}

} // namespace TestBundle

/// Adds a data column of each type, named in order.
template <typename... Types> void columns(auto... names)
{
    (QTest::addColumn<Types>(names), ...);
}

/// The web engine needs shared OpenGL contexts, which must be asked for
/// before the application exists, as QTEST_MAIN makes it.
static const bool SharedOpenGLContexts = (QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts), true);

/// Runs widget pages for the host's tests and asks them questions.
namespace WidgetPage {

constexpr int LoadTimeout = 30000;

/// The page's answer to a script, once it has come; invalid when none came.
inline QVariant evaluate(const BorderlessWindow &window, const QString &script)
{
    const auto result = std::make_shared<std::optional<QVariant>>();
    window.widgetView()->page()->runJavaScript(script, [result](const QVariant &value) { *result = value; });
    return QTest::qWaitFor([&result] { return result->has_value(); }, LoadTimeout) ? **result : QVariant();
}

/// Shows the bundle in the window; true once its page loaded.
inline bool show(BorderlessWindow &window, const QString &bundle)
{
    QSignalSpy loaded(window.widgetView(), &QWebEngineView::loadFinished);
    window.showWidget(WidgetBundle::read(bundle));
    return loaded.wait(LoadTimeout) && loaded.first().first().toBool();
}

/// The lines logged since the last clear, each as "<category>: <message>".
inline QStringList &log()
{
    static QStringList lines;
    static const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            lines.append(QString::fromLatin1(context.category) + u": "_s + message);
            previous(type, context, message);
        });
    return lines;
}

} // namespace WidgetPage

/// One window that shows a suite's widgets one after another, in a
/// throw-away home. Starting a page's renderer costs far more than loading a
/// page, so a suite keeps one for all its tests.
struct WidgetFixture
{
    TestHome home;
    QTemporaryDir dir;
    BorderlessWindow window;

    /// "<name>.wdgt": 200 by 100 pixels, its page titled `name`.
    QString bundle(const QString &name, const QVariantMap &keys = {}, const QString &body = {})
    {
        return TestBundle::write(dir.filePath(name + u".wdgt"_s), QSize(200, 100), name, keys, body);
    }
    bool show(const QString &bundle) { return WidgetPage::show(window, bundle); }
    /// Shows the bundle unless its page shows already, for rows that share one page.
    bool showOnce(const QString &bundle)
    {
        return (window.isVisible() && window.widgetView()->url() == WidgetBundle::read(bundle).mainPage())
            || show(bundle);
    }
    QVariant run(const QString &script) { return WidgetPage::evaluate(window, script); }
};
