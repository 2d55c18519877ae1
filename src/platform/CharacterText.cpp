#include "platform/CharacterText.h"

namespace dokivo::platform {

namespace {

// UTF-16 units taken by the character that begins at `at`.
qsizetype unitsAt(QStringView text, qsizetype at) {
    return text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2 : 1;
}

}  // namespace

qsizetype characterCount(QStringView text) {
    qsizetype count = 0;
    for (qsizetype at = 0; at < text.size(); at += unitsAt(text, at))
        ++count;
    return count;
}

qsizetype utf16Offset(QStringView text, qsizetype position) {
    qsizetype at = 0;
    for (; position > 0 && at < text.size(); --position)
        at += unitsAt(text, at);
    return at;
}

QString midCharacters(const QString& text, qsizetype position, qsizetype count) {
    const qsizetype from = utf16Offset(text, position);
    if (count < 0)
        return text.mid(from);
    return text.mid(from, utf16Offset(QStringView(text).mid(from), count));
}

QString leftCharacters(const QString& text, qsizetype count) {
    return text.left(utf16Offset(text, count));
}

}  // namespace dokivo::platform
