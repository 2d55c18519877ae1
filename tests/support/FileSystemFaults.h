#pragma once

// The one place where the tests reach past Qt into the operating system, to make the faults and
// odd entries a pass must survive: folders that refuse writes, a full disk, a file another program
// holds, links, FIFOs, sockets, device nodes. A fault lasts as long as the guard made for it; where
// the system cannot make one, the guard is null and the test says so.

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <functional>
#include <future>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif
#endif

namespace dokivo::test {

using Guard = std::shared_ptr<void>;

// A guard that runs `undo` when the last copy of it goes.
inline Guard until(std::function<void()> undo) {
    static char any;
    return Guard(&any, [undo = std::move(undo)](void*) { undo(); });
}

// Makes a folder refuse the pass's copies or, with `everyWrite`, any new file. POSIX: mode 0555,
// and for root (who ignores it) the immutable attribute (chattr) where the file system has one.
// Windows keeps a folder's rights in its access list, which wine does not enforce, and the names a
// pass's copies take carry a token of the pass, so no name can be held in advance: none there.
inline Guard readOnlyFolder(const QString& path, bool everyWrite = false) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    Q_UNUSED(everyWrite);
    return nullptr;
#else
    Q_UNUSED(everyWrite);  // both at once here
    const QByteArray folder = QFile::encodeName(path);
    const auto setImmutable = [path](bool on) {  // false where the file system has no such flag
        return QProcess::execute(QStringLiteral("chattr"), {on ? "+i" : "-i", path}) == 0;
    };
    ::chmod(folder.constData(), 0555);
    const bool immutable = ::geteuid() == 0 && setImmutable(true);
    Guard guard = until([=] {
        if (immutable)
            setImmutable(false);
        ::chmod(folder.constData(), 0755);
    });
    return ::geteuid() != 0 || immutable ? guard : nullptr;
#endif
}

// A file system of a few hundred kilobytes mounted over a folder, where the system lets the tests
// mount one (Linux, as root).
inline Guard tinyFileSystem(const QString& folder) {
#ifdef Q_OS_LINUX
    const QByteArray path = QFile::encodeName(folder);
    if (::mount("tmpfs", path.constData(), "tmpfs", 0, "size=300k") == 0)
        return until([path] { ::umount2(path.constData(), MNT_DETACH); });
#else
    Q_UNUSED(folder);
#endif
    return nullptr;
}

// Holds a file the way another program holding it open does: a write lease on Linux (the pass's
// open is refused while it lasts), an open that shares nothing on Windows.
inline Guard heldByAnotherProgram(const QString& path) {
#ifdef Q_OS_WIN
    const HANDLE handle =
        ::CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()), GENERIC_READ,
                      0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : until([handle] { ::CloseHandle(handle); });
#else
    ::signal(SIGIO, SIG_IGN);  // the holder is told when the pass tries to open the file
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    Guard guard = until([fd] { ::close(fd); });
    return fd >= 0 && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0 ? guard : nullptr;
#endif
}

// A symbolic link at `link` to `target`; false where the system or the rights do not allow one
// (wine reports success and makes nothing, hence the look afterwards).
inline bool makeSymbolicLink(const QString& target, const QString& link) {
#ifdef Q_OS_WIN
    const auto* name = reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(link).utf16());
    if (!CreateSymbolicLinkW(name, reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(target).utf16()),
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
#else
    Q_UNUSED(root);  // Windows has no FIFOs
#endif
    work();
    return true;
}

}  // namespace dokivo::test
