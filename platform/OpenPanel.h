// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/BundlePanel.h"

#include <QStringList>

#include <functional>

/// The Open panel: chooses existing files, and bundles as single items.
/// Desktop entries (".desktop") show as their applications, by name and icon.
class OpenPanel : public BundlePanel
{
    Q_OBJECT

public:
    struct Options
    {
        QString title;
        QString typeDescription; ///< names the accepted types in the filter
        QStringList fileTypes; ///< extensions without the dot; empty: everything
        bool allowsMultipleSelection = false;
        bool canChooseDirectories = false;
        QString directory; ///< where the panel starts at first; empty: the home folder.
                           ///< Later panels of the same title start where the
                           ///< last one chose in this run.
    };

    OpenPanel(QWidget *parent, const Options &options);

    /// Runs the panel modally; returns the chosen paths, empty when cancelled.
    static QStringList run(QWidget *parent, Options options);

    /// When set, answers every Open panel in the user's place (tests do
    /// this); it sees the options with the starting folder filled in.
    static inline std::function<QStringList(const Options &)> responder;

    /// The chosen paths once the panel was accepted.
    QStringList chosenPaths() const;

public slots:
    void accept() override;

protected:
    void chooseBundle(const QString &path) override;

private:
    void listApplications();
    bool canChoose(const QString &path) const;

    bool m_canChooseDirectories;
};
