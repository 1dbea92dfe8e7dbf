// SPDX-License-Identifier: GPL-2.0-or-later
#include "filelist/EntrySheet.h"

#include <QCheckBox>
#include <QLabel>
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
}

QString EntrySheet::name() const
{
    return m_field->text();
}

void EntrySheet::ask(const QString &name)
{
    m_field->setText(name);
    m_field->selectAll();
    open();
}

void EntrySheet::showProblem(const QString &problem)
{
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
}

void EntrySheet::finish()
{
    m_field->clear();
    showProblem({});
    for (QCheckBox *box : findChildren<QCheckBox *>())
        box->setChecked(false);
    hide();
}
