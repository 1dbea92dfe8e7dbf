// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "templates/VariableView.h"

#include <memory>

namespace Ui {
class KeyValueListVariableView;
}

/// An "Array2" variable: a list of value pairs, listed as "first {+} second",
/// each pair written through the variable's format ("Template_Val1" and
/// "Template_Val2" stand for its values). An empty list writes the default
/// pairs.
class KeyValueListVariableView : public VariableView
{
    Q_OBJECT

public:
    explicit KeyValueListVariableView(QWidget *parent = nullptr);
    ~KeyValueListVariableView() override;

    void setInfoDictionary(const QVariantMap &info) override;
    Outcome saveToPath(const QString &widgetPath, const QVariantMap &info) override;

private:
    void add();
    void remove();
    using Pairs = QList<std::pair<QString, QString>>;
    /// The listed pairs as they were typed, each value with the blank its
    /// title shows beside "{+}". Kept apart from the titles: a value may
    /// hold "{+}" itself.
    Pairs listedPairs() const;
    /// The pairs of a default value: a list of first and a list of second values.
    static Pairs pairsFromDefault(const QVariant &defaultValue);
    /// The format filled in for each pair, in one pass: what a value brings
    /// in is never read again as a placeholder.
    static QString expansion(const Pairs &pairs, const QString &format);

    std::unique_ptr<Ui::KeyValueListVariableView> ui;
};
