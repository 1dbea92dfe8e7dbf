// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <functional>

class QUrl;
class WidgetBundle;

/// What the access keys of a widget's property list let its page reach.
/// "AllowNetworkAccess" opens the network, "AllowFileAccessOutsideOfWidget"
/// files outside the bundle folder, "AllowSystem" the shell commands of
/// `widget.system`; "AllowFullAccess" opens all three.
///
/// Every refusal is written to standard error as one line naming the widget,
/// what was refused and the key that would allow it, so that the widget's
/// author sees why something did not load.
class WidgetAccess
{
public:
    /// Allows nothing but the bundle folder of an unnamed widget.
    WidgetAccess() = default;
    explicit WidgetAccess(const WidgetBundle &bundle);

    /// The bundle folder, links resolved.
    QString folder() const { return m_canonicalFolder; }
    bool allowsSystem() const { return m_system; }

    /// Whether the local file `path` lies in the bundle folder, links
    /// followed: a link that leads out of the folder leads outside.
    bool contains(const QString &path) const;
    /// The path of `path` relative to the bundle folder; empty when it lies
    /// outside or is the folder itself.
    QString relativePath(const QString &path) const;

    /// Whether the page may load `url`: network URLs need network access,
    /// local files outside the bundle need file access, everything else may
    /// load. A refusal is reported.
    bool permits(const QUrl &url) const;
    /// Reports that the widget's `what` was refused for want of `key`.
    void reportDenial(const QString &what, const QString &key) const;
    /// Reports a failure of the widget's that is not a refusal.
    void report(const QString &message) const;
    /// Hears every report as well, without the widget's name.
    void setListener(std::function<void(const QString &)> listener) { m_listener = std::move(listener); }

private:
    std::function<void(const QString &)> m_listener;
    QString m_name;
    QString m_folder;
    QString m_canonicalFolder;
    bool m_network = false;
    bool m_files = false;
    bool m_system = false;
};
