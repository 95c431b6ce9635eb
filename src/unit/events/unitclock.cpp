#include "events/unitclock.h"

#include "link/unitcontract.h"

#include <QRegularExpression>

#include <optional>

namespace {
QString twoDigits(int value) { return QString::number(value % 100).rightJustified(2, QLatin1Char('0')); }

// The text in single bytes: other kinds of space become blanks; a text that
// needs other characters (digits or words of another script) is not taken.
std::optional<QString> singleByte(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() <= 0xFF)
            continue;
        if (!c.isSpace())
            return std::nullopt;
        c = QLatin1Char(' ');
    }
    return text;
}
} // namespace

QString ClockSetDigits(const QDateTime &moment)
{
    const QDate d = moment.date();
    const QTime t = moment.time();
    return twoDigits(t.second()) + twoDigits(t.minute()) + twoDigits(t.hour()) + twoDigits(d.day())
           + twoDigits(d.month()) + twoDigits(d.year());
}

QString ClockSetText(const QDateTime &moment) { return UnitContract::ClockSetCommand(ClockSetDigits(moment)); }

QString PcClockTime(const QTime &time, const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    // Drop the time-zone field ("t", "tt"...) and the blank or separator
    // before it; quoted text in the format is left alone.
    static const QRegularExpression zone(QStringLiteral("\\s*\\(?\\bt+\\b\\)?"));
    if (!format.contains(QLatin1Char('\'')))
        format.remove(zone);
    return singleByte(locale.toString(time, format.trimmed()))
        .value_or(QLocale::c().toString(time, QStringLiteral("HH:mm:ss")));
}

QString PcClockDate(const QDate &date, const QLocale &locale)
{
    return singleByte(locale.toString(date, QLocale::ShortFormat))
        .value_or(QLocale::c().toString(date, QStringLiteral("dd/MM/yy")));
}
