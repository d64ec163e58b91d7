#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>

// The date and time format language of the date dialog's list and custom box. Tokens, matched
// regardless of letter case:
//   d dd ddd dddd    day of the month, two digits, abbreviated and full day name
//   w ww             day of the week (1 Sunday to 7 Saturday), week of the year
//   m mm mmm mmmm    month, two digits, abbreviated and full month name; m and mm directly after
//                    an hour token are minutes
//   q                quarter of the year
//   y yy yyyy        day of the year, year in two and in four digits
//   h hh             hour, two digits: 0 to 23, or 1 to 12 when the format holds a designator
//   n nn             minutes, two digits
//   s ss             seconds, two digits
//   AMPM             the locale's designator for before or after noon
//   AM/PM am/pm A/P a/p   the two forms as written: AM or PM, am or pm, A or P, a or p
//   /  :             the locale's date and time separators
//   "text"  \c       literal text, a literal character
// Every other character is copied. Weeks start on Sunday; the week holding 1 January is week 1.
namespace lw {

QString formatDateTime(const QDateTime& moment, const QString& format, const QLocale& locale);

// The formats of the thirteen rows of the date and time list, top row first.
QStringList timeDateRowFormats();

// The thirteen rows, each formatted from its own reading of the clock.
QStringList timeDateRows(const std::function<QDateTime()>& now, const QLocale& locale);

} // namespace lw
