#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <optional>
#include <vector>

namespace dokivo::platform {

struct FileEntry {
    QString name;
    qint64 size = 0;
    QDateTime created;  // birth time; the last modification where the file system keeps none
    QDateTime modified;
    // False when the name's bytes do not survive the trip through text (e.g. invalid UTF-8):
    // such a file cannot be addressed by its name and is left alone.
    bool nameIsText = true;
};

// Regular files lying directly in `folder`, in the order the file system lists them. Symbolic
// links, FIFOs, devices and sockets are left out (never followed). Throws RunError 76 when the
// folder cannot be listed.
std::vector<FileEntry> listRegularFiles(const QString& folder);

// Immediate subfolders (real folders, not links to them), in listing order.
std::vector<QString> listSubfolders(const QString& folder);

bool folderExists(const QString& path);
bool regularFileExists(const QString& path);
// Anything at all by that name, a link included (not followed).
bool entryExists(const QString& path);
std::optional<FileEntry> regularFileInfo(const QString& path);

// One folder level. Throws RunError.
void createFolder(const QString& path);
// One folder level; false when it could not be made, also when it is there already. For the
// callers that go on either way: no exception is thrown for the common case of an existing one.
bool tryCreateFolder(const QString& path);
// Throws RunError.
void removeFile(const QString& path);

// Opens `file` on `path` only when that is a regular file (links to one are followed), or is
// missing and `mode` writes (ReadOnly, WriteOnly or ReadWrite; a missing file is created). A
// FIFO, device, socket or folder by that name is refused at once: opening a FIFO would wait for
// its other end for ever. For the files the program opens by a configured name; `file` then has
// no name of its own, the caller keeps the path.
bool openRegularFile(QFile& file, const QString& path, QIODevice::OpenMode mode);

// Appends `bytes` to `path`, creating it when missing, and flushes it to disk. All or nothing:
// when the bytes cannot all be written and flushed (a full disk), the file is cut back to its
// former length and the result is false, so trying again never repeats what got in the first
// time. Anything but a regular file at `path` is refused at once.
bool appendToFile(const QString& path, const QByteArray& bytes);

}  // namespace dokivo::platform
