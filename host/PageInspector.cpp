// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/PageInspector.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace {

constexpr QSize InitialSize(960, 600);

} // namespace

PageInspector::PageInspector(QWidget *parent)
    : QWebEngineView(parent)
{
    setWindowFlag(Qt::Window);
    auto *profile = new QWebEngineProfile;
    setPage(new QWebEnginePage(profile, this));
    // The engine wants a page gone before its profile.
    profile->setParent(page());
    // The tools' own close button asks the page to close.
    connect(page(), &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
    resize(InitialSize);
}

void PageInspector::inspect(QWebEnginePage *page, const QString &title)
{
    if (page->devToolsPage() != this->page())
        page->setDevToolsPage(this->page());
    setWindowTitle(title);
    show();
    raise();
    activateWindow();
}

QWebEnginePage *PageInspector::inspectedPage() const
{
    return page()->inspectedPage();
}
