#pragma once

#include <QDateTime>
#include <QString>

namespace dokivo::platform {

// The stamp that opens every operation line: the locale's short date, a blank and the locale's
// time with seconds (no time zone); at exactly midnight the date alone.
QString operationStamp(const QDateTime& when);

// Fixed patterns used in names, folders and records. All are digits independent of the locale,
// except "DDD", the locale's abbreviated weekday name.
enum class DatePattern { YY, MM, DD, DDD, YYYYMMDD, HHMMSS, YYMMDDHHSS };
QString formatDate(const QDateTime& when, DatePattern pattern);

}  // namespace dokivo::platform
