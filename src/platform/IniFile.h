#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace dokivo::platform {

// An INI file with the behaviour of the classic Windows profile functions: sections and keys
// are matched without regard to case and the first match wins; blanks around a value and one
// pair of enclosing quotes are dropped; values are cut to 1023 characters. Writing changes only
// the key's own line and keeps comments, order and every other line.
class IniDocument {
  public:
    static constexpr qsizetype kMaxValueLength = 1023;

    // A missing or unreadable file gives an empty document, and so does anything that is not a
    // regular file (a FIFO is never waited on).
    static IniDocument load(const QString& path);
    static IniDocument parse(const QByteArray& bytes);

    bool hasValue(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& fallback = {}) const;

    // Sets the key, adding it at the end of its section, or the section at the end of the file.
    // Line breaks inside the value become blanks, as a value is one line.
    void setValue(const QString& section, const QString& key, const QString& value);

    // The file's bytes: UTF-8, every line ended by CR LF.
    QByteArray serialize() const;

  private:
    struct Location {
        qsizetype sectionLine = -1;  // -1: section absent
        qsizetype keyLine = -1;      // -1: key absent
        qsizetype sectionEnd = -1;   // last line that belongs to the section
    };
    Location locate(const QString& section, const QString& key) const;

    QStringList lines_;
};

// One read of one value, the file opened for the call. Missing file, section or key: fallback.
QString readProfileString(const QString& section, const QString& key, const QString& fallback,
                          const QString& path);

// One write, creating file and section when needed and replacing the file atomically.
// Returns false when nothing was written, also when the name holds something that is not a
// regular file.
bool writeProfileString(const QString& section, const QString& key, const QString& value,
                        const QString& path);

}  // namespace dokivo::platform
