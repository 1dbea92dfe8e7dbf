// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "host/WidgetPreferences.h"

#include <QHash>
#include <QJsonObject>
#include <QObject>

#include <functional>

class QWebEngineUrlRequestJob;
class QWebEngineView;
class SystemCommand;
class WidgetAccess;
class WidgetBundle;
class WidgetRequestInterceptor;

/// The runtime around one widget page, as the platform widgets were written
/// for gave it; the preview and the host both run widgets in it. It makes
/// the page's `widget` object (identifier, preferences, openURL,
/// openApplication, system, the show, hide and remove handlers, transitions
/// and the close box offset), enforces the access keys, and serves the
/// shared WidgetResources and the bundle's localized folders.
///
/// The `widget` object is made by a script that runs in the page before the
/// page's own. Its calls go out as synchronous requests to the runtime's
/// "quillet:" URL, so each answers at once and all keep their order: the page
/// waits for the answer, this program's thread never does. A call whose
/// answer takes time, such as a synchronous `widget.system`, is answered
/// when it is ready. Events travel the other way as scripts this runtime
/// runs in the page: the output of asynchronous commands, and the removal of
/// the widget. Showing and hiding reach the page by themselves, as changes
/// of the page's visibility.
class WidgetRuntime : public QObject
{
    Q_OBJECT

public:
    /// Serves the page of `view`, which must outlive the runtime.
    explicit WidgetRuntime(QWebEngineView *view, QObject *parent = nullptr);
    ~WidgetRuntime() override;

    /// Serves the view's page, after the view was given a new one.
    void attachPage();

    /// Which preferences the widget keeps: the preview's, as by default, or
    /// those of installed widgets. Takes effect at the next prepare().
    void setPreferenceStore(WidgetPreferences::Store store) { m_store = store; }

    /// Readies the page for `bundle`; call before each load of its page.
    /// Commands the page still runs are ended.
    void prepare(const WidgetBundle &bundle);

    const WidgetAccess &access() const;

    /// Calls the page's `widget.onremove` and then `done`, once the handler
    /// returned or threw. `done` is not called when the page goes away
    /// first, or never answers.
    void notifyRemoval(const std::function<void()> &done);

    /// Whether the page waits for a call this runtime has not answered yet.
    bool isHoldingPage() const { return m_heldCalls > 0; }

    /// Answers one call of the page's `widget` object.
    void answer(QWebEngineUrlRequestJob *job);

signals:
    /// A line of the widget's log: what its page wrote (console, alert())
    /// and what the runtime refused it.
    void logged(const QString &line);
    /// A line the page itself wrote; each is also logged.
    void pageLogged(const QString &line);
    /// `widget.setCloseBoxOffset`, its values kept within 0 to 100.
    void closeBoxOffsetRequested(const QPoint &offset);
    /// `window.resizeTo` or `window.resizeBy`: the widget's new size, at
    /// least one pixel each way.
    void resizeRequested(const QSize &size);
    /// `widget.prepareForTransition`: the page is about to change to its
    /// back (or front) side and must not be seen changing. Delivered while
    /// the page waits, so what it shows now is still the side it leaves.
    void transitionPrepared(bool toBack);
    /// `widget.performTransition`: the page shows its new side.
    void transitionPerformed();

private:
    using Call = void (WidgetRuntime::*)(QWebEngineUrlRequestJob *, const QJsonObject &);
    static const QHash<QString, Call> &calls();

    WidgetPreferences preferences() const { return {m_store, m_domain}; }

    void deliver(const QJsonObject &event, const std::function<void(const QVariant &)> &answered = {});
    void endCommands();
    void runHeld(QWebEngineUrlRequestJob *job, SystemCommand *command);
    void runWatched(QWebEngineUrlRequestJob *job, SystemCommand *command);
    SystemCommand *command(const QJsonObject &arguments) const;

    void reset(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void preferenceForKey(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void setPreferenceForKey(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void openURL(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void openApplication(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void system(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void writeToCommand(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void closeCommandInput(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void cancelCommand(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void setCloseBoxOffset(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void resizeTo(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void prepareForTransition(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void performTransition(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);
    void convertedImage(QWebEngineUrlRequestJob *job, const QJsonObject &arguments);

    QWebEngineView *m_view;
    WidgetRequestInterceptor *m_interceptor;
    QString m_token;
    WidgetPreferences::Store m_store = WidgetPreferences::Store::Preview;
    QString m_identifier;
    QString m_domain;
    QHash<int, SystemCommand *> m_watchedCommands;
    int m_lastCommand = 0;
    int m_heldCalls = 0;
};
