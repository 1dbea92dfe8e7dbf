// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/KeyValueListVariableView.h"

#include "ui_KeyValueListVariableView.h"

#include <QRegularExpression>

namespace {
const QString PairSeparator = QStringLiteral("{+}");
} // namespace

KeyValueListVariableView::KeyValueListVariableView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::KeyValueListVariableView>())
{
    ui->setupUi(this);
    setFocusProxy(ui->firstField);
    connect(ui->addButton, &QPushButton::clicked, this, &KeyValueListVariableView::add);
    connect(ui->removeButton, &QPushButton::clicked, this, &KeyValueListVariableView::remove);
}

KeyValueListVariableView::~KeyValueListVariableView() = default;

void KeyValueListVariableView::setInfoDictionary(const QVariantMap &info)
{
    // A name without "{+}" has no second caption.
    const QStringList captions = info.value(QStringLiteral("TPVName")).toString().split(PairSeparator);
    showNameAndTooltip(info, [this, &captions](const QString &) {
        ui->firstCaption->setText(captions.value(0));
        ui->secondCaption->setText(captions.value(1));
    });
    ui->popUp->removeItem(0);
}

void KeyValueListVariableView::add()
{
    if (ui->firstField->text().isEmpty())
        return;
    addItemWithTitle(ui->popUp, QStringLiteral("%1 {+} %2").arg(ui->firstField->text(), ui->secondField->text()));
    const int added = ui->popUp->count() - 1;
    ui->popUp->setItemData(added, QStringList{ui->firstField->text() + u' ', u' ' + ui->secondField->text()});
    ui->popUp->setCurrentIndex(added);
    ui->firstField->clear();
    ui->secondField->clear();
    ui->firstField->setFocus();
}

void KeyValueListVariableView::remove()
{
    ui->popUp->removeItem(ui->popUp->currentIndex());
}

KeyValueListVariableView::Pairs KeyValueListVariableView::listedPairs() const
{
    Pairs pairs;
    for (int i = 0; i < ui->popUp->count(); ++i) {
        const QStringList pair = ui->popUp->itemData(i).toStringList();
        pairs.append({pair.value(0), pair.value(1)});
    }
    return pairs;
}

KeyValueListVariableView::Pairs KeyValueListVariableView::pairsFromDefault(const QVariant &defaultValue)
{
    const QVariantList lists = defaultValue.toList();
    const QStringList firsts = lists.value(0).toStringList();
    const QStringList seconds = lists.value(1).toStringList();
    Pairs pairs;
    for (qsizetype i = 0; i < firsts.size(); ++i)
        pairs.append({firsts.at(i), seconds.value(i)}); // a short second list gives empty texts
    return pairs;
}

QString KeyValueListVariableView::expansion(const Pairs &pairs, const QString &format)
{
    static const QRegularExpression placeholder(QStringLiteral("Template_Val[12]"));
    QString text;
    for (const auto &[first, second] : pairs) {
        qsizetype done = 0;
        for (const QRegularExpressionMatch &match : placeholder.globalMatch(format)) {
            text += QStringView(format).sliced(done, match.capturedStart() - done);
            text += match.captured().endsWith(u'1') ? first : second;
            done = match.capturedEnd();
        }
        text += QStringView(format).sliced(done);
    }
    return text;
}

Outcome KeyValueListVariableView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    const Pairs listed = listedPairs();
    const Pairs pairs = listed.isEmpty() ? pairsFromDefault(info.value(QStringLiteral("TPVDefaultValue"))) : listed;
    return writeValue(widgetPath, info, expansion(pairs, info.value(QStringLiteral("TPVFormat")).toString()));
}
