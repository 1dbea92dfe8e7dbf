// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TPArrayView2.h"

#include "ui_TPArrayView2.h"

namespace {
const QString PairSeparator = QStringLiteral("{+}");
} // namespace

TPArrayView2::TPArrayView2(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::TPArrayView2>())
{
    ui->setupUi(this);
    setFocusProxy(ui->firstField);
    connect(ui->addButton, &QPushButton::clicked, this, &TPArrayView2::add);
    connect(ui->removeButton, &QPushButton::clicked, this, &TPArrayView2::remove);
}

TPArrayView2::~TPArrayView2() = default;

void TPArrayView2::setInfoDictionary(const QVariantMap &info)
{
    // A name without "{+}" has no second caption.
    const QStringList captions = info.value(QStringLiteral("TPVName")).toString().split(PairSeparator);
    showNameAndTooltip(info, [this, &captions](const QString &) {
        ui->firstCaption->setText(captions.value(0));
        ui->secondCaption->setText(captions.value(1));
    });
    ui->popUp->removeItem(0);
}

QStringList TPArrayView2::titles() const
{
    return itemTitles(ui->popUp);
}

void TPArrayView2::add()
{
    if (ui->firstField->text().isEmpty())
        return;
    addItemWithTitle(ui->popUp, QStringLiteral("%1 {+} %2").arg(ui->firstField->text(), ui->secondField->text()));
    ui->popUp->setCurrentIndex(ui->popUp->count() - 1);
    ui->firstField->clear();
    ui->secondField->clear();
    ui->firstField->setFocus();
}

void TPArrayView2::remove()
{
    ui->popUp->removeItem(ui->popUp->currentIndex());
}

TPArrayView2::Pairs TPArrayView2::pairsFromTitles(const QStringList &titles)
{
    Pairs pairs;
    for (const QString &title : titles) {
        const QStringList parts = title.split(PairSeparator);
        pairs.append({parts.value(0), parts.value(1)});
    }
    return pairs;
}

TPArrayView2::Pairs TPArrayView2::pairsFromDefault(const QVariant &defaultValue)
{
    const QVariantList lists = defaultValue.toList();
    const QStringList firsts = lists.value(0).toStringList();
    const QStringList seconds = lists.value(1).toStringList();
    Pairs pairs;
    for (qsizetype i = 0; i < firsts.size(); ++i)
        pairs.append({firsts.at(i), seconds.value(i)}); // a short second list gives empty texts
    return pairs;
}

QString TPArrayView2::expansion(const Pairs &pairs, const QString &format)
{
    QString text;
    for (const auto &[first, second] : pairs)
        text += QString(format).replace(QStringLiteral("Template_Val1"), first).replace(QStringLiteral("Template_Val2"), second);
    return text;
}

Outcome TPArrayView2::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    const QStringList listed = titles();
    const Pairs pairs = listed.isEmpty() ? pairsFromDefault(info.value(QStringLiteral("TPVDefaultValue")))
                                         : pairsFromTitles(listed);
    return writeValue(widgetPath, info, expansion(pairs, info.value(QStringLiteral("TPVFormat")).toString()));
}
