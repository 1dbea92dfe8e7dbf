// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QWebEngineView>

/// A window with the web engine's developer tools for one page: its
/// elements, styles, console and network, as a widget's author needs them
/// while the widget runs. The tools run in a profile of their own, so the
/// scripts every widget page gets stay out of them.
class PageInspector : public QWebEngineView
{
    Q_OBJECT

public:
    explicit PageInspector(QWidget *parent = nullptr);

    /// Shows the tools for `page` in front, titled `title`.
    void inspect(QWebEnginePage *page, const QString &title);
    /// The page the tools show; null before the first inspect().
    QWebEnginePage *inspectedPage() const;
};
