#pragma once

#include <QString>
#include <QStringView>

namespace dokivo::platform {

// Positions and lengths in text counted in characters (Unicode code points). A character outside
// the Basic Multilingual Plane takes two UTF-16 units in a QString but counts as one, and no cut
// ever separates its two halves. A lone surrogate unit (possible in file names) counts as one.

qsizetype characterCount(QStringView text);

// The UTF-16 offset at which the character at 0-based `position` begins; text.size() past the end.
qsizetype utf16Offset(QStringView text, qsizetype position);

// QString::mid and QString::left with positions and counts in characters; a negative count
// takes everything to the end.
QString midCharacters(const QString& text, qsizetype position, qsizetype count = -1);
QString leftCharacters(const QString& text, qsizetype count);

}  // namespace dokivo::platform
