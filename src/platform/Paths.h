#pragma once

#include <QDir>
#include <QString>

namespace dokivo::platform {

// The native folder separator: "\" on Windows, "/" elsewhere. Folder values are held as text
// ending in it; a value that is the separator alone means "not set".
inline QChar separatorChar() {
    return QDir::separator();
}

inline QString separator() {
    return QString(separatorChar());
}

// Appends the separator when the text does not already end with it; empty text becomes the
// separator alone.
inline QString withTrailingSeparator(const QString& folder) {
    if (folder.endsWith(separatorChar()))
        return folder;
    return folder + separatorChar();
}

inline bool isUnsetFolder(const QString& folder) {
    return folder.isEmpty() || folder == separator();
}

// The folder that holds the running program file, ending with the separator.
QString applicationFolder();

// Where pass record files go: the application folder when it is writable, otherwise the
// per-user data folder (created on demand). Ends with the separator.
QString recordFolderFor(const QString& applicationFolder);

}  // namespace dokivo::platform
