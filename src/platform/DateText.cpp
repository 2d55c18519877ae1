#include "platform/DateText.h"

namespace dokivo::platform {

namespace {

QString timeFormatWithSeconds(const QLocale& locale) {
    QString format = timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
    if (!format.contains(QLatin1Char('s')))
        format = QStringLiteral("HH:mm:ss");
    return format;
}

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value % 100, 2, 10, QLatin1Char('0'));
}

bool isZoneSeparator(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char(',') || c == QChar(0x00A0) || c == QChar(0x202F);
}

}  // namespace

QString timeFormatWithoutZone(const QString& format) {
    QString kept;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;  // "''" toggles twice and stays one literal quote
            kept += c;
            continue;
        }
        if (quoted || c != QLatin1Char('t')) {
            kept += c;
            continue;
        }
        while (i + 1 < format.size() && format[i + 1] == QLatin1Char('t'))
            ++i;
        // "(t)" and "[t]" go with their brackets.
        const QChar next = i + 1 < format.size() ? format[i + 1] : QChar();
        if ((kept.endsWith(QLatin1Char('(')) && next == QLatin1Char(')')) ||
            (kept.endsWith(QLatin1Char('[')) && next == QLatin1Char(']'))) {
            kept.chop(1);
            ++i;
        }
        // The separator that led to the zone ("HH:mm:ss, t"), or, for a zone in front, the one after it.
        if (!kept.isEmpty()) {
            while (!kept.isEmpty() && isZoneSeparator(kept.back()))
                kept.chop(1);
        } else {
            while (i + 1 < format.size() && isZoneSeparator(format[i + 1]))
                ++i;
        }
    }
    return kept.trimmed();
}

QString operationStamp(const QDateTime& when) {
    return operationStamp(when, QLocale::system());
}

QString operationStamp(const QDateTime& when, const QLocale& locale) {
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
