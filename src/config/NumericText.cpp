#include "config/NumericText.h"

#include <cmath>
#include <limits>

namespace dokivo {

std::optional<double> numericValue(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    auto isDigit = [&](qsizetype k) { return k < n && t[k] >= QLatin1Char('0') && t[k] <= QLatin1Char('9'); };
    QString normalised;
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        normalised += t[i++];
    qsizetype digits = 0;
    while (isDigit(i))
        normalised += t[i++], ++digits;
    if (i < n && (t[i] == QLatin1Char('.') || t[i] == QLatin1Char(','))) {
        normalised += QLatin1Char('.');
        ++i;
        while (isDigit(i))
            normalised += t[i++], ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        normalised += QLatin1Char('e');
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            normalised += t[i++];
        if (!isDigit(i))
            return std::nullopt;
        while (isDigit(i))
            normalised += t[i++];
    }
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double value = normalised.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isNumericText(const QString& text) {
    return numericValue(text).has_value();
}

bool readsAsOne(const QString& text) {
    const auto value = numericValue(text);
    return value && *value == 1.0;
}

std::optional<qint64> integerPart(const QString& text) {
    const auto value = numericValue(text);
    if (!value)
        return std::nullopt;
    const double whole = std::trunc(*value);
    if (std::fabs(whole) > 1e15)
        return std::nullopt;
    return static_cast<qint64>(whole);
}

}  // namespace dokivo
