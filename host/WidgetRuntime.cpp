// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetRuntime.h"

#include "host/RuntimeSchemeHandler.h"
#include "host/SystemCommand.h"
#include "host/WebImage.h"
#include "host/WidgetBundle.h"
#include "host/WidgetRequestInterceptor.h"
#include "host/WidgetWebPage.h"

#include "platform/DesktopEntry.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QUuid>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineView>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString ScriptName = u"quillet-widget"_s;
const QString ScriptFile = u":/quillet/widget.js"_s;
const QString SealName = u"quillet-seal"_s;
const QString SealFile = u":/quillet/seal.js"_s;
const QString ScriptConfigMarker = u"QUILLET_CONFIG"_s;
// Where in a page's window the events for the page arrive.
const QString Dispatcher = u"_quilletDispatch"_s;
constexpr int LargestCloseBoxOffset = 100;

void reply(QWebEngineUrlRequestJob *job, const QByteArray &type, const QByteArray &data)
{
    auto *buffer = new QBuffer(job);
    buffer->setData(data);
    job->reply(type, buffer);
}

void reply(QWebEngineUrlRequestJob *job, const QJsonObject &answer = {})
{
    reply(job, QByteArrayLiteral("application/json"), QJsonDocument(answer).toJson(QJsonDocument::Compact));
}

// The value as JavaScript source.
QString json(const QJsonValue &value)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)).chopped(1).sliced(1);
}

QString resourceText(const QString &path)
{
    QFile file(path);
    [[maybe_unused]] const bool opened = file.open(QIODevice::ReadOnly);
    Q_ASSERT(opened);
    return QString::fromUtf8(file.readAll());
}

QWebEngineScript documentScript(const QString &name, const QString &source)
{
    QWebEngineScript script;
    script.setName(name);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setSourceCode(source);
    return script;
}

// The scripts every page of `profile` starts with, once for all its pages:
// the seal in every frame, then the `widget` object in the page's own. A
// profile's scripts reach each renderer as it starts, before any document
// of it exists; a page's own scripts travel apart from its navigations and
// can arrive after the first document's scripts ran.
void installScripts(QWebEngineProfile *profile)
{
    QWebEngineScriptCollection *scripts = profile->scripts();
    if (!scripts->find(ScriptName).isEmpty())
        return;
    QWebEngineScript seal = documentScript(SealName, resourceText(SealFile));
    seal.setRunsOnSubFrames(true);
    scripts->insert(seal);
    const QJsonObject config{{u"calls"_s, RuntimeSchemeHandler::pageCallUrl()}, {u"dispatcher"_s, Dispatcher}};
    scripts->insert(documentScript(ScriptName, resourceText(ScriptFile).replace(ScriptConfigMarker, json(config))));
}

int offset(const QJsonValue &value)
{
    return std::clamp(value.toInt(), 0, LargestCloseBoxOffset);
}

} // namespace

