#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "platform/Paths.h"
#include "platform/RunError.h"
#include "platform/windows/WindowsFile.h"

namespace dokivo::platform {

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

bool entryExists(const QString& path) {
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;  // a link's own attributes
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

}  // namespace dokivo::platform
