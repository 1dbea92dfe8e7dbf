// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

class QSettings;

/// The program's few saved settings, typed. They live in one file under the
/// user's configuration folder, found afresh on every use so that a change
/// of home (tests make one) is followed.
class Settings : public QObject
{
    Q_OBJECT

public:
    static Settings &shared();

    /// Point size of the text editors' font.
    int editorFontSize() const;
    void setEditorFontSize(int points);

    /// The saved item list of toolbars with this identifier, if any was saved.
    std::optional<QStringList> toolbarItems(const QString &identifier) const;
    /// The saved display mode of toolbars with this identifier (0: default).
    int toolbarDisplayMode(const QString &identifier) const;
    /// Saves a toolbar configuration; every toolbar of the identifier follows.
    void setToolbarConfiguration(const QString &identifier, const QStringList &items, int displayMode);

    /// Widgets opened, saved or made lately, the latest first.
    QStringList recentDocuments() const;
    /// Puts `path` first, once, keeping the latest MaximumRecentDocuments.
    void noteRecentDocument(const QString &path);
    void clearRecentDocuments();

    /// The place and size of the document window closed last, as
    /// QWidget::saveGeometry gives it; empty before the first.
    QByteArray documentWindowGeometry() const;
    void setDocumentWindowGeometry(const QByteArray &geometry);

    static constexpr int MaximumRecentDocuments = 10;
    static constexpr int DefaultEditorFontSize = 10;
    static constexpr int MinimumEditorFontSize = 6;
    static constexpr int MaximumEditorFontSize = 48;

signals:
    void editorFontSizeChanged(int points);
    void toolbarConfigurationChanged(const QString &identifier);

private:
    Settings() = default;
    static std::unique_ptr<QSettings> store();
};
