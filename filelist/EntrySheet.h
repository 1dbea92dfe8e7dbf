// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

/// A sheet that asks for an entry's name (the Add and Rename sheets): a
/// window-modal dialog built from a form that has a "filenameField", an
/// "errorLabel" telling what is wrong with the name typed, and "okButton"
/// and "cancelButton". Every close leaves it fresh for next time.
class EntrySheet : public QDialog
{
    Q_OBJECT

public:
    /// `setUpForm` builds the form into the sheet.
    EntrySheet(QWidget *window, const std::function<void(QDialog *)> &setUpForm);

    QString name() const;
    /// Opens the sheet with `name` filled in, selected and focused.
    void ask(const QString &name = {});
    /// Shows what is wrong with the name, wrapped to the sheet's width, until
    /// the field is emptied; an empty problem shows none.
    void showProblem(const QString &problem);
    /// Clears the sheet (name, problem, check boxes) and closes it.
    void finish();

signals:
    void okClicked();
    void cancelled();

private:
    QLineEdit *m_field;
    QLabel *m_problem;
};
