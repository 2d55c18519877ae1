#pragma once

#include <QString>
#include <optional>

namespace dokivo {

// Whether a text reads completely as a number: optional blanks around it, an optional sign,
// digits with at most one decimal separator (either "." or ","), and an optional exponent.
bool isNumericText(const QString& text);

// The number a numeric text reads as; nothing for any other text.
std::optional<double> numericValue(const QString& text);

// "1", "01", "1.0": the value of a check box or switch that is on.
bool readsAsOne(const QString& text);

// The integer part of a numeric text; nothing when the text is not numeric or out of range.
std::optional<qint64> integerPart(const QString& text);

}  // namespace dokivo
