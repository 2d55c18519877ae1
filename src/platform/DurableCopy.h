#pragma once

#include <QString>

namespace dokivo::platform {

// The name of the temporary file a copy is written to before it takes its final name. It is
// hidden and recognisable, so a pass never takes it for a document and removes a leftover.
inline const QString kTemporaryCopyName = QStringLiteral(".~dokivo-copia.tmp");
bool isTemporaryCopyName(const QString& name);

// A copy that is complete on disk under a temporary name and waits to take its final name.
// Destroying it uncommitted removes the temporary file.
class PreparedCopy {
  public:
    // Copies `source` into a temporary file in the folder of `target` and flushes it to disk.
    // Throws SourceError when the source cannot be opened or read or changed while it was being
    // copied (a scanner still writing it), RunError when the target folder cannot be written,
    // the disk is full or the target is the source itself: then nothing is left behind.
    static PreparedCopy prepare(const QString& source, const QString& target);

    PreparedCopy(PreparedCopy&& other) noexcept;
    PreparedCopy& operator=(PreparedCopy&&) = delete;
    PreparedCopy(const PreparedCopy&) = delete;
    ~PreparedCopy();

    // Renames the temporary file over the target and flushes the folder. Throws RunError.
    void commit();
    // Renames like commit() but leaves the folder flush to the caller, who must call
    // syncFolder(folderOf(target)) before anything relies on the new name. Throws RunError.
    void commitLeavingFolderUnflushed();

  private:
    PreparedCopy(QString temporary, QString target)
        : temporary_(std::move(temporary)), target_(std::move(target)) {}
    QString temporary_;
    QString target_;
    bool pending_ = true;
};

// prepare + commit: the target is replaced only by a complete, durable copy.
void copyFileDurably(const QString& source, const QString& target);

// Whether two regular files hold the same bytes.
bool sameContent(const QString& a, const QString& b);

}  // namespace dokivo::platform
