#pragma once

#include <QString>
#include <memory>

namespace dokivo::platform {

// The lock file a folder pass holds in its input folder while it runs. It stays in the folder
// between passes; the lock on it is what counts, never the file.
inline const QString kFolderLockName = QStringLiteral("Dokivo.lock");
// Any letter case: on Windows and on most shares "dokivo.lock" is the same file.
bool isFolderLockName(const QString& name);

// The lock that keeps two installations sharing an input folder (two machines on one share)
// from filing the same documents at once. The file server holds it for its client: an
// open-file-description lock on Linux and a byte-range lock on Windows, which NFS and SMB clients
// pass on to the server. It locks one byte far beyond the file's text, so the text stays readable
// by everyone: the holder's host, program and process id, for whoever finds the folder taken. The
// system drops the lock when its holder ends, a kill included, or loses its connection; a file
// left behind holds nothing.
class FolderLock {
  public:
    enum class Outcome {
        Held,         // this process holds the lock until the FolderLock goes
        Taken,        // another process holds it: holder() says who
        Unavailable,  // no lock file can be made or locked here (a read-only folder, a share
                      // without locks): nothing to keep others out, the pass goes on
    };

    FolderLock();
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // `folder` ends with a separator.
    Outcome tryLock(const QString& folder);
    // The other holder as its lock file names it, on one line; empty when it says nothing yet.
    const QString& holder() const { return holder_; }

  private:
    struct State;  // what each system keeps while it holds the lock
    std::unique_ptr<State> state_;
    QString holder_;
};

// How this process names itself in a lock file: host, program and process id.
QByteArray folderLockHolderText();
// The text read from a lock file, made fit for one operation line.
QString folderLockHolderShown(const QByteArray& text);

// Far beyond any text a lock file holds.
inline constexpr qint64 kFolderLockedByte = qint64(1) << 30;

}  // namespace dokivo::platform
