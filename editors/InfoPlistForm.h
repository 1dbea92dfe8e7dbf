// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "editors/ContentView.h"

#include <QSet>

#include <memory>

namespace Ui {
class InfoPlistForm;
}

/// The widget's Info.plist as a form: bundle identity, size and close box,
/// access rights, fonts and plug-in. Saving writes the keys the user changed
/// into the file as read at that moment, so every other key (those the form
/// does not show, and those another program changed meanwhile) keeps its
/// place, type and value. The file is written only after the form was
/// edited. A value of a type its field cannot show is shown read-only and
/// never rewritten. A file that is not a property list is never written;
/// the form offers it in the text editor instead. A missing file is written
/// anew from the whole form.
class InfoPlistForm : public ContentView
{
    Q_OBJECT

public:
    explicit InfoPlistForm(QWidget *parent = nullptr);
    ~InfoPlistForm() override;

    void setViewIdentifier(const QString &identifier) override;
    QString viewIdentifier() const override;
    void openTheFile() override;
    bool searchString(const QString &) const override { return false; }
    bool isEdited() const override { return !m_editedKeys.isEmpty(); }

protected:
    Outcome writeEdits() override;

private:
    /// Puts the text editor in this view's place, for a file to repair.
    void openAsText();

    std::unique_ptr<Ui::InfoPlistForm> ui;
    // The keys whose controls the user changed since the form was read or
    // saved; only these are written, and an untouched form writes nothing.
    QSet<QString> m_editedKeys;
    // The file could not be read as a property list: it is never written.
    bool m_unreadable = false;
};
