#include "platform/DateText.h"

#include <QLocale>

namespace dokivo::platform {

namespace {

QString timeFormatWithSeconds(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    // Drop the time-zone token and the blank before it; keep everything else the locale says.
    format.remove(QLatin1Char('t'));
    format = format.trimmed();
    if (!format.contains(QLatin1Char('s')))
        format = QStringLiteral("HH:mm:ss");
    return format;
}

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value % 100, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString operationStamp(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time().hour() == 0 && when.time().minute() == 0 && when.time().second() == 0)
        return date;
    return date + QLatin1Char(' ') + locale.toString(when.time(), timeFormatWithSeconds(locale));
}

QString formatDate(const QDateTime& when, DatePattern pattern) {
    const QDate d = when.date();
    const QTime t = when.time();
    switch (pattern) {
        case DatePattern::YY:
            return twoDigits(d.year());
        case DatePattern::MM:
            return twoDigits(d.month());
        case DatePattern::DD:
            return twoDigits(d.day());
        case DatePattern::DDD:
            return QLocale::system().dayName(d.dayOfWeek(), QLocale::ShortFormat);
        case DatePattern::YYYYMMDD:
            return QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0')) + twoDigits(d.month()) +
                   twoDigits(d.day());
        case DatePattern::HHMMSS:
            return twoDigits(t.hour()) + twoDigits(t.minute()) + twoDigits(t.second());
        case DatePattern::YYMMDDHHSS:
            return twoDigits(d.year()) + twoDigits(d.month()) + twoDigits(d.day()) + twoDigits(t.hour()) +
                   twoDigits(t.second());
    }
    return {};
}

}  // namespace dokivo::platform
