// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/VariableView.h"

#include "templates/CheckboxVariableView.h"
#include "templates/DateVariableView.h"
#include "templates/FileVariableView.h"
#include "templates/ImageVariableView.h"
#include "templates/KeyValueListVariableView.h"
#include "templates/ListVariableView.h"
#include "templates/PlaceholderSubstitution.h"
#include "templates/PopupVariableView.h"
#include "templates/TextVariableView.h"

#include <QComboBox>
#include <QHash>

namespace {

struct VariableType
{
    int height;
    std::function<VariableView *()> make;
};

// The one table of variable types: their reserved heights and their views.
// A type not in it gets no view and takes no room.
const QHash<QString, VariableType> &types()
{
    static const QHash<QString, VariableType> table{
        {QStringLiteral("Text"), {51, [] { return new TextVariableView; }}},
        {QStringLiteral("Image"), {74, [] { return new ImageVariableView; }}},
        {QStringLiteral("File"), {67, [] { return new FileVariableView; }}},
        {QStringLiteral("Date"), {190, [] { return new DateVariableView; }}},
        {QStringLiteral("Array"), {106, [] { return new ListVariableView; }}},
        {QStringLiteral("Array2"), {161, [] { return new KeyValueListVariableView; }}},
        {QStringLiteral("Checkbox"), {35, [] { return new CheckboxVariableView; }}},
        {QStringLiteral("PopupButton"), {51, [] { return new PopupVariableView; }}},
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

Outcome VariableView::writeValue(const QString &widgetPath, const QVariantMap &info, const QString &value) const
{
    return PlaceholderSubstitution::applyToAll(
        widgetPath, files(info),
        {{PlaceholderSubstitution::placeholderFor(info.value(QStringLiteral("TPVName")).toString()), value}},
        m_writing);
}

QStringList VariableView::files(const QVariantMap &info)
{
    return info.value(QStringLiteral("TPVFiles")).toStringList();
}

QString VariableView::defaultFile(const QString &widgetPath, const QVariantMap &info)
{
    return PlaceholderSubstitution::pathInWidget(widgetPath, info.value(QStringLiteral("TPVDefaultValue")).toString())
        .value_or(QString());
}

void VariableView::addItemWithTitle(QComboBox *popUp, const QString &title)
{
    const int existing = popUp->findText(title, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (existing >= 0)
        popUp->removeItem(existing);
    popUp->addItem(title);
}

QStringList VariableView::itemTitles(const QComboBox *popUp)
{
    QStringList titles;
    for (int i = 0; i < popUp->count(); ++i)
        titles.append(popUp->itemText(i));
    return titles;
}

void VariableView::showNameAndTooltip(const QVariantMap &info, const std::function<void(const QString &)> &setLabel)
{
    setLabel(info.value(QStringLiteral("TPVName")).toString());
    setToolTip(info.value(QStringLiteral("TPVTooltip")).toString());
}
