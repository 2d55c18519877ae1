#pragma once

// The one place where the tests reach past Qt into the operating system, to make the faults
// and odd entries a pass must survive: folders that refuse writes, a full disk, links, FIFOs.
// Where a system cannot make one, the helper says so and the test skips that case.

#include <QDir>
#include <QFile>
#include <QString>

#include "platform/DurableCopy.h"
#include "platform/StagedCopy.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#ifdef Q_OS_LINUX
#include <linux/fs.h>
#include <sys/mount.h>
#endif
#endif

namespace dokivo::test {

#ifndef Q_OS_WIN
// Makes a folder refuse new entries for as long as it lives, also for root (who ignores
// permission bits): the immutable attribute where the file system has it, else mode 0555.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(QString path) : path_(std::move(path)) {
        ::chmod(QFile::encodeName(path_).constData(), 0555);
        if (::geteuid() == 0)
            immutable_ = setImmutable(true);
    }
    ~ReadOnlyFolder() {
        if (immutable_)
            setImmutable(false);
        ::chmod(QFile::encodeName(path_).constData(), 0755);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    // False when the pass's copies into the folder would still succeed (root on a file system
    // without the attribute): the caller skips its test.
    bool effective() const { return ::geteuid() != 0 || immutable_; }
    // Whether any new file is refused, not only the pass's copies.
    bool refusesEveryWrite() const { return effective(); }

  private:
    bool setImmutable(bool on) {
#ifdef Q_OS_LINUX
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
#else
        Q_UNUSED(on);
        return false;
#endif
    }
    QString path_;
    bool immutable_ = false;
};
#else
// Windows keeps a folder's rights in its access list, which wine does not enforce. The folder
// refuses the pass's copies instead because the names its copies are first written under (the
// first few of a pass) are held open by another without sharing: the copy meets a sharing
// violation, as it would meet a refusal of its rights. Other writers are not stopped.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const QString& path) {
        for (int n = 1; n <= kHeldNames; ++n) {
            const QString held =
                QDir::toNativeSeparators(path + QLatin1Char('/') + platform::stagedCopyName(n));
            handles_[n - 1] =
                CreateFileW(reinterpret_cast<LPCWSTR>(held.utf16()), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        }
    }
    ~ReadOnlyFolder() {
        for (HANDLE handle : handles_)
            if (handle != INVALID_HANDLE_VALUE)
                CloseHandle(handle);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool effective() const {
        for (HANDLE handle : handles_)
            if (handle == INVALID_HANDLE_VALUE)
                return false;
        return true;
    }
    bool refusesEveryWrite() const { return false; }

  private:
    static constexpr int kHeldNames = 8;
    HANDLE handles_[kHeldNames];
};
#endif

// A file system of a few hundred kilobytes mounted over a folder for as long as it lives,
// where the system lets the tests mount one (Linux, as root).
class TinyFileSystem {
  public:
    explicit TinyFileSystem(const QString& folder) : folder_(QFile::encodeName(folder)) {
#ifdef Q_OS_LINUX
        mounted_ = ::mount("tmpfs", folder_.constData(), "tmpfs", 0, "size=300k") == 0;
#endif
    }
    ~TinyFileSystem() {
#ifdef Q_OS_LINUX
        if (mounted_)
            ::umount2(folder_.constData(), MNT_DETACH);
#endif
    }
    TinyFileSystem(const TinyFileSystem&) = delete;
    TinyFileSystem& operator=(const TinyFileSystem&) = delete;
    bool mounted() const {
        return mounted_;
    }

  private:
    QByteArray folder_;
    bool mounted_ = false;
};

// A symbolic link at `link` to `target`; false where the system or the rights do not allow one
// (wine reports success and makes nothing, hence the look afterwards).
inline bool makeSymbolicLink(const QString& target, const QString& link) {
#ifdef Q_OS_WIN
    const QString from = QDir::toNativeSeparators(link);
    const QString to = QDir::toNativeSeparators(target);
    const auto* name = reinterpret_cast<LPCWSTR>(from.utf16());
    if (!CreateSymbolicLinkW(name, reinterpret_cast<LPCWSTR>(to.utf16()),
                             SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        return false;
    const DWORD attributes = GetFileAttributesW(name);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
#else
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
#endif
}

// A FIFO at `path`; false where the system has none (Windows).
inline bool makeFifo(const QString& path) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return false;
#else
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
#endif
}

// Holds a file the way another program holding it open does, for as long as it lives: a write
// lease on Linux (the pass's open is refused while it lasts), an open that shares nothing on Windows.
class HeldByAnotherProgram {
  public:
    explicit HeldByAnotherProgram(const QString& path) {
#ifdef Q_OS_WIN
        handle_ = ::CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                                GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        held_ = handle_ != INVALID_HANDLE_VALUE;
#else
        ::signal(SIGIO, SIG_IGN);  // the holder is told when the pass tries to open the file
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        held_ = fd_ >= 0 && ::fcntl(fd_, F_SETLEASE, F_WRLCK) == 0;
#endif
    }
    ~HeldByAnotherProgram() {
#ifdef Q_OS_WIN
        if (handle_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle_);
#else
        if (fd_ >= 0)
            ::close(fd_);
#endif
    }
    HeldByAnotherProgram(const HeldByAnotherProgram&) = delete;
    HeldByAnotherProgram& operator=(const HeldByAnotherProgram&) = delete;
    bool held() const {
        return held_;
    }

  private:
    bool held_ = false;
#ifdef Q_OS_WIN
    HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
    int fd_ = -1;
#endif
};

}  // namespace dokivo::test
