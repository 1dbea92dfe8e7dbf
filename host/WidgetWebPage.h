// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QWebEnginePage>

/// The page a widget runs in, as the widgets of the era expect it.
///
/// `alert()` was their log: it writes a line and never blocks, and so do
/// `confirm()` and `prompt()`, which answer as if cancelled. Console messages
/// become lines too. Following a link away from the widget's own pages opens
/// the address in the desktop's browser and leaves the widget as it was; so
/// does a link to a new window (`target=_blank`) or `window.open`.
class WidgetWebPage : public QWebEnginePage
{
    Q_OBJECT

public:
    WidgetWebPage(QWebEngineProfile *profile, QObject *parent);

    /// Sets what the engine must know before its first page, once per
    /// process: WebRTC sends nothing a proxy does not carry (there is none),
    /// so no widget's packets leave past the request interceptor; and the
    /// engine's start-up report stays out of the log.
    static void prepareEngine();

    /// Whether the desktop may be handed `url` to open: web and mail
    /// addresses only, never a scheme that would run what a widget chose.
    static bool opensOnDesktop(const QUrl &url);

signals:
    /// One line for the widget's log: what the page wrote, and where from
    /// ("main.js:12") when known.
    void logged(const QString &line);

protected:
    void javaScriptAlert(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &message, const QString &defaultValue,
                          QString *result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                  const QString &source) override;
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    /// Opens `url` in the desktop's browser, as a link away does.
    void openOutside(const QUrl &url, NavigationType type);
};
