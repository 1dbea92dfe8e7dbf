// SPDX-License-Identifier: GPL-2.0-or-later
#include "filelist/EntrySheet.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

EntrySheet::EntrySheet(QWidget *window, const std::function<void(QDialog *)> &setUpForm)
    : QDialog(window)
{
    setUpForm(this);
    setWindowModality(Qt::WindowModal);
    m_field = findChild<QLineEdit *>(QStringLiteral("filenameField"));
    m_problem = findChild<QLabel *>(QStringLiteral("errorLabel"));
    Q_ASSERT(m_field && m_problem);
    connect(findChild<QPushButton *>(QStringLiteral("okButton")), &QPushButton::clicked, this, &EntrySheet::okClicked);
    connect(findChild<QPushButton *>(QStringLiteral("cancelButton")), &QPushButton::clicked, this,
            &EntrySheet::cancelled);
    connect(this, &QDialog::rejected, this, &EntrySheet::cancelled);
    // A problem belongs to the name it was found in; with no name left there is none.
    connect(m_field, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            showProblem({});
    });
}

QString EntrySheet::name() const
{
    return m_field->text();
}

void EntrySheet::ask(const QString &name)
{
    m_field->setText(name);
    m_field->selectAll();
    // The sheet would otherwise give focus back to whatever had it last,
    // such as the Folder check box.
    m_field->setFocus();
    open();
}

void EntrySheet::showProblem(const QString &problem)
{
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    if (!isVisible())
        return;
    // A window's layout bounds only its minimum size, never the height that
    // wrapped lines need at its width: the sheet is fitted to them.
    layout()->activate();
    const int height = heightForWidth(width());
    resize(width(), height > 0 ? height : minimumSizeHint().height());
}

void EntrySheet::finish()
{
    m_field->clear();
    showProblem({});
    for (QCheckBox *box : findChildren<QCheckBox *>())
        box->setChecked(false);
    hide();
}
