#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "platform/RunError.h"

namespace dokivo::platform {

namespace {

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

QDateTime fromTimestamp(const statx_timestamp& ts) {
    return QDateTime::fromMSecsSinceEpoch(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

// statx without following links; fills the entry when the path is a regular file.
bool statRegular(int dirFd, const char* name, FileEntry* entry) {
    struct statx sx {};
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_BTIME, &sx) !=
        0)
        return false;
    if (!S_ISREG(sx.stx_mode))
        return false;
    entry->size = static_cast<qint64>(sx.stx_size);
    entry->modified = fromTimestamp(sx.stx_mtime);
    entry->created = (sx.stx_mask & STATX_BTIME) ? fromTimestamp(sx.stx_btime) : entry->modified;
    return true;
}

// open(2) that never waits and never hands back anything but a regular file: O_NONBLOCK makes
// the open of a FIFO return at once instead of waiting for its other end, and the descriptor's
// type is checked before it is used. -1 with errno set when refused.
int openRegularDescriptor(const QString& path, int flags, struct stat* st) {
    const int fd = ::open(nativePath(path).constData(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        const int error = S_ISDIR(st->st_mode) ? EISDIR : ENXIO;
        ::close(fd);
        errno = error;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Calls `visit(name, d_type)` for every entry of a folder but "." and "..".
template <typename Visit>
void forEachEntry(const QString& folder, int* dirFdOut, Visit visit) {
    DIR* dir = ::opendir(nativePath(folder).constData());
    if (!dir)
        throwFromErrno(errno, folder, true);
    *dirFdOut = ::dirfd(dir);
    while (dirent* ent = ::readdir(dir)) {
        const char* name = ent->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        visit(name, ent->d_type);
    }
    ::closedir(dir);
}

}  // namespace

std::vector<FileEntry> listRegularFiles(const QString& folder) {
    std::vector<FileEntry> files;
    int dirFd = -1;
    forEachEntry(folder, &dirFd, [&](const char* name, unsigned char type) {
        if (type != DT_REG && type != DT_UNKNOWN)
            return;
        FileEntry entry;
        if (!statRegular(dirFd, name, &entry))
            return;
        const QByteArray raw(name);
        entry.name = QFile::decodeName(raw);
        entry.nameIsText = QFile::encodeName(entry.name) == raw;
        files.push_back(std::move(entry));
    });
    return files;
}

std::vector<QString> listSubfolders(const QString& folder) {
    std::vector<QString> folders;
    int dirFd = -1;
    forEachEntry(folder, &dirFd, [&](const char* name, unsigned char type) {
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode))
                return;
        } else if (type != DT_DIR) {
            return;
        }
        const QByteArray raw(name);
        const QString text = QFile::decodeName(raw);
        if (QFile::encodeName(text) == raw)
            folders.push_back(text);
    });
    return folders;
}

std::optional<FileEntry> regularFileInfo(const QString& path) {
    FileEntry entry;
    if (!statRegular(AT_FDCWD, nativePath(path).constData(), &entry))
        return std::nullopt;
    entry.name = QFileInfo(path).fileName();
    return entry;
}

bool folderExists(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(nativePath(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool regularFileExists(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(nativePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool entryExists(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::lstat(nativePath(path).constData(), &st) == 0;
}

void createFolder(const QString& path) {
    if (::mkdir(nativePath(path).constData(), 0777) != 0)
        throwFromErrno(errno, path, true);
}

bool tryCreateFolder(const QString& path) {
    return ::mkdir(nativePath(path).constData(), 0777) == 0;
}

void removeFile(const QString& path) {
    if (::unlink(nativePath(path).constData()) != 0)
        throwFromErrno(errno, path);
}

bool openRegularFile(QFile& file, const QString& path, QIODevice::OpenMode mode) {
    const bool reads = mode & QIODevice::ReadOnly;
    const bool writes = mode & QIODevice::WriteOnly;
    const int flags = reads && writes ? O_RDWR | O_CREAT : writes ? O_WRONLY | O_CREAT : O_RDONLY;
    struct stat st {};
    const int fd = openRegularDescriptor(path, flags, &st);
    if (fd < 0)
        return false;
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

bool appendToFile(const QString& path, const QByteArray& bytes) {
    struct stat st {};
    const int fd = openRegularDescriptor(path, O_WRONLY | O_CREAT | O_APPEND, &st);
    if (fd < 0)
        return false;
    const off_t before = st.st_size;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    const bool written = done == bytes.size() && (::fdatasync(fd) == 0 || errno == EINVAL);
    if (!written) {
        // Take back the part that got in: the caller keeps every byte for its next attempt.
        if (::ftruncate(fd, before) == 0)
            ::fdatasync(fd);
    }
    // A failed close can be a failed write (network file systems): take that part back too.
    if (::close(fd) != 0) {
        if (written)
            ::truncate(nativePath(path).constData(), before);
        return false;
    }
    return written;
}

}  // namespace dokivo::platform
