// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/VariableView.h"

#include "templates/PlaceholderSubstitution.h"
#include "templates/TPCheckboxView.h"
#include "templates/TPPopupButtonView.h"
#include "templates/TPTextView.h"

#include <QHash>

namespace {

struct VariableType
{
    int height;
    std::function<VariableView *()> make;
};

// The one table of variable types: their reserved heights and their views.
// Types whose views are not built yet are absent and so take no room.
const QHash<QString, VariableType> &types()
{
    static const QHash<QString, VariableType> table{
        {QStringLiteral("Text"), {51, [] { return new TPTextView; }}},
        {QStringLiteral("Checkbox"), {35, [] { return new TPCheckboxView; }}},
        {QStringLiteral("PopupButton"), {51, [] { return new TPPopupButtonView; }}},
    };
    return table;
}

} // namespace

int VariableView::heightForType(const QString &type)
{
    const auto it = types().constFind(type);
    return it == types().cend() ? 0 : it->height;
}

VariableView *VariableView::makeForType(const QString &type)
{
    const auto it = types().constFind(type);
    if (it == types().cend())
        return nullptr;
    VariableView *view = it->make();
    view->setFixedSize(Width, it->height);
    return view;
}

void VariableView::writeValue(const QString &widgetPath, const QVariantMap &info, const QString &value)
{
    const QString placeholder = PlaceholderSubstitution::placeholderFor(info.value(QStringLiteral("TPVName")).toString());
    for (const QVariant &entry : info.value(QStringLiteral("TPVFiles")).toList())
        PlaceholderSubstitution::apply(widgetPath, entry.toString(), placeholder, value);
}

void VariableView::showNameAndTooltip(const QVariantMap &info, const std::function<void(const QString &)> &setLabel)
{
    setLabel(info.value(QStringLiteral("TPVName")).toString());
    setToolTip(info.value(QStringLiteral("TPVTooltip")).toString());
}
