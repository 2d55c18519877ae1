// The INI reader and writer on any bytes: parsing never fails, a parsed document writes out
// and reads back as itself, and setting one key changes that key alone.

#include "FuzzInput.h"
#include "platform/IniFile.h"

using dokivo::platform::IniDocument;

namespace {

// What a reader gets back for a value once it has gone through the writer.
QString readBack(QString value) {
    value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    value = value.trimmed();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value.left(IniDocument::kMaxValueLength);
}

// Names the writer can represent: one line, no brackets or "=", not a comment.
bool usableName(const QString& name) {
    return !name.isEmpty() && name == name.trimmed() && !name.contains(QLatin1Char('=')) &&
           !name.contains(QLatin1Char('[')) && !name.contains(QLatin1Char(']')) && !name.contains('\n') &&
           !name.contains('\r') && !name.startsWith(QLatin1Char(';'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    dokivo::fuzz::FuzzInput in(data, size);
    const QString section = in.text();
    const QString key = in.text();
    const QString value = in.text();
    const QString otherSection = in.text();
    const QString otherKey = in.text();
    IniDocument doc = IniDocument::parse(in.rest());

    const QByteArray written = doc.serialize();
    FUZZ_CHECK(IniDocument::parse(written).serialize() == written);

    if (!usableName(section) || !usableName(key))
        return 0;
    const QString otherBefore = doc.value(otherSection, otherKey, QStringLiteral("\x01absent"));
    doc.setValue(section, key, value);
    const IniDocument reread = IniDocument::parse(doc.serialize());
    FUZZ_CHECK(reread.hasValue(section, key));
    FUZZ_CHECK(reread.value(section, key) == readBack(value));
    const bool sameKey = section.compare(otherSection, Qt::CaseInsensitive) == 0 &&
                         key.compare(otherKey, Qt::CaseInsensitive) == 0;
    if (!sameKey)
        FUZZ_CHECK(reread.value(otherSection, otherKey, QStringLiteral("\x01absent")) == otherBefore);
    return 0;
}
