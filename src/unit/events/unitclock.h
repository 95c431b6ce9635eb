#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The twelve decimal digits "ssnnhhddmmyy" that set the unit's clock to
// `moment`: seconds, minutes, hours, day, month, year within the century.
QString ClockSetDigits(const QDateTime &moment);

// The whole clock-set command for `moment`, terminator included.
QString ClockSetText(const QDateTime &moment);
// The wait for the unit's answer to the clock set, in WaitReply steps.
constexpr int kClockSetReplySteps = 10;

// The PC's clock as the Events page shows it beside the unit's: the time in
// the locale's long time format (without a time zone, which the unit's clock
// does not have either) and the date in its short date format.  The event
// file keeps single bytes: spaces of other kinds become plain blanks, and a
// locale that writes other characters (another script's digits) gets
// hh:mm:ss and dd/mm/yy instead.
QString PcClockTime(const QTime &time, const QLocale &locale = QLocale());
QString PcClockDate(const QDate &date, const QLocale &locale = QLocale());
