// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDBusObjectPath>
#include <QKeySequence>
#include <QObject>
#include <QVariantMap>

#include <optional>

class QDBusArgument;
class QDBusMessage;

/// The show-and-hide key as the desktop portal's global shortcuts give it:
/// the one way a program gets a key for all programs under Wayland, and on
/// any session whose desktop offers it. The desktop owns the key: it may ask
/// the user, and it says which key it bound, which may not be the one asked.
class PortalShortcut : public QObject
{
    Q_OBJECT

public:
    /// A shortcut as the portal lists it: an id and its named options.
    struct Binding
    {
        QString id;
        QVariantMap options;
    };
    static constexpr char16_t Id[] = u"show-hide";

    explicit PortalShortcut(QObject *parent = nullptr);
    ~PortalShortcut() override;

    /// Asks the desktop for `key`, in a session of its own: the portal binds
    /// a session's shortcuts once. Answers with one of the signals;
    /// unavailable() at once when the portal is known to be absent.
    void bind(const QKeySequence &key);
    /// Gives up the key held or asked for.
    void release();

    /// The portal's spelling of a key ("CTRL+ALT+F12").
    static QString trigger(const QKeySequence &key);

signals:
    /// The session offers no global shortcuts.
    void unavailable();
    /// The desktop bound the key, named as it names it.
    void bound(const QString &key);
    void refused(const QString &why);
    void activated();

private slots:
    void onResponse(const QDBusMessage &message);
    void onActivated(const QDBusMessage &message);

private:
    enum class Step { None, Probing, CreatingSession, Binding };

    void probe();
    void createSession();
    void bindInSession(const QString &session);
    void request(const QDBusMessage &call, const QString &token, Step step);
    void forgetRequest();
    void fail(const QString &why);

    QKeySequence m_key;
    Step m_step = Step::None;
    /// Whether the session bus has the portal, once asked.
    std::optional<bool> m_present;
    QString m_request;
    QString m_session;
    int m_tokens = 0;
};

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut::Binding &binding);
const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut::Binding &binding);