WidgetRuntime::WidgetRuntime(QWebEngineView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_interceptor(new WidgetRequestInterceptor(this))
    , m_token(QUuid::createUuid().toString(QUuid::Id128))
{
    QWebEngineProfile *profile = view->page()->profile();
    RuntimeSchemeHandler::installOn(profile);
    RuntimeSchemeHandler::addRuntime(m_token, this);
    installScripts(profile);
    m_interceptor->setRuntimeToken(m_token);
    attachPage();
}

void WidgetRuntime::attachPage()
{
    QWebEnginePage *page = m_view->page();
    m_interceptor->setProfile(page->profile());
    page->setUrlRequestInterceptor(m_interceptor);
    if (auto *widgetPage = qobject_cast<WidgetWebPage *>(page)) {
        connect(widgetPage, &WidgetWebPage::logged, this, &WidgetRuntime::pageLogged);
        connect(widgetPage, &WidgetWebPage::logged, this, &WidgetRuntime::logged);
    }
    // Otherwise the engine would stop a page's requests to the network
    // before the interceptor sees them, and nobody would hear why.
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
}

WidgetRuntime::~WidgetRuntime()
{
    RuntimeSchemeHandler::removeRuntime(m_token);
}

const QHash<QString, WidgetRuntime::Call> &WidgetRuntime::calls()
{
    static const QHash<QString, Call> byName = {
        {u"reset"_s, &WidgetRuntime::reset},
        {u"preferenceForKey"_s, &WidgetRuntime::preferenceForKey},
        {u"setPreferenceForKey"_s, &WidgetRuntime::setPreferenceForKey},
        {u"openURL"_s, &WidgetRuntime::openURL},
        {u"openApplication"_s, &WidgetRuntime::openApplication},
        {u"system"_s, &WidgetRuntime::system},
        {u"write"_s, &WidgetRuntime::writeToCommand},
        {u"close"_s, &WidgetRuntime::closeCommandInput},
        {u"cancel"_s, &WidgetRuntime::cancelCommand},
        {u"setCloseBoxOffset"_s, &WidgetRuntime::setCloseBoxOffset},
        {u"resizeTo"_s, &WidgetRuntime::resizeTo},
        {u"prepareForTransition"_s, &WidgetRuntime::prepareForTransition},
        {u"performTransition"_s, &WidgetRuntime::performTransition},
        {u"image"_s, &WidgetRuntime::convertedImage},
    };
    return byName;
}

const WidgetAccess &WidgetRuntime::access() const
{
    return m_interceptor->access();
}

void WidgetRuntime::prepare(const WidgetBundle &bundle)
{
    endCommands();
    WidgetAccess access(bundle);
    access.setListener([this](const QString &line) { emit logged(line); });
    // A native plug-in is machine code for another system: said once, as
    // its calls from the page will fail.
    const QString plugin = bundle.info().value(u"Plugin"_s).toString();
    if (!plugin.isEmpty())
        access.report(u"the native plug-in %1 cannot run on Linux; the page's calls to it will fail"_s.arg(plugin));
    m_interceptor->setAccess(access);
    m_identifier = bundle.folderIdentifier();
    m_domain = WidgetPreferences::domainOf(bundle);
}

void WidgetRuntime::notifyRemoval(const std::function<void()> &done)
{
    // An invalid answer comes from a page that went away, possibly together
    // with whoever waits for it.
    deliver({{u"event"_s, u"remove"_s}}, [done](const QVariant &answer) {
        if (answer.isValid())
            done();
    });
}

// A page without the widget object (none loaded yet, or a blank one) takes
// every event as handled.
void WidgetRuntime::deliver(const QJsonObject &event, const std::function<void(const QVariant &)> &answered)
{
    const QString script =
        u"(function (d) { return d ? d(%2) : true; })(window[%1])"_s.arg(json(Dispatcher), json(event));
    if (answered)
        m_view->page()->runJavaScript(script, answered);
    else
        m_view->page()->runJavaScript(script);
}

void WidgetRuntime::answer(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    const Call call = calls().value(url.path().mid(1));
    const QJsonDocument arguments =
        QJsonDocument::fromJson(QUrl::fromPercentEncoding(url.query(QUrl::FullyEncoded).toLatin1()).toUtf8());
    if (!call || !arguments.isObject()) {
        job->fail(QWebEngineUrlRequestJob::UrlInvalid);
        return;
    }
    (this->*call)(job, arguments.object());
}

// Killed, a command still reports its end, which then reaches no one: the
// page that started it is gone.
void WidgetRuntime::endCommands()
{
    for (SystemCommand *command : findChildren<SystemCommand *>(Qt::FindDirectChildrenOnly))
        command->cancel();
}

// A new document of the page starts without commands of its own, and
// learns which widget it belongs to.
void WidgetRuntime::reset(QWebEngineUrlRequestJob *job, const QJsonObject &)
{
    endCommands();
    reply(job, {{u"identifier"_s, m_identifier}, {u"system"_s, access().allowsSystem()}});
}

void WidgetRuntime::preferenceForKey(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    const std::optional<QJsonValue> value = preferences().value(arguments.value(u"key"_s).toString());
    reply(job, value ? QJsonObject{{u"value"_s, *value}} : QJsonObject());
}

void WidgetRuntime::setPreferenceForKey(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    preferences().setValue(arguments.value(u"key"_s).toString(), arguments.value(u"value"_s));
    reply(job);
}

// The desktop opens web and mail addresses; a file outside the bundle needs
// the file access key all the same. Any other scheme (javascript:, a
// program's own) would hand the desktop's URL opener whatever the widget
// chose, and is refused.
void WidgetRuntime::openURL(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    const QUrl url(arguments.value(u"url"_s).toString());
    if (url.isValid() && !url.isLocalFile() && !WidgetWebPage::opensOnDesktop(url))
        access().report(u"address "_s + url.toDisplayString() + u" blocked (only web, mail and file addresses open)"_s);
    else if (url.isValid() && (!url.isLocalFile() || access().permits(url)))
        QDesktopServices::openUrl(url);
    reply(job);
}

void WidgetRuntime::openApplication(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    // Widgets name applications by identifiers ("org.gnome.Calculator"),
    // which is also how many desktop entries are named.
    const QString identifier = arguments.value(u"identifier"_s).toString();
    const QString entry = DesktopEntry::locate(identifier);
    const Outcome launched = entry.isEmpty() ? Outcome::failure(identifier, u"no installed application answers to it"_s)
                                             : DesktopEntry::launch(entry);
    if (!launched)
        access().report(u"application "_s + identifier + u" not opened: "_s + launched.reason());
    reply(job);
}

// The page has no `widget.system` without the key; asking all the same is
// refused here too.
void WidgetRuntime::system(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    if (!access().allowsSystem()) {
        access().reportDenial(u"widget.system"_s, u"AllowSystem"_s);
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    auto *command = new SystemCommand(arguments.value(u"command"_s).toString(), access().folder(), this);
    if (arguments.value(u"watched"_s).toBool())
        runWatched(job, command);
    else
        runHeld(job, command);
    command->start();
}

// The page waits for the command's end: a synchronous `widget.system`.
void WidgetRuntime::runHeld(QWebEngineUrlRequestJob *job, SystemCommand *command)
{
    ++m_heldCalls;
    const QPointer<QWebEngineUrlRequestJob> waiting(job);
    connect(command, &SystemCommand::finished, this, [this, waiting, command] {
        --m_heldCalls;
        if (waiting)
            reply(waiting, command->result());
        command->deleteLater();
    });
}

// The page goes on at once and hears of output and end as they come.
void WidgetRuntime::runWatched(QWebEngineUrlRequestJob *job, SystemCommand *command)
{
    const int id = ++m_lastCommand;
    m_watchedCommands.insert(id, command);
    connect(command, &SystemCommand::read, this, [this, id](QProcess::ProcessChannel channel, const QString &text) {
        const QString stream = channel == QProcess::StandardOutput ? u"output"_s : u"error"_s;
        deliver({{u"command"_s, id}, {stream, text}});
    });
    connect(command, &SystemCommand::finished, this, [this, id, command] {
        deliver({{u"command"_s, id}, {u"result"_s, command->result()}});
        m_watchedCommands.remove(id);
        command->deleteLater();
    });
    reply(job, {{u"command"_s, id}});
}

SystemCommand *WidgetRuntime::command(const QJsonObject &arguments) const
{
    return m_watchedCommands.value(arguments.value(u"command"_s).toInt());
}

void WidgetRuntime::writeToCommand(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    if (SystemCommand *running = command(arguments))
        running->write(arguments.value(u"text"_s).toString());
    reply(job);
}

void WidgetRuntime::closeCommandInput(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    if (SystemCommand *running = command(arguments))
        running->closeInput();
    reply(job);
}

void WidgetRuntime::cancelCommand(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    if (SystemCommand *running = command(arguments))
        running->cancel();
    reply(job);
}

void WidgetRuntime::setCloseBoxOffset(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    emit closeBoxOffsetRequested(QPoint(offset(arguments.value(u"x"_s)), offset(arguments.value(u"y"_s))));
    reply(job);
}

void WidgetRuntime::resizeTo(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    emit resizeRequested(
        QSize(std::max(1, arguments.value(u"width"_s).toInt()), std::max(1, arguments.value(u"height"_s).toInt())));
    reply(job);
}

void WidgetRuntime::prepareForTransition(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    emit transitionPrepared(arguments.value(u"direction"_s).toString() == u"ToBack");
    reply(job);
}

void WidgetRuntime::performTransition(QWebEngineUrlRequestJob *job, const QJsonObject &)
{
    emit transitionPerformed();
    reply(job);
}

// The page can ask for any path here itself, so the widget's file rules
// apply again.
void WidgetRuntime::convertedImage(QWebEngineUrlRequestJob *job, const QJsonObject &arguments)
{
    const QString path = arguments.value(u"path"_s).toString();
    if (!WebImage::needsConversion(path) || !access().permits(QUrl::fromLocalFile(path))) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const std::optional<QByteArray> png = WebImage::png(path);
    if (!png) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    reply(job, QByteArrayLiteral("image/png"), *png);
}
