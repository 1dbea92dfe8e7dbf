// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/EditorAccessibility.h"

#include <Qsci/qsciscintillabase.h>

#include <QAccessibleWidget>

namespace {

QAccessibleInterface *plainEditor(const QString &, QObject *object)
{
    if (QAccessible::isActive())
        return nullptr;
    auto *editor = qobject_cast<QsciScintillaBase *>(object);
    return editor ? new QAccessibleWidget(editor, QAccessible::EditableText) : nullptr;
}

} // namespace

void EditorAccessibility::install()
{
    // Factories asked last-installed first.
    static const bool installed = [] {
        QAccessible::installFactory(plainEditor);
        return true;
    }();
    Q_UNUSED(installed);
}
