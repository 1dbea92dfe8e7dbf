// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetWebPage.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWebEngineNewWindowRequest>

using namespace Qt::StringLiterals;

namespace QtWebEngineCore {
// The engine's own start-up step, exported by its core library. A program
// that loads the engine on demand (the editor, through its preview plugin)
// runs it late: it then makes the OpenGL context the engine shares between
// threads, which a program that links the engine gets before its
// application object exists. Where the context exists already it does
// nothing.
Q_DECL_IMPORT void initialize();
} // namespace QtWebEngineCore

namespace {

// Whether the page itself may show `url`: its own files and the runtime's,
// never a web page.
bool staysInWidget(const QUrl &url)
{
    static const QStringList own{u"file"_s, u"qrc"_s, u"about"_s, u"data"_s, u"blob"_s, u"quillet"_s};
    return own.contains(url.scheme());
}

// The engine's renderers read the font configuration as they start, each a
// process of its own: the system's, with the stand-ins for the faces the
// era's widgets name added, is handed to them in a file of this user's.
// Without it, pages are drawn as before, in the engine's default faces.
void giveRenderersStandInFaces()
{
    QFile rules(u":/quillet/fonts.conf"_s);
    if (!rules.open(QIODevice::ReadOnly))
        return;
    const QString system = qEnvironmentVariable("FONTCONFIG_FILE", u"/etc/fonts/fonts.conf"_s);
    const QByteArray config = rules.readAll().replace("QUILLET_SYSTEM_FONTS", system.toHtmlEscaped().toUtf8());
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QSaveFile file(folder + u"/quillet-widget-fonts.conf"_s);
    if (folder.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(config) != config.size() || !file.commit())
        return;
    qputenv("FONTCONFIG_FILE", QFile::encodeName(file.fileName()));
}

} // namespace

void WidgetWebPage::prepareEngine()
{
    static const bool prepared = [] {
        QtWebEngineCore::initialize();
        giveRenderersStandInFaces();
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        flags += " --force-webrtc-ip-handling-policy=disable_non_proxied_udp";
        // The engine's start-up report is no line of any widget's log.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
        return qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    }();
    Q_UNUSED(prepared);
}

void WidgetWebPage::javaScriptAlert(const QUrl &, const QString &message)
{
    emit logged(tr("alert: %1").arg(message));
}

bool WidgetWebPage::javaScriptConfirm(const QUrl &, const QString &message)
{
    emit logged(tr("confirm: %1").arg(message));
    return false;
}

bool WidgetWebPage::javaScriptPrompt(const QUrl &, const QString &message, const QString &, QString *)
{
    emit logged(tr("prompt: %1").arg(message));
    return false;
}

void WidgetWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                             const QString &source)
{
    // Files by their path from the page's folder, which is the widget's.
    const QUrl file(source);
    const QString name = file.isLocalFile()
        ? QDir(QFileInfo(url().toLocalFile()).absolutePath()).relativeFilePath(file.toLocalFile())
        : QFileInfo(file.path()).fileName();
    // The runtime's own scripts are no place the widget's author could look.
    const bool own = source.isEmpty() || name.startsWith(u"quillet-"_s);
    const QString where = own ? QString() : u"%1:%2: "_s.arg(name).arg(line);
    const QString kind = level == ErrorMessageLevel ? tr("error: ")
        : level == WarningMessageLevel              ? tr("warning: ")
                                                    : QString();
    emit logged(where + kind + message);
}

bool WidgetWebPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (!isMainFrame || staysInWidget(url))
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    openOutside(url, type);
    return false;
}

// A link, a form or the page's own script (the engine tells these apart no
// better) goes to the browser; a redirect is the server's, not the page's. A
// new window's own files, or any other scheme, have nowhere to go.
bool WidgetWebPage::opensOnDesktop(const QUrl &url)
{
    static const QStringList schemes{u"http"_s, u"https"_s, u"mailto"_s};
    return schemes.contains(url.scheme());
}

void WidgetWebPage::openOutside(const QUrl &url, NavigationType type)
{
    if (staysInWidget(url)) {
        emit logged(tr("a new window for %1 was not opened: a widget has no windows").arg(url.toString()));
        return;
    }
    if (!opensOnDesktop(url)) {
        emit logged(tr("%1 was not opened: only web and mail addresses open outside the widget").arg(url.toString()));
        return;
    }
    if (type != NavigationTypeRedirect)
        QDesktopServices::openUrl(url);
    emit logged(tr("opened outside the widget: %1").arg(url.toString()));
}

WidgetWebPage::WidgetWebPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    // No page is made for the new window, so the engine drops it at once and
    // only its address is left to go somewhere.
    connect(this, &QWebEnginePage::newWindowRequested, this, [this](const QWebEngineNewWindowRequest &request) {
        openOutside(request.requestedUrl(), NavigationTypeLinkClicked);
    });
}
