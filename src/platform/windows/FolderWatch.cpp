#include "platform/FolderWatch.h"

#include <QWinEventNotifier>
#include <array>
#include <map>

#include "platform/FileSystem.h"
#include "platform/RunError.h"
#include "platform/windows/WindowsFile.h"

namespace dokivo::platform {

namespace {

// ReadDirectoryChangesW rather than the toolkit's watcher: it says what changed, so that the
// pass's own removals start nothing, and it serves shares whose server reports changes. Neither
// reports a writer's close: a file made or changed starts a pass, and the scan layer looks again
// shortly at a file passed over as still arriving. (Wine reports the changes its own inotify
// watch sees.)
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                           FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

QString refusal(DWORD err) {
    if (err == ERROR_INVALID_FUNCTION || err == ERROR_NOT_SUPPORTED)
        return QStringLiteral("il file system della cartella non segnala i cambiamenti");
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)
        return QStringLiteral("cartella non trovata");
    return QStringLiteral("il sistema rifiuta il controllo della cartella: ") +
           describeError(errorNumberFromWindowsError(err, true));
}

// One folder: its handle and the one request for changes the system completes, signalling an event.
class WatchedFolder {
  public:
    explicit WatchedFolder(const QString& folder)
        : dir_(CreateFileW(win32Path(folder).c_str(), FILE_LIST_DIRECTORY,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr)) {
        if (dir_.valid())
            overlapped_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!overlapped_.hEvent)
            openError_ = GetLastError();
    }
    ~WatchedFolder() {
        if (notifier_) {
            notifier_->setEnabled(false);        // no wait stays on the event about to be closed
            notifier_.release()->deleteLater();  // it may be the one whose signal runs now
        }
        if (pending_ && CancelIoEx(dir_.get(), &overlapped_)) {
            DWORD ignored = 0;
            GetOverlappedResult(dir_.get(), &overlapped_, &ignored, TRUE);
        }
        if (overlapped_.hEvent)
            CloseHandle(overlapped_.hEvent);
    }
    WatchedFolder(const WatchedFolder&) = delete;
    WatchedFolder& operator=(const WatchedFolder&) = delete;

    // Asks for the next changes; 0, or why the system refuses.
    DWORD ask() {
        if (openError_ != 0)
            return openError_;
        ResetEvent(overlapped_.hEvent);
        pending_ = ReadDirectoryChangesW(dir_.get(), buffer_.data(), static_cast<DWORD>(buffer_.size()),
                                         FALSE, kChanges, nullptr, &overlapped_, nullptr) != 0;
        return pending_ ? 0 : GetLastError();
    }
    void onSignal(std::function<void()> handler) {
        notifier_ = std::make_unique<QWinEventNotifier>(overlapped_.hEvent);
        QObject::connect(notifier_.get(), &QWinEventNotifier::activated, std::move(handler));
    }
    // The changes the completed request reports: whether anything arrived, and whether the
    // folder can still be watched.
    struct Answer {
        bool arrived = false;
        bool gone = false;
    };
    Answer take(const QString& folder) {
        Answer answer;
        DWORD bytes = 0;
        pending_ = false;
        if (!GetOverlappedResult(dir_.get(), &overlapped_, &bytes, FALSE))
            return {false, true};
        if (bytes == 0) {  // more changes than the buffer held, or the folder itself went
            answer.arrived = true;
            answer.gone = !folderExists(folder);
        }
        for (DWORD at = 0; bytes != 0;) {
            const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_.data() + at);
            if (info->Action == FILE_ACTION_ADDED || info->Action == FILE_ACTION_MODIFIED ||
                info->Action == FILE_ACTION_RENAMED_NEW_NAME)
                answer.arrived = true;
            if (info->NextEntryOffset == 0)
                break;
            at += info->NextEntryOffset;
        }
        if (!answer.gone)
            answer.gone = ask() != 0;
        return answer;
    }

  private:
    WinHandle dir_;
    OVERLAPPED overlapped_{};
    DWORD openError_ = 0;
    bool pending_ = false;
    alignas(DWORD) std::array<char, 16384> buffer_{};
    std::unique_ptr<QWinEventNotifier> notifier_;
};

}  // namespace

class FolderWatch::Watcher {
  public:
    Watcher(std::function<void()> onArrival, std::function<void(const UnwatchedFolder&)> onLost)
        : onArrival_(std::move(onArrival)), onLost_(std::move(onLost)) {}

    std::vector<UnwatchedFolder> watchOnly(const QStringList& folders) {
        std::erase_if(watched_, [&](const auto& entry) { return !folders.contains(entry.first); });
        std::vector<UnwatchedFolder> unwatched;
        for (const QString& folder : folders) {
            if (watched_.contains(folder))
                continue;
            auto watched = std::make_unique<WatchedFolder>(folder);
            if (const DWORD err = watched->ask()) {
                unwatched.push_back({folder, refusal(err)});
                continue;
            }
            watched->onSignal([this, folder] { changed(folder); });
            watched_.emplace(folder, std::move(watched));
        }
        return unwatched;
    }

  private:
    void changed(const QString& folder) {
        const auto it = watched_.find(folder);
        if (it == watched_.end())
            return;
        const WatchedFolder::Answer answer = it->second->take(folder);
        if (answer.gone) {
            watched_.erase(it);
            onLost_({folder, QStringLiteral("la cartella non e' piu' raggiungibile")});
        }
        if (answer.arrived)
            onArrival_();
    }

    std::map<QString, std::unique_ptr<WatchedFolder>> watched_;
    std::function<void()> onArrival_;
    std::function<void(const UnwatchedFolder&)> onLost_;
};

FolderWatch::FolderWatch(std::function<void()> onArrival, std::function<void(const UnwatchedFolder&)> onLost)
    : watcher_(std::make_unique<Watcher>(std::move(onArrival), std::move(onLost))) {}

FolderWatch::~FolderWatch() = default;

std::vector<UnwatchedFolder> FolderWatch::watchOnly(const QStringList& folders) {
    return watcher_->watchOnly(folders);
}

}  // namespace dokivo::platform
