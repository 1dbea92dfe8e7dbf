// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QUrl>
#include <QVariantMap>

/// What a widget bundle folder says about showing it: the window size, the
/// page to load and where the close box goes. A value read once from disk;
/// reading never writes anything.
class WidgetBundle
{
public:
    /// Reads the bundle's property list ("Info.plist", or "info.plist" when
    /// there is none) and its "Default.png". A bundle with neither gives an
    /// empty size and no page.
    static WidgetBundle read(const QString &bundlePath);

    QString bundlePath() const { return m_bundlePath; }
    /// The property list as read; empty when there is none or it is not a
    /// dictionary.
    QVariantMap info() const { return m_info; }
    /// "Width" and "Height" in pixels; an axis that gives 0 takes the pixel
    /// size of "Default.png" instead.
    QSize size() const { return m_size; }
    /// "MainHTML" resolved against the bundle folder, so a plain file name
    /// names a file in its top level; empty when the key is missing.
    QUrl mainPage() const { return m_mainPage; }
    /// "CloseBoxInsetX" and "CloseBoxInsetY", 0 when missing.
    QPoint closeBoxInset() const;
    /// What the widget calls itself: "CFBundleDisplayName", else
    /// "CFBundleName", else the folder's name without its extension.
    QString displayName() const;
    /// A name for the bundle folder that stays the same from run to run as
    /// long as the folder stays where it is: 16 hexadecimal digits made from
    /// its canonical path.
    QString folderIdentifier() const;

private:
    QString m_bundlePath;
    QVariantMap m_info;
    QSize m_size;
    QUrl m_mainPage;
};
