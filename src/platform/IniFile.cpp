#include "platform/IniFile.h"

#include <QFile>
#include <QFileInfo>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

namespace dokivo::platform {

namespace {

bool sectionName(const QString& line, QString* name) {
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    *name = (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
    return true;
}

bool keyAndValue(const QString& line, QString* key, QString* value) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = line.left(eq).trimmed();
    if (key->startsWith(QLatin1Char(';')))
        return false;
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return true;
}

QString dropEnclosingQuotes(const QString& value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

IniDocument IniDocument::load(const QString& path) {
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

IniDocument IniDocument::parse(const QByteArray& bytes) {
    IniDocument doc;
    const QString text = decodeText(bytes);
    if (text.isEmpty())
        return doc;
    doc.lines_ = text.split(QLatin1Char('\n'));
    for (QString& line : doc.lines_) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (doc.lines_.size() > 1 && doc.lines_.back().isEmpty())
        doc.lines_.removeLast();
    return doc;
}

IniDocument::Location IniDocument::locate(const QString& section, const QString& key) const {
    Location where;
    QString name;
    QString lineKey;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (sectionName(lines_[i], &name)) {
            if (where.sectionLine >= 0)
                break;  // the first matching section ends here
            if (sameName(name, section)) {
                where.sectionLine = i;
                where.sectionEnd = i;
            }
            continue;
        }
        if (where.sectionLine < 0)
            continue;
        if (!lines_[i].trimmed().isEmpty())
            where.sectionEnd = i;
        if (where.keyLine < 0 && keyAndValue(lines_[i], &lineKey, nullptr) && sameName(lineKey, key))
            where.keyLine = i;
    }
    return where;
}

bool IniDocument::hasValue(const QString& section, const QString& key) const {
    return locate(section, key).keyLine >= 0;
}

QString IniDocument::value(const QString& section, const QString& key, const QString& fallback) const {
    const Location where = locate(section, key);
    if (where.keyLine < 0)
        return fallback.left(kMaxValueLength);
    QString lineKey;
    QString value;
    keyAndValue(lines_[where.keyLine], &lineKey, &value);
    return dropEnclosingQuotes(value).left(kMaxValueLength);
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    QString oneLine = value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString entry = key + QLatin1Char('=') + oneLine;
    const Location where = locate(section, key);
    if (where.keyLine >= 0) {
        lines_[where.keyLine] = entry;
    } else if (where.sectionLine >= 0) {
        lines_.insert(where.sectionEnd + 1, entry);
    } else {
        lines_.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines_.append(entry);
    }
}

QByteArray IniDocument::serialize() const {
    QByteArray bytes;
    for (const QString& line : lines_) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

QString readProfileString(const QString& section, const QString& key, const QString& fallback,
                          const QString& path) {
    return IniDocument::load(path).value(section, key, fallback);
}

bool writeProfileString(const QString& section, const QString& key, const QString& value,
                        const QString& path) {
    QFile file;
    if (QFileInfo::exists(path) && !openRegularFile(file, path, QIODevice::ReadOnly))
        return false;  // never drop unread keys, never replace what is not a settings file
    IniDocument doc = IniDocument::parse(file.isOpen() ? file.readAll() : QByteArray());
    file.close();  // Windows replaces no file that is still open
    doc.setValue(section, key, value);
    return replaceFileAtomically(path, doc.serialize());
}

}  // namespace dokivo::platform
