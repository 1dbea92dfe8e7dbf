// SPDX-License-Identifier: GPL-2.0-or-later
// Any bytes as a template's "template.plist": the wizard gets one variable per
// item of a top-level array (a dictionary as it is, anything else as a
// variable with no keys), and no file a variable lists leads outside the
// widget being made.
#include "fuzz/FuzzCheck.h"
#include "platform/PropertyList.h"
#include "templates/PlaceholderSubstitution.h"
#include "templates/TemplateFolder.h"
#include "templates/VariableView.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QList<QVariantMap> variables = TemplateFolder::variablesIn(bytes);
    const std::optional<QVariant> list = PropertyList::parse(bytes);
    const QVariantList items = list && list->typeId() == QMetaType::QVariantList ? list->toList() : QVariantList();
    FUZZ_CHECK(variables.size() == items.size(), "one variable per item of a top-level array, none otherwise");
    const QString widget = u"/nonexistent/New.wdgt"_s;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const bool dictionary = items[i].typeId() == QMetaType::QVariantMap;
        FUZZ_CHECK(dictionary ? variables[i] == items[i].toMap() : variables[i].isEmpty(),
                   "a dictionary is its variable, anything else a variable with no keys");
        FUZZ_CHECK(VariableView::heightForType(variables[i].value(u"TPVType"_s).toString()) >= 0,
                   "every type takes room or none");
        for (const QString &entry : variables[i].value(u"TPVFiles"_s).toStringList()) {
            const std::optional<QString> path = PlaceholderSubstitution::pathInWidget(widget, entry);
            FUZZ_CHECK(!path || path->startsWith(widget + u'/'), "a listed file stays inside the widget");
        }
    }
    return 0;
}
