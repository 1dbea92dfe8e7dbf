// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Alert.h"

#include "platform/FileName.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

Alert::Response Alert::run(QWidget *parent, const Request &request)
{
    if (responder)
        return responder(request);

    QMessageBox box(parent);
    static const QMessageBox::Icon icons[] = {QMessageBox::Question, QMessageBox::Information, QMessageBox::Warning,
                                              QMessageBox::Critical};
    box.setIcon(icons[int(request.icon)]);
    // Names that are no UTF-8 come in as they are on disk.
    const QString title = FileName::shown(request.title);
    box.setWindowTitle(title);
    box.setText(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()));
    box.setInformativeText(FileName::shown(request.message));
    QPushButton *defaultButton = box.addButton(request.defaultButton, QMessageBox::AcceptRole);
    QPushButton *alternateButton = request.alternateButton.isEmpty()
        ? defaultButton
        : box.addButton(request.alternateButton, QMessageBox::RejectRole);
    QPushButton *otherButton =
        request.otherButton.isEmpty() ? nullptr : box.addButton(request.otherButton, QMessageBox::DestructiveRole);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(alternateButton);
    box.exec();
    if (otherButton && box.clickedButton() == otherButton)
        return OtherButton;
    return box.clickedButton() == alternateButton && alternateButton != defaultButton ? AlternateButton : DefaultButton;
}

void Alert::report(QWidget *parent, const QString &title, const Outcome &outcome)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("Alert", text); };
    if (!outcome) {
        QStringList lines;
        for (auto [file, reason] : outcome.failures()) {
            // Reasons from Qt end in a full stop of their own; the system's do not.
            if (reason.endsWith(u'.'))
                reason.chop(1);
            lines.append(tr("“%1”: %2.").arg(file, reason));
        }
        run(parent, {title, lines.join(u'\n'), tr("OK"), {}, {}, Icon::Critical});
    } else if (!outcome.skipped().isEmpty()) {
        run(parent,
            {tr("Some entries were left out."),
             tr("Quillet copies no FIFOs, sockets or devices, nor links leading outside the widget: %1")
                 .arg(outcome.skipped().join(QStringLiteral(", "))),
             tr("OK"),
             {},
             {},
             Icon::Information});
    }
}
