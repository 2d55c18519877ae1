#pragma once

// The one place where the tests reach past Qt into the operating system, to make the faults
// and odd entries a pass must survive: folders that refuse writes, a full disk, links, FIFOs.
// Where a system cannot make one, the helper says so and the test skips that case.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <functional>
#include <future>

#include "platform/DurableCopy.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
// refuses the pass's copies instead because the name every copy is first written under is
// held open by another without sharing: the copy meets a sharing violation, as it would meet a
// refusal of its rights. Other writers are not stopped.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const QString& path) {
        const QString held = QDir::toNativeSeparators(path + QLatin1Char('/') + platform::kTemporaryCopyName);
        handle_ = CreateFileW(reinterpret_cast<LPCWSTR>(held.utf16()), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    }
    ~ReadOnlyFolder() {
        if (effective())
            CloseHandle(handle_);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool effective() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool refusesEveryWrite() const { return false; }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
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

// A FIFO, a socket or a device node at `path`, as mknod makes them; false where the system has
// none (Windows) or does not let the tests make one (a device node, without the rights).
enum class Node { Fifo, Socket, Device };
inline bool makeNode(const QString& path, Node kind) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    Q_UNUSED(kind);
    return false;
#else
    const mode_t type = kind == Node::Fifo ? S_IFIFO : kind == Node::Socket ? S_IFSOCK : S_IFCHR;
    return ::mknod(QFile::encodeName(path).constData(), type | 0644,
                   kind == Node::Device ? makedev(1, 3) : 0) == 0;
#endif
}
inline bool makeFifo(const QString& path) {
    return makeNode(path, Node::Fifo);
}

// Runs `work`. Where `root` holds a FIFO it runs apart: should it still wait after a minute (an
// open of the FIFO waiting for its other end), every FIFO there is opened so that it can end, and
// the answer is false.
inline bool runsWithoutBlocking(const QString& root, const std::function<void()>& work) {
#ifndef Q_OS_WIN
    QStringList fifos;
    QDirIterator it(root, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        struct stat st {};
        const QString path = it.next();
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode))
            fifos << path;
    }
    if (!fifos.isEmpty()) {
        auto run = std::async(std::launch::async, work);
        if (run.wait_for(std::chrono::minutes(1)) == std::future_status::ready)
            return run.get(), true;
        std::signal(SIGPIPE, SIG_IGN);
        for (const QString& fifo : fifos)
            ::close(::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK));
        run.wait();
        return false;
    }
#endif
    work();
    return true;
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
