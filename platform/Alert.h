// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

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
    /// The icon beside the message: a question asks, the others tell.
    enum class Icon { Question, Information, Warning, Critical };

    struct Request
    {
        QString title;
        QString message;
        QString defaultButton;
        QString alternateButton; ///< empty: a notice with one button
        QString otherButton; ///< empty: no third button
        Icon icon = Icon::Question;
    };

    /// Shows the alert and blocks until it is answered, unless a responder is
    /// set, which then answers in the user's place.
    static Response run(QWidget *parent, const Request &request);

    /// The one way a failure reaches the user: a critical alert titled
    /// `title` whose message names each file the outcome failed on, a line
    /// each, with the system's reason. A done outcome that left entries out
    /// says which, as a notice; a plain done outcome shows nothing.
    static void report(QWidget *parent, const QString &title, const Outcome &outcome);

    /// When set, answers every alert in the user's place (tests do this);
    /// left empty, the dialog is shown.
    static inline std::function<Response(const Request &)> responder;
};
