// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "editors/ContentView.h"

#include <memory>

namespace Ui { class MyInfoPlistView; }

/// The widget's Info.plist as a form: bundle identity, size and close box,
/// access rights, fonts and plug-in. Saving writes the form's keys into the
/// file as read at that moment, so every key the form does not show keeps its
/// place, type and value. The file is written only after the form was edited.
class MyInfoPlistView : public ContentView
{
    Q_OBJECT

public:
    explicit MyInfoPlistView(QWidget *parent = nullptr);
    ~MyInfoPlistView() override;

    void setViewIdentifier(const QString &identifier) override;
    QString viewIdentifier() const override;
    void openTheFile() override;
    void save() override;
    bool searchString(const QString &) override { return false; }
    bool isEdited() const override { return m_edited; }

private:
    void markEdited() { m_edited = true; }

    std::unique_ptr<Ui::MyInfoPlistView> ui;
    // Whether the user changed a control since the form was read or saved;
    // an untouched form never rewrites the file.
    bool m_edited = false;
};
