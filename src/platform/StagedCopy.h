#pragma once

#include <QRandomGenerator>
#include <QString>
#include <QtGlobal>
#include <utility>

namespace dokivo::platform {

// The temporary name of the `n`th staged copy of a pass: hidden and recognisable as ours
// (isTemporaryCopyName), and one per copy waiting in a batch. `token` tells the passes of two
// installations writing into one shared folder apart.
inline QString stagedCopyName(qint64 n, quint32 token = 0) {
    return token == 0 ? QStringLiteral(".~dokivo-copia-%1.tmp").arg(n)
                      : QStringLiteral(".~dokivo-copia-%1-%2.tmp").arg(token, 8, 16, QLatin1Char('0')).arg(n);
}

// A token for one pass's (or one hand-over's) temporary names: random, never 0.
inline quint32 newCopyToken() {
    return QRandomGenerator::global()->generate() | 1;
}

// The names stagedCopyName gives under `token`, for a folder listing; all of ours when it is 0.
inline QString stagedCopyPattern(quint32 token) {
    return token == 0 ? QStringLiteral(".~dokivo-copia*.tmp")
                      : QStringLiteral(".~dokivo-copia-%1-*.tmp").arg(token, 8, 16, QLatin1Char('0'));
}

// A copy written under a temporary name beside its target, its data not yet flushed. Many of them
// are flushed together and only then take their names, so that one disk commit serves a whole
// group of documents. Destroyed before it took its name, it removes its temporary file.
class StagedCopy {
  public:
    StagedCopy(StagedCopy&& other) noexcept
        : temporary_(std::move(other.temporary_)),
          target_(std::move(other.target_)),
          handle_(std::exchange(other.handle_, -1)),
          pending_(std::exchange(other.pending_, false)) {}
    StagedCopy& operator=(StagedCopy&&) = delete;
    StagedCopy(const StagedCopy&) = delete;
    ~StagedCopy();

    const QString& target() const { return target_; }
    const QString& temporary() const { return temporary_; }

    // Flushes the copy's data to disk and closes it. Throws RunError.
    void flush();
    // Renames the flushed copy over its target. The new name is durable only once the caller has
    // flushed the target's folder. Throws RunError.
    void commit();
    // Gives the flushed copy its target's name only when no file holds that name, in one step
    // that a second writer into the same folder, on this machine or another, cannot come between.
    // False when the name is taken (the temporary file goes with the copy). Throws RunError.
    bool commitUnlessTaken();

  private:
    friend class OpenDocument;
    StagedCopy(QString temporary, QString target, qintptr handle)
        : temporary_(std::move(temporary)), target_(std::move(target)), handle_(handle) {}
    void closeHandle();

    QString temporary_;
    QString target_;
    qintptr handle_;  // the temporary file, open until flush()
    bool pending_ = true;
};

// What tells a changed document: its size and last modification, in the system's own unit.
struct DocumentState {
    qint64 size = -1;
    qint64 modified = 0;
    bool operator==(const DocumentState&) const = default;
};

// The state of the regular file at `path` now; a size of -1 when there is none.
DocumentState documentState(const QString& path);

// A document opened once for all its copies. While it is open on Windows nobody may write it.
class OpenDocument {
  public:
    // Throws SourceError when it cannot be opened or is not a regular file (a link is not
    // followed).
    explicit OpenDocument(const QString& path);
    OpenDocument(const OpenDocument&) = delete;
    OpenDocument& operator=(const OpenDocument&) = delete;
    ~OpenDocument();

    // Copies the whole document into `temporary`, a hidden name in the folder of `target`, where
    // the kernel can, without passing the bytes through the program. Throws SourceError when the
    // document cannot be read or changed while it was copied (a scanner still writing it);
    // RunError when the target side fails or the target is the document itself (looked for only
    // when `targetExists`). Nothing is left behind on failure.
    StagedCopy copyTo(const QString& target, const QString& temporary, bool targetExists);

    // As it was when opened, and stayed while every copy was made.
    const DocumentState& state() const { return state_; }

  private:
    QString path_;
    qintptr handle_;
    DocumentState state_;
};

}  // namespace dokivo::platform
