// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <functional>

class QWidget;

/// A modal question with a title, a message, a default button that goes on
/// and an alternate button that declines (Escape chooses it). An optional
/// third button serves the rare question that needs one.
class Alert
{
public:
    enum Response { DefaultButton, AlternateButton, OtherButton };

    struct Request
    {
        QString title;
        QString message;
        QString defaultButton;
        QString alternateButton;   ///< empty: a notice with one button
        QString otherButton; ///< empty: no third button
    };

    /// Shows the alert and blocks until it is answered, unless a responder is
    /// set, which then answers in the user's place.
    static Response run(QWidget *parent, const Request &request);

    /// When set, answers every alert in the user's place (tests do this);
    /// left empty, the dialog is shown.
    static inline std::function<Response(const Request &)> responder;
};
