#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/RunError.h"

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#else
#include <algorithm>

#include "platform/Paths.h"
#include "platform/WindowsFile.h"
#endif

namespace dokivo::platform {

namespace {

#ifndef Q_OS_WIN
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
#endif

}  // namespace

#ifndef Q_OS_WIN
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
#else
namespace {

QDateTime fromFileTime(const FILETIME& time) {
    ULARGE_INTEGER ticks;  // 100-nanosecond steps since 1601
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    constexpr qint64 kEpochOffsetMs = 11644473600000LL;
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(ticks.QuadPart / 10000) - kEpochOffsetMs);
}

bool isRegular(const WIN32_FIND_DATAW& data) {
    return !(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) &&
           !isLink(data.dwFileAttributes, data.dwReserved0);
}

bool isRealFolder(const WIN32_FIND_DATAW& data) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !isLink(data.dwFileAttributes, data.dwReserved0);
}

FileEntry entryOf(const WIN32_FIND_DATAW& data) {
    FileEntry entry;
    entry.name = QString::fromWCharArray(data.cFileName);
    entry.size = (static_cast<qint64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.modified = fromFileTime(data.ftLastWriteTime);
    entry.created = fromFileTime(data.ftCreationTime);
    return entry;
}

// Calls `visit(data)` for every entry of a folder but "." and "..".
template <typename Visit>
void forEachEntry(const QString& folder, Visit visit) {
    WIN32_FIND_DATAW data;
    HANDLE find =
        FindFirstFileExW(win32Path(withTrailingSeparator(folder) + QLatin1Char('*')).c_str(), FindExInfoBasic,
                         &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return;  // not even "." (the empty root of a drive)
        throwLastWindowsError(folder, true);
    }
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)))
            continue;
        visit(data);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

DWORD attributesOf(const QString& path) {
    return path.isEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(win32Path(path).c_str());
}

}  // namespace

std::vector<FileEntry> listRegularFiles(const QString& folder) {
    std::vector<FileEntry> files;
    forEachEntry(folder, [&](const WIN32_FIND_DATAW& data) {
        if (isRegular(data))
            files.push_back(entryOf(data));
    });
    return files;
}

std::vector<QString> listSubfolders(const QString& folder) {
    std::vector<QString> folders;
    forEachEntry(folder, [&](const WIN32_FIND_DATAW& data) {
        if (isRealFolder(data))
            folders.push_back(QString::fromWCharArray(data.cFileName));
    });
    return folders;
}

std::optional<FileEntry> regularFileInfo(const QString& path) {
    // Looked up as a listing of one name, which tells a link from a file as the listing does.
    if (path.isEmpty() || path.contains(QLatin1Char('*')) || path.contains(QLatin1Char('?')))
        return std::nullopt;
    WIN32_FIND_DATAW data;
    HANDLE find =
        FindFirstFileExW(win32Path(path).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return std::nullopt;
    FindClose(find);
    if (!isRegular(data))
        return std::nullopt;
    return entryOf(data);
}

bool folderExists(const QString& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool regularFileExists(const QString& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

void createFolder(const QString& path) {
    if (!CreateDirectoryW(win32Path(path).c_str(), nullptr))
        throwLastWindowsError(path, true);
}

bool tryCreateFolder(const QString& path) {
    return CreateDirectoryW(win32Path(path).c_str(), nullptr) != 0;
}

void removeFile(const QString& path) {
    if (!DeleteFileW(win32Path(path).c_str()))
        throwLastWindowsError(path);
}

bool appendToFile(const QString& path, const QByteArray& bytes) {
    WinHandle file(CreateFileW(win32Path(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return false;  // a device name, never a file to keep
    qsizetype done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<qsizetype>(bytes.size() - done, 1 << 30));
        if (!WriteFile(file.get(), bytes.constData() + done, chunk, &written, nullptr) || written == 0)
            break;
        done += written;
    }
    const bool flushed = FlushFileBuffers(file.get()) != 0;
    return done == bytes.size() && flushed && file.close();
}

// Named pipes live outside the folders on Windows: a configured name holds a file or a folder.
bool openRegularFile(QFile& file, const QString& path, QIODevice::OpenMode mode) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return false;
    file.setFileName(path);
    return file.open(mode);
}
#endif

}  // namespace dokivo::platform
