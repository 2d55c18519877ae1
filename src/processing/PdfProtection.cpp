#include "processing/PdfProtection.h"

#include <QByteArray>
#include <QFile>

namespace dokivo {

namespace {

// "startxref", its offset and "%%EOF" lie within the last kilobyte; the tail is read wider so
// that a trailer dictionary before them is usually read with it.
constexpr qint64 kTailBytes = 8192;
// Enough for a cross-reference stream's dictionary.
constexpr qint64 kDictionaryBytes = 8192;

bool isDelimiterOrBlank(char c) {
    return QByteArrayView("()<>[]{}/% \t\r\n\f").contains(c) || c == '\0';
}

// The key "/Encrypt" itself, not a longer name such as "/EncryptMetadata".
bool namesEncryptDictionary(QByteArrayView dictionary) {
    const QByteArrayView key("/Encrypt");
    for (qsizetype at = dictionary.indexOf(key); at >= 0; at = dictionary.indexOf(key, at + 1)) {
        const qsizetype end = at + key.size();
        if (end == dictionary.size() || isDelimiterOrBlank(dictionary[end]))
            return true;
    }
    return false;
}

}  // namespace

bool isPasswordProtectedPdf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 tailStart = std::max<qint64>(0, file.size() - kTailBytes);
    if (!file.seek(tailStart))
        return false;
    const QByteArray tail = file.read(kTailBytes);
    const qsizetype startxref = tail.lastIndexOf("startxref");
    if (startxref < 0)
        return false;

    // A cross-reference table: its trailer dictionary ends just before "startxref".
    const qsizetype trailer = tail.lastIndexOf("trailer", startxref);
    if (trailer >= 0)
        return namesEncryptDictionary(QByteArrayView(tail).sliced(trailer, startxref - trailer));

    // A cross-reference stream: its dictionary, at the offset "startxref" gives, holds the keys.
    const QByteArray digits =
        tail.mid(startxref + qsizetype(sizeof "startxref") - 1).simplified().split(' ').value(0);
    bool isNumber = false;
    const qint64 offset = digits.toLongLong(&isNumber);
    if (!isNumber || offset < 0 || offset >= file.size() || !file.seek(offset))
        return false;
    QByteArray dictionary = file.read(kDictionaryBytes);
    const qsizetype stream = dictionary.indexOf("stream");
    if (stream >= 0)
        dictionary.truncate(stream);
    return namesEncryptDictionary(dictionary);
}

}  // namespace dokivo
