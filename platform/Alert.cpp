// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Alert.h"

#include <QMessageBox>
#include <QPushButton>

Alert::Response Alert::run(QWidget *parent, const Request &request)
{
    if (responder)
        return responder(request);

    QMessageBox box(parent);
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(request.title);
    box.setText(QStringLiteral("<b>%1</b>").arg(request.title.toHtmlEscaped()));
    box.setInformativeText(request.message);
    QPushButton *defaultButton = box.addButton(request.defaultButton, QMessageBox::AcceptRole);
    QPushButton *alternateButton = request.alternateButton.isEmpty()
        ? defaultButton
        : box.addButton(request.alternateButton, QMessageBox::RejectRole);
    QPushButton *otherButton = request.otherButton.isEmpty()
        ? nullptr
        : box.addButton(request.otherButton, QMessageBox::DestructiveRole);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(alternateButton);
    box.exec();
    if (otherButton && box.clickedButton() == otherButton)
        return OtherButton;
    return box.clickedButton() == alternateButton && alternateButton != defaultButton
        ? AlternateButton
        : DefaultButton;
}
