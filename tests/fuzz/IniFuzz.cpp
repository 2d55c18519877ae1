// The INI reader and writer on any bytes: parsing never fails, a parsed document writes out
// and reads back as itself, and setting one key changes that key alone.

#include <algorithm>

#include "FuzzInput.h"
#include "platform/IniFile.h"

using dokivo::platform::IniDocument;

// What a reader gets back for a value once it has gone through the writer.
static QString readBack(QString value) {
    value = value.replace('\r', ' ').replace('\n', ' ').trimmed();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value.left(IniDocument::kMaxValueLength);
}

// Names the writer can represent: one line, no brackets or "=", not a comment.
static bool usable(const QString& name) {
    return !name.isEmpty() && name == name.trimmed() && !name.startsWith(';') &&
           std::none_of(name.begin(), name.end(),
                        [](QChar c) { return QStringLiteral("=[]\r\n").contains(c); });
}

FUZZ_TARGET {
    const QString section = in.text(), key = in.text(), value = in.text();
    const QString otherSection = in.text(), otherKey = in.text(), absent = QStringLiteral("\x01absent");
    IniDocument doc = IniDocument::parse(in.bytes.mid(in.at));
    const QByteArray written = doc.serialize();
    FUZZ_CHECK(IniDocument::parse(written).serialize() == written);

    if (!usable(section) || !usable(key))
        return;
    const QString otherBefore = doc.value(otherSection, otherKey, absent);
    doc.setValue(section, key, value);
    const IniDocument reread = IniDocument::parse(doc.serialize());
    FUZZ_CHECK(reread.hasValue(section, key) && reread.value(section, key) == readBack(value));
    const bool sameKey = section.compare(otherSection, Qt::CaseInsensitive) == 0 &&
                         key.compare(otherKey, Qt::CaseInsensitive) == 0;
    FUZZ_CHECK(sameKey || reread.value(otherSection, otherKey, absent) == otherBefore);
}
