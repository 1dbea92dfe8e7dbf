// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/DateVariableView.h"

#include "ui_DateVariableView.h"

#include "templates/PlaceholderSubstitution.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QLocale>

const QString DateVariableView::Letters = QStringLiteral("aAbBcdeFHIjmMpSwxXyYZz");

namespace {

// Names and representations are the C locale's (English), fixed so that a
// widget's text does not depend on where it was made: %x is MM/dd/yy and %X
// is HH:mm:ss, as the C library's strftime gives them there.
const QLocale &c()
{
    static const QLocale locale = QLocale::c();
    return locale;
}

QString twoDigits(int number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString offset(const QDateTime &moment)
{
    const int minutes = moment.offsetFromUtc() / 60;
    return (minutes < 0 ? u'-' : u'+') + twoDigits(std::abs(minutes) / 60) + twoDigits(std::abs(minutes) % 60);
}

} // namespace

DateVariableView::DateVariableView(QWidget *parent)
    : VariableView(parent)
    , ui(std::make_unique<Ui::DateVariableView>())
{
    ui->setupUi(this);
    ui->calendar->setLocale(c());
    setFocusProxy(ui->calendar);
    // The wheel scrolls the wizard's list of variables; over the calendar it
    // would otherwise change the month unnoticed.
    if (auto *days = ui->calendar->findChild<QAbstractItemView *>())
        days->viewport()->installEventFilter(this);
}

bool DateVariableView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return VariableView::eventFilter(watched, event);
    QCoreApplication::sendEvent(this, event);
    return true;
}

DateVariableView::~DateVariableView() = default;

void DateVariableView::setInfoDictionary(const QVariantMap &info)
{
    showNameAndTooltip(info, [this](const QString &name) { ui->nameLabel->setText(name); });
    setDateValue(QDateTime::currentDateTime());
}

QDateTime DateVariableView::dateValue() const
{
    return QDateTime(ui->calendar->selectedDate(), ui->timeEdit->time());
}

void DateVariableView::setDateValue(const QDateTime &moment)
{
    ui->calendar->setSelectedDate(moment.date());
    ui->timeEdit->setTime(moment.time());
}

QString DateVariableView::render(const QDateTime &moment, QChar letter)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    switch (letter.unicode()) {
    case 'a':
        return c().dayName(date.dayOfWeek(), QLocale::ShortFormat);
    case 'A':
        return c().dayName(date.dayOfWeek(), QLocale::LongFormat);
    case 'b':
        return c().monthName(date.month(), QLocale::ShortFormat);
    case 'B':
        return c().monthName(date.month(), QLocale::LongFormat);
    case 'c':
        return render(moment, u'X') + u' ' + render(moment, u'x');
    case 'd':
        return twoDigits(date.day());
    case 'e':
        return QString::number(date.day());
    case 'F':
        return QStringLiteral("%1").arg(time.msec(), 3, 10, QLatin1Char('0'));
    case 'H':
        return twoDigits(time.hour());
    case 'I':
        return twoDigits(time.hour() % 12 == 0 ? 12 : time.hour() % 12);
    case 'j':
        return QStringLiteral("%1").arg(date.dayOfYear(), 3, 10, QLatin1Char('0'));
    case 'm':
        return twoDigits(date.month());
    case 'M':
        return twoDigits(time.minute());
    case 'p':
        return time.hour() < 12 ? c().amText() : c().pmText();
    case 'S':
        return twoDigits(time.second());
    case 'w':
        return QString::number(date.dayOfWeek() % 7);
    case 'x':
        return moment.toString(QStringLiteral("MM/dd/yy"));
    case 'X':
        return moment.toString(QStringLiteral("HH:mm:ss"));
    case 'y':
        return twoDigits(date.year() % 100);
    case 'Y':
        return QString::number(date.year());
    case 'Z':
        return moment.timeZoneAbbreviation();
    case 'z':
        return offset(moment);
    default:
        return {};
    }
}

Outcome DateVariableView::saveToPath(const QString &widgetPath, const QVariantMap &info)
{
    const QDateTime moment = dateValue();
    const QString base =
        PlaceholderSubstitution::placeholderFor(info.value(QStringLiteral("TPVName")).toString()) + u'_';
    PlaceholderSubstitution::Replacements replacements;
    for (const QChar letter : Letters)
        replacements.append({base + letter, render(moment, letter)});
    return PlaceholderSubstitution::applyToAll(widgetPath, files(info), replacements, writing());
}
