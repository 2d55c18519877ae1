#pragma once

#include <QString>

namespace dokivo::platform {

// The name of the temporary file a copy is written to before it takes its final name. It is
// hidden and recognisable, so a pass never takes it for a document and removes a leftover.
inline const QString kTemporaryCopyName = QStringLiteral(".~dokivo-copia.tmp");
bool isTemporaryCopyName(const QString& name);

// The target is replaced only by a complete, durable copy: written under the temporary name in
// the target's folder, flushed, renamed over the target, the folder flushed. Throws SourceError
// when the source cannot be opened or read or changed while it was copied, RunError when the
// target folder cannot be written, the disk is full or the target is the source itself: then
// nothing is left behind.
void copyFileDurably(const QString& source, const QString& target);

// As copyFileDurably, but the copy takes the target's name only when no file holds it: false
// then, and nothing is left behind. Its temporary name carries `token` (not 0), so two writers
// into one shared folder never meet on it, and a crash's leftover is known by it.
bool copyFileDurablyUnlessTaken(const QString& source, const QString& target, quint32 token);

// Whether two regular files hold the same bytes.
bool sameContent(const QString& a, const QString& b);

}  // namespace dokivo::platform
