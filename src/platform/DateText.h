#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace dokivo::platform {

// The stamp that opens every operation line: the locale's short date, a blank and the locale's
// time with seconds (no time zone); at exactly midnight the date alone.
QString operationStamp(const QDateTime& when);
QString operationStamp(const QDateTime& when, const QLocale& locale);

// A locale's time format without its time-zone token, the brackets around it ("(t)", "[t]") and
// the separator that leads to it; quoted literal text stays as it is.
QString timeFormatWithoutZone(const QString& format);

// Fixed patterns used in names, folders and records. All are digits independent of the locale,
// except "DDD", the locale's abbreviated weekday name.
enum class DatePattern { YY, MM, DD, DDD, YYYYMMDD, HHMMSS, YYMMDDHHSS };
QString formatDate(const QDateTime& when, DatePattern pattern);

}  // namespace dokivo::platform
