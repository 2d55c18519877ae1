#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace dokivo::platform {

// Replaces (or creates) `path` with `content` so that a crash leaves either the old or the new
// file, never half of one: temporary file in the same folder, flush to disk, rename, folder
// flush. An existing file keeps its permissions; a new one gets the user's umask.
// Returns false, leaving the old file untouched, when anything fails.
bool replaceFileAtomically(const QString& path, const QByteArray& content);

// Flushes a folder's entries (creations, renames, deletions) to disk. Failures are ignored:
// not every file system supports it.
void syncFolder(const QString& folder);

// Flushes the data written so far to an open file (after QFile::flush) to disk. False when the
// system could not.
bool syncFile(const QFile& file);

// The folder part of a path (up to and including the last separator).
QString folderOf(const QString& path);

}  // namespace dokivo::platform
