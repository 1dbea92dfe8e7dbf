// SPDX-License-Identifier: GPL-2.0-or-later
#include "check/ScriptSyntax.h"

#include <QRegularExpression>

namespace {

// "<!--" anywhere and "-->" at a line's start open a comment to the line's
// end in the scripts of pages, which the engine does not know.
QString withoutHtmlComments(QString script)
{
    static const QRegularExpression markers(QStringLiteral(R"re(<!--|^[ \t]*-->)re"),
                                            QRegularExpression::MultilineOption);
    return script.replace(markers, QStringLiteral("//"));
}

} // namespace

std::optional<ScriptSyntax::Fault> ScriptSyntax::firstFault(const QString &script, int firstLine)
{
    // Nothing after the throw runs, and a parse fails before anything does.
    const QJSValue result =
        m_engine.evaluate(QStringLiteral("throw 0;") + withoutHtmlComments(script), QString(), firstLine);
    if (!result.isError() || result.errorType() != QJSValue::SyntaxError)
        return std::nullopt;
    QString message = result.property(QStringLiteral("message")).toString();
    message.replace(u'`', u'“').replace(u'\'', u'”');
    return Fault{result.property(QStringLiteral("lineNumber")).toInt(), message};
}
