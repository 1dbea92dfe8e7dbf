// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/BundlePanel.h"

#include <functional>

/// The Save panel: names a new location. It can require an extension, which
/// it adds to a name that lacks it, and it asks before an existing entry is
/// chosen for replacing. The replacing itself is the caller's business.
class SavePanel : public BundlePanel
{
    Q_OBJECT

public:
    struct Options
    {
        QString title;
        QString requiredExtension; ///< without the dot; empty: any name
        QString directory; ///< where the panel starts; empty: where the last Save panel chose
                           ///< in this run, else the home folder
        QString name; ///< the name proposed at first
    };

    SavePanel(QWidget *parent, const Options &options);

    /// Runs the panel modally; returns the chosen path, empty when cancelled.
    static QString run(QWidget *parent, Options options);

    /// When set, answers every Save panel in the user's place (tests do
    /// this); it sees the options with the starting folder filled in.
    static inline std::function<QString(const Options &)> responder;

    /// The chosen path once the panel was accepted.
    QString chosenPath() const;

    /// The path with the required extension added when the name lacks it.
    static QString withRequiredExtension(const QString &path, const QString &extension);

public slots:
    void accept() override;

protected:
    void chooseBundle(const QString &path) override;

private:
    bool mayReplace(const QString &path);
    void keepSaveOnBundles();

    QString m_requiredExtension;
    QString m_chosenPath;
};
